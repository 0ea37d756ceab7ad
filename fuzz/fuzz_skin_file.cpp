// Skin file bytes into the record parser.
#include <cstddef>
#include <cstdint>

#include "skin2/skin_file_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vex::skin2::Tsk2SkinFileReader reader;
  try {
    reader.LoadFromBytes(data, size);
    reader.SetTransparentColor(0xFF00FF);
  } catch (const vex::skin2::EvexSkinError&) {
  }
  return 0;
}
