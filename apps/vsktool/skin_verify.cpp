#include "skin_verify.h"

#include <cctype>
#include <map>

#include "skin2/skin_keys.h"

namespace vex::tool {
namespace {

using namespace vex::skin2;

// The index of a key in a group, compared as record names are (without case); -1 when absent.
int KeyIndex(TSkinKeyGroup group, const std::string& name) {
  for (int i = 0; i < GroupSize(group); ++i)
    if (SameSkinName(name, SkinKeyName(group, i))) return i;
  return -1;
}

bool IsTableKey(const std::string& name) {
  for (const char* key : kSkinKeys)
    if (SameSkinName(name, key)) return true;
  return false;
}

std::string SizeText(const image::TImageSize& s) { return std::to_string(s.width) + "x" + std::to_string(s.height); }

// Keys whose image the engine stretches over a bar (or only takes a colour from): a size off the
// scale's does not move anything.
bool StretchedKey(int bitmapIndex) { return bitmapIndex == bitmap::SKIN2_MENUBAR || bitmapIndex == bitmap::SKIN2_TOOLBAR; }

class TChecker {
 public:
  explicit TChecker(const Tsk2SkinFileReader& s) : s_(s) {}

  const image::TvexImage* Bitmap(int key) const { return LookupBitmap(&s_, key); }
  std::string Name(int bitmapKey) const { return kSkinKeys[kBitmapBase + bitmapKey]; }

  void Error(const std::string& key, const std::string& msg) { out_.push_back({true, key, msg}); }
  void Warn(const std::string& key, const std::string& msg) { out_.push_back({false, key, msg}); }

  void Required(int key, const std::string& why) {
    if (!Bitmap(key)) Error(Name(key), "missing; " + why);
  }
  void Optional(int key, const std::string& without) {
    if (!Bitmap(key)) Warn(Name(key), "absent; " + without);
  }
  void Slices(int key, int count, bool error) {
    const image::TvexImage* b = Bitmap(key);
    if (!b || b->Width() % count == 0) return;
    const std::string msg = "width " + std::to_string(b->Width()) + " is not a multiple of " + std::to_string(count) +
                            ": the " + std::to_string(b->Width() % count) + " rightmost columns are never shown";
    error ? Error(Name(key), msg) : Warn(Name(key), msg);
  }
  void RegionRows(int minKey, int maxKey, const image::TvexImage* b, const std::string& what) {
    for (int key : {minKey, maxKey}) {
      const std::int32_t row = LookupPosition(&s_, key);
      const std::string name = kSkinKeys[kPositionBase + key];
      if (!b) continue;
      if (row != -1 && (row < 0 || row >= b->Height()))
        Error(name, "row " + std::to_string(row) + " lies outside the " + what + " (rows 0 to " +
                        std::to_string(b->Height() - 1) + ")");
    }
  }

