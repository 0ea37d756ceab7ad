#include "skin2/skin_file_reader.h"

#include <algorithm>
#include <cstring>

#include "image/bmp_codec.h"
#include "skin2/archive_reader.h"

namespace vex::skin2 {
namespace {

[[noreturn]] void Fail() { throw EvexSkinError(kFailedToReadMessage); }

char FoldAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

template <class List>
auto FindFirst(const List& list, std::string_view name) -> decltype(&list.front()) {
  for (const auto& item : list)
    if (SameSkinName(item.name, name)) return &item;
  return nullptr;
}

}  // namespace

bool SameSkinName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  return true;
}

Tsk2SkinFileReader::Tsk2SkinFileReader(const std::filesystem::path& archive, const std::string& password) {
  LoadFromArchive(archive, password);
}

void Tsk2SkinFileReader::LoadFromArchive(const std::filesystem::path& archive, const std::string& password) {
  // The temporary copy of the skin file goes with `extracted`, on every path; the records are
  // read from the same bytes in memory.
  const TExtractedSkinFile extracted = ExtractSkinFileToMemory(archive, password);
  LoadFromBytes(extracted.bytes.data(), extracted.bytes.size());
}

void Tsk2SkinFileReader::LoadFromBytes(const std::uint8_t* data, std::size_t size) {
  Tsk2SkinFileReader loaded;
  try {
    loaded.Parse(data, size);
  } catch (const EvexSkinError&) {
    throw;
  } catch (...) {
    Fail();
  }
  *this = std::move(loaded);
}

std::vector<TSkinRecordInfo> ReadSkinRecordChain(const std::uint8_t* data, std::size_t fileSize) {
  if (fileSize < 16) Fail();
  if (LoadLE32(data + 12) != kSkinFileHeaderSize || fileSize < kSkinFileHeaderSize) Fail();

  std::vector<TSkinRecordInfo> chain;
  // One flag per offset a record header can start at: a header seen twice means the chain loops.
  std::vector<bool> visited(fileSize);
  std::int64_t totalPixels = 0;
  std::uint64_t offset = LoadLE32(data + 20);
  for (;;) {
    if (offset > fileSize || kSkinRecordHeaderSize > fileSize - offset) Fail();
    if (visited[static_cast<std::size_t>(offset)]) Fail();
    visited[static_cast<std::size_t>(offset)] = true;
    const std::uint8_t* rec = data + offset;
    const std::uint32_t next = LoadLE32(rec + 73);
    if (next == 0) break;  // the closing record is not loaded

    TSkinRecordInfo r;
    const char* name = reinterpret_cast<const char*>(rec);
    r.name = std::string_view(name, strnlen(name, kSkinRecordNameSize));
    r.type = rec[64];
    r.dataOffset = LoadLE32(rec + 65);
    r.dataSize = LoadLE32(rec + 69);
    const bool fits = r.dataOffset <= fileSize && r.dataSize <= fileSize - r.dataOffset;
    switch (r.type) {
      case srtBitmap: {
        if (r.dataSize == 0 || !fits) Fail();
        // The BMP headers say how large the bitmap will be once decoded.
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(r.dataSize, image::kBmpMaxHeadersSize));
        image::TBmpInfo info;
        try {
          info = image::ReadBmpInfo(data + r.dataOffset, n);
        } catch (const image::EBmpError&) {
          Fail();
        }
        if (info.PixelCount() > kMaxSkinBitmapPixels) Fail();
        totalPixels += info.PixelCount();
        if (totalPixels > kMaxSkinTotalPixels) Fail();
        break;
      }
      case srtInteger:
        if (r.dataSize != 4 || !fits) Fail();
        break;
      case srtByte:
        if (r.dataSize != 1 || !fits) Fail();
        break;
      case srtString:
        if (!fits) Fail();
        break;
      default:
        break;  // unknown record types are skipped
    }
    chain.push_back(r);
    offset = next;
  }
  return chain;
}

void Tsk2SkinFileReader::Parse(const std::uint8_t* data, std::size_t size) {
  const std::vector<TSkinRecordInfo> chain = ReadSkinRecordChain(data, size);
  std::size_t counts[4] = {};
  for (const TSkinRecordInfo& r : chain)
    if (r.type <= srtString) ++counts[r.type];
  bitmaps_.reserve(counts[srtBitmap]);
  integers_.reserve(counts[srtInteger]);
  bytes_.reserve(counts[srtByte]);
  strings_.reserve(counts[srtString]);
  records_.reserve(counts[0] + counts[1] + counts[2] + counts[3]);
  for (const TSkinRecordInfo& r : chain) {
    const std::uint8_t* at = data + r.dataOffset;
    switch (r.type) {
      case srtBitmap: {
        std::unique_ptr<image::TvexImage> bmp;
        try {
          bmp = std::make_unique<image::TvexImage>(
              image::DecodeBmp(at, static_cast<std::size_t>(r.dataSize), kMaxSkinBitmapPixels));
        } catch (const image::EBmpError&) {
          Fail();
        }
        records_.push_back({srtBitmap, bitmaps_.size()});
        bitmaps_.push_back({std::string(r.name), std::move(bmp)});
        break;
      }
      case srtInteger:
        records_.push_back({srtInteger, integers_.size()});
        integers_.push_back({std::string(r.name), static_cast<std::int32_t>(LoadLE32(at))});
        break;
      case srtByte:
        records_.push_back({srtByte, bytes_.size()});
        bytes_.push_back({std::string(r.name), *at});
        break;
      case srtString:
        records_.push_back({srtString, strings_.size()});
        strings_.push_back({std::string(r.name), std::string(reinterpret_cast<const char*>(at), static_cast<std::size_t>(r.dataSize))});
        break;
      default:
        break;
    }
  }
}

const image::TvexImage* Tsk2SkinFileReader::GetBitmapByName(std::string_view name) const {
  auto* item = FindFirst(bitmaps_, name);
  return item ? item->value.get() : nullptr;
}

std::int32_t Tsk2SkinFileReader::GetIntegerByName(std::string_view name) const {
  auto* item = FindFirst(integers_, name);
  return item ? item->value : -1;
}

std::uint8_t Tsk2SkinFileReader::GetByteByName(std::string_view name) const {
  auto* item = FindFirst(bytes_, name);
  return item ? item->value : 0;
}

void Tsk2SkinFileReader::SetTransparentColor(image::TColorRef color) {
  for (auto& item : bitmaps_) item.value->SetFixedTransparentColor(color);
}

}  // namespace vex::skin2
