#include "skin2/skin_file_reader.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "image/bmp_codec.h"
#include "skin2/archive_reader.h"

namespace vex::skin2 {
namespace {

[[noreturn]] void Fail() { throw EvexSkinError(kFailedToReadMessage); }

// Skin files up to this size are read into memory whole; larger ones are read record by record.
constexpr std::uint64_t kReadWholeLimit = 64u << 20;

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
  const std::filesystem::path temp = ExtractSkinFile(archive, password);
  try {
    Tsk2SkinFileReader loaded;
    {
      TFile file(temp, "rb");
      const std::uint64_t size = file.Size();
      if (size <= kReadWholeLimit) {
        // One read instead of a seek and a read per record.
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
        file.ReadExact(bytes.data(), bytes.size());
        file.Close();
        TMemoryReader reader(bytes.data(), bytes.size());
        loaded.Parse(reader);
      } else {
        TFileReader reader(file);
        loaded.Parse(reader);
      }
    }
    RemoveFileQuietly(temp);
    *this = std::move(loaded);
  } catch (const EvexSkinError&) {
    RemoveFileQuietly(temp);
    throw;
  } catch (...) {
    RemoveFileQuietly(temp);
    Fail();
  }
}

void Tsk2SkinFileReader::LoadFromBytes(const std::uint8_t* data, std::size_t size) {
  Tsk2SkinFileReader loaded;
  TMemoryReader reader(data, size);
  try {
    loaded.Parse(reader);
  } catch (const EvexSkinError&) {
    throw;
  } catch (...) {
    Fail();
  }
  *this = std::move(loaded);
}

namespace {

// One record header of the chain, checked against the file.
struct TRecordHeader {
  std::string name;
  std::uint8_t type = 0;
  std::uint64_t dataOffset = 0;
  std::uint64_t dataSize = 0;
};

// Follows the record chain without loading anything. Anything that does not fit the file,
// repeats, has the wrong size for its type, or declares bitmaps beyond the pixel budgets fails
// the whole load here, before a single bitmap is decoded.
std::vector<TRecordHeader> ReadRecordChain(TRandomReader& reader) {
  const std::uint64_t fileSize = reader.Size();
  std::uint8_t header[kSkinFileHeaderSize];
  if (fileSize < 16) Fail();
  reader.ReadAt(0, header, 16);
  if (LoadLE32(header + 12) != kSkinFileHeaderSize) Fail();
  reader.ReadAt(0, header, kSkinFileHeaderSize);

  std::vector<TRecordHeader> chain;
  std::unordered_set<std::uint64_t> visited;
  std::int64_t totalPixels = 0;
  std::uint64_t offset = LoadLE32(header + 20);
  for (;;) {
    if (!visited.insert(offset).second) Fail();  // the chain loops
    std::uint8_t rec[kSkinRecordHeaderSize];
    if (offset > fileSize || kSkinRecordHeaderSize > fileSize - offset) Fail();
    reader.ReadAt(offset, rec, sizeof rec);
    const std::uint32_t next = LoadLE32(rec + 73);
    if (next == 0) break;  // the closing record is not loaded

    TRecordHeader r;
    r.name.assign(reinterpret_cast<const char*>(rec), strnlen(reinterpret_cast<const char*>(rec), kSkinRecordNameSize));
    r.type = rec[64];
    r.dataOffset = LoadLE32(rec + 65);
    r.dataSize = LoadLE32(rec + 69);
    const bool fits = r.dataOffset <= fileSize && r.dataSize <= fileSize - r.dataOffset;
    switch (r.type) {
      case srtBitmap: {
        if (r.dataSize == 0 || !fits) Fail();
        // The BMP headers say how large the bitmap will be once decoded.
        std::uint8_t bmpHeaders[image::kBmpMaxHeadersSize];
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(r.dataSize, sizeof bmpHeaders));
        reader.ReadAt(r.dataOffset, bmpHeaders, n);
        image::TBmpInfo info;
        try {
          info = image::ReadBmpInfo(bmpHeaders, n);
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
    chain.push_back(std::move(r));
    offset = next;
  }
  return chain;
}

}  // namespace

void Tsk2SkinFileReader::Parse(TRandomReader& reader) {
  for (TRecordHeader& r : ReadRecordChain(reader)) {
    switch (r.type) {
      case srtBitmap: {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(r.dataSize));
        reader.ReadAt(r.dataOffset, bytes.data(), bytes.size());
        std::unique_ptr<image::TvexImage> bmp;
        try {
          bmp = std::make_unique<image::TvexImage>(image::DecodeBmp(bytes, kMaxSkinBitmapPixels));
        } catch (const image::EBmpError&) {
          Fail();
        }
        records_.push_back({srtBitmap, bitmaps_.size()});
        bitmaps_.push_back({std::move(r.name), std::move(bmp)});
        break;
      }
      case srtInteger: {
        std::uint8_t v[4];
        reader.ReadAt(r.dataOffset, v, 4);
        records_.push_back({srtInteger, integers_.size()});
        integers_.push_back({std::move(r.name), static_cast<std::int32_t>(LoadLE32(v))});
        break;
      }
      case srtByte: {
        std::uint8_t v;
        reader.ReadAt(r.dataOffset, &v, 1);
        records_.push_back({srtByte, bytes_.size()});
        bytes_.push_back({std::move(r.name), v});
        break;
      }
      case srtString: {
        std::string text(static_cast<std::size_t>(r.dataSize), '\0');
        reader.ReadAt(r.dataOffset, text.data(), text.size());
        records_.push_back({srtString, strings_.size()});
        strings_.push_back({std::move(r.name), std::move(text)});
        break;
      }
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
