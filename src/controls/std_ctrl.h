// Wrappers of the framework's push buttons (buttons and bit buttons), speed buttons, check boxes
// and radio buttons.
#pragma once

#include "controls/button_painters.h"
#include "engine/skin_control.h"

namespace vex::engine {

// A framework push button: painted from the skin, its click made by the wrapper (the native
// button never sees the press).
class TvexSkinButton : public TvexSkinControlVCL {
  VEX_CLASS(TvexSkinButton)
 public:
  TvexSkinButton(host::TControl* control, TvexSkinWindow* owner) : TvexSkinControlVCL(control, owner, StaticClass()) {}
  bool BeforeMessage(host::TMessage& m) override;
  void AfterMessage(host::TMessage& m) override;
  void Paint() override;
  void MouseDown() override;
  void KeyDown(WPARAM key) override;
  void KeyUp(WPARAM key) override;
  void Attached() override;
  void Detach() override;
  void UpdateSkinState() override;
  TControlView View() const override;
  // Paints the whole button into a device context (the paint DC of its WM_PAINT).
  void PaintTo(HDC dc);
  // Calls the control's own click.
  void ClickControl();

  bool ClickArmed = false, SpaceArmed = false;

 private:
  void EndPress();
};

// A framework speed button (windowless): painted in the tool bar colours of the skin inside its
// parent's paint; it keeps its own click.
class TvexSkinSpeedButton : public TvexSkinControlVCL {
  VEX_CLASS(TvexSkinSpeedButton)
 public:
  TvexSkinSpeedButton(host::TControl* control, TvexSkinWindow* owner) : TvexSkinControlVCL(control, owner, StaticClass()) {}
  bool BeforeMessage(host::TMessage& m) override;
  void AfterMessage(host::TMessage& m) override;
  // Asks the parent to repaint the button's place: the button is drawn only inside that paint.
  void Paint() override;
  TControlView View() const override;
  // Paints the button into its parent's paint DC, whose origin is the button's corner.
  void PaintTo(HDC dc);
  host::TColor CaptionColour() const;
};

// Framework check boxes and radio buttons: painted whole from the skin (the skin's box, the
// caption beside it, the focus rectangle); while the skin shows, the caption takes the skin's
// control font colour.
class TvexSkinCheckBox : public TvexSkinControlVCL {
  VEX_CLASS(TvexSkinCheckBox)
 public:
  TvexSkinCheckBox(host::TControl* control, TvexSkinWindow* owner, const host::TClassInfo& cls = StaticClass())
      : TvexSkinControlVCL(control, owner, cls) {}
  bool BeforeMessage(host::TMessage& m) override;
  void AfterMessage(host::TMessage& m) override;
  void Paint() override;
  // Paints the whole control into a device context (its paint DC, or a caller's).
  void PaintTo(HDC dc);
  void UpdateSkinState() override;
  void Attached() override;
  void Detach() override;

  host::TColor SavedFontColor = host::clWindowText;

 protected:
  // Whether the caption takes the skin's control font colour now.
  bool SkinsFontColour() const;
  // The painter of this kind's box.
  virtual TBoxPainter BoxPainter() const;
};

class TvexSkinRadioButton : public TvexSkinCheckBox {
  VEX_CLASS(TvexSkinRadioButton)
 public:
  TvexSkinRadioButton(host::TControl* control, TvexSkinWindow* owner) : TvexSkinCheckBox(control, owner, StaticClass()) {}
  bool BeforeMessage(host::TMessage& m) override;

 protected:
  TBoxPainter BoxPainter() const override;
};

// Containers stand in the skin's form colour: while the skin shows a control takes its parent's
// colour; switched off, it has its own again (the colour and the ParentColor it had when it was
// wrapped).
void FollowParentColour(host::TControl& control, bool skinned, host::TColor ownColor, bool ownParentColor);

// Panels (and the pages of page controls, cool bars) stand in the skin's form colour while the
// skin shows, and their own captions are painted in the skin's control font colour; switched off,
// each has its own colours again. The font itself keeps its colour, since the controls standing
// on a container take their parent's font (an edit on a panel keeps its dark text on white).
class TvexSkinPanel : public TvexSkinControlVCL {
  VEX_CLASS(TvexSkinPanel)
 public:
  TvexSkinPanel(host::TControl* control, TvexSkinWindow* owner, const host::TClassInfo& cls = StaticClass())
      : TvexSkinControlVCL(control, owner, cls) {}
  bool WantsParentColor() const override { return true; }
  bool BeforeMessage(host::TMessage& m) override;
  void AfterMessage(host::TMessage& m) override;
  void Attached() override;
  void UpdateSkinState() override;
  void Detach() override;

  host::TColor SavedColor = host::clBtnFace;
  bool SavedParentColor = false;
  host::TColor SavedFontColor = host::clWindowText;

 protected:
  // Whether the wrapper gives the control's font the skin's colour for as long as the skin shows
  // (controls without children: labels, status bars), rather than only while it paints itself.
  bool ColoursFont = false;
};

// Labels take the skin's control font colour while the skin shows, and their own colour back.
class TvexSkinLabel : public TvexSkinPanel {
  VEX_CLASS(TvexSkinLabel)
 public:
  TvexSkinLabel(host::TControl* control, TvexSkinWindow* owner);
};

// Group boxes: the control paints itself, then the skin's one-pixel frame and the caption in the
// skin's control font colour go over it; it stands in its parent's (the form's) colour while the
// skin shows, and has its own colours back when the skin goes.
class TvexSkinGroupBox : public TvexSkinPanel {
  VEX_CLASS(TvexSkinGroupBox)
 public:
  TvexSkinGroupBox(host::TControl* control, TvexSkinWindow* owner) : TvexSkinPanel(control, owner, StaticClass()) {}
  void Paint() override;
};

// Frames embedded in a form: wrapped so that they count as skinned, and nothing more (their
// controls are wrapped one by one).
class TvexSkinFrame : public TvexSkinControlVCL {
  VEX_CLASS(TvexSkinFrame)
 public:
  TvexSkinFrame(host::TControl* control, TvexSkinWindow* owner) : TvexSkinControlVCL(control, owner, StaticClass()) {}
};

// Gives a control's font the colour the skin wants; a control that takes its parent's font keeps
// doing so, only the colour differs while the skin shows.
void SetSkinFontColour(host::TControl& c, host::TColor colour);
// The font a control had before the skin coloured it: its parent's again (when it takes its
// parent's font now), or its own in `colour`.
void RestoreFont(host::TControl& c, host::TColor colour);

// Registers the framework rows of the class table (once).
void RegisterStandardControlClasses();

}  // namespace vex::engine
