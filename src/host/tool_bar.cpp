#include "host/tool_bar.h"

#include <algorithm>
#include <cwctype>

#include "host/menu_tracking.h"
#include "host/prop_builder.h"

#include <windowsx.h>

namespace vex::host {

namespace {
// Command identifiers of tool buttons, unique in the process.
UINT NextButtonCommand() {
  static UINT next = 0x7000;
  return next++;
}
}  // namespace

// ----- buttons -----

const TClassInfo& TToolButton::StaticClass() {
  static TClassInfo info("TToolButton", &TGraphicControl::StaticClass(), ComponentFactory<TToolButton>);
  static const bool once = [] {
    TPropBuilder<TToolButton> b(info);
    b.Integer("ImageIndex", [](const TToolButton& x) { return x.ImageIndex(); }, [](TToolButton& x, std::int64_t v) { x.SetImageIndex(static_cast<int>(v)); })
        .defaultValue = std::int64_t{-1};
    b.Enum("Style", "TToolButtonStyle", {"tbsButton", "tbsCheck", "tbsDropDown", "tbsSeparator", "tbsDivider"},
           [](const TToolButton& x) { return x.Style(); }, [](TToolButton& x, std::int64_t v) { x.SetStyle(static_cast<TToolButtonStyle>(v)); })
        .defaultValue = std::int64_t{tbsButton};
    b.Boolean("Down", [](const TToolButton& x) { return x.Down(); }, [](TToolButton& x, std::int64_t v) { x.SetDown(v != 0); })
        .defaultValue = std::int64_t{0};
    b.Boolean("Grouped", [](const TToolButton& x) { return x.Grouped(); }, [](TToolButton& x, std::int64_t v) { x.SetGrouped(v != 0); })
        .defaultValue = std::int64_t{0};
    b.Object("MenuItem", TPropKind::Object, TMenuItem::StaticClass(), [](const TToolButton& x) { return x.MenuItem(); },
             [](TToolButton& x, TObject* o) { x.SetMenuItem(static_cast<TMenuItem*>(o)); });
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

TToolButton::TToolButton(TComponent* owner, const TClassInfo& cls) : TGraphicControl(owner, cls), command_(NextButtonCommand()) {
  width_ = 23;
  height_ = 22;
}

TToolBar* TToolButton::ToolBar() const { return parent_ && parent_->Is<TToolBar>() ? static_cast<TToolBar*>(parent_) : nullptr; }

int TToolButton::Index() const {
  TToolBar* bar = ToolBar();
  if (!bar) return -1;
  for (int i = 0; i < bar->ButtonCount(); ++i)
    if (bar->Buttons(i) == this) return i;
  return -1;
}

void TToolButton::Changed() {
  if (TToolBar* bar = ToolBar()) bar->ButtonChanged(this);
}

void TToolButton::Place(const RECT& r) {
  left_ = r.left;
  top_ = r.top;
  width_ = r.right - r.left;
  height_ = r.bottom - r.top;
}

void TToolButton::SetImageIndex(int i) {
  imageIndex_ = i;
  Changed();
}

void TToolButton::SetStyle(TToolButtonStyle s) {
  style_ = s;
  Changed();
}

void TToolButton::SetDown(bool d) {
  if (d == down_) return;
  down_ = d;
  // Pressing one button of a group releases the others of its run of grouped check buttons.
  if (d && grouped_ && style_ == tbsCheck)
    if (TToolBar* bar = ToolBar()) {
      const int me = Index();
      for (int dir : {-1, 1})
        for (int i = me + dir; i >= 0 && i < bar->ButtonCount(); i += dir) {
          TToolButton* b = bar->Buttons(i);
          if (!b->grouped_ || b->style_ != tbsCheck) break;
          if (b->down_) {
            b->down_ = false;
            b->Changed();
          }
        }
    }
  Changed();
}

void TToolButton::SetGrouped(bool g) {
  grouped_ = g;
  Changed();
}

void TToolButton::SetMenuItem(TMenuItem* item) {
  if (menuItem_) menuItem_->RemoveFreeNotification(this);
  menuItem_ = item;
  if (item) {
    item->FreeNotification(this);
    if (text_.empty()) text_ = item->Caption();
  }
  Changed();
}

void TToolButton::Notification(TComponent* c, TOperation op) {
  TGraphicControl::Notification(c, op);
  if (op == TOperation::opRemove && c && c == menuItem_) {
    menuItem_ = nullptr;
    Changed();
  }
}

void TToolButton::SetText(const std::wstring& s) {
  TGraphicControl::SetText(s);
  Changed();
}

void TToolButton::SetVisible(bool v) {
  TGraphicControl::SetVisible(v);
  Changed();
}

void TToolButton::SetEnabled(bool e) {
  TGraphicControl::SetEnabled(e);
  Changed();
}

void TToolButton::Click() {
  if (style_ == tbsCheck) {
    if (TToolBar* bar = ToolBar(); bar && bar->HandleAllocated()) {
      // The control has changed the check state itself: take it over.
      const LRESULT state = SendMessageW(bar->Handle(), TB_GETSTATE, command_, 0);
      if (state != -1) SetDown((state & TBSTATE_CHECKED) != 0);
    } else {
      SetDown(!down_ || grouped_);
    }
  }
  if (menuItem_ && menuItem_->Count() == 0) {
    menuItem_->Click();
    return;
  }
  TGraphicControl::Click();
}

// ----- the bar -----

const TClassInfo& TToolBar::StaticClass() {
  static TClassInfo info("TToolBar", &TWinControl::StaticClass(), ComponentFactory<TToolBar>);
  static const bool once = [] {
    TPropBuilder<TToolBar> b(info);
    b.Boolean("AutoSize", [](const TToolBar& x) { return x.AutoSize(); }, [](TToolBar& x, std::int64_t v) { x.SetAutoSize(v != 0); })
        .defaultValue = std::int64_t{0};
    b.Boolean("Flat", [](const TToolBar& x) { return x.Flat(); }, [](TToolBar& x, std::int64_t v) { x.SetFlat(v != 0); })
        .defaultValue = std::int64_t{1};
    b.Object("Images", TPropKind::Object, TImageList::StaticClass(), [](const TToolBar& x) { return x.Images(); },
             [](TToolBar& x, TObject* o) { x.SetImages(static_cast<TImageList*>(o)); });
    b.Object("HotImages", TPropKind::Object, TImageList::StaticClass(), [](const TToolBar& x) { return x.HotImages(); },
             [](TToolBar& x, TObject* o) { x.SetHotImages(static_cast<TImageList*>(o)); });
    b.Integer("Indent", [](const TToolBar& x) { return x.Indent(); }, [](TToolBar& x, std::int64_t v) { x.SetIndent(static_cast<int>(v)); })
        .defaultValue = std::int64_t{0};
    b.Boolean("List", [](const TToolBar& x) { return x.List(); }, [](TToolBar& x, std::int64_t v) { x.SetList(v != 0); })
        .defaultValue = std::int64_t{0};
    b.Boolean("ShowCaptions", [](const TToolBar& x) { return x.ShowCaptions(); }, [](TToolBar& x, std::int64_t v) { x.SetShowCaptions(v != 0); })
        .defaultValue = std::int64_t{0};
    b.Boolean("Transparent", [](const TToolBar& x) { return x.Transparent(); }, [](TToolBar& x, std::int64_t v) { x.SetTransparent(v != 0); })
        .defaultValue = std::int64_t{0};
    b.Boolean("Wrapable", [](const TToolBar& x) { return x.Wrapable(); }, [](TToolBar& x, std::int64_t v) { x.SetWrapable(v != 0); })
        .defaultValue = std::int64_t{1};
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

TToolBar::TToolBar(TComponent* owner, const TClassInfo& cls) : TWinControl(owner, cls) {
  width_ = 150;
  height_ = 29;
  align_ = alTop;
  controlStyle_ |= csAcceptsControls;
}

TToolBar::~TToolBar() { *alive_ = false; }

void TToolBar::CreateParams(TCreateParams& p) {
  static const bool registered = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
    return InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)registered;
  TWinControl::CreateParams(p);
  p.baseClass = TOOLBARCLASSNAMEW;
  p.style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER | TBSTYLE_TOOLTIPS;
  if (flat_) p.style |= TBSTYLE_FLAT;
  if (list_) p.style |= TBSTYLE_LIST;
  if (wrapable_) p.style |= TBSTYLE_WRAPABLE;
  if (transparent_) p.style |= TBSTYLE_TRANSPARENT;
}

void TToolBar::CreateWnd() {
  TWinControl::CreateWnd();
  SendMessageW(handle_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  // Drop-down buttons show their arrow in a part of their own beside the button.
  SendMessageW(handle_, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
  SendMessageW(handle_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_ ? images_->Handle() : nullptr));
  SendMessageW(handle_, TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(hotImages_ ? hotImages_->Handle() : nullptr));
  SendMessageW(handle_, TB_SETINDENT, static_cast<WPARAM>(indent_), 0);
  themeOff_ = false;
  UpdateInk();
  RebuildButtons();
}

TColor TToolBar::InkColor() const { return captionColor_ != clDefault ? captionColor_ : font_.Color(); }

bool TToolBar::OwnInk() const {
  const TColor ink = InkColor();
  return ink != clWindowText && ink != clBtnText && ink != clDefault;
}

void TToolBar::SetCaptionColor(TColor c) {
  if (c == captionColor_) return;
  captionColor_ = c;
  UpdateInk();
  if (handle_) InvalidateRect(handle_, nullptr, TRUE);
}

void TToolBar::UpdateInk() {
  // The buttons the control draws take a font colour of the bar's own through custom drawing
  // (the text colour of the item's notification). Wine's themed drawing ignores that colour, so a
  // bar with one is drawn the classic way, which honours it.
  const bool own = OwnInk();
  if (!handle_ || own == themeOff_) return;
  themeOff_ = own;
  UseVisualStyles(handle_, !own);
}

void TToolBar::UpdateStyle() {
  if (!handle_) return;
  DWORD style = static_cast<DWORD>(GetWindowLongW(handle_, GWL_STYLE));
  const auto bit = [&style](DWORD b, bool on) { style = on ? (style | b) : (style & ~b); };
  bit(TBSTYLE_FLAT, flat_);
  bit(TBSTYLE_LIST, list_);
  bit(TBSTYLE_WRAPABLE, wrapable_);
  bit(TBSTYLE_TRANSPARENT, transparent_);
  SendMessageW(handle_, TB_SETSTYLE, 0, static_cast<LPARAM>(style));
  RebuildButtons();
}

void TToolBar::SetImages(TImageList* list) {
  if (images_ && images_ != hotImages_) images_->RemoveFreeNotification(this);
  images_ = list;
  if (list) list->FreeNotification(this);
  if (handle_) {
    SendMessageW(handle_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list ? list->Handle() : nullptr));
    RebuildButtons();
  }
}

void TToolBar::SetHotImages(TImageList* list) {
  if (hotImages_ && hotImages_ != images_) hotImages_->RemoveFreeNotification(this);
  hotImages_ = list;
  if (list) list->FreeNotification(this);
  if (handle_) {
    SendMessageW(handle_, TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(list ? list->Handle() : nullptr));
    InvalidateRect(handle_, nullptr, TRUE);
  }
}

void TToolBar::SetList(bool v) {
  list_ = v;
  UpdateStyle();
}
void TToolBar::SetFlat(bool v) {
  flat_ = v;
  UpdateStyle();
}
void TToolBar::SetShowCaptions(bool v) {
  showCaptions_ = v;
  RebuildButtons();
}
void TToolBar::SetWrapable(bool v) {
  wrapable_ = v;
  UpdateStyle();
}
void TToolBar::SetTransparent(bool v) {
  transparent_ = v;
  UpdateStyle();
}
void TToolBar::SetIndent(int v) {
  indent_ = std::max(0, v);
  if (handle_) {
    SendMessageW(handle_, TB_SETINDENT, static_cast<WPARAM>(indent_), 0);
    RebuildButtons();
  }
}
void TToolBar::SetAutoSize(bool v) {
  autoSize_ = v;
  AdjustSize();
}

void TToolBar::Notification(TComponent* c, TOperation op) {
  TWinControl::Notification(c, op);
  if (op != TOperation::opRemove) return;
  if (c == images_) {
    images_ = nullptr;
    if (handle_ && !HasState(csDestroying)) SendMessageW(handle_, TB_SETIMAGELIST, 0, 0);
  }
  if (c == hotImages_) {
    hotImages_ = nullptr;
    if (handle_ && !HasState(csDestroying)) SendMessageW(handle_, TB_SETHOTIMAGELIST, 0, 0);
  }
  for (TToolButton* b : buttons_)
    if (b->menuItem_ == c) b->menuItem_ = nullptr;
}

void TToolBar::ButtonChanged(TToolButton*) { RebuildButtons(); }

void TToolBar::EndUpdate() {
  if (updating_ > 0 && --updating_ == 0 && rebuildPending_) {
    rebuildPending_ = false;
    RebuildButtons();
  }
}

void TToolBar::RebuildButtons() {
  if (!handle_ || rebuilding_ || HasState(csDestroying)) return;
  if (updating_ > 0) {
    rebuildPending_ = true;
    return;
  }
  rebuilding_ = true;
  SendMessageW(handle_, WM_SETREDRAW, FALSE, 0);
  while (SendMessageW(handle_, TB_BUTTONCOUNT, 0, 0) > 0) SendMessageW(handle_, TB_DELETEBUTTON, 0, 0);
  // Without captions shown, the buttons carry no text (the control would size them for it).
  std::vector<std::wstring> texts(buttons_.size());
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    TToolButton* b = buttons_[i];
    TBBUTTON tb{};
    tb.idCommand = static_cast<int>(b->command_);
    tb.iBitmap = b->imageIndex_ >= 0 && images_ ? b->imageIndex_ : I_IMAGENONE;
    tb.fsState = static_cast<BYTE>((b->Enabled() ? TBSTATE_ENABLED : 0) | (b->down_ ? TBSTATE_CHECKED : 0) |
                                   (b->Visible() ? 0 : TBSTATE_HIDDEN));
    switch (b->style_) {
      case tbsCheck: tb.fsStyle = BTNS_CHECK | (b->grouped_ ? BTNS_GROUP : 0); break;
      case tbsDropDown: tb.fsStyle = BTNS_DROPDOWN; break;
      case tbsSeparator:
      case tbsDivider: tb.fsStyle = BTNS_SEP; tb.iBitmap = 6; break;
      default: tb.fsStyle = BTNS_BUTTON; break;
    }
    tb.fsStyle |= BTNS_AUTOSIZE;
    if (showCaptions_ && b->style_ != tbsSeparator && b->style_ != tbsDivider) {
      texts[i] = b->Caption() + L'\0';
      tb.iString = reinterpret_cast<INT_PTR>(texts[i].c_str());
    } else {
      tb.iString = -1;
    }
    SendMessageW(handle_, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&tb));
  }
  SendMessageW(handle_, TB_AUTOSIZE, 0, 0);
  RECT client;
  GetClientRect(handle_, &client);
  laidOutWidth_ = client.right;
  SendMessageW(handle_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(handle_, nullptr, TRUE);
  rebuilding_ = false;
  PlaceButtons();
  AdjustSize();
}

RECT TToolBar::ButtonRect(const TToolButton* b) const {
  RECT r{0, 0, 0, 0};
  if (!handle_ || !b) return r;
  const LRESULT index = SendMessageW(handle_, TB_COMMANDTOINDEX, b->command_, 0);
  if (index < 0 || !SendMessageW(handle_, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)))
    return RECT{0, 0, 0, 0};
  return r;
}

void TToolBar::PlaceButtons() {
  // The buttons' bounds follow the places the control gave them.
  for (TToolButton* b : buttons_) b->Place(ButtonRect(b));
}

void TToolBar::AdjustSize() {
  if (!autoSize_ || !handle_ || rebuilding_) return;
  int bottom = 0;
  for (TToolButton* b : buttons_)
    if (b->Visible()) bottom = std::max(bottom, static_cast<int>(ButtonRect(b).bottom));
  if (bottom > 0 && bottom != ClientHeight()) SetBounds(left_, top_, width_, height_ - ClientHeight() + bottom);
}

TToolButton* TToolBar::ButtonAtPos(POINT p) const {
  for (TToolButton* b : buttons_) {
    const RECT r = ButtonRect(b);
    if (b->Visible() && PtInRect(&r, p)) return b;
  }
  return nullptr;
}

LRESULT TToolBar::CustomDraw(NMTBCUSTOMDRAW* cd) {
  // The handlers draw on the control's device context through the canvas, handed back after.
  struct TBind {
    TCanvas& canvas;
    TBind(TCanvas& c, HDC dc) : canvas(c) { canvas.SetHandle(dc); }
    ~TBind() { canvas.SetHandle(nullptr); }
  };
  switch (cd->nmcd.dwDrawStage) {
    case CDDS_PREPAINT: {
      bool defaultDraw = true;
      RECT r = cd->nmcd.rc;
      if (r.right <= r.left || r.bottom <= r.top) GetClientRect(handle_, &r);
      TBind bind(canvas_, cd->nmcd.hdc);
      if (OnCustomDraw) OnCustomDraw(this, r, defaultDraw);
      if (!defaultDraw) return CDRF_SKIPDEFAULT;
      return OnCustomDrawButton || OwnInk() ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
    }
    case CDDS_ITEMPREPAINT: {
      TToolButton* button = nullptr;
      for (TToolButton* b : buttons_)
        if (b->command_ == cd->nmcd.dwItemSpec) button = b;
      // While the keyboard or an open menu holds the bar, the mouse does not make buttons hot.
      UINT state = cd->nmcd.uItemState;
      if (button && (menuMode_ || openMenu_ >= 0)) {
        const int index = button->Index();
        state &= ~static_cast<UINT>(CDIS_HOT | CDIS_SELECTED);
        if (menuMode_ && index == hot_ && openMenu_ < 0) state |= CDIS_HOT;
        if (index == openMenu_) state |= CDIS_SELECTED;
        cd->nmcd.uItemState = state;
      }
      // A font of its own colour: the buttons the control draws take it.
      if (OwnInk()) cd->clrText = static_cast<COLORREF>(ColorToRGB(InkColor()));
      bool defaultDraw = true;
      TBind bind(canvas_, cd->nmcd.hdc);
      if (button && OnCustomDrawButton) OnCustomDrawButton(this, button, state, defaultDraw);
      return defaultDraw ? CDRF_DODEFAULT : CDRF_SKIPDEFAULT;
    }
    default:
      return CDRF_DODEFAULT;
  }
}

namespace {

bool HasSubmenu(const TToolButton* b) { return b && b->MenuItem() && b->MenuItem()->Count() > 0; }

}  // namespace

int TToolBar::ButtonByAccelerator(wchar_t ch) const {
  const wchar_t wanted = static_cast<wchar_t>(std::towupper(ch));
  for (int i = 0; i < ButtonCount(); ++i) {
    const TToolButton* b = buttons_[static_cast<std::size_t>(i)];
    if (!b->Visible() || !b->Enabled()) continue;
    const std::wstring caption = b->Caption();
    for (std::size_t k = 0; k + 1 < caption.size(); ++k) {
      if (caption[k] != L'&') continue;
      if (caption[k + 1] == L'&') {
        ++k;
        continue;
      }
      if (static_cast<wchar_t>(std::towupper(caption[k + 1])) == wanted) return i;
      break;
    }
  }
  return -1;
}

void TToolBar::TrackMenu(int index) {
  if (!handle_ || index < 0 || index >= ButtonCount()) return;
  const std::shared_ptr<bool> alive = alive_;
  TMenuBarItems items;
  items.count = ButtonCount();
  // The buttons may change while a menu is open (an item's handler rebuilds the bar).
  items.popup = [this, alive](int i) -> HMENU {
    if (!*alive || i < 0 || i >= ButtonCount()) return nullptr;
    TToolButton* b = buttons_[static_cast<std::size_t>(i)];
    if (!HasSubmenu(b) || !b->Enabled() || !b->Visible()) return nullptr;
    if (TMenu* menu = b->MenuItem()->GetParentMenu()) menu->Handle();  // builds the native menu
    return b->MenuItem()->Handle();
  };
  items.screenRect = [this, alive](int i) {
    if (!*alive || i < 0 || i >= ButtonCount() || !handle_) return RECT{0, 0, 0, 0};
    RECT r = ButtonRect(buttons_[static_cast<std::size_t>(i)]);
    MapWindowPoints(handle_, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
  };
  items.shown = [this, alive](int i) {
    if (!*alive || !handle_) return;
    if (openMenu_ >= 0 && openMenu_ < ButtonCount())
      SendMessageW(handle_, TB_PRESSBUTTON, buttons_[static_cast<std::size_t>(openMenu_)]->Command(), FALSE);
    openMenu_ = i;
    if (i >= ButtonCount()) openMenu_ = -1;
    if (openMenu_ >= 0) SendMessageW(handle_, TB_PRESSBUTTON, buttons_[static_cast<std::size_t>(openMenu_)]->Command(), TRUE);
  };
  const bool wasMenuMode = menuMode_;
  bool escaped = false;
  const int last = TrackMenuBar(GetAncestor(handle_, GA_ROOT), index, items, &escaped);
  if (!*alive || !handle_ || HasState(csDestroying)) return;
  // Escape closes the menu and leaves its button hot for the keyboard, as a menu bar does; any
  // other end leaves the bar.
  if (escaped && last >= 0 && wasMenuMode == menuMode_ && menuMode_)
    SetHot(last);
  else if (escaped && last >= 0 && !wasMenuMode)
    EnterMenuMode(last);
  else
    CancelMenu();
}

void TToolBar::EnterMenuMode(int index) {
  if (!handle_ || index < 0 || index >= ButtonCount()) return;
  if (!menuMode_) {
    const HWND focus = GetFocus();
    focusBefore_ = focus != handle_ ? focus : nullptr;
    menuMode_ = true;
    ::SetFocus(handle_);
    // The focus may refuse to move (a window of another thread): no mode without it.
    if (GetFocus() != handle_) {
      menuMode_ = false;
      return;
    }
  }
  SetHot(index);
}

void TToolBar::CancelMenu() {
  if (openMenu_ >= 0 && MenuBarTracking()) EndMenu();
  if (!menuMode_) return;
  menuMode_ = false;
  SetHot(-1);
  const HWND back = focusBefore_;
  focusBefore_ = nullptr;
  if (handle_ && GetFocus() == handle_) {
    if (back && IsWindow(back) && IsWindowVisible(back) && IsWindowEnabled(back))
      ::SetFocus(back);
    else if (HWND root = GetAncestor(handle_, GA_ROOT))
      ::SetFocus(root);
  }
}

void TToolBar::SetHot(int index) {
  const int before = hot_;
  hot_ = index;
  if (!handle_) return;
  SendMessageW(handle_, TB_SETHOTITEM, static_cast<WPARAM>(index), 0);
  for (int i : {before, index})
    if (i >= 0 && i < ButtonCount()) {
      RECT r = ButtonRect(buttons_[static_cast<std::size_t>(i)]);
      InvalidateRect(handle_, &r, TRUE);
    }
}

int TToolBar::NeighbourButton(int from, int step) const {
  const int n = ButtonCount();
  for (int k = 1; k <= n; ++k) {
    const int i = ((from + step * k) % n + n) % n;
    const TToolButton* b = buttons_[static_cast<std::size_t>(i)];
    if (b->Visible() && b->Enabled() && b->style_ != tbsSeparator && b->style_ != tbsDivider) return i;
  }
  return -1;
}

bool TToolBar::DialogChar(wchar_t ch, bool) {
  const int index = ButtonByAccelerator(ch);
  if (index < 0) return false;
  TToolButton* b = buttons_[static_cast<std::size_t>(index)];
  if (HasSubmenu(b)) {
    TrackMenu(index);
    return true;
  }
  if (!b->MenuItem() && !showCaptions_) return false;
  CancelMenu();
  b->Click();
  return true;
}

bool TToolBar::MenuModeKey(TMessage& m) {
  // Answers whether the key was the mode's.
  const int n = ButtonCount();
  if (hot_ < 0 || hot_ >= n) hot_ = NeighbourButton(-1, 1);
  TToolButton* hot = hot_ >= 0 ? buttons_[static_cast<std::size_t>(hot_)] : nullptr;
  switch (m.Msg) {
    case WM_KEYDOWN:
      switch (m.WParam) {
        case VK_LEFT:
        case VK_RIGHT:
          if (int next = NeighbourButton(hot_, m.WParam == VK_RIGHT ? 1 : -1); next >= 0) SetHot(next);
          return true;
        case VK_HOME:
        case VK_END:
          if (int next = m.WParam == VK_HOME ? NeighbourButton(-1, 1) : NeighbourButton(0, -1); next >= 0) SetHot(next);
          return true;
        case VK_DOWN:
        case VK_UP:
        case VK_RETURN:
          if (HasSubmenu(hot)) TrackMenu(hot_);
          return true;
        case VK_ESCAPE:
          CancelMenu();
          return true;
        default:
          return false;
      }
    case WM_KEYUP:
      if (m.WParam == VK_RETURN && hot && !HasSubmenu(hot) && hot->Enabled()) {
        CancelMenu();
        hot->Click();
        return true;
      }
      return m.WParam == VK_RETURN;
    case WM_SYSKEYDOWN:
      return m.WParam == VK_MENU || m.WParam == VK_F10;
    case WM_SYSKEYUP:
      // Alt or F10 again leaves the bar; taken here so that it does not come back in at once.
      if (m.WParam == VK_MENU || m.WParam == VK_F10) {
        CancelMenu();
        return true;
      }
      return false;
    case WM_CHAR:
      if (m.WParam > L' ' && DialogChar(static_cast<wchar_t>(m.WParam), false)) return true;
      return true;  // no other character means anything here
    default:
      return false;
  }
}

void TToolBar::WndProc(TMessage& m) {
  if (menuMode_ && MenuModeKey(m)) {
    m.Result = 0;
    return;
  }
  switch (m.Msg) {
    case WM_ERASEBKGND:
      // A colour of its own shows behind the buttons; the system's button face is the control's.
      if (!transparent_ && color_ != clBtnFace && handle_) {
        RECT r;
        GetClientRect(handle_, &r);
        HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(color_)));
        FillRect(reinterpret_cast<HDC>(m.WParam), &r, brush);
        DeleteObject(brush);
        m.Result = 1;
        return;
      }
      break;
    case WM_GETDLGCODE:
      if (menuMode_) {
        m.Result = DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS;
        return;
      }
      break;
    case WM_KILLFOCUS:
      if (menuMode_) {
        menuMode_ = false;
        focusBefore_ = nullptr;
        SetHot(-1);
      }
      break;
    case CM_DIALOGCHAR:
      m.Result = DialogChar(static_cast<wchar_t>(m.WParam), (m.LParam & kDialogCharAlt) != 0) ? 1 : 0;
      return;
    case CN_COMMAND:
      for (TToolButton* b : buttons_)
        if (b->command_ == LOWORD(m.WParam)) {
          b->Click();
          break;
        }
      m.Result = 0;
      return;
    case CN_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
      if (hdr->code == NM_CUSTOMDRAW) {
        m.Result = CustomDraw(reinterpret_cast<NMTBCUSTOMDRAW*>(m.LParam));
        return;
      }
      break;
    }
    case WM_LBUTTONDOWN: {
      // A menu button opens its menu at the press, as a menu bar does.
      TToolButton* b = ButtonAtPos(POINT{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)});
      if (HasSubmenu(b) && b->Enabled()) {
        TrackMenu(b->Index());
        m.Result = 0;
        return;
      }
      if (menuMode_) CancelMenu();
      DefaultHandler(m);
      return;
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      // The buttons are the control's own: the mouse goes to it, not to the windowless buttons.
      DefaultHandler(m);
      return;
    case WM_SIZE:
      TWinControl::WndProc(m);
      // A wrapping bar lays its buttons out again for a new width (the control wraps them as they
      // are added) and gains or loses rows.
      if (wrapable_ && LOWORD(m.LParam) != laidOutWidth_ && !rebuilding_) {
        RebuildButtons();
      } else {
        PlaceButtons();
      }
      return;
    case CM_FONTCHANGED:
      // The control measures its buttons with its font.
      TWinControl::WndProc(m);
      UpdateInk();
      RebuildButtons();
      return;
    case CM_CONTROLLISTCHANGE: {
      // A button joining or leaving the bar (a child of the bar itself; deeper ones are passed on).
      auto* c = reinterpret_cast<TControl*>(m.WParam);
      if (c && c->Parent() == this && c->Is<TToolButton>()) {
        auto* b = static_cast<TToolButton*>(c);
        buttons_.erase(std::remove(buttons_.begin(), buttons_.end(), b), buttons_.end());
        if (m.LParam) buttons_.push_back(b);
        RebuildButtons();
      }
      break;
    }
    default:
      break;
  }
  TWinControl::WndProc(m);
}

}  // namespace vex::host
