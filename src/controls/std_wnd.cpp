#include "controls/std_wnd.h"

#include <windowsx.h>

#include <algorithm>
#include <mutex>

#include "controls/button_painters.h"
#include "controls/button_press.h"
#include "engine/skin_engine.h"
#include "host/gdi_handle.h"
#include "host/subclass.h"
#include "utils/back_buffer.h"
#include "engine/skin_window.h"
#include "host/canvas.h"
#include "skin2/skin_keys.h"
#include "utils/paint_primitives.h"
#include "utils/platform_helpers.h"
#include "utils/text_helpers.h"

namespace vex::engine {

using namespace vex::host;
namespace keys = vex::skin2;

const TClassInfo& TvexSkinWndButton::StaticClass() {
  static const TClassInfo info("TvexSkinWndButton", &TvexSkinControlWnd::StaticClass());
  return info;
}
const TClassInfo& TvexSkinWndCheckBox::StaticClass() {
  static const TClassInfo info("TvexSkinWndCheckBox", &TvexSkinControlWnd::StaticClass());
  return info;
}
const TClassInfo& TvexSkinWndRadioButton::StaticClass() {
  static const TClassInfo info("TvexSkinWndRadioButton", &TvexSkinControlWnd::StaticClass());
  return info;
}

// ---------------------------------------------------------------------------------------------
// Push buttons: the wrapper paints them and makes the click itself.

TvexSkinWndButton::~TvexSkinWndButton() {
  if (HoverTimer && IsWindow(Handle)) KillTimer(Handle, kHoverTimerId);
}

bool TvexSkinWndButton::BeforeMessage(TMessage& m) {
  if (m.Msg == WM_SETTEXT) CaptionKnown = false;
  switch (m.Msg) {
    case WM_KEYDOWN:
      if (m.WParam == VK_SPACE) {
        m.Result = 0;
        return true;
      }
      if (m.WParam == VK_RETURN) {
        m.Result = 0;
        return false;
      }
      return true;
    case WM_MOUSEMOVE: {
      const std::uint8_t before = State;
      State |= csHot;
      if (!HoverTimer && !TrackingLeave) {
        // Without the hover timer the system says when the mouse leaves.
        TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, Handle, 0};
        TrackingLeave = TrackMouseEvent(&t) != FALSE;
      }
      press::Move(Handle, ClickArmed, State, m.LParam);
      // Every mouse move comes here: the button repaints only when its look changes.
      if (State != before) Paint();
      return true;
    }
    case WM_MOUSELEAVE:
      TrackingLeave = false;
      if (GetCapture() != Handle) {
        State &= static_cast<std::uint8_t>(~(csHot | csPressed));
        Paint();
      }
      return true;
    case WM_LBUTTONDBLCLK:
      // A button with BS_NOTIFY answers the second press of a double click with BN_DOUBLECLICKED
      // and no press, as the system's own button does: its own procedure says so.
      if (NotifiesDoubleClicks()) return true;
      [[fallthrough]];
    case WM_LBUTTONDOWN:
      // Both halves of a double click are presses, as on the system's own button. The button holds
      // the mouse, so that only a release over it, after a press on it, clicks.
      press::Down(Handle, State);
      Paint();
      m.Result = 0;
      return false;
    case WM_LBUTTONUP: {
      const bool click = press::Up(Handle, ClickArmed, State, m.LParam);
      Paint();
      if (click)
        PostMessageW(GetParent(Handle), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(Handle), BN_CLICKED), reinterpret_cast<LPARAM>(Handle));
      m.Result = 0;
      return false;
    }
    case WM_CAPTURECHANGED:
      // The press was taken away (another window holds the mouse now): no click follows.
      if (press::Lost(Handle, ClickArmed, State, m.LParam)) Paint();
      return true;
    case WM_KILLFOCUS:
      // The button's own procedure sends its focus notification and lets go of a Space press.
      State &= static_cast<std::uint8_t>(~csPressed);
      return true;
    case WM_PAINT: {
      TPaintDC dc(Handle);
      PaintTo(dc.Get());
      m.Result = 0;
      return false;
    }
    case WM_ERASEBKGND:
      m.Result = 1;  // the paint covers every pixel
      return false;
    case WM_TIMER:
      // The hover timer lives on the button's own window; its ticks are the wrapper's.
      if (m.WParam == kHoverTimerId && HoverTimer) {
        Poll();
        m.Result = 0;
        return false;
      }
      return true;
    default:
      return true;
  }
}

