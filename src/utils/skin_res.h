// Ready-made images cut from the skin that several controls share: scroll-bar arrows and thumb
// pieces, tabs in four orientations, progress-bar pieces in two. Each rebuilds itself from the
// skin reader after every load.
#pragma once

#include <array>
#include <memory>

#include "host/bitmap.h"
#include "utils/skin_reader.h"

namespace vex::utils {

class TvexSkinRes {
 public:
  virtual ~TvexSkinRes() = default;
  TvexSkinReader* Reader() const { return reader_; }
  // Stores the reader and rebuilds every image from it.
  void SetReader(TvexSkinReader* reader) {
    reader_ = reader;
    Reload();
  }
  virtual void Reload() {}

 protected:
  TvexSkinReader* reader_ = nullptr;
};

using TImage = std::unique_ptr<host::TBitmap>;

class TvexSkinScrollBtnRes : public TvexSkinRes {
 public:
  void Reload() override;
  // 1-6: left (up) arrow in states 1-3, then right (down) arrow in states 1-3. Null when no skin.
  host::TBitmap* HorzButton(int i) const { return horzButtons_[static_cast<std::size_t>(i - 1)].get(); }
  host::TBitmap* VertButton(int i) const { return vertButtons_[static_cast<std::size_t>(i - 1)].get(); }
  // 1-5: cap, part, middle, part, cap.
  host::TBitmap* HorzThumbPiece(int i) const { return horzThumb_[static_cast<std::size_t>(i - 1)].get(); }
  host::TBitmap* VertThumbPiece(int i) const { return vertThumb_[static_cast<std::size_t>(i - 1)].get(); }
  host::TBitmap* WholeThumbHorz() const { return wholeHorz_.get(); }
  host::TBitmap* WholeThumbVert() const { return wholeVert_.get(); }
  int ThumbWidth() const { return thumbWidth_; }
  bool WholeThumb() const { return wholeThumb_; }

 private:
  std::array<TImage, 6> horzButtons_, vertButtons_;
  std::array<TImage, 5> horzThumb_, vertThumb_;
  TImage wholeHorz_, wholeVert_;
  int thumbWidth_ = 0;
  bool wholeThumb_ = false;
};

class TvexSkinTabRes : public TvexSkinRes {
 public:
  enum TKind { tkLine = 0, tkUnselected = 1, tkSelected = 2 };  // line, slice 2, slice 1
  enum TOrientation { toStored = 0, toLeft = 1, to180 = 2, toRight = 3 };
  void Reload() override;
  host::TBitmap* Image(TKind kind, TOrientation o) const { return images_[static_cast<std::size_t>(kind * 4 + o)].get(); }

 private:
  std::array<TImage, 12> images_;
};

class TvexSkinProgressBarRes : public TvexSkinRes {
 public:
  void Reload() override;
  host::TBitmap* HorzPiece(int i) const { return horz_[static_cast<std::size_t>(i - 1)].get(); }
  host::TBitmap* VertPiece(int i) const { return vert_[static_cast<std::size_t>(i - 1)].get(); }
  int LeftWidth() const { return leftWidth_; }
  int RightWidth() const { return rightWidth_; }

 private:
  std::array<TImage, 4> horz_, vert_;
  int leftWidth_ = 0, rightWidth_ = 0;
};

}  // namespace vex::utils
