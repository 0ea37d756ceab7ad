#include "controls/scroll_ctrl.h"

#include <algorithm>
#include <mutex>

#include "engine/skin_engine.h"
#include "engine/skin_window.h"
#include "engine/skin_window_vcl.h"
#include "host/edit.h"
#include "host/form.h"
#include "host/grids.h"
#include "host/image_list.h"
#include "host/list_box.h"
#include "host/list_view.h"
#include "host/scroll_bar.h"
#include "host/scroll_box.h"
#include "host/subclass.h"
#include "host/tree_view.h"
#include "skin2/skin_keys.h"
#include "utils/paint_primitives.h"
#include "utils/platform_helpers.h"
#include "utils/text_helpers.h"

namespace vex::engine {

using namespace vex::host;
namespace keys = vex::skin2;

const TClassInfo& TvexSkinScrollOverlay::StaticClass() {
  static const TClassInfo info("TvexSkinScrollOverlay", &TCustomPanel::StaticClass());
  return info;
}
const TClassInfo& TvexSkinInternalScrollBar2::StaticClass() {
  static const TClassInfo info("TvexSkinInternalScrollBar2", &TvexSkinScrollOverlay::StaticClass());
  return info;
}
const TClassInfo& TvexSkinInternalScrollBar::StaticClass() {
  static const TClassInfo info("TvexSkinInternalScrollBar", &TvexSkinScrollOverlay::StaticClass());
  return info;
}
const TClassInfo& TvexSkinScrollBar::StaticClass() {
  static const TClassInfo info("TvexSkinScrollBar", &TvexSkinControlVCL::StaticClass());
  return info;
}
const TClassInfo& TvexSkinScrollWinControl::StaticClass() {
  static const TClassInfo info("TvexSkinScrollWinControl", &TvexSkinBorderWinControl::StaticClass());
  return info;
}
const TClassInfo& TvexSkinGrid::StaticClass() {
  static const TClassInfo info("TvexSkinGrid", &TvexSkinScrollWinControl::StaticClass());
  return info;
}
const TClassInfo& TvexSkinListView::StaticClass() {
  static const TClassInfo info("TvexSkinListView", &TvexSkinScrollWinControl::StaticClass());
  return info;
}
const TClassInfo& TvexSkinWndScrollControl::StaticClass() {
  static const TClassInfo info("TvexSkinWndScrollControl", &TvexSkinBorderWndControl::StaticClass());
  return info;
}

namespace {

constexpr UINT_PTR sidListHeader = 0x56534B48;  // 'VSKH'

RECT ScreenRectToClient(HWND wnd, const RECT& r) {
  POINT a{r.left, r.top}, b{r.right, r.bottom};
  if (wnd) {
    ScreenToClient(wnd, &a);
    ScreenToClient(wnd, &b);
  }
  return RECT{a.x, a.y, b.x, b.y};
}

// Places and paints the overlay of one built-in bar of `wnd` (coordinates of `coordParent`);
// answers whether the overlay shows. `track` is the thumb-drag record of a tracked control.
bool PaintBuiltInBar(TvexSkinEngine& engine, TvexSkinInternalScrollBar* overlay, HWND wnd, HWND coordParent, bool vertical,
                     const TScrollTrackInfo* track, int dpi) {
  if (!overlay || overlay->HasState(csDestroying)) return false;
  SCROLLBARINFO info{};
  info.cbSize = sizeof info;
  if (!utils::LateGetScrollBarInfo(wnd, vertical ? OBJID_VSCROLL : OBJID_HSCROLL, &info) ||
      (info.rgstate[0] & STATE_SYSTEM_INVISIBLE) != 0) {
    overlay->HideOverlay();
    return false;
  }
  const RECT bar = ScreenRectToClient(coordParent, info.rcScrollBar);
  const int w = bar.right - bar.left, h = bar.bottom - bar.top;
  // A bar of a shape no scroll bar has (the window is being laid out) is not covered.
  const bool odd = vertical ? (w < 0 || w > 100 || bar.bottom < bar.top) : (bar.right < bar.left || h < 0 || h >= 100);
  if (odd || w == 0 || h == 0) {
    overlay->HideOverlay();
    return false;
  }
  RECT thumb = vertical ? RECT{0, info.xyThumbTop, w, info.xyThumbBottom} : RECT{info.xyThumbTop, 0, info.xyThumbBottom, h};
  if (track && track->Tracking && track->ThumbStart != 0) {
    if (vertical) {
      thumb.top = track->ThumbStart;
      thumb.bottom = track->ThumbEnd;
    } else {
      thumb.left = track->ThumbStart;
      thumb.right = track->ThumbEnd;
    }
  }
  const bool drawThumb = (info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) == 0;
  overlay->ShowAt(bar);
  if (overlay->ShowsAlready(TvexSkinScrollOverlay::TPaintKey{w, h, thumb, drawThumb, false, overlay->Arrows})) return true;
  overlay->Buffer.SetSize(w, h);
  PaintScrollBar(overlay->Buffer.Canvas(), engine, RECT{0, 0, w, h}, thumb, drawThumb, vertical, overlay->Arrows, dpi);
  overlay->Present();
  return true;
}

// The square between two shown bars, in the form colour, on the window of `wnd`.
void FillCorner(TvexSkinEngine& engine, HWND wnd, HWND coordParent, const TvexSkinScrollOverlay& vert,
                const TvexSkinScrollOverlay& horz) {
  RECT r{horz.Left() + horz.Width(), horz.Top(), vert.Left() + vert.Width(), horz.Top() + horz.Height()};
  if (r.right <= r.left || r.bottom <= r.top) return;
  POINT a{r.left, r.top}, b{r.right, r.bottom};
  ClientToScreen(coordParent, &a);
  ClientToScreen(coordParent, &b);
  RECT wr;
  GetWindowRect(wnd, &wr);
  r = RECT{a.x - wr.left, a.y - wr.top, b.x - wr.left, b.y - wr.top};
  if (HDC dc = GetWindowDC(wnd)) {
    const HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(engine.GetFormColor())));
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    ReleaseDC(wnd, dc);
  }
}

