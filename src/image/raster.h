// Anti-aliased drawing into portable images, for bitmaps made by code (the default skin, the
// program's resources). Coverage is sampled 4 x 4 per pixel.
#pragma once

#include <cstdint>
#include <functional>

#include "image/image.h"

namespace vex::image {

// Pixel colours here are 0x00RRGGBB.
std::uint32_t MixPixel(std::uint32_t a, std::uint32_t b, double t);  // a..b, t in 0..1
std::uint32_t Rgb(int r, int g, int b);

class TRaster {
 public:
  // `key`: pixels of this colour count as transparent; shapes drawn over them blend their edges
  // toward `matte` instead (what the pixel will show through to), and edges covering less than a
  // third of a pixel leave it transparent.
  TRaster(TvexImage& img, std::uint32_t key = 0xFF00FF, std::uint32_t matte = 0xE8E8E8)
      : img_(img), key_(key), matte_(matte) {}

  void SetMatte(std::uint32_t matte) { matte_ = matte; }

  using TInside = std::function<bool(double x, double y)>;
  using TShade = std::function<std::uint32_t(double x, double y)>;

  // Paints every pixel in [x0, x1) x [y0, y1) that the shape covers, with the shade's colour.
  void Shape(int x0, int y0, int x1, int y1, const TInside& inside, const TShade& shade);

  void Fill(int x0, int y0, int x1, int y1, std::uint32_t c);  // hard edges, no blending
  void RoundRect(double x0, double y0, double x1, double y1, double r, const TShade& shade);
  void RoundRect(double x0, double y0, double x1, double y1, double r, std::uint32_t c) {
    RoundRect(x0, y0, x1, y1, r, [c](double, double) { return c; });
  }
  // A one-pixel-wide (or `width`) outline of a rounded rectangle.
  void RoundFrame(double x0, double y0, double x1, double y1, double r, double width, std::uint32_t c);
  void Ellipse(double cx, double cy, double rx, double ry, const TShade& shade);
  void Ellipse(double cx, double cy, double rx, double ry, std::uint32_t c) {
    Ellipse(cx, cy, rx, ry, [c](double, double) { return c; });
  }
  void Ring(double cx, double cy, double r, double width, std::uint32_t c);
  // A stroke of the given width between two points, with round ends.
  void Line(double xa, double ya, double xb, double yb, double width, std::uint32_t c);
  void Triangle(double xa, double ya, double xb, double yb, double xc, double yc, std::uint32_t c);
  // Vertical gradient from `top` at y0 to `bottom` at y1 - 1, hard edges.
  void VGradient(int x0, int y0, int x1, int y1, std::uint32_t top, std::uint32_t bottom);

  TvexImage& Image() { return img_; }

 private:
  TvexImage& img_;
  std::uint32_t key_;
  std::uint32_t matte_;
};

// Inside tests shared by the shapes.
bool InsideRoundRect(double x, double y, double x0, double y0, double x1, double y1, double r);

}  // namespace vex::image
