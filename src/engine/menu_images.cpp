#include "engine/menu_images.h"

#include <windows.h>

namespace vex::engine {

host::TImageList& CheckedMenuImages() {
  static host::TImageList* list = [] {
    auto* l = new host::TImageList(nullptr, 16, 16);
    host::TBitmap glyph;
    if (glyph.LoadFromResourceName(GetModuleHandleW(nullptr), L"VEXSKIN_MENU_CHECKED")) {
      glyph.SetTransparent(true);
      l->AddMasked(glyph, host::clWhite);
    }
    return l;
  }();
  return *list;
}

host::TImageList& MenuPlaceholderImages() {
  static host::TImageList* list = new host::TImageList(nullptr, 16, 16);
  return *list;
}

host::TStringList& AutoSkinClassNames() {
  static host::TStringList* list = new host::TStringList();
  return *list;
}

}  // namespace vex::engine
