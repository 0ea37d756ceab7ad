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
  // Drawn once: the tables of cases below edit it many times.
  static const Bytes file = skin2::BuildDefaultSkinFile();
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
    // The records for a larger scale come out under their own names, bare in skin.ini.
    EXPECT_TRUE(fs::exists(dir / "src" / "SKIN2_TITLEBAR1@150.bmp"));
    EXPECT_TRUE(fs::exists(dir / "src" / "SKIN2_TITLEBUTTONS@200.bmp"));
    const Bytes ini = ReadFile(dir / "src" / "skin.ini");
    const std::string text(ini.begin(), ini.end());
    for (const char* line : {"\nSKIN2_BUTTON@150 = SKIN2_BUTTON@150.bmp ; 378x38\n", "\nSKIN2_TITLEBARCAPTIONTOP@150 = 13\n",
                             "\nbitmap SKIN2_SCROLLBUTTON@200\n", "\ninteger SKIN2_TITLEBARREGIONMAXY@200\n"})
      EXPECT_NE(text.find(line), std::string::npos) << line;
    TRun p = Tool(with({"pack", (dir / "src").u8string(), (dir / "out.vsk").u8string()}));
    ASSERT_EQ(p.status, 0) << p.err;
    if (!pw.empty()) {
      EXPECT_EQ(Tool({"info", (dir / "out.vsk").u8string()}).status, 2);
    }
    ExpectSameSkin(Load(dir / "in.vsk", pw), Load(dir / "out.vsk", pw));
    // What info and verify say of it, the scaled records included, is what they say of the input.
    for (const char* command : {"info", "verify"}) {
      const TRun before = Tool(with({command, (dir / "in.vsk").u8string()}));
      const TRun after = Tool(with({command, (dir / "out.vsk").u8string()}));
      EXPECT_EQ(after.status, 0) << command << after.out;
      EXPECT_EQ(after.out, before.out) << command;
    }
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
  w.AddBitmap("SKIN2_BUTTON@150", img);
  w.AddInteger("SKIN2_TITLEBARCAPTIONTOP@200", -7);
  w.AddBitmap("A@B@200", img);
  TScopedTempDir dir;
  WriteFile(dir / "odd.vsk", skin2::WriteSkinArchive(w.Build(), {}));
  ASSERT_EQ(Tool({"unpack", (dir / "odd.vsk").u8string(), (dir / "src").u8string()}).status, 0);
  TRun p = Tool({"pack", (dir / "src").u8string(), (dir / "out.vsk").u8string()});
  ASSERT_EQ(p.status, 0) << p.err;
  ExpectSameSkin(Load(dir / "odd.vsk"), Load(dir / "out.vsk"));
  // Six bitmap files, none clashing although two names differ only in case.
  int bmps = 0;
  for (const auto& e : fs::directory_iterator(dir / "src")) bmps += e.path().extension() == ".bmp";
  EXPECT_EQ(bmps, 6);
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
  EXPECT_EQ(r.Bitmaps().size(), 90u);
  EXPECT_EQ(r.Integers().size(), 49u);
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
  // The edit, with the key's records for a larger scale left out: the cases below are about the
  // 96-DPI image, and a changed one no longer matches the scaled images drawn from the old one.
  auto alone = [](std::function<bool(Rec&)> edit, const char* key) {
    return [=](Rec& r) {
      std::string base;
      return !(skin2::ScaledRecordPercent(r.name, &base) && base == key) && edit(r);
    };
  };
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
      {"no check box image", alone(drop("SKIN2_CHECKBOX"), "SKIN2_CHECKBOX"), "warning: SKIN2_CHECKBOX: absent", 0},
  };
  for (const Case& c : cases) {
    TScopedTempDir dir;
    WriteFile(dir / "s.vsk", EditedDefaultSkin(c.edit));
    TRun r = Tool({"verify", (dir / "s.vsk").u8string()});
    EXPECT_EQ(r.status, c.status) << c.what << "\n" << r.out;
    EXPECT_NE(r.out.find(c.line), std::string::npos) << c.what << "\n" << r.out;
  }
  // A push button of even height paints whole (its middle row stands in for the stretched
  // edges): nothing to say about it.
  {
    TScopedTempDir even;
    WriteFile(even / "s.vsk", EditedDefaultSkin(alone(resize("SKIN2_BUTTON", 252, 24), "SKIN2_BUTTON")));
    TRun r = Tool({"verify", (even / "s.vsk").u8string()});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out.find("SKIN2_BUTTON"), std::string::npos) << r.out;
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

