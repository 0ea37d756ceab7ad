#include "vsktool.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <system_error>

#include "skin2/archive_reader.h"
#include "skin2/archive_writer.h"
#include "skin2/byte_io.h"
#include "skin2/default_skin.h"
#include "skin2/skin_file_reader.h"
#include "skin2/skin_keys.h"
#include "skin2/temp_platform.h"
#include "skin_source.h"
#include "skin_verify.h"

namespace vex::tool {
namespace {

namespace fs = std::filesystem;
using namespace vex::skin2;

const char kUsage[] =
    "usage: vsktool COMMAND [ARGUMENTS]\n"
    "commands:\n"
    "  info SKIN [--password PW]\n"
    "      load the skin and list its record counts, every skin key, then the records\n"
    "      for a larger scale (KEY@150, KEY@200): a bitmap's size with the size its\n"
    "      base record gives at that scale, a position with its base value scaled\n"
    "  extract SKIN OUTFILE [--member NAME] [--password PW]\n"
    "      write one member of a skin archive (default SKINDATA.SK2) to OUTFILE\n"
    "  unpack SKIN DIR [--password PW]\n"
    "      write every bitmap as NAME.bmp (KEY@150.bmp for a scale) and the other\n"
    "      records to DIR/skin.ini\n"
    "  pack DIR OUT.vsk [--password PW]\n"
    "      build a skin archive from an unpacked folder (encrypted with a password)\n"
    "  verify SKIN [--password PW]\n"
    "      report what the engine cannot paint as the skin intends (error: or warning:),\n"
    "      records for a larger scale included: their key, their base record and the\n"
    "      size their base gives at that scale\n"
    "  generate OUT.vsk [--dark] [--password PW]\n"
    "      write the default (light) skin, or with --dark the dark one, with every\n"
    "      bitmap drawn again for 150 % and 200 %\n"
    "  --help\n"
    "      show this text\n"
    "exit status: 0 done, 1 unreadable input or failed output, 2 wrong password,\n"
    "             3 verify found errors, 64 bad arguments\n";

constexpr int kExitSkinErrors = 3;

fs::path PathOf(const std::string& utf8) { return fs::u8path(utf8); }

struct TParsed {
  std::vector<std::string> positional;
  std::map<std::string, std::string> options;
  std::vector<std::string> flags;
  bool help = false;

  bool Flag(const std::string& name) const {
    for (const auto& f : flags)
      if (f == name) return true;
    return false;
  }

  std::string Option(const std::string& name) const {
    auto it = options.find(name);
    return it == options.end() ? std::string() : it->second;
  }
};

// Splits arguments into positionals, the options a command allows (each takes a value) and the
// flags it allows (each stands alone).
std::optional<TParsed> Parse(const std::vector<std::string>& args, const std::vector<std::string>& allowed,
                             const std::vector<std::string>& allowedFlags, std::ostream& err) {
  TParsed p;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      p.help = true;
    } else if (std::find(allowedFlags.begin(), allowedFlags.end(), a) != allowedFlags.end()) {
      if (!p.Flag(a)) p.flags.push_back(a);
    } else if (a.size() > 1 && a[0] == '-') {
      bool known = false;
      for (const auto& o : allowed) known |= (o == a);
      if (!known) {
        err << "vsktool: unknown option " << a << "\n";
        return std::nullopt;
      }
      if (i + 1 >= args.size()) {
        err << "vsktool: option " << a << " needs a value\n";
        return std::nullopt;
      }
      p.options[a] = args[++i];
    } else {
      p.positional.push_back(a);
    }
  }
  return p;
}

// Loads a skin, reporting a failure the way the engine words it.
std::optional<Tsk2SkinFileReader> LoadSkin(const std::string& path, const std::string& password, std::ostream& err,
                                           int& status) {
  Tsk2SkinFileReader reader;
  try {
    reader.LoadFromArchive(PathOf(path), password);
  } catch (const EvexSkinError& e) {
    err << e.what() << "\n";
    status = std::string(e.what()) == kWrongPasswordMessage ? erWrongPassword : erUnreadable;
    return std::nullopt;
  }
  return reader;
}

