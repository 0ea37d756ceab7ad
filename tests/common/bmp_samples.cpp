#include "bmp_samples.h"

#include "image/little_endian.h"

#include <algorithm>
#include <stdexcept>

namespace vex::test {

namespace {

using Bytes = std::vector<std::uint8_t>;

int LowestBit(std::uint32_t m) {
  int s = 0;
  while (m && !((m >> s) & 1u)) ++s;
  return s;
}
int BitCount(std::uint32_t m) {
  int n = 0;
  for (; m; m &= m - 1) ++n;
  return n;
}

// Places an 8-bit channel value into the bits of a mask, keeping its most significant bits.
std::uint32_t ToMask(std::uint32_t mask, std::uint32_t c8) {
  const int bits = BitCount(mask);
  if (!bits) return 0;
  const std::uint32_t v = bits >= 8 ? c8 << (bits - 8) : c8 >> (8 - bits);
  return (v << LowestBit(mask)) & mask;
}

// Encoded runs of one value, or of two alternating nibbles in RLE4.
std::size_t RunLength(const std::vector<std::uint8_t>& row, std::size_t i, bool fourBit) {
  const std::uint8_t a = row[i];
  const std::uint8_t b = fourBit && i + 1 < row.size() ? row[i + 1] : a;
  std::size_t n = 1;
  while (i + n < row.size() && n < 255 && row[i + n] == ((n % 2) ? b : a)) ++n;
  return n;
}

void EncodeRleRow(const std::vector<std::uint8_t>& row, bool fourBit, Bytes& out) {
  std::size_t i = 0;
  while (i < row.size()) {
    const std::size_t run = RunLength(row, i, fourBit);
    if (run >= 3) {
      const std::uint8_t b = i + 1 < row.size() ? row[i + 1] : row[i];
      out.push_back(static_cast<std::uint8_t>(run));
      out.push_back(fourBit ? static_cast<std::uint8_t>((row[i] << 4) | b) : row[i]);
      i += run;
      continue;
    }
    std::size_t j = i;
    while (j < row.size() && j - i < 255 && RunLength(row, j, fourBit) < 3) ++j;
    const std::size_t n = j - i;
    if (n >= 3) {
      out.push_back(0);
      out.push_back(static_cast<std::uint8_t>(n));
      std::size_t bytes = 0;
      for (std::size_t k = 0; k < n; ++k) {
        if (!fourBit) {
          out.push_back(row[i + k]);
          ++bytes;
        } else if (k % 2 == 0) {
          out.push_back(static_cast<std::uint8_t>(row[i + k] << 4));
          ++bytes;
        } else {
          out.back() = static_cast<std::uint8_t>(out.back() | row[i + k]);
        }
      }
      if (bytes % 2) out.push_back(0);  // absolute runs end on a 16-bit boundary
    } else {
      for (std::size_t k = 0; k < n; ++k) {
        out.push_back(1);
        out.push_back(fourBit ? static_cast<std::uint8_t>(row[i + k] << 4) : row[i + k]);
      }
    }
    i = j;
  }
}

}  // namespace

TIndexedPicture SamplePicture(unsigned colours) {
  // Channel values that 5- and 6-bit channels widen back to themselves.
  static const std::uint32_t palette16[16] = {
      0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xE70818, 0x10EF08, 0x1818F7,
      0xF7E700, 0x00F7EF, 0xEF00E7, 0x081018, 0xE7EFF7, 0x18E710, 0xFF10EF, 0x08F718,
  };
  TIndexedPicture p;
  p.width = 13;
  p.height = 5;
  p.palette.assign(palette16, palette16 + std::min(colours, 16u));
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      int v = 0;
      switch (y) {
        case 0: v = 3; break;                                // one long run
        case 1: v = x; break;                                // all different
        case 2: v = x < 6 ? 5 : (x % 2 ? 9 : 14); break;     // a run, then alternation
        case 3: v = (x * 7 + 2) % 16; break;                 // scattered
        default: {                                           // runs around an even literal stretch
          static const int stretch[4] = {2, 7, 4, 8};
          v = x < 4 ? 1 : x < 8 ? stretch[x - 4] : x < 11 ? 6 : x - 1;
        }
      }
      p.indexes.push_back(static_cast<std::uint8_t>(static_cast<unsigned>(v) % colours));
    }
  return p;
}

