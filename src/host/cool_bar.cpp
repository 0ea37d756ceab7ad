#include "host/cool_bar.h"

#include <commctrl.h>

#include <vector>

#include "host/prop_builder.h"

namespace vex::host {

const TClassInfo& TCoolBand::StaticClass() {
  static TClassInfo info("TCoolBand", &TCollectionItem::StaticClass());
  static const bool once = [] {
    TPropBuilder<TCoolBand> b(info);
    b.Boolean("Break", [](const TCoolBand& x) { return x.Break(); }, [](TCoolBand& x, std::int64_t v) { x.SetBreak(v != 0); })
        .defaultValue = std::int64_t{1};
    b.Object("Control", TPropKind::Object, TWinControl::StaticClass(), [](const TCoolBand& x) { return x.Control(); },
             [](TCoolBand& x, TObject* o) { x.SetControl(static_cast<TWinControl*>(o)); });
    b.WideString("Text", [](const TCoolBand& x) { return x.Text(); }, [](TCoolBand& x, const std::wstring& v) { x.SetText(v); });
    b.Integer("Width", [](const TCoolBand& x) { return x.Width(); }, [](TCoolBand& x, std::int64_t v) { x.SetWidth(static_cast<int>(v)); })
        .defaultValue = std::int64_t{100};
    return true;
  }();
  (void)once;
  return info;
}

TCoolBand::~TCoolBand() {
  TCoolBar* bar = CoolBar();
  if (control_ && bar) control_->RemoveFreeNotification(bar);
}

TCoolBar* TCoolBand::CoolBar() const { return Collection() ? static_cast<TCoolBands*>(Collection())->CoolBar() : nullptr; }

void TCoolBand::Changed() {
  if (Collection()) Collection()->Update(this);
}

void TCoolBand::SetControl(TWinControl* c) {
  if (c == control_) return;
  TCoolBar* bar = CoolBar();
  if (control_ && bar) control_->RemoveFreeNotification(bar);
  control_ = c;
  if (c && bar) {
    c->FreeNotification(bar);
    if (c->Parent() != bar) c->SetParent(bar);
  }
  Changed();
}

void TCoolBand::SetText(const std::wstring& s) {
  text_ = s;
  Changed();
}

int TCoolBand::Width() const {
  TCoolBar* bar = CoolBar();
  const int index = Index();
  if (bar && bar->HandleAllocated() && !bar->updating_ && index < SendMessageW(bar->Handle(), RB_GETBANDCOUNT, 0, 0)) {
    REBARBANDINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = RBBIM_SIZE;
    if (SendMessageW(bar->Handle(), RB_GETBANDINFOW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&info)))
      return static_cast<int>(info.cx);
  }
  return width_;
}

void TCoolBand::SetWidth(int w) {
  width_ = w;
  Changed();
}

void TCoolBand::SetBreak(bool b) {
  break_ = b;
  Changed();
}

void TCoolBand::Assign(const TPersistent& source) {
  if (!source.Is<TCoolBand>()) return TCollectionItem::Assign(source);
  const auto& s = static_cast<const TCoolBand&>(source);
  text_ = s.text_;
  width_ = s.Width();
  break_ = s.break_;
  SetControl(s.control_);
  Changed();
}

const TClassInfo& TCoolBands::StaticClass() {
  static const TClassInfo info("TCoolBands", &TCollection::StaticClass());
  return info;
}

TCoolBands::TCoolBands(TCoolBar* owner)
    : TCollection([](TCollection* c) { return std::make_unique<TCoolBand>(c); }, owner, StaticClass()), bar_(owner) {}

void TCoolBands::Update(TCollectionItem*) {
  if (bar_) bar_->UpdateBands();
}

