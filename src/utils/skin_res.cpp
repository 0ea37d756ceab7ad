#include "utils/skin_res.h"

#include "image/scaling.h"
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

// How a piece is turned on its way into its own bitmap (left: 90 degrees counter-clockwise).
enum class TTurn { None, Left, Half, Right };

// The rectangle (x, y, w, h) of `src` turned into a new 24-bit bitmap, made in one piece: as slicing
// or copying and then rotating would make it, without the bitmaps in between (each a DIB section).
// Pixels outside the source stay white. With `keepTransparency` the piece keeps the source's
// transparency settings, as a copy does; a slice starts without any.
TImage Piece(const TBitmap* src, int x, int y, int w, int h, TTurn turn, bool keepTransparency) {
  TImage b = Empty24();
  if (!src) return b;
  if (keepTransparency) {
    b->SetTransparent(src->Transparent());
    if (src->TransparentMode() == host::TTransparentMode::tmFixed) b->SetTransparentColor(src->TransparentColor());
  }
  const bool across = turn == TTurn::Left || turn == TTurn::Right;
  const int dw = across ? h : w, dh = across ? w : h;
  if (dw <= 0 || dh <= 0) return b;
  b->SetSize(dw, dh);
  const int bpp = src->PixelFormat() == TPixelFormat::pf24bit ? 3 : 4;
  const std::uint8_t* base = src->ScanLine(0);
  const std::size_t stride = static_cast<std::size_t>(src->Stride());
  for (int ty = 0; ty < dh; ++ty) {
    std::uint8_t* d = b->ScanLine(ty);
    for (int tx = 0; tx < dw; ++tx, d += 3) {
      // Where the target pixel comes from within the piece: a left turn puts (px, py) at
      // (py, w-1-px), a right turn at (h-1-py, px), a half turn at (w-1-px, h-1-py).
      int px = tx, py = ty;
      switch (turn) {
        case TTurn::None: break;
        case TTurn::Left: px = w - 1 - ty; py = tx; break;
        case TTurn::Right: px = ty; py = h - 1 - tx; break;
        case TTurn::Half: px = w - 1 - tx; py = h - 1 - ty; break;
      }
      const int sx = x + px, sy = y + py;
      if (sx < 0 || sy < 0 || sx >= src->Width() || sy >= src->Height()) continue;
      const std::uint8_t* p = base + static_cast<std::size_t>(sy) * stride + static_cast<std::size_t>(sx) * bpp;
      d[0] = p[0];
      d[1] = p[1];
      d[2] = p[2];
    }
  }
  return b;
}

// The whole of `src`, turned, keeping its transparency (a copy, rotated).
TImage Turned(const TBitmap* src, TTurn turn) {
  return Piece(src, 0, 0, src ? src->Width() : 0, src ? src->Height() : 0, turn, true);
}

