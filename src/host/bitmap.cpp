#include "host/bitmap.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "image/bmp_codec.h"

namespace vex::host {

const TClassInfo& TBitmap::StaticClass() {
  static const TClassInfo info("TBitmap", &TGraphic::StaticClass());
  return info;
}

const TClassInfo& TGraphic::StaticClass() {
  static const TClassInfo info("TGraphic", &TPersistent::StaticClass());
  return info;
}

TBitmap::TBitmap() : TGraphic(StaticClass()) {}

TBitmap::TBitmap(int width, int height, TPixelFormat format) : TGraphic(StaticClass()) {
  Create(width, height, format, nullptr);
}

TBitmap::TBitmap(TBitmap&& o) noexcept
    : TGraphic(StaticClass()),
      width_(std::exchange(o.width_, 0)),
      height_(std::exchange(o.height_, 0)),
      stride_(o.stride_),
      format_(o.format_),
      dib_(std::move(o.dib_)),
      bits_(std::exchange(o.bits_, nullptr)),
      dc_(std::move(o.dc_)),
      oldBitmap_(std::exchange(o.oldBitmap_, nullptr)),
      canvas_(std::move(o.canvas_)),
      transparentColor_(o.transparentColor_),
      mode_(o.mode_) {
  transparent_ = o.transparent_;
  if (canvas_) canvas_->bitmap_ = this;
}

TBitmap::~TBitmap() {
  canvas_.reset();
  if (dc_ && oldBitmap_) SelectObject(dc_.Get(), oldBitmap_);
}

// Makes a new DIB of the given size and format, copying what fits from `copyFrom` (which may be
// this bitmap); the rest is white.
void TBitmap::Create(int width, int height, TPixelFormat format, const TBitmap* copyFrom) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  TOwnedBitmap dib;
  std::uint8_t* bits = nullptr;
  const int bpp = format == TPixelFormat::pf24bit ? 24 : 32;
  const int stride = ((width * bpp + 31) / 32) * 4;
  if (width > 0 && height > 0) {
    if (static_cast<long long>(stride) * height > 0x40000000LL) throw std::length_error("bitmap too large");
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = static_cast<WORD>(bpp);
    bi.bmiHeader.biCompression = BI_RGB;
    void* p = nullptr;
    dib = TOwnedBitmap(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0));
    if (!dib) throw std::runtime_error("CreateDIBSection failed");
    bits = static_cast<std::uint8_t*>(p);
    const bool covered = copyFrom && copyFrom->bits_ && copyFrom->width_ >= width && copyFrom->height_ >= height;
    if (!covered) {
      std::memset(bits, 0xFF, static_cast<std::size_t>(stride) * static_cast<std::size_t>(height));
      if (bpp == 32)
        for (int i = 0; i < width * height; ++i) bits[i * 4 + 3] = 0;
    }
    if (copyFrom && copyFrom->bits_) {
      GdiFlush();
      const int w = std::min(width, copyFrom->width_), h = std::min(height, copyFrom->height_);
      const int srcBpp = copyFrom->format_ == TPixelFormat::pf24bit ? 3 : 4;
      for (int y = 0; y < h; ++y) {
        const std::uint8_t* s = copyFrom->bits_ + static_cast<std::size_t>(y) * copyFrom->stride_;
        std::uint8_t* d = bits + static_cast<std::size_t>(y) * stride;
        if (srcBpp * 8 == bpp) {
          std::memcpy(d, s, static_cast<std::size_t>(w) * srcBpp);
          continue;
        }
        for (int x = 0; x < w; ++x, s += srcBpp, d += bpp / 8) {
          d[0] = s[0];
          d[1] = s[1];
          d[2] = s[2];
          if (bpp == 32) d[3] = 0;
        }
      }
    }
  }
  // Swap the new DIB in, keeping the canvas's context alive across the change.
  if (canvas_) canvas_->SetHandle(nullptr);
  if (dc_ && oldBitmap_) {
    SelectObject(dc_.Get(), oldBitmap_);
    oldBitmap_ = nullptr;
  }
  dib_ = std::move(dib);
  bits_ = bits;
  width_ = dib_ ? width : 0;
  height_ = dib_ ? height : 0;
  stride_ = stride;
  format_ = format;
  if (dc_ && dib_) oldBitmap_ = SelectObject(dc_.Get(), dib_.Get());
  if (canvas_) canvas_->SetHandle(dib_ ? dc_.Get() : nullptr);
}

