#include "skin2/default_skin.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <stdexcept>
#include <string>

#include "image/raster.h"
#include "image/scaling.h"
#include "skin2/archive_writer.h"
#include "skin2/skin_file_writer.h"
#include "skin2/skin_keys.h"

namespace vex::skin2 {
namespace {

using image::MixPixel;
using image::Rgb;
using image::TRaster;
using image::TvexImage;

// A theme: every colour the drawing code below uses, and the values of the skin's colour keys.
// The light and dark built-in skins are the same drawing with different palettes.
struct TPalette {
  std::uint32_t key;            // SKIN2_TRANSCOLOR
  std::uint32_t form;           // SKIN2_FORMCOLOR, the matte of everything that sits on the form
  std::uint32_t accent;         // selection: pressed buttons, check marks, the progress fill
  std::uint32_t accentLight;    // the light end of accent gradients
  std::uint32_t controlBorder;  // SKIN2_CONTROLBORDERCOLOR
  std::uint32_t softBorder;     // outlines of buttons, channels and progress bars
  std::uint32_t disabled;       // disabled outlines and marks
  std::uint32_t menuItem, menuText;  // the menu check icon and what it sits on
  std::uint32_t scrollBar;      // SKIN2_SCROLLBARCOLOR, the matte of scroll bar parts

  // Title bar and frame.
  std::uint32_t titleTop, titleBottom, titleHighlight;
  std::uint32_t frameOutline, frameInner;
  std::uint32_t titleGlyph;                  // glyphs of the title buttons
  std::uint32_t titleHotTint, titleDownTint;  // mixed into the bar under a hot or pressed button
  std::uint32_t closeHot, closeDown;

  // Push buttons: normal, hot, pressed.
  struct TButtonState {
    std::uint32_t top, bottom, border;
  } button[3];

  // Check boxes and radio buttons.
  std::uint32_t boxTop, boxBottom, boxBorder, boxMark;
  std::uint32_t boxDisabledFill, boxGrayed, boxGrayedDisabled;

  // Progress bar, track bar.
  std::uint32_t progressShine, progressFillTop, progressEmptyTop, progressEmptyBottom;
  std::uint32_t channelFill, thumbLight, thumbOutline;

  // Scroll bar parts: arrow cells normal, hot, pressed, disabled; thumb and grip.
  std::uint32_t arrowFill[4], arrowBorder[3], arrowGlyph, arrowGlyphDown;
  std::uint32_t thumbLeft, thumbRight, thumbFrame, gripDark, gripLight;

  // Tabs.
  std::uint32_t tabTop, tabOffTop, tabOffBottom, tabOffBorder;

