#include "skin2/default_skin.h"

#include <cmath>
#include <functional>

#include "image/raster.h"
#include "skin2/archive_writer.h"
#include "skin2/skin_file_writer.h"
#include "skin2/skin_keys.h"

namespace vex::skin2 {
namespace {

using image::MixPixel;
using image::Rgb;
using image::TRaster;
using image::TvexImage;

// The theme: a light window body under a blue title, drawn from the skin's own colour keys.
const std::uint32_t kKey = Rgb(255, 0, 255);           // SKIN2_TRANSCOLOR
const std::uint32_t kWhite = Rgb(255, 255, 255);
const std::uint32_t kForm = Rgb(232, 232, 232);        // SKIN2_FORMCOLOR
const std::uint32_t kAccent = Rgb(31, 103, 148);       // SKIN2_SELECTEDMENUCOLOR
const std::uint32_t kAccentLight = Rgb(148, 200, 232);  // SKIN2_MENUBARSTARTCOLOR
const std::uint32_t kHot = Rgb(181, 224, 251);         // SKIN2_TOOLBARONCOLOR
const std::uint32_t kControlBorder = Rgb(9, 32, 106);  // SKIN2_CONTROLBORDERCOLOR
const std::uint32_t kMenuText = Rgb(22, 83, 121);      // SKIN2_MENUITEMFONTCOLOR
const std::uint32_t kMenuItem = Rgb(231, 247, 255);    // SKIN2_MENUITEMCOLOR
const std::uint32_t kScrollBar = Rgb(249, 249, 249);   // SKIN2_SCROLLBARCOLOR

const std::uint32_t kTitleTop = Rgb(72, 144, 198);
const std::uint32_t kTitleBottom = kAccent;
const std::uint32_t kFrameOutline = Rgb(18, 58, 92);
const std::uint32_t kFrameInner = Rgb(24, 80, 118);
const std::uint32_t kSoftBorder = MixPixel(kControlBorder, kWhite, 0.5);
const std::uint32_t kDisabled = Rgb(168, 172, 178);
const std::uint32_t kGlyph = Rgb(70, 86, 104);

constexpr double kPi = 3.14159265358979323846;
constexpr int kTitleHeight = 31;
constexpr double kCornerRadius = 6;

// The title colour at row y of the 31-row title bar: a highlight row under the outline, then a
// gradient. Buttons and sections share it so they sit seamlessly on the bar.
std::uint32_t TitleShade(double y, int height = kTitleHeight) {
  if (y < 1) return kFrameOutline;
  if (y < 2) return MixPixel(kTitleTop, kWhite, 0.35);
  return MixPixel(kTitleTop, kTitleBottom, (y - 2) / (height - 3));
}

// A title section: gradient rows, the outline on row 0, and optionally the left or right frame
// edge with a rounded top corner cut by the transparent colour.
enum class TEdge { None, Left, Right };

TvexImage TitleSection(int w, int h, TEdge edge) {
  TvexImage img(w, h, kKey);
  TRaster r(img, kKey, kFrameOutline);
  const double x0 = 0, x1 = w;
  const double left = edge == TEdge::Left ? x0 : x0 - 20;
  const double right = edge == TEdge::Right ? x1 : x1 + 20;
  auto shade = [h](double, double y) { return TitleShade(y, h); };
  r.RoundRect(left, 0, right, h + 20, kCornerRadius, shade);
  // The outer outline follows the rounded edge.
  r.RoundFrame(left, 0, right, h + 20, kCornerRadius, 1, kFrameOutline);
  // The title's bottom row joins the frame's inner line.
  const int bx0 = edge == TEdge::Left ? 4 : 0, bx1 = edge == TEdge::Right ? w - 4 : w;
  r.Fill(bx0, h - 1, bx1, h, kFrameInner);
  return img;
}

// Side border column: outline, body, inner line; `outerFirst` says which edge is outside.
std::uint32_t BorderShade(int i, int thickness) {
  if (i == 0) return kFrameOutline;
  if (i == thickness - 1) return kFrameInner;
  return MixPixel(kTitleBottom, kTitleTop, 0.15 * (i - 1));
}

TvexImage SideBorder(bool left) {
  TvexImage img(5, 6);
  for (int x = 0; x < 5; ++x) {
    const std::uint32_t c = BorderShade(left ? x : 4 - x, 5);
    for (int y = 0; y < 6; ++y) img.SetPixel(x, y, c);
  }
  return img;
}

TvexImage BottomBorder(int w) {
  TvexImage img(w, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < w; ++x) {
      // Each pixel takes the nearest frame edge: the left, right or bottom one.
      const int fromLeft = x, fromRight = w - 1 - x, fromBottom = 4 - y;
      const int d = std::min({fromLeft, fromRight, fromBottom});
      img.SetPixel(x, y, BorderShade(d, 5));
    }
  return img;
}

// Title button glyphs, drawn white on an 18 x 18 cell whose left edge is at x.
using TGlyph = std::function<void(TRaster&, double x, std::uint32_t c)>;

void HelpGlyph(TRaster& r, double x, std::uint32_t c) {
  const double cx = x + 9, cy = 6.6, rad = 2.8;
  double px = cx + rad * std::cos(kPi * 1.1), py = cy - rad * std::sin(kPi * 1.1);
  for (int i = 1; i <= 12; ++i) {
    const double a = kPi * 1.1 - i * (kPi * 1.55 / 12);
    const double nx = cx + rad * std::cos(a), ny = cy - rad * std::sin(a);
    r.Line(px, py, nx, ny, 1.7, c);
    px = nx;
    py = ny;
  }
  r.Line(px, py, x + 9, 10.8, 1.7, c);
  r.Ellipse(x + 9, 13.6, 1.15, 1.15, c);
}

void MaximizeGlyph(TRaster& r, double x, std::uint32_t c) {
  r.Fill(static_cast<int>(x) + 4, 4, static_cast<int>(x) + 14, 6, c);
  r.RoundFrame(x + 4, 4, x + 14, 14, 0, 1.2, c);
}

void RestoreGlyph(TRaster& r, double x, std::uint32_t c) {
  r.Fill(static_cast<int>(x) + 7, 3, static_cast<int>(x) + 15, 4, c);
  r.Line(x + 14.5, 3.5, x + 14.5, 10.5, 1.1, c);
  r.Line(x + 7.5, 3.5, x + 7.5, 6, 1.1, c);
  r.Line(x + 12, 10.5, x + 14.5, 10.5, 1.1, c);
  r.Fill(static_cast<int>(x) + 3, 6, static_cast<int>(x) + 12, 8, c);
  r.RoundFrame(x + 3, 6, x + 12, 15, 0, 1.2, c);
}

void MinimizeGlyph(TRaster& r, double x, std::uint32_t c) {
  r.Fill(static_cast<int>(x) + 4, 12, static_cast<int>(x) + 14, 14, c);
}

void CloseGlyph(TRaster& r, double x, std::uint32_t c) {
  r.Line(x + 5, 5, x + 13, 13, 1.9, c);
  r.Line(x + 13, 5, x + 5, 13, 1.9, c);
}

void MenuGlyph(TRaster& r, double x, std::uint32_t c) {
  for (int i = 0; i < 3; ++i) r.Fill(static_cast<int>(x) + 4, 5 + i * 4, static_cast<int>(x) + 14, 7 + i * 4, c);
}

// Buttons sit on title rows 9 to 26 (SKIN2_TITLEBARBUTTONPOSY 9): their background is those rows.
TvexImage TitleButtons() {
  constexpr int kButtonTop = 9;
  TvexImage img(324, 18);
  for (int y = 0; y < 18; ++y)
    for (int x = 0; x < 324; ++x) img.SetPixel(x, y, TitleShade(y + kButtonTop + 0.5));
  TRaster r(img);
  const TGlyph glyphs[6] = {MenuGlyph, HelpGlyph, MaximizeGlyph, RestoreGlyph, MinimizeGlyph, CloseGlyph};
  for (int button = 0; button < 6; ++button) {
    const bool close = button == 5;
    for (int state = 0; state < 3; ++state) {
      const double x = (button * 3 + state) * 18;
      if (state == 1) {
        if (close)
          r.RoundRect(x + 0.5, 0.5, x + 17.5, 17.5, 3, Rgb(214, 64, 52));
        else
          r.RoundRect(x + 0.5, 0.5, x + 17.5, 17.5, 3, [&](double, double y) {
            return MixPixel(TitleShade(y + kButtonTop), kWhite, 0.28);
          });
      } else if (state == 2) {
        if (close)
          r.RoundRect(x + 0.5, 0.5, x + 17.5, 17.5, 3, Rgb(160, 40, 32));
        else
          r.RoundRect(x + 0.5, 0.5, x + 17.5, 17.5, 3, [&](double, double y) {
            return MixPixel(TitleShade(y + kButtonTop), Rgb(0, 20, 40), 0.35);
          });
      }
      glyphs[button](r, x, kWhite);
    }
  }
  return img;
}

TvexImage MinimizedTitle() {
  TvexImage img(160, 27, kKey);
  TRaster r(img, kKey, kFrameOutline);
  // Rounded at the top only: a minimized window's region is cut along its title rows alone.
  r.RoundRect(0, 0, 160, 40, kCornerRadius, [](double, double y) { return TitleShade(y, 27); });
  r.RoundFrame(0, 0, 160, 40, kCornerRadius, 1, kFrameOutline);
  r.Fill(0, 26, 160, 27, kFrameOutline);
  return img;
}

TvexImage CheckedMenuIcon() {
  TvexImage img(16, 16, kKey);
  TRaster r(img, kKey, kMenuItem);
  r.Line(3.5, 8.5, 6.5, 11.5, 2.0, kMenuText);
  r.Line(6.5, 11.5, 12.5, 4.5, 2.0, kMenuText);
  return img;
}

// Push button states: normal, hot, pressed. Horizontally uniform inside, so nine-section
// stretching keeps the look at any width.
TvexImage PushButtons() {
  TvexImage img(252, 25, kKey);
  TRaster r(img, kKey, kForm);
  struct State {
    std::uint32_t top, bottom, border;
  };
  const State states[3] = {
      {Rgb(253, 253, 253), Rgb(222, 227, 233), kSoftBorder},
      {Rgb(242, 249, 255), kHot, MixPixel(kAccent, kWhite, 0.15)},
      {kAccentLight, Rgb(170, 212, 238), kAccent},
  };
  for (int s = 0; s < 3; ++s) {
    const State st = states[s];
    const double x0 = s * 84;
    r.RoundRect(x0, 0, x0 + 84, 25, 3.5, [&](double, double y) {
      return y < 12 ? MixPixel(st.top, MixPixel(st.top, st.bottom, 0.35), y / 12)
                    : MixPixel(MixPixel(st.top, st.bottom, 0.35), st.bottom, (y - 12) / 12);
    });
    r.RoundFrame(x0, 0, x0 + 84, 25, 3.5, 1, st.border);
  }
  return img;
}

void CheckMark(TRaster& r, double x, double y, std::uint32_t c) {
  r.Line(x + 4, y + 8.3, x + 6.8, y + 11, 1.9, c);
  r.Line(x + 6.8, y + 11, x + 12, y + 5, 1.9, c);
}

// Check boxes: 1 checked, 2 grayed, 3 unchecked, then the same three disabled. Opaque on the
// form colour.
TvexImage CheckBoxes(int size, int slices, const int* marks, const bool* disabled) {
  TvexImage img(size * slices, size, kForm);
  TRaster r(img, kKey, kForm);
  const double inset = size >= 17 ? 2 : 0.5;
  for (int s = 0; s < slices; ++s) {
    const double x0 = s * size + inset, y0 = inset, x1 = (s + 1) * size - inset, y1 = size - inset;
    const bool off = disabled[s];
    r.RoundRect(x0, y0, x1, y1, 2, [&](double, double y) {
      return off ? Rgb(242, 242, 242) : MixPixel(kWhite, Rgb(232, 238, 244), (y - y0) / (y1 - y0));
    });
    r.RoundFrame(x0, y0, x1, y1, 2, 1, off ? kDisabled : MixPixel(kControlBorder, kWhite, 0.35));
    const std::uint32_t mark = off ? kDisabled : kAccent;
    const double scale = (x1 - x0) / 13.0;
    if (marks[s] == 1) {
      const double ox = x0 - 2 * scale + (scale - 1) * 2, oy = y0 - 2 * scale;
      if (size >= 17) {
        CheckMark(r, x0 - 2, y0 - 2, mark);
      } else {
        r.Line(ox + 4 * scale, oy + 7.5 * scale, ox + 6.2 * scale, oy + 9.8 * scale, 1.5, mark);
        r.Line(ox + 6.2 * scale, oy + 9.8 * scale, ox + 10.5 * scale, oy + 4.5 * scale, 1.5, mark);
      }
    } else if (marks[s] == 2) {
      r.RoundRect(x0 + 3, y0 + 3, x1 - 3, y1 - 3, 1, off ? Rgb(200, 200, 200) : MixPixel(kAccent, kWhite, 0.45));
    }
  }
  return img;
}

// Radio buttons: 1 checked, 2 unchecked, 3 checked disabled, 4 unchecked disabled; the corners
// are transparent and blend towards the form colour they sit on.
TvexImage RadioButtons() {
  TvexImage img(68, 17, kKey);
  TRaster r(img, kKey, kForm);
  const bool checked[4] = {true, false, true, false};
  for (int s = 0; s < 4; ++s) {
    const bool off = s >= 2;
    const double cx = s * 17 + 8.5, cy = 8.5;
    r.Ellipse(cx, cy, 6.6, 6.6, off ? kDisabled : MixPixel(kControlBorder, kWhite, 0.35));
    r.Ellipse(cx, cy, 5.6, 5.6, [&](double, double y) {
      return off ? Rgb(242, 242, 242) : MixPixel(kWhite, Rgb(232, 238, 244), (y - 3) / 11);
    });
    if (checked[s]) r.Ellipse(cx, cy, 3.0, 3.0, off ? kDisabled : kAccent);
  }
  return img;
}

// Progress pieces: 1 left cap, 2 filled, 3 empty, 4 right cap; caps of two rows stay unstretched.
TvexImage ProgressPiece(int piece) {
  const int w = piece == 1 || piece == 4 ? 1 : 7;
  TvexImage img(w, 13);
  for (int y = 0; y < 13; ++y) {
    std::uint32_t c;
    if (piece == 1 || piece == 4 || y == 0 || y == 12) {
      c = kSoftBorder;
    } else if (piece == 2) {
      c = y == 1 ? MixPixel(kAccentLight, kWhite, 0.5) : MixPixel(Rgb(92, 166, 216), kAccent, (y - 2) / 9.0);
    } else {
      c = MixPixel(Rgb(238, 240, 242), kWhite, (y - 1) / 10.0);
    }
    for (int x = 0; x < w; ++x) img.SetPixel(x, y, c);
  }
  return img;
}

// Track-bar channel in three 20-pixel cells; the transparent pixels become the form colour.
TvexImage TrackChannel() {
  TvexImage img(60, 8, kKey);
  TRaster r(img, kKey, kForm);
  r.RoundRect(2, 2, 58, 6, 2, kSoftBorder);
  r.RoundRect(3, 3, 57, 5, 1, Rgb(250, 251, 252));
  return img;
}

TvexImage TrackThumb(bool vertical) {
  const int w = vertical ? 21 : 11, h = vertical ? 11 : 21;
  TvexImage img(w, h, kKey);
  TRaster r(img, kKey, kForm);
  // The thumb points down (or right); its bottom-left pixel stays transparent, since the thumb is
  // drawn with the automatic transparent colour taken from there.
  auto inside = [vertical](double x, double y) {
    if (vertical) std::swap(x, y);
    if (image::InsideRoundRect(x, y, 0.5, 0.5, 10.5, 14.5, 2)) return true;
    return y >= 13 && y <= 20.5 && std::fabs(x - 5.5) <= (20.5 - y) * 5 / 7.5;
  };
  auto shade = [vertical](double x, double y) {
    const double t = vertical ? y / 11 : x / 11;
    return MixPixel(Rgb(104, 176, 226), kAccent, t);
  };
  r.Shape(0, 0, w, h, inside, shade);
  // Outline: pixels inside whose neighbour is outside.
  TvexImage copy = img;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (copy.Pixel(x, y) == kKey) continue;
      bool edge = x == 0 || y == 0 || x == w - 1 || y == h - 1;
      for (int d = 0; d < 4 && !edge; ++d) {
        const int nx = x + (d == 0) - (d == 1), ny = y + (d == 2) - (d == 3);
        edge = copy.Pixel(nx, ny) == kKey;
      }
      if (edge) img.SetPixel(x, y, MixPixel(copy.Pixel(x, y), kFrameOutline, 0.75));
    }
  return img;
}

// Scroll arrows in three states (normal, hot, pressed), pointing up or down.
TvexImage ScrollArrows(bool up) {
  TvexImage img(54, 18, kKey);
  TRaster r(img, kKey, kScrollBar);
  const std::uint32_t fills[3] = {Rgb(236, 240, 244), Rgb(221, 238, 251), kAccentLight};
  const std::uint32_t borders[3] = {Rgb(206, 212, 220), MixPixel(kAccent, kWhite, 0.45), kAccent};
  for (int s = 0; s < 3; ++s) {
    const double x = s * 18;
    r.RoundRect(x + 1, 1, x + 17, 17, 3, fills[s]);
    r.RoundFrame(x + 1, 1, x + 17, 17, 3, 1, borders[s]);
    const std::uint32_t c = s == 2 ? kAccent : kGlyph;
    if (up)
      r.Triangle(x + 9, 6, x + 4.5, 11.5, x + 13.5, 11.5, c);
    else
      r.Triangle(x + 9, 12, x + 4.5, 6.5, x + 13.5, 6.5, c);
  }
  return img;
}

// The scroll thumb, cut later into a 3-row cap, a stretched part, the grip (rows 23-41), another
// stretched part and a 3-row cap.
TvexImage ScrollThumb() {
  TvexImage img(18, 63, kKey);
  TRaster r(img, kKey, kScrollBar);
  r.RoundRect(2, 0, 16, 63, 3, [](double x, double) { return MixPixel(Rgb(216, 228, 238), Rgb(188, 204, 218), (x - 2) / 14); });
  r.RoundFrame(2, 0, 16, 63, 3, 1, Rgb(140, 160, 180));
  for (int y : {28, 31, 34}) {
    r.Fill(6, y, 12, y + 1, Rgb(124, 144, 164));
    r.Fill(6, y + 1, 12, y + 2, Rgb(238, 244, 248));
  }
  return img;
}

// Tabs: slice 1 selected, slice 2 not; each 30 pixels in cells of 10 (edge, middle, edge).
TvexImage Tabs() {
  TvexImage img(60, 22, kForm);
  TRaster r(img, kKey, kForm);
  // Selected: taller, light, open at the bottom into the page.
  r.RoundRect(0, 0, 30, 26, 3, [](double, double y) { return MixPixel(kWhite, kForm, y / 21); });
  r.RoundFrame(0, 0, 30, 26, 3, 1, kControlBorder);
  r.Fill(0, 21, 30, 22, kForm);
  r.Fill(0, 21, 1, 22, kControlBorder);
  r.Fill(29, 21, 30, 22, kControlBorder);
  // Not selected: two rows lower, darker, closed by the page's line.
  r.RoundRect(30, 2, 60, 26, 3, [](double, double y) { return MixPixel(Rgb(226, 230, 234), Rgb(206, 212, 218), (y - 2) / 19); });
  r.RoundFrame(30, 2, 60, 26, 3, 1, MixPixel(kControlBorder, kWhite, 0.3));
  r.Fill(30, 21, 60, 22, kControlBorder);
  return img;
}

TvexImage SideChannelBar() {
  TvexImage img(7, 84);
  TRaster r(img);
  r.VGradient(0, 0, 7, 84, kAccentLight, kAccent);
  return img;
}

TvexImage ScrollButtons() {
  TvexImage img(80, 20, kKey);
  TRaster r(img, kKey, kScrollBar);
  const std::uint32_t fills[4] = {Rgb(236, 240, 244), Rgb(221, 238, 251), kAccentLight, Rgb(242, 242, 242)};
  for (int s = 0; s < 4; ++s) {
    r.RoundRect(s * 20 + 1, 1, s * 20 + 19, 19, 3, fills[s]);
    r.RoundFrame(s * 20 + 1, 1, s * 20 + 19, 19, 3, 1, s == 3 ? kDisabled : kSoftBorder);
  }
  return img;
}

}  // namespace

