// The frame wrapper of a form of the framework: besides the frame it fits the form to the skin
// (form colour, minimum size, client size kept, controls moved below a menu bar) and wraps the
// form's controls, also those added while the form is skinned.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "engine/skin_window.h"
#include "host/application.h"
#include "host/form.h"

namespace vex::engine {

class TvexSkinControlVCL;

class TvexSkinWindowVCL : public TvexSkinWindow {
  VEX_CLASS(TvexSkinWindowVCL)
 public:
  // Raises "VEXSkin: Skinning form failed!" when neither the handle nor the engine's pending form
  // names a form; the form is then left as it was.
  TvexSkinWindowVCL(HWND handle, bool isDialog, TvexSkinEngine* engine);
  ~TvexSkinWindowVCL() override;

  HWND Handle() const override;
  std::wstring GetCaptionW() const override;
  bool CanSetRegion() const override;
  HICON IconHandle() const override;
  bool HasHelpButton() const override;
  bool IsMDIForm() const override;
  bool IsMDIChild() const override;
  bool IsDialogFrame() const;
  bool HasSystemIcon() const override;
  bool HasCloseButton() const override;
  bool HasMaximizeButton() const override;
  bool HasMinimizeButton() const override;
  bool InitWhenHidden() const override { return true; }
  bool MenuBarSeparator() const override;
  bool ClaimNCActivate() const override { return true; }

  host::TCustomForm* Form() const { return FForm; }
  // Wraps a control and what it owns, by the class table, unless it is wrapped already, opted
  // out or one of the engine's own.
  void AttachControl(host::TControl* control);
  // The wrapper of a control, if it has one from this frame.
  TvexSkinControlVCL* WrapperOf(const host::TControl* control) const;
  // The menu shortcuts of a form whose main menu is not on its window any more.
  void ShortcutFilter(MSG& msg, bool& handled);

  host::TCustomForm* FForm = nullptr;
  host::TMainMenu* FMenu = nullptr;
  host::TColor FSavedColor = host::clBtnFace;
  bool FAllFormsDone = false, FAdjusting = false, FControlsShifted = false, FMinWidthSet = false, FMinHeightSet = false,
       FSeparator = false, FRestoring = false;
  mutable bool FSeparatorKnown = false;
  // How far the controls were moved down (the menu bar's height when they were moved).
  int FShiftedBy = 0;
  // Skinned while minimized or maximized: the client size is taken back at the next restore.
  bool FKeepPending = false;
  // The form's own scrolling and scaling, turned off while skinned and given back after.
  bool FSavedAutoScroll = false, FSavedScaled = true, FScrollSaved = false;

 protected:
  void UpdateSkinState() override;
  void CallDefault(host::TMessage& m) override;
  void CaptureFrameMetrics() override;
  void AttachControls() override;
  void SaveClientSize() override;
  bool BeforeMessage(host::TMessage& m) override;
  void AfterMessage(host::TMessage& m) override;
  void Detach() override;
  void Notification(host::TComponent* c, host::TOperation op) override;

 private:
  void Attach(HWND handle);
  void SetConstraints();
  void ClearConstraints();
  void ShiftControls(int by);
  // The control and everything it holds lose their wrappers (it leaves the form).
  void DropWrappers(host::TControl* control);
  void FrameRefresh();
  bool TitleCondition() const;
  // The client size the form had, unskinned, taken back under the skinned frame.
  void KeepClientSize();
  // Posted to the form to take its client size back after a restore has finished.
  static UINT KeepClientSizeMessage();

  // What the frame puts into the form's WindowProc: it reaches the frame while the frame is in
  // the chain, and the procedure it saved after.
  struct TRouteLink {
    TvexSkinWindowVCL* frame;
    host::TWndMethod saved;
  };
  struct TFrameThunk {
    std::shared_ptr<TRouteLink> link;
    void operator()(host::TMessage& m) const;
  };
  std::shared_ptr<TRouteLink> link_;
  std::unique_ptr<host::TApplicationEvents, host::TComponentDeleter> appEvents_;
};

}  // namespace vex::engine
