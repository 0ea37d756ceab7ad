// The framework's message record and its own messages (0xB000 range).
#pragma once

#include <windows.h>

#include <functional>

namespace vex::host {

struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

// Every message of a control passes through its WindowProc; replacing it (and calling the saved
// one) is how code outside the control sits in its message path.
using TWndMethod = std::function<void(TMessage&)>;

inline constexpr UINT CM_BASE = 0xB000;
inline constexpr UINT CM_ACTIVATE = CM_BASE + 0;
inline constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
inline constexpr UINT CM_GOTFOCUS = CM_BASE + 2;
inline constexpr UINT CM_LOSTFOCUS = CM_BASE + 3;
// A character typed with Alt held (LParam has bit 29 set, as a WM_SYSCHAR's key data), or one the
// focused control does not take: WParam is the character; a control that acts on it (a menu or
// button accelerator) answers 1. Passed down a parent's children until one takes it.
inline constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;
// A navigation key the focused control does not use itself (WParam the virtual key; Ctrl+Tab):
// offered to the focused control and then to each framework control around it, innermost
// first, until one answers 1 (a page control turns its page).
inline constexpr UINT CM_DIALOGKEY = CM_BASE + 5;
inline constexpr LPARAM kDialogCharAlt = 0x20000000;
inline constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11;
inline constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
inline constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
inline constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
inline constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
inline constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
inline constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
// The form's main menu is being replaced (WParam the new menu, or null): a handler that shows the
// menu elsewhere answers 1 and the form leaves its window without a menu.
inline constexpr UINT CM_MENUCHANGED = CM_BASE + 30;
inline constexpr UINT CM_RELEASE = CM_BASE + 33;
inline constexpr UINT CM_RECREATEWND = CM_BASE + 51;
inline constexpr UINT CM_INVALIDATE = CM_BASE + 52;
inline constexpr UINT CM_FLOAT = CM_BASE + 58;
// A control was inserted into (LParam 1) or is being removed from (LParam 0) a parent: WParam is
// the control. Sent to the parent and passed on up to the form, so the form hears of every control
// that joins or leaves it at any depth.
inline constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 68;
// A form is about to scale to another resolution (WParam the new dots per inch, LParam the old),
// and has scaled (the same numbers): code that placed controls on the form for reasons of its own
// takes them back before and places them again, at the new scale, after.
inline constexpr UINT CM_SCALECHANGING = CM_BASE + 69;
inline constexpr UINT CM_SCALECHANGED = CM_BASE + 70;
// A control's bidirectional mode changed (set, or taken from its parent): a windowed control
// restyles its window and passes the mode on to the children that follow it.
inline constexpr UINT CM_BIDIMODECHANGED = CM_BASE + 71;

// Notifications a parent reflects back to the child control they are about.
inline constexpr UINT CN_BASE = 0xBC00;
inline constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
inline constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
inline constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
// Owner-drawn list controls are asked for the height of an item (variable height) or of all items.
inline constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
// A scroll-bar control's own scrolling (its parent gets WM_HSCROLL or WM_VSCROLL from it).
inline constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
inline constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
// The colours a native control asks its parent for: answered by the control itself (its Color as
// the background, its font's colour for the text).
inline constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
inline constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
inline constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
inline constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;

}  // namespace vex::host
