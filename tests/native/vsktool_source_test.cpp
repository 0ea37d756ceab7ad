// vsktool unpack, pack and verify.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "image/bmp_codec.h"
#include "skin2/archive_writer.h"
#include "skin2/byte_io.h"
#include "skin2/default_skin.h"
#include "skin2/skin_file_writer.h"
#include "bmp_samples.h"
#include "skin2/skin_keys.h"
#include "skin_source.h"
#include "test_support.h"
#include "vsktool.h"

namespace vex::tool {
namespace {

namespace fs = std::filesystem;
using skin2::Tsk2SkinFileReader;
using skin2::TSkinFileWriter;
using test::ReadFile;
using test::TScopedTempDir;
using test::WriteFile;
using Bytes = std::vector<std::uint8_t>;

struct TRun {
  int status;
  std::string out, err;
};

TRun Tool(std::vector<std::string> args) {
  std::ostringstream out, err;
  int status = RunVskTool(args, out, err);
  return {status, out.str(), err.str()};
}

Tsk2SkinFileReader Load(const fs::path& p, const std::string& pw = "") { return Tsk2SkinFileReader(p, pw); }

// Records in file order as (kind, name, value text or pixels).
void ExpectSameSkin(const Tsk2SkinFileReader& a, const Tsk2SkinFileReader& b) {
  ASSERT_EQ(a.Records().size(), b.Records().size());
  for (std::size_t i = 0; i < a.Records().size(); ++i) {
    const auto ra = a.Records()[i], rb = b.Records()[i];
    ASSERT_EQ(ra.type, rb.type) << "record " << i;
    switch (ra.type) {
      case skin2::srtBitmap:
        EXPECT_EQ(a.Bitmaps()[ra.index].name, b.Bitmaps()[rb.index].name);
        EXPECT_TRUE(a.Bitmaps()[ra.index].value->SamePixels(*b.Bitmaps()[rb.index].value)) << a.Bitmaps()[ra.index].name;
        break;
      case skin2::srtInteger:
        EXPECT_EQ(a.Integers()[ra.index].name, b.Integers()[rb.index].name);
        EXPECT_EQ(a.Integers()[ra.index].value, b.Integers()[rb.index].value) << a.Integers()[ra.index].name;
        break;
      case skin2::srtByte:
        EXPECT_EQ(a.Bytes()[ra.index].name, b.Bytes()[rb.index].name);
        EXPECT_EQ(a.Bytes()[ra.index].value, b.Bytes()[rb.index].value);
        break;
      default:
        EXPECT_EQ(a.Strings()[ra.index].name, b.Strings()[rb.index].name);
        EXPECT_EQ(a.Strings()[ra.index].value, b.Strings()[rb.index].value);
    }
  }
}

// The default skin's records, each passed through `edit` (which may change it or return false to drop it).
Bytes EditedDefaultSkin(const std::function<bool(TSkinFileWriter::TRecord&)>& edit,
                        const std::vector<TSkinFileWriter::TRecord>& extra = {}) {
  const Bytes file = skin2::BuildDefaultSkinFile();
  Tsk2SkinFileReader r;
  r.LoadFromBytes(file.data(), file.size());
  TSkinFileWriter w;
  for (const auto& ref : r.Records()) {
    TSkinFileWriter::TRecord rec;
    rec.type = ref.type;
    switch (ref.type) {
      case skin2::srtBitmap:
        rec.name = r.Bitmaps()[ref.index].name;
        rec.data = image::EncodeBmp24(*r.Bitmaps()[ref.index].value);
        break;
      case skin2::srtInteger:
        rec.name = r.Integers()[ref.index].name;
        rec.data.resize(4);
        skin2::StoreLE32(rec.data.data(), static_cast<std::uint32_t>(r.Integers()[ref.index].value));
        break;
      default:
        rec.name = r.Bytes()[ref.index].name;
        rec.data = {r.Bytes()[ref.index].value};
    }
    if (edit(rec)) w.AddRaw(rec.name, rec.type, rec.data);
  }
  for (const auto& rec : extra) w.AddRaw(rec.name, rec.type, rec.data);
  return skin2::WriteSkinArchive(w.Build(), {});
}

TEST(VskToolPack, UnpackThenPackReproducesEveryRecord) {
  for (const std::string pw : {"", "s3cret"}) {
    TScopedTempDir dir;
    WriteFile(dir / "in.vsk", skin2::BuildDefaultSkinArchive(pw));
    std::vector<std::string> pwArgs;
    if (!pw.empty()) pwArgs = {"--password", pw};
    auto with = [&](std::vector<std::string> a) {
      a.insert(a.end(), pwArgs.begin(), pwArgs.end());
      return a;
    };
    TRun u = Tool(with({"unpack", (dir / "in.vsk").u8string(), (dir / "src").u8string()}));
    ASSERT_EQ(u.status, 0) << u.err;
    EXPECT_TRUE(fs::exists(dir / "src" / "SKIN2_TITLEBAR1.bmp"));
    EXPECT_TRUE(fs::exists(dir / "src" / "skin.ini"));
    TRun p = Tool(with({"pack", (dir / "src").u8string(), (dir / "out.vsk").u8string()}));
    ASSERT_EQ(p.status, 0) << p.err;
    if (!pw.empty()) {
      EXPECT_EQ(Tool({"info", (dir / "out.vsk").u8string()}).status, 2);
    }
    ExpectSameSkin(Load(dir / "in.vsk", pw), Load(dir / "out.vsk", pw));
    // The default skin's file is rebuilt byte for byte.
    EXPECT_EQ(Tool(with({"extract", (dir / "out.vsk").u8string(), (dir / "out.sk2").u8string()})).status, 0);
    EXPECT_EQ(ReadFile(dir / "out.sk2"), skin2::BuildDefaultSkinFile());
  }
}

TEST(VskToolPack, UnusualNamesValuesAndOrderSurviveTheRoundTrip) {
  TSkinFileWriter w;
  image::TvexImage img(3, 2, 0x102030);
  img.SetPixel(2, 1, 0xFFFFFF);
  w.AddInteger("SKIN2_FORMCOLOR", static_cast<std::int32_t>(0xFF00000F));  // a system colour
  w.AddBitmap("with space", img);
  w.AddString("AUTHOR", "Zoë \"quoted\"\nsecond line\\;=");
  w.AddBitmap("CON", img);
  w.AddBitmap("con", img);
  w.AddInteger("a=b", -123456789);
  w.AddByte("SKIN2_BUTTONTRANS", 255);
  w.AddBitmap("with space", image::TvexImage(1, 1, 0xABCDEF));  // a second record of the same name
  w.AddString("EMPTY", "");
  w.AddInteger("SKIN2_TRANSCOLOR", 0x00FF00FF);
  TScopedTempDir dir;
  WriteFile(dir / "odd.vsk", skin2::WriteSkinArchive(w.Build(), {}));
  ASSERT_EQ(Tool({"unpack", (dir / "odd.vsk").u8string(), (dir / "src").u8string()}).status, 0);
  TRun p = Tool({"pack", (dir / "src").u8string(), (dir / "out.vsk").u8string()});
  ASSERT_EQ(p.status, 0) << p.err;
  ExpectSameSkin(Load(dir / "odd.vsk"), Load(dir / "out.vsk"));
  // Four bitmap files, none clashing although two names differ only in case.
  int bmps = 0;
  for (const auto& e : fs::directory_iterator(dir / "src")) bmps += e.path().extension() == ".bmp";
  EXPECT_EQ(bmps, 4);
  const Bytes ini = ReadFile(dir / "src" / "skin.ini");
  const std::string text(ini.begin(), ini.end());
  EXPECT_NE(text.find("SKIN2_TRANSCOLOR = #FF00FF ; 16711935"), std::string::npos);
  EXPECT_NE(text.find("SKIN2_FORMCOLOR = -16777201"), std::string::npos);
}

TEST(VskToolPack, EditedSourcesAndSourcesWithoutOrder) {
  TScopedTempDir dir;
  WriteFile(dir / "in.vsk", skin2::BuildDefaultSkinArchive());
  ASSERT_EQ(Tool({"unpack", (dir / "in.vsk").u8string(), (dir / "src").u8string()}).status, 0);
  Bytes raw = ReadFile(dir / "src" / "skin.ini");
  std::string ini(raw.begin(), raw.end());
  // A new title colour, and the [order] section dropped: records then follow section order.
  const std::string from = "SKIN2_TITLEFONTCOLOR = #FFFFFF ; 16777215";
  ASSERT_NE(ini.find(from), std::string::npos);
  ini.replace(ini.find(from), from.size(), "SKIN2_TITLEFONTCOLOR = #102030");
  ini.erase(ini.find("\n[order]"));
  WriteFile(dir / "src" / "skin.ini", Bytes(ini.begin(), ini.end()));
  ASSERT_EQ(Tool({"pack", (dir / "src").u8string(), (dir / "out.vsk").u8string()}).status, 0);
  Tsk2SkinFileReader r = Load(dir / "out.vsk");
  EXPECT_EQ(skin2::LookupColor(&r, skin2::color::SKIN2_TITLEFONTCOLOR), 0x302010);
  EXPECT_EQ(r.Records()[0].type, skin2::srtBitmap);
  EXPECT_EQ(r.Bitmaps().size(), 30u);
  EXPECT_EQ(r.Integers().size(), 43u);
}

TEST(VskToolPack, BrokenSourcesFailWithTheFileAndLine) {
  struct Case {
    const char* what;
    std::string ini;
    const char* message;
  };
  const Case cases[] = {
      {"value before a section", "X = 1\n", "skin.ini:1: a value before the first section"},
      {"unknown section", "[colours]\n", "skin.ini:1: unknown section [colours]"},
      {"byte too large", "[bytes]\n\nSKIN2_BUTTONTRANS = 256\n", "skin.ini:3: out of range: 256"},
      {"integer too large", "[integers]\nX = 4294967296\n", "skin.ini:2: out of range: 4294967296"},
      {"not a number", "[integers]\nX = twelve\n", "skin.ini:2: not a number: twelve"},
      {"bad colour", "[integers]\nX = #12345G\n", "skin.ini:2: bad colour #12345G"},
      {"missing value", "[integers]\nX =\n", "skin.ini:2: missing value"},
      {"unquoted string", "[strings]\nX = hello\n", "skin.ini:2: strings are quoted"},
      {"open quote", "[strings]\nX = \"hello\n", "skin.ini:2: unterminated quoted text"},
      {"bad escape", "[strings]\nX = \"a\\qb\"\n", "skin.ini:2: unknown escape \\q"},
      {"missing bitmap", "[bitmaps]\nX = nothere.bmp\n", "cannot read"},
      {"broken bitmap", "[bitmaps]\nX = broken.bmp\n", "broken.bmp: BMP too short"},
      {"bitmap beyond what a skin may hold", "[bitmaps]\nX = huge.bmp\n", "huge.bmp: BMP too large: 4097 x 4096 pixels"},
      {"name too long", "[integers]\n" + std::string(64, 'N') + " = 1\n", "record name longer than 63 bytes"},
      {"order names nothing", "[integers]\nX = 1\n[order]\ninteger Y\n", "[order] names integer Y"},
      {"order kind", "[order]\ncolour X\n", "skin.ini:2: unknown record kind colour"},
  };
  for (const Case& c : cases) {
    TScopedTempDir dir;
    fs::create_directory(dir / "src");
    WriteFile(dir / "src" / "skin.ini", Bytes(c.ini.begin(), c.ini.end()));
    WriteFile(dir / "src" / "broken.bmp", {'B', 'M', 1, 2});
    WriteFile(dir / "src" / "huge.bmp", test::BlankRle8Bmp(4097, 4096));
    WriteFile(dir / "out.vsk", {'o', 'l', 'd'});
    TRun r = Tool({"pack", (dir / "src").u8string(), (dir / "out.vsk").u8string()});
    EXPECT_EQ(r.status, 1) << c.what;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.what << ": " << r.err;
    EXPECT_EQ(ReadFile(dir / "out.vsk"), (Bytes{'o', 'l', 'd'})) << c.what;
  }
  TScopedTempDir dir;
  TRun r = Tool({"pack", (dir / "nothing").u8string(), (dir / "out.vsk").u8string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("cannot read"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir / "out.vsk"));
}

TEST(VskToolUnpack, RefusesAFolderWithFilesAndLeavesNothingOnFailure) {
  TScopedTempDir dir;
  WriteFile(dir / "in.vsk", skin2::BuildDefaultSkinArchive("pw"));
  fs::create_directory(dir / "full");
  WriteFile(dir / "full" / "keep.txt", {'k'});
  TRun r = Tool({"unpack", (dir / "in.vsk").u8string(), (dir / "full").u8string(), "--password", "pw"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(test::ReadFile(dir / "full" / "keep.txt"), Bytes{'k'});
  r = Tool({"unpack", (dir / "in.vsk").u8string(), (dir / "new").u8string(), "--password", "bad"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "Wrong password!\n");
  EXPECT_EQ(dir.Files(), (std::vector<std::string>{"full", "in.vsk"}));
  // An existing empty folder is used.
  fs::create_directory(dir / "empty");
  EXPECT_EQ(Tool({"unpack", (dir / "in.vsk").u8string(), (dir / "empty").u8string(), "--password", "pw"}).status, 0);
  EXPECT_TRUE(fs::exists(dir / "empty" / "skin.ini"));
}

TEST(VskToolVerify, DefaultSkinIsClean) {
  TScopedTempDir dir;
  WriteFile(dir / "d.vsk", skin2::BuildDefaultSkinArchive());
  TRun r = Tool({"verify", (dir / "d.vsk").u8string()});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "0 errors, 0 warnings\n");
}

TEST(VskToolVerify, ReportsEachProblemWithItsKey) {
  using Rec = TSkinFileWriter::TRecord;
  auto resize = [](const char* key, int w, int h) {
    return [=](Rec& r) {
      if (r.name == key) r.data = image::EncodeBmp24(image::TvexImage(w, h, 0x808080));
      return true;
    };
  };
  auto drop = [](const char* key) { return [=](Rec& r) { return r.name != key; }; };
  auto setInt = [](const char* key, std::int32_t v) {
    return [=](Rec& r) {
      if (r.name == key) skin2::StoreLE32(r.data.data(), static_cast<std::uint32_t>(v));
      return true;
    };
  };
  struct Case {
    const char* what;
    std::function<bool(Rec&)> edit;
    const char* line;
    int status;
  };
  const Case cases[] = {
      {"title buttons", resize("SKIN2_TITLEBUTTONS", 320, 18),
       "error: SKIN2_TITLEBUTTONS: width 320 is not a multiple of 18", 3},
      {"push button", resize("SKIN2_BUTTON", 250, 25), "error: SKIN2_BUTTON: width 250 is not a multiple of 3", 3},
      {"check box", resize("SKIN2_CHECKBOX", 100, 17), "error: SKIN2_CHECKBOX: width 100 is not a multiple of 6", 3},
      {"radio", resize("SKIN2_RADIOBUTTON", 70, 17), "error: SKIN2_RADIOBUTTON: width 70 is not a multiple of 4", 3},
      {"tabs", resize("SKIN2_TABCONTROL", 61, 22), "error: SKIN2_TABCONTROL: width 61 is not a multiple of 2", 3},
      {"scroll arrows", resize("SKIN2_SCROLLBARDOWNBUTTON", 53, 18),
       "error: SKIN2_SCROLLBARDOWNBUTTON: width 53 is not a multiple of 3", 3},
      {"title heights", resize("SKIN2_TITLEBAR4", 13, 30),
       "error: SKIN2_TITLEBAR4: height 30 differs from SKIN2_TITLEBAR1's 31", 3},
      {"missing frame", drop("SKIN2_FORMLEFTBORDER"), "error: SKIN2_FORMLEFTBORDER: missing", 3},
      {"missing transparent colour", drop("SKIN2_TRANSCOLOR"), "error: SKIN2_TRANSCOLOR: missing", 3},
      {"region row", setInt("SKIN2_TITLEBARREGIONMAXY", 31),
       "error: SKIN2_TITLEBARREGIONMAXY: row 31 lies outside the title bitmap (rows 0 to 30)", 3},
      {"even button height", resize("SKIN2_BUTTON", 252, 24), "warning: SKIN2_BUTTON: height 24 is even", 0},
      {"no check box image", drop("SKIN2_CHECKBOX"), "warning: SKIN2_CHECKBOX: absent", 0},
  };
  for (const Case& c : cases) {
    TScopedTempDir dir;
    WriteFile(dir / "s.vsk", EditedDefaultSkin(c.edit));
    TRun r = Tool({"verify", (dir / "s.vsk").u8string()});
    EXPECT_EQ(r.status, c.status) << c.what << "\n" << r.out;
    EXPECT_NE(r.out.find(c.line), std::string::npos) << c.what << "\n" << r.out;
  }
  // Three-section bottom borders need their two other pieces.
  TScopedTempDir dir;
  WriteFile(dir / "s.vsk", EditedDefaultSkin([](Rec& r) {
              if (r.name == "SKIN2_BOTTOMBORDERTHREESECT") r.data = {1};
              return true;
            }));
  TRun r = Tool({"verify", (dir / "s.vsk").u8string()});
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.out.find("error: SKIN2_FORMBOTTOMBORDER2: missing"), std::string::npos) << r.out;
  EXPECT_EQ(Tool({"verify", (dir / "none.vsk").u8string()}).status, 1);
}

}  // namespace
}  // namespace vex::tool
