// Display resolution: the dots per inch of a window and of the system, and the process's
// per-monitor awareness. The functions that newer systems have are bound by name at run time;
// without them every window is at the system's resolution.
#pragma once

#include <windows.h>

namespace vex::host {

inline constexpr int kDefaultDpi = 96;

// The resolution the window is shown at (GetDpiForWindow); the system's where that is missing.
int WindowDpi(HWND window);
// The system's resolution (GetDpiForSystem, else the screen's LOGPIXELSY).
int SystemDpi();
// Declares the process aware of each monitor's resolution, version 2 where the system has it
// (windows then get WM_DPICHANGED and scale themselves), else system aware. Must come before the
// first window; answers whether the declaration was taken.
bool DeclarePerMonitorDpiAwareness();
// A length at `from` dots per inch expressed at `to`, rounded to the nearest pixel.
int ScaleForDpi(int length, int to, int from);
// Test hook: a question that answers WindowDpi instead of the system (null: the system again).
void SetWindowDpiQuery(int (*query)(HWND));

}  // namespace vex::host
