#include "skin_source.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <sstream>

#include "image/bmp_codec.h"
#include "skin2/byte_io.h"
#include "skin2/skin_keys.h"

namespace vex::tool {
namespace {

namespace fs = std::filesystem;
using skin2::Tsk2SkinFileReader;
using skin2::TSkinFileWriter;

// Characters that stand bare in skin.ini and in file names. '@' is one: records for a larger scale
// are named "KEY@150".
bool PlainChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '-' || c == '@';
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool IsColourKey(const std::string& name) {
  for (int i = 0; i < skin2::color::kCount; ++i)
    if (skin2::SameSkinName(name, skin2::kSkinKeys[skin2::kColorBase + i])) return true;
  return false;
}

const char* KindName(std::uint8_t type) {
  switch (type) {
    case skin2::srtBitmap: return "bitmap";
    case skin2::srtInteger: return "integer";
    case skin2::srtByte: return "byte";
    default: return "string";
  }
}

// One line of skin.ini being parsed; errors name the file and line.
class TLine {
 public:
  TLine(const fs::path& file, int number, std::string text) : file_(file), number_(number), text_(std::move(text)) {}

  [[noreturn]] void Fail(const std::string& what) const {
    throw ESourceError(file_.u8string() + ":" + std::to_string(number_) + ": " + what);
  }

  void SkipSpace() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
  }
  bool AtEnd() {
    SkipSpace();
    return pos_ >= text_.size() || text_[pos_] == ';';
  }
  bool Peek(char c) {
    SkipSpace();
    return pos_ < text_.size() && text_[pos_] == c;
  }
  void Expect(char c) {
    if (!Peek(c)) Fail(std::string("expected '") + c + "'");
    ++pos_;
  }

  // A bare word of plain characters, or a quoted text with escapes.
  std::string Text() {
    SkipSpace();
    if (pos_ < text_.size() && text_[pos_] == '"') return Quoted();
    std::string word;
    while (pos_ < text_.size() && PlainChar(text_[pos_])) word += text_[pos_++];
    if (word.empty()) Fail("expected a name or a quoted text");
    return word;
  }

  // The rest of the value up to a comment, without surrounding blanks.
  std::string Value() {
    SkipSpace();
    const std::size_t start = pos_;
    while (pos_ < text_.size() && text_[pos_] != ';') ++pos_;
    std::string v = text_.substr(start, pos_ - start);
    while (!v.empty() && (v.back() == ' ' || v.back() == '\t')) v.pop_back();
    if (v.empty()) Fail("missing value");
    return v;
  }

  void End() {
    if (!AtEnd()) Fail("unexpected text after the value");
  }

 private:
  std::string Quoted() {
    ++pos_;
    std::string out;
    for (;;) {
      if (pos_ >= text_.size()) Fail("unterminated quoted text");
      char c = text_[pos_++];
      if (c == '"') return out;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (pos_ >= text_.size()) Fail("unterminated escape");
      char e = text_[pos_++];
      switch (e) {
        case '\\': out += '\\'; break;
        case '"': out += '"'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'x': {
          if (pos_ + 2 > text_.size() || !std::isxdigit(static_cast<unsigned char>(text_[pos_])) ||
              !std::isxdigit(static_cast<unsigned char>(text_[pos_ + 1])))
            Fail("\\x needs two hex digits");
          out += static_cast<char>(std::stoi(text_.substr(pos_, 2), nullptr, 16));
          pos_ += 2;
          break;
        }
        default: Fail(std::string("unknown escape \\") + e);
      }
    }
  }

  const fs::path& file_;
  int number_;
  std::string text_;
  std::size_t pos_ = 0;
};

std::int64_t ParseNumber(TLine& line, const std::string& v, std::int64_t lo, std::int64_t hi) {
  std::int64_t n = 0;
  std::size_t used = 0;
  if (!v.empty() && v[0] == '#') {
    if (v.size() != 7) line.Fail("bad colour " + v);
    for (std::size_t i = 1; i < 7; ++i)
      if (!std::isxdigit(static_cast<unsigned char>(v[i]))) line.Fail("bad colour " + v);
  }
  try {
    if (v[0] == '#') {
      const long rgb = std::stol(v.substr(1), nullptr, 16);
      // #RRGGBB is stored the way colours are: 0x00BBGGRR.
      n = ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
      used = v.size();
    } else if (v.size() > 2 && (v.compare(0, 2, "0x") == 0 || v.compare(0, 2, "0X") == 0)) {
      n = std::stoll(v.substr(2), &used, 16);
      used += 2;
    } else {
      n = std::stoll(v, &used, 10);
    }
  } catch (const std::exception&) {
    line.Fail("not a number: " + v);
  }
  if (used != v.size()) line.Fail("not a number: " + v);
  if (n < lo || n > hi) line.Fail("out of range: " + v);
  return n;
}

std::uint8_t KindOf(TLine& line, const std::string& word) {
  if (word == "bitmap") return skin2::srtBitmap;
  if (word == "integer") return skin2::srtInteger;
  if (word == "byte") return skin2::srtByte;
  if (word == "string") return skin2::srtString;
  line.Fail("unknown record kind " + word);
}

}  // namespace

