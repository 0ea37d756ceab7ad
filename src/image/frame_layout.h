// The skinned window frame as numbers: how much frame a window gets, where the title sections,
// title buttons, icon and caption go, and the window sizes when the skin is switched on or off.
// Pure arithmetic over window and skin sizes, shared by the frame painter and its tests.
#pragma once

#include <vector>

#include "image/section_layout.h"

namespace vex::image {

// The skin's frame values (bitmap sizes and positions).
struct TFrameSkin {
  int t1w = 0, t2w = 0, t3w = 0, t4w = 0, t5w = 0;  // title section widths
  int titleHeight = 0;                               // height of the first title section
  int buttonStripWidth = 0, buttonStripHeight = 0;   // the 18-slice title button strip
  bool fiveSections = true;
  int iconX = 0, iconY = 0, captionTop = 0, buttonX = 0, buttonY = 0;
  int leftBorder = 0, rightBorder = 0, bottomBorder = 0;
  // The resolution the values above are for: the layout's own spacings (the icon's 16 pixels, the
  // gaps between buttons, the least border) scale with it.
  int dpi = 96;
  // A spacing of the layout at 96 dots per inch, at this skin's resolution.
  int Px(int length) const { return (length * dpi + 48) / 96; }
};

// Title elements in hit-test order: -1 none, 0 system icon, 1 close, 2 maximize/restore,
// 3 minimize/restore, 4 help.
enum TTitleElement : int { teNone = -1, teIcon = 0, teClose = 1, teMaximize = 2, teMinimize = 3, teHelp = 4 };

struct TTitleButton {
  TTitleElement element;
  TRect rect;      // window coordinates, right and bottom exclusive
  int firstSlice;  // slice of the normal image (1-based, of 18); hot is +1, pressed +2
};

struct TTitleWindow {
  int width = 0, height = 0;
  bool minimized = false, zoomed = false;
  bool hasClose = true, hasMaximize = false, hasMinimize = false, hasHelp = false, hasSystemIcon = false;
};

struct TTitleLayout {
  int reserve = 0;         // R: room the buttons take, with width(T3) in five-section mode
  int captionFitWidth = 0; // the width captions are shortened to
  int captionX = 0, captionY = 0;
  int iconX = 0, iconY = 0;  // meaningful with a system icon
  int buttonRow = 0;
  std::vector<TTitleButton> buttons;  // right to left: close, maximize, minimize, help
  int buttonsLeft = 10000;            // FButtonsLeft
  bool narrow = false;                // narrower than width(T1) + R
  int rightSectionX = 0;              // where the right section (T5, or T3) is drawn
};

// The layout of a title bar (before the caption text is measured: the caption's x and fit width
// do not depend on it).
TTitleLayout LayoutTitle(const TFrameSkin& skin, const TTitleWindow& window);

// The element under a point (window coordinates, edges included); the last match in the order
// icon, close, maximize, minimize, help wins.
TTitleElement HitTitleElement(const TTitleLayout& layout, const TFrameSkin& skin, const TTitleWindow& window, int x, int y);

// The client rectangle of a skinned window at the proposed position (x, y, cx, cy), for an
// ordinary window (borders at least 4 pixels) with the given title height and native top.
TRect SkinnedClientRect(const TFrameSkin& skin, int x, int y, int cx, int cy, int titleHeight, int nativeTop,
                        bool showBorders = true);

// Window sizes when a native window's frame is switched to the skin's and back: the skinned one
// adds both borders and the title (and the bottom border, at least 4) and drops the window's own
// top; switching off reverses it.
struct TSize2 {
  int width, height;
};
TSize2 SkinnedWindowSize(const TFrameSkin& skin, int width, int height, int nativeTop, int menuBarHeight = 0);
TSize2 UnskinnedWindowSize(const TFrameSkin& skin, int width, int height, int nativeTop, int menuBarHeight = 0);

}  // namespace vex::image
