#include "controls/combo_ctrl.h"

#include <commctrl.h>

#include <mutex>
#include <optional>

#include "engine/skin_engine.h"
#include "engine/skin_window.h"
#include "host/combo_box.h"
#include "host/combo_box_ex.h"
#include "host/date_time_picker.h"
#include "controls/range_ctrl.h"
#include "skin2/skin_keys.h"
#include "utils/paint_primitives.h"
#include "utils/platform_helpers.h"

namespace vex::engine {

using namespace vex::host;
namespace keys = vex::skin2;

const TClassInfo& TvexSkinComboBox::StaticClass() {
  static const TClassInfo info("TvexSkinComboBox", &TvexSkinControlVCL::StaticClass());
  return info;
}
const TClassInfo& TvexSkinComboBoxEx::StaticClass() {
  static const TClassInfo info("TvexSkinComboBoxEx", &TvexSkinControlVCL::StaticClass());
  return info;
}
const TClassInfo& TvexSkinWndComboBox::StaticClass() {
  static const TClassInfo info("TvexSkinWndComboBox", &TvexSkinBorderWndControl::StaticClass());
  return info;
}
const TClassInfo& TvexSkinInternalComboButton::StaticClass() {
  static const TClassInfo info("TvexSkinInternalComboButton", &TCustomPanel::StaticClass());
  return info;
}
const TClassInfo& TvexSkinExtComboboxLikeControl::StaticClass() {
  static const TClassInfo info("TvexSkinExtComboboxLikeControl", &TvexSkinBorderWinControl::StaticClass());
  return info;
}
const TClassInfo& TvexSkinInternalUpDown::StaticClass() {
  static const TClassInfo info("TvexSkinInternalUpDown", &TCustomUpDown::StaticClass());
  return info;
}
const TClassInfo& TvexSkinWndDateTimePicker::StaticClass() {
  static const TClassInfo info("TvexSkinWndDateTimePicker", &TvexSkinBorderWndControl::StaticClass());
  return info;
}
const TClassInfo& TvexSkinDateTimePicker::StaticClass() {
  static const TClassInfo info("TvexSkinDateTimePicker", &TvexSkinExtComboboxLikeControl::StaticClass());
  return info;
}

namespace {

constexpr std::int64_t kNoSkinnedUpDownTag = 9998;

std::optional<std::int64_t> Prop(const TControl& c, const char* name) { return TryGetProp<std::int64_t>(c, name); }

// Sends a press or release at the cursor point of the current message to `target`, in its client
// coordinates, as if it had been clicked there.
void PassPress(HWND target, UINT msg) {
  if (!target) return;
  const DWORD pos = GetMessagePos();
  POINT p{static_cast<LONG>(LOWORD(pos)), static_cast<LONG>(HIWORD(pos))};
  ScreenToClient(target, &p);
  ReleaseCapture();
  // The second press of a quick pair is a double click only to windows whose class asks for
  // them; the target hears it as it would have from the mouse.
  if (msg == WM_LBUTTONDBLCLK && !(GetClassLongPtrW(target, GCL_STYLE) & CS_DBLCLKS)) msg = WM_LBUTTONDOWN;
  SendMessageW(target, msg, MK_LBUTTON, MAKELPARAM(p.x, p.y));
}

HWND NativeUpDownOf(HWND picker) { return picker ? FindWindowExW(picker, nullptr, UPDOWN_CLASSW, nullptr) : nullptr; }

}  // namespace

void PaintComboButton(TCanvas& canvas, TvexSkinEngine& engine, const RECT& button, bool rightToLeft, bool enabled, int arrowY) {
  utils::FillRectColor(canvas, button, engine.GetSkinColor(keys::color::SKIN2_CONTROLCOLOR));
  canvas.Pen.color = engine.GetSkinColor(keys::color::SKIN2_CONTROLBORDERCOLOR);
  const int x = rightToLeft ? button.right : button.left;
  canvas.MoveTo(x, button.top - 1);
  canvas.LineTo(x, button.bottom + 1);
  utils::DrawArrowDown(canvas, button.left + (button.right - button.left) / 2 - 3, arrowY, enabled);
}

void PaintComboFrame(TvexSkinControlVCL& wrapper, HWND combo, TCanvas& canvas) {
  TControl* control = wrapper.Control;
  TvexSkinEngine* engine = wrapper.Engine;
  if (!control || !engine || !combo) return;
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  if (!utils::LateGetComboBoxInfo(combo, &info)) return;
  if (Prop(*control, "Style").value_or(csDropDown) == csSimple) return;
  const TColor border = engine->GetSkinColor(keys::color::SKIN2_CONTROLBORDERCOLOR);
  RECT r = control->ClientRect();
  utils::FrameRectColor(canvas, r, border);
  InflateRect(&r, -1, -1);
  utils::FrameRectColor(canvas, r, control->Color());
  if (SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) && info.hwndList) {
    RECT list;
    GetWindowRect(info.hwndList, &list);
    if (HDC screen = GetWindowDC(nullptr)) {
      TCanvas sc(screen);
      utils::FrameRectColor(sc, list, border);
      sc.SetHandle(nullptr);
      ReleaseDC(nullptr, screen);
    }
  }
  const RECT& b = info.rcButton;
  PaintComboButton(canvas, *engine, b, control->BiDiMode() == bdRightToLeft, control->Enabled(), (b.bottom - b.top) / 2);
}

