#include "image/section_layout.h"

#include <algorithm>

namespace vex::image {

std::vector<TSectionStep> NineSectionLayout(int bw, int bh, int left, int top, int right, int bottom) {
  std::vector<TSectionStep> steps;
  if (top >= bottom) return steps;
  const int W = right - left, H = bottom - top;
  const int hw = bw / 2, hh = bh / 2, HW = W / 2, HH = H / 2;
  auto clamp0 = [](int v) { return std::max(v, 0); };
  auto corner = [&](const TRect& src, const TRect& dst) {
    if (!dst.Empty()) steps.push_back({TSectionStep::Corner, src, dst});
  };
  auto stretch = [&](const TRect& src, const TRect& dst) {
    if (!dst.Empty() && !src.Empty()) steps.push_back({TSectionStep::Stretch, src, dst});
  };

  // 1. Top-left corner, keeping its top-left part.
  int w = clamp0(std::min(hw, HW)), h = clamp0(std::min(hh, HH));
  TRect TL = w && h ? TRect{0, 0, w, h} : TRect{};
  corner({0, 0, w, h}, TL);
  if (HH <= 1) return steps;

  // 2. Bottom-left corner (rows bh-hh+1 .. bh-1), keeping its left columns and bottom rows.
  w = clamp0(std::min(hw, HW));
  h = clamp0(std::min(hh - 1, HH - 1));
  TRect BL = w && h ? TRect{0, bottom - h, w, bottom} : TRect{};
  corner({0, bh - h, w, bh}, BL);

  // 3. Left edge: rows hh .. bh-hh-1 stretched down, keeping the left columns. An image of even
  // height has no such rows: its row hh stands in (as on the right edge), or the edge would stay
  // unpainted, a line through the part.
  const int edgeBottom = std::max(bh - hh, hh + 1);
  {
    const TRect dst{0, TL.bottom, TL.right, BL.top};
    stretch({0, hh, std::min(hw, dst.Width()), edgeBottom}, dst);
  }

  // 4. Top-right corner (columns bw-hw+1 .. bw-1), keeping its right columns and top rows.
  w = clamp0(std::min(hw - 1, HW - 1));
  h = clamp0(std::min(hh, HH));
  TRect TR = w && h ? TRect{right - w, 0, right, h} : TRect{};
  corner({bw - w, 0, bw, h}, TR);

  // 5. Bottom-right corner, keeping its right columns and bottom rows.
  w = clamp0(std::min(hw - 1, HW - 1));
  h = clamp0(std::min(hh - 1, HH - 1));
  TRect BR = w && h ? TRect{right - w, bottom - h, right, bottom} : TRect{};
  corner({bw - w, bh - h, bw, bh}, BR);

  // 6. Right edge: the single row hh of the right columns, stretched down.
  {
    const TRect dst{TR.left, TR.bottom, TR.right, BR.top};
    stretch({bw - std::min(hw - 1, dst.Width()), hh, bw, hh + 1}, dst);
  }

  // 7. Top edge: columns hw .. bw-hw of the top rows, stretched across.
  {
    const TRect dst{TL.right, 0, TR.left, TL.bottom};
    stretch({hw, 0, bw - hw + 1, std::min(hh, dst.Height())}, dst);
  }

  // 8. Centre.
  stretch({hw, hh, bw - hw + 1, edgeBottom}, {TL.right, TL.bottom, TR.left, BR.top - 1});

  // 9. Bottom edge: the bottom rows, keeping the lowest ones.
  {
    const TRect dst{TL.right - 1, BL.top - 1, BR.left, BR.bottom};
    const int rows = std::min(hh, dst.Height());
    stretch({hw, bh - rows, bw - hw + 1, bh}, dst);
  }
  return steps;
}

std::vector<TSectionStep> ThreeCellLayout(int bw, int bh, const TRect& r) {
  std::vector<TSectionStep> steps;
  const int cw = bw / 3;
  if (cw <= 0 || bh <= 0) return steps;
  if (r.Width() < cw) {
    if (r.Width() > 0) steps.push_back({TSectionStep::Corner, {0, 0, r.Width(), bh}, {r.left, r.top, r.right, r.top + bh}});
    return steps;
  }
  steps.push_back({TSectionStep::Corner, {0, 0, cw, bh}, {r.left, r.top, r.left + cw, r.top + bh}});
  steps.push_back({TSectionStep::Corner, {2 * cw, 0, 3 * cw, bh}, {r.right - cw, r.top, r.right, r.top + bh}});
  const TRect middle{r.left + cw, r.top, r.right - cw, r.top + bh};
  if (!middle.Empty()) steps.push_back({TSectionStep::Stretch, {cw, 0, 2 * cw, bh}, middle});
  return steps;
}

}  // namespace vex::image
