// Enumerations shared by several controls: border styles, scroll bars and their scroll codes.
#pragma once

namespace vex::host {

// A form's border; controls take its first two values as their own border style.
enum TFormBorderStyle : int { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
// A control's border: bsNone or bsSingle (a sunken client edge).
using TBorderStyle = TFormBorderStyle;

// Which built-in scroll bars a control shows.
enum TScrollStyle : int { ssNone, ssHorizontal, ssVertical, ssBoth };

enum TScrollBarKind : int { sbHorizontal, sbVertical };

// What a scroll bar was asked to do (the SB_* notification codes, in the framework's order).
enum TScrollCode : int { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };

// Input method states a windowed control asks for when it gets the focus.
enum TImeMode : int { imDisable, imClose, imOpen, imDontCare, imSAlpha, imAlpha, imHira, imSKata, imKata, imChinese,
                      imSHanguel, imHanguel };

}  // namespace vex::host
