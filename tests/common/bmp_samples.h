// BMP files in every layout the decoder reads, written from a small indexed picture: the tests
// compare what the decoder makes of them with the picture, and the fuzz seeds start from them.
#pragma once

#include <cstdint>
#include <vector>

namespace vex::test {

// A picture as palette indexes, top row first; direct-colour formats store palette[index].
struct TIndexedPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> palette;  // 0x00RRGGBB
  std::vector<std::uint8_t> indexes;   // width * height

  std::uint8_t Index(int x, int y) const { return indexes[static_cast<std::size_t>(y * width + x)]; }
  std::uint32_t Color(int x, int y) const { return palette[Index(x, y)]; }
};

// A picture of 13 x 5 pixels with runs, alternations and lone pixels (so RLE encoding uses
// encoded runs, absolute runs of odd and even length and short runs), using `colours` palette
// entries (2 or 16). Every channel of every colour survives 5- and 6-bit storage exactly.
TIndexedPicture SamplePicture(unsigned colours);

// How to store the picture.
struct TBmpFormat {
  const char* name = "";
  std::uint32_t headerSize = 40;  // 12 (OS/2 1.x), 16 or 64 (OS/2 2.x), 40, 52, 56, 108, 124
  unsigned bpp = 24;
  std::uint32_t compression = 0;  // the header's field as written: 0 RGB, 1 RLE8, 2 RLE4, 3 bit fields, 6 alpha bit fields
  bool topDown = false;
  std::vector<std::uint32_t> masks;  // bit fields: red, green, blue (and alpha)
  std::uint32_t paletteSize = 0;     // palette entries written for indexed formats; 0 means 2^bpp
};

// One format of each kind the decoder reads.
std::vector<TBmpFormat> SampleBmpFormats();

// Writes the picture as a complete BMP file in the given format. RLE rows are encoded greedily
// (runs of three or more, absolute runs otherwise) and end with end-of-line, the last one with
// end-of-bitmap.
std::vector<std::uint8_t> EncodeBmp(const TBmpFormat& format, const TIndexedPicture& picture);

// The RLE stream alone, for tests that take it apart.
std::vector<std::uint8_t> EncodeRle(const TIndexedPicture& picture, bool fourBit);

// A black bitmap of width x height pixels in a few bytes: an RLE8 stream that ends at once.
std::vector<std::uint8_t> BlankRle8Bmp(std::int32_t width, std::int32_t height);

}  // namespace vex::test
