// Checks a skin against what the engine assumes when it paints.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/scaling.h"
#include "skin2/skin_file_reader.h"

namespace vex::tool {

struct TFinding {
  bool error;           // false: a warning
  std::string key;      // the record the finding is about
  std::string message;  // what is wrong, in words for the skin's author
};

std::vector<TFinding> VerifySkin(const skin2::Tsk2SkinFileReader& skin);

// A record named after a key with a scale's suffix ("SKIN2_BUTTON@150"), and what its base record
// (the key's own) says it should be at that scale.
struct TScaledRecord {
  std::string name;            // as the skin spells it
  std::string key;             // the name without the suffix
  int percent = 0;             // 150 or 200
  int dpi = 0;                 // 144 or 192
  skin2::TSkinRecordType type = skin2::srtBitmap;
  // The key's index in its group: bitmap keys for bitmaps, position keys for integers; -1 when the
  // key is not one of that group (or the record is a byte or a string).
  int keyIndex = -1;
  bool hasBase = false;        // the skin has a record of the key itself, of the same kind
  // Bitmaps: the record's size, and the size the base record gives at this scale, each of the
  // key's `slices` states scaled on its own (meaningful with a base).
  image::TImageSize size, expected;
  int slices = 1;
  // Integers and bytes: the record's value; integers: the base value scaled (meaningful with a base).
  std::int32_t value = 0, scaledBase = 0;
};

// The scaled records of a skin in file order.
std::vector<TScaledRecord> ScaledRecords(const skin2::Tsk2SkinFileReader& skin);

}  // namespace vex::tool
