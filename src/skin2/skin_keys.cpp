#include "skin2/skin_keys.h"

#include "skin2/skin_file_reader.h"

namespace vex::skin2 {

#define VEX_SKIN_KEY_NAME(name) #name,
const char* const kSkinKeys[kSkinKeyCount] = {
    VEX_SKIN_COLOR_KEYS(VEX_SKIN_KEY_NAME) VEX_SKIN_BITMAP_KEYS(VEX_SKIN_KEY_NAME)
        VEX_SKIN_POSITION_KEYS(VEX_SKIN_KEY_NAME) VEX_SKIN_SWITCH_KEYS(VEX_SKIN_KEY_NAME)};
#undef VEX_SKIN_KEY_NAME

static_assert(color::kCount == 32 && bitmap::kCount == 34 && position::kCount == 9 && switches::kCount == 9,
              "the key table has 84 names in four groups");

int GroupBase(TSkinKeyGroup group) {
  switch (group) {
    case TSkinKeyGroup::Color: return kColorBase;
    case TSkinKeyGroup::Bitmap: return kBitmapBase;
    case TSkinKeyGroup::Position: return kPositionBase;
    case TSkinKeyGroup::Switch: return kSwitchBase;
  }
  return 0;
}

int GroupSize(TSkinKeyGroup group) {
  switch (group) {
    case TSkinKeyGroup::Color: return color::kCount;
    case TSkinKeyGroup::Bitmap: return bitmap::kCount;
    case TSkinKeyGroup::Position: return position::kCount;
    case TSkinKeyGroup::Switch: return switches::kCount;
  }
  return 0;
}

const char* SkinKeyName(TSkinKeyGroup group, int index) {
  const int k = GroupBase(group) + index % 128;
  return k >= 0 && k < kSkinKeyCount ? kSkinKeys[k] : nullptr;
}

std::int32_t LookupColor(const Tsk2SkinFileReader* reader, int index) {
  const char* name = SkinKeyName(TSkinKeyGroup::Color, index);
  return reader && name ? reader->GetIntegerByName(name) : -1;
}

const image::TvexImage* LookupBitmap(const Tsk2SkinFileReader* reader, int index) {
  const char* name = SkinKeyName(TSkinKeyGroup::Bitmap, index);
  return reader && name ? reader->GetBitmapByName(name) : nullptr;
}

std::int32_t LookupPosition(const Tsk2SkinFileReader* reader, int index) {
  const char* name = SkinKeyName(TSkinKeyGroup::Position, index);
  return reader && name ? reader->GetIntegerByName(name) : -1;
}

bool LookupSwitch(const Tsk2SkinFileReader* reader, int index) {
  const char* name = SkinKeyName(TSkinKeyGroup::Switch, index);
  return reader && name && reader->GetByteByName(name) != 0;
}

int ScalePercentForDpi(int dpi) {
  switch (dpi) {
    case 144: return 150;
    case 192: return 200;
    default: return 0;
  }
}

std::string ScaledRecordName(const std::string& key, int percent) { return key + "@" + std::to_string(percent); }

int ScaledRecordPercent(const std::string& name, std::string* key) {
  const std::size_t at = name.rfind('@');
  if (at == std::string::npos || at == 0) return 0;
  const std::string suffix = name.substr(at + 1);
  for (const int percent : kScalePercents)
    if (suffix == std::to_string(percent)) {
      if (key) *key = name.substr(0, at);
      return percent;
    }
  return 0;
}

int BitmapSliceCount(int bitmapIndex) {
  switch (bitmapIndex) {
    case bitmap::SKIN2_TITLEBUTTONS: return 18;
    case bitmap::SKIN2_BUTTON: return 3;
    case bitmap::SKIN2_CHECKBOX: return 6;
    case bitmap::SKIN2_CHECKBOXLIST: return 4;
    case bitmap::SKIN2_RADIOBUTTON: return 4;
    case bitmap::SKIN2_SCROLLBARUPBUTTON:
    case bitmap::SKIN2_SCROLLBARDOWNBUTTON: return 3;
    case bitmap::SKIN2_TABCONTROL: return 2;
    default: return 1;
  }
}

}  // namespace vex::skin2
