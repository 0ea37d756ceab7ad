#include "utils/skin_part.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "skin2/skin_keys.h"
#include "utils/paint_primitives.h"

namespace vex::utils {

namespace {

// The slice is copied into one bitmap per thread, kept from paint to paint: a paint of the same
// part at the same size allocates nothing.
host::TBitmap& Scratch() {
  thread_local host::TBitmap scratch;
  return scratch;
}

// Composed parts, the most recently used last. Each entry remembers its skin by a weak reference:
// a picture of a skin that is gone (or of another skin made at the same address) is never shown.
struct TComposed {
  std::weak_ptr<const TvexSkin> skin;
  const TvexSkin* skinAddress = nullptr;
  TSkinPart part;
  int width = 0, height = 0;
  host::TColor background = 0;
  TPartFill fill = TPartFill::NineSection;
  std::unique_ptr<host::TBitmap> picture;
};
constexpr std::size_t kComposedKept = 12;

std::vector<TComposed>& Composed() {
  thread_local std::vector<TComposed> kept;
  return kept;
}

}  // namespace

const host::TBitmap* ComposedSkinPart(const TvexSkinReader& reader, const TSkinPart& part, int width, int height,
                                      host::TColor background, TPartFill fill) {
  const std::shared_ptr<const TvexSkin>& skin = reader.Skin();
  if (!skin || width <= 0 || height <= 0) return nullptr;
  std::vector<TComposed>& kept = Composed();
  // Pictures of skins that are gone go first.
  kept.erase(std::remove_if(kept.begin(), kept.end(), [](const TComposed& c) { return c.skin.expired(); }), kept.end());
  for (auto it = kept.begin(); it != kept.end(); ++it) {
    if (it->skinAddress == skin.get() && it->skin.lock() == skin && it->part.key == part.key && it->part.count == part.count &&
        it->part.slice == part.slice && it->part.transparent == part.transparent && it->width == width && it->height == height &&
        it->background == background && it->fill == fill) {
      std::rotate(it, it + 1, kept.end());
      return kept.back().picture.get();
    }
  }
  auto picture = std::make_unique<host::TBitmap>(width, height, host::TPixelFormat::pf24bit);
  host::TCanvas& canvas = picture->Canvas();
  const RECT r{0, 0, width, height};
  FillRectColor(canvas, r, background);
  if (!PaintSkinPart(reader, canvas, part, r, fill)) return nullptr;
  if (kept.size() >= kComposedKept) kept.erase(kept.begin());
  kept.push_back(TComposed{skin, skin.get(), part, width, height, background, fill, std::move(picture)});
  return kept.back().picture.get();
}

SIZE SkinPartSize(const TvexSkinReader& reader, const TSkinPart& part) {
  const host::TBitmap* b = reader.GetBitmap(part.key);
  if (!b || part.count <= 0) return SIZE{0, 0};
  return SIZE{b->Width() / part.count, b->Height()};
}

bool PaintSkinPart(const TvexSkinReader& reader, host::TCanvas& canvas, const TSkinPart& part, const RECT& r, TPartFill fill) {
  const host::TBitmap* source = reader.GetBitmap(part.key);
  if (!source || part.count <= 0 || part.slice < 1 || part.slice > part.count) return false;
  const SIZE size = SkinPartSize(reader, part);
  if (size.cx <= 0 || size.cy <= 0) return false;
  host::TBitmap& slice = Scratch();
  slice.SetPixelFormat(host::TPixelFormat::pf24bit);
  slice.SetSize(size.cx, size.cy);
  slice.CopyPixels(0, 0, *source, size.cx * (part.slice - 1), 0, size.cx, size.cy);
  const host::TColor mask = reader.GetColor(skin2::color::SKIN2_TRANSCOLOR);
  slice.SetTransparentColor(mask);
  slice.SetTransparent(part.transparent);
  switch (fill) {
    case TPartFill::NineSection:
      PaintNineSection(slice, canvas, r, part.transparent, mask);
      break;
    case TPartFill::ThreeCells:
      PaintThreeCells(slice, canvas, r, part.transparent, mask);
      break;
    case TPartFill::Stretch:
      canvas.StretchDraw(r, slice);
      break;
    case TPartFill::Draw:
      canvas.Draw(r.left, r.top, slice);
      break;
  }
  return true;
}

}  // namespace vex::utils
