// The framework's check boxes and radio buttons, built on the native "BUTTON" control.
#pragma once

#include "host/std_controls.h"

namespace vex::host {

enum TCheckBoxState : int { cbUnchecked, cbChecked, cbGrayed };

// What check boxes and radio buttons share: the native button underneath, the side of the text
// (taLeftJustify puts it left of the box), the check state it shows, and the click, which the
// control turns into a change of its state.
class TButtonControl : public TWinControl {
  VEX_CLASS(TButtonControl)
 public:
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment a);

 protected:
  explicit TButtonControl(TComponent* owner, const TClassInfo& cls);
  // The BM_SETCHECK value of the control's state.
  virtual WPARAM CheckState() const = 0;
  // The native button was clicked.
  virtual void Clicked() = 0;
  void ShowCheckState();
  // Sets or clears style bits of the live window and has it repaint.
  void SetStyleBits(DWORD bits, bool on);
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;
  void WndProc(TMessage& m) override;

 private:
  TAlignment alignment_ = taRightJustify;
};

// A check box whose state the framework keeps: a click moves it from unchecked to checked, to
// grayed when AllowGrayed, and back. The logic of every check box; TCheckBox publishes it.
class TCustomCheckBox : public TButtonControl {
  VEX_CLASS(TCustomCheckBox)
 public:
  explicit TCustomCheckBox(TComponent* owner, const TClassInfo& cls = StaticClass());
  TCheckBoxState State() const { return state_; }
  void SetState(TCheckBoxState s);
  bool Checked() const { return state_ == cbChecked; }
  void SetChecked(bool c) { SetState(c ? cbChecked : cbUnchecked); }
  bool AllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool a) { allowGrayed_ = a; }
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool w);

 protected:
  WPARAM CheckState() const override { return static_cast<WPARAM>(state_); }
  // The next state, then the click's event.
  void Clicked() override;
  void CreateParams(TCreateParams& p) override;

 private:
  TCheckBoxState state_ = cbUnchecked;
  bool allowGrayed_ = false, wordWrap_ = false;
};

// The check box of forms: TCustomCheckBox with its properties published.
class TCheckBox : public TCustomCheckBox {
  VEX_CLASS(TCheckBox)
 public:
  explicit TCheckBox(TComponent* owner, const TClassInfo& cls = StaticClass()) : TCustomCheckBox(owner, cls) {}
};

// A radio button: checking it unchecks the other radio buttons of the same parent.
class TRadioButton : public TButtonControl {
  VEX_CLASS(TRadioButton)
 public:
  explicit TRadioButton(TComponent* owner, const TClassInfo& cls = StaticClass());
  bool Checked() const { return checked_; }
  void SetChecked(bool c);

 protected:
  WPARAM CheckState() const override { return checked_ ? BST_CHECKED : BST_UNCHECKED; }
  void Clicked() override;
  void CreateParams(TCreateParams& p) override;

 private:
  bool checked_ = false;
};

}  // namespace vex::host
