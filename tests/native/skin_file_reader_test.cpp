#include "skin2/skin_file_reader.h"

#include <gtest/gtest.h>

#include <functional>

#include "image/bmp_codec.h"
#include "skin2/archive_reader.h"
#include "skin2/archive_writer.h"
#include "skin2/default_skin.h"
#include "skin2/skin_file_writer.h"
#include "skin2/skin_keys.h"
#include "bmp_samples.h"
#include "test_support.h"

namespace vex::skin2 {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using test::TScopedTempDir;
using test::WriteFile;

Tsk2SkinFileReader FromBytes(const Bytes& b) {
  Tsk2SkinFileReader r;
  r.LoadFromBytes(b.data(), b.size());
  return r;
}

TEST(SkinFileReader, DefaultSkinCounts) {
  TScopedTempDir dir;
  WriteFile(dir / "default.vsk", BuildDefaultSkinArchive());
  Tsk2SkinFileReader r(dir / "default.vsk", "");
  // 30 bitmaps, each again for 150 % and 200 %; 43 integers and 6 positions for a scale.
  EXPECT_EQ(r.Bitmaps().size(), 90u);
  EXPECT_EQ(r.Integers().size(), 49u);
  EXPECT_EQ(r.Bytes().size(), 9u);
  EXPECT_EQ(r.Strings().size(), 0u);
  EXPECT_EQ(r.Records().size(), 148u);  // the closing record is not loaded
  for (const auto& b : r.Bytes()) EXPECT_FALSE(b.name.empty());
  EXPECT_EQ(r.GetIntegerByName("SKIN2_SYSTEMCOLOR1"), 15263976);
  // The extracted temporary file is gone once loading is over.
  EXPECT_EQ(dir.Files(), std::vector<std::string>{"default.vsk"});
}

TEST(SkinFileReader, LookupsIgnoreCaseAndTakeTheFirstOfTwoRecords) {
  TSkinFileWriter w;
  w.AddInteger("SKIN2_FORMCOLOR", 111);
  w.AddByte("SKIN2_BUTTONTRANS", 1);
  w.AddBitmap("SKIN2_BUTTON", image::TvexImage(6, 2));
  w.AddInteger("skin2_formcolor", 222);
  w.AddByte("SKIN2_BUTTONTRANS", 0);
  w.AddBitmap("SKIN2_BUTTON", image::TvexImage(9, 3));
  w.AddInteger("SKIN2_BOTTOMREGIONMINY", -1);
  const Tsk2SkinFileReader r = FromBytes(w.Build());
  EXPECT_EQ(r.GetIntegerByName("Skin2_FormColor"), 111);
  EXPECT_EQ(r.GetByteByName("skin2_buttontrans"), 1);
  ASSERT_NE(r.GetBitmapByName("skin2_button"), nullptr);
  EXPECT_EQ(r.GetBitmapByName("skin2_button")->Width(), 6);
  EXPECT_EQ(r.GetIntegerByName("SKIN2_MISSING"), -1);
  EXPECT_EQ(r.GetByteByName("SKIN2_MISSING"), 0);
  EXPECT_EQ(r.GetBitmapByName("SKIN2_MISSING"), nullptr);
  // A stored -1 and an absent key read the same.
  EXPECT_EQ(LookupPosition(&r, position::SKIN2_BOTTOMREGIONMINY), -1);
  EXPECT_EQ(LookupPosition(&r, position::SKIN2_BOTTOMREGIONMAXY), -1);
}

TEST(SkinFileReader, UnknownRecordTypesAreSkippedAndStringsKept) {
  TSkinFileWriter w;
  w.AddInteger("BEFORE", 1);
  w.AddRaw("ODD", 4, {1, 2, 3});
  w.AddRaw("ODDER", 200, {});
  w.AddString("AUTHOR", "Ann");
  w.AddInteger("AFTER", 2);
  const Tsk2SkinFileReader r = FromBytes(w.Build());
  EXPECT_EQ(r.Integers().size(), 2u);
  EXPECT_EQ(r.GetIntegerByName("AFTER"), 2);
  ASSERT_EQ(r.Strings().size(), 1u);
  EXPECT_EQ(r.Strings()[0].value, "Ann");
  ASSERT_EQ(r.Records().size(), 3u);
  EXPECT_EQ(r.Records()[1].type, srtString);
}

TEST(SkinFileReader, TransparentColourGoesToEveryBitmapWithoutSwitchingTransparencyOn) {
  TSkinFileWriter w;
  w.AddBitmap("A", image::TvexImage(2, 2));
  w.AddBitmap("B", image::TvexImage(3, 1));
  Tsk2SkinFileReader r = FromBytes(w.Build());
  r.SetTransparentColor(0xFF00FF);
  for (const auto& b : r.Bitmaps()) {
    EXPECT_EQ(b.value->TransparentMode(), image::TTransparentMode::Fixed);
    EXPECT_EQ(b.value->TransparentColor(), 0xFF00FFu);
    EXPECT_FALSE(b.value->Transparent());
  }
}

// Offsets within a skin file written by TSkinFileWriter with records of these data sizes.
std::size_t RecordOffset(const TSkinFileWriter& w, std::size_t index) {
  std::size_t off = kSkinFileHeaderSize;
  for (std::size_t i = 0; i < index; ++i) off += kSkinRecordHeaderSize + w.Records()[i].data.size();
  return off;
}

TEST(SkinFileReader, MalformedFilesFailWithOneMessage) {
  TSkinFileWriter w;
  w.AddInteger("INT", 5);
  w.AddByte("BYTE", 1);
  w.AddBitmap("BMP", image::TvexImage(4, 4));
  w.AddString("STR", "text");
  const Bytes good = w.Build();
  const std::size_t rInt = RecordOffset(w, 0), rByte = RecordOffset(w, 1), rBmp = RecordOffset(w, 2),
                    rStr = RecordOffset(w, 3);
  auto patched = [&](std::function<void(Bytes&)> f) {
    Bytes b = good;
    f(b);
    return b;
  };
  struct Case {
    const char* what;
    Bytes file;
  };
  const Case cases[] = {
      {"shorter than a header", Bytes(good.begin(), good.begin() + 15)},
      {"header size 25", patched([](Bytes& b) { b[12] = 25; })},
      {"header size 23", patched([](Bytes& b) { b[12] = 23; })},
      {"first record past the end", patched([](Bytes& b) { StoreLE32(&b[20], 0x00FFFFFF); })},
      {"record header cut short", Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(rByte + 40))},
      {"integer of 3 bytes", patched([&](Bytes& b) { b[rInt + 69] = 3; })},
      {"byte of 2 bytes", patched([&](Bytes& b) { b[rByte + 69] = 2; })},
      {"bitmap of 0 bytes", patched([&](Bytes& b) { StoreLE32(&b[rBmp + 69], 0); })},
      {"bitmap larger than the file", patched([&](Bytes& b) { StoreLE32(&b[rBmp + 69], 0x7FFFFFFF); })},
      {"bitmap that is no BMP", patched([&](Bytes& b) { b[rBmp + kSkinRecordHeaderSize] = 'X'; })},
      {"string past the end", patched([&](Bytes& b) { StoreLE32(&b[rStr + 65], 0xFFFFFFF0u); })},
      {"record pointing at itself", patched([&](Bytes& b) { StoreLE32(&b[rByte + 73], static_cast<std::uint32_t>(rByte)); })},
      {"records in a loop", patched([&](Bytes& b) { StoreLE32(&b[rBmp + 73], static_cast<std::uint32_t>(rInt)); })},
  };
  for (const Case& c : cases) {
    Tsk2SkinFileReader r;
    try {
      r.LoadFromBytes(c.file.data(), c.file.size());
      ADD_FAILURE() << c.what << " loaded";
    } catch (const EvexSkinError& e) {
      EXPECT_STREQ(e.what(), "Failed to read skin file!") << c.what;
    }
  }
  EXPECT_NO_THROW(FromBytes(good));
}

