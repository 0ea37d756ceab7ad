#include "host/scroll_box.h"

#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "host/prop_builder.h"

namespace vex::host {

// ----- the bars -----

const TClassInfo& TControlScrollBar::StaticClass() {
  static TClassInfo info("TControlScrollBar", &TPersistent::StaticClass());
  static const bool once = [] {
    TPropBuilder<TControlScrollBar> b(info);
    b.Integer("Increment", [](const TControlScrollBar& x) { return x.Increment(); },
              [](TControlScrollBar& x, std::int64_t v) { x.SetIncrement(static_cast<int>(v)); })
        .defaultValue = std::int64_t{8};
    // The range is the children's extent while AutoScroll is on: stored only when set by hand.
    b.Integer("Range", [](const TControlScrollBar& x) { return x.Range(); },
              [](TControlScrollBar& x, std::int64_t v) { x.SetRange(static_cast<int>(v)); })
        .stored = [](const TObject& o) {
      const auto& bar = static_cast<const TControlScrollBar&>(o);
      return !bar.control_.AutoScroll() && bar.Range() != 0;
    };
    b.Integer("Position", [](const TControlScrollBar& x) { return x.Position(); },
              [](TControlScrollBar& x, std::int64_t v) { x.SetPosition(static_cast<int>(v)); })
        .defaultValue = std::int64_t{0};
    b.Boolean("Tracking", [](const TControlScrollBar& x) { return x.Tracking(); },
              [](TControlScrollBar& x, std::int64_t v) { x.SetTracking(v != 0); })
        .defaultValue = std::int64_t{0};
    b.Boolean("Visible", [](const TControlScrollBar& x) { return x.Visible(); },
              [](TControlScrollBar& x, std::int64_t v) { x.SetVisible(v != 0); })
        .defaultValue = std::int64_t{1};
    return true;
  }();
  (void)once;
  return info;
}

TControlScrollBar::TControlScrollBar(TScrollingWinControl& control, TScrollBarKind kind)
    : TPersistent(StaticClass()), control_(control), kind_(kind) {}

void TControlScrollBar::SetPosition(int v) {
  // A stored form holds its children where they were at this position: nothing moves.
  if (control_.HasState(csLoading)) {
    position_ = std::max(v, 0);
    return;
  }
  control_.ScrollTo(*this, v);
}

void TControlScrollBar::SetRange(int v) {
  control_.autoScroll_ = false;
  range_ = std::max(v, 0);
  control_.UpdateScrollBars();
}

void TControlScrollBar::SetVisible(bool v) {
  visible_ = v;
  control_.UpdateScrollBars();
}

void TControlScrollBar::Assign(const TPersistent& source) {
  if (!source.Is<TControlScrollBar>()) return TPersistent::Assign(source);
  const auto& s = static_cast<const TControlScrollBar&>(source);
  increment_ = s.increment_;
  tracking_ = s.tracking_;
  visible_ = s.visible_;
  if (!control_.AutoScroll()) range_ = s.range_;
  control_.UpdateScrollBars();
  SetPosition(s.position_);
}

// ----- the scrolling control -----

const TClassInfo& TScrollingWinControl::StaticClass() {
  static TClassInfo info("TScrollingWinControl", &TWinControl::StaticClass());
  static const bool once = [] {
    TPropBuilder<TScrollingWinControl> b(info);
    b.Boolean("AutoScroll", [](const TScrollingWinControl& x) { return x.AutoScroll(); },
              [](TScrollingWinControl& x, std::int64_t v) { x.SetAutoScroll(v != 0); })
        .defaultValue = std::int64_t{1};
    b.Object("HorzScrollBar", TPropKind::Object, TControlScrollBar::StaticClass(),
             [](const TScrollingWinControl& x) { return const_cast<TControlScrollBar*>(&x.HorzScrollBar()); }, nullptr);
    b.Object("VertScrollBar", TPropKind::Object, TControlScrollBar::StaticClass(),
             [](const TScrollingWinControl& x) { return const_cast<TControlScrollBar*>(&x.VertScrollBar()); }, nullptr);
    return true;
  }();
  (void)once;
  return info;
}

TScrollingWinControl::TScrollingWinControl(TComponent* owner, const TClassInfo& cls) : TWinControl(owner, cls) {
  controlStyle_ |= csAcceptsControls;
}

TScrollingWinControl::~TScrollingWinControl() = default;

void TScrollingWinControl::SetAutoScroll(bool v) {
  if (v == autoScroll_) return;
  autoScroll_ = v;
  UpdateScrollBars();
}

void TScrollingWinControl::CreateWnd() {
  TWinControl::CreateWnd();
  UpdateScrollBars();
}

void TScrollingWinControl::Loaded() {
  TWinControl::Loaded();
  UpdateScrollBars();
}

void TScrollingWinControl::ControlBoundsChanged(TControl* child) {
  if (!scrolling_ && !updating_) UpdateScrollBars();
}

void TScrollingWinControl::UpdateBars(const TControl* leaving) {
  if (!handle_ || updating_ || HasState(csLoading)) return;
  updating_ = true;
  if (autoScroll_) {
    // The extent of the children where they would stand unscrolled; aligned children follow the
    // client area and do not count.
    int right = 0, bottom = 0;
    for (TControl* c : controls_) {
      if (c == leaving || !c->Visible() || c->Align() != alNone) continue;
      right = std::max(right, c->Left() + c->Width() + horz_.position_);
      bottom = std::max(bottom, c->Top() + c->Height() + vert_.position_);
    }
    horz_.range_ = right;
    vert_.range_ = bottom;
  }
  // The client area without bars, then which bars it needs: one bar takes room from the other
  // direction, so the second test follows the first.
  RECT cr;
  GetClientRect(handle_, &cr);
  const LONG style = GetWindowLongW(handle_, GWL_STYLE);
  const int cxv = GetSystemMetrics(SM_CXVSCROLL), cyh = GetSystemMetrics(SM_CYHSCROLL);
  const int fullW = cr.right + ((style & WS_VSCROLL) ? cxv : 0);
  const int fullH = cr.bottom + ((style & WS_HSCROLL) ? cyh : 0);
  bool needV = vert_.visible_ && vert_.range_ > fullH;
  const bool needH = horz_.visible_ && horz_.range_ > fullW - (needV ? cxv : 0);
  if (needH && !needV) needV = vert_.visible_ && vert_.range_ > fullH - cyh;
  horz_.page_ = std::max(fullW - (needV ? cxv : 0), 0);
  vert_.page_ = std::max(fullH - (needH ? cyh : 0), 0);
  horz_.shown_ = needH;
  vert_.shown_ = needV;
  for (TControlScrollBar* bar : {&horz_, &vert_}) {
    const int code = bar->kind_ == sbHorizontal ? SB_HORZ : SB_VERT;
    const int maxPos = bar->shown_ ? std::max(bar->range_ - bar->page_, 0) : 0;
    const int pos = std::clamp(bar->position_, 0, maxPos);
    if (bar->shown_) {
      SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, bar->range_ - 1, static_cast<UINT>(bar->page_), pos, 0};
      SetScrollInfo(handle_, code, &si, TRUE);
    }
    ShowScrollBar(handle_, code, bar->shown_);
    if (pos != bar->position_) {
      const int delta = pos - bar->position_;
      bar->position_ = pos;
      if (bar->kind_ == sbHorizontal)
        ScrollBy(-delta, 0);
      else
        ScrollBy(0, -delta);
    }
  }
  updating_ = false;
}

