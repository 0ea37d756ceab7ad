// Ready-made images cut from the skin that several controls share: scroll-bar arrows and thumb
// pieces, tabs in four orientations, progress-bar pieces in two. Each rebuilds itself from the
// skin reader after every load, when its images are first asked for.
#pragma once

#include <array>
#include <memory>

#include "host/bitmap.h"
#include "utils/skin_reader.h"

namespace vex::utils {

// The images are built when first asked for, from the skin the reader had when it was handed over
// (SetReader) or last reloaded: the same images as if they had been built then, even if the reader
// has loaded another skin or is gone since.
class TvexSkinRes {
 public:
  virtual ~TvexSkinRes() = default;
  TvexSkinReader* Reader() const { return reader_; }
  // Stores the reader and rebuilds every image from its current skin.
  void SetReader(TvexSkinReader* reader) {
    reader_ = reader;
    Reload();
  }
  // Drops every image; they are rebuilt from the reader's current skin when next asked for.
  void Reload();

 protected:
  // Builds the images when they are not built yet. A build that fails leaves none and raises;
  // the next request tries again.
  void Ensure() const;
  // Frees every image and resets the figures that go with them.
  virtual void Clear() const = 0;
  // Builds every image; `hasReader` says whether a reader was handed over, `skin` is its skin
  // (null when it had none).
  virtual void Build(bool hasReader, const TvexSkin* skin) const = 0;

  TvexSkinReader* reader_ = nullptr;

 private:
  bool hasReader_ = false;
  mutable std::shared_ptr<const TvexSkin> skin_;
  mutable bool built_ = true;  // nothing to build before a reader is handed over
};

using TImage = std::unique_ptr<host::TBitmap>;

class TvexSkinScrollBtnRes : public TvexSkinRes {
 public:
  // 1-6: left (up) arrow in states 1-3, then right (down) arrow in states 1-3. Null when no skin.
  host::TBitmap* HorzButton(int i) const {
    Ensure();
    return horzButtons_[static_cast<std::size_t>(i - 1)].get();
  }
  host::TBitmap* VertButton(int i) const {
    Ensure();
    return vertButtons_[static_cast<std::size_t>(i - 1)].get();
  }
  // 1-5: cap, part, middle, part, cap.
  host::TBitmap* HorzThumbPiece(int i) const {
    Ensure();
    return horzThumb_[static_cast<std::size_t>(i - 1)].get();
  }
  host::TBitmap* VertThumbPiece(int i) const {
    Ensure();
    return vertThumb_[static_cast<std::size_t>(i - 1)].get();
  }
  host::TBitmap* WholeThumbHorz() const {
    Ensure();
    return wholeHorz_.get();
  }
  host::TBitmap* WholeThumbVert() const {
    Ensure();
    return wholeVert_.get();
  }
  int ThumbWidth() const {
    Ensure();
    return thumbWidth_;
  }
  bool WholeThumb() const {
    Ensure();
    return wholeThumb_;
  }

 protected:
  void Clear() const override;
  void Build(bool hasReader, const TvexSkin* skin) const override;

 private:
  mutable std::array<TImage, 6> horzButtons_, vertButtons_;
  mutable std::array<TImage, 5> horzThumb_, vertThumb_;
  mutable TImage wholeHorz_, wholeVert_;
  mutable int thumbWidth_ = 0;
  mutable bool wholeThumb_ = false;
};

class TvexSkinTabRes : public TvexSkinRes {
 public:
  enum TKind { tkLine = 0, tkUnselected = 1, tkSelected = 2 };  // line, slice 2, slice 1
  enum TOrientation { toStored = 0, toLeft = 1, to180 = 2, toRight = 3 };
  host::TBitmap* Image(TKind kind, TOrientation o) const {
    Ensure();
    return images_[static_cast<std::size_t>(kind * 4 + o)].get();
  }

 protected:
  void Clear() const override;
  void Build(bool hasReader, const TvexSkin* skin) const override;

 private:
  mutable std::array<TImage, 12> images_;
};

class TvexSkinProgressBarRes : public TvexSkinRes {
 public:
  host::TBitmap* HorzPiece(int i) const {
    Ensure();
    return horz_[static_cast<std::size_t>(i - 1)].get();
  }
  host::TBitmap* VertPiece(int i) const {
    Ensure();
    return vert_[static_cast<std::size_t>(i - 1)].get();
  }
  int LeftWidth() const {
    Ensure();
    return leftWidth_;
  }
  int RightWidth() const {
    Ensure();
    return rightWidth_;
  }

 protected:
  void Clear() const override;
  void Build(bool hasReader, const TvexSkin* skin) const override;

 private:
  mutable std::array<TImage, 4> horz_, vert_;
  mutable int leftWidth_ = 0, rightWidth_ = 0;
};

}  // namespace vex::utils
