// Track bars on the platform's "msctls_trackbar32" control: a thumb the user slides along a
// channel with the mouse or the keyboard, a position between Min and Max, tick marks and a
// highlighted selection range.
#pragma once

#include <vector>

#include "host/control_types.h"
#include "host/win_control.h"

namespace vex::host {

enum TTrackBarOrientation : int { trHorizontal, trVertical };
// Where the ticks stand: below (horizontal) or right of (vertical) the channel, above or left
// of it, or on both sides.
enum TTickMark : int { tmBottomRight, tmTopLeft, tmBoth };
// No ticks, one every Frequency values, or only those set with SetTick.
enum TTickStyle : int { tsNone, tsAuto, tsManual };

class TTrackBar : public TWinControl {
  VEX_CLASS(TTrackBar)
 public:
  explicit TTrackBar(TComponent* owner, const TClassInfo& cls = StaticClass());

  TTrackBarOrientation Orientation() const { return orientation_; }
  // A new orientation turns the control round (width and height change places).
  void SetOrientation(TTrackBarOrientation o);
  int Min() const { return min_; }
  void SetMin(int v) { SetRange(v, max_); }
  int Max() const { return max_; }
  void SetMax(int v) { SetRange(min_, v); }
  // Max below Min is refused (EInvalidOperation); the position is kept within the range.
  void SetRange(int min, int max);
  int Position() const { return position_; }
  // Kept within Min .. Max; OnChange runs once when the position changed.
  void SetPosition(int v);
  // The distance between automatic ticks.
  int Frequency() const { return frequency_; }
  void SetFrequency(int v);
  TTickMark TickMarks() const { return tickMarks_; }
  void SetTickMarks(TTickMark t);
  TTickStyle TickStyle() const { return tickStyle_; }
  void SetTickStyle(TTickStyle t);
  // A tick at a value (TickStyle tsManual); ticks at Min and Max are always drawn.
  void SetTick(int value);
  // The highlighted range of values on the channel; none while SelStart >= SelEnd.
  int SelStart() const { return selStart_; }
  void SetSelStart(int v);
  int SelEnd() const { return selEnd_; }
  void SetSelEnd(int v);
  // How far Page Up / Page Down and a click on the channel move the thumb, and the arrow keys.
  int PageSize() const { return pageSize_; }
  void SetPageSize(int v);
  int LineSize() const { return lineSize_; }
  void SetLineSize(int v);

  TMethodValue OnChange;

 protected:
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;
  void WndProc(TMessage& m) override;
  void Loaded() override;
  virtual void Changed();

 private:
  void UpdateControl();
  // The user moved the thumb: the control's position becomes the bar's.
  void ReadPosition();

  TTrackBarOrientation orientation_ = trHorizontal;
  int min_ = 0, max_ = 10, position_ = 0, frequency_ = 1;
  TTickMark tickMarks_ = tmBottomRight;
  TTickStyle tickStyle_ = tsAuto;
  int selStart_ = 0, selEnd_ = 0, pageSize_ = 2, lineSize_ = 1;
  std::vector<int> ticks_;  // manual ticks, set again on a new window
};

}  // namespace vex::host
