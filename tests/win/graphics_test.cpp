// The host framework's graphics on GDI, checked pixel by pixel.
#include <windows.h>

#include <gtest/gtest.h>

#include "host/bitmap.h"
#include "host/canvas.h"
#include "host/icon.h"
#include "host/image_list.h"

namespace vex::host {
namespace {

TBitmap Filled(int w, int h, TColor c) {
  TBitmap b(w, h);
  b.Canvas().Brush.color = c;
  b.Canvas().FillRect(RECT{0, 0, w, h});
  return b;
}

class Graphics : public ::testing::Test {
 protected:
  void SetUp() override { live_ = GdiLiveObjects(); }
  void TearDown() override { EXPECT_EQ(GdiLiveObjects(), live_) << "GDI objects leaked"; }
  long live_ = 0;
};

TEST_F(Graphics, CanvasShapesTouchExactlyTheirPixels) {
  TBitmap b = Filled(20, 20, clWhite);
  TCanvas& c = b.Canvas();
  c.Brush.color = clRed;
  c.FillRect(RECT{2, 3, 5, 6});
  EXPECT_EQ(c.Pixel(2, 3), clRed);
  EXPECT_EQ(c.Pixel(4, 5), clRed);
  EXPECT_EQ(c.Pixel(5, 5), clWhite);  // right and bottom are exclusive
  EXPECT_EQ(c.Pixel(4, 6), clWhite);

  c.Brush.color = clBlue;
  c.FrameRect(RECT{10, 10, 15, 15});
  EXPECT_EQ(c.Pixel(10, 12), clBlue);
  EXPECT_EQ(c.Pixel(14, 14), clBlue);
  EXPECT_EQ(c.Pixel(12, 12), clWhite);

  c.Pen.color = clLime;
  c.MoveTo(0, 19);
  c.LineTo(10, 19);
  EXPECT_EQ(c.Pixel(0, 19), clLime);
  EXPECT_EQ(c.Pixel(9, 19), clLime);
  EXPECT_EQ(c.Pixel(10, 19), clWhite);  // the end point is not drawn

  c.Pen.color = clBlack;
  c.Brush.color = clYellow;
  c.Rectangle(0, 10, 6, 16);
  EXPECT_EQ(c.Pixel(0, 10), clBlack);
  EXPECT_EQ(c.Pixel(5, 15), clBlack);
  EXPECT_EQ(c.Pixel(3, 13), clYellow);
  c.Brush.style = TBrushStyle::bsClear;
  c.Rectangle(16, 0, 20, 4);
  EXPECT_EQ(c.Pixel(17, 1), clWhite);  // a clear brush leaves the inside alone
  EXPECT_EQ(c.Pixel(16, 0), clBlack);

  c.Brush.style = TBrushStyle::bsSolid;
  c.Brush.color = clGreen;
  c.Pen.color = clGreen;
  c.Polygon({{10, 0}, {14, 0}, {12, 4}});
  EXPECT_EQ(c.Pixel(12, 1), clGreen);
  EXPECT_EQ(c.Pixel(10, 4), clWhite);

  c.SetPixel(19, 19, MakeRgb(1, 2, 3));
  EXPECT_EQ(c.Pixel(19, 19), MakeRgb(1, 2, 3));
  EXPECT_EQ(b.PixelColor(19, 19), MakeRgb(1, 2, 3));  // the same pixel through the DIB memory
  b.SetPixelColor(18, 19, clSilver);
  EXPECT_EQ(c.Pixel(18, 19), clSilver);
  // System colours are converted before use.
  c.Brush.color = clBtnFace;
  c.FillRect(RECT{0, 0, 1, 1});
  EXPECT_EQ(c.Pixel(0, 0), static_cast<TColor>(GetSysColor(COLOR_BTNFACE)));
}

TEST_F(Graphics, TextIsDrawnInTheFontColourAndMeasured) {
  TBitmap b = Filled(120, 30, clWhite);
  TCanvas& c = b.Canvas();
  c.Font().SetColor(clRed);
  c.Brush.style = TBrushStyle::bsClear;
  const SIZE s = c.TextExtent(L"Skin");
  EXPECT_GT(s.cx, 10);
  EXPECT_GT(s.cy, 8);
  c.TextOut(2, 2, L"Skin");
  int red = 0, other = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 120; ++x) {
      const TColor p = c.Pixel(x, y);
      if (p == clWhite) continue;
      const bool inside = x >= 2 && x < 2 + s.cx && y >= 2 && y < 2 + s.cy;
      EXPECT_TRUE(inside) << x << "," << y;
      (ColorRed(p) > 150 && ColorGreen(p) < 100 ? red : other)++;
    }
  EXPECT_GT(red, 10);
  // Bold text is wider.
  const int normal = c.TextWidth(L"Skin engine");
  c.Font().SetStyle(fsBold);
  EXPECT_GT(c.TextWidth(L"Skin engine"), normal);
  RECT r{0, 0, 0, 0};
  c.DrawText(L"Skin engine", r, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(r.right, c.TextWidth(L"Skin engine"));
  // An opaque brush fills the text background.
  c.Brush.style = TBrushStyle::bsSolid;
  c.Brush.color = clBlue;
  c.TextOut(60, 10, L"x");
  EXPECT_EQ(c.Pixel(60, 10), clBlue);
}

TEST_F(Graphics, FocusRectangleIsItsOwnUndo) {
  TBitmap b = Filled(10, 10, clWhite);
  b.Canvas().DrawFocusRect(RECT{1, 1, 9, 9});
  int dotted = 0;
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) {
      const bool onFrame = (x == 1 || x == 8 || y == 1 || y == 8) && x >= 1 && x <= 8 && y >= 1 && y <= 8;
      if (b.PixelColor(x, y) != clWhite) {
        EXPECT_TRUE(onFrame) << x << "," << y;
        ++dotted;
      }
    }
  EXPECT_GE(dotted, 10);
  b.Canvas().DrawFocusRect(RECT{1, 1, 9, 9});
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) EXPECT_EQ(b.PixelColor(x, y), clWhite);
}

