// Painting primitives, the skin reader, the sliced resources and the helpers, checked on pixels.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>

#include "host/application.h"
#include "host/form.h"
#include "skin2/archive_writer.h"
#include "skin2/default_skin.h"
#include "skin2/skin_file_writer.h"
#include "skin2/skin_keys.h"
#include "test_support.h"
#include "utils/paint_primitives.h"
#include "utils/platform_helpers.h"
#include "utils/skin_reader.h"
#include "utils/skin_res.h"
#include "utils/text_helpers.h"

namespace vex::utils {
namespace {

using namespace vex::host;
namespace keys = vex::skin2;

// A bitmap whose every pixel tells where it is: red = x, green = y.
TBitmap Coordinates(int w, int h) {
  TBitmap b(w, h, TPixelFormat::pf24bit);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixelColor(x, y, MakeRgb(x, y, 7));
  return b;
}

TBitmap Filled(int w, int h, TColor c) {
  TBitmap b(w, h);
  b.Canvas().Brush.color = c;
  b.Canvas().FillRect(RECT{0, 0, w, h});
  return b;
}

POINT SourceOf(const TBitmap& b, int x, int y) {
  const TColor c = b.PixelColor(x, y);
  return POINT{ColorRed(c), ColorGreen(c)};
}

TEST(Primitives, SlicesAndRotations) {
  TBitmap strip = Coordinates(252, 25);
  TBitmap slice;
  SliceBitmap(&strip, slice, 3, 2);
  EXPECT_EQ(slice.Width(), 84);
  EXPECT_EQ(slice.Height(), 25);
  EXPECT_EQ(SourceOf(slice, 0, 0).x, 84);
  SliceBitmap(nullptr, slice, 3, 1);  // nothing happens
  EXPECT_EQ(slice.Width(), 84);

  TBitmap b = Coordinates(54, 18);
  RotateBitmapLeft(b);
  ASSERT_EQ(b.Width(), 18);
  ASSERT_EQ(b.Height(), 54);
  // Source (x, y) lands at (y, W-1-x).
  EXPECT_EQ(SourceOf(b, 5, 53 - 10).x, 10);
  EXPECT_EQ(SourceOf(b, 5, 53 - 10).y, 5);
  TBitmap r = Coordinates(54, 18);
  RotateBitmapRight(r);
  // Source (x, y) lands at (H-1-y, x).
  EXPECT_EQ(SourceOf(r, 17 - 3, 20).x, 20);
  EXPECT_EQ(SourceOf(r, 17 - 3, 20).y, 3);
  TBitmap h = Coordinates(10, 4);
  RotateBitmap180(h);
  EXPECT_EQ(SourceOf(h, 0, 0).x, 9);
  EXPECT_EQ(SourceOf(h, 0, 0).y, 3);

  TBitmap k = Filled(3, 3, clFuchsia);
  k.SetPixelColor(1, 1, clBlue);
  ReplaceBitmapColor(k, clFuchsia, MakeRgb(232, 232, 232));
  EXPECT_EQ(k.PixelFormat(), TPixelFormat::pf24bit);
  EXPECT_EQ(k.PixelColor(0, 0), MakeRgb(232, 232, 232));
  EXPECT_EQ(k.PixelColor(1, 1), clBlue);
}

TEST(Primitives, TransparentSectionsInMemoryMatchTheSystemsTransparentBlit) {
  // A slice with the mask colour in stripes: every section, stretched or not, drawn on a bitmap's
  // own canvas (through memory) and on a plain device context over the same kind of bitmap (the
  // system's transparent blit), over the same background.
  TBitmap slice = Coordinates(84, 25);
  for (int y = 0; y < 25; ++y)
    for (int x = 0; x < 84; x += 3) slice.SetPixelColor(x, y, clFuchsia);
  struct TCase {
    int w, h;
    TPixelFormat format;
  };
  for (const TCase c : {TCase{75, 23, TPixelFormat::pf24bit}, TCase{150, 60, TPixelFormat::pf32bit}, TCase{84, 25, TPixelFormat::pf24bit},
                        TCase{20, 9, TPixelFormat::pf32bit}}) {
    SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
    TBitmap own(c.w, c.h, c.format);
    own.Canvas().Brush.color = clLime;
    own.Canvas().FillRect(RECT{0, 0, c.w, c.h});
    TBitmap plain(c.w, c.h, c.format);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, plain.Handle());
    {
      TCanvas canvas(dc);
      ASSERT_EQ(canvas.Bitmap(), nullptr);
      canvas.Brush.color = clLime;
      canvas.FillRect(RECT{0, 0, c.w, c.h});
      PaintNineSection(slice, canvas, RECT{0, 0, c.w, c.h}, true, clFuchsia);
      canvas.SetHandle(nullptr);
    }
    GdiFlush();
    SelectObject(dc, old);
    DeleteDC(dc);
    ASSERT_EQ(own.Canvas().Bitmap(), &own);
    PaintNineSection(slice, own.Canvas(), RECT{0, 0, c.w, c.h}, true, clFuchsia);
    int differing = 0, lime = 0;
    for (int y = 0; y < c.h; ++y)
      for (int x = 0; x < c.w; ++x) {
        if (own.PixelColor(x, y) != plain.PixelColor(x, y)) ++differing;
        if (own.PixelColor(x, y) == clLime) ++lime;
      }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(lime, 0) << "the mask colour leaves the background";
  }
}

TEST(Primitives, NineSectionsOfAButtonSlice) {
  TBitmap slice = Coordinates(84, 25);
  TBitmap target = Filled(75, 23, clWhite);
  PaintNineSection(slice, target.Canvas(), RECT{0, 0, 75, 23}, false, clFuchsia);
  struct Probe {
    int x, y, sx, sy;
  };
  const Probe probes[] = {
      {0, 0, 0, 0},    {36, 10, 36, 10},  // top-left corner, one to one
      {74, 0, 83, 0},  {39, 10, 48, 10},  // top-right corner keeps the right columns
      {0, 22, 0, 24},  {0, 13, 0, 15},    // bottom-left: the bottom rows
      {74, 22, 83, 24},                   // bottom-right
      {0, 11, 0, 12},  {0, 12, 0, 12},    // left edge: row 12 stretched over y 11-12
      {74, 12, 83, 12},                   // right edge: row hh
      {37, 5, 42, 5},  {38, 0, 42, 0},    // top edge: column 42 over x 37-38
      {37, 11, 42, 12},                   // centre
      {36, 22, 42, 24},                   // bottom edge reaches x 36
  };
  for (const Probe& p : probes) {
    const POINT s = SourceOf(target, p.x, p.y);
    EXPECT_EQ(s.x, p.sx) << p.x << "," << p.y;
    EXPECT_EQ(s.y, p.sy) << p.x << "," << p.y;
  }
  // Three pixels tall: only the top-left corner.
  TBitmap low = Filled(75, 3, clWhite);
  PaintNineSection(slice, low.Canvas(), RECT{0, 0, 75, 3}, false, clFuchsia);
  EXPECT_NE(low.PixelColor(0, 0), clWhite);
  EXPECT_EQ(low.PixelColor(40, 0), clWhite);
  EXPECT_EQ(low.PixelColor(0, 2), clWhite);
  // Transparent corners leave the mask colour out; edges always do.
  TBitmap masked = Filled(84, 25, clFuchsia);
  masked.SetPixelColor(10, 10, clBlue);
  TBitmap onGreen = Filled(84, 25, clGreen);
  PaintNineSection(masked, onGreen.Canvas(), RECT{0, 0, 84, 25}, true, clFuchsia);
  EXPECT_EQ(onGreen.PixelColor(0, 0), clGreen);
  EXPECT_EQ(onGreen.PixelColor(10, 10), clBlue);
}

TEST(Primitives, ThreeCellsAndStretches) {
  TBitmap cells = Coordinates(60, 8);
  TBitmap t = Filled(100, 8, clWhite);
  PaintThreeCells(cells, t.Canvas(), RECT{0, 0, 100, 8}, false, clFuchsia);
  EXPECT_EQ(SourceOf(t, 0, 0).x, 0);
  EXPECT_EQ(SourceOf(t, 99, 0).x, 59);
  EXPECT_EQ(SourceOf(t, 80, 0).x, 40);
  EXPECT_EQ(SourceOf(t, 50, 0).x / 10, 3);  // the middle cell, stretched
  TBitmap narrow = Filled(12, 8, clWhite);
  PaintThreeCells(cells, narrow.Canvas(), RECT{0, 0, 12, 8}, false, clFuchsia);
  EXPECT_EQ(SourceOf(narrow, 11, 0).x, 11);

  TBitmap v = Coordinates(7, 13);
  TBitmap tall = Filled(7, 40, clWhite);
  StretchThreeVertical(v, tall.Canvas(), RECT{0, 0, 7, 40}, 2);
  EXPECT_EQ(SourceOf(tall, 0, 0).y, 0);
  EXPECT_EQ(SourceOf(tall, 0, 39).y, 12);
  EXPECT_EQ(SourceOf(tall, 0, 38).y, 11);
  TBitmap untouched = Filled(7, 40, clWhite);
  StretchThreeVertical(v, untouched.Canvas(), RECT{-1, 0, 6, 40}, 2);
  EXPECT_EQ(untouched.PixelColor(3, 3), clWhite);
}

TEST(Primitives, GradientsUseTheirWeights) {
  TBitmap b = Filled(3, 4, clWhite);
  GradientFillRows(b.Canvas(), RECT{0, 0, 3, 2}, MakeRgb(0, 0, 0), MakeRgb(200, 100, 50));
  EXPECT_EQ(b.PixelColor(0, 0), MakeRgb(0, 0, 0));
  EXPECT_EQ(b.PixelColor(2, 1), MakeRgb(200, 100, 50));
  GradientFillRows(b.Canvas(), RECT{0, 3, 3, 4}, clRed, clBlue);
  EXPECT_EQ(b.PixelColor(0, 3), clBlue);  // one row: the last colour
  TBitmap g = Filled(1, 5, clWhite);
  GradientFillRows(g.Canvas(), RECT{0, 0, 1, 5}, MakeRgb(0, 0, 0), MakeRgb(100, 100, 100));
  // Rows 1-3 weigh (y - Top - 1) steps of 100 / 5.
  EXPECT_EQ(g.PixelColor(0, 1), MakeRgb(0, 0, 0));
  EXPECT_EQ(g.PixelColor(0, 2), MakeRgb(20, 20, 20));
  EXPECT_EQ(g.PixelColor(0, 3), MakeRgb(40, 40, 40));
  TBitmap c = Filled(5, 1, clWhite);
  GradientFillColumns(c.Canvas(), RECT{0, 0, 5, 1}, MakeRgb(0, 0, 0), MakeRgb(100, 100, 100));
  // Columns weigh (x - Left).
  EXPECT_EQ(c.PixelColor(1, 0), MakeRgb(20, 20, 20));
  EXPECT_EQ(c.PixelColor(3, 0), MakeRgb(60, 60, 60));
  EXPECT_EQ(c.PixelColor(4, 0), MakeRgb(100, 100, 100));
  EXPECT_EQ(InvertColor(MakeRgb(1, 2, 3)), MakeRgb(254, 253, 252));
}

TEST(Primitives, ArrowGlyphs) {
  TBitmap b = Filled(20, 20, clWhite);
  DrawArrowDown(b.Canvas(), 2, 2, true);
  EXPECT_EQ(b.PixelColor(5, 3), clBlack);
  EXPECT_EQ(b.PixelColor(5, 7), clWhite);
  DrawArrowUp(b.Canvas(), 14, 2, false);
  EXPECT_EQ(b.PixelColor(14, 4), clGray);
  EXPECT_EQ(b.PixelColor(15, 6), clWhite);  // the white shadow under the grey glyph
}

class UtilsWithSkin : public ::testing::Test {
 protected:
  void SetUp() override { WriteSkin("default.vsk", keys::BuildDefaultSkinArchive()); }
  void WriteSkin(const std::string& name, const std::vector<std::uint8_t>& bytes) { test::WriteFile(dir / name, bytes); }
  test::TScopedTempDir dir;
};

TEST_F(UtilsWithSkin, ReaderLoadsPreparesAndAnnounces) {
  TvexSkinReader reader;
  int loads = 0;
  reader.OnLoaded = [&](TvexSkinReader* r) {
    EXPECT_EQ(r, &reader);
    ++loads;
  };
  EXPECT_FALSE(reader.Ready());
  EXPECT_EQ(reader.GetColor(keys::color::SKIN2_FORMCOLOR), -1);
  EXPECT_EQ(reader.GetBitmap(keys::bitmap::SKIN2_BUTTON), nullptr);
  reader.Load(dir / "default.vsk", "");
  EXPECT_TRUE(reader.Ready());
  EXPECT_EQ(loads, 1);
  TBitmap* button = reader.GetBitmap(keys::bitmap::SKIN2_BUTTON);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->Width(), 252);
  EXPECT_EQ(button->PixelFormat(), TPixelFormat::pf24bit);
  EXPECT_EQ(button->TransparentMode(), TTransparentMode::tmFixed);
  EXPECT_EQ(button->TransparentColor(), 0xFF00FF);
  EXPECT_EQ(button->PixelColor(0, 0), clFuchsia);  // other bitmaps keep magenta
  TBitmap* track = reader.GetBitmap(keys::bitmap::SKIN2_TRACKBAR);
  ASSERT_NE(track, nullptr);
  EXPECT_EQ(track->PixelColor(0, 0), MakeRgb(232, 232, 232));  // the channel takes the form colour

