#include "image/bmp_codec.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "bmp_samples.h"
#include "image/little_endian.h"

namespace vex::image {
namespace {

using Bytes = std::vector<std::uint8_t>;

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
  std::uint32_t sizeImage = 0;
  bool padRows = true;                   // false: rows as given (an RLE stream)
};

Bytes Build(const TBmpSpec& s) {
  Bytes h;
  if (s.headerSize == 12) {
    AppendLE32(h, 12);
    AppendLE16(h, static_cast<std::uint32_t>(s.width));
    AppendLE16(h, static_cast<std::uint32_t>(s.height));
    AppendLE16(h, 1);
    AppendLE16(h, s.bpp);
  } else {
    AppendLE32(h, s.headerSize);
    AppendLE32(h, static_cast<std::uint32_t>(s.width));
    AppendLE32(h, static_cast<std::uint32_t>(s.height));
    AppendLE16(h, 1);
    AppendLE16(h, s.bpp);
    AppendLE32(h, s.compression);
    AppendLE32(h, s.sizeImage);
    AppendLE32(h, 2835);
    AppendLE32(h, 2835);
    AppendLE32(h, s.colorsUsed);
    AppendLE32(h, 0);
    std::size_t m = 0;
    while (h.size() < s.headerSize) AppendLE32(h, s.headerSize >= 52 && s.headerSize != 64 && m < s.masks.size() ? s.masks[m++] : 0);
    if (s.headerSize == 40)
      for (std::uint32_t mask : s.masks) AppendLE32(h, mask);
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
    while (s.padRows && r.size() % 4) r.push_back(0);
    pixels.insert(pixels.end(), r.begin(), r.end());
  }
  AppendLE32(f, static_cast<std::uint32_t>(14 + h.size() + pixels.size()));
  AppendLE32(f, 0);
  AppendLE32(f, static_cast<std::uint32_t>(14 + h.size()));
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
      {"unknown compression 7", with([](TBmpSpec& s) { s.compression = 7; })},
      {"RLE8 at 4 bits per pixel", with([](TBmpSpec& s) { s.compression = 1; s.bpp = 4; s.palette.resize(16); })},
      {"RLE4 at 8 bits per pixel", with([](TBmpSpec& s) { s.compression = 2; })},
      {"top-down RLE8", with([](TBmpSpec& s) { s.compression = 1; s.height = -4; })},
      {"JPEG inside", with([](TBmpSpec& s) { s.compression = 4; })},
      {"PNG inside", with([](TBmpSpec& s) { s.compression = 5; })},
      {"OS/2 Huffman 1D", with([](TBmpSpec& s) { s.headerSize = 64; s.bpp = 1; s.compression = 3; s.palette.resize(2); })},
      {"OS/2 RLE24", with([](TBmpSpec& s) { s.headerSize = 64; s.bpp = 24; s.compression = 4; s.palette.clear(); })},
      {"alpha bit fields at 24 bits", with([](TBmpSpec& s) { s.bpp = 24; s.compression = 6; s.palette.clear(); })},
      {"bit fields past the end", [&] {
         Bytes b = with([](TBmpSpec& s) { s.bpp = 16; s.compression = 3; s.palette.clear(); s.masks = {0xF800, 0x07E0, 0x1F}; });
         return Bytes(b.begin(), b.begin() + 14 + 40 + 8);
       }()},
      {"short OS/2 header cut", [&] {
         Bytes b = with([](TBmpSpec& s) { s.headerSize = 16; });
         return Bytes(b.begin(), b.begin() + 14 + 15);
       }()},
      {"RLE8 without a single pair", [&] {
         TBmpSpec s = ok;
         s.compression = 1;
         s.rows.clear();
         Bytes b = Build(s);
         b.push_back(0);  // one byte: not even an escape
         return b;
       }()},
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

// The sample picture written in every layout the decoder reads comes back pixel for pixel.
TEST(DecodeBmp, EveryLayoutOfTheSamplePicture) {
  for (const test::TBmpFormat& f : test::SampleBmpFormats()) {
    const test::TIndexedPicture pic = test::SamplePicture(f.bpp == 1 ? 2 : 16);
    const Bytes file = test::EncodeBmp(f, pic);
    const TBmpInfo info = ReadBmpInfo(file.data(), file.size());
    EXPECT_EQ(info.width, pic.width) << f.name;
    EXPECT_EQ(info.height, pic.height) << f.name;
    EXPECT_EQ(info.topDown, f.topDown) << f.name;
    EXPECT_EQ(info.bitsPerPixel, f.bpp) << f.name;
    TvexImage img;
    ASSERT_NO_THROW(img = DecodeBmp(file)) << f.name;
    ASSERT_EQ(img.Width(), pic.width) << f.name;
    ASSERT_EQ(img.Height(), pic.height) << f.name;
    EXPECT_EQ(img.BitsPerPixel(), static_cast<int>(f.bpp)) << f.name;
    int wrong = 0;
    for (int y = 0; y < pic.height; ++y)
      for (int x = 0; x < pic.width; ++x)
        if (img.Pixel(x, y) != pic.Color(x, y) && wrong++ < 3)
          ADD_FAILURE() << f.name << " at " << x << "," << y << ": " << std::hex << img.Pixel(x, y) << " instead of "
                        << pic.Color(x, y);
  }
}

// The RLE samples use every kind of run the encoder writes: otherwise the table above proves little.
TEST(DecodeBmp, RleSamplesUseEncodedAndAbsoluteRuns) {
  for (bool fourBit : {false, true}) {
    const Bytes rle = test::EncodeRle(test::SamplePicture(16), fourBit);
    bool encoded = false, oddAbsolute = false, evenAbsolute = false;
    for (std::size_t i = 0; i + 1 < rle.size();) {
      if (rle[i] > 0) {
        encoded = encoded || rle[i] >= 3;
        i += 2;
      } else if (rle[i + 1] >= 3) {
        const std::size_t bytes = fourBit ? (rle[i + 1] + 1u) / 2 : rle[i + 1];
        (bytes % 2 ? oddAbsolute : evenAbsolute) = true;
        i += 2 + bytes + bytes % 2;
      } else {
        i += rle[i + 1] == 2 ? 4 : 2;
      }
    }
    EXPECT_TRUE(encoded && oddAbsolute && evenAbsolute) << (fourBit ? "RLE4" : "RLE8");
  }
}

// Narrow channels widen by repeating their bits, so full intensity stays 255 (worked examples).
TEST(DecodeBmp, NarrowChannelsWidenByRepeatingTheirBits) {
  struct Case {
    const char* what;
    std::uint32_t compression;
    std::vector<std::uint32_t> masks;
    std::uint16_t value;
    std::uint32_t expect;
  };
  const Case cases[] = {
      // 5-5-5: red 10000 -> 10000100, green 00001 -> 00001000, blue 11111 -> 11111111.
      {"5-5-5", 0, {}, 0x4000 | (1 << 5) | 0x1F, 0x8408FF},
      // 5-6-5: green 100001 -> 10000110.
      {"5-6-5", 3, {0xF800, 0x07E0, 0x001F}, 33 << 5, 0x008600},
      // 3-3-2 in the low byte: red 101 -> 10110110, green 011 -> 01101101, blue 01 -> 01010101.
      {"3-3-2", 3, {0xE0, 0x1C, 0x03}, (5 << 5) | (3 << 2) | 1, 0xB66D55},
  };
  for (const Case& c : cases) {
    TBmpSpec s;
    s.width = 1;
    s.height = 1;
    s.bpp = 16;
    s.compression = c.compression;
    s.masks = c.masks;
    s.rows = {{static_cast<std::uint8_t>(c.value), static_cast<std::uint8_t>(c.value >> 8)}};
    EXPECT_EQ(DecodeBmp(Build(s)).Pixel(0, 0), c.expect) << c.what;
  }
}

// Hand-made RLE streams: every escape, and the stream's edges.
TEST(DecodeBmp, RleEscapesAndEdges) {
  // Palette: W R G B; '.' is a pixel the stream never reached, which stays black.
  const std::uint32_t colours[] = {0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF};
  auto colourOf = [&](char c) -> std::uint32_t {
    switch (c) {
      case 'W': return colours[0];
      case 'R': return colours[1];
      case 'G': return colours[2];
      case 'B': return colours[3];
      default: return 0;
    }
  };
  struct Case {
    const char* what;
    bool fourBit;
    Bytes stream;
    std::vector<std::string> expect;  // top row first; the image is 6 x 3
    std::uint32_t sizeImage = 0;
  };
  const Case cases[] = {
      {"runs, end of line, end of bitmap", false, {3, 1, 3, 2, 0, 0, 6, 3, 0, 0, 2, 0, 4, 1, 0, 1},
       {"WWRRRR", "BBBBBB", "RRRGGG"}},
      {"delta skips right and up", false, {2, 1, 0, 2, 3, 1, 1, 2, 0, 1}, {"......", ".....G", "RR...."}},
      {"end of line early", false, {2, 3, 0, 0, 1, 1, 0, 0, 6, 2, 0, 1}, {"GGGGGG", "R.....", "BB...."}},
      {"run past the right edge is clipped", false, {9, 1, 0, 0, 1, 2, 0, 1}, {"......", "G.....", "RRRRRR"}},
      {"absolute run of odd length, padded", false, {0, 3, 1, 2, 3, 0, 3, 1, 0, 1}, {"......", "......", "RGBRRR"}},
      {"absolute run of even length, unpadded", false, {0, 4, 3, 2, 1, 0, 2, 2, 0, 1}, {"......", "......", "BGRWGG"}},
      {"end of bitmap early", false, {6, 1, 0, 1, 6, 2}, {"......", "......", "RRRRRR"}},
      {"stream ends without end of bitmap", false, {6, 1, 0, 0, 3, 2}, {"......", "GGG...", "RRRRRR"}},
      {"delta past the top ends the image", false, {1, 3, 0, 2, 0, 9, 6, 1}, {"......", "......", "B....."}},
      {"absolute run longer than the stream", false, {2, 1, 0, 8, 2, 2}, {"......", "......", "RR...."}},
      {"image size cuts the stream", false, {6, 1, 0, 0, 6, 2, 0, 0, 6, 3, 0, 1}, {"......", "GGGGGG", "RRRRRR"}, 8},
      {"4 bit runs alternate their two nibbles", true, {5, 0x12, 0, 0, 6, 0x33, 0, 1}, {"......", "BBBBBB", "RGRGR."}},
      {"4 bit absolute run of 3, two bytes unpadded", true, {0, 3, 0x12, 0x30, 3, 0x11, 0, 1},
       {"......", "......", "RGBRRR"}},
      {"4 bit absolute run of 5, three bytes padded", true, {0, 5, 0x12, 0x30, 0x20, 0, 1, 0x30, 0, 1},
       {"......", "......", "RGBWGB"}},
      {"4 bit delta", true, {0, 2, 2, 2, 2, 0x11, 0, 1}, {"..RR..", "......", "......"}},
  };
  for (const Case& c : cases) {
    TBmpSpec s;
    s.width = 6;
    s.height = 3;
    s.bpp = c.fourBit ? 4 : 8;
    s.compression = c.fourBit ? 2 : 1;
    s.colorsUsed = 4;
    s.palette.assign(std::begin(colours), std::end(colours));
    s.rows = {c.stream};
    s.sizeImage = c.sizeImage;
    s.padRows = false;
    TvexImage img;
    ASSERT_NO_THROW(img = DecodeBmp(Build(s))) << c.what;
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 6; ++x)
        EXPECT_EQ(img.Pixel(x, y), colourOf(c.expect[y][x])) << c.what << " at " << x << "," << y;
  }
}

// What careless writers produce and the platform still reads.
TEST(DecodeBmp, ToleratesWhatWritersGetWrong) {
  TBmpSpec s;
  s.width = 3;
  s.height = 2;
  s.bpp = 8;
  s.colorsUsed = 2;
  s.palette = {0x112233, 0x445566};
  s.rows = {{1, 0, 1}, {0, 0, 1}};
  const Bytes good = Build(s);
  struct Case {
    const char* what;
    Bytes file;
  };
  const Case cases[] = {
      {"as written", good},
      {"pixel offset 0: the pixels follow the palette", [&] { Bytes b = good; b[10] = b[11] = b[12] = b[13] = 0; return b; }()},
      {"pixel offset inside the header", [&] { Bytes b = good; b[10] = 20; b[11] = b[12] = b[13] = 0; return b; }()},
      {"last row without its padding", Bytes(good.begin(), good.end() - 1)},
  };
  for (const Case& c : cases) {
    TvexImage img;
    ASSERT_NO_THROW(img = DecodeBmp(c.file)) << c.what;
    EXPECT_EQ(img.Pixel(0, 0), 0x112233u) << c.what;
    EXPECT_EQ(img.Pixel(2, 0), 0x445566u) << c.what;
    EXPECT_EQ(img.Pixel(0, 1), 0x445566u) << c.what;
    EXPECT_EQ(img.Pixel(1, 1), 0x112233u) << c.what;
  }
  // Two bytes missing are more than padding.
  EXPECT_THROW(DecodeBmp(Bytes(good.begin(), good.end() - 2)), EBmpError);
}

// The headers alone tell the size, so a caller can refuse a bitmap before it is decoded; the
// decoder refuses anything above its caller's pixel budget before allocating.
TEST(DecodeBmp, SizeIsKnownFromTheHeadersAndBoundedBeforeDecoding) {
  TBmpSpec s;
  s.width = 3000;
  s.height = -2000;
  s.bpp = 8;
  s.compression = 1;
  s.palette = {0xFF0000};
  s.rows = {{0, 1}};  // an RLE8 stream of one escape: 6 M black pixels from 2 bytes
  const Bytes file = Build(s);
  s.height = 2000;
  const Bytes bottomUp = Build(s);
  EXPECT_THROW(DecodeBmp(file), EBmpError);  // top-down RLE
  const TBmpInfo info = ReadBmpInfo(bottomUp.data(), std::min<std::size_t>(bottomUp.size(), kBmpMaxHeadersSize));
  EXPECT_EQ(info.width, 3000);
  EXPECT_EQ(info.height, 2000);
  EXPECT_EQ(info.PixelCount(), 6000000);
  EXPECT_EQ(info.compression, TBmpCompression::Rle8);
  EXPECT_THROW(DecodeBmp(bottomUp, 6000000 - 1), EBmpError);
  EXPECT_EQ(DecodeBmp(bottomUp, 6000000).Width(), 3000);
}

// Every prefix of every sample either decodes or fails with EBmpError, and never reads past the
// bytes it was given (the sanitizer build checks the reads).
TEST(DecodeBmp, EveryTruncationFailsCleanlyOrDecodes) {
  for (const test::TBmpFormat& f : test::SampleBmpFormats()) {
    const Bytes file = test::EncodeBmp(f, test::SamplePicture(f.bpp == 1 ? 2 : 16));
    for (std::size_t n = 0; n < file.size(); ++n) {
      const Bytes cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n));
      try {
        const TvexImage img = DecodeBmp(cut);
        EXPECT_EQ(img.Width(), 13) << f.name << " cut to " << n;
      } catch (const EBmpError&) {
      }
    }
  }
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
