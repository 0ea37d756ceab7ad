// The project's built-in skins, drawn by code: the default (light) one and a dark one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vex::skin2 {

// The built-in themes. Both skins carry the same keys with bitmaps of the same sizes; only the
// colours differ.
enum class TSkinTheme { Light, Dark };

// The skin file ("SKINDATA.SK2") of a built-in skin: every colour, position and switch key with
// its value, every bitmap key at its size (24-bit) except the four the skin leaves absent, the two
// system colours; then, for each of kScalePercents, every bitmap again as "KEY@150" ("KEY@200"),
// drawn at that scale at exactly the size scaling the 96-DPI image state by state gives, and the
// position keys whose value at that scale is not the 96-DPI value scaled; and the closing record.
std::vector<std::uint8_t> BuildBuiltInSkinFile(TSkinTheme theme);

// A built-in skin as a skin archive (".vsk"); with a password, encrypted.
std::vector<std::uint8_t> BuildBuiltInSkinArchive(TSkinTheme theme, const std::string& password = std::string());

// The default skin: the light theme.
std::vector<std::uint8_t> BuildDefaultSkinFile();
std::vector<std::uint8_t> BuildDefaultSkinArchive(const std::string& password = std::string());

// The dark skin.
std::vector<std::uint8_t> BuildDarkSkinFile();
std::vector<std::uint8_t> BuildDarkSkinArchive(const std::string& password = std::string());

}  // namespace vex::skin2
