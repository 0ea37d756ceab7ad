// Real keyboard and mouse input (SendInput) for tests that need the system's own message path:
// focus, dialog characters, menus opened by Alt, hot tracking.
#pragma once

#include <windows.h>

#include <initializer_list>

#include "host/application.h"

namespace vex::test {

// Runs the application's messages for about `ms` milliseconds (input arrives asynchronously).
inline void PumpFor(int ms) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  do {
    host::Application().ProcessMessages();
    Sleep(10);
  } while (static_cast<int>(end - GetTickCount()) > 0);
  host::Application().ProcessMessages();
}

inline void SendKey(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &in, sizeof in);
}

// Presses the keys in order and releases them in reverse order (a chord such as Alt+F).
inline void Chord(std::initializer_list<WORD> keys) {
  for (WORD k : keys) SendKey(k, false);
  for (auto it = keys.end(); it != keys.begin();) SendKey(*--it, true);
}

inline void MoveMouseTo(POINT screen) {
  SetCursorPos(screen.x, screen.y);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = static_cast<LONG>((screen.x * 65535) / (GetSystemMetrics(SM_CXSCREEN) - 1));
  in.mi.dy = static_cast<LONG>((screen.y * 65535) / (GetSystemMetrics(SM_CYSCREEN) - 1));
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
}

inline void MouseButton(bool up) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = up ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN;
  SendInput(1, &in, sizeof in);
}

// A left click at a screen point.
inline void ClickScreen(POINT screen) {
  MoveMouseTo(screen);
  MouseButton(false);
  MouseButton(true);
}

// Brings a top-level window to the front with the keyboard focus, as a user's click would.
inline void Activate(HWND wnd) {
  SetForegroundWindow(wnd);
  SetActiveWindow(wnd);
  PumpFor(50);
}

}  // namespace vex::test
