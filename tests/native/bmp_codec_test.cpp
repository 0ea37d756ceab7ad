#include "image/bmp_codec.h"

#include <gtest/gtest.h>

#include <functional>

namespace vex::image {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& v, std::uint32_t x) {
  v.push_back(static_cast<std::uint8_t>(x));
  v.push_back(static_cast<std::uint8_t>(x >> 8));
}
void Put32(Bytes& v, std::uint32_t x) {
  Put16(v, x & 0xFFFF);
  Put16(v, x >> 16);
}

// Assembles a BMP file: header of the given size, optional masks and palette, then rows as given
// (each row padded to four bytes here).
struct TBmpSpec {
  std::uint32_t headerSize = 40;
  std::int32_t width = 0, height = 0;
  std::uint16_t bpp = 24;
  std::uint32_t compression = 0;
  std::uint32_t colorsUsed = 0;
  std::vector<std::uint32_t> masks;      // written in the header (52+) or after a 40-byte one
  std::vector<std::uint32_t> palette;    // 0x00RRGGBB
  std::vector<Bytes> rows;               // file order
};

Bytes Build(const TBmpSpec& s) {
  Bytes h;
  if (s.headerSize == 12) {
    Put32(h, 12);
    Put16(h, static_cast<std::uint32_t>(s.width));
    Put16(h, static_cast<std::uint32_t>(s.height));
    Put16(h, 1);
    Put16(h, s.bpp);
  } else {
    Put32(h, s.headerSize);
    Put32(h, static_cast<std::uint32_t>(s.width));
    Put32(h, static_cast<std::uint32_t>(s.height));
    Put16(h, 1);
    Put16(h, s.bpp);
    Put32(h, s.compression);
    Put32(h, 0);
    Put32(h, 2835);
    Put32(h, 2835);
    Put32(h, s.colorsUsed);
    Put32(h, 0);
    std::size_t m = 0;
    while (h.size() < s.headerSize) Put32(h, s.headerSize >= 52 && m < s.masks.size() ? s.masks[m++] : 0);
    if (s.headerSize == 40)
      for (std::uint32_t mask : s.masks) Put32(h, mask);
  }
  for (std::uint32_t c : s.palette) {
    h.push_back(static_cast<std::uint8_t>(c));
    h.push_back(static_cast<std::uint8_t>(c >> 8));
    h.push_back(static_cast<std::uint8_t>(c >> 16));
    if (s.headerSize != 12) h.push_back(0);
  }
  Bytes f = {'B', 'M'};
  Bytes pixels;
  for (Bytes r : s.rows) {
    while (r.size() % 4) r.push_back(0);
    pixels.insert(pixels.end(), r.begin(), r.end());
  }
  Put32(f, static_cast<std::uint32_t>(14 + h.size() + pixels.size()));
  Put32(f, 0);
  Put32(f, static_cast<std::uint32_t>(14 + h.size()));
  f.insert(f.end(), h.begin(), h.end());
  f.insert(f.end(), pixels.begin(), pixels.end());
  return f;
}

