// A native dialog built from an in-memory dialog template, with the standard controls.
#pragma once

#include <windows.h>

namespace vex::gallery {

// Shows the dialog modally over `owner`; returns IDOK or IDCANCEL.
INT_PTR ShowNativeDialog(HWND owner);
// The same dialog, modeless: shown and returned at once; it destroys itself when closed.
HWND OpenNativeDialog(HWND owner);

// Opens a plain Win32 window with a menu bar and a status bar with a size grip, of a class the skin engine is told to skin by name;
// it closes itself from its menu or its close button.
HWND OpenNativeWindow(HWND owner);

}  // namespace vex::gallery
