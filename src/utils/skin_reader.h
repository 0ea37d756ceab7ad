// The engine's handle on the current skin: loads a skin archive, prepares its bitmaps (transparent
// colour, track-bar background) and tells its owner when a load has happened.
#pragma once

#include <windows.h>

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/bitmap.h"
#include "skin2/skin_file_reader.h"
#include "skin2/skin_keys.h"

namespace vex::utils {

// One loaded skin, unchanging once made: its records, and a bitmap object for each bitmap record,
// made when first asked for (skins carry bitmaps that no control reads, and each costs a DIB
// section). Whoever builds images from a skin later holds it by a shared pointer, so a skin that
// the reader has let go still answers as it did.
class TvexSkin {
 public:
  // Takes a loaded skin file: gives every bitmap the transparent colour and notes the track bar,
  // which shows the form colour wherever it has the transparent one.
  explicit TvexSkin(std::unique_ptr<skin2::Tsk2SkinFileReader> file);

  const skin2::Tsk2SkinFileReader& File() const { return *file_; }
  std::int32_t GetColor(int index) const { return skin2::LookupColor(file_.get(), index); }
  host::TBitmap* GetBitmap(int index) const;  // 24-bit, fixed transparent colour; owned here
  std::int32_t GetPosition(int index) const { return skin2::LookupPosition(file_.get(), index); }
  bool GetSwitch(int index) const { return skin2::LookupSwitch(file_.get(), index); }
  // The size of a bitmap key's bitmap without making its bitmap object; 0 x 0 when absent.
  SIZE BitmapSize(int index) const;

 private:
  // The position of a bitmap key's record in the bitmap list; -1 when the skin has none.
  int BitmapRecord(int index) const;

  std::unique_ptr<skin2::Tsk2SkinFileReader> file_;
  mutable std::vector<std::unique_ptr<host::TBitmap>> bitmaps_;
  // Each bitmap key's record, looked up by name once: kUnknown until then.
  static constexpr int kUnknown = -2;
  mutable std::array<int, skin2::bitmap::kCount> records_;
  int trackRecord_ = -1;
  std::int32_t transparent_ = -1, formColor_ = -1;
};

class TvexSkinReader {
 public:
  // No skin yet; then Load (an empty name loads nothing and leaves Ready false).
  explicit TvexSkinReader(const std::filesystem::path& file = {}, const std::string& password = {});

  // Loads the archive when the file exists and calls OnLoaded; a name that is empty or names no
  // file drops the current skin (and announces it). A skin that fails to load raises
  // EvexSkinError and leaves the current skin as it was, unannounced.
  void Load(const std::filesystem::path& file, const std::string& password);
  bool Ready() const { return skin_ != nullptr; }
  std::function<void(TvexSkinReader*)> OnLoaded;

  // Key lookups by group and index, with the group defaults when no skin is loaded.
  std::int32_t GetColor(int index) const;
  host::TBitmap* GetBitmap(int index) const;  // 24-bit, fixed transparent colour; owned by the skin
  std::int32_t GetPosition(int index) const;
  bool GetSwitch(int index) const;
  SIZE BitmapSize(int index) const;  // without making the bitmap object; 0 x 0 when absent
  const skin2::Tsk2SkinFileReader* FileReader() const { return skin_ ? &skin_->File() : nullptr; }
  // The current skin, for building from it later; null when no skin is loaded.
  const std::shared_ptr<const TvexSkin>& Skin() const { return skin_; }

 private:
  std::shared_ptr<const TvexSkin> skin_;
};

}  // namespace vex::utils
