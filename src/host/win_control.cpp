#include "host/win_control.h"

#include "host/callback_guard.h"

#include <windowsx.h>
#include <imm.h>

#include <algorithm>
#include <map>

#include "host/library_module.h"
#include "host/prop_builder.h"
#include "host/text_encoding.h"

namespace vex::host {

const TClassInfo& TWinControl::StaticClass() {
  static TClassInfo info("TWinControl", &TControl::StaticClass());
  static const bool once = [] {
    TPropBuilder<TWinControl> b(info);
    b.Integer("TabOrder", [](const TWinControl& c) { return c.TabOrder(); }, [](TWinControl& c, std::int64_t v) { c.SetTabOrder(static_cast<int>(v)); })
        .stored = [](const TObject&) { return false; };
    b.Boolean("TabStop", [](const TWinControl& c) { return c.TabStop(); }, [](TWinControl& c, std::int64_t v) { c.SetTabStop(v != 0); })
        .defaultValue = std::int64_t{0};
    return true;
  }();
  (void)once;
  return info;
}

const TClassInfo& TCustomControl::StaticClass() {
  static const TClassInfo info("TCustomControl", &TWinControl::StaticClass());
  return info;
}

namespace {

// The extended window styles a control's bidirectional mode asks for.
constexpr DWORD kBiDiExStyles = WS_EX_RTLREADING | WS_EX_RIGHT | WS_EX_LEFTSCROLLBAR;
DWORD BiDiExStyle(const TControl& c) {
  return (c.UseRightToLeftReading() ? WS_EX_RTLREADING : 0u) | (c.UseRightToLeftAlignment() ? WS_EX_RIGHT | WS_EX_LEFTSCROLLBAR : 0u);
}

// The control whose window is being created: it binds to the first message the window gets,
// which arrives before CreateWindowEx returns (and for top-level windows before WM_NCCREATE).
thread_local TWinControl* gCreating = nullptr;

struct TClassRecord {
  WNDPROC baseProc;
};
std::map<std::wstring, TClassRecord>& Classes() {
  static std::map<std::wstring, TClassRecord> c;
  return c;
}

// Registers the framework window class, superclassing a native one when asked; returns the
// procedure the class's windows default to.
WNDPROC EnsureWindowClass(const TCreateParams& p) {
  auto it = Classes().find(p.className);
  if (it != Classes().end()) return it->second.baseProc;
  HINSTANCE inst = LibraryModule();
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  WNDPROC base = DefWindowProcW;
  if (!p.baseClass.empty()) {
    if (!GetClassInfoExW(nullptr, p.baseClass.c_str(), &wc)) throw std::runtime_error("native window class not found");
    base = wc.lpfnWndProc;
    wc.cbSize = sizeof wc;
  } else {
    wc.style = p.classStyle;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = nullptr;
  }
  wc.lpfnWndProc = FrameworkWndProc;
  wc.hInstance = inst;
  wc.lpszClassName = p.className.c_str();
  wc.lpszMenuName = nullptr;
  if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    throw std::runtime_error("RegisterClassEx failed");
  Classes()[p.className] = {base};
  return base;
}


}  // namespace

std::function<void(const std::exception*)> gExceptionHandler;

void HandleWindowProcException(const std::exception* e) {
  if (gExceptionHandler) {
    gExceptionHandler(e);
    return;
  }
  const std::wstring text = e ? Utf8ToWide(e->what()) : L"Unknown error";
  MessageBoxW(nullptr, text.c_str(), L"Error", MB_OK | MB_ICONERROR);
}

LRESULT CALLBACK FrameworkWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* control = reinterpret_cast<TWinControl*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
  if (!control && gCreating) {
    control = gCreating;
    gCreating = nullptr;
    control->handle_ = wnd;
    SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
  }
  if (!control) return DefWindowProcW(wnd, msg, wParam, lParam);
  TMessage m{msg, wParam, lParam, 0};
  GuardCallback([&] { control->WindowProc(m); });
  return m.Result;
}

TWinControl::TWinControl(TComponent* owner, const TClassInfo& cls) : TControl(owner, cls) {}

TWinControl::~TWinControl() { DestroyWnd(); }

