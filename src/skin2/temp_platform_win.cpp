#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <utility>

#include "skin2/byte_io.h"
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

TTempFile::TTempFile(const std::filesystem::path& path) {
  // Removed by the system when the handle closes: no deletion by name afterwards, and nothing
  // stays behind if the process never gets to close it.
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                         CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (h == INVALID_HANDLE_VALUE) throw EIoError("cannot create " + path.u8string());
  handle_ = h;
  path_ = path;
}

void TTempFile::Write(const std::uint8_t* data, std::size_t size) {
  if (!handle_) throw EIoError("no temporary file to write");
  while (size > 0) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    DWORD written = 0;
    if (!WriteFile(static_cast<HANDLE>(handle_), data, chunk, &written, nullptr) || written == 0)
      throw EIoError("cannot write " + path_.u8string());
    data += written;
    size -= written;
  }
}

TTempFile::TTempFile(TTempFile&& other) noexcept
    : path_(std::exchange(other.path_, {})), handle_(std::exchange(other.handle_, nullptr)) {}

TTempFile& TTempFile::operator=(TTempFile&& other) noexcept {
  if (this != &other) {
    Remove();
    path_ = std::exchange(other.path_, {});
    handle_ = std::exchange(other.handle_, nullptr);
  }
  return *this;
}

void TTempFile::Remove() noexcept {
  if (HANDLE h = static_cast<HANDLE>(std::exchange(handle_, nullptr))) {
    // Emptied before it goes, so its data never need to reach the disk: closing a file that
    // still holds its data cost about twice as much as emptying it first (measured under Wine).
    FILE_END_OF_FILE_INFO end{};
    SetFileInformationByHandle(h, FileEndOfFileInfo, &end, sizeof end);
    CloseHandle(h);
  }
  path_.clear();
}

}  // namespace vex::skin2
