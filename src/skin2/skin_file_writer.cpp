#include "skin2/skin_file_writer.h"

#include <cstring>
#include <stdexcept>

#include "image/bmp_codec.h"

namespace vex::skin2 {

void TSkinFileWriter::AddRaw(const std::string& name, std::uint8_t type, std::vector<std::uint8_t> data) {
  if (name.size() >= kSkinRecordNameSize) throw std::invalid_argument("record name too long: " + name);
  if (data.size() > 0x7FFFFFFFu) throw std::invalid_argument("record too large: " + name);
  records_.push_back({name, type, std::move(data)});
}

void TSkinFileWriter::AddBitmap(const std::string& name, const image::TvexImage& img) {
  AddRaw(name, srtBitmap, image::EncodeBmp24(img));
}

void TSkinFileWriter::AddBitmapFile(const std::string& name, std::vector<std::uint8_t> bmpBytes) {
  AddRaw(name, srtBitmap, std::move(bmpBytes));
}

void TSkinFileWriter::AddInteger(const std::string& name, std::int32_t value) {
  std::vector<std::uint8_t> v(4);
  StoreLE32(v.data(), static_cast<std::uint32_t>(value));
  AddRaw(name, srtInteger, std::move(v));
}

void TSkinFileWriter::AddByte(const std::string& name, std::uint8_t value) { AddRaw(name, srtByte, {value}); }

void TSkinFileWriter::AddString(const std::string& name, const std::string& text) {
  AddRaw(name, srtString, std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::vector<std::uint8_t> TSkinFileWriter::Build() const {
  std::size_t total = kSkinFileHeaderSize + kSkinRecordHeaderSize;
  for (const TRecord& r : records_) total += kSkinRecordHeaderSize + r.data.size();
  if (total > 0xFFFFFFFFu) throw std::length_error("skin file larger than 4 GiB");

  std::vector<std::uint8_t> out(total, 0);
  std::memcpy(out.data(), "VEXATRON_SK2", 12);
  StoreLE32(out.data() + 12, kSkinFileHeaderSize);
  StoreLE32(out.data() + 16, 2);
  StoreLE32(out.data() + 20, kSkinFileHeaderSize);

  std::size_t pos = kSkinFileHeaderSize;
  for (const TRecord& r : records_) {
    std::uint8_t* h = out.data() + pos;
    std::memcpy(h, r.name.data(), r.name.size());
    h[64] = r.type;
    const std::size_t dataOffset = pos + kSkinRecordHeaderSize;
    StoreLE32(h + 65, static_cast<std::uint32_t>(dataOffset));
    StoreLE32(h + 69, static_cast<std::uint32_t>(r.data.size()));
    pos = dataOffset + r.data.size();
    StoreLE32(h + 73, static_cast<std::uint32_t>(pos));
    if (!r.data.empty()) std::memcpy(out.data() + dataOffset, r.data.data(), r.data.size());
  }
  out[pos + 64] = srtByte;  // the closing record: empty name, type 2, offsets 0
  return out;
}

}  // namespace vex::skin2
