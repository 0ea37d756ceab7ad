// The painting of push buttons, check boxes and radio buttons from the skin, written once against
// a control's view and a canvas, for the wrappers of framework controls and of native windows
// alike.
#pragma once

#include "engine/control_view.h"
#include "engine/skin_engine.h"
#include "host/canvas.h"

namespace vex::engine {

// The whole button into (0, 0) to the view's size: the background, the button image of the state
// by nine sections, the focus rectangle, the glyph and the caption where the glyph layout puts
// them, or the caption alone centred (grey when disabled, one pixel right and down when pressed).
void PaintPushButton(TvexSkinEngine& engine, const TControlView& view, host::TCanvas& canvas);

// A glyph image of a glyph strip at (x, y): image 1 enabled, 2 disabled (at most the strip's
// count), drawn without its transparent colour; a single image shown disabled is drawn embossed
// in grey.
void DrawButtonGlyph(host::TCanvas& canvas, const host::TBitmap& glyph, int count, bool enabled, int x, int y);

// The caption's measured size for the glyph layout (0 x 0 without a caption).
SIZE MeasureCaption(host::TCanvas& canvas, const TControlView& view, int width);

// Glyph and caption of a glyph button placed by the glyph layout, on a canvas holding the face.
void PaintGlyphAndCaption(const TControlView& view, host::TCanvas& canvas, bool pressedOffset);

// The state image of a check box (six slices: checked, grayed, unchecked, then the same disabled)
// or a radio button (four: checked, unchecked, then the same disabled), in a column of the form
// colour at least 14 pixels wide and as high as the control, at the control's left edge or, for a
// box on the right, its right edge; answers that column. The control's own text is left as it is.
int CheckBoxSlice(int check, bool enabled);
int RadioButtonSlice(int check, bool enabled);
RECT PaintCheckBoxBox(TvexSkinEngine& engine, const TControlView& view, host::TCanvas& canvas);
RECT PaintRadioButtonBox(TvexSkinEngine& engine, const TControlView& view, host::TCanvas& canvas);

// The box column of a check box or radio button (`box`, one of the two above) composed in the
// thread's back buffer and copied onto `dc` over the control's own box; answers the column (empty
// for a control without size). The control has printed itself into `dc` before.
using TBoxPainter = RECT (*)(TvexSkinEngine&, const TControlView&, host::TCanvas&);
RECT CopyBoxColumn(TvexSkinEngine& engine, const TControlView& view, HDC dc, TBoxPainter box);

}  // namespace vex::engine
