// The strings of a native list (a list box's or a combo box's items): the window's own while it
// has one, else strings kept by the framework for the next window. The two controls differ in
// their message codes and in what they keep beside the strings (the current item, a selection).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "host/string_list.h"

namespace vex::host {

// The order sorted native lists keep (case-insensitive).
bool NativeListSortsBefore(const std::wstring& a, const std::wstring& b);

struct TNativeListMessages {
  UINT count, textLength, text, add, insert, remove, reset;
  const char* control;  // for errors: "the list box"
};

// The text of item `index` of a native list window; out of range raises std::out_of_range.
std::wstring NativeListItemText(HWND wnd, const TNativeListMessages& messages, int index);

class TNativeListStrings : public TStrings {
 public:
  int Count() const override;
  std::string Get(int index) const override;
  int Add(const std::string& s) override;
  void Insert(int index, const std::string& s) override;
  void Delete(int index) override;
  void Put(int index, const std::string& s) override;
  void Clear() override;

 protected:
  TNativeListStrings(const TNativeListMessages& messages, std::vector<std::wstring>& saved) : messages_(messages), saved_(saved) {}
  // The control's window, if it has one.
  virtual HWND Window() const = 0;
  virtual bool Sorted() const = 0;
  // What the control keeps beside its strings follows items inserted (delta 1) or removed (-1)
  // at `index` while it has no window, or goes with them all.
  virtual void Shifted(int index, int delta) = 0;
  virtual void Cleared() = 0;
  // Whether an item is marked (current, or selected), and marking it: a replaced item keeps its mark.
  virtual bool Marked(int index) const = 0;
  virtual void Mark(int index) = 0;
  // A batch of changes is drawn once, at its end.
  void SetUpdateState(bool updating) override;
  [[noreturn]] void Full() const;

  TNativeListMessages messages_;
  std::vector<std::wstring>& saved_;
};

}  // namespace vex::host
