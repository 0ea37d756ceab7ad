#include "host/dpi.h"

namespace vex::host {
namespace {

template <class F>
F Bound(const char* name) {
  HMODULE user = GetModuleHandleW(L"user32.dll");
  if (!user) return nullptr;
  // Through the generic function pointer type, which converts to any other without a warning.
  return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(user, name)));
}

int (*gQuery)(HWND) = nullptr;

}  // namespace

int ScaleForDpi(int length, int to, int from) {
  if (from <= 0 || to == from) return length;
  return MulDiv(length, to, from);
}

int SystemDpi() {
  using TGetDpiForSystem = UINT(WINAPI*)();
  static const TGetDpiForSystem f = Bound<TGetDpiForSystem>("GetDpiForSystem");
  if (f) {
    const UINT dpi = f();
    if (dpi > 0) return static_cast<int>(dpi);
  }
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : kDefaultDpi;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kDefaultDpi;
}

int WindowDpi(HWND window) {
  if (gQuery) {
    const int dpi = gQuery(window);
    if (dpi > 0) return dpi;
  }
  using TGetDpiForWindow = UINT(WINAPI*)(HWND);
  static const TGetDpiForWindow f = Bound<TGetDpiForWindow>("GetDpiForWindow");
  if (f && window) {
    const UINT dpi = f(window);
    if (dpi > 0) return static_cast<int>(dpi);
  }
  return SystemDpi();
}

bool DeclarePerMonitorDpiAwareness() {
  using TSetContext = BOOL(WINAPI*)(HANDLE);
  if (const TSetContext f = Bound<TSetContext>("SetProcessDpiAwarenessContext")) {
    // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2, then the first version.
    if (f(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4)))) return true;
    if (f(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-3)))) return true;
  }
  using TSetAware = BOOL(WINAPI*)();
  if (const TSetAware f = Bound<TSetAware>("SetProcessDPIAware")) return f() != FALSE;
  return false;
}

void SetWindowDpiQuery(int (*query)(HWND)) { gQuery = query; }

}  // namespace vex::host
