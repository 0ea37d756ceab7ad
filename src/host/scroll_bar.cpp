#include "host/scroll_bar.h"

#include <algorithm>

#include "host/prop_builder.h"

namespace vex::host {

const TClassInfo& TScrollBar::StaticClass() {
  static TClassInfo info("TScrollBar", &TWinControl::StaticClass(), ComponentFactory<TScrollBar>);
  static const bool once = [] {
    TPropBuilder<TScrollBar> b(info);
    b.Enum("Kind", "TScrollBarKind", {"sbHorizontal", "sbVertical"}, [](const TScrollBar& x) { return x.Kind(); },
           [](TScrollBar& x, std::int64_t v) { x.SetKind(static_cast<TScrollBarKind>(v)); })
        .defaultValue = std::int64_t{sbHorizontal};
    b.Integer("LargeChange", [](const TScrollBar& x) { return x.LargeChange(); },
              [](TScrollBar& x, std::int64_t v) { x.SetLargeChange(static_cast<int>(v)); })
        .defaultValue = std::int64_t{1};
    b.Integer("Max", [](const TScrollBar& x) { return x.Max(); }, [](TScrollBar& x, std::int64_t v) { x.SetMax(static_cast<int>(v)); })
        .defaultValue = std::int64_t{100};
    b.Integer("Min", [](const TScrollBar& x) { return x.Min(); }, [](TScrollBar& x, std::int64_t v) { x.SetMin(static_cast<int>(v)); })
        .defaultValue = std::int64_t{0};
    b.Integer("PageSize", [](const TScrollBar& x) { return x.PageSize(); },
              [](TScrollBar& x, std::int64_t v) { x.SetPageSize(static_cast<int>(v)); })
        .defaultValue = std::int64_t{0};
    b.Integer("Position", [](const TScrollBar& x) { return x.Position(); },
              [](TScrollBar& x, std::int64_t v) { x.SetPosition(static_cast<int>(v)); })
        .defaultValue = std::int64_t{0};
    b.Integer("SmallChange", [](const TScrollBar& x) { return x.SmallChange(); },
              [](TScrollBar& x, std::int64_t v) { x.SetSmallChange(static_cast<int>(v)); })
        .defaultValue = std::int64_t{1};
    b.Method("OnChange", "TNotifyEvent", [](const TScrollBar& x) { return x.OnChange; },
             [](TScrollBar& x, const TMethodValue& m) { x.OnChange = m; });
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

TScrollBar::TScrollBar(TComponent* owner, const TClassInfo& cls) : TWinControl(owner, cls) {
  width_ = 121;
  height_ = GetSystemMetrics(SM_CYHSCROLL);
  tabStop_ = true;
  controlStyle_ &= ~(csSetCaption | csDoubleClicks);
}

void TScrollBar::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.baseClass = L"SCROLLBAR";
  p.caption.clear();
  p.style |= kind_ == sbVertical ? SBS_VERT : SBS_HORZ;
}

void TScrollBar::CreateWnd() {
  TWinControl::CreateWnd();
  UpdateControl();
}

void TScrollBar::UpdateControl() {
  if (!handle_) return;
  SCROLLINFO si{sizeof si, SIF_ALL, min_, max_, static_cast<UINT>(pageSize_), position_, 0};
  SetScrollInfo(handle_, SB_CTL, &si, TRUE);
}

void TScrollBar::SetKind(TScrollBarKind k) {
  if (k == kind_) return;
  kind_ = k;
  if (!HasState(csLoading)) SetBounds(left_, top_, height_, width_);
  RecreateWnd();
}

void TScrollBar::SetPageSize(int v) {
  if (v == pageSize_) return;
  // While a form is read the properties arrive one by one: they are checked as a whole at Loaded.
  if (!HasState(csLoading) && (v < 0 || v > max_ - min_ + 1)) throw EInvalidOperation("Scroll bar property out of range");
  pageSize_ = v;
  SetParams(position_, min_, max_);
}

void TScrollBar::SetParams(int position, int min, int max) {
  if (HasState(csLoading)) {
    position_ = position;
    min_ = min;
    max_ = max;
    return;
  }
  if (max < min || (pageSize_ > 0 && pageSize_ > max - min + 1)) throw EInvalidOperation("Scroll bar property out of range");
  min_ = min;
  max_ = max;
  position = std::clamp(position, min_, std::max(min_, MaxPosition()));
  const bool changed = position != position_;
  position_ = position;
  UpdateControl();
  if (changed) Change();
}

void TScrollBar::Loaded() {
  TWinControl::Loaded();
  // A stored form with values that do not fit together is read as well as it can be.
  if (max_ < min_) max_ = min_;
  pageSize_ = std::clamp(pageSize_, 0, max_ - min_ + 1);
  const int position = position_;
  position_ = std::clamp(position, min_, std::max(min_, MaxPosition()));
  UpdateControl();
}

void TScrollBar::Change() {
  if (OnChange.handler) OnChange.handler(this);
}

void TScrollBar::Scroll(TScrollCode code, int& pos) {
  if (OnScroll) OnScroll(this, code, pos);
}

void TScrollBar::DoScroll(WPARAM wParam) {
  const int code = LOWORD(wParam);
  if (code < SB_LINEUP || code > SB_ENDSCROLL) return;
  int pos = position_;
  switch (code) {
    case SB_LINEUP: pos -= smallChange_; break;
    case SB_LINEDOWN: pos += smallChange_; break;
    case SB_PAGEUP: pos -= largeChange_; break;
    case SB_PAGEDOWN: pos += largeChange_; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
      // The message carries 16 bits of position; wider ranges read the track position.
      if (min_ >= 0 && max_ <= 0xFFFF) {
        pos = HIWORD(wParam);
      } else {
        SCROLLINFO si{sizeof si, SIF_TRACKPOS, 0, 0, 0, 0, 0};
        if (handle_ && GetScrollInfo(handle_, SB_CTL, &si)) pos = si.nTrackPos;
      }
      break;
    case SB_TOP: pos = min_; break;
    case SB_BOTTOM: pos = MaxPosition(); break;
    default: break;
  }
  pos = std::clamp(pos, min_, std::max(min_, MaxPosition()));
  Scroll(static_cast<TScrollCode>(code), pos);
  SetPosition(pos);
  // The system moved the thumb while it was dragged; it goes where the position is.
  if (handle_ && code == SB_ENDSCROLL) UpdateControl();
}

void TScrollBar::WndProc(TMessage& m) {
  if ((m.Msg == CN_HSCROLL && kind_ == sbHorizontal) || (m.Msg == CN_VSCROLL && kind_ == sbVertical)) {
    DoScroll(m.WParam);
    m.Result = 0;
    return;
  }
  TWinControl::WndProc(m);
}

}  // namespace vex::host