  std::vector<TFinding> Run() {
    if (LookupColor(&s_, color::SKIN2_TRANSCOLOR) == -1)
      Error(kSkinKeys[color::SKIN2_TRANSCOLOR], "missing; every bitmap needs the transparent colour");
    for (int i = 1; i < color::kCount; ++i)
      if (LookupColor(&s_, i) == -1 && i != color::SKIN2_TABCONTROLCOLOR && i != color::SKIN2_TABCONTROLBORDERCOLOR &&
          i != color::SKIN2_SIDECHANNELCOLOR && i != color::SKIN2_SIDECHANNELBORDERCOLOR)
        Warn(kSkinKeys[i], "absent; the engine paints with -1 (no valid colour)");

    const bool five = LookupSwitch(&s_, switches::SKIN2_TITLEFIVESECT);
    const bool threeBottom = LookupSwitch(&s_, switches::SKIN2_BOTTOMBORDERTHREESECT);
    const std::string frame = "the window frame cannot be painted without it";
    for (int key : {bitmap::SKIN2_TITLEBAR1, bitmap::SKIN2_TITLEBAR2, bitmap::SKIN2_TITLEBAR3,
                    bitmap::SKIN2_FORMLEFTBORDER, bitmap::SKIN2_FORMRIGHTBORDER, bitmap::SKIN2_FORMBOTTOMBORDER1,
                    bitmap::SKIN2_TITLEBUTTONS, bitmap::SKIN2_MINIMIZEDTITLE})
      Required(key, frame);
    if (five) {
      Required(bitmap::SKIN2_TITLEBAR4, "SKIN2_TITLEFIVESECT is on");
      Required(bitmap::SKIN2_TITLEBAR5, "SKIN2_TITLEFIVESECT is on");
    }
    if (threeBottom) {
      Required(bitmap::SKIN2_FORMBOTTOMBORDER2, "SKIN2_BOTTOMBORDERTHREESECT is on");
      Required(bitmap::SKIN2_FORMBOTTOMBORDER3, "SKIN2_BOTTOMBORDERTHREESECT is on");
    }

    if (const image::TvexImage* t1 = Bitmap(bitmap::SKIN2_TITLEBAR1)) {
      for (int key : {bitmap::SKIN2_TITLEBAR2, bitmap::SKIN2_TITLEBAR3, bitmap::SKIN2_TITLEBAR4,
                      bitmap::SKIN2_TITLEBAR5}) {
        if (!five && (key == bitmap::SKIN2_TITLEBAR4 || key == bitmap::SKIN2_TITLEBAR5)) continue;
        const image::TvexImage* t = Bitmap(key);
        if (t && t->Height() != t1->Height())
          Error(Name(key), "height " + std::to_string(t->Height()) + " differs from SKIN2_TITLEBAR1's " +
                               std::to_string(t1->Height()) + "; title sections must be equally tall");
      }
    }

    Slices(bitmap::SKIN2_TITLEBUTTONS, 18, true);
    Slices(bitmap::SKIN2_BUTTON, 3, true);
    Slices(bitmap::SKIN2_CHECKBOX, 6, true);
    Slices(bitmap::SKIN2_RADIOBUTTON, 4, true);
    Slices(bitmap::SKIN2_TABCONTROL, 2, true);
    Slices(bitmap::SKIN2_SCROLLBARUPBUTTON, 3, true);
    Slices(bitmap::SKIN2_SCROLLBARDOWNBUTTON, 3, true);
    Slices(bitmap::SKIN2_TRACKBAR, 3, false);
    if (const image::TvexImage* tab = Bitmap(bitmap::SKIN2_TABCONTROL); tab && (tab->Width() / 2) % 3)
      Warn(Name(bitmap::SKIN2_TABCONTROL), "slice width " + std::to_string(tab->Width() / 2) +
                                               " is not a multiple of 3: tab cells lose columns");

    if (LookupSwitch(&s_, switches::SKIN2_TITLEBARNEEDREGION))
      RegionRows(position::SKIN2_TITLEBARREGIONMINY, position::SKIN2_TITLEBARREGIONMAXY,
                 Bitmap(bitmap::SKIN2_TITLEBAR1), "title bitmap");
    if (LookupSwitch(&s_, switches::SKIN2_BOTTOMBORDERNEEDREGION))
      RegionRows(position::SKIN2_BOTTOMREGIONMINY, position::SKIN2_BOTTOMREGIONMAXY,
                 Bitmap(bitmap::SKIN2_FORMBOTTOMBORDER1), "bottom border bitmap");

    if (const image::TvexImage* t = Bitmap(bitmap::SKIN2_SCROLLBAR); t && t->Height() < 9)
      Warn(Name(bitmap::SKIN2_SCROLLBAR), "only " + std::to_string(t->Height()) +
                                              " rows tall: the thumb's middle pieces come out empty");

    Optional(bitmap::SKIN2_BUTTON, "push buttons show no skin image");
    Optional(bitmap::SKIN2_CHECKBOX, "check boxes show no skin image");
    Optional(bitmap::SKIN2_RADIOBUTTON, "radio buttons show no skin image");
    Optional(bitmap::SKIN2_SCROLLBAR, "scroll bars have no thumb");
    Optional(bitmap::SKIN2_TABCONTROL, "tabs are left unpainted");
    Optional(bitmap::SKIN2_CHECKEDMENUICON, "menus keep the program's own check mark");
    for (int key : {bitmap::SKIN2_SCROLLBARUPBUTTON, bitmap::SKIN2_SCROLLBARDOWNBUTTON, bitmap::SKIN2_TRACKBAR,
                    bitmap::SKIN2_TRACKBARSLIDER, bitmap::SKIN2_TRACKBARVSLIDER, bitmap::SKIN2_PROGRESSBAR1,
                    bitmap::SKIN2_PROGRESSBAR2, bitmap::SKIN2_PROGRESSBAR3, bitmap::SKIN2_PROGRESSBAR4})
      Optional(key, "that part of its control is left in the form colour");

    for (const TScaledRecord& r : ScaledRecords(s_)) Scaled(r);
    UnknownScales();

    // Names that repeat: only the first record is ever read.
    std::map<std::string, int> seen;
    auto count = [&](const std::string& kind, const std::string& name) {
      std::string folded;
      for (char c : name) folded += static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
      if (++seen[kind + ":" + folded] == 2) Warn(name, "appears more than once as " + kind + "; only the first counts");
    };
    for (const auto& b : s_.Bitmaps()) count("bitmap", b.name);
    for (const auto& i : s_.Integers()) count("integer", i.name);
    for (const auto& b : s_.Bytes()) count("byte", b.name);
    return out_;
  }

