// The skin file ("SKINDATA.SK2"): named bitmap, integer, byte and string records.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "image/image.h"
#include "skin2/byte_io.h"
#include "skin2/skin_error.h"

namespace vex::skin2 {

// Record types of the skin file.
enum TSkinRecordType : std::uint8_t { srtBitmap = 0, srtInteger = 1, srtByte = 2, srtString = 3 };

inline constexpr std::size_t kSkinFileHeaderSize = 24;
inline constexpr std::size_t kSkinRecordHeaderSize = 77;
inline constexpr std::size_t kSkinRecordNameSize = 64;

// Budgets on the bitmaps of one skin, weighed on their BMP headers before any is decoded: a skin
// paints nothing larger than a screen or two, so neither one bitmap above 16 M pixels (64 MiB
// decoded) nor all of them above 32 M pixels in total is loaded.
inline constexpr std::int64_t kMaxSkinBitmapPixels = std::int64_t{1} << 24;
inline constexpr std::int64_t kMaxSkinTotalPixels = std::int64_t{1} << 25;

template <class V>
struct TNamedValue {
  std::string name;
  V value;
};

// Reads a skin file once into four lists in file order and answers lookups by name
// (case-insensitive; when a name repeats, the first record wins).
class Tsk2SkinFileReader {
 public:
  // Where each loaded record went, in file order: its type and its index in that type's list.
  struct TRecordRef {
    TSkinRecordType type;
    std::size_t index;
  };

  // An empty reader: every lookup answers its default.
  Tsk2SkinFileReader() = default;
  // Extracts the skin file from the archive and loads it. Throws EvexSkinError.
  Tsk2SkinFileReader(const std::filesystem::path& archive, const std::string& password);

  // Replaces the contents with the skin file of an archive; on failure the contents stay as they
  // were and EvexSkinError carries "Wrong password!" or "Failed to read skin file!". The extracted
  // temporary file is removed on every path.
  void LoadFromArchive(const std::filesystem::path& archive, const std::string& password);
  // The same for the bytes of a skin file already in memory.
  void LoadFromBytes(const std::uint8_t* data, std::size_t size);

  const image::TvexImage* GetBitmapByName(std::string_view name) const;
  std::int32_t GetIntegerByName(std::string_view name) const;  // -1 when absent
  std::uint8_t GetByteByName(std::string_view name) const;     // 0 when absent

  // Every bitmap gets the fixed transparent mode with this colour (TColor order); the bitmaps'
  // transparency switches are left as they are.
  void SetTransparentColor(image::TColorRef color);

  const std::vector<TNamedValue<std::unique_ptr<image::TvexImage>>>& Bitmaps() const { return bitmaps_; }
  const std::vector<TNamedValue<std::int32_t>>& Integers() const { return integers_; }
  const std::vector<TNamedValue<std::uint8_t>>& Bytes() const { return bytes_; }
  const std::vector<TNamedValue<std::string>>& Strings() const { return strings_; }
  const std::vector<TRecordRef>& Records() const { return records_; }

 private:
  void Parse(const std::uint8_t* data, std::size_t size);

  std::vector<TNamedValue<std::unique_ptr<image::TvexImage>>> bitmaps_;
  std::vector<TNamedValue<std::int32_t>> integers_;
  std::vector<TNamedValue<std::uint8_t>> bytes_;
  std::vector<TNamedValue<std::string>> strings_;
  std::vector<TRecordRef> records_;
};

// One record of a skin file's chain, checked against the file; the name points into the file.
struct TSkinRecordInfo {
  std::string_view name;
  std::uint8_t type = 0;
  std::uint64_t dataOffset = 0;
  std::uint64_t dataSize = 0;
};

// Follows the record chain of a skin file in memory without loading anything, up to the closing
// record (which is not listed). Anything that does not fit the file, a chain that loops, a record
// of the wrong size for its type, or bitmaps whose BMP headers are unreadable or declare more than
// the pixel budgets throw EvexSkinError ("Failed to read skin file!").
std::vector<TSkinRecordInfo> ReadSkinRecordChain(const std::uint8_t* data, std::size_t size);

// ASCII case-insensitive equality, the comparison of record names.
bool SameSkinName(std::string_view a, std::string_view b);

}  // namespace vex::skin2