// File names for bitmap records: plain names as they are ('@' included), anything else escaped,
// device names kept clear of, and repeats (compared without case) numbered.
TEST(VskToolUnpack, BitmapFileNames) {
  std::vector<std::string> taken;
  const std::pair<const char*, const char*> cases[] = {
      {"SKIN2_BUTTON", "SKIN2_BUTTON.bmp"},
      {"SKIN2_BUTTON@150", "SKIN2_BUTTON@150.bmp"},
      {"skin2_button@150", "skin2_button@150~2.bmp"},
      {"a/b c", "a%2Fb%20c.bmp"},
      {"x.y", "x%2Ey.bmp"},
      {"con", "_con.bmp"},
      {"", "%.bmp"},
  };
  for (const auto& [record, file] : cases) EXPECT_EQ(BitmapFileName(record, taken), file) << record;
}

// A folder unpacked before '@' stood bare (names quoted, files escaped) still packs.
TEST(VskToolPack, SourcesWithQuotedScaledNamesStillPack) {
  TScopedTempDir dir;
  fs::create_directory(dir / "src");
  const image::TvexImage img(6, 4, 0x123456);
  WriteFile(dir / "src" / "SKIN2_BUTTON%40150.bmp", image::EncodeBmp24(img));
  const std::string ini = "[bitmaps]\n\"SKIN2_BUTTON@150\" = \"SKIN2_BUTTON%40150.bmp\"\n"
                          "[integers]\n\"SKIN2_TITLEBARCAPTIONTOP@150\" = 13\n"
                          "[order]\ninteger \"SKIN2_TITLEBARCAPTIONTOP@150\"\nbitmap \"SKIN2_BUTTON@150\"\n";
  WriteFile(dir / "src" / "skin.ini", Bytes(ini.begin(), ini.end()));
  TRun p = Tool({"pack", (dir / "src").u8string(), (dir / "out.vsk").u8string()});
  ASSERT_EQ(p.status, 0) << p.err;
  const Tsk2SkinFileReader r = Load(dir / "out.vsk");
  ASSERT_EQ(r.Records().size(), 2u);
  EXPECT_EQ(r.Records()[0].type, skin2::srtInteger);
  EXPECT_EQ(r.GetIntegerByName("SKIN2_TITLEBARCAPTIONTOP@150"), 13);
  ASSERT_NE(r.GetBitmapByName("SKIN2_BUTTON@150"), nullptr);
  EXPECT_TRUE(r.GetBitmapByName("SKIN2_BUTTON@150")->SamePixels(img));
}

using Rec = TSkinFileWriter::TRecord;

Rec BitmapRecord(const std::string& name, int w, int h) {
  return {name, skin2::srtBitmap, image::EncodeBmp24(image::TvexImage(w, h, 0x808080))};
}
Rec IntegerRecord(const std::string& name, std::int32_t v) {
  Rec r{name, skin2::srtInteger, Bytes(4)};
  skin2::StoreLE32(r.data.data(), static_cast<std::uint32_t>(v));
  return r;
}

std::function<bool(Rec&)> Resize(const std::string& key, int w, int h) {
  return [=](Rec& r) {
    if (r.name == key) r.data = image::EncodeBmp24(image::TvexImage(w, h, 0x808080));
    return true;
  };
}
std::function<bool(Rec&)> Drop(const std::string& key) {
  return [=](Rec& r) { return r.name != key; };
}
std::function<bool(Rec&)> Keep() {
  return [](Rec&) { return true; };
}