 private:
  void Scaled(const TScaledRecord& r) {
    const std::string at = " at " + std::to_string(r.percent) + " %";
    if (r.type == srtByte || r.type == srtString) {
      Warn(r.name, std::string("the engine reads no ") + (r.type == srtByte ? "byte" : "string") +
                       " records for a scale (switches hold at every scale): this record is ignored");
      return;
    }
    const bool bitmapRecord = r.type == srtBitmap;
    if (r.keyIndex < 0) {
      Error(r.name, r.key + (bitmapRecord ? " is not a bitmap key" : " is not a position key") +
                        ": the engine never reads this record" +
                        (bitmapRecord ? "" : " (only positions have values for a scale)"));
      return;
    }
    if (!r.hasBase) {
      Error(r.name, "no " + r.key + " record: " +
                        (bitmapRecord ? "the part is missing at 96 DPI, and nothing gives the size this one" + at +
                                            " must have"
                                      : std::string("the position is missing at 96 DPI (the engine reads -1 there)")));
      return;
    }
    if (!bitmapRecord) return;
    if (r.size.width % r.slices != 0)
      Error(r.name, "width " + std::to_string(r.size.width) + " does not divide into the key's " +
                        std::to_string(r.slices) + " states: the engine cuts them at the wrong columns");
    if (r.size != r.expected) {
      // The states' size, where they are all alike.
      std::string states;
      if (r.slices > 1 && r.expected.width % r.slices == 0)
        states = " (" + std::to_string(r.slices) + " states of " +
                 SizeText({r.expected.width / r.slices, r.expected.height}) + ")";
      const std::string msg = "size " + SizeText(r.size) + " differs from the " + SizeText(r.expected) + " that " +
                              r.key + " gives" + at + states;
      if (StretchedKey(r.keyIndex))
        Warn(r.name, msg + "; the engine stretches it over the bar (or takes a colour from it), so nothing moves, "
                           "but it looks coarser or finer than the rest of the window");
      else
        Error(r.name, msg + "; the engine lays out frames and controls by this record's size, so parts would be "
                            "misplaced or cut");
    }
  }

  // A key with a suffix the engine does not know ("SKIN2_BUTTON@125"), most likely meant as one.
  void UnknownScales() {
    auto check = [this](const std::string& name) {
      const std::size_t at = name.rfind('@');
      if (at == std::string::npos || at + 1 == name.size() || ScaledRecordPercent(name) != 0) return;
      for (std::size_t i = at + 1; i < name.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) return;
      if (!IsTableKey(name.substr(0, at))) return;
      std::string scales;
      for (const int percent : kScalePercents) scales += (scales.empty() ? "@" : " and @") + std::to_string(percent);
      Warn(name, "@" + name.substr(at + 1) + " is not a scale the engine reads (" + scales +
                     " are): this record is ignored");
    };
    for (const auto& b : s_.Bitmaps()) check(b.name);
    for (const auto& i : s_.Integers()) check(i.name);
  }

  const Tsk2SkinFileReader& s_;
  std::vector<TFinding> out_;
};

}  // namespace

std::vector<TFinding> VerifySkin(const Tsk2SkinFileReader& skin) { return TChecker(skin).Run(); }

std::vector<TScaledRecord> ScaledRecords(const Tsk2SkinFileReader& skin) {
  std::vector<TScaledRecord> out;
  for (const Tsk2SkinFileReader::TRecordRef& ref : skin.Records()) {
    TScaledRecord r;
    r.type = ref.type;
    switch (ref.type) {
      case srtBitmap: r.name = skin.Bitmaps()[ref.index].name; break;
      case srtInteger: r.name = skin.Integers()[ref.index].name; break;
      case srtByte: r.name = skin.Bytes()[ref.index].name; break;
      default: r.name = skin.Strings()[ref.index].name; break;
    }
    r.percent = ScaledRecordPercent(r.name, &r.key);
    if (!r.percent) continue;
    r.dpi = r.percent * 96 / 100;
    if (ref.type == srtBitmap) {
      const image::TvexImage& img = *skin.Bitmaps()[ref.index].value;
      r.size = {img.Width(), img.Height()};
      r.keyIndex = KeyIndex(TSkinKeyGroup::Bitmap, r.key);
      if (r.keyIndex >= 0) {
        r.slices = BitmapSliceCount(r.keyIndex);
        if (const image::TvexImage* base = skin.GetBitmapByName(r.key)) {
          r.hasBase = true;
          r.expected = image::ScaledSlicesSize(base->Width(), base->Height(), r.slices, r.dpi, 96);
        }
      }
    } else if (ref.type == srtByte) {
      r.value = skin.Bytes()[ref.index].value;
    } else if (ref.type == srtInteger) {
      r.value = skin.Integers()[ref.index].value;
      r.keyIndex = KeyIndex(TSkinKeyGroup::Position, r.key);
      if (r.keyIndex >= 0)
        for (const auto& i : skin.Integers())
          if (SameSkinName(i.name, r.key)) {
            r.hasBase = true;
            r.scaledBase = ScaleLength(i.value, r.dpi);
            break;
          }
    }
    out.push_back(std::move(r));
  }
  return out;
}

}  // namespace vex::tool
