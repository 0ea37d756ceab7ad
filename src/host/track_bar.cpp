#include "host/track_bar.h"

#include <commctrl.h>

#include <algorithm>

#include "host/prop_builder.h"
#include "host/scroll_bar.h"

namespace vex::host {

const TClassInfo& TTrackBar::StaticClass() {
  static TClassInfo info("TTrackBar", &TWinControl::StaticClass(), ComponentFactory<TTrackBar>);
  static const bool once = [] {
    TPropBuilder<TTrackBar> b(info);
    b.Integer("Frequency", [](const TTrackBar& x) { return x.Frequency(); },
              [](TTrackBar& x, std::int64_t v) { x.SetFrequency(static_cast<int>(v)); })
        .defaultValue = std::int64_t{1};
    b.Integer("LineSize", [](const TTrackBar& x) { return x.LineSize(); },
              [](TTrackBar& x, std::int64_t v) { x.SetLineSize(static_cast<int>(v)); })
        .defaultValue = std::int64_t{1};
    b.Integer("Max", [](const TTrackBar& x) { return x.Max(); }, [](TTrackBar& x, std::int64_t v) { x.SetMax(static_cast<int>(v)); })
        .defaultValue = std::int64_t{10};
    b.Integer("Min", [](const TTrackBar& x) { return x.Min(); }, [](TTrackBar& x, std::int64_t v) { x.SetMin(static_cast<int>(v)); })
        .defaultValue = std::int64_t{0};
    b.Enum("Orientation", "TTrackBarOrientation", {"trHorizontal", "trVertical"}, [](const TTrackBar& x) { return x.Orientation(); },
           [](TTrackBar& x, std::int64_t v) { x.SetOrientation(static_cast<TTrackBarOrientation>(v)); })
        .defaultValue = std::int64_t{trHorizontal};
    b.Integer("PageSize", [](const TTrackBar& x) { return x.PageSize(); },
              [](TTrackBar& x, std::int64_t v) { x.SetPageSize(static_cast<int>(v)); })
        .defaultValue = std::int64_t{2};
    b.Integer("Position", [](const TTrackBar& x) { return x.Position(); },
              [](TTrackBar& x, std::int64_t v) { x.SetPosition(static_cast<int>(v)); })
        .defaultValue = std::int64_t{0};
    b.Integer("SelEnd", [](const TTrackBar& x) { return x.SelEnd(); }, [](TTrackBar& x, std::int64_t v) { x.SetSelEnd(static_cast<int>(v)); })
        .defaultValue = std::int64_t{0};
    b.Integer("SelStart", [](const TTrackBar& x) { return x.SelStart(); },
              [](TTrackBar& x, std::int64_t v) { x.SetSelStart(static_cast<int>(v)); })
        .defaultValue = std::int64_t{0};
    b.Enum("TickMarks", "TTickMark", {"tmBottomRight", "tmTopLeft", "tmBoth"}, [](const TTrackBar& x) { return x.TickMarks(); },
           [](TTrackBar& x, std::int64_t v) { x.SetTickMarks(static_cast<TTickMark>(v)); })
        .defaultValue = std::int64_t{tmBottomRight};
    b.Enum("TickStyle", "TTickStyle", {"tsNone", "tsAuto", "tsManual"}, [](const TTrackBar& x) { return x.TickStyle(); },
           [](TTrackBar& x, std::int64_t v) { x.SetTickStyle(static_cast<TTickStyle>(v)); })
        .defaultValue = std::int64_t{tsAuto};
    b.Method("OnChange", "TNotifyEvent", [](const TTrackBar& x) { return x.OnChange; },
             [](TTrackBar& x, const TMethodValue& m) { x.OnChange = m; });
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

TTrackBar::TTrackBar(TComponent* owner, const TClassInfo& cls) : TWinControl(owner, cls) {
  width_ = 150;
  height_ = 45;
  tabStop_ = true;
  controlStyle_ &= ~(csSetCaption | csDoubleClicks);
}

void TTrackBar::CreateParams(TCreateParams& p) {
  static const bool registered = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
    return InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)registered;
  TWinControl::CreateParams(p);
  p.baseClass = TRACKBAR_CLASSW;
  p.caption.clear();
  p.style |= TBS_ENABLESELRANGE | (orientation_ == trVertical ? TBS_VERT : TBS_HORZ);
  // TBS_TOP and TBS_LEFT, TBS_BOTTOM and TBS_RIGHT are the same bits.
  if (tickMarks_ == tmTopLeft) p.style |= TBS_TOP;
  if (tickMarks_ == tmBoth) p.style |= TBS_BOTH;
  if (tickStyle_ == tsNone) p.style |= TBS_NOTICKS;
  if (tickStyle_ == tsAuto) p.style |= TBS_AUTOTICKS;
}

void TTrackBar::CreateWnd() {
  TWinControl::CreateWnd();
  UpdateControl();
}

// Everything the window keeps goes into it, the range first so the position fits.
void TTrackBar::UpdateControl() {
  if (!handle_) return;
  SendMessageW(handle_, TBM_SETRANGEMIN, FALSE, min_);
  SendMessageW(handle_, TBM_SETRANGEMAX, FALSE, max_);
  SendMessageW(handle_, TBM_SETLINESIZE, 0, lineSize_);
  SendMessageW(handle_, TBM_SETPAGESIZE, 0, pageSize_);
  if (tickStyle_ == tsAuto) SendMessageW(handle_, TBM_SETTICFREQ, static_cast<WPARAM>(frequency_), 0);
  if (tickStyle_ == tsManual) {
    SendMessageW(handle_, TBM_CLEARTICS, FALSE, 0);
    for (int t : ticks_) SendMessageW(handle_, TBM_SETTIC, 0, t);
  }
  SendMessageW(handle_, TBM_SETSELSTART, FALSE, selStart_);
  SendMessageW(handle_, TBM_SETSELEND, FALSE, selEnd_);
  SendMessageW(handle_, TBM_SETPOS, TRUE, position_);
  InvalidateRect(handle_, nullptr, TRUE);
}

void TTrackBar::SetOrientation(TTrackBarOrientation o) {
  if (o == orientation_) return;
  orientation_ = o;
  if (!HasState(csLoading)) SetBounds(left_, top_, height_, width_);
  RecreateWnd();
}

void TTrackBar::SetRange(int min, int max) {
  if (HasState(csLoading)) {
    // Checked as a whole at Loaded: the properties arrive one by one.
    min_ = min;
    max_ = max;
    return;
  }
  if (max < min) throw EInvalidOperation("Track bar range out of order");
  min_ = min;
  max_ = max;
  const int position = std::clamp(position_, min_, max_);
  const bool changed = position != position_;
  position_ = position;
  UpdateControl();
  if (changed) Changed();
}

void TTrackBar::SetPosition(int v) {
  if (HasState(csLoading)) {
    position_ = v;
    return;
  }
  v = std::clamp(v, min_, max_);
  if (v == position_) return;
  position_ = v;
  if (handle_) SendMessageW(handle_, TBM_SETPOS, TRUE, v);
  Changed();
}

void TTrackBar::SetFrequency(int v) {
  frequency_ = std::max(v, 1);
  if (handle_ && tickStyle_ == tsAuto) {
    SendMessageW(handle_, TBM_SETTICFREQ, static_cast<WPARAM>(frequency_), 0);
    InvalidateRect(handle_, nullptr, TRUE);
  }
}

void TTrackBar::SetTickMarks(TTickMark t) {
  if (t == tickMarks_) return;
  tickMarks_ = t;
  RecreateWnd();
}

void TTrackBar::SetTickStyle(TTickStyle t) {
  if (t == tickStyle_) return;
  tickStyle_ = t;
  RecreateWnd();
}

void TTrackBar::SetTick(int value) {
  if (std::find(ticks_.begin(), ticks_.end(), value) == ticks_.end()) ticks_.push_back(value);
  if (handle_) {
    SendMessageW(handle_, TBM_SETTIC, 0, value);
    InvalidateRect(handle_, nullptr, TRUE);
  }
}

void TTrackBar::SetSelStart(int v) {
  selStart_ = v;
  if (handle_) SendMessageW(handle_, TBM_SETSELSTART, TRUE, v);
}

void TTrackBar::SetSelEnd(int v) {
  selEnd_ = v;
  if (handle_) SendMessageW(handle_, TBM_SETSELEND, TRUE, v);
}

void TTrackBar::SetPageSize(int v) {
  pageSize_ = v;
  if (handle_) SendMessageW(handle_, TBM_SETPAGESIZE, 0, v);
}

void TTrackBar::SetLineSize(int v) {
  lineSize_ = v;
  if (handle_) SendMessageW(handle_, TBM_SETLINESIZE, 0, v);
}

void TTrackBar::Loaded() {
  TWinControl::Loaded();
  // A stored form with values that do not fit together is read as well as it can be.
  if (max_ < min_) max_ = min_;
  position_ = std::clamp(position_, min_, max_);
  UpdateControl();
}

void TTrackBar::Changed() {
  if (OnChange.handler) OnChange.handler(this);
}

void TTrackBar::ReadPosition() {
  if (!handle_) return;
  const int v = static_cast<int>(SendMessageW(handle_, TBM_GETPOS, 0, 0));
  if (v == position_) return;
  position_ = v;
  Changed();
}

void TTrackBar::WndProc(TMessage& m) {
  // Every move of the thumb, by key, click or drag, is told to the parent as a scroll message.
  if (m.Msg == CN_HSCROLL || m.Msg == CN_VSCROLL) {
    ReadPosition();
    m.Result = 0;
    return;
  }
  TWinControl::WndProc(m);
}

}  // namespace vex::host
