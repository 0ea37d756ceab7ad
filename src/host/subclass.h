// Window subclassing with a chain of procedures per window, the contract of the common controls'
// SetWindowSubclass / RemoveWindowSubclass / DefSubclassProc (the procedure set last runs first,
// each passes the message on with DefSubclass, ids tell two uses of one procedure apart), kept in
// a table of the process instead of a window property.
//
// Why not the common controls' own: they look the chain up as a window property on every message
// and again in every DefSubclassProc. Under Wine a property is a round trip to the window server
// (about 30 microseconds measured), so each message to a subclassed window paid two; a skinned
// native button's repaint cost a fifth more than the button's own paint for that alone. Here the
// lookup is a hash table in the process.
//
// Only the window's own thread may subclass it or remove its subclass (as with the common
// controls). When the last procedure goes and the chain's own procedure is still the window's,
// the window gets its procedure back; when someone subclassed the window after us, the chain
// stays in place and passes every message straight on until the window is destroyed (and the
// module holding this code is then kept loaded: the window still calls it). The chain is dropped
// after WM_NCDESTROY. A window the common controls subclassed before us keeps their chain, ours
// joining it (their last removal would otherwise cut ours off).
//
// The chain's procedures get every message as Unicode (joined to the common controls' chain, as
// theirs pass it): an ANSI window is a Unicode one while subclassed, the system translating text
// both ways, and an ANSI window again once given its procedure back.
// Each copy of this code (a program's own and a DLL's) keeps chains of its own; one copy's chain
// on a window is, for the other, a subclass like any other.
#pragma once

#include <windows.h>

namespace vex::host {

using TSubclassProc = LRESULT(CALLBACK*)(HWND, UINT, WPARAM, LPARAM, UINT_PTR id, DWORD_PTR data);

// Adds `proc` (with `id`) on top of the window's chain, or gives the one already there `data`.
// False for no window, a window of another thread, or a window whose procedure cannot be set.
bool SetSubclass(HWND window, TSubclassProc proc, UINT_PTR id, DWORD_PTR data);
// Takes `proc` (with `id`) out of the window's chain; false when it was not there. Safe inside the
// procedure's own call (the call runs to its end; the chain passes it by from then on).
bool RemoveSubclass(HWND window, TSubclassProc proc, UINT_PTR id);
// Passes a message to the next procedure down the chain (the window's own procedure at its
// bottom). Called from a subclass procedure for the message it is handling.
LRESULT DefSubclass(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace vex::host
