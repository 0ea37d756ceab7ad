#include "controls/button_painters.h"

#include <algorithm>

#include "host/bitmap.h"
#include "host/button_glyph.h"
#include "image/button_layout.h"
#include "skin2/skin_keys.h"
#include "utils/back_buffer.h"
#include "utils/paint_primitives.h"
#include "utils/skin_part.h"
#include "utils/text_helpers.h"

namespace vex::engine {

using namespace vex::host;
namespace keys = vex::skin2;

namespace {

int Width(const TControlView& v) { return v.bounds.right - v.bounds.left; }
int Height(const TControlView& v) { return v.bounds.bottom - v.bounds.top; }

// The caption centred in `area`: measured first with the flags of a word-wrapped caption, then
// drawn centred on the measured size.
void DrawCentredCaption(TCanvas& canvas, const TControlView& v, RECT area) {
  if (v.caption.empty()) return;
  canvas.Brush.style = TBrushStyle::bsClear;
  if (!v.enabled) canvas.Font().SetColor(0x808080);
  if (v.pressed) OffsetRect(&area, 1, 1);
  RECT r = area;
  canvas.DrawText(v.caption, r, DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK);
  OffsetRect(&r, ((area.right - area.left) - (r.right - r.left)) / 2, ((area.bottom - area.top) - (r.bottom - r.top)) / 2);
  canvas.DrawText(v.caption, r, DT_CENTER);
  canvas.Brush.style = TBrushStyle::bsSolid;
}

RECT PaintBox(TvexSkinEngine& e, const TControlView& v, TCanvas& canvas, int key, int count, int slice, bool transparent) {
  const utils::TSkinPart part{key, count, slice, transparent};
  const SIZE size = utils::SkinPartSize(*e.CurrentReader(v.dpi), part);
  const int bw = std::max<int>(size.cx, 14), bh = std::max<int>(size.cy, Height(v));
  const int x = v.boxRight ? Width(v) - bw - v.boxInset : 0;
  const int y = v.boxCentred ? (Height(v) - size.cy) / 2 : 0;
  utils::FillRectColor(canvas, RECT{x, 0, x + bw, bh}, v.background != clNone ? v.background : e.GetFormColor());
  utils::PaintSkinPart(*e.CurrentReader(v.dpi), canvas, part, RECT{x, y, x + size.cx, y + size.cy}, utils::TPartFill::Draw);
  return RECT{x, 0, x + bw, bh};
}

}  // namespace

void PaintPushButton(TvexSkinEngine& e, const TControlView& v, TCanvas& canvas) {
  const int w = Width(v), h = Height(v);
  const RECT r{0, 0, w, h};
  const TColor background = v.background != clNone ? v.background : e.GetSkinColor(keys::color::SKIN2_FORMCOLOR);
  const int slice = v.pressed ? 3 : v.hot ? 2 : 1;
  // The face of each look and size is composed once and copied from then on.
  const utils::TSkinPart part{keys::bitmap::SKIN2_BUTTON, 3, slice, e.GetSkinSwitch(keys::switches::SKIN2_BUTTONTRANS)};
  if (const TBitmap* face = utils::ComposedSkinPart(*e.CurrentReader(v.dpi), part, w, h, background, utils::TPartFill::NineSection))
    BitBlt(canvas.Handle(), 0, 0, w, h, const_cast<TBitmap*>(face)->Canvas().Handle(), 0, 0, SRCCOPY);
  else
    utils::FillRectColor(canvas, r, background);
  if (v.focused) {
    RECT f{5, 5, w - 5, h - 5};
    if (v.pressed) OffsetRect(&f, 1, 1);
    canvas.Brush.style = TBrushStyle::bsSolid;
    canvas.DrawFocusRect(f);
  }
  if (v.font)
    canvas.Font().SetHandle(v.font);
  else
    utils::AssignMenuFont(canvas.Font(), v.dpi);
  canvas.Font().SetColor(v.fontColor != clNone ? v.fontColor : e.GetSkinColor(keys::color::SKIN2_BUTTONFONTCOLOR));
  if (v.glyph.bitmap && v.glyph.bitmap->Width() > 0 && v.glyph.bitmap->Height() > 0)
    PaintGlyphAndCaption(v, canvas, true);
  else
    DrawCentredCaption(canvas, v, r);
}

SIZE MeasureCaption(TCanvas& canvas, const TControlView& v, int width) {
  if (v.caption.empty()) return SIZE{0, 0};
  RECT r{0, 0, width, 0};
  canvas.DrawText(v.caption, r, DT_CALCRECT | (v.rightToLeft ? DT_RTLREADING : 0));
  return SIZE{r.right - r.left, r.bottom - r.top};
}

void DrawButtonGlyph(TCanvas& canvas, const TBitmap& glyph, int count, bool enabled, int x, int y) {
  count = std::max(1, count);
  const int gw = glyph.Width() / count, gh = glyph.Height();
  if (gw <= 0 || gh <= 0) return;
  HDC source = const_cast<TBitmap&>(glyph).Canvas().Handle();
  if (count > 1 || enabled) {
    const int image = std::min(enabled ? 1 : 2, count);
    const COLORREF key = static_cast<COLORREF>(ColorToRGB(glyph.TransparentColor()));
    TransparentBlt(canvas.Handle(), x, y, gw, gh, source, (image - 1) * gw, 0, gw, gh, key);
    return;
  }
  // One image, disabled: its shape embossed in grey, masked by the top-left pixel's colour.
  const TColor key = glyph.PixelColor(0, 0);
  TBitmap disabled;
  MakeDisabledImage(glyph, 0, 1, key, clBtnShadow, clBtnHighlight, disabled);
  TransparentBlt(canvas.Handle(), x, y, gw, gh, disabled.Canvas().Handle(), 0, 0, gw, gh, static_cast<UINT>(ColorToRGB(key)));
}

void PaintGlyphAndCaption(const TControlView& v, TCanvas& canvas, bool pressedOffset) {
  const TBitmap& glyph = *v.glyph.bitmap;
  const int count = std::max(1, v.glyph.count);
  const SIZE text = MeasureCaption(canvas, v, Width(v));
  image::TButtonLayoutInput in;
  in.clientWidth = Width(v);
  in.clientHeight = Height(v);
  in.glyphWidth = glyph.Width() / count;
  in.glyphHeight = glyph.Height();
  in.textWidth = text.cx;
  in.textHeight = text.cy;
  in.layout = v.glyph.layout;
  in.margin = v.glyph.margin;
  in.spacing = v.glyph.spacing;
  in.rightToLeft = v.rightToLeft;
  in.emptyCaptionNoSpacing = v.glyph.emptyCaptionNoSpacing;
  const image::TButtonLayout at = image::LayoutButtonGlyph(in);
  // A pressed glyph moves with the caption; a lone image shown disabled does not.
  const int shift = pressedOffset && v.pressed && (count > 1 || v.enabled) ? 1 : 0;
  DrawButtonGlyph(canvas, glyph, count, v.enabled, at.glyphX + shift, at.glyphY + shift);
  if (v.caption.empty()) return;
  RECT textRect{at.textX, at.textY, at.textX + text.cx, at.textY + text.cy};
  canvas.Brush.style = TBrushStyle::bsClear;
  if (!v.enabled) canvas.Font().SetColor(0x808080);
  if (v.pressed && pressedOffset) OffsetRect(&textRect, 1, 1);
  canvas.DrawText(v.caption, textRect, DT_CENTER | (v.rightToLeft ? DT_RTLREADING : 0));
  canvas.Brush.style = TBrushStyle::bsSolid;
}

int CheckBoxSlice(int check, bool enabled) {
  if (check == BST_CHECKED) return enabled ? 1 : 4;
  if (check == BST_UNCHECKED) return enabled ? 3 : 6;
  return enabled ? 2 : 5;
}

int RadioButtonSlice(int check, bool enabled) {
  if (check != BST_UNCHECKED) return enabled ? 1 : 3;
  return enabled ? 2 : 4;
}

RECT PaintCheckBoxBox(TvexSkinEngine& e, const TControlView& v, TCanvas& canvas) {
  return PaintBox(e, v, canvas, keys::bitmap::SKIN2_CHECKBOX, 6, CheckBoxSlice(v.check, v.enabled),
           e.GetSkinSwitch(keys::switches::SKIN2_CHECKBOXTRANS));
}

RECT PaintRadioButtonBox(TvexSkinEngine& e, const TControlView& v, TCanvas& canvas) {
  return PaintBox(e, v, canvas, keys::bitmap::SKIN2_RADIOBUTTON, 4, RadioButtonSlice(v.check, v.enabled), true);
}

RECT CopyBoxColumn(TvexSkinEngine& e, const TControlView& v, HDC dc, TBoxPainter box) {
  const int w = Width(v), h = Height(v);
  if (w <= 0 || h <= 0) return RECT{0, 0, 0, 0};
  TCanvas& canvas = utils::TBackBuffer::ForThread().Canvas(w, h);
  RECT column = box(e, v, canvas);
  IntersectRect(&column, &column, &v.bounds);
  BitBlt(dc, column.left, column.top, column.right - column.left, column.bottom - column.top, canvas.Handle(), column.left, column.top,
         SRCCOPY);
  return column;
}

}  // namespace vex::engine