std::vector<TBmpFormat> SampleBmpFormats() {
  const std::vector<std::uint32_t> rgb565 = {0xF800, 0x07E0, 0x001F};
  const std::vector<std::uint32_t> bgrx = {0x0000FF00, 0x00FF0000, 0xFF000000};
  const std::vector<std::uint32_t> argb = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
  const std::vector<std::uint32_t> rgb10 = {0x3FF00000, 0x000FFC00, 0x000003FF};
  std::vector<TBmpFormat> f;
  auto add = [&](const char* name, std::uint32_t header, unsigned bpp, std::uint32_t compression, bool topDown = false,
                 std::vector<std::uint32_t> masks = {}, std::uint32_t paletteSize = 0) {
    TBmpFormat x;
    x.name = name;
    x.headerSize = header;
    x.bpp = bpp;
    x.compression = compression;
    x.topDown = topDown;
    x.masks = std::move(masks);
    x.paletteSize = paletteSize;
    f.push_back(std::move(x));
  };
  add("1 bit", 40, 1, 0);
  add("1 bit, top-down", 40, 1, 0, true);
  add("4 bit", 40, 4, 0);
  add("8 bit, 16-entry palette", 40, 8, 0, false, {}, 16);
  add("8 bit, top-down", 40, 8, 0, true, {}, 16);
  add("16 bit 5-5-5", 40, 16, 0);
  add("16 bit 5-5-5, top-down", 40, 16, 0, true);
  add("16 bit 5-6-5 bit fields after the header", 40, 16, 3, false, rgb565);
  add("16 bit 5-6-5 bit fields in a V2 header", 52, 16, 3, false, rgb565);
  add("24 bit", 40, 24, 0);
  add("24 bit, top-down", 40, 24, 0, true);
  add("32 bit", 40, 32, 0);
  add("32 bit, top-down", 40, 32, 0, true);
  add("32 bit bit fields, blue-green-red order", 40, 32, 3, false, bgrx);
  add("32 bit 10-10-10 bit fields", 40, 32, 3, false, rgb10);
  add("32 bit alpha bit fields after the header", 40, 32, 6, false, argb);
  add("32 bit alpha bit fields in a V3 header", 56, 32, 6, false, argb);
  add("32 bit bit fields in a V4 header", 108, 32, 3, false, bgrx);
  add("24 bit V5 header", 124, 24, 0);
  add("8 bit V5 header, top-down", 124, 8, 0, true, {}, 16);
  add("RLE8", 40, 8, 1, false, {}, 16);
  add("RLE8, full palette", 40, 8, 1);
  add("RLE4", 40, 4, 2);
  add("RLE4, V5 header", 124, 4, 2);
  add("OS/2 1.x, 1 bit", 12, 1, 0);
  add("OS/2 1.x, 4 bit", 12, 4, 0);
  add("OS/2 1.x, 8 bit, short palette", 12, 8, 0, false, {}, 16);
  add("OS/2 1.x, 24 bit", 12, 24, 0);
  add("OS/2 2.x short header, 4 bit", 16, 4, 0);
  add("OS/2 2.x short header, 8 bit", 16, 8, 0, false, {}, 16);
  add("OS/2 2.x short header, 24 bit", 16, 24, 0);
  add("OS/2 2.x, 8 bit", 64, 8, 0, false, {}, 16);
  add("OS/2 2.x, RLE8", 64, 8, 1, false, {}, 16);
  add("OS/2 2.x, RLE4", 64, 4, 2);
  add("OS/2 2.x, 24 bit, top-down", 64, 24, 0, true);
  return f;
}

std::vector<std::uint8_t> EncodeRle(const TIndexedPicture& picture, bool fourBit) {
  Bytes out;
  for (int row = 0; row < picture.height; ++row) {
    const int y = picture.height - 1 - row;  // bottom row first
    std::vector<std::uint8_t> line(picture.indexes.begin() + y * picture.width,
                                   picture.indexes.begin() + (y + 1) * picture.width);
    EncodeRleRow(line, fourBit, out);
    out.push_back(0);
    out.push_back(row + 1 == picture.height ? 1 : 0);  // end of bitmap, or end of line
  }
  return out;
}

