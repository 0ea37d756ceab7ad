// Portable pixel buffer: the decoded form of every skin bitmap.
#pragma once

#include <cstdint>
#include <vector>

namespace vex::image {

// How a bitmap picks the colour it treats as transparent when drawn.
enum class TTransparentMode { Auto, Fixed };

// A colour in the host's TColor order, 0x00BBGGRR.
using TColorRef = std::uint32_t;

// Converts between TColor order (0x00BBGGRR) and pixel order (0x00RRGGBB).
constexpr std::uint32_t ColorToPixel(TColorRef c) {
  return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
constexpr TColorRef PixelToColor(std::uint32_t p) { return ColorToPixel(p); }

// Top-down rows of 32-bit pixels 0x00RRGGBB: the memory layout of a 32-bit top-down DIB, so the
// Windows side can copy rows straight into a DIB section.
class TvexImage {
 public:
  TvexImage() = default;
  TvexImage(int width, int height, std::uint32_t fill = 0);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }

  // Bits per pixel of the image this one was decoded from (24 for images made in memory).
  int BitsPerPixel() const { return bitsPerPixel_; }
  void SetBitsPerPixel(int bits) { bitsPerPixel_ = bits; }

  std::uint32_t Pixel(int x, int y) const { return pixels_[Index(x, y)]; }
  void SetPixel(int x, int y, std::uint32_t p) { pixels_[Index(x, y)] = p & 0x00FFFFFFu; }
  std::uint32_t* Row(int y) { return pixels_.data() + Index(0, y); }
  const std::uint32_t* Row(int y) const { return pixels_.data() + Index(0, y); }
  const std::vector<std::uint32_t>& Pixels() const { return pixels_; }

  // Transparency as a host bitmap carries it: the switch, the colour (TColor order) and the mode.
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool on) { transparent_ = on; }
  TColorRef TransparentColor() const { return transparentColor_; }
  TTransparentMode TransparentMode() const { return transparentMode_; }
  // Fixed mode with this colour; the transparency switch is left as it is.
  void SetFixedTransparentColor(TColorRef c) {
    transparentColor_ = c & 0x00FFFFFFu;
    transparentMode_ = TTransparentMode::Fixed;
  }

  bool SamePixels(const TvexImage& other) const {
    return width_ == other.width_ && height_ == other.height_ && pixels_ == other.pixels_;
  }

 private:
  std::size_t Index(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
  }

  int width_ = 0;
  int height_ = 0;
  int bitsPerPixel_ = 24;
  std::vector<std::uint32_t> pixels_;
  bool transparent_ = false;
  TColorRef transparentColor_ = 0;
  TTransparentMode transparentMode_ = TTransparentMode::Auto;
};

}  // namespace vex::image
