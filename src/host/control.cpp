#include "host/control.h"

#include <algorithm>

#include <windowsx.h>

#include "host/prop_builder.h"
#include "host/win_control.h"

namespace vex::host {

const TClassInfo& TControl::StaticClass() {
  static TClassInfo info("TControl", &TComponent::StaticClass());
  static const bool once = [] {
    TPropBuilder<TControl> b(info);
    b.Integer("Left", [](const TControl& c) { return c.Left(); }, [](TControl& c, std::int64_t v) { c.SetLeft(static_cast<int>(v)); });
    b.Integer("Top", [](const TControl& c) { return c.Top(); }, [](TControl& c, std::int64_t v) { c.SetTop(static_cast<int>(v)); });
    b.Integer("Width", [](const TControl& c) { return c.Width(); }, [](TControl& c, std::int64_t v) { c.SetWidth(static_cast<int>(v)); });
    b.Integer("Height", [](const TControl& c) { return c.Height(); }, [](TControl& c, std::int64_t v) { c.SetHeight(static_cast<int>(v)); });
    b.Enum("Align", "TAlign", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"},
           [](const TControl& c) { return c.Align(); }, [](TControl& c, std::int64_t v) { c.SetAlign(static_cast<TAlign>(v)); })
        .defaultValue = std::int64_t{alNone};
    b.Set("Anchors", "TAnchors", {"akLeft", "akTop", "akRight", "akBottom"}, [](const TControl& c) { return c.Anchors(); },
          [](TControl& c, std::int64_t v) { c.SetAnchors(static_cast<int>(v)); })
        .defaultValue = std::int64_t{akLeft | akTop};
    b.Enum("BiDiMode", "TBiDiMode", {"bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign", "bdRightToLeftReadingOnly"},
           [](const TControl& c) { return c.BiDiMode(); }, [](TControl& c, std::int64_t v) { c.SetBiDiMode(static_cast<TBiDiMode>(v)); })
        .stored = [](const TObject& o) { return !static_cast<const TControl&>(o).ParentBiDiMode(); };
    b.WideString("Caption", [](const TControl& c) { return c.Caption(); }, [](TControl& c, const std::wstring& v) { c.SetCaption(v); });
    b.Color("Color", [](const TControl& c) { return c.Color(); }, [](TControl& c, std::int64_t v) { c.SetColor(static_cast<TColor>(v)); });
    b.Boolean("Enabled", [](const TControl& c) { return c.Enabled(); }, [](TControl& c, std::int64_t v) { c.SetEnabled(v != 0); })
        .defaultValue = std::int64_t{1};
    b.Object("Font", TPropKind::Object, TFont::StaticClass(), [](const TControl& c) { return const_cast<TFont*>(&c.Font()); }, nullptr)
        .stored = [](const TObject& o) { return !static_cast<const TControl&>(o).ParentFont(); };
    b.Boolean("ParentBiDiMode", [](const TControl& c) { return c.ParentBiDiMode(); },
              [](TControl& c, std::int64_t v) { c.SetParentBiDiMode(v != 0); })
        .defaultValue = std::int64_t{1};
    b.Boolean("ParentColor", [](const TControl& c) { return c.ParentColor(); }, [](TControl& c, std::int64_t v) { c.SetParentColor(v != 0); })
        .defaultValue = std::int64_t{0};
    b.Boolean("ParentFont", [](const TControl& c) { return c.ParentFont(); }, [](TControl& c, std::int64_t v) { c.SetParentFont(v != 0); })
        .defaultValue = std::int64_t{1};
    b.Boolean("Visible", [](const TControl& c) { return c.Visible(); }, [](TControl& c, std::int64_t v) { c.SetVisible(v != 0); })
        .defaultValue = std::int64_t{1};
    b.Method("OnClick", "TNotifyEvent", [](const TControl& c) { return c.OnClick; }, [](TControl& c, const TMethodValue& m) { c.OnClick = m; });
    return true;
  }();
  (void)once;
  return info;
}

TControl::TControl(TComponent* owner, const TClassInfo& cls) : TComponent(owner, cls) {
  WindowProc = [this](TMessage& m) { WndProc(m); };
  font_.OnChange = [this](TObject*) {
    parentFont_ = false;
    Perform(CM_FONTCHANGED);
  };
}

TControl::~TControl() {
  if (parent_) parent_->RemoveControl(this);
}

void TControl::BeforeDestruction() {
  if (parent_) parent_->RemoveControl(this);
  TComponent::BeforeDestruction();
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent == this) throw EComponentError("A control cannot be its own parent");
  if (parent_) parent_->RemoveControl(this);
  if (parent) parent->InsertControl(this);
}

