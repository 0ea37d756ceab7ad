#include "image/bmp_codec.h"

#include <algorithm>
#include <array>

namespace vex::image {
namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::int64_t kMaxSide = 32767;
constexpr std::int64_t kMaxPixels = std::int64_t{1} << 26;

std::uint16_t Get16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t Get32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
         (std::uint32_t{p[3]} << 24);
}

void Put16(std::vector<std::uint8_t>& v, std::uint32_t x) {
  v.push_back(static_cast<std::uint8_t>(x));
  v.push_back(static_cast<std::uint8_t>(x >> 8));
}
void Put32(std::vector<std::uint8_t>& v, std::uint32_t x) {
  Put16(v, x & 0xFFFF);
  Put16(v, x >> 16);
}

// One colour channel described by a bit mask: where it sits and how to widen it to 8 bits.
struct TChannel {
  std::uint32_t mask = 0;
  int shift = 0;
  int bits = 0;

  explicit TChannel(std::uint32_t m = 0) : mask(m) {
    if (!m) return;
    while (!((m >> shift) & 1u)) ++shift;
    std::uint32_t v = m >> shift;
    while (bits < 32 && ((v >> bits) & 1u)) ++bits;
  }
  std::uint32_t Extract(std::uint32_t px) const {
    if (!bits) return 0;
    std::uint32_t v = (px & mask) >> shift;
    if (bits >= 8) return (v >> (bits - 8)) & 0xFFu;
    std::uint32_t maxv = (1u << bits) - 1u;
    return (v & maxv) * 255u / maxv;
  }
};

}  // namespace

TvexImage DecodeBmp(const std::uint8_t* data, std::size_t size) {
  if (size < 14 + 12) throw EBmpError("BMP too short");
  if (data[0] != 'B' || data[1] != 'M') throw EBmpError("not a BMP file (no BM signature)");
  const std::uint32_t pixelOffset = Get32(data + 10);
  const std::uint32_t headerSize = Get32(data + 14);
  switch (headerSize) {
    case 12: case 40: case 52: case 56: case 108: case 124: break;
    default: throw EBmpError("unsupported BMP header size");
  }
  if (std::uint64_t{14} + headerSize > size) throw EBmpError("BMP header truncated");
  const std::uint8_t* h = data + 14;

  std::int64_t width = 0, height = 0;
  unsigned bpp = 0;
  std::uint32_t compression = kBiRgb;
  std::uint32_t colorsUsed = 0;
  std::size_t paletteEntry = 4;
  std::uint64_t afterHeader = 14 + std::uint64_t{headerSize};
  std::array<std::uint32_t, 3> masks{};
  bool haveMasks = false;

  if (headerSize == 12) {
    width = Get16(h + 4);
    height = Get16(h + 6);
    bpp = Get16(h + 10);
    paletteEntry = 3;
  } else {
    width = static_cast<std::int32_t>(Get32(h + 4));
    height = static_cast<std::int32_t>(Get32(h + 8));
    bpp = Get16(h + 14);
    compression = Get32(h + 16);
    colorsUsed = Get32(h + 32);
    if (compression == kBiBitfields) {
      if (headerSize >= 52) {
        masks = {Get32(h + 40), Get32(h + 44), Get32(h + 48)};
      } else {
        if (afterHeader + 12 > size) throw EBmpError("BMP bit fields truncated");
        masks = {Get32(data + afterHeader), Get32(data + afterHeader + 4), Get32(data + afterHeader + 8)};
        afterHeader += 12;
      }
      haveMasks = true;
    }
  }

  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
    throw EBmpError("unsupported BMP bit count");
  if (compression == kBiBitfields) {
    if (bpp != 16 && bpp != 32) throw EBmpError("BI_BITFIELDS needs 16 or 32 bits per pixel");
  } else if (compression != kBiRgb) {
    throw EBmpError("unsupported BMP compression");
  }

  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (width <= 0 || height <= 0) throw EBmpError("BMP has no pixels");
  if (width > kMaxSide || height > kMaxSide || width * height > kMaxPixels)
    throw EBmpError("BMP too large");

  // Palette for indexed images.
  std::vector<std::uint32_t> palette;
  if (bpp <= 8) {
    std::uint64_t maxColors = std::uint64_t{1} << bpp;
    std::uint64_t n = colorsUsed ? colorsUsed : maxColors;
    if (n > maxColors) n = maxColors;
    // Writers that store fewer entries than declared say so through the pixel offset.
    if (pixelOffset >= afterHeader) n = std::min<std::uint64_t>(n, (pixelOffset - afterHeader) / paletteEntry);
    if (afterHeader + n * paletteEntry > size) throw EBmpError("BMP palette truncated");
    palette.assign(maxColors, 0);  // indexes past the stored entries draw black
    for (std::uint64_t i = 0; i < n; ++i) {
      const std::uint8_t* e = data + afterHeader + i * paletteEntry;
      palette[i] = (std::uint32_t{e[2]} << 16) | (std::uint32_t{e[1]} << 8) | e[0];
    }
  }

  if (!haveMasks) {
    if (bpp == 16) masks = {0x7C00, 0x03E0, 0x001F};
    if (bpp == 32) masks = {0x00FF0000, 0x0000FF00, 0x000000FF};
  }
  const TChannel red(masks[0]), green(masks[1]), blue(masks[2]);

  const std::uint64_t stride = ((static_cast<std::uint64_t>(width) * bpp + 31) / 32) * 4;
  if (pixelOffset > size || stride * static_cast<std::uint64_t>(height) > size - pixelOffset)
    throw EBmpError("BMP pixel data truncated");

  TvexImage img(static_cast<int>(width), static_cast<int>(height));
  img.SetBitsPerPixel(static_cast<int>(bpp));
  for (std::int64_t row = 0; row < height; ++row) {
    const std::uint8_t* src = data + pixelOffset + stride * static_cast<std::uint64_t>(row);
    int y = static_cast<int>(topDown ? row : height - 1 - row);
    std::uint32_t* dst = img.Row(y);
    for (std::int64_t x = 0; x < width; ++x) {
      std::uint32_t px;
      switch (bpp) {
        case 1: px = palette[(src[x >> 3] >> (7 - (x & 7))) & 1u]; break;
        case 4: px = palette[(src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xFu]; break;
        case 8: px = palette[src[x]]; break;
        case 24: {
          const std::uint8_t* s = src + x * 3;
          px = (std::uint32_t{s[2]} << 16) | (std::uint32_t{s[1]} << 8) | s[0];
          break;
        }
        default: {
          std::uint32_t v = bpp == 16 ? Get16(src + x * 2) : Get32(src + x * 4);
          px = (red.Extract(v) << 16) | (green.Extract(v) << 8) | blue.Extract(v);
          break;
        }
      }
      dst[x] = px;
    }
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
  Put32(out, 54 + imageSize);
  Put32(out, 0);
  Put32(out, 54);
  Put32(out, 40);
  Put32(out, w);
  Put32(out, h);
  Put16(out, 1);
  Put16(out, 24);
  Put32(out, kBiRgb);
  Put32(out, imageSize);
  Put32(out, 2835);  // 72 dpi
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
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