const TClassInfo& TCoolBar::StaticClass() {
  static TClassInfo info("TCoolBar", &TWinControl::StaticClass(), ComponentFactory<TCoolBar>);
  static const bool once = [] {
    TPropBuilder<TCoolBar> b(info);
    b.Boolean("AutoSize", [](const TCoolBar& x) { return x.AutoSize(); }, [](TCoolBar& x, std::int64_t v) { x.SetAutoSize(v != 0); })
        .defaultValue = std::int64_t{1};
    b.Object("Bands", TPropKind::Collection, TCoolBands::StaticClass(), [](const TCoolBar& x) { return const_cast<TCoolBands*>(&x.Bands()); },
             [](TCoolBar& x, TObject* o) {
               if (o && o->Is<TCoolBands>()) x.Bands().Assign(*static_cast<TCoolBands*>(o));
             });
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

TCoolBar::TCoolBar(TComponent* owner, const TClassInfo& cls) : TWinControl(owner, cls), bands_(std::make_unique<TCoolBands>(this)) {
  width_ = 150;
  height_ = 75;
  align_ = alTop;
  controlStyle_ |= csAcceptsControls;
  controlStyle_ &= ~(csSetCaption | csDoubleClicks);
}

TCoolBar::~TCoolBar() {
  DestroyWnd();
  bands_.reset();
}

void TCoolBar::CreateParams(TCreateParams& p) {
  static const bool registered = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_COOL_CLASSES};
    return InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)registered;
  TWinControl::CreateParams(p);
  p.baseClass = REBARCLASSNAMEW;
  p.caption.clear();
  p.style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER | RBS_VARHEIGHT | RBS_BANDBORDERS;
}

void TCoolBar::CreateWnd() {
  TWinControl::CreateWnd();
  themeOff_ = false;
  bandBack_ = bandFore_ = CLR_DEFAULT;
  UpdateBands();
  ApplyColours();
}

void TCoolBar::ApplyColours() {
  if (!handle_) return;
  const TColor ink = font_.Color();
  const COLORREF back = color_ != clBtnFace ? static_cast<COLORREF>(ColorToRGB(color_)) : CLR_DEFAULT;
  const COLORREF fore = ink != clBtnText && ink != clWindowText && ink != clDefault ? static_cast<COLORREF>(ColorToRGB(ink)) : CLR_DEFAULT;
  if (back == bandBack_ && fore == bandFore_) return;
  bandBack_ = back;
  bandFore_ = fore;
  const bool own = back != CLR_DEFAULT || fore != CLR_DEFAULT;
  if (own != themeOff_) {
    themeOff_ = own;
    UseVisualStyles(handle_, !own);
  }
  SendMessageW(handle_, RB_SETBKCOLOR, 0, static_cast<LPARAM>(back));
  SendMessageW(handle_, RB_SETTEXTCOLOR, 0, static_cast<LPARAM>(fore));
  const int count = static_cast<int>(SendMessageW(handle_, RB_GETBANDCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    REBARBANDINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = RBBIM_COLORS;
    info.clrBack = back;
    info.clrFore = fore;
    SendMessageW(handle_, RB_SETBANDINFOW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&info));
  }
  InvalidateRect(handle_, nullptr, TRUE);
}

void TCoolBar::Loaded() {
  TWinControl::Loaded();
  UpdateBands();
}

void TCoolBar::SetAutoSize(bool v) {
  autoSize_ = v;
  AdjustHeight();
}

void TCoolBar::DestroyWnd() {
  SaveBandWidths();
  TWinControl::DestroyWnd();
}

void TCoolBar::SaveBandWidths() {
  if (!handle_) return;
  for (int i = 0; i < bands_->Count(); ++i) bands_->Items(i)->width_ = bands_->Items(i)->Width();
}

void TCoolBar::ChangeScale(int m, int d) {
  // The band controls' heights are taken before anything moves: the bar lays its bands out
  // again when its own size changes, and sizes their controls back to the old heights.
  std::vector<int> heights;
  const bool scaling = m != d && m > 0 && d > 0;
  if (scaling)
    for (int i = 0; i < bands_->Count(); ++i) {
      TCoolBand* band = bands_->Items(i);
      band->width_ = MulDiv(band->Width(), m, d);
      heights.push_back(band->control_ ? MulDiv(band->control_->Height(), m, d) : 0);
    }
  TWinControl::ChangeScale(m, d);
  if (scaling)
    for (int i = 0; i < bands_->Count() && i < static_cast<int>(heights.size()); ++i)
      if (TWinControl* c = bands_->Items(i)->control_) c->SetBounds(c->Left(), c->Top(), c->Width(), heights[static_cast<std::size_t>(i)]);
  UpdateBands();
}

