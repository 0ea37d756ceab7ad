#include "skin2/skin_file_reader.h"

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

// Follows the record chain. Anything that does not fit the file, repeats, or has the wrong size
// for its type fails the whole load.
void Tsk2SkinFileReader::Parse(TRandomReader& reader) {
  const std::uint64_t fileSize = reader.Size();
  std::uint8_t header[kSkinFileHeaderSize];
  if (fileSize < 16) Fail();
  reader.ReadAt(0, header, 16);
  if (LoadLE32(header + 12) != kSkinFileHeaderSize) Fail();
  reader.ReadAt(0, header, kSkinFileHeaderSize);

  std::unordered_set<std::uint64_t> visited;
  std::uint64_t offset = LoadLE32(header + 20);
  for (;;) {
    if (!visited.insert(offset).second) Fail();  // the chain loops
    std::uint8_t rec[kSkinRecordHeaderSize];
    if (offset > fileSize || kSkinRecordHeaderSize > fileSize - offset) Fail();
    reader.ReadAt(offset, rec, sizeof rec);
    const std::uint32_t next = LoadLE32(rec + 73);
    if (next == 0) break;  // the closing record is not loaded

    const std::size_t nameLength = strnlen(reinterpret_cast<const char*>(rec), kSkinRecordNameSize);
    std::string name(reinterpret_cast<const char*>(rec), nameLength);
    const std::uint8_t type = rec[64];
    const std::uint64_t dataOffset = LoadLE32(rec + 65);
    const std::uint64_t dataSize = LoadLE32(rec + 69);
    const bool fits = dataOffset <= fileSize && dataSize <= fileSize - dataOffset;

    switch (type) {
      case srtBitmap: {
        if (dataSize == 0 || !fits) Fail();
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(dataSize));
        reader.ReadAt(dataOffset, bytes.data(), bytes.size());
        std::unique_ptr<image::TvexImage> bmp;
        try {
          bmp = std::make_unique<image::TvexImage>(image::DecodeBmp(bytes));
        } catch (const image::EBmpError&) {
          Fail();
        }
        records_.push_back({srtBitmap, bitmaps_.size()});
        bitmaps_.push_back({std::move(name), std::move(bmp)});
        break;
      }
      case srtInteger: {
        if (dataSize != 4 || !fits) Fail();
        std::uint8_t v[4];
        reader.ReadAt(dataOffset, v, 4);
        records_.push_back({srtInteger, integers_.size()});
        integers_.push_back({std::move(name), static_cast<std::int32_t>(LoadLE32(v))});
        break;
      }
      case srtByte: {
        if (dataSize != 1 || !fits) Fail();
        std::uint8_t v;
        reader.ReadAt(dataOffset, &v, 1);
        records_.push_back({srtByte, bytes_.size()});
        bytes_.push_back({std::move(name), v});
        break;
      }
      case srtString: {
        if (!fits) Fail();
        std::string text(static_cast<std::size_t>(dataSize), '\0');
        reader.ReadAt(dataOffset, text.data(), text.size());
        records_.push_back({srtString, strings_.size()});
        strings_.push_back({std::move(name), std::move(text)});
        break;
      }
      default:
        break;  // unknown record types are skipped
    }
    offset = next;
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
