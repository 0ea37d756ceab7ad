#include "utils/skin_res.h"

#include "skin2/skin_keys.h"
#include "utils/paint_primitives.h"

namespace vex::utils {

using host::TBitmap;
using host::TPixelFormat;
namespace keys = skin2;

namespace {

TImage Empty24() {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(TPixelFormat::pf24bit);
  return b;
}

TImage CopyOf(const TBitmap* src) {
  TImage b = Empty24();
  if (src) {
    b->Assign(*src);
    b->SetPixelFormat(TPixelFormat::pf24bit);
  }
  return b;
}

TImage Slice(const TBitmap* src, int count, int index) {
  TImage b = Empty24();
  SliceBitmap(src, *b, count, index);
  return b;
}

// Rows [from, from + rows) of the thumb, full width.
TImage Rows(const TBitmap& thumb, int from, int rows) {
  TImage b = Empty24();
  b->SetSize(thumb.Width(), rows);
  b->CopyPixels(0, 0, thumb, 0, from, thumb.Width(), rows);
  return b;
}

}  // namespace

void TvexSkinRes::Reload() {
  hasReader_ = reader_ != nullptr;
  skin_ = reader_ ? reader_->Skin() : nullptr;
  Clear();
  built_ = false;
}

void TvexSkinRes::Ensure() const {
  if (built_) return;
  try {
    Build(hasReader_, skin_.get());
  } catch (...) {
    Clear();
    throw;
  }
  built_ = true;
  skin_.reset();  // everything needed is copied
}

void TvexSkinScrollBtnRes::Clear() const {
  for (auto* group : {&horzButtons_, &vertButtons_})
    for (auto& i : *group) i.reset();
  for (auto* group : {&horzThumb_, &vertThumb_})
    for (auto& i : *group) i.reset();
  wholeHorz_.reset();
  wholeVert_.reset();
  wholeThumb_ = false;
  thumbWidth_ = 0;
}

void TvexSkinScrollBtnRes::Build(bool hasReader, const TvexSkin* skin) const {
  Clear();
  if (!hasReader || !skin) return;

  const host::TColor t = skin->GetColor(keys::color::SKIN2_TRANSCOLOR);
  const host::TColor s = skin->GetColor(keys::color::SKIN2_SCROLLBARCOLOR);
  for (auto* group : {&horzButtons_, &vertButtons_})
    for (auto& i : *group) i = Empty24();
  for (auto* group : {&horzThumb_, &vertThumb_})
    for (auto& i : *group) i = Empty24();

  const TBitmap* up = skin->GetBitmap(keys::bitmap::SKIN2_SCROLLBARUPBUTTON);
  const TBitmap* down = skin->GetBitmap(keys::bitmap::SKIN2_SCROLLBARDOWNBUTTON);
  for (int i = 1; i <= 3; ++i) {
    vertButtons_[i - 1] = Slice(up, 3, i);
    vertButtons_[i + 2] = Slice(down, 3, i);
    horzButtons_[i - 1] = Slice(up, 3, i);
    RotateBitmapLeft(*horzButtons_[i - 1]);
    horzButtons_[i + 2] = Slice(down, 3, i);
    RotateBitmapLeft(*horzButtons_[i + 2]);
  }

  const TBitmap* thumb = skin->GetBitmap(keys::bitmap::SKIN2_SCROLLBAR);
  if (thumb) {
    const int W = thumb->Width(), H = thumb->Height();
    if (s == 13355979 && H == 33 && W > 1 && thumb->PixelColor(1, 10) == 11680001) {
      wholeThumb_ = true;
      wholeVert_ = CopyOf(thumb);
      wholeHorz_ = CopyOf(thumb);
      RotateBitmapLeft(*wholeHorz_);
    }
    vertThumb_[0] = Rows(*thumb, 0, std::min(3, H));
    vertThumb_[4] = Rows(*thumb, std::max(H - 3, 0), std::min(3, H));
    const int f = (H - 6) / 3;
    if (f > 0) {
      vertThumb_[1] = Rows(*thumb, 4, f);
      vertThumb_[2] = Rows(*thumb, f + 4, H - 2 * f - 6);
      vertThumb_[3] = Rows(*thumb, H - f - 3, f);
    } else {
      for (int i = 1; i <= 3; ++i) vertThumb_[i]->SetSize(W, 1);
    }
    // The horizontal thumb: turned left when the middle piece is narrow or its row 1 is uniform,
    // else turned right, with the horizontal arrows rebuilt to match.
    const TBitmap& mid = *vertThumb_[2];
    bool uniform = true;  // a middle piece without a row 1 has nothing that differs
    if (mid.Width() >= 8 && mid.Height() > 1) {
      const host::TColor ref = mid.PixelColor(4, 1);
      for (int x = 4; x <= W - 4 && x < mid.Width(); ++x)
        if (mid.PixelColor(x, 1) != ref) uniform = false;
    }
    if (uniform) {
      for (int i = 0; i < 5; ++i) {
        horzThumb_[i] = CopyOf(vertThumb_[i].get());
        RotateBitmapLeft(*horzThumb_[i]);
      }
    } else {
      for (int i = 0; i < 5; ++i) {
        horzThumb_[4 - i] = CopyOf(vertThumb_[i].get());
        RotateBitmapRight(*horzThumb_[4 - i]);
      }
      for (int i = 0; i < 3; ++i) std::swap(horzButtons_[i], horzButtons_[i + 3]);
      for (auto& b : horzButtons_) RotateBitmap180(*b);
    }
  }

  for (auto* group : {&horzButtons_, &vertButtons_})
    for (auto& i : *group) ReplaceBitmapColor(*i, t, s);
  for (auto* group : {&horzThumb_, &vertThumb_})
    for (auto& i : *group) ReplaceBitmapColor(*i, t, s);
  thumbWidth_ = vertThumb_[0]->Width();
}

void TvexSkinTabRes::Clear() const {
  for (auto& i : images_) i.reset();
}

void TvexSkinTabRes::Build(bool hasReader, const TvexSkin* skin) const {
  Clear();
  // No check of the skin: with a reader but no skin the images exist and are empty.
  if (!hasReader) return;
  auto four = [this](int kind, TImage base) {
    images_[static_cast<std::size_t>(kind * 4)] = CopyOf(base.get());
    images_[static_cast<std::size_t>(kind * 4 + 1)] = CopyOf(base.get());
    RotateBitmapLeft(*images_[static_cast<std::size_t>(kind * 4 + 1)]);
    images_[static_cast<std::size_t>(kind * 4 + 2)] = CopyOf(base.get());
    RotateBitmap180(*images_[static_cast<std::size_t>(kind * 4 + 2)]);
    images_[static_cast<std::size_t>(kind * 4 + 3)] = CopyOf(base.get());
    RotateBitmapRight(*images_[static_cast<std::size_t>(kind * 4 + 3)]);
  };
  four(tkLine, CopyOf(skin ? skin->GetBitmap(keys::bitmap::SKIN2_TABCONTROLLINE) : nullptr));
  const TBitmap* tabs = skin ? skin->GetBitmap(keys::bitmap::SKIN2_TABCONTROL) : nullptr;
  four(tkUnselected, Slice(tabs, 2, 2));
  four(tkSelected, Slice(tabs, 2, 1));
}

void TvexSkinProgressBarRes::Clear() const {
  for (auto& i : horz_) i.reset();
  for (auto& i : vert_) i.reset();
  leftWidth_ = rightWidth_ = 0;
}

void TvexSkinProgressBarRes::Build(bool hasReader, const TvexSkin* skin) const {
  Clear();
  if (!hasReader || !skin) return;
  for (int i = 0; i < 4; ++i) {
    horz_[static_cast<std::size_t>(i)] = CopyOf(skin->GetBitmap(keys::bitmap::SKIN2_PROGRESSBAR1 + i));
    vert_[static_cast<std::size_t>(i)] = CopyOf(horz_[static_cast<std::size_t>(i)].get());
    RotateBitmapLeft(*vert_[static_cast<std::size_t>(i)]);
  }
  leftWidth_ = horz_[0]->Width();
  rightWidth_ = horz_[3]->Width();
}

}  // namespace vex::utils
