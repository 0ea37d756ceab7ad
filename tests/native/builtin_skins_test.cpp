// The two built-in skins: the dark one carries every key of the light one, and its colours make
// a readable dark theme; both carry their bitmaps drawn again for the larger scales.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "image/image.h"
#include "image/scaling.h"
#include "skin2/default_skin.h"
#include "skin2/skin_file_reader.h"
#include "skin2/skin_file_writer.h"
#include "skin2/skin_keys.h"

namespace vex::skin2 {
namespace {

using image::TvexImage;

// Relative luminance of a 0x00RRGGBB pixel, sRGB channels made linear first.
double Luminance(std::uint32_t pixel) {
  auto lin = [](std::uint32_t c) {
    const double v = c / 255.0;
    return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * lin((pixel >> 16) & 255) + 0.7152 * lin((pixel >> 8) & 255) + 0.0722 * lin(pixel & 255);
}

// The contrast ratio of two colours, 1 (none) to 21 (black on white).
double Contrast(std::uint32_t a, std::uint32_t b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Hue in degrees, 0 to 360.
double Hue(std::uint32_t pixel) {
  const double r = (pixel >> 16) & 255, g = (pixel >> 8) & 255, b = pixel & 255;
  const double hi = std::max({r, g, b}), lo = std::min({r, g, b});
  if (hi == lo) return 0;
  double h = hi == r ? (g - b) / (hi - lo) : hi == g ? 2 + (b - r) / (hi - lo) : 4 + (r - g) / (hi - lo);
  h *= 60;
  return h < 0 ? h + 360 : h;
}

class BuiltInSkins : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto lightFile = BuildDefaultSkinFile();
    const auto darkFile = BuildDarkSkinFile();
    light.LoadFromBytes(lightFile.data(), lightFile.size());
    dark.LoadFromBytes(darkFile.data(), darkFile.size());
  }

  // A colour key's value as a pixel (0x00RRGGBB).
  static std::uint32_t Color(const Tsk2SkinFileReader& r, int key) {
    const std::int32_t c = LookupColor(&r, key);
    EXPECT_GE(c, 0) << kSkinKeys[kColorBase + key];
    return image::ColorToPixel(static_cast<std::uint32_t>(c));
  }
  static const TvexImage& Bitmap(const Tsk2SkinFileReader& r, int key) {
    const TvexImage* b = LookupBitmap(&r, key);
    if (!b) throw std::runtime_error(std::string(kSkinKeys[kBitmapBase + key]) + " is absent");
    return *b;
  }

  Tsk2SkinFileReader light, dark;
};

TEST_F(BuiltInSkins, LightSkinIsTheDefaultSkin) {
  EXPECT_EQ(BuildBuiltInSkinFile(TSkinTheme::Light), BuildDefaultSkinFile());
  EXPECT_EQ(BuildBuiltInSkinFile(TSkinTheme::Dark), BuildDarkSkinFile());
  EXPECT_NE(BuildDarkSkinFile(), BuildDefaultSkinFile());
}

TEST_F(BuiltInSkins, DarkSkinCarriesEveryRecordOfTheLightOneWithTheSameSizesAndLayout) {
  ASSERT_EQ(dark.Records().size(), light.Records().size());
  for (std::size_t i = 0; i < light.Records().size(); ++i) {
    EXPECT_EQ(dark.Records()[i].type, light.Records()[i].type) << "record " << i;
    EXPECT_EQ(dark.Records()[i].index, light.Records()[i].index) << "record " << i;
  }
  ASSERT_EQ(dark.Bitmaps().size(), light.Bitmaps().size());
  for (std::size_t i = 0; i < light.Bitmaps().size(); ++i) {
    const auto& l = light.Bitmaps()[i];
    const auto& d = dark.Bitmaps()[i];
    EXPECT_EQ(d.name, l.name);
    EXPECT_EQ(d.value->Width(), l.value->Width()) << l.name;
    EXPECT_EQ(d.value->Height(), l.value->Height()) << l.name;
    EXPECT_EQ(d.value->BitsPerPixel(), l.value->BitsPerPixel()) << l.name;
  }
  ASSERT_EQ(dark.Integers().size(), light.Integers().size());
  for (std::size_t i = 0; i < light.Integers().size(); ++i) EXPECT_EQ(dark.Integers()[i].name, light.Integers()[i].name);
  // The geometry and the switches are shared: only colours differ.
  for (int k = 0; k < position::kCount; ++k)
    EXPECT_EQ(LookupPosition(&dark, k), LookupPosition(&light, k)) << kSkinKeys[kPositionBase + k];
  ASSERT_EQ(dark.Bytes().size(), light.Bytes().size());
  for (std::size_t i = 0; i < light.Bytes().size(); ++i) {
    EXPECT_EQ(dark.Bytes()[i].name, light.Bytes()[i].name);
    EXPECT_EQ(dark.Bytes()[i].value, light.Bytes()[i].value) << light.Bytes()[i].name;
  }
  for (int k = 0; k < color::kCount; ++k) EXPECT_GE(LookupColor(&dark, k), 0) << kSkinKeys[kColorBase + k];
  EXPECT_EQ(LookupColor(&dark, color::SKIN2_TRANSCOLOR), LookupColor(&light, color::SKIN2_TRANSCOLOR));
}

TEST_F(BuiltInSkins, ContrastHelperMeasuresKnownPairs) {
  EXPECT_NEAR(Contrast(0xFFFFFF, 0x000000), 21.0, 1e-9);
  EXPECT_NEAR(Contrast(0x777777, 0x777777), 1.0, 1e-9);
  EXPECT_NEAR(Contrast(0xFFFFFF, 0x767676), 4.54, 0.01);
}

TEST_F(BuiltInSkins, DarkFormAndBarsAreDarkAndTheTitleIsNotTheLightBlue) {
  const std::uint32_t form = Color(dark, color::SKIN2_FORMCOLOR);
  EXPECT_LT(Luminance(form), 0.05);
  EXPECT_GT(Luminance(Color(light, color::SKIN2_FORMCOLOR)), 0.5);
  for (int key : {color::SKIN2_MENUITEMCOLOR, color::SKIN2_MENUBARSTARTCOLOR, color::SKIN2_MENUBARENDCOLOR,
                  color::SKIN2_TOOLBARSTARTCOLOR, color::SKIN2_TOOLBARENDCOLOR, color::SKIN2_SCROLLBARCOLOR})
    EXPECT_LT(Luminance(Color(dark, key)), 0.06) << kSkinKeys[kColorBase + key];

  // The title: dark, tinted, and of another hue than the light skin's blue.
  const TvexImage& darkTitle = Bitmap(dark, bitmap::SKIN2_TITLEBAR2);
  const TvexImage& lightTitle = Bitmap(light, bitmap::SKIN2_TITLEBAR2);
  const std::uint32_t d = darkTitle.Pixel(darkTitle.Width() / 2, 15);
  const std::uint32_t l = lightTitle.Pixel(lightTitle.Width() / 2, 15);
  EXPECT_LT(Luminance(d), 0.12);
  const int spread = std::max({d >> 16, (d >> 8) & 255, d & 255}) - std::min({d >> 16, (d >> 8) & 255, d & 255});
  EXPECT_GT(spread, 30) << "the title bar should carry an accent, not plain grey";
  EXPECT_GT(std::fabs(Hue(d) - Hue(l)), 25.0) << Hue(d) << " against " << Hue(l);
}

// Text colours against what they are drawn on, at least 4.5 : 1 everywhere.
TEST_F(BuiltInSkins, DarkTextColoursReadOnTheirBackgrounds) {
  const Tsk2SkinFileReader& s = dark;
  struct Pair {
    const char* what;
    std::uint32_t text, background;
  };
  std::vector<Pair> pairs = {
      {"control font on form", Color(s, color::SKIN2_CONTROLFONTCOLOR), Color(s, color::SKIN2_FORMCOLOR)},
      {"menu item font on menu item", Color(s, color::SKIN2_MENUITEMFONTCOLOR), Color(s, color::SKIN2_MENUITEMCOLOR)},
      {"menu item font on left bar", Color(s, color::SKIN2_MENUITEMFONTCOLOR), Color(s, color::SKIN2_LEFTBARSTARTCOLOR)},
      {"selected menu font", Color(s, color::SKIN2_SELECTEDMENUFONTCOLOR), Color(s, color::SKIN2_SELECTEDMENUCOLOR)},
      {"top menu font on menu bar start", Color(s, color::SKIN2_TOPMENUFONTCOLOR), Color(s, color::SKIN2_MENUBARSTARTCOLOR)},
      {"top menu font on menu bar end", Color(s, color::SKIN2_TOPMENUFONTCOLOR), Color(s, color::SKIN2_MENUBARENDCOLOR)},
      {"top selected menu font", Color(s, color::SKIN2_TOPSELECTEDMENUFONTCOLOR), Color(s, color::SKIN2_TOPSELECTEDMENUCOLOR)},
  };
  // The caption: every pixel of the stretched title section in the rows its text takes.
  const TvexImage& title = Bitmap(s, bitmap::SKIN2_TITLEBAR2);
  const int captionTop = LookupPosition(&s, position::SKIN2_TITLEBARCAPTIONTOP);
  ASSERT_GE(captionTop, 0);
  for (int y = captionTop; y < std::min(captionTop + 14, title.Height()); ++y)
    for (int x = 0; x < title.Width(); ++x)
      pairs.push_back({"title font on title bar", Color(s, color::SKIN2_TITLEFONTCOLOR), title.Pixel(x, y)});
  // Push buttons: the middle of each state's slice (normal, hot, pressed).
  const TvexImage& button = Bitmap(s, bitmap::SKIN2_BUTTON);
  const int slice = button.Width() / 3;
  for (int state = 0; state < 3; ++state)
    for (int y = 4; y < button.Height() - 4; ++y)
      pairs.push_back({"button font on button", Color(s, color::SKIN2_BUTTONFONTCOLOR),
                       button.Pixel(state * slice + slice / 2, y)});
  // Tabs: the middle cell of the selected and of an unselected tab.
  const TvexImage& tabs = Bitmap(s, bitmap::SKIN2_TABCONTROL);
  const int tab = tabs.Width() / 2;
  pairs.push_back({"active tab font", Color(s, color::SKIN2_TABCONTROLACTIVEFONTCOLOR), tabs.Pixel(tab / 2, tabs.Height() / 2)});
  pairs.push_back({"inactive tab font", Color(s, color::SKIN2_TABCONTROLINACTIVEFONTCOLOR),
                   tabs.Pixel(tab + tab / 2, tabs.Height() / 2)});

  for (const Pair& p : pairs) {
    const double c = Contrast(p.text, p.background);
    EXPECT_GE(c, 4.5) << p.what << ": text " << std::hex << p.text << " on " << p.background;
    // Light text on a dark background, not the other way round.
    EXPECT_GT(Luminance(p.text), Luminance(p.background)) << p.what;
  }
}

// Check boxes and radio buttons in both skins: the box outline stands out from the form, and the
// checked slice differs visibly from the unchecked one (the mark is seen).
TEST_F(BuiltInSkins, CheckMarksAndBoxesStandOutInBothSkins) {
  struct Case {
    int key;
    int checked, unchecked;  // slice indexes
  };
  const Case cases[] = {
      {bitmap::SKIN2_CHECKBOX, 0, 2},
      {bitmap::SKIN2_RADIOBUTTON, 0, 1},
  };
  for (const Tsk2SkinFileReader* s : {&light, &dark}) {
    const std::uint32_t form = Color(*s, color::SKIN2_FORMCOLOR);
    const std::uint32_t key = Color(*s, color::SKIN2_TRANSCOLOR);
    for (const Case& c : cases) {
      const TvexImage& img = Bitmap(*s, c.key);
      const int size = img.Height();
      double outline = 1, mark = 1;
      for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
          const std::uint32_t on = img.Pixel(c.checked * size + x, y), off = img.Pixel(c.unchecked * size + x, y);
          if (off != key) outline = std::max(outline, Contrast(off, form));
          if (on != key && off != key) mark = std::max(mark, Contrast(on, off));
        }
      const char* name = kSkinKeys[kBitmapBase + c.key];
      const char* skin = s == &dark ? "dark" : "light";
      EXPECT_GE(outline, 3.0) << skin << " " << name;
      EXPECT_GE(mark, 3.0) << skin << " " << name;
    }
  }
}

// ---------------------------------------------------------------------------------------------
// The records for 150 % and 200 %.

struct TTheme {
  const char* name;
  TSkinTheme theme;
};
const TTheme kThemes[] = {{"light", TSkinTheme::Light}, {"dark", TSkinTheme::Dark}};

Tsk2SkinFileReader Load(const std::vector<std::uint8_t>& file) {
  Tsk2SkinFileReader r;
  r.LoadFromBytes(file.data(), file.size());
  return r;
}

std::uint64_t Fnv1a(const std::vector<std::uint8_t>& bytes) {
  std::uint64_t h = 0xcbf29ce484222325ull;
  for (std::uint8_t b : bytes) h = (h ^ b) * 0x100000001b3ull;
  return h;
}

// The records of a skin file without a scale's suffix, written out again in their order: the file
// a reader that knows nothing of scales effectively reads.
std::vector<std::uint8_t> BaseRecordsOnly(const Tsk2SkinFileReader& r) {
  TSkinFileWriter w;
  for (const auto& ref : r.Records()) {
    const std::size_t i = ref.index;
    switch (ref.type) {
      case srtBitmap:
        if (!ScaledRecordPercent(r.Bitmaps()[i].name)) w.AddBitmap(r.Bitmaps()[i].name, *r.Bitmaps()[i].value);
        break;
      case srtInteger:
        if (!ScaledRecordPercent(r.Integers()[i].name)) w.AddInteger(r.Integers()[i].name, r.Integers()[i].value);
        break;
      case srtByte:
        if (!ScaledRecordPercent(r.Bytes()[i].name)) w.AddByte(r.Bytes()[i].name, r.Bytes()[i].value);
        break;
      default:
        if (!ScaledRecordPercent(r.Strings()[i].name)) w.AddString(r.Strings()[i].name, r.Strings()[i].value);
    }
  }
  return w.Build();
}

const image::TvexImage* ScaledBitmap(const Tsk2SkinFileReader& r, int key, int percent) {
  return r.GetBitmapByName(ScaledRecordName(kSkinKeys[kBitmapBase + key], percent));
}

// A position key's value at a scale as the engine takes it: the scaled record where there is one,
// the 96-DPI value scaled otherwise.
std::int32_t PositionAt(const Tsk2SkinFileReader& r, int key, int percent) {
  const std::string name = ScaledRecordName(kSkinKeys[kPositionBase + key], percent);
  for (const auto& i : r.Integers())
    if (SameSkinName(i.name, name)) return i.value;
  return ScaleLength(LookupPosition(&r, key), percent * 96 / 100);
}

// Without the scaled records each built-in skin is, byte for byte, the skin file it was before
// they were added (its size and FNV-1a checksum, taken then), and all of them follow the base
// records, so the base part of the file is untouched as well.
TEST(BuiltInScaledSkins, BaseRecordsAreExactlyTheSkinOfBefore) {
  struct Case {
    TSkinTheme theme;
    std::size_t size;
    std::uint64_t checksum;
  };
  const Case cases[] = {
      {TSkinTheme::Light, 115172u, 0x15a2b520c71aa663ull},
      {TSkinTheme::Dark, 115172u, 0x18a42dfc4de85eceull},
  };
  for (const Case& c : cases) {
    const std::vector<std::uint8_t> file = BuildBuiltInSkinFile(c.theme);
    const Tsk2SkinFileReader r = Load(file);
    const std::vector<std::uint8_t> base = BaseRecordsOnly(r);
    EXPECT_EQ(base.size(), c.size);
    EXPECT_EQ(Fnv1a(base), c.checksum) << std::hex << Fnv1a(base);
    // The base file without its closing record is where the full file starts.
    ASSERT_GT(file.size(), base.size());
    EXPECT_TRUE(std::equal(base.begin(), base.end() - kSkinRecordHeaderSize, file.begin()));
    EXPECT_GT(file.size(), base.size() * 4) << "the scaled records are missing";
  }
}

// Both scales of every bitmap key the skin carries, each state image scaled on its own from the
// base size and rounded as ScaleLength rounds; keys the skin leaves out have none.
TEST(BuiltInScaledSkins, EveryBitmapKeyHasBothScalesAtTheSizeItsBaseGives) {
  for (const TTheme& t : kThemes) {
    const Tsk2SkinFileReader r = Load(BuildBuiltInSkinFile(t.theme));
    int base = 0, scaled = 0;
    for (const auto& b : r.Bitmaps()) (ScaledRecordPercent(b.name) ? scaled : base)++;
    EXPECT_EQ(base, 30) << t.name;
    EXPECT_EQ(scaled, 2 * base) << t.name;
    for (int key = 0; key < bitmap::kCount; ++key) {
      const char* name = kSkinKeys[kBitmapBase + key];
      const image::TvexImage* img = LookupBitmap(&r, key);
      for (const int percent : kScalePercents) {
        const image::TvexImage* at = ScaledBitmap(r, key, percent);
        if (!img) {
          EXPECT_EQ(at, nullptr) << t.name << " " << name << "@" << percent;
          continue;
        }
        ASSERT_NE(at, nullptr) << t.name << " " << name << "@" << percent;
        const int dpi = percent * 96 / 100, slices = BitmapSliceCount(key);
        ASSERT_EQ(img->Width() % slices, 0) << name;
        EXPECT_EQ(at->Width(), slices * ScaleLength(img->Width() / slices, dpi)) << t.name << " " << name << "@" << percent;
        EXPECT_EQ(at->Height(), ScaleLength(img->Height(), dpi)) << t.name << " " << name << "@" << percent;
        EXPECT_EQ(at->BitsPerPixel(), 24);
      }
    }
  }
}

// A reader that looks keys up by name, as every reader before the scaled records did, gets exactly
// what it got from the skin without them.
TEST(BuiltInScaledSkins, KeyLookupsAnswerAsWithoutTheScaledRecords) {
  for (const TTheme& t : kThemes) {
    const Tsk2SkinFileReader full = Load(BuildBuiltInSkinFile(t.theme));
    const Tsk2SkinFileReader plain = Load(BaseRecordsOnly(full));
    ASSERT_LT(plain.Records().size(), full.Records().size());
    for (int k = 0; k < color::kCount; ++k) EXPECT_EQ(LookupColor(&full, k), LookupColor(&plain, k)) << t.name << k;
    for (int k = 0; k < position::kCount; ++k) EXPECT_EQ(LookupPosition(&full, k), LookupPosition(&plain, k)) << t.name << k;
    for (int k = 0; k < switches::kCount; ++k) EXPECT_EQ(LookupSwitch(&full, k), LookupSwitch(&plain, k)) << t.name << k;
    for (int k = 0; k < bitmap::kCount; ++k) {
      const image::TvexImage* a = LookupBitmap(&full, k);
      const image::TvexImage* b = LookupBitmap(&plain, k);
      ASSERT_EQ(a == nullptr, b == nullptr) << t.name << " " << kSkinKeys[kBitmapBase + k];
      if (a) {
        EXPECT_TRUE(a->SamePixels(*b)) << t.name << " " << kSkinKeys[kBitmapBase + k];
      }
    }
    for (const char* extra : {"SKIN2_SYSTEMCOLOR1", "SKIN2_SYSTEMCOLOR2"})
      EXPECT_EQ(full.GetIntegerByName(extra), plain.GetIntegerByName(extra)) << extra;
  }
}

// Drawn again at the scale, not the 96-DPI pixels enlarged: where the image has edges, curves or
// glyphs it differs from the nearest-neighbour enlargement the engine would make without it.
TEST(BuiltInScaledSkins, ScaledImagesAreDrawnAtTheScaleNotEnlarged) {
  const Tsk2SkinFileReader r = Load(BuildDefaultSkinFile());
  for (int key : {bitmap::SKIN2_TITLEBAR1, bitmap::SKIN2_TITLEBAR5, bitmap::SKIN2_MINIMIZEDTITLE,
                  bitmap::SKIN2_TITLEBUTTONS, bitmap::SKIN2_CHECKEDMENUICON, bitmap::SKIN2_BUTTON,
                  bitmap::SKIN2_CHECKBOX, bitmap::SKIN2_CHECKBOXLIST, bitmap::SKIN2_RADIOBUTTON,
                  bitmap::SKIN2_TRACKBARSLIDER, bitmap::SKIN2_SCROLLBARUPBUTTON, bitmap::SKIN2_SCROLLBAR,
                  bitmap::SKIN2_TABCONTROL, bitmap::SKIN2_SCROLLBUTTON}) {
    const image::TvexImage* base = LookupBitmap(&r, key);
    ASSERT_NE(base, nullptr);
    for (const int percent : kScalePercents) {
      const image::TvexImage* at = ScaledBitmap(r, key, percent);
      ASSERT_NE(at, nullptr);
      const image::TvexImage enlarged = image::ScaleSlices(*base, BitmapSliceCount(key), percent, 100);
      ASSERT_EQ(enlarged.Width(), at->Width());
      ASSERT_EQ(enlarged.Height(), at->Height());
      EXPECT_FALSE(at->SamePixels(enlarged)) << kSkinKeys[kBitmapBase + key] << "@" << percent;
    }
  }
}

// Frame lines stay whole pixels: one at 150 %, two at 200 %, in the colour the 96-DPI line has.
TEST(BuiltInScaledSkins, FrameLinesAreWholePixelsOfTheirColour) {
  struct Case {
    int percent, line;
  };
  const Case cases[] = {{150, 1}, {200, 2}};
  for (const TTheme& t : kThemes) {
    const Tsk2SkinFileReader r = Load(BuildBuiltInSkinFile(t.theme));
    const image::TvexImage& left = *LookupBitmap(&r, bitmap::SKIN2_FORMLEFTBORDER);
    const image::TvexImage& title = *LookupBitmap(&r, bitmap::SKIN2_TITLEBAR2);
    const std::uint32_t outline = left.Pixel(0, 0), inner = left.Pixel(left.Width() - 1, 0);
    const std::uint32_t highlight = title.Pixel(title.Width() / 2, 1);
    ASSERT_EQ(title.Pixel(title.Width() / 2, 0), outline);
    ASSERT_EQ(title.Pixel(title.Width() / 2, title.Height() - 1), inner);
    for (const Case& c : cases) {
      const std::string what = std::string(t.name) + "@" + std::to_string(c.percent);
      for (int key : {bitmap::SKIN2_FORMLEFTBORDER, bitmap::SKIN2_FORMRIGHTBORDER}) {
        const image::TvexImage& b = *ScaledBitmap(r, key, c.percent);
        const bool isLeft = key == bitmap::SKIN2_FORMLEFTBORDER;
        for (int x = 0; x < b.Width(); ++x) {
          const int fromOutside = isLeft ? x : b.Width() - 1 - x;
          const std::uint32_t px = b.Pixel(x, 0);
          for (int y = 1; y < b.Height(); ++y) ASSERT_EQ(b.Pixel(x, y), px) << what << " column " << x;
          EXPECT_EQ(px == outline, fromOutside < c.line) << what << " column " << x;
          EXPECT_EQ(px == inner, fromOutside >= b.Width() - c.line) << what << " column " << x;
        }
      }
      const image::TvexImage& t2 = *ScaledBitmap(r, bitmap::SKIN2_TITLEBAR2, c.percent);
      const int mid = t2.Width() / 2;
      for (int y = 0; y < 2 * c.line + 1; ++y) {
        const std::uint32_t px = t2.Pixel(mid, y);
        EXPECT_EQ(px == outline, y < c.line) << what << " title row " << y;
        EXPECT_EQ(px == highlight, y >= c.line && y < 2 * c.line) << what << " title row " << y;
      }
      for (int y = 0; y < t2.Height(); ++y)
        EXPECT_EQ(t2.Pixel(mid, y) == inner, y >= t2.Height() - c.line) << what << " title row " << y;
    }
  }
}

// Round things are drawn round at the larger size: every radio button state is as wide as it is
// tall, mirrored left to right, with transparent corners.
TEST(BuiltInScaledSkins, RadioButtonsStayRound) {
  for (const TTheme& t : kThemes) {
    const Tsk2SkinFileReader r = Load(BuildBuiltInSkinFile(t.theme));
    const std::uint32_t key = image::ColorToPixel(static_cast<std::uint32_t>(LookupColor(&r, color::SKIN2_TRANSCOLOR)));
    for (const int percent : kScalePercents) {
      const image::TvexImage& img = *ScaledBitmap(r, bitmap::SKIN2_RADIOBUTTON, percent);
      const int cell = img.Height();
      for (int state = 0; state < 4; ++state) {
        const int x0 = state * cell;
        auto opaque = [&](int x, int y) { return img.Pixel(x0 + x, y) != key; };
        int across = 0, down = 0;
        for (int i = 0; i < cell; ++i) {
          across += opaque(i, cell / 2);
          down += opaque(cell / 2, i);
        }
        EXPECT_EQ(across, down) << t.name << "@" << percent << " state " << state;
        EXPECT_GT(across, cell * 2 / 3) << t.name << "@" << percent << " state " << state;
        for (int y = 0; y < cell; ++y)
          for (int x = 0; x < cell; ++x)
            ASSERT_EQ(opaque(x, y), opaque(cell - 1 - x, y)) << t.name << "@" << percent << " state " << state;
        EXPECT_FALSE(opaque(0, 0));
        EXPECT_FALSE(opaque(cell - 1, cell - 1));
      }
    }
  }
}

// The track-bar thumbs are drawn with the transparent colour taken from their bottom-left pixel,
// at every scale.
TEST(BuiltInScaledSkins, TrackThumbsKeepTheirBottomLeftPixelTransparent) {
  const Tsk2SkinFileReader r = Load(BuildDefaultSkinFile());
  const std::uint32_t key = image::ColorToPixel(static_cast<std::uint32_t>(LookupColor(&r, color::SKIN2_TRANSCOLOR)));
  for (int k : {bitmap::SKIN2_TRACKBARSLIDER, bitmap::SKIN2_TRACKBARVSLIDER})
    for (const int percent : {100, 150, 200}) {
      const image::TvexImage& img = percent == 100 ? *LookupBitmap(&r, k) : *ScaledBitmap(r, k, percent);
      EXPECT_EQ(img.Pixel(0, img.Height() - 1), key) << kSkinKeys[kBitmapBase + k] << "@" << percent;
    }
}

// The title's positions at each scale as the engine takes them (a scaled record, or the 96-DPI
// value scaled) agree with the drawing at that scale: the button strip was drawn on the very title
// rows it is placed on, the buttons and icon end above the frame's inner line, the caption's line
// is centred, and the region rows cover every transparent row of the corners. Scaled position
// records exist only where the scaled 96-DPI value would be wrong.
TEST(BuiltInScaledSkins, TitlePositionsAtEachScaleFitTheImagesDrawnForIt) {
  for (const TTheme& t : kThemes) {
    const Tsk2SkinFileReader r = Load(BuildBuiltInSkinFile(t.theme));
    const std::uint32_t key = image::ColorToPixel(static_cast<std::uint32_t>(LookupColor(&r, color::SKIN2_TRANSCOLOR)));
    for (const int percent : {100, 150, 200}) {
      const std::string what = std::string(t.name) + "@" + std::to_string(percent);
      const int dpi = percent * 96 / 100, line = percent == 200 ? 2 : 1;
      auto bitmapAt = [&](int k) { return percent == 100 ? LookupBitmap(&r, k) : ScaledBitmap(r, k, percent); };
      auto positionAt = [&](int k) { return percent == 100 ? LookupPosition(&r, k) : PositionAt(r, k, percent); };
      const image::TvexImage& buttons = *bitmapAt(bitmap::SKIN2_TITLEBUTTONS);
      const image::TvexImage& t2 = *bitmapAt(bitmap::SKIN2_TITLEBAR2);
      const int height = t2.Height(), cell = buttons.Height();
      const int buttonY = positionAt(position::SKIN2_TITLEBARBUTTONPOSY);
      ASSERT_GE(buttonY, 0) << what;
      EXPECT_LE(buttonY + cell, height - line) << what;
      // The first column of a normal-state button is bare background: the title's rows.
      for (int y = 0; y < cell; ++y)
        EXPECT_EQ(buttons.Pixel(0, y), t2.Pixel(t2.Width() / 2, buttonY + y)) << what << " button row " << y;
      const int iconY = positionAt(position::SKIN2_TITLEBARICONPOSY);
      EXPECT_GE(iconY, line) << what;
      EXPECT_LE(iconY + ScaleLength(16, dpi), height - line) << what;
      const int captionTop = positionAt(position::SKIN2_TITLEBARCAPTIONTOP);
      const int captionLine = ScaleLength(13, dpi);
      EXPECT_LE(std::abs(2 * captionTop + captionLine - height), 1) << what << ": caption at " << captionTop;
      // The close button's right edge stands inside the right border.
      EXPECT_GT(positionAt(position::SKIN2_TITLEBARBUTTONPOSX), bitmapAt(bitmap::SKIN2_FORMRIGHTBORDER)->Width()) << what;
      const int minY = positionAt(position::SKIN2_TITLEBARREGIONMINY), maxY = positionAt(position::SKIN2_TITLEBARREGIONMAXY);
      for (int k : {bitmap::SKIN2_TITLEBAR1, bitmap::SKIN2_TITLEBAR5}) {
        const image::TvexImage& section = *bitmapAt(k);
        int last = -1;
        for (int y = 0; y < section.Height(); ++y)
          for (int x = 0; x < section.Width(); ++x)
            if (section.Pixel(x, y) == key) last = y;
        EXPECT_GE(last, 0) << what << ": the corner is cut";
        EXPECT_LE(minY, 0) << what;
        EXPECT_GE(maxY, last) << what << " " << kSkinKeys[kBitmapBase + k];
        EXPECT_LT(maxY, section.Height()) << what;
      }
    }
    // Every scaled position record says something the scaled 96-DPI value does not.
    int records = 0;
    for (const auto& i : r.Integers()) {
      std::string base;
      const int percent = ScaledRecordPercent(i.name, &base);
      if (!percent) continue;
      ++records;
      EXPECT_NE(i.value, ScaleLength(r.GetIntegerByName(base), percent * 96 / 100)) << i.name;
    }
    EXPECT_GT(records, 0) << t.name;
  }
}

}  // namespace
}  // namespace vex::skin2
