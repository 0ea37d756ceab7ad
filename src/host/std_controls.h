// The standard controls the framework offers: labels, push buttons and panels.
#pragma once

#include "host/win_control.h"

namespace vex::host {

enum TAlignment : int { taLeftJustify, taRightJustify, taCenter };
enum TModalResult : int { mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7,
                          mrAll = 8, mrNoToAll = 9, mrYesToAll = 10, mrClose = 11 };

// A caption painted by its parent.
class TLabel : public TGraphicControl {
  VEX_CLASS(TLabel)
 public:
  explicit TLabel(TComponent* owner, const TClassInfo& cls = StaticClass());
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment a);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool w);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool t);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool a);
  void SetText(const std::wstring& s) override;

 protected:
  void Paint() override;
  void WndProc(TMessage& m) override;

 private:
  void AdjustSize();
  TAlignment alignment_ = taLeftJustify;
  bool wordWrap_ = false, transparent_ = true, autoSize_ = true;
};

// A native push button; clicking it sets its form's ModalResult when it has one.
class TButton : public TWinControl {
  VEX_CLASS(TButton)
 public:
  explicit TButton(TComponent* owner, const TClassInfo& cls = StaticClass());
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int r) { modalResult_ = r; }
  bool Default() const { return default_; }
  void SetDefault(bool d);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool c) { cancel_ = c; }
  void Click() override;

 protected:
  void CreateParams(TCreateParams& p) override;
  void WndProc(TMessage& m) override;

 private:
  int modalResult_ = mrNone;
  bool default_ = false, cancel_ = false;
};

// Enter and Escape in a form, before the focused window gets them: Enter clicks a focused button,
// else the form's visible, enabled Default button; Escape clicks its Cancel button. False (the key
// goes on to the focused window) when no button takes it or the focused window wants the key
// itself (WM_GETDLGCODE answers DLGC_WANTALLKEYS or DLGC_WANTMESSAGE).
bool ButtonDialogKey(TWinControl& form, const MSG& msg);

enum TBevelCut : int { bvNone, bvLowered, bvRaised, bvSpace };

// A container with a bevel and a centred caption.
class TCustomPanel : public TCustomControl {
  VEX_CLASS(TCustomPanel)
 public:
  explicit TCustomPanel(TComponent* owner, const TClassInfo& cls = StaticClass());
  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut b);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment a);

 protected:
  void Paint() override;

 private:
  TBevelCut bevelOuter_ = bvRaised;
  TAlignment alignment_ = taCenter;
};

class TPanel : public TCustomPanel {
  VEX_CLASS(TPanel)
 public:
  explicit TPanel(TComponent* owner, const TClassInfo& cls = StaticClass()) : TCustomPanel(owner, cls) {}
};

}  // namespace vex::host
