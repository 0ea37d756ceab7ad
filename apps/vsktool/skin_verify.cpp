#include "skin_verify.h"

#include <map>

#include "skin2/skin_keys.h"

namespace vex::tool {
namespace {

using namespace vex::skin2;

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

    if (const image::TvexImage* b = Bitmap(bitmap::SKIN2_BUTTON)) {
      // An even height leaves the stretched left and right edges no source row.
      const int h = b->Height();
      if (h % 2 == 0)
        Warn(Name(bitmap::SKIN2_BUTTON), "height " + std::to_string(h) +
                                             " is even: nine-section painting wants an odd height");
    }

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
  const Tsk2SkinFileReader& s_;
  std::vector<TFinding> out_;
};

}  // namespace

std::vector<TFinding> VerifySkin(const Tsk2SkinFileReader& skin) { return TChecker(skin).Run(); }

}  // namespace vex::tool