TEST(DecodeBmp, EveryPixelFormat) {
  const std::uint32_t R = 0xFF0000, G = 0x00FF00, B = 0x0000FF, W = 0xFFFFFF, K = 0;
  struct Case {
    const char* what;
    TBmpSpec spec;
    std::vector<std::vector<std::uint32_t>> expect;  // top row first
  };
  std::vector<Case> cases;
  {
    TBmpSpec s;
    s.width = 10; s.height = 2; s.bpp = 1; s.palette = {K, W};
    s.rows = {{0xA0, 0x40}, {0xFF, 0xC0}};  // bottom row: 1010000001, top row: 1111111111
    cases.push_back({"1 bit, bottom-up", s, {{W, W, W, W, W, W, W, W, W, W}, {W, K, W, K, K, K, K, K, K, W}}});
  }
  {
    TBmpSpec s;
    s.width = 3; s.height = 1; s.bpp = 4; s.palette = {K, R, G, B};
    s.rows = {{0x12, 0x30}};
    cases.push_back({"4 bit", s, {{R, G, B}}});
  }
  {
    TBmpSpec s;
    s.width = 2; s.height = -2; s.bpp = 8; s.colorsUsed = 3; s.palette = {R, G, B};
    s.rows = {{0, 1}, {2, 200}};  // top-down; index 200 lies past the palette: black
    cases.push_back({"8 bit, top-down, short palette", s, {{R, G}, {B, K}}});
  }
  {
    TBmpSpec s;
    s.width = 2; s.height = 1; s.bpp = 16;
    s.rows = {{0x00, 0x7C, 0x1F, 0x00}};  // 5-5-5: red, blue
    cases.push_back({"16 bit 5-5-5", s, {{R, B}}});
  }
  {
    TBmpSpec s;
    s.width = 2; s.height = 1; s.bpp = 16; s.compression = 3; s.masks = {0xF800, 0x07E0, 0x001F};
    s.rows = {{0xE0, 0x07, 0xFF, 0xFF}};  // 5-6-5: green, white
    cases.push_back({"16 bit 5-6-5 bit fields", s, {{G, W}}});
  }
  {
    TBmpSpec s;
    s.width = 2; s.height = 2; s.bpp = 24;
    s.rows = {{0, 0, 255, 0, 255, 0}, {255, 0, 0, 255, 255, 255}};
    cases.push_back({"24 bit bottom-up", s, {{B, W}, {R, G}}});
  }
  {
    TBmpSpec s;
    s.width = 1; s.height = 1; s.bpp = 32;
    s.rows = {{0x10, 0x20, 0x30, 0x99}};
    cases.push_back({"32 bit", s, {{0x302010}}});
  }
  {
    TBmpSpec s;
    s.headerSize = 124; s.width = 1; s.height = 1; s.bpp = 32; s.compression = 3;
    s.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};
    s.rows = {{0x10, 0x20, 0x30, 0x00}};
    cases.push_back({"32 bit bit fields in a V5 header", s, {{0x102030}}});
  }
  {
    TBmpSpec s;
    s.headerSize = 12; s.width = 2; s.height = 1; s.bpp = 8; s.palette = {G, R};
    s.rows = {{1, 0}};
    cases.push_back({"core header with 3-byte palette", s, {{R, G}}});
  }
  {
    TBmpSpec s;
    s.headerSize = 108; s.width = 1; s.height = 1; s.bpp = 24;
    s.rows = {{1, 2, 3}};
    cases.push_back({"V4 header", s, {{0x030201}}});
  }
  for (const Case& c : cases) {
    TvexImage img = DecodeBmp(Build(c.spec));
    ASSERT_EQ(img.Height(), static_cast<int>(c.expect.size())) << c.what;
    ASSERT_EQ(img.Width(), static_cast<int>(c.expect[0].size())) << c.what;
    EXPECT_EQ(img.BitsPerPixel(), c.spec.bpp) << c.what;
    for (int y = 0; y < img.Height(); ++y)
      for (int x = 0; x < img.Width(); ++x)
        EXPECT_EQ(img.Pixel(x, y), c.expect[y][x]) << c.what << " at " << x << "," << y;
  }
}

TEST(DecodeBmp, RejectsMalformedFiles) {
  TBmpSpec ok;
  ok.width = 4; ok.height = 4; ok.bpp = 8; ok.palette = std::vector<std::uint32_t>(256, 0x123456);
  ok.rows = std::vector<Bytes>(4, Bytes(4, 1));
  const Bytes good = Build(ok);
  ASSERT_NO_THROW(DecodeBmp(good));
  auto with = [&](std::function<void(TBmpSpec&)> f) {
    TBmpSpec s = ok;
    f(s);
    return Build(s);
  };
  auto patched = [&](std::size_t at, std::uint8_t v) {
    Bytes b = good;
    b[at] = v;
    return b;
  };
  struct Case {
    const char* what;
    Bytes file;
  };
  const Case cases[] = {
      {"empty", {}},
      {"no BM", patched(0, 'X')},
      {"header size 20", patched(14, 20)},
      {"header past the end", Bytes(good.begin(), good.begin() + 30)},
      {"2 bits per pixel", with([](TBmpSpec& s) { s.bpp = 2; })},
      {"RLE8", with([](TBmpSpec& s) { s.compression = 1; })},
      {"bit fields at 24 bits", with([](TBmpSpec& s) { s.bpp = 24; s.compression = 3; s.palette.clear(); })},
      {"width 0", with([](TBmpSpec& s) { s.width = 0; })},
      {"height 0", with([](TBmpSpec& s) { s.height = 0; })},
      {"negative width", with([](TBmpSpec& s) { s.width = -4; })},
      {"most negative height", with([](TBmpSpec& s) { s.height = INT32_MIN; })},
      {"huge size", with([](TBmpSpec& s) { s.width = 0x7FFFFFFF; s.height = 0x7FFFFFFF; })},
      {"rows missing", with([](TBmpSpec& s) { s.rows.pop_back(); })},
      {"palette past the end", with([](TBmpSpec& s) { s.colorsUsed = 256; s.palette.resize(2); s.rows.clear(); })},
      {"pixel offset past the end", [&] { Bytes b = good; b[13] = 0x7F; return b; }()},
  };
  for (const Case& c : cases) EXPECT_THROW(DecodeBmp(c.file), EBmpError) << c.what;
}

TEST(EncodeBmp24, RoundTripsThroughTheDecoder) {
  for (int w : {1, 2, 3, 4, 5, 31}) {
    TvexImage img(w, 3);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < w; ++x) img.SetPixel(x, y, static_cast<std::uint32_t>(x * 0x010203 + y * 0x300000));
    const Bytes bmp = EncodeBmp24(img);
    EXPECT_EQ(bmp.size(), 54u + ((w * 3 + 3) / 4 * 4) * 3u);
    TvexImage back = DecodeBmp(bmp);
    EXPECT_TRUE(back.SamePixels(img)) << "width " << w;
    EXPECT_EQ(back.BitsPerPixel(), 24);
  }
}

}  // namespace
}  // namespace vex::image