// Both bars of a scrolling window: placed, painted, the corner filled when both show.
void PaintBars(TvexSkinEngine& engine, TvexSkinInternalScrollBar* vert, TvexSkinInternalScrollBar* horz, HWND wnd, HWND coordParent,
               bool tracked, int dpi) {
  if (!engine.DrawScrollBar() || !wnd) return;
  // A hidden window reports its bars as if it showed: they stay hidden with it (a skin change
  // paints every wrapper, shown or not). A window whose frame's drawing a skin switch holds still
  // shows: its overlays stay over the bars and take the new skin.
  if (!engine.WindowShows(wnd)) {
    if (vert && !vert->HasState(csDestroying)) vert->HideOverlay();
    if (horz && !horz->HasState(csDestroying)) horz->HideOverlay();
    return;
  }
  const bool v = PaintBuiltInBar(engine, vert, wnd, coordParent, true, tracked ? &engine.VScrollTrack : nullptr, dpi);
  const bool h = PaintBuiltInBar(engine, horz, wnd, coordParent, false, tracked ? &engine.HScrollTrack : nullptr, dpi);
  if (v && h) FillCorner(engine, wnd, coordParent, *vert, *horz);
}

// A new built-in bar overlay; none when it cannot be made or placed.
TvexSkinInternalScrollBar* NewBarOverlay(TvexSkinEngine& engine, int horizontal, const std::function<void(TvexSkinInternalScrollBar&)>& place) {
  TvexSkinInternalScrollBar* o = nullptr;
  try {
    o = new TvexSkinInternalScrollBar(&engine);
    o->Horizontal = horizontal;
    o->Vertical = horizontal == 0;
    o->SetVisible(false);
    place(*o);
    return o;
  } catch (...) {
    if (o) TComponent::Free(o);
    return nullptr;
  }
}

void FreeOverlay(TvexSkinScrollOverlay* o) {
  if (!o || o->HasState(csDestroying)) return;
  o->Wrapper = nullptr;
  TComponent::Free(o);
}

// The framework parent an overlay of `control` goes on: the control's, or the frame's form.
TWinControl* OverlayParent(TControl& control, TvexSkinWindow* frame) {
  if (control.Parent()) return control.Parent();
  if (auto* vcl = dynamic_cast<TvexSkinWindowVCL*>(frame)) return vcl->FForm;
  return nullptr;
}

// The two overlays of a control with built-in bars, for what every such wrapper does to both.
struct TBars {
  TvexSkinInternalScrollBar*& vert;
  TvexSkinInternalScrollBar*& horz;

