#include "host/bit_btn.h"

#include "host/form.h"
#include "host/prop_builder.h"
#include "image/raster.h"

namespace vex::host {

const TClassInfo& TBitBtn::StaticClass() {
  static TClassInfo info("TBitBtn", &TButton::StaticClass(), ComponentFactory<TBitBtn>);
  static const bool once = [] {
    TPropBuilder<TBitBtn> b(info);
    // What a kind sets is stored only when it is no longer the kind's (republished in place).
    const auto custom = [](const TObject& o) { return static_cast<const TBitBtn&>(o).Kind() == bkCustom; };
    b.WideString("Caption", [](const TBitBtn& x) { return x.Caption(); }, [](TBitBtn& x, const std::wstring& v) { x.SetCaption(v); })
        .stored = [](const TObject& o) {
          const auto& x = static_cast<const TBitBtn&>(o);
          return x.Kind() == bkCustom || x.Caption() != KindCaption(x.Kind());
        };
    b.Boolean("Cancel", [](const TBitBtn& x) { return x.Cancel(); }, [](TBitBtn& x, std::int64_t v) { x.SetCancel(v != 0); })
        .stored = custom;
    b.Boolean("Default", [](const TBitBtn& x) { return x.Default(); }, [](TBitBtn& x, std::int64_t v) { x.SetDefault(v != 0); })
        .stored = custom;
    b.Integer("ModalResult", [](const TBitBtn& x) { return x.ModalResult(); }, [](TBitBtn& x, std::int64_t v) { x.SetModalResult(static_cast<int>(v)); })
        .stored = custom;
    b.Object("Glyph", TPropKind::Object, TBitmap::StaticClass(), [](const TBitBtn& x) { return const_cast<TBitmap*>(&x.Glyph()); }, nullptr)
        .stored = custom;
    b.Enum("Kind", "TBitBtnKind", {"bkCustom", "bkOK", "bkCancel", "bkHelp", "bkYes", "bkNo", "bkClose", "bkAbort", "bkRetry", "bkIgnore", "bkAll"},
           [](const TBitBtn& x) { return x.Kind(); }, [](TBitBtn& x, std::int64_t v) { x.SetKind(static_cast<TBitBtnKind>(v)); })
        .defaultValue = std::int64_t{bkCustom};
    b.Enum("Layout", "TButtonLayout", {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"}, [](const TBitBtn& x) { return x.Layout(); },
           [](TBitBtn& x, std::int64_t v) { x.SetLayout(static_cast<TButtonLayout>(v)); })
        .defaultValue = std::int64_t{blGlyphLeft};
    b.Integer("Margin", [](const TBitBtn& x) { return x.Margin(); }, [](TBitBtn& x, std::int64_t v) { x.SetMargin(static_cast<int>(v)); })
        .defaultValue = std::int64_t{-1};
    b.Integer("NumGlyphs", [](const TBitBtn& x) { return x.NumGlyphs(); }, [](TBitBtn& x, std::int64_t v) { x.SetNumGlyphs(static_cast<int>(v)); },
              "TNumGlyphs")
        .defaultValue = std::int64_t{1};
    b.Integer("Spacing", [](const TBitBtn& x) { return x.Spacing(); }, [](TBitBtn& x, std::int64_t v) { x.SetSpacing(static_cast<int>(v)); })
        .defaultValue = std::int64_t{4};
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

TBitBtn::TBitBtn(TComponent* owner, const TClassInfo& cls) : TButton(owner, cls) {}

void TBitBtn::CreateParams(TCreateParams& p) {
  TButton::CreateParams(p);
  p.style = (p.style & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_OWNERDRAW;
}

void TBitBtn::SetGlyph(const TBitmap& bitmap) {
  glyph_.SetGlyph(bitmap);
  glyphModified_ = true;
  Invalidate();
}

void TBitBtn::SetNumGlyphs(int n) {
  glyph_.SetNumGlyphs(n);
  Invalidate();
}

void TBitBtn::SetLayout(TButtonLayout l) {
  layout_ = l;
  Invalidate();
}

void TBitBtn::SetMargin(int m) {
  margin_ = m < -1 ? -1 : m;
  Invalidate();
}

void TBitBtn::SetSpacing(int s) {
  spacing_ = s;
  Invalidate();
}

namespace {

bool KindIsDefault(TBitBtnKind k) { return k == bkOK || k == bkYes; }
bool KindIsCancel(TBitBtnKind k) { return k == bkCancel || k == bkNo; }

}  // namespace

std::wstring TBitBtn::KindCaption(TBitBtnKind k) {
  static const wchar_t* const captions[] = {L"", L"OK", L"Cancel", L"&Help", L"&Yes", L"&No",
                                            L"&Close", L"Abort", L"&Retry", L"&Ignore", L"&All"};
  return k >= bkCustom && k <= bkAll ? captions[k] : L"";
}

int TBitBtn::KindModalResult(TBitBtnKind k) {
  static const int results[] = {mrNone, mrOk, mrCancel, mrNone, mrYes, mrNo, mrNone, mrAbort, mrRetry, mrIgnore, mrAll};
  return k >= bkCustom && k <= bkAll ? results[k] : mrNone;
}

TBitBtnKind TBitBtn::Kind() const {
  if (kind_ == bkCustom || glyphModified_) return bkCustom;
  if (Default() != KindIsDefault(kind_) || Cancel() != KindIsCancel(kind_) || ModalResult() != KindModalResult(kind_))
    return bkCustom;
  return kind_;
}

void TBitBtn::SetKind(TBitBtnKind k) {
  if (k < bkCustom || k > bkAll) k = bkCustom;
  if (k != bkCustom) {
    SetDefault(KindIsDefault(k));
    SetCancel(KindIsCancel(k));
    if (!HasState(csLoading) || Caption().empty()) SetCaption(KindCaption(k));
    SetModalResult(KindModalResult(k));
    TBitmap glyph;
    KindGlyph(k, glyph);
    glyph_.SetGlyph(glyph);
    glyph_.SetNumGlyphs(2);
    glyphModified_ = false;
  }
  kind_ = k;
  Invalidate();
}

void TBitBtn::Click() {
  const TBitBtnKind k = Kind();
  TButton::Click();
  if (k != bkClose) return;
  for (TWinControl* p = parent_; p; p = p->Parent())
    if (p->Is<TCustomForm>()) {
      static_cast<TCustomForm*>(p)->Close();
      break;
    }
}

void TBitBtn::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CN_DRAWITEM:
      DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam));
      m.Result = TRUE;
      return;
    case WM_LBUTTONDBLCLK:
      // An owner-drawn button reports double clicks apart; a quick second click is a click.
      m.Msg = WM_LBUTTONDOWN;
      break;
    case WM_KEYDOWN:
      if (m.WParam == VK_RETURN) {
        Click();
        return;
      }
      break;
    case CM_ENABLEDCHANGED:
    case CM_FONTCHANGED:
    case CM_TEXTCHANGED:
    case CM_COLORCHANGED:
      Invalidate();
      break;
    default:
      break;
  }
  TButton::WndProc(m);
}

void TBitBtn::DrawItem(const DRAWITEMSTRUCT& dis) {
  HDC dc = dis.hDC;
  const bool pressed = (dis.itemState & ODS_SELECTED) != 0;
  const bool focused = (dis.itemState & ODS_FOCUS) != 0;
  const bool disabled = (dis.itemState & ODS_DISABLED) != 0 || !enabled_;
  RECT full{0, 0, width_, height_};
  if (handle_) GetClientRect(handle_, &full);
  const int saved = SaveDC(dc);
  {
    TCanvas canvas(dc);
    canvas.Font().Assign(font_);
    RECT r = full;
    canvas.Brush.color = color_;
    canvas.FillRect(r);
    if (Default() || focused) {
      canvas.Brush.color = clWindowFrame;
      canvas.FrameRect(r);
      InflateRect(&r, -1, -1);
    }
    if (pressed) {
      canvas.Brush.color = clBtnShadow;
      canvas.FrameRect(r);
    } else {
      DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
    }
    const RECT box{full.left + 2, full.top + 2, full.right - 2, full.bottom - 2};
    const TButtonState state = disabled ? bsDisabled : pressed ? bsDown : bsUp;
    glyph_.Draw(canvas, box, pressed ? POINT{1, 1} : POINT{0, 0}, GetText(), layout_, margin_, spacing_, state,
                DrawTextBiDiModeFlags(0));
    if (focused) {
      RECT f = full;
      InflateRect(&f, -4, -4);
      canvas.DrawFocusRect(f);
    }
    canvas.SetHandle(nullptr);
  }
  RestoreDC(dc, saved);
}

// ----- the standard glyphs -----

void TBitBtn::KindGlyph(TBitBtnKind k, TBitmap& out) {
  out.SetPixelFormat(TPixelFormat::pf24bit);
  if (k <= bkCustom || k > bkAll) {
    out.SetSize(0, 0);
    return;
  }
  constexpr int kSize = 18;
  constexpr std::uint32_t kKey = 0xFF00FF;
  image::TvexImage img(kSize, kSize, kKey);
  image::TRaster r(img, kKey, image::ColorToPixel(static_cast<std::uint32_t>(ColorToRGB(clBtnFace))));
  const std::uint32_t green = image::Rgb(0, 128, 0), red = image::Rgb(200, 0, 0), blue = image::Rgb(0, 0, 160);
  const auto check = [&](double dx, std::uint32_t c) {
    r.Line(3 + dx, 9.5, 7 + dx, 13.5, 2.4, c);
    r.Line(7 + dx, 13.5, 15 + dx, 4, 2.4, c);
  };
  switch (k) {
    case bkOK:
    case bkYes:
      check(0, green);
      break;
    case bkAll:
      check(-2, green);
      check(1.5, image::Rgb(0, 160, 0));
      break;
    case bkCancel:
      r.Line(4, 4, 14, 14, 2.6, red);
      r.Line(14, 4, 4, 14, 2.6, red);
      break;
    case bkNo:
      r.Ring(9, 9, 6.5, 2.2, red);
      r.Line(4.5, 13.5, 13.5, 4.5, 2.2, red);
      break;
    case bkAbort:
      r.Ellipse(9, 9, 7, 7, red);
      r.Line(6, 6, 12, 12, 2, image::Rgb(255, 255, 255));
      r.Line(12, 6, 6, 12, 2, image::Rgb(255, 255, 255));
      break;
    case bkHelp:
      // A question mark: a hook of strokes and a dot.
      r.Line(5.5, 6, 7, 3.5, 2.2, blue);
      r.Line(7, 3.5, 11, 3.5, 2.2, blue);
      r.Line(11, 3.5, 12.5, 6, 2.2, blue);
      r.Line(12.5, 6, 9, 9.5, 2.2, blue);
      r.Line(9, 9.5, 9, 11.5, 2.2, blue);
      r.Ellipse(9, 14.5, 1.4, 1.4, blue);
      break;
    case bkClose:
      // A door standing open with its knob.
      r.Fill(4, 2, 14, 16, image::Rgb(128, 64, 0));
      r.Fill(5, 3, 13, 15, image::Rgb(255, 255, 192));
      r.Fill(5, 3, 10, 15, image::Rgb(160, 96, 32));
      r.Ellipse(8.5, 9, 0.9, 0.9, image::Rgb(255, 215, 0));
      break;
    case bkRetry:
      // A circular arrow.
      r.Ring(9, 9.5, 5.5, 2.2, green);
      r.Fill(9, 2, 16, 9, kKey);
      r.Triangle(9, 1.5, 13.5, 4.5, 9, 7.5, green);
      break;
    case bkIgnore:
      // An arrow jumping over a bar.
      r.Fill(8, 10, 10, 16, image::Rgb(128, 128, 128));
      r.Line(3, 13, 6, 6, 2, blue);
      r.Line(6, 6, 11, 6, 2, blue);
      r.Triangle(11, 2.5, 15.5, 6, 11, 9.5, blue);
      break;
    default:
      break;
  }
  TBitmap normal;
  normal.SetPixelFormat(TPixelFormat::pf24bit);
  normal.LoadFromImage(img);
  TBitmap disabled;
  MakeDisabledImage(normal, 0, 1, static_cast<TColor>(image::PixelToColor(kKey)), MakeRgb(128, 128, 128),
                    MakeRgb(255, 255, 255), disabled);
  out.SetSize(kSize * 2, kSize);
  out.CopyPixels(0, 0, normal, 0, 0, kSize, kSize);
  out.CopyPixels(kSize, 0, disabled, 0, 0, kSize, kSize);
}

}  // namespace vex::host
