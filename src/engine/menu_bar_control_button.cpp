#include "engine/menu_bar_control_button.h"

#include <windowsx.h>

#include <algorithm>

#include "host/prop_builder.h"
#include "utils/paint_primitives.h"

namespace vex::engine {

using namespace vex::host;

const TClassInfo& TvexSkinMenuBarControlButton::StaticClass() {
  static TClassInfo info("TvexSkinMenuBarControlButton", &TCustomPanel::StaticClass());
  static const bool once = [] {
    // Color and OnClick come published from the control.
    TPropBuilder<TvexSkinMenuBarControlButton> b(info);
    b.Object("Glyph", TPropKind::Object, TBitmap::StaticClass(),
             [](const TvexSkinMenuBarControlButton& x) { return const_cast<TBitmap*>(&x.Glyph()); },
             [](TvexSkinMenuBarControlButton& x, TObject* o) {
               if (o && o->Is<TBitmap>()) x.SetGlyph(*static_cast<TBitmap*>(o));
             });
    b.Color("ToColor", [](const TvexSkinMenuBarControlButton& x) { return x.ToColor(); },
            [](TvexSkinMenuBarControlButton& x, std::int64_t v) { x.SetToColor(static_cast<TColor>(v)); })
        .defaultValue = std::int64_t{clWhite};
    return true;
  }();
  (void)once;
  return info;
}

TvexSkinMenuBarControlButton::TvexSkinMenuBarControlButton(TComponent* owner) : TCustomPanel(owner, StaticClass()) {
  width_ = 18;
  height_ = 18;
  color_ = clBtnFace;
  SetBevelOuter(bvNone);
  // Nothing is placed on it; the mouse is the button's own.
  controlStyle_ &= ~static_cast<unsigned>(csAcceptsControls);
}

void TvexSkinMenuBarControlButton::SetGlyph(const TBitmap& glyph) {
  FGlyphImage.Assign(glyph);
  FGlyphImage.SetTransparent(true);
  Invalidate();
}

void TvexSkinMenuBarControlButton::SetToColor(TColor c) {
  if (c == FEndColor) return;
  FEndColor = c;
  Invalidate();
}

void TvexSkinMenuBarControlButton::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_MOUSEENTER:
      FHot = true;
      Invalidate();
      break;
    case CM_MOUSELEAVE:
      FHot = false;
      Invalidate();
      break;
    case WM_ERASEBKGND:
      // The paint covers every pixel.
      m.Result = 1;
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      // The press holds the mouse; the click comes with a release over the button.
      if (Enabled() && HandleAllocated()) {
        pressed_ = true;
        SetCapture(Handle());
      }
      m.Result = 0;
      return;
    case WM_LBUTTONUP: {
      const bool pressed = pressed_;
      pressed_ = false;
      if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
      const POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
      const RECT r = ClientRect();
      m.Result = 0;
      // Clicking may free the button (its frame gives the form back); nothing follows it.
      if (pressed && PtInRect(&r, p)) Click();
      return;
    }
    case WM_CAPTURECHANGED:
      pressed_ = false;
      break;
    default:
      break;
  }
  TCustomPanel::WndProc(m);
}

void TvexSkinMenuBarControlButton::Paint() {
  const RECT r = ClientRect();
  if (r.right <= 0 || r.bottom <= 0) return;
  buffer_.SetSize(r.right, r.bottom);
  TCanvas& c = buffer_.Canvas();
  if (Color() == FEndColor)
    utils::FillRectColor(c, r, Color());
  else
    utils::GradientFillRows(c, r, Color(), FEndColor);
  if (!FGlyphImage.Empty()) {
    if (FHot) utils::FrameRectColor(c, r, clBlack);
    // Centred: one pixel in from the edges of the 18-pixel button at 96 DPI.
    const int x = std::max(0, (static_cast<int>(r.right) - FGlyphImage.Width()) / 2);
    const int y = std::max(0, (static_cast<int>(r.bottom) - FGlyphImage.Height()) / 2);
    c.Draw(x, y, FGlyphImage);
  }
  BitBlt(Canvas().Handle(), 0, 0, r.right, r.bottom, c.Handle(), 0, 0, SRCCOPY);
}

}  // namespace vex::engine