// ---------------------------------------------------------------------------------------------
// Combo boxes

void TvexSkinComboBox::Paint() {
  auto* wc = dynamic_cast<TWinControl*>(Control);
  if (!wc || !wc->HandleAllocated()) return;
  TWindowCanvas canvas(wc->Handle(), TWindowDC::TKind::Client);
  PaintComboFrame(*this, wc->Handle(), canvas);
}

void TvexSkinComboBoxEx::AfterMessage(TMessage& m) {
  const std::shared_ptr<bool> alive = Alive;
  TvexSkinControlVCL::AfterMessage(m);
  if (*alive && !Detached && m.Msg == WM_DRAWITEM) Repaint();
}

void TvexSkinComboBoxEx::Paint() {
  auto* wc = dynamic_cast<TWinControl*>(Control);
  if (!wc || !wc->HandleAllocated()) return;
  const HWND combo = reinterpret_cast<HWND>(SendMessageW(wc->Handle(), CBEM_GETCOMBOCONTROL, 0, 0));
  if (!combo) return;
  TWindowCanvas canvas(combo, TWindowDC::TKind::Whole);
  PaintComboFrame(*this, combo, canvas);
}

void TvexSkinWndComboBox::Paint() {
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  if (!Handle || !utils::LateGetComboBoxInfo(Handle, &info)) return;
  TvexSkinBorderWndControl::Paint();
  TWindowCanvas canvas(Handle, TWindowDC::TKind::Whole);
  const RECT& b = info.rcButton;
  PaintComboButton(canvas, *Engine, b, false, true, (b.bottom - b.top) / 2);
}

// ---------------------------------------------------------------------------------------------
// The drop button laid over a control's own

TvexSkinInternalComboButton::TvexSkinInternalComboButton(TComponent* owner) : TCustomPanel(owner, StaticClass()) {
  SetBevelOuter(bvNone);
  SetBounds(0, 0, 16, 16);
}

TvexSkinInternalComboButton::~TvexSkinInternalComboButton() {
  *alive_ = false;
  TvexSkinExtComboboxLikeControl* w = PickerWrapper;
  PickerWrapper = nullptr;
  if (w && !PickerWrapperAlive.expired() && !w->Detached && w->DropButton == this) w->DropButton = nullptr;
}

