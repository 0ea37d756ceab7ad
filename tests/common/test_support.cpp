#include "test_support.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <stdexcept>

#include "skin2/byte_io.h"
#include "skin2/temp_platform.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace vex::test {
namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
const char* kTmpVars[] = {"TMP", "TEMP"};
#else
const char* kTmpVars[] = {"TMPDIR"};
#endif

void SetEnv(const char* name, const std::string& value, bool unset) {
#ifdef _WIN32
  std::wstring wname(name, name + std::strlen(name));
  std::wstring wvalue = fs::u8path(value).wstring();
  SetEnvironmentVariableW(wname.c_str(), unset ? nullptr : wvalue.c_str());
#else
  if (unset)
    unsetenv(name);
  else
    setenv(name, value.c_str(), 1);
#endif
}

std::string GetEnv(const char* name, bool& present) {
#ifdef _WIN32
  std::wstring wname(name, name + std::strlen(name));
  wchar_t buf[4096];
  DWORD n = GetEnvironmentVariableW(wname.c_str(), buf, 4096);
  present = n > 0 && n < 4096;
  return present ? fs::path(std::wstring(buf, n)).u8string() : std::string();
#else
  const char* v = std::getenv(name);
  present = v != nullptr;
  return v ? v : "";
#endif
}

}  // namespace

TScopedTempDir::TScopedTempDir() {
  bool present = false;
  std::string base = GetEnv(kTmpVars[0], present);
  fs::path root = present && !base.empty() ? fs::u8path(base) : fs::temp_directory_path();
  path_ = root / ("vextest" + skin2::NewGuidString());
  fs::create_directories(path_);
  savedTmp_ = base;
  hadTmp_ = present;
  for (const char* v : kTmpVars) SetEnv(v, path_.u8string(), false);
}

TScopedTempDir::~TScopedTempDir() {
  for (const char* v : kTmpVars) SetEnv(v, savedTmp_, !hadTmp_);
  std::error_code ec;
  fs::remove_all(path_, ec);
}

std::vector<std::string> TScopedTempDir::Files() const {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(path_)) names.push_back(e.path().filename().u8string());
  std::sort(names.begin(), names.end());
  return names;
}

void WriteFile(const fs::path& p, const std::vector<std::uint8_t>& bytes) {
  skin2::TFile f(p, "wb");
  f.Write(bytes.data(), bytes.size());
  f.Close();
}

std::vector<std::uint8_t> ReadFile(const fs::path& p) { return skin2::ReadWholeFile(p); }

std::vector<std::uint8_t> ReadFileSharingDelete(const fs::path& p) {
#ifdef _WIN32
  HANDLE h = CreateFileW(p.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + p.u8string());
  LARGE_INTEGER size{};
  GetFileSizeEx(h, &size);
  std::vector<std::uint8_t> data(static_cast<std::size_t>(size.QuadPart));
  DWORD got = 0;
  const BOOL ok = data.empty() || ::ReadFile(h, data.data(), static_cast<DWORD>(data.size()), &got, nullptr);
  CloseHandle(h);
  if (!ok || got != data.size()) throw std::runtime_error("cannot read " + p.u8string());
  return data;
#else
  return ReadFile(p);
#endif
}

std::vector<std::uint8_t> FromHex(const std::string& hex) {
  std::vector<std::uint8_t> out;
  int hi = -1;
  for (char c : hex) {
    int v;
    if (c >= '0' && c <= '9') v = c - '0';
    else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    else continue;
    if (hi < 0) {
      hi = v;
    } else {
      out.push_back(static_cast<std::uint8_t>(hi * 16 + v));
      hi = -1;
    }
  }
  if (hi >= 0) throw std::invalid_argument("odd number of hex digits");
  return out;
}

std::vector<std::uint8_t> RandomBytes(std::size_t n, std::uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<std::uint8_t> v(n);
  for (auto& b : v) b = static_cast<std::uint8_t>(rng());
  return v;
}

std::vector<std::uint8_t> TextBytes(std::size_t n, std::uint32_t seed) {
  static const char* kWords[] = {"the ", "skin ", "engine ", "paints ", "window ", "frame ", "title ",
                                 "bar ", "button ", "of ", "a ", "and ", "menu ", "check ", "box ",
                                 "scroll ", "thumb ", "track ", "tab ", "border ", "caption. ", "\n"};
  std::mt19937 rng(seed);
  std::vector<std::uint8_t> v;
  v.reserve(n + 16);
  while (v.size() < n) {
    const char* w = kWords[rng() % (sizeof kWords / sizeof *kWords)];
    while (*w) v.push_back(static_cast<std::uint8_t>(*w++));
  }
  v.resize(n);
  return v;
}

}  // namespace vex::test
