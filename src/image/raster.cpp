#include "image/raster.h"

#include <algorithm>
#include <cmath>

namespace vex::image {

std::uint32_t Rgb(int r, int g, int b) {
  auto c = [](int v) { return static_cast<std::uint32_t>(std::clamp(v, 0, 255)); };
  return (c(r) << 16) | (c(g) << 8) | c(b);
}

std::uint32_t MixPixel(std::uint32_t a, std::uint32_t b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  auto ch = [&](int s) {
    double v = ((a >> s) & 0xFF) * (1 - t) + ((b >> s) & 0xFF) * t;
    return static_cast<std::uint32_t>(std::lround(v)) << s;
  };
  return ch(16) | ch(8) | ch(0);
}

bool InsideRoundRect(double x, double y, double x0, double y0, double x1, double y1, double r) {
  if (x < x0 || x >= x1 || y < y0 || y >= y1) return false;
  const double cx = std::clamp(x, x0 + r, x1 - r);
  const double cy = std::clamp(y, y0 + r, y1 - r);
  const double dx = x - cx, dy = y - cy;
  return dx * dx + dy * dy <= r * r;
}

void TRaster::Shape(int x0, int y0, int x1, int y1, const TInside& inside, const TShade& shade) {
  x0 = std::max(x0, 0);
  y0 = std::max(y0, 0);
  x1 = std::min(x1, img_.Width());
  y1 = std::min(y1, img_.Height());
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      int hits = 0;
      for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx) hits += inside(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4);
      if (!hits) continue;
      const double a = hits / 16.0;
      const std::uint32_t c = shade(x + 0.5, y + 0.5);
      const std::uint32_t old = img_.Pixel(x, y);
      if (old == key_) {
        if (a < 1.0 / 3) continue;
        img_.SetPixel(x, y, MixPixel(matte_, c, a));
      } else {
        img_.SetPixel(x, y, MixPixel(old, c, a));
      }
    }
  }
}

void TRaster::Fill(int x0, int y0, int x1, int y1, std::uint32_t c) {
  for (int y = std::max(y0, 0); y < std::min(y1, img_.Height()); ++y)
    for (int x = std::max(x0, 0); x < std::min(x1, img_.Width()); ++x) img_.SetPixel(x, y, c);
}

void TRaster::RoundRect(double x0, double y0, double x1, double y1, double r, const TShade& shade) {
  Shape(static_cast<int>(std::floor(x0)), static_cast<int>(std::floor(y0)), static_cast<int>(std::ceil(x1)),
        static_cast<int>(std::ceil(y1)),
        [=](double x, double y) { return InsideRoundRect(x, y, x0, y0, x1, y1, r); }, shade);
}

void TRaster::RoundFrame(double x0, double y0, double x1, double y1, double r, double w, std::uint32_t c) {
  const double ri = std::max(r - w, 0.0);
  Shape(static_cast<int>(std::floor(x0)), static_cast<int>(std::floor(y0)), static_cast<int>(std::ceil(x1)),
        static_cast<int>(std::ceil(y1)),
        [=](double x, double y) {
          return InsideRoundRect(x, y, x0, y0, x1, y1, r) &&
                 !InsideRoundRect(x, y, x0 + w, y0 + w, x1 - w, y1 - w, ri);
        },
        [c](double, double) { return c; });
}

void TRaster::Ellipse(double cx, double cy, double rx, double ry, const TShade& shade) {
  Shape(static_cast<int>(std::floor(cx - rx)), static_cast<int>(std::floor(cy - ry)),
        static_cast<int>(std::ceil(cx + rx)), static_cast<int>(std::ceil(cy + ry)),
        [=](double x, double y) {
          const double dx = (x - cx) / rx, dy = (y - cy) / ry;
          return dx * dx + dy * dy <= 1.0;
        },
        shade);
}

void TRaster::Ring(double cx, double cy, double r, double w, std::uint32_t c) {
  Shape(static_cast<int>(std::floor(cx - r)), static_cast<int>(std::floor(cy - r)), static_cast<int>(std::ceil(cx + r)),
        static_cast<int>(std::ceil(cy + r)),
        [=](double x, double y) {
          const double d = std::hypot(x - cx, y - cy);
          return d <= r && d >= r - w;
        },
        [c](double, double) { return c; });
}

void TRaster::Line(double xa, double ya, double xb, double yb, double w, std::uint32_t c) {
  const double h = w / 2;
  Shape(static_cast<int>(std::floor(std::min(xa, xb) - h)), static_cast<int>(std::floor(std::min(ya, yb) - h)),
        static_cast<int>(std::ceil(std::max(xa, xb) + h)), static_cast<int>(std::ceil(std::max(ya, yb) + h)),
        [=](double x, double y) {
          const double dx = xb - xa, dy = yb - ya;
          const double len2 = dx * dx + dy * dy;
          double t = len2 > 0 ? ((x - xa) * dx + (y - ya) * dy) / len2 : 0;
          t = std::clamp(t, 0.0, 1.0);
          return std::hypot(x - (xa + t * dx), y - (ya + t * dy)) <= h;
        },
        [c](double, double) { return c; });
}

void TRaster::Triangle(double xa, double ya, double xb, double yb, double xc, double yc, std::uint32_t c) {
  auto edge = [](double x0, double y0, double x1, double y1, double x, double y) {
    return (x1 - x0) * (y - y0) - (y1 - y0) * (x - x0);
  };
  Shape(static_cast<int>(std::floor(std::min({xa, xb, xc}))), static_cast<int>(std::floor(std::min({ya, yb, yc}))),
        static_cast<int>(std::ceil(std::max({xa, xb, xc}))), static_cast<int>(std::ceil(std::max({ya, yb, yc}))),
        [=](double x, double y) {
          const double e0 = edge(xa, ya, xb, yb, x, y), e1 = edge(xb, yb, xc, yc, x, y), e2 = edge(xc, yc, xa, ya, x, y);
          return (e0 >= 0 && e1 >= 0 && e2 >= 0) || (e0 <= 0 && e1 <= 0 && e2 <= 0);
        },
        [c](double, double) { return c; });
}

void TRaster::VGradient(int x0, int y0, int x1, int y1, std::uint32_t top, std::uint32_t bottom) {
  for (int y = y0; y < y1; ++y) {
    const double t = y1 - y0 > 1 ? double(y - y0) / (y1 - y0 - 1) : 0;
    Fill(x0, y, x1, y + 1, MixPixel(top, bottom, t));
  }
}

}  // namespace vex::image