void TBitmap::Swap(TBitmap& o) noexcept {
  std::swap(width_, o.width_);
  std::swap(height_, o.height_);
  std::swap(stride_, o.stride_);
  std::swap(format_, o.format_);
  std::swap(dib_, o.dib_);
  std::swap(bits_, o.bits_);
  std::swap(dc_, o.dc_);
  std::swap(oldBitmap_, o.oldBitmap_);
  std::swap(canvas_, o.canvas_);
  std::swap(transparentColor_, o.transparentColor_);
  std::swap(mode_, o.mode_);
  std::swap(transparent_, o.transparent_);
  if (canvas_) canvas_->bitmap_ = this;
  if (o.canvas_) o.canvas_->bitmap_ = &o;
}

void TBitmap::CopyPixels(int x, int y, const TBitmap& source, int sx, int sy, int w, int h) {
  w = std::min({w, width_ - x, source.width_ - sx});
  h = std::min({h, height_ - y, source.height_ - sy});
  if (w <= 0 || h <= 0 || x < 0 || y < 0 || sx < 0 || sy < 0) return;
  GdiFlush();
  if (format_ == source.format_) {
    const int bpp = format_ == TPixelFormat::pf24bit ? 3 : 4;
    for (int row = 0; row < h; ++row)
      std::memcpy(bits_ + static_cast<std::size_t>(y + row) * stride_ + static_cast<std::size_t>(x) * bpp,
                  source.bits_ + static_cast<std::size_t>(sy + row) * source.stride_ + static_cast<std::size_t>(sx) * bpp,
                  static_cast<std::size_t>(w) * bpp);
    return;
  }
  for (int row = 0; row < h; ++row)
    for (int col = 0; col < w; ++col) SetPixelColor(x + col, y + row, source.PixelColor(sx + col, sy + row));
}

void TBitmap::SetSize(int width, int height) {
  if (width == width_ && height == height_) return;
  Create(width, height, format_, this);
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == format_) return;
  Create(width_, height_, format, this);
}

TCanvas& TBitmap::Canvas() {
  if (!dc_) {
    dc_ = TOwnedDC(CreateCompatibleDC(nullptr));
    if (dib_) oldBitmap_ = SelectObject(dc_.Get(), dib_.Get());
  }
  if (!canvas_) canvas_ = std::make_unique<TCanvas>(dib_ ? dc_.Get() : nullptr);
  if (!canvas_->Handle() && dib_) canvas_->SetHandle(dc_.Get());
  canvas_->bitmap_ = this;
  return *canvas_;
}

std::uint8_t* TBitmap::ScanLine(int y) {
  GdiFlush();
  return bits_ + static_cast<std::size_t>(y) * static_cast<std::size_t>(stride_);
}

const std::uint8_t* TBitmap::ScanLine(int y) const {
  GdiFlush();
  return bits_ + static_cast<std::size_t>(y) * static_cast<std::size_t>(stride_);
}

TColor TBitmap::PixelColor(int x, int y) const {
  const std::uint8_t* p = bits_ + static_cast<std::size_t>(y) * stride_ + static_cast<std::size_t>(x) * (format_ == TPixelFormat::pf24bit ? 3 : 4);
  return MakeRgb(p[2], p[1], p[0]);
}

void TBitmap::SetPixelColor(int x, int y, TColor c) {
  c = ColorToRGB(c);
  std::uint8_t* p = bits_ + static_cast<std::size_t>(y) * stride_ + static_cast<std::size_t>(x) * (format_ == TPixelFormat::pf24bit ? 3 : 4);
  p[0] = static_cast<std::uint8_t>(ColorBlue(c));
  p[1] = static_cast<std::uint8_t>(ColorGreen(c));
  p[2] = static_cast<std::uint8_t>(ColorRed(c));
}

