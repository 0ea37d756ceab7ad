#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <stdexcept>

#include "skin2/temp_platform.h"

namespace vex::skin2 {

std::filesystem::path TempDirectory() {
  wchar_t buf[MAX_PATH + 2];
  DWORD n = GetTempPathW(MAX_PATH + 1, buf);
  if (n == 0 || n > MAX_PATH + 1) throw std::runtime_error("GetTempPathW failed");
  return std::filesystem::path(std::wstring(buf, n));
}

std::string NewGuidString() {
  GUID g;
  if (FAILED(CoCreateGuid(&g))) throw std::runtime_error("CoCreateGuid failed");
  char text[39];
  std::snprintf(text, sizeof text, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned long>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1],
                g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
  return text;
}

}  // namespace vex::skin2
