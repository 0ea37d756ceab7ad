#include "engine/skin_control.h"

#include <commctrl.h>

#include <algorithm>
#include <cwctype>

#include "engine/skin_engine.h"
#include "engine/skin_window.h"
#include "host/callback_guard.h"
#include "host/canvas.h"
#include "host/grids.h"
#include "host/scroll_box.h"
#include "host/subclass.h"
#include "host/text_encoding.h"
#include "host/win_control.h"
#include "skin2/skin_keys.h"
#include "utils/paint_primitives.h"
#include "utils/platform_helpers.h"

namespace vex::engine {

using namespace vex::host;
namespace keys = vex::skin2;

const TClassInfo& TvexSkinControl::StaticClass() {
  static const TClassInfo info("TvexSkinControl", &TObject::StaticClass());
  return info;
}
const TClassInfo& TvexSkinControlVCL::StaticClass() {
  static const TClassInfo info("TvexSkinControlVCL", &TvexSkinControl::StaticClass());
  return info;
}
const TClassInfo& TvexSkinControlWnd::StaticClass() {
  static const TClassInfo info("TvexSkinControlWnd", &TvexSkinControl::StaticClass());
  return info;
}
const TClassInfo& TvexSkinBorderWinControl::StaticClass() {
  static const TClassInfo info("TvexSkinBorderWinControl", &TvexSkinControlVCL::StaticClass());
  return info;
}
const TClassInfo& TvexSkinBorderWndControl::StaticClass() {
  static const TClassInfo info("TvexSkinBorderWndControl", &TvexSkinControlWnd::StaticClass());
  return info;
}

// ---------------------------------------------------------------------------------------------
// The base

TvexSkinControl::TvexSkinControl(TvexSkinWindow* owner, const TClassInfo& cls)
    : TObject(cls), Owner(owner), Engine(owner ? owner->FEngine : nullptr) {}

TvexSkinControl::~TvexSkinControl() { *Alive = false; }

TControlView TvexSkinControl::View() const {
  TControlView v;
  GetClientBounds(v.bounds);
  v.enabled = GetEnabled();
  v.hot = Hot();
  v.pressed = Pressed();
  v.dpi = Dpi();
  return v;
}

int TvexSkinControl::Dpi() const { return Owner ? Owner->Dpi() : 96; }

bool TvexSkinControl::HasFocus(HWND window) const {
  if (!window) return false;
  if (Focus < 0) Focus = GetFocus() == window ? 1 : 0;
  return Focus == 1;
}

void TvexSkinControl::NoteMessage(UINT msg) {
  switch (msg) {
    case WM_SETFOCUS:
      Focus = 1;
      break;
    case WM_KILLFOCUS:
      Focus = 0;
      break;
    case WM_DESTROY:
    case WM_NCDESTROY:
    case WM_CREATE:
      Focus = -1;  // a window made again asks anew
      break;
    default:
      break;
  }
}

void TvexSkinControl::Repaint() {
  if (Engine && Engine->IsSkinActive()) Paint();
}

void TvexSkinControl::AfterMessage(TMessage& m) {
  switch (m.Msg) {
    case WM_PAINT:
    case WM_ERASEBKGND:
    case WM_ENABLE:
    case WM_SETTEXT:
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
    case SKM_REPAINT:
      Repaint();
      break;
    case CM_MOUSEENTER:
      State |= csHot;
      Repaint();
      MouseEnter();
      break;
    case CM_MOUSELEAVE:
      State &= static_cast<std::uint8_t>(~(csHot | csPressed));
      Repaint();
      MouseLeave();
      break;
    case WM_LBUTTONDOWN:
      State |= csPressed;
      Repaint();
      MouseDown();
      break;
    case WM_LBUTTONUP:
      State &= static_cast<std::uint8_t>(~csPressed);
      Repaint();
      MouseUp();
      break;
    case WM_KEYDOWN:
      if (m.WParam == VK_SPACE || m.WParam == VK_RETURN) State |= csPressed;
      Repaint();
      KeyDown(m.WParam);
      break;
    case WM_KEYUP:
      if (m.WParam == VK_SPACE || m.WParam == VK_RETURN) State &= static_cast<std::uint8_t>(~csPressed);
      Repaint();
      KeyUp(m.WParam);
      break;
    case SKM_QUERYSKINNED:
      m.Result = 1;
      break;
    default:
      break;
  }
}

// ---------------------------------------------------------------------------------------------
// Scroll-thumb tracking

bool IsScrollTrackedClass(const std::string& n) {
  return n == "TRxRichEdit" || n == "TRxCustomRichEdit" || n == "TJvxRichEdit" || n == "TRichEditViewer";
}

bool TakesPartInThumbTracking(const TControl& control) {
  return control.Is<TCustomGrid>() || control.Is<TScrollBox>() || IsScrollTrackedClass(control.ClassName());
}

namespace {

void QueryThumb(HWND wnd, LONG objectId, TScrollTrackInfo& t, bool takeBar, HWND parent) {
  SCROLLBARINFO info{};
  info.cbSize = sizeof info;
  const BOOL ok = utils::LateGetScrollBarInfo(wnd, objectId, &info);
  if (!ok) return;  // the records keep their values
  t.Info = info;
  t.InfoResult = ok;
  t.ThumbStart = info.xyThumbTop;
  t.ThumbEnd = info.xyThumbBottom;
  t.ThumbLength = info.xyThumbBottom - info.xyThumbTop;
  if (takeBar) {
    POINT a{info.rcScrollBar.left, info.rcScrollBar.top}, b{info.rcScrollBar.right, info.rcScrollBar.bottom};
    if (parent) {
      ScreenToClient(parent, &a);
      ScreenToClient(parent, &b);
    }
    t.BarRect = RECT{a.x, a.y, b.x, b.y};
  }
}

void TrackOne(TvexSkinEngine& engine, HWND wnd, HWND parent, const TMessage& m, bool vertical) {
  TScrollTrackInfo& t = vertical ? engine.VScrollTrack : engine.HScrollTrack;
  t.Tracking = false;
  QueryThumb(wnd, vertical ? OBJID_VSCROLL : OBJID_HSCROLL, t, true, parent);
  switch (LOWORD(m.WParam)) {
    case SB_THUMBTRACK: {
      t.Tracking = true;
      POINT cursor;
      GetCursorPos(&cursor);
      t.ThumbStart += vertical ? cursor.y - t.DragStart.y : cursor.x - t.DragStart.x;
      const int a = GetSystemMetrics(vertical ? SM_CXVSCROLL : SM_CXHSCROLL);
      if (t.ThumbStart < a) t.ThumbStart = a;
      const int barLength = vertical ? t.BarRect.bottom - t.BarRect.top : t.BarRect.right - t.BarRect.left;
      if (barLength - a - t.ThumbLength < t.ThumbStart) t.ThumbStart = barLength - a - t.ThumbLength;
      t.ThumbEnd = t.ThumbStart + t.ThumbLength;
      break;
    }
    case SB_THUMBPOSITION:
      t.Tracking = false;
      QueryThumb(wnd, vertical ? OBJID_VSCROLL : OBJID_HSCROLL, t, false, parent);
      break;
    default:
      break;
  }
}

}  // namespace

void TrackScrollThumb(TvexSkinEngine& engine, HWND wnd, HWND parent, const TMessage& m) {
  switch (m.Msg) {
    case WM_NCLBUTTONDOWN: {
      // Where the press happened (the message's screen point): the cursor may have moved on by
      // the time the press is handled.
      const POINT p{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
      engine.VScrollTrack.DragStart = p;
      engine.HScrollTrack.DragStart = p;
      break;
    }
    case WM_VSCROLL:
      TrackOne(engine, wnd, parent, m, true);
      break;
    case WM_HSCROLL:
      TrackOne(engine, wnd, parent, m, false);
      break;
    default:
      break;
  }
}

// ---------------------------------------------------------------------------------------------
// Framework controls

void TvexSkinControlVCL::TRouteThunk::operator()(TMessage& m) const {
  if (TvexSkinControlVCL* w = link->wrapper)
    w->Route(m);
  else if (link->saved)
    link->saved(m);
}

void TvexSkinControlVCL::TControlWatch::Notification(TComponent* c, TOperation op) {
  TComponent::Notification(c, op);
  if (op == TOperation::opRemove && c == wrapper_->Control) {
    // The control goes first: nothing is put back into it.
    wrapper_->link_->wrapper = nullptr;
    wrapper_->Control = nullptr;
  }
}

TvexSkinControlVCL::TvexSkinControlVCL(TControl* control, TvexSkinWindow* owner, const TClassInfo& cls)
    : TvexSkinControl(owner, cls), Control(control) {
  OldWindowProc = control->WindowProc;
  link_ = std::make_shared<TRouteLink>(TRouteLink{this, OldWindowProc});
  watch_.reset(new TControlWatch(this));
  control->FreeNotification(watch_.get());
  control->WindowProc = TRouteThunk{link_};
}

TvexSkinControlVCL::~TvexSkinControlVCL() {
  RestoreWindowProc();
  if (Control && watch_) Control->RemoveFreeNotification(watch_.get());
  Control = nullptr;
}

bool TvexSkinControlVCL::IsWrapped(const TControl* control) {
  const TRouteThunk* current = control ? control->WindowProc.target<TRouteThunk>() : nullptr;
  return current && current->link && current->link->wrapper;
}

bool TvexSkinControlVCL::RestoreWindowProc() {
  if (!link_->wrapper) return true;  // already out of the chain
  link_->wrapper = nullptr;
  if (!Control) return true;
  const TRouteThunk* current = Control->WindowProc.target<TRouteThunk>();
  if (current && current->link == link_) {
    Control->WindowProc = link_->saved;
    return true;
  }
  return false;
}

void TvexSkinControlVCL::Route(TMessage& m) {
  NoteMessage(m.Msg);
  const bool engineGoing = !Engine || Engine->HasState(csDestroying);
  if (engineGoing && m.Msg == CM_INVALIDATE) return;
  if (engineGoing || !Engine->IsSkinActive() || Control->Tag() == Engine->DisabledTag()) {
    OldWindowProc(m);
    return;
  }
  if (TakesPartInThumbTracking(*Control)) {
    if (auto* wc = dynamic_cast<TWinControl*>(Control); wc && wc->HandleAllocated())
      TrackScrollThumb(*Engine, wc->Handle(), Control->Parent() && Control->Parent()->HandleAllocated() ? Control->Parent()->Handle() : nullptr, m);
  }
  const std::shared_ptr<bool> alive = Alive;
  if (BeforeMessage(m) && *alive) {
    // The saved procedure is copied: the call may free this wrapper.
    const TWndMethod old = OldWindowProc;
    old(m);
  }
  // A control freed by its own message (a handler that frees it) is not looked at after it.
  if (*alive && !Detached && Control) AfterMessage(m);
}

TControlView TvexSkinControlVCL::View() const {
  TControlView v = TvexSkinControl::View();
  if (!Control) return v;
  // What the framework publishes, read by name: controls of other frameworks' classes publish
  // the same names.
  if (auto caption = TryGetProp<std::wstring>(*Control, "Caption"))
    v.caption = *caption;
  else if (auto narrow = TryGetProp<std::string>(*Control, "Caption"))
    v.caption = Utf8ToWide(*narrow);
  if (auto* wc = dynamic_cast<TWinControl*>(Control)) v.focused = wc->HandleAllocated() && HasFocus(wc->Handle());
  v.isDefault = TryGetProp<std::int64_t>(*Control, "Default").value_or(0) != 0;
  if (auto state = TryGetProp<std::int64_t>(*Control, "State", "TCheckBoxState"))
    v.check = *state == 1 ? BST_CHECKED : *state == 2 ? BST_INDETERMINATE : BST_UNCHECKED;
  else if (auto checked = TryGetProp<std::int64_t>(*Control, "Checked"))
    v.check = *checked ? BST_CHECKED : BST_UNCHECKED;
  // Text on the left (taLeftJustify) puts the box on the right.
  v.rightToLeft = Control->UseRightToLeftAlignment();
  // The box stands left of a right-justified caption, right of a left-justified one; reading
  // right to left turns both round.
  if (auto alignment = TryGetProp<std::int64_t>(*Control, "Alignment", "TLeftRight")) v.boxRight = (*alignment == 0) != v.rightToLeft;
  v.font = Control->Font().Handle();
  return v;
}

void TvexSkinControlVCL::GetClientBounds(RECT& r) const { r = Control->ClientRect(); }

HWND TvexSkinControlVCL::GetHandle() const {
  if (auto* wc = dynamic_cast<TWinControl*>(Control)) return wc->Handle();
  return Control->Parent() ? Control->Parent()->Handle() : nullptr;
}

bool TvexSkinControlVCL::GetEnabled() const {
  for (const TControl* c = Control; c; c = c->Parent())
    if (!c->Enabled()) return false;
  return true;
}

void TvexSkinControlVCL::Refresh() { Control->Invalidate(); }

void TvexSkinBorderWinControl::Paint() {
  auto* wc = dynamic_cast<TWinControl*>(Control);
  if (!wc || !wc->HandleAllocated()) return;
  // A border style of the framework's types that says none, or one of another type: no border.
  if (const TPropInfo* style = GetPropInfo(*Control, "BorderStyle")) {
    if (style->typeName != "TBorderStyle" && style->typeName != "TFormBorderStyle") return;
    if (TryGetProp<std::int64_t>(*Control, "BorderStyle") == std::optional<std::int64_t>(0)) return;
  }
  // Bevel or edge sets that are empty: no border.
  const auto emptySet = [this](const char* name) {
    const TPropInfo* p = GetPropInfo(*Control, name);
    return p && p->kind == TPropKind::Set && TryGetProp<std::int64_t>(*Control, name) == std::optional<std::int64_t>(0);
  };
  if (emptySet("BevelEdges") || emptySet("EdgeBorders")) return;
  if (NoBorderClassNames().IndexOf(Control->ClassName()) >= 0) return;
  const TColor inner = static_cast<TColor>(
      TryGetProp<std::int64_t>(*Control, "Color").value_or(Engine->GetSkinColor(keys::color::SKIN2_CONTROLCOLOR)));
  utils::DrawWindowBorder(wc->Handle(), Engine->GetSkinColor(keys::color::SKIN2_CONTROLBORDERCOLOR), inner, true);
}

// ---------------------------------------------------------------------------------------------
// Native windows

TvexSkinControlWnd::TvexSkinControlWnd(HWND handle, TvexSkinWindow* owner, const TClassInfo& cls)
    : TvexSkinControl(owner, cls), Handle(handle) {
  subclassed_ = host::SetSubclass(handle, SubclassProc, sidControl, reinterpret_cast<DWORD_PTR>(this)) != FALSE;
}

TvexSkinControlWnd::~TvexSkinControlWnd() {
  if (subclassed_ && IsWindow(Handle)) host::RemoveSubclass(Handle, SubclassProc, sidControl);
  Handle = nullptr;
}

LRESULT CALLBACK TvexSkinControlWnd::SubclassProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<TvexSkinControlWnd*>(data);
  if (msg == WM_NCDESTROY) {
    // The window's last message: the wrapper leaves its path for good, and a wrapper its frame
    // owns goes with the window (a dialog may destroy and make controls while it lives).
    host::RemoveSubclass(wnd, SubclassProc, sidControl);
    self->subclassed_ = false;
    const LRESULT result = host::DefSubclass(wnd, msg, wParam, lParam);
    if (TvexSkinWindow* frame = self->Owner) {
      auto& owned = frame->FControls;
      const auto at = std::find_if(owned.begin(), owned.end(), [self](const auto& w) { return w.get() == self; });
      if (at != owned.end()) {
        std::unique_ptr<TvexSkinControl> mine = std::move(*at);
        owned.erase(at);
        GuardCallback([&mine] {
          mine->Detach();
          mine.reset();
        });
      }
    }
    return result;
  }
  self->NoteMessage(msg);
  TMessage m{msg, wParam, lParam, 0};
  GuardCallback([&] { self->Route(m); });
  return m.Result;
}

void TvexSkinControlWnd::Route(TMessage& m) {
  if (!Engine || Engine->HasState(csDestroying) || !Engine->IsSkinActive()) {
    m.Result = host::DefSubclass(Handle, m.Msg, m.WParam, m.LParam);
    return;
  }
  const std::shared_ptr<bool> alive = Alive;
  const HWND handle = Handle;
  if (BeforeMessage(m) && *alive) m.Result = host::DefSubclass(handle, m.Msg, m.WParam, m.LParam);
  if (*alive && !Detached) AfterMessage(m);
}

TControlView TvexSkinControlWnd::View() const {
  TControlView v = TvexSkinControl::View();
  v.focused = HasFocus(Handle);
  const DWORD style = static_cast<DWORD>(GetWindowLongW(Handle, GWL_STYLE));
  const DWORD ex = static_cast<DWORD>(GetWindowLongW(Handle, GWL_EXSTYLE));
  v.isDefault = (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
  v.boxRight = (style & BS_LEFTTEXT) != 0;
  v.rightToLeft = (ex & (WS_EX_LAYOUTRTL | WS_EX_RTLREADING)) != 0;
  v.check = static_cast<int>(SendMessageW(Handle, BM_GETCHECK, 0, 0));
  v.caption = utils::GetWindowTextUnicode(Handle);
  v.font = reinterpret_cast<HFONT>(SendMessageW(Handle, WM_GETFONT, 0, 0));
  return v;
}

void TvexSkinControlWnd::GetClientBounds(RECT& r) const {
  // One question for both sizes: each is a round trip to the window server under some systems.
  RECT w{};
  GetWindowRect(Handle, &w);
  r = RECT{0, 0, w.right - w.left, w.bottom - w.top};
}

void TvexSkinControlWnd::RedrawNow() const {
  RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOCHILDREN);
}

int TvexSkinControlWnd::WindowWidth() const {
  RECT r{};
  GetWindowRect(Handle, &r);
  return r.right - r.left;
}

int TvexSkinControlWnd::WindowHeight() const {
  RECT r{};
  GetWindowRect(Handle, &r);
  return r.bottom - r.top;
}

std::string TvexSkinControlWnd::WindowText() const {
  wchar_t buf[260];
  const int n = GetWindowTextW(Handle, buf, 260);
  return WideToUtf8(std::wstring(buf, n > 0 ? static_cast<std::size_t>(n) : 0));
}

// The documented way to have a window repaint; a posted WM_PAINT without an invalid region
// paints nothing on its own.
void TvexSkinControlWnd::Refresh() { InvalidateRect(Handle, nullptr, TRUE); }

void TvexSkinBorderWndControl::Paint() {
  utils::DrawWindowBorder(Handle, Engine->GetSkinColor(keys::color::SKIN2_CONTROLBORDERCOLOR), ColorToRGB(clWindow), true);
}

// ---------------------------------------------------------------------------------------------
// Class tables

namespace {
std::vector<TWindowClassRow>& Rows() {
  static std::vector<TWindowClassRow> rows;
  return rows;
}
}  // namespace

void RegisterWindowClasses(TSpan<const TWindowClassRow> rows) {
  for (TWindowClassRow row : rows) {
    if (row.key.size() > 67) row.key.resize(67);
    Rows().push_back(std::move(row));
  }
}

const std::vector<TWindowClassRow>& WindowClassTable() { return Rows(); }

namespace {
std::vector<TControlClassRow>& ControlRows() {
  static std::vector<TControlClassRow> rows;
  return rows;
}
}  // namespace

void RegisterControlClasses(TSpan<const TControlClassRow> rows) {
  for (const TControlClassRow& row : rows) ControlRows().push_back(row);
}

const std::vector<TControlClassRow>& ControlClassTable() { return ControlRows(); }
void ClearControlClassTable() { ControlRows().clear(); }

TvexSkinControlVCL* CreateControlWrapper(TControl* control, TvexSkinWindow* frame) {
  if (!control) return nullptr;
  const auto& rows = ControlRows();
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
    if (!control->ClassInfo().InheritsFrom(*it->controlClass)) continue;
    try {
      return it->create(control, frame);
    } catch (...) {
      return nullptr;
    }
  }
  return nullptr;
}
void ClearWindowClassTable() { Rows().clear(); }

