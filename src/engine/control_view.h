// What a painter needs to know of a control, answered alike by the wrapper of a framework control
// and by the wrapper of a native window: the painting of each kind of control is written once,
// against this view and a canvas.
#pragma once

#include <windows.h>

#include <string>

#include "host/color.h"

namespace vex::host {
class TBitmap;
}

namespace vex::engine {

struct TControlView {
  RECT bounds{0, 0, 0, 0};  // the control's client rectangle
  bool enabled = true;
  bool focused = false;
  bool hot = false;
  bool pressed = false;
  bool isDefault = false;  // the default push button of its window
  int check = BST_UNCHECKED;  // BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE
  bool boxRight = false;      // a check box or radio button with its box at the right edge
  bool boxCentred = false;    // the box centred in the control's height (else at its top)
  int boxInset = 0;           // pixels between a right-hand box and the control's right edge
  bool rightToLeft = false;
  int dpi = 96;  // the resolution the control shows at: the skin is painted scaled to it
  std::wstring caption;
  HFONT font = nullptr;  // the control's own font, if it has one
  host::TColor background = host::clNone;  // what the control stands on; clNone: the form colour
  host::TColor fontColor = host::clNone;   // the caption's colour; clNone: the skin's
  // The glyph of a glyph button (bit buttons, speed buttons) and how glyph and caption are laid
  // out; no bitmap: the caption alone, centred.
  struct TGlyph {
    const host::TBitmap* bitmap = nullptr;
    int count = 1;  // images side by side: normal, disabled, ...
    int layout = 0, margin = -1, spacing = 4;
    bool emptyCaptionNoSpacing = true;
  } glyph;
};

}  // namespace vex::engine
