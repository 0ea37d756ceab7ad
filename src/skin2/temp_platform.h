// The platform services temporary skin files are named and written with.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace vex::skin2 {

// The system's folder for temporary files (GetTempPathW on Windows; TMPDIR, else /tmp, elsewhere).
std::filesystem::path TempDirectory();

// A new GUID as text: braces around five groups of 8, 4, 4, 4 and 12 upper-case hex digits joined
// by hyphens, 38 characters in all (CoCreateGuid on Windows, a random version-4 GUID elsewhere).
std::string NewGuidString();

// A temporary file, removed when the object goes. On Windows
// the file is marked temporary (the system keeps it in memory where it can) and is removed by the
// system when its handle closes, so it goes even when the process dies first; others may open it
// only for reading and only with delete sharing.
class TTempFile {
 public:
  TTempFile() = default;
  // Creates the file empty (replacing one of that name); throws EIoError when it cannot.
  explicit TTempFile(const std::filesystem::path& path);
  ~TTempFile() { Remove(); }
  TTempFile(TTempFile&& other) noexcept;
  TTempFile& operator=(TTempFile&& other) noexcept;
  TTempFile(const TTempFile&) = delete;
  TTempFile& operator=(const TTempFile&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // Appends bytes; throws EIoError when they cannot all be written.
  void Write(const std::uint8_t* data, std::size_t size);
  // Removes the file now; never throws.
  void Remove() noexcept;

 private:
  std::filesystem::path path_;
  void* handle_ = nullptr;  // the open file
};

}  // namespace vex::skin2