void TvexSkinInternalComboButton::Paint() {
  TvexSkinEngine* engine = PickerWrapper && !PickerWrapperAlive.expired() ? PickerWrapper->Engine : nullptr;
  if (!engine) {
    TCustomPanel::Paint();
    return;
  }
  const RECT r = ClientRect();
  PaintComboButton(Canvas(), *engine, r, false, PickerControl ? PickerControl->Enabled() : true, (r.bottom - r.top) / 2 - 2);
}

void TvexSkinInternalComboButton::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP: {
      TCustomPanel::WndProc(m);
      const auto alive = alive_;
      if (*alive && PickerControl && PickerControl->HandleAllocated()) PassPress(PickerControl->Handle(), m.Msg);
      return;
    }
    default:
      TCustomPanel::WndProc(m);
  }
}

TvexSkinExtComboboxLikeControl::~TvexSkinExtComboboxLikeControl() { DestroyDropButton(); }

void TvexSkinExtComboboxLikeControl::DestroyDropButton() {
  TvexSkinInternalComboButton* b = DropButton;
  DropButton = nullptr;
  if (!b || b->HasState(csDestroying)) return;
  b->PickerWrapper = nullptr;
  TComponent::Free(b);
}

void TvexSkinExtComboboxLikeControl::Attached() {
  TvexSkinBorderWinControl::Attached();
  if (!Engine || Engine->Designing() || !Control || !Control->Is<TWinControl>()) return;
  try {
    DropButton = new TvexSkinInternalComboButton(Engine);
    DropButton->PickerWrapper = this;
    DropButton->PickerWrapperAlive = Alive;
    DropButton->PickerControl = static_cast<TWinControl*>(Control);
    DropButton->SetParent(static_cast<TWinControl*>(Control));
    DropButton->SetVisible(Engine->IsSkinActive());
    DropButton->SetAlign(alRight);
    DropButton->BringToFront();
  } catch (...) {
    DestroyDropButton();
  }
}

void TvexSkinExtComboboxLikeControl::Detach() {
  TvexSkinBorderWinControl::Detach();
  DestroyDropButton();
}

void TvexSkinExtComboboxLikeControl::UpdateSkinState() {
  TvexSkinBorderWinControl::UpdateSkinState();
  if (DropButton && Engine) DropButton->SetVisible(Engine->IsSkinActive());
}

void TvexSkinExtComboboxLikeControl::AfterMessage(TMessage& m) {
  const std::shared_ptr<bool> alive = Alive;
  TvexSkinBorderWinControl::AfterMessage(m);
  if (*alive && !Detached && m.Msg == CM_VISIBLECHANGED && DropButton && Control) DropButton->SetVisible(Control->Visible());
}

void TvexSkinExtComboboxLikeControl::Paint() {
  TvexSkinBorderWinControl::Paint();
  auto* wc = dynamic_cast<TWinControl*>(Control);
  if (DropButton && wc && wc->HandleAllocated()) DropButton->Invalidate();
}

// ---------------------------------------------------------------------------------------------
// Date-time pickers

TvexSkinInternalUpDown::TvexSkinInternalUpDown(TComponent* owner) : TCustomUpDown(owner, StaticClass()) { SetBounds(0, 0, 16, 16); }

TvexSkinInternalUpDown::~TvexSkinInternalUpDown() {
  *alive_ = false;
  Picker = nullptr;
  TvexSkinDateTimePicker* w = PickerWrapper;
  PickerWrapper = nullptr;
  if (w && !PickerWrapperAlive.expired() && !w->Detached && w->SkinUpDown == this) {
    w->SkinUpDown = nullptr;
    // Freed from outside while the picker stays: its own arrows stand in again.
    w->UpdateSkinState();
  }
}

void TvexSkinInternalUpDown::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK: {
      TCustomUpDown::WndProc(m);
      const auto alive = alive_;
      // The press goes to the picker's own arrows (hidden under these), at the same place on
      // them as on these.
      if (*alive && Picker && Picker->HandleAllocated()) PassPress(NativeUpDownOf(Picker->Handle()), m.Msg);
      return;
    }
    case WM_NCHITTEST:
      TCustomUpDown::WndProc(m);
      ReleaseCapture();
      return;
    default:
      TCustomUpDown::WndProc(m);
  }
}