TEST(SkinFileReader, FailedLoadFromArchiveKeepsTheOldSkinAndRemovesItsTemporaryFile) {
  TScopedTempDir dir;
  TSkinFileWriter bad;
  bad.AddRaw("BROKEN", srtBitmap, {'B', 'M', 0});
  WriteFile(dir / "bad.vsk", WriteSkinArchive(bad.Build(), {}));
  WriteFile(dir / "good.vsk", BuildDefaultSkinArchive());

  Tsk2SkinFileReader r(dir / "good.vsk", "");
  try {
    r.LoadFromArchive(dir / "bad.vsk", "");
    ADD_FAILURE() << "a broken bitmap loaded";
  } catch (const EvexSkinError& e) {
    EXPECT_STREQ(e.what(), "Failed to read skin file!");
  }
  EXPECT_EQ(r.Bitmaps().size(), 90u);
  EXPECT_EQ(dir.Files(), (std::vector<std::string>{"bad.vsk", "good.vsk"}));
}

// What a skin declares is weighed before it is decoded: a bitmap above kMaxSkinBitmapPixels, or
// bitmaps above kMaxSkinTotalPixels together, make the skin unreadable, and so does an archive
// member declaring more than kMaxArchiveMemberSize. Nothing is left in the temporary folder.
TEST(SkinFileReader, SkinsDeclaringMoreThanTheBudgetsAreRefused) {
  const std::int32_t side = 1 << 12;  // 4096 x 4096 is the budget of one bitmap
  static_assert(std::int64_t{1 << 12} * (1 << 12) == kMaxSkinBitmapPixels, "the cases below assume it");
  static_assert(2 * kMaxSkinBitmapPixels == kMaxSkinTotalPixels, "the cases below assume it");
  struct Case {
    const char* what;
    std::vector<Bytes> bitmaps;
    bool loads;
    std::uint32_t declaredMemberSize = 0;  // 0: the true size
  };
  const Case cases[] = {
      {"bitmap at the budget", {test::BlankRle8Bmp(side, side), test::BlankRle8Bmp(3, 3)}, true},
      {"20000 x 20000 bitmap", {test::BlankRle8Bmp(20000, 20000)}, false},
      {"bitmap one row over the budget", {test::BlankRle8Bmp(side, side + 1)}, false},
      {"bitmaps over the budget together", {test::BlankRle8Bmp(side, side), test::BlankRle8Bmp(side, side), test::BlankRle8Bmp(1, 1)},
       false},
      {"skin file declaring 1.2 GB", {test::BlankRle8Bmp(3, 3)}, false, 1200000000u},
  };
  for (const Case& c : cases) {
    TSkinFileWriter w;
    w.AddInteger("SKIN2_TRANSCOLOR", 0xFF00FF);
    for (std::size_t i = 0; i < c.bitmaps.size(); ++i) w.AddBitmapFile("BMP" + std::to_string(i), c.bitmaps[i]);
    TArchiveLayout l;
    Bytes archive = WriteSkinArchive(w.Build(), {}, &l);
    if (c.declaredMemberSize) StoreLE32(&archive[l.centralEntry + 24], c.declaredMemberSize);
    TScopedTempDir dir;
    WriteFile(dir / "big.vsk", archive);
    try {
      Tsk2SkinFileReader r(dir / "big.vsk", "");
      EXPECT_TRUE(c.loads) << c.what << " loaded";
      if (c.loads) {
        EXPECT_EQ(r.Bitmaps().size(), c.bitmaps.size()) << c.what;
      }
    } catch (const EvexSkinError& e) {
      EXPECT_FALSE(c.loads) << c.what << ": " << e.what();
      EXPECT_STREQ(e.what(), "Failed to read skin file!") << c.what;
    }
    EXPECT_EQ(dir.Files(), std::vector<std::string>{"big.vsk"}) << c.what;
  }
}

TEST(SkinFileReader, PasswordProtectedSkin) {
  TScopedTempDir dir;
  WriteFile(dir / "locked.vsk", BuildDefaultSkinArchive("k3y"));
  EXPECT_THROW(Tsk2SkinFileReader(dir / "locked.vsk", ""), EvexSkinError);
  Tsk2SkinFileReader r(dir / "locked.vsk", "k3y");
  EXPECT_EQ(r.Bitmaps().size(), 90u);
}

}  // namespace
}  // namespace vex::skin2
