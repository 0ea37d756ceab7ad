#include "host/font.h"

#include <cstring>

#include "host/dpi.h"
#include "host/prop_builder.h"
#include "host/text_encoding.h"

namespace vex::host {

const TClassInfo& TFont::StaticClass() {
  static TClassInfo info("TFont", &TPersistent::StaticClass());
  static const bool once = [] {
    TPropBuilder<TFont> b(info);
    b.Color("Color", [](const TFont& f) { return f.Color(); }, [](TFont& f, std::int64_t v) { f.SetColor(static_cast<TColor>(v)); });
    b.Integer("Height", [](const TFont& f) { return f.Height(); }, [](TFont& f, std::int64_t v) { f.SetHeight(static_cast<int>(v)); });
    b.WideString("Name", [](const TFont& f) { return f.Name(); }, [](TFont& f, const std::wstring& v) { f.SetName(v); });
    b.Set("Style", "TFontStyles", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"},
          [](const TFont& f) { return f.Style(); }, [](TFont& f, std::int64_t v) { f.SetStyle(static_cast<int>(v)); })
        .defaultValue = std::int64_t{0};
    return true;
  }();
  (void)once;
  return info;
}

TFont::TFont() : TPersistent(StaticClass()) {
  NONCLIENTMETRICSW m{};
  m.cbSize = sizeof m;
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0)) {
    lf_ = m.lfMessageFont;
    // The system describes it at its own resolution.
    lf_.lfHeight = ScaleForDpi(lf_.lfHeight, kDefaultDpi, SystemDpi());
  } else {
    lf_.lfHeight = -11;
    lstrcpynW(lf_.lfFaceName, L"Tahoma", LF_FACESIZE);
  }
}

TFont::TFont(const LOGFONTW& lf) : TPersistent(StaticClass()), lf_(lf) {}

void TFont::Changed() {
  handle_.Reset();
  if (OnChange) OnChange(this);
}

void TFont::SetName(const std::wstring& name) {
  lstrcpynW(lf_.lfFaceName, name.c_str(), LF_FACESIZE);
  Changed();
}

void TFont::SetHeight(int height) {
  lf_.lfHeight = height;
  Changed();
}

int TFont::Size() const { return -MulDiv(lf_.lfHeight, 72, pixelsPerInch_); }

void TFont::Scale(int m, int d) {
  if (m == d || m <= 0 || d <= 0) return;
  pixelsPerInch_ = MulDiv(pixelsPerInch_, m, d);
  SetHeight(MulDiv(lf_.lfHeight, m, d));
}

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, pixelsPerInch_, 72)); }

void TFont::SetColor(TColor c) {
  if (c == color_) return;
  color_ = c;
  if (OnChange) OnChange(this);  // the GDI font does not carry the colour
}

int TFont::Style() const {
  return (lf_.lfWeight >= FW_BOLD ? fsBold : 0) | (lf_.lfItalic ? fsItalic : 0) | (lf_.lfUnderline ? fsUnderline : 0) |
         (lf_.lfStrikeOut ? fsStrikeOut : 0);
}

void TFont::SetStyle(int style) {
  lf_.lfWeight = (style & fsBold) ? FW_BOLD : FW_NORMAL;
  lf_.lfItalic = (style & fsItalic) ? TRUE : FALSE;
  lf_.lfUnderline = (style & fsUnderline) ? TRUE : FALSE;
  lf_.lfStrikeOut = (style & fsStrikeOut) ? TRUE : FALSE;
  Changed();
}

void TFont::SetLogFont(const LOGFONTW& lf) {
  // The same description keeps the GDI font already made (frames set their font at every paint).
  if (std::memcmp(&lf, &lf_, sizeof lf) == 0) return;
  lf_ = lf;
  Changed();
}

HFONT TFont::Handle() const {
  if (!handle_) handle_ = TOwnedFont(CreateFontIndirectW(&lf_));
  return handle_.Get();
}

void TFont::SetHandle(HFONT font) {
  LOGFONTW lf{};
  if (font && GetObjectW(font, sizeof lf, &lf) == sizeof lf) SetLogFont(lf);
}

void TFont::Assign(const TPersistent& source) {
  if (!source.Is<TFont>()) return TPersistent::Assign(source);
  const auto& f = static_cast<const TFont&>(source);
  lf_ = f.lf_;
  color_ = f.color_;
  pixelsPerInch_ = f.pixelsPerInch_;
  Changed();
}

}  // namespace vex::host