TColor TBitmap::TransparentColor() const {
  if (mode_ == TTransparentMode::tmFixed) return transparentColor_;
  if (!bits_) return clNone;
  GdiFlush();
  return PixelColor(0, height_ - 1);
}

void TBitmap::SetTransparentColor(TColor c) {
  transparentColor_ = c;
  mode_ = TTransparentMode::tmFixed;
}

void TBitmap::LoadFromImage(const image::TvexImage& img) {
  Create(img.Width(), img.Height(), format_, nullptr);
  for (int y = 0; y < height_; ++y) {
    const std::uint32_t* src = img.Row(y);
    std::uint8_t* d = bits_ + static_cast<std::size_t>(y) * stride_;
    const int step = format_ == TPixelFormat::pf24bit ? 3 : 4;
    for (int x = 0; x < width_; ++x, d += step) {
      d[0] = static_cast<std::uint8_t>(src[x]);
      d[1] = static_cast<std::uint8_t>(src[x] >> 8);
      d[2] = static_cast<std::uint8_t>(src[x] >> 16);
    }
  }
  transparent_ = img.Transparent();
  if (img.TransparentMode() == image::TTransparentMode::Fixed) {
    SetTransparentColor(static_cast<TColor>(img.TransparentColor()));
  } else {
    mode_ = TTransparentMode::tmAuto;
  }
}

image::TvexImage TBitmap::ToImage() const {
  image::TvexImage img(width_, height_);
  if (!bits_) return img;
  GdiFlush();
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) img.SetPixel(x, y, image::ColorToPixel(static_cast<std::uint32_t>(PixelColor(x, y))));
  img.SetBitsPerPixel(format_ == TPixelFormat::pf24bit ? 24 : 32);
  img.SetTransparent(transparent_);
  if (mode_ == TTransparentMode::tmFixed) img.SetFixedTransparentColor(static_cast<std::uint32_t>(transparentColor_));
  return img;
}

