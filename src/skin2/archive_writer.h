// Writes skin archives in the layout the archive reader accepts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vex::skin2 {

struct TArchiveOptions {
  std::string memberName = "SKINDATA.SK2";
  std::string password;         // empty: no encryption
  int level = 9;                // zlib compression level, 0 (stored blocks) to 9
  bool checkByteFromTime = false;  // flag bit 3: the encryption check byte is the time's high byte
  std::uint16_t dosTime = 0x6000;  // 12:00:00
  std::uint16_t dosDate = 0x5921;  // 2024-09-01
};

// Where the writer put each part, so tests can alter an archive on purpose.
struct TArchiveLayout {
  std::size_t localHeader = 0;
  std::size_t data = 0;  // first byte after the local header (the encryption header if any)
  std::size_t dataSize = 0;
  std::size_t centralEntry = 0;
  std::size_t endRecord = 0;
};

// One member, deflated with zlib, first bytes "SK", no extra fields or comments, the end record as
// the last 22 bytes; with a password the traditional PKWARE encryption, whose 12-byte header is
// random but for its check byte.
std::vector<std::uint8_t> WriteSkinArchive(const std::vector<std::uint8_t>& member, const TArchiveOptions& options,
                                           TArchiveLayout* layout = nullptr);

// Raw DEFLATE of a buffer with zlib at the given level.
std::vector<std::uint8_t> DeflateRaw(const std::uint8_t* data, std::size_t size, int level);

}  // namespace vex::skin2
