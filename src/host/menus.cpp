#include "host/menus.h"

#include "host/callback_guard.h"

#include <algorithm>
#include <map>
#include <vector>

#include "host/library_module.h"
#include "host/prop_builder.h"
#include "host/text_encoding.h"

namespace vex::host {

namespace {

std::map<UINT, TMenuItem*>& Commands() {
  static std::map<UINT, TMenuItem*> m;
  return m;
}
// Command identifiers of menu items: from 100 up, below the system's commands (0xF000 on) and
// reused once their item is gone, so a program that rebuilds its menus for ever never runs into
// them.
constexpr UINT kFirstCommand = 100, kCommandLimit = 0xF000;
UINT gNextCommand = kFirstCommand;
std::vector<UINT>& FreeCommands() {
  static std::vector<UINT> free;
  return free;
}

UINT TakeCommand() {
  auto& free = FreeCommands();
  if (!free.empty()) {
    const UINT c = free.back();
    free.pop_back();
    return c;
  }
  if (gNextCommand >= kCommandLimit) throw EComponentError("Too many menu items");
  return gNextCommand++;
}

void GiveBackCommand(UINT command) {
  if (command >= kFirstCommand && command < kCommandLimit) FreeCommands().push_back(command);
}

struct TKeyName {
  int key;
  const wchar_t* name;
};
const TKeyName kKeyNames[] = {
    {VK_BACK, L"BkSp"}, {VK_TAB, L"Tab"},    {VK_RETURN, L"Enter"}, {VK_ESCAPE, L"Esc"},   {VK_SPACE, L"Space"},
    {VK_PRIOR, L"PgUp"}, {VK_NEXT, L"PgDn"}, {VK_END, L"End"},      {VK_HOME, L"Home"},    {VK_LEFT, L"Left"},
    {VK_UP, L"Up"},      {VK_RIGHT, L"Right"}, {VK_DOWN, L"Down"},  {VK_INSERT, L"Ins"},   {VK_DELETE, L"Del"},
};

std::wstring KeyName(int key) {
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::wstring(1, static_cast<wchar_t>(key));
  if (key >= VK_F1 && key <= VK_F24) return L"F" + std::to_wstring(key - VK_F1 + 1);
  for (const TKeyName& k : kKeyNames)
    if (k.key == key) return k.name;
  return L"";
}

}  // namespace

std::wstring ShortCutToText(TShortCut sc) {
  const std::wstring key = KeyName(sc & 0xFF);
  if (key.empty()) return L"";
  std::wstring s;
  if (sc & scShift) s += L"Shift+";
  if (sc & scCtrl) s += L"Ctrl+";
  if (sc & scAlt) s += L"Alt+";
  return s + key;
}

TShortCut TextToShortCut(const std::wstring& text) {
  std::wstring rest = text;
  int shift = 0;
  for (;;) {
    bool found = false;
    for (auto [prefix, flag] : {std::pair<const wchar_t*, int>{L"Shift+", scShift}, {L"Ctrl+", scCtrl}, {L"Alt+", scAlt}}) {
      const std::wstring p = prefix;
      if (rest.size() > p.size() && _wcsnicmp(rest.c_str(), p.c_str(), p.size()) == 0) {
        shift |= flag;
        rest = rest.substr(p.size());
        found = true;
      }
    }
    if (!found) break;
  }
  for (int key = 1; key < 256; ++key)
    if (!KeyName(key).empty() && _wcsicmp(KeyName(key).c_str(), rest.c_str()) == 0) return key | shift;
  return 0;
}

const TClassInfo& TMenuItem::StaticClass() {
  static TClassInfo info("TMenuItem", &TComponent::StaticClass(), ComponentFactory<TMenuItem>);
  static const bool once = [] {
    TPropBuilder<TMenuItem> b(info);
    b.WideString("Caption", [](const TMenuItem& i) { return i.Caption(); }, [](TMenuItem& i, const std::wstring& v) { i.SetCaption(v); });
    b.Boolean("Checked", [](const TMenuItem& i) { return i.Checked(); }, [](TMenuItem& i, std::int64_t v) { i.SetChecked(v != 0); }).defaultValue = std::int64_t{0};
    b.Boolean("Default", [](const TMenuItem& i) { return i.Default(); }, [](TMenuItem& i, std::int64_t v) { i.SetDefault(v != 0); }).defaultValue = std::int64_t{0};
    b.Boolean("Enabled", [](const TMenuItem& i) { return i.Enabled(); }, [](TMenuItem& i, std::int64_t v) { i.SetEnabled(v != 0); }).defaultValue = std::int64_t{1};
    b.Integer("GroupIndex", [](const TMenuItem& i) { return i.GroupIndex(); }, [](TMenuItem& i, std::int64_t v) { i.SetGroupIndex(static_cast<int>(v)); }).defaultValue = std::int64_t{0};
    b.Integer("ImageIndex", [](const TMenuItem& i) { return i.ImageIndex(); }, [](TMenuItem& i, std::int64_t v) { i.SetImageIndex(static_cast<int>(v)); }).defaultValue = std::int64_t{-1};
    b.Boolean("RadioItem", [](const TMenuItem& i) { return i.RadioItem(); }, [](TMenuItem& i, std::int64_t v) { i.SetRadioItem(v != 0); }).defaultValue = std::int64_t{0};
    b.Integer("ShortCut", [](const TMenuItem& i) { return i.ShortCut(); }, [](TMenuItem& i, std::int64_t v) { i.SetShortCut(static_cast<int>(v)); }, "TShortCut").defaultValue = std::int64_t{0};
    b.Object("SubMenuImages", TPropKind::Object, TImageList::StaticClass(), [](const TMenuItem& i) { return i.SubMenuImages(); },
             [](TMenuItem& i, TObject* o) { i.SetSubMenuImages(static_cast<TImageList*>(o)); });
    b.Boolean("Visible", [](const TMenuItem& i) { return i.Visible(); }, [](TMenuItem& i, std::int64_t v) { i.SetVisible(v != 0); }).defaultValue = std::int64_t{1};
    b.Method("OnClick", "TNotifyEvent", [](const TMenuItem& i) { return i.OnClick; }, [](TMenuItem& i, const TMethodValue& m) { i.OnClick = m; });
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

TMenuItem::TMenuItem(TComponent* owner, const TClassInfo& cls) : TComponent(owner, cls), command_(TakeCommand()) {
  Commands()[command_] = this;
}

TMenuItem::~TMenuItem() {
  DestroyingNow();
  ReleaseCommand();
}

void TMenuItem::ReleaseCommand() {
  auto it = Commands().find(command_);
  if (it == Commands().end() || it->second != this) return;
  Commands().erase(it);
  GiveBackCommand(command_);
}

void TMenuItem::BeforeDestruction() {
  ReleaseCommand();
  while (!items_.empty()) {
    TMenuItem* c = items_.back();
    items_.pop_back();
    c->parent_ = nullptr;
    TComponent::Free(c);
  }
  if (parent_) parent_->Remove(this);
  TComponent::BeforeDestruction();
}

void TMenuItem::Changed() {
  if (TMenu* m = GetParentMenu()) m->MenuChanged();
}

void TMenuItem::SetCaption(const std::wstring& c) { caption_ = c; Changed(); }
void TMenuItem::SetChecked(bool v) {
  if (v == checked_) return;
  checked_ = v;
  // Checking a radio item unchecks the others of its group.
  if (v && radio_ && parent_)
    for (TMenuItem* s : parent_->items_)
      if (s != this && s->radio_ && s->groupIndex_ == groupIndex_) s->checked_ = false;
  Changed();
}
void TMenuItem::SetEnabled(bool v) { enabled_ = v; Changed(); }
void TMenuItem::SetDefault(bool v) { default_ = v; Changed(); }
void TMenuItem::SetVisible(bool v) { visible_ = v; Changed(); }
void TMenuItem::SetRadioItem(bool v) { radio_ = v; Changed(); }
void TMenuItem::SetGroupIndex(int v) { groupIndex_ = v; Changed(); }
void TMenuItem::SetShortCut(TShortCut sc) { shortCut_ = sc; Changed(); }
void TMenuItem::SetImageIndex(int i) { imageIndex_ = i; Changed(); }
void TMenuItem::SetSubMenuImages(TImageList* l) {
  if (subMenuImages_) subMenuImages_->RemoveFreeNotification(this);
  subMenuImages_ = l;
  if (l) l->FreeNotification(this);
  Changed();
}

void TMenuItem::Notification(TComponent* c, TOperation op) {
  TComponent::Notification(c, op);
  if (op == TOperation::opRemove && c == subMenuImages_) subMenuImages_ = nullptr;
}

int TMenuItem::MenuIndex() const { return parent_ ? parent_->IndexOf(this) : -1; }

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (item->parent_) item->parent_->Remove(item);
  index = std::clamp(index, 0, Count());
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
  Changed();
}

void TMenuItem::Remove(TMenuItem* item) {
  auto it = std::find(items_.begin(), items_.end(), item);
  if (it == items_.end()) return;
  items_.erase(it);
  item->parent_ = nullptr;
  Changed();
}

void TMenuItem::Delete(int index) { TComponent::Free(Items(index)); }

void TMenuItem::Clear() {
  if (TMenu* m = GetParentMenu()) m->BeginUpdate();
  while (!items_.empty()) TComponent::Free(items_.back());
  if (TMenu* m = GetParentMenu()) m->EndUpdate();
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* i = this;
  while (i->parent_) i = i->parent_;
  return i->menu_;
}

void TMenuItem::Click() {
  if (OnClick.handler) OnClick.handler(this);
}

TComponent* TMenuItem::GetParentComponent() const {
  if (parent_ && parent_->menu_) return parent_->menu_;
  return parent_;
}

void TMenuItem::SetParentComponent(TComponent* parent) {
  if (!parent) return;
  if (parent->Is<TMenu>())
    static_cast<TMenu*>(parent)->Items()->Add(this);
  else if (parent->Is<TMenuItem>())
    static_cast<TMenuItem*>(parent)->Add(this);
}

void TMenuItem::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) const {
  for (TMenuItem* i : items_) proc(i);
}

const TImageList* TMenuItem::ImagesForItem() const {
  // A parent item's SubMenuImages serve its sub-items; otherwise the menu's Images.
  for (const TMenuItem* p = parent_; p; p = p->parent_)
    if (p->subMenuImages_) return p->subMenuImages_;
  const TMenu* m = GetParentMenu();
  return m ? m->Images() : nullptr;
}

bool TMenuItem::IsOwnerDraw() const {
  const TMenu* m = GetParentMenu();
  return (m && (m->OwnerDraw() || m->Images())) || static_cast<bool>(OnDrawItem) || !bitmap_.Empty();
}

std::wstring TMenuItem::DisplayText() const {
  std::wstring t = autoCaption_.empty() ? caption_ : autoCaption_;
  const std::wstring sc = ShortCutToText(shortCut_);
  if (!sc.empty() && !(parent_ && parent_->menu_)) t += L"\t" + sc;
  return t;
}

void TMenuItem::MeasureItem(TCanvas& canvas, int& width, int& height) {
  if (OnMeasureItem)
    OnMeasureItem(this, canvas, width, height);
  else
    DefaultMeasureItem(canvas, width, height);
}

void TMenuItem::DrawItem(TCanvas& canvas, RECT rect, bool selected) {
  if (OnDrawItem)
    OnDrawItem(this, canvas, rect, selected);
  else
    DefaultDrawItem(canvas, rect, selected);
}

void TMenuItem::DefaultMeasureItem(TCanvas& canvas, int& width, int& height) {
  if (IsLine()) {
    width = 10;
    height = 8;
    return;
  }
  const SIZE s = canvas.TextExtent(DisplayText());
  if (parent_ && parent_->menu_ && !parent_->menu_->IsPopup()) {
    // An item of a menu bar: just its caption.
    width = s.cx + 4;
    height = s.cy + 4;
    return;
  }
  const TImageList* images = ImagesForItem();
  const int image = images ? images->Width() : 16;
  width = image + 8 + s.cx + 16;
  height = std::max<int>(s.cy + 6, (images ? images->Height() : 16) + 4);
}

void TMenuItem::DefaultDrawItem(TCanvas& canvas, RECT rect, bool selected) {
  canvas.Brush.color = selected ? clHighlight : clMenu;
  canvas.FillRect(rect);
  if (IsLine()) {
    RECT line{rect.left + 2, (rect.top + rect.bottom) / 2 - 1, rect.right - 2, (rect.top + rect.bottom) / 2 + 1};
    DrawEdge(canvas.Handle(), &line, EDGE_ETCHED, BF_TOP);
    return;
  }
  const TImageList* images = ImagesForItem();
  const bool barItem = parent_ && parent_->menu_ && !parent_->menu_->IsPopup();
  int textLeft = rect.left + 4;
  if (barItem) {
    canvas.Brush.style = TBrushStyle::bsClear;
    canvas.Font().SetColor(!enabled_ ? clGrayText : selected ? clHighlightText : clMenuText);
    RECT tr = rect;
    canvas.DrawText(autoCaption_.empty() ? caption_ : autoCaption_, tr, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    canvas.Brush.style = TBrushStyle::bsSolid;
    return;
  }
  {
    const int iw = images ? images->Width() : 16;
    if (images && imageIndex_ >= 0)
      images->Draw(canvas, rect.left + 2, rect.top + (rect.bottom - rect.top - images->Height()) / 2, imageIndex_, enabled_);
    else if (!bitmap_.Empty())
      canvas.Draw(rect.left + 2, rect.top + (rect.bottom - rect.top - bitmap_.Height()) / 2, bitmap_);
    else if (checked_) {
      RECT box{rect.left + 2, rect.top + 2, rect.left + 2 + iw, rect.bottom - 2};
      DrawFrameControl(canvas.Handle(), &box, DFC_MENU, radio_ ? DFCS_MENUBULLET : DFCS_MENUCHECK);
    }
    textLeft = rect.left + iw + 8;
  }
  canvas.Brush.style = TBrushStyle::bsClear;
  canvas.Font().SetColor(!enabled_ ? clGrayText : selected ? clHighlightText : clMenuText);
  RECT tr{textLeft, rect.top, rect.right - 4, rect.bottom};
  canvas.DrawText(autoCaption_.empty() ? caption_ : autoCaption_, tr, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
  const std::wstring sc = ShortCutToText(shortCut_);
  if (!sc.empty()) canvas.DrawText(sc, tr, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
  canvas.Brush.style = TBrushStyle::bsSolid;
}

const TClassInfo& TMenu::StaticClass() {
  static TClassInfo info("TMenu", &TComponent::StaticClass());
  static const bool once = [] {
    TPropBuilder<TMenu> b(info);
    b.Enum("AutoHotkeys", "TMenuAutoFlag", {"maAutomatic", "maManual"}, [](const TMenu& m) { return m.AutoHotkeys(); },
           [](TMenu& m, std::int64_t v) { m.SetAutoHotkeys(static_cast<TMenuAutoFlag>(v)); })
        .defaultValue = std::int64_t{maAutomatic};
    b.Object("Images", TPropKind::Object, TImageList::StaticClass(), [](const TMenu& m) { return m.Images(); },
             [](TMenu& m, TObject* o) { m.SetImages(static_cast<TImageList*>(o)); });
    b.Boolean("OwnerDraw", [](const TMenu& m) { return m.OwnerDraw(); }, [](TMenu& m, std::int64_t v) { m.SetOwnerDraw(v != 0); })
        .defaultValue = std::int64_t{0};
    return true;
  }();
  (void)once;
  return info;
}

const TClassInfo& TMainMenu::StaticClass() {
  static TClassInfo info("TMainMenu", &TMenu::StaticClass(), ComponentFactory<TMainMenu>);
  static const bool once = [] { RegisterFrameworkClass(info); return true; }();
  (void)once;
  return info;
}

const TClassInfo& TPopupMenu::StaticClass() {
  static TClassInfo info("TPopupMenu", &TMenu::StaticClass(), ComponentFactory<TPopupMenu>);
  static const bool once = [] { RegisterFrameworkClass(info); return true; }();
  (void)once;
  return info;
}

TMenu::TMenu(TComponent* owner, const TClassInfo& cls) : TComponent(owner, cls), items_(new TMenuItem(nullptr)) {
  items_->menu_ = this;
}

TMenu::~TMenu() {
  DestroyingNow();
  items_->menu_ = nullptr;
  TComponent::Free(items_);
}

void TMenu::SetImages(TImageList* l) {
  if (images_) images_->RemoveFreeNotification(this);
  images_ = l;
  if (l) l->FreeNotification(this);
  MenuChanged();
}

void TMenu::SetOwnerDraw(bool v) {
  ownerDraw_ = v;
  MenuChanged();
}

void TMenu::SetAutoHotkeys(TMenuAutoFlag f) {
  autoHotkeys_ = f;
  MenuChanged();
}

void TMenu::Notification(TComponent* c, TOperation op) {
  TComponent::Notification(c, op);
  if (op == TOperation::opRemove && c == images_) {
    images_ = nullptr;
    MenuChanged();
  }
}

void TMenu::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) const {
  for (TMenuItem* i : items_->items_) proc(i);
}

void TMenu::EndUpdate() {
  if (updating_ > 0 && --updating_ == 0 && dirty_) MenuChanged();
}

void TMenu::MenuChanged() {
  if (updating_ || HasState(csLoading)) {
    dirty_ = true;
    return;
  }
  dirty_ = false;
  if (handle_) Rebuild();
  if (OnChange) OnChange(this);
  // A listener may remove itself or another one.
  const auto listeners = changeListeners_;
  for (const auto& [key, listener] : listeners)
    if (std::any_of(changeListeners_.begin(), changeListeners_.end(), [k = key](const auto& l) { return l.first == k; })) listener();
}

void TMenu::AddChangeListener(const void* key, std::function<void()> listener) {
  RemoveChangeListener(key);
  changeListeners_.emplace_back(key, std::move(listener));
}

void TMenu::RemoveChangeListener(const void* key) {
  changeListeners_.erase(std::remove_if(changeListeners_.begin(), changeListeners_.end(), [key](const auto& l) { return l.first == key; }),
                         changeListeners_.end());
}

HMENU TMenu::Handle() {
  if (!handle_ || dirty_) Rebuild();
  return handle_.Get();
}

std::vector<TMenuItem*> TMenu::TopItems() const { return items_->items_; }

// Gives captions without a hot key one, on the first letter no sibling uses yet.
void TMenu::AssignHotkeys(const std::vector<TMenuItem*>& items, bool automatic) {
  std::wstring used;
  for (TMenuItem* i : items) {
    const std::wstring& c = i->Caption();
    const auto amp = c.find(L'&');
    if (amp != std::wstring::npos && amp + 1 < c.size()) used += static_cast<wchar_t>(towupper(c[amp + 1]));
  }
  for (TMenuItem* i : items) {
    std::wstring c = i->Caption();
    std::wstring result;
    if (automatic && !i->IsLine() && c.find(L'&') == std::wstring::npos) {
      for (std::size_t k = 0; k < c.size(); ++k) {
        const wchar_t u = static_cast<wchar_t>(towupper(c[k]));
        if (iswalnum(c[k]) && used.find(u) == std::wstring::npos) {
          used += u;
          result = c.substr(0, k) + L"&" + c.substr(k);
          break;
        }
      }
    }
    i->autoCaption_ = result;
  }
}

void TMenu::BuildInto(HMENU target, const std::vector<TMenuItem*>& items) {
  AssignHotkeys(items, autoHotkeys_ == maAutomatic);
  for (TMenuItem* i : items) {
    i->submenu_ = nullptr;
    if (!i->Visible()) continue;
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA | MIIM_STRING;
    mii.wID = i->command_;
    mii.dwItemData = reinterpret_cast<ULONG_PTR>(i);
    mii.fType = i->IsLine() ? MFT_SEPARATOR : MFT_STRING;
    if (i->RadioItem()) mii.fType |= MFT_RADIOCHECK;
    if (i->IsOwnerDraw()) mii.fType |= MFT_OWNERDRAW;
    mii.fState = (i->Checked() ? MFS_CHECKED : 0) | (i->Enabled() ? 0 : MFS_GRAYED) | (i->Default() ? MFS_DEFAULT : 0);
    std::wstring text = i->DisplayText();
    mii.dwTypeData = text.data();
    if (i->Count() > 0) {
      i->submenu_ = CreatePopupMenu();
      BuildInto(i->submenu_, i->items_);
      mii.fMask |= MIIM_SUBMENU;
      mii.hSubMenu = i->submenu_;
    }
    InsertMenuItemW(target, GetMenuItemCount(target), TRUE, &mii);
  }
}

void TMenu::Rebuild() {
  TOwnedMenu fresh(IsPopup() ? CreatePopupMenu() : CreateMenu());
  BuildInto(fresh.Get(), TopItems());
  // The old menu lives until the window showing it has been given the new one.
  TOwnedMenu previous = std::move(handle_);
  handle_ = std::move(fresh);
  dirty_ = false;
  HandleRebuilt(previous.Get());
}

bool TMenu::IsShortCut(TShortCut sc) {
  if (!sc) return false;
  std::function<TMenuItem*(TMenuItem*)> find = [&](TMenuItem* parent) -> TMenuItem* {
    for (TMenuItem* i : parent->items_) {
      if (!i->Visible() || !i->Enabled()) continue;
      if (i->ShortCut() == sc) return i;
      if (TMenuItem* f = find(i)) return f;
    }
    return nullptr;
  };
  TMenuItem* hit = nullptr;
  for (TMenuItem* top : TopItems()) {
    if (!top->Visible() || !top->Enabled()) continue;
    if (top->ShortCut() == sc) hit = top;
    if (!hit) hit = find(top);
    if (hit) break;
  }
  if (!hit) return false;
  hit->Click();
  return true;
}

bool TMenu::IsShortCut(const MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  int shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= scShift;
  if (GetKeyState(VK_CONTROL) < 0) shift |= scCtrl;
  if (GetKeyState(VK_MENU) < 0) shift |= scAlt;
  return IsShortCut(static_cast<int>(msg.wParam & 0xFF) | shift);
}

TMenuItem* TMenu::ItemByCommand(UINT command) {
  auto it = Commands().find(command);
  return it == Commands().end() ? nullptr : it->second;
}

TMenuItem* TMenu::FindItemByCommand(UINT command) const {
  TMenuItem* i = ItemByCommand(command);
  return i && i->GetParentMenu() == this ? i : nullptr;
}

TMenuItem* TMenu::FindItemByHandle(HMENU menu) const {
  std::function<TMenuItem*(const std::vector<TMenuItem*>&)> find = [&](const std::vector<TMenuItem*>& items) -> TMenuItem* {
    for (TMenuItem* i : items) {
      if (i->submenu_ == menu) return i;
      if (TMenuItem* f = find(i->items_)) return f;
    }
    return nullptr;
  };
  return find(TopItems());
}

bool TMenu::DispatchCommand(UINT command) {
  TMenuItem* i = ItemByCommand(command);
  if (!i) return false;
  for (TMenuItem* top : TopItems())
    if (i->GetParentMenu() == top->GetParentMenu()) {
      i->Click();
      return true;
    }
  return false;
}

bool TMenu::HandleMeasureItem(MEASUREITEMSTRUCT* mis) {
  if (mis->CtlType != ODT_MENU) return false;
  auto* item = reinterpret_cast<TMenuItem*>(mis->itemData);
  if (!item || ItemByCommand(item->command_) != item) return false;
  {
    TWindowDC screen(nullptr, TWindowDC::TKind::Client);
    TCanvas canvas(screen.Get());
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof ncm;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0)) canvas.Font().SetLogFont(ncm.lfMenuFont);
    int w = 0, h = 0;
    item->MeasureItem(canvas, w, h);
    mis->itemWidth = static_cast<UINT>(std::max(w, 0));
    mis->itemHeight = static_cast<UINT>(std::max(h, 0));
  }
  return true;
}

bool TMenu::HandleDrawItem(const DRAWITEMSTRUCT* dis) {
  if (dis->CtlType != ODT_MENU) return false;
  auto* item = reinterpret_cast<TMenuItem*>(dis->itemData);
  if (!item || ItemByCommand(item->command_) != item) return false;
  TCanvas canvas(dis->hDC);
  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = sizeof ncm;
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0)) canvas.Font().SetLogFont(ncm.lfMenuFont);
  const int saved = SaveDC(dis->hDC);
  item->DrawItem(canvas, dis->rcItem, (dis->itemState & ODS_SELECTED) != 0);
  canvas.SetHandle(nullptr);
  RestoreDC(dis->hDC, saved);
  return true;
}

