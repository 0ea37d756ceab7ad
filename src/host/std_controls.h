// The standard controls the framework offers: labels, push buttons and panels.
#pragma once

#include "host/control_types.h"
#include "host/win_control.h"

namespace vex::host {

enum TAlignment : int { taLeftJustify, taRightJustify, taCenter };
enum TModalResult : int { mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7,
                          mrAll = 8, mrNoToAll = 9, mrYesToAll = 10, mrClose = 11 };

// Where a label's text stands between its top and bottom edges.
enum TTextLayout : int { tlTop, tlCenter, tlBottom };

// A caption painted by its parent. An accelerator letter in the caption ("&Name") focuses the
// FocusControl when typed with Alt (or alone, when the focused control does not take characters).
class TCustomLabel : public TGraphicControl {
  VEX_CLASS(TCustomLabel)
 public:
  explicit TCustomLabel(TComponent* owner, const TClassInfo& cls = StaticClass());
  ~TCustomLabel() override;
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment a);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout l);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool w);
  // A transparent label lets its parent's background show; an opaque one fills with its Color.
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool t);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool a);
  // Whether "&" marks an accelerator (underlined) or is shown as it is.
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool v);
  TWinControl* FocusControl() const { return focusControl_; }
  void SetFocusControl(TWinControl* c);
  void SetText(const std::wstring& s) override;

 protected:
  void Paint() override;
  void WndProc(TMessage& m) override;
  void Notification(TComponent* c, TOperation op) override;

 private:
  void AdjustSize();
  UINT TextFlags() const;
  TAlignment alignment_ = taLeftJustify;
  TTextLayout layout_ = tlTop;
  bool wordWrap_ = false, transparent_ = true, autoSize_ = true, showAccelChar_ = true;
  TWinControl* focusControl_ = nullptr;
};

class TLabel : public TCustomLabel {
  VEX_CLASS(TLabel)
 public:
  explicit TLabel(TComponent* owner, const TClassInfo& cls = StaticClass()) : TCustomLabel(owner, cls) {}
};

// Whether `ch` is the accelerator letter of `caption` (the letter after a single "&"), ignoring case.
bool IsAccel(wchar_t ch, const std::wstring& caption);

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

// A container with an outer and an inner bevel, an optional single border and a caption.
class TCustomPanel : public TCustomControl {
  VEX_CLASS(TCustomPanel)
 public:
  explicit TCustomPanel(TComponent* owner, const TClassInfo& cls = StaticClass());
  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut b);
  TBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut b);
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int w);
  // bsSingle: a sunken client edge around the window (a new window).
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle b);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment a);
  // The parent's background shows where the panel would fill with its Color.
  bool ParentBackground() const { return parentBackground_; }
  void SetParentBackground(bool v);

 protected:
  void CreateParams(TCreateParams& p) override;
  void Paint() override;
  void WndProc(TMessage& m) override;

 private:
  TBevelCut bevelOuter_ = bvRaised, bevelInner_ = bvNone;
  int bevelWidth_ = 1;
  TBorderStyle borderStyle_ = bsNone;
  TAlignment alignment_ = taCenter;
  bool parentBackground_ = false;
};

class TPanel : public TCustomPanel {
  VEX_CLASS(TPanel)
 public:
  explicit TPanel(TComponent* owner, const TClassInfo& cls = StaticClass()) : TCustomPanel(owner, cls) {}
};

// A framed container with its caption in the top edge (at the right for right-to-left reading).
// An accelerator letter in the caption focuses its first child that takes the focus.
class TCustomGroupBox : public TCustomControl {
  VEX_CLASS(TCustomGroupBox)
 public:
  explicit TCustomGroupBox(TComponent* owner, const TClassInfo& cls = StaticClass());
  // Where the caption is drawn, in client coordinates (empty without a caption).
  RECT CaptionRect();

 protected:
  void Paint() override;
  void WndProc(TMessage& m) override;
};

class TGroupBox : public TCustomGroupBox {
  VEX_CLASS(TGroupBox)
 public:
  explicit TGroupBox(TComponent* owner, const TClassInfo& cls = StaticClass()) : TCustomGroupBox(owner, cls) {}
};

// Draws a bevel of `width` lines round `r` (top-left in one colour, bottom-right in the other) and
// shrinks `r` by it.
void Frame3D(HDC dc, RECT& r, TColor topLeft, TColor bottomRight, int width);

}  // namespace vex::host