  reader.Load(dir / "missing.vsk", "");
  EXPECT_FALSE(reader.Ready());
  EXPECT_EQ(loads, 2);
  WriteSkin("locked.vsk", keys::BuildDefaultSkinArchive("pw"));
  reader.Load(dir / "default.vsk", "");
  EXPECT_THROW(reader.Load(dir / "locked.vsk", "wrong"), keys::EvexSkinError);
  EXPECT_TRUE(reader.Ready());  // the previous skin stays, unannounced
  EXPECT_NE(reader.GetBitmap(keys::bitmap::SKIN2_BUTTON), nullptr);
  EXPECT_EQ(loads, 3);
  EXPECT_EQ(dir.Files(), (std::vector<std::string>{"default.vsk", "locked.vsk"}));
}

TEST_F(UtilsWithSkin, TheAbsentTransparentColourMasksAndRecoloursNothing) {
  // A skin without SKIN2_TRANSCOLOR whose bitmaps are black: black is a colour like any other.
  keys::TSkinFileWriter w;
  w.AddInteger("SKIN2_FORMCOLOR", clLime);
  w.AddBitmap("SKIN2_TRACKBAR", image::TvexImage(6, 4, 0));
  w.AddBitmap("SKIN2_BUTTON", image::TvexImage(6, 6, 0));
  WriteSkin("opaque.vsk", keys::WriteSkinArchive(w.Build(), {}));
  TvexSkinReader reader(dir / "opaque.vsk");
  ASSERT_TRUE(reader.Ready());
  EXPECT_EQ(reader.GetColor(keys::color::SKIN2_TRANSCOLOR), clNoColor);
  EXPECT_EQ(reader.GetBitmap(keys::bitmap::SKIN2_TRACKBAR)->PixelColor(0, 0), clBlack);  // not recoloured
  TBitmap* button = reader.GetBitmap(keys::bitmap::SKIN2_BUTTON);
  ASSERT_NE(button, nullptr);

  // Every way a bitmap is drawn with its transparent colour left out: with the absent colour it
  // draws as with a colour it does not contain (all of it shows); with black, its own colour,
  // black is left out.
  using Paint = std::function<void(const TBitmap&, TCanvas&, const RECT&, TColor)>;
  const std::pair<const char*, Paint> paths[] = {
      {"Draw",
       [](const TBitmap& b, TCanvas& c, const RECT& r, TColor mask) {
         TBitmap copy;
         copy.Assign(b);
         copy.SetTransparent(true);
         copy.SetTransparentColor(mask);
         c.Draw(r.left, r.top, copy);
       }},
      {"PaintThreeCells", [](const TBitmap& b, TCanvas& c, const RECT& r, TColor mask) { PaintThreeCells(b, c, r, true, mask); }},
      {"PaintNineSection", [](const TBitmap& b, TCanvas& c, const RECT& r, TColor mask) { PaintNineSection(b, c, r, true, mask); }},
      {"AddMasked",
       [](const TBitmap& b, TCanvas& c, const RECT& r, TColor mask) {
         TImageList list(nullptr, b.Width(), b.Height());
         ASSERT_EQ(list.AddMasked(b, mask), 0);
         list.Draw(c, r.left, r.top, 0);
       }},
  };
  auto paintOnWhite = [&](const Paint& paint, TColor mask) {
    TBitmap target = Filled(20, 20, clWhite);
    paint(*button, target.Canvas(), RECT{4, 4, 16, 16}, mask);
    std::vector<TColor> px;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x) px.push_back(target.PixelColor(x, y));
    return px;
  };
  for (const auto& [name, paint] : paths) {
    const std::vector<TColor> whole = paintOnWhite(paint, clFuchsia);
    const auto blackIn = [](const std::vector<TColor>& px) { return std::count(px.begin(), px.end(), clBlack); };
    ASSERT_GE(blackIn(whole), 36) << name;
    EXPECT_EQ(paintOnWhite(paint, clNoColor), whole) << name;
    EXPECT_LT(blackIn(paintOnWhite(paint, clBlack)), blackIn(whole)) << name;
  }

  // Recolouring from or to the absent colour changes nothing.
  TBitmap dark = Filled(3, 3, clBlack);
  ReplaceBitmapColor(dark, clNoColor, clRed);
  ReplaceBitmapColor(dark, clBlack, clNoColor);
  EXPECT_EQ(dark.PixelColor(1, 1), clBlack);
  ReplaceBitmapColor(dark, clBlack, clRed);
  EXPECT_EQ(dark.PixelColor(1, 1), clRed);

  // A black title cuts nothing from the window's region without a transparent colour.
  HWND wnd = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
  TBitmap title = Filled(300, 31, clBlack);
  for (const TColor key : {clNoColor, clBlack}) {
    BuildWindowRegion(wnd, &title, nullptr, true, false, 0, 5, -1, -1, key, 200, 300);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(wnd, rgn), ERROR);
    EXPECT_EQ(PtInRegion(rgn, 0, 0) != FALSE, key == clNoColor) << key;
    EXPECT_TRUE(PtInRegion(rgn, 150, 100));
    DeleteObject(rgn);
  }
  DestroyWindow(wnd);
}

