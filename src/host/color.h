// Colours: 0x00BBGGRR, or a system colour (top byte 0xFF, low byte the system colour index).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vex::host {

using TColor = std::int32_t;

inline constexpr TColor MakeRgb(int r, int g, int b) { return static_cast<TColor>(r | (g << 8) | (b << 16)); }
inline constexpr TColor SystemColor(int index) { return static_cast<TColor>(0xFF000000u | static_cast<unsigned>(index)); }
inline constexpr bool IsSystemColor(TColor c) { return (static_cast<std::uint32_t>(c) >> 24) == 0xFF; }

inline constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                        clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                        clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                        clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF;
inline constexpr TColor clNone = 0x1FFFFFFF, clDefault = 0x20000000;
// The absent colour: a skin without a value for a colour key reads -1. It is no colour at all:
// used as a transparent colour it masks nothing, used as a colour to replace it recolours
// nothing. It is never converted to RGB (as a system colour index it would read as black).
inline constexpr TColor clNoColor = -1;
inline constexpr bool IsNoColor(TColor c) { return c == clNoColor; }

// System colours by their index (COLOR_SCROLLBAR = 0 ... COLOR_MENUBAR = 30).
inline constexpr TColor clScrollBar = SystemColor(0), clBackground = SystemColor(1), clActiveCaption = SystemColor(2),
                        clInactiveCaption = SystemColor(3), clMenu = SystemColor(4), clWindow = SystemColor(5),
                        clWindowFrame = SystemColor(6), clMenuText = SystemColor(7), clWindowText = SystemColor(8),
                        clCaptionText = SystemColor(9), clActiveBorder = SystemColor(10),
                        clInactiveBorder = SystemColor(11), clAppWorkSpace = SystemColor(12),
                        clHighlight = SystemColor(13), clHighlightText = SystemColor(14), clBtnFace = SystemColor(15),
                        clBtnShadow = SystemColor(16), clGrayText = SystemColor(17), clBtnText = SystemColor(18),
                        clInactiveCaptionText = SystemColor(19), clBtnHighlight = SystemColor(20),
                        cl3DDkShadow = SystemColor(21), cl3DLight = SystemColor(22), clInfoText = SystemColor(23),
                        clInfoBk = SystemColor(24), clHotLight = SystemColor(26),
                        clGradientActiveCaption = SystemColor(27), clGradientInactiveCaption = SystemColor(28),
                        clMenuHighlight = SystemColor(29), clMenuBar = SystemColor(30);

// The name of a colour with one ("clBtnFace"), else nothing; and the reverse.
std::optional<std::string> ColorToIdent(TColor c);
std::optional<TColor> IdentToColor(std::string_view name);

inline constexpr int ColorRed(TColor c) { return c & 0xFF; }
inline constexpr int ColorGreen(TColor c) { return (c >> 8) & 0xFF; }
inline constexpr int ColorBlue(TColor c) { return (c >> 16) & 0xFF; }

}  // namespace vex::host

namespace vex::host {
// A system colour converted to its current RGB value (GetSysColor); other colours unchanged.
// Windows only.
TColor ColorToRGB(TColor c);
}  // namespace vex::host
