// The engine's handle on the current skin: loads a skin archive, prepares its bitmaps (transparent
// colour, track-bar background) and tells its owner when a load has happened.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/bitmap.h"
#include "skin2/skin_file_reader.h"

namespace vex::utils {

class TvexSkinReader {
 public:
  // No skin yet; then Load (an empty name loads nothing and leaves Ready false).
  explicit TvexSkinReader(const std::filesystem::path& file = {}, const std::string& password = {});

  // Loads the archive when the file exists and calls OnLoaded; a name that is empty or names no
  // file drops the current skin (and announces it). A skin that fails to load raises
  // EvexSkinError and leaves the current skin as it was, unannounced.
  void Load(const std::filesystem::path& file, const std::string& password);
  bool Ready() const { return ready_; }
  std::function<void(TvexSkinReader*)> OnLoaded;

  // Key lookups by group and index, with the group defaults when no skin is loaded.
  std::int32_t GetColor(int index) const;
  host::TBitmap* GetBitmap(int index) const;  // 24-bit, fixed transparent colour; owned here
  std::int32_t GetPosition(int index) const;
  bool GetSwitch(int index) const;
  const skin2::Tsk2SkinFileReader* FileReader() const { return file_.get(); }

 private:
  std::unique_ptr<skin2::Tsk2SkinFileReader> file_;
  // One per bitmap record, in file order, made when first asked for: skins carry bitmaps that no
  // control reads, and each costs a DIB section.
  mutable std::vector<std::unique_ptr<host::TBitmap>> bitmaps_;
  bool ready_ = false;
};

}  // namespace vex::utils