bool IsAnimationOrProgress(HWND window) {
  wchar_t cls[100];
  const int n = GetClassNameW(window, cls, 100);
  return n > 0 && (_wcsicmp(cls, L"SysAnimate32") == 0 || _wcsicmp(cls, L"msctls_progress32") == 0);
}

TvexSkinControlWnd* CreateWindowWrapper(HWND window, TvexSkinWindow* frame) {
  wchar_t buf[100];
  const int n = GetClassNameW(window, buf, 100);
  std::wstring wkey(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
  for (auto& c : wkey) c = static_cast<wchar_t>(std::towupper(c));
  std::string key = WideToUtf8(wkey);
  const DWORD style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
  if (IsAnimationOrProgress(window)) {
    frame->FHasAnimation = true;
    // A progress bar is painted from the skin (its row below); an animation keeps its frames.
    if (key != "MSCTLS_PROGRESS32") return nullptr;
  }
  if (key == "BUTTON") {
    // The button type decides; push-like check boxes and radio buttons, owner-drawn, split and
    // command-link buttons keep their own look.
    if (style & BS_PUSHLIKE) return nullptr;
    switch (style & BS_TYPEMASK) {
      case BS_PUSHBUTTON:
      case BS_DEFPUSHBUTTON:
        break;
      case BS_CHECKBOX:
      case BS_AUTOCHECKBOX:
      case BS_3STATE:
      case BS_AUTO3STATE:
        key = "BUTTON_CHECKBOX";
        break;
      case BS_RADIOBUTTON:
      case BS_AUTORADIOBUTTON:
        key = "BUTTON_RADIOBUTTON";
        break;
      case BS_GROUPBOX:
        key = "BUTTON_GROUPBOX";
        break;
      default:
        return nullptr;
    }
  }
  if (key == "COMBOBOX" && (style & 3) == 1) return nullptr;  // simple combo box: the list is always shown
  if (key == "COMBOBOXEX32") {
    window = GetTopWindow(window);
    if (!window) return nullptr;
  }
  for (const TWindowClassRow& row : Rows()) {
    if (row.key != key) continue;
    try {
      return row.create(window, frame);
    } catch (...) {
      return nullptr;  // the window stays as it is; the walk goes on
    }
  }
  return nullptr;
}

TStringList& NoBorderClassNames() {
  static TStringList* list = [] {
    auto* l = new TStringList();
    l->Add("TDelphiWizard");
    return l;
  }();
  return *list;
}

void RegisterNoBorderClassName(const std::string& name) { NoBorderClassNames().Add(name); }

}  // namespace vex::engine
