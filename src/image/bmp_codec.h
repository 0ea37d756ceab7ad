// Windows BMP files to and from the portable image type.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "image/image.h"

namespace vex::image {

// Raised for every BMP that cannot be decoded; the message says what is wrong with it.
class EBmpError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// How the pixels of a BMP are stored (the header's compression field, OS/2 numbering mapped to
// the Windows one).
enum class TBmpCompression { Rgb, Rle8, Rle4, Bitfields, AlphaBitfields };

// The pixel count DecodeBmp accepts unless its caller asks for less (256 MiB of decoded pixels).
inline constexpr std::int64_t kBmpDefaultMaxPixels = std::int64_t{1} << 26;
// The longest side accepted, as the 16-bit coordinates of the window system allow.
inline constexpr std::int64_t kBmpMaxSide = 32767;

// What the headers of a BMP file declare, read without touching its palette or pixels.
struct TBmpInfo {
  std::uint32_t headerSize = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;  // always positive; topDown tells the row order
  bool topDown = false;
  unsigned bitsPerPixel = 0;
  TBmpCompression compression = TBmpCompression::Rgb;

  std::int64_t PixelCount() const { return std::int64_t{width} * height; }
};

// The headers needed for ReadBmpInfo: the file header and the largest info header.
inline constexpr std::size_t kBmpMaxHeadersSize = 14 + 124;

// Reads and checks the file and info headers only (the first kBmpMaxHeadersSize bytes are enough),
// so a caller can weigh a bitmap before decoding it. Throws EBmpError for a file DecodeBmp would
// refuse on its headers alone.
TBmpInfo ReadBmpInfo(const std::uint8_t* data, std::size_t size);

// Decodes a complete BMP file image ("BM" header first) as the Windows bitmap loader reads it:
// OS/2 1.x core headers (12 bytes, 3-byte palette entries), OS/2 2.x headers (16 and 64 bytes) and
// Windows info headers of 40, 52, 56, 108 and 124 bytes; 1, 4, 8, 16, 24 and 32 bits per pixel;
// bottom-up and top-down rows; BI_RGB, BI_RLE8, BI_RLE4, BI_BITFIELDS and BI_ALPHABITFIELDS (alpha
// is dropped). Palettes may be shorter than 2^bpp (missing entries draw black), and so may the
// padding of the last row. Pixels that a compressed image skips stay black. Images of more than
// maxPixels pixels are refused before anything is allocated; every read is checked against size.
TvexImage DecodeBmp(const std::uint8_t* data, std::size_t size, std::int64_t maxPixels = kBmpDefaultMaxPixels);
inline TvexImage DecodeBmp(const std::vector<std::uint8_t>& bytes, std::int64_t maxPixels = kBmpDefaultMaxPixels) {
  return DecodeBmp(bytes.data(), bytes.size(), maxPixels);
}

// Encodes as a 24-bit bottom-up BI_RGB BMP with a 40-byte info header.
std::vector<std::uint8_t> EncodeBmp24(const TvexImage& img);

}  // namespace vex::image
