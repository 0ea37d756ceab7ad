// The window region traced from the title-bar and bottom-border images: rectangles whose union
// leaves out the transparent pixels of the scanned rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "image/section_layout.h"

namespace vex::image {

// Pixel colour at (x, y) of an image, compared with the transparent colour as is.
using TPixelAt = std::function<std::uint32_t(int x, int y)>;

struct TRegionImage {
  int width = 0, height = 0;
  TPixelAt pixel;
};

// One-row rectangles for every maximal run of non-transparent pixels in rows [firstRow, endRow).
// Reading stops at the end of the row in which the count passes `limit`.
std::vector<TRect> OpaqueRuns(const TRegionImage& img, int firstRow, int endRow, std::uint32_t transparent, int dy = 0,
                              std::size_t limit = SIZE_MAX);

// The most one-row runs a window region is traced from. Past it the image is not read further:
// a region that detailed could not be kept anyway (kMaxRegionRects), and tracing it would cost
// time and memory in proportion to the image a hostile skin declares.
inline constexpr std::size_t kMaxTracedRuns = 64000;

// The rectangles of a window's region: the title part (when needed), the body between, and the
// bottom part (when needed) at the window's bottom edge. Min and max rows as the skin gives them
// (-1 counts as row 0; when min is not below max, every row is scanned). Empty when the images
// hold more than kMaxTracedRuns runs: the window then keeps its bounding shape.
std::vector<TRect> WindowRegionRects(const TRegionImage& title, const TRegionImage& bottom, bool titleNeedsRegion,
                                     bool bottomNeedsRegion, int titleMinY, int titleMaxY, int bottomMinY,
                                     int bottomMaxY, std::uint32_t transparent, int height, int width);

// Merges vertically adjacent bands that cover the same columns, keeping the banded order a region
// is built from: rectangles sorted by top, one band being either one rectangle or runs sharing
// their top and bottom.
std::vector<TRect> CoalesceBands(const std::vector<TRect>& rects);

// Regions with more rectangles than this are not traced: the window keeps its bounding shape (a
// very detailed region is slow to build and the X server refuses it).
inline constexpr std::size_t kMaxRegionRects = 4000;

}  // namespace vex::image
