#include <windows.h>

#include "host/form_stream.h"

namespace vex::host {

std::string ReadFormResourceText(const wchar_t* resourceName) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC res = FindResourceW(module, resourceName, MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (!res) throw EReadError(0, "form resource not found");
  HGLOBAL data = LoadResource(module, res);
  const DWORD size = SizeofResource(module, res);
  const void* p = data ? LockResource(data) : nullptr;
  if (!p) throw EReadError(0, "form resource cannot be loaded");
  return std::string(static_cast<const char*>(p), size);
}

}  // namespace vex::host
