// Bitmap buttons: a push button that draws itself with a glyph beside its caption, and the
// standard kinds (OK, Cancel, Yes, ...) that bring their caption, glyph and modal result.
#pragma once

#include <string>

#include "host/button_glyph.h"
#include "host/std_controls.h"

namespace vex::host {

enum TBitBtnKind : int { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };

// An owner-drawn native button: face, frame (black when default or focused, flat when pressed),
// glyph and caption laid out by Layout, Margin and Spacing inside the client area less two pixels
// of frame (moved one pixel right and down while pressed), the disabled image when disabled, and
// the focus rectangle. Enter clicks it when focused, as Space and the mouse do.
class TBitBtn : public TButton {
  VEX_CLASS(TBitBtn)
 public:
  explicit TBitBtn(TComponent* owner, const TClassInfo& cls = StaticClass());

  const TBitmap& Glyph() const { return glyph_.Glyph(); }
  // A width that is a multiple of the height (up to four) sets NumGlyphs; the kind becomes custom.
  void SetGlyph(const TBitmap& bitmap);
  int NumGlyphs() const { return glyph_.NumGlyphs(); }
  void SetNumGlyphs(int n);
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout l);
  int Margin() const { return margin_; }
  void SetMargin(int m);
  int Spacing() const { return spacing_; }
  void SetSpacing(int s);
  // The kind set last, or bkCustom once Default, Cancel, ModalResult or the glyph no longer
  // match it. Setting a kind other than bkCustom sets those and the caption (while loading, a
  // caption read already stays) and the kind's glyph: two images, normal and disabled.
  TBitBtnKind Kind() const;
  void SetKind(TBitBtnKind k);

  // bkClose closes the form after the click's event.
  void Click() override;

  static std::wstring KindCaption(TBitBtnKind k);
  static int KindModalResult(TBitBtnKind k);
  // The standard glyph of a kind: two 18 x 18 images side by side, normal and disabled, on a
  // magenta background (the transparent colour); empty for bkCustom.
  static void KindGlyph(TBitBtnKind k, TBitmap& out);

 protected:
  void CreateParams(TCreateParams& p) override;
  void WndProc(TMessage& m) override;
  virtual void DrawItem(const DRAWITEMSTRUCT& dis);

 private:
  TButtonGlyph glyph_;
  TButtonLayout layout_ = blGlyphLeft;
  int margin_ = -1, spacing_ = 4;
  TBitBtnKind kind_ = bkCustom;
  bool glyphModified_ = false;
};

}  // namespace vex::host