void TWinControl::BeforeDestruction() {
  // Child controls go with their parent, whoever owns them.
  while (!controls_.empty()) {
    TControl* c = controls_.back();
    RemoveControl(c);
    TComponent::Free(c);
  }
  DestroyWnd();
  TControl::BeforeDestruction();
}

TWinControl* TWinControl::FindControl(HWND wnd) {
  if (!wnd || GetWindowLongPtrW(wnd, GWLP_WNDPROC) == 0) return nullptr;
  WCHAR cls[256];
  if (!GetClassNameW(wnd, cls, 256) || Classes().find(cls) == Classes().end()) return nullptr;
  return reinterpret_cast<TWinControl*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
}

void TWinControl::CreateParams(TCreateParams& p) {
  p.caption = text_;
  p.style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  if (visible_) p.style |= WS_VISIBLE;
  if (!enabled_) p.style |= WS_DISABLED;
  if (tabStop_) p.style |= WS_TABSTOP;
  p.exStyle |= BiDiExStyle(*this);
  p.x = left_;
  p.y = top_;
  p.width = width_;
  p.height = height_;
  p.parent = parent_ ? parent_->Handle() : parentWindow_;
  p.className = Utf8ToWide(ClassName());
}

void TWinControl::CreateWnd() {
  TCreateParams p;
  CreateParams(p);
  if ((p.style & WS_CHILD) && !p.parent) throw EComponentError("Control '" + Name() + "' has no parent window");
  defProc_ = EnsureWindowClass(p);
  nativeBased_ = !p.baseClass.empty();
  gCreating = this;
  HWND wnd = CreateWindowExW(p.exStyle, p.className.c_str(), p.caption.c_str(), p.style, p.x, p.y, p.width, p.height,
                             p.parent, p.menu, LibraryModule(), p.createParam);
  gCreating = nullptr;
  if (!wnd) throw EComponentError("Cannot create the window of '" + Name() + "'");
  handle_ = wnd;
  SendMessageW(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), FALSE);
  GetClientRect(wnd, &oldClient_);
  // Windowed children that exist already get their windows now.
  for (TControl* c : controls_)
    if (c->Is<TWinControl>()) static_cast<TWinControl*>(c)->HandleNeeded();
  Realign();
}

void TWinControl::DestroyWnd() {
  if (!handle_) return;
  HWND wnd = handle_;
  handle_ = nullptr;
  SetWindowLongPtrW(wnd, GWLP_USERDATA, 0);
  DestroyWindow(wnd);
}

void TWinControl::SetParentWindow(HWND parent) {
  if (parent == parentWindow_) return;
  parentWindow_ = parent;
  if (handle_ && !parent_ && parent && IsWindow(parent)) ::SetParent(handle_, parent);
}

HWND TWinControl::Handle() {
  if (!handle_) {
    if (parent_) parent_->HandleNeeded();
    if (!handle_) CreateWnd();
  }
  return handle_;
}

void TWinControl::InsertControl(TControl* c) {
  controls_.push_back(c);
  c->parent_ = this;
  c->ParentChanged();
  UpdateAnchorDistances(c);
  if (handle_) {
    if (c->Is<TWinControl>()) {
      auto* w = static_cast<TWinControl*>(c);
      if (w->handle_)
        ::SetParent(w->handle_, handle_);
      else
        w->HandleNeeded();
    } else {
      c->Invalidate();
    }
    if (c->Align() != alNone) Realign();
  }
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(c), 1);
}

void TWinControl::RemoveControl(TControl* c) {
  auto it = std::find(controls_.begin(), controls_.end(), c);
  if (it == controls_.end()) return;
  if (!HasState(csDestroying)) Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(c), 0);
  it = std::find(controls_.begin(), controls_.end(), c);
  if (it == controls_.end()) return;
  if (mouseControl_ == c) mouseControl_ = nullptr;
  if (captureControl_ == c) captureControl_ = nullptr;
  if (!c->Is<TWinControl>()) c->Invalidate();
  controls_.erase(it);
  c->parent_ = nullptr;
  if (c->Is<TWinControl>()) static_cast<TWinControl*>(c)->DestroyWnd();
  if (handle_ && c->Align() != alNone) Realign();
}

