// Drop-down controls with a flat skinned look: combo boxes (framework, extended and native) get
// two frame lines, a filled drop button with a small arrow and a separator; date-time pickers get
// a skinned drop button over their own, and skinned up-down arrows in their up-down modes.
#pragma once

#include <windows.h>

#include <memory>

#include "engine/skin_control.h"
#include "host/canvas.h"
#include "host/std_controls.h"
#include "host/up_down.h"

namespace vex::engine {

// The drop button of a combo box: `button` filled with the control colour, the separator beside
// it (on its right edge for right-to-left reading), the arrow at `arrowY`.
void PaintComboButton(host::TCanvas& canvas, TvexSkinEngine& engine, const RECT& button, bool rightToLeft, bool enabled, int arrowY);

// The frame, button and (while dropped down) list frame of a framework combo box whose combo
// window is `combo`, on `canvas` (client coordinates of that window). Nothing for a simple one.
void PaintComboFrame(TvexSkinControlVCL& wrapper, HWND combo, host::TCanvas& canvas);

class TvexSkinComboBox : public TvexSkinControlVCL {
  VEX_CLASS(TvexSkinComboBox)
 public:
  TvexSkinComboBox(host::TControl* control, TvexSkinWindow* owner) : TvexSkinControlVCL(control, owner, StaticClass()) {}
  void Paint() override;
};

class TvexSkinComboBoxEx : public TvexSkinControlVCL {
  VEX_CLASS(TvexSkinComboBoxEx)
 public:
  TvexSkinComboBoxEx(host::TControl* control, TvexSkinWindow* owner) : TvexSkinControlVCL(control, owner, StaticClass()) {}
  void AfterMessage(host::TMessage& m) override;
  void Paint() override;
};

class TvexSkinWndComboBox : public TvexSkinBorderWndControl {
  VEX_CLASS(TvexSkinWndComboBox)
 public:
  TvexSkinWndComboBox(HWND handle, TvexSkinWindow* owner) : TvexSkinBorderWndControl(handle, owner, StaticClass()) {}
  void Paint() override;
};

class TvexSkinExtComboboxLikeControl;

// A drop button laid over a control's own: presses go on to the control as presses on its button.
class TvexSkinInternalComboButton : public host::TCustomPanel {
  VEX_CLASS(TvexSkinInternalComboButton)
 public:
  explicit TvexSkinInternalComboButton(host::TComponent* owner);
  ~TvexSkinInternalComboButton() override;

  host::TWinControl* PickerControl = nullptr;
  TvexSkinExtComboboxLikeControl* PickerWrapper = nullptr;
  std::weak_ptr<bool> PickerWrapperAlive;

 protected:
  void Paint() override;
  void WndProc(host::TMessage& m) override;

 private:
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

class TvexSkinExtComboboxLikeControl : public TvexSkinBorderWinControl {
  VEX_CLASS(TvexSkinExtComboboxLikeControl)
 public:
  TvexSkinExtComboboxLikeControl(host::TControl* control, TvexSkinWindow* owner, const host::TClassInfo& cls = StaticClass())
      : TvexSkinBorderWinControl(control, owner, cls) {}
  ~TvexSkinExtComboboxLikeControl() override;
  void AfterMessage(host::TMessage& m) override;
  void Paint() override;
  void UpdateSkinState() override;
  void Attached() override;
  void Detach() override;

  TvexSkinInternalComboButton* DropButton = nullptr;

 protected:
  void DestroyDropButton();
};

class TvexSkinDateTimePicker;

// Up-down arrows laid over a picker's own (hidden while the skin shows): presses go on to them.
class TvexSkinInternalUpDown : public host::TCustomUpDown {
  VEX_CLASS(TvexSkinInternalUpDown)
 public:
  explicit TvexSkinInternalUpDown(host::TComponent* owner);
  ~TvexSkinInternalUpDown() override;

  host::TWinControl* Picker = nullptr;
  TvexSkinDateTimePicker* PickerWrapper = nullptr;
  std::weak_ptr<bool> PickerWrapperAlive;

 protected:
  void WndProc(host::TMessage& m) override;

 private:
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

class TvexSkinDateTimePicker : public TvexSkinExtComboboxLikeControl {
  VEX_CLASS(TvexSkinDateTimePicker)
 public:
  TvexSkinDateTimePicker(host::TControl* control, TvexSkinWindow* owner) : TvexSkinExtComboboxLikeControl(control, owner, StaticClass()) {}
  ~TvexSkinDateTimePicker() override;
  void AfterMessage(host::TMessage& m) override;
  void UpdateSkinState() override;
  void Attached() override;
  void Detach() override;
  // A date picked from a drop-down calendar (not a time, not a date set with arrows).
  bool ShowsDropDown() const;

  TvexSkinInternalUpDown* SkinUpDown = nullptr;

 private:
  void DestroyUpDown();
};

// A native date-time picker: the flat border, its drop button painted from the skin in place, or
// its own up-down arrows painted as the skin's.
class TvexSkinWndDateTimePicker : public TvexSkinBorderWndControl {
  VEX_CLASS(TvexSkinWndDateTimePicker)
 public:
  TvexSkinWndDateTimePicker(HWND handle, TvexSkinWindow* owner) : TvexSkinBorderWndControl(handle, owner, StaticClass()) {}
  ~TvexSkinWndDateTimePicker() override;
  void Paint() override;
  void Attached() override;
  void Detach() override;
  // Where the picker's drop button is (client coordinates); empty in its up-down modes.
  RECT DropButtonRect() const;

  // The wrapper of the picker's own up-down arrows, when it has them.
  std::unique_ptr<TvexSkinControlWnd> Arrows;
};

// Registers the framework and native rows of the drop-down controls (once each).
void RegisterComboControlClasses();
void RegisterComboWindowClasses();

}  // namespace vex::engine
