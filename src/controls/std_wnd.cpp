#include "controls/std_wnd.h"

#include <windowsx.h>

#include <algorithm>
#include <mutex>

#include "engine/skin_engine.h"
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
      State |= csHot;
      if (!HoverTimer && !TrackingLeave) {
        // Without the hover timer the system says when the mouse leaves.
        TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, Handle, 0};
        TrackingLeave = TrackMouseEvent(&t) != FALSE;
      }
      if (GetCapture() == Handle && ClickArmed) {
        // While the press lasts the button shows pressed only with the cursor over it.
        RECT r;
        GetClientRect(Handle, &r);
        const POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
        if (PtInRect(&r, p))
          State |= csPressed;
        else
          State &= static_cast<std::uint8_t>(~csPressed);
      }
      Paint();
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
      State |= csPressed;
      SetCapture(Handle);
      Paint();
      m.Result = 0;
      return false;
    case WM_LBUTTONUP: {
      const bool armed = ClickArmed;
      ClickArmed = false;
      if (GetCapture() == Handle) ReleaseCapture();
      RECT r;
      GetClientRect(Handle, &r);
      const POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
      State &= static_cast<std::uint8_t>(~csPressed);
      Paint();
      if (armed && PtInRect(&r, p))
        PostMessageW(GetParent(Handle), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(Handle), BN_CLICKED), reinterpret_cast<LPARAM>(Handle));
      m.Result = 0;
      return false;
    }
    case WM_CAPTURECHANGED:
      // The press was taken away (another window holds the mouse now): no click follows.
      if (reinterpret_cast<HWND>(m.LParam) != Handle && ClickArmed) {
        ClickArmed = false;
        State &= static_cast<std::uint8_t>(~csPressed);
        Paint();
      }
      return true;
    case WM_KILLFOCUS:
      // The button's own procedure sends its focus notification and lets go of a Space press.
      State &= static_cast<std::uint8_t>(~csPressed);
      return true;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(Handle, &ps);
      Paint();
      EndPaint(Handle, &ps);
      m.Result = 0;
      return false;
    }
    case WM_ERASEBKGND:
      Paint();
      return true;
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
  TvexSkinControlWnd::Detach();
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

void TvexSkinWndButton::Paint() {
  const TColor trans = Engine->SkinMetrics().TransparentColor;
  const bool transparent = Engine->GetSkinSwitch(keys::switches::SKIN2_BUTTONTRANS);
  TBitmap s;
  s.SetPixelFormat(TPixelFormat::pf24bit);
  const int w = WindowWidth(), h = WindowHeight();
  if (w <= 0 || h <= 0) return;
  TBitmap b(w, h, TPixelFormat::pf24bit);
  const RECT r{0, 0, w, h};
  utils::FillRectColor(b.Canvas(), r, Engine->GetSkinColor(keys::color::SKIN2_FORMCOLOR));
  const int slice = Pressed() ? 3 : Hot() ? 2 : 1;
  if (Engine->GetSkinBitmap(keys::bitmap::SKIN2_BUTTON, s, 3, slice)) {
    s.SetTransparentColor(trans);
    s.SetTransparent(transparent);
    utils::PaintNineSection(s, b.Canvas(), r, transparent, trans);
  }
  if (GetFocus() == Handle) {
    RECT f{5, 5, w - 5, h - 5};
    if (Pressed()) OffsetRect(&f, 1, 1);
    b.Canvas().Brush.style = TBrushStyle::bsSolid;
    b.Canvas().DrawFocusRect(f);
  }
  utils::AssignMenuFont(b.Canvas().Font());
  b.Canvas().Font().SetColor(Engine->GetSkinColor(keys::color::SKIN2_BUTTONFONTCOLOR));
  DrawCaption(b, WindowText(), false, r, &b.Canvas().Font());
}

// ---------------------------------------------------------------------------------------------
// Check boxes and radio buttons: the window paints itself, then the skin's box goes over its own.

namespace {

void PaintBox(TvexSkinControlWnd& c, int key, int count, int slice, bool transparent) {
  TvexSkinEngine* e = c.Engine;
  TBitmap s;
  s.SetPixelFormat(TPixelFormat::pf24bit);
  const bool have = e->GetSkinBitmap(key, s, count, slice);
  if (have) {
    s.SetTransparentColor(e->SkinMetrics().TransparentColor);
    s.SetTransparent(transparent);
  }
  const int sw = have ? s.Width() : 0, sh = have ? s.Height() : 0;
  const int bw = std::max(sw, 14), bh = std::max(sh, c.WindowHeight());
  if (bw <= 0 || bh <= 0) return;
  TBitmap b(bw, bh, TPixelFormat::pf24bit);
  utils::FillRectColor(b.Canvas(), RECT{0, 0, bw, bh}, e->GetFormColor());
  if (have) b.Canvas().Draw(0, 0, s);
  // BS_LEFTTEXT (also spelt BS_RIGHTBUTTON): the box stands at the right edge, as the control
  // draws its own.
  const bool boxRight = (GetWindowLongW(c.Handle, GWL_STYLE) & BS_LEFTTEXT) != 0;
  c.DrawGraphicAt(b, POINT{boxRight ? c.WindowWidth() - bw : 0, 0});
}

}  // namespace

int TvexSkinWndCheckBox::Slice(LRESULT check, bool enabled) {
  if (check == BST_CHECKED) return enabled ? 1 : 4;
  if (check == BST_UNCHECKED) return enabled ? 3 : 6;
  return enabled ? 2 : 5;
}

void TvexSkinWndCheckBox::AfterMessage(TMessage& m) {
  TvexSkinControlWnd::AfterMessage(m);
  // A check state set by message shows at once, as for the other check box and radio wrappers.
  if (m.Msg == WM_LBUTTONDBLCLK || m.Msg == BM_SETCHECK) Repaint();
}

void TvexSkinWndCheckBox::Paint() {
  const LRESULT check = SendMessageW(Handle, BM_GETCHECK, 0, 0);
  PaintBox(*this, keys::bitmap::SKIN2_CHECKBOX, 6, Slice(check, GetEnabled()),
           Engine->GetSkinSwitch(keys::switches::SKIN2_CHECKBOXTRANS));
}

int TvexSkinWndRadioButton::Slice(LRESULT check, bool enabled) {
  if (check != 0) return enabled ? 1 : 3;
  return enabled ? 2 : 4;
}

void TvexSkinWndRadioButton::AfterMessage(TMessage& m) {
  TvexSkinControlWnd::AfterMessage(m);
  if (m.Msg == WM_LBUTTONDBLCLK || m.Msg == BM_SETCHECK) Repaint();
}

void TvexSkinWndRadioButton::Paint() {
  const LRESULT check = SendMessageW(Handle, BM_GETCHECK, 0, 0);
  PaintBox(*this, keys::bitmap::SKIN2_RADIOBUTTON, 4, Slice(check, GetEnabled()), true);
}

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
    RegisterWindowClasses(rows, 2);
  });
}

}  // namespace vex::engine
