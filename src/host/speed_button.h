// Speed buttons: windowless buttons with a glyph that can stay down, alone or in a group.
#pragma once

#include <string>

#include "host/button_glyph.h"
#include "host/control.h"

namespace vex::host {

// A button painted by its parent's window. The left button pressed on it shows it pressed while
// the mouse stays inside (the parent's mouse routing keeps feeding it the mouse); releasing inside
// clicks it, releasing outside does not. Speed buttons of one parent with the same non-zero
// GroupIndex form a group: clicking one puts it Down and releases the others; a Down one is
// clicked up again only when AllowAllUp (which the group shares). GroupIndex 0 never stays down.
// A Flat button shows a border only while the mouse is over it or it is down.
class TSpeedButton : public TGraphicControl {
  VEX_CLASS(TSpeedButton)
 public:
  explicit TSpeedButton(TComponent* owner, const TClassInfo& cls = StaticClass());

  const TBitmap& Glyph() const { return glyph_.Glyph(); }
  // A width that is a multiple of the height (up to four) sets NumGlyphs.
  void SetGlyph(const TBitmap& bitmap);
  int NumGlyphs() const { return glyph_.NumGlyphs(); }
  void SetNumGlyphs(int n);
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout l);
  int Margin() const { return margin_; }
  void SetMargin(int m);
  int Spacing() const { return spacing_; }
  void SetSpacing(int s);

  bool Down() const { return down_; }
  // Ignored for GroupIndex 0, and for a Down button of a group without AllowAllUp.
  void SetDown(bool d);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int g);
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool a);
  bool Flat() const { return flat_; }
  void SetFlat(bool f);

  // What painting shows now: disabled, pressed by the mouse (bsDown), down (bsExclusive) or up.
  TButtonState State() const;
  // Whether the mouse is over the button (a flat button's border shows then).
  bool Hot() const { return MouseInControl(); }

 protected:
  void Paint() override;
  void WndProc(TMessage& m) override;

 private:
  // Releases the group's other Down button and shares AllowAllUp with the group.
  void UpdateExclusive();
  void SetState(TButtonState s);

  TButtonGlyph glyph_;
  TButtonLayout layout_ = blGlyphLeft;
  int margin_ = -1, spacing_ = 4;
  bool down_ = false, allowAllUp_ = false, flat_ = false;
  int groupIndex_ = 0;
  bool dragging_ = false;
  TButtonState state_ = bsUp;  // bsUp, bsDown (pressed) or bsExclusive (down)
};

}  // namespace vex::host
