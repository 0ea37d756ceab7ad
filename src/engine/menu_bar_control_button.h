// The small buttons a multiple-document frame shows at the right end of its skinned menu bar
// while a child window is maximized (minimize, restore, close the child): a glyph on a flat or
// gradient fill in the menu bar's colours, framed in black while the mouse is over it.
#pragma once

#include "host/bitmap.h"
#include "host/std_controls.h"

namespace vex::engine {

class TvexSkinMenuBarControlButton : public host::TCustomPanel {
  VEX_CLASS(TvexSkinMenuBarControlButton)
 public:
  explicit TvexSkinMenuBarControlButton(host::TComponent* owner);

  // The glyph, drawn centred with its transparent colour left out; setting it copies the bitmap.
  const host::TBitmap& Glyph() const { return FGlyphImage; }
  void SetGlyph(const host::TBitmap& glyph);
  // The fill runs from Color at the top to ToColor at the bottom; equal colours fill flat.
  host::TColor ToColor() const { return FEndColor; }
  void SetToColor(host::TColor c);
  // The mouse is over the button.
  bool Hot() const { return FHot; }

  bool FHot = false;
  host::TBitmap FGlyphImage;
  host::TColor FEndColor = host::clWhite;

 protected:
  void WndProc(host::TMessage& m) override;
  void Paint() override;

 private:
  // The picture is composed here, then copied to the window in one block.
  host::TBitmap buffer_;
  bool pressed_ = false;
};

}  // namespace vex::engine
