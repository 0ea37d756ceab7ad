// The two platform services temporary skin files are named with.
#pragma once

#include <filesystem>
#include <string>

namespace vex::skin2 {

// The system's folder for temporary files (GetTempPathW on Windows; TMPDIR, else /tmp, elsewhere).
std::filesystem::path TempDirectory();

// A new GUID as text: braces around five groups of 8, 4, 4, 4 and 12 upper-case hex digits joined
// by hyphens, 38 characters in all (CoCreateGuid on Windows, a random version-4 GUID elsewhere).
std::string NewGuidString();

}  // namespace vex::skin2
