// The 84 skin keys and their four groups.
#pragma once

#include <cstdint>
#include <string>

namespace vex::image {
class TvexImage;
}

namespace vex::skin2 {

class Tsk2SkinFileReader;

#define VEX_SKIN_COLOR_KEYS(X)                                                                   \
  X(SKIN2_TRANSCOLOR) X(SKIN2_TITLEFONTCOLOR) X(SKIN2_FORMCOLOR) X(SKIN2_MENUBARSTARTCOLOR)     \
  X(SKIN2_MENUBARENDCOLOR) X(SKIN2_TOPSELECTEDMENUCOLOR) X(SKIN2_TOPSELECTEDMENUBORDERCOLOR)    \
  X(SKIN2_TOPSELECTEDMENUFONTCOLOR) X(SKIN2_TOPMENUFONTCOLOR) X(SKIN2_LEFTBARSTARTCOLOR)        \
  X(SKIN2_LEFTBARENDCOLOR) X(SKIN2_MENUITEMCOLOR) X(SKIN2_MENUITEMFONTCOLOR)                    \
  X(SKIN2_SELECTEDMENUCOLOR) X(SKIN2_SELECTEDMENUBORDERCOLOR) X(SKIN2_SELECTEDMENUFONTCOLOR)    \
  X(SKIN2_TOOLBARSTARTCOLOR) X(SKIN2_TOOLBARENDCOLOR) X(SKIN2_TOOLBARONCOLOR)                   \
  X(SKIN2_TOOLBARBORDERCOLOR) X(SKIN2_TOOLBARDOWNCOLOR) X(SKIN2_CONTROLCOLOR)                   \
  X(SKIN2_CONTROLBORDERCOLOR) X(SKIN2_CONTROLFONTCOLOR) X(SKIN2_BUTTONFONTCOLOR)                \
  X(SKIN2_SCROLLBARCOLOR) X(SKIN2_TABCONTROLCOLOR) X(SKIN2_TABCONTROLBORDERCOLOR)               \
  X(SKIN2_TABCONTROLACTIVEFONTCOLOR) X(SKIN2_TABCONTROLINACTIVEFONTCOLOR)                       \
  X(SKIN2_SIDECHANNELCOLOR) X(SKIN2_SIDECHANNELBORDERCOLOR)

#define VEX_SKIN_BITMAP_KEYS(X)                                                                  \
  X(SKIN2_TITLEBAR1) X(SKIN2_TITLEBAR2) X(SKIN2_TITLEBAR3) X(SKIN2_TITLEBAR4) X(SKIN2_TITLEBAR5) \
  X(SKIN2_FORMLEFTBORDER) X(SKIN2_FORMRIGHTBORDER) X(SKIN2_FORMBOTTOMBORDER1)                   \
  X(SKIN2_FORMBOTTOMBORDER2) X(SKIN2_FORMBOTTOMBORDER3) X(SKIN2_MINIMIZEDTITLE)                 \
  X(SKIN2_TITLEBUTTONS) X(SKIN2_CHECKEDMENUICON) X(SKIN2_MENUBAR) X(SKIN2_TOOLBAR)              \
  X(SKIN2_BUTTON) X(SKIN2_CHECKBOX) X(SKIN2_CHECKBOXLIST) X(SKIN2_RADIOBUTTON)                  \
  X(SKIN2_PROGRESSBAR1) X(SKIN2_PROGRESSBAR2) X(SKIN2_PROGRESSBAR3) X(SKIN2_PROGRESSBAR4)       \
  X(SKIN2_TRACKBAR) X(SKIN2_TRACKBARSLIDER) X(SKIN2_TRACKBARVSLIDER)                            \
  X(SKIN2_SCROLLBARUPBUTTON) X(SKIN2_SCROLLBAR) X(SKIN2_SCROLLBARDOWNBUTTON)                    \
  X(SKIN2_TABCONTROL) X(SKIN2_TABCONTROLLINE) X(SKIN2_SIDECHANNELBAR)                           \
  X(SKIN2_SIDECHANNELTITLE) X(SKIN2_SCROLLBUTTON)

#define VEX_SKIN_POSITION_KEYS(X)                                                                \
  X(SKIN2_TITLEBARICONPOSX) X(SKIN2_TITLEBARICONPOSY) X(SKIN2_TITLEBARCAPTIONTOP)               \
  X(SKIN2_TITLEBARBUTTONPOSX) X(SKIN2_TITLEBARBUTTONPOSY) X(SKIN2_TITLEBARREGIONMINY)           \
  X(SKIN2_TITLEBARREGIONMAXY) X(SKIN2_BOTTOMREGIONMINY) X(SKIN2_BOTTOMREGIONMAXY)

#define VEX_SKIN_SWITCH_KEYS(X)                                                                  \
  X(SKIN2_TITLEFIVESECT) X(SKIN2_BOTTOMBORDERTHREESECT) X(SKIN2_TITLEBARNEEDREGION)             \
  X(SKIN2_BOTTOMBORDERNEEDREGION) X(SKIN2_TITLEBTNTRANS) X(SKIN2_BUTTONTRANS)                   \
  X(SKIN2_CHECKBOXTRANS) X(SKIN2_RADIOBUTTONTRANS) X(SKIN2_TABCONTROLTRANS)

#define VEX_SKIN_ENUMERATOR(name) name,

// Indexes within each group: pass them to the group lookups.
namespace color {
enum TColorKey : int { VEX_SKIN_COLOR_KEYS(VEX_SKIN_ENUMERATOR) kCount };
}
namespace bitmap {
enum TBitmapKey : int { VEX_SKIN_BITMAP_KEYS(VEX_SKIN_ENUMERATOR) kCount };
}
namespace position {
enum TPositionKey : int { VEX_SKIN_POSITION_KEYS(VEX_SKIN_ENUMERATOR) kCount };
}
namespace switches {
enum TSwitchKey : int { VEX_SKIN_SWITCH_KEYS(VEX_SKIN_ENUMERATOR) kCount };
}

#undef VEX_SKIN_ENUMERATOR

enum class TSkinKeyGroup { Color, Bitmap, Position, Switch };

inline constexpr int kSkinKeyCount = 84;
inline constexpr int kColorBase = 0;
inline constexpr int kBitmapBase = 32;
inline constexpr int kPositionBase = 66;
inline constexpr int kSwitchBase = 75;

// The fixed table of key names, colour keys first, then bitmaps, positions and switches.
extern const char* const kSkinKeys[kSkinKeyCount];

// The key a group lookup reads: the index is reduced modulo 128 and added to the group's base.
// Returns nullptr when that lands outside the table.
const char* SkinKeyName(TSkinKeyGroup group, int index);
int GroupBase(TSkinKeyGroup group);
int GroupSize(TSkinKeyGroup group);

// Group lookups with their defaults (-1, none, -1, off) when the key is absent or reader is null.
std::int32_t LookupColor(const Tsk2SkinFileReader* reader, int index);
const image::TvexImage* LookupBitmap(const Tsk2SkinFileReader* reader, int index);
std::int32_t LookupPosition(const Tsk2SkinFileReader* reader, int index);
bool LookupSwitch(const Tsk2SkinFileReader* reader, int index);

}  // namespace vex::skin2

