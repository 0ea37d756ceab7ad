// Thumb positions of the scroll bar being dragged, one record per orientation, kept by the engine
// while the framework's scrolling controls route their scroll messages.
#pragma once

#include <windows.h>

namespace vex::engine {

struct TScrollTrackInfo {
  POINT DragStart{};
  bool Tracking = false;
  int ThumbStart = 0, ThumbEnd = 0, ThumbLength = 0;
  RECT BarRect{};
  SCROLLBARINFO Info{};
  BOOL InfoResult = FALSE;
};

}  // namespace vex::engine