TEST_F(UtilsWithSkin, ScrollResourcesFromTheDefaultSkin) {
  TvexSkinReader reader(dir / "default.vsk");
  TvexSkinScrollBtnRes res;
  EXPECT_EQ(res.VertButton(1), nullptr);
  res.SetReader(&reader);
  for (int i = 1; i <= 6; ++i) {
    ASSERT_NE(res.VertButton(i), nullptr);
    EXPECT_EQ(res.VertButton(i)->Width(), 18);
    EXPECT_EQ(res.HorzButton(i)->Height(), 18);
  }
  EXPECT_EQ(res.ThumbWidth(), 18);
  const int heights[] = {3, 19, 19, 19, 3};
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(res.VertThumbPiece(i)->Height(), heights[i - 1]) << i;
  EXPECT_FALSE(res.WholeThumb());
  // Magenta became the scroll-bar colour in every piece.
  const TColor bar = MakeRgb(249, 249, 249);
  EXPECT_EQ(res.VertButton(1)->PixelColor(0, 0), bar);
  EXPECT_EQ(res.VertThumbPiece(1)->PixelColor(0, 0), bar);
  for (int i = 1; i <= 5; ++i)
    for (int y = 0; y < res.VertThumbPiece(i)->Height(); ++y)
      for (int x = 0; x < 18; ++x) EXPECT_NE(res.VertThumbPiece(i)->PixelColor(x, y), clFuchsia);
  // The thumb is shaded across, so its horizontal pieces are turned right and the arrows swapped.
  EXPECT_EQ(res.HorzThumbPiece(1)->Width(), 3);
  EXPECT_EQ(res.HorzThumbPiece(5)->Height(), 18);

  TvexSkinTabRes tabs;
  tabs.SetReader(&reader);
  EXPECT_EQ(tabs.Image(TvexSkinTabRes::tkSelected, TvexSkinTabRes::toStored)->Width(), 30);
  EXPECT_EQ(tabs.Image(TvexSkinTabRes::tkSelected, TvexSkinTabRes::toLeft)->Width(), 22);
  EXPECT_EQ(tabs.Image(TvexSkinTabRes::tkLine, TvexSkinTabRes::toRight)->Height(), 8);
  TvexSkinProgressBarRes progress;
  progress.SetReader(&reader);
  EXPECT_EQ(progress.LeftWidth(), 1);
  EXPECT_EQ(progress.RightWidth(), 1);
  EXPECT_EQ(progress.HorzPiece(2)->Width(), 7);
  EXPECT_EQ(progress.VertPiece(2)->Width(), 13);
  TvexSkinReader empty;
  progress.SetReader(&empty);
  EXPECT_EQ(progress.HorzPiece(1), nullptr);
  tabs.SetReader(&empty);  // no Ready check: empty images exist
  ASSERT_NE(tabs.Image(TvexSkinTabRes::tkLine, TvexSkinTabRes::toStored), nullptr);
  EXPECT_TRUE(tabs.Image(TvexSkinTabRes::tkLine, TvexSkinTabRes::toStored)->Empty());
}

