#include "image/bmp_codec.h"

#include "image/little_endian.h"

#include <algorithm>
#include <array>
#include <string>

namespace vex::image {
namespace {

// Compression field values. OS/2 2.x headers number their own methods 3 and 4 differently.
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitfields = 3;  // OS/2 2.x: Huffman 1D
constexpr std::uint32_t kBiJpeg = 4;       // OS/2 2.x: RLE24
constexpr std::uint32_t kBiPng = 5;
constexpr std::uint32_t kBiAlphaBitfields = 6;

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;  // OS/2 1.x BITMAPCOREHEADER
constexpr std::uint32_t kOs2ShortHeaderSize = 16;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kOs2HeaderSize = 64;

// RLE escapes: a zero count followed by one of these.
constexpr std::uint8_t kRleEndOfLine = 0;
constexpr std::uint8_t kRleEndOfBitmap = 1;
constexpr std::uint8_t kRleDelta = 2;


// One colour channel described by a bit mask: where it sits and how to widen it to 8 bits.
// Narrow channels repeat their bits downwards (5 bits abcde become abcdeabc), so full intensity
// stays 255 and the steps are even, as the window system widens them.
struct TChannel {
  std::uint32_t mask = 0;
  int shift = 0;
  int bits = 0;

  explicit TChannel(std::uint32_t m = 0) : mask(m) {
    if (!m) return;
    while (!((m >> shift) & 1u)) ++shift;
    const std::uint32_t v = m >> shift;
    while (bits < 32 && ((v >> bits) & 1u)) ++bits;
  }
  std::uint32_t Extract(std::uint32_t px) const {
    if (!bits) return 0;
    const std::uint32_t v = (px & mask) >> shift;
    if (bits >= 8) return (v >> (bits - 8)) & 0xFFu;
    const std::uint32_t value = v & ((1u << bits) - 1u);
    std::uint32_t wide = 0;
    int filled = 0;
    while (filled < 8) {
      wide = (wide << bits) | value;
      filled += bits;
    }
    return (wide >> (filled - 8)) & 0xFFu;
  }
};

// Everything the headers say: the declared image and where its parts lie in the file.
struct TLayout {
  TBmpInfo info;
  std::uint32_t pixelOffset = 0;  // as the file header gives it
  std::uint32_t sizeImage = 0;
  std::uint32_t colorsUsed = 0;
  std::size_t paletteEntry = 4;
  std::uint64_t afterHeader = 0;  // first byte after the info header and any masks that follow it
  std::array<std::uint32_t, 4> masks{};
};

TLayout ParseHeaders(const std::uint8_t* data, std::size_t size) {
  if (size < kFileHeaderSize + 4) throw EBmpError("BMP too short");
  if (data[0] != 'B' || data[1] != 'M') throw EBmpError("not a BMP file (no BM signature)");
  TLayout l;
  l.pixelOffset = LoadLE32(data + 10);
  const std::uint32_t headerSize = LoadLE32(data + 14);
  switch (headerSize) {
    case kCoreHeaderSize: case kOs2ShortHeaderSize: case kInfoHeaderSize: case 52: case 56:
    case kOs2HeaderSize: case 108: case 124:
      break;
    default:
      throw EBmpError("unsupported BMP header size " + std::to_string(headerSize));
  }
  if (kFileHeaderSize + headerSize > size) throw EBmpError("BMP header truncated");
  const std::uint8_t* h = data + kFileHeaderSize;
  l.info.headerSize = headerSize;
  l.afterHeader = kFileHeaderSize + headerSize;

  std::int64_t width = 0, height = 0;
  unsigned bpp = 0;
  std::uint32_t compression = kBiRgb;
  if (headerSize == kCoreHeaderSize) {
    width = LoadLE16(h + 4);
    height = LoadLE16(h + 6);
    bpp = LoadLE16(h + 10);
    l.paletteEntry = 3;
  } else {
    // The OS/2 2.x headers begin as the Windows info header does; the short one stops after the
    // bit count and leaves the rest zero.
    width = static_cast<std::int32_t>(LoadLE32(h + 4));
    height = static_cast<std::int32_t>(LoadLE32(h + 8));
    bpp = LoadLE16(h + 14);
    if (headerSize >= kInfoHeaderSize) {
      compression = LoadLE32(h + 16);
      l.sizeImage = LoadLE32(h + 20);
      l.colorsUsed = LoadLE32(h + 32);
    }
  }

  const bool os2 = headerSize == kOs2HeaderSize;
  TBmpCompression c = TBmpCompression::Rgb;
  switch (compression) {
    case kBiRgb: c = TBmpCompression::Rgb; break;
    case kBiRle8: c = TBmpCompression::Rle8; break;
    case kBiRle4: c = TBmpCompression::Rle4; break;
    case kBiBitfields:
      if (os2) throw EBmpError("OS/2 Huffman-coded BMP is not supported");
      c = TBmpCompression::Bitfields;
      break;
    case kBiJpeg: throw EBmpError(os2 ? "OS/2 RLE24 BMP is not supported" : "JPEG-compressed BMP is not supported");
    case kBiPng: throw EBmpError("PNG-compressed BMP is not supported");
    case kBiAlphaBitfields:
      if (os2) throw EBmpError("unsupported BMP compression");
      c = TBmpCompression::AlphaBitfields;
      break;
    default: throw EBmpError("unsupported BMP compression " + std::to_string(compression));
  }
  switch (c) {
    case TBmpCompression::Rgb:
      if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        throw EBmpError("unsupported BMP bit count " + std::to_string(bpp));
      break;
    case TBmpCompression::Rle8:
      if (bpp != 8) throw EBmpError("BI_RLE8 needs 8 bits per pixel");
      break;
    case TBmpCompression::Rle4:
      if (bpp != 4) throw EBmpError("BI_RLE4 needs 4 bits per pixel");
      break;
    case TBmpCompression::Bitfields:
    case TBmpCompression::AlphaBitfields:
      if (bpp != 16 && bpp != 32) throw EBmpError("bit fields need 16 or 32 bits per pixel");
      break;
  }

  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (width <= 0 || height <= 0) throw EBmpError("BMP has no pixels");
  if (width > kBmpMaxSide || height > kBmpMaxSide) throw EBmpError("BMP too large");
  if (topDown && (c == TBmpCompression::Rle8 || c == TBmpCompression::Rle4))
    throw EBmpError("a compressed BMP cannot be top-down");

  if (c == TBmpCompression::Bitfields || c == TBmpCompression::AlphaBitfields) {
    // The masks sit right after the first 40 header bytes: inside the larger headers, after the
    // 40-byte one.
    const std::size_t count = c == TBmpCompression::AlphaBitfields ? 4 : 3;
    const std::uint64_t masksEnd = kFileHeaderSize + kInfoHeaderSize + 4 * count;
    if (masksEnd > size) throw EBmpError("BMP bit fields truncated");
    for (std::size_t i = 0; i < count; ++i) l.masks[i] = LoadLE32(data + kFileHeaderSize + kInfoHeaderSize + 4 * i);
    l.afterHeader = std::max(l.afterHeader, masksEnd);
  }

  l.info.width = static_cast<std::int32_t>(width);
  l.info.height = static_cast<std::int32_t>(height);
  l.info.topDown = topDown;
  l.info.bitsPerPixel = bpp;
  l.info.compression = c;
  return l;
}

// Uncompressed rows, stride-aligned to four bytes; the last row's padding may be missing.
void DecodeRows(const TLayout& l, const std::uint8_t* pixels, const std::vector<std::uint32_t>& palette,
                TvexImage& img) {
  const std::int64_t width = l.info.width, height = l.info.height;
  const unsigned bpp = l.info.bitsPerPixel;
  const std::uint64_t stride = ((static_cast<std::uint64_t>(width) * bpp + 31) / 32) * 4;

  std::array<std::uint32_t, 3> masks = {l.masks[0], l.masks[1], l.masks[2]};
  if (l.info.compression == TBmpCompression::Rgb) {
    if (bpp == 16) masks = {0x7C00, 0x03E0, 0x001F};  // 5-5-5
    if (bpp == 32) masks = {0x00FF0000, 0x0000FF00, 0x000000FF};
  }
  const TChannel red(masks[0]), green(masks[1]), blue(masks[2]);

  for (std::int64_t row = 0; row < height; ++row) {
    const std::uint8_t* src = pixels + stride * static_cast<std::uint64_t>(row);
    std::uint32_t* dst = img.Row(static_cast<int>(l.info.topDown ? row : height - 1 - row));
    switch (bpp) {
      case 1:
        for (std::int64_t x = 0; x < width; ++x) dst[x] = palette[(src[x >> 3] >> (7 - (x & 7))) & 1u];
        break;
      case 4:
        for (std::int64_t x = 0; x < width; ++x) dst[x] = palette[(src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xFu];
        break;
      case 8:
        for (std::int64_t x = 0; x < width; ++x) dst[x] = palette[src[x]];
        break;
      case 24:
        for (std::int64_t x = 0; x < width; ++x) {
          const std::uint8_t* s = src + x * 3;
          dst[x] = (std::uint32_t{s[2]} << 16) | (std::uint32_t{s[1]} << 8) | s[0];
        }
        break;
      default:
        for (std::int64_t x = 0; x < width; ++x) {
          const std::uint32_t v = bpp == 16 ? LoadLE16(src + x * 2) : LoadLE32(src + x * 4);
          dst[x] = (red.Extract(v) << 16) | (green.Extract(v) << 8) | blue.Extract(v);
        }
        break;
    }
  }
}

// BI_RLE8 and BI_RLE4: pairs of (count, value) runs and escapes, rows from the bottom up. Runs
// past the right edge are clipped, not wrapped; pixels the stream skips stay black; a stream that
// ends without its end-of-bitmap escape ends the image there. Each pixel is written at most once,
// so the work is bounded by the image and the stream.
void DecodeRle(const std::uint8_t* p, const std::uint8_t* end, bool fourBit, const std::vector<std::uint32_t>& palette,
               TvexImage& img) {
  const std::int64_t width = img.Width(), height = img.Height();
  std::int64_t x = 0, row = 0;  // row 0 is the bottom one
  // Writes `count` pixels from x on, clipped to the row, taking indexes from indexOf(i).
  auto span = [&](std::int64_t count, auto indexOf) {
    if (x < width) {
      std::uint32_t* dst = img.Row(static_cast<int>(height - 1 - row));
      const std::int64_t n = std::min(count, width - x);
      for (std::int64_t i = 0; i < n; ++i) dst[x + i] = palette[indexOf(i)];
    }
    x += count;
  };
  while (row < height && end - p >= 2) {
    const std::uint8_t count = p[0], value = p[1];
    p += 2;
    if (count > 0) {
      if (fourBit) {
        const unsigned hi = value >> 4u, lo = value & 0xFu;
        span(count, [hi, lo](std::int64_t i) { return (i & 1) ? lo : hi; });
      } else {
        span(count, [value](std::int64_t) { return value; });
      }
      continue;
    }
    switch (value) {
      case kRleEndOfLine:
        x = 0;
        ++row;
        break;
      case kRleEndOfBitmap:
        return;
      case kRleDelta:
        if (end - p < 2) return;
        x += p[0];
        row += p[1];
        p += 2;
        break;
      default: {
        // Absolute mode: `value` literal pixels, their bytes padded to an even count.
        const std::int64_t bytes = fourBit ? (value + 1) / 2 : value;
        if (end - p < bytes) return;
        const std::uint8_t* literal = p;
        if (fourBit) {
          span(value, [literal](std::int64_t i) {
            const unsigned b = literal[i >> 1];
            return (i & 1) ? b & 0xFu : b >> 4;
          });
        } else {
          span(value, [literal](std::int64_t i) { return literal[i]; });
        }
        p += bytes;
        if ((bytes & 1) && p < end) ++p;
        break;
      }
    }
  }
}

}  // namespace

TBmpInfo ReadBmpInfo(const std::uint8_t* data, std::size_t size) { return ParseHeaders(data, size).info; }

TvexImage DecodeBmp(const std::uint8_t* data, std::size_t size, std::int64_t maxPixels) {
  const TLayout l = ParseHeaders(data, size);
  const TBmpInfo& info = l.info;
  if (info.PixelCount() > maxPixels)
    throw EBmpError("BMP too large: " + std::to_string(info.width) + " x " + std::to_string(info.height) +
                    " pixels, more than " + std::to_string(maxPixels));
  const unsigned bpp = info.bitsPerPixel;

  // A pixel offset inside the headers is a writer's mistake (often 0): the pixels then follow
  // the palette, as they do in a packed bitmap.
  const bool offsetUsable = l.pixelOffset >= l.afterHeader;
  std::uint64_t pixelStart = l.pixelOffset;

  std::vector<std::uint32_t> palette;
  if (bpp <= 8) {
    const std::uint64_t maxColors = std::uint64_t{1} << bpp;
    std::uint64_t n = l.colorsUsed ? std::min<std::uint64_t>(l.colorsUsed, maxColors) : maxColors;
    // Writers that store fewer entries than declared say so through the pixel offset.
    if (offsetUsable) n = std::min<std::uint64_t>(n, (l.pixelOffset - l.afterHeader) / l.paletteEntry);
    if (l.afterHeader + n * l.paletteEntry > size) throw EBmpError("BMP palette truncated");
    palette.assign(maxColors, 0);  // indexes past the stored entries draw black
    for (std::uint64_t i = 0; i < n; ++i) {
      const std::uint8_t* e = data + l.afterHeader + i * l.paletteEntry;
      palette[i] = (std::uint32_t{e[2]} << 16) | (std::uint32_t{e[1]} << 8) | e[0];
    }
    if (!offsetUsable) pixelStart = l.afterHeader + n * l.paletteEntry;
  } else if (!offsetUsable) {
    pixelStart = l.afterHeader + std::uint64_t{l.colorsUsed} * 4;  // a colour table may precede them
  }
  if (pixelStart > size) throw EBmpError("BMP pixel data truncated");
  const std::uint64_t available = size - pixelStart;

  const bool rle = info.compression == TBmpCompression::Rle8 || info.compression == TBmpCompression::Rle4;
  if (!rle) {
    const std::uint64_t width = static_cast<std::uint64_t>(info.width);
    const std::uint64_t stride = ((width * bpp + 31) / 32) * 4;
    const std::uint64_t lastRow = (width * bpp + 7) / 8;
    if (stride * static_cast<std::uint64_t>(info.height - 1) + lastRow > available)
      throw EBmpError("BMP pixel data truncated");
  } else if (available < 2) {
    throw EBmpError("BMP pixel data truncated");
  }

  TvexImage img(info.width, info.height);
  img.SetBitsPerPixel(static_cast<int>(bpp));
  const std::uint8_t* pixels = data + pixelStart;
  if (rle) {
    // The stream's length is the header's image size when it fits the file.
    const std::uint64_t length = l.sizeImage && l.sizeImage <= available ? l.sizeImage : available;
    DecodeRle(pixels, pixels + length, info.compression == TBmpCompression::Rle4, palette, img);
  } else {
    DecodeRows(l, pixels, palette, img);
  }
  return img;
}

std::vector<std::uint8_t> EncodeBmp24(const TvexImage& img) {
  const std::uint32_t w = static_cast<std::uint32_t>(img.Width());
  const std::uint32_t h = static_cast<std::uint32_t>(img.Height());
  const std::uint32_t stride = ((w * 24 + 31) / 32) * 4;
  const std::uint32_t imageSize = stride * h;
  std::vector<std::uint8_t> out;
  out.reserve(54 + imageSize);
  out.push_back('B');
  out.push_back('M');
  AppendLE32(out, 54 + imageSize);
  AppendLE32(out, 0);
  AppendLE32(out, 54);
  AppendLE32(out, kInfoHeaderSize);
  AppendLE32(out, w);
  AppendLE32(out, h);
  AppendLE16(out, 1);
  AppendLE16(out, 24);
  AppendLE32(out, kBiRgb);
  AppendLE32(out, imageSize);
  AppendLE32(out, 2835);  // 72 dpi
  AppendLE32(out, 2835);
  AppendLE32(out, 0);
  AppendLE32(out, 0);
  for (std::uint32_t row = 0; row < h; ++row) {
    const std::uint32_t* src = img.Row(static_cast<int>(h - 1 - row));
    for (std::uint32_t x = 0; x < w; ++x) {
      out.push_back(static_cast<std::uint8_t>(src[x]));
      out.push_back(static_cast<std::uint8_t>(src[x] >> 8));
      out.push_back(static_cast<std::uint8_t>(src[x] >> 16));
    }
    for (std::uint32_t pad = w * 3; pad < stride; ++pad) out.push_back(0);
  }
  return out;
}

}  // namespace vex::image