  void Gone(const TvexSkinScrollOverlay* o) const {
    if (o == vert) vert = nullptr;
    if (o == horz) horz = nullptr;
  }
  void Destroy() const {
    TvexSkinInternalScrollBar *v = vert, *h = horz;
    vert = horz = nullptr;
    FreeOverlay(v);
    FreeOverlay(h);
  }
  void Hide() const {
    if (vert) vert->HideOverlay();
    if (horz) horz->HideOverlay();
  }
  // The skin or its state changed: the pictures are drawn again, or hidden with the skin.
  template <class Paint>
  void Refresh(const TvexSkinEngine& engine, Paint paint) const {
    if (vert) vert->ForgetPaint();
    if (horz) horz->ForgetPaint();
    if (engine.IsSkinActive())
      paint();
    else
      Hide();
  }
  // Whether a message of the control moves or changes its bars (a scroll, a move, a new size, a
  // new place in the z order, which also raises the overlays again).
  // Scrolling moves the client area and the thumbs; the border outside them stays as it was, so
  // only the bars are painted again.
  static bool Scrolled(const TMessage& m) { return m.Msg == WM_VSCROLL || m.Msg == WM_HSCROLL || m.Msg == WM_MOUSEWHEEL; }
  bool Moved(const TMessage& m) const {
    switch (m.Msg) {
      case WM_VSCROLL:
      case WM_HSCROLL:
      case WM_MOVE:
      case WM_SIZE:
      case WM_MOUSEWHEEL:
        return true;
      case WM_WINDOWPOSCHANGED:
        if (!m.LParam || (reinterpret_cast<const WINDOWPOS*>(m.LParam)->flags & SWP_NOZORDER)) return false;
        if (vert) vert->RaiseLater();
        if (horz) horz->RaiseLater();
        return true;
      default:
        return false;
    }
  }
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Overlays

TvexSkinScrollOverlay::TvexSkinScrollOverlay(TComponent* owner, const TClassInfo& cls) : TCustomPanel(owner, cls) {
  SetBevelOuter(bvNone);
  SetTabStop(false);
}

TvexSkinScrollOverlay::~TvexSkinScrollOverlay() {
  *alive_ = false;
  ClearWrapper();
}

void TvexSkinScrollOverlay::ClearWrapper() {
  IScrollOverlayOwner* w = Wrapper;
  Wrapper = nullptr;
  if (w && !WrapperAlive.expired()) w->OverlayGone(this);
}

HWND TvexSkinScrollOverlay::ScrolledWindow() const {
  if (ScrolledControl) return ScrolledControl->HandleAllocated() ? ScrolledControl->Handle() : nullptr;
  return ScrolledHandle && IsWindow(ScrolledHandle) ? ScrolledHandle : nullptr;
}

void TvexSkinScrollOverlay::ShowAt(const RECT& b) {
  bool raise = raise_;
  if (Left() != b.left || Top() != b.top || Width() != b.right - b.left || Height() != b.bottom - b.top) {
    SetBounds(b.left, b.top, b.right - b.left, b.bottom - b.top);
    raise = true;
  }
  if (!Visible()) {
    SetVisible(true);
    raise = true;
  }
  if (raise && HandleAllocated()) {
    BringToFront();
    raise_ = false;
  }
}

bool TvexSkinScrollOverlay::ShowsAlready(const TPaintKey& key) {
  if (painted_ && !Buffer.Empty() && paintedKey_ == key) return true;
  paintedKey_ = key;
  painted_ = true;
  return false;
}

void TvexSkinScrollOverlay::HideOverlay() {
  if (Visible()) SetVisible(false);
}

void TvexSkinScrollOverlay::Present() {
  if (!HandleAllocated() || Buffer.Empty() || !IsWindowVisible(Handle())) return;
  if (HDC dc = GetDC(Handle())) {
    BitBlt(dc, 0, 0, Buffer.Width(), Buffer.Height(), Buffer.Canvas().Handle(), 0, 0, SRCCOPY);
    ReleaseDC(Handle(), dc);
  }
}

void TvexSkinScrollOverlay::Paint() {
  if (Buffer.Empty()) {
    // Nothing painted yet: the overlay stays out of the way until the wrapper paints it.
    HideOverlay();
    TCustomPanel::Paint();
    return;
  }
  BitBlt(Canvas().Handle(), 0, 0, Buffer.Width(), Buffer.Height(), Buffer.Canvas().Handle(), 0, 0, SRCCOPY);
}

int TvexSkinScrollOverlay::ArrowAt(POINT p) const {
  const int w = Width(), h = Height();
  if (p.x < 0 || p.y < 0 || p.x >= w || p.y >= h) return 0;
  if (Vertical) {
    if (p.y < w) return 1;
    if (p.y >= h - w) return 2;
  } else {
    if (p.x < h) return 1;
    if (p.x >= w - h) return 2;
  }
  return 0;
}

void TvexSkinScrollOverlay::SetArrows(TScrollArrowStates a) {
  if (a.up == Arrows.up && a.down == Arrows.down) return;
  Arrows = a;
  if (Wrapper && !WrapperAlive.expired()) Wrapper->OverlayArrowsChanged();
}

void TvexSkinScrollOverlay::WndProc(TMessage& m) {
  const auto hotAt = [](int arrow) { return TScrollArrowStates{arrow == 1 ? 2 : 1, arrow == 2 ? 2 : 1}; };
  switch (m.Msg) {
    case WM_ERASEBKGND:
      // The paint covers every pixel from the buffer.
      m.Result = 1;
      return;
    case WM_MOUSEMOVE: {
      TCustomPanel::WndProc(m);
      const POINT p{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
      const auto alive = alive_;
      SetArrows(hotAt(ArrowAt(p)));
      if (*alive) Forward(m);
      return;
    }
    case CM_MOUSELEAVE: {
      TCustomPanel::WndProc(m);
      // The covered bar watching the mouse for itself (it hears the moves passed on) ends this
      // window's watch without the mouse leaving: then the watch is taken back.
      POINT p;
      GetCursorPos(&p);
      if (HandleAllocated() && WindowFromPoint(p) == Handle()) {
        TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, Handle(), 0};
        TrackMouseEvent(&t);
        return;
      }
      SetArrows(TScrollArrowStates{});
      return;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      TCustomPanel::WndProc(m);
      const POINT p{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
      const int arrow = ArrowAt(p);
      const auto alive = alive_;
      SetArrows(TScrollArrowStates{arrow == 1 ? 3 : 1, arrow == 2 ? 3 : 1});
      // The covered bar tracks the press until the button is released (its own loop).
      if (*alive) Forward(m);
      if (!*alive) return;
      POINT now;
      GetCursorPos(&now);
      if (HandleAllocated()) ScreenToClient(Handle(), &now);
      SetArrows(hotAt(ArrowAt(now)));
      return;
    }
    case WM_LBUTTONUP: {
      TCustomPanel::WndProc(m);
      const auto alive = alive_;
      if (*alive) Forward(m);
      return;
    }
    default:
      break;
  }
  TCustomPanel::WndProc(m);
}

void TvexSkinInternalScrollBar2::Forward(TMessage& m) {
  HWND target = ScrolledWindow();
  if (!target) return;
  const DWORD pos = GetMessagePos();
  POINT p{static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
  ScreenToClient(target, &p);
  ReleaseCapture();
  const LPARAM lp = MAKELPARAM(p.x, p.y);
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    // A quick second press on an arrow is a press to the bar like the first.
    case WM_LBUTTONDBLCLK:
      SendMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, lp);
      break;
    case WM_LBUTTONUP:
      SendMessageW(target, WM_LBUTTONUP, MK_LBUTTON, lp);
      break;
    case WM_MOUSEMOVE:
      m.Result = SendMessageW(target, WM_MOUSEMOVE, m.WParam, lp);
      break;
    default:
      break;
  }
}

void TvexSkinInternalScrollBar::Forward(TMessage& m) {
  UINT msg = 0;
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
      msg = WM_NCLBUTTONDOWN;
      break;
    case WM_LBUTTONUP:
      msg = WM_NCLBUTTONUP;
      break;
    case WM_LBUTTONDBLCLK:
      msg = WM_NCLBUTTONDBLCLK;
      break;
    default:
      return;
  }
  HWND target = ScrolledWindow();
  if (!target) return;
  const DWORD pos = GetMessagePos();
  ReleaseCapture();
  SendMessageW(target, msg, Horizontal ? HTHSCROLL : HTVSCROLL, static_cast<LPARAM>(pos));
}