// A skin with the given thumb bitmap and scroll-bar colour on top of the default skin's keys.
std::vector<std::uint8_t> ThumbSkin(const image::TvexImage* thumb, std::int32_t scrollColor) {
  keys::TSkinFileWriter w;
  w.AddInteger("SKIN2_TRANSCOLOR", 0xFF00FF);
  w.AddInteger("SKIN2_SCROLLBARCOLOR", scrollColor);
  w.AddBitmap("SKIN2_SCROLLBARUPBUTTON", image::TvexImage(54, 18, 0x808080));
  w.AddBitmap("SKIN2_SCROLLBARDOWNBUTTON", image::TvexImage(54, 18, 0x404040));
  if (thumb) w.AddBitmap("SKIN2_SCROLLBAR", *thumb);
  return keys::WriteSkinArchive(w.Build(), {});
}

TEST_F(UtilsWithSkin, WholeThumbShortThumbAndNoThumb) {
  image::TvexImage whole(18, 33, 0x336699);
  whole.SetPixel(1, 10, image::ColorToPixel(11680001));
  WriteSkin("whole.vsk", ThumbSkin(&whole, 13355979));
  const image::TvexImage shortThumb(18, 8, 0x336699);
  WriteSkin("short.vsk", ThumbSkin(&shortThumb, 0xF9F9F9));
  WriteSkin("none.vsk", ThumbSkin(nullptr, 13355979));
  TvexSkinReader reader(dir / "whole.vsk");
  TvexSkinScrollBtnRes res;
  res.SetReader(&reader);
  EXPECT_TRUE(res.WholeThumb());
  ASSERT_NE(res.WholeThumbHorz(), nullptr);
  EXPECT_EQ(res.WholeThumbHorz()->Width(), 33);
  reader.Load(dir / "short.vsk", "");
  res.SetReader(&reader);
  EXPECT_FALSE(res.WholeThumb());
  for (int i = 2; i <= 4; ++i) EXPECT_EQ(res.VertThumbPiece(i)->Height(), 1) << i;
  reader.Load(dir / "none.vsk", "");
  res.SetReader(&reader);
  EXPECT_FALSE(res.WholeThumb());
  EXPECT_TRUE(res.VertThumbPiece(1)->Empty());
}

