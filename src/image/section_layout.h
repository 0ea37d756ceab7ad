// Where the pieces of a skin bitmap go when it is painted into a rectangle: the nine sections of
// a push button image, the three cells of a bar. Pure arithmetic, shared by the painters.
#pragma once

#include <vector>

namespace vex::image {

struct TRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Empty() const { return Width() <= 0 || Height() <= 0; }
  bool operator==(const TRect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};

// One step of a painting: a part of the bitmap (source) into a part of the target. Corners are
// copied one to one (source and destination have the same size); edges and the centre are
// stretched.
struct TSectionStep {
  enum TKind { Corner, Stretch } kind;
  TRect source;
  TRect dest;
};

// The nine sections of a bw x bh bitmap painted into a rectangle whose right and bottom edges are
// `right` and `bottom` (left and top count as 0 for placing; the size is right - left by
// bottom - top). In painting order; steps with nothing to draw are left out.
std::vector<TSectionStep> NineSectionLayout(int bw, int bh, int left, int top, int right, int bottom);

// The three cells (left, stretched middle, right) of a bitmap painted into a rectangle; when the
// rectangle is narrower than one cell, only the first cell, cut to the rectangle's width.
std::vector<TSectionStep> ThreeCellLayout(int bw, int bh, const TRect& r);

}  // namespace vex::image
