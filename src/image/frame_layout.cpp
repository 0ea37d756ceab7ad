#include "image/frame_layout.h"

#include <algorithm>

namespace vex::image {

TTitleLayout LayoutTitle(const TFrameSkin& s, const TTitleWindow& w) {
  TTitleLayout l;
  const int bw = s.buttonStripWidth / 18;
  const int bh = s.buttonStripHeight;
  const int n = (w.hasClose ? 1 : 0) + (w.hasMaximize ? 1 : 0) + (w.hasMinimize ? 1 : 0);
  l.reserve = n ? bw * n + s.Px(2) * (n - 1) + s.Px(15) : s.Px(13);
  const int right = s.fiveSections ? s.t5w : s.t3w;
  l.rightSectionX = w.width - right;
  if (!w.minimized && s.fiveSections) l.reserve += s.t3w;
  l.captionFitWidth = w.width - (s.iconX + s.Px(20)) - l.reserve - s.Px(4);
  l.narrow = !w.minimized && w.width - l.reserve < s.t1w;

  // The row of the icon (and, minimized, of the buttons).
  int y = s.iconY;
  if (w.minimized) {
    y = std::max((s.Px(26) - bh) / 2, 0);
    if (bh + y < s.Px(22)) y += s.Px(2);
  } else if (y <= s.Px(3)) {
    y = s.Px(4);
  }
  l.iconX = std::max(s.iconX, 0);
  l.iconY = y;
  l.captionX = w.hasSystemIcon ? s.iconX + s.Px(20) : s.iconX;
  l.captionY = w.minimized ? s.Px(4) : s.captionTop;

  int x = w.minimized ? w.width - bw - s.Px(5) : w.width - s.buttonX - bw;
  const int row = w.minimized ? y : s.buttonY;
  l.buttonRow = row;
  auto add = [&](TTitleElement e, int normal, bool advance) {
    l.buttons.push_back({e, TRect{x, row, x + bw, row + bh}, normal});
    if (advance) x -= bw + s.Px(2);
  };
  if (w.hasClose) add(teClose, 16, true);
  if (w.hasMaximize) add(teMaximize, (w.zoomed || w.minimized) ? 10 : 7, true);
  if (w.hasMinimize) add(teMinimize, w.minimized ? 10 : 13, true);
  if (w.hasHelp) add(teHelp, 4, false);
  l.buttonsLeft = x + bw;
  return l;
}

TTitleElement HitTitleElement(const TTitleLayout& l, const TFrameSkin& s, const TTitleWindow& w, int x, int y) {
  auto inside = [&](const TRect& r) { return r.left <= x && x <= r.right && r.top <= y && y <= r.bottom; };
  TTitleElement hit = teNone;
  if (w.hasSystemIcon && inside(TRect{l.iconX, l.iconY, l.iconX + s.Px(16), l.iconY + s.Px(16)})) hit = teIcon;
  for (const TTitleButton& b : l.buttons)
    if (inside(b.rect)) hit = b.element;
  return hit;
}

TRect SkinnedClientRect(const TFrameSkin& s, int x, int y, int cx, int cy, int titleHeight, int nativeTop, bool showBorders) {
  TRect r{x, y, x + cx, y + cy};
  r.top = y + std::max(titleHeight, nativeTop);
  if (!showBorders) return r;
  r.left = x + std::max(s.leftBorder, s.Px(4));
  r.right = x + cx - std::max(s.rightBorder, s.Px(4));
  r.bottom = y + cy - std::max(s.bottomBorder, s.Px(4));
  return r;
}

TSize2 SkinnedWindowSize(const TFrameSkin& s, int width, int height, int nativeTop, int menuBarHeight) {
  return {width + s.leftBorder + s.rightBorder, height + s.titleHeight + menuBarHeight + std::max(s.Px(4), s.bottomBorder) - nativeTop};
}

TSize2 UnskinnedWindowSize(const TFrameSkin& s, int width, int height, int nativeTop, int menuBarHeight) {
  return {width - s.rightBorder - s.leftBorder, height + nativeTop - s.titleHeight - menuBarHeight - s.bottomBorder};
}

}  // namespace vex::image
