// The painting of push buttons, check boxes and radio buttons from the skin, written once against
// a control's view and a canvas, for the wrappers of framework controls and of native windows
// alike.
#pragma once

#include "engine/control_view.h"
#include "engine/skin_engine.h"
#include "host/canvas.h"

namespace vex::engine {

// The whole button into (0, 0) to the view's size: the form colour, the button image of the state
// by nine sections, the focus rectangle, the caption centred (grey when disabled, one pixel right
// and down when pressed).
void PaintPushButton(TvexSkinEngine& engine, const TControlView& view, host::TCanvas& canvas);

// The state image of a check box (six slices: checked, grayed, unchecked, then the same disabled)
// or a radio button (four: checked, unchecked, then the same disabled), in a column of the form
// colour at least 14 pixels wide and as high as the control, at the control's left edge or, for a
// box on the right, its right edge; answers that column. The control's own text is left as it is.
int CheckBoxSlice(int check, bool enabled);
int RadioButtonSlice(int check, bool enabled);
RECT PaintCheckBoxBox(TvexSkinEngine& engine, const TControlView& view, host::TCanvas& canvas);
RECT PaintRadioButtonBox(TvexSkinEngine& engine, const TControlView& view, host::TCanvas& canvas);

}  // namespace vex::engine
