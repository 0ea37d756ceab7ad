#include "engine/menu_images.h"

#include <windows.h>

#include "host/library_module.h"

namespace vex::engine {

host::TImageList& CheckedMenuImages() {
  static host::TImageList* list = [] {
    auto* l = new host::TImageList(nullptr, 16, 16);
    host::TBitmap glyph;
    if (glyph.LoadFromResourceName(host::LibraryModule(), L"VEXSKIN_MENU_CHECKED")) {
      l->SetSize(glyph.Width(), glyph.Height());
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
  // The names of windows skinned when first activated: a folder picker, the framework's plain form
  // class, two browser forms; the engines' AutoSkinWndClassNames are added to these. Lookups
  // ignore letter case.
  static host::TStringList* list = [] {
    auto* l = new host::TStringList();
    for (const char* n : {"TSelectDirDlg", "TForm", "TfrmRegBrowser", "TfrmFTPBrowser"}) l->Add(n);
    return l;
  }();
  return *list;
}

}  // namespace vex::engine
