#include "host/status_bar.h"

#include <commctrl.h>

#include "host/prop_builder.h"
#include "host/canvas.h"

namespace vex::host {

const TClassInfo& TStatusPanel::StaticClass() {
  static TClassInfo info("TStatusPanel", &TCollectionItem::StaticClass());
  static const bool once = [] {
    TPropBuilder<TStatusPanel> b(info);
    b.Enum("Alignment", "TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"}, [](const TStatusPanel& x) { return x.Alignment(); },
           [](TStatusPanel& x, std::int64_t v) { x.SetAlignment(static_cast<TAlignment>(v)); })
        .defaultValue = std::int64_t{taLeftJustify};
    b.Enum("Bevel", "TStatusPanelBevel", {"pbNone", "pbLowered", "pbRaised"}, [](const TStatusPanel& x) { return x.Bevel(); },
           [](TStatusPanel& x, std::int64_t v) { x.SetBevel(static_cast<TStatusPanelBevel>(v)); })
        .defaultValue = std::int64_t{pbLowered};
    b.Enum("Style", "TStatusPanelStyle", {"psText", "psOwnerDraw"}, [](const TStatusPanel& x) { return x.Style(); },
           [](TStatusPanel& x, std::int64_t v) { x.SetStyle(static_cast<TStatusPanelStyle>(v)); })
        .defaultValue = std::int64_t{psText};
    b.WideString("Text", [](const TStatusPanel& x) { return x.Text(); }, [](TStatusPanel& x, const std::wstring& v) { x.SetText(v); });
    b.Integer("Width", [](const TStatusPanel& x) { return x.Width(); }, [](TStatusPanel& x, std::int64_t v) { x.SetWidth(static_cast<int>(v)); })
        .defaultValue = std::int64_t{50};
    return true;
  }();
  (void)once;
  return info;
}

void TStatusPanel::Changed() {
  if (Collection()) Collection()->Update(this);
}
void TStatusPanel::SetText(const std::wstring& s) {
  text_ = s;
  Changed();
}
void TStatusPanel::SetWidth(int w) {
  width_ = w < 0 ? 0 : w;
  Changed();
}
void TStatusPanel::SetAlignment(TAlignment a) {
  alignment_ = a;
  Changed();
}
void TStatusPanel::SetStyle(TStatusPanelStyle s) {
  style_ = s;
  Changed();
}
void TStatusPanel::SetBevel(TStatusPanelBevel b) {
  bevel_ = b;
  Changed();
}

void TStatusPanel::Assign(const TPersistent& source) {
  if (!source.Is<TStatusPanel>()) return TCollectionItem::Assign(source);
  const auto& s = static_cast<const TStatusPanel&>(source);
  text_ = s.text_;
  width_ = s.width_;
  alignment_ = s.alignment_;
  style_ = s.style_;
  bevel_ = s.bevel_;
  Changed();
}

const TClassInfo& TStatusPanels::StaticClass() {
  static const TClassInfo info("TStatusPanels", &TCollection::StaticClass());
  return info;
}

TStatusPanels::TStatusPanels(TCustomStatusBar* owner)
    : TCollection([](TCollection* c) { return std::make_unique<TStatusPanel>(c); }, owner, StaticClass()), bar_(owner) {}

void TStatusPanels::Update(TCollectionItem*) {
  if (bar_) bar_->UpdatePanels();
}

const TClassInfo& TCustomStatusBar::StaticClass() {
  static TClassInfo info("TCustomStatusBar", &TWinControl::StaticClass());
  static const bool once = [] {
    TPropBuilder<TCustomStatusBar> b(info);
    b.Object("Panels", TPropKind::Collection, TStatusPanels::StaticClass(),
             [](const TCustomStatusBar& x) { return const_cast<TStatusPanels*>(&x.Panels()); },
             [](TCustomStatusBar& x, TObject* o) {
               if (o && o->Is<TStatusPanels>()) x.Panels().Assign(*static_cast<TStatusPanels*>(o));
             });
    b.Boolean("SimplePanel", [](const TCustomStatusBar& x) { return x.SimplePanel(); },
              [](TCustomStatusBar& x, std::int64_t v) { x.SetSimplePanel(v != 0); })
        .defaultValue = std::int64_t{0};
    b.WideString("SimpleText", [](const TCustomStatusBar& x) { return x.SimpleText(); },
                 [](TCustomStatusBar& x, const std::wstring& v) { x.SetSimpleText(v); });
    b.Boolean("SizeGrip", [](const TCustomStatusBar& x) { return x.SizeGrip(); },
              [](TCustomStatusBar& x, std::int64_t v) { x.SetSizeGrip(v != 0); })
        .defaultValue = std::int64_t{1};
    return true;
  }();
  (void)once;
  return info;
}