bool TBitmap::LoadFromResourceName(HINSTANCE instance, const wchar_t* name) {
  HBITMAP h = static_cast<HBITMAP>(LoadImageW(instance, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!h) return false;
  TOwnedBitmap res(h);
  BITMAP b{};
  GetObjectW(h, sizeof b, &b);
  Create(b.bmWidth, std::abs(b.bmHeight), format_, nullptr);
  TOwnedDC src(CreateCompatibleDC(nullptr));
  TSelectObject sel(src.Get(), h);
  HDC dst = Canvas().Handle();
  BitBlt(dst, 0, 0, width_, height_, src.Get(), 0, 0, SRCCOPY);
  GdiFlush();
  return true;
}

void TBitmap::Assign(const TPersistent& source) {
  if (!source.Is<TBitmap>()) return TPersistent::Assign(source);
  const auto& src = static_cast<const TBitmap&>(source);
  if (&src == this) return;
  Create(src.width_, src.height_, src.format_, &src);
  transparent_ = src.transparent_;
  transparentColor_ = src.transparentColor_;
  mode_ = src.mode_;
}

std::vector<std::uint8_t> TBitmap::SaveToBmpBytes() const { return image::EncodeBmp24(ToImage()); }

void TBitmap::LoadFromBmpBytes(const std::vector<std::uint8_t>& bytes) {
  std::size_t skip = 0;
  if (bytes.size() >= 6 && !(bytes[0] == 'B' && bytes[1] == 'M') && bytes[4] == 'B' && bytes[5] == 'M') skip = 4;
  image::TvexImage img = image::DecodeBmp(bytes.data() + skip, bytes.size() - skip);
  const bool keepTransparent = transparent_;
  LoadFromImage(img);
  transparent_ = keepTransparent || img.Transparent();
}

void TBitmap::DefineProperties(TFiler& filer) {
  filer.DefineBinaryProperty(
      "Data", [this](const std::vector<std::uint8_t>& bytes) { LoadFromBmpBytes(bytes); },
      [this] { return SaveToBmpBytes(); }, !Empty());
}

void TBitmap::Draw(TCanvas& canvas, const RECT& r) const {
  if (!dib_) return;
  auto* self = const_cast<TBitmap*>(this);
  HDC src = self->Canvas().Handle();
  HDC dst = canvas.Handle();
  const int w = r.right - r.left, h = r.bottom - r.top;
  const TColor key = transparent_ ? TransparentColor() : clNoColor;
  if (!IsNoColor(key)) {
    if (MemoryTransparentBlt(canvas, r, *this, RECT{0, 0, width_, height_}, key)) return;
    TransparentBlt(dst, r.left, r.top, w, h, src, 0, 0, width_, height_, static_cast<UINT>(ColorToRGB(key)));
  } else if (w == width_ && h == height_) {
    BitBlt(dst, r.left, r.top, w, h, src, 0, 0, SRCCOPY);
  } else {
    StretchBlt(dst, r.left, r.top, w, h, src, 0, 0, width_, height_, SRCCOPY);
  }
}

// A transparent blit between two bitmaps, as the system's does it: pixels of the mask colour leave
// the destination as it was. The system's builds masks on every call and is slow; this one copies
// in memory when the destination is a bitmap's own canvas with nothing clipped or moved, and
// answers false otherwise.
bool MemoryTransparentBlt(TCanvas& canvas, const RECT& dst, const TBitmap& bmp, const RECT& src, TColor mask) {
  const int srcW = src.right - src.left, srcH = src.bottom - src.top;
  TBitmap* target = canvas.Bitmap();
  if (!target || &bmp == target) return false;
  const int dw = dst.right - dst.left, dh = dst.bottom - dst.top;
  if (dw <= 0 || dh <= 0 || srcW <= 0 || srcH <= 0) return false;
  if (dst.left < 0 || dst.top < 0 || dst.right > target->Width() || dst.bottom > target->Height()) return false;
  if (src.left < 0 || src.top < 0 || src.right > bmp.Width() || src.bottom > bmp.Height()) return false;
  HDC dc = canvas.Handle();
  POINT origin;
  if (GetMapMode(dc) != MM_TEXT || !GetViewportOrgEx(dc, &origin) || origin.x != 0 || origin.y != 0) return false;
  if (!GetWindowOrgEx(dc, &origin) || origin.x != 0 || origin.y != 0) return false;
  RECT clip;
  if (GetClipBox(dc, &clip) != SIMPLEREGION || clip.left > 0 || clip.top > 0 || clip.right < target->Width() ||
      clip.bottom < target->Height())
    return false;
  // A stretched section is stretched by the system first, into a bitmap of the destination's size.
  const TBitmap* from = &bmp;
  int sx = src.left, sy = src.top;
  if (dw != srcW || dh != srcH) {
    // One scratch bitmap per thread, grown as needed: making a bitmap per section is slow.
    thread_local TBitmap stretched;
    if (stretched.Width() < dw || stretched.Height() < dh)
      stretched.SetSize(std::max(dw, stretched.Width()), std::max(dh, stretched.Height()));
    HDC s = stretched.Canvas().Handle();
    SetStretchBltMode(s, COLORONCOLOR);
    StretchBlt(s, 0, 0, dw, dh, const_cast<TBitmap&>(bmp).Canvas().Handle(), src.left, src.top, srcW, srcH,
               SRCCOPY);
    from = &stretched;
    sx = sy = 0;
  }
  const auto rgb = static_cast<std::uint32_t>(ColorToRGB(mask));
  const std::uint8_t kr = rgb & 0xFF, kg = (rgb >> 8) & 0xFF, kb = (rgb >> 16) & 0xFF;
  const int inBpp = from->PixelFormat() == TPixelFormat::pf24bit ? 3 : 4;
  const int outBpp = target->PixelFormat() == TPixelFormat::pf24bit ? 3 : 4;
  for (int y = 0; y < dh; ++y) {
    const std::uint8_t* in = from->ScanLine(sy + y) + static_cast<std::size_t>(sx) * inBpp;
    std::uint8_t* out = target->ScanLine(dst.top + y) + static_cast<std::size_t>(dst.left) * outBpp;
    for (int x = 0; x < dw; ++x, in += inBpp, out += outBpp) {
      if (in[0] == kb && in[1] == kg && in[2] == kr) continue;
      out[0] = in[0];
      out[1] = in[1];
      out[2] = in[2];
    }
  }
  return true;
}

}  // namespace vex::host
