// One off-screen bitmap per thread that paints are composed in before they go to the window in one
// copy: grown when a paint needs more room, never shrunk, so a paint allocates nothing.
#pragma once

#include <windows.h>

#include "host/bitmap.h"
#include "host/canvas.h"

namespace vex::utils {

class TBackBuffer {
 public:
  // The buffer of the calling thread, at least width x height (24-bit); its contents are left
  // from the last paint.
  static TBackBuffer& ForThread();
  host::TCanvas& Canvas(int width, int height);
  // Copies (0, 0, width, height) of the buffer to `target` at (x, y).
  void CopyTo(HDC target, int x, int y, int width, int height);
  int Width() const { return bitmap_.Width(); }
  int Height() const { return bitmap_.Height(); }

 private:
  host::TBitmap bitmap_;
};

}  // namespace vex::utils