int Extract(const TParsed& p, std::ostream&, std::ostream& err) {
  const fs::path archive = PathOf(p.positional[0]);
  const fs::path target = PathOf(p.positional[1]);
  const std::string member = p.options.count("--member") ? p.Option("--member") : std::string(kSkinMemberName);

  // Extract beside the target and move it into place only on success, so a failure neither leaves
  // a partial file nor destroys one that was there.
  fs::path part = target;
  part += ".part" + NewGuidString();
  const int rc = ExtractArchiveMember(archive, member, part, p.Option("--password"));
  if (rc != erExtracted) {
    err << (rc == erWrongPassword ? kWrongPasswordMessage : kFailedToReadMessage) << "\n";
    return rc;
  }
  std::error_code ec;
  fs::rename(part, target, ec);
  if (ec) {
    RemoveFileQuietly(part);
    err << "vsktool: cannot write " << p.positional[1] << ": " << ec.message() << "\n";
    return erUnreadable;
  }
  return 0;
}

int Info(const TParsed& p, std::ostream& out, std::ostream& err) {
  int status = 0;
  auto reader = LoadSkin(p.positional[0], p.Option("--password"), err, status);
  if (!reader) return status;
  out << "bitmaps " << reader->Bitmaps().size() << "\n"
      << "integers " << reader->Integers().size() << "\n"
      << "bytes " << reader->Bytes().size() << "\n"
      << "strings " << reader->Strings().size() << "\n";
  for (int i = 0; i < color::kCount; ++i)
    out << SkinKeyName(TSkinKeyGroup::Color, i) << " colour " << LookupColor(&*reader, i) << "\n";
  for (int i = 0; i < bitmap::kCount; ++i) {
    out << SkinKeyName(TSkinKeyGroup::Bitmap, i) << " bitmap ";
    if (const image::TvexImage* b = LookupBitmap(&*reader, i))
      out << b->Width() << "x" << b->Height() << "\n";
    else
      out << "absent\n";
  }
  for (int i = 0; i < position::kCount; ++i)
    out << SkinKeyName(TSkinKeyGroup::Position, i) << " position " << LookupPosition(&*reader, i) << "\n";
  for (int i = 0; i < switches::kCount; ++i) {
    const char* name = SkinKeyName(TSkinKeyGroup::Switch, i);
    out << name << " switch " << static_cast<int>(reader->GetByteByName(name)) << "\n";
  }
  // Then the records for a larger scale, each beside what its base record makes of that scale.
  for (const TScaledRecord& r : ScaledRecords(*reader)) {
    out << r.name;
    if (r.type == srtBitmap) {
      out << " bitmap " << r.size.width << "x" << r.size.height << " expected ";
      if (r.keyIndex < 0)
        out << "nothing (not a bitmap key)";
      else if (!r.hasBase)
        out << "nothing (no " << r.key << " record)";
      else
        out << r.expected.width << "x" << r.expected.height;
    } else if (r.type == srtInteger) {
      if (r.keyIndex < 0)
        out << " integer " << r.value << " (not a position key)";
      else if (!r.hasBase)
        out << " position " << r.value << " (no " << r.key << " record)";
      else
        out << " position " << r.value << " scaled base " << r.scaledBase;
    } else {
      if (r.type == srtByte)
        out << " byte " << r.value;
      else
        out << " string";
      out << " (not read at a scale)";
    }
    out << "\n";
  }
  return 0;
}

int Unpack(const TParsed& p, std::ostream& out, std::ostream& err) {
  int status = 0;
  auto reader = LoadSkin(p.positional[0], p.Option("--password"), err, status);
  if (!reader) return status;
  const fs::path dir = PathOf(p.positional[1]);
  std::error_code ec;
  if (fs::exists(dir, ec) && (!fs::is_directory(dir, ec) || !fs::is_empty(dir, ec))) {
    err << "vsktool: " << p.positional[1] << " exists and is not an empty folder\n";
    return erUnreadable;
  }
  // Everything is written into a fresh folder beside the target, which takes its name at the end.
  fs::path staging = dir;
  staging += ".part" + NewGuidString();
  try {
    fs::create_directory(staging);
    WriteSkinSource(*reader, staging);
    if (fs::exists(dir)) fs::remove(dir);
    fs::rename(staging, dir);
  } catch (const std::exception& e) {
    fs::remove_all(staging, ec);
    err << "vsktool: cannot write " << p.positional[1] << ": " << e.what() << "\n";
    return erUnreadable;
  }
  out << "unpacked " << reader->Bitmaps().size() << " bitmaps and " << reader->Records().size() - reader->Bitmaps().size()
      << " other records into " << p.positional[1] << "\n";
  return 0;
}

