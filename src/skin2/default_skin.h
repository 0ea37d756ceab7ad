// The project's default skin, drawn by code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vex::skin2 {

// The skin file ("SKINDATA.SK2") of the default skin: every colour, position and switch key with
// its value, every bitmap key at its size (24-bit) except the four the skin leaves absent, the two
// system colours, and the closing record.
std::vector<std::uint8_t> BuildDefaultSkinFile();

// The default skin as a skin archive (".vsk"); with a password, encrypted.
std::vector<std::uint8_t> BuildDefaultSkinArchive(const std::string& password = std::string());

}  // namespace vex::skin2
