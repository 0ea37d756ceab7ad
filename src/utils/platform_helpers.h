// Menu-item handler installation, form and geometry queries, system-version flags, and User32
// functions bound by name at run time.
#pragma once

#include <windows.h>

#include <string>

#include "host/form.h"
#include "host/menus.h"

namespace vex::utils {

// Menus. HookMenuItems gives the item and all its sub-items the two handlers, records the
// sub-menu images they were hooked under, and rebuilds their menu once.
void HookMenuItems(host::TMenuItem* item, const host::TMenuDrawItemEvent& draw, const host::TMenuMeasureItemEvent& measure);
// How many items the record of sub-menu images holds (one entry per living item).
std::size_t SubMenuRecordSize();
bool IsTopMenuItem(const host::TMenuItem* item);
// The image list to draw an item's image from: the sub-menu images recorded when it was hooked,
// an ancestor's SubMenuImages, or its menu's Images.
const host::TImageList* FindSubMenuImages(const host::TMenuItem* item);

// Forms and geometry.
host::TCustomForm* FindFormByHandle(HWND wnd);
bool IsFormActive(host::TCustomForm* form);
void GetWorkArea(HWND wnd, RECT& area);
void SetFormBounds(host::TCustomForm* form, const RECT& r);
bool PointInRect(int x, int y, const RECT& r);
bool HasProperty(const host::TObject* obj, const std::string& name);

// System version, computed once; tests inject a version.
struct TSystemVersion {
  DWORD major = 0, minor = 0, platform = 0;
};
void SetSystemVersion(const TSystemVersion& v);
TSystemVersion SystemVersion();
// The version's platform: VER_PLATFORM_WIN32_WINDOWS (1) on the 9x family, VER_PLATFORM_WIN32_NT
// (2) on NT-based systems.
bool IsWin9xPlatform();
bool IsWin95();
bool IsWinXPStyle();
bool IsWinVista();

// User32 functions that older systems lack: 0 when unavailable (and for the three that share
// the flag, not looked up again).
BOOL LateGetScrollBarInfo(HWND wnd, LONG objectId, SCROLLBARINFO* info);
BOOL LateGetComboBoxInfo(HWND wnd, COMBOBOXINFO* info);
HWND LateGetAncestor(HWND wnd, UINT flags);
std::wstring GetWindowTextUnicode(HWND wnd);
// Test hook: the name the late binding looks the functions up in (default "User32.dll"), and a
// reset of its caches.
void SetLateBindingModule(const wchar_t* moduleName);

// Whether the system's high-contrast mode is on (SPI_GETHIGHCONTRAST). Test hook: a question that
// answers instead of the system (null: the system again). Wine cannot switch the mode on (it does
// not implement SPI_SETHIGHCONTRAST), so tests under Wine answer for it.
bool HighContrastOn();
void SetHighContrastQuery(bool (*query)());

// Whether the user chose the dark mode for applications: the personalisation setting
// "AppsUseLightTheme" under HKCU\Software\Microsoft\Windows\CurrentVersion\Themes\Personalize
// is 0. Absent (older systems), light.
bool SystemAppsUseDarkMode();

// DwmSetWindowAttribute where the system has it (looked up in "dwmapi.dll" on first use): answers
// false, calling nothing, where it does not. Test hook: the function to call instead, or none
// (as on a system without it); ResetDwmBinding goes back to the system's.
using TDwmSetWindowAttribute = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
bool LateDwmSetWindowAttribute(HWND wnd, DWORD attribute, const void* value, DWORD size);
void SetDwmSetWindowAttributeForTests(TDwmSetWindowAttribute f);
void ResetDwmBinding();
// The attributes the frames set (their numbers in the Windows 11 SDK).
inline constexpr DWORD kDwmWindowCornerPreference = 33, kDwmBorderColor = 34;
inline constexpr DWORD kDwmCornerDefault = 0, kDwmCornerDoNotRound = 1;
inline constexpr DWORD kDwmColorDefault = 0xFFFFFFFF;

// The private message a frame wrapper answers with 1 when its window is active, 2 when not.
inline constexpr UINT SKM_QUERYACTIVE = 0x2AAB;

}  // namespace vex::utils