const TClassInfo& TStatusBar::StaticClass() {
  static TClassInfo info("TStatusBar", &TCustomStatusBar::StaticClass(), ComponentFactory<TStatusBar>);
  static const bool once = [] {
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

TCustomStatusBar::TCustomStatusBar(TComponent* owner, const TClassInfo& cls)
    : TWinControl(owner, cls), panels_(std::make_unique<TStatusPanels>(this)) {
  width_ = 200;
  height_ = 19;
  align_ = alBottom;
  controlStyle_ &= ~(csSetCaption | csDoubleClicks);
}

TCustomStatusBar::~TCustomStatusBar() {
  canvas_.SetHandle(nullptr);
  DestroyWnd();
}

void TCustomStatusBar::CreateParams(TCreateParams& p) {
  static const bool registered = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
    return InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)registered;
  TWinControl::CreateParams(p);
  p.baseClass = STATUSCLASSNAMEW;
  p.caption.clear();
  // The framework places the bar (Align), not the control itself.
  p.style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
  if (sizeGrip_) p.style |= SBARS_SIZEGRIP;
}

void TCustomStatusBar::CreateWnd() {
  TWinControl::CreateWnd();
  themeOff_ = false;
  ApplyColor();
  UpdatePanels();
}


void TCustomStatusBar::ApplyColor() {
  if (!handle_) return;
  // The system's button face is the control's own background. A bar drawn with visual styles
  // ignores its background colour, so a bar of another colour is drawn without them.
  const bool own = color_ != clBtnFace;
  const COLORREF c = own ? static_cast<COLORREF>(ColorToRGB(color_)) : CLR_DEFAULT;
  if (own != themeOff_) {
    themeOff_ = own;
    UseVisualStyles(handle_, !own);
  }
  SendMessageW(handle_, SB_SETBKCOLOR, 0, static_cast<LPARAM>(c));
  InvalidateRect(handle_, nullptr, TRUE);
}

bool TCustomStatusBar::DrawsOwnText() const {
  const TColor c = font_.Color();
  return c != clWindowText && c != clBtnText && c != clDefault;
}

void TCustomStatusBar::DrawText(const std::wstring& text, TAlignment alignment, HDC dc, const RECT& r) {
  const int saved = SaveDC(dc);
  canvas_.SetHandle(dc);
  canvas_.Font().Assign(font_);
  canvas_.Brush.style = TBrushStyle::bsClear;
  RECT inner = r;
  InflateRect(&inner, -2, 0);
  const UINT align = alignment == taCenter ? DT_CENTER : alignment == taRightJustify ? DT_RIGHT : DT_LEFT;
  canvas_.DrawText(text, inner, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS | align);
  canvas_.Brush.style = TBrushStyle::bsSolid;
  canvas_.SetHandle(nullptr);
  RestoreDC(dc, saved);
}

void TCustomStatusBar::SetSimplePanel(bool v) {
  if (v == simplePanel_) return;
  simplePanel_ = v;
  if (handle_) SendMessageW(handle_, SB_SIMPLE, v, 0);
}

void TCustomStatusBar::SetSimpleText(const std::wstring& s) {
  simpleText_ = s;
  if (!handle_) return;
  if (DrawsOwnText()) {
    SendMessageW(handle_, SB_SETTEXTW, SB_SIMPLEID | SBT_OWNERDRAW, 0);
    InvalidateRect(handle_, nullptr, TRUE);
  } else {
    SendMessageW(handle_, SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(s.c_str()));
  }
}

void TCustomStatusBar::SetSizeGrip(bool v) {
  if (v == sizeGrip_) return;
  sizeGrip_ = v;
  RecreateWnd();
}

void TCustomStatusBar::ChangeScale(int m, int d) {
  if (m != d && m > 0 && d > 0)
    for (int i = 0; i < panels_->Count(); ++i) {
      TStatusPanel* p = panels_->Items(i);
      p->SetWidth(MulDiv(p->Width(), m, d));
    }
  TWinControl::ChangeScale(m, d);
}

void TCustomStatusBar::UpdatePanels() {
  if (!handle_) return;
  const int n = panels_->Count();
  if (n == 0) {
    // No panels: one part across the bar, with no text.
    int edge = -1;
    SendMessageW(handle_, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&edge));
    SendMessageW(handle_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L""));
  } else {
    const bool ownText = DrawsOwnText();
    std::vector<int> edges(static_cast<std::size_t>(n));
    int x = 0;
    for (int i = 0; i < n; ++i) {
      x += panels_->Items(i)->Width();
      // The last panel takes the rest of the bar.
      edges[static_cast<std::size_t>(i)] = i == n - 1 ? -1 : x;
    }
    SendMessageW(handle_, SB_SETPARTS, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(edges.data()));
    for (int i = 0; i < n; ++i) {
      const TStatusPanel* p = panels_->Items(i);
      WPARAM type = static_cast<WPARAM>(i);
      if (p->Bevel() == pbNone) type |= SBT_NOBORDERS;
      if (p->Bevel() == pbRaised) type |= SBT_POPOUT;
      if (p->Style() == psOwnerDraw || ownText) {
        SendMessageW(handle_, SB_SETTEXTW, type | SBT_OWNERDRAW, i);
        continue;
      }
      // A tab before the text centres it, two put it at the right.
      std::wstring text = p->Alignment() == taCenter ? L"\t" : p->Alignment() == taRightJustify ? L"\t\t" : L"";
      text += p->Text();
      SendMessageW(handle_, SB_SETTEXTW, type, reinterpret_cast<LPARAM>(text.c_str()));
    }
  }
  if (DrawsOwnText())
    SendMessageW(handle_, SB_SETTEXTW, SB_SIMPLEID | SBT_OWNERDRAW, 0);
  else
    SendMessageW(handle_, SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(simpleText_.c_str()));
  SendMessageW(handle_, SB_SIMPLE, simplePanel_, 0);
}