void TvexSkinWndButton::AfterMessage(TMessage& m) {
  if (m.Msg == WM_PAINT || m.Msg == WM_ERASEBKGND) return;  // painted in the message itself
  TvexSkinControlWnd::AfterMessage(m);
  switch (m.Msg) {
    case WM_LBUTTONDBLCLK:
      if (!NotifiesDoubleClicks()) MouseDown();
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      Repaint();
      break;
    default:
      break;
  }
}

bool TvexSkinWndButton::NotifiesDoubleClicks() const { return (GetWindowLongW(Handle, GWL_STYLE) & BS_NOTIFY) != 0; }

void TvexSkinWndButton::MouseDown() {
  const std::shared_ptr<bool> alive = Alive;
  SetFocus(Handle);  // the focus change may run any code of the dialog
  if (*alive) ClickArmed = true;
}

void TvexSkinWndButton::MouseUp() {
  // The release is handled before the button's own procedure (it clicks only over the button).
}

void TvexSkinWndButton::Attached() {
  ClickArmed = false;
  FirstPaintDone = false;
  HoverTimer = 0;
  if (!Owner || !Owner->FHasAnimation) HoverTimer = SetTimer(Handle, kHoverTimerId, kHoverInterval, nullptr);
}

void TvexSkinWndButton::Detach() {
  if (HoverTimer && IsWindow(Handle)) KillTimer(Handle, kHoverTimerId);
  HoverTimer = 0;
  EndPress();
  TvexSkinControlWnd::Detach();
}

void TvexSkinWndButton::UpdateSkinState() {
  // Switched off in the middle of a press: the button lets go of the mouse, which the press it
  // made itself holds (the control's own procedure never saw that press).
  if (!Engine || !Engine->IsSkinActive()) EndPress();
}

void TvexSkinWndButton::EndPress() {
  const bool holding = ClickArmed || Pressed();
  ClickArmed = false;
  State &= static_cast<std::uint8_t>(~csPressed);
  if (holding && Handle && GetCapture() == Handle) ReleaseCapture();
}

void TvexSkinWndButton::Poll() {
  if (Hot()) {
    POINT p;
    GetCursorPos(&p);
    RECT r;
    GetWindowRect(Handle, &r);
    if (!utils::PointInRect(p.x, p.y, r)) {
      State &= static_cast<std::uint8_t>(~(csHot | csPressed));
      Paint();
    }
  }
  if (!FirstPaintDone) {
    FirstPaintDone = true;
    Paint();
  }
}

void TvexSkinWndButton::Paint() { RedrawNow(); }

