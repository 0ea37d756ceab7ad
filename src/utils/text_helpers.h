// Text, font and menu-separator helpers shared by the frame, menu and control painters.
#pragma once

#include <string>

#include "host/canvas.h"
#include "host/font.h"

namespace vex::utils {

// The text when it fits the width on the canvas; otherwise the longest prefix followed by "..."
// that fits. When not even "..." fits, the result is empty: it is never wider than the width.
// A wide text is never cut inside a surrogate pair.
std::string EllipsisText(host::TCanvas& canvas, const std::string& text, int width);
std::wstring EllipsisTextW(host::TCanvas& canvas, const std::wstring& text, int width);
int TextWidthW(host::TCanvas& canvas, const std::wstring& text);
std::string ReplaceAll(std::string text, const std::string& pattern, const std::string& replacement);
std::wstring ReplaceAll(std::wstring text, const std::wstring& pattern, const std::wstring& replacement);
// Every ampersand removed ("&&" leaves nothing).
std::string StripAccelerators(const std::string& text);
std::wstring StripAccelerators(const std::wstring& text);

// The system's caption font; the menu font in the menu text colour. Unchanged on failure.
// The caption and menu fonts come from the system's non-client metrics, kept between calls: this
// makes the next call read them again (the system's settings changed).
void ForgetNonClientMetrics();
void AssignCaptionFont(host::TFont& font, int dpi = 0);
void AssignMenuFont(host::TFont& font, int dpi = 0);

// A horizontal line at Top + 2 beside the menu's left bar.
void DrawMenuSeparator(host::TCanvas& canvas, const RECT& r, host::TColor colour, bool leftToRight, int barWidth);

}  // namespace vex::utils
