// A native dialog built from an in-memory dialog template, with the standard controls.
#pragma once

#include <windows.h>

namespace vex::gallery {

// Shows the dialog modally over `owner`; returns IDOK or IDCANCEL.
INT_PTR ShowNativeDialog(HWND owner);

}  // namespace vex::gallery
