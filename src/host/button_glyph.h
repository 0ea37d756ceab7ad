// What bitmap buttons and speed buttons share: a glyph of up to four images side by side (up,
// disabled, clicked, down), the layout of the glyph and the caption in the button, and their
// drawing.
#pragma once

#include <windows.h>

#include <string>

#include "host/bitmap.h"
#include "host/canvas.h"

namespace vex::host {

enum TButtonLayout : int { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
// The state a button is drawn in; it picks the glyph image: up 0, disabled 1, clicked 2, down 3.
enum TButtonState : int { bsUp, bsDisabled, bsDown, bsExclusive };

// Where the glyph and the caption go inside `client`, moved by `offset` (a pressed button's).
// Glyph and text are centred across the layout's direction; along it, the glyph stands `margin`
// pixels from the edge of its side with `spacing` pixels to the text. Margin -1 centres glyph and
// text together; spacing -1 (with margin -1) spreads them evenly, (with a margin) centres the
// text in the room left. Spacing counts only when there is both a glyph and a text.
struct TButtonLayoutResult {
  POINT glyphPos{};
  RECT textBounds{};
};
TButtonLayoutResult CalcButtonLayout(const RECT& client, POINT offset, SIZE glyphSize, SIZE textSize, TButtonLayout layout,
                                     int margin, int spacing);

class TButtonGlyph {
 public:
  TButtonGlyph();
  TButtonGlyph(const TButtonGlyph&) = delete;
  TButtonGlyph& operator=(const TButtonGlyph&) = delete;

  const TBitmap& Glyph() const { return glyph_; }
  // The object streaming reads the glyph into ("Glyph.Data").
  TBitmap& GlyphObject() { return glyph_; }
  // Copies the bitmap; a width that is a multiple of the height (up to four) sets the image count.
  void SetGlyph(const TBitmap& bitmap);
  int NumGlyphs() const { return numGlyphs_; }
  // 1..4; other values are clamped.
  void SetNumGlyphs(int n);
  // The size of one image; empty without a glyph.
  SIZE ImageSize() const;

  // The image index drawn for a state: the state's own when the glyph has it, else up (disabled
  // without its own image is made from the up image, embossed grey: index 1 of a made image).
  int ImageIndex(TButtonState state) const;
  // Draws the state's image at (x, y), the glyph's bottom-left colour transparent.
  void DrawImage(HDC dc, int x, int y, TButtonState state) const;
  // Lays out and draws glyph and caption in `client`; a disabled caption is drawn embossed.
  // Returns the caption's bounds.
  RECT Draw(TCanvas& canvas, const RECT& client, POINT offset, const std::wstring& caption, TButtonLayout layout,
            int margin, int spacing, TButtonState state, UINT biDiFlags) const;
  // The caption's size in the canvas's font (mnemonic ampersands not counted).
  static SIZE TextSize(TCanvas& canvas, const std::wstring& caption, int maxWidth, UINT biDiFlags);

 private:
  TBitmap glyph_;
  int numGlyphs_ = 1;
};

// An embossed grey image of `source`'s image at `index` (of `count` side by side): its dark pixels
// (not the transparent colour) become `shadow` with `highlight` one pixel below right; the rest is
// the transparent colour `key`.
void MakeDisabledImage(const TBitmap& source, int index, int count, TColor key, TColor shadow, TColor highlight,
                       TBitmap& out);

}  // namespace vex::host
