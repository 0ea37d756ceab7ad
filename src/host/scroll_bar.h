// Scroll-bar controls on the platform's "SCROLLBAR" control: a position between Min and Max that
// the user moves by lines, pages or with the thumb.
#pragma once

#include <functional>
#include <stdexcept>

#include "host/control_types.h"
#include "host/win_control.h"

namespace vex::host {

// A property set to a value the control cannot take.
class EInvalidOperation : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// OnScroll: what the user did and the position it leads to; the handler may change the position.
using TScrollEvent = std::function<void(TObject* sender, TScrollCode code, int& scrollPos)>;

class TScrollBar : public TWinControl {
  VEX_CLASS(TScrollBar)
 public:
  explicit TScrollBar(TComponent* owner, const TClassInfo& cls = StaticClass());

  TScrollBarKind Kind() const { return kind_; }
  // A new kind turns the control round (width and height change places).
  void SetKind(TScrollBarKind k);
  int Min() const { return min_; }
  void SetMin(int v) { SetParams(position_, v, max_); }
  int Max() const { return max_; }
  void SetMax(int v) { SetParams(position_, min_, v); }
  int Position() const { return position_; }
  void SetPosition(int v) { SetParams(v, min_, max_); }
  // The size of the visible part the bar stands for (0: none, the thumb has its minimal size).
  int PageSize() const { return pageSize_; }
  void SetPageSize(int v);
  int SmallChange() const { return smallChange_; }
  void SetSmallChange(int v) { smallChange_ = v; }
  int LargeChange() const { return largeChange_; }
  void SetLargeChange(int v) { largeChange_ = v; }
  // Sets the three at once. Max below Min, or a range shorter than the page, is refused; the
  // position is kept within Min .. Max - PageSize + 1 (Max without a page). OnChange runs once
  // when the position changed.
  void SetParams(int position, int min, int max);
  // The highest position the bar can take.
  int MaxPosition() const { return pageSize_ > 0 ? max_ - pageSize_ + 1 : max_; }

  TMethodValue OnChange;
  TScrollEvent OnScroll;

 protected:
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;
  void WndProc(TMessage& m) override;
  void Loaded() override;
  virtual void Change();
  virtual void Scroll(TScrollCode code, int& pos);

 private:
  void UpdateControl();
  void DoScroll(WPARAM wParam);

  TScrollBarKind kind_ = sbHorizontal;
  int min_ = 0, max_ = 100, position_ = 0, pageSize_ = 0;
  int smallChange_ = 1, largeChange_ = 1;
};

}  // namespace vex::host
