#include "skin2/default_skin.h"

#include <algorithm>
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
constexpr int kTitleHeight = 31;
constexpr double kCornerRadius = 6;

// The title colour at row y of the 31-row title bar: a highlight row under the outline, then a
// gradient. Buttons and sections share it so they sit seamlessly on the bar.
std::uint32_t TitleShade(const TPalette& p, double y, int height = kTitleHeight) {
  if (y < 1) return p.frameOutline;
  if (y < 2) return p.titleHighlight;
  return MixPixel(p.titleTop, p.titleBottom, (y - 2) / (height - 3));
}

// A title section: gradient rows, the outline on row 0, and optionally the left or right frame
// edge with a rounded top corner cut by the transparent colour.
enum class TEdge { None, Left, Right };

TvexImage TitleSection(const TPalette& p, int w, int h, TEdge edge) {
  TvexImage img(w, h, p.key);
  TRaster r(img, p.key, p.frameOutline);
  const double x0 = 0, x1 = w;
  const double left = edge == TEdge::Left ? x0 : x0 - 20;
  const double right = edge == TEdge::Right ? x1 : x1 + 20;
  auto shade = [&p, h](double, double y) { return TitleShade(p, y, h); };
  r.RoundRect(left, 0, right, h + 20, kCornerRadius, shade);
  // The outer outline follows the rounded edge.
  r.RoundFrame(left, 0, right, h + 20, kCornerRadius, 1, p.frameOutline);
  // The title's bottom row joins the frame's inner line.
  const int bx0 = edge == TEdge::Left ? 4 : 0, bx1 = edge == TEdge::Right ? w - 4 : w;
  r.Fill(bx0, h - 1, bx1, h, p.frameInner);
  return img;
}

// Side border column: outline, body, inner line; `outerFirst` says which edge is outside.
std::uint32_t BorderShade(const TPalette& p, int i, int thickness) {
  if (i == 0) return p.frameOutline;
  if (i == thickness - 1) return p.frameInner;
  return MixPixel(p.titleBottom, p.titleTop, 0.15 * (i - 1));
}

TvexImage SideBorder(const TPalette& p, bool left) {
  TvexImage img(5, 6);
  for (int x = 0; x < 5; ++x) {
    const std::uint32_t c = BorderShade(p, left ? x : 4 - x, 5);
    for (int y = 0; y < 6; ++y) img.SetPixel(x, y, c);
  }
  return img;
}

TvexImage BottomBorder(const TPalette& p, int w) {
  TvexImage img(w, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < w; ++x) {
      // Each pixel takes the nearest frame edge: the left, right or bottom one.
      const int fromLeft = x, fromRight = w - 1 - x, fromBottom = 4 - y;
      const int d = std::min({fromLeft, fromRight, fromBottom});
      img.SetPixel(x, y, BorderShade(p, d, 5));
    }
  return img;
}

// Title button glyphs, drawn in one colour on an 18 x 18 cell whose left edge is at x.
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
TvexImage TitleButtons(const TPalette& p) {
  constexpr int kButtonTop = 9;
  TvexImage img(324, 18);
  for (int y = 0; y < 18; ++y)
    for (int x = 0; x < 324; ++x) img.SetPixel(x, y, TitleShade(p, y + kButtonTop + 0.5));
  TRaster r(img);
  const TGlyph glyphs[6] = {MenuGlyph, HelpGlyph, MaximizeGlyph, RestoreGlyph, MinimizeGlyph, CloseGlyph};
  for (int button = 0; button < 6; ++button) {
    const bool close = button == 5;
    for (int state = 0; state < 3; ++state) {
      const double x = (button * 3 + state) * 18;
      if (state == 1) {
        if (close)
          r.RoundRect(x + 0.5, 0.5, x + 17.5, 17.5, 3, p.closeHot);
        else
          r.RoundRect(x + 0.5, 0.5, x + 17.5, 17.5, 3, [&](double, double y) {
            return MixPixel(TitleShade(p, y + kButtonTop), p.titleHotTint, 0.28);
          });
      } else if (state == 2) {
        if (close)
          r.RoundRect(x + 0.5, 0.5, x + 17.5, 17.5, 3, p.closeDown);
        else
          r.RoundRect(x + 0.5, 0.5, x + 17.5, 17.5, 3, [&](double, double y) {
            return MixPixel(TitleShade(p, y + kButtonTop), p.titleDownTint, 0.35);
          });
      }
      glyphs[button](r, x, p.titleGlyph);
    }
  }
  return img;
}

