// The press of a skinned push button, shared by the wrappers of framework and native buttons: the
// button holds the mouse from its press to its release, shows pressed only while the cursor is
// over it, and clicks only at a release over it after a press on it.
#pragma once

#include <windows.h>
#include <windowsx.h>

#include <cstdint>

#include "engine/skin_control.h"

namespace vex::engine::press {

inline bool Inside(HWND h, LPARAM lParam) {
  RECT r;
  GetClientRect(h, &r);
  const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  return PtInRect(&r, p) != FALSE;
}

// A mouse move while the press lasts: answers whether the look changed.
inline bool Move(HWND h, bool armed, std::uint8_t& state, LPARAM lParam) {
  if (!h || GetCapture() != h || !armed) return false;
  const std::uint8_t before = state;
  if (Inside(h, lParam))
    state |= csPressed;
  else
    state &= static_cast<std::uint8_t>(~csPressed);
  return state != before;
}

// The left button goes down on the button (both halves of a double click are presses).
inline void Down(HWND h, std::uint8_t& state) {
  state |= csPressed;
  if (h) SetCapture(h);
}

// The release: lets go of the mouse; answers whether it clicks.
inline bool Up(HWND h, bool& armed, std::uint8_t& state, LPARAM lParam) {
  const bool wasArmed = armed;
  armed = false;
  if (GetCapture() == h) ReleaseCapture();
  state &= static_cast<std::uint8_t>(~csPressed);
  return wasArmed && Inside(h, lParam);
}

// Another window took the mouse (WM_CAPTURECHANGED): the press ends without a click; answers
// whether there was one to end.
inline bool Lost(HWND h, bool& armed, std::uint8_t& state, LPARAM lParam) {
  if (reinterpret_cast<HWND>(lParam) == h || !armed) return false;
  armed = false;
  state &= static_cast<std::uint8_t>(~csPressed);
  return true;
}

}  // namespace vex::engine::press
