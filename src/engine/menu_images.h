// Process-wide objects of the engine: the image lists of menu check glyphs and placeholders, and
// the class-name lists that decide which windows are skinned.
#pragma once

#include "host/image_list.h"
#include "host/string_list.h"

namespace vex::engine {

// Image 0 is the check glyph of menu items: the program's "VEXSKIN_MENU_CHECKED" until a skin
// supplies one. The list has the size of the glyph it holds.
host::TImageList& CheckedMenuImages();
// The empty list given to main menus that have none.
host::TImageList& MenuPlaceholderImages();
// Window class names to skin when activated, registered by engines (no duplicates).
host::TStringList& AutoSkinClassNames();

}  // namespace vex::engine