// Every image of the three resources, as sizes and pixels, in a fixed order (none: 0 x 0).
std::vector<std::vector<TColor>> Pictures(const TvexSkinScrollBtnRes& scroll, const TvexSkinTabRes& tabs,
                                          const TvexSkinProgressBarRes& progress) {
  std::vector<const TBitmap*> images;
  for (int i = 1; i <= 6; ++i) images.insert(images.end(), {scroll.HorzButton(i), scroll.VertButton(i)});
  for (int i = 1; i <= 5; ++i) images.insert(images.end(), {scroll.HorzThumbPiece(i), scroll.VertThumbPiece(i)});
  images.insert(images.end(), {scroll.WholeThumbHorz(), scroll.WholeThumbVert()});
  for (int k = 0; k < 3; ++k)
    for (int o = 0; o < 4; ++o)
      images.push_back(tabs.Image(static_cast<TvexSkinTabRes::TKind>(k), static_cast<TvexSkinTabRes::TOrientation>(o)));
  for (int i = 1; i <= 4; ++i) images.insert(images.end(), {progress.HorzPiece(i), progress.VertPiece(i)});
  std::vector<std::vector<TColor>> all;
  for (const TBitmap* b : images) {
    std::vector<TColor> px{b ? b->Width() : 0, b ? b->Height() : 0};
    for (int y = 0; b && y < b->Height(); ++y)
      for (int x = 0; x < b->Width(); ++x) px.push_back(b->PixelColor(x, y));
    all.push_back(std::move(px));
  }
  all.push_back({scroll.ThumbWidth(), scroll.WholeThumb(), progress.LeftWidth(), progress.RightWidth()});
  return all;
}

struct TResources {
  TvexSkinScrollBtnRes scroll;
  TvexSkinTabRes tabs;
  TvexSkinProgressBarRes progress;
  void SetReader(TvexSkinReader* r) {
    scroll.SetReader(r);
    tabs.SetReader(r);
    progress.SetReader(r);
  }
  std::vector<std::vector<TColor>> Pictures() const { return utils::Pictures(scroll, tabs, progress); }
};

// A load makes no bitmap object: each is made when first asked for, once; sizes are answered
// without making any.
TEST_F(UtilsWithSkin, ALoadMakesBitmapsAndResourcesOnlyWhenFirstAskedFor) {
  TvexSkinReader reader;
  TResources res;
  reader.OnLoaded = [&](TvexSkinReader* r) { res.SetReader(r); };
  const long before = GdiLiveObjects();
  reader.Load(dir / "default.vsk", "");
  ASSERT_TRUE(reader.Ready());
  for (int k = 0; k < keys::bitmap::kCount; ++k) {
    const image::TvexImage* img = keys::LookupBitmap(reader.FileReader(), k);
    const SIZE size = reader.BitmapSize(k);
    EXPECT_EQ(size.cx, img ? img->Width() : 0) << k;
    EXPECT_EQ(size.cy, img ? img->Height() : 0) << k;
  }
  EXPECT_EQ(GdiLiveObjects(), before) << "the load or a size made a bitmap object";

  TBitmap* button = reader.GetBitmap(keys::bitmap::SKIN2_BUTTON);
  ASSERT_NE(button, nullptr);
  const long oneMade = GdiLiveObjects();
  EXPECT_GT(oneMade, before);
  EXPECT_EQ(reader.GetBitmap(keys::bitmap::SKIN2_BUTTON), button);
  EXPECT_EQ(GdiLiveObjects(), oneMade);
  for (int k = 0; k < keys::bitmap::kCount; ++k) {
    const SIZE size = reader.BitmapSize(k);
    const TBitmap* b = reader.GetBitmap(k);
    EXPECT_EQ(b ? b->Width() : 0, size.cx) << k;
    EXPECT_EQ(b ? b->Height() : 0, size.cy) << k;
  }

  const long bitmapsMade = GdiLiveObjects();
  ASSERT_NE(res.scroll.VertButton(1), nullptr);
  const long scrollMade = GdiLiveObjects();
  EXPECT_GT(scrollMade, bitmapsMade);
  res.scroll.HorzThumbPiece(3);
  res.scroll.ThumbWidth();
  EXPECT_EQ(GdiLiveObjects(), scrollMade) << "the scroll resource was built twice";
  ASSERT_NE(res.progress.HorzPiece(1), nullptr);
  EXPECT_GT(GdiLiveObjects(), scrollMade);
}

