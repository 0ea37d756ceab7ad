// The default skin with some records replaced or dropped, as archive bytes: skins with other
// frame sizes, positions or switches for tests.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "image/image.h"
#include "skin2/archive_writer.h"
#include "skin2/default_skin.h"
#include "skin2/skin_file_reader.h"
#include "skin2/skin_file_writer.h"

namespace vex::test {

struct TSkinVariant {
  std::map<std::string, image::TvexImage> bitmaps;  // replaced (or added) bitmaps
  std::map<std::string, std::vector<std::uint8_t>> bitmapFiles;  // replaced by BMP files as they are
  std::map<std::string, std::int32_t> integers;     // replaced integers
  std::map<std::string, std::uint8_t> bytes;        // replaced switches
  std::set<std::string> dropped;                    // records left out

  std::vector<std::uint8_t> Archive() const {
    const std::vector<std::uint8_t> file = skin2::BuildDefaultSkinFile();
    skin2::Tsk2SkinFileReader reader;
    reader.LoadFromBytes(file.data(), file.size());
    skin2::TSkinFileWriter w;
    std::set<std::string> written;
    for (const auto& ref : reader.Records()) {
      std::string name;
      switch (ref.type) {
        case skin2::srtBitmap: {
          name = reader.Bitmaps()[ref.index].name;
          if (dropped.count(name)) break;
          if (auto file = bitmapFiles.find(name); file != bitmapFiles.end()) {
            w.AddBitmapFile(name, file->second);
            break;
          }
          auto it = bitmaps.find(name);
          w.AddBitmap(name, it != bitmaps.end() ? it->second : *reader.Bitmaps()[ref.index].value);
          break;
        }
        case skin2::srtInteger: {
          name = reader.Integers()[ref.index].name;
          if (dropped.count(name)) break;
          auto it = integers.find(name);
          w.AddInteger(name, it != integers.end() ? it->second : reader.Integers()[ref.index].value);
          break;
        }
        case skin2::srtByte: {
          name = reader.Bytes()[ref.index].name;
          if (dropped.count(name)) break;
          auto it = bytes.find(name);
          w.AddByte(name, it != bytes.end() ? it->second : reader.Bytes()[ref.index].value);
          break;
        }
        case skin2::srtString:
          name = reader.Strings()[ref.index].name;
          if (!dropped.count(name)) w.AddString(name, reader.Strings()[ref.index].value);
          break;
      }
      written.insert(name);
    }
    for (const auto& [name, img] : bitmaps)
      if (!written.count(name)) w.AddBitmap(name, img);
    return skin2::WriteSkinArchive(w.Build(), {});
  }
};

}  // namespace vex::test
