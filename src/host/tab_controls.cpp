#include "host/tab_controls.h"

#include <commctrl.h>

#include <algorithm>

#include "host/prop_builder.h"
#include "host/scroll_bar.h"
#include "host/text_encoding.h"

namespace vex::host {

namespace {

std::wstring TabText(HWND wnd, int index) {
  wchar_t buffer[512] = {};
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = buffer;
  item.cchTextMax = 512;
  SendMessageW(wnd, TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  return item.pszText ? std::wstring(item.pszText) : std::wstring();
}

}  // namespace

// The tabs of a tab control: the window's own while it has one, else those kept for the next.
class TCustomTabControl::TTabStrings : public TStrings {
 public:
  explicit TTabStrings(TCustomTabControl& tc) : tc_(tc) {}

  int Count() const override {
    if (!tc_.handle_) return static_cast<int>(tc_.saved_.size());
    return static_cast<int>(SendMessageW(tc_.handle_, TCM_GETITEMCOUNT, 0, 0));
  }
  std::string Get(int index) const override {
    CheckIndex(index, Count());
    return WideToUtf8(tc_.handle_ ? TabText(tc_.handle_, index) : tc_.saved_[static_cast<std::size_t>(index)]);
  }
  void Insert(int index, const std::string& s) override {
    if (index < 0 || index > Count()) throw std::out_of_range("tab index out of bounds (" + std::to_string(index) + ")");
    std::wstring w = Utf8ToWide(s);
    if (tc_.handle_) {
      TCITEMW item{};
      item.mask = TCIF_TEXT | TCIF_IMAGE;
      item.pszText = w.data();
      item.iImage = -1;
      if (SendMessageW(tc_.handle_, TCM_INSERTITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) < 0)
        throw std::runtime_error("the tab control cannot take more tabs");
      Changed();
      return;
    }
    tc_.saved_.insert(tc_.saved_.begin() + index, std::move(w));
    if (tc_.savedIndex_ >= index) ++tc_.savedIndex_;
  }
  void Delete(int index) override {
    CheckIndex(index, Count());
    if (tc_.handle_) {
      SendMessageW(tc_.handle_, TCM_DELETEITEM, static_cast<WPARAM>(index), 0);
      Changed();
      return;
    }
    tc_.saved_.erase(tc_.saved_.begin() + index);
    if (tc_.savedIndex_ == index)
      tc_.savedIndex_ = -1;
    else if (tc_.savedIndex_ > index)
      --tc_.savedIndex_;
  }
  void Put(int index, const std::string& s) override {
    CheckIndex(index, Count());
    std::wstring w = Utf8ToWide(s);
    if (tc_.handle_) {
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      item.pszText = w.data();
      SendMessageW(tc_.handle_, TCM_SETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
      Changed();
      return;
    }
    tc_.saved_[static_cast<std::size_t>(index)] = std::move(w);
  }
  void Clear() override {
    if (tc_.handle_) {
      SendMessageW(tc_.handle_, TCM_DELETEALLITEMS, 0, 0);
      Changed();
      return;
    }
    tc_.saved_.clear();
    tc_.savedIndex_ = -1;
  }

 protected:
  void SetUpdateState(bool updating) override {
    if (!updating) Changed();
  }

 private:
  void Changed() {
    if (Updating()) return;
    tc_.UpdateTabImages();
    tc_.TabsLaidOut();
  }
  TCustomTabControl& tc_;
};

const TClassInfo& TCustomTabControl::StaticClass() {
  static TClassInfo info("TCustomTabControl", &TWinControl::StaticClass());
  static const bool once = [] {
    TPropBuilder<TCustomTabControl> b(info);
    b.Object("Images", TPropKind::Object, TImageList::StaticClass(), [](const TCustomTabControl& x) { return x.Images(); },
             [](TCustomTabControl& x, TObject* o) { x.SetImages(static_cast<TImageList*>(o)); });
    b.Boolean("MultiLine", [](const TCustomTabControl& x) { return x.MultiLine(); },
              [](TCustomTabControl& x, std::int64_t v) { x.SetMultiLine(v != 0); })
        .defaultValue = std::int64_t{0};
    b.Enum("TabPosition", "TTabPosition", {"tpTop", "tpBottom", "tpLeft", "tpRight"},
           [](const TCustomTabControl& x) { return x.TabPosition(); },
           [](TCustomTabControl& x, std::int64_t v) { x.SetTabPosition(static_cast<TTabPosition>(v)); })
        .defaultValue = std::int64_t{tpTop};
    TPropInfo& tabs = b.Object(
        "Tabs", TPropKind::StringList, TStrings::StaticClass(), [](const TCustomTabControl& x) { return const_cast<TStrings*>(&x.Tabs()); },
        [](TCustomTabControl& x, TObject* o) {
          if (o && o->Is<TStrings>() && x.StoresTabs()) x.SetTabs(*static_cast<TStrings*>(o));
        });
    tabs.stored = [](const TObject& o) {
      const auto& x = static_cast<const TCustomTabControl&>(o);
      return x.StoresTabs() && x.Tabs().Count() > 0;
    };
    b.Integer("TabIndex", [](const TCustomTabControl& x) { return x.TabIndex(); },
              [](TCustomTabControl& x, std::int64_t v) { x.SetTabIndex(static_cast<int>(v)); })
        .stored = [](const TObject& o) { return static_cast<const TCustomTabControl&>(o).StoresTabs(); };
    b.Method("OnChange", "TNotifyEvent", [](const TCustomTabControl& x) { return x.OnChange; },
             [](TCustomTabControl& x, const TMethodValue& m) { x.OnChange = m; });
    return true;
  }();
  (void)once;
  return info;
}

const TClassInfo& TTabControl::StaticClass() {
  static TClassInfo info("TTabControl", &TCustomTabControl::StaticClass(), ComponentFactory<TTabControl>);
  static const bool once = [] {
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

TCustomTabControl::TCustomTabControl(TComponent* owner, const TClassInfo& cls)
    : TWinControl(owner, cls), tabs_(std::make_unique<TTabStrings>(*this)) {
  width_ = 289;
  height_ = 193;
  tabStop_ = true;
  controlStyle_ |= csAcceptsControls;
  controlStyle_ &= ~(csSetCaption | csDoubleClicks);
}

TCustomTabControl::~TCustomTabControl() {
  if (images_) images_->RemoveFreeNotification(this);
  images_ = nullptr;
  DestroyWnd();
}

TStrings& TCustomTabControl::Tabs() { return *tabs_; }
const TStrings& TCustomTabControl::Tabs() const { return *tabs_; }

void TCustomTabControl::SetTabs(const TStrings& tabs) {
  const int index = TabIndex();
  tabs_->Assign(tabs);
  if (index < tabs_->Count()) SetTabIndex(index);
}

int TCustomTabControl::TabIndex() const {
  if (!handle_) return savedIndex_;
  return static_cast<int>(SendMessageW(handle_, TCM_GETCURSEL, 0, 0));
}

void TCustomTabControl::SetTabIndex(int index) {
  if (index < -1 || (index >= tabs_->Count() && !HasState(csLoading))) index = -1;
  if (!handle_) {
    savedIndex_ = index;
    return;
  }
  SendMessageW(handle_, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void TCustomTabControl::SetTabPosition(TTabPosition p) {
  if (p == tabPosition_) return;
  tabPosition_ = p;
  RecreateWnd();
}

void TCustomTabControl::SetMultiLine(bool v) {
  if (v == multiLine_) return;
  multiLine_ = v;
  RecreateWnd();
}

void TCustomTabControl::SetImages(TImageList* list) {
  if (images_) images_->RemoveFreeNotification(this);
  images_ = list;
  if (list) list->FreeNotification(this);
  if (handle_) {
    SendMessageW(handle_, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list ? list->Handle() : nullptr));
    UpdateTabImages();
    TabsLaidOut();
  }
}

void TCustomTabControl::Notification(TComponent* c, TOperation op) {
  TWinControl::Notification(c, op);
  if (op == TOperation::opRemove && c == images_) SetImages(nullptr);
}

void TCustomTabControl::UpdateTabImages() {
  if (!handle_) return;
  const int n = static_cast<int>(SendMessageW(handle_, TCM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    TCITEMW item{};
    item.mask = TCIF_IMAGE;
    item.iImage = images_ ? TabImageIndex(i) : -1;
    SendMessageW(handle_, TCM_SETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
}

RECT TCustomTabControl::DisplayRect() {
  RECT r = ClientRect();
  if (handle_) SendMessageW(handle_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  return r;
}

int TCustomTabControl::IndexOfTabAt(POINT p) {
  if (!HandleAllocated()) return -1;
  TCHITTESTINFO hit{p, 0};
  return static_cast<int>(SendMessageW(handle_, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

void TCustomTabControl::CreateParams(TCreateParams& p) {
  static const bool registered = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES};
    return InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)registered;
  TWinControl::CreateParams(p);
  p.baseClass = WC_TABCONTROLW;
  p.caption.clear();
  if (multiLine_) p.style |= TCS_MULTILINE;
  switch (tabPosition_) {
    case tpBottom: p.style |= TCS_BOTTOM; break;
    case tpLeft: p.style |= TCS_VERTICAL | TCS_MULTILINE; break;
    case tpRight: p.style |= TCS_VERTICAL | TCS_RIGHT | TCS_MULTILINE; break;
    default: break;
  }
}

void TCustomTabControl::CreateWnd() {
  TWinControl::CreateWnd();
  if (images_) SendMessageW(handle_, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_->Handle()));
  std::vector<std::wstring> tabs;
  tabs.swap(saved_);
  for (std::size_t i = 0; i < tabs.size(); ++i) {
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = tabs[i].data();
    item.iImage = -1;
    SendMessageW(handle_, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
  UpdateTabImages();
  if (savedIndex_ >= 0 && savedIndex_ < static_cast<int>(tabs.size())) SendMessageW(handle_, TCM_SETCURSEL, static_cast<WPARAM>(savedIndex_), 0);
  TabsLaidOut();
}

void TCustomTabControl::DestroyWnd() {
  SaveState();
  TWinControl::DestroyWnd();
}

void TCustomTabControl::SaveState() {
  if (!handle_) return;
  const int n = static_cast<int>(SendMessageW(handle_, TCM_GETITEMCOUNT, 0, 0));
  saved_.clear();
  for (int i = 0; i < n; ++i) saved_.push_back(TabText(handle_, i));
  savedIndex_ = static_cast<int>(SendMessageW(handle_, TCM_GETCURSEL, 0, 0));
}

bool TCustomTabControl::CanChange() {
  bool allow = true;
  if (OnChanging) OnChanging(this, allow);
  return allow;
}

void TCustomTabControl::Change() {
  if (OnChange.handler) OnChange.handler(this);
}

void TCustomTabControl::SelectNextTab(bool forward) {
  const int n = tabs_->Count();
  if (n == 0) return;
  const int current = TabIndex();
  const int next = current < 0 ? (forward ? 0 : n - 1) : ((current + (forward ? 1 : -1)) % n + n) % n;
  if (next == current || !CanChange()) return;
  SetTabIndex(next);
  Change();
}

void TCustomTabControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CN_NOTIFY:
      switch (reinterpret_cast<NMHDR*>(m.LParam)->code) {
        case TCN_SELCHANGING:
          // Non-zero keeps the current tab.
          m.Result = CanChange() ? 0 : 1;
          return;
        case TCN_SELCHANGE:
          Change();
          m.Result = 0;
          return;
        default:
          break;
      }
      break;
    case CM_DIALOGKEY:
      if (m.WParam == VK_TAB && GetKeyState(VK_CONTROL) < 0) {
        SelectNextTab(GetKeyState(VK_SHIFT) >= 0);
        m.Result = 1;
        return;
      }
      break;
    case WM_DESTROY:
      // Destroyed with its parent's window, or for a new one: the tabs wait for the next window.
      SaveState();
      break;
    case WM_SIZE:
    case CM_FONTCHANGED:
      // A new size, or a new font (the tabs' row takes its height from it): the pages stand
      // below the tabs again.
      TWinControl::WndProc(m);
      TabsLaidOut();
      return;
    default:
      break;
  }
  TWinControl::WndProc(m);
}

// ----- pages -----

const TClassInfo& TTabSheet::StaticClass() {
  static TClassInfo info("TTabSheet", &TWinControl::StaticClass(), ComponentFactory<TTabSheet>);
  static const bool once = [] {
    TPropBuilder<TTabSheet> b(info);
    b.Integer("ImageIndex", [](const TTabSheet& x) { return x.ImageIndex(); },
              [](TTabSheet& x, std::int64_t v) { x.SetImageIndex(static_cast<int>(v)); })
        .defaultValue = std::int64_t{-1};
    b.Integer("PageIndex", [](const TTabSheet& x) { return x.PageIndex(); },
              [](TTabSheet& x, std::int64_t v) { x.SetPageIndex(static_cast<int>(v)); })
        .stored = [](const TObject&) { return false; };
    b.Boolean("TabVisible", [](const TTabSheet& x) { return x.TabVisible(); }, [](TTabSheet& x, std::int64_t v) { x.SetTabVisible(v != 0); })
        .defaultValue = std::int64_t{1};
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

TTabSheet::TTabSheet(TComponent* owner, const TClassInfo& cls) : TWinControl(owner, cls) {
  controlStyle_ |= csAcceptsControls;
  // Shown when it becomes the active page.
  visible_ = false;
}

TPageControl* TTabSheet::PageControl() const {
  return parent_ && parent_->Is<TPageControl>() ? static_cast<TPageControl*>(parent_) : nullptr;
}

void TTabSheet::SetPageControl(TPageControl* pc) { SetParent(pc); }

void TTabSheet::SetImageIndex(int i) {
  imageIndex_ = i < 0 ? -1 : i;
  if (TPageControl* pc = PageControl()) pc->PagesChanged();
}

void TTabSheet::SetTabVisible(bool v) {
  if (v == tabVisible_) return;
  tabVisible_ = v;
  if (TPageControl* pc = PageControl()) pc->PagesChanged();
}

int TTabSheet::PageIndex() const {
  TPageControl* pc = PageControl();
  if (!pc) return -1;
  const auto it = std::find(pc->pages_.begin(), pc->pages_.end(), this);
  return it == pc->pages_.end() ? -1 : static_cast<int>(it - pc->pages_.begin());
}

void TTabSheet::SetPageIndex(int i) {
  TPageControl* pc = PageControl();
  const int current = PageIndex();
  if (!pc || current < 0 || i == current) return;
  if (i < 0 || i >= pc->PageCount()) {
    if (HasState(csLoading)) return;
    throw std::out_of_range("page index out of bounds (" + std::to_string(i) + ")");
  }
  pc->pages_.erase(pc->pages_.begin() + current);
  pc->pages_.insert(pc->pages_.begin() + i, this);
  pc->PagesChanged();
}

int TTabSheet::TabIndex() const {
  TPageControl* pc = PageControl();
  if (!pc || !tabVisible_) return -1;
  int tab = 0;
  for (TTabSheet* p : pc->pages_) {
    if (p == this) return tab;
    if (p->tabVisible_) ++tab;
  }
  return -1;
}

void TTabSheet::WndProc(TMessage& m) {
  TWinControl::WndProc(m);
  if (m.Msg == CM_TEXTCHANGED)
    if (TPageControl* pc = PageControl()) pc->PagesChanged();
}

const TClassInfo& TPageControl::StaticClass() {
  static TClassInfo info("TPageControl", &TCustomTabControl::StaticClass(), ComponentFactory<TPageControl>);
  static const bool once = [] {
    TPropBuilder<TPageControl> b(info);
    b.Object("ActivePage", TPropKind::Object, TTabSheet::StaticClass(), [](const TPageControl& x) { return x.ActivePage(); },
             [](TPageControl& x, TObject* o) { x.SetActivePage(static_cast<TTabSheet*>(o)); });
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

TPageControl::TPageControl(TComponent* owner, const TClassInfo& cls) : TCustomTabControl(owner, cls) {
  // Pages are the only children a page control takes directly.
}

TTabSheet* TPageControl::PageForTab(int tabIndex) const {
  if (tabIndex < 0) return nullptr;
  for (TTabSheet* p : pages_)
    if (p->TabVisible() && tabIndex-- == 0) return p;
  return nullptr;
}

int TPageControl::TabImageIndex(int tabIndex) const {
  TTabSheet* p = PageForTab(tabIndex);
  return p ? p->ImageIndex() : -1;
}

int TPageControl::ActivePageIndex() const { return activePage_ ? activePage_->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int i) { SetActivePage(i >= 0 && i < PageCount() ? pages_[static_cast<std::size_t>(i)] : nullptr); }

void TPageControl::PagesChanged() {
  if (rebuilding_) return;
  rebuilding_ = true;
  TStrings& tabs = Tabs();
  tabs.BeginUpdate();
  try {
    tabs.Clear();
    for (TTabSheet* p : pages_)
      if (p->TabVisible()) tabs.Add(WideToUtf8(p->Caption()));
  } catch (...) {
    tabs.EndUpdate();
    rebuilding_ = false;
    throw;
  }
  tabs.EndUpdate();
  rebuilding_ = false;
  SetTabIndex(activePage_ ? activePage_->TabIndex() : -1);
  TabsLaidOut();
}

void TPageControl::SetActivePage(TTabSheet* page) {
  if (page && page->PageControl() != this) throw EInvalidOperation("the page belongs to another page control");
  TTabSheet* previous = activePage_;
  activePage_ = page;
  SetTabIndex(page ? page->TabIndex() : -1);
  ShowActivePage(previous);
}

void TPageControl::ShowActivePage(TTabSheet* previous) {
  TabsLaidOut();
  if (activePage_) activePage_->SetVisible(true);
  // The focus inside the page going away moves to the new page's first control (or this one).
  HWND focus = GetFocus();
  const bool focusInPrevious = previous && previous != activePage_ && previous->HandleAllocated() && focus &&
                               (focus == previous->Handle() || IsChild(previous->Handle(), focus));
  if (focusInPrevious) {
    TWinControl* target = activePage_ ? activePage_->FindNextControl(nullptr, true) : nullptr;
    if (target && target->CanFocus())
      target->SetFocus();
    else if (CanFocus())
      SetFocus();
  }
  for (TTabSheet* p : pages_)
    if (p != activePage_) p->SetVisible(false);
}

void TPageControl::TabsLaidOut() {
  if (!handle_) return;
  const RECT r = DisplayRect();
  for (TTabSheet* p : pages_) p->SetBounds(r.left, r.top, std::max<int>(r.right - r.left, 0), std::max<int>(r.bottom - r.top, 0));
}

void TPageControl::Change() {
  TTabSheet* page = PageForTab(TabIndex());
  if (page && page != activePage_) {
    TTabSheet* previous = activePage_;
    activePage_ = page;
    ShowActivePage(previous);
  }
  TCustomTabControl::Change();
}

void TPageControl::SelectNextPage(bool forward) {
  const int n = PageCount();
  if (n == 0) return;
  int i = ActivePageIndex();
  for (int step = 0; step < n; ++step) {
    i = i < 0 ? (forward ? 0 : n - 1) : ((i + (forward ? 1 : -1)) % n + n) % n;
    TTabSheet* p = pages_[static_cast<std::size_t>(i)];
    if (!p->TabVisible()) continue;
    if (p == activePage_ || !CanChange()) return;
    SetActivePage(p);
    TCustomTabControl::Change();
    return;
  }
}

void TPageControl::Loaded() {
  TCustomTabControl::Loaded();
  PagesChanged();
  if (!activePage_) {
    for (TTabSheet* p : pages_)
      if (p->TabVisible()) {
        SetActivePage(p);
        break;
      }
  } else {
    SetActivePage(activePage_);
  }
}

void TPageControl::WndProc(TMessage& m) {
  if (m.Msg == CM_CONTROLLISTCHANGE) {
    auto* c = reinterpret_cast<TControl*>(m.WParam);
    if (c->Parent() == this && c->Is<TTabSheet>()) {
      auto* page = static_cast<TTabSheet*>(c);
      const auto it = std::find(pages_.begin(), pages_.end(), page);
      if (m.LParam) {
        if (it == pages_.end()) pages_.push_back(page);
        PagesChanged();
        // The first page shows at once; later ones wait until they are chosen.
        if (!activePage_ && !HasState(csLoading))
          SetActivePage(page);
        else if (page != activePage_)
          page->SetVisible(false);
      } else if (it != pages_.end()) {
        pages_.erase(it);
        if (activePage_ == page) activePage_ = nullptr;
        if (!HasState(csDestroying)) {
          PagesChanged();
          if (!activePage_ && !pages_.empty()) SetActivePage(pages_.front());
        }
      }
    }
  }
  TCustomTabControl::WndProc(m);
}

}  // namespace vex::host
