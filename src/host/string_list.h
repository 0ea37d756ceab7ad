// Lists of strings: TStrings, the interface every string list offers (controls implement it on
// their windows), and TStringList, the one that keeps its strings itself.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "host/persistent.h"

namespace vex::host {

using TNotifyEvent = std::function<void(TObject* sender)>;

// An ordered list of UTF-8 strings. A descendant stores them where it likes (a list box's
// window, a memo's text); the operations below are written on the few it provides.
class TStrings : public TPersistent {
  VEX_CLASS(TStrings)
 public:
  explicit TStrings(const TClassInfo& cls = StaticClass()) : TPersistent(cls) {}

  virtual int Count() const = 0;
  virtual std::string Get(int index) const = 0;
  // Puts `s` before `index` (0..Count()); out-of-range indexes raise std::out_of_range.
  virtual void Insert(int index, const std::string& s) = 0;
  virtual void Delete(int index) = 0;
  // Replaces the string at `index`; the base deletes and inserts.
  virtual void Put(int index, const std::string& s);
  // Appends `s` and answers where it stands (a sorted list puts it in its place).
  virtual int Add(const std::string& s);
  virtual void Clear();
  // Replaces the whole list at once.
  virtual void SetItems(std::vector<std::string> items);

  std::string operator[](int index) const { return Get(index); }
  std::vector<std::string> ToVector() const;
  // Case-insensitive, as the framework's lists compare; -1 when absent.
  virtual int IndexOf(std::string_view s) const;
  // Lines joined with CR LF (each line ends with one); setting splits on CR LF, LF or CR.
  virtual std::string Text() const;
  virtual void SetText(std::string_view text);
  // The lines of a text as SetText splits them.
  static std::vector<std::string> SplitLines(std::string_view text);

  // Changes between BeginUpdate and the matching EndUpdate are taken as one.
  void BeginUpdate();
  void EndUpdate();
  bool Updating() const { return updating_ > 0; }

  void Assign(const TPersistent& source) override;

  // Raises std::out_of_range unless 0 <= index < count.
  static void CheckIndex(int index, int count);

 protected:
  // Called when the first BeginUpdate starts and the last EndUpdate ends a batch.
  virtual void SetUpdateState(bool updating) {}

 private:
  int updating_ = 0;
};

// A string list that keeps its strings, with a change notification.
class TStringList : public TStrings {
  VEX_CLASS(TStringList)
 public:
  explicit TStringList(const TClassInfo& cls = StaticClass()) : TStrings(cls) {}
  int Count() const override { return static_cast<int>(items_.size()); }
  std::string Get(int index) const override { return items_.at(static_cast<std::size_t>(index)); }
  const std::string& operator[](int i) const { return items_.at(static_cast<std::size_t>(i)); }
  const std::vector<std::string>& Items() const { return items_; }

  int Add(const std::string& s) override;
  void Insert(int index, const std::string& s) override;
  void Put(int index, const std::string& s) override;
  void Delete(int index) override;
  void Clear() override;
  void SetItems(std::vector<std::string> items) override;

  // Fired after every change; changes inside BeginUpdate/EndUpdate fire it once, at the end.
  TNotifyEvent OnChange;

 protected:
  void SetUpdateState(bool updating) override;

 private:
  void Changed();

  std::vector<std::string> items_;
  bool pending_ = false;
};

}  // namespace vex::host