int Pack(const TParsed& p, std::ostream& out, std::ostream& err) {
  try {
    const TSkinFileWriter skin = ReadSkinSource(PathOf(p.positional[0]));
    TArchiveOptions options;
    options.password = p.Option("--password");
    const std::vector<std::uint8_t> file = skin.Build();
    // What goes out must load: read it back with the engine's reader before writing.
    Tsk2SkinFileReader check;
    check.LoadFromBytes(file.data(), file.size());
    WriteWholeFile(PathOf(p.positional[1]), WriteSkinArchive(file, options));
    out << "packed " << skin.Records().size() << " records into " << p.positional[1] << "\n";
    return 0;
  } catch (const ESourceError& e) {
    err << "vsktool: " << e.what() << "\n";
  } catch (const EvexSkinError& e) {
    err << "vsktool: the packed skin does not load: " << e.what() << "\n";
  } catch (const std::exception& e) {
    err << "vsktool: cannot write " << p.positional[1] << ": " << e.what() << "\n";
  }
  return erUnreadable;
}

int Verify(const TParsed& p, std::ostream& out, std::ostream& err) {
  int status = 0;
  auto reader = LoadSkin(p.positional[0], p.Option("--password"), err, status);
  if (!reader) return status;
  int errors = 0, warnings = 0;
  for (const TFinding& f : VerifySkin(*reader)) {
    out << (f.error ? "error: " : "warning: ") << f.key << ": " << f.message << "\n";
    (f.error ? errors : warnings)++;
  }
  out << errors << (errors == 1 ? " error, " : " errors, ") << warnings << (warnings == 1 ? " warning\n" : " warnings\n");
  return errors ? kExitSkinErrors : 0;
}

int Generate(const TParsed& p, std::ostream&, std::ostream&) {
  const TSkinTheme theme = p.Flag("--dark") ? TSkinTheme::Dark : TSkinTheme::Light;
  WriteWholeFile(PathOf(p.positional[0]), BuildBuiltInSkinArchive(theme, p.Option("--password")));
  return 0;
}

struct TCommand {
  const char* name;
  std::size_t positionals;
  std::vector<std::string> options;
  std::vector<std::string> flags;
  int (*run)(const TParsed&, std::ostream&, std::ostream&);
};

const TCommand kCommands[] = {
    {"info", 1, {"--password"}, {}, Info},      {"extract", 2, {"--member", "--password"}, {}, Extract},
    {"unpack", 2, {"--password"}, {}, Unpack},  {"pack", 2, {"--password"}, {}, Pack},
    {"verify", 1, {"--password"}, {}, Verify},  {"generate", 1, {"--password"}, {"--dark"}, Generate},
};

int Usage(std::ostream& err) {
  err << kUsage;
  return kExitUsage;
}

}  // namespace

int RunVskTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  try {
    if (args.empty()) return Usage(err);
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
      out << kUsage;
      return 0;
    }
    for (const TCommand& c : kCommands) {
      if (args[0] != c.name) continue;
      std::optional<TParsed> p = Parse(args, c.options, c.flags, err);
      if (!p) return Usage(err);
      if (p->help) {
        out << kUsage;
        return 0;
      }
      if (p->positional.size() != c.positionals) return Usage(err);
      return c.run(*p, out, err);
    }
    err << "vsktool: unknown command " << args[0] << "\n";
    return Usage(err);
  } catch (const std::exception& e) {
    err << "vsktool: " << e.what() << "\n";
    return 1;
  }
}

}  // namespace vex::tool