TComponent* TControl::GetParentComponent() const { return parent_; }

void TControl::SetParentComponent(TComponent* parent) {
  if (parent && parent->Is<TWinControl>()) SetParent(static_cast<TWinControl*>(parent));
}

void TControl::ParentChanged() {
  if (!parent_) return;
  if (parentBiDiMode_ && bidi_ != parent_->BiDiMode()) TakeBiDiMode(parent_->BiDiMode());
  if (parentColor_) color_ = parent_->Color();
  if (parentFont_) {
    auto handler = std::move(font_.OnChange);
    font_.Assign(parent_->Font());
    font_.OnChange = std::move(handler);
    Perform(CM_FONTCHANGED);
  }
}

void TControl::ChangeScale(int m, int d) {
  if (m == d || m <= 0 || d <= 0) return;
  const int l = MulDiv(left_, m, d), t = MulDiv(top_, m, d);
  const int r = MulDiv(left_ + width_, m, d), b = MulDiv(top_ + height_, m, d);
  // The distances kept by right and bottom anchors are to the parent's scaled size: placing the
  // control while its parent still has the old one must not measure them again.
  const int ar = MulDiv(anchorRight_, m, d), ab = MulDiv(anchorBottom_, m, d);
  if (!parentFont_) font_.Scale(m, d);
  SetBounds(l, t, r - l, b - t);
  anchorRight_ = ar;
  anchorBottom_ = ab;
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  const bool changed = left != left_ || top != top_ || width != width_ || height != height_;
  if (!changed) return;
  const RECT old = BoundsRect();
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  BoundsChanged();
  if (parent_) {
    parent_->UpdateAnchorDistances(this);
    // A windowless control repaints where it was and where it is.
    if (!Is<TWinControl>() && parent_->HandleAllocated()) {
      InvalidateRect(parent_->Handle(), &old, TRUE);
      Invalidate();
    }
    if (align_ != alNone) parent_->Realign();
    if (parent_) parent_->ControlBoundsChanged(this);
  }
}

void TControl::SetClientSize(int width, int height) {
  const RECT c = ClientRect();
  SetBounds(left_, top_, width_ + width - c.right, height_ + height - c.bottom);
}

void TControl::SetAlign(TAlign a) {
  if (a == align_) return;
  align_ = a;
  if (parent_) parent_->Realign();
}

void TControl::SetAnchors(int a) {
  anchors_ = a;
  if (parent_) parent_->UpdateAnchorDistances(this);
}

void TControl::SetVisible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  if (parent_ && parent_->HandleAllocated()) {
    InvalidateRect(parent_->Handle(), nullptr, TRUE);
    if (align_ != alNone) parent_->Realign();
  }
  if (parent_) parent_->ControlBoundsChanged(this);
  Perform(CM_VISIBLECHANGED, v);
}

void TControl::SetEnabled(bool e) {
  if (e == enabled_) return;
  enabled_ = e;
  Invalidate();
  Perform(CM_ENABLEDCHANGED);
}