std::vector<std::uint8_t> EncodeBmp(const TBmpFormat& f, const TIndexedPicture& pic) {
  const bool core = f.headerSize == 12;
  const bool indexed = f.bpp <= 8;
  const std::uint32_t fullPalette = indexed ? 1u << f.bpp : 0;
  const std::uint32_t paletteSize = indexed ? (f.paletteSize ? f.paletteSize : fullPalette) : 0;
  if (pic.palette.size() > (indexed ? paletteSize : 16u)) throw std::invalid_argument("picture needs a larger palette");

  // Pixels first: their size goes into the header.
  Bytes pixels;
  if (f.compression == 1 || f.compression == 2) {
    pixels = EncodeRle(pic, f.compression == 2);
  } else {
    std::vector<std::uint32_t> masks = f.masks;
    if (f.compression == 0 && f.bpp == 16) masks = {0x7C00, 0x03E0, 0x001F};
    if (f.compression == 0 && f.bpp == 32) masks = {0x00FF0000, 0x0000FF00, 0x000000FF};
    const std::size_t stride = (static_cast<std::size_t>(pic.width) * f.bpp + 31) / 32 * 4;
    for (int row = 0; row < pic.height; ++row) {
      const int y = f.topDown ? row : pic.height - 1 - row;
      Bytes line(stride, 0);
      for (int x = 0; x < pic.width; ++x) {
        const std::uint32_t c = pic.Color(x, y);
        const std::uint8_t i = pic.Index(x, y);
        switch (f.bpp) {
          case 1: line[x / 8] = static_cast<std::uint8_t>(line[x / 8] | (i << (7 - x % 8))); break;
          case 4: line[x / 2] = static_cast<std::uint8_t>(line[x / 2] | (i << (x % 2 ? 0 : 4))); break;
          case 8: line[x] = i; break;
          case 24:
            line[x * 3] = static_cast<std::uint8_t>(c);
            line[x * 3 + 1] = static_cast<std::uint8_t>(c >> 8);
            line[x * 3 + 2] = static_cast<std::uint8_t>(c >> 16);
            break;
          default: {
            std::uint32_t v = ToMask(masks[0], (c >> 16) & 0xFF) | ToMask(masks[1], (c >> 8) & 0xFF) |
                              ToMask(masks[2], c & 0xFF);
            if (masks.size() > 3) v |= masks[3];                                 // opaque alpha
            if (f.compression == 0 && f.bpp == 32) v |= 0x99000000u;            // unused byte: ignored
            for (unsigned b = 0; b < f.bpp / 8; ++b) line[x * (f.bpp / 8) + b] = static_cast<std::uint8_t>(v >> (8 * b));
          }
        }
      }
      pixels.insert(pixels.end(), line.begin(), line.end());
    }
  }

  Bytes h;
  const std::int32_t height = f.topDown ? -pic.height : pic.height;
  image::AppendLE32(h, f.headerSize);
  if (core) {
    image::AppendLE16(h, static_cast<std::uint32_t>(pic.width));
    image::AppendLE16(h, static_cast<std::uint32_t>(pic.height));
    image::AppendLE16(h, 1);
    image::AppendLE16(h, f.bpp);
  } else {
    image::AppendLE32(h, static_cast<std::uint32_t>(pic.width));
    image::AppendLE32(h, static_cast<std::uint32_t>(height));
    image::AppendLE16(h, 1);
    image::AppendLE16(h, f.bpp);
    if (f.headerSize >= 40) {
      image::AppendLE32(h, f.compression);
      image::AppendLE32(h, static_cast<std::uint32_t>(pixels.size()));
      image::AppendLE32(h, 2835);
      image::AppendLE32(h, 2835);
      image::AppendLE32(h, paletteSize < fullPalette ? paletteSize : 0);
      image::AppendLE32(h, 0);
    }
    // Bit-field masks begin 40 bytes into the header, and continue after it when it is shorter.
    std::size_t m = 0;
    while (h.size() < f.headerSize) image::AppendLE32(h, f.headerSize != 64 && m < f.masks.size() ? f.masks[m++] : 0);
    for (; m < f.masks.size(); ++m) image::AppendLE32(h, f.masks[m]);
  }
  for (std::uint32_t i = 0; i < paletteSize; ++i) {
    const std::uint32_t c = i < pic.palette.size() ? pic.palette[i] : 0x404040;
    h.push_back(static_cast<std::uint8_t>(c));
    h.push_back(static_cast<std::uint8_t>(c >> 8));
    h.push_back(static_cast<std::uint8_t>(c >> 16));
    if (!core) h.push_back(0);
  }

  Bytes file = {'B', 'M'};
  image::AppendLE32(file, static_cast<std::uint32_t>(14 + h.size() + pixels.size()));
  image::AppendLE32(file, 0);
  image::AppendLE32(file, static_cast<std::uint32_t>(14 + h.size()));
  file.insert(file.end(), h.begin(), h.end());
  file.insert(file.end(), pixels.begin(), pixels.end());
  return file;
}

std::vector<std::uint8_t> BlankRle8Bmp(std::int32_t width, std::int32_t height) {
  Bytes b = {'B', 'M'};
  image::AppendLE32(b, 14 + 40 + 4 + 2);
  image::AppendLE32(b, 0);
  image::AppendLE32(b, 14 + 40 + 4);
  image::AppendLE32(b, 40);
  image::AppendLE32(b, static_cast<std::uint32_t>(width));
  image::AppendLE32(b, static_cast<std::uint32_t>(height));
  image::AppendLE16(b, 1);
  image::AppendLE16(b, 8);
  image::AppendLE32(b, 1);  // BI_RLE8
  for (int i = 0; i < 5; ++i) image::AppendLE32(b, 0);
  image::AppendLE32(b, 0x00336699);  // the palette's one entry
  b.push_back(0);        // end of bitmap
  b.push_back(1);
  return b;
}

}  // namespace vex::test
