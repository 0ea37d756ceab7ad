#include <windows.h>

#include "host/color.h"

namespace vex::host {

TColor ColorToRGB(TColor c) {
  if (IsSystemColor(c)) return static_cast<TColor>(GetSysColor(c & 0xFF));
  return c;
}

}  // namespace vex::host
