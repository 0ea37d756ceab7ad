#include "image/button_layout.h"

namespace vex::image {

TButtonLayout LayoutButtonGlyph(const TButtonLayoutInput& in) {
  const int cw = in.clientWidth - 2, ch = in.clientHeight - 2;
  int layout = in.layout;
  if (in.rightToLeft) {
    if (layout == glGlyphLeft)
      layout = glGlyphRight;
    else if (layout == glGlyphRight)
      layout = glGlyphLeft;
  }
  const bool horizontal = layout == glGlyphLeft || layout == glGlyphRight;
  int glyphX = 0, glyphY = 0, textX = 0, textY = 0;
  if (horizontal) {
    glyphY = (ch - in.glyphHeight + 1) / 2;
    textY = (ch - in.textHeight + 1) / 2;
  } else {
    glyphX = (cw - in.glyphWidth + 1) / 2;
    textX = (cw - in.textWidth + 1) / 2;
  }
  int margin = in.margin, spacing = in.spacing;
  const bool noCaption = in.textWidth == 0 && in.textHeight == 0;
  if (noCaption && in.emptyCaptionNoSpacing) spacing = 0;
  const int room = horizontal ? cw : ch;
  const int glyph = horizontal ? in.glyphWidth : in.glyphHeight;
  const int text = horizontal ? in.textWidth : in.textHeight;
  if (margin == -1 && spacing == -1) {
    margin = (room - (glyph + text)) / 3;
    spacing = margin;
  } else if (margin == -1) {
    margin = (room - (glyph + spacing + text) + 1) / 2;
  } else if (spacing == -1) {
    spacing = ((room - (margin + glyph)) - text) / 2;
  }
  switch (layout) {
    case glGlyphLeft:
      glyphX = margin;
      textX = margin + in.glyphWidth + spacing;
      break;
    case glGlyphRight:
      glyphX = cw - margin - in.glyphWidth;
      textX = glyphX - spacing - in.textWidth;
      break;
    case glGlyphTop:
      glyphY = margin;
      textY = margin + in.glyphHeight + spacing;
      break;
    default:
      glyphY = ch - margin - in.glyphHeight;
      textY = glyphY - spacing - in.textHeight;
      break;
  }
  return TButtonLayout{glyphX + 1, glyphY + 1, textX + 1, textY + 1};
}

}  // namespace vex::image
