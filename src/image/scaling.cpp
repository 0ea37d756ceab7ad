#include "image/scaling.h"

#include <algorithm>
#include <vector>

namespace vex::image {
namespace {

int Scaled(int length, int num, int den) {
  const long long v = static_cast<long long>(length) * num;
  return static_cast<int>((v + den / 2) / den);
}

}  // namespace

TImageSize ScaledSlicesSize(int width, int height, int slices, int num, int den) {
  if (num <= 0 || den <= 0 || width <= 0 || height <= 0) return TImageSize();
  slices = std::max(1, slices);
  if (slices > width) slices = 1;
  const int sw = width / slices;
  // Every slice but the last is sw wide; the last takes what the division left.
  const int last = width - (slices - 1) * sw;
  return {(slices - 1) * std::max(1, Scaled(sw, num, den)) + std::max(1, Scaled(last, num, den)),
          std::max(1, Scaled(height, num, den))};
}

TvexImage ScaleSlices(const TvexImage& source, int slices, int num, int den) {
  if (num <= 0 || den <= 0) return TvexImage();
  slices = std::max(1, slices);
  const int W = source.Width(), H = source.Height();
  if (W == 0 || H == 0) {
    TvexImage empty;
    empty.SetBitsPerPixel(source.BitsPerPixel());
    return empty;
  }
  if (slices > W) slices = 1;
  const int sw = W / slices;
  // Source slice i spans [i * sw, i * sw + w_i), the last one taking what the division left.
  std::vector<int> srcX0(static_cast<std::size_t>(slices)), srcW(static_cast<std::size_t>(slices)),
      dstW(static_cast<std::size_t>(slices));
  int outW = 0;
  for (int i = 0; i < slices; ++i) {
    const auto k = static_cast<std::size_t>(i);
    srcX0[k] = i * sw;
    srcW[k] = i + 1 == slices ? W - i * sw : sw;
    dstW[k] = std::max(1, Scaled(srcW[k], num, den));
    outW += dstW[k];
  }
  const int outH = std::max(1, Scaled(H, num, den));

  // Column map: each output column reads the source column under its centre.
  std::vector<int> column(static_cast<std::size_t>(outW));
  int x = 0;
  for (int i = 0; i < slices; ++i) {
    const auto k = static_cast<std::size_t>(i);
    for (int j = 0; j < dstW[k]; ++j, ++x) {
      const long long centre = (2LL * j + 1) * srcW[k];
      const int sx = static_cast<int>(centre / (2LL * dstW[k]));
      column[static_cast<std::size_t>(x)] = srcX0[k] + std::min(sx, srcW[k] - 1);
    }
  }

  TvexImage out(outW, outH);
  out.SetBitsPerPixel(source.BitsPerPixel());
  out.SetTransparent(source.Transparent());
  if (source.TransparentMode() == TTransparentMode::Fixed) out.SetFixedTransparentColor(source.TransparentColor());
  for (int y = 0; y < outH; ++y) {
    const long long centre = (2LL * y + 1) * H;
    const int sy = std::min(static_cast<int>(centre / (2LL * outH)), H - 1);
    const std::uint32_t* in = source.Row(sy);
    std::uint32_t* row = out.Row(y);
    for (int c = 0; c < outW; ++c) row[c] = in[column[static_cast<std::size_t>(c)]];
  }
  return out;
}

}  // namespace vex::image