void TControl::SetColor(TColor c) {
  parentColor_ = false;
  if (c == color_) return;
  color_ = c;
  Invalidate();
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool v) {
  parentColor_ = v;
  if (v && parent_ && color_ != parent_->Color()) {
    color_ = parent_->Color();
    Invalidate();
    // Children that take this control's colour take the new one too.
    Perform(CM_COLORCHANGED);
  }
}

void TControl::SetParentFont(bool v) {
  parentFont_ = v;
  if (v) ParentChanged();
}

void TControl::SetText(const std::wstring& s) {
  if (s == text_) return;
  text_ = s;
  Invalidate();
  Perform(CM_TEXTCHANGED);
}

void TControl::SetBiDiMode(TBiDiMode m) {
  parentBiDiMode_ = false;
  TakeBiDiMode(m);
}

void TControl::SetParentBiDiMode(bool v) {
  parentBiDiMode_ = v;
  if (v && parent_) TakeBiDiMode(parent_->BiDiMode());
}

void TControl::TakeBiDiMode(TBiDiMode m) {
  bidi_ = m;
  Invalidate();
  Perform(CM_BIDIMODECHANGED);
}

UINT TControl::DrawTextBiDiModeFlags(UINT flags) const {
  if (UseRightToLeftAlignment()) {
    if (flags & DT_RIGHT)
      flags &= ~DT_RIGHT;
    else if (!(flags & DT_CENTER))
      flags |= DT_RIGHT;
  }
  if (UseRightToLeftReading()) flags |= DT_RTLREADING;
  return flags;
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage m{msg, wParam, lParam, 0};
  if (WindowProc) WindowProc(m);
  return m.Result;
}

void TControl::Invalidate() {
  if (parent_ && parent_->HandleAllocated()) {
    const RECT r = BoundsRect();
    InvalidateRect(parent_->Handle(), &r, TRUE);
  }
}

void TControl::Repaint() {
  Invalidate();
  if (parent_ && parent_->HandleAllocated()) UpdateWindow(parent_->Handle());
}

void TControl::BringToFront() {
  if (auto* self = dynamic_cast<TWinControl*>(this)) {
    if (self->HandleAllocated())
      SetWindowPos(self->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    return;
  }
  if (!parent_) return;
  auto& list = parent_->controls_;
  const auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  list.push_back(this);
  Invalidate();
}

void TControl::Click() {
  if (OnClick.handler) OnClick.handler(this);
}

void TControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_MOUSEENTER:
      mouseInside_ = true;
      if (OnMouseEnter) OnMouseEnter(this);
      break;
    case CM_MOUSELEAVE:
      mouseInside_ = false;
      if (OnMouseLeave) OnMouseLeave(this);
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if ((controlStyle_ & csClickEvents) && enabled_) clickPending_ = true;
      break;
    case WM_LBUTTONUP: {
      const bool pending = clickPending_;
      clickPending_ = false;
      const POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
      const RECT r = ClientRect();
      if (pending && PtInRect(&r, p) && !Is<TWinControl>()) Click();
      break;
    }
    default:
      break;
  }
  DefaultHandler(m);
}

const TClassInfo& TGraphicControl::StaticClass() {
  static const TClassInfo info("TGraphicControl", &TControl::StaticClass());
  return info;
}

TGraphicControl::TGraphicControl(TComponent* owner, const TClassInfo& cls) : TControl(owner, cls) {
  controlStyle_ |= csOpaque;
}

TGraphicControl::~TGraphicControl() { canvas_.SetHandle(nullptr); }

void TGraphicControl::WndProc(TMessage& m) {
  if (m.Msg == WM_PAINT && m.WParam) {
    // Painting by the parent: WParam is its device context, already moved to this control.
    canvas_.SetHandle(reinterpret_cast<HDC>(m.WParam));
    canvas_.Font().Assign(font_);
    Paint();
    canvas_.SetHandle(nullptr);
    return;
  }
  TControl::WndProc(m);
}

}  // namespace vex::host