void TvexSkinWndButton::PaintTo(HDC dc) {
  // What a push button shows, asked of the window once per paint (each question may be a round
  // trip to the window server): no check state, and no font (native push buttons show their
  // caption in the menu font); the caption is kept until the window's text changes.
  TControlView view = TvexSkinControl::View();
  view.focused = HasFocus(Handle);
  view.isDefault = (static_cast<DWORD>(GetWindowLongW(Handle, GWL_STYLE)) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
  view.rightToLeft = (static_cast<DWORD>(GetWindowLongW(Handle, GWL_EXSTYLE)) & (WS_EX_LAYOUTRTL | WS_EX_RTLREADING)) != 0;
  if (!CaptionKnown) {
    Caption = utils::GetWindowTextUnicode(Handle);
    CaptionKnown = true;
  }
  view.caption = Caption;
  view.font = nullptr;
  const int w = view.bounds.right - view.bounds.left, h = view.bounds.bottom - view.bounds.top;
  if (w <= 0 || h <= 0) return;
  utils::TBackBuffer& buffer = utils::TBackBuffer::ForThread();
  PaintPushButton(*Engine, view, buffer.Canvas(w, h));
  buffer.CopyTo(dc, 0, 0, w, h);
}

// ---------------------------------------------------------------------------------------------
// Check boxes and radio buttons: the window paints itself, then the skin's box goes over its own.

namespace {

// After the control has painted itself in its WM_PAINT, the skin's box goes over its own: composed
// in the back buffer and copied onto the box's column.
// WM_PAINT of a check box or radio button: the control paints itself into the paint DC, then the
// skin's box, composed in the back buffer, goes over the control's own box in the same DC.
bool PaintWithBox(TvexSkinControlWnd& c, TMessage& m, TBoxPainter box) {
  if (m.Msg != WM_PAINT) return false;
  TPaintDC dc(c.Handle);
  host::DefSubclass(c.Handle, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
  CopyBoxColumn(*c.Engine, c.View(), dc.Get(), box);
  m.Result = 0;
  return true;
}

}  // namespace

int TvexSkinWndCheckBox::Slice(LRESULT check, bool enabled) { return CheckBoxSlice(static_cast<int>(check), enabled); }

bool TvexSkinWndCheckBox::BeforeMessage(TMessage& m) { return !PaintWithBox(*this, m, PaintCheckBoxBox); }

void TvexSkinWndCheckBox::AfterMessage(TMessage& m) {
  if (m.Msg == WM_PAINT) return;  // painted in the message
  // The erase comes inside the control's own paint, whose end paints the box: a repaint started
  // here would run a second paint inside the first.
  if (m.Msg == WM_ERASEBKGND) return;
  TvexSkinControlWnd::AfterMessage(m);
  // A check state set by message shows at once, as for the other check box and radio wrappers.
  if (m.Msg == WM_LBUTTONDBLCLK || m.Msg == BM_SETCHECK) Repaint();
}

void TvexSkinWndCheckBox::Paint() { RedrawNow(); }

int TvexSkinWndRadioButton::Slice(LRESULT check, bool enabled) { return RadioButtonSlice(static_cast<int>(check), enabled); }

bool TvexSkinWndRadioButton::BeforeMessage(TMessage& m) { return !PaintWithBox(*this, m, PaintRadioButtonBox); }

void TvexSkinWndRadioButton::AfterMessage(TMessage& m) {
  if (m.Msg == WM_PAINT) return;  // painted in the message
  // The erase comes inside the control's own paint, whose end paints the box: a repaint started
  // here would run a second paint inside the first.
  if (m.Msg == WM_ERASEBKGND) return;
  TvexSkinControlWnd::AfterMessage(m);
  if (m.Msg == WM_LBUTTONDBLCLK || m.Msg == BM_SETCHECK) Repaint();
}

void TvexSkinWndRadioButton::Paint() { RedrawNow(); }

void RegisterStandardWindowClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    // Combo boxes, tab controls and tool bars get their wrappers with their own controls.
    const TWindowClassRow rows[] = {
        {"BUTTON", [](HWND w, TvexSkinWindow* f) -> TvexSkinControlWnd* { return NewControlWrapper<TvexSkinWndButton>(w, f); }},
        {"BUTTON_CHECKBOX",
         [](HWND w, TvexSkinWindow* f) -> TvexSkinControlWnd* { return NewControlWrapper<TvexSkinWndCheckBox>(w, f); }},
        {"BUTTON_RADIOBUTTON",
         [](HWND w, TvexSkinWindow* f) -> TvexSkinControlWnd* { return NewControlWrapper<TvexSkinWndRadioButton>(w, f); }},
    };
    RegisterWindowClasses(rows);
  });
}

}  // namespace vex::engine