TvexSkinDateTimePicker::~TvexSkinDateTimePicker() { DestroyUpDown(); }

bool TvexSkinDateTimePicker::ShowsDropDown() const {
  if (!Control) return false;
  return Prop(*Control, "Kind").value_or(dtkDate) == dtkDate && Prop(*Control, "DateMode").value_or(dmComboBox) == dmComboBox;
}

void TvexSkinDateTimePicker::DestroyUpDown() {
  TvexSkinInternalUpDown* u = SkinUpDown;
  SkinUpDown = nullptr;
  if (!u || u->HasState(csDestroying)) return;
  u->PickerWrapper = nullptr;
  TComponent::Free(u);
}

void TvexSkinDateTimePicker::Attached() {
  TvexSkinExtComboboxLikeControl::Attached();
  if (!Engine || Engine->Designing() || !Control || !Control->Is<TWinControl>()) return;
  if (DropButton) DropButton->SetVisible(ShowsDropDown() && Engine->IsSkinActive());
  if (Control->Tag() == kNoSkinnedUpDownTag) return;
  auto* picker = static_cast<TWinControl*>(Control);
  try {
    SkinUpDown = new TvexSkinInternalUpDown(picker);
    SkinUpDown->Picker = picker;
    SkinUpDown->PickerWrapper = this;
    SkinUpDown->PickerWrapperAlive = Alive;
    SkinUpDown->SetParent(picker);
    SkinUpDown->SetVisible(!(DropButton && DropButton->Visible()) && Engine->IsSkinActive());
    SkinUpDown->SetAlign(alRight);
    SkinUpDown->BringToFront();
  } catch (...) {
    DestroyUpDown();
  }
  UpdateSkinState();
}

void TvexSkinDateTimePicker::Detach() {
  TvexSkinExtComboboxLikeControl::Detach();
  DestroyUpDown();
  if (auto* wc = dynamic_cast<TWinControl*>(Control); wc && wc->HandleAllocated() && !Control->HasState(csDestroying))
    if (HWND native = NativeUpDownOf(wc->Handle())) ShowWindow(native, SW_SHOW);
}

void TvexSkinDateTimePicker::AfterMessage(TMessage& m) {
  const std::shared_ptr<bool> alive = Alive;
  TvexSkinExtComboboxLikeControl::AfterMessage(m);
  if (!*alive || Detached) return;
  // A picker's window made after the wrapper came, or made anew for another kind or mode, has
  // arrows of its own again and may want the other of the skin's parts: its children's windows
  // (its own arrows, then the skin's button and arrows) are made with it, each telling it so.
  if ((m.Msg == WM_PARENTNOTIFY && LOWORD(m.WParam) == WM_CREATE) || m.Msg == CM_RECREATEWND) UpdateSkinState();
}

void TvexSkinDateTimePicker::UpdateSkinState() {
  // The border's state only: the drop button is set once, here, for the picker's mode (shown by
  // the combo-like part first, a picker without a drop-down had it cover its arrows a moment).
  TvexSkinBorderWinControl::UpdateSkinState();
  auto* wc = dynamic_cast<TWinControl*>(Control);
  const HWND native = wc && wc->HandleAllocated() ? NativeUpDownOf(wc->Handle()) : nullptr;
  if (DropButton && Engine) DropButton->SetVisible(Engine->IsSkinActive() && ShowsDropDown());
  if (!SkinUpDown || !Engine) {
    // Nothing in their place: the picker's own arrows show.
    if (native && !Control->HasState(csDestroying)) ShowWindow(native, SW_SHOW);
    return;
  }
  if (Engine->IsSkinActive()) {
    SkinUpDown->SetVisible(!(DropButton && DropButton->Visible()));
    if (native) ShowWindow(native, SW_HIDE);
  } else {
    SkinUpDown->SetVisible(false);
    if (native) ShowWindow(native, SW_SHOW);
  }
}

