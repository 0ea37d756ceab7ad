// Bitmaps backed by a top-down DIB section: pixels are reachable directly and through a canvas.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "host/canvas.h"
#include "host/gdi_handle.h"
#include "host/graphic.h"
#include "image/image.h"

namespace vex::host {

enum class TPixelFormat { pf24bit, pf32bit };
enum class TTransparentMode { tmAuto, tmFixed };

class TBitmap : public TGraphic {
  VEX_CLASS(TBitmap)
 public:
  TBitmap();
  TBitmap(int width, int height, TPixelFormat format = TPixelFormat::pf32bit);
  ~TBitmap() override;
  TBitmap(TBitmap&& other) noexcept;
  TBitmap& operator=(TBitmap&&) = delete;  // use Assign

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  // Resizing keeps the pixels that still fit; new pixels are white.
  void SetSize(int width, int height);
  void SetWidth(int w) { SetSize(w, height_); }
  void SetHeight(int h) { SetSize(width_, h); }
  TPixelFormat PixelFormat() const { return format_; }
  // Converting keeps the picture.
  void SetPixelFormat(TPixelFormat format);

  HBITMAP Handle() const { return dib_.Get(); }
  // Whether `dc` is the device context the bitmap's canvas draws through.
  bool OwnsDC(HDC dc) const { return dc && dc_.Get() == dc; }
  TCanvas& Canvas();
  // Direct access to row y (top row 0); drawing through GDI is flushed first.
  std::uint8_t* ScanLine(int y);
  const std::uint8_t* ScanLine(int y) const;
  int Stride() const { return stride_; }
  // A pixel as a colour 0x00BBGGRR, read or written in the DIB memory.
  TColor PixelColor(int x, int y) const;
  void SetPixelColor(int x, int y, TColor c);

  // Automatic mode takes the bottom-left pixel; setting a colour switches to fixed mode.
  TColor TransparentColor() const;
  void SetTransparentColor(TColor c);
  TTransparentMode TransparentMode() const { return mode_; }
  void SetTransparentMode(TTransparentMode m) { mode_ = m; }

  // Pixels and transparency from the portable image type, and back.
  void LoadFromImage(const image::TvexImage& img);
  image::TvexImage ToImage() const;
  // A bitmap resource of the module (LoadImageW), copied into this bitmap; false when absent.
  bool LoadFromResourceName(HINSTANCE instance, const wchar_t* name);

  void Assign(const TPersistent& source) override;
  // Streams the picture as the defined binary property "Data": the bytes of a 24-bit BMP file.
  // Reading also takes the form with a 4-byte length before the file, as other writers store it.
  void DefineProperties(TFiler& filer) override;
  // The picture as a 24-bit BMP file, and back (throws image::EBmpError for bytes that are none).
  std::vector<std::uint8_t> SaveToBmpBytes() const;
  void LoadFromBmpBytes(const std::vector<std::uint8_t>& bytes);
  // Exchanges pictures (pixels, size, format, transparency) with another bitmap.
  void Swap(TBitmap& other) noexcept;
  // Copies a rectangle of another bitmap's pixels to (x, y), straight through the DIB memory.
  void CopyPixels(int x, int y, const TBitmap& source, int sx, int sy, int w, int h);
  void Draw(TCanvas& canvas, const RECT& r) const override;

 private:
  void Create(int width, int height, TPixelFormat format, const TBitmap* copyFrom);

  int width_ = 0, height_ = 0, stride_ = 0;
  TPixelFormat format_ = TPixelFormat::pf32bit;
  TOwnedBitmap dib_;
  std::uint8_t* bits_ = nullptr;
  TOwnedDC dc_;
  HGDIOBJ oldBitmap_ = nullptr;
  std::unique_ptr<TCanvas> canvas_;
  TColor transparentColor_ = clNone;
  TTransparentMode mode_ = TTransparentMode::tmAuto;
};

// A transparent blit of `src` of a bitmap onto `dst` of a canvas, as the system's transparent blit
// does it (pixels of the mask colour leave the canvas as it was; a stretched rectangle is stretched
// first), straight through the bitmaps' memory: the system's builds masks on every call and is
// slow. Done only when the canvas is a bitmap's own with nothing clipped or moved; answers false,
// drawing nothing, otherwise.
bool MemoryTransparentBlt(TCanvas& canvas, const RECT& dst, const TBitmap& bmp, const RECT& src, TColor mask);

}  // namespace vex::host
