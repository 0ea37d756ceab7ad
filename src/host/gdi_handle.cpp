#include "host/gdi_handle.h"

namespace vex::host {
namespace {
long gLive = 0;  // GUI thread only
}

long GdiLiveObjects() { return gLive; }

namespace detail {
void CountCreated() { ++gLive; }
void CountReleased() { --gLive; }
}  // namespace detail

TWindowDC::TWindowDC(HWND wnd, TKind kind) : wnd_(wnd), dc_(kind == TKind::Whole ? GetWindowDC(wnd) : GetDC(wnd)) {
  if (dc_) detail::CountCreated();
}

TWindowDC::~TWindowDC() {
  if (dc_) {
    ReleaseDC(wnd_, dc_);
    detail::CountReleased();
  }
}

TPaintDC::TPaintDC(HWND wnd) : wnd_(wnd), dc_(BeginPaint(wnd, &ps_)) {
  if (dc_) detail::CountCreated();
}

TPaintDC::~TPaintDC() {
  if (dc_) detail::CountReleased();
  EndPaint(wnd_, &ps_);
}

}  // namespace vex::host
