// Status bars and tool bars in the skin's colours: the framework's status bar with a grip drawn
// from the skin's lines, and the framework's tool bar drawn through its custom-draw events; native
// tool bars get the flat look on the old platform.
#pragma once

#include <windows.h>

#include "engine/skin_control.h"
#include "host/color.h"

namespace vex::engine {

// The size grip of a status bar of w x h on `dc`: four diagonal lines in the system's inactive
// caption colour on `fill`, with the strips around it blanked in `fill` so the bar's own grip does
// not show beside it.
void PaintStatusGrip(HDC dc, int w, int h, host::TColor fill);

}  // namespace vex::engine
