#include "host/native_list_strings.h"

#include <algorithm>
#include <stdexcept>

#include "host/text_encoding.h"

namespace vex::host {

namespace {

std::out_of_range OutOfBounds(int index) { return std::out_of_range("list index out of bounds (" + std::to_string(index) + ")"); }

}  // namespace

bool NativeListSortsBefore(const std::wstring& a, const std::wstring& b) { return lstrcmpiW(a.c_str(), b.c_str()) < 0; }

std::wstring NativeListItemText(HWND wnd, const TNativeListMessages& messages, int index) {
  // The error codes of list boxes and combo boxes are the same (-1).
  const LRESULT n = SendMessageW(wnd, messages.textLength, static_cast<WPARAM>(index), 0);
  if (n < 0) throw OutOfBounds(index);
  std::wstring s(static_cast<std::size_t>(n) + 1, L'\0');
  const LRESULT got = SendMessageW(wnd, messages.text, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.data()));
  s.resize(got < 0 ? 0 : static_cast<std::size_t>(got));
  return s;
}

void TNativeListStrings::Full() const { throw std::runtime_error(std::string(messages_.control) + " cannot take more items"); }

int TNativeListStrings::Count() const {
  if (HWND h = Window()) return static_cast<int>(SendMessageW(h, messages_.count, 0, 0));
  return static_cast<int>(saved_.size());
}

std::string TNativeListStrings::Get(int index) const {
  CheckIndex(index, Count());
  HWND h = Window();
  return WideToUtf8(h ? NativeListItemText(h, messages_, index) : saved_[static_cast<std::size_t>(index)]);
}

int TNativeListStrings::Add(const std::string& s) {
  const std::wstring w = Utf8ToWide(s);
  if (HWND h = Window()) {
    const LRESULT at = SendMessageW(h, messages_.add, 0, reinterpret_cast<LPARAM>(w.c_str()));
    if (at < 0) Full();
    return static_cast<int>(at);
  }
  const auto it = Sorted() ? std::upper_bound(saved_.begin(), saved_.end(), w, NativeListSortsBefore) : saved_.end();
  const int at = static_cast<int>(it - saved_.begin());
  saved_.insert(it, w);
  Shifted(at, 1);
  return at;
}

void TNativeListStrings::Insert(int index, const std::string& s) {
  if (Sorted()) throw std::logic_error("a sorted list takes new strings in their place: use Add");
  if (index < 0 || index > Count()) throw OutOfBounds(index);
  const std::wstring w = Utf8ToWide(s);
  if (HWND h = Window()) {
    if (SendMessageW(h, messages_.insert, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(w.c_str())) < 0) Full();
    return;
  }
  saved_.insert(saved_.begin() + index, w);
  Shifted(index, 1);
}

void TNativeListStrings::Delete(int index) {
  CheckIndex(index, Count());
  if (HWND h = Window()) {
    SendMessageW(h, messages_.remove, static_cast<WPARAM>(index), 0);
    return;
  }
  saved_.erase(saved_.begin() + index);
  Shifted(index, -1);
}

void TNativeListStrings::Put(int index, const std::string& s) {
  CheckIndex(index, Count());
  const bool marked = Marked(index);
  BeginUpdate();
  Delete(index);
  int at = index;
  if (Sorted())
    at = Add(s);
  else
    Insert(index, s);
  if (marked) Mark(at);
  EndUpdate();
}

void TNativeListStrings::Clear() {
  if (HWND h = Window()) {
    SendMessageW(h, messages_.reset, 0, 0);
    return;
  }
  saved_.clear();
  Cleared();
}

void TNativeListStrings::SetUpdateState(bool updating) {
  HWND h = Window();
  if (!h) return;
  SendMessageW(h, WM_SETREDRAW, updating ? FALSE : TRUE, 0);
  if (!updating) InvalidateRect(h, nullptr, TRUE);
}

}  // namespace vex::host
