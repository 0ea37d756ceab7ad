// The framework's check boxes and radio buttons, built on the native "BUTTON" control.
#pragma once

#include "host/std_controls.h"

namespace vex::host {

enum TCheckBoxState : int { cbUnchecked, cbChecked, cbGrayed };

// A check box whose state the framework keeps: a click moves it from unchecked to checked, to
// grayed when AllowGrayed, and back. Alignment taLeftJustify puts the text left of the box.
class TCheckBox : public TWinControl {
  VEX_CLASS(TCheckBox)
 public:
  explicit TCheckBox(TComponent* owner, const TClassInfo& cls = StaticClass());
  TCheckBoxState State() const { return state_; }
  void SetState(TCheckBoxState s);
  bool Checked() const { return state_ == cbChecked; }
  void SetChecked(bool c) { SetState(c ? cbChecked : cbUnchecked); }
  bool AllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool a) { allowGrayed_ = a; }
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment a);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool w);
  // What a click does to the state, then the click's event.
  void Toggle();

 protected:
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;
  void WndProc(TMessage& m) override;

 private:
  TCheckBoxState state_ = cbUnchecked;
  bool allowGrayed_ = false, wordWrap_ = false;
  TAlignment alignment_ = taRightJustify;
};

// A radio button: checking it unchecks the other radio buttons of the same parent.
class TRadioButton : public TWinControl {
  VEX_CLASS(TRadioButton)
 public:
  explicit TRadioButton(TComponent* owner, const TClassInfo& cls = StaticClass());
  bool Checked() const { return checked_; }
  void SetChecked(bool c);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment a);

 protected:
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;
  void WndProc(TMessage& m) override;

 private:
  bool checked_ = false;
  TAlignment alignment_ = taRightJustify;
};

}  // namespace vex::host
