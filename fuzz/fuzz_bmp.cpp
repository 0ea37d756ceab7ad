// BMP file images into the decoder.
#include <cstddef>
#include <cstdint>

#include "image/bmp_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    vex::image::DecodeBmp(data, size);
  } catch (const vex::image::EBmpError&) {
  }
  return 0;
}
