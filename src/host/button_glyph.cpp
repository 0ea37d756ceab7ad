#include "host/button_glyph.h"

#include <algorithm>

namespace vex::host {

TButtonLayoutResult CalcButtonLayout(const RECT& client, POINT offset, SIZE glyphSize, SIZE textSize, TButtonLayout layout,
                                     int margin, int spacing) {
  const int cw = client.right - client.left, ch = client.bottom - client.top;
  const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
  POINT glyph{0, 0}, text{0, 0};
  if (horizontal) {
    glyph.y = (ch - glyphSize.cy + 1) / 2;
    text.y = (ch - textSize.cy + 1) / 2;
  } else {
    glyph.x = (cw - glyphSize.cx + 1) / 2;
    text.x = (cw - textSize.cx + 1) / 2;
  }
  if (textSize.cx == 0 || glyphSize.cx == 0) spacing = 0;
  if (margin == -1) {
    if (spacing == -1) {
      const int total = horizontal ? glyphSize.cx + textSize.cx : glyphSize.cy + textSize.cy;
      margin = ((horizontal ? cw : ch) - total) / 3;
      spacing = margin;
    } else {
      const int total = horizontal ? glyphSize.cx + spacing + textSize.cx : glyphSize.cy + spacing + textSize.cy;
      margin = ((horizontal ? cw : ch) - total + 1) / 2;
    }
  } else if (spacing == -1) {
    const int room = horizontal ? cw - (margin + glyphSize.cx) : ch - (margin + glyphSize.cy);
    spacing = (room - (horizontal ? textSize.cx : textSize.cy)) / 2;
  }
  switch (layout) {
    case blGlyphLeft:
      glyph.x = margin;
      text.x = glyph.x + glyphSize.cx + spacing;
      break;
    case blGlyphRight:
      glyph.x = cw - margin - glyphSize.cx;
      text.x = glyph.x - spacing - textSize.cx;
      break;
    case blGlyphTop:
      glyph.y = margin;
      text.y = glyph.y + glyphSize.cy + spacing;
      break;
    case blGlyphBottom:
      glyph.y = ch - margin - glyphSize.cy;
      text.y = glyph.y - spacing - textSize.cy;
      break;
  }
  TButtonLayoutResult r;
  r.glyphPos = POINT{glyph.x + client.left + offset.x, glyph.y + client.top + offset.y};
  const int tx = text.x + client.left + offset.x, ty = text.y + client.top + offset.y;
  r.textBounds = RECT{tx, ty, tx + textSize.cx, ty + textSize.cy};
  return r;
}

TButtonGlyph::TButtonGlyph() { glyph_.SetPixelFormat(TPixelFormat::pf24bit); }

void TButtonGlyph::SetGlyph(const TBitmap& bitmap) {
  glyph_.Assign(bitmap);
  if (bitmap.Height() > 0 && bitmap.Width() % bitmap.Height() == 0) {
    const int n = bitmap.Width() / bitmap.Height();
    SetNumGlyphs(n >= 1 && n <= 4 ? n : 1);
  }
}

void TButtonGlyph::SetNumGlyphs(int n) { numGlyphs_ = std::clamp(n, 1, 4); }

SIZE TButtonGlyph::ImageSize() const {
  if (glyph_.Empty()) return SIZE{0, 0};
  return SIZE{glyph_.Width() / numGlyphs_, glyph_.Height()};
}

int TButtonGlyph::ImageIndex(TButtonState state) const {
  const int index = static_cast<int>(state);
  if (index < numGlyphs_) return index;
  return state == bsDisabled ? 1 : 0;
}

void MakeDisabledImage(const TBitmap& source, int index, int count, TColor key, TColor shadow, TColor highlight,
                       TBitmap& out) {
  const int w = count > 0 ? source.Width() / count : 0, h = source.Height();
  out.SetPixelFormat(TPixelFormat::pf24bit);
  out.SetSize(w, h);
  if (w <= 0 || h <= 0) return;
  source.ScanLine(0);  // flushes drawing still queued
  const TColor keyRgb = ColorToRGB(key);
  const TColor shadowRgb = ColorToRGB(shadow), highlightRgb = ColorToRGB(highlight);
  std::vector<bool> dark(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), false);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const TColor c = source.PixelColor(index * w + x, y);
      if (c == keyRgb) continue;
      // Light pixels (white highlights of a glyph) vanish as they do on a disabled button face.
      const int luma = (ColorRed(c) * 30 + ColorGreen(c) * 59 + ColorBlue(c) * 11) / 100;
      dark[static_cast<std::size_t>(y) * w + x] = luma < 192;
    }
  out.ScanLine(0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      TColor c = keyRgb;
      if (dark[static_cast<std::size_t>(y) * w + x])
        c = shadowRgb;
      else if (x > 0 && y > 0 && dark[static_cast<std::size_t>(y - 1) * w + (x - 1)])
        c = highlightRgb;
      out.SetPixelColor(x, y, c);
    }
}

void TButtonGlyph::DrawImage(HDC dc, int x, int y, TButtonState state) const {
  if (glyph_.Empty()) return;
  const SIZE size = ImageSize();
  if (size.cx <= 0) return;
  auto& glyph = const_cast<TBitmap&>(glyph_);
  const TColor key = ColorToRGB(glyph_.PixelColor(0, glyph_.Height() - 1));
  const int index = ImageIndex(state);
  if (state == bsDisabled && numGlyphs_ < 2) {
    TBitmap disabled;
    MakeDisabledImage(glyph_, 0, numGlyphs_, key, clBtnShadow, clBtnHighlight, disabled);
    TransparentBlt(dc, x, y, size.cx, size.cy, disabled.Canvas().Handle(), 0, 0, size.cx, size.cy, static_cast<UINT>(key));
    return;
  }
  TransparentBlt(dc, x, y, size.cx, size.cy, glyph.Canvas().Handle(), index * size.cx, 0, size.cx, size.cy,
                 static_cast<UINT>(key));
}

SIZE TButtonGlyph::TextSize(TCanvas& canvas, const std::wstring& caption, int maxWidth, UINT biDiFlags) {
  if (caption.empty()) return SIZE{0, 0};
  RECT r{0, 0, std::max(maxWidth, 0), 0};
  canvas.DrawText(caption, r, DT_CALCRECT | biDiFlags);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

RECT TButtonGlyph::Draw(TCanvas& canvas, const RECT& client, POINT offset, const std::wstring& caption, TButtonLayout layout,
                        int margin, int spacing, TButtonState state, UINT biDiFlags) const {
  const SIZE textSize = TextSize(canvas, caption, client.right - client.left, biDiFlags);
  const TButtonLayoutResult l = CalcButtonLayout(client, offset, ImageSize(), textSize, layout, margin, spacing);
  DrawImage(canvas.Handle(), l.glyphPos.x, l.glyphPos.y, state);
  if (!caption.empty()) {
    RECT r = l.textBounds;
    canvas.Brush.style = TBrushStyle::bsClear;
    const UINT flags = DT_CENTER | DT_VCENTER | biDiFlags;
    if (state == bsDisabled) {
      const TColor keep = canvas.Font().Color();
      canvas.Font().SetColor(clBtnHighlight);
      RECT shifted = r;
      OffsetRect(&shifted, 1, 1);
      canvas.DrawText(caption, shifted, flags);
      canvas.Font().SetColor(clBtnShadow);
      canvas.DrawText(caption, r, flags);
      canvas.Font().SetColor(keep);
    } else {
      canvas.DrawText(caption, r, flags);
    }
  }
  return l.textBounds;
}

}  // namespace vex::host
