#include "utils/text_helpers.h"

#include "host/dpi.h"

namespace vex::utils {

namespace {

int TextWidthA(host::TCanvas& canvas, const std::string& text) {
  // The canvas selects its font on its first text measurement; measure through it to get there.
  canvas.TextWidth(L"");
  SIZE s{0, 0};
  GetTextExtentPoint32A(canvas.Handle(), text.c_str(), static_cast<int>(text.size()), &s);
  return s.cx;
}

// True when cutting the text after its first n units would split a UTF-16 surrogate pair.
template <class S>
bool SplitsPair(const S& text, std::size_t n) {
  if constexpr (sizeof(typename S::value_type) == 2) {
    return n > 0 && n < text.size() && text[n - 1] >= 0xD800 && text[n - 1] <= 0xDBFF;
  } else {
    (void)text;
    (void)n;
    return false;
  }
}

// The text when it fits; else the longest prefix followed by the dots that fits; else empty.
// Widths of "prefix + dots" grow with the prefix, so the longest fitting prefix is found by
// halving the range of lengths: a long caption costs a handful of measurements, not one per
// character.
template <class S, class Measure>
S Ellipsis(const S& text, int width, Measure measure, const S& dots) {
  if (text.empty() || measure(text) <= width) return text;
  if (measure(dots) > width) return S();
  // Invariant: a prefix of `lo` units plus the dots fits; one of `hi` units plus the dots does not
  // (the whole text stands for hi when nothing shorter is known not to fit).
  std::size_t lo = 0, hi = text.size();
  while (hi - lo > 1) {
    const std::size_t mid = lo + (hi - lo) / 2;
    if (measure(text.substr(0, mid) + dots) <= width)
      lo = mid;
    else
      hi = mid;
  }
  std::size_t n = lo;
  while (SplitsPair(text, n)) --n;
  return text.substr(0, n) + dots;
}

template <class S>
S ReplaceAllT(S text, const S& pattern, const S& replacement) {
  if (pattern.empty()) return text;
  // Searching from the start of the current result each time, as the caption code expects; a
  // replacement that contains the pattern is spliced in once per original occurrence instead of
  // looping for ever.
  std::size_t from = 0;
  for (std::size_t at; (at = text.find(pattern, from)) != S::npos;) {
    text.replace(at, pattern.size(), replacement);
    from = replacement.find(pattern) == S::npos ? 0 : at + replacement.size();
  }
  return text;
}

}  // namespace

std::string EllipsisText(host::TCanvas& canvas, const std::string& text, int width) {
  return Ellipsis<std::string>(text, width, [&](const std::string& s) { return TextWidthA(canvas, s); }, "...");
}

std::wstring EllipsisTextW(host::TCanvas& canvas, const std::wstring& text, int width) {
  return Ellipsis<std::wstring>(text, width, [&](const std::wstring& s) { return TextWidthW(canvas, s); }, L"...");
}

int TextWidthW(host::TCanvas& canvas, const std::wstring& text) { return canvas.TextWidth(text); }

std::string ReplaceAll(std::string text, const std::string& pattern, const std::string& replacement) {
  return ReplaceAllT(std::move(text), pattern, replacement);
}

std::wstring ReplaceAll(std::wstring text, const std::wstring& pattern, const std::wstring& replacement) {
  return ReplaceAllT(std::move(text), pattern, replacement);
}

std::string StripAccelerators(const std::string& text) { return ReplaceAll(text, "&", ""); }
std::wstring StripAccelerators(const std::wstring& text) { return ReplaceAll(text, L"&", L""); }

namespace {

// The system's non-client metrics, read once until the system says its settings changed: reading
// them is a round trip to the window server, and frames and menus ask on every paint.
struct TMetricsCache {
  NONCLIENTMETRICSW metrics{};
  bool valid = false;
};
TMetricsCache& MetricsCache() {
  thread_local TMetricsCache cache;
  return cache;
}

bool NonClientMetrics(NONCLIENTMETRICSW& m) {
  TMetricsCache& cache = MetricsCache();
  if (!cache.valid) {
    cache.metrics = NONCLIENTMETRICSW{};
    cache.metrics.cbSize = sizeof cache.metrics;
    cache.valid = SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof cache.metrics, &cache.metrics, 0) != FALSE;
  }
  m = cache.metrics;
  return cache.valid;
}

}  // namespace

void ForgetNonClientMetrics() { MetricsCache().valid = false; }

// The system's fonts are sized for the system's resolution; a window at another one gets them
// scaled to its own.
LOGFONTW AtDpi(LOGFONTW f, int dpi) {
  if (dpi > 0) f.lfHeight = host::ScaleForDpi(f.lfHeight, dpi, host::SystemDpi());
  return f;
}

void AssignCaptionFont(host::TFont& font, int dpi) {
  NONCLIENTMETRICSW m;
  if (NonClientMetrics(m)) font.SetLogFont(AtDpi(m.lfCaptionFont, dpi));
}

void AssignMenuFont(host::TFont& font, int dpi) {
  NONCLIENTMETRICSW m;
  if (!NonClientMetrics(m)) return;
  font.SetLogFont(AtDpi(m.lfMenuFont, dpi));
  font.SetColor(host::clMenuText);
}

void DrawMenuSeparator(host::TCanvas& canvas, const RECT& r, host::TColor colour, bool leftToRight, int barWidth) {
  canvas.Pen.color = colour;
  canvas.Pen.style = host::TPenStyle::psSolid;
  const int y = r.top + 2;
  if (leftToRight) {
    canvas.MoveTo(r.left + barWidth + 4, y);
    canvas.LineTo(r.right - 2, y);
  } else {
    canvas.MoveTo(r.left + 2, y);
    canvas.LineTo(r.right - barWidth - 4, y);
  }
}

}  // namespace vex::utils