TControl* TWinControl::ControlAtPos(POINT p, bool allowDisabled) const {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    TControl* c = *it;
    const RECT r = c->BoundsRect();
    if (c->Visible() && (allowDisabled || c->Enabled()) && PtInRect(&r, p)) return c;
  }
  return nullptr;
}

void TWinControl::ScaleChildren(int m, int d) {
  if (m == d || m <= 0 || d <= 0) return;
  // A copy: scaling may realign, never add or remove, but the list is not ours to hold on to.
  const std::vector<TControl*> children = controls_;
  // Laid out once, when every child has its new place and size.
  ++alignHeld_;
  try {
    for (TControl* c : children) c->ChangeScale(m, d);
  } catch (...) {
    --alignHeld_;
    throw;
  }
  if (--alignHeld_ == 0 && alignPending_) Realign();
}

void TWinControl::ChangeScale(int m, int d) {
  ScaleChildren(m, d);
  TControl::ChangeScale(m, d);
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  TControl::SetBounds(left, top, width, height);
  if (handle_) {
    RECT r;
    GetWindowRect(handle_, &r);
    POINT tl{r.left, r.top};
    if (HWND p = GetParent(handle_); p && (GetWindowLongW(handle_, GWL_STYLE) & WS_CHILD)) ScreenToClient(p, &tl);
    if (tl.x != left_ || tl.y != top_ || r.right - r.left != width_ || r.bottom - r.top != height_)
      SetWindowPos(handle_, nullptr, left_, top_, width_, height_, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

RECT TWinControl::ClientRect() const {
  RECT r{0, 0, width_, height_};
  if (handle_) GetClientRect(handle_, &r);
  return r;
}

void TWinControl::SetVisible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  if (handle_) ShowWindow(handle_, v ? SW_SHOWNA : SW_HIDE);
  if (parent_ && align_ != alNone) parent_->Realign();
  if (parent_) parent_->ControlBoundsChanged(this);
  Perform(CM_VISIBLECHANGED, v);
}

void TWinControl::SetEnabled(bool e) {
  if (e == enabled_) return;
  enabled_ = e;
  if (handle_) EnableWindow(handle_, e);
  Perform(CM_ENABLEDCHANGED);
}

void TWinControl::SetText(const std::wstring& s) {
  if (s == GetText()) return;
  text_ = s;
  if (handle_) SetWindowTextW(handle_, s.c_str());
  Perform(CM_TEXTCHANGED);
}

void TCustomControl::SetText(const std::wstring& s) {
  if (s == GetText()) return;
  TWinControl::SetText(s);
  Invalidate();
}

std::wstring TWinControl::GetText() const {
  if (!handle_) return text_;
  const int n = GetWindowTextLengthW(handle_);
  std::wstring s(static_cast<std::size_t>(n) + 1, L'\0');
  const int got = GetWindowTextW(handle_, s.data(), n + 1);
  s.resize(static_cast<std::size_t>(std::max(got, 0)));
  return s;
}

void TWinControl::SetTabStop(bool v) {
  tabStop_ = v;
  if (handle_) {
    LONG s = GetWindowLongW(handle_, GWL_STYLE);
    SetWindowLongW(handle_, GWL_STYLE, v ? (s | WS_TABSTOP) : (s & ~WS_TABSTOP));
  }
}

int TWinControl::TabOrder() const {
  if (!parent_) return -1;
  int i = 0;
  for (TControl* c : parent_->controls_) {
    if (c == this) return i;
    if (c->Is<TWinControl>()) ++i;
  }
  return -1;
}

void TWinControl::SetTabOrder(int order) {
  if (!parent_) return;
  auto& list = parent_->controls_;
  list.erase(std::find(list.begin(), list.end(), this));
  int i = 0;
  auto it = list.begin();
  for (; it != list.end(); ++it) {
    if ((*it)->Is<TWinControl>()) {
      if (i == order) break;
      ++i;
    }
  }
  list.insert(it, this);
}

bool TWinControl::CanFocus() const {
  for (const TWinControl* c = this; c; c = c->parent_)
    if (!c->visible_ || !c->enabled_) return false;
  return true;
}

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

void TWinControl::SetFocus() {
  if (!CanFocus()) throw EComponentError("Cannot focus a disabled or invisible window");
  ::SetFocus(Handle());
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool forward) const {
  std::vector<TWinControl*> order;
  std::function<void(const TWinControl*)> collect = [&](const TWinControl* w) {
    for (TControl* c : w->controls_) {
      if (!c->Is<TWinControl>()) continue;
      auto* wc = static_cast<TWinControl*>(c);
      if (!wc->Visible() || !wc->Enabled()) continue;
      if (wc->tabStop_) order.push_back(wc);
      collect(wc);
    }
  };
  collect(this);
  if (order.empty()) return nullptr;
  auto it = std::find(order.begin(), order.end(), current);
  if (it == order.end()) return forward ? order.front() : order.back();
  const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(order.size());
  std::ptrdiff_t i = (it - order.begin()) + (forward ? 1 : -1);
  return order[static_cast<std::size_t>((i % n + n) % n)];
}

void TWinControl::Invalidate() {
  if (handle_) InvalidateRect(handle_, nullptr, TRUE);
}

void TWinControl::Repaint() {
  if (handle_) {
    InvalidateRect(handle_, nullptr, TRUE);
    UpdateWindow(handle_);
  }
}

void TWinControl::UpdateAnchorDistances(TControl* c) {
  const RECT cr = ClientRect();
  c->anchorRight_ = cr.right - (c->left_ + c->width_);
  c->anchorBottom_ = cr.bottom - (c->top_ + c->height_);
}

void TWinControl::Realign() {
  if (alignHeld_ > 0) {
    alignPending_ = true;
    return;
  }
  alignPending_ = false;
  RECT r = ClientRect();
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) {
    // Controls of one alignment stack in the order of their places: the topmost alTop control
    // first, the lowest alBottom control at the bottom, and so on; equal places keep the order
    // the controls were inserted in.
    std::vector<TControl*> stack;
    for (TControl* c : controls_)
      if (c->align_ == a && c->visible_) stack.push_back(c);
    const auto key = [a](const TControl* c) {
      switch (a) {
        case alTop: return c->top_;
        case alBottom: return -(c->top_ + c->height_);
        case alLeft: return c->left_;
        case alRight: return -(c->left_ + c->width_);
        default: return 0;
      }
    };
    std::stable_sort(stack.begin(), stack.end(), [&key](const TControl* x, const TControl* y) { return key(x) < key(y); });
    for (TControl* c : stack) {
      int x = c->left_, y = c->top_, w = c->width_, h = c->height_;
      switch (a) {
        case alTop: x = r.left; y = r.top; w = r.right - r.left; r.top += h; break;
        case alBottom: x = r.left; w = r.right - r.left; y = r.bottom - h; r.bottom -= h; break;
        case alLeft: x = r.left; y = r.top; h = r.bottom - r.top; r.left += w; break;
        case alRight: y = r.top; h = r.bottom - r.top; x = r.right - w; r.right -= w; break;
        default: x = r.left; y = r.top; w = r.right - r.left; h = r.bottom - r.top; break;
      }
      const TAlign keep = c->align_;
      c->align_ = alNone;  // no realign from inside the layout
      c->SetBounds(x, y, std::max(w, 0), std::max(h, 0));
      c->align_ = keep;
    }
  }
  alignedRest_ = r;
  AlignedRestChanged();
}

void TWinControl::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) const {
  for (TControl* c : controls_)
    if (c->Owner() == root) proc(c);
  if (root == this) TComponent::GetChildren(proc, root);
}