std::vector<std::uint8_t> BuildDefaultSkinFile() {
  TSkinFileWriter w;
  const std::int32_t colors[32] = {16711935, 16777215, 15263976, 15255700, 15255700, 9725727, 9725727, 16777215,
                                   7951126,  12227680, 12227680, 16775143, 7951126,  9725727, 9725727, 16777215,
                                   15263976, 15263976, 16507061, 6955017,  9791264,  16777215, 6955017, 0,
                                   0,        16382457, 16777215, 6955017,  0,        0,        16777215, 6955017};
  for (int i = 0; i < 32; ++i) w.AddInteger(kSkinKeys[kColorBase + i], colors[i]);

  const int checkMarks[6] = {1, 2, 0, 1, 2, 0};
  const bool checkDisabled[6] = {false, false, false, true, true, true};
  const int listMarks[4] = {1, 0, 1, 0};
  const bool listDisabled[4] = {false, false, true, true};

  w.AddBitmap("SKIN2_TITLEBAR1", TitleSection(31, kTitleHeight, TEdge::Left));
  w.AddBitmap("SKIN2_TITLEBAR2", TitleSection(136, kTitleHeight, TEdge::None));
  w.AddBitmap("SKIN2_TITLEBAR3", TitleSection(17, kTitleHeight, TEdge::None));
  w.AddBitmap("SKIN2_TITLEBAR4", TitleSection(13, kTitleHeight, TEdge::None));
  w.AddBitmap("SKIN2_TITLEBAR5", TitleSection(14, kTitleHeight, TEdge::Right));
  w.AddBitmap("SKIN2_FORMLEFTBORDER", SideBorder(true));
  w.AddBitmap("SKIN2_FORMRIGHTBORDER", SideBorder(false));
  w.AddBitmap("SKIN2_FORMBOTTOMBORDER1", BottomBorder(180));
  w.AddBitmap("SKIN2_MINIMIZEDTITLE", MinimizedTitle());
  w.AddBitmap("SKIN2_TITLEBUTTONS", TitleButtons());
  w.AddBitmap("SKIN2_CHECKEDMENUICON", CheckedMenuIcon());
  w.AddBitmap("SKIN2_BUTTON", PushButtons());
  w.AddBitmap("SKIN2_CHECKBOX", CheckBoxes(17, 6, checkMarks, checkDisabled));
  w.AddBitmap("SKIN2_CHECKBOXLIST", CheckBoxes(11, 4, listMarks, listDisabled));
  w.AddBitmap("SKIN2_RADIOBUTTON", RadioButtons());
  for (int p = 1; p <= 4; ++p) w.AddBitmap("SKIN2_PROGRESSBAR" + std::to_string(p), ProgressPiece(p));
  w.AddBitmap("SKIN2_TRACKBAR", TrackChannel());
  w.AddBitmap("SKIN2_TRACKBARSLIDER", TrackThumb(false));
  w.AddBitmap("SKIN2_TRACKBARVSLIDER", TrackThumb(true));
  w.AddBitmap("SKIN2_SCROLLBARUPBUTTON", ScrollArrows(true));
  w.AddBitmap("SKIN2_SCROLLBAR", ScrollThumb());
  w.AddBitmap("SKIN2_SCROLLBARDOWNBUTTON", ScrollArrows(false));
  w.AddBitmap("SKIN2_TABCONTROL", Tabs());
  w.AddBitmap("SKIN2_TABCONTROLLINE", TvexImage(8, 1, kControlBorder));
  w.AddBitmap("SKIN2_SIDECHANNELBAR", SideChannelBar());
  w.AddBitmap("SKIN2_SIDECHANNELTITLE", TvexImage(1, 21, kAccent));
  w.AddBitmap("SKIN2_SCROLLBUTTON", ScrollButtons());

  const std::int32_t positions[9] = {21, 9, 9, 7, 9, 0, 5, -1, -1};
  for (int i = 0; i < 9; ++i) w.AddInteger(kSkinKeys[kPositionBase + i], positions[i]);
  const std::uint8_t switchValues[9] = {1, 0, 1, 0, 0, 1, 0, 1, 0};
  for (int i = 0; i < 9; ++i) w.AddByte(kSkinKeys[kSwitchBase + i], switchValues[i]);
  w.AddInteger("SKIN2_SYSTEMCOLOR1", 15263976);
  w.AddInteger("SKIN2_SYSTEMCOLOR2", 6955017);
  return w.Build();
}

std::vector<std::uint8_t> BuildDefaultSkinArchive(const std::string& password) {
  TArchiveOptions o;
  o.password = password;
  return WriteSkinArchive(BuildDefaultSkinFile(), o);
}

}  // namespace vex::skin2
