#include "host/speed_button.h"

#include <windowsx.h>

#include "host/prop_builder.h"
#include "host/win_control.h"

namespace vex::host {

const TClassInfo& TSpeedButton::StaticClass() {
  static TClassInfo info("TSpeedButton", &TGraphicControl::StaticClass(), ComponentFactory<TSpeedButton>);
  static const bool once = [] {
    TPropBuilder<TSpeedButton> b(info);
    // Group first: Down read after GroupIndex and AllowAllUp.
    b.Boolean("AllowAllUp", [](const TSpeedButton& x) { return x.AllowAllUp(); }, [](TSpeedButton& x, std::int64_t v) { x.SetAllowAllUp(v != 0); })
        .defaultValue = std::int64_t{0};
    b.Integer("GroupIndex", [](const TSpeedButton& x) { return x.GroupIndex(); }, [](TSpeedButton& x, std::int64_t v) { x.SetGroupIndex(static_cast<int>(v)); })
        .defaultValue = std::int64_t{0};
    b.Boolean("Down", [](const TSpeedButton& x) { return x.Down(); }, [](TSpeedButton& x, std::int64_t v) { x.SetDown(v != 0); })
        .defaultValue = std::int64_t{0};
    b.Boolean("Flat", [](const TSpeedButton& x) { return x.Flat(); }, [](TSpeedButton& x, std::int64_t v) { x.SetFlat(v != 0); })
        .defaultValue = std::int64_t{0};
    b.Object("Glyph", TPropKind::Object, TBitmap::StaticClass(), [](const TSpeedButton& x) { return const_cast<TBitmap*>(&x.Glyph()); }, nullptr);
    b.Enum("Layout", "TButtonLayout", {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"}, [](const TSpeedButton& x) { return x.Layout(); },
           [](TSpeedButton& x, std::int64_t v) { x.SetLayout(static_cast<TButtonLayout>(v)); })
        .defaultValue = std::int64_t{blGlyphLeft};
    b.Integer("Margin", [](const TSpeedButton& x) { return x.Margin(); }, [](TSpeedButton& x, std::int64_t v) { x.SetMargin(static_cast<int>(v)); })
        .defaultValue = std::int64_t{-1};
    b.Integer("NumGlyphs", [](const TSpeedButton& x) { return x.NumGlyphs(); }, [](TSpeedButton& x, std::int64_t v) { x.SetNumGlyphs(static_cast<int>(v)); },
              "TNumGlyphs")
        .defaultValue = std::int64_t{1};
    b.Integer("Spacing", [](const TSpeedButton& x) { return x.Spacing(); }, [](TSpeedButton& x, std::int64_t v) { x.SetSpacing(static_cast<int>(v)); })
        .defaultValue = std::int64_t{4};
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

TSpeedButton::TSpeedButton(TComponent* owner, const TClassInfo& cls) : TGraphicControl(owner, cls) {
  width_ = 23;
  height_ = 22;
  // The button clicks itself on a release inside; its caption is not its name.
  controlStyle_ = csCaptureMouse | csDoubleClicks | csOpaque;
}

void TSpeedButton::SetGlyph(const TBitmap& bitmap) {
  glyph_.SetGlyph(bitmap);
  Invalidate();
}

void TSpeedButton::SetNumGlyphs(int n) {
  glyph_.SetNumGlyphs(n);
  Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout l) {
  layout_ = l;
  Invalidate();
}

void TSpeedButton::SetMargin(int m) {
  margin_ = m < -1 ? -1 : m;
  Invalidate();
}

void TSpeedButton::SetSpacing(int s) {
  spacing_ = s;
  Invalidate();
}

void TSpeedButton::SetFlat(bool f) {
  flat_ = f;
  Invalidate();
}

void TSpeedButton::SetState(TButtonState s) {
  if (s == state_) return;
  state_ = s;
  Invalidate();
}

TButtonState TSpeedButton::State() const { return enabled_ ? state_ : bsDisabled; }

void TSpeedButton::SetDown(bool d) {
  if (groupIndex_ == 0) d = false;
  if (d == down_) return;
  if (down_ && !allowAllUp_) return;
  down_ = d;
  SetState(d ? bsExclusive : bsUp);
  Invalidate();
  if (d) UpdateExclusive();
}

void TSpeedButton::SetGroupIndex(int g) {
  if (g == groupIndex_) return;
  groupIndex_ = g;
  if (g == 0 && down_) {
    down_ = false;
    SetState(bsUp);
  }
  UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool a) {
  if (a == allowAllUp_) return;
  allowAllUp_ = a;
  UpdateExclusive();
}

void TSpeedButton::UpdateExclusive() {
  if (groupIndex_ == 0 || !parent_) return;
  for (int i = 0; i < parent_->ControlCount(); ++i) {
    TControl* c = parent_->Controls(i);
    if (c == this || !c->Is<TSpeedButton>()) continue;
    auto* other = static_cast<TSpeedButton*>(c);
    if (other->groupIndex_ != groupIndex_) continue;
    if (down_ && other->down_) {
      other->down_ = false;
      other->SetState(bsUp);
    }
    other->allowAllUp_ = allowAllUp_;
  }
}

void TSpeedButton::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (enabled_) {
        if (!down_) SetState(bsDown);
        dragging_ = true;
      }
      break;
    case WM_MOUSEMOVE:
      if (dragging_) {
        if (!(m.WParam & MK_LBUTTON)) {
          // The release went elsewhere (a double click is not captured).
          dragging_ = false;
          SetState(down_ ? bsExclusive : bsUp);
          break;
        }
        const POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
        const RECT r = ClientRect();
        const bool inside = PtInRect(&r, p) != FALSE;
        SetState(down_ ? bsExclusive : inside ? bsDown : bsUp);
      }
      break;
    case WM_LBUTTONUP:
      if (dragging_) {
        dragging_ = false;
        const POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
        const RECT r = ClientRect();
        const bool inside = PtInRect(&r, p) != FALSE;
        if (inside && groupIndex_ != 0) SetDown(!down_);
        SetState(down_ ? bsExclusive : bsUp);
        if (inside) Click();
      }
      break;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      if (flat_ && enabled_) Invalidate();
      break;
    case CM_ENABLEDCHANGED:
      if (!enabled_) dragging_ = false;
      state_ = down_ ? bsExclusive : bsUp;
      Invalidate();
      break;
    default:
      break;
  }
  TGraphicControl::WndProc(m);
}

void TSpeedButton::Paint() {
  TCanvas& c = Canvas();
  HDC dc = c.Handle();
  RECT r = ClientRect();
  const TButtonState state = State();
  const bool sunk = state == bsDown || state == bsExclusive;
  // A button that stays down shows a lighter face, as the checked look of tool buttons.
  if (state == bsExclusive) {
    const TColor face = ColorToRGB(color_), light = ColorToRGB(clBtnHighlight);
    c.Brush.color = MakeRgb((ColorRed(face) + ColorRed(light)) / 2, (ColorGreen(face) + ColorGreen(light)) / 2,
                            (ColorBlue(face) + ColorBlue(light)) / 2);
  } else {
    c.Brush.color = color_;
  }
  c.Brush.style = TBrushStyle::bsSolid;
  c.FillRect(r);
  if (!flat_) {
    RECT e = r;
    DrawEdge(dc, &e, sunk ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  } else if (sunk) {
    RECT e = r;
    DrawEdge(dc, &e, BDR_SUNKENOUTER, BF_RECT);
  } else if (MouseInControl() && enabled_) {
    RECT e = r;
    DrawEdge(dc, &e, BDR_RAISEDINNER, BF_RECT);
  }
  const RECT box{r.left + 2, r.top + 2, r.right - 2, r.bottom - 2};
  glyph_.Draw(c, box, sunk ? POINT{1, 1} : POINT{0, 0}, text_, layout_, margin_, spacing_, state, DrawTextBiDiModeFlags(0));
}

}  // namespace vex::host
