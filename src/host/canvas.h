// Drawing surfaces: a device context with a pen, a brush and a font.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "host/color.h"
#include "host/font.h"
#include "host/gdi_handle.h"

namespace vex::host {

class TGraphic;

enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear };
enum class TBrushStyle { bsSolid, bsClear };

struct TPen {
  TColor color = clBlack;
  int width = 1;
  TPenStyle style = TPenStyle::psSolid;
};

struct TBrush {
  TColor color = clWhite;
  TBrushStyle style = TBrushStyle::bsSolid;
};

// A canvas on a device context it borrows. Pen, brush and font are made into GDI objects when a
// drawing call needs them and selected into the context; the context's own objects are put back
// when the canvas lets go of it.
class TBitmap;

class TCanvas {
 public:
  explicit TCanvas(HDC dc = nullptr);
  virtual ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  HDC Handle() const { return dc_; }
  void SetHandle(HDC dc);
  // The bitmap whose pixels the canvas draws on now (its own canvas), or none.
  TBitmap* Bitmap() const;

  TPen Pen;
  TBrush Brush;
  TFont& Font() { return font_; }
  const TFont& Font() const { return font_; }

  void FillRect(const RECT& r);
  void FrameRect(const RECT& r);  // one pixel wide, with the brush
  void Rectangle(int left, int top, int right, int bottom);
  void Rectangle(const RECT& r) { Rectangle(r.left, r.top, r.right, r.bottom); }
  void MoveTo(int x, int y);
  void LineTo(int x, int y);  // the end point is not drawn
  void Polygon(const std::vector<POINT>& points);
  void Polyline(const std::vector<POINT>& points);

  // A graphic at a point (honouring its transparency), or stretched into a rectangle.
  void Draw(int x, int y, const TGraphic& graphic);
  void StretchDraw(const RECT& r, const TGraphic& graphic);
  // Copies (stretching if the sizes differ) a rectangle of another canvas.
  void CopyRect(const RECT& dest, const TCanvas& source, const RECT& sourceRect);

  // Text in the font's colour; with a clear brush the background shows through.
  void TextOut(int x, int y, const std::wstring& text);
  SIZE TextExtent(const std::wstring& text);
  int TextWidth(const std::wstring& text) { return TextExtent(text).cx; }
  int TextHeight(const std::wstring& text) { return TextExtent(text).cy; }
  // DrawTextW with the given flags; returns the text height (DT_CALCRECT updates r).
  int DrawText(const std::wstring& text, RECT& r, UINT flags);

  TColor Pixel(int x, int y);
  void SetPixel(int x, int y, TColor c);
  void DrawFocusRect(const RECT& r);
  void SetStretchMode(int mode);

 protected:
  // Called before drawing; a canvas that acquires its context late does it here.
  virtual void RequireHandle() {}

 private:
  void RequirePen();
  void RequireBrush();
  void RequireFont();
  void PrepareText();
  void Deselect();

  HDC dc_;
  friend class TBitmap;
  TBitmap* bitmap_ = nullptr;  // set by the bitmap whose canvas this is
  TFont font_;
  TOwnedPen pen_;
  TOwnedBrush brush_;
  TPen penMade_{};
  TBrush brushMade_{};
  bool penValid_ = false, brushValid_ = false;
  HFONT fontSelected_ = nullptr;
  HGDIOBJ oldPen_ = nullptr, oldBrush_ = nullptr, oldFont_ = nullptr;
};

// A canvas on a window: its client area, or the whole window with the non-client frame, or the
// screen (null window, client kind). The device context is released with the canvas.
class TWindowCanvas : public TCanvas {
 public:
  TWindowCanvas(HWND wnd, TWindowDC::TKind kind);
  ~TWindowCanvas() override { SetHandle(nullptr); }  // put the objects back before the release

 private:
  TWindowDC windowDc_;
};

}  // namespace vex::host