std::string QuoteIniText(const std::string& text) {
  if (!text.empty() && std::all_of(text.begin(), text.end(), PlainChar)) return text;
  return QuoteIniString(text);
}

std::string QuoteIniString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20 || c >= 0x7F) {
          char buf[5];
          std::snprintf(buf, sizeof buf, "\\x%02X", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

std::string BitmapFileName(const std::string& record, std::vector<std::string>& taken) {
  std::string stem;
  for (unsigned char c : record) {
    if (PlainChar(static_cast<char>(c)) && c != '.') {
      stem += static_cast<char>(c);
    } else {
      char buf[4];
      std::snprintf(buf, sizeof buf, "%%%02X", c);
      stem += buf;
    }
  }
  if (stem.empty()) stem = "%";
  // Device names stay reserved on Windows whatever the extension.
  static const char* kReserved[] = {"con", "prn", "aux", "nul", "com1", "com2", "com3", "com4", "com5", "com6",
                                    "com7", "com8", "com9", "lpt1", "lpt2", "lpt3", "lpt4", "lpt5", "lpt6", "lpt7",
                                    "lpt8", "lpt9"};
  for (const char* r : kReserved)
    if (Lower(stem) == r) stem = "_" + stem;
  std::string name = stem + ".bmp";
  for (int n = 2; std::find(taken.begin(), taken.end(), Lower(name)) != taken.end(); ++n)
    name = stem + "~" + std::to_string(n) + ".bmp";
  taken.push_back(Lower(name));
  return name;
}

void WriteSkinSource(const Tsk2SkinFileReader& skin, const fs::path& dir) {
  std::ostringstream ini;
  ini << "; A skin unpacked by vsktool. Edit it, then build the skin with: vsktool pack FOLDER OUT.vsk\n"
         "; Records keep their order within each section; [order] gives the order across them.\n"
         "; Colour keys read #RRGGBB; integers may also be decimal or 0x hexadecimal.\n";

  ini << "\n[bitmaps]\n";
  std::vector<std::string> taken;
  for (const auto& b : skin.Bitmaps()) {
    const std::string file = BitmapFileName(b.name, taken);
    skin2::WriteWholeFile(dir / file, image::EncodeBmp24(*b.value));
    ini << QuoteIniText(b.name) << " = " << QuoteIniText(file) << " ; " << b.value->Width() << "x"
        << b.value->Height() << "\n";
  }
  ini << "\n[integers]\n";
  for (const auto& i : skin.Integers()) {
    ini << QuoteIniText(i.name) << " = ";
    const auto v = static_cast<std::uint32_t>(i.value);
    if (IsColourKey(i.name) && v <= 0xFFFFFFu) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "#%02X%02X%02X", v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
      ini << buf << " ; " << i.value << "\n";
    } else {
      ini << i.value << "\n";
    }
  }
  ini << "\n[bytes]\n";
  for (const auto& b : skin.Bytes()) ini << QuoteIniText(b.name) << " = " << static_cast<int>(b.value) << "\n";
  ini << "\n[strings]\n";
  for (const auto& s : skin.Strings()) ini << QuoteIniText(s.name) << " = " << QuoteIniString(s.value) << "\n";

  ini << "\n[order]\n";
  for (const auto& r : skin.Records()) {
    std::string name;
    switch (r.type) {
      case skin2::srtBitmap: name = skin.Bitmaps()[r.index].name; break;
      case skin2::srtInteger: name = skin.Integers()[r.index].name; break;
      case skin2::srtByte: name = skin.Bytes()[r.index].name; break;
      default: name = skin.Strings()[r.index].name; break;
    }
    ini << KindName(r.type) << " " << QuoteIniText(name) << "\n";
  }
  const std::string text = ini.str();
  skin2::WriteWholeFile(dir / kSkinIniName, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

TSkinFileWriter ReadSkinSource(const fs::path& dir) {
  const fs::path iniPath = dir / kSkinIniName;
  std::vector<std::uint8_t> raw;
  try {
    raw = skin2::ReadWholeFile(iniPath);
  } catch (const std::exception&) {
    throw ESourceError("cannot read " + iniPath.u8string());
  }

  struct TPending {
    std::string name;
    std::uint8_t type;
    std::vector<std::uint8_t> data;
  };
  std::vector<TPending> records;  // in section order
  std::vector<std::pair<std::uint8_t, std::string>> order;
  std::string section;
  std::istringstream in(std::string(raw.begin(), raw.end()));
  int number = 0;
  for (std::string text; std::getline(in, text);) {
    ++number;
    if (!text.empty() && text.back() == '\r') text.pop_back();
    TLine line(iniPath, number, text);
    if (line.AtEnd()) continue;
    if (line.Peek('[')) {
      line.Expect('[');
      section = line.Text();
      line.Expect(']');
      line.End();
      if (section != "bitmaps" && section != "integers" && section != "bytes" && section != "strings" &&
          section != "order")
        line.Fail("unknown section [" + section + "]");
      continue;
    }
    if (section.empty()) line.Fail("a value before the first section");
    if (section == "order") {
      const std::uint8_t kind = KindOf(line, line.Text());
      const std::string name = line.Text();
      line.End();
      order.emplace_back(kind, name);
      continue;
    }
    const std::string name = line.Text();
    if (name.size() >= skin2::kSkinRecordNameSize) line.Fail("record name longer than 63 bytes");
    line.Expect('=');
    TPending rec{name, 0, {}};
    if (section == "bitmaps") {
      const std::string file = line.Text();
      line.End();
      const fs::path bmpPath = dir / fs::u8path(file);
      try {
        rec.data = skin2::ReadWholeFile(bmpPath);
      } catch (const std::exception&) {
        line.Fail("cannot read " + bmpPath.u8string());
      }
      try {
        // A bitmap the engine would refuse is refused here, with its file named.
        image::DecodeBmp(rec.data, skin2::kMaxSkinBitmapPixels);
      } catch (const image::EBmpError& e) {
        line.Fail(bmpPath.u8string() + ": " + e.what());
      }
      rec.type = skin2::srtBitmap;
    } else if (section == "integers") {
      const auto v = static_cast<std::int32_t>(ParseNumber(line, line.Value(), INT32_MIN, INT32_MAX));
      line.End();
      rec.type = skin2::srtInteger;
      rec.data.resize(4);
      skin2::StoreLE32(rec.data.data(), static_cast<std::uint32_t>(v));
    } else if (section == "bytes") {
      const auto v = static_cast<std::uint8_t>(ParseNumber(line, line.Value(), 0, 255));
      line.End();
      rec.type = skin2::srtByte;
      rec.data = {v};
    } else {
      if (!line.Peek('"')) line.Fail("strings are quoted");
      const std::string v = line.Text();
      line.End();
      rec.type = skin2::srtString;
      rec.data.assign(v.begin(), v.end());
    }
    records.push_back(std::move(rec));
  }

  // Lay the records out in [order]; the n-th mention of a kind and name takes the n-th record of
  // that kind and name, and records it does not mention follow in section order.
  TSkinFileWriter writer;
  std::vector<bool> used(records.size(), false);
  for (const auto& [kind, name] : order) {
    auto it = std::find_if(records.begin(), records.end(), [&, k = kind, &n = name](const TPending& r) {
      return !used[static_cast<std::size_t>(&r - records.data())] && r.type == k && r.name == n;
    });
    if (it == records.end())
      throw ESourceError(iniPath.u8string() + ": [order] names " + KindName(kind) + " " + name +
                         ", which no section defines");
    used[static_cast<std::size_t>(it - records.begin())] = true;
    writer.AddRaw(it->name, it->type, it->data);
  }
  for (std::size_t i = 0; i < records.size(); ++i)
    if (!used[i]) writer.AddRaw(records[i].name, records[i].type, records[i].data);
  return writer;
}

}  // namespace vex::tool
