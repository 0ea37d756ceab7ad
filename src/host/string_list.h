// An ordered list of strings with a change notification.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "host/persistent.h"

namespace vex::host {

using TNotifyEvent = std::function<void(TObject* sender)>;

class TStringList : public TPersistent {
  VEX_CLASS(TStringList)
 public:
  explicit TStringList(const TClassInfo& cls = StaticClass()) : TPersistent(cls) {}
  int Count() const { return static_cast<int>(items_.size()); }
  const std::string& operator[](int i) const { return items_.at(static_cast<std::size_t>(i)); }
  const std::vector<std::string>& Items() const { return items_; }

  int Add(const std::string& s);
  void Insert(int index, const std::string& s);
  void Put(int index, const std::string& s);
  void Delete(int index);
  void Clear();
  // Case-insensitive, as the framework's lists compare; -1 when absent.
  int IndexOf(std::string_view s) const;
  // Lines joined with CR LF; setting splits on CR LF, LF or CR.
  std::string Text() const;
  void SetText(std::string_view text);
  void SetItems(std::vector<std::string> items);

  // Changes between BeginUpdate and the matching EndUpdate fire OnChange once, at the end.
  void BeginUpdate() { ++updating_; }
  void EndUpdate();

  void Assign(const TPersistent& source) override;

  TNotifyEvent OnChange;

 private:
  void Changed();

  std::vector<std::string> items_;
  int updating_ = 0;
  bool pending_ = false;
};

}  // namespace vex::host
