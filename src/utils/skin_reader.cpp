#include "utils/skin_reader.h"

#include <system_error>

#include "image/scaling.h"
#include "utils/paint_primitives.h"

namespace vex::utils {

TvexSkin::TvexSkin(std::unique_ptr<skin2::Tsk2SkinFileReader> file) : file_(std::move(file)) {
  records_.fill(kUnknown);
  // A skin without a transparent colour reads -1, the absent colour: the bitmaps keep it as
  // their fixed transparent colour, so that drawing them transparent masks nothing (left to
  // their automatic colour they would lose the colour of their bottom-left pixel).
  transparent_ = GetColor(skin2::color::SKIN2_TRANSCOLOR);
  formColor_ = GetColor(skin2::color::SKIN2_FORMCOLOR);
  file_->SetTransparentColor(static_cast<image::TColorRef>(transparent_));
  bitmaps_.resize(file_->Bitmaps().size());
  trackRecord_ = BitmapRecord(skin2::bitmap::SKIN2_TRACKBAR);
}

TvexSkin::TvexSkin(std::shared_ptr<const TvexSkin> base, int dpi) : base_(std::move(base)), dpi_(dpi) {
  records_.fill(kUnknown);
  transparent_ = base_->transparent_;
  formColor_ = base_->formColor_;
}

const image::TvexImage* TvexSkin::ScaledRecord(int index) const {
  const int percent = skin2::ScalePercentForDpi(dpi_);
  const char* key = skin2::SkinKeyName(skin2::TSkinKeyGroup::Bitmap, index);
  if (!percent || !key) return nullptr;
  return File().GetBitmapByName(skin2::ScaledRecordName(key, percent));
}

std::int32_t TvexSkin::GetPosition(int index) const {
  const std::int32_t value = skin2::LookupPosition(&File(), index);
  if (!base_ || dpi_ == 96) return value;
  const char* key = skin2::SkinKeyName(skin2::TSkinKeyGroup::Position, index);
  if (const int percent = skin2::ScalePercentForDpi(dpi_); percent && key) {
    const std::int32_t scaled = File().GetIntegerByName(skin2::ScaledRecordName(key, percent));
    if (scaled != -1) return scaled;
  }
  if (value == -1) return -1;
  // The last row of a band scanned for the window's shape: the last row of the scaled band.
  if (index % 128 == skin2::position::SKIN2_TITLEBARREGIONMAXY || index % 128 == skin2::position::SKIN2_BOTTOMREGIONMAXY)
    return skin2::ScaleLength(value + 1, dpi_) - 1;
  return skin2::ScaleLength(value, dpi_);
}

int TvexSkin::BitmapRecord(int index) const {
  const bool cached = index >= 0 && index < skin2::bitmap::kCount;
  if (cached && records_[static_cast<std::size_t>(index)] != kUnknown) return records_[static_cast<std::size_t>(index)];
  int found = -1;
  if (const image::TvexImage* img = skin2::LookupBitmap(file_.get(), index)) {
    const auto& list = file_->Bitmaps();
    for (std::size_t i = 0; i < list.size(); ++i)
      if (list[i].value.get() == img) {
        found = static_cast<int>(i);
        break;
      }
  }
  if (cached) records_[static_cast<std::size_t>(index)] = found;
  return found;
}

host::TBitmap* TvexSkin::GetBitmap(int index) const {
  if (base_) {
    if (index < 0 || index >= skin2::bitmap::kCount) return nullptr;
    std::unique_ptr<host::TBitmap>& slot = scaled_[static_cast<std::size_t>(index)];
    if (!slot) {
      image::TvexImage scaled;
      if (const image::TvexImage* record = ScaledRecord(index)) {
        scaled = *record;
      } else if (const image::TvexImage* img = skin2::LookupBitmap(&File(), index)) {
        scaled = image::ScaleSlices(*img, skin2::BitmapSliceCount(index), dpi_, 96);
      } else {
        return nullptr;
      }
      auto bmp = std::make_unique<host::TBitmap>();
      bmp->SetPixelFormat(host::TPixelFormat::pf24bit);
      bmp->LoadFromImage(scaled);
      if (index == skin2::bitmap::SKIN2_TRACKBAR) ReplaceBitmapColor(*bmp, transparent_, formColor_);
      slot = std::move(bmp);
    }
    return slot.get();
  }
  const int record = BitmapRecord(index);
  if (record < 0) return nullptr;
  std::unique_ptr<host::TBitmap>& slot = bitmaps_[static_cast<std::size_t>(record)];
  if (!slot) {
    auto bmp = std::make_unique<host::TBitmap>();
    bmp->SetPixelFormat(host::TPixelFormat::pf24bit);
    bmp->LoadFromImage(*file_->Bitmaps()[static_cast<std::size_t>(record)].value);
    // The track-bar channel shows the form colour where the skin has the transparent one (none
    // when the skin has no transparent colour).
    if (record == trackRecord_) ReplaceBitmapColor(*bmp, transparent_, formColor_);
    slot = std::move(bmp);
  }
  return slot.get();
}

SIZE TvexSkin::BitmapSize(int index) const {
  if (base_) {
    if (const image::TvexImage* record = ScaledRecord(index)) return SIZE{record->Width(), record->Height()};
    const SIZE b = base_->BitmapSize(index);
    const image::TImageSize s = image::ScaledSlicesSize(b.cx, b.cy, skin2::BitmapSliceCount(index), dpi_, 96);
    return SIZE{s.width, s.height};
  }
  const int record = BitmapRecord(index);
  if (record < 0) return SIZE{0, 0};
  const image::TvexImage& img = *file_->Bitmaps()[static_cast<std::size_t>(record)].value;
  return SIZE{img.Width(), img.Height()};
}

TvexSkinReader::TvexSkinReader(const std::filesystem::path& file, const std::string& password) {
  if (!file.empty()) Load(file, password);
}

void TvexSkinReader::Load(const std::filesystem::path& file, const std::string& password) {
  std::error_code ec;
  if (file.empty() || !std::filesystem::is_regular_file(file, ec)) {
    skin_.reset();
    if (OnLoaded) OnLoaded(this);
    return;
  }
  // The new skin is read completely before anything is replaced: a skin that fails to load leaves
  // the previous one in place, and nothing is announced.
  skin_ = std::make_shared<const TvexSkin>(std::make_unique<skin2::Tsk2SkinFileReader>(file, password));
  if (OnLoaded) OnLoaded(this);
}

std::int32_t TvexSkinReader::GetColor(int index) const { return skin_ ? skin_->GetColor(index) : -1; }

host::TBitmap* TvexSkinReader::GetBitmap(int index) const { return skin_ ? skin_->GetBitmap(index) : nullptr; }

std::int32_t TvexSkinReader::GetPosition(int index) const { return skin_ ? skin_->GetPosition(index) : -1; }

bool TvexSkinReader::GetSwitch(int index) const { return skin_ && skin_->GetSwitch(index); }

SIZE TvexSkinReader::BitmapSize(int index) const { return skin_ ? skin_->BitmapSize(index) : SIZE{0, 0}; }

}  // namespace vex::utils
