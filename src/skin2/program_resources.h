// The engine's own bitmaps and icon, drawn by code and compiled into Windows programs as
// resources ("VEXSKIN_MENU_CHECKED", "VEXSKIN_MDI_CONTROLER", "MAINICON").
#pragma once

#include <cstdint>
#include <vector>

#include "image/image.h"

namespace vex::skin2 {

// A 16 x 16 menu check mark on white; white is its mask colour.
image::TvexImage MenuCheckedBitmap();
// 48 x 16: the minimize, restore and close glyphs of a maximized child window, 16 x 16 each from
// the left, black on a magenta background (the bottom-left pixel, so automatic transparency finds it).
image::TvexImage MdiControlerBitmap();
// An icon file with 16 x 16 and 32 x 32 images, 32 bits with alpha.
std::vector<std::uint8_t> MainIconFile();

}  // namespace vex::skin2
