// Ownership of GDI and USER objects: one owner each, released on every path, and counted so that
// tests can prove a workload leaks none (GetGuiResources answers 0 under Wine).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <type_traits>
#include <utility>

namespace vex::host {

// Objects created through this layer and not yet released.
long GdiLiveObjects();

namespace detail {
void CountCreated();
void CountReleased();
inline void Release(HGDIOBJ h) { DeleteObject(h); }
inline void Release(HDC h) { DeleteDC(h); }
inline void Release(HICON h) { DestroyIcon(h); }
inline void Release(HIMAGELIST h) { ImageList_Destroy(h); }
inline void Release(HMENU h) { DestroyMenu(h); }
}  // namespace detail

// Owns one handle of type H (HBITMAP, HBRUSH, HPEN, HFONT, HRGN as HGDIOBJ-compatible types; a
// memory HDC; an HICON; an HIMAGELIST). Move-only.
template <class H>
class TOwned {
 public:
  TOwned() = default;
  // Takes ownership of a handle just created; a null handle means the creation failed.
  explicit TOwned(H h) : h_(h) {
    if (h_) detail::CountCreated();
  }
  ~TOwned() { Reset(); }
  TOwned(TOwned&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
  TOwned& operator=(TOwned&& o) noexcept {
    if (this != &o) {
      Reset();
      h_ = std::exchange(o.h_, nullptr);
    }
    return *this;
  }
  TOwned(const TOwned&) = delete;
  TOwned& operator=(const TOwned&) = delete;

  H Get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
  void Reset(H h = nullptr) {
    if (h_) {
      if constexpr (std::is_same_v<H, HDC> || std::is_same_v<H, HICON> || std::is_same_v<H, HIMAGELIST> ||
                    std::is_same_v<H, HMENU>)
        detail::Release(h_);
      else
        detail::Release(static_cast<HGDIOBJ>(h_));
      detail::CountReleased();
    }
    h_ = h;
    if (h_) detail::CountCreated();
  }
  // Gives the handle away (to a window that takes ownership, as SetWindowRgn does).
  H Release() {
    if (h_) detail::CountReleased();
    return std::exchange(h_, nullptr);
  }

 private:
  H h_ = nullptr;
};

using TOwnedBitmap = TOwned<HBITMAP>;
using TOwnedBrush = TOwned<HBRUSH>;
using TOwnedPen = TOwned<HPEN>;
using TOwnedFont = TOwned<HFONT>;
using TOwnedRegion = TOwned<HRGN>;
using TOwnedDC = TOwned<HDC>;
using TOwnedIcon = TOwned<HICON>;
using TOwnedImageList = TOwned<HIMAGELIST>;
using TOwnedMenu = TOwned<HMENU>;

// A device context borrowed from a window: GetDC or GetWindowDC, released with ReleaseDC.
class TWindowDC {
 public:
  enum class TKind { Client, Whole };
  TWindowDC(HWND wnd, TKind kind);
  ~TWindowDC();
  TWindowDC(const TWindowDC&) = delete;
  TWindowDC& operator=(const TWindowDC&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND wnd_;
  HDC dc_;
};

// The device context of one WM_PAINT: BeginPaint here, EndPaint at scope end on every path (an
// exception in the painting cannot leave the window's update region validated without EndPaint).
class TPaintDC {
 public:
  explicit TPaintDC(HWND wnd);
  ~TPaintDC();
  TPaintDC(const TPaintDC&) = delete;
  TPaintDC& operator=(const TPaintDC&) = delete;
  HDC Get() const { return dc_; }
  const PAINTSTRUCT& Paint() const { return ps_; }

 private:
  HWND wnd_;
  PAINTSTRUCT ps_{};
  HDC dc_;
};

// Selects an object into a device context and puts the previous one back at scope end.
class TSelectObject {
 public:
  TSelectObject(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj ? SelectObject(dc, obj) : nullptr) {}
  ~TSelectObject() {
    if (old_) SelectObject(dc_, old_);
  }
  TSelectObject(const TSelectObject&) = delete;
  TSelectObject& operator=(const TSelectObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace vex::host
