// Glyph and caption placement of glyph buttons, from sizes only.
#include <gtest/gtest.h>

#include "image/button_layout.h"

namespace vex::image {
namespace {

TEST(ButtonLayout, PlacesGlyphAndCaptionByLayoutMarginAndSpacing) {
  struct TCase {
    const char* name;
    TButtonLayoutInput in;
    TButtonLayout want;
  };
  const TCase cases[] = {
      // 75 x 25, 16-pixel glyph, 30-pixel caption, both spread evenly: (73 - 46) / 3 = 9.
      {"left, spread", {75, 25, 16, 16, 30, 13, glGlyphLeft, -1, -1}, {10, 5, 35, 6}},
      // Margin computed around a spacing of 4: (73 - 50 + 1) / 2 = 12.
      {"left, centred", {75, 25, 16, 16, 30, 13, glGlyphLeft, -1, 4}, {13, 5, 33, 6}},
      {"right, centred", {75, 25, 16, 16, 30, 13, glGlyphRight, -1, 4}, {46, 5, 12, 6}},
      // Margin 2, spacing spread over what is left: ((73 - 18) - 30) / 2 = 12.
      {"left, margin 2", {75, 25, 16, 16, 30, 13, glGlyphLeft, 2, -1}, {3, 5, 31, 6}},
      // Vertical: (23 - (16 + 4 + 5) + 1) / 2 = 0 margin.
      {"top", {75, 25, 16, 16, 30, 5, glGlyphTop, -1, 4}, {30, 1, 23, 21}},
      // (38 - 33 + 1) / 2 = 3 below the glyph.
      {"bottom", {75, 40, 16, 16, 30, 13, glGlyphBottom, -1, 4}, {30, 20, 23, 3}},
      // No caption: no spacing, the glyph centred by the margin rule.
      {"no caption", {75, 25, 16, 16, 0, 0, glGlyphLeft, -1, 4}, {30, 5, 46, 13}},
      // A right-to-left button draws a glyph-left layout with the glyph on the right.
      {"right to left", {75, 25, 16, 16, 30, 13, glGlyphLeft, -1, 4, true}, {46, 5, 12, 6}},
  };
  for (const TCase& c : cases) {
    const TButtonLayout got = LayoutButtonGlyph(c.in);
    EXPECT_EQ(got.glyphX, c.want.glyphX) << c.name;
    EXPECT_EQ(got.glyphY, c.want.glyphY) << c.name;
    EXPECT_EQ(got.textX, c.want.textX) << c.name;
    EXPECT_EQ(got.textY, c.want.textY) << c.name;
  }
}

TEST(ButtonLayout, SpeedButtonsKeepTheirSpacingWithoutACaption) {
  TButtonLayoutInput in{75, 25, 16, 16, 0, 0, glGlyphLeft, -1, 4};
  in.emptyCaptionNoSpacing = false;
  // (73 - (16 + 4) + 1) / 2 = 27: the spacing still takes its room.
  EXPECT_EQ(LayoutButtonGlyph(in).glyphX, 28);
}

}  // namespace
}  // namespace vex::image
