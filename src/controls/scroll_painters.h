// The painting of skinned scroll bars, written once for the wrappers of scroll-bar controls, of
// the built-in bars of scrolling controls and of native windows alike.
#pragma once

#include <windows.h>

#include "engine/skin_engine.h"
#include "host/canvas.h"

namespace vex::engine {

// The arrow states: 1 normal, 2 hot (the mouse over the arrow), 3 pressed.
struct TScrollArrowStates {
  int up = 1, down = 1;  // left and right for a horizontal bar
};

// A scroll bar into `bar` of the canvas: the bar colour, the two arrows in their states, and,
// when `drawThumb`, the thumb in `thumb` built from the skin's pieces (or its whole-thumb image).
void PaintScrollBar(host::TCanvas& canvas, TvexSkinEngine& engine, const RECT& bar, const RECT& thumb, bool drawThumb,
                    bool vertical, TScrollArrowStates arrows = {}, int dpi = 96);

}  // namespace vex::engine
