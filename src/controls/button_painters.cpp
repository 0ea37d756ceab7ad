#include "controls/button_painters.h"

#include <algorithm>

#include "skin2/skin_keys.h"
#include "utils/paint_primitives.h"
#include "utils/skin_part.h"
#include "utils/text_helpers.h"

namespace vex::engine {

using namespace vex::host;
namespace keys = vex::skin2;

namespace {

int Width(const TControlView& v) { return v.bounds.right - v.bounds.left; }
int Height(const TControlView& v) { return v.bounds.bottom - v.bounds.top; }

// The caption centred in `area`: measured first with the flags of a word-wrapped caption, then
// drawn centred on the measured size.
void DrawCentredCaption(TCanvas& canvas, const TControlView& v, RECT area) {
  if (v.caption.empty()) return;
  canvas.Brush.style = TBrushStyle::bsClear;
  if (!v.enabled) canvas.Font().SetColor(0x808080);
  if (v.pressed) OffsetRect(&area, 1, 1);
  RECT r = area;
  canvas.DrawText(v.caption, r, DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK);
  OffsetRect(&r, ((area.right - area.left) - (r.right - r.left)) / 2, ((area.bottom - area.top) - (r.bottom - r.top)) / 2);
  canvas.DrawText(v.caption, r, DT_CENTER);
  canvas.Brush.style = TBrushStyle::bsSolid;
}

RECT PaintBox(TvexSkinEngine& e, const TControlView& v, TCanvas& canvas, int key, int count, int slice, bool transparent) {
  const utils::TSkinPart part{key, count, slice, transparent};
  const SIZE size = utils::SkinPartSize(*e.CurrentReader(), part);
  const int bw = std::max<int>(size.cx, 14), bh = std::max<int>(size.cy, Height(v));
  const int x = v.boxRight ? Width(v) - bw : 0;
  utils::FillRectColor(canvas, RECT{x, 0, x + bw, bh}, e.GetFormColor());
  utils::PaintSkinPart(*e.CurrentReader(), canvas, part, RECT{x, 0, x + size.cx, size.cy}, utils::TPartFill::Draw);
  return RECT{x, 0, x + bw, bh};
}

}  // namespace

void PaintPushButton(TvexSkinEngine& e, const TControlView& v, TCanvas& canvas) {
  const int w = Width(v), h = Height(v);
  const RECT r{0, 0, w, h};
  utils::FillRectColor(canvas, r, e.GetSkinColor(keys::color::SKIN2_FORMCOLOR));
  const int slice = v.pressed ? 3 : v.hot ? 2 : 1;
  utils::PaintSkinPart(*e.CurrentReader(), canvas,
                       utils::TSkinPart{keys::bitmap::SKIN2_BUTTON, 3, slice, e.GetSkinSwitch(keys::switches::SKIN2_BUTTONTRANS)},
                       r, utils::TPartFill::NineSection);
  if (v.focused) {
    RECT f{5, 5, w - 5, h - 5};
    if (v.pressed) OffsetRect(&f, 1, 1);
    canvas.Brush.style = TBrushStyle::bsSolid;
    canvas.DrawFocusRect(f);
  }
  utils::AssignMenuFont(canvas.Font());
  canvas.Font().SetColor(e.GetSkinColor(keys::color::SKIN2_BUTTONFONTCOLOR));
  DrawCentredCaption(canvas, v, r);
}

int CheckBoxSlice(int check, bool enabled) {
  if (check == BST_CHECKED) return enabled ? 1 : 4;
  if (check == BST_UNCHECKED) return enabled ? 3 : 6;
  return enabled ? 2 : 5;
}

int RadioButtonSlice(int check, bool enabled) {
  if (check != BST_UNCHECKED) return enabled ? 1 : 3;
  return enabled ? 2 : 4;
}

RECT PaintCheckBoxBox(TvexSkinEngine& e, const TControlView& v, TCanvas& canvas) {
  return PaintBox(e, v, canvas, keys::bitmap::SKIN2_CHECKBOX, 6, CheckBoxSlice(v.check, v.enabled),
           e.GetSkinSwitch(keys::switches::SKIN2_CHECKBOXTRANS));
}

RECT PaintRadioButtonBox(TvexSkinEngine& e, const TControlView& v, TCanvas& canvas) {
  return PaintBox(e, v, canvas, keys::bitmap::SKIN2_RADIOBUTTON, 4, RadioButtonSlice(v.check, v.enabled), true);
}

}  // namespace vex::engine
