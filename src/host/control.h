// Controls: windowless ones (painted by their parent) and the base of windowed ones.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "host/canvas.h"
#include "host/color.h"
#include "host/component.h"
#include "host/font.h"
#include "host/messages.h"

namespace vex::host {

class TWinControl;

enum TAlign : int { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAnchorKind : int { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
enum TBiDiMode : int { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
enum TControlStyleFlag : unsigned {
  csAcceptsControls = 1u << 0,
  csCaptureMouse = 1u << 1,
  csClickEvents = 1u << 2,
  csOpaque = 1u << 3,
  csDoubleClicks = 1u << 4,
  csSetCaption = 1u << 5,
};

class TControl : public TComponent {
  VEX_CLASS(TControl)
 public:
  explicit TControl(TComponent* owner, const TClassInfo& cls = StaticClass());
  ~TControl() override;

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  virtual void SetBounds(int left, int top, int width, int height);
  // Scales the control by m/d (a new display resolution over the old): its place and size (edges
  // scaled, so neighbours stay neighbours), its anchored distances and its own font; a windowed
  // control scales its children too.
  virtual void ChangeScale(int m, int d);
  RECT BoundsRect() const { return RECT{left_, top_, left_ + width_, top_ + height_}; }
  virtual RECT ClientRect() const { return RECT{0, 0, width_, height_}; }
  int ClientWidth() const { return ClientRect().right; }
  int ClientHeight() const { return ClientRect().bottom; }
  virtual void SetClientSize(int width, int height);

  TAlign Align() const { return align_; }
  void SetAlign(TAlign a);
  int Anchors() const { return anchors_; }
  void SetAnchors(int a);
  bool Visible() const { return visible_; }
  virtual void SetVisible(bool v);
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool e);
  TColor Color() const { return color_; }
  void SetColor(TColor c);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool v);
  TFont& Font() { return font_; }
  const TFont& Font() const { return font_; }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool v);
  std::wstring Caption() const { return GetText(); }
  void SetCaption(const std::wstring& s) { SetText(s); }
  virtual std::wstring GetText() const { return text_; }
  virtual void SetText(const std::wstring& s);
  TBiDiMode BiDiMode() const { return bidi_; }
  // The control's own mode: it no longer follows its parent's.
  void SetBiDiMode(TBiDiMode m);
  // On (the default), the control takes its parent's mode, now and whenever the parent's changes.
  bool ParentBiDiMode() const { return parentBiDiMode_; }
  void SetParentBiDiMode(bool v);
  bool UseRightToLeftReading() const { return bidi_ != bdLeftToRight; }
  bool UseRightToLeftAlignment() const { return bidi_ == bdRightToLeft; }
  // DT_RTLREADING added and left and right alignment exchanged as the bidirectional mode asks.
  UINT DrawTextBiDiModeFlags(UINT flags) const;

  unsigned ControlStyle() const { return controlStyle_; }
  void SetControlStyle(unsigned s) { controlStyle_ = s; }
  bool MouseInControl() const { return mouseInside_; }

  TWndMethod WindowProc;
  LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

  virtual void Invalidate();
  virtual void Repaint();
  // Puts the control above its siblings: a windowed control's window goes to the top of the z
  // order, a windowless one is painted last among its parent's windowless children.
  void BringToFront();
  virtual void Click();
  TMethodValue OnClick;
  TNotifyEvent OnMouseEnter, OnMouseLeave;

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* parent) override;

  // The control's origin in its parent's client coordinates, and a point converted.
  POINT ClientToParent(POINT p) const { return POINT{p.x + left_, p.y + top_}; }

 protected:
  friend class TWinControl;
  virtual void WndProc(TMessage& m);
  virtual void DefaultHandler(TMessage& m) {}
  virtual void BoundsChanged() {}
  void BeforeDestruction() override;
  // Colour, font and bidirectional mode taken from the parent when ParentColor / ParentFont /
  // ParentBiDiMode are on.
  virtual void ParentChanged();
  // Takes `m` as the control's mode (without changing whether it follows its parent's).
  void TakeBiDiMode(TBiDiMode m);

  TWinControl* parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  TAlign align_ = alNone;
  int anchors_ = akLeft | akTop;
  // Distances kept by right and bottom anchors, measured when the control was placed.
  int anchorRight_ = 0, anchorBottom_ = 0;
  bool visible_ = true, enabled_ = true;
  TColor color_ = clBtnFace;
  bool parentColor_ = false, parentFont_ = true, parentBiDiMode_ = true;
  TFont font_;
  std::wstring text_;
  TBiDiMode bidi_ = bdLeftToRight;
  unsigned controlStyle_ = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  bool mouseInside_ = false;
  bool clickPending_ = false;
};

// A control without a window of its own: its parent paints it and feeds it mouse messages.
class TGraphicControl : public TControl {
  VEX_CLASS(TGraphicControl)
 public:
  explicit TGraphicControl(TComponent* owner, const TClassInfo& cls = StaticClass());
  ~TGraphicControl() override;
  // Valid while painting: the parent's device context, moved to this control's origin.
  TCanvas& Canvas() { return canvas_; }

 protected:
  void WndProc(TMessage& m) override;
  virtual void Paint() {}

 private:
  TCanvas canvas_;
};

}  // namespace vex::host