// ---------------------------------------------------------------------------------------------
// Native date-time pickers

TvexSkinWndDateTimePicker::~TvexSkinWndDateTimePicker() {
  if (Arrows) Arrows->Detach();
}

void TvexSkinWndDateTimePicker::Attached() {
  TvexSkinBorderWndControl::Attached();
  if (!Handle) return;
  if (HWND arrows = NativeUpDownOf(Handle)) {
    try {
      Arrows.reset(NewControlWrapper<TvexSkinWndUpDown>(arrows, Owner));
    } catch (...) {
      Arrows.reset();  // the arrows keep their own look
    }
  }
}

void TvexSkinWndDateTimePicker::Detach() {
  TvexSkinBorderWndControl::Detach();
  if (Arrows) {
    Arrows->Detach();
    Arrows.reset();
  }
  if (Handle && IsWindow(Handle)) InvalidateRect(Handle, nullptr, TRUE);
}

RECT TvexSkinWndDateTimePicker::DropButtonRect() const {
  if (!Handle || NativeUpDownOf(Handle) || (GetWindowLongW(Handle, GWL_STYLE) & DTS_UPDOWN)) return RECT{};
  DATETIMEPICKERINFO info{};
  info.cbSize = sizeof info;
  if (SendMessageW(Handle, DTM_GETDATETIMEPICKERINFO, 0, reinterpret_cast<LPARAM>(&info)) && info.rcButton.right > info.rcButton.left)
    return info.rcButton;
  // Without the query: the button stands at the client area's right end, a scroll arrow wide.
  RECT c;
  GetClientRect(Handle, &c);
  return RECT{c.right - GetSystemMetrics(SM_CXVSCROLL), c.top, c.right, c.bottom};
}

void TvexSkinWndDateTimePicker::Paint() {
  TvexSkinBorderWndControl::Paint();
  const RECT b = DropButtonRect();
  if (!Engine || b.right <= b.left) return;
  TWindowCanvas canvas(Handle, TWindowDC::TKind::Client);
  PaintComboButton(canvas, *Engine, b, false, IsWindowEnabled(Handle) != FALSE, b.top + (b.bottom - b.top) / 2 - 2);
}

// ---------------------------------------------------------------------------------------------
// Registration

void RegisterComboControlClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    const TControlClassRow rows[] = {
        {&TDateTimePicker::StaticClass(),
         [](TControl* c, TvexSkinWindow* f) -> TvexSkinControlVCL* { return NewControlWrapper<TvexSkinDateTimePicker>(c, f); }},
        {&TCustomComboBox::StaticClass(),
         [](TControl* c, TvexSkinWindow* f) -> TvexSkinControlVCL* { return NewControlWrapper<TvexSkinComboBox>(c, f); }},
        {&TCustomComboBoxEx::StaticClass(),
         [](TControl* c, TvexSkinWindow* f) -> TvexSkinControlVCL* { return NewControlWrapper<TvexSkinComboBoxEx>(c, f); }},
    };
    RegisterControlClasses(rows);
  });
}

void RegisterComboWindowClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    const auto combo = [](HWND h, TvexSkinWindow* f) -> TvexSkinControlWnd* { return NewControlWrapper<TvexSkinWndComboBox>(h, f); };
    const TWindowClassRow rows[] = {
        {"COMBOBOX", combo},
        {"COMBOBOXEX32", combo},
        {"SYSDATETIMEPICK32",
         [](HWND h, TvexSkinWindow* f) -> TvexSkinControlWnd* { return NewControlWrapper<TvexSkinWndDateTimePicker>(h, f); }},
    };
    RegisterWindowClasses(rows);
  });
}

}  // namespace vex::engine
