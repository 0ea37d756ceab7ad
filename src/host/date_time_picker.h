// Date and time pickers on the platform's "SysDateTimePick32" control: a date with a drop-down
// calendar or up-down arrows, or a time of day with up-down arrows, optionally with a check box
// that says whether there is a value at all.
#pragma once

#include "host/date_time.h"
#include "host/win_control.h"

namespace vex::host {

enum TDateTimeKind : int { dtkDate, dtkTime };
// How a date is changed besides typing: a calendar that drops down, or up-down arrows.
enum TDTDateMode : int { dmComboBox, dmUpDown };
enum TDTDateFormat : int { dfShort, dfLong };

class TDateTimePicker : public TWinControl {
  VEX_CLASS(TDateTimePicker)
 public:
  explicit TDateTimePicker(TComponent* owner, const TClassInfo& cls = StaticClass());

  TDateTimeKind Kind() const { return kind_; }
  void SetKind(TDateTimeKind k);
  TDTDateMode DateMode() const { return dateMode_; }
  void SetDateMode(TDTDateMode m);
  TDTDateFormat DateFormat() const { return dateFormat_; }
  void SetDateFormat(TDTDateFormat f);
  // The value: the date (whole days) and the time of day (the fraction) together, and each part
  // alone; setting a part keeps the other.
  TDateTime DateTime() const;
  void SetDateTime(TDateTime t);
  TDateTime Date() const { return DateOf(DateTime()); }
  void SetDate(TDateTime d) { SetDateTime(DateOf(d) + TimeOf(DateTime())); }
  TDateTime Time() const { return TimeOf(DateTime()); }
  void SetTime(TDateTime t) { SetDateTime(DateOf(DateTime()) + TimeOf(t)); }
  // A check box before the value; unchecked, the picker has no value (its text shows greyed).
  bool ShowCheckbox() const { return showCheckbox_; }
  void SetShowCheckbox(bool v);
  bool Checked() const;
  void SetChecked(bool v);
  // Whether the calendar is dropped down (F4 and Alt+Down drop it, as a click on the button).
  bool DroppedDown() const;
  // Opens or closes the calendar (a date picker with dmComboBox).
  void SetDroppedDown(bool v);

  // The user changed the value (or the check box).
  TMethodValue OnChange;
  TMethodValue OnDropDown;
  TMethodValue OnCloseUp;

 protected:
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void WndProc(TMessage& m) override;
  virtual void Change();

 private:
  void ReadValue() const;
  void ClickDropButton();
  void WriteValue();

  TDateTimeKind kind_ = dtkDate;
  TDTDateMode dateMode_ = dmComboBox;
  TDTDateFormat dateFormat_ = dfShort;
  mutable TDateTime value_ = 0;
  mutable bool checked_ = true;
  bool showCheckbox_ = false;
};

}  // namespace vex::host
