// One call that paints a part of the skin: a slice of one of its bitmaps, laid into a rectangle
// the way the part is meant to stretch.
#pragma once

#include <windows.h>

#include <memory>

#include "host/canvas.h"
#include "utils/skin_reader.h"

namespace vex::utils {

enum class TPartFill {
  NineSection,  // corners kept, edges and centre stretched (push buttons)
  ThreeCells,   // left and right cells kept, the middle stretched (bars, tabs)
  Stretch,      // the whole slice stretched
  Draw,         // drawn at the rectangle's top-left corner at its own size
};

struct TSkinPart {
  int key = -1;               // bitmap key
  int count = 1, slice = 1;   // equal-width slices of the bitmap, and the one to paint (1-based)
  bool transparent = false;   // the skin's transparent colour is left out
};

// Paints the part into `r`; answers false (and paints nothing) when the skin has no such bitmap.
bool PaintSkinPart(const TvexSkinReader& reader, host::TCanvas& canvas, const TSkinPart& part, const RECT& r,
                   TPartFill fill);
// The part laid into a width x height picture over a background colour, kept for the next call
// with the same skin, part, size, background and fill (the few most recent per thread): a push
// button's nine sections are composed once per look instead of on every paint. Null when the skin
// has no such bitmap. The picture stays valid until the next call on the same thread.
const host::TBitmap* ComposedSkinPart(const TvexSkinReader& reader, const TSkinPart& part, int width, int height,
                                      host::TColor background, TPartFill fill);
// Width and height of one slice of the part's bitmap ({0, 0} when absent).
SIZE SkinPartSize(const TvexSkinReader& reader, const TSkinPart& part);

}  // namespace vex::utils