void TScrollingWinControl::ScrollBy(int dx, int dy) {
  if (!dx && !dy) return;
  scrolling_ = true;
  struct TExpected {
    TControl* control;
    int left, top;
  };
  std::vector<TExpected> windows;
  for (TControl* c : controls_) {
    if (c->Is<TWinControl>() && static_cast<TWinControl*>(c)->HandleAllocated())
      windows.push_back({c, c->Left() + dx, c->Top() + dy});
    else
      OffsetControl(c, dx, dy);
  }
  // The pixels move with the child windows; what comes into view is painted afresh.
  if (handle_) ScrollWindowEx(handle_, dx, dy, nullptr, nullptr, nullptr, nullptr, SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
  // Child windows the system did not move (it moves those its scroll rectangle meets) are
  // placed by hand.
  for (const TExpected& e : windows)
    if (e.control->Left() != e.left || e.control->Top() != e.top)
      e.control->SetBounds(e.left, e.top, e.control->Width(), e.control->Height());
  scrolling_ = false;
}

void TScrollingWinControl::ScrollTo(TControlScrollBar& bar, int pos) {
  int maxPos = std::max(bar.range_ - bar.page_, 0);
  if (!handle_) maxPos = std::max(bar.range_ - (bar.kind_ == sbHorizontal ? width_ : height_), 0);
  else if (!bar.shown_) maxPos = 0;
  pos = std::clamp(pos, 0, maxPos);
  const int delta = pos - bar.position_;
  if (!delta) return;
  bar.position_ = pos;
  if (handle_) SetScrollPos(handle_, bar.kind_ == sbHorizontal ? SB_HORZ : SB_VERT, pos, TRUE);
  if (bar.kind_ == sbHorizontal)
    ScrollBy(-delta, 0);
  else
    ScrollBy(0, -delta);
}

void TScrollingWinControl::ScrollInView(TControl* control) {
  if (!control || control->Parent() != this) return;
  const RECT cr = ClientRect();
  const auto into = [this](TControlScrollBar& bar, int low, int high, int size) {
    if (low < 0)
      ScrollTo(bar, bar.position_ + low);
    else if (high > size)
      ScrollTo(bar, bar.position_ + std::min(high - size, low));
  };
  into(horz_, control->Left(), control->Left() + control->Width(), cr.right);
  into(vert_, control->Top(), control->Top() + control->Height(), cr.bottom);
}

void TScrollingWinControl::Scroll(TControlScrollBar& bar, WPARAM wParam) {
  const int code = LOWORD(wParam);
  int pos = bar.position_;
  const auto trackPos = [&] {
    // The message carries 16 bits; a longer range is read from the bar.
    if (bar.range_ <= 0xFFFF) return static_cast<int>(HIWORD(wParam));
    SCROLLINFO si{sizeof si, SIF_TRACKPOS, 0, 0, 0, 0, 0};
    GetScrollInfo(handle_, bar.kind_ == sbHorizontal ? SB_HORZ : SB_VERT, &si);
    return si.nTrackPos;
  };
  switch (code) {
    case SB_LINEUP: pos -= bar.increment_; break;
    case SB_LINEDOWN: pos += bar.increment_; break;
    case SB_PAGEUP: pos -= bar.page_; break;
    case SB_PAGEDOWN: pos += bar.page_; break;
    case SB_THUMBTRACK:
      if (!bar.tracking_) return;
      pos = trackPos();
      break;
    case SB_THUMBPOSITION: pos = trackPos(); break;
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = bar.range_; break;
    default: return;
  }
  ScrollTo(bar, pos);
}

void TScrollingWinControl::Wheel(TControlScrollBar& bar, int delta) {
  UINT lines = 3;
  SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  wheelRest_ += delta;
  const int notches = wheelRest_ / WHEEL_DELTA;
  wheelRest_ -= notches * WHEEL_DELTA;
  if (!notches) return;
  const int step = lines == WHEEL_PAGESCROLL ? bar.page_ : static_cast<int>(lines) * bar.increment_;
  ScrollTo(bar, bar.position_ - notches * step);
}

void TScrollingWinControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (!m.LParam) {
        Scroll(m.Msg == WM_HSCROLL ? horz_ : vert_, m.WParam);
        m.Result = 0;
        return;
      }
      break;
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL: {
      // The wheel scrolls up and down, sideways with Shift or when only that bar shows; without
      // bars it goes on to the parent.
      const bool sideways = m.Msg == WM_MOUSEHWHEEL || (GET_KEYSTATE_WPARAM(m.WParam) & MK_SHIFT) || !vert_.shown_;
      TControlScrollBar& bar = sideways ? horz_ : vert_;
      if (!bar.shown_) break;
      const int delta = GET_WHEEL_DELTA_WPARAM(m.WParam);
      Wheel(bar, m.Msg == WM_MOUSEHWHEEL ? -delta : delta);
      m.Result = m.Msg == WM_MOUSEHWHEEL ? TRUE : 0;
      return;
    }
    case CM_CONTROLLISTCHANGE: {
      auto* c = reinterpret_cast<TControl*>(m.WParam);
      TWinControl::WndProc(m);
      if (c && c->Parent() == this) UpdateBars(m.LParam ? nullptr : c);
      return;
    }
    case WM_SIZE:
      TWinControl::WndProc(m);
      UpdateScrollBars();
      return;
    default:
      break;
  }
  TWinControl::WndProc(m);
}

// ----- the scroll box -----

const TClassInfo& TScrollBox::StaticClass() {
  static TClassInfo info("TScrollBox", &TScrollingWinControl::StaticClass(), ComponentFactory<TScrollBox>);
  static const bool once = [] {
    TPropBuilder<TScrollBox> b(info);
    b.Enum("BorderStyle", "TBorderStyle", {"bsNone", "bsSingle"}, [](const TScrollBox& x) { return x.BorderStyle(); },
           [](TScrollBox& x, std::int64_t v) { x.SetBorderStyle(v ? bsSingle : bsNone); })
        .defaultValue = std::int64_t{bsSingle};
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

TScrollBox::TScrollBox(TComponent* owner, const TClassInfo& cls) : TScrollingWinControl(owner, cls) {
  width_ = 185;
  height_ = 41;
}

void TScrollBox::CreateParams(TCreateParams& p) {
  TScrollingWinControl::CreateParams(p);
  if (borderStyle_ == bsSingle) p.exStyle |= WS_EX_CLIENTEDGE;
}

void TScrollBox::SetBorderStyle(TBorderStyle s) {
  if (s == borderStyle_) return;
  borderStyle_ = s;
  RecreateWnd();
}

}  // namespace vex::host
