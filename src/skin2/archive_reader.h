// Extraction of the skin file from a skin archive ("SK" ZIP layout, DEFLATE, optional PKWARE).
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "skin2/skin_error.h"
#include "skin2/temp_platform.h"

namespace vex::skin2 {

// Results of ExtractArchiveMember.
enum TExtractResult : int {
  erExtracted = 0,
  erUnreadable = 1,     // "Failed to read skin file!"
  erWrongPassword = 2,  // "Wrong password!"
};

inline constexpr const char kSkinMemberName[] = "SKINDATA.SK2";

// The largest uncompressed size a member may declare (the default skin file is 115 KB). A member
// that declares more is refused before its output file is even created; one that inflates past
// what it declares is stopped as soon as it does.
inline constexpr std::uint64_t kMaxArchiveMemberSize = std::uint64_t{64} << 20;

// Archives up to this size are read into memory in one piece (the default skin's is 10 KB); larger
// ones are read from the file piece by piece.
inline constexpr std::uint64_t kArchiveReadWholeLimit = std::uint64_t{16} << 20;

// Inflates the member whose name matches `member` (ASCII case-insensitively) into `out`, decrypting
// with `password`, with the results of ExtractArchiveMember. Never throws. `openOutput`, when given,
// runs at the point where an extraction makes its output: once the member is found and its
// declared size accepted, before any of its data is read; an exception from it makes the result
// erUnreadable. `readWholeLimit` is the largest archive read into memory whole.
int ReadArchiveMember(const std::filesystem::path& archive, const std::string& member, const std::string& password,
                      std::vector<std::uint8_t>& out, const std::function<void()>& openOutput = {},
                      std::uint64_t readWholeLimit = kArchiveReadWholeLimit);

// Extracts the member whose name matches `member` (ASCII case-insensitively) to `dest`, decrypting
// with `password` (bytes; empty means none). Never throws. On any result but erExtracted no file
// is left at `dest`. A member declaring more than kMaxArchiveMemberSize bytes is unreadable.
int ExtractArchiveMember(const std::filesystem::path& archive, const std::string& member,
                         const std::filesystem::path& dest, const std::string& password);

// Extracts "SKINDATA.SK2" to a new file in the temporary folder named by a braced GUID, and returns
// its path; the caller owns and deletes that file. Throws EvexSkinError with "Wrong password!" or
// "Failed to read skin file!".
std::filesystem::path ExtractSkinFile(const std::filesystem::path& archive, const std::string& password);

// The skin file of an archive in memory, together with the temporary file ExtractSkinFile would
// have left, which lives as long as this object does.
struct TExtractedSkinFile {
  TTempFile file;
  std::vector<std::uint8_t> bytes;
};

// ExtractSkinFile without reading the file back: the bytes it holds come with it. Throws
// EvexSkinError with the same messages in the same cases.
TExtractedSkinFile ExtractSkinFileToMemory(const std::filesystem::path& archive, const std::string& password);

}  // namespace vex::skin2
