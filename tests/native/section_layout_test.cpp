#include "image/section_layout.h"

#include <gtest/gtest.h>

#include <functional>

#include "image/region_runs.h"
#include "skin2/default_skin.h"
#include "skin2/skin_file_reader.h"
#include "skin2/skin_keys.h"

namespace vex::image {
namespace {

TEST(NineSection, ButtonSliceIntoASmallerRectangle) {
  // An 84 x 25 button image into a 75 x 23 client rectangle.
  const auto steps = NineSectionLayout(84, 25, 0, 0, 75, 23);
  ASSERT_EQ(steps.size(), 9u);
  struct Expect {
    TSectionStep::TKind kind;
    TRect source, dest;
  };
  const Expect expect[] = {
      {TSectionStep::Corner, {0, 0, 37, 11}, {0, 0, 37, 11}},           // top-left 37 x 11
      {TSectionStep::Corner, {0, 15, 37, 25}, {0, 13, 37, 23}},         // bottom-left 10 rows from y 13
      {TSectionStep::Stretch, {0, 12, 37, 13}, {0, 11, 37, 13}},        // left edge y 11-12
      {TSectionStep::Corner, {48, 0, 84, 11}, {39, 0, 75, 11}},         // top-right 36 x 11
      {TSectionStep::Corner, {48, 15, 84, 25}, {39, 13, 75, 23}},       // bottom-right
      {TSectionStep::Stretch, {48, 12, 84, 13}, {39, 11, 75, 13}},      // right edge: row hh
      {TSectionStep::Stretch, {42, 0, 43, 11}, {37, 0, 39, 11}},        // top edge x 37-38
      {TSectionStep::Stretch, {42, 12, 43, 13}, {37, 11, 39, 12}},      // centre: one row, y 11
      {TSectionStep::Stretch, {42, 14, 43, 25}, {36, 12, 39, 23}},      // bottom edge x 36-38, y 12-22: its lowest 11 rows
  };
  for (std::size_t i = 0; i < 9; ++i) {
    EXPECT_EQ(steps[i].kind, expect[i].kind) << "step " << i + 1;
    EXPECT_EQ(steps[i].source, expect[i].source) << "step " << i + 1;
    EXPECT_EQ(steps[i].dest, expect[i].dest) << "step " << i + 1;
  }
}

TEST(NineSection, ShortRectanglesAndEmptyOnes) {
  // Three pixels tall: HH is 1, so only the top-left corner.
  auto steps = NineSectionLayout(84, 25, 0, 0, 75, 3);
  ASSERT_EQ(steps.size(), 1u);
  EXPECT_EQ(steps[0].dest, (TRect{0, 0, 37, 1}));
  EXPECT_TRUE(NineSectionLayout(84, 25, 0, 5, 75, 5).empty());
  // A large target: corners at their full size, edges and centre stretched.
  steps = NineSectionLayout(85, 25, 0, 0, 300, 100);
  ASSERT_EQ(steps.size(), 9u);
  EXPECT_EQ(steps[0].dest, (TRect{0, 0, 42, 12}));
  EXPECT_EQ(steps[3].dest, (TRect{259, 0, 300, 12}));
  EXPECT_EQ(steps[6].source, (TRect{42, 0, 44, 12}));  // odd width: the top edge takes two columns
}

TEST(ThreeCells, CellsAndTheNarrowCase) {
  auto steps = ThreeCellLayout(60, 8, TRect{10, 5, 110, 13});
  ASSERT_EQ(steps.size(), 3u);
  EXPECT_EQ(steps[0].dest, (TRect{10, 5, 30, 13}));
  EXPECT_EQ(steps[1].source, (TRect{40, 0, 60, 8}));
  EXPECT_EQ(steps[1].dest, (TRect{90, 5, 110, 13}));
  EXPECT_EQ(steps[2].dest, (TRect{30, 5, 90, 13}));
  steps = ThreeCellLayout(60, 8, TRect{0, 0, 12, 8});
  ASSERT_EQ(steps.size(), 1u);
  EXPECT_EQ(steps[0].source, (TRect{0, 0, 12, 8}));
}

TEST(RegionRuns, DefaultSkinTitleScansRowsZeroToFive) {
  const auto file = skin2::BuildDefaultSkinFile();
  skin2::Tsk2SkinFileReader r;
  r.LoadFromBytes(file.data(), file.size());
  const TvexImage* t1 = skin2::LookupBitmap(&r, skin2::bitmap::SKIN2_TITLEBAR1);
  ASSERT_NE(t1, nullptr);
  // A 31-row title image as wide as the window: T1 on the left, mirrored by a plain right part.
  const int width = 200, height = 150;
  TRegionImage title{width, 31, [t1](int x, int y) { return x < t1->Width() ? t1->Pixel(x, y) : 0x1F6794u; }};
  TRegionImage none{width, 5, [](int, int) { return 0u; }};
  const auto rects = WindowRegionRects(title, none, true, false, 0, 5, -1, -1, 0xFF00FF, height, width);
  // Rows 0 to 5 are runs that skip the transparent corner; row 6 on is whole.
  int rowRuns = 0;
  for (const TRect& rc : rects)
    if (rc.Height() == 1) {
      ++rowRuns;
      EXPECT_LT(rc.top, 6);
    }
  EXPECT_EQ(rowRuns, 6);
  EXPECT_GT(rects[0].left, 0);  // row 0 starts right of the rounded corner
  EXPECT_EQ(rects[5].left, 0);  // row 5 reaches the edge
  EXPECT_EQ(rects[6], (TRect{0, 6, width, 31}));
  EXPECT_EQ(rects[7], (TRect{0, 31, width, height}));
  // Without any region switch: the body alone, the whole window.
  const auto plain = WindowRegionRects(title, none, false, false, 0, 5, -1, -1, 0xFF00FF, height, width);
  ASSERT_EQ(plain.size(), 1u);
  EXPECT_EQ(plain[0], (TRect{0, 0, width, height}));
}

TEST(RegionRuns, TracingStopsOnceTheRegionIsBeyondItsBudget) {
  // Titles as tall as a skin may make them: a checkerboard (a run per two pixels, far more than a
  // region may hold) is given up after a small part of it has been read; a plain tall title with
  // its rounded corners is traced whole.
  const int width = 2000, rows = 2000;
  const std::uint32_t key = 0xFF00FF;
  struct Case {
    const char* what;
    std::function<std::uint32_t(int, int)> pixel;
    bool traced;
  };
  const Case cases[] = {
      {"checkerboard", [key](int x, int y) { return ((x + y) & 1) ? key : 0u; }, false},
      {"rounded corners", [key, width](int x, int y) { return (y < 3 && (x < 3 - y || x >= width - 3 + y)) ? key : 0u; }, true},
  };
  for (const Case& c : cases) {
    std::size_t reads = 0;
    TRegionImage title{width, rows, [&](int x, int y) {
                         ++reads;
                         return c.pixel(x, y);
                       }};
    TRegionImage none{width, 5, [](int, int) { return 0u; }};
    const auto rects = WindowRegionRects(title, none, true, false, 0, rows - 1, -1, -1, key, rows + 100, width);
    if (c.traced) {
      ASSERT_EQ(rects.size(), static_cast<std::size_t>(rows) + 1) << c.what;  // a run per row, and the body
      EXPECT_EQ(rects[0], (TRect{3, 0, width - 3, 1})) << c.what;
      EXPECT_EQ(rects[rows - 1], (TRect{0, rows - 1, width, rows})) << c.what;
    } else {
      EXPECT_TRUE(rects.empty()) << c.what;
      EXPECT_LT(reads, static_cast<std::size_t>(width) * rows / 10) << c.what;
    }
  }
}

TEST(RegionRuns, RunsReachTheLastColumn) {
  const std::uint32_t px[2][5] = {{1, 1, 0, 1, 1}, {0, 0, 0, 0, 0}};
  TRegionImage img{5, 2, [&](int x, int y) { return px[y][x]; }};
  const auto runs = OpaqueRuns(img, 0, 2, 0);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0], (TRect{0, 0, 2, 1}));
  EXPECT_EQ(runs[1], (TRect{3, 0, 5, 1}));
}

