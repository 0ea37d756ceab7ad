// Builds skin files: the inverse of Tsk2SkinFileReader.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/image.h"
#include "skin2/skin_file_reader.h"

namespace vex::skin2 {

class TSkinFileWriter {
 public:
  struct TRecord {
    std::string name;
    std::uint8_t type;
    std::vector<std::uint8_t> data;
  };

  // Names longer than 63 bytes do not fit a record header: these throw std::invalid_argument.
  void AddBitmap(const std::string& name, const image::TvexImage& img);  // stored as a 24-bit BMP
  void AddBitmapFile(const std::string& name, std::vector<std::uint8_t> bmpBytes);
  void AddInteger(const std::string& name, std::int32_t value);
  void AddByte(const std::string& name, std::uint8_t value);
  void AddString(const std::string& name, const std::string& text);
  void AddRaw(const std::string& name, std::uint8_t type, std::vector<std::uint8_t> data);

  const std::vector<TRecord>& Records() const { return records_; }

  // The file: header ("VEXATRON_SK2", 24, 2, 24), each record's header followed by its data, and
  // the closing record (empty name, type 2, all offsets 0).
  std::vector<std::uint8_t> Build() const;

 private:
  std::vector<TRecord> records_;
};

}  // namespace vex::skin2
