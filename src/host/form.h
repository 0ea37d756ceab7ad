// Forms: top-level windows with a border style, title buttons, a main menu, size constraints,
// modal showing, closing, and multiple-document frames with their children.
#pragma once

#include <windows.h>

#include <vector>

#include "host/control_types.h"
#include "host/icon.h"
#include "host/menus.h"
#include "host/std_controls.h"
#include "host/win_control.h"

namespace vex::host {

enum TBorderIcon : int { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
enum TFormStyle : int { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TWindowState : int { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction : int { caNone, caHide, caFree, caMinimize };

class TSizeConstraints : public TPersistent {
  VEX_CLASS(TSizeConstraints)
 public:
  TSizeConstraints() : TPersistent(StaticClass()) {}
  int MinWidth = 0, MinHeight = 0, MaxWidth = 0, MaxHeight = 0;  // 0: no limit
  std::function<void()> OnChange;
  void Changed() {
    if (OnChange) OnChange();
  }
  void Assign(const TPersistent& source) override;
  // A size kept within the limits.
  void Apply(int& width, int& height) const;
};

class TCustomForm : public TWinControl {
  VEX_CLASS(TCustomForm)
 public:
  explicit TCustomForm(TComponent* owner, const TClassInfo& cls = StaticClass());
  ~TCustomForm() override;

  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle s);
  int BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(int icons);
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle s);
  TWindowState WindowState() const;
  void SetWindowState(TWindowState s);
  TMainMenu* Menu() const { return menu_; }
  void SetMenu(TMainMenu* m);
  TMenuItem* WindowMenu() const { return windowMenu_; }
  void SetWindowMenu(TMenuItem* item);
  TIcon& Icon() { return icon_; }
  TSizeConstraints& Constraints() { return constraints_; }
  const TSizeConstraints& Constraints() const { return constraints_; }
  bool AutoScroll() const { return autoScroll_; }
  void SetAutoScroll(bool v) { autoScroll_ = v; }
  bool Scaled() const { return scaled_; }
  void SetScaled(bool v) { scaled_ = v; }
  // The resolution (dots per inch) the form's sizes and fonts are for: 96, the one forms are
  // designed at, until a Scaled form's window shows on a monitor of another (at creation, or when
  // the window moves and the system says so with WM_DPICHANGED).
  int CurrentDpi() const { return currentDpi_; }
  // Scales the form's controls, font and limits to `dpi`; the window takes `suggested` (screen
  // coordinates) when given, else its client size is scaled in place.
  void ScaleToDpi(int dpi, const RECT* suggested = nullptr);
  int ClientWidthProp() const { return ClientWidth(); }
  int ClientHeightProp() const { return ClientHeight(); }
  void SetClientWidth(int w) { SetClientSize(w, ClientHeight()); }
  void SetClientHeight(int h) { SetClientSize(ClientWidth(), h); }
  void SetClientSize(int width, int height) override;
  void SetBounds(int left, int top, int width, int height) override;
  RECT ClientRect() const override;
  bool Active() const;

  void Show();
  void Hide() { SetVisible(false); }
  void SetVisible(bool v) override;
  // Shows the form and runs messages until ModalResult is set; the other forms are disabled
  // meanwhile. Returns the result.
  int ShowModal();
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int r) { modalResult_ = r; }
  bool IsModal() const { return modal_; }
  // Asks OnCloseQuery, then OnClose with the default action (caHide; caFree for MDI children;
  // the main form closing ends the application).
  void Close();
  // Frees the form once the messages already queued have been handled.
  void Release();
  std::function<void(TCustomForm*, TCloseAction&)> OnClose;
  std::function<void(TCustomForm*, bool&)> OnCloseQuery;
  TNotifyEvent OnShow, OnActivate;

  // Multiple-document frames. New children open in the main form when it is a frame, else in
  // the frame form created last.
  static TCustomForm* MDIFrame();
  HWND ClientHandle() const { return clientHandle_; }
  int MDIChildCount() const;
  TCustomForm* MDIChildren(int index) const;
  TCustomForm* ActiveMDIChild() const;
  void Cascade();
  void Tile(bool horizontal = false);

  // The control with the keyboard focus when the form is active.
  void SelectNext(bool forward);

 protected:
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void WndProc(TMessage& m) override;
  void DefaultHandler(TMessage& m) override;
  void Notification(TComponent* c, TOperation op) override;
  void Loaded() override;
  void BeforeDestruction() override;
  void RefreshWindowMenu();
  void AlignedRestChanged() override;

 private:
  static LRESULT CALLBACK ClientProc(HWND, UINT, WPARAM, LPARAM);
  void AttachMenu();

  TFormBorderStyle borderStyle_ = bsSizeable;
  int borderIcons_ = biSystemMenu | biMinimize | biMaximize;
  TFormStyle formStyle_ = fsNormal;
  TWindowState windowState_ = wsNormal;
  TMainMenu* menu_ = nullptr;
  TMenuItem* windowMenu_ = nullptr;
  TIcon icon_;
  TSizeConstraints constraints_;
  bool autoScroll_ = false, scaled_ = true;
  int currentDpi_ = 96;
  int modalResult_ = 0;
  bool modal_ = false;
  HWND clientHandle_ = nullptr;
  HWND lastFocus_ = nullptr;
  bool releasing_ = false;
};

class TForm : public TCustomForm {
  VEX_CLASS(TForm)
 public:
  explicit TForm(TComponent* owner, const TClassInfo& cls = StaticClass()) : TCustomForm(owner, cls) {}
};

}  // namespace vex::host