void TCustomStatusBar::WndProc(TMessage& m) {
  if (m.Msg == CM_COLORCHANGED) ApplyColor();
  if (m.Msg == CM_FONTCHANGED && handle_) {
    TWinControl::WndProc(m);
    // The text may now be the bar's to draw, or the control's again.
    UpdatePanels();
    InvalidateRect(handle_, nullptr, TRUE);
    return;
  }
  if (m.Msg == CN_DRAWITEM) {
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
    const int index = static_cast<int>(dis->itemID);
    if (simplePanel_ || index == SB_SIMPLEID) {
      if (DrawsOwnText()) DrawText(simpleText_, taLeftJustify, dis->hDC, dis->rcItem);
      m.Result = 1;
      return;
    }
    if (index >= 0 && index < panels_->Count() && panels_->Items(index)->Style() == psText) {
      const TStatusPanel* p = panels_->Items(index);
      DrawText(p->Text(), p->Alignment(), dis->hDC, dis->rcItem);
      m.Result = 1;
      return;
    }
    if (OnDrawPanel && index >= 0 && index < panels_->Count()) {
      const int saved = SaveDC(dis->hDC);
      canvas_.SetHandle(dis->hDC);
      canvas_.Font().Assign(font_);
      canvas_.Brush.color = color_;
      try {
        OnDrawPanel(this, panels_->Items(index), dis->rcItem);
      } catch (...) {
        canvas_.SetHandle(nullptr);
        RestoreDC(dis->hDC, saved);
        throw;
      }
      canvas_.SetHandle(nullptr);
      RestoreDC(dis->hDC, saved);
    }
    m.Result = 1;
    return;
  }
  TWinControl::WndProc(m);
}

}  // namespace vex::host