TEST(RegionRuns, BandsWithTheSameColumnsMerge) {
  const std::vector<TRect> rects = {
      {2, 0, 8, 1},                // row 0: one run
      {1, 1, 3, 2}, {5, 1, 9, 2},  // rows 1 to 3: the same two runs
      {1, 2, 3, 3}, {5, 2, 9, 3},
      {1, 3, 3, 4}, {5, 3, 9, 4},
      {1, 4, 3, 5}, {6, 4, 9, 5},  // row 4: other columns
      {0, 5, 10, 20},              // the body
      {0, 20, 10, 21},             // a row with the body's columns right below it
  };
  const std::vector<TRect> expected = {
      {2, 0, 8, 1}, {1, 1, 3, 4}, {5, 1, 9, 4}, {1, 4, 3, 5}, {6, 4, 9, 5}, {0, 5, 10, 21},
  };
  EXPECT_EQ(CoalesceBands(rects), expected);
  EXPECT_TRUE(CoalesceBands({}).empty());
  // A band of one row followed by a gap does not merge across it.
  const std::vector<TRect> gap = {{0, 0, 4, 1}, {0, 2, 4, 3}};
  EXPECT_EQ(CoalesceBands(gap), gap);
}

}  // namespace
}  // namespace vex::image

namespace vex::image {
namespace {

// Every pixel of the rectangle is painted by some section, for images and rectangles of odd and
// even sizes (a button image of even height once left a row of its left edge unpainted: a line
// through every push button at 150 % and 200 %).
TEST(NineSection, EveryPixelOfTheRectangleIsPainted) {
  const int sizes[][2] = {{84, 25}, {126, 38}, {168, 50}, {84, 24}, {85, 26}, {9, 9}, {10, 10}, {7, 4}};
  const int rects[][2] = {{75, 23}, {126, 38}, {180, 60}, {300, 50}, {40, 12}, {126, 37}, {127, 39}};
  for (const auto& s : sizes)
    for (const auto& r : rects) {
      const int W = r[0], H = r[1];
      std::vector<int> painted(static_cast<std::size_t>(W * H), 0);
      for (const TSectionStep& step : NineSectionLayout(s[0], s[1], 0, 0, W, H)) {
        ASSERT_FALSE(step.source.Empty());
        for (int y = std::max(step.dest.top, 0); y < std::min(step.dest.bottom, H); ++y)
          for (int x = std::max(step.dest.left, 0); x < std::min(step.dest.right, W); ++x) painted[static_cast<std::size_t>(y * W + x)] = 1;
      }
      int missing = 0, firstX = -1, firstY = -1;
      for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
          if (!painted[static_cast<std::size_t>(y * W + x)]) {
            if (!missing) firstX = x, firstY = y;
            ++missing;
          }
      EXPECT_EQ(missing, 0) << "image " << s[0] << "x" << s[1] << " into " << W << "x" << H << ": first unpainted at " << firstX << ","
                            << firstY;
    }
}

}  // namespace
}  // namespace vex::image
