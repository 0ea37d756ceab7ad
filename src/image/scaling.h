// Skin images at a larger display scale. Each state image of a strip is scaled on its own, by
// nearest neighbour: a one-pixel edge stays one solid colour (never blended into its neighbour or
// into the transparent colour), the states stay apart, and the painters lay the scaled sections
// out as they do at 96 dots per inch, so nine-section corners stay crisp.
#pragma once

#include "image/image.h"

namespace vex::image {

// The image scaled by num/den, its `slices` equal-width state images one at a time: each slice of
// width w becomes round(w * num / den) wide, the height round(h * num / den). Transparency
// settings are kept. slices < 1 counts as 1; a width that does not divide into the slices leaves
// its last few columns to the last slice.
TvexImage ScaleSlices(const TvexImage& source, int slices, int num, int den);

// The size ScaleSlices gives a width x height image of `slices` states, without scaling one: what
// an image made for that scale must measure to stand where the scaled one would.
struct TImageSize {
  int width = 0, height = 0;
  bool operator==(const TImageSize& o) const { return width == o.width && height == o.height; }
  bool operator!=(const TImageSize& o) const { return !(*this == o); }
};
TImageSize ScaledSlicesSize(int width, int height, int slices, int num, int den);

}  // namespace vex::image