// ---------------------------------------------------------------------------------------------
// Scroll-bar controls

TvexSkinScrollBar::~TvexSkinScrollBar() { DestroyOverlay(); }

void TvexSkinScrollBar::OverlayGone(TvexSkinScrollOverlay* overlay) {
  if (overlay == Overlay) Overlay = nullptr;
}

void TvexSkinScrollBar::DestroyOverlay() {
  TvexSkinInternalScrollBar2* o = Overlay;
  Overlay = nullptr;
  FreeOverlay(o);
}

void TvexSkinScrollBar::Attached() {
  TvexSkinControlVCL::Attached();
  if (!Engine || Engine->Designing() || !Control) return;
  Control->SetControlStyle(Control->ControlStyle() | csAcceptsControls);
  try {
    Overlay = new TvexSkinInternalScrollBar2(Engine);
    Overlay->ScrolledControl = dynamic_cast<TWinControl*>(Control);
    Overlay->Wrapper = this;
    Overlay->WrapperAlive = Alive;
    Overlay->Vertical = TryGetProp<std::int64_t>(*Control, "Kind").value_or(sbHorizontal) == sbVertical;
    TWinControl* parent = OverlayParent(*Control, Owner);
    if (!parent) throw std::runtime_error("no parent for the scroll bar's overlay");
    Overlay->SetParent(parent);
    Overlay->SetBounds(Control->Left(), Control->Top(), Control->Width(), Control->Height());
    Overlay->SetVisible(Engine->IsSkinActive() && Control->Visible());
    Overlay->BringToFront();
    Repaint();
  } catch (...) {
    DestroyOverlay();
  }
}

void TvexSkinScrollBar::Detach() {
  TvexSkinControlVCL::Detach();
  if (!Overlay) return;
  if (Overlay->HasState(csDestroying) || (Control && Control->HasState(csDestroying))) {
    // The overlay goes with its parent or the engine; it no longer reports here.
    Overlay->Wrapper = nullptr;
    Overlay = nullptr;
    return;
  }
  DestroyOverlay();
}

void TvexSkinScrollBar::UpdateSkinState() {
  TvexSkinControlVCL::UpdateSkinState();
  if (!Overlay || !Engine) return;
  const bool active = Engine->IsSkinActive() && Control && Control->Visible();
  Overlay->ForgetPaint();
  Overlay->SetVisible(active);
  if (active) Paint();
}

bool TvexSkinScrollBar::BeforeMessage(TMessage& m) {
  if (m.Msg != WM_PAINT && m.Msg != WM_ERASEBKGND) return true;
  // A paint into the caller's device context (a picture of the bar) is not the screen's: the bar
  // paints into it, and its update region is left for its own paint.
  if (m.Msg == WM_PAINT && m.WParam) return true;
  // While the overlay shows its picture over the whole bar, the bar's own painting could only be
  // seen through it: it is skipped (the system's scroll bar paint is the dearest part of a
  // repaint). The paint that follows brings the overlay's picture up to date.
  auto* wc = dynamic_cast<TWinControl*>(Control);
  if (!Overlay || !wc || !wc->HandleAllocated() || !Overlay->HandleAllocated() || !Overlay->Visible() || Overlay->Buffer.Empty() ||
      Overlay->Parent() != Control->Parent() || Overlay->Left() > Control->Left() || Overlay->Top() > Control->Top() ||
      Overlay->Left() + Overlay->Width() < Control->Left() + Control->Width() ||
      Overlay->Top() + Overlay->Height() < Control->Top() + Control->Height())
    return true;
  if (m.Msg == WM_PAINT) {
    PAINTSTRUCT ps;
    BeginPaint(wc->Handle(), &ps);
    EndPaint(wc->Handle(), &ps);
  }
  m.Result = m.Msg == WM_ERASEBKGND ? 1 : 0;
  return false;
}

void TvexSkinScrollBar::AfterMessage(TMessage& m) {
  const std::shared_ptr<bool> alive = Alive;
  TvexSkinControlVCL::AfterMessage(m);
  if (!*alive || Detached) return;
  switch (m.Msg) {
    case SBM_SETSCROLLINFO:
    case WM_KILLFOCUS:
    case WM_SETFOCUS:
    case CM_GOTFOCUS:
    case CM_LOSTFOCUS:
    // A moved or resized bar takes its overlay along; one put elsewhere in the z order gets it
    // on top again.
    case WM_WINDOWPOSCHANGED:
      if (Overlay && m.LParam && !(reinterpret_cast<const WINDOWPOS*>(m.LParam)->flags & SWP_NOZORDER)) Overlay->RaiseLater();
      Paint();
      break;
    case CM_VISIBLECHANGED:
      if (Overlay && Control) {
        Overlay->SetVisible(Control->Visible());
        if (Control->Visible()) Paint();
      }
      break;
    default:
      break;
  }
}

