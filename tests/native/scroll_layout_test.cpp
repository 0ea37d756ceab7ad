// Where a skinned scroll bar's arrows and thumb pieces go.
#include <gtest/gtest.h>

#include "image/scroll_layout.h"

namespace vex::image {
namespace {

// A 17-pixel bar 200 long with caps of 4 rows and a grip of 8.
TScrollBarLayoutInput Bar(int thumbTop, int thumbBottom) {
  TScrollBarLayoutInput in;
  in.bar = TRectI{0, 0, 17, 200};
  in.thumb = TRectI{0, thumbTop, 17, thumbBottom};
  in.topCap = 4;
  in.bottomCap = 4;
  in.grip = 8;
  return in;
}

const TThumbPart* Part(const TScrollBarLayout& l, int piece) {
  for (const auto& p : l.parts)
    if (p.piece == piece) return &p;
  return nullptr;
}

TEST(ScrollLayout, ArrowsAreSquaresAtBothEnds) {
  const TScrollBarLayout l = LayoutScrollBar(Bar(17, 60));
  EXPECT_EQ(l.upArrow, (TRectI{0, 0, 17, 17}));
  EXPECT_EQ(l.downArrow, (TRectI{0, 183, 17, 200}));
}

TEST(ScrollLayout, ALongThumbHasItsGripCentredBetweenFillers) {
  // Thumb 17..77: 60 long, inside 54, grip 8 -> 23 above it.
  const TScrollBarLayout l = LayoutScrollBar(Bar(17, 77));
  ASSERT_TRUE(l.thumb);
  EXPECT_FALSE(l.whole);
  ASSERT_NE(Part(l, tpTopCap), nullptr);
  EXPECT_EQ(Part(l, tpTopCap)->dest, (TRectI{0, 17, 17, 21}));
  EXPECT_EQ(Part(l, tpBottomCap)->dest, (TRectI{0, 73, 17, 77}));
  EXPECT_EQ(Part(l, tpBottomCap)->sourceTop, 0);
  EXPECT_EQ(Part(l, tpGrip)->dest, (TRectI{0, 43, 17, 51}));
  EXPECT_FALSE(Part(l, tpGrip)->smooth);
  EXPECT_EQ(Part(l, tpUpperFill)->dest, (TRectI{0, 20, 17, 43}));
  EXPECT_EQ(Part(l, tpLowerFill)->dest, (TRectI{0, 51, 17, 74}));
  EXPECT_TRUE(Part(l, tpLowerFill)->smooth);
  // Caps first, then the grip and the fillers over the inside.
  EXPECT_EQ(l.parts.front().piece, tpTopCap);
}

TEST(ScrollLayout, AGripLongerThanTheInsideIsSqueezedBetweenTheCaps) {
  // Thumb 12 long: inside 6, grip 8.
  const TScrollBarLayout l = LayoutScrollBar(Bar(17, 29));
  ASSERT_NE(Part(l, tpGrip), nullptr);
  EXPECT_EQ(Part(l, tpGrip)->dest, (TRectI{0, 20, 17, 26}));
  EXPECT_TRUE(Part(l, tpGrip)->smooth);
  EXPECT_EQ(Part(l, tpUpperFill), nullptr);
  EXPECT_EQ(Part(l, tpLowerFill), nullptr);
}

TEST(ScrollLayout, AShortThumbShowsTheBottomRowsOfItsBottomCapUnstretched) {
  // Thumb 6 long: half of it (3 rows) shows the cap's last 3 rows.
  const TScrollBarLayout l = LayoutScrollBar(Bar(17, 23));
  const TThumbPart* cap = Part(l, tpBottomCap);
  ASSERT_NE(cap, nullptr);
  EXPECT_EQ(cap->dest, (TRectI{0, 20, 17, 23}));
  EXPECT_EQ(cap->sourceTop, 1);
  EXPECT_EQ(cap->sourceBottom, 4);
  EXPECT_EQ(Part(l, tpGrip), nullptr) << "no inside left between the caps";
}

TEST(ScrollLayout, TheWholeThumbImageOnlyForThumbsOfSixteenAndMore) {
  for (const auto& [length, whole] : {std::pair<int, bool>{15, false}, {16, true}, {80, true}}) {
    TScrollBarLayoutInput in = Bar(17, 17 + length);
    in.wholeThumb = true;
    const TScrollBarLayout l = LayoutScrollBar(in);
    EXPECT_EQ(l.whole, whole) << length;
    if (whole) {
      EXPECT_EQ(l.wholeRect, in.thumb);
      EXPECT_TRUE(l.parts.empty());
    } else {
      EXPECT_FALSE(l.parts.empty());
    }
  }
}

TEST(ScrollLayout, ADisabledOrEmptyThumbDrawsNoThumb) {
  TScrollBarLayoutInput in = Bar(17, 77);
  in.drawThumb = false;
  EXPECT_FALSE(LayoutScrollBar(in).thumb);
  EXPECT_TRUE(LayoutScrollBar(in).parts.empty());
  EXPECT_FALSE(LayoutScrollBar(Bar(40, 40)).thumb);
}

TEST(ScrollLayout, TransposingTwiceGivesTheRectangleBack) {
  const TRectI r{3, 5, 40, 17};
  EXPECT_EQ(Transposed(r), (TRectI{5, 3, 17, 40}));
  EXPECT_EQ(Transposed(Transposed(r)), r);
}

}  // namespace
}  // namespace vex::image