TEST_F(Graphics, BitmapResizeFormatAndAssign) {
  TBitmap b = Filled(4, 4, clRed);
  b.SetSize(6, 5);
  EXPECT_EQ(b.PixelColor(3, 3), clRed);
  EXPECT_EQ(b.PixelColor(5, 4), clWhite);
  b.SetPixelFormat(TPixelFormat::pf24bit);
  EXPECT_EQ(b.PixelFormat(), TPixelFormat::pf24bit);
  EXPECT_EQ(b.PixelColor(0, 0), clRed);
  EXPECT_EQ(b.Canvas().Pixel(0, 0), clRed);
  EXPECT_EQ(b.Stride(), 20);  // 6 x 3 bytes, padded to four

  TBitmap copy;
  copy.Assign(b);
  b.Canvas().Brush.color = clBlue;
  b.Canvas().FillRect(RECT{0, 0, 6, 5});
  EXPECT_EQ(copy.PixelColor(0, 0), clRed);  // a copy, not a share
  EXPECT_EQ(copy.Width(), 6);
  EXPECT_EQ(copy.PixelFormat(), TPixelFormat::pf24bit);
  b.SetSize(0, 0);
  EXPECT_TRUE(b.Empty());
}

TEST_F(Graphics, TransparencyIsHonouredWhenDrawing) {
  TBitmap sprite = Filled(4, 4, clBlack);
  sprite.SetPixelColor(1, 1, clFuchsia);
  sprite.SetPixelColor(2, 2, clFuchsia);
  TBitmap target = Filled(10, 10, clBlue);
  target.Canvas().Draw(0, 0, sprite);  // opaque
  EXPECT_EQ(target.PixelColor(1, 1), clFuchsia);

  sprite.SetTransparentColor(clFuchsia);
  sprite.SetTransparent(true);
  target.Canvas().Draw(5, 5, sprite);
  EXPECT_EQ(target.PixelColor(6, 6), clBlue);
  EXPECT_EQ(target.PixelColor(7, 7), clBlue);
  EXPECT_EQ(target.PixelColor(5, 5), clBlack);

  // Automatic mode takes the bottom-left pixel.
  TBitmap autoKey = Filled(3, 3, clGreen);
  autoKey.SetPixelColor(1, 1, clRed);
  autoKey.SetTransparent(true);
  EXPECT_EQ(autoKey.TransparentMode(), TTransparentMode::tmAuto);
  EXPECT_EQ(autoKey.TransparentColor(), clGreen);
  TBitmap t2 = Filled(6, 6, clWhite);
  t2.Canvas().StretchDraw(RECT{0, 0, 6, 6}, autoKey);
  EXPECT_EQ(t2.PixelColor(0, 0), clWhite);
  EXPECT_EQ(t2.PixelColor(2, 2), clRed);  // stretched twice
  EXPECT_EQ(t2.PixelColor(3, 3), clRed);
}