void TvexSkinScrollBar::Paint() {
  if (!Engine || !Engine->DrawScrollBar() || !Overlay || !Control) return;
  auto* wc = dynamic_cast<TWinControl*>(Control);
  if (!wc || !wc->HandleAllocated()) return;
  const int w = Control->Width(), h = Control->Height();
  if (w <= 0 || h <= 0) return;
  if (Overlay->Visible()) {
    Overlay->ShowAt(RECT{Control->Left(), Control->Top(), Control->Left() + w, Control->Top() + h});
  } else if (Overlay->Left() != Control->Left() || Overlay->Top() != Control->Top() || Overlay->Width() != w || Overlay->Height() != h) {
    Overlay->SetBounds(Control->Left(), Control->Top(), w, h);
    Overlay->RaiseLater();
  }
  SCROLLBARINFO info{};
  info.cbSize = sizeof info;
  if (!utils::LateGetScrollBarInfo(wc->Handle(), OBJID_CLIENT, &info)) return;
  const bool vertical = TryGetProp<std::int64_t>(*Control, "Kind").value_or(sbHorizontal) == sbVertical;
  Overlay->Vertical = vertical;
  const RECT thumb = vertical ? RECT{0, info.xyThumbTop, w, info.xyThumbBottom} : RECT{info.xyThumbTop, 0, info.xyThumbBottom, h};
  // A disabled bar shows no thumb, as the system's does.
  const bool drawThumb = (info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) == 0;
  const bool focused = HasFocus(wc->Handle());
  if (Overlay->ShowsAlready(TvexSkinScrollOverlay::TPaintKey{w, h, thumb, drawThumb, focused, Overlay->Arrows})) return;
  Overlay->Buffer.SetSize(w, h);
  TCanvas& canvas = Overlay->Buffer.Canvas();
  RECT client{0, 0, w, h};
  GetClientRect(wc->Handle(), &client);
  utils::FillRectColor(canvas, client, Engine->GetSkinColor(keys::color::SKIN2_SCROLLBARCOLOR));
  PaintScrollBar(canvas, *Engine, client, thumb, drawThumb, vertical, Overlay->Arrows, Dpi());
  if (focused) {
    RECT f = thumb;
    InflateRect(&f, -1, -1);
    DrawFocusRect(canvas.Handle(), &f);
  }
  Overlay->Present();
}

// ---------------------------------------------------------------------------------------------
// Controls with built-in bars

TvexSkinScrollWinControl::~TvexSkinScrollWinControl() { DestroyOverlays(); }

void TvexSkinScrollWinControl::OverlayGone(TvexSkinScrollOverlay* overlay) { TBars{VertOverlay, HorzOverlay}.Gone(overlay); }

void TvexSkinScrollWinControl::DestroyOverlays() { TBars{VertOverlay, HorzOverlay}.Destroy(); }

void TvexSkinScrollWinControl::Attached() {
  TvexSkinBorderWinControl::Attached();
  VertOverlay = HorzOverlay = nullptr;
  if (!Engine || Engine->Designing() || !Control) return;
  // A control on panels of a tab page keeps the page's own look.
  if (Control->Parent() && Control->Parent()->Is<TPanel>()) {
    TWinControl* p = Control->Parent();
    while (p && p->Is<TPanel>()) p = p->Parent();
    if (p && p->ClassName() == "TTabPage") return;
  }
  if (Control->ClassInfo().InheritsFrom("TFrame")) return;
  if (Control->Is<TCustomEdit>()) {
    if (Control->Is<TEdit>() && static_cast<TWinControl*>(Control)->ImeMode() == imDontCare)
      static_cast<TWinControl*>(Control)->SetImeMode(imSAlpha);
    auto* edit = static_cast<TWinControl*>(Control);
    const bool multiLine = edit->HandleAllocated() ? (GetWindowLongW(edit->Handle(), GWL_STYLE) & ES_MULTILINE) != 0
                                                   : Control->Is<TCustomMemo>();
    if (!multiLine || Control->Is<TCustomMaskEdit>() || Control->ClassName() == "TSpinEdit") return;
  }
  TWinControl* parent = OverlayParent(*Control, Owner);
  if (!parent) return;
  const auto place = [&](TvexSkinInternalScrollBar& o) {
    o.ScrolledControl = static_cast<TWinControl*>(Control);
    o.Wrapper = this;
    o.WrapperAlive = Alive;
    o.SetParent(parent);
  };
  if (!Control->Is<TWinControl>()) return;
  VertOverlay = NewBarOverlay(*Engine, 0, place);
  HorzOverlay = NewBarOverlay(*Engine, 1, place);
}

void TvexSkinScrollWinControl::Detach() {
  TvexSkinBorderWinControl::Detach();
  DestroyOverlays();
}

void TvexSkinScrollWinControl::UpdateSkinState() {
  TvexSkinBorderWinControl::UpdateSkinState();
  if (Engine) TBars{VertOverlay, HorzOverlay}.Refresh(*Engine, [this] { PaintOverlays(); });
}

void TvexSkinScrollWinControl::AfterMessage(TMessage& m) {
  // The erase comes inside the control's paint, whose end paints the border and bars anyway:
  // painting them for both cost a scrolled line a third more skin work.
  if (m.Msg == WM_ERASEBKGND) return;
  const std::shared_ptr<bool> alive = Alive;
  TvexSkinBorderWinControl::AfterMessage(m);
  if (!*alive || Detached || !Control) return;
  const TBars bars{VertOverlay, HorzOverlay};
  if (TBars::Scrolled(m)) {
    auto* wc = dynamic_cast<TWinControl*>(Control);
    if (wc && wc->HandleAllocated() && IsWindowVisible(wc->Handle())) PaintOverlays();
  } else if (bars.Moved(m)) {
    Paint();
  } else if (m.Msg == CM_VISIBLECHANGED) {
    if (Control->Visible())
      Paint();
    else
      bars.Hide();
  }
}

void TvexSkinScrollWinControl::Paint() {
  TvexSkinBorderWinControl::Paint();
  auto* wc = dynamic_cast<TWinControl*>(Control);
  if (wc && wc->HandleAllocated() && IsWindowVisible(wc->Handle())) PaintOverlays();
}

