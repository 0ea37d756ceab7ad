#include "utils/skin_reader.h"

#include <system_error>

#include "skin2/skin_keys.h"
#include "utils/paint_primitives.h"

namespace vex::utils {

TvexSkinReader::TvexSkinReader(const std::filesystem::path& file, const std::string& password) {
  if (!file.empty()) Load(file, password);
}

void TvexSkinReader::Load(const std::filesystem::path& file, const std::string& password) {
  std::error_code ec;
  if (file.empty() || !std::filesystem::is_regular_file(file, ec)) {
    file_.reset();
    bitmaps_.clear();
    ready_ = false;
    if (OnLoaded) OnLoaded(this);
    return;
  }
  // The new skin is read completely before anything is replaced: a skin that fails to load leaves
  // the previous one in place, and nothing is announced.
  auto reader = std::make_unique<skin2::Tsk2SkinFileReader>(file, password);
  // A skin without a transparent colour reads -1, the absent colour: the bitmaps keep it as
  // their fixed transparent colour, so that drawing them transparent masks nothing (left to
  // their automatic colour they would lose the colour of their bottom-left pixel).
  const std::int32_t transparent = skin2::LookupColor(reader.get(), skin2::color::SKIN2_TRANSCOLOR);
  reader->SetTransparentColor(static_cast<image::TColorRef>(transparent));
  bitmaps_.clear();
  bitmaps_.resize(reader->Bitmaps().size());
  file_ = std::move(reader);
  ready_ = true;
  // The track-bar channel shows the form colour where the skin has the transparent one (none
  // when the skin has no transparent colour).
  if (host::TBitmap* track = GetBitmap(skin2::bitmap::SKIN2_TRACKBAR))
    ReplaceBitmapColor(*track, transparent, GetColor(skin2::color::SKIN2_FORMCOLOR));
  if (OnLoaded) OnLoaded(this);
}

std::int32_t TvexSkinReader::GetColor(int index) const { return skin2::LookupColor(file_.get(), index); }

host::TBitmap* TvexSkinReader::GetBitmap(int index) const {
  const image::TvexImage* img = skin2::LookupBitmap(file_.get(), index);
  if (!img) return nullptr;
  const auto& list = file_->Bitmaps();
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i].value.get() != img) continue;
    if (!bitmaps_[i]) {
      auto bmp = std::make_unique<host::TBitmap>();
      bmp->SetPixelFormat(host::TPixelFormat::pf24bit);
      bmp->LoadFromImage(*img);
      bitmaps_[i] = std::move(bmp);
    }
    return bitmaps_[i].get();
  }
  return nullptr;
}

std::int32_t TvexSkinReader::GetPosition(int index) const { return skin2::LookupPosition(file_.get(), index); }

bool TvexSkinReader::GetSwitch(int index) const { return skin2::LookupSwitch(file_.get(), index); }

}  // namespace vex::utils
