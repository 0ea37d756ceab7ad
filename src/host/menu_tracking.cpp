#include "host/menu_tracking.h"

#include <commctrl.h>

#include "host/subclass.h"

namespace vex::host {

namespace {

struct TTrack {
  HMENU popup = nullptr, selected = nullptr;
  UINT selectedFlags = 0;
  int step = 0;  // -1 left, +1 right when the popup ended for a move
  bool escaped = false;
  HHOOK hook = nullptr;
};
thread_local TTrack* gTrack = nullptr;

LRESULT CALLBACK MenuFilter(int code, WPARAM wParam, LPARAM lParam) {
  TTrack* t = gTrack;
  if (t && code == MSGF_MENU) {
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE) t->escaped = t->selected == t->popup;
    if (msg->message == WM_KEYDOWN && t->selected == t->popup) {
      // Right moves on unless the selected item opens a submenu of its own; Left always moves
      // back from the first level.
      const bool right = msg->wParam == VK_RIGHT && !(t->selectedFlags & MF_POPUP);
      const bool left = msg->wParam == VK_LEFT;
      if (right || left) {
        t->step = right ? 1 : -1;
        EndMenu();
        return TRUE;
      }
    }
  }
  return CallNextHookEx(t ? t->hook : nullptr, code, wParam, lParam);
}

// Follows the selection for owners that do not pass it on themselves.
LRESULT CALLBACK OwnerSubclass(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (msg == WM_MENUSELECT) NoteMenuBarSelect(wParam, lParam);
  return DefSubclass(wnd, msg, wParam, lParam);
}

constexpr UINT_PTR kOwnerSubclassId = 0x564D42;

}  // namespace

void NoteMenuBarSelect(WPARAM wParam, LPARAM lParam) {
  if (!gTrack) return;
  gTrack->selected = reinterpret_cast<HMENU>(lParam);
  gTrack->selectedFlags = HIWORD(wParam);
}

bool MenuBarTracking() { return gTrack != nullptr; }

int TrackMenuBar(HWND owner, int index, const TMenuBarItems& items, bool* escaped) {
  if (escaped) *escaped = false;
  if (gTrack || !owner || items.count <= 0 || index < 0 || index >= items.count) return -1;
  int last = -1;
  for (int next = index, guard = 0; next >= 0 && guard < 256 && IsWindow(owner); ++guard) {
    index = next;
    next = -1;
    HMENU popup = items.popup(index);
    if (!popup) break;
    RECT r = items.screenRect(index);
    last = index;
    if (items.shown) items.shown(index);
    TTrack track;
    track.popup = track.selected = popup;
    track.hook = SetWindowsHookExW(WH_MSGFILTER, MenuFilter, nullptr, GetCurrentThreadId());
    const bool subclassed = SetSubclass(owner, OwnerSubclass, kOwnerSubclassId, 0) != FALSE;
    gTrack = &track;
    TPMPARAMS params{sizeof params, r};
    TrackPopupMenuEx(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_VERTICAL, r.left, r.bottom, owner, &params);
    gTrack = nullptr;
    if (subclassed && IsWindow(owner)) RemoveSubclass(owner, OwnerSubclass, kOwnerSubclassId);
    if (track.hook) UnhookWindowsHookEx(track.hook);
    if (items.shown) items.shown(-1);
    if (escaped) *escaped = track.escaped;
    if (track.step == 0) break;
    // The neighbouring item that has a popup, round the bar.
    for (int k = 1; k < items.count; ++k) {
      const int candidate = ((index + track.step * k) % items.count + items.count) % items.count;
      if (items.popup(candidate)) {
        next = candidate;
        break;
      }
    }
  }
  return last;
}

}  // namespace vex::host
