// A DLL with its own copy of the window subclass chain, as a program has one in its own code and
// another in vexskin.dll (or in a plug-in built with the static library). The chain tests load it
// beside the copy linked into them.
#include <windows.h>

#include "host/subclass.h"

extern "C" {

__declspec(dllexport) BOOL WINAPI ModuleSetSubclass(HWND window, vex::host::TSubclassProc proc, UINT_PTR id, DWORD_PTR data) {
  return vex::host::SetSubclass(window, proc, id, data);
}

__declspec(dllexport) BOOL WINAPI ModuleRemoveSubclass(HWND window, vex::host::TSubclassProc proc, UINT_PTR id) {
  return vex::host::RemoveSubclass(window, proc, id);
}

__declspec(dllexport) LRESULT WINAPI ModuleDefSubclass(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  return vex::host::DefSubclass(window, msg, wParam, lParam);
}

}  // extern "C"
