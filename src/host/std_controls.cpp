#include "host/std_controls.h"

#include "host/form.h"
#include "host/prop_builder.h"

#include <algorithm>

namespace vex::host {

const TClassInfo& TCustomLabel::StaticClass() {
  static TClassInfo info("TCustomLabel", &TGraphicControl::StaticClass());
  static const bool once = [] {
    TPropBuilder<TCustomLabel> b(info);
    b.Enum("Alignment", "TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"}, [](const TCustomLabel& l) { return l.Alignment(); },
           [](TCustomLabel& l, std::int64_t v) { l.SetAlignment(static_cast<TAlignment>(v)); })
        .defaultValue = std::int64_t{taLeftJustify};
    b.Boolean("AutoSize", [](const TCustomLabel& l) { return l.AutoSize(); }, [](TCustomLabel& l, std::int64_t v) { l.SetAutoSize(v != 0); })
        .defaultValue = std::int64_t{1};
    b.Object("FocusControl", TPropKind::Object, TWinControl::StaticClass(), [](const TCustomLabel& l) { return l.FocusControl(); },
             [](TCustomLabel& l, TObject* o) { l.SetFocusControl(static_cast<TWinControl*>(o)); });
    b.Enum("Layout", "TTextLayout", {"tlTop", "tlCenter", "tlBottom"}, [](const TCustomLabel& l) { return l.Layout(); },
           [](TCustomLabel& l, std::int64_t v) { l.SetLayout(static_cast<TTextLayout>(v)); })
        .defaultValue = std::int64_t{tlTop};
    b.Boolean("ShowAccelChar", [](const TCustomLabel& l) { return l.ShowAccelChar(); },
              [](TCustomLabel& l, std::int64_t v) { l.SetShowAccelChar(v != 0); })
        .defaultValue = std::int64_t{1};
    b.Boolean("Transparent", [](const TCustomLabel& l) { return l.Transparent(); },
              [](TCustomLabel& l, std::int64_t v) { l.SetTransparent(v != 0); })
        .defaultValue = std::int64_t{1};
    b.Boolean("WordWrap", [](const TCustomLabel& l) { return l.WordWrap(); }, [](TCustomLabel& l, std::int64_t v) { l.SetWordWrap(v != 0); })
        .defaultValue = std::int64_t{0};
    return true;
  }();
  (void)once;
  return info;
}

const TClassInfo& TLabel::StaticClass() {
  static TClassInfo info("TLabel", &TCustomLabel::StaticClass(), ComponentFactory<TLabel>);
  static const bool once = [] {
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

bool IsAccel(wchar_t ch, const std::wstring& caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != L'&') continue;
    if (caption[i + 1] == L'&') {
      ++i;  // "&&" is a plain ampersand
      continue;
    }
    return CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(caption[i + 1]))) ==
           CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(ch)));
  }
  return false;
}

TCustomLabel::TCustomLabel(TComponent* owner, const TClassInfo& cls) : TGraphicControl(owner, cls) {
  width_ = 65;
  height_ = 17;
  parentColor_ = true;
}

TCustomLabel::~TCustomLabel() { SetFocusControl(nullptr); }

void TCustomLabel::SetAlignment(TAlignment a) {
  alignment_ = a;
  Invalidate();
}
void TCustomLabel::SetLayout(TTextLayout l) {
  layout_ = l;
  Invalidate();
}
void TCustomLabel::SetWordWrap(bool w) {
  wordWrap_ = w;
  AdjustSize();
  Invalidate();
}
void TCustomLabel::SetTransparent(bool t) {
  transparent_ = t;
  Invalidate();
}
void TCustomLabel::SetAutoSize(bool a) {
  autoSize_ = a;
  AdjustSize();
}
void TCustomLabel::SetShowAccelChar(bool v) {
  showAccelChar_ = v;
  AdjustSize();
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* c) {
  if (c == focusControl_) return;
  if (focusControl_) focusControl_->RemoveFreeNotification(this);
  focusControl_ = c;
  if (c) c->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* c, TOperation op) {
  TGraphicControl::Notification(c, op);
  if (op == TOperation::opRemove && c == focusControl_) focusControl_ = nullptr;
}

void TCustomLabel::SetText(const std::wstring& s) {
  TControl::SetText(s);
  AdjustSize();
}

void TCustomLabel::WndProc(TMessage& m) {
  if (m.Msg == CM_DIALOGCHAR) {
    if (focusControl_ && enabled_ && showAccelChar_ && IsAccel(static_cast<wchar_t>(m.WParam), text_) && focusControl_->CanFocus()) {
      focusControl_->SetFocus();
      m.Result = 1;
    } else {
      m.Result = 0;
    }
    return;
  }
  TGraphicControl::WndProc(m);
  if (m.Msg == CM_FONTCHANGED) AdjustSize();
}

UINT TCustomLabel::TextFlags() const {
  UINT flags = DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE);
  if (!showAccelChar_) flags |= DT_NOPREFIX;
  return flags;
}

