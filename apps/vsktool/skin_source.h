// The unpacked form of a skin: one BMP per bitmap record and "skin.ini" for everything else.
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "skin2/skin_file_reader.h"
#include "skin2/skin_file_writer.h"

namespace vex::tool {

// A problem in a skin source folder; the message names the file (and line) at fault.
class ESourceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr const char kSkinIniName[] = "skin.ini";

// Writes the folder's contents for a loaded skin into `dir`, which must exist and be empty.
void WriteSkinSource(const skin2::Tsk2SkinFileReader& skin, const std::filesystem::path& dir);

// Reads a folder written by WriteSkinSource (and perhaps edited since) into records in file order.
skin2::TSkinFileWriter ReadSkinSource(const std::filesystem::path& dir);

// The text form of one name or string value: bare when it is plain, else quoted with escapes.
std::string QuoteIniText(const std::string& text);
// Always quoted, as string values are.
std::string QuoteIniString(const std::string& text);
// The file name a bitmap record is stored under (without the folder); `taken` holds the names
// already used, compared without case, and receives the new one.
std::string BitmapFileName(const std::string& record, std::vector<std::string>& taken);

}  // namespace vex::tool
