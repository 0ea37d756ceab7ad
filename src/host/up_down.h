// Up-down buttons on the platform's "msctls_updown32" control: a pair of arrows that step a
// position between Min and Max, optionally shown in an associated control (an edit field placed
// beside the arrows) as its text.
#pragma once

#include <functional>

#include "host/win_control.h"

namespace vex::host {

enum TUDOrientation : int { udHorizontal, udVertical };
// The side of the associated control the arrows sit on.
enum TUDAlignButton : int { udLeft, udRight };
// Which arrow: the one that increases the position (up or right) or the other.
enum TUDBtnType : int { btNext, btPrev };

// Before an arrow changes the position: the new position, and whether to allow it.
using TUDChangingEvent = std::function<void(TObject* sender, int newPosition, bool& allowChange)>;
// After an arrow (or an arrow key) changed the position.
using TUDClickEvent = std::function<void(TObject* sender, TUDBtnType button)>;

class TCustomUpDown : public TWinControl {
  VEX_CLASS(TCustomUpDown)
 public:
  explicit TCustomUpDown(TComponent* owner, const TClassInfo& cls = StaticClass());
  ~TCustomUpDown() override;

  // The control that shows the position as its text (usually an edit field with the same
  // parent). The arrows move beside it and it gives up their width; given back when the
  // association ends or the arrows' window is made again.
  TWinControl* Associate() const { return associate_; }
  void SetAssociate(TWinControl* c);
  TUDAlignButton AlignButton() const { return alignButton_; }
  void SetAlignButton(TUDAlignButton a);
  int Min() const { return min_; }
  void SetMin(int v);
  int Max() const { return max_; }
  void SetMax(int v);
  // Min above Max makes the up arrow count down.
  void SetRange(int min, int max);
  // With an associate, the number its text holds (when it holds one).
  int Position() const;
  void SetPosition(int v);
  // The step of one click or arrow key.
  int Increment() const { return increment_; }
  void SetIncrement(int v);
  TUDOrientation Orientation() const { return orientation_; }
  void SetOrientation(TUDOrientation o);
  // Past Max the position goes on from Min, and the other way round.
  bool Wrap() const { return wrap_; }
  void SetWrap(bool v);
  // The Up and Down keys pressed in the associate step the position.
  bool ArrowKeys() const { return arrowKeys_; }
  void SetArrowKeys(bool v);
  // The associate's text has thousands separators.
  bool Thousands() const { return thousands_; }
  void SetThousands(bool v);

  TUDChangingEvent OnChanging;
  TUDClickEvent OnClickButton;

 protected:
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void WndProc(TMessage& m) override;
  void Notification(TComponent* component, TOperation operation) override;
  void Loaded() override;
  // Whether an arrow may move the position to `newPosition`.
  virtual bool CanChange(int newPosition);
  // Runs OnClickButton, then OnClick.
  virtual void ArrowClick(TUDBtnType button);

 private:
  void AttachAssociate();
  void ReleaseAssociate();

  TWinControl* associate_ = nullptr;
  // The width the associate gave up to the arrows (returned when they leave it).
  int associateShrunk_ = 0;
  TUDAlignButton alignButton_ = udRight;
  int min_ = 0, max_ = 100, increment_ = 1;
  mutable int position_ = 0;
  TUDOrientation orientation_ = udVertical;
  bool wrap_ = false, arrowKeys_ = true, thousands_ = true;
  int lastDelta_ = 0;
};

class TUpDown : public TCustomUpDown {
  VEX_CLASS(TUpDown)
 public:
  explicit TUpDown(TComponent* owner, const TClassInfo& cls = StaticClass()) : TCustomUpDown(owner, cls) {}
};

}  // namespace vex::host
