#include "utils/back_buffer.h"

#include <algorithm>

namespace vex::utils {

TBackBuffer& TBackBuffer::ForThread() {
  thread_local TBackBuffer buffer;
  return buffer;
}

host::TCanvas& TBackBuffer::Canvas(int width, int height) {
  if (bitmap_.Width() < width || bitmap_.Height() < height) {
    bitmap_.SetPixelFormat(host::TPixelFormat::pf24bit);
    bitmap_.SetSize(std::max(bitmap_.Width(), width), std::max(bitmap_.Height(), height));
  }
  return bitmap_.Canvas();
}

void TBackBuffer::CopyTo(HDC target, int x, int y, int width, int height) {
  BitBlt(target, x, y, width, height, bitmap_.Canvas().Handle(), 0, 0, SRCCOPY);
}

}  // namespace vex::utils
