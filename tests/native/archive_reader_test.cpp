#include "skin2/archive_reader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <regex>

#include "skin2/archive_writer.h"
#include "skin2/byte_io.h"
#include "skin2/default_skin.h"
#include "skin2/pkware_cipher.h"
#include "test_support.h"

namespace vex::skin2 {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TScopedTempDir;
using test::WriteFile;
using Bytes = std::vector<std::uint8_t>;

Bytes Member() { return test::TextBytes(50000, 77); }

Bytes Archive(const Bytes& member, TArchiveOptions o = {}, TArchiveLayout* layout = nullptr) {
  return WriteSkinArchive(member, o, layout);
}

TEST(ExtractArchiveMember, DefaultSkinArchiveExtractsItsSkinFile) {
  TScopedTempDir dir;
  WriteFile(dir / "default.vsk", BuildDefaultSkinArchive());
  ASSERT_EQ(ExtractArchiveMember(dir / "default.vsk", "SKINDATA.SK2", dir / "out", ""), erExtracted);
  Bytes out = ReadFile(dir / "out");
  EXPECT_EQ(out.size(), 792618u);
  EXPECT_EQ(out, BuildDefaultSkinFile());
}

struct TCase {
  const char* what;
  std::function<Bytes()> archive;
  std::string password;
  int result;
  bool findsMember = true;  // the member is found and its size accepted, so an output is made
};

TEST(ExtractArchiveMember, ResultsForWellFormedAndMalformedArchives) {
  const Bytes member = Member();
  auto patched = [member](std::function<void(Bytes&, const TArchiveLayout&)> patch, TArchiveOptions o = {}) {
    return [member, patch, o] {
      TArchiveLayout l;
      Bytes a = WriteSkinArchive(member, o, &l);
      patch(a, l);
      return a;
    };
  };
  TArchiveOptions lower;
  lower.memberName = "skindata.sk2";
  TArchiveOptions secret;
  secret.password = "secret";
  TArchiveOptions secretTime = secret;
  secretTime.checkByteFromTime = true;
  secretTime.dosTime = 0xA7C3;
  TArchiveOptions stored;
  stored.level = 0;

  const TCase cases[] = {
      {"deflated member", [&] { return Archive(member); }, "", erExtracted},
      {"stored DEFLATE blocks", [&] { return Archive(member, stored); }, "", erExtracted},
      {"member name in lower case", [&] { return Archive(member, lower); }, "", erExtracted},
      {"right password, check byte from the CRC", [&] { return Archive(member, secret); }, "secret", erExtracted},
      {"right password, check byte from the time", [&] { return Archive(member, secretTime); }, "secret", erExtracted},
      {"encrypted, no password", [&] { return Archive(member, secret); }, "", erWrongPassword},
      {"ordinary ZIP signature", patched([](Bytes& a, auto&) { a[0] = 'P'; }), "", erUnreadable, false},
      {"shorter than an end record", [] { return Bytes{'S', 'K', 3, 4, 0, 0}; }, "", erUnreadable, false},
      {"empty file", [] { return Bytes{}; }, "", erUnreadable, false},
      {"archive comment", patched([](Bytes& a, auto& l) { a[l.endRecord + 20] = 1; }), "", erUnreadable, false},
      {"end record not last", patched([](Bytes& a, auto&) { a.push_back(0); }), "", erUnreadable, false},
      {"central extra field", patched([](Bytes& a, auto& l) { a[l.centralEntry + 30] = 4; }), "", erUnreadable, false},
      {"central comment", patched([](Bytes& a, auto& l) { a[l.centralEntry + 32] = 4; }), "", erUnreadable, false},
      {"name longer than 259", patched([](Bytes& a, auto& l) { StoreLE16(&a[l.centralEntry + 28], 300); }), "",
       erUnreadable, false},
      {"member not present", patched([](Bytes& a, auto& l) { a[l.centralEntry + 46] = 'X'; }), "", erUnreadable, false},
      {"method stored", patched([](Bytes& a, auto& l) { a[l.centralEntry + 10] = 0; }), "", erUnreadable, false},
      {"central directory offset past the end",
       patched([](Bytes& a, auto& l) { StoreLE32(&a[l.endRecord + 16], 0x7FFFFFF0u); }), "", erUnreadable, false},
      {"local header offset past the end",
       patched([](Bytes& a, auto& l) { StoreLE32(&a[l.centralEntry + 42], 0x7FFFFFF0u); }), "", erUnreadable},
      {"recorded size too small",
       patched([](Bytes& a, auto& l) { StoreLE32(&a[l.centralEntry + 24], 1000); }), "", erUnreadable},
      {"recorded size too large",
       patched([&](Bytes& a, auto& l) { StoreLE32(&a[l.centralEntry + 24], static_cast<std::uint32_t>(member.size() + 1)); }),
       "", erUnreadable},
      {"corrupt DEFLATE data", patched([](Bytes& a, auto& l) { a[l.data] ^= 0x06; }), "", erUnreadable},
      {"data cut short", patched([](Bytes& a, auto& l) {
         a.erase(a.begin() + static_cast<std::ptrdiff_t>(l.data + l.dataSize / 2),
                 a.begin() + static_cast<std::ptrdiff_t>(l.centralEntry));
         StoreLE32(&a[a.size() - 6], static_cast<std::uint32_t>(l.centralEntry - (l.dataSize - l.dataSize / 2)));
       }),
       "", erUnreadable},
      // With no password the data is never read: this archive's encrypted data lie past its end.
      {"encrypted, no password, data unreadable",
       patched([](Bytes& a, auto& l) { StoreLE16(&a[l.localHeader + 28], 0xFFFF); }, secret), "", erWrongPassword},
      {"encrypted, password, data unreadable",
       patched([](Bytes& a, auto& l) { StoreLE16(&a[l.localHeader + 28], 0xFFFF); }, secret), "secret",
       erUnreadable},
      {"encrypted, corrupt data behind the right password",
       patched([](Bytes& a, auto& l) { a[l.data + 20] ^= 0x55; }, secret), "secret", erWrongPassword},
  };
  for (const TCase& c : cases) {
    TScopedTempDir dir;
    WriteFile(dir / "skin.vsk", c.archive());
    const int r = ExtractArchiveMember(dir / "skin.vsk", "SKINDATA.SK2", dir / "out", c.password);
    EXPECT_EQ(r, c.result) << c.what;
    if (r == erExtracted) {
      EXPECT_EQ(ReadFile(dir / "out"), member) << c.what;
    } else {
      EXPECT_FALSE(fs::exists(dir / "out")) << c.what << ": a failed extraction left its output";
    }
    // Into memory, the archive read whole and read piece by piece from the file: the same result,
    // the member's bytes or none.
    for (const std::uint64_t readWhole : {kArchiveReadWholeLimit, std::uint64_t{0}}) {
      Bytes out{1, 2, 3};
      int outputs = 0;
      EXPECT_EQ(ReadArchiveMember(dir / "skin.vsk", "SKINDATA.SK2", c.password, out, [&] { ++outputs; }, readWhole),
                c.result)
          << c.what << ", read whole up to " << readWhole;
      EXPECT_EQ(out, c.result == erExtracted ? member : Bytes{}) << c.what << ", read whole up to " << readWhole;
      EXPECT_EQ(outputs, c.findsMember ? 1 : 0) << c.what;
    }
  }
}

TEST(ExtractArchiveMember, MissingArchiveIsUnreadable) {
  TScopedTempDir dir;
  EXPECT_EQ(ExtractArchiveMember(dir / "nowhere.vsk", "SKINDATA.SK2", dir / "out", ""), erUnreadable);
  EXPECT_FALSE(fs::exists(dir / "out"));
}

// Finds passwords whose decrypted header passes the one-byte check by chance (1 in 256).
std::vector<std::string> PasswordsPassingTheCheck(const Bytes& archive, const TArchiveLayout& l, std::uint8_t check,
                                                  std::size_t want) {
  std::vector<std::string> found;
  for (int i = 0; found.size() < want && i < 100000; ++i) {
    std::string pw = "guess" + std::to_string(i);
    TPkwareCipher c(pw);
    std::uint8_t h[12];
    std::copy(archive.begin() + static_cast<std::ptrdiff_t>(l.data), archive.begin() + static_cast<std::ptrdiff_t>(l.data + 12), h);
    c.Decrypt(h, 12);
    if (h[11] == check) found.push_back(pw);
  }
  return found;
}

TEST(ExtractArchiveMember, WrongPasswordThatPassesTheCheckByteIsStillWrong) {
  const Bytes member = Member();
  TArchiveOptions o;
  o.password = "right";
  TArchiveLayout l;
  const Bytes archive = Archive(member, o, &l);
  const auto crc = Crc32(member.data(), member.size());
  const auto wrong = PasswordsPassingTheCheck(archive, l, static_cast<std::uint8_t>(crc >> 24), 5);
  ASSERT_EQ(wrong.size(), 5u);
  TScopedTempDir dir;
  WriteFile(dir / "skin.vsk", archive);
  for (const std::string& pw : wrong) {
    EXPECT_EQ(ExtractArchiveMember(dir / "skin.vsk", "SKINDATA.SK2", dir / "out", pw), erWrongPassword) << pw;
    EXPECT_FALSE(fs::exists(dir / "out")) << pw;
  }
  EXPECT_EQ(ExtractArchiveMember(dir / "skin.vsk", "SKINDATA.SK2", dir / "out", "wrong"), erWrongPassword);
  EXPECT_EQ(ExtractArchiveMember(dir / "skin.vsk", "SKINDATA.SK2", dir / "out", "right"), erExtracted);
}

TEST(ExtractArchiveMember, MemberThatInflatesToNothingIsUnreadable) {
  TScopedTempDir dir;
  WriteFile(dir / "empty.vsk", Archive({}));
  EXPECT_EQ(ExtractArchiveMember(dir / "empty.vsk", "SKINDATA.SK2", dir / "out", ""), erUnreadable);
  EXPECT_FALSE(fs::exists(dir / "out"));
}

TEST(ExtractArchiveMember, DecompressionBombStopsAtTheRecordedSize) {
  // 256 MiB of zeros, recorded as 4 KiB: extraction must give up after a few KiB, not write it all.
  const Bytes zeros(256u << 20, 0);
  TArchiveLayout l;
  TArchiveOptions fast;
  fast.level = 1;
  Bytes a = Archive(zeros, fast, &l);
  StoreLE32(&a[l.centralEntry + 24], 4096);
  TScopedTempDir dir;
  WriteFile(dir / "bomb.vsk", a);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ExtractArchiveMember(dir / "bomb.vsk", "SKINDATA.SK2", dir / "out", ""), erUnreadable);
  EXPECT_FALSE(fs::exists(dir / "out"));
  // Generous: decoding all 256 MiB and writing it would take far longer than decoding 64 KiB.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

// A member may declare at most kMaxArchiveMemberSize bytes: more is refused before anything is
// inflated or written, even when the data really are that long.
TEST(ExtractArchiveMember, MembersDeclaringMoreThanTheBudgetAreRefused) {
  struct Case {
    const char* what;
    std::size_t memberSize;
    std::uint32_t declared;  // 0: the true size
    const char* password;
    int result;
  };
  const Case cases[] = {
      {"member at the budget", kMaxArchiveMemberSize, 0, "", erExtracted},
      {"member one byte over the budget", kMaxArchiveMemberSize + 1, 0, "", erUnreadable},
      {"small member declaring 1.2 GB", 4096, 1200000000u, "", erUnreadable},
      {"encrypted member declaring 4 GB", 4096, 0xFFFFFFFFu, "pw", erUnreadable},
  };
  for (const Case& c : cases) {
    TArchiveOptions o;
    o.level = 1;
    o.password = c.password;
    TArchiveLayout l;
    Bytes a = Archive(Bytes(c.memberSize, 0), o, &l);
    if (c.declared) StoreLE32(&a[l.centralEntry + 24], c.declared);
    TScopedTempDir dir;
    WriteFile(dir / "big.vsk", a);
    a.clear();
    EXPECT_EQ(ExtractArchiveMember(dir / "big.vsk", "SKINDATA.SK2", dir / "out", c.password), c.result) << c.what;
    if (c.result == erExtracted) {
      EXPECT_EQ(fs::file_size(dir / "out"), c.memberSize) << c.what;
    } else {
      EXPECT_EQ(dir.Files(), std::vector<std::string>{"big.vsk"}) << c.what;
    }
  }
}

TEST(ExtractArchiveMember, ReplacesAnExistingDestinationButNeverItsOwnArchive) {
  TScopedTempDir dir;
  const Bytes archive = Archive(Member());
  WriteFile(dir / "skin.vsk", archive);
  WriteFile(dir / "out", Bytes(300000, 1));
  ASSERT_EQ(ExtractArchiveMember(dir / "skin.vsk", "SKINDATA.SK2", dir / "out", ""), erExtracted);
  EXPECT_EQ(ReadFile(dir / "out"), Member());

  EXPECT_EQ(ExtractArchiveMember(dir / "skin.vsk", "SKINDATA.SK2", dir / "skin.vsk", ""), erUnreadable);
  EXPECT_EQ(ReadFile(dir / "skin.vsk"), archive);
}

TEST(ExtractSkinFile, NamesItsFileWithABracedGuidInTheTemporaryFolder) {
  TScopedTempDir dir;
  WriteFile(dir / "skin.vsk", BuildDefaultSkinArchive());
  const fs::path a = ExtractSkinFile(dir / "skin.vsk", "");
  const fs::path b = ExtractSkinFile(dir / "skin.vsk", "");
  EXPECT_NE(a, b);
  for (const fs::path& p : {a, b}) {
    EXPECT_TRUE(fs::equivalent(p.parent_path(), dir.Path()));
    const std::string name = p.filename().u8string();
    EXPECT_TRUE(std::regex_match(name, std::regex(R"(\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\})")))
        << name;
    EXPECT_EQ(ReadFile(p).size(), 792618u);
  }
}

TEST(ExtractSkinFile, FailuresRaiseTheFixedMessagesAndLeaveNothing) {
  TScopedTempDir dir;
  TArchiveOptions o;
  o.password = "pw";
  WriteFile(dir / "locked.vsk", BuildDefaultSkinArchive("pw"));
  WriteFile(dir / "junk.vsk", Bytes{'S', 'K', 1, 2, 3});
  struct Case {
    const char* file;
    const char* password;
    const char* message;
  };
  const Case cases[] = {
      {"locked.vsk", "", "Wrong password!"},
      {"locked.vsk", "nope", "Wrong password!"},
      {"junk.vsk", "", "Failed to read skin file!"},
      {"absent.vsk", "", "Failed to read skin file!"},
  };
  for (const Case& c : cases) {
    try {
      ExtractSkinFile(dir / c.file, c.password);
      ADD_FAILURE() << c.file << " did not fail";
    } catch (const EvexSkinError& e) {
      EXPECT_STREQ(e.what(), c.message) << c.file;
    }
    try {
      ExtractSkinFileToMemory(dir / c.file, c.password);
      ADD_FAILURE() << c.file << " did not fail in memory";
    } catch (const EvexSkinError& e) {
      EXPECT_STREQ(e.what(), c.message) << c.file << " in memory";
    }
  }
  EXPECT_EQ(dir.Files(), (std::vector<std::string>{"junk.vsk", "locked.vsk"}));
  EXPECT_EQ(ReadFile(ExtractSkinFile(dir / "locked.vsk", "pw")).size(), 792618u);
  EXPECT_EQ(ExtractSkinFileToMemory(dir / "locked.vsk", "pw").bytes, BuildDefaultSkinFile());
}

// The bytes come in memory, and the temporary file ExtractSkinFile would leave holds them for as
// long as the result lives, under the same kind of name, whoever owns the result by then.
TEST(ExtractSkinFileToMemory, TheTemporaryFileHoldsTheBytesWhileTheResultLives) {
  TScopedTempDir dir;
  WriteFile(dir / "skin.vsk", BuildDefaultSkinArchive());
  {
    TExtractedSkinFile x = ExtractSkinFileToMemory(dir / "skin.vsk", "");
    EXPECT_EQ(x.bytes, BuildDefaultSkinFile());
    const fs::path temp = x.file.Path();
    EXPECT_TRUE(fs::equivalent(temp.parent_path(), dir.Path()));
    EXPECT_TRUE(std::regex_match(temp.filename().u8string(),
                                 std::regex(R"(\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\})")));
    EXPECT_EQ(test::ReadFileSharingDelete(temp), x.bytes);
    TExtractedSkinFile owner = std::move(x);
    EXPECT_TRUE(x.file.Path().empty());
    EXPECT_EQ(owner.file.Path(), temp);
    EXPECT_EQ(test::ReadFileSharingDelete(temp), owner.bytes);
    EXPECT_EQ(dir.Files().size(), 2u);
  }
  EXPECT_EQ(dir.Files(), std::vector<std::string>{"skin.vsk"});
}

// The temporary file is made where an extraction makes its output: a temporary folder that takes
// no file fails a skin whose member is found, even one locked without a password given, as
// unreadable; a skin that is unreadable anyway fails the same.
TEST(ExtractSkinFileToMemory, ATemporaryFolderThatTakesNoFileMakesTheSkinUnreadable) {
  TScopedTempDir dir;
  WriteFile(dir / "plain.vsk", BuildDefaultSkinArchive());
  WriteFile(dir / "locked.vsk", BuildDefaultSkinArchive("pw"));
  WriteFile(dir / "junk.vsk", Bytes{'S', 'K', 1, 2, 3});
  const fs::path archives = dir.Path();
  TScopedTempDir temp;
  fs::remove_all(temp.Path());  // TempDirectory names a folder that is not there
  for (const char* name : {"plain.vsk", "locked.vsk", "junk.vsk"}) {
    try {
      ExtractSkinFileToMemory(archives / name, "");
      ADD_FAILURE() << name << " loaded";
    } catch (const EvexSkinError& e) {
      EXPECT_STREQ(e.what(), "Failed to read skin file!") << name;
    }
  }
  EXPECT_FALSE(fs::exists(temp.Path()));
}

TEST(TempFile, GoesWithItsOwnerAndNeverStaysAfterAFailure) {
  TScopedTempDir dir;
  const Bytes bytes = test::TextBytes(70000, 3);
  {
    TTempFile a(dir / "a.tmp");
    a.Write(bytes.data(), 1000);
    a.Write(bytes.data() + 1000, bytes.size() - 1000);
    EXPECT_EQ(test::ReadFileSharingDelete(dir / "a.tmp"), bytes);
    TTempFile b(dir / "b.tmp");
    b = std::move(a);  // b's own file goes, a's is b's now
    EXPECT_EQ(dir.Files(), std::vector<std::string>{"a.tmp"});
    EXPECT_EQ(b.Path(), dir / "a.tmp");
    TTempFile c(dir / "c.tmp");
    c.Remove();
    c.Remove();
    EXPECT_TRUE(c.Path().empty());
    EXPECT_THROW(c.Write(bytes.data(), 1), EIoError);
    EXPECT_EQ(dir.Files(), std::vector<std::string>{"a.tmp"});
  }
  EXPECT_TRUE(dir.Files().empty());
  EXPECT_THROW(TTempFile(dir / "no such folder" / "x.tmp"), EIoError);
  EXPECT_TRUE(dir.Files().empty());
}

#ifndef _WIN32
// Info-ZIP's zip writes archives of the same layout; with the first two bytes patched to "SK" the
// reader must take them, encrypted or not.
TEST(ExtractArchiveMember, ReadsInfoZipArchivesPatchedToSK) {
  if (std::system("command -v zip >/dev/null 2>&1") != 0) GTEST_SKIP() << "Info-ZIP zip is not installed";
  TScopedTempDir dir;
  const Bytes member = Member();
  WriteFile(dir / "SKINDATA.SK2", member);
  const std::string cd = "cd '" + dir.Path().string() + "' && ";
  ASSERT_EQ(std::system((cd + "zip -q -X plain.zip SKINDATA.SK2").c_str()), 0);
  ASSERT_EQ(std::system((cd + "zip -q -X -e -P s3cret locked.zip SKINDATA.SK2").c_str()), 0);
  for (const char* name : {"plain.zip", "locked.zip"}) {
    Bytes a = ReadFile(dir / name);
    EXPECT_EQ(ExtractArchiveMember(dir / name, "SKINDATA.SK2", dir / "out", "s3cret"), erUnreadable) << "PK kept";
    a[0] = 'S';
    a[1] = 'K';
    WriteFile(dir / name, a);
  }
  EXPECT_EQ(ExtractArchiveMember(dir / "plain.zip", "SKINDATA.SK2", dir / "out", ""), erExtracted);
  EXPECT_EQ(ReadFile(dir / "out"), member);
  EXPECT_EQ(ExtractArchiveMember(dir / "locked.zip", "SKINDATA.SK2", dir / "out2", ""), erWrongPassword);
  EXPECT_EQ(ExtractArchiveMember(dir / "locked.zip", "SKINDATA.SK2", dir / "out2", "wrong"), erWrongPassword);
  EXPECT_EQ(ExtractArchiveMember(dir / "locked.zip", "SKINDATA.SK2", dir / "out2", "s3cret"), erExtracted);
  EXPECT_EQ(ReadFile(dir / "out2"), member);
}
#endif

}  // namespace
}  // namespace vex::skin2
