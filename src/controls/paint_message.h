// The paint messages of controls the wrappers paint entirely themselves, answered in one place.
#pragma once

#include <windows.h>

#include "host/gdi_handle.h"
#include "host/messages.h"

namespace vex::engine {

// Answers a paint or an erase of a control painted entirely by the wrapper: false when it took
// the message (the control's own procedure never paints). `paint` draws on the window itself,
// inside the paint.
template <class Paint>
bool TakePaint(host::TMessage& m, HWND wnd, Paint paint) {
  switch (m.Msg) {
    case WM_ERASEBKGND:
      m.Result = 1;  // the paint covers every pixel
      return false;
    case WM_PAINT: {
      host::TPaintDC dc(wnd);
      paint();
      m.Result = 0;
      return false;
    }
    default:
      return true;
  }
}

// Answers a WM_PAINT or WM_PRINTCLIENT by painting into the message's device context or the
// window's paint DC.
template <class Paint>
void PaintMessage(HWND wnd, const host::TMessage& m, Paint paint) {
  if (m.Msg == WM_PRINTCLIENT || (m.Msg == WM_PAINT && m.WParam)) {
    paint(reinterpret_cast<HDC>(m.WParam));
    return;
  }
  host::TPaintDC dc(wnd);
  if (dc.Get()) paint(dc.Get());
}

// The same for a control whose wrapper paints into a device context (`paintTo(HDC)`), the erase
// left out and WM_PRINTCLIENT answered too: false when it took the message.
template <class PaintTo>
bool TakePaintTo(host::TMessage& m, HWND wnd, PaintTo paintTo) {
  switch (m.Msg) {
    case WM_ERASEBKGND:
      m.Result = 1;
      return false;
    case WM_PAINT:
    case WM_PRINTCLIENT:
      PaintMessage(wnd, m, paintTo);
      m.Result = 0;
      return false;
    default:
      return true;
  }
}

// Messages after which a control that paints what they change itself (tool bars, tab controls)
// needs no repaint from its wrapper: the paint and erase (painted inside the message), and the
// presses and keys whose changes the control invalidates itself.
inline bool RedrawnByTheControl(UINT msg) {
  switch (msg) {
    case WM_PAINT:
    case WM_ERASEBKGND:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_KEYDOWN:
    case WM_KEYUP:
      return true;
    default:
      return false;
  }
}

}  // namespace vex::engine