// Resources build from the skin their reader had when it was handed over (or when they were
// reloaded), however late they are first used: after the reader has loaded another skin, dropped
// its skin, or is gone.
TEST_F(UtilsWithSkin, ResourcesFirstUsedLaterShowTheSkinTheyWereHanded) {
  WriteSkin("dark.vsk", keys::BuildDarkSkinArchive());
  TvexSkinReader defaultReader(dir / "default.vsk"), darkReader(dir / "dark.vsk");
  TResources now;
  now.SetReader(&defaultReader);
  const auto expected = now.Pictures();
  TResources dark;
  dark.SetReader(&darkReader);
  ASSERT_NE(dark.Pictures(), expected) << "the two skins must differ for this test to tell them apart";

  TvexSkinReader emptyReader;
  TResources none;
  none.SetReader(&emptyReader);
  const auto noSkin = none.Pictures();

  WriteSkin("bad.vsk", {'S', 'K', 0});
  struct Case {
    const char* what;
    std::function<void(std::unique_ptr<TvexSkinReader>&)> meanwhile;
    const std::vector<std::vector<TColor>>* toldAgain;  // the pictures once told again; null: no reader
  };
  const auto darkPictures = dark.Pictures();
  const Case cases[] = {
      {"the reader loaded another skin", [&](auto& r) { r->Load(dir / "dark.vsk", ""); }, &darkPictures},
      {"the reader dropped its skin", [&](auto& r) { r->Load(dir / "missing.vsk", ""); }, &noSkin},
      {"a load failed", [&](auto& r) { EXPECT_THROW(r->Load(dir / "bad.vsk", ""), keys::EvexSkinError); }, &expected},
      {"the reader is gone", [&](auto& r) { r.reset(); }, nullptr},
  };
  for (const Case& c : cases) {
    auto reader = std::make_unique<TvexSkinReader>(dir / "default.vsk");
    TResources later;
    later.SetReader(reader.get());
    c.meanwhile(reader);
    EXPECT_EQ(later.Pictures(), expected) << c.what;
    if (c.toldAgain) {
      later.SetReader(reader.get());
      EXPECT_EQ(later.Pictures(), *c.toldAgain) << c.what << ", told again";
    }
  }
}

// The engine's way: the resources are told after every load. Loading the same skin again gives
// the same pictures, another skin its own, and repeated switching leaks no bitmap object.
TEST_F(UtilsWithSkin, EveryLoadGivesFreshResourcesAndLeaksNothing) {
  WriteSkin("dark.vsk", keys::BuildDarkSkinArchive());
  TvexSkinReader reader;
  TResources res;
  reader.OnLoaded = [&](TvexSkinReader* r) { res.SetReader(r); };
  reader.Load(dir / "default.vsk", "");
  const auto light = res.Pictures();
  const long live = GdiLiveObjects();
  reader.Load(dir / "default.vsk", "");
  EXPECT_EQ(res.Pictures(), light);
  EXPECT_EQ(GdiLiveObjects(), live);
  TvexSkinReader darkReader(dir / "dark.vsk");
  TResources darkRes;
  darkRes.SetReader(&darkReader);
  const auto dark = darkRes.Pictures();
  const long withDark = GdiLiveObjects();
  for (int round = 0; round < 3; ++round) {
    reader.Load(dir / "dark.vsk", "");
    EXPECT_EQ(res.Pictures(), dark) << round;
    reader.Load(dir / "default.vsk", "");
    EXPECT_EQ(res.Pictures(), light) << round;
    EXPECT_EQ(GdiLiveObjects(), withDark) << round;
  }
}

TEST(TextHelpers, EllipsisIsTheLongestPrefixThatFits) {
  TBitmap b(10, 10);
  TCanvas& c = b.Canvas();
  const std::wstring text = L"Skinned window caption";
  const int full = TextWidthW(c, text), dots = TextWidthW(c, L"...");
  ASSERT_GT(dots, 0);
  // Every room from nothing to more than the whole text: the result is the text when it fits,
  // else a prefix plus "..." no wider than the room whose one-longer neighbour would not fit,
  // else (not even "..." fits) empty.
  for (int room = 0; room <= full + 2; ++room) {
    const std::wstring r = EllipsisTextW(c, text, room);
    if (full <= room) {
      EXPECT_EQ(r, text) << room;
      continue;
    }
    EXPECT_LE(TextWidthW(c, r), room) << room;
    if (room < dots) {
      EXPECT_EQ(r, L"") << room;
      continue;
    }
    ASSERT_GE(r.size(), 3u) << room;
    const std::size_t n = r.size() - 3;
    EXPECT_EQ(r, text.substr(0, n) + L"...") << room;
    EXPECT_GT(TextWidthW(c, text.substr(0, n + 1) + L"..."), room) << room;
  }
  // The narrow text version agrees with the wide one.
  for (int room : {dots - 1, dots, full / 3, full / 2, full - 1}) {
    const std::wstring w = EllipsisTextW(c, text, room);
    EXPECT_EQ(EllipsisText(c, "Skinned window caption", room), std::string(w.begin(), w.end())) << room;
  }
  // One character that does not fit, empty text, and a surrogate pair that is never split.
  EXPECT_EQ(EllipsisTextW(c, L"W", 1), L"");
  EXPECT_EQ(EllipsisTextW(c, text, -1), L"");  // no room at all
  EXPECT_EQ(EllipsisTextW(c, L"", 0), L"");
  EXPECT_EQ(EllipsisTextW(c, L"", -10), L"");
  EXPECT_EQ(EllipsisText(c, "", -10), "");
  const std::wstring pairs = L"\U0001F600\U0001F600\U0001F600\U0001F600";
  for (int room = dots; room < TextWidthW(c, pairs); ++room) {
    const std::wstring r = EllipsisTextW(c, pairs, room);
    EXPECT_EQ((r.size() - 3) % 2, 0u) << room;
  }
}