void TWinControl::PaintWindow(HDC dc) {}

void TWinControl::RecreateWnd() {
  if (handle_) Perform(CM_RECREATEWND);
}

UINT TWinControl::NewControlId() {
  // Identifiers of child windows the framework creates, unique in the process and clear of the
  // command identifiers of menus and tool buttons.
  static UINT next = 0x4000;
  if (next >= 0x6FFF) next = 0x4000;
  return next++;
}

void TWinControl::SetImeMode(TImeMode mode) { imeMode_ = mode; }

void TWinControl::ApplyImeMode() {
  if (!handle_ || imeMode_ == imDontCare) return;
  if (imeMode_ == imDisable) {
    ImmAssociateContextEx(handle_, nullptr, 0);
    return;
  }
  ImmAssociateContextEx(handle_, nullptr, IACE_DEFAULT);
  HIMC imc = ImmGetContext(handle_);
  if (!imc) return;
  if (imeMode_ == imClose) {
    ImmSetOpenStatus(imc, FALSE);
  } else {
    ImmSetOpenStatus(imc, TRUE);
    DWORD conversion = 0, sentence = 0;
    ImmGetConversionStatus(imc, &conversion, &sentence);
    DWORD wanted = conversion;
    switch (imeMode_) {
      case imSAlpha: wanted = IME_CMODE_ALPHANUMERIC; break;
      case imAlpha: wanted = IME_CMODE_ALPHANUMERIC | IME_CMODE_FULLSHAPE; break;
      case imHira: wanted = IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE; break;
      case imSKata: wanted = IME_CMODE_NATIVE | IME_CMODE_KATAKANA; break;
      case imKata: wanted = IME_CMODE_NATIVE | IME_CMODE_KATAKANA | IME_CMODE_FULLSHAPE; break;
      case imChinese: wanted = IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE; break;
      case imSHanguel: wanted = IME_CMODE_NATIVE; break;
      case imHanguel: wanted = IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE; break;
      default: break;
    }
    if (wanted != conversion) ImmSetConversionStatus(imc, wanted, sentence);
  }
  ImmReleaseContext(handle_, imc);
}

