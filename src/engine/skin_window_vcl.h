// The frame wrapper of a form of the framework: besides the frame it fits the form to the skin
// (form colour, minimum size, client size kept, controls moved below a menu bar) and wraps the
// form's controls, also those added while the form is skinned.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "engine/skin_window.h"
#include "host/application.h"
#include "host/form.h"
#include "host/tool_bar.h"

namespace vex::engine {

class TvexSkinControlVCL;
class TvexSkinMenuBar;
class TvexSkinMenuBarControlButton;

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
  // The skinned menu bar's height while it shows, else 0.
  int MenuBarHeight() const override;

  host::TCustomForm* Form() const { return FForm; }
  // Wraps a control and what it owns, by the class table, unless it is wrapped already, opted
  // out or one of the engine's own.
  void AttachControl(host::TControl* control);
  // The wrapper of a control, if it has one from this frame.
  TvexSkinControlVCL* WrapperOf(const host::TControl* control) const;
  // The menu shortcuts of a form whose main menu is not on its window any more.
  void ShortcutFilter(MSG& msg, bool& handled);

  // The menu bar's buttons, rebuilt when the menus they come from changed (or always, forced).
  void BuildMenuBar(bool force);
  // The bar's height changed by wrapping: the controls follow once the queue comes round.
  void MenuBarResized();
  // The bar's background and its buttons in the skin's menu colours.
  void CustomDrawBar(host::TToolBar* bar, const RECT& rect, bool& defaultDraw);
  void CustomDrawButton(host::TToolBar* bar, host::TToolButton* button, UINT state, bool& defaultDraw);

  // Multiple-document frames.
  void PlaceMDIButtons();
  void ShowMDIButtons();
  void HideMDIButtons();
  void MDIButtonClick(host::TObject* sender);
  void UpdateWindowMenu();
  void WindowItemClick(host::TObject* sender);
  void Cascade();
  void Tile(bool horizontal);

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

  // The menu bar and what it was built from. The bar is a control of the form (the form frees it
  // with its children); the frame frees it when it gives a live form back.
  host::TMainMenu* FChildMenu = nullptr;
  host::TMainMenu* FBuiltMenu = nullptr;
  host::TMainMenu* FBuiltChildMenu = nullptr;
  std::vector<host::TMenuItem*> FMenuItems;
  TvexSkinMenuBar* FMenuBar = nullptr;

  // Multiple-document frames: the control buttons of a maximized child (close, restore,
  // minimize; shown in the menu bar's row, owned by the form as its controls), the items added
  // to the window menu, the client window the frame has subclassed.
  std::array<TvexSkinMenuBarControlButton*, 3> FMDIButtons{};
  std::vector<host::TMenuItem*> FWindowMenuItems;
  bool FChildHidden = false;
  host::TColor FButtonColor = 0, FButtonToColor = 0;
  HWND FClientWnd = nullptr;
  bool FRebuildPosted = false, FResizePosted = false;
  // The controls went back above the menu bar's row while the form scales, and come below it
  // again at the new scale.
  bool FShiftAfterScale = false;
  // The resolution the control buttons' glyphs are drawn for.
  int FMDIGlyphDpi = 0;
  // Set while the frame edits menus itself (the window menu's list): its own edits do not rebuild the bar.
  int FEditingMenus = 0;

 protected:
  void UpdateSkinState() override;
  void CallDefault(host::TMessage& m) override;
  void CaptureFrameMetrics() override;
  bool ScaleContents(int dpi, const RECT* suggested) override;
  void AttachControls() override;
  void SaveClientSize() override;
  void RecordSkinnedSize() override;
  bool BeforeMessage(host::TMessage& m) override;
  void AfterMessage(host::TMessage& m) override;
  void Detach() override;
  void Notification(host::TComponent* c, host::TOperation op) override;

 private:
  void Attach(HWND handle);
  void SetConstraints();
  void ClearConstraints();
  void ShiftControls(int by);
  // The form scales its controls and font (CM_SCALECHANGING, CM_SCALECHANGED): the frame takes
  // back what it placed on the form first, and places it again at the new scale after.
  void ScaleChanging();
  void ScaleChanged();
  // The control and everything it holds lose their wrappers (it leaves the form).
  void DropWrappers(host::TControl* control);
  void FrameRefresh();
  bool TitleCondition() const;
  // The client size the form had, unskinned, taken back under the skinned frame.
  void KeepClientSize();
  // Posted to the form to take its client size back after a restore has finished.
  static UINT KeepClientSizeMessage();
  void CreateMenuBar();
  void FreeMenuBar();
  // Takes the form's main menu off its window (the bar shows it) and follows its changes.
  void TakeMenu();
  void WatchMenu(host::TMainMenu* menu, bool on);
  // The bar is built again once the message queue comes round.
  void PostMenuBarRebuild();
  static UINT RebuildMenuBarMessage();
  // The bar's height changed while skinned: controls and limits follow, and the client size when
  // the menu itself changed (not when the user's resizing made the bar wrap).
  void MenuBarChanged(bool keepClientSize = true);
  static UINT MenuBarResizedMessage();

  // Multiple-document parts (skin_window_mdi.cpp): made at attach, given back at detach, renewed
  // with the skin state (skinned or not), and the frame's and child's own messages after the form
  // has seen them.
  void AttachMDI();
  void DetachMDI();
  void UpdateMDISkinState();
  // The control buttons' glyphs at the window's resolution.
  void ScaleMDIGlyphs();
  void AfterMDIMessage(host::TMessage& m);
  // A child's frame takes its frame sizes from its frame form's client window.
  void CaptureMDIChildMetrics();
  // A component the frame watches for the MDI parts (a control button, a window-menu item) goes.
  void MDINotification(host::TComponent* c);
  bool IsMDIButton(const host::TControl* c) const;
  // The client window of a frame form (the form's, or the one given as it is made), subclassed
  // while the frame is attached.
  void SubclassClient(HWND client = nullptr);
  void UnsubclassClient();
  static LRESULT CALLBACK ClientWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data);
  void ClientMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // A child window was made in the client window (it gets its skinned frame) or is going away.
  void ChildArrived(HWND child);
  void ChildLeaving(HWND child);
  // Children of the frame that have no frame of their own yet get one.
  void AttachChildren();
  // A child announced that it is active (its menu shows in the bar) or the frame that none is.
  void ChildMenuAnnounced(HWND from);
  void SetChildMenu(host::TMainMenu* menu);
  // The window menu's list of children, leaving out one that is going away.
  void RebuildWindowMenu(HWND leaving);
  // The items the frame added to the window menu go.
  void FreeWindowMenuItems();
  // A child's frame form (the form whose client window holds it) and its window.
  host::TCustomForm* MDIFrameForm() const;
  HWND MDIFrameHandle() const;

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
