// Extraction of the skin file from a skin archive ("SK" ZIP layout, DEFLATE, optional PKWARE).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "skin2/skin_error.h"

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

// Extracts the member whose name matches `member` (ASCII case-insensitively) to `dest`, decrypting
// with `password` (bytes; empty means none). Never throws. On any result but erExtracted no file
// is left at `dest`. A member declaring more than kMaxArchiveMemberSize bytes is unreadable.
int ExtractArchiveMember(const std::filesystem::path& archive, const std::string& member,
                         const std::filesystem::path& dest, const std::string& password);

// Extracts "SKINDATA.SK2" to a new file in the temporary folder named by a braced GUID, and returns
// its path; the caller owns and deletes that file. Throws EvexSkinError with "Wrong password!" or
// "Failed to read skin file!".
std::filesystem::path ExtractSkinFile(const std::filesystem::path& archive, const std::string& password);

}  // namespace vex::skin2