TEST(TextHelpers, Accelerators) {
  EXPECT_EQ(StripAccelerators(std::string("&File")), "File");
  EXPECT_EQ(StripAccelerators(std::wstring(L"Save && exit")), L"Save  exit");
  EXPECT_EQ(StripAccelerators(std::string("a&&b")), "ab");
  EXPECT_EQ(ReplaceAll(std::string("aXbXc"), "X", "--"), "a--b--c");
  EXPECT_EQ(ReplaceAll(std::string("ab"), "a", "aa"), "aab");  // terminates
}

TEST(TextHelpers, FontsAndSeparator) {
  TFont f;
  f.SetName(L"Nothing like it");
  AssignCaptionFont(f);
  EXPECT_NE(f.Name(), L"Nothing like it");
  AssignMenuFont(f);
  EXPECT_EQ(f.Color(), clMenuText);
  TBitmap b = Filled(40, 8, clWhite);
  DrawMenuSeparator(b.Canvas(), RECT{0, 0, 40, 8}, MakeRgb(132, 130, 132), true, 10);
  EXPECT_EQ(b.PixelColor(14, 2), MakeRgb(132, 130, 132));
  EXPECT_EQ(b.PixelColor(13, 2), clWhite);
  EXPECT_EQ(b.PixelColor(37, 2), MakeRgb(132, 130, 132));
  EXPECT_EQ(b.PixelColor(38, 2), clWhite);
}

TEST(PlatformHelpers, VersionFlags) {
  struct Case {
    DWORD major, minor, platform;
    bool win95, xp, vista;
  };
  const Case cases[] = {{4, 0, 1, true, false, false}, {5, 0, 2, false, false, false}, {5, 1, 2, false, true, false},
                        {6, 0, 2, false, false, true}, {6, 1, 2, false, true, false}, {10, 0, 2, false, true, false}};
  for (const Case& c : cases) {
    SetSystemVersion({c.major, c.minor, c.platform});
    EXPECT_EQ(IsWin95(), c.win95) << c.major << "." << c.minor;
    EXPECT_EQ(IsWinXPStyle(), c.xp) << c.major << "." << c.minor;
    EXPECT_EQ(IsWinVista(), c.vista) << c.major << "." << c.minor;
  }
  SetSystemVersion({6, 1, 2});
  EXPECT_TRUE(PointInRect(10, 20, RECT{0, 0, 10, 20}));
  EXPECT_FALSE(PointInRect(11, 20, RECT{0, 0, 10, 20}));
}

