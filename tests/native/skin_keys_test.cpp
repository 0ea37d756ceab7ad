#include "skin2/skin_keys.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "skin2/default_skin.h"
#include "skin2/skin_file_reader.h"

namespace vex::skin2 {
namespace {

TEST(SkinKeys, TableHas84DistinctNamesInGroupOrder) {
  std::set<std::string> names(kSkinKeys, kSkinKeys + kSkinKeyCount);
  EXPECT_EQ(names.size(), 84u);
  for (const char* k : kSkinKeys) EXPECT_EQ(std::string(k).rfind("SKIN2_", 0), 0u) << k;
  EXPECT_STREQ(kSkinKeys[0], "SKIN2_TRANSCOLOR");
  EXPECT_STREQ(kSkinKeys[31], "SKIN2_SIDECHANNELBORDERCOLOR");
  EXPECT_STREQ(kSkinKeys[32], "SKIN2_TITLEBAR1");
  EXPECT_STREQ(kSkinKeys[65], "SKIN2_SCROLLBUTTON");
  EXPECT_STREQ(kSkinKeys[66], "SKIN2_TITLEBARICONPOSX");
  EXPECT_STREQ(kSkinKeys[74], "SKIN2_BOTTOMREGIONMAXY");
  EXPECT_STREQ(kSkinKeys[75], "SKIN2_TITLEFIVESECT");
  EXPECT_STREQ(kSkinKeys[83], "SKIN2_TABCONTROLTRANS");
}

TEST(SkinKeys, IndexesAreReducedModulo128AndAddedToTheGroupBase) {
  EXPECT_STREQ(SkinKeyName(TSkinKeyGroup::Bitmap, bitmap::SKIN2_BUTTON), "SKIN2_BUTTON");
  EXPECT_STREQ(SkinKeyName(TSkinKeyGroup::Color, 128 + 2), "SKIN2_FORMCOLOR");
  EXPECT_STREQ(SkinKeyName(TSkinKeyGroup::Switch, 128 + 8), "SKIN2_TABCONTROLTRANS");
  // Past its group an index reads a neighbour's key; past the table, nothing.
  EXPECT_STREQ(SkinKeyName(TSkinKeyGroup::Color, 32), "SKIN2_TITLEBAR1");
  EXPECT_EQ(SkinKeyName(TSkinKeyGroup::Switch, 9), nullptr);
  EXPECT_EQ(SkinKeyName(TSkinKeyGroup::Position, 100), nullptr);
  EXPECT_EQ(SkinKeyName(TSkinKeyGroup::Color, -1), nullptr);
}

TEST(SkinKeys, DefaultsWithoutASkin) {
  const Tsk2SkinFileReader empty;
  for (const Tsk2SkinFileReader* r : {static_cast<const Tsk2SkinFileReader*>(nullptr), &empty}) {
    for (int i = 0; i < 32; ++i) EXPECT_EQ(LookupColor(r, i), -1);
    for (int i = 0; i < 34; ++i) EXPECT_EQ(LookupBitmap(r, i), nullptr);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(LookupPosition(r, i), -1);
    for (int i = 0; i < 9; ++i) EXPECT_FALSE(LookupSwitch(r, i));
  }
  // Out-of-table indexes answer defaults too, with or without a skin.
  const auto file = BuildDefaultSkinFile();
  Tsk2SkinFileReader r;
  r.LoadFromBytes(file.data(), file.size());
  EXPECT_EQ(LookupColor(&r, 100), -1);
  // 200 mod 128 is 72: the integer key SKIN2_TITLEBARREGIONMAXY.
  EXPECT_EQ(LookupColor(&r, 200), 5);
  EXPECT_EQ(LookupBitmap(&r, 34), nullptr);
  EXPECT_FALSE(LookupSwitch(&r, 9));
}

TEST(SkinKeys, DefaultSkinValues) {
  const auto file = BuildDefaultSkinFile();
  Tsk2SkinFileReader r;
  r.LoadFromBytes(file.data(), file.size());
  EXPECT_EQ(LookupColor(&r, color::SKIN2_TRANSCOLOR), 16711935);
  EXPECT_EQ(LookupColor(&r, color::SKIN2_CONTROLBORDERCOLOR), 6955017);
  EXPECT_EQ(LookupColor(&r, color::SKIN2_SIDECHANNELBORDERCOLOR), 6955017);
  EXPECT_EQ(LookupPosition(&r, position::SKIN2_TITLEBARICONPOSX), 21);
  EXPECT_EQ(LookupPosition(&r, position::SKIN2_BOTTOMREGIONMINY), -1);
  EXPECT_TRUE(LookupSwitch(&r, switches::SKIN2_TITLEFIVESECT));
  EXPECT_FALSE(LookupSwitch(&r, switches::SKIN2_BOTTOMBORDERTHREESECT));
  EXPECT_TRUE(LookupSwitch(&r, switches::SKIN2_RADIOBUTTONTRANS));

  struct Size {
    int key, w, h;
  };
  const Size sizes[] = {{bitmap::SKIN2_TITLEBAR1, 31, 31},      {bitmap::SKIN2_TITLEBAR2, 136, 31},
                        {bitmap::SKIN2_FORMBOTTOMBORDER1, 180, 5}, {bitmap::SKIN2_MINIMIZEDTITLE, 160, 27},
                        {bitmap::SKIN2_TITLEBUTTONS, 324, 18},  {bitmap::SKIN2_BUTTON, 252, 25},
                        {bitmap::SKIN2_CHECKBOX, 102, 17},      {bitmap::SKIN2_SCROLLBAR, 18, 63},
                        {bitmap::SKIN2_TABCONTROLLINE, 8, 1},   {bitmap::SKIN2_SCROLLBUTTON, 80, 20}};
  for (const Size& s : sizes) {
    const image::TvexImage* b = LookupBitmap(&r, s.key);
    ASSERT_NE(b, nullptr) << kSkinKeys[kBitmapBase + s.key];
    EXPECT_EQ(b->Width(), s.w) << kSkinKeys[kBitmapBase + s.key];
    EXPECT_EQ(b->Height(), s.h) << kSkinKeys[kBitmapBase + s.key];
    EXPECT_EQ(b->BitsPerPixel(), 24);
  }
  for (int absent : {bitmap::SKIN2_FORMBOTTOMBORDER2, bitmap::SKIN2_FORMBOTTOMBORDER3, bitmap::SKIN2_MENUBAR,
                     bitmap::SKIN2_TOOLBAR})
    EXPECT_EQ(LookupBitmap(&r, absent), nullptr) << kSkinKeys[kBitmapBase + absent];
}

}  // namespace
}  // namespace vex::skin2
