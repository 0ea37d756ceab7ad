#include "image/region_runs.h"

#include <algorithm>

namespace vex::image {

std::vector<TRect> OpaqueRuns(const TRegionImage& img, int firstRow, int endRow, std::uint32_t transparent, int dy,
                              std::size_t limit) {
  std::vector<TRect> out;
  firstRow = std::max(firstRow, 0);
  endRow = std::min(endRow, img.height);
  for (int y = firstRow; y < endRow && out.size() <= limit; ++y) {
    int x = 0;
    while (x < img.width) {
      while (x < img.width && img.pixel(x, y) == transparent) ++x;
      if (x >= img.width) break;
      const int x0 = x;
      while (x < img.width && img.pixel(x, y) != transparent) ++x;
      out.push_back({x0, y + dy, x, y + dy + 1});
    }
  }
  return out;
}

namespace {

// Adds one image's part; false when its runs would take the rectangles past kMaxTracedRuns.
bool AddPart(std::vector<TRect>& out, const TRegionImage& img, int minY, int maxY, std::uint32_t transparent, int width,
             int dy) {
  const int partHeight = img.height;
  const int start = minY == -1 ? 0 : minY;
  const int end = minY < maxY ? maxY + 1 : partHeight;
  if (minY > 0) out.push_back({0, dy, width, dy + minY});
  const std::size_t room = out.size() < kMaxTracedRuns ? kMaxTracedRuns - out.size() : 0;
  const std::vector<TRect> runs = OpaqueRuns(img, start, end, transparent, dy, room);
  if (runs.size() > room) return false;
  out.insert(out.end(), runs.begin(), runs.end());
  if (end < partHeight) out.push_back({0, dy + end, width, dy + partHeight});
  return true;
}

}  // namespace

std::vector<TRect> WindowRegionRects(const TRegionImage& title, const TRegionImage& bottom, bool titleNeedsRegion,
                                     bool bottomNeedsRegion, int titleMinY, int titleMaxY, int bottomMinY,
                                     int bottomMaxY, std::uint32_t transparent, int height, int width) {
  std::vector<TRect> out;
  const int tH = titleNeedsRegion ? title.height : 0;
  const int bH = bottomNeedsRegion ? bottom.height : 0;
  if (titleNeedsRegion && !AddPart(out, title, titleMinY, titleMaxY, transparent, width, 0)) return {};
  out.push_back({0, tH, width, height - bH});
  if (bottomNeedsRegion && !AddPart(out, bottom, bottomMinY, bottomMaxY, transparent, width, height - bH)) return {};
  return out;
}

std::vector<TRect> CoalesceBands(const std::vector<TRect>& rects) {
  std::vector<TRect> out;
  out.reserve(rects.size());
  std::size_t lastBand = 0;  // where the band last written starts in `out`
  std::size_t i = 0;
  while (i < rects.size()) {
    std::size_t j = i + 1;
    while (j < rects.size() && rects[j].top == rects[i].top && rects[j].bottom == rects[i].bottom) ++j;
    // Band [i, j): merge it into the previous band when that one ends where this starts and has
    // the same columns.
    const std::size_t count = j - i;
    bool merged = false;
    if (!out.empty() && out.size() - lastBand == count && out[lastBand].bottom == rects[i].top) {
      merged = true;
      for (std::size_t k = 0; k < count && merged; ++k)
        merged = out[lastBand + k].left == rects[i + k].left && out[lastBand + k].right == rects[i + k].right;
    }
    if (merged) {
      for (std::size_t k = 0; k < count; ++k) out[lastBand + k].bottom = rects[i + k].bottom;
    } else {
      lastBand = out.size();
      out.insert(out.end(), rects.begin() + static_cast<std::ptrdiff_t>(i), rects.begin() + static_cast<std::ptrdiff_t>(j));
    }
    i = j;
  }
  return out;
}

}  // namespace vex::image
