#include "host/canvas.h"

#include "host/bitmap.h"

#include "host/graphic.h"

namespace vex::host {

TCanvas::TCanvas(HDC dc) : dc_(dc) {}

TCanvas::~TCanvas() { Deselect(); }

void TCanvas::SetHandle(HDC dc) {
  if (dc == dc_) return;
  Deselect();
  dc_ = dc;
}

void TCanvas::Deselect() {
  if (dc_) {
    if (oldPen_) SelectObject(dc_, oldPen_);
    if (oldBrush_) SelectObject(dc_, oldBrush_);
    if (oldFont_) SelectObject(dc_, oldFont_);
  }
  oldPen_ = oldBrush_ = oldFont_ = nullptr;
  fontSelected_ = nullptr;
  penValid_ = brushValid_ = false;
  // The GDI objects may only be freed once nothing has them selected.
  pen_.Reset();
  brush_.Reset();
}

void TCanvas::RequirePen() {
  RequireHandle();
  if (penValid_ && penMade_.color == Pen.color && penMade_.width == Pen.width && penMade_.style == Pen.style) return;
  static const int kStyles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL};
  TOwnedPen made(CreatePen(kStyles[static_cast<int>(Pen.style)], Pen.width, static_cast<COLORREF>(ColorToRGB(Pen.color))));
  HGDIOBJ old = SelectObject(dc_, made.Get());
  if (!oldPen_) oldPen_ = old;
  pen_ = std::move(made);
  penMade_ = Pen;
  penValid_ = true;
}

void TCanvas::RequireBrush() {
  RequireHandle();
  if (brushValid_ && brushMade_.color == Brush.color && brushMade_.style == Brush.style) return;
  TOwnedBrush made;
  if (Brush.style == TBrushStyle::bsClear) {
    LOGBRUSH lb{BS_NULL, 0, 0};
    made = TOwnedBrush(CreateBrushIndirect(&lb));
  } else {
    made = TOwnedBrush(CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(Brush.color))));
  }
  HGDIOBJ old = SelectObject(dc_, made.Get());
  if (!oldBrush_) oldBrush_ = old;
  brush_ = std::move(made);
  brushMade_ = Brush;
  brushValid_ = true;
}

void TCanvas::RequireFont() {
  RequireHandle();
  HFONT f = font_.Handle();
  if (f == fontSelected_) return;
  HGDIOBJ old = SelectObject(dc_, f);
  if (!oldFont_) oldFont_ = old;
  fontSelected_ = f;
}

void TCanvas::PrepareText() {
  RequireFont();
  RequireBrush();
  SetTextColor(dc_, static_cast<COLORREF>(ColorToRGB(font_.Color())));
  if (Brush.style == TBrushStyle::bsClear) {
    SetBkMode(dc_, TRANSPARENT);
  } else {
    SetBkMode(dc_, OPAQUE);
    SetBkColor(dc_, static_cast<COLORREF>(ColorToRGB(Brush.color)));
  }
}

void TCanvas::FillRect(const RECT& r) {
  RequireBrush();
  if (Brush.style != TBrushStyle::bsClear) ::FillRect(dc_, &r, brush_.Get());
}

void TCanvas::FrameRect(const RECT& r) {
  RequireBrush();
  if (Brush.style != TBrushStyle::bsClear) ::FrameRect(dc_, &r, brush_.Get());
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
  RequirePen();
  RequireBrush();
  ::Rectangle(dc_, left, top, right, bottom);
}

void TCanvas::MoveTo(int x, int y) {
  RequireHandle();
  MoveToEx(dc_, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
  RequirePen();
  ::LineTo(dc_, x, y);
}

void TCanvas::Polygon(const std::vector<POINT>& points) {
  RequirePen();
  RequireBrush();
  if (!points.empty()) ::Polygon(dc_, points.data(), static_cast<int>(points.size()));
}

void TCanvas::Polyline(const std::vector<POINT>& points) {
  RequirePen();
  if (!points.empty()) ::Polyline(dc_, points.data(), static_cast<int>(points.size()));
}

void TCanvas::Draw(int x, int y, const TGraphic& graphic) {
  RequireHandle();
  if (graphic.Empty()) return;
  graphic.Draw(*this, RECT{x, y, x + graphic.Width(), y + graphic.Height()});
}

void TCanvas::StretchDraw(const RECT& r, const TGraphic& graphic) {
  RequireHandle();
  if (!graphic.Empty()) graphic.Draw(*this, r);
}

void TCanvas::CopyRect(const RECT& dest, const TCanvas& source, const RECT& src) {
  RequireHandle();
  const_cast<TCanvas&>(source).RequireHandle();
  StretchBlt(dc_, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, source.dc_, src.left, src.top,
             src.right - src.left, src.bottom - src.top, SRCCOPY);
}

TBitmap* TCanvas::Bitmap() const { return bitmap_ && bitmap_->OwnsDC(dc_) ? bitmap_ : nullptr; }

void TCanvas::TextOut(int x, int y, const std::wstring& text) {
  PrepareText();
  ::TextOutW(dc_, x, y, text.c_str(), static_cast<int>(text.size()));
}

SIZE TCanvas::TextExtent(const std::wstring& text) {
  RequireFont();
  SIZE s{0, 0};
  GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &s);
  return s;
}

int TCanvas::DrawText(const std::wstring& text, RECT& r, UINT flags) {
  PrepareText();
  return ::DrawTextW(dc_, text.c_str(), static_cast<int>(text.size()), &r, flags);
}

TColor TCanvas::Pixel(int x, int y) {
  RequireHandle();
  return static_cast<TColor>(GetPixel(dc_, x, y));
}

void TCanvas::SetPixel(int x, int y, TColor c) {
  RequireHandle();
  SetPixelV(dc_, x, y, static_cast<COLORREF>(ColorToRGB(c)));
}

void TCanvas::DrawFocusRect(const RECT& r) {
  RequireHandle();
  ::DrawFocusRect(dc_, &r);
}

void TCanvas::SetStretchMode(int mode) {
  RequireHandle();
  SetStretchBltMode(dc_, mode);
  if (mode == HALFTONE) SetBrushOrgEx(dc_, 0, 0, nullptr);
}

TWindowCanvas::TWindowCanvas(HWND wnd, TWindowDC::TKind kind) : windowDc_(wnd, kind) { SetHandle(windowDc_.Get()); }

}  // namespace vex::host
