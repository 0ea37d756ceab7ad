// Archive bytes written to a file and extracted, without and with a password.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>

#include "skin2/archive_reader.h"
#include "skin2/byte_io.h"
#include "skin2/temp_platform.h"

namespace {

// A folder of this process's own, removed when the fuzzer ends normally.
struct TWorkDir {
  std::filesystem::path path = vex::skin2::TempDirectory() / ("vexfuzz" + std::to_string(getpid()));
  TWorkDir() { std::filesystem::create_directories(path); }
  ~TWorkDir() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
};

const std::filesystem::path& WorkDir() {
  static const TWorkDir dir;
  return dir.path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto archive = WorkDir() / "in.vsk";
  const auto out = WorkDir() / "out";
  vex::skin2::WriteWholeFile(archive, data, size);
  for (const char* pw : {"", "pw"}) {
    if (vex::skin2::ExtractArchiveMember(archive, "SKINDATA.SK2", out, pw) != vex::skin2::erExtracted &&
        std::filesystem::exists(out))
      __builtin_trap();  // a failed extraction must leave no output
    vex::skin2::RemoveFileQuietly(out);
  }
  return 0;
}
