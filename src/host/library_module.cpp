#include "host/library_module.h"

namespace vex::host {
namespace {

// An address inside this module, to ask the system which module holds it.
const char gAnchor = 0;

}  // namespace

HINSTANCE LibraryModule() {
  static const HINSTANCE module = [] {
    HMODULE m = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&gAnchor), &m))
      m = GetModuleHandleW(nullptr);
    return static_cast<HINSTANCE>(m);
  }();
  return module;
}

}  // namespace vex::host
