// BMP file images into the header reader and the decoder (uncompressed, RLE and bit-field paths).
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "image/bmp_codec.h"

namespace {

// Small enough that an RLE stream of two bytes cannot make each run allocate hundreds of MiB.
constexpr std::int64_t kFuzzMaxPixels = std::int64_t{1} << 22;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  bool headersRead = false;
  vex::image::TBmpInfo info;
  try {
    // What a caller weighing a bitmap sees: the headers alone.
    info = vex::image::ReadBmpInfo(data, std::min(size, vex::image::kBmpMaxHeadersSize));
    headersRead = true;
  } catch (const vex::image::EBmpError&) {
  }
  try {
    const vex::image::TvexImage img = vex::image::DecodeBmp(data, size, kFuzzMaxPixels);
    // A decodable image has readable headers that promised exactly its size.
    if (!headersRead || img.Width() != info.width || img.Height() != info.height ||
        img.BitsPerPixel() != static_cast<int>(info.bitsPerPixel))
      __builtin_trap();
  } catch (const vex::image::EBmpError&) {
  }
  return 0;
}