void TWinControl::PaintControls(HDC dc) {
  for (TControl* c : controls_) {
    if (c->Is<TWinControl>() || !c->Visible()) continue;
    const RECT r = c->BoundsRect();
    RECT clip;
    if (!GetClipBox(dc, &clip) || !IntersectRect(&clip, &clip, &r)) continue;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    SetViewportOrgEx(dc, r.left, r.top, nullptr);
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    RestoreDC(dc, saved);
  }
}

// Mouse messages over windowless children go to them, in their own coordinates; the child that
// took the left button keeps getting them until it is released.
void TWinControl::RouteMouse(TMessage& m) {
  POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
  TControl* target = captureControl_ ? captureControl_ : ControlAtPos(p);
  if (target && target->Is<TWinControl>()) target = nullptr;
  if (m.Msg == WM_MOUSEMOVE && target != mouseControl_ && !captureControl_) {
    if (mouseControl_) mouseControl_->Perform(CM_MOUSELEAVE);
    mouseControl_ = target;
    if (target) target->Perform(CM_MOUSEENTER);
  }
  if (!target) return;
  if (m.Msg == WM_LBUTTONDOWN && (target->ControlStyle() & csCaptureMouse)) {
    captureControl_ = target;
    SetCapture(handle_);
  }
  const LPARAM local = MAKELPARAM(p.x - target->left_, p.y - target->top_);
  m.Result = target->Perform(m.Msg, m.WParam, local);
  if (m.Msg == WM_LBUTTONUP && captureControl_) {
    captureControl_ = nullptr;
    if (GetCapture() == handle_) ReleaseCapture();
    const RECT r = target->BoundsRect();
    if (!PtInRect(&r, p)) {
      target->Perform(CM_MOUSELEAVE);
      mouseControl_ = nullptr;
    }
  }
  m.Msg = 0;  // handled
}

void TWinControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_PAINT:
      if (!nativeBased_) {
        TPaintDC dc(handle_);
        PaintWindow(dc.Get());
        PaintControls(dc.Get());
        return;
      }
      break;
    case WM_ERASEBKGND:
      if (!nativeBased_) {
        RECT r;
        GetClientRect(handle_, &r);
        if (!colorBrush_ || colorBrushColor_ != color_) {
          colorBrush_ = TOwnedBrush(CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(color_))));
          colorBrushColor_ = color_;
        }
        FillRect(reinterpret_cast<HDC>(m.WParam), &r, colorBrush_.Get());
        m.Result = 1;
        return;
      }
      break;
    case WM_MOUSEMOVE:
      if (!tracking_) {
        TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, handle_, 0};
        tracking_ = TrackMouseEvent(&tme) != FALSE;
        Perform(CM_MOUSEENTER);
      }
      [[fallthrough]];
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      if (!controls_.empty()) {
        TMessage routed = m;
        RouteMouse(routed);
        if (routed.Msg == 0) {
          m.Result = routed.Result;
          if (m.Msg != WM_MOUSEMOVE) return;
        }
      }
      break;
    case WM_MOUSELEAVE:
      tracking_ = false;
      if (mouseControl_ && !captureControl_) {
        mouseControl_->Perform(CM_MOUSELEAVE);
        mouseControl_ = nullptr;
      }
      Perform(CM_MOUSELEAVE);
      break;
    case WM_COMMAND:
      if (m.LParam) {
        if (TWinControl* child = FindControl(reinterpret_cast<HWND>(m.LParam))) {
          m.Result = child->Perform(CN_COMMAND, m.WParam, m.LParam);
          return;
        }
      }
      break;
    case WM_HSCROLL:
    case WM_VSCROLL:
      // A scroll-bar control's notifications go back to it; the window's own bars (no control
      // window in LParam) are the window's business.
      if (m.LParam)
        if (TWinControl* child = FindControl(reinterpret_cast<HWND>(m.LParam)); child && child != this) {
          m.Result = child->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
          return;
        }
      break;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      if (TWinControl* child = FindControl(reinterpret_cast<HWND>(m.LParam)); child && child != this) {
        m.Result = child->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
        return;
      }
      break;
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORSTATIC:
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX: {
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(font_.Color())));
      SetBkColor(dc, static_cast<COLORREF>(ColorToRGB(color_)));
      if (!colorBrush_ || colorBrushColor_ != color_) {
        colorBrush_ = TOwnedBrush(CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(color_))));
        colorBrushColor_ = color_;
      }
      m.Result = reinterpret_cast<LRESULT>(colorBrush_.Get());
      return;
    }
    case WM_MEASUREITEM: {
      // The control is found by its identifier: the system asks while the control's window is
      // still being created, before its handle is known to anyone but the control.
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
      if (mis->CtlType != ODT_MENU && mis->CtlID != 0)
        for (TControl* c : controls_) {
          if (!c->Is<TWinControl>()) continue;
          auto* w = static_cast<TWinControl*>(c);
          if (w->handle_ && static_cast<UINT>(GetDlgCtrlID(w->handle_)) == mis->CtlID) {
            m.Result = w->Perform(CN_MEASUREITEM, m.WParam, m.LParam);
            return;
          }
        }
      break;
    }
    case WM_DRAWITEM: {
      // Owner-drawn native children draw themselves (menus are drawn by their form).
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
      if (dis->CtlType != ODT_MENU)
        if (TWinControl* child = FindControl(dis->hwndItem)) {
          m.Result = child->Perform(CN_DRAWITEM, m.WParam, m.LParam);
          return;
        }
      break;
    }
    case CM_DIALOGCHAR:
      // Offered to the children in turn until one takes it.
      for (std::size_t i = 0; i < controls_.size(); ++i) {
        TControl* c = controls_[i];
        if (!c->Visible() || !c->Enabled()) continue;
        if (c->Perform(CM_DIALOGCHAR, m.WParam, m.LParam) != 0) {
          m.Result = 1;
          return;
        }
      }
      m.Result = 0;
      return;
    case WM_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
      if (TWinControl* child = FindControl(hdr->hwndFrom)) {
        m.Result = child->Perform(CN_NOTIFY, m.WParam, m.LParam);
        return;
      }
      break;
    }
    case WM_SIZE: {
      RECT r;
      GetWindowRect(handle_, &r);
      width_ = r.right - r.left;
      height_ = r.bottom - r.top;
      RECT client;
      GetClientRect(handle_, &client);
      // Right and bottom anchors keep their distances; Align lays out the rest.
      for (TControl* c : controls_) {
        if (c->align_ != alNone) continue;
        int x = c->left_, y = c->top_, w = c->width_, h = c->height_;
        if (c->anchors_ & akRight) {
          if (c->anchors_ & akLeft)
            w = client.right - c->anchorRight_ - x;
          else
            x = client.right - c->anchorRight_ - w;
        }
        if (c->anchors_ & akBottom) {
          if (c->anchors_ & akTop)
            h = client.bottom - c->anchorBottom_ - y;
          else
            y = client.bottom - c->anchorBottom_ - h;
        }
        if (x != c->left_ || y != c->top_ || w != c->width_ || h != c->height_) {
          const int ar = c->anchorRight_, ab = c->anchorBottom_;
          c->SetBounds(x, y, w, h);
          c->anchorRight_ = ar;
          c->anchorBottom_ = ab;
        }
      }
      oldClient_ = client;
      Realign();
      break;
    }
    case WM_MOVE: {
      RECT r;
      GetWindowRect(handle_, &r);
      POINT tl{r.left, r.top};
      if (HWND p = GetParent(handle_); p && (GetWindowLongW(handle_, GWL_STYLE) & WS_CHILD)) ScreenToClient(p, &tl);
      left_ = tl.x;
      top_ = tl.y;
      break;
    }
    case WM_SETFOCUS:
      DefaultHandler(m);
      ApplyImeMode();
      Perform(CM_GOTFOCUS);
      return;
    case CM_RECREATEWND:
      if (handle_) {
        // The new window takes the old one's place among its siblings and the focus it had.
        HWND before = GetWindow(handle_, GW_HWNDPREV);
        const bool focused = GetFocus() == handle_;
        DestroyWnd();
        if (parent_ && !parent_->HandleAllocated()) return;
        HandleNeeded();
        SetWindowPos(handle_, before ? before : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        if (focused && CanFocus()) ::SetFocus(handle_);
      }
      return;
    case WM_KILLFOCUS:
      DefaultHandler(m);
      Perform(CM_LOSTFOCUS);
      return;
    case CM_FONTCHANGED:
      if (handle_) SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), TRUE);
      for (TControl* c : controls_)
        if (c->ParentFont()) c->ParentChanged();
      break;
    case CM_BIDIMODECHANGED:
      if (handle_)
        SetWindowLongW(handle_, GWL_EXSTYLE,
                       static_cast<LONG>((static_cast<DWORD>(GetWindowLongW(handle_, GWL_EXSTYLE)) & ~kBiDiExStyles) | BiDiExStyle(*this)));
      // Children following this control's mode take the new one, and pass it on to theirs.
      for (TControl* c : controls_)
        if (c->ParentBiDiMode() && c->bidi_ != bidi_) c->TakeBiDiMode(bidi_);
      break;
    case CM_COLORCHANGED:
      // Children taking this control's colour take the new one, and pass it on to theirs.
      for (TControl* c : controls_)
        if (c->ParentColor() && c->color_ != color_) {
          c->color_ = color_;
          c->Invalidate();
          c->Perform(CM_COLORCHANGED);
        }
      break;
    case CM_CONTROLLISTCHANGE:
      // Passed on up: the form hears of every control joining or leaving it.
      if (parent_) m.Result = parent_->Perform(m.Msg, m.WParam, m.LParam);
      return;
    case WM_NCDESTROY:
      DefaultHandler(m);
      SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
      handle_ = nullptr;
      tracking_ = false;
      return;
    default:
      break;
  }
  TControl::WndProc(m);
}

