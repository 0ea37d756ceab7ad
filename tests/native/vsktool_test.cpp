#include "vsktool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <regex>
#include <sstream>

#include "skin2/default_skin.h"
#include "skin2/skin_keys.h"
#include "test_support.h"

namespace vex::tool {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TScopedTempDir;
using test::WriteFile;

struct TRun {
  int status;
  std::string out, err;
};

TRun Tool(std::vector<std::string> args) {
  std::ostringstream out, err;
  int status = RunVskTool(args, out, err);
  return {status, out.str(), err.str()};
}

std::vector<std::string> Lines(const std::string& s) {
  std::vector<std::string> lines;
  std::istringstream in(s);
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

class VskTool : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(dir_ / "default.vsk", skin2::BuildDefaultSkinArchive());
    WriteFile(dir_ / "locked.vsk", skin2::BuildDefaultSkinArchive("pw"));
    WriteFile(dir_ / "junk.vsk", {'S', 'K', 0, 0});
  }
  std::string P(const std::string& name) { return (dir_ / name).u8string(); }
  TScopedTempDir dir_;
};

TEST_F(VskTool, InfoListsCountsThenEveryKeyInTableOrder) {
  TRun r = Tool({"info", P("default.vsk")});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto lines = Lines(r.out);
  // The counts, the 84 keys, then 60 scaled bitmaps and 6 scaled positions.
  ASSERT_EQ(lines.size(), 4u + 84u + 66u);
  EXPECT_EQ(lines[0], "bitmaps 90");
  EXPECT_EQ(lines[1], "integers 49");
  EXPECT_EQ(lines[2], "bytes 9");
  EXPECT_EQ(lines[3], "strings 0");
  for (int k = 0; k < skin2::kSkinKeyCount; ++k)
    EXPECT_EQ(lines[4 + k].rfind(std::string(skin2::kSkinKeys[k]) + " ", 0), 0u) << lines[4 + k];
  EXPECT_EQ(lines[4], "SKIN2_TRANSCOLOR colour 16711935");
  EXPECT_EQ(lines[4 + 32], "SKIN2_TITLEBAR1 bitmap 31x31");
  EXPECT_EQ(lines[4 + 40], "SKIN2_FORMBOTTOMBORDER2 bitmap absent");
  EXPECT_EQ(lines[4 + 73], "SKIN2_BOTTOMREGIONMINY position -1");
  EXPECT_EQ(lines[4 + 75], "SKIN2_TITLEFIVESECT switch 1");
  EXPECT_EQ(lines[4 + 83], "SKIN2_TABCONTROLTRANS switch 0");
}

// After the keys, each scaled record in file order beside what its base gives at that scale: every
// bitmap key the skin carries, at both scales, at the size expected of it.
TEST_F(VskTool, InfoListsTheScaledRecordsWithTheSizesTheirBasesGive) {
  TRun r = Tool({"info", P("default.vsk")});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto lines = Lines(r.out);
  ASSERT_GT(lines.size(), 88u);
  const std::regex bitmapLine(R"((SKIN2_\w+)@(150|200) bitmap (\d+x\d+) expected (\d+x\d+))");
  const std::regex positionLine(R"((SKIN2_\w+)@(150|200) position (-?\d+) scaled base (-?\d+))");
  std::map<std::string, int> scalesOf;
  int positions = 0;
  for (std::size_t i = 88; i < lines.size(); ++i) {
    std::smatch m;
    if (std::regex_match(lines[i], m, bitmapLine)) {
      EXPECT_EQ(m[3], m[4]) << lines[i];
      scalesOf[m[1]]++;
      // Its base is listed among the keys with a size.
      const std::string base = m[1].str() + " bitmap ";
      EXPECT_TRUE(std::any_of(lines.begin() + 4, lines.begin() + 88, [&](const std::string& l) {
        return l.rfind(base, 0) == 0 && l != base + "absent";
      })) << lines[i];
    } else if (std::regex_match(lines[i], m, positionLine)) {
      EXPECT_NE(m[3], m[4]) << lines[i];
      ++positions;
    } else {
      ADD_FAILURE() << "unexpected line " << lines[i];
    }
  }
  EXPECT_EQ(scalesOf.size(), 30u);
  for (const auto& [key, n] : scalesOf) EXPECT_EQ(n, 2) << key;
  EXPECT_EQ(positions, 6);
  for (const char* line : {"SKIN2_TITLEBAR1@150 bitmap 47x47 expected 47x47",
                           "SKIN2_TITLEBUTTONS@200 bitmap 648x36 expected 648x36",
                           "SKIN2_CHECKBOX@150 bitmap 156x26 expected 156x26",
                           "SKIN2_TITLEBARCAPTIONTOP@150 position 13 scaled base 14"})
    EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
}

