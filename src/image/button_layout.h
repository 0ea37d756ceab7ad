// Where a push button's glyph and caption go: the arithmetic of glyph buttons (bit buttons, speed
// buttons, buttons with an image list), computed from sizes only.
#pragma once

namespace vex::image {

enum TGlyphLayout : int { glGlyphLeft = 0, glGlyphRight = 1, glGlyphTop = 2, glGlyphBottom = 3 };

struct TButtonLayoutInput {
  int clientWidth = 0, clientHeight = 0;  // the button's client rectangle
  int glyphWidth = 0, glyphHeight = 0;    // one glyph image; 0 without a glyph
  int textWidth = 0, textHeight = 0;      // the measured caption; 0 without one
  int layout = glGlyphLeft;
  int margin = -1, spacing = 4;           // -1: computed
  bool rightToLeft = false;               // glyph left and right exchange sides
  bool emptyCaptionNoSpacing = true;      // an empty caption leaves no room between glyph and text
};

struct TButtonLayout {
  int glyphX = 0, glyphY = 0;  // the glyph's top-left corner, client coordinates
  int textX = 0, textY = 0;    // the caption rectangle's top-left corner
};

// The client rectangle less one pixel of edge on each side holds glyph and caption. Along the
// layout axis a margin of -1 centres them; a spacing of -1 spreads them evenly; across it each is
// centred on its own.
TButtonLayout LayoutButtonGlyph(const TButtonLayoutInput& in);

}  // namespace vex::image