void TWinControl::DefaultHandler(TMessage& m) {
  if (m.Msg >= CM_BASE && m.Msg < 0xC000) return;  // the framework's own messages end here
  if (!handle_) return;
  m.Result = CallWindowProcW(defProc_ ? defProc_ : DefWindowProcW, handle_, m.Msg, m.WParam, m.LParam);
}

TCustomControl::TCustomControl(TComponent* owner, const TClassInfo& cls) : TWinControl(owner, cls) {}

TCustomControl::~TCustomControl() { canvas_.SetHandle(nullptr); }

void TCustomControl::PaintWindow(HDC dc) {
  canvas_.SetHandle(dc);
  canvas_.Font().Assign(font_);
  Paint();
  canvas_.SetHandle(nullptr);
}

void TCustomControl::Paint() {}

void UseVisualStyles(HWND wnd, bool on) {
  using TSetWindowTheme = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
  // Bound late: the visual-styles library may be absent.
  static const TSetWindowTheme fn = [] {
    HMODULE lib = LoadLibraryW(L"uxtheme.dll");
    return lib ? reinterpret_cast<TSetWindowTheme>(reinterpret_cast<void*>(GetProcAddress(lib, "SetWindowTheme"))) : nullptr;
  }();
  if (!fn || !wnd) return;
  // A blank name matches no style: the control is drawn the classic way.
  if (on)
    fn(wnd, nullptr, nullptr);
  else
    fn(wnd, L" ", L" ");
}

}  // namespace vex::host
