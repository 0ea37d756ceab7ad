#include "image/frame_layout.h"

#include <gtest/gtest.h>

namespace vex::image {
namespace {

// The default skin: five sections (31, 136, 17, 13, 14 wide, 31 high), 18 x 18 buttons,
// BX 7, BY 9, IX 21, IY 9, CY 9, borders 5.
TFrameSkin DefaultSkin() {
  TFrameSkin s;
  s.t1w = 31;
  s.t2w = 136;
  s.t3w = 17;
  s.t4w = 13;
  s.t5w = 14;
  s.titleHeight = 31;
  s.buttonStripWidth = 324;
  s.buttonStripHeight = 18;
  s.iconX = 21;
  s.iconY = 9;
  s.captionTop = 9;
  s.buttonX = 7;
  s.buttonY = 9;
  s.leftBorder = s.rightBorder = s.bottomBorder = 5;
  return s;
}

TTitleWindow Window400() {
  TTitleWindow w;
  w.width = 400;
  w.height = 300;
  w.hasClose = w.hasMaximize = w.hasMinimize = w.hasSystemIcon = true;
  return w;
}

TEST(FrameLayout, TheFourHundredPixelWindow) {
  const TFrameSkin s = DefaultSkin();
  const TTitleLayout l = LayoutTitle(s, Window400());
  EXPECT_EQ(l.reserve, 90);  // 73, grown by T3
  EXPECT_EQ(l.rightSectionX, 386);
  ASSERT_EQ(l.buttons.size(), 3u);
  EXPECT_EQ(l.buttons[0].element, teClose);
  EXPECT_EQ(l.buttons[0].rect, (TRect{375, 9, 393, 27}));
  EXPECT_EQ(l.buttons[0].firstSlice, 16);
  EXPECT_EQ(l.buttons[1].rect.left, 355);
  EXPECT_EQ(l.buttons[1].firstSlice, 7);
  EXPECT_EQ(l.buttons[2].rect.left, 335);
  EXPECT_EQ(l.buttons[2].firstSlice, 13);
  EXPECT_EQ(l.buttonsLeft, 333);
  EXPECT_EQ(l.iconX, 21);
  EXPECT_EQ(l.iconY, 9);
  EXPECT_EQ(l.captionX, 41);
  EXPECT_EQ(l.captionY, 9);
  EXPECT_EQ(l.captionFitWidth, 265);
  EXPECT_FALSE(l.narrow);
  TTitleWindow narrow = Window400();
  narrow.width = 121;
  EXPECT_FALSE(LayoutTitle(s, narrow).narrow);
  narrow.width = 120;
  EXPECT_TRUE(LayoutTitle(s, narrow).narrow);
}

TEST(FrameLayout, HelpButtonsZoomedAndNoButtons) {
  const TFrameSkin s = DefaultSkin();
  TTitleWindow w = Window400();
  w.hasHelp = true;
  TTitleLayout l = LayoutTitle(s, w);
  ASSERT_EQ(l.buttons.size(), 4u);
  EXPECT_EQ(l.buttons[3].rect.left, 315);
  EXPECT_EQ(l.buttonsLeft, 333);  // help does not move the strip's left limit
  w.zoomed = true;
  EXPECT_EQ(LayoutTitle(s, w).buttons[1].firstSlice, 10);  // maximize shows restore
  TTitleWindow bare;
  bare.width = 300;
  bare.hasClose = false;
  TFrameSkin three = s;
  three.fiveSections = false;
  EXPECT_EQ(LayoutTitle(three, bare).reserve, 13);
}

TEST(FrameLayout, ButtonRowsMinimizedAndLowIcons) {
  TFrameSkin s = DefaultSkin();
  TTitleWindow w = Window400();
  w.minimized = true;
  TTitleLayout l = LayoutTitle(s, w);
  EXPECT_EQ(l.buttonRow, 4);
  EXPECT_EQ(l.captionY, 4);
  EXPECT_EQ(l.buttons[0].rect.left, 400 - 18 - 5);
  EXPECT_EQ(l.buttons[2].firstSlice, 10);  // minimize shows restore
  s.buttonStripWidth = 16 * 18;
  s.buttonStripHeight = 16;
  EXPECT_EQ(LayoutTitle(s, w).buttonRow, 7);  // (26-16)/2 = 5, and 16 + 5 < 22
  TFrameSkin low = DefaultSkin();
  low.iconY = 2;
  EXPECT_EQ(LayoutTitle(low, Window400()).iconY, 4);
  TTitleWindow noIcon = Window400();
  noIcon.hasSystemIcon = false;
  EXPECT_EQ(LayoutTitle(low, noIcon).captionX, 21);
}

TEST(FrameLayout, HitTestingIncludesEveryEdge) {
  const TFrameSkin s = DefaultSkin();
  const TTitleWindow w = Window400();
  const TTitleLayout l = LayoutTitle(s, w);
  EXPECT_EQ(HitTitleElement(l, s, w, 375, 9), teClose);
  EXPECT_EQ(HitTitleElement(l, s, w, 393, 27), teClose);
  EXPECT_EQ(HitTitleElement(l, s, w, 360, 15), teMaximize);
  EXPECT_EQ(HitTitleElement(l, s, w, 25, 12), teIcon);
  EXPECT_EQ(HitTitleElement(l, s, w, 200, 12), teNone);
}

TEST(FrameLayout, ClientRectsAndWindowSizes) {
  const TFrameSkin s = DefaultSkin();
  EXPECT_EQ(SkinnedClientRect(s, 100, 50, 400, 300, 31, 0), (TRect{105, 81, 495, 345}));
  EXPECT_EQ(SkinnedClientRect(s, 0, 0, 400, 300, 31, 40).top, 40);  // a taller native top wins
  TFrameSkin thin = s;
  thin.leftBorder = 2;
  EXPECT_EQ(SkinnedClientRect(thin, 0, 0, 400, 300, 31, 0).left, 4);  // at least 4 pixels
  // A 300 x 200 dialog with a 22-pixel caption and top edge.
  const TSize2 on = SkinnedWindowSize(s, 300, 200, 22);
  EXPECT_EQ(on.width, 310);
  EXPECT_EQ(on.height, 214);
  const TSize2 off = UnskinnedWindowSize(s, on.width, on.height, 22);
  EXPECT_EQ(off.width, 300);
  EXPECT_EQ(off.height, 200);
}

}  // namespace
}  // namespace vex::image
