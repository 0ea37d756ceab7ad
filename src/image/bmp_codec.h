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

// Decodes a complete BMP file image ("BM" header first): 1, 4, 8, 16, 24 and 32 bits per pixel,
// bottom-up and top-down rows, BI_RGB and BI_BITFIELDS, core (12-byte) and info headers of 40, 52,
// 56, 108 and 124 bytes. Every size is checked against the buffer before anything is allocated.
TvexImage DecodeBmp(const std::uint8_t* data, std::size_t size);
inline TvexImage DecodeBmp(const std::vector<std::uint8_t>& bytes) {
  return DecodeBmp(bytes.data(), bytes.size());
}

// Encodes as a 24-bit bottom-up BI_RGB BMP with a 40-byte info header.
std::vector<std::uint8_t> EncodeBmp24(const TvexImage& img);

}  // namespace vex::image