TvexImage MinimizedTitle(const TPalette& p) {
  TvexImage img(160, 27, p.key);
  TRaster r(img, p.key, p.frameOutline);
  // Rounded at the top only: a minimized window's region is cut along its title rows alone.
  r.RoundRect(0, 0, 160, 40, kCornerRadius, [&p](double, double y) { return TitleShade(p, y, 27); });
  r.RoundFrame(0, 0, 160, 40, kCornerRadius, 1, p.frameOutline);
  r.Fill(0, 26, 160, 27, p.frameOutline);
  return img;
}

TvexImage CheckedMenuIcon(const TPalette& p) {
  TvexImage img(16, 16, p.key);
  TRaster r(img, p.key, p.menuItem);
  r.Line(3.5, 8.5, 6.5, 11.5, 2.0, p.menuText);
  r.Line(6.5, 11.5, 12.5, 4.5, 2.0, p.menuText);
  return img;
}

// Push button states: normal, hot, pressed. Horizontally uniform inside, so nine-section
// stretching keeps the look at any width.
TvexImage PushButtons(const TPalette& p) {
  TvexImage img(252, 25, p.key);
  TRaster r(img, p.key, p.form);
  for (int s = 0; s < 3; ++s) {
    const TPalette::TButtonState st = p.button[s];
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
TvexImage CheckBoxes(const TPalette& p, int size, int slices, const int* marks, const bool* disabled) {
  TvexImage img(size * slices, size, p.form);
  TRaster r(img, p.key, p.form);
  const double inset = size >= 17 ? 2 : 0.5;
  for (int s = 0; s < slices; ++s) {
    const double x0 = s * size + inset, y0 = inset, x1 = (s + 1) * size - inset, y1 = size - inset;
    const bool off = disabled[s];
    r.RoundRect(x0, y0, x1, y1, 2, [&](double, double y) {
      return off ? p.boxDisabledFill : MixPixel(p.boxTop, p.boxBottom, (y - y0) / (y1 - y0));
    });
    r.RoundFrame(x0, y0, x1, y1, 2, 1, off ? p.disabled : p.boxBorder);
    const std::uint32_t mark = off ? p.disabled : p.boxMark;
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
      r.RoundRect(x0 + 3, y0 + 3, x1 - 3, y1 - 3, 1, off ? p.boxGrayedDisabled : p.boxGrayed);
    }
  }
  return img;
}

// Radio buttons: 1 checked, 2 unchecked, 3 checked disabled, 4 unchecked disabled; the corners
// are transparent and blend towards the form colour they sit on.
TvexImage RadioButtons(const TPalette& p) {
  TvexImage img(68, 17, p.key);
  TRaster r(img, p.key, p.form);
  const bool checked[4] = {true, false, true, false};
  for (int s = 0; s < 4; ++s) {
    const bool off = s >= 2;
    const double cx = s * 17 + 8.5, cy = 8.5;
    r.Ellipse(cx, cy, 6.6, 6.6, off ? p.disabled : p.boxBorder);
    r.Ellipse(cx, cy, 5.6, 5.6, [&](double, double y) {
      return off ? p.boxDisabledFill : MixPixel(p.boxTop, p.boxBottom, (y - 3) / 11);
    });
    if (checked[s]) r.Ellipse(cx, cy, 3.0, 3.0, off ? p.disabled : p.boxMark);
  }
  return img;
}

// Progress pieces: 1 left cap, 2 filled, 3 empty, 4 right cap; caps of two rows stay unstretched.
TvexImage ProgressPiece(const TPalette& p, int piece) {
  const int w = piece == 1 || piece == 4 ? 1 : 7;
  TvexImage img(w, 13);
  for (int y = 0; y < 13; ++y) {
    std::uint32_t c;
    if (piece == 1 || piece == 4 || y == 0 || y == 12) {
      c = p.softBorder;
    } else if (piece == 2) {
      c = y == 1 ? p.progressShine : MixPixel(p.progressFillTop, p.accent, (y - 2) / 9.0);
    } else {
      c = MixPixel(p.progressEmptyTop, p.progressEmptyBottom, (y - 1) / 10.0);
    }
    for (int x = 0; x < w; ++x) img.SetPixel(x, y, c);
  }
  return img;
}

// Track-bar channel in three 20-pixel cells; the transparent pixels become the form colour.
TvexImage TrackChannel(const TPalette& p) {
  TvexImage img(60, 8, p.key);
  TRaster r(img, p.key, p.form);
  r.RoundRect(2, 2, 58, 6, 2, p.softBorder);
  r.RoundRect(3, 3, 57, 5, 1, p.channelFill);
  return img;
}

TvexImage TrackThumb(const TPalette& p, bool vertical) {
  const int w = vertical ? 21 : 11, h = vertical ? 11 : 21;
  TvexImage img(w, h, p.key);
  TRaster r(img, p.key, p.form);
  // The thumb points down (or right); its bottom-left pixel stays transparent, since the thumb is
  // drawn with the automatic transparent colour taken from there.
  auto inside = [vertical](double x, double y) {
    if (vertical) std::swap(x, y);
    if (image::InsideRoundRect(x, y, 0.5, 0.5, 10.5, 14.5, 2)) return true;
    return y >= 13 && y <= 20.5 && std::fabs(x - 5.5) <= (20.5 - y) * 5 / 7.5;
  };
  auto shade = [&p, vertical](double x, double y) {
    const double t = vertical ? y / 11 : x / 11;
    return MixPixel(p.thumbLight, p.accent, t);
  };
  r.Shape(0, 0, w, h, inside, shade);
  // Outline: pixels inside whose neighbour is outside.
  TvexImage copy = img;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (copy.Pixel(x, y) == p.key) continue;
      bool edge = x == 0 || y == 0 || x == w - 1 || y == h - 1;
      for (int d = 0; d < 4 && !edge; ++d) {
        const int nx = x + (d == 0) - (d == 1), ny = y + (d == 2) - (d == 3);
        edge = copy.Pixel(nx, ny) == p.key;
      }
      if (edge) img.SetPixel(x, y, MixPixel(copy.Pixel(x, y), p.thumbOutline, 0.75));
    }
  return img;
}