TEST_F(VskTool, InfoAndExtractFailures) {
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* message;
  };
  const std::string out = P("out.sk2");
  const Case cases[] = {
      {{"info", P("locked.vsk")}, 2, "Wrong password!\n"},
      {{"info", P("locked.vsk"), "--password", "bad"}, 2, "Wrong password!\n"},
      {{"info", P("junk.vsk")}, 1, "Failed to read skin file!\n"},
      {{"info", P("absent.vsk")}, 1, "Failed to read skin file!\n"},
      {{"extract", P("locked.vsk"), out}, 2, "Wrong password!\n"},
      {{"extract", P("junk.vsk"), out}, 1, "Failed to read skin file!\n"},
      {{"extract", P("default.vsk"), out, "--member", "OTHER.SK2"}, 1, "Failed to read skin file!\n"},
  };
  for (const Case& c : cases) {
    TRun r = Tool(c.args);
    EXPECT_EQ(r.status, c.status) << c.args[1];
    EXPECT_EQ(r.err, c.message) << c.args[1];
    EXPECT_FALSE(fs::exists(out)) << c.args[1];
  }
  EXPECT_EQ(dir_.Files(), (std::vector<std::string>{"default.vsk", "junk.vsk", "locked.vsk"}));
}

TEST_F(VskTool, ExtractWritesTheMemberAndKeepsAnOldFileOnFailure) {
  ASSERT_EQ(Tool({"extract", P("locked.vsk"), P("a.sk2"), "--password", "pw"}).status, 0);
  EXPECT_EQ(ReadFile(dir_ / "a.sk2"), skin2::BuildDefaultSkinFile());
  ASSERT_EQ(Tool({"extract", P("default.vsk"), P("b.sk2"), "--member", "skindata.sk2"}).status, 0);
  EXPECT_EQ(ReadFile(dir_ / "b.sk2").size(), 792618u);

  WriteFile(dir_ / "keep.txt", {'k', 'e', 'e', 'p'});
  EXPECT_EQ(Tool({"extract", P("locked.vsk"), P("keep.txt")}).status, 2);
  EXPECT_EQ(ReadFile(dir_ / "keep.txt"), (std::vector<std::uint8_t>{'k', 'e', 'e', 'p'}));
}

TEST_F(VskTool, BadArgumentsPrintUsageAndExit64) {
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"frobnicate"},
      {"info"},
      {"info", "a", "b"},
      {"info", P("default.vsk"), "--member", "X"},
      {"info", P("default.vsk"), "--password"},
      {"extract", P("default.vsk")},
      {"extract", P("default.vsk"), P("o"), "--verbose"},
  };
  for (const auto& args : bad) {
    TRun r = Tool(args);
    EXPECT_EQ(r.status, kExitUsage) << (args.empty() ? "" : args[0]);
    EXPECT_NE(r.err.find("usage: vsktool"), std::string::npos);
    EXPECT_TRUE(r.out.empty());
  }
  for (const auto& args : std::vector<std::vector<std::string>>{{"--help"}, {"info", "--help"}, {"extract", "--help"}}) {
    TRun r = Tool(args);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("extract SKIN OUTFILE"), std::string::npos);
  }
}

#ifdef VSKTOOL_PATH
// The built program itself: exit statuses as a shell sees them, messages on standard error.
TEST_F(VskTool, ProgramExitStatuses) {
  auto run = [&](const std::string& args) {
    const std::string cmd = std::string("'") + VSKTOOL_PATH + "' " + args + " >'" + P("stdout") + "' 2>'" + P("stderr") + "'";
    int rc = std::system(cmd.c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  };
  EXPECT_EQ(run("info '" + P("default.vsk") + "'"), 0);
  EXPECT_EQ(run("extract '" + P("locked.vsk") + "' '" + P("x") + "'"), 2);
  EXPECT_EQ(ReadFile(dir_ / "stderr"), (std::vector<std::uint8_t>{'W', 'r', 'o', 'n', 'g', ' ', 'p', 'a', 's', 's', 'w', 'o', 'r', 'd', '!', '\n'}));
  EXPECT_FALSE(fs::exists(dir_ / "x"));
  EXPECT_EQ(run("extract '" + P("junk.vsk") + "' '" + P("x") + "'"), 1);
  EXPECT_EQ(run("info --bogus"), 64);
}
#endif

}  // namespace
}  // namespace vex::tool