// Slice `index` of `count` equal-width slices of `src`, turned.
TImage Slice(const TBitmap* src, int count, int index, TTurn turn) {
  const int w = src && count > 0 ? src->Width() / count : 0;
  return Piece(src, w * (index - 1), 0, w, src ? src->Height() : 0, turn, false);
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
  for (auto& i : horzThumb_) i = Empty24();
  for (auto& i : vertThumb_) i = Empty24();

  const TBitmap* up = skin->GetBitmap(keys::bitmap::SKIN2_SCROLLBARUPBUTTON);
  const TBitmap* down = skin->GetBitmap(keys::bitmap::SKIN2_SCROLLBARDOWNBUTTON);
  for (int i = 1; i <= 3; ++i) {
    vertButtons_[i - 1] = Slice(up, 3, i, TTurn::None);
    vertButtons_[i + 2] = Slice(down, 3, i, TTurn::None);
  }
  // The arrows turned left: unless the thumb says otherwise below.
  bool arrowsTurnedLeft = true;

  // The thumb is cut at fixed rows (three-pixel caps), so it is cut from the skin's own image and
  // the pieces are scaled after.
  const TvexSkin& base = skin->Base();
  const int dpi = skin->Dpi();
  auto scaled = [dpi](TImage& piece) {
    if (dpi == 96 || !piece || piece->Empty()) return;
    piece->LoadFromImage(image::ScaleSlices(piece->ToImage(), 1, dpi, 96));
  };
  const TBitmap* thumb = base.GetBitmap(keys::bitmap::SKIN2_SCROLLBAR);
  if (thumb) {
    const int W = thumb->Width(), H = thumb->Height();
    if (s == 13355979 && H == 33 && W > 1 && thumb->PixelColor(1, 10) == 11680001) {
      wholeThumb_ = true;
      wholeVert_ = Turned(thumb, TTurn::None);
      wholeHorz_ = Turned(thumb, TTurn::Left);
    }
    // Rows [from, from + rows) of the thumb, full width.
    auto rows = [thumb, W](int from, int count) { return Piece(thumb, 0, from, W, count, TTurn::None, false); };
    vertThumb_[0] = rows(0, std::min(3, H));
    vertThumb_[4] = rows(std::max(H - 3, 0), std::min(3, H));
    const int f = (H - 6) / 3;
    if (f > 0) {
      vertThumb_[1] = rows(4, f);
      vertThumb_[2] = rows(f + 4, H - 2 * f - 6);
      vertThumb_[3] = rows(H - f - 3, f);
    } else {
      for (int i = 1; i <= 3; ++i) vertThumb_[i]->SetSize(W, 1);
    }
    // The horizontal thumb: turned left when the middle piece is narrow or its row 1 is uniform,
    // else turned right, with the horizontal arrows turned to match.
    const TBitmap& mid = *vertThumb_[2];
    bool uniform = true;  // a middle piece without a row 1 has nothing that differs
    if (mid.Width() >= 8 && mid.Height() > 1) {
      const host::TColor ref = mid.PixelColor(4, 1);
      for (int x = 4; x <= W - 4 && x < mid.Width(); ++x)
        if (mid.PixelColor(x, 1) != ref) uniform = false;
    }
    for (auto& piece : vertThumb_) scaled(piece);
    scaled(wholeVert_);
    scaled(wholeHorz_);
    for (int i = 0; i < 5; ++i) {
      if (uniform)
        horzThumb_[i] = Turned(vertThumb_[i].get(), TTurn::Left);
      else
        horzThumb_[4 - i] = Turned(vertThumb_[i].get(), TTurn::Right);
    }
    arrowsTurnedLeft = uniform;
  }
  for (int i = 1; i <= 3; ++i) {
    if (arrowsTurnedLeft) {
      horzButtons_[i - 1] = Slice(up, 3, i, TTurn::Left);
      horzButtons_[i + 2] = Slice(down, 3, i, TTurn::Left);
    } else {
      // The two arrows change places, each turned right (left, then half a turn).
      horzButtons_[i - 1] = Slice(down, 3, i, TTurn::Right);
      horzButtons_[i + 2] = Slice(up, 3, i, TTurn::Right);
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
  const TTurn turns[4] = {TTurn::None, TTurn::Left, TTurn::Half, TTurn::Right};
  const TBitmap* line = skin ? skin->GetBitmap(keys::bitmap::SKIN2_TABCONTROLLINE) : nullptr;
  const TBitmap* tabs = skin ? skin->GetBitmap(keys::bitmap::SKIN2_TABCONTROL) : nullptr;
  for (int o = 0; o < 4; ++o) {
    images_[static_cast<std::size_t>(tkLine * 4 + o)] = Turned(line, turns[o]);
    images_[static_cast<std::size_t>(tkUnselected * 4 + o)] = Slice(tabs, 2, 2, turns[o]);
    images_[static_cast<std::size_t>(tkSelected * 4 + o)] = Slice(tabs, 2, 1, turns[o]);
  }
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
    const TBitmap* piece = skin->GetBitmap(keys::bitmap::SKIN2_PROGRESSBAR1 + i);
    horz_[static_cast<std::size_t>(i)] = Turned(piece, TTurn::None);
    vert_[static_cast<std::size_t>(i)] = Turned(piece, TTurn::Left);
  }
  leftWidth_ = horz_[0]->Width();
  rightWidth_ = horz_[3]->Width();
}

}  // namespace vex::utils
