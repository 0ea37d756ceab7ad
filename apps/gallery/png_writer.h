// Screenshots: a rectangle of the screen saved as a PNG file.
#pragma once

#include <windows.h>

#include <string>

namespace vex::gallery {

// Copies the screen rectangle and writes it as a 24-bit PNG; false when it could not.
bool SaveScreenRect(const RECT& r, const std::wstring& path);

}  // namespace vex::gallery