void TCustomLabel::AdjustSize() {
  if (!autoSize_) return;
  RECT r{0, 0, wordWrap_ ? width_ : 0, 0};
  {
    TWindowDC screen(nullptr, TWindowDC::TKind::Client);
    TSelectObject font(screen.Get(), font_.Handle());
    const std::wstring text = text_.empty() ? L" " : text_;
    ::DrawTextW(screen.Get(), text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | TextFlags());
  }
  const int width = wordWrap_ ? width_ : r.right;
  // A label whose text stands at its right end (right-justified, or left-justified aligned right to
  // left) keeps that end where it is; centered text stands at neither end, and keeps the left one.
  const bool rightEnd = alignment_ != taCenter && (alignment_ == taRightJustify) != UseRightToLeftAlignment();
  SetBounds(rightEnd ? left_ + width_ - width : left_, top_, width, r.bottom);
}

void TCustomLabel::Paint() {
  TCanvas& c = Canvas();
  RECT r = ClientRect();
  if (!transparent_) {
    // The canvas keeps its brush between paints: the text below leaves it clear.
    c.Brush.style = TBrushStyle::bsSolid;
    c.Brush.color = color_;
    c.FillRect(r);
  }
  c.Brush.style = TBrushStyle::bsClear;
  UINT flags = TextFlags();
  flags |= alignment_ == taCenter ? DT_CENTER : alignment_ == taRightJustify ? DT_RIGHT : DT_LEFT;
  flags = DrawTextBiDiModeFlags(flags);
  if (layout_ != tlTop) {
    // The text's height at this width decides how far down it starts.
    RECT calc = r;
    const std::wstring measured = text_.empty() ? L" " : text_;
    c.DrawText(measured, calc, flags | DT_CALCRECT);
    const int free = (r.bottom - r.top) - (calc.bottom - calc.top);
    r.top += layout_ == tlCenter ? free / 2 : free;
  }
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
    const std::vector<std::string> cuts{"bvNone", "bvLowered", "bvRaised", "bvSpace"};
    b.Enum("Alignment", "TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"}, [](const TCustomPanel& p) { return p.Alignment(); },
           [](TCustomPanel& p, std::int64_t v) { p.SetAlignment(static_cast<TAlignment>(v)); })
        .defaultValue = std::int64_t{taCenter};
    b.Enum("BevelInner", "TBevelCut", cuts, [](const TCustomPanel& p) { return p.BevelInner(); },
           [](TCustomPanel& p, std::int64_t v) { p.SetBevelInner(static_cast<TBevelCut>(v)); })
        .defaultValue = std::int64_t{bvNone};
    b.Enum("BevelOuter", "TBevelCut", cuts, [](const TCustomPanel& p) { return p.BevelOuter(); },
           [](TCustomPanel& p, std::int64_t v) { p.SetBevelOuter(static_cast<TBevelCut>(v)); })
        .defaultValue = std::int64_t{bvRaised};
    b.Integer("BevelWidth", [](const TCustomPanel& p) { return p.BevelWidth(); },
              [](TCustomPanel& p, std::int64_t v) { p.SetBevelWidth(static_cast<int>(v)); })
        .defaultValue = std::int64_t{1};
    b.Enum("BorderStyle", "TBorderStyle", {"bsNone", "bsSingle"}, [](const TCustomPanel& p) { return p.BorderStyle(); },
           [](TCustomPanel& p, std::int64_t v) { p.SetBorderStyle(static_cast<TBorderStyle>(v)); })
        .defaultValue = std::int64_t{bsNone};
    b.Boolean("ParentBackground", [](const TCustomPanel& p) { return p.ParentBackground(); },
              [](TCustomPanel& p, std::int64_t v) { p.SetParentBackground(v != 0); })
        .defaultValue = std::int64_t{0};
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
void TCustomPanel::SetBevelInner(TBevelCut b) {
  bevelInner_ = b;
  Invalidate();
}
void TCustomPanel::SetBevelWidth(int w) {
  bevelWidth_ = std::max(w, 1);
  Invalidate();
}
void TCustomPanel::SetBorderStyle(TBorderStyle b) {
  if (b != bsSingle) b = bsNone;
  if (b == borderStyle_) return;
  borderStyle_ = b;
  RecreateWnd();
}
void TCustomPanel::SetAlignment(TAlignment a) {
  alignment_ = a;
  Invalidate();
}
void TCustomPanel::SetParentBackground(bool v) {
  parentBackground_ = v;
  Invalidate();
}

void TCustomPanel::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  if (borderStyle_ == bsSingle) p.exStyle |= WS_EX_CLIENTEDGE;
}

void Frame3D(HDC dc, RECT& r, TColor topLeft, TColor bottomRight, int width) {
  const TOwnedBrush tl(CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(topLeft))));
  const TOwnedBrush br(CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(bottomRight))));
  for (int i = 0; i < width && r.right - r.left > 1 && r.bottom - r.top > 1; ++i) {
    const RECT top{r.left, r.top, r.right - 1, r.top + 1}, left{r.left, r.top, r.left + 1, r.bottom - 1};
    const RECT bottom{r.left, r.bottom - 1, r.right, r.bottom}, right{r.right - 1, r.top, r.right, r.bottom};
    FillRect(dc, &top, tl.Get());
    FillRect(dc, &left, tl.Get());
    FillRect(dc, &bottom, br.Get());
    FillRect(dc, &right, br.Get());
    InflateRect(&r, -1, -1);
  }
}