void TMainMenu::Merge(TMainMenu* other) {
  merged_ = other == this ? nullptr : other;
  MenuChanged();
  if (!handle_) Rebuild();
}

void TMainMenu::Unmerge(TMainMenu* other) {
  if (merged_ && merged_ == other) {
    merged_ = nullptr;
    MenuChanged();
  }
}

std::vector<TMenuItem*> TMainMenu::TopItems() const {
  std::vector<TMenuItem*> items = items_->items_;
  if (!merged_) return items;
  for (TMenuItem* m : merged_->items_->items_) {
    // Items of the same group are replaced, the others keep their places by group index.
    items.erase(std::remove_if(items.begin(), items.end(), [&](TMenuItem* i) { return i->GroupIndex() == m->GroupIndex() && i->GetParentMenu() == this; }),
                items.end());
    auto pos = std::find_if(items.begin(), items.end(), [&](TMenuItem* i) { return i->GroupIndex() > m->GroupIndex(); });
    items.insert(pos, m);
  }
  return items;
}

void TMainMenu::HandleRebuilt(HMENU previous) {
  // Only a window that shows this menu now is moved to the new one (a window that shows another
  // menu, or none, keeps it).
  if (!window_ || !previous || GetMenu(window_) != previous) return;
  SetMenu(window_, handle_.Get());
  if (OnRebuilt) OnRebuilt();
  DrawMenuBar(window_);
}

namespace {

LRESULT CALLBACK PopupOwnerProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  bool handled = false;
  GuardCallback([&] {
    if (msg == WM_MEASUREITEM) handled = TMenu::HandleMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    if (msg == WM_DRAWITEM) handled = TMenu::HandleDrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
  });
  if (handled) return TRUE;
  return DefWindowProcW(wnd, msg, wParam, lParam);
}

}  // namespace

HWND PopupOwnerWindow() {
  static HWND wnd = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = PopupOwnerProc;
    wc.hInstance = LibraryModule();
    wc.lpszClassName = L"TPUtilWindow";
    RegisterClassExW(&wc);
    return CreateWindowExW(WS_EX_TOOLWINDOW, L"TPUtilWindow", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           LibraryModule(), nullptr);
  }();
  return wnd;
}

void TPopupMenu::Popup(int x, int y) {
  if (OnPopup) OnPopup(this);
  HMENU menu = Handle();
  HWND owner = PopupOwnerWindow();
  const UINT cmd = static_cast<UINT>(
      TrackPopupMenuEx(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, x, y, owner, nullptr));
  if (cmd) DispatchCommand(cmd);
}

}  // namespace vex::host