TEST_F(Graphics, PortableImagesRoundTrip) {
  image::TvexImage img(3, 2);
  img.SetPixel(0, 0, 0x112233);
  img.SetPixel(2, 1, 0xFF00FF);
  img.SetFixedTransparentColor(0xFF00FF);
  img.SetTransparent(true);
  TBitmap b;
  b.LoadFromImage(img);
  EXPECT_EQ(b.PixelColor(0, 0), MakeRgb(0x11, 0x22, 0x33));
  EXPECT_EQ(b.TransparentMode(), TTransparentMode::tmFixed);
  EXPECT_EQ(b.TransparentColor(), 0xFF00FF);
  EXPECT_TRUE(b.Transparent());
  const image::TvexImage back = b.ToImage();
  EXPECT_TRUE(back.SamePixels(img));
  EXPECT_EQ(back.TransparentColor(), 0xFF00FFu);
}

TEST_F(Graphics, CopyRectBetweenCanvases) {
  TBitmap a = Filled(4, 4, clRed);
  a.SetPixelColor(0, 0, clBlue);
  TBitmap b = Filled(8, 8, clWhite);
  b.Canvas().CopyRect(RECT{4, 4, 8, 8}, a.Canvas(), RECT{0, 0, 4, 4});
  EXPECT_EQ(b.PixelColor(4, 4), clBlue);
  EXPECT_EQ(b.PixelColor(7, 7), clRed);
  EXPECT_EQ(b.PixelColor(3, 3), clWhite);
}

TEST_F(Graphics, ImageListDrawsMaskedAndGreyed) {
  TImageList list(nullptr, 4, 4);
  TBitmap strip = Filled(8, 4, MakeRgb(200, 40, 40));
  strip.SetPixelColor(0, 0, clFuchsia);
  strip.SetPixelColor(5, 1, clFuchsia);
  EXPECT_EQ(list.AddMasked(strip, clFuchsia), 0);
  EXPECT_EQ(list.Count(), 2);

  TBitmap target = Filled(12, 4, clBlue);
  list.Draw(target.Canvas(), 0, 0, 0);
  EXPECT_EQ(target.PixelColor(0, 0), clBlue);  // masked pixel shows the background
  EXPECT_EQ(target.PixelColor(1, 0), MakeRgb(200, 40, 40));
  list.Draw(target.Canvas(), 6, 0, 1, false);
  EXPECT_EQ(target.PixelColor(6 + 1, 1), clBlue);  // still masked when greyed
  const TColor grey = target.PixelColor(6, 0);
  EXPECT_NE(grey, MakeRgb(200, 40, 40));
  EXPECT_LE(std::abs(ColorRed(grey) - ColorGreen(grey)), 1);
  EXPECT_GE(ColorRed(grey), 128);

  list.Delete(0);
  EXPECT_EQ(list.Count(), 1);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  list.SetSize(16, 16);
  EXPECT_EQ(list.Width(), 16);
}

TEST_F(Graphics, ImageListTakesPlainImagesWithAMaskBitmap) {
  TImageList list(nullptr, 2, 2);
  TBitmap img = Filled(2, 2, clRed);
  TBitmap mask = Filled(2, 2, clBlack);
  mask.SetPixelColor(1, 1, clWhite);  // white mask pixels are transparent
  EXPECT_EQ(list.Add(img, &mask), 0);
  EXPECT_EQ(list.Add(img), 1);
  TBitmap target = Filled(4, 2, clBlue);
  list.Draw(target.Canvas(), 0, 0, 0);
  list.Draw(target.Canvas(), 2, 0, 1);
  EXPECT_EQ(target.PixelColor(0, 0), clRed);
  EXPECT_EQ(target.PixelColor(1, 1), clBlue);
  EXPECT_EQ(target.PixelColor(3, 1), clRed);
}