// Scroll arrows in three states (normal, hot, pressed), pointing up or down.
TvexImage ScrollArrows(const TPalette& p, bool up) {
  TvexImage img(54, 18, p.key);
  TRaster r(img, p.key, p.scrollBar);
  for (int s = 0; s < 3; ++s) {
    const double x = s * 18;
    r.RoundRect(x + 1, 1, x + 17, 17, 3, p.arrowFill[s]);
    r.RoundFrame(x + 1, 1, x + 17, 17, 3, 1, p.arrowBorder[s]);
    const std::uint32_t c = s == 2 ? p.arrowGlyphDown : p.arrowGlyph;
    if (up)
      r.Triangle(x + 9, 6, x + 4.5, 11.5, x + 13.5, 11.5, c);
    else
      r.Triangle(x + 9, 12, x + 4.5, 6.5, x + 13.5, 6.5, c);
  }
  return img;
}

// The scroll thumb, cut later into a 3-row cap, a stretched part, the grip (rows 23-41), another
// stretched part and a 3-row cap.
TvexImage ScrollThumb(const TPalette& p) {
  TvexImage img(18, 63, p.key);
  TRaster r(img, p.key, p.scrollBar);
  r.RoundRect(2, 0, 16, 63, 3, [&p](double x, double) { return MixPixel(p.thumbLeft, p.thumbRight, (x - 2) / 14); });
  r.RoundFrame(2, 0, 16, 63, 3, 1, p.thumbFrame);
  for (int y : {28, 31, 34}) {
    r.Fill(6, y, 12, y + 1, p.gripDark);
    r.Fill(6, y + 1, 12, y + 2, p.gripLight);
  }
  return img;
}

// Tabs: slice 1 selected, slice 2 not; each 30 pixels in cells of 10 (edge, middle, edge).
TvexImage Tabs(const TPalette& p) {
  TvexImage img(60, 22, p.form);
  TRaster r(img, p.key, p.form);
  // Selected: taller, lighter than the page at the top, open at the bottom into the page.
  r.RoundRect(0, 0, 30, 26, 3, [&p](double, double y) { return MixPixel(p.tabTop, p.form, y / 21); });
  r.RoundFrame(0, 0, 30, 26, 3, 1, p.controlBorder);
  r.Fill(0, 21, 30, 22, p.form);
  r.Fill(0, 21, 1, 22, p.controlBorder);
  r.Fill(29, 21, 30, 22, p.controlBorder);
  // Not selected: two rows lower, darker, closed by the page's line.
  r.RoundRect(30, 2, 60, 26, 3, [&p](double, double y) { return MixPixel(p.tabOffTop, p.tabOffBottom, (y - 2) / 19); });
  r.RoundFrame(30, 2, 60, 26, 3, 1, p.tabOffBorder);
  r.Fill(30, 21, 60, 22, p.controlBorder);
  return img;
}

TvexImage SideChannelBar(const TPalette& p) {
  TvexImage img(7, 84);
  TRaster r(img, p.key, p.form);
  r.VGradient(0, 0, 7, 84, p.accentLight, p.accent);
  return img;
}

