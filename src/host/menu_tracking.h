// Running the popups of a menu bar that is drawn by its owner (a tool bar's menu buttons, the menu
// band of a skinned frame): one popup at a time below its item, Left and Right moving to the
// neighbouring items, Escape or a click elsewhere ending it.
#pragma once

#include <windows.h>

#include <functional>

namespace vex::host {

struct TMenuBarItems {
  int count = 0;
  // The popup of item i, or null for an item that has none (the arrows pass over it).
  std::function<HMENU(int)> popup;
  // Item i's rectangle in screen coordinates (the popup opens below it and does not cover it).
  std::function<RECT(int)> screenRect;
  // Item i's popup opens (i >= 0) or closes (-1): the owner shows the item pressed or not.
  std::function<void(int)> shown;
};

// Runs the popup of item `index` and, as the arrows ask, of its neighbours, round the bar; commands
// go to `owner`. Answers the last item opened, or -1 when none could open. Returns at once when a
// bar's menu is already running on this thread. `escaped` tells whether Escape closed the last
// popup (the bar then keeps that item hot for the keyboard, as a menu bar does).
int TrackMenuBar(HWND owner, int index, const TMenuBarItems& items, bool* escaped = nullptr);

// Whether a bar's menu runs on this thread now.
bool MenuBarTracking();

// A selection in the open popup (the WM_MENUSELECT its owner received): Right on an item with a
// submenu of its own opens that submenu instead of moving on.
void NoteMenuBarSelect(WPARAM wParam, LPARAM lParam);

}  // namespace vex::host