// verify on the scaled records: their key, their base, their slices and their size. Each case
// reports exactly what it is about, nothing else.
TEST(VskToolVerify, ReportsScaledRecordsTheEngineCannotUse) {
  struct Case {
    const char* what;
    std::function<bool(Rec&)> edit;
    std::vector<Rec> extra;
    const char* line;
    const char* summary;
    int status;
  };
  const Case cases[] = {
      {"a state strip one row short", Resize("SKIN2_BUTTON@150", 378, 37), {},
       "error: SKIN2_BUTTON@150: size 378x37 differs from the 378x38 that SKIN2_BUTTON gives at 150 % (3 states of "
       "126x38); the engine lays out frames and controls by this record's size",
       "1 error, 0 warnings", 3},
      {"title buttons one state short", Resize("SKIN2_TITLEBUTTONS@200", 612, 36), {},
       "error: SKIN2_TITLEBUTTONS@200: size 612x36 differs from the 648x36 that SKIN2_TITLEBUTTONS gives at 200 % "
       "(18 states of 36x36)",
       "1 error, 0 warnings", 3},
      {"a title section a row short", Resize("SKIN2_TITLEBAR2@150", 204, 46), {},
       "error: SKIN2_TITLEBAR2@150: size 204x46 differs from the 204x47 that SKIN2_TITLEBAR2 gives at 150 %;",
       "1 error, 0 warnings", 3},
      {"a strip that does not divide", Resize("SKIN2_CHECKBOX@200", 205, 34), {},
       "error: SKIN2_CHECKBOX@200: width 205 does not divide into the key's 6 states: the engine cuts them at the "
       "wrong columns",
       "2 errors, 0 warnings", 3},
      {"an unknown key", Keep(), {BitmapRecord("SKIN2_TITLEBAR6@150", 4, 4)},
       "error: SKIN2_TITLEBAR6@150: SKIN2_TITLEBAR6 is not a bitmap key: the engine never reads this record",
       "1 error, 0 warnings", 3},
      {"a colour key as a bitmap", Keep(), {BitmapRecord("SKIN2_FORMCOLOR@200", 4, 4)},
       "error: SKIN2_FORMCOLOR@200: SKIN2_FORMCOLOR is not a bitmap key", "1 error, 0 warnings", 3},
      {"a colour at a scale", Keep(), {IntegerRecord("SKIN2_FORMCOLOR@150", 5)},
       "error: SKIN2_FORMCOLOR@150: SKIN2_FORMCOLOR is not a position key: the engine never reads this record (only "
       "positions have values for a scale)",
       "1 error, 0 warnings", 3},
      {"a base dropped", Drop("SKIN2_SCROLLBUTTON"), {},
       "error: SKIN2_SCROLLBUTTON@150: no SKIN2_SCROLLBUTTON record: the part is missing at 96 DPI",
       "2 errors, 0 warnings", 3},
      {"a key the skin leaves out", Keep(), {BitmapRecord("SKIN2_FORMBOTTOMBORDER2@150", 270, 8)},
       "error: SKIN2_FORMBOTTOMBORDER2@150: no SKIN2_FORMBOTTOMBORDER2 record", "1 error, 0 warnings", 3},
      {"a position without its base", Drop("SKIN2_TITLEBARCAPTIONTOP"), {},
       "error: SKIN2_TITLEBARCAPTIONTOP@150: no SKIN2_TITLEBARCAPTIONTOP record", "1 error, 0 warnings", 3},
      {"a switch at a scale", Keep(), {{"SKIN2_TITLEFIVESECT@150", skin2::srtByte, {0}}},
       "warning: SKIN2_TITLEFIVESECT@150: the engine reads no byte records for a scale", "0 errors, 1 warning", 0},
      {"a scale the engine does not read", Keep(), {BitmapRecord("SKIN2_BUTTON@125", 315, 31)},
       "warning: SKIN2_BUTTON@125: @125 is not a scale the engine reads (@150 and @200 are): this record is ignored",
       "0 errors, 1 warning", 0},
      {"a stretched bar off its size", Keep(),
       {BitmapRecord("SKIN2_TOOLBAR", 10, 20), BitmapRecord("SKIN2_TOOLBAR@150", 10, 20)},
       "warning: SKIN2_TOOLBAR@150: size 10x20 differs from the 15x30 that SKIN2_TOOLBAR gives at 150 %; the engine "
       "stretches it",
       "0 errors, 1 warning", 0},
      {"a bar at its size", Keep(), {BitmapRecord("SKIN2_TOOLBAR", 10, 20), BitmapRecord("SKIN2_TOOLBAR@200", 20, 40)},
       "", "0 errors, 0 warnings", 0},
      {"a name in other case", [](Rec& r) {
         if (r.name == "SKIN2_BUTTON@150") r.name = "skin2_Button@150";
         return true;
       },
       {}, "", "0 errors, 0 warnings", 0},
  };
  for (const Case& c : cases) {
    TScopedTempDir dir;
    WriteFile(dir / "s.vsk", EditedDefaultSkin(c.edit, c.extra));
    TRun r = Tool({"verify", (dir / "s.vsk").u8string()});
    EXPECT_EQ(r.status, c.status) << c.what << "\n" << r.out;
    EXPECT_NE(r.out.find(c.line), std::string::npos) << c.what << "\n" << r.out;
    // The summary counts this case's findings and no others.
    const std::string summary = std::string(c.summary) + "\n";
    ASSERT_GE(r.out.size(), summary.size()) << c.what;
    EXPECT_EQ(r.out.substr(r.out.size() - summary.size()), summary) << c.what << "\n" << r.out;
    if (!*c.line) {
      EXPECT_EQ(r.out, summary) << c.what;
    }
  }
}

