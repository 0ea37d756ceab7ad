#include "vsktool.h"

#include <filesystem>
#include <map>
#include <optional>
#include <system_error>

#include "skin2/archive_reader.h"
#include "skin2/default_skin.h"
#include "skin2/byte_io.h"
#include "skin2/skin_file_reader.h"
#include "skin2/skin_keys.h"
#include "skin2/temp_platform.h"

namespace vex::tool {
namespace {

namespace fs = std::filesystem;
using namespace vex::skin2;

const char kUsage[] =
    "usage: vsktool COMMAND [ARGUMENTS]\n"
    "commands:\n"
    "  extract ARCHIVE OUTFILE [--member NAME] [--password PW]\n"
    "      write one member of a skin archive (default SKINDATA.SK2) to OUTFILE\n"
    "  info ARCHIVE [--password PW]\n"
    "      load the skin and list its record counts and every skin key\n"
    "  generate OUT.vsk [--password PW]\n"
    "      write the default skin\n"
    "  --help\n"
    "      show this text\n"
    "exit status: 0 done, 1 unreadable skin, 2 wrong password, 64 bad arguments\n";

fs::path PathOf(const std::string& utf8) { return fs::u8path(utf8); }

struct TParsed {
  std::vector<std::string> positional;
  std::map<std::string, std::string> options;
  bool help = false;
};

// Splits arguments into positionals and the options a command allows (each takes a value).
std::optional<TParsed> Parse(const std::vector<std::string>& args, std::size_t from,
                             const std::vector<std::string>& allowed, std::ostream& err) {
  TParsed p;
  for (std::size_t i = from; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      p.help = true;
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

int Usage(std::ostream& err) {
  err << kUsage;
  return kExitUsage;
}

int Extract(const TParsed& p, std::ostream& out, std::ostream& err) {
  if (p.positional.size() != 2) return Usage(err);
  const fs::path archive = PathOf(p.positional[0]);
  const fs::path target = PathOf(p.positional[1]);
  const auto member = p.options.count("--member") ? p.options.at("--member") : std::string(kSkinMemberName);
  const auto password = p.options.count("--password") ? p.options.at("--password") : std::string();

  // Extract beside the target and move it into place only on success, so a failure neither leaves
  // a partial file nor destroys one that was there.
  fs::path part = target;
  part += ".part" + NewGuidString();
  const int rc = ExtractArchiveMember(archive, member, part, password);
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
  if (p.positional.size() != 1) return Usage(err);
  const auto password = p.options.count("--password") ? p.options.at("--password") : std::string();
  Tsk2SkinFileReader reader;
  try {
    reader.LoadFromArchive(PathOf(p.positional[0]), password);
  } catch (const EvexSkinError& e) {
    err << e.what() << "\n";
    return std::string(e.what()) == kWrongPasswordMessage ? erWrongPassword : erUnreadable;
  }
  out << "bitmaps " << reader.Bitmaps().size() << "\n"
      << "integers " << reader.Integers().size() << "\n"
      << "bytes " << reader.Bytes().size() << "\n"
      << "strings " << reader.Strings().size() << "\n";
  for (int i = 0; i < color::kCount; ++i)
    out << SkinKeyName(TSkinKeyGroup::Color, i) << " colour " << LookupColor(&reader, i) << "\n";
  for (int i = 0; i < bitmap::kCount; ++i) {
    out << SkinKeyName(TSkinKeyGroup::Bitmap, i) << " bitmap ";
    if (const image::TvexImage* b = LookupBitmap(&reader, i))
      out << b->Width() << "x" << b->Height() << "\n";
    else
      out << "absent\n";
  }
  for (int i = 0; i < position::kCount; ++i)
    out << SkinKeyName(TSkinKeyGroup::Position, i) << " position " << LookupPosition(&reader, i) << "\n";
  for (int i = 0; i < switches::kCount; ++i) {
    const char* name = SkinKeyName(TSkinKeyGroup::Switch, i);
    out << name << " switch " << static_cast<int>(reader.GetByteByName(name)) << "\n";
  }
  return 0;
}

int Generate(const TParsed& p, std::ostream& out, std::ostream& err) {
  if (p.positional.size() != 1) return Usage(err);
  const auto password = p.options.count("--password") ? p.options.at("--password") : std::string();
  WriteWholeFile(PathOf(p.positional[0]), BuildDefaultSkinArchive(password));
  return 0;
}

}  // namespace

int RunVskTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  try {
    if (args.empty()) return Usage(err);
    const std::string& cmd = args[0];
    if (cmd == "--help" || cmd == "-h" || cmd == "help") {
      out << kUsage;
      return 0;
    }
    std::optional<TParsed> p;
    if (cmd == "extract") {
      p = Parse(args, 1, {"--member", "--password"}, err);
    } else if (cmd == "info" || cmd == "generate") {
      p = Parse(args, 1, {"--password"}, err);
    } else {
      err << "vsktool: unknown command " << cmd << "\n";
      return Usage(err);
    }
    if (!p) return Usage(err);
    if (p->help) {
      out << kUsage;
      return 0;
    }
    if (cmd == "extract") return Extract(*p, out, err);
    if (cmd == "generate") return Generate(*p, out, err);
    return Info(*p, out, err);
  } catch (const std::exception& e) {
    err << "vsktool: " << e.what() << "\n";
    return 1;
  }
}

}  // namespace vex::tool
