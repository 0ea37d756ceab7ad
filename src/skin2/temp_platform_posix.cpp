#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <utility>

#include "skin2/byte_io.h"
#include "skin2/temp_platform.h"

namespace vex::skin2 {

std::filesystem::path TempDirectory() {
  const char* dir = std::getenv("TMPDIR");
  return std::filesystem::path(dir && *dir ? dir : "/tmp");
}

std::string NewGuidString() {
  static thread_local std::mt19937_64 rng{std::random_device{}()};
  unsigned char b[16];
  for (int i = 0; i < 16; i += 8) {
    std::uint64_t v = rng();
    for (int k = 0; k < 8; ++k) b[i + k] = static_cast<unsigned char>(v >> (8 * k));
  }
  b[6] = static_cast<unsigned char>((b[6] & 0x0F) | 0x40);  // version 4
  b[8] = static_cast<unsigned char>((b[8] & 0x3F) | 0x80);  // RFC 4122 variant
  char text[39];
  std::snprintf(text, sizeof text,
                "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", b[0], b[1],
                b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11], b[12], b[13], b[14], b[15]);
  return text;
}

TTempFile::TTempFile(const std::filesystem::path& path) {
  auto file = std::make_unique<TFile>(path, "wb");
  path_ = path;
  handle_ = file.release();
}

void TTempFile::Write(const std::uint8_t* data, std::size_t size) {
  if (!handle_) throw EIoError("no temporary file to write");
  auto* file = static_cast<TFile*>(handle_);
  file->Write(data, size);
  // Flushed now, so that the bytes are in the file while the object lives.
  file->Flush();
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
  delete static_cast<TFile*>(std::exchange(handle_, nullptr));
  if (path_.empty()) return;
  RemoveFileQuietly(path_);
  path_.clear();
}

}  // namespace vex::skin2