TEST_F(Graphics, CanvasesOnAWindowAndItsWholeFrame) {
  HWND wnd = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE | WS_BORDER, 10, 10, 60, 40, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(wnd, nullptr);
  UpdateWindow(wnd);
  {
    TWindowCanvas client(wnd, TWindowDC::TKind::Client);
    client.Brush.color = clRed;
    client.FillRect(RECT{0, 0, 5, 5});
    EXPECT_EQ(client.Pixel(2, 2), clRed);
    TWindowCanvas whole(wnd, TWindowDC::TKind::Whole);
    whole.Pixel(0, 0);
    whole.Brush.color = clLime;
    whole.FillRect(RECT{0, 0, 60, 1});  // the border row belongs to the whole window only
    EXPECT_EQ(whole.Pixel(30, 0), clLime);
    EXPECT_EQ(whole.Pixel(3, 3), clRed);  // the client's pixel, one border pixel in
  }
  DestroyWindow(wnd);
}

TEST_F(Graphics, IconsFromTheProgramsResources) {
  TIcon icon;
  ASSERT_TRUE(icon.LoadFromResourceName(GetModuleHandleW(nullptr), L"MAINICON", 16, 16));
  EXPECT_EQ(icon.Width(), 16);
  TBitmap target = Filled(16, 16, clWhite);
  target.Canvas().Draw(0, 0, icon);
  int changed = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) changed += target.PixelColor(x, y) != clWhite;
  EXPECT_GT(changed, 100);
  TIcon copy;
  copy.Assign(icon);
  EXPECT_NE(copy.Handle(), icon.Handle());
  EXPECT_FALSE(icon.LoadFromResourceName(GetModuleHandleW(nullptr), L"NO_SUCH_ICON"));
}

TEST_F(Graphics, FontsDescribeAndMakeGdiFonts) {
  LOGFONTW lf{};
  lf.lfHeight = -16;
  lstrcpyW(lf.lfFaceName, L"Arial");
  TFont f(lf);
  EXPECT_EQ(f.Height(), -16);
  EXPECT_EQ(f.Name(), L"Arial");
  HFONT h = f.Handle();
  EXPECT_NE(h, nullptr);
  EXPECT_EQ(f.Handle(), h);  // kept until the description changes
  int changes = 0;
  f.OnChange = [&](TObject*) { ++changes; };
  f.SetStyle(fsBold | fsItalic);
  EXPECT_EQ(f.Style(), fsBold | fsItalic);
  EXPECT_EQ(changes, 1);
  f.SetSize(12);
  EXPECT_EQ(f.Size(), 12);
  TFont g;
  g.Assign(f);
  EXPECT_EQ(g.Name(), L"Arial");
  EXPECT_EQ(g.Style(), fsBold | fsItalic);
  TFont fromHandle;
  fromHandle.SetHandle(f.Handle());
  EXPECT_EQ(fromHandle.Height(), f.Height());
}

TEST_F(Graphics, AWorkloadLeavesNoGdiObjectBehind) {
  const long before = GdiLiveObjects();
  for (int i = 0; i < 200; ++i) {
    TBitmap b(32, 16, i % 2 ? TPixelFormat::pf24bit : TPixelFormat::pf32bit);
    b.Canvas().Pen.color = MakeRgb(i, 0, 0);
    b.Canvas().Brush.color = MakeRgb(0, i, 0);
    b.Canvas().Rectangle(0, 0, 10, 10);
    b.Canvas().Font().SetSize(8 + i % 5);
    b.Canvas().TextOut(0, 0, L"abc");
    b.SetSize(40, 20);
    TImageList l(nullptr, 8, 8);
    l.AddMasked(b, clWhite);
    l.Draw(b.Canvas(), 0, 0, 0, false);
  }
  EXPECT_EQ(GdiLiveObjects(), before);
}

}  // namespace
}  // namespace vex::host