void TvexSkinScrollWinControl::PaintOverlays() {
  auto* wc = dynamic_cast<TWinControl*>(Control);
  if (!Engine || !wc || !wc->HandleAllocated() || (!VertOverlay && !HorzOverlay)) return;
  TWinControl* parent = VertOverlay ? VertOverlay->Parent() : HorzOverlay->Parent();
  if (!parent || !parent->HandleAllocated()) return;
  PaintBars(*Engine, VertOverlay, HorzOverlay, wc->Handle(), parent->Handle(), TakesPartInThumbTracking(*Control), Dpi());
}

// ---------------------------------------------------------------------------------------------
// Grids

void TvexSkinGrid::Attached() {
  TvexSkinScrollWinControl::Attached();
  if (auto* g = dynamic_cast<TCustomGrid*>(Control)) SavedFixedColor = g->FixedColor();
}

void TvexSkinGrid::UpdateSkinState() {
  TvexSkinScrollWinControl::UpdateSkinState();
  auto* g = dynamic_cast<TCustomGrid*>(Control);
  if (!g || !Engine) return;
  if (Engine->IsSkinActive()) {
    // The application's colour is kept once: a second activation does not store the skin's.
    if (!fixedColorApplied_) SavedFixedColor = g->FixedColor();
    fixedColorApplied_ = true;
    g->SetFixedColor(Engine->GetFormColor());
  } else {
    if (fixedColorApplied_) g->SetFixedColor(SavedFixedColor);
    fixedColorApplied_ = false;
  }
}

void TvexSkinGrid::Detach() {
  TvexSkinScrollWinControl::Detach();
  if (auto* g = dynamic_cast<TCustomGrid*>(Control); g && fixedColorApplied_ && !g->HasState(csDestroying)) g->SetFixedColor(SavedFixedColor);
  fixedColorApplied_ = false;
}

// ---------------------------------------------------------------------------------------------
// List view headers

void PaintListViewHeader(TvexSkinEngine& engine, HWND header, const std::vector<THeaderColumn>& columns, HIMAGELIST images) {
  if (!header || !IsWindow(header)) return;
  RECT wr;
  GetWindowRect(header, &wr);
  const int R = wr.right - wr.left, B = wr.bottom - wr.top;
  TWindowCanvas canvas(header, TWindowDC::TKind::Whole);
  if (!canvas.Handle()) return;
  const TColor formColor = engine.GetFormColor();
  const TColor border = engine.GetSkinColor(keys::color::SKIN2_CONTROLBORDERCOLOR);
  utils::AssignMenuFont(canvas.Font());
  canvas.Font().SetColor(engine.GetSkinColor(keys::color::SKIN2_CONTROLFONTCOLOR));
  int imageW = 0, imageH = 0;
  if (images) ImageList_GetIconSize(images, &imageW, &imageH);
  const int count = std::min(static_cast<int>(columns.size()), static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)));
  int lastRight = 0, previousRight = -1, itemTop = 0, itemBottom = B;
  const auto vline = [&](int x, int top, int bottom) {
    canvas.Pen.color = border;
    canvas.MoveTo(x, top);
    canvas.LineTo(x, bottom);
  };
  for (int i = 0; i < count; ++i) {
    RECT ir{};
    if (!SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&ir))) continue;
    const THeaderColumn& col = columns[static_cast<std::size_t>(i)];
    utils::FillRectColor(canvas, ir, formColor);
    canvas.Brush.style = TBrushStyle::bsClear;
    const bool image = images && col.imageIndex >= 0;
    const int itemW = ir.right - ir.left, A = itemW - 6;
    SIZE ts{};
    GetTextExtentPoint32W(canvas.Handle(), col.caption.c_str(), static_cast<int>(col.caption.size()), &ts);
    const int T = ts.cx;
    const int imageY = ir.top + (ir.bottom - ir.top - imageH) / 2;
    int x = ir.left;
    switch (col.alignment) {
      case taRightJustify:
        x += std::max(4, image ? A - T - imageW - 2 : A - T - 2);
        break;
      case taCenter:
        x += std::max(4, (image ? A - T - imageW - 2 : A - T - 2) / 2);
        break;
      default:
        x += 4;
        break;
    }
    if (image) {
      ImageList_Draw(images, col.imageIndex, canvas.Handle(), x, imageY, ILD_TRANSPARENT);
      x += imageW + 2;
    }
    const std::wstring text = utils::EllipsisTextW(canvas, col.caption, ir.right - x - 2);
    RECT tr{x, ir.top, ir.right - 2, ir.bottom};
    // Drawn straight on the device context: its background mode is the canvas's clear brush only
    // once set here (left opaque, the caption stood in a box of the context's background colour).
    SetBkMode(canvas.Handle(), TRANSPARENT);
    if (tr.right > tr.left) DrawTextW(canvas.Handle(), text.c_str(), static_cast<int>(text.size()), &tr, DT_SINGLELINE | DT_VCENTER);
    // A zero-width column before this one shows as a double line.
    if (previousRight == ir.right) vline(ir.right - 2, ir.top, ir.bottom);
    vline(ir.right - 1, ir.top, ir.bottom);
    previousRight = ir.right;
    lastRight = ir.right;
    itemTop = ir.top;
    itemBottom = ir.bottom;
  }
  // The header's empty rest in the form colour, and the line under the columns.
  if (lastRight < R) utils::FillRectColor(canvas, RECT{lastRight, itemTop, R, itemBottom}, formColor);
  const int lineEnd = count > 0 ? lastRight : R;
  if (lineEnd > 0) {
    canvas.Pen.color = border;
    canvas.MoveTo(0, B - 1);
    canvas.LineTo(lineEnd, B - 1);
  }
}