void TCoolBar::FitBandsToControls() {
  if (!handle_ || updating_) return;
  bool changed = false;
  const int count = static_cast<int>(SendMessageW(handle_, RB_GETBANDCOUNT, 0, 0));
  for (int i = 0; i < bands_->Count() && i < count; ++i) {
    TWinControl* c = bands_->Items(i)->control_;
    if (!c) continue;
    REBARBANDINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = RBBIM_CHILDSIZE;
    if (!SendMessageW(handle_, RB_GETBANDINFOW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&info))) continue;
    const UINT height = static_cast<UINT>(c->Height());
    if (info.cyMinChild == height) continue;
    info.cyMinChild = height;
    SendMessageW(handle_, RB_SETBANDINFOW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&info));
    changed = true;
  }
  if (changed) AdjustHeight();
}

void TCoolBar::UpdateBands() {
  if (!handle_ || updating_ || HasState(csLoading)) return;
  updating_ = true;
  while (SendMessageW(handle_, RB_GETBANDCOUNT, 0, 0) > 0) SendMessageW(handle_, RB_DELETEBAND, 0, 0);
  for (int i = 0; i < bands_->Count(); ++i) {
    TCoolBand* band = bands_->Items(i);
    REBARBANDINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = RBBIM_STYLE | RBBIM_TEXT | RBBIM_SIZE | RBBIM_ID | RBBIM_COLORS;
    info.clrBack = bandBack_;
    info.clrFore = bandFore_;
    info.fStyle = RBBS_CHILDEDGE | (band->break_ ? RBBS_BREAK : 0);
    info.lpText = const_cast<LPWSTR>(band->text_.c_str());
    info.cx = static_cast<UINT>(band->width_);
    info.wID = static_cast<UINT>(i);
    if (band->control_) {
      info.fMask |= RBBIM_CHILD | RBBIM_CHILDSIZE;
      info.hwndChild = band->control_->Handle();
      info.cxMinChild = 0;
      info.cyMinChild = static_cast<UINT>(band->control_->Height());
    }
    SendMessageW(handle_, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&info));
  }
  updating_ = false;
  AdjustHeight();
}

void TCoolBar::AdjustHeight() {
  if (!handle_ || !autoSize_) return;
  const int h = static_cast<int>(SendMessageW(handle_, RB_GETBARHEIGHT, 0, 0));
  if (h > 0 && h != height_) SetBounds(left_, top_, width_, h);
}

void TCoolBar::Notification(TComponent* c, TOperation op) {
  TWinControl::Notification(c, op);
  if (op != TOperation::opRemove || !bands_) return;
  for (int i = 0; i < bands_->Count(); ++i)
    if (bands_->Items(i)->control_ == c) {
      bands_->Items(i)->control_ = nullptr;
      if (!HasState(csDestroying)) UpdateBands();
    }
}

void TCoolBar::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CN_NOTIFY:
      if (reinterpret_cast<NMHDR*>(m.LParam)->code == RBN_HEIGHTCHANGE) {
        AdjustHeight();
        m.Result = 0;
        return;
      }
      break;
    case WM_DESTROY:
      SaveBandWidths();
      break;
    case CM_FONTCHANGED:
      ApplyColours();
      // The controls take the new font with the bar (a combo box its height from it): each
      // band is as tall as its control then.
      TWinControl::WndProc(m);
      FitBandsToControls();
      return;
    case WM_PAINT:
    case CM_COLORCHANGED:
      // The colours at the time of painting: the font's may be given for one paint only.
      ApplyColours();
      break;
    default:
      break;
  }
  TWinControl::WndProc(m);
}

}  // namespace vex::host
