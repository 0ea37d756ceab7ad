#include "image/scaling.h"

#include <gtest/gtest.h>

#include <set>

#include "skin2/skin_keys.h"

namespace vex::image {
namespace {

// A strip of `slices` states, each w x h and filled with its own colour, with a one-pixel frame
// of a darker shade so the edges can be told apart.
TvexImage Strip(int slices, int w, int h) {
  TvexImage img(slices * w, h);
  for (int s = 0; s < slices; ++s)
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const bool edge = x == 0 || y == 0 || x == w - 1 || y == h - 1;
        img.SetPixel(s * w + x, y, static_cast<std::uint32_t>((s + 1) * 0x10 + (edge ? 0x100000 : 0)));
      }
  return img;
}

TEST(ScaleSlices, DoubleMakesEveryPixelATwoByTwoBlock) {
  const TvexImage src = Strip(3, 5, 4);
  const TvexImage out = ScaleSlices(src, 3, 2, 1);
  ASSERT_EQ(out.Width(), 30);
  ASSERT_EQ(out.Height(), 8);
  for (int y = 0; y < out.Height(); ++y)
    for (int x = 0; x < out.Width(); ++x) ASSERT_EQ(out.Pixel(x, y), src.Pixel(x / 2, y / 2)) << x << "," << y;
}

TEST(ScaleSlices, StatesStayApartAtOddScales) {
  struct Case {
    int slices, w, h, num, den, outSliceW, outH;
  } cases[] = {
      {18, 18, 18, 3, 2, 27, 27},  // title buttons at 150 %
      {6, 17, 17, 3, 2, 26, 26},   // check box states: 25.5 rounds up
      {4, 17, 17, 5, 4, 21, 21},   // 125 %
      {3, 84, 25, 3, 2, 126, 38},
      {2, 7, 3, 7, 4, 12, 5},
  };
  for (const Case& c : cases) {
    const TvexImage src = Strip(c.slices, c.w, c.h);
    const TvexImage out = ScaleSlices(src, c.slices, c.num, c.den);
    ASSERT_EQ(out.Width(), c.slices * c.outSliceW) << c.slices << " x " << c.w;
    ASSERT_EQ(out.Height(), c.outH);
    const TImageSize size = ScaledSlicesSize(src.Width(), src.Height(), c.slices, c.num, c.den);
    EXPECT_EQ(size.width, out.Width());
    EXPECT_EQ(size.height, out.Height());
    for (int s = 0; s < c.slices; ++s) {
      const std::uint32_t inner = static_cast<std::uint32_t>((s + 1) * 0x10);
      for (int y = 0; y < c.outH; ++y)
        for (int x = 0; x < c.outSliceW; ++x) {
          const std::uint32_t p = out.Pixel(s * c.outSliceW + x, y);
          // Only the slice's own colours: nothing of a neighbouring state, nothing blended.
          ASSERT_TRUE(p == inner || p == (inner | 0x100000)) << "slice " << s << " at " << x << "," << y;
        }
      // The frame of each state is still there on all four sides.
      EXPECT_EQ(out.Pixel(s * c.outSliceW, c.outH / 2), inner | 0x100000);
      EXPECT_EQ(out.Pixel(s * c.outSliceW + c.outSliceW - 1, c.outH / 2), inner | 0x100000);
      EXPECT_EQ(out.Pixel(s * c.outSliceW + c.outSliceW / 2, 0), inner | 0x100000);
      EXPECT_EQ(out.Pixel(s * c.outSliceW + c.outSliceW / 2, c.outH - 1), inner | 0x100000);
    }
  }
}

TEST(ScaleSlices, KeepsTransparencyAndHandlesOddInputs) {
  TvexImage src = Strip(1, 4, 4);
  src.SetTransparent(true);
  src.SetFixedTransparentColor(0xFF00FF);
  const TvexImage out = ScaleSlices(src, 1, 3, 2);
  EXPECT_EQ(out.Width(), 6);
  EXPECT_TRUE(out.Transparent());
  EXPECT_EQ(out.TransparentMode(), TTransparentMode::Fixed);
  EXPECT_EQ(out.TransparentColor(), 0xFF00FFu);

  EXPECT_TRUE(ScaleSlices(TvexImage(), 3, 2, 1).Empty());
  EXPECT_TRUE(ScaleSlices(src, 1, 0, 1).Empty());
  // More slices than columns: scaled as one image.
  EXPECT_EQ(ScaleSlices(TvexImage(2, 1), 18, 2, 1).Width(), 4);
  // A width that does not divide: the last slice keeps the spare columns.
  const TvexImage odd = ScaleSlices(TvexImage(7, 1), 3, 2, 1);
  EXPECT_EQ(odd.Width(), 4 + 4 + 6);
  // A one-pixel image never vanishes at a scale below one.
  EXPECT_EQ(ScaleSlices(TvexImage(1, 1), 1, 1, 3).Width(), 1);
}

// The size an image made for a scale must have is the size the scaler gives, without scaling.
TEST(ScaledSlicesSize, IsTheSizeScaleSlicesMakes) {
  struct Case {
    int w, h, slices, num, den, outW, outH;
  } cases[] = {
      {324, 18, 18, 144, 96, 486, 27},  // title buttons at 150 %
      {102, 17, 6, 144, 96, 156, 26},   // check box: 25.5 rounds up in every state
      {31, 31, 1, 144, 96, 47, 47},     // a title section
      {252, 25, 3, 192, 96, 504, 50},
      {7, 3, 3, 2, 1, 14, 6},           // 2 + 2 + 3 columns: the last slice keeps the spare one
      {2, 1, 18, 2, 1, 4, 2},           // more slices than columns: one image
      {1, 1, 1, 1, 3, 1, 1},            // never below one pixel
      {5, 4, 0, 3, 2, 8, 6},            // no slices counts as one
  };
  for (const Case& c : cases) {
    const TImageSize size = ScaledSlicesSize(c.w, c.h, c.slices, c.num, c.den);
    EXPECT_EQ(size, (TImageSize{c.outW, c.outH})) << c.w << "x" << c.h << " in " << c.slices;
    const TvexImage scaled = ScaleSlices(TvexImage(c.w, c.h), c.slices, c.num, c.den);
    EXPECT_EQ(size, (TImageSize{scaled.Width(), scaled.Height()})) << c.w << "x" << c.h << " in " << c.slices;
  }
  // Nothing to scale, or no scale: no size.
  EXPECT_EQ(ScaledSlicesSize(0, 5, 1, 3, 2), TImageSize());
  EXPECT_EQ(ScaledSlicesSize(5, 5, 1, 0, 2), TImageSize());
  EXPECT_EQ(ScaledSlicesSize(5, 5, 1, 3, -2), TImageSize());
}

TEST(ScaledRecords, NamesAndScales) {
  using namespace vex::skin2;
  EXPECT_EQ(ScaledRecordName("SKIN2_BUTTON", 150), "SKIN2_BUTTON@150");
  struct Case {
    const char* name;
    int percent;
    const char* key;
  } cases[] = {
      {"SKIN2_BUTTON@150", 150, "SKIN2_BUTTON"}, {"SKIN2_TITLEBAR1@200", 200, "SKIN2_TITLEBAR1"},
      {"SKIN2_BUTTON@125", 0, ""},               {"SKIN2_BUTTON", 0, ""},
      {"@150", 0, ""},                           {"SKIN2_BUTTON@1500", 0, ""},
      {"A@B@200", 200, "A@B"},                   {"SKIN2_BUTTON@", 0, ""},
  };
  for (const Case& c : cases) {
    std::string key;
    EXPECT_EQ(ScaledRecordPercent(c.name, &key), c.percent) << c.name;
    EXPECT_EQ(key, c.key) << c.name;
  }
  EXPECT_EQ(ScalePercentForDpi(96), 0);
  EXPECT_EQ(ScalePercentForDpi(144), 150);
  EXPECT_EQ(ScalePercentForDpi(192), 200);
  EXPECT_EQ(ScalePercentForDpi(120), 0);
  EXPECT_EQ(ScaleLength(31, 144), 47);  // 46.5 rounds up
  EXPECT_EQ(ScaleLength(5, 144), 8);
  EXPECT_EQ(ScaleLength(18, 192), 36);
  EXPECT_EQ(ScaleLength(9, 96), 9);
  EXPECT_EQ(ScaleLength(0, 144), 0);
  EXPECT_EQ(BitmapSliceCount(bitmap::SKIN2_TITLEBUTTONS), 18);
  EXPECT_EQ(BitmapSliceCount(bitmap::SKIN2_TITLEBAR1), 1);
}

}  // namespace
}  // namespace vex::image
