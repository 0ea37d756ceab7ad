// Progress bars on the platform's "msctls_progress32" control: a bar filled from Min towards Max
// as far as Position, horizontal or vertical, in blocks or smooth.
#pragma once

#include "host/win_control.h"

namespace vex::host {

enum TProgressBarOrientation : int { pbHorizontal, pbVertical };

class TProgressBar : public TWinControl {
  VEX_CLASS(TProgressBar)
 public:
  explicit TProgressBar(TComponent* owner, const TClassInfo& cls = StaticClass());

  TProgressBarOrientation Orientation() const { return orientation_; }
  // A new orientation turns the control round (width and height change places).
  void SetOrientation(TProgressBarOrientation o);
  int Min() const { return min_; }
  void SetMin(int v) { SetRange(v, max_); }
  int Max() const { return max_; }
  void SetMax(int v) { SetRange(min_, v); }
  // Max below Min is refused (EInvalidOperation); the position is kept within the range.
  void SetRange(int min, int max);
  int Position() const { return position_; }
  // Kept within Min .. Max.
  void SetPosition(int v);
  // How far StepIt moves.
  int Step() const { return step_; }
  void SetStep(int v);
  // Moves by Step; past Max the bar starts again from Min (by as much as it went past), as the
  // control's own step does, so a repeated step shows activity of unknown length.
  void StepIt();
  // Moves by `delta`, stopping at Min and Max.
  void StepBy(int delta);
  // One continuous bar instead of blocks.
  bool Smooth() const { return smooth_; }
  void SetSmooth(bool v);

 protected:
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;
  void Loaded() override;

 private:
  void UpdateControl();

  TProgressBarOrientation orientation_ = pbHorizontal;
  int min_ = 0, max_ = 100, position_ = 0, step_ = 10;
  bool smooth_ = false;
};

}  // namespace vex::host
