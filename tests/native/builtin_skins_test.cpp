// The two built-in skins: the dark one carries every key of the light one, and its colours make
// a readable dark theme.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "image/image.h"
#include "skin2/default_skin.h"
#include "skin2/skin_file_reader.h"
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

}  // namespace
}  // namespace vex::skin2
