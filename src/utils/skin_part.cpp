#include "utils/skin_part.h"

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

}  // namespace

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
