#include "host/std_controls.h"

#include "host/form.h"
#include "host/prop_builder.h"

namespace vex::host {

const TClassInfo& TLabel::StaticClass() {
  static TClassInfo info("TLabel", &TGraphicControl::StaticClass(), ComponentFactory<TLabel>);
  static const bool once = [] {
    TPropBuilder<TLabel> b(info);
    b.Enum("Alignment", "TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"}, [](const TLabel& l) { return l.Alignment(); },
           [](TLabel& l, std::int64_t v) { l.SetAlignment(static_cast<TAlignment>(v)); })
        .defaultValue = std::int64_t{taLeftJustify};
    b.Boolean("AutoSize", [](const TLabel& l) { return l.AutoSize(); }, [](TLabel& l, std::int64_t v) { l.SetAutoSize(v != 0); })
        .defaultValue = std::int64_t{1};
    b.Boolean("Transparent", [](const TLabel& l) { return l.Transparent(); }, [](TLabel& l, std::int64_t v) { l.SetTransparent(v != 0); })
        .defaultValue = std::int64_t{1};
    b.Boolean("WordWrap", [](const TLabel& l) { return l.WordWrap(); }, [](TLabel& l, std::int64_t v) { l.SetWordWrap(v != 0); })
        .defaultValue = std::int64_t{0};
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

TLabel::TLabel(TComponent* owner, const TClassInfo& cls) : TGraphicControl(owner, cls) {
  width_ = 65;
  height_ = 17;
  parentColor_ = true;
}

void TLabel::SetAlignment(TAlignment a) {
  alignment_ = a;
  Invalidate();
}
void TLabel::SetWordWrap(bool w) {
  wordWrap_ = w;
  AdjustSize();
  Invalidate();
}
void TLabel::SetTransparent(bool t) {
  transparent_ = t;
  Invalidate();
}
void TLabel::SetAutoSize(bool a) {
  autoSize_ = a;
  AdjustSize();
}

void TLabel::SetText(const std::wstring& s) {
  TControl::SetText(s);
  AdjustSize();
}

void TLabel::WndProc(TMessage& m) {
  TGraphicControl::WndProc(m);
  if (m.Msg == CM_FONTCHANGED) AdjustSize();
}

void TLabel::AdjustSize() {
  if (!autoSize_) return;
  RECT r{0, 0, wordWrap_ ? width_ : 0, 0};
  {
    TWindowDC screen(nullptr, TWindowDC::TKind::Client);
    TSelectObject font(screen.Get(), font_.Handle());
    const std::wstring text = text_.empty() ? L" " : text_;
    ::DrawTextW(screen.Get(), text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | (wordWrap_ ? DT_WORDBREAK : 0));
  }
  SetBounds(left_, top_, wordWrap_ ? width_ : r.right, r.bottom);
}

void TLabel::Paint() {
  TCanvas& c = Canvas();
  RECT r = ClientRect();
  if (!transparent_) {
    // The canvas keeps its brush between paints: the text below leaves it clear.
    c.Brush.style = TBrushStyle::bsSolid;
    c.Brush.color = color_;
    c.FillRect(r);
  }
  c.Brush.style = TBrushStyle::bsClear;
  UINT flags = DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE);
  flags |= alignment_ == taCenter ? DT_CENTER : alignment_ == taRightJustify ? DT_RIGHT : DT_LEFT;
  flags = DrawTextBiDiModeFlags(flags);
  if (!enabled_) {
    c.Font().SetColor(clBtnHighlight);
    RECT shifted = r;
    OffsetRect(&shifted, 1, 1);
    c.DrawText(text_, shifted, flags);
    c.Font().SetColor(clBtnShadow);
  }
  c.DrawText(text_, r, flags);
}

const TClassInfo& TButton::StaticClass() {
  static TClassInfo info("TButton", &TWinControl::StaticClass(), ComponentFactory<TButton>);
  static const bool once = [] {
    TPropBuilder<TButton> b(info);
    b.Boolean("Cancel", [](const TButton& x) { return x.Cancel(); }, [](TButton& x, std::int64_t v) { x.SetCancel(v != 0); })
        .defaultValue = std::int64_t{0};
    b.Boolean("Default", [](const TButton& x) { return x.Default(); }, [](TButton& x, std::int64_t v) { x.SetDefault(v != 0); })
        .defaultValue = std::int64_t{0};
    b.Integer("ModalResult", [](const TButton& x) { return x.ModalResult(); }, [](TButton& x, std::int64_t v) { x.SetModalResult(static_cast<int>(v)); })
        .defaultValue = std::int64_t{0};
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

TButton::TButton(TComponent* owner, const TClassInfo& cls) : TWinControl(owner, cls) {
  width_ = 75;
  height_ = 25;
  tabStop_ = true;
  controlStyle_ &= ~csSetCaption;
}

void TButton::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.baseClass = L"BUTTON";
  p.style |= (default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
}

void TButton::SetDefault(bool d) {
  default_ = d;
  if (!handle_) return;
  // An owner-drawn button stays one: it shows being the default itself.
  if ((GetWindowLongW(handle_, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW)
    InvalidateRect(handle_, nullptr, TRUE);
  else
    SendMessageW(handle_, BM_SETSTYLE, d ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::Click() {
  if (modalResult_ != mrNone) {
    for (TWinControl* p = parent_; p; p = p->Parent())
      if (p->Is<TCustomForm>()) {
        static_cast<TCustomForm*>(p)->SetModalResult(modalResult_);
        break;
      }
  }
  TControl::Click();
}

void TButton::WndProc(TMessage& m) {
  if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == BN_CLICKED) {
    Click();
    return;
  }
  TWinControl::WndProc(m);
}

namespace {

// The first visible, enabled button below `parent` that is its form's Default (or Cancel) one.
TButton* FindDialogButton(const TWinControl& parent, bool cancel) {
  for (int i = 0; i < parent.ControlCount(); ++i) {
    TControl* c = parent.Controls(i);
    if (!c->Is<TWinControl>() || !c->Visible() || !c->Enabled()) continue;
    if (c->Is<TButton>()) {
      auto* b = static_cast<TButton*>(c);
      if (cancel ? b->Cancel() : b->Default()) return b;
    } else if (TButton* b = FindDialogButton(*static_cast<TWinControl*>(c), cancel)) {
      return b;
    }
  }
  return nullptr;
}

}  // namespace

bool ButtonDialogKey(TWinControl& form, const MSG& msg) {
  if (msg.message != WM_KEYDOWN || (msg.wParam != VK_RETURN && msg.wParam != VK_ESCAPE)) return false;
  if (msg.hwnd) {
    MSG query = msg;
    const LRESULT code = SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&query));
    if (code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) return false;
  }
  TButton* target = nullptr;
  TWinControl* focused = TWinControl::FindControl(msg.hwnd);
  if (msg.wParam == VK_RETURN && focused && focused->Is<TButton>() && focused->Enabled())
    target = static_cast<TButton*>(focused);
  else
    target = FindDialogButton(form, msg.wParam == VK_ESCAPE);
  if (!target || !target->CanFocus()) return false;
  target->Click();
  return true;
}

const TClassInfo& TCustomPanel::StaticClass() {
  static TClassInfo info("TCustomPanel", &TCustomControl::StaticClass());
  static const bool once = [] {
    TPropBuilder<TCustomPanel> b(info);
    b.Enum("Alignment", "TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"}, [](const TCustomPanel& p) { return p.Alignment(); },
           [](TCustomPanel& p, std::int64_t v) { p.SetAlignment(static_cast<TAlignment>(v)); })
        .defaultValue = std::int64_t{taCenter};
    b.Enum("BevelOuter", "TBevelCut", {"bvNone", "bvLowered", "bvRaised", "bvSpace"}, [](const TCustomPanel& p) { return p.BevelOuter(); },
           [](TCustomPanel& p, std::int64_t v) { p.SetBevelOuter(static_cast<TBevelCut>(v)); })
        .defaultValue = std::int64_t{bvRaised};
    return true;
  }();
  (void)once;
  return info;
}

const TClassInfo& TPanel::StaticClass() {
  static TClassInfo info("TPanel", &TCustomPanel::StaticClass(), ComponentFactory<TPanel>);
  static const bool once = [] {
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

TCustomPanel::TCustomPanel(TComponent* owner, const TClassInfo& cls) : TCustomControl(owner, cls) {
  width_ = 185;
  height_ = 41;
  controlStyle_ |= csAcceptsControls | csOpaque;
}

void TCustomPanel::SetBevelOuter(TBevelCut b) {
  bevelOuter_ = b;
  Invalidate();
}
void TCustomPanel::SetAlignment(TAlignment a) {
  alignment_ = a;
  Invalidate();
}

void TCustomPanel::Paint() {
  TCanvas& c = Canvas();
  RECT r = ClientRect();
  if (bevelOuter_ == bvRaised || bevelOuter_ == bvLowered) {
    DrawEdge(c.Handle(), &r, bevelOuter_ == bvRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  }
  c.Brush.color = color_;
  c.FillRect(r);
  if (text_.empty()) return;
  c.Brush.style = TBrushStyle::bsClear;
  UINT flags = DT_SINGLELINE | DT_VCENTER | (alignment_ == taCenter ? DT_CENTER : alignment_ == taRightJustify ? DT_RIGHT : DT_LEFT);
  InflateRect(&r, -2, 0);
  c.DrawText(text_, r, DrawTextBiDiModeFlags(flags));
}

}  // namespace vex::host