void THeaderHook::Hook(HWND header) {
  if (header == header_ && (hooked_ || !header)) return;
  Unhook();
  header_ = header;
  if (header_) hooked_ = host::SetSubclass(header_, Proc, sidListHeader, reinterpret_cast<DWORD_PTR>(this)) != FALSE;
}

void THeaderHook::Unhook() {
  if (hooked_ && header_ && IsWindow(header_)) host::RemoveSubclass(header_, Proc, sidListHeader);
  hooked_ = false;
}

LRESULT CALLBACK THeaderHook::Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<THeaderHook*>(data);
  if (msg == WM_NCDESTROY) {
    host::RemoveSubclass(wnd, Proc, sidListHeader);
    self->hooked_ = false;
    self->header_ = nullptr;
    return host::DefSubclass(wnd, msg, wParam, lParam);
  }
  const bool active = self->active_();
  if (active && msg == WM_PAINT) {
    PAINTSTRUCT ps;
    BeginPaint(wnd, &ps);
    self->paint_();
    EndPaint(wnd, &ps);
    return 0;
  }
  const LRESULT r = host::DefSubclass(wnd, msg, wParam, lParam);
  if (active && (msg == HDM_SETITEMA || msg == HDM_SETITEMW)) self->paint_();
  return r;
}

TvexSkinListView::~TvexSkinListView() = default;

void TvexSkinListView::Attached() {
  TvexSkinScrollWinControl::Attached();
  if (!Engine || Engine->Designing()) return;
  HookHeader();
}

void TvexSkinListView::HookHeader() {
  auto* wc = dynamic_cast<TWinControl*>(Control);
  if (!wc) return;
  ListHandle = wc->Handle();
  header_.Hook(reinterpret_cast<HWND>(SendMessageW(ListHandle, LVM_GETHEADER, 0, 0)));
}

void TvexSkinListView::AfterMessage(TMessage& m) {
  const std::shared_ptr<bool> alive = Alive;
  TvexSkinScrollWinControl::AfterMessage(m);
  if (!*alive || Detached || !Control) return;
  // The list view made its window anew (a border or a virtual mode changed): the header went with
  // the old one, and the new one is painted from the skin as well.
  auto* wc = dynamic_cast<TWinControl*>(Control);
  if (m.Msg == CM_RECREATEWND && wc && wc->HandleAllocated()) HookHeader();
}

void TvexSkinListView::Detach() {
  TvexSkinScrollWinControl::Detach();
  if (ListHandle && IsWindow(ListHandle) && !(Control && Control->HasState(csDestroying))) header_.Unhook();
  if (HWND h = HeaderHandle(); h && IsWindow(h)) InvalidateRect(h, nullptr, TRUE);
}

void TvexSkinListView::PaintHeader() {
  auto* lv = dynamic_cast<TCustomListView*>(Control);
  if (!Engine || !HeaderHandle()) return;
  std::vector<THeaderColumn> columns;
  HIMAGELIST images = nullptr;
  if (lv) {
    for (int i = 0; i < lv->Columns().Count(); ++i) {
      const TListColumn* c = lv->Columns().Items(i);
      columns.push_back(THeaderColumn{c->Caption(), c->Alignment(), c->ImageIndex()});
    }
    if (lv->SmallImages()) images = lv->SmallImages()->Handle();
  }
  PaintListViewHeader(*Engine, HeaderHandle(), columns, images);
}

// ---------------------------------------------------------------------------------------------
// Native windows

TvexSkinWndScrollControl::TvexSkinWndScrollControl(HWND handle, TvexSkinWindow* owner)
    : TvexSkinBorderWndControl(handle, owner, StaticClass()) {}

TvexSkinWndScrollControl::~TvexSkinWndScrollControl() { DestroyOverlays(); }

void TvexSkinWndScrollControl::OverlayGone(TvexSkinScrollOverlay* overlay) { TBars{VertOverlay, HorzOverlay}.Gone(overlay); }

void TvexSkinWndScrollControl::DestroyOverlays() { TBars{VertOverlay, HorzOverlay}.Destroy(); }

void TvexSkinWndScrollControl::Attached() {
  TvexSkinBorderWndControl::Attached();
  if (!Engine || !Handle) return;
  HWND parent = GetParent(Handle);
  if (!parent) return;
  const auto place = [&](TvexSkinInternalScrollBar& o) {
    o.ScrolledHandle = Handle;
    o.Wrapper = this;
    o.WrapperAlive = Alive;
    o.SetParentWindow(parent);
    o.HandleNeeded();
  };
  VertOverlay = NewBarOverlay(*Engine, 0, place);
  HorzOverlay = NewBarOverlay(*Engine, 1, place);
  // Dialog controls are made without clipping their siblings: the window would paint its own bar
  // over the overlay standing on it, and an overlay whose picture did not change copies nothing.
  const LONG_PTR style = GetWindowLongPtrW(Handle, GWL_STYLE);
  if ((VertOverlay || HorzOverlay) && !(style & WS_CLIPSIBLINGS)) {
    SetWindowLongPtrW(Handle, GWL_STYLE, style | WS_CLIPSIBLINGS);
    addedClipSiblings_ = true;
  }
  wchar_t cls[64] = {};
  GetClassNameW(Handle, cls, 64);
  if (lstrcmpiW(cls, WC_LISTVIEWW) == 0) header_.Hook(reinterpret_cast<HWND>(SendMessageW(Handle, LVM_GETHEADER, 0, 0)));
}