// info shows each scaled record beside what its base makes of that scale, or why nothing.
TEST(VskToolInfo, ListsScaledRecordsWithoutATableKeyOrABase) {
  struct Case {
    const char* what;
    std::function<bool(Rec&)> edit;
    std::vector<Rec> extra;
    const char* line;
  };
  const Case cases[] = {
      {"off size", Resize("SKIN2_BUTTON@150", 10, 10), {}, "SKIN2_BUTTON@150 bitmap 10x10 expected 378x38"},
      {"not a key", Keep(), {BitmapRecord("SKIN2_TITLEBAR6@150", 4, 3)},
       "SKIN2_TITLEBAR6@150 bitmap 4x3 expected nothing (not a bitmap key)"},
      {"no base", Drop("SKIN2_SCROLLBUTTON"), {},
       "SKIN2_SCROLLBUTTON@200 bitmap 160x40 expected nothing (no SKIN2_SCROLLBUTTON record)"},
      {"a colour", Keep(), {IntegerRecord("SKIN2_FORMCOLOR@150", 5)}, "SKIN2_FORMCOLOR@150 integer 5 (not a position key)"},
      {"a position without base", Drop("SKIN2_TITLEBARCAPTIONTOP"), {},
       "SKIN2_TITLEBARCAPTIONTOP@150 position 13 (no SKIN2_TITLEBARCAPTIONTOP record)"},
      {"a position", Keep(), {IntegerRecord("SKIN2_TITLEBARICONPOSX@200", 40)},
       "SKIN2_TITLEBARICONPOSX@200 position 40 scaled base 42"},
      {"a switch", Keep(), {{"SKIN2_TITLEFIVESECT@200", skin2::srtByte, {1}}},
       "SKIN2_TITLEFIVESECT@200 byte 1 (not read at a scale)"},
  };
  for (const Case& c : cases) {
    TScopedTempDir dir;
    WriteFile(dir / "s.vsk", EditedDefaultSkin(c.edit, c.extra));
    TRun r = Tool({"info", (dir / "s.vsk").u8string()});
    EXPECT_EQ(r.status, 0) << c.what << r.err;
    EXPECT_NE(r.out.find(std::string("\n") + c.line + "\n"), std::string::npos) << c.what << "\n" << r.out;
  }
  // A suffix the engine does not read makes no scaled record.
  TScopedTempDir dir;
  WriteFile(dir / "s.vsk", EditedDefaultSkin(Keep(), {BitmapRecord("SKIN2_BUTTON@125", 4, 4)}));
  TRun r = Tool({"info", (dir / "s.vsk").u8string()});
  EXPECT_EQ(r.out.find("SKIN2_BUTTON@125"), std::string::npos);
}

}  // namespace
}  // namespace vex::tool
