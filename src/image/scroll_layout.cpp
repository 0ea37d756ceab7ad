#include "image/scroll_layout.h"

#include <algorithm>

namespace vex::image {

TScrollBarLayout LayoutScrollBar(const TScrollBarLayoutInput& in) {
  TScrollBarLayout out;
  const TRectI& b = in.bar;
  const int side = b.Width();
  out.upArrow = TRectI{b.left, b.top, b.right, b.top + side};
  out.downArrow = TRectI{b.left, b.bottom - side, b.right, b.bottom};
  const TRectI& t = in.thumb;
  const int length = t.Height();
  if (!in.drawThumb || length <= 0 || t.Width() <= 0) return out;
  out.thumb = true;
  if (in.wholeThumb && length >= kWholeThumbMinLength) {
    out.whole = true;
    out.wholeRect = t;
    return out;
  }
  // The caps at both ends; a thumb shorter than two caps shows the top half of the top cap and
  // the bottom half of the bottom cap, each at its own height.
  if (in.topCap > 0) out.parts.push_back({tpTopCap, TRectI{t.left, t.top, t.right, t.top + in.topCap}, 0, in.topCap, false});
  if (in.bottomCap > 0) {
    const int rows = std::min(in.bottomCap, length / 2);
    if (rows > 0)
      out.parts.push_back({tpBottomCap, TRectI{t.left, t.bottom - rows, t.right, t.bottom}, in.bottomCap - rows, in.bottomCap, false});
  }
  // The inside between two 3-pixel caps holds the grip, centred, with the fillers around it; a
  // grip longer than the inside is squeezed into it.
  const int inside = length - 6;
  if (inside <= 0) return out;
  if (in.grip >= inside) {
    out.parts.push_back({tpGrip, TRectI{t.left, t.top + 3, t.right, t.bottom - 3}, 0, in.grip, true});
    return out;
  }
  const int above = (inside - in.grip) / 2;
  const int gripTop = t.top + 3 + above, gripBottom = gripTop + in.grip;
  if (in.grip > 0) out.parts.push_back({tpGrip, TRectI{t.left, gripTop, t.right, gripBottom}, 0, in.grip, false});
  if (t.bottom - 3 > gripBottom) out.parts.push_back({tpLowerFill, TRectI{t.left, gripBottom, t.right, t.bottom - 3}, 0, -1, true});
  if (above > 0) out.parts.push_back({tpUpperFill, TRectI{t.left, t.top + 3, t.right, gripTop}, 0, -1, false});
  return out;
}

}  // namespace vex::image