  // The colour keys in table order (TColor values), and the two system colours the skin carries.
  std::int32_t colorKeys[32];
  std::int32_t systemColor1, systemColor2;
};

std::int32_t KeyColor(int r, int g, int b) { return static_cast<std::int32_t>(image::PixelToColor(Rgb(r, g, b))); }

// The light theme: a light window body under a blue title.
TPalette LightPalette() {
  const std::uint32_t white = Rgb(255, 255, 255);
  TPalette p{};
  p.key = Rgb(255, 0, 255);
  p.form = Rgb(232, 232, 232);
  p.accent = Rgb(31, 103, 148);
  p.accentLight = Rgb(148, 200, 232);
  p.controlBorder = Rgb(9, 32, 106);
  p.softBorder = MixPixel(p.controlBorder, white, 0.5);
  p.disabled = Rgb(168, 172, 178);
  p.menuItem = Rgb(231, 247, 255);
  p.menuText = Rgb(22, 83, 121);
  p.scrollBar = Rgb(249, 249, 249);

  p.titleTop = Rgb(72, 144, 198);
  p.titleBottom = p.accent;
  p.titleHighlight = MixPixel(p.titleTop, white, 0.35);
  p.frameOutline = Rgb(18, 58, 92);
  p.frameInner = Rgb(24, 80, 118);
  p.titleGlyph = white;
  p.titleHotTint = white;
  p.titleDownTint = Rgb(0, 20, 40);
  p.closeHot = Rgb(214, 64, 52);
  p.closeDown = Rgb(160, 40, 32);

  const std::uint32_t hot = Rgb(181, 224, 251);
  p.button[0] = {Rgb(253, 253, 253), Rgb(222, 227, 233), p.softBorder};
  p.button[1] = {Rgb(242, 249, 255), hot, MixPixel(p.accent, white, 0.15)};
  p.button[2] = {p.accentLight, Rgb(170, 212, 238), p.accent};

  p.boxTop = white;
  p.boxBottom = Rgb(232, 238, 244);
  p.boxBorder = MixPixel(p.controlBorder, white, 0.35);
  p.boxMark = p.accent;
  p.boxDisabledFill = Rgb(242, 242, 242);
  p.boxGrayed = MixPixel(p.accent, white, 0.45);
  p.boxGrayedDisabled = Rgb(200, 200, 200);

  p.progressShine = MixPixel(p.accentLight, white, 0.5);
  p.progressFillTop = Rgb(92, 166, 216);
  p.progressEmptyTop = Rgb(238, 240, 242);
  p.progressEmptyBottom = white;
  p.channelFill = Rgb(250, 251, 252);
  p.thumbLight = Rgb(104, 176, 226);
  p.thumbOutline = p.frameOutline;

  p.arrowFill[0] = Rgb(236, 240, 244);
  p.arrowFill[1] = Rgb(221, 238, 251);
  p.arrowFill[2] = p.accentLight;
  p.arrowFill[3] = Rgb(242, 242, 242);
  p.arrowBorder[0] = Rgb(206, 212, 220);
  p.arrowBorder[1] = MixPixel(p.accent, white, 0.45);
  p.arrowBorder[2] = p.accent;
  p.arrowGlyph = Rgb(70, 86, 104);
  p.arrowGlyphDown = p.accent;
  p.thumbLeft = Rgb(216, 228, 238);
  p.thumbRight = Rgb(188, 204, 218);
  p.thumbFrame = Rgb(140, 160, 180);
  p.gripDark = Rgb(124, 144, 164);
  p.gripLight = Rgb(238, 244, 248);

  p.tabTop = white;
  p.tabOffTop = Rgb(226, 230, 234);
  p.tabOffBottom = Rgb(206, 212, 218);
  p.tabOffBorder = MixPixel(p.controlBorder, white, 0.3);

  const std::int32_t colors[32] = {16711935, 16777215, 15263976, 15255700, 15255700, 9725727, 9725727, 16777215,
                                   7951126,  12227680, 12227680, 16775143, 7951126,  9725727, 9725727, 16777215,
                                   15263976, 15263976, 16507061, 6955017,  15255700, 16777215, 6955017, 0,
                                   0,        16382457, 16777215, 6955017,  0,        0,        16777215, 6955017};
  std::copy(colors, colors + 32, p.colorKeys);
  p.systemColor1 = 15263976;
  p.systemColor2 = 6955017;
  return p;
}

// The dark theme: a charcoal body under a deep teal title, light text, a brighter teal for
// selections and marks.
TPalette DarkPalette() {
  const std::uint32_t white = Rgb(255, 255, 255);
  TPalette p{};
  p.key = Rgb(255, 0, 255);
  p.form = Rgb(45, 45, 48);
  p.accent = Rgb(0, 114, 110);
  p.accentLight = Rgb(46, 172, 160);
  p.controlBorder = Rgb(104, 104, 112);
  p.softBorder = Rgb(88, 88, 95);
  p.disabled = Rgb(96, 96, 102);
  p.menuItem = Rgb(37, 37, 40);
  p.menuText = Rgb(228, 228, 228);
  p.scrollBar = Rgb(38, 38, 41);

  p.titleTop = Rgb(28, 96, 90);
  p.titleBottom = Rgb(14, 62, 58);
  p.titleHighlight = MixPixel(p.titleTop, white, 0.22);
  p.frameOutline = Rgb(8, 28, 26);
  p.frameInner = Rgb(12, 46, 44);
  p.titleGlyph = Rgb(236, 242, 242);
  p.titleHotTint = white;
  p.titleDownTint = Rgb(0, 0, 0);
  p.closeHot = Rgb(200, 52, 42);
  p.closeDown = Rgb(140, 32, 26);

  p.button[0] = {Rgb(74, 74, 79), Rgb(58, 58, 62), Rgb(102, 102, 110)};
  p.button[1] = {Rgb(78, 92, 90), Rgb(58, 76, 74), p.accentLight};
  p.button[2] = {Rgb(14, 94, 90), Rgb(8, 72, 68), p.accentLight};

  p.boxTop = Rgb(30, 30, 32);
  p.boxBottom = Rgb(38, 38, 41);
  p.boxBorder = Rgb(140, 140, 148);
  p.boxMark = Rgb(80, 204, 192);
  p.boxDisabledFill = Rgb(52, 52, 55);
  p.boxGrayed = MixPixel(p.boxMark, p.boxTop, 0.45);
  p.boxGrayedDisabled = Rgb(78, 78, 82);

  p.progressShine = Rgb(120, 214, 204);
  p.progressFillTop = Rgb(48, 176, 166);
  p.progressEmptyTop = Rgb(30, 30, 32);
  p.progressEmptyBottom = Rgb(40, 40, 43);
  p.channelFill = Rgb(28, 28, 30);
  p.thumbLight = Rgb(70, 196, 186);
  p.thumbOutline = Rgb(0, 60, 56);

  p.arrowFill[0] = Rgb(60, 60, 64);
  p.arrowFill[1] = Rgb(64, 84, 82);
  p.arrowFill[2] = p.accent;
  p.arrowFill[3] = Rgb(48, 48, 51);
  p.arrowBorder[0] = Rgb(82, 82, 88);
  p.arrowBorder[1] = p.accentLight;
  p.arrowBorder[2] = p.accentLight;
  p.arrowGlyph = Rgb(200, 200, 206);
  p.arrowGlyphDown = white;
  p.thumbLeft = Rgb(96, 96, 102);
  p.thumbRight = Rgb(78, 78, 84);
  p.thumbFrame = Rgb(116, 116, 124);
  p.gripDark = Rgb(52, 52, 56);
  p.gripLight = Rgb(138, 138, 146);

  p.tabTop = Rgb(72, 72, 77);
  p.tabOffTop = Rgb(54, 54, 58);
  p.tabOffBottom = Rgb(40, 40, 43);
  p.tabOffBorder = Rgb(80, 80, 86);

  // Menus: a dark body, a teal selection under white text. Flat and tool bar buttons light up in
  // a teal-tinted grey and press down in the accent.
  // Combo boxes paint their button face in SKIN2_CONTROLCOLOR with a black arrow, and the text
  // boxes beside it keep their own light colour, so that key stays a light grey.
  const std::int32_t form = KeyColor(45, 45, 48), border = KeyColor(104, 104, 112);
  const std::int32_t selected = KeyColor(0, 114, 110), selectedBorder = KeyColor(46, 172, 160);
  const std::int32_t colors[32] = {
      KeyColor(255, 0, 255),    // transparent
      KeyColor(245, 245, 245),  // title font
      form,                     // form
      KeyColor(56, 56, 60),     // menu bar start
      KeyColor(56, 56, 60),     // menu bar end
      selected,                 // top selected menu
      selectedBorder,           // its border
      KeyColor(255, 255, 255),  // its font
      KeyColor(232, 232, 232),  // top menu font
      KeyColor(54, 54, 58),     // menu left bar start
      KeyColor(54, 54, 58),     // menu left bar end
      KeyColor(37, 37, 40),     // menu item
      KeyColor(228, 228, 228),  // menu item font
      selected,                 // selected menu item
      selectedBorder,           // its border
      KeyColor(255, 255, 255),  // its font
      form,                     // tool bar start
      form,                     // tool bar end
      KeyColor(64, 84, 82),     // tool bar hot button
      selectedBorder,           // tool bar border
      KeyColor(0, 98, 94),      // tool bar pressed button
      KeyColor(184, 184, 190),  // control (combo box button face)
      border,                   // control border
      KeyColor(230, 230, 230),  // control font
      KeyColor(240, 240, 240),  // button font
      KeyColor(38, 38, 41),     // scroll bar
      KeyColor(52, 52, 56),     // tab control
      border,                   // tab control border
      KeyColor(242, 242, 242),  // active tab font
      KeyColor(196, 196, 202),  // inactive tab font
      KeyColor(37, 37, 40),     // side channel
      border,                   // side channel border
  };
  std::copy(colors, colors + 32, p.colorKeys);
  p.systemColor1 = form;
  p.systemColor2 = border;
  return p;
}

constexpr double kPi = 3.14159265358979323846;
constexpr double kCornerRadius = 6;
constexpr int kBorderWidth = 5;  // the side and bottom borders at 96 DPI

// The scale a bitmap is drawn at. The drawing is written in the pixels of the 96-DPI skin; at a
// larger scale its coordinates are multiplied out and redrawn, so edges are sampled anew, round
// shapes stay round and glyphs keep their strokes in proportion. Whole lengths (image sizes, the
// insets of shapes that carry an outline) go through ScaleLength, so every image measures what
// the engine expects of it at that scale and outlines fall on whole pixels. At 96 DPI every
// length and coordinate comes out exactly as given.
struct TScale {
  explicit TScale(int dotsPerInch) : dpi(dotsPerInch), f(dotsPerInch / 96.0), line(std::max(1, dotsPerInch / 96)) {}

