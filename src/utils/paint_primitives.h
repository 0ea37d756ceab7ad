// Painting primitives on the framework's bitmaps and canvases: slicing, turning and recolouring
// skin bitmaps, painting them into rectangles, gradients, arrow glyphs, borders, window regions.
#pragma once

#include <windows.h>

#include "host/bitmap.h"
#include "host/canvas.h"

namespace vex::utils {

using host::TBitmap;
using host::TCanvas;
using host::TColor;

// dest becomes slice `index` (1-based) of `count` equal-width slices of source; nothing when
// source is null.
void SliceBitmap(const TBitmap* source, TBitmap& dest, int count, int index);
void RotateBitmapLeft(TBitmap& bmp);   // 90 degrees counter-clockwise
void RotateBitmapRight(TBitmap& bmp);  // 90 degrees clockwise
void RotateBitmap180(TBitmap& bmp);
// Makes the bitmap 24-bit and replaces every pixel of one colour by another (nothing when either
// is the absent colour).
void ReplaceBitmapColor(TBitmap& bmp, TColor from, TColor to);

// Corners, edges and centre of a push-button image fill the rectangle (nine sections).
void PaintNineSection(const TBitmap& bmp, TCanvas& canvas, const RECT& r, bool transparent, TColor mask);
// Left cell, stretched middle cell, right cell.
void PaintThreeCells(const TBitmap& bmp, TCanvas& canvas, const RECT& r, bool transparent, TColor mask);
// Top and bottom caps of `cap` rows (0: a third of the height), middle stretched; nothing for a
// negative Left. Makes the bitmap 24-bit.
void StretchThreeVertical(TBitmap& bmp, TCanvas& canvas, const RECT& r, int cap);
void StretchThreeHorizontal(TBitmap& bmp, TCanvas& canvas, const RECT& r, int cap);
void StretchHalftone(const TBitmap& bmp, TCanvas& canvas, const RECT& r);

// dest becomes a 32-bit copy of source with every pixel of colour `key` replaced by `fill`
// (straight through the DIB memory: the system's transparent blit is slow).
void CopyReplacingColor(const TBitmap& source, TBitmap& dest, TColor key, TColor fill);

void GradientFillRows(TCanvas& canvas, const RECT& r, TColor first, TColor last);
void GradientFillColumns(TCanvas& canvas, const RECT& r, TColor first, TColor last);
TColor InvertColor(TColor c);
void FrameRectColor(TCanvas& canvas, const RECT& r, TColor c);
void FillRectColor(TCanvas& canvas, const RECT& r, TColor c);

void DrawArrowDown(TCanvas& canvas, int x, int y, bool enabled);
void DrawArrowUp(TCanvas& canvas, int x, int y, bool enabled);
void DrawArrowLeft(TCanvas& canvas, int x, int y, bool enabled);
void DrawArrowRight(TCanvas& canvas, int x, int y, bool enabled);

// A one-pixel frame (and optionally a second inside it) on the whole window.
void DrawWindowBorder(HWND wnd, TColor outer, TColor inner, bool drawInner);
// The two-pixel border of a control's client area in `colour`, and a line down its left edge in
// the skin's control border colour.
void PaintControlBorder(HWND control, TColor controlBorderColor, TColor colour);

// Sets the window's region from the title and bottom images (see WindowRegionRects); the window
// owns the region. Images too detailed for a region (past kMaxTracedRuns runs, or more than
// kMaxRegionRects rectangles once merged) give the window its bounding shape.
void BuildWindowRegion(HWND wnd, const TBitmap* title, const TBitmap* bottom, bool titleNeedsRegion,
                       bool bottomNeedsRegion, int titleMinY, int titleMaxY, int bottomMinY, int bottomMaxY,
                       TColor transparent, int height, int width);

}  // namespace vex::utils
