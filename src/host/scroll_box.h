// Containers that scroll their children: a window with built-in scroll bars whose ranges follow
// the children's extent (AutoScroll); scrolling moves every child, windowed or not.
#pragma once

#include "host/control_types.h"
#include "host/win_control.h"

namespace vex::host {

class TScrollingWinControl;

// One of a scrolling control's two bars: its position and range in pixels of the scrolled area.
class TControlScrollBar : public TPersistent {
  VEX_CLASS(TControlScrollBar)
 public:
  TControlScrollBar(TScrollingWinControl& control, TScrollBarKind kind);

  TScrollBarKind Kind() const { return kind_; }
  // How far the area is scrolled: 0 .. Range - the visible size.
  int Position() const { return position_; }
  void SetPosition(int v);
  // The size of the scrolled area. Setting it turns the control's AutoScroll off.
  int Range() const { return range_; }
  void SetRange(int v);
  // The distance of one line (arrow buttons, one mouse-wheel line).
  int Increment() const { return increment_; }
  void SetIncrement(int v) { increment_ = v > 0 ? v : 1; }
  // False: the bar never shows, and the area does not scroll this way.
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  // The area follows the thumb while it is dragged, not only when it is dropped.
  bool Tracking() const { return tracking_; }
  void SetTracking(bool v) { tracking_ = v; }
  // Whether the bar shows now.
  bool IsScrollBarVisible() const { return shown_; }
  // The visible size of the area along the bar.
  int PageSize() const { return page_; }

  void Assign(const TPersistent& source) override;

 private:
  friend class TScrollingWinControl;
  TScrollingWinControl& control_;
  TScrollBarKind kind_;
  int position_ = 0, range_ = 0, increment_ = 8, page_ = 0;
  bool visible_ = true, tracking_ = false, shown_ = false;
};

class TScrollingWinControl : public TWinControl {
  VEX_CLASS(TScrollingWinControl)
 public:
  explicit TScrollingWinControl(TComponent* owner, const TClassInfo& cls = StaticClass());
  ~TScrollingWinControl() override;

  TControlScrollBar& HorzScrollBar() { return horz_; }
  const TControlScrollBar& HorzScrollBar() const { return horz_; }
  TControlScrollBar& VertScrollBar() { return vert_; }
  const TControlScrollBar& VertScrollBar() const { return vert_; }
  // The ranges follow the children: the right and bottom edges of the farthest ones.
  bool AutoScroll() const { return autoScroll_; }
  void SetAutoScroll(bool v);
  // Moves every child by (dx, dy) pixels; the bars' positions are not changed.
  void ScrollBy(int dx, int dy);
  // Scrolls as little as needed for the child to be wholly visible (its top left corner first).
  void ScrollInView(TControl* control);
  // Shows, hides and sizes the bars for the current ranges and client size.
  void UpdateScrollBars() { UpdateBars(nullptr); }

 protected:
  void CreateWnd() override;
  void WndProc(TMessage& m) override;
  void Loaded() override;
  void ControlBoundsChanged(TControl* child) override;

 private:
  friend class TControlScrollBar;
  void UpdateBars(const TControl* leaving);
  void ScrollTo(TControlScrollBar& bar, int pos);
  void Scroll(TControlScrollBar& bar, WPARAM wParam);
  void Wheel(TControlScrollBar& bar, int delta);

  TControlScrollBar horz_{*this, sbHorizontal};
  TControlScrollBar vert_{*this, sbVertical};
  bool autoScroll_ = true;
  bool updating_ = false, scrolling_ = false;
  int wheelRest_ = 0;
};

// The scroll box of forms: a scrolling container with a border.
class TScrollBox : public TScrollingWinControl {
  VEX_CLASS(TScrollBox)
 public:
  explicit TScrollBox(TComponent* owner, const TClassInfo& cls = StaticClass());
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle s);

 protected:
  void CreateParams(TCreateParams& p) override;

 private:
  TBorderStyle borderStyle_ = bsSingle;
};

}  // namespace vex::host