namespace vex::tool {
namespace {

TEST(VskToolGenerate, WritesTheDefaultSkinThatInfoReads) {
  TScopedTempDir dir;
  const std::string out = (dir / "gen.vsk").u8string();
  ASSERT_EQ(Tool({"generate", out}).status, 0);
  TRun info = Tool({"info", out});
  EXPECT_EQ(info.status, 0);
  EXPECT_EQ(Lines(info.out)[0], "bitmaps 90");
  ASSERT_EQ(Tool({"generate", (dir / "locked.vsk").u8string(), "--password", "x"}).status, 0);
  EXPECT_EQ(Tool({"info", (dir / "locked.vsk").u8string()}).status, 2);
  EXPECT_EQ(Tool({"info", (dir / "locked.vsk").u8string(), "--password", "x"}).status, 0);
  // A folder that does not exist: an error, and nothing written anywhere.
  TRun bad = Tool({"generate", (dir / "no" / "such" / "dir.vsk").u8string()});
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(dir.Files(), (std::vector<std::string>{"gen.vsk", "locked.vsk"}));
}

// The skin file inside a written archive, read back with the tool's own extract command.
std::vector<std::uint8_t> SkinFileOf(const TScopedTempDir& dir, const std::string& archive, const std::string& password = "") {
  const std::string out = (dir / "member.sk2").u8string();
  std::vector<std::string> args = {"extract", archive, out};
  if (!password.empty()) args.insert(args.end(), {"--password", password});
  const TRun r = Tool(args);
  EXPECT_EQ(r.status, 0) << r.err;
  auto bytes = ReadFile(dir / "member.sk2");
  fs::remove(dir / "member.sk2");
  return bytes;
}

TEST(VskToolGenerate, DarkWritesTheDarkSkinThatVerifyAccepts) {
  TScopedTempDir dir;
  struct Case {
    std::vector<std::string> args;  // after "generate OUT"
    std::string password;
    bool dark;
  };
  const Case cases[] = {
      {{}, "", false},
      {{"--dark"}, "", true},
      {{"--password", "k", "--dark"}, "k", true},
      {{"--dark", "--password", "k"}, "k", true},
      {{"--dark", "--dark"}, "", true},
  };
  int n = 0;
  for (const Case& c : cases) {
    const std::string out = (dir / ("gen" + std::to_string(n++) + ".vsk")).u8string();
    std::vector<std::string> args = {"generate", out};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const TRun g = Tool(args);
    ASSERT_EQ(g.status, 0) << out << ": " << g.err;
    EXPECT_EQ(SkinFileOf(dir, out, c.password), c.dark ? skin2::BuildDarkSkinFile() : skin2::BuildDefaultSkinFile())
        << out;
    std::vector<std::string> verify = {"verify", out};
    if (!c.password.empty()) {
      EXPECT_EQ(Tool(verify).status, 2) << out << " should need its password";
      verify.insert(verify.end(), {"--password", c.password});
    }
    const TRun v = Tool(verify);
    EXPECT_EQ(v.status, 0) << v.out << v.err;
    EXPECT_EQ(v.out, "0 errors, 0 warnings\n") << out;
  }
  // The flag takes no value and belongs to generate alone.
  const std::string out = (dir / "bad.vsk").u8string();
  for (const auto& args : std::vector<std::vector<std::string>>{{"generate", out, "--dark", "yes"},
                                                                 {"generate", "--dark"},
                                                                 {"generate", out, "--dark=1"},
                                                                 {"verify", out, "--dark"}}) {
    const TRun r = Tool(args);
    EXPECT_EQ(r.status, kExitUsage) << args.back();
  }
  EXPECT_FALSE(fs::exists(dir / "bad.vsk"));
  EXPECT_NE(Tool({"--help"}).out.find("generate OUT.vsk [--dark]"), std::string::npos);
}

#ifdef VSKTOOL_PATH
TEST(VskToolGenerate, ProgramWritesTheDarkSkinAndVerifiesIt) {
  TScopedTempDir dir;
  const std::string skin = (dir / "dark.vsk").u8string();
  auto run = [&](const std::string& args) {
    const std::string cmd = std::string("'") + VSKTOOL_PATH + "' " + args + " >'" + (dir / "stdout").u8string() + "' 2>&1";
    const int rc = std::system(cmd.c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  };
  ASSERT_EQ(run("generate '" + skin + "' --dark"), 0);
  EXPECT_EQ(run("verify '" + skin + "'"), 0);
  const auto said = ReadFile(dir / "stdout");
  EXPECT_EQ(std::string(said.begin(), said.end()), "0 errors, 0 warnings\n");
  EXPECT_EQ(SkinFileOf(dir, skin), skin2::BuildDarkSkinFile());
}
#endif

}  // namespace
}  // namespace vex::tool
