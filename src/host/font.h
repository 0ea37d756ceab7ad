// Fonts: a description (name, height, colour, style) and the GDI font made from it on demand.
#pragma once

#include <windows.h>

#include <string>

#include "host/color.h"
#include "host/gdi_handle.h"
#include "host/persistent.h"
#include "host/string_list.h"

namespace vex::host {

enum TFontStyle : int { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

class TFont : public TPersistent {
  VEX_CLASS(TFont)
 public:
  // The system's message font, in the window text colour, described at 96 dots per inch (the
  // resolution forms are designed at; a form scales its fonts to its monitor's).
  TFont();
  explicit TFont(const LOGFONTW& lf);

  std::wstring Name() const { return lf_.lfFaceName; }
  void SetName(const std::wstring& name);
  // Height in pixels: negative for the character height, positive for the cell height.
  int Height() const { return lf_.lfHeight; }
  void SetHeight(int height);
  // Size in points at the font's resolution.
  int Size() const;
  void SetSize(int points);
  // The resolution (dots per inch) the height is meant for: 96 until the font's control is scaled.
  int PixelsPerInch() const { return pixelsPerInch_; }
  void SetPixelsPerInch(int ppi) { pixelsPerInch_ = ppi > 0 ? ppi : 96; }
  // Scales the font by m/d (a new resolution over the old): its height and its resolution.
  void Scale(int m, int d);
  TColor Color() const { return color_; }
  void SetColor(TColor c);
  int Style() const;
  void SetStyle(int style);

  const LOGFONTW& LogFont() const { return lf_; }
  void SetLogFont(const LOGFONTW& lf);
  // The GDI font, made when first asked for and kept until the description changes.
  HFONT Handle() const;
  // Takes the description of an existing font (which stays the caller's).
  void SetHandle(HFONT font);

  void Assign(const TPersistent& source) override;

  TNotifyEvent OnChange;

 private:
  void Changed();

  LOGFONTW lf_{};
  TColor color_ = clWindowText;
  int pixelsPerInch_ = 96;
  mutable TOwnedFont handle_;
};

}  // namespace vex::host
