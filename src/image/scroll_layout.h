// Where the pieces of a skinned scroll bar go: the two arrow squares and the thumb built from its
// caps, grip and fillers, computed from the bar, the thumb and the pieces' lengths only. Given for
// the vertical bar; a horizontal bar is the same with x and y exchanged (see Transposed).
#pragma once

#include <vector>

namespace vex::image {

struct TRectI {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const TRectI& o) const { return left == o.left && top == o.top && right == o.right && bottom == o.bottom; }
};

// The thumb image pieces: 1 top cap, 2 filler above the grip, 3 grip, 4 filler below, 5 bottom cap.
enum TThumbPiece : int { tpTopCap = 1, tpUpperFill = 2, tpGrip = 3, tpLowerFill = 4, tpBottomCap = 5 };

struct TThumbPart {
  int piece = 0;
  TRectI dest;
  int sourceTop = 0, sourceBottom = -1;  // the piece rows drawn; -1: to its last row
  bool smooth = false;                  // stretched with halftone filtering along the bar
};

struct TScrollBarLayoutInput {
  TRectI bar, thumb;          // bar coordinates; the thumb spans the bar's width
  bool drawThumb = true;      // false for a disabled bar: background and arrows only
  bool wholeThumb = false;    // the skin draws the thumb from one three-part image
  int topCap = 0, grip = 0, bottomCap = 0;  // lengths of pieces 1, 3 and 5 along the bar
};

struct TScrollBarLayout {
  TRectI upArrow, downArrow;  // squares at the ends of the bar
  bool thumb = false;
  bool whole = false;         // the thumb is the whole-thumb image stretched into `thumb`
  TRectI wholeRect;
  std::vector<TThumbPart> parts;  // in drawing order
};

// The minimum thumb length for the whole-thumb image; shorter thumbs are built from pieces.
inline constexpr int kWholeThumbMinLength = 16;

TScrollBarLayout LayoutScrollBar(const TScrollBarLayoutInput& in);

// x and y exchanged: a horizontal bar's rectangle as the vertical layout sees it, and back.
inline TRectI Transposed(const TRectI& r) { return TRectI{r.top, r.left, r.bottom, r.right}; }

}  // namespace vex::image
