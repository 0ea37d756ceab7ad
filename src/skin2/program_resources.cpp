#include "skin2/program_resources.h"

#include "image/little_endian.h"

#include "image/raster.h"
#include "skin2/byte_io.h"

namespace vex::skin2 {
namespace {

using image::MixPixel;
using image::Rgb;
using image::TRaster;
using image::TvexImage;

constexpr std::uint32_t kKey = 0xFF00FF;

// One icon image: a small window with a blue title bar and a light body, on a transparent ground.
TvexImage IconImage(int size) {
  TvexImage img(size, size, kKey);
  TRaster r(img, kKey, Rgb(90, 110, 130));
  const double s = size / 16.0;
  const double x0 = 0.5 * s, y0 = 1.5 * s, x1 = 15.5 * s, y1 = 14.5 * s;
  r.RoundRect(x0, y0, x1, y1, 1.6 * s, Rgb(18, 58, 92));
  r.RoundRect(x0 + s, y0 + s, x1 - s, y0 + 4 * s, 0.8 * s, [&](double, double y) {
    return MixPixel(Rgb(92, 166, 216), Rgb(31, 103, 148), (y - y0) / (4 * s));
  });
  r.RoundRect(x0 + s, y0 + 4 * s, x1 - s, y1 - s, 0, Rgb(240, 242, 245));
  r.RoundRect(x0 + 3 * s, y0 + 6.5 * s, x0 + 9 * s, y0 + 8 * s, 0.4 * s, Rgb(148, 200, 232));
  r.RoundRect(x0 + 3 * s, y0 + 9.5 * s, x0 + 12 * s, y0 + 11 * s, 0.4 * s, Rgb(190, 200, 210));
  return img;
}


// The DIB of one icon image: header (height doubled), 32-bit colour rows with alpha, AND mask.
std::vector<std::uint8_t> IconDib(const TvexImage& img) {
  const int w = img.Width(), h = img.Height();
  std::vector<std::uint8_t> d;
  image::AppendLE32(d, 40);
  image::AppendLE32(d, static_cast<std::uint32_t>(w));
  image::AppendLE32(d, static_cast<std::uint32_t>(h * 2));
  image::AppendLE16(d, 1);
  image::AppendLE16(d, 32);
  for (int i = 0; i < 6; ++i) image::AppendLE32(d, 0);
  for (int y = h - 1; y >= 0; --y)
    for (int x = 0; x < w; ++x) {
      const std::uint32_t p = img.Pixel(x, y);
      image::AppendLE32(d, p == kKey ? 0u : (p | 0xFF000000u));
    }
  const int maskStride = ((w + 31) / 32) * 4;
  for (int y = h - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(static_cast<std::size_t>(maskStride), 0);
    for (int x = 0; x < w; ++x)
      if (img.Pixel(x, y) == kKey) row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    d.insert(d.end(), row.begin(), row.end());
  }
  return d;
}

}  // namespace

TvexImage MenuCheckedBitmap() {
  TvexImage img(16, 16, 0xFFFFFF);
  TRaster r(img, kKey);
  r.Line(4, 8.5, 6.8, 11.3, 1.8, 0);
  r.Line(6.8, 11.3, 12, 5, 1.8, 0);
  // Blended edges must not turn pure white: that colour is the mask.
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      if (img.Pixel(x, y) != 0xFFFFFF && img.Pixel(x, y) > 0xF0F0F0) img.SetPixel(x, y, 0xFFFFFF);
  return img;
}

TvexImage MdiControlerBitmap() {
  TvexImage img(48, 16, kKey);
  TRaster r(img, kKey, Rgb(232, 232, 232));
  // Minimize: a bar at the bottom.
  r.Fill(4, 11, 12, 13, 0);
  // Restore: two overlapping windows.
  const int rx = 16;
  r.Fill(rx + 6, 3, rx + 13, 5, 0);
  r.Fill(rx + 12, 3, rx + 13, 10, 0);
  r.Fill(rx + 6, 3, rx + 7, 6, 0);
  r.Fill(rx + 10, 9, rx + 13, 10, 0);
  r.Fill(rx + 3, 6, rx + 10, 8, 0);
  r.Fill(rx + 3, 6, rx + 4, 13, 0);
  r.Fill(rx + 9, 6, rx + 10, 13, 0);
  r.Fill(rx + 3, 12, rx + 10, 13, 0);
  // Close: an X.
  r.Line(32 + 4.5, 4.5, 32 + 11.5, 11.5, 1.8, 0);
  r.Line(32 + 11.5, 4.5, 32 + 4.5, 11.5, 1.8, 0);
  return img;
}

std::vector<std::uint8_t> MainIconFile() {
  const std::vector<std::uint8_t> small = IconDib(IconImage(16));
  const std::vector<std::uint8_t> large = IconDib(IconImage(32));
  std::vector<std::uint8_t> f;
  image::AppendLE16(f, 0);
  image::AppendLE16(f, 1);  // icon
  image::AppendLE16(f, 2);  // images
  std::uint32_t offset = 6 + 2 * 16;
  for (const auto* img : {&small, &large}) {
    const std::uint8_t size = img == &small ? 16 : 32;
    f.push_back(size);
    f.push_back(size);
    f.push_back(0);
    f.push_back(0);
    image::AppendLE16(f, 1);
    image::AppendLE16(f, 32);
    image::AppendLE32(f, static_cast<std::uint32_t>(img->size()));
    image::AppendLE32(f, offset);
    offset += static_cast<std::uint32_t>(img->size());
  }
  f.insert(f.end(), small.begin(), small.end());
  f.insert(f.end(), large.begin(), large.end());
  return f;
}

}  // namespace vex::skin2