  int dpi;
  double f;  // device pixels per pixel of the 96-DPI drawing
  // The width of the frame's and controls' one-pixel lines: one pixel up to 150 %, where a line
  // of one and a half would be a smear, two at 200 %.
  int line;

  int Len(int length) const { return ScaleLength(length, dpi); }
  double operator()(double v) const { return v * f; }
};

// Where the title bar's parts stand at a scale. Worked out from the rules of the drawing, not
// scaled from the 96-DPI numbers: where the two differ the skin carries the value for that scale.
struct TTitleGeometry {
  int height;       // of every title section
  int buttonSize;   // one title button image, square
  int buttonTop;    // SKIN2_TITLEBARBUTTONPOSY
  int buttonRight;  // SKIN2_TITLEBARBUTTONPOSX: from the window's right edge to the close button's
  int iconLeft;     // SKIN2_TITLEBARICONPOSX
  int iconTop;      // SKIN2_TITLEBARICONPOSY
  int captionTop;   // SKIN2_TITLEBARCAPTIONTOP
};

TTitleGeometry TitleGeometry(const TScale& s) {
  TTitleGeometry g{};
  const int border = s.Len(kBorderWidth);
  g.height = s.Len(31);
  g.buttonSize = s.Len(18);
  // The buttons end three rows above the frame's inner line along the title's bottom.
  g.buttonTop = g.height - s.line - s.Len(3) - g.buttonSize;
  // Two pixels in from the right border.
  g.buttonRight = border + s.Len(2);
  // The icon stands one icon width in from the left border, level with the buttons' tops.
  g.iconLeft = border + s.Len(16);
  g.iconTop = g.buttonTop;
  // The caption's line (13 pixels at 96 DPI) centred on the bar, any odd pixel left below it.
  g.captionTop = (g.height - s.Len(13)) / 2;
  return g;
}

// The title colour at row y of a title bar `height` rows tall: the outline, a highlight under it,
// then a gradient. Buttons and sections share it so they sit seamlessly on the bar.
std::uint32_t TitleShade(const TPalette& p, double y, int height, int line) {
  if (y < line) return p.frameOutline;
  if (y < 2 * line) return p.titleHighlight;
  return MixPixel(p.titleTop, p.titleBottom, (y - 2 * line) / (height - 3 * line));
}

// A title section: gradient rows, the outline on the top row, and optionally the left or right
// frame edge with a rounded top corner cut by the transparent colour.
enum class TEdge { None, Left, Right };

TvexImage TitleSection(const TPalette& p, const TScale& s, int baseWidth, TEdge edge) {
  const int w = s.Len(baseWidth), h = TitleGeometry(s).height, line = s.line;
  TvexImage img(w, h, p.key);
  TRaster r(img, p.key, p.frameOutline);
  const double x0 = 0, x1 = w, over = s(20);
  const double left = edge == TEdge::Left ? x0 : x0 - over;
  const double right = edge == TEdge::Right ? x1 : x1 + over;
  auto shade = [&p, h, line](double, double y) { return TitleShade(p, y, h, line); };
  r.RoundRect(left, 0, right, h + over, s(kCornerRadius), shade);
  // The outer outline follows the rounded edge.
  r.RoundFrame(left, 0, right, h + over, s(kCornerRadius), line, p.frameOutline);
  // The title's bottom row joins the frame's inner line.
  const int inner = s.Len(kBorderWidth) - line;
  const int bx0 = edge == TEdge::Left ? inner : 0, bx1 = edge == TEdge::Right ? w - inner : w;
  r.Fill(bx0, h - line, bx1, h, p.frameInner);
  return img;
}

// Border column i of a border `thickness` pixels wide, counted from the outside: the outline,
// the body a little lighter towards the inside, the inner line.
std::uint32_t BorderShade(const TPalette& p, int i, int thickness, int line) {
  if (i < line) return p.frameOutline;
  if (i >= thickness - line) return p.frameInner;
  return MixPixel(p.titleBottom, p.titleTop, 0.3 * (i - line) / (thickness - 2 * line - 1));
}

TvexImage SideBorder(const TPalette& p, const TScale& s, bool left) {
  const int w = s.Len(kBorderWidth), h = s.Len(6);
  TvexImage img(w, h);
  for (int x = 0; x < w; ++x) {
    const std::uint32_t c = BorderShade(p, left ? x : w - 1 - x, w, s.line);
    for (int y = 0; y < h; ++y) img.SetPixel(x, y, c);
  }
  return img;
}

TvexImage BottomBorder(const TPalette& p, const TScale& s, int baseWidth) {
  const int w = s.Len(baseWidth), h = s.Len(kBorderWidth);
  TvexImage img(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      // Each pixel takes the nearest frame edge: the left, right or bottom one.
      const int fromLeft = x, fromRight = w - 1 - x, fromBottom = h - 1 - y;
      const int d = std::min({fromLeft, fromRight, fromBottom});
      img.SetPixel(x, y, BorderShade(p, d, h, s.line));
    }
  return img;
}

// Title button glyphs, drawn in one colour on a square cell whose left edge is at x. They are
// laid out on the 18-pixel cell of 96 DPI: bars and boxes on whole pixels of the scale, strokes
// and curves scaled as they are.
using TGlyph = std::function<void(TRaster&, const TScale&, double x, std::uint32_t c)>;

void HelpGlyph(TRaster& r, const TScale& s, double x, std::uint32_t c) {
  const double cx = x + s(9), cy = s(6.6), rad = s(2.8), w = s(1.7);
  double px = cx + rad * std::cos(kPi * 1.1), py = cy - rad * std::sin(kPi * 1.1);
  for (int i = 1; i <= 12; ++i) {
    const double a = kPi * 1.1 - i * (kPi * 1.55 / 12);
    const double nx = cx + rad * std::cos(a), ny = cy - rad * std::sin(a);
    r.Line(px, py, nx, ny, w, c);
    px = nx;
    py = ny;
  }
  r.Line(px, py, x + s(9), s(10.8), w, c);
  r.Ellipse(x + s(9), s(13.6), s(1.15), s(1.15), c);
}

void MaximizeGlyph(TRaster& r, const TScale& s, double x, std::uint32_t c) {
  const int X = static_cast<int>(x);
  r.Fill(X + s.Len(4), s.Len(4), X + s.Len(14), s.Len(6), c);
  r.RoundFrame(x + s.Len(4), s.Len(4), x + s.Len(14), s.Len(14), 0, s(1.2), c);
}

void RestoreGlyph(TRaster& r, const TScale& s, double x, std::uint32_t c) {
  const int X = static_cast<int>(x);
  // The middle of 96-DPI pixel column (or row) v at the scale, so strokes meet the bars.
  auto mid = [&s](int v) { return (s.Len(v) + s.Len(v + 1)) / 2.0; };
  const double w = s(1.1);
  r.Fill(X + s.Len(7), s.Len(3), X + s.Len(15), s.Len(4), c);
  r.Line(x + mid(14), mid(3), x + mid(14), mid(10), w, c);
  r.Line(x + mid(7), mid(3), x + mid(7), s.Len(6), w, c);
  r.Line(x + s.Len(12), mid(10), x + mid(14), mid(10), w, c);
  r.Fill(X + s.Len(3), s.Len(6), X + s.Len(12), s.Len(8), c);
  r.RoundFrame(x + s.Len(3), s.Len(6), x + s.Len(12), s.Len(15), 0, s(1.2), c);
}

void MinimizeGlyph(TRaster& r, const TScale& s, double x, std::uint32_t c) {
  const int X = static_cast<int>(x);
  r.Fill(X + s.Len(4), s.Len(12), X + s.Len(14), s.Len(14), c);
}

void CloseGlyph(TRaster& r, const TScale& s, double x, std::uint32_t c) {
  r.Line(x + s(5), s(5), x + s(13), s(13), s(1.9), c);
  r.Line(x + s(13), s(5), x + s(5), s(13), s(1.9), c);
}

void MenuGlyph(TRaster& r, const TScale& s, double x, std::uint32_t c) {
  const int X = static_cast<int>(x);
  for (int i = 0; i < 3; ++i) r.Fill(X + s.Len(4), s.Len(5 + i * 4), X + s.Len(14), s.Len(7 + i * 4), c);
}

// Six buttons in three states each. Their background is the title rows they stand on.
TvexImage TitleButtons(const TPalette& p, const TScale& s) {
  const TTitleGeometry g = TitleGeometry(s);
  const int cell = g.buttonSize, top = g.buttonTop, h = g.height, line = s.line;
  TvexImage img(18 * cell, cell);
  for (int y = 0; y < cell; ++y)
    for (int x = 0; x < 18 * cell; ++x) img.SetPixel(x, y, TitleShade(p, y + top + 0.5, h, line));
  TRaster r(img);
  const TGlyph glyphs[6] = {MenuGlyph, HelpGlyph, MaximizeGlyph, RestoreGlyph, MinimizeGlyph, CloseGlyph};
  const double radius = s(3);
  for (int button = 0; button < 6; ++button) {
    const bool close = button == 5;
    for (int state = 0; state < 3; ++state) {
      const double x = (button * 3 + state) * cell;
      // The hot and pressed faces leave half a pixel all round, so their edges are soft.
      const double x0 = x + 0.5, x1 = x + cell - 0.5, y0 = 0.5, y1 = cell - 0.5;
      if (state == 1) {
        if (close)
          r.RoundRect(x0, y0, x1, y1, radius, p.closeHot);
        else
          r.RoundRect(x0, y0, x1, y1, radius, [&](double, double y) {
            return MixPixel(TitleShade(p, y + top, h, line), p.titleHotTint, 0.28);
          });
      } else if (state == 2) {
        if (close)
          r.RoundRect(x0, y0, x1, y1, radius, p.closeDown);
        else
          r.RoundRect(x0, y0, x1, y1, radius, [&](double, double y) {
            return MixPixel(TitleShade(p, y + top, h, line), p.titleDownTint, 0.35);
          });
      }
      glyphs[button](r, s, x, p.titleGlyph);
    }
  }
  return img;
}

TvexImage MinimizedTitle(const TPalette& p, const TScale& s) {
  const int w = s.Len(160), h = s.Len(27), line = s.line;
  TvexImage img(w, h, p.key);
  TRaster r(img, p.key, p.frameOutline);
  // Rounded at the top only: a minimized window's region is cut along its title rows alone.
  r.RoundRect(0, 0, w, h + s(13), s(kCornerRadius), [&p, h, line](double, double y) { return TitleShade(p, y, h, line); });
  r.RoundFrame(0, 0, w, h + s(13), s(kCornerRadius), line, p.frameOutline);
  r.Fill(0, h - line, w, h, p.frameOutline);
  return img;
}

TvexImage CheckedMenuIcon(const TPalette& p, const TScale& s) {
  const int size = s.Len(16);
  TvexImage img(size, size, p.key);
  TRaster r(img, p.key, p.menuItem);
  r.Line(s(3.5), s(8.5), s(6.5), s(11.5), s(2.0), p.menuText);
  r.Line(s(6.5), s(11.5), s(12.5), s(4.5), s(2.0), p.menuText);
  return img;
}

// Push button states: normal, hot, pressed. Horizontally uniform inside, so nine-section
// stretching keeps the look at any width.
TvexImage PushButtons(const TPalette& p, const TScale& s) {
  const int w = s.Len(84), h = s.Len(25);
  TvexImage img(3 * w, h, p.key);
  TRaster r(img, p.key, p.form);
  const double mid = s(12), radius = s(3.5);
  for (int state = 0; state < 3; ++state) {
    const TPalette::TButtonState st = p.button[state];
    const double x0 = state * w;
    r.RoundRect(x0, 0, x0 + w, h, radius, [&](double, double y) {
      return y < mid ? MixPixel(st.top, MixPixel(st.top, st.bottom, 0.35), y / mid)
                     : MixPixel(MixPixel(st.top, st.bottom, 0.35), st.bottom, (y - mid) / mid);
    });
    r.RoundFrame(x0, 0, x0 + w, h, radius, s.line, st.border);
  }
  return img;
}

void CheckMark(TRaster& r, const TScale& s, double x, double y, std::uint32_t c) {
  r.Line(x + s(4), y + s(8.3), x + s(6.8), y + s(11), s(1.9), c);
  r.Line(x + s(6.8), y + s(11), x + s(12), y + s(5), s(1.9), c);
}

// Check boxes: 1 checked, 2 grayed, 3 unchecked, then the same three disabled. Opaque on the
// form colour. `baseSize` is the side of one state at 96 DPI.
TvexImage CheckBoxes(const TPalette& p, const TScale& s, int baseSize, int slices, const int* marks,
                     const bool* disabled) {
  const int size = s.Len(baseSize);
  TvexImage img(size * slices, size, p.form);
  TRaster r(img, p.key, p.form);
  const bool large = baseSize >= 17;
  const double inset = s(large ? 2 : 0.5);
  for (int i = 0; i < slices; ++i) {
    const double x0 = i * size + inset, y0 = inset, x1 = (i + 1) * size - inset, y1 = size - inset;
    const bool off = disabled[i];
    r.RoundRect(x0, y0, x1, y1, s(2), [&](double, double y) {
      return off ? p.boxDisabledFill : MixPixel(p.boxTop, p.boxBottom, (y - y0) / (y1 - y0));
    });
    r.RoundFrame(x0, y0, x1, y1, s(2), s.line, off ? p.disabled : p.boxBorder);
    const std::uint32_t mark = off ? p.disabled : p.boxMark;
    // The small box's mark is laid out on the box itself, 13 units across.
    const double scale = (x1 - x0) / 13.0;
    if (marks[i] == 1) {
      const double ox = x0 - 2 * scale + (scale - s.f) * 2, oy = y0 - 2 * scale;
      if (large) {
        CheckMark(r, s, x0 - s(2), y0 - s(2), mark);
      } else {
        r.Line(ox + 4 * scale, oy + 7.5 * scale, ox + 6.2 * scale, oy + 9.8 * scale, s(1.5), mark);
        r.Line(ox + 6.2 * scale, oy + 9.8 * scale, ox + 10.5 * scale, oy + 4.5 * scale, s(1.5), mark);
      }
    } else if (marks[i] == 2) {
      r.RoundRect(x0 + s(3), y0 + s(3), x1 - s(3), y1 - s(3), s(1), off ? p.boxGrayedDisabled : p.boxGrayed);
    }
  }
  return img;
}

// Radio buttons: 1 checked, 2 unchecked, 3 checked disabled, 4 unchecked disabled; the corners
// are transparent and blend towards the form colour they sit on.
TvexImage RadioButtons(const TPalette& p, const TScale& s) {
  const int cell = s.Len(17);
  TvexImage img(4 * cell, cell, p.key);
  TRaster r(img, p.key, p.form);
  const bool checked[4] = {true, false, true, false};
  const double outer = s(6.6), inner = outer - s.line;
  for (int i = 0; i < 4; ++i) {
    const bool off = i >= 2;
    const double cx = i * cell + cell / 2.0, cy = cell / 2.0;
    const double top = cy - s(5.5), span = s(11);
    r.Ellipse(cx, cy, outer, outer, off ? p.disabled : p.boxBorder);
    r.Ellipse(cx, cy, inner, inner, [&](double, double y) {
      return off ? p.boxDisabledFill : MixPixel(p.boxTop, p.boxBottom, (y - top) / span);
    });
    if (checked[i]) r.Ellipse(cx, cy, s(3.0), s(3.0), off ? p.disabled : p.boxMark);
  }
  return img;
}

// Progress pieces: 1 left cap, 2 filled, 3 empty, 4 right cap; caps stay unstretched.
TvexImage ProgressPiece(const TPalette& p, const TScale& s, int piece) {
  const bool cap = piece == 1 || piece == 4;
  const int w = s.Len(cap ? 1 : 7), h = s.Len(13), line = s.line;
  TvexImage img(w, h);
  for (int y = 0; y < h; ++y) {
    std::uint32_t c;
    if (cap || y < line || y >= h - line) {
      c = p.softBorder;
    } else if (piece == 2) {
      c = y < 2 * line ? p.progressShine
                       : MixPixel(p.progressFillTop, p.accent, (y - 2.0 * line) / (h - 3 * line - 1));
    } else {
      c = MixPixel(p.progressEmptyTop, p.progressEmptyBottom, (y - 1.0 * line) / (h - 2 * line - 1));
    }
    for (int x = 0; x < w; ++x) img.SetPixel(x, y, c);
  }
  return img;
}

// Track-bar channel in three cells; the transparent pixels become the form colour.
TvexImage TrackChannel(const TPalette& p, const TScale& s) {
  const int w = s.Len(60), h = s.Len(8), line = s.line;
  TvexImage img(w, h, p.key);
  TRaster r(img, p.key, p.form);
  const double in = s(2);
  r.RoundRect(in, in, w - in, h - in, s(2), p.softBorder);
  r.RoundRect(in + line, in + line, w - in - line, h - in - line, s(1), p.channelFill);
  return img;
}

TvexImage TrackThumb(const TPalette& p, const TScale& s, bool vertical) {
  const int bw = vertical ? 21 : 11, bh = vertical ? 11 : 21;
  const int w = s.Len(bw), h = s.Len(bh);
  TvexImage img(w, h, p.key);
  TRaster r(img, p.key, p.form);
  // The 96-DPI shape, scaled about the image's middle (the image rounds to whole pixels).
  const double ox = (w - s(bw)) / 2, oy = (h - s(bh)) / 2;
  // The thumb points down (or right); its bottom-left pixel stays transparent, since the thumb is
  // drawn with the automatic transparent colour taken from there.
  auto inside = [vertical, ox, oy, &s](double x, double y) {
    x = (x - ox) / s.f;
    y = (y - oy) / s.f;
    if (vertical) std::swap(x, y);
    if (image::InsideRoundRect(x, y, 0.5, 0.5, 10.5, 14.5, 2)) return true;
    return y >= 13 && y <= 20.5 && std::fabs(x - 5.5) <= (20.5 - y) * 5 / 7.5;
  };
  auto shade = [&p, vertical, ox, oy, &s](double x, double y) {
    const double t = vertical ? (y - oy) / s(11) : (x - ox) / s(11);
    return MixPixel(p.thumbLight, p.accent, t);
  };
  r.Shape(0, 0, w, h, inside, shade);
  // Outline: pixels inside with a pixel outside (or the image's edge) within a line's width.
  const int line = s.line;
  TvexImage copy = img;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (copy.Pixel(x, y) == p.key) continue;
      bool edge = x < line || y < line || x >= w - line || y >= h - line;
      for (int d = 0; d < 4 && !edge; ++d)
        for (int k = 1; k <= line && !edge; ++k) {
          const int nx = x + k * ((d == 0) - (d == 1)), ny = y + k * ((d == 2) - (d == 3));
          edge = copy.Pixel(nx, ny) == p.key;
        }
      if (edge) img.SetPixel(x, y, MixPixel(copy.Pixel(x, y), p.thumbOutline, 0.75));
    }
  return img;
}

// Scroll arrows in three states (normal, hot, pressed), pointing up or down.
TvexImage ScrollArrows(const TPalette& p, const TScale& s, bool up) {
  const int cell = s.Len(18), in = s.Len(1);
  TvexImage img(3 * cell, cell, p.key);
  TRaster r(img, p.key, p.scrollBar);
  for (int i = 0; i < 3; ++i) {
    const double x = i * cell;
    r.RoundRect(x + in, in, x + cell - in, cell - in, s(3), p.arrowFill[i]);
    r.RoundFrame(x + in, in, x + cell - in, cell - in, s(3), s.line, p.arrowBorder[i]);
    const std::uint32_t c = i == 2 ? p.arrowGlyphDown : p.arrowGlyph;
    const double cx = x + cell / 2.0, cy = cell / 2.0;
    if (up)
      r.Triangle(cx, cy - s(3), cx - s(4.5), cy + s(2.5), cx + s(4.5), cy + s(2.5), c);
    else
      r.Triangle(cx, cy + s(3), cx - s(4.5), cy - s(2.5), cx + s(4.5), cy - s(2.5), c);
  }
  return img;
}

// The scroll thumb, cut later into a cap, a stretched part, the grip, another stretched part and
// a cap; the grip's three lines stand in the middle.
TvexImage ScrollThumb(const TPalette& p, const TScale& s) {
  const int w = s.Len(18), h = s.Len(63), line = s.line;
  TvexImage img(w, h, p.key);
  TRaster r(img, p.key, p.scrollBar);
  const int x0 = s.Len(2), x1 = w - s.Len(2);
  r.RoundRect(x0, 0, x1, h, s(3), [&p, x0, x1](double x, double) {
    return MixPixel(p.thumbLeft, p.thumbRight, (x - x0) / (x1 - x0));
  });
  r.RoundFrame(x0, 0, x1, h, s(3), line, p.thumbFrame);
  const int gap = s.Len(3), gripHeight = 2 * gap + 2 * line, gripWidth = s.Len(6);
  const int gx = (w - gripWidth) / 2, gy = (h - gripHeight + 1) / 2;
  for (int i = 0; i < 3; ++i) {
    const int y = gy + i * gap;
    r.Fill(gx, y, gx + gripWidth, y + line, p.gripDark);
    r.Fill(gx, y + line, gx + gripWidth, y + 2 * line, p.gripLight);
  }
  return img;
}

// Tabs: slice 1 selected, slice 2 not; each cut in three cells (edge, middle, edge).
TvexImage Tabs(const TPalette& p, const TScale& s) {
  const int w = s.Len(30), h = s.Len(22), line = s.line;
  const double below = h + s.Len(4), radius = s(3);
  TvexImage img(2 * w, h, p.form);
  TRaster r(img, p.key, p.form);
  // Selected: taller, lighter than the page at the top, open at the bottom into the page.
  r.RoundRect(0, 0, w, below, radius, [&p, h, line](double, double y) { return MixPixel(p.tabTop, p.form, y / (h - line)); });
  r.RoundFrame(0, 0, w, below, radius, line, p.controlBorder);
  r.Fill(0, h - line, w, h, p.form);
  r.Fill(0, h - line, line, h, p.controlBorder);
  r.Fill(w - line, h - line, w, h, p.controlBorder);
  // Not selected: lower, darker, closed by the page's line.
  const int top = s.Len(2);
  r.RoundRect(w, top, 2 * w, below, radius, [&p, h, line, top](double, double y) {
    return MixPixel(p.tabOffTop, p.tabOffBottom, (y - top) / (h - line - top));
  });
  r.RoundFrame(w, top, 2 * w, below, radius, line, p.tabOffBorder);
  r.Fill(w, h - line, 2 * w, h, p.controlBorder);
  return img;
}

TvexImage SideChannelBar(const TPalette& p, const TScale& s) {
  const int w = s.Len(7), h = s.Len(84);
  TvexImage img(w, h);
  TRaster r(img, p.key, p.form);
  r.VGradient(0, 0, w, h, p.accentLight, p.accent);
  return img;
}

TvexImage ScrollButtons(const TPalette& p, const TScale& s) {
  const int cell = s.Len(20), in = s.Len(1);
  TvexImage img(4 * cell, cell, p.key);
  TRaster r(img, p.key, p.scrollBar);
  for (int i = 0; i < 4; ++i) {
    r.RoundRect(i * cell + in, in, (i + 1) * cell - in, cell - in, s(3), p.arrowFill[i]);
    r.RoundFrame(i * cell + in, in, (i + 1) * cell - in, cell - in, s(3), s.line, i == 3 ? p.disabled : p.softBorder);
  }
  return img;
}

struct TNamedImage {
  std::string key;
  TvexImage image;
};

// Every bitmap of a theme drawn at one scale, in record order. SKIN2_FORMBOTTOMBORDER2 and 3,
// SKIN2_MENUBAR and SKIN2_TOOLBAR are left out: the frame's bottom is one section, and bars take
// their colours.
std::vector<TNamedImage> DrawBitmaps(const TPalette& p, const TScale& s) {
  const int checkMarks[6] = {1, 2, 0, 1, 2, 0};
  const bool checkDisabled[6] = {false, false, false, true, true, true};
  const int listMarks[4] = {1, 0, 1, 0};
  const bool listDisabled[4] = {false, false, true, true};

  std::vector<TNamedImage> out;
  auto add = [&out](const std::string& key, TvexImage img) { out.push_back({key, std::move(img)}); };
  add("SKIN2_TITLEBAR1", TitleSection(p, s, 31, TEdge::Left));
  add("SKIN2_TITLEBAR2", TitleSection(p, s, 136, TEdge::None));
  add("SKIN2_TITLEBAR3", TitleSection(p, s, 17, TEdge::None));
  add("SKIN2_TITLEBAR4", TitleSection(p, s, 13, TEdge::None));
  add("SKIN2_TITLEBAR5", TitleSection(p, s, 14, TEdge::Right));
  add("SKIN2_FORMLEFTBORDER", SideBorder(p, s, true));
  add("SKIN2_FORMRIGHTBORDER", SideBorder(p, s, false));
  add("SKIN2_FORMBOTTOMBORDER1", BottomBorder(p, s, 180));
  add("SKIN2_MINIMIZEDTITLE", MinimizedTitle(p, s));
  add("SKIN2_TITLEBUTTONS", TitleButtons(p, s));
  add("SKIN2_CHECKEDMENUICON", CheckedMenuIcon(p, s));
  add("SKIN2_BUTTON", PushButtons(p, s));
  add("SKIN2_CHECKBOX", CheckBoxes(p, s, 17, 6, checkMarks, checkDisabled));
  add("SKIN2_CHECKBOXLIST", CheckBoxes(p, s, 11, 4, listMarks, listDisabled));
  add("SKIN2_RADIOBUTTON", RadioButtons(p, s));
  for (int piece = 1; piece <= 4; ++piece) add("SKIN2_PROGRESSBAR" + std::to_string(piece), ProgressPiece(p, s, piece));
  add("SKIN2_TRACKBAR", TrackChannel(p, s));
  add("SKIN2_TRACKBARSLIDER", TrackThumb(p, s, false));
  add("SKIN2_TRACKBARVSLIDER", TrackThumb(p, s, true));
  add("SKIN2_SCROLLBARUPBUTTON", ScrollArrows(p, s, true));
  add("SKIN2_SCROLLBAR", ScrollThumb(p, s));
  add("SKIN2_SCROLLBARDOWNBUTTON", ScrollArrows(p, s, false));
  add("SKIN2_TABCONTROL", Tabs(p, s));
  add("SKIN2_TABCONTROLLINE", TvexImage(s.Len(8), s.Len(1), p.controlBorder));
  add("SKIN2_SIDECHANNELBAR", SideChannelBar(p, s));
  add("SKIN2_SIDECHANNELTITLE", TvexImage(s.Len(1), s.Len(21), p.accent));
  add("SKIN2_SCROLLBUTTON", ScrollButtons(p, s));
  return out;
}

// The last row of the title's rounded corners: the window region is traced from the title's rows
// down to it, and the rows below are opaque all along.
int LastCornerRow(const TScale& s) { return static_cast<int>(std::ceil(s(kCornerRadius))) - 1; }

// The position keys in table order for the drawing at one scale. The bottom border's region rows
// stay -1 (none) at every scale: -1 scaled reads -2, so each scale carries them as records.
std::vector<std::int32_t> Positions(const TTitleGeometry& g, int lastRegionRow) {
  return {g.iconLeft, g.iconTop, g.captionTop, g.buttonRight, g.buttonTop, 0, lastRegionRow, -1, -1};
}

int BitmapKeyIndex(const std::string& name) {
  for (int i = 0; i < bitmap::kCount; ++i)
    if (name == kSkinKeys[kBitmapBase + i]) return i;
  throw std::logic_error("not a bitmap key: " + name);
}

// The skin file of one theme: every key in the same order, with bitmaps of the same sizes; then
// each bitmap again, drawn for every scale of kScalePercents, and the position keys whose values
// at that scale are not simply the 96-DPI ones scaled.
std::vector<std::uint8_t> BuildSkinFile(const TPalette& p) {
  TSkinFileWriter w;
  for (int i = 0; i < 32; ++i) w.AddInteger(kSkinKeys[kColorBase + i], p.colorKeys[i]);

  const TScale base(96);
  const std::vector<TNamedImage> bitmaps = DrawBitmaps(p, base);
  for (const TNamedImage& b : bitmaps) w.AddBitmap(b.key, b.image);

  const std::vector<std::int32_t> positions = Positions(TitleGeometry(base), LastCornerRow(base));
  for (int i = 0; i < position::kCount; ++i)
    w.AddInteger(kSkinKeys[kPositionBase + i], positions[static_cast<std::size_t>(i)]);
  const std::uint8_t switchValues[9] = {1, 0, 1, 0, 0, 1, 0, 1, 0};
  for (int i = 0; i < 9; ++i) w.AddByte(kSkinKeys[kSwitchBase + i], switchValues[i]);
  w.AddInteger("SKIN2_SYSTEMCOLOR1", p.systemColor1);
  w.AddInteger("SKIN2_SYSTEMCOLOR2", p.systemColor2);

  for (const int percent : kScalePercents) {
    const TScale s(percent * 96 / 100);
    const std::vector<TNamedImage> scaled = DrawBitmaps(p, s);
    for (std::size_t i = 0; i < scaled.size(); ++i) {
      const TvexImage& img = scaled[i].image;
      const TvexImage& from = bitmaps[i].image;
      // The engine lays frames and controls out by this size: it must be what scaling the
      // 96-DPI image state by state would give.
      const image::TImageSize expected = image::ScaledSlicesSize(
          from.Width(), from.Height(), BitmapSliceCount(BitmapKeyIndex(scaled[i].key)), s.dpi, 96);
      if (expected != image::TImageSize{img.Width(), img.Height()})
        throw std::logic_error(scaled[i].key + " drawn at the wrong size for " + std::to_string(percent) + " %");
      w.AddBitmap(ScaledRecordName(scaled[i].key, percent), img);
    }
    const std::vector<std::int32_t> at = Positions(TitleGeometry(s), LastCornerRow(s));
    for (int i = 0; i < position::kCount; ++i) {
      const std::int32_t v = at[static_cast<std::size_t>(i)];
      if (v != ScaleLength(positions[static_cast<std::size_t>(i)], s.dpi))
        w.AddInteger(ScaledRecordName(kSkinKeys[kPositionBase + i], percent), v);
    }
  }
  return w.Build();
}

}  // namespace

std::vector<std::uint8_t> BuildBuiltInSkinFile(TSkinTheme theme) {
  return BuildSkinFile(theme == TSkinTheme::Dark ? DarkPalette() : LightPalette());
}

std::vector<std::uint8_t> BuildBuiltInSkinArchive(TSkinTheme theme, const std::string& password) {
  TArchiveOptions o;
  o.password = password;
  return WriteSkinArchive(BuildBuiltInSkinFile(theme), o);
}

std::vector<std::uint8_t> BuildDefaultSkinFile() { return BuildBuiltInSkinFile(TSkinTheme::Light); }

std::vector<std::uint8_t> BuildDefaultSkinArchive(const std::string& password) {
  return BuildBuiltInSkinArchive(TSkinTheme::Light, password);
}

std::vector<std::uint8_t> BuildDarkSkinFile() { return BuildBuiltInSkinFile(TSkinTheme::Dark); }

std::vector<std::uint8_t> BuildDarkSkinArchive(const std::string& password) {
  return BuildBuiltInSkinArchive(TSkinTheme::Dark, password);
}

}  // namespace vex::skin2
