// Helpers shared by the tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vex::test {

// A fresh folder that becomes the process's temporary folder (TMPDIR, or TMP and TEMP on
// Windows) while the object lives, and is removed with everything in it afterwards.
class TScopedTempDir {
 public:
  TScopedTempDir();
  ~TScopedTempDir();
  TScopedTempDir(const TScopedTempDir&) = delete;
  TScopedTempDir& operator=(const TScopedTempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  // Names of the files in the folder, sorted.
  std::vector<std::string> Files() const;

 private:
  std::filesystem::path path_;
  std::string savedTmp_;
  bool hadTmp_ = false;
};

void WriteFile(const std::filesystem::path& p, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadFile(const std::filesystem::path& p);
// Reads a file that another handle holds open with delete sharing (on Windows, a temporary file
// that goes when its handle closes opens only so).
std::vector<std::uint8_t> ReadFileSharingDelete(const std::filesystem::path& p);
std::vector<std::uint8_t> FromHex(const std::string& hex);

// Deterministic pseudo-random bytes.
std::vector<std::uint8_t> RandomBytes(std::size_t n, std::uint32_t seed);
// Text-like bytes: words from a small vocabulary, compressible as prose is.
std::vector<std::uint8_t> TextBytes(std::size_t n, std::uint32_t seed);

}  // namespace vex::test