namespace {

// Raised: light top-left, dark bottom-right; lowered the other way round; a space keeps the colour.
void PanelBevel(HDC dc, RECT& r, TBevelCut cut, TColor face, int width) {
  if (cut == bvNone) return;
  if (cut == bvSpace) {
    Frame3D(dc, r, face, face, width);
    return;
  }
  const bool raised = cut == bvRaised;
  Frame3D(dc, r, raised ? clBtnHighlight : clBtnShadow, raised ? clBtnShadow : clBtnHighlight, width);
}

}  // namespace

void TCustomPanel::WndProc(TMessage& m) {
  if (m.Msg == WM_ERASEBKGND && parentBackground_ && parent_ && parent_->HandleAllocated() && handle_) {
    // The parent paints its own background into this window, moved to where the panel stands.
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    POINT origin{0, 0};
    MapWindowPoints(handle_, parent_->Handle(), &origin, 1);
    POINT old;
    OffsetViewportOrgEx(dc, -origin.x, -origin.y, &old);
    SendMessageW(parent_->Handle(), WM_ERASEBKGND, m.WParam, 0);
    SetViewportOrgEx(dc, old.x, old.y, nullptr);
    m.Result = 1;
    return;
  }
  TCustomControl::WndProc(m);
}

void TCustomPanel::Paint() {
  TCanvas& c = Canvas();
  RECT r = ClientRect();
  PanelBevel(c.Handle(), r, bevelOuter_, color_, bevelWidth_);
  PanelBevel(c.Handle(), r, bevelInner_, color_, bevelWidth_);
  if (!parentBackground_) {
    c.Brush.style = TBrushStyle::bsSolid;
    c.Brush.color = color_;
    c.FillRect(r);
  }
  if (text_.empty()) return;
  c.Brush.style = TBrushStyle::bsClear;
  UINT flags = DT_SINGLELINE | DT_VCENTER | (alignment_ == taCenter ? DT_CENTER : alignment_ == taRightJustify ? DT_RIGHT : DT_LEFT);
  InflateRect(&r, -2, 0);
  c.DrawText(text_, r, DrawTextBiDiModeFlags(flags));
}

const TClassInfo& TCustomGroupBox::StaticClass() {
  static const TClassInfo info("TCustomGroupBox", &TCustomControl::StaticClass());
  return info;
}

const TClassInfo& TGroupBox::StaticClass() {
  static TClassInfo info("TGroupBox", &TCustomGroupBox::StaticClass(), ComponentFactory<TGroupBox>);
  static const bool once = [] {
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

TCustomGroupBox::TCustomGroupBox(TComponent* owner, const TClassInfo& cls) : TCustomControl(owner, cls) {
  width_ = 185;
  height_ = 105;
  controlStyle_ |= csAcceptsControls | csOpaque;
}

RECT TCustomGroupBox::CaptionRect() {
  if (text_.empty()) return RECT{};
  TWindowDC screen(nullptr, TWindowDC::TKind::Client);
  TSelectObject font(screen.Get(), font_.Handle());
  RECT r{0, 0, 0, 0};
  ::DrawTextW(screen.Get(), text_.c_str(), static_cast<int>(text_.size()), &r, DT_CALCRECT | DT_SINGLELINE);
  const int left = UseRightToLeftAlignment() ? width_ - 8 - r.right : 8;
  OffsetRect(&r, left, 0);
  return r;
}

void TCustomGroupBox::Paint() {
  TCanvas& c = Canvas();
  RECT client = ClientRect();
  c.Brush.style = TBrushStyle::bsSolid;
  c.Brush.color = color_;
  c.FillRect(client);
  const int h = c.TextHeight(L"0");
  RECT frame{0, h / 2, client.right, client.bottom};
  // An etched line: dark outside, light inside.
  DrawEdge(c.Handle(), &frame, EDGE_ETCHED, BF_RECT);
  if (text_.empty()) return;
  RECT cap = CaptionRect();
  // The caption's background cuts the frame line behind it.
  c.FillRect(cap);
  c.Brush.style = TBrushStyle::bsClear;
  c.DrawText(text_, cap, DrawTextBiDiModeFlags(DT_SINGLELINE | DT_LEFT));
}

void TCustomGroupBox::WndProc(TMessage& m) {
  if (m.Msg == CM_DIALOGCHAR && IsAccel(static_cast<wchar_t>(m.WParam), text_) && CanFocus()) {
    if (TWinControl* first = FindNextControl(nullptr, true)) {
      first->SetFocus();
      m.Result = 1;
      return;
    }
  }
  TCustomControl::WndProc(m);
}

}  // namespace vex::host