void TvexSkinWndScrollControl::Detach() {
  TvexSkinBorderWndControl::Detach();
  if (addedClipSiblings_ && Handle && IsWindow(Handle))
    SetWindowLongPtrW(Handle, GWL_STYLE, GetWindowLongPtrW(Handle, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_CLIPSIBLINGS));
  addedClipSiblings_ = false;
  header_.Unhook();
  if (HWND h = HeaderHandle(); h && IsWindow(h)) InvalidateRect(h, nullptr, TRUE);
  DestroyOverlays();
}

void TvexSkinWndScrollControl::UpdateSkinState() {
  TvexSkinBorderWndControl::UpdateSkinState();
  if (!Engine) return;
  TBars{VertOverlay, HorzOverlay}.Refresh(*Engine, [this] { PaintOverlays(); });
  if (HWND h = HeaderHandle()) InvalidateRect(h, nullptr, TRUE);
}

void TvexSkinWndScrollControl::AfterMessage(TMessage& m) {
  // As for framework controls: the paint the erase belongs to paints the skin's parts.
  if (m.Msg == WM_ERASEBKGND) return;
  const std::shared_ptr<bool> alive = Alive;
  TvexSkinBorderWndControl::AfterMessage(m);
  if (!*alive || Detached) return;
  const TBars bars{VertOverlay, HorzOverlay};
  if (TBars::Scrolled(m)) {
    if (Handle && IsWindowVisible(Handle)) PaintOverlays();
  } else if (bars.Moved(m)) {
    Paint();
  } else if (m.Msg == WM_SHOWWINDOW && !m.WParam) {
    bars.Hide();
  }
}

void TvexSkinWndScrollControl::Paint() {
  TvexSkinBorderWndControl::Paint();
  if (Handle && IsWindowVisible(Handle)) PaintOverlays();
}

void TvexSkinWndScrollControl::PaintOverlays() {
  if (!Engine || !Handle) return;
  PaintBars(*Engine, VertOverlay, HorzOverlay, Handle, GetParent(Handle), false, Dpi());
}

void TvexSkinWndScrollControl::PaintHeader() {
  const HWND header = HeaderHandle();
  if (!Engine || !header || !Handle) return;
  std::vector<THeaderColumn> columns;
  const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t text[260] = {};
    HDITEMW item{};
    item.mask = HDI_TEXT | HDI_FORMAT | HDI_IMAGE;
    item.pszText = text;
    item.cchTextMax = 260;
    SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    THeaderColumn c;
    c.caption = text;
    const int align = item.fmt & HDF_JUSTIFYMASK;
    c.alignment = align == HDF_RIGHT ? taRightJustify : align == HDF_CENTER ? taCenter : taLeftJustify;
    c.imageIndex = (item.fmt & HDF_IMAGE) ? item.iImage : -1;
    columns.push_back(std::move(c));
  }
  const auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(Handle, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
  PaintListViewHeader(*Engine, header, columns, images);
}

// ---------------------------------------------------------------------------------------------
// Registration

void RegisterScrollControlClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    const TControlClassRow rows[] = {
        {&TCustomControl::StaticClass(),
         [](TControl* c, TvexSkinWindow* f) -> TvexSkinControlVCL* { return NewControlWrapper<TvexSkinScrollWinControl>(c, f); }},
        {&TScrollBox::StaticClass(),
         [](TControl* c, TvexSkinWindow* f) -> TvexSkinControlVCL* { return NewControlWrapper<TvexSkinScrollWinControl>(c, f); }},
        {&TCustomTreeView::StaticClass(),
         [](TControl* c, TvexSkinWindow* f) -> TvexSkinControlVCL* { return NewControlWrapper<TvexSkinScrollWinControl>(c, f); }},
        {&TCustomGrid::StaticClass(),
         [](TControl* c, TvexSkinWindow* f) -> TvexSkinControlVCL* { return NewControlWrapper<TvexSkinGrid>(c, f); }},
        {&TScrollBar::StaticClass(),
         [](TControl* c, TvexSkinWindow* f) -> TvexSkinControlVCL* { return NewControlWrapper<TvexSkinScrollBar>(c, f); }},
        // Combo boxes are list controls too: their own rows, registered later, come first.
        {&TCustomListControl::StaticClass(),
         [](TControl* c, TvexSkinWindow* f) -> TvexSkinControlVCL* { return NewControlWrapper<TvexSkinScrollWinControl>(c, f); }},
        {&TCustomListView::StaticClass(),
         [](TControl* c, TvexSkinWindow* f) -> TvexSkinControlVCL* { return NewControlWrapper<TvexSkinListView>(c, f); }},
        {&TCustomEdit::StaticClass(),
         [](TControl* c, TvexSkinWindow* f) -> TvexSkinControlVCL* { return NewControlWrapper<TvexSkinScrollWinControl>(c, f); }},
    };
    RegisterControlClasses(rows);
  });
}

void RegisterScrollWindowClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    const auto scrolling = [](HWND h, TvexSkinWindow* f) -> TvexSkinControlWnd* { return NewControlWrapper<TvexSkinWndScrollControl>(h, f); };
    const TWindowClassRow rows[] = {
        {"LISTBOX", scrolling},
        {"SYSLISTVIEW32", scrolling},
        {"SYSTREEVIEW32", scrolling},
        // Multi-line edits only: a single-line field (one of a combo box among them) keeps its look.
        {"EDIT",
         [](HWND h, TvexSkinWindow* f) -> TvexSkinControlWnd* {
           if ((GetWindowLongW(h, GWL_STYLE) & ES_MULTILINE) == 0) return nullptr;
           return NewControlWrapper<TvexSkinWndScrollControl>(h, f);
         }},
    };
    RegisterWindowClasses(rows);
  });
}

}  // namespace vex::engine
