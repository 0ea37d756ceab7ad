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
  // The skin at another resolution (dots per inch; 96 is the skin's own): its bitmaps and
  // positions scaled, its colours and switches the same. Bitmaps come from the skin's records for
  // that scale when it has them ("KEY@150" at 144, "KEY@200" at 192), else from the 96 DPI image
  // scaled one state image at a time; positions from "KEY@150" integer records, else scaled.
  TvexSkin(std::shared_ptr<const TvexSkin> base, int dpi);

  const skin2::Tsk2SkinFileReader& File() const { return base_ ? base_->File() : *file_; }
  int Dpi() const { return dpi_; }
  // The skin at 96 DPI: this one, or the one this one was scaled from.
  const TvexSkin& Base() const { return base_ ? *base_ : *this; }
  std::int32_t GetColor(int index) const { return skin2::LookupColor(&File(), index); }
  host::TBitmap* GetBitmap(int index) const;  // 24-bit, fixed transparent colour; owned here
  std::int32_t GetPosition(int index) const;
  bool GetSwitch(int index) const { return skin2::LookupSwitch(&File(), index); }
  // The size of a bitmap key's bitmap without making its bitmap object; 0 x 0 when absent.
  SIZE BitmapSize(int index) const;

 private:
  // The record of a bitmap key at this skin's scale, when the skin carries one.
  const image::TvexImage* ScaledRecord(int index) const;

  // The position of a bitmap key's record in the bitmap list; -1 when the skin has none.
  int BitmapRecord(int index) const;

  std::unique_ptr<skin2::Tsk2SkinFileReader> file_;
  mutable std::vector<std::unique_ptr<host::TBitmap>> bitmaps_;
  // Each bitmap key's record, looked up by name once: kUnknown until then.
  static constexpr int kUnknown = -2;
  mutable std::array<int, skin2::bitmap::kCount> records_;
  int trackRecord_ = -1;
  std::int32_t transparent_ = -1, formColor_ = -1;
  // A scaled skin: what it was scaled from, and its bitmaps by key, made when first asked for.
  std::shared_ptr<const TvexSkin> base_;
  int dpi_ = 96;
  mutable std::array<std::unique_ptr<host::TBitmap>, skin2::bitmap::kCount> scaled_;
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
  // Holds a skin made elsewhere (a scaled one), without announcing it.
  void Hold(std::shared_ptr<const TvexSkin> skin) { skin_ = std::move(skin); }
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