TEST(PlatformHelpers, LateBindingSharesOneUnavailableFlag) {
  HWND combo = CreateWindowExW(0, L"COMBOBOX", L"", WS_POPUP | CBS_DROPDOWN, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(combo, nullptr);
  COMBOBOXINFO ci{};
  ci.cbSize = sizeof ci;
  SetLateBindingModule(L"User32.dll");
  EXPECT_TRUE(LateGetComboBoxInfo(combo, &ci));
  EXPECT_EQ(LateGetAncestor(combo, GA_ROOT), combo);  // still looked up on its own first call
  SetLateBindingModule(L"no_such_module.dll");
  EXPECT_FALSE(LateGetAncestor(combo, GA_ROOT));
  EXPECT_FALSE(LateGetComboBoxInfo(combo, &ci));  // the flag is shared
  SetLateBindingModule(L"User32.dll");
  HWND label = CreateWindowExW(0, L"STATIC", L"\u4f60\u597d", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  SetSystemVersion({4, 0, 1});
  EXPECT_EQ(GetWindowTextUnicode(label), L"");  // the 9x platform has no wide window text
  SetSystemVersion({6, 1, 2});
  EXPECT_EQ(GetWindowTextUnicode(label), L"\u4f60\u597d");
  DestroyWindow(label);
  DestroyWindow(combo);
}

TEST(PlatformHelpers, MenusFormsAndProperties) {
  TComponentPtr<TForm> form(new TForm(nullptr));
  auto* menu = new TMainMenu(form.get());
  TImageList images(nullptr), subImages(nullptr);
  menu->SetImages(&images);
  auto* top = new TMenuItem(form.get());
  top->SetName("FileMenu");
  menu->Items()->Add(top);
  top->SetSubMenuImages(&subImages);
  auto* sub = new TMenuItem(form.get());
  top->Add(sub);
  auto* subsub = new TMenuItem(form.get());
  sub->Add(subsub);
  EXPECT_TRUE(IsTopMenuItem(top));
  EXPECT_FALSE(IsTopMenuItem(sub));
  int drawn = 0;
  HookMenuItems(menu->Items(), [&](TMenuItem*, TCanvas&, RECT, bool) { ++drawn; }, nullptr);
  EXPECT_TRUE(static_cast<bool>(subsub->OnDrawItem));
  EXPECT_EQ(FindSubMenuImages(sub), &subImages);
  EXPECT_EQ(FindSubMenuImages(subsub), &subImages);
  EXPECT_EQ(FindSubMenuImages(top), &images);
  // An item moved to the top of the menu still finds the images it was hooked under.
  sub->SetName("Moved");
  menu->Items()->Add(sub);
  EXPECT_EQ(FindSubMenuImages(sub), &subImages);

  EXPECT_EQ(FindFormByHandle(form->Handle()), form.get());
  EXPECT_EQ(FindFormByHandle(nullptr), nullptr);
  EXPECT_TRUE(HasProperty(form.get(), "BorderStyle"));
  EXPECT_FALSE(HasProperty(form.get(), "Margin"));
  RECT work;
  GetWorkArea(form->Handle(), work);
  EXPECT_GT(work.bottom, work.top);
  SetFormBounds(form.get(), RECT{10, 20, 310, 220});
  EXPECT_EQ(form->Width(), 300);
  // A frame wrapper's answer to SKM_QUERYACTIVE decides.
  form->WindowProc = [old = form->WindowProc](TMessage& m) {
    if (m.Msg == SKM_QUERYACTIVE) {
      m.Result = 2;
      return;
    }
    old(m);
  };
  form->Show();
  EXPECT_FALSE(IsFormActive(form.get()));
}

TEST(PlatformHelpers, SubMenuRecordHoldsOneEntryPerLivingItemAndList) {
  TComponentPtr<TForm> form(new TForm(nullptr));
  auto* menu = new TMainMenu(form.get());
  TImageList images(nullptr);
  menu->SetImages(&images);
  auto* top = new TMenuItem(form.get());
  top->SetName("EditMenu");
  menu->Items()->Add(top);
  auto* first = new TImageList(nullptr);
  auto* second = new TImageList(nullptr);
  top->SetSubMenuImages(first);
  auto* sub = new TMenuItem(form.get());
  top->Add(sub);
  auto* other = new TMenuItem(form.get());
  top->Add(other);
  const std::size_t before = SubMenuRecordSize();
  const TMenuDrawItemEvent draw = [](TMenuItem*, TCanvas&, RECT, bool) {};
  const TMenuMeasureItemEvent measure = [](TMenuItem*, TCanvas&, int&, int&) {};

  // Hooked again and again (every skin change does it): one entry per item.
  for (int i = 0; i < 5; ++i) HookMenuItems(top, draw, measure);
  EXPECT_EQ(SubMenuRecordSize(), before + 2);
  // Hooked again under another list: the entry follows it.
  top->SetSubMenuImages(second);
  HookMenuItems(top, draw, measure);
  EXPECT_EQ(SubMenuRecordSize(), before + 2);
  sub->SetName("EditSub");
  menu->Items()->Add(sub);  // moved to the top: found through the record
  EXPECT_EQ(FindSubMenuImages(sub), second);
  // A destroyed item leaves the record; so does a destroyed list, and nothing answers with it.
  TComponent::Free(other);
  EXPECT_EQ(SubMenuRecordSize(), before + 1);
  TComponent::Free(first);
  EXPECT_EQ(SubMenuRecordSize(), before + 1);
  TComponent::Free(second);
  EXPECT_EQ(SubMenuRecordSize(), before);
  EXPECT_EQ(FindSubMenuImages(sub), &images);
}

TEST(PlatformHelpers, WorkAreaIsTheNearestMonitors) {
  // A window far off every monitor: its work area is that of the monitor nearest to it (found
  // here by distance among all monitors).
  HWND wnd = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, -30000, -30000, 200, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(wnd, nullptr);
  // The primary work area set apart (a program may do that): where the system keeps it apart from
  // the monitor's own, only the monitor's counts.
  RECT saved{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &saved, 0);
  RECT shrunk{saved.left, saved.top, saved.left + 300, saved.top + 200};
  SystemParametersInfoW(SPI_SETWORKAREA, 0, &shrunk, 0);
  struct TNearest {
    RECT window;
    long distance = LONG_MAX;
    RECT work{};
  } nearest{{-30000, -30000, -29800, -29900}};
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR mon, HDC, LPRECT, LPARAM data) -> BOOL {
        MONITORINFO mi{};
        mi.cbSize = sizeof mi;
        GetMonitorInfoW(mon, &mi);
        auto* n = reinterpret_cast<TNearest*>(data);
        const RECT& m = mi.rcMonitor;
        const RECT& w = n->window;
        const long dx = std::max({0L, m.left - w.right, w.left - m.right});
        const long dy = std::max({0L, m.top - w.bottom, w.top - m.bottom});
        if (dx + dy < n->distance) {
          n->distance = dx + dy;
          n->work = mi.rcWork;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&nearest));
  RECT work{};
  GetWorkArea(wnd, work);
  SystemParametersInfoW(SPI_SETWORKAREA, 0, &saved, 0);
  ASSERT_NE(nearest.distance, LONG_MAX);
  EXPECT_EQ(work.left, nearest.work.left);
  EXPECT_EQ(work.top, nearest.work.top);
  EXPECT_EQ(work.right, nearest.work.right);
  EXPECT_EQ(work.bottom, nearest.work.bottom - 1);
  DestroyWindow(wnd);
}

TEST_F(UtilsWithSkin, WindowRegionCutsTheRoundedCorners) {
  TvexSkinReader reader(dir / "default.vsk");
  TBitmap title(300, 31, TPixelFormat::pf24bit);
  title.Canvas().Draw(0, 0, *reader.GetBitmap(keys::bitmap::SKIN2_TITLEBAR1));
  TBitmap right = Filled(14, 31, clBlue);
  right.Assign(*reader.GetBitmap(keys::bitmap::SKIN2_TITLEBAR5));
  title.Canvas().Draw(286, 0, right);
  HWND wnd = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
  BuildWindowRegion(wnd, &title, nullptr, true, false, 0, 5, -1, -1, 0xFF00FF, 200, 300);
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(wnd, rgn), ERROR);
  EXPECT_FALSE(PtInRegion(rgn, 0, 0));
  EXPECT_FALSE(PtInRegion(rgn, 299, 0));
  EXPECT_TRUE(PtInRegion(rgn, 150, 0));
  EXPECT_TRUE(PtInRegion(rgn, 0, 6));
  EXPECT_TRUE(PtInRegion(rgn, 299, 199));
  DeleteObject(rgn);
  DestroyWindow(wnd);
}

}  // namespace
}  // namespace vex::utils
