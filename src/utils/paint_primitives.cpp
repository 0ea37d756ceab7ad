#include "utils/paint_primitives.h"

#include <algorithm>

#include "image/region_runs.h"
#include "image/section_layout.h"

namespace vex::utils {

using host::ColorToRGB;
using host::TPixelFormat;

namespace {

// Copies `src` of the bitmap onto the canvas at `dst`: one to one or stretched, and with the
// mask colour left out when transparent (the absent colour leaves nothing out).
void Blit(const TBitmap& bmp, TCanvas& canvas, const RECT& dst, const image::TRect& src, bool transparent, TColor mask) {
  HDC from = const_cast<TBitmap&>(bmp).Canvas().Handle();
  const int dw = dst.right - dst.left, dh = dst.bottom - dst.top;
  if (transparent && !host::IsNoColor(mask)) {
    if (host::MemoryTransparentBlt(canvas, dst, bmp, RECT{src.left, src.top, src.right, src.bottom}, mask)) return;
    TransparentBlt(canvas.Handle(), dst.left, dst.top, dw, dh, from, src.left, src.top, src.Width(), src.Height(),
                   static_cast<UINT>(ColorToRGB(mask)));
  } else if (dw == src.Width() && dh == src.Height()) {
    BitBlt(canvas.Handle(), dst.left, dst.top, dw, dh, from, src.left, src.top, SRCCOPY);
  } else {
    SetStretchBltMode(canvas.Handle(), COLORONCOLOR);
    StretchBlt(canvas.Handle(), dst.left, dst.top, dw, dh, from, src.left, src.top, src.Width(), src.Height(), SRCCOPY);
  }
}

RECT ToRect(const image::TRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// Rebuilds a bitmap from a pixel mapping over a new size (rotations), in the DIB memory.
template <class F>
void Remap(TBitmap& bmp, int newW, int newH, F sourceOf) {
  TBitmap turned(newW, newH, bmp.PixelFormat());
  const int bpp = bmp.PixelFormat() == TPixelFormat::pf24bit ? 3 : 4;
  const std::uint8_t* base = bmp.ScanLine(0);
  const std::size_t stride = static_cast<std::size_t>(bmp.Stride());
  for (int y = 0; y < newH; ++y) {
    std::uint8_t* d = turned.ScanLine(y);
    for (int x = 0; x < newW; ++x, d += bpp) {
      const POINT s = sourceOf(x, y);
      const std::uint8_t* p = base + static_cast<std::size_t>(s.y) * stride + static_cast<std::size_t>(s.x) * bpp;
      d[0] = p[0];
      d[1] = p[1];
      d[2] = p[2];
    }
  }
  turned.SetTransparent(bmp.Transparent());
  if (bmp.TransparentMode() == host::TTransparentMode::tmFixed) turned.SetTransparentColor(bmp.TransparentColor());
  bmp.Swap(turned);
}

}  // namespace

void SliceBitmap(const TBitmap* source, TBitmap& dest, int count, int index) {
  if (!source || count <= 0) return;
  const int w = source->Width() / count;
  const int h = source->Height();
  dest.SetSize(0, 0);
  dest.SetSize(w, h);
  if (w > 0 && h > 0) dest.CopyPixels(0, 0, *source, w * (index - 1), 0, w, h);
}

void RotateBitmapLeft(TBitmap& bmp) {
  if (bmp.Empty()) return;
  const int W = bmp.Width(), H = bmp.Height();
  // Left: source (x, y) lands at (y, W-1-x); so target (tx, ty) comes from (W-1-ty, tx).
  Remap(bmp, H, W, [W](int tx, int ty) { return POINT{W - 1 - ty, tx}; });
}

void RotateBitmapRight(TBitmap& bmp) {
  if (bmp.Empty()) return;
  const int W = bmp.Width(), H = bmp.Height();
  // Right: source (x, y) lands at (H-1-y, x); target (tx, ty) comes from (ty, H-1-tx).
  Remap(bmp, H, W, [H](int tx, int ty) { return POINT{ty, H - 1 - tx}; });
}

void RotateBitmap180(TBitmap& bmp) {
  if (bmp.Empty()) return;
  const int W = bmp.Width(), H = bmp.Height();
  Remap(bmp, W, H, [W, H](int tx, int ty) { return POINT{W - 1 - tx, H - 1 - ty}; });
}

void ReplaceBitmapColor(TBitmap& bmp, TColor from, TColor to) {
  bmp.SetPixelFormat(TPixelFormat::pf24bit);
  if (host::IsNoColor(from) || host::IsNoColor(to)) return;  // no colour to find, or none to paint
  from = ColorToRGB(from);
  to = ColorToRGB(to);
  std::uint8_t* base = bmp.Empty() ? nullptr : bmp.ScanLine(0);
  for (int y = 0; y < bmp.Height(); ++y) {
    std::uint8_t* row = base + static_cast<std::size_t>(y) * static_cast<std::size_t>(bmp.Stride());
    for (int x = 0; x < bmp.Width(); ++x) {
      std::uint8_t* p = row + x * 3;
      if (host::MakeRgb(p[2], p[1], p[0]) == from) {
        p[0] = static_cast<std::uint8_t>(host::ColorBlue(to));
        p[1] = static_cast<std::uint8_t>(host::ColorGreen(to));
        p[2] = static_cast<std::uint8_t>(host::ColorRed(to));
      }
    }
  }
}

void PaintNineSection(const TBitmap& bmp, TCanvas& canvas, const RECT& r, bool transparent, TColor mask) {
  if (bmp.Empty()) return;
  for (const image::TSectionStep& s : image::NineSectionLayout(bmp.Width(), bmp.Height(), r.left, r.top, r.right, r.bottom)) {
    // Corners follow the transparent switch; edges and centre always leave the mask colour out.
    Blit(bmp, canvas, ToRect(s.dest), s.source, s.kind == image::TSectionStep::Corner ? transparent : true, mask);
  }
}

void PaintThreeCells(const TBitmap& bmp, TCanvas& canvas, const RECT& r, bool transparent, TColor mask) {
  if (bmp.Empty()) return;
  const image::TRect rr{r.left, r.top, r.right, r.bottom};
  const auto steps = image::ThreeCellLayout(bmp.Width(), bmp.Height(), rr);
  for (std::size_t i = 0; i < steps.size(); ++i) {
    // The narrow case and the stretched middle are drawn opaque; the end cells by the switch.
    const bool opaque = steps.size() == 1 || steps[i].kind == image::TSectionStep::Stretch;
    Blit(bmp, canvas, ToRect(steps[i].dest), steps[i].source, opaque ? false : transparent, mask);
  }
}

void StretchThreeVertical(TBitmap& bmp, TCanvas& canvas, const RECT& r, int cap) {
  if (r.left < 0 || bmp.Empty()) return;
  bmp.SetPixelFormat(TPixelFormat::pf24bit);
  const int bh = bmp.Height(), bw = bmp.Width(), H = r.bottom - r.top;
  if (cap == 0) cap = bh / 3;
  const int top = std::min(cap, H);
  Blit(bmp, canvas, RECT{r.left, r.top, r.right, r.top + top}, {0, 0, bw, std::min(top, bh)}, false, 0);
  Blit(bmp, canvas, RECT{r.left, r.bottom - cap, r.right, r.bottom}, {0, bh - cap, bw, bh}, false, 0);
  if (bh - 2 * cap > 0 && r.bottom - cap > r.top + cap) {
    TBitmap middle(bw, bh - 2 * cap, TPixelFormat::pf24bit);
    BitBlt(middle.Canvas().Handle(), 0, 0, bw, bh - 2 * cap, bmp.Canvas().Handle(), 0, cap, SRCCOPY);
    StretchHalftone(middle, canvas, RECT{r.left, r.top + cap, r.right, r.bottom - cap});
  }
}

void StretchThreeHorizontal(TBitmap& bmp, TCanvas& canvas, const RECT& r, int cap) {
  if (r.left < 0 || bmp.Empty()) return;
  bmp.SetPixelFormat(TPixelFormat::pf24bit);
  const int bh = bmp.Height(), bw = bmp.Width(), W = r.right - r.left;
  const int left = std::min(cap, W);
  Blit(bmp, canvas, RECT{r.left, r.top, r.left + left, r.bottom}, {0, 0, std::min(left, bw), bh}, false, 0);
  Blit(bmp, canvas, RECT{r.right - cap, r.top, r.right, r.bottom}, {bw - cap, 0, bw, bh}, false, 0);
  if (bw - 2 * cap > 0 && r.right - cap > r.left + cap) {
    TBitmap middle(bw - 2 * cap, bh, TPixelFormat::pf24bit);
    BitBlt(middle.Canvas().Handle(), 0, 0, bw - 2 * cap, bh, bmp.Canvas().Handle(), cap, 0, SRCCOPY);
    StretchHalftone(middle, canvas, RECT{r.left + cap, r.top, r.right - cap, r.bottom});
  }
}

void StretchHalftone(const TBitmap& bmp, TCanvas& canvas, const RECT& r) {
  if (bmp.Empty()) return;
  canvas.SetStretchMode(HALFTONE);
  StretchBlt(canvas.Handle(), r.left, r.top, r.right - r.left, r.bottom - r.top, const_cast<TBitmap&>(bmp).Canvas().Handle(),
             0, 0, bmp.Width(), bmp.Height(), SRCCOPY);
}

namespace {

TColor Blend(TColor c1, TColor c2, double steps, int k) {
  auto ch = [&](int a, int b) { return a + static_cast<int>(((static_cast<double>(b) - a) / steps) * k); };
  return host::MakeRgb(ch(host::ColorRed(c1), host::ColorRed(c2)), ch(host::ColorGreen(c1), host::ColorGreen(c2)),
                       ch(host::ColorBlue(c1), host::ColorBlue(c2)));
}

}  // namespace

void GradientFillRows(TCanvas& canvas, const RECT& r, TColor first, TColor last) {
  if (r.top == r.bottom) return;
  first = ColorToRGB(first);
  last = ColorToRGB(last);
  const double span = r.bottom - r.top;
  FillRectColor(canvas, RECT{r.left, r.top, r.right, r.top + 1}, first);
  for (int y = r.top + 1; y <= r.bottom - 2; ++y)
    FillRectColor(canvas, RECT{r.left, y, r.right, y + 1}, Blend(first, last, span, y - r.top - 1));
  FillRectColor(canvas, RECT{r.left, r.bottom - 1, r.right, r.bottom}, last);
}

void GradientFillColumns(TCanvas& canvas, const RECT& r, TColor first, TColor last) {
  if (r.left == r.right) return;
  first = ColorToRGB(first);
  last = ColorToRGB(last);
  const double span = r.right - r.left;
  FillRectColor(canvas, RECT{r.left, r.top, r.left + 1, r.bottom}, first);
  for (int x = r.left + 1; x <= r.right - 2; ++x)
    FillRectColor(canvas, RECT{x, r.top, x + 1, r.bottom}, Blend(first, last, span, x - r.left));
  FillRectColor(canvas, RECT{r.right - 1, r.top, r.right, r.bottom}, last);
}

TColor InvertColor(TColor c) {
  c = ColorToRGB(c);
  return host::MakeRgb(255 - host::ColorRed(c), 255 - host::ColorGreen(c), 255 - host::ColorBlue(c));
}

void FrameRectColor(TCanvas& canvas, const RECT& r, TColor c) {
  canvas.Brush.color = c;
  canvas.Brush.style = host::TBrushStyle::bsSolid;
  canvas.FrameRect(r);
}

void CopyReplacingColor(const TBitmap& source, TBitmap& dest, TColor key, TColor fill) {
  const int w = source.Width(), h = source.Height();
  if (dest.PixelFormat() != host::TPixelFormat::pf32bit) dest.SetPixelFormat(host::TPixelFormat::pf32bit);
  dest.SetSize(w, h);
  if (w <= 0 || h <= 0) return;
  const auto bgr = [](TColor c) {
    const auto rgb = static_cast<std::uint32_t>(host::ColorToRGB(c));
    return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
  };
  const bool keyed = !host::IsNoColor(key);
  const std::uint32_t k = keyed ? bgr(key) : 0, f = bgr(fill);
  const bool wide = source.PixelFormat() == host::TPixelFormat::pf32bit;
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* in = source.ScanLine(y);
    auto* out = reinterpret_cast<std::uint32_t*>(dest.ScanLine(y));
    for (int x = 0; x < w; ++x, in += wide ? 4 : 3) {
      const std::uint32_t p = static_cast<std::uint32_t>(in[0]) | (static_cast<std::uint32_t>(in[1]) << 8) |
                              (static_cast<std::uint32_t>(in[2]) << 16);
      out[x] = keyed && p == k ? f : p;
    }
  }
}

void FillRectColor(TCanvas& canvas, const RECT& r, TColor c) {
  canvas.Brush.color = c;
  canvas.Brush.style = host::TBrushStyle::bsSolid;
  canvas.FillRect(r);
}

namespace {

void Glyph(TCanvas& canvas, std::vector<POINT> pts, bool enabled) {
  auto draw = [&](TColor c, int d) {
    std::vector<POINT> p = pts;
    for (auto& q : p) {
      q.x += d;
      q.y += d;
    }
    canvas.Pen.color = c;
    canvas.Pen.style = host::TPenStyle::psSolid;
    canvas.Brush.color = c;
    canvas.Brush.style = host::TBrushStyle::bsSolid;
    canvas.Polygon(p);
  };
  if (enabled) {
    draw(host::clBlack, 0);
  } else {
    draw(host::clWhite, 1);
    draw(host::clGray, 0);
  }
}

}  // namespace

void DrawArrowDown(TCanvas& c, int x, int y, bool enabled) { Glyph(c, {{x, y}, {x + 6, y}, {x + 3, y + 3}}, enabled); }
void DrawArrowUp(TCanvas& c, int x, int y, bool enabled) { Glyph(c, {{x, y}, {x - 3, y + 3}, {x + 3, y + 3}}, enabled); }
void DrawArrowLeft(TCanvas& c, int x, int y, bool enabled) { Glyph(c, {{x, y}, {x + 3, y + 3}, {x + 3, y - 3}}, enabled); }
void DrawArrowRight(TCanvas& c, int x, int y, bool enabled) { Glyph(c, {{x, y}, {x, y + 6}, {x + 3, y + 3}}, enabled); }

void DrawWindowBorder(HWND wnd, TColor outer, TColor inner, bool drawInner) {
  RECT r;
  GetWindowRect(wnd, &r);
  OffsetRect(&r, -r.left, -r.top);
  host::TWindowCanvas canvas(wnd, host::TWindowDC::TKind::Whole);
  FrameRectColor(canvas, r, outer);
  if (drawInner) {
    InflateRect(&r, -1, -1);
    FrameRectColor(canvas, r, inner);
  }
}

void PaintControlBorder(HWND control, TColor controlBorderColor, TColor colour) {
  RECT cr;
  GetClientRect(control, &cr);
  const int W = cr.right, H = cr.bottom;
  host::TWindowCanvas canvas(control, host::TWindowDC::TKind::Client);
  FillRectColor(canvas, RECT{0, 0, 2, H}, colour);
  FillRectColor(canvas, RECT{0, H - 2, W, H}, colour);
  FillRectColor(canvas, RECT{W - 2, 0, W, H}, colour);
  FillRectColor(canvas, RECT{0, 0, W, 2}, colour);
  canvas.Pen.color = controlBorderColor;
  canvas.MoveTo(0, 0);
  canvas.LineTo(0, H);
}

namespace {

HRGN MakeRegion(const std::vector<image::TRect>& rects, int width, int height) {
  // Past the budget, the bounding shape.
  if (rects.empty() || rects.size() > image::kMaxRegionRects) return CreateRectRgn(0, 0, width, height);
  // One call for the whole region: the rectangles come in banded order.
  std::vector<std::uint8_t> buffer(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
  auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
  data->rdh.dwSize = sizeof(RGNDATAHEADER);
  data->rdh.iType = RDH_RECTANGLES;
  data->rdh.nCount = static_cast<DWORD>(rects.size());
  data->rdh.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
  RECT bounds{0, 0, 0, 0};
  auto* out = reinterpret_cast<RECT*>(data->Buffer);
  for (std::size_t i = 0; i < rects.size(); ++i) {
    const RECT r{rects[i].left, rects[i].top, rects[i].right, rects[i].bottom};
    out[i] = r;
    UnionRect(&bounds, &bounds, &r);
  }
  data->rdh.rcBound = bounds;
  HRGN region = ExtCreateRegion(nullptr, static_cast<DWORD>(buffer.size()), data);
  return region ? region : CreateRectRgn(0, 0, width, height);
}

}  // namespace

void BuildWindowRegion(HWND wnd, const TBitmap* title, const TBitmap* bottom, bool titleNeedsRegion,
                       bool bottomNeedsRegion, int titleMinY, int titleMaxY, int bottomMinY, int bottomMaxY,
                       TColor transparent, int height, int width) {
  auto image = [](const TBitmap* b) {
    image::TRegionImage img;
    if (b && !b->Empty()) {
      img.width = b->Width();
      img.height = b->Height();
      img.pixel = [b](int x, int y) { return static_cast<std::uint32_t>(b->PixelColor(x, y)); };
    } else {
      img.pixel = [](int, int) { return 0u; };
    }
    return img;
  };
  if (title) title->ScanLine(0);  // flush pending drawing before reading pixels
  if (bottom) bottom->ScanLine(0);
  // Pixels read as 0x00BBGGRR: a key with its top byte set matches none, so the absent colour
  // cuts nothing away.
  const std::uint32_t key = host::IsNoColor(transparent) ? 0xFFFFFFFFu : static_cast<std::uint32_t>(ColorToRGB(transparent));
  const auto rects = image::WindowRegionRects(image(title), image(bottom), titleNeedsRegion && title, bottomNeedsRegion && bottom,
                                              titleMinY, titleMaxY, bottomMinY, bottomMaxY, key, height, width);
  host::TOwnedRegion region(MakeRegion(image::CoalesceBands(rects), width, height));
  if (!region.Get()) return;
  // The window has this shape already (a skin switch asks again once the new title is composed,
  // a repaint after no change of size): setting it again would only reshape and repaint it.
  host::TOwnedRegion current(CreateRectRgn(0, 0, 0, 0));
  if (current.Get() && GetWindowRgn(wnd, current.Get()) != ERROR && EqualRgn(current.Get(), region.Get())) return;
  if (SetWindowRgn(wnd, region.Get(), TRUE)) region.Release();  // the window owns it now
}

}  // namespace vex::utils
