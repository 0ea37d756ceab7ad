#include "host/progress_bar.h"

#include <commctrl.h>

#include <algorithm>

#include "host/prop_builder.h"
#include "host/scroll_bar.h"

namespace vex::host {

const TClassInfo& TProgressBar::StaticClass() {
  static TClassInfo info("TProgressBar", &TWinControl::StaticClass(), ComponentFactory<TProgressBar>);
  static const bool once = [] {
    TPropBuilder<TProgressBar> b(info);
    b.Integer("Max", [](const TProgressBar& x) { return x.Max(); }, [](TProgressBar& x, std::int64_t v) { x.SetMax(static_cast<int>(v)); })
        .defaultValue = std::int64_t{100};
    b.Integer("Min", [](const TProgressBar& x) { return x.Min(); }, [](TProgressBar& x, std::int64_t v) { x.SetMin(static_cast<int>(v)); })
        .defaultValue = std::int64_t{0};
    b.Enum("Orientation", "TProgressBarOrientation", {"pbHorizontal", "pbVertical"}, [](const TProgressBar& x) { return x.Orientation(); },
           [](TProgressBar& x, std::int64_t v) { x.SetOrientation(static_cast<TProgressBarOrientation>(v)); })
        .defaultValue = std::int64_t{pbHorizontal};
    b.Integer("Position", [](const TProgressBar& x) { return x.Position(); },
              [](TProgressBar& x, std::int64_t v) { x.SetPosition(static_cast<int>(v)); })
        .defaultValue = std::int64_t{0};
    b.Boolean("Smooth", [](const TProgressBar& x) { return x.Smooth(); }, [](TProgressBar& x, std::int64_t v) { x.SetSmooth(v != 0); })
        .defaultValue = std::int64_t{0};
    b.Integer("Step", [](const TProgressBar& x) { return x.Step(); }, [](TProgressBar& x, std::int64_t v) { x.SetStep(static_cast<int>(v)); })
        .defaultValue = std::int64_t{10};
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

TProgressBar::TProgressBar(TComponent* owner, const TClassInfo& cls) : TWinControl(owner, cls) {
  width_ = 150;
  height_ = 16;
  controlStyle_ &= ~(csSetCaption | csDoubleClicks);
}

void TProgressBar::CreateParams(TCreateParams& p) {
  static const bool registered = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS};
    return InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)registered;
  TWinControl::CreateParams(p);
  p.baseClass = PROGRESS_CLASSW;
  p.caption.clear();
  if (orientation_ == pbVertical) p.style |= PBS_VERTICAL;
  if (smooth_) p.style |= PBS_SMOOTH;
}

void TProgressBar::CreateWnd() {
  TWinControl::CreateWnd();
  UpdateControl();
}

void TProgressBar::UpdateControl() {
  if (!handle_) return;
  SendMessageW(handle_, PBM_SETRANGE32, static_cast<WPARAM>(min_), max_);
  SendMessageW(handle_, PBM_SETSTEP, static_cast<WPARAM>(step_), 0);
  SendMessageW(handle_, PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

void TProgressBar::SetOrientation(TProgressBarOrientation o) {
  if (o == orientation_) return;
  orientation_ = o;
  if (!HasState(csLoading)) SetBounds(left_, top_, height_, width_);
  RecreateWnd();
}

void TProgressBar::SetRange(int min, int max) {
  if (!HasState(csLoading) && max < min) throw EInvalidOperation("Progress bar range out of order");
  min_ = min;
  max_ = max;
  if (!HasState(csLoading)) position_ = std::clamp(position_, min_, max_);
  UpdateControl();
}

void TProgressBar::SetPosition(int v) {
  position_ = HasState(csLoading) ? v : std::clamp(v, min_, max_);
  if (handle_) SendMessageW(handle_, PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

void TProgressBar::SetStep(int v) {
  step_ = v;
  if (handle_) SendMessageW(handle_, PBM_SETSTEP, static_cast<WPARAM>(v), 0);
}

void TProgressBar::StepIt() {
  const long long range = static_cast<long long>(max_) - min_;
  long long next = static_cast<long long>(position_) + step_;
  if (range > 0 && (next > max_ || next < min_)) next = min_ + ((next - min_) % range + range) % range;
  if (range <= 0) next = min_;
  SetPosition(static_cast<int>(next));
}

void TProgressBar::StepBy(int delta) {
  SetPosition(static_cast<int>(std::clamp(static_cast<long long>(position_) + delta, static_cast<long long>(min_),
                                          static_cast<long long>(max_))));
}

void TProgressBar::SetSmooth(bool v) {
  if (v == smooth_) return;
  smooth_ = v;
  RecreateWnd();
}

void TProgressBar::Loaded() {
  TWinControl::Loaded();
  if (max_ < min_) max_ = min_;
  position_ = std::clamp(position_, min_, max_);
  UpdateControl();
}

}  // namespace vex::host