TvexImage ScrollButtons(const TPalette& p) {
  TvexImage img(80, 20, p.key);
  TRaster r(img, p.key, p.scrollBar);
  for (int s = 0; s < 4; ++s) {
    r.RoundRect(s * 20 + 1, 1, s * 20 + 19, 19, 3, p.arrowFill[s]);
    r.RoundFrame(s * 20 + 1, 1, s * 20 + 19, 19, 3, 1, s == 3 ? p.disabled : p.softBorder);
  }
  return img;
}

// The skin file of one theme: every key in the same order, with bitmaps of the same sizes.
std::vector<std::uint8_t> BuildSkinFile(const TPalette& p) {
  TSkinFileWriter w;
  for (int i = 0; i < 32; ++i) w.AddInteger(kSkinKeys[kColorBase + i], p.colorKeys[i]);

  const int checkMarks[6] = {1, 2, 0, 1, 2, 0};
  const bool checkDisabled[6] = {false, false, false, true, true, true};
  const int listMarks[4] = {1, 0, 1, 0};
  const bool listDisabled[4] = {false, false, true, true};

  w.AddBitmap("SKIN2_TITLEBAR1", TitleSection(p, 31, kTitleHeight, TEdge::Left));
  w.AddBitmap("SKIN2_TITLEBAR2", TitleSection(p, 136, kTitleHeight, TEdge::None));
  w.AddBitmap("SKIN2_TITLEBAR3", TitleSection(p, 17, kTitleHeight, TEdge::None));
  w.AddBitmap("SKIN2_TITLEBAR4", TitleSection(p, 13, kTitleHeight, TEdge::None));
  w.AddBitmap("SKIN2_TITLEBAR5", TitleSection(p, 14, kTitleHeight, TEdge::Right));
  w.AddBitmap("SKIN2_FORMLEFTBORDER", SideBorder(p, true));
  w.AddBitmap("SKIN2_FORMRIGHTBORDER", SideBorder(p, false));
  w.AddBitmap("SKIN2_FORMBOTTOMBORDER1", BottomBorder(p, 180));
  w.AddBitmap("SKIN2_MINIMIZEDTITLE", MinimizedTitle(p));
  w.AddBitmap("SKIN2_TITLEBUTTONS", TitleButtons(p));
  w.AddBitmap("SKIN2_CHECKEDMENUICON", CheckedMenuIcon(p));
  w.AddBitmap("SKIN2_BUTTON", PushButtons(p));
  w.AddBitmap("SKIN2_CHECKBOX", CheckBoxes(p, 17, 6, checkMarks, checkDisabled));
  w.AddBitmap("SKIN2_CHECKBOXLIST", CheckBoxes(p, 11, 4, listMarks, listDisabled));
  w.AddBitmap("SKIN2_RADIOBUTTON", RadioButtons(p));
  for (int piece = 1; piece <= 4; ++piece) w.AddBitmap("SKIN2_PROGRESSBAR" + std::to_string(piece), ProgressPiece(p, piece));
  w.AddBitmap("SKIN2_TRACKBAR", TrackChannel(p));
  w.AddBitmap("SKIN2_TRACKBARSLIDER", TrackThumb(p, false));
  w.AddBitmap("SKIN2_TRACKBARVSLIDER", TrackThumb(p, true));
  w.AddBitmap("SKIN2_SCROLLBARUPBUTTON", ScrollArrows(p, true));
  w.AddBitmap("SKIN2_SCROLLBAR", ScrollThumb(p));
  w.AddBitmap("SKIN2_SCROLLBARDOWNBUTTON", ScrollArrows(p, false));
  w.AddBitmap("SKIN2_TABCONTROL", Tabs(p));
  w.AddBitmap("SKIN2_TABCONTROLLINE", TvexImage(8, 1, p.controlBorder));
  w.AddBitmap("SKIN2_SIDECHANNELBAR", SideChannelBar(p));
  w.AddBitmap("SKIN2_SIDECHANNELTITLE", TvexImage(1, 21, p.accent));
  w.AddBitmap("SKIN2_SCROLLBUTTON", ScrollButtons(p));

  const std::int32_t positions[9] = {21, 9, 9, 7, 9, 0, 5, -1, -1};
  for (int i = 0; i < 9; ++i) w.AddInteger(kSkinKeys[kPositionBase + i], positions[i]);
  const std::uint8_t switchValues[9] = {1, 0, 1, 0, 0, 1, 0, 1, 0};
  for (int i = 0; i < 9; ++i) w.AddByte(kSkinKeys[kSwitchBase + i], switchValues[i]);
  w.AddInteger("SKIN2_SYSTEMCOLOR1", p.systemColor1);
  w.AddInteger("SKIN2_SYSTEMCOLOR2", p.systemColor2);
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