namespace vex::skin2 {

// Images for a larger display scale travel as extra records named after their key with the
// scale's suffix ("SKIN2_BUTTON@200"): readers that do not know them load them under a name no
// key asks for and never read them. An integer record may carry a position key's value at a scale
// the same way ("SKIN2_TITLEBARCAPTIONTOP@150").
inline constexpr int kScalePercents[] = {150, 200};
// 150 for 144 dots per inch, 200 for 192; 0 for every other resolution (no records exist for it).
int ScalePercentForDpi(int dpi);
// "KEY@150"; percent must be one of kScalePercents.
std::string ScaledRecordName(const std::string& key, int percent);
// The percent of a scaled record's name, its key's name in `key`; 0 when the name has no known
// scale suffix.
int ScaledRecordPercent(const std::string& name, std::string* key = nullptr);
// How many equal-width state images lie side by side in a bitmap key's bitmap (title buttons 18,
// push buttons 3, ...): a scaled image is scaled one state at a time so the states stay apart.
int BitmapSliceCount(int bitmapIndex);
// A length of the skin at 96 dots per inch at `dpi`, rounded to the nearest pixel.
inline int ScaleLength(int length, int dpi) {
  const long long v = static_cast<long long>(length) * dpi;
  return static_cast<int>(v >= 0 ? (v + 48) / 96 : -((-v + 48) / 96));
}

}  // namespace vex::skin2
