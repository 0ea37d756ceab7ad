#include "controls/scroll_painters.h"

#include <algorithm>

#include "image/scroll_layout.h"
#include "skin2/skin_keys.h"
#include "utils/paint_primitives.h"
#include "utils/skin_res.h"

namespace vex::engine {

using namespace vex::host;
namespace keys = vex::skin2;

namespace {

image::TRectI ToRectI(const RECT& r) { return image::TRectI{r.left, r.top, r.right, r.bottom}; }
RECT ToRect(const image::TRectI& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// A piece of the thumb, or the rows (columns across a horizontal bar) of it the layout names.
void DrawPiece(TCanvas& canvas, const TBitmap* piece, const image::TThumbPart& part, bool vertical) {
  if (!piece || piece->Empty()) return;
  const int length = vertical ? piece->Height() : piece->Width();
  const int from = std::clamp(part.sourceTop, 0, length);
  const int to = part.sourceBottom < 0 ? length : std::clamp(part.sourceBottom, from, length);
  if (to <= from) return;
  const RECT d = ToRect(vertical ? part.dest : image::Transposed(part.dest));
  const int sx = vertical ? 0 : from, sy = vertical ? from : 0;
  const int sw = vertical ? piece->Width() : to - from, sh = vertical ? to - from : piece->Height();
  canvas.SetStretchMode(part.smooth ? HALFTONE : COLORONCOLOR);
  StretchBlt(canvas.Handle(), d.left, d.top, d.right - d.left, d.bottom - d.top, const_cast<TBitmap*>(piece)->Canvas().Handle(), sx, sy,
             sw, sh, SRCCOPY);
}

}  // namespace

void PaintScrollBar(TCanvas& canvas, TvexSkinEngine& engine, const RECT& bar, const RECT& thumb, bool drawThumb, bool vertical,
                    TScrollArrowStates arrows, int dpi) {
  utils::FillRectColor(canvas, bar, engine.GetSkinColor(keys::color::SKIN2_SCROLLBARCOLOR));
  const utils::TvexSkinScrollBtnRes& res = engine.ScrollBtnRes(dpi);
  const auto arrowImage = [&](int first, int state) {
    const int i = first + std::clamp(state, 1, 3) - 1;
    return vertical ? res.VertButton(i) : res.HorzButton(i);
  };
  // The vertical layout serves both orientations: a horizontal bar is laid out transposed.
  image::TScrollBarLayoutInput in;
  in.bar = vertical ? ToRectI(bar) : image::Transposed(ToRectI(bar));
  in.thumb = vertical ? ToRectI(thumb) : image::Transposed(ToRectI(thumb));
  in.drawThumb = drawThumb;
  const auto pieceLength = [&](int i) {
    const TBitmap* p = vertical ? res.VertThumbPiece(i) : res.HorzThumbPiece(i);
    return p ? (vertical ? p->Height() : p->Width()) : 0;
  };
  in.topCap = pieceLength(image::tpTopCap);
  in.grip = pieceLength(image::tpGrip);
  in.bottomCap = pieceLength(image::tpBottomCap);
  in.wholeThumb = res.WholeThumb() && (vertical ? res.WholeThumbVert() : res.WholeThumbHorz()) != nullptr;
  const image::TScrollBarLayout l = image::LayoutScrollBar(in);
  const auto place = [vertical](const image::TRectI& r) { return ToRect(vertical ? r : image::Transposed(r)); };
  if (const TBitmap* up = arrowImage(1, arrows.up)) utils::StretchHalftone(*up, canvas, place(l.upArrow));
  if (const TBitmap* down = arrowImage(4, arrows.down)) utils::StretchHalftone(*down, canvas, place(l.downArrow));
  if (!l.thumb) return;
  if (l.whole) {
    if (vertical) {
      TBitmap* whole = res.WholeThumbVert();
      utils::StretchThreeVertical(*whole, canvas, place(l.wholeRect), 0);
    } else {
      utils::PaintThreeCells(*res.WholeThumbHorz(), canvas, place(l.wholeRect), false, 0);
    }
    return;
  }
  for (const image::TThumbPart& part : l.parts)
    DrawPiece(canvas, vertical ? res.VertThumbPiece(part.piece) : res.HorzThumbPiece(part.piece), part, vertical);
}

}  // namespace vex::engine
