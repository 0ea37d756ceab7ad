// Dialog templates built in memory, for dialogs with any controls.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace vex::test {

// A dialog template in memory: the header, then each item, DWORD-aligned.
class TDialogTemplate {
 public:
  TDialogTemplate(DWORD style, const wchar_t* title) {
    DLGTEMPLATE t{};
    t.style = style;
    t.cx = 150;
    t.cy = 100;
    Put(&t, sizeof t);
    Word(0);  // menu
    Word(0);  // class
    Str(title);
    countAt_ = offsetof(DLGTEMPLATE, cdit);
  }
  void Item(const wchar_t* cls, const wchar_t* text, WORD id, DWORD style, short x, short y, short cx, short cy) {
    Align();
    DLGITEMTEMPLATE it{};
    it.style = style | WS_CHILD | WS_VISIBLE;
    it.x = x;
    it.y = y;
    it.cx = cx;
    it.cy = cy;
    it.id = id;
    Put(&it, sizeof it);
    Str(cls);
    Str(text);
    Word(0);  // creation data
    WORD n;
    std::memcpy(&n, data_.data() + countAt_, 2);
    ++n;
    std::memcpy(data_.data() + countAt_, &n, 2);
  }
  const DLGTEMPLATE* Get() {
    Align();
    return reinterpret_cast<const DLGTEMPLATE*>(data_.data());
  }

 private:
  void Put(const void* p, std::size_t n) {
    const auto* b = static_cast<const std::uint8_t*>(p);
    data_.insert(data_.end(), b, b + n);
  }
  void Word(WORD w) { Put(&w, 2); }
  void Str(const wchar_t* s) { Put(s, (wcslen(s) + 1) * 2); }
  void Align() {
    while (data_.size() % 4) data_.push_back(0);
  }
  std::vector<std::uint8_t> data_;
  std::size_t countAt_ = 0;
};

}  // namespace vex::test
