#include "host/list_view.h"

#include <algorithm>
#include <stdexcept>

#include "host/prop_builder.h"
#include "host/text_encoding.h"

namespace vex::host {

namespace {

int ColumnFormat(TAlignment a) {
  switch (a) {
    case taRightJustify: return LVCFMT_RIGHT;
    case taCenter: return LVCFMT_CENTER;
    default: return LVCFMT_LEFT;
  }
}

DWORD ViewStyleBits(TViewStyle v) {
  switch (v) {
    case vsSmallIcon: return LVS_SMALLICON;
    case vsList: return LVS_LIST;
    case vsReport: return LVS_REPORT;
    default: return LVS_ICON;
  }
}

}  // namespace

// ----- columns -----

const TClassInfo& TListColumn::StaticClass() {
  static TClassInfo info("TListColumn", &TCollectionItem::StaticClass());
  static const bool once = [] {
    TPropBuilder<TListColumn> b(info);
    b.Enum("Alignment", "TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"}, [](const TListColumn& x) { return x.Alignment(); },
           [](TListColumn& x, std::int64_t v) { x.SetAlignment(static_cast<TAlignment>(v)); })
        .defaultValue = std::int64_t{taLeftJustify};
    b.WideString("Caption", [](const TListColumn& x) { return x.Caption(); }, [](TListColumn& x, const std::wstring& v) { x.SetCaption(v); });
    b.Integer("Width", [](const TListColumn& x) { return x.Width(); }, [](TListColumn& x, std::int64_t v) { x.SetWidth(static_cast<int>(v)); })
        .defaultValue = std::int64_t{50};
    b.Integer("ImageIndex", [](const TListColumn& x) { return x.ImageIndex(); },
              [](TListColumn& x, std::int64_t v) { x.SetImageIndex(static_cast<int>(v)); })
        .defaultValue = std::int64_t{-1};
    return true;
  }();
  (void)once;
  return info;
}

TCustomListView* TListColumn::ListView() const {
  return Collection() ? static_cast<TListColumns*>(Collection())->ListView() : nullptr;
}

void TListColumn::Changed() {
  if (Collection()) Collection()->Update(this);
}

void TListColumn::SetCaption(const std::wstring& s) {
  caption_ = s;
  Changed();
}

int TListColumn::Width() const {
  TCustomListView* lv = ListView();
  const int index = Index();
  if (lv && lv->HandleAllocated() && index >= 0 && index < lv->HeaderColumnCount())
    return static_cast<int>(SendMessageW(lv->Handle(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(index), 0));
  return width_;
}

void TListColumn::SetWidth(int v) {
  width_ = v;
  Changed();
}

void TListColumn::SetAlignment(TAlignment a) {
  alignment_ = a;
  Changed();
}

void TListColumn::SetImageIndex(int v) {
  imageIndex_ = v < 0 ? -1 : v;
  Changed();
}

void TListColumn::Assign(const TPersistent& source) {
  if (!source.Is<TListColumn>()) return TCollectionItem::Assign(source);
  const auto& s = static_cast<const TListColumn&>(source);
  caption_ = s.caption_;
  width_ = s.Width();
  alignment_ = s.alignment_;
  imageIndex_ = s.imageIndex_;
  Changed();
}

const TClassInfo& TListColumns::StaticClass() {
  static const TClassInfo info("TListColumns", &TCollection::StaticClass());
  return info;
}

TListColumns::TListColumns(TCustomListView* owner)
    : TCollection([](TCollection* c) { return std::make_unique<TListColumn>(c); }, owner, StaticClass()), listView_(owner) {}

void TListColumns::Update(TCollectionItem* item) {
  if (listView_) listView_->ColumnsChanged(item);
}

// ----- items -----

const TClassInfo& TListItem::StaticClass() {
  static const TClassInfo info("TListItem", &TPersistent::StaticClass());
  return info;
}

TListItem::TListItem(TListItems* owner) : TPersistent(StaticClass()), owner_(owner) {
  subItems_.OnChange = [this](TObject*) { Update(); };
}

TListItem::~TListItem() { subItems_.OnChange = nullptr; }

TCustomListView* TListItem::ListView() const { return owner_ ? &owner_->ListView() : nullptr; }

bool TListItem::Live() const { return owner_ && index_ >= 0 && owner_->ListView().HandleAllocated(); }

void TListItem::SetCaption(const std::wstring& s) {
  caption_ = s;
  Update();
}

void TListItem::SetImageIndex(int i) {
  imageIndex_ = i;
  Update();
}

void TListItem::Update() {
  // An item made for one row of a virtual list is the application's answer, not a change.
  if (!virtual_ && Live()) SendMessageW(owner_->ListView().Handle(), LVM_UPDATE, static_cast<WPARAM>(index_), 0);
}

bool TListItem::Selected() const {
  if (!Live()) return selected_;
  return SendMessageW(owner_->ListView().Handle(), LVM_GETITEMSTATE, static_cast<WPARAM>(index_), LVIS_SELECTED) != 0;
}

void TListItem::SetSelected(bool v) {
  selected_ = v;
  if (!Live()) return;
  LVITEMW it{};
  it.stateMask = LVIS_SELECTED;
  it.state = v ? LVIS_SELECTED : 0;
  SendMessageW(owner_->ListView().Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(index_), reinterpret_cast<LPARAM>(&it));
}

bool TListItem::Focused() const {
  if (!Live()) return focused_;
  return SendMessageW(owner_->ListView().Handle(), LVM_GETITEMSTATE, static_cast<WPARAM>(index_), LVIS_FOCUSED) != 0;
}

void TListItem::SetFocused(bool v) {
  focused_ = v;
  if (!Live()) return;
  LVITEMW it{};
  it.stateMask = LVIS_FOCUSED;
  it.state = v ? LVIS_FOCUSED : 0;
  SendMessageW(owner_->ListView().Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(index_), reinterpret_cast<LPARAM>(&it));
}

void TListItem::MakeVisible() {
  if (Live()) SendMessageW(owner_->ListView().Handle(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(index_), FALSE);
}

void TListItem::Delete() {
  if (owner_ && !virtual_) owner_->Delete(index_);
}

void TListItem::Assign(const TPersistent& source) {
  if (!source.Is<TListItem>()) return TPersistent::Assign(source);
  const auto& s = static_cast<const TListItem&>(source);
  caption_ = s.caption_;
  imageIndex_ = s.imageIndex_;
  Data = s.Data;
  subItems_.Assign(s.subItems_);
  Update();
}

const TClassInfo& TListItems::StaticClass() {
  static const TClassInfo info("TListItems", &TPersistent::StaticClass());
  return info;
}

TListItems::TListItems(TCustomListView& view) : TPersistent(StaticClass()), view_(view) {}

TListItems::~TListItems() = default;

int TListItems::Count() const { return view_.ownerData_ ? count_ : static_cast<int>(items_.size()); }

void TListItems::SetCount(int n) {
  if (!view_.ownerData_) throw std::logic_error("the number of items is set only for a virtual list (OwnerData)");
  count_ = std::max(n, 0);
  if (view_.HandleAllocated()) SendMessageW(view_.Handle(), LVM_SETITEMCOUNT, static_cast<WPARAM>(count_), 0);
}

TListItem* TListItems::Item(int index) const {
  TStrings::CheckIndex(index, Count());
  if (!view_.ownerData_) return items_[static_cast<std::size_t>(index)].get();
  // A virtual row: one item, filled by the application for the row asked about.
  if (!temp_) {
    temp_ = std::make_unique<TListItem>(const_cast<TListItems*>(this));
    temp_->virtual_ = true;
  }
  TListItem& item = *temp_;
  item.index_ = index;
  item.caption_.clear();
  item.subItems_.Clear();
  item.imageIndex_ = -1;
  item.Data = nullptr;
  if (view_.OnData) view_.OnData(&view_, &item);
  return &item;
}

TListItem* TListItems::Insert(int index) {
  if (view_.ownerData_) throw std::logic_error("a virtual list (OwnerData) has no items of its own: set its Count");
  if (index < 0 || index > Count()) throw std::out_of_range("list index out of bounds (" + std::to_string(index) + ")");
  auto owned = std::make_unique<TListItem>(this);
  TListItem* item = owned.get();
  items_.insert(items_.begin() + index, std::move(owned));
  Renumber(index);
  if (view_.HandleAllocated()) view_.InsertNativeItem(*item);
  return item;
}

void TListItems::Delete(int index) {
  if (view_.ownerData_) throw std::logic_error("a virtual list (OwnerData) has no items of its own: set its Count");
  TStrings::CheckIndex(index, Count());
  if (view_.HandleAllocated()) SendMessageW(view_.Handle(), LVM_DELETEITEM, static_cast<WPARAM>(index), 0);
  items_.erase(items_.begin() + index);
  Renumber(index);
}

void TListItems::Clear() {
  if (view_.ownerData_) {
    SetCount(0);
    return;
  }
  if (view_.HandleAllocated()) SendMessageW(view_.Handle(), LVM_DELETEALLITEMS, 0, 0);
  items_.clear();
}

void TListItems::Renumber(int from) {
  for (std::size_t i = static_cast<std::size_t>(std::max(from, 0)); i < items_.size(); ++i) items_[i]->index_ = static_cast<int>(i);
}

void TListItems::BeginUpdate() {
  if (updating_++ == 0 && view_.HandleAllocated()) SendMessageW(view_.Handle(), WM_SETREDRAW, FALSE, 0);
}

void TListItems::EndUpdate() {
  if (updating_ > 0 && --updating_ == 0 && view_.HandleAllocated()) {
    SendMessageW(view_.Handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(view_.Handle(), nullptr, TRUE);
  }
}

// ----- the view -----

const TClassInfo& TCustomListView::StaticClass() {
  static const TClassInfo info("TCustomListView", &TWinControl::StaticClass());
  return info;
}

const TClassInfo& TListView::StaticClass() {
  static TClassInfo info("TListView", &TCustomListView::StaticClass(), ComponentFactory<TListView>);
  static const bool once = [] {
    TPropBuilder<TListView> b(info);
    b.Enum("BorderStyle", "TBorderStyle", {"bsNone", "bsSingle"}, [](const TListView& x) { return x.BorderStyle(); },
           [](TListView& x, std::int64_t v) { x.SetBorderStyle(v ? bsSingle : bsNone); })
        .defaultValue = std::int64_t{bsSingle};
    b.Object("Columns", TPropKind::Collection, TListColumns::StaticClass(),
             [](const TListView& x) { return const_cast<TListColumns*>(&x.Columns()); }, nullptr);
    b.Boolean("GridLines", [](const TListView& x) { return x.GridLines(); }, [](TListView& x, std::int64_t v) { x.SetGridLines(v != 0); })
        .defaultValue = std::int64_t{0};
    b.Boolean("HideSelection", [](const TListView& x) { return x.HideSelection(); },
              [](TListView& x, std::int64_t v) { x.SetHideSelection(v != 0); })
        .defaultValue = std::int64_t{1};
    b.Object("Items", TPropKind::Object, TListItems::StaticClass(), [](const TListView& x) { return const_cast<TListItems*>(&x.Items()); },
             nullptr);
    b.Object("LargeImages", TPropKind::Object, TImageList::StaticClass(), [](const TListView& x) { return x.LargeImages(); },
             [](TListView& x, TObject* o) { x.SetLargeImages(static_cast<TImageList*>(o)); });
    b.Boolean("MultiSelect", [](const TListView& x) { return x.MultiSelect(); }, [](TListView& x, std::int64_t v) { x.SetMultiSelect(v != 0); })
        .defaultValue = std::int64_t{0};
    b.Boolean("OwnerData", [](const TListView& x) { return x.OwnerData(); }, [](TListView& x, std::int64_t v) { x.SetOwnerData(v != 0); })
        .defaultValue = std::int64_t{0};
    b.Boolean("ReadOnly", [](const TListView& x) { return x.ReadOnly(); }, [](TListView& x, std::int64_t v) { x.SetReadOnly(v != 0); })
        .defaultValue = std::int64_t{0};
    b.Boolean("RowSelect", [](const TListView& x) { return x.RowSelect(); }, [](TListView& x, std::int64_t v) { x.SetRowSelect(v != 0); })
        .defaultValue = std::int64_t{0};
    b.Object("SmallImages", TPropKind::Object, TImageList::StaticClass(), [](const TListView& x) { return x.SmallImages(); },
             [](TListView& x, TObject* o) { x.SetSmallImages(static_cast<TImageList*>(o)); });
    b.Enum("ViewStyle", "TViewStyle", {"vsIcon", "vsSmallIcon", "vsList", "vsReport"}, [](const TListView& x) { return x.ViewStyle(); },
           [](TListView& x, std::int64_t v) { x.SetViewStyle(static_cast<TViewStyle>(v)); })
        .defaultValue = std::int64_t{vsIcon};
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

void TCustomListView::ChangeScale(int m, int d) {
  if (m != d && m > 0 && d > 0)
    for (int i = 0; i < columns_->Count(); ++i) {
      TListColumn* c = columns_->Items(i);
      if (c->Width() > 0) c->SetWidth(MulDiv(c->Width(), m, d));
    }
  TWinControl::ChangeScale(m, d);
}

TCustomListView::TCustomListView(TComponent* owner, const TClassInfo& cls)
    : TWinControl(owner, cls), columns_(std::make_unique<TListColumns>(this)), items_(std::make_unique<TListItems>(*this)) {
  width_ = 250;
  height_ = 150;
  tabStop_ = true;
  color_ = clWindow;
  controlStyle_ &= ~csSetCaption;
}

TCustomListView::~TCustomListView() {
  // The items and columns go before the view they point back to.
  items_.reset();
  columns_.reset();
}

void TCustomListView::BeforeDestruction() {
  going_ = true;
  TWinControl::BeforeDestruction();
}

void TCustomListView::CreateParams(TCreateParams& p) {
  static const bool registered = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
    return InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)registered;
  TWinControl::CreateParams(p);
  p.baseClass = WC_LISTVIEWW;
  p.caption.clear();
  p.style |= ViewStyleBits(viewStyle_) | LVS_SHAREIMAGELISTS;
  if (!multiSelect_) p.style |= LVS_SINGLESEL;
  if (!readOnly_) p.style |= LVS_EDITLABELS;
  if (!hideSelection_) p.style |= LVS_SHOWSELALWAYS;
  if (ownerData_) p.style |= LVS_OWNERDATA;
  if (borderStyle_ == bsSingle) p.exStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListView::CreateWnd() {
  TWinControl::CreateWnd();
  ApplyExtendedStyle();
  const COLORREF back = static_cast<COLORREF>(ColorToRGB(color_));
  SendMessageW(handle_, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(back));
  SendMessageW(handle_, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(back));
  if (smallImages_) SendMessageW(handle_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(smallImages_->Handle()));
  if (largeImages_) SendMessageW(handle_, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(largeImages_->Handle()));
  RebuildColumns();
  if (ownerData_) {
    SendMessageW(handle_, LVM_SETITEMCOUNT, static_cast<WPARAM>(items_->count_), 0);
    return;
  }
  if (items_->items_.empty()) return;
  SendMessageW(handle_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(handle_, LVM_SETITEMCOUNT, items_->items_.size(), 0);
  for (const auto& item : items_->items_) InsertNativeItem(*item);
  SendMessageW(handle_, WM_SETREDRAW, TRUE, 0);
}

void TCustomListView::SaveState() {
  if (!handle_ || going_) return;
  ReadColumnWidths();
  if (ownerData_) return;
  for (const auto& item : items_->items_) {
    const LRESULT state =
        SendMessageW(handle_, LVM_GETITEMSTATE, static_cast<WPARAM>(item->index_), LVIS_SELECTED | LVIS_FOCUSED);
    item->selected_ = (state & LVIS_SELECTED) != 0;
    item->focused_ = (state & LVIS_FOCUSED) != 0;
  }
}

void TCustomListView::DestroyWnd() {
  SaveState();
  TWinControl::DestroyWnd();
}

void TCustomListView::InsertNativeItem(const TListItem& item) {
  LVITEMW it{};
  it.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
  it.iItem = item.index_;
  it.pszText = LPSTR_TEXTCALLBACKW;
  it.iImage = I_IMAGECALLBACK;
  it.lParam = reinterpret_cast<LPARAM>(&item);
  it.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  it.state = (item.selected_ ? LVIS_SELECTED : 0) | (item.focused_ ? LVIS_FOCUSED : 0);
  SendMessageW(handle_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&it));
  // The further columns ask for their texts too.
  for (int k = 1; k < columns_->Count(); ++k) {
    LVITEMW sub{};
    sub.iSubItem = k;
    sub.pszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(handle_, LVM_SETITEMTEXTW, static_cast<WPARAM>(item.index_), reinterpret_cast<LPARAM>(&sub));
  }
}

int TCustomListView::HeaderColumnCount() const {
  if (!handle_) return 0;
  HWND header = reinterpret_cast<HWND>(SendMessageW(handle_, LVM_GETHEADER, 0, 0));
  return header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

void TCustomListView::SetColumn(int index) {
  TListColumn* c = columns_->Items(index);
  LVCOLUMNW col{};
  col.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM | LVCF_IMAGE;
  col.fmt = ColumnFormat(c->alignment_);
  if (c->imageIndex_ >= 0) col.fmt |= LVCFMT_IMAGE;
  col.iImage = c->imageIndex_;
  col.cx = c->width_;
  col.pszText = const_cast<wchar_t*>(c->caption_.c_str());
  col.iSubItem = index;
  SendMessageW(handle_, index < HeaderColumnCount() ? LVM_SETCOLUMNW : LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(&col));
}

void TCustomListView::RebuildColumns() {
  if (!handle_) return;
  while (HeaderColumnCount() > 0)
    if (!SendMessageW(handle_, LVM_DELETECOLUMN, 0, 0)) break;
  for (int i = 0; i < columns_->Count(); ++i) SetColumn(i);
  if (ownerData_ || columns_->Count() < 2) return;
  for (const auto& item : items_->items_)
    for (int k = 1; k < columns_->Count(); ++k) {
      LVITEMW sub{};
      sub.iSubItem = k;
      sub.pszText = LPSTR_TEXTCALLBACKW;
      SendMessageW(handle_, LVM_SETITEMTEXTW, static_cast<WPARAM>(item->index_), reinterpret_cast<LPARAM>(&sub));
    }
}

void TCustomListView::ReadColumnWidths() {
  const int n = std::min(HeaderColumnCount(), columns_->Count());
  for (int i = 0; i < n; ++i)
    columns_->Items(i)->width_ = static_cast<int>(SendMessageW(handle_, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i), 0));
}

void TCustomListView::ColumnsChanged(TCollectionItem* item) {
  if (!handle_) return;
  if (item && HeaderColumnCount() == columns_->Count())
    SetColumn(item->Index());
  else
    RebuildColumns();
}

void TCustomListView::ApplyExtendedStyle() {
  if (!handle_) return;
  const DWORD mask = LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES;
  const DWORD bits = (rowSelect_ ? LVS_EX_FULLROWSELECT : 0) | (gridLines_ ? LVS_EX_GRIDLINES : 0);
  SendMessageW(handle_, LVM_SETEXTENDEDLISTVIEWSTYLE, mask, bits);
}

void TCustomListView::SetStyleBits(DWORD mask, DWORD bits) {
  if (!handle_) return;
  const DWORD style = static_cast<DWORD>(GetWindowLongW(handle_, GWL_STYLE));
  const DWORD wanted = (style & ~mask) | bits;
  if (wanted == style) return;
  SetWindowLongW(handle_, GWL_STYLE, static_cast<LONG>(wanted));
  InvalidateRect(handle_, nullptr, TRUE);
}

void TCustomListView::SetViewStyle(TViewStyle v) {
  viewStyle_ = v;
  SetStyleBits(LVS_TYPEMASK, ViewStyleBits(v));
}

void TCustomListView::SetSmallImages(TImageList* list) {
  if (smallImages_) smallImages_->RemoveFreeNotification(this);
  smallImages_ = list;
  if (list) list->FreeNotification(this);
  if (handle_) SendMessageW(handle_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(list ? list->Handle() : nullptr));
}

void TCustomListView::SetLargeImages(TImageList* list) {
  if (largeImages_) largeImages_->RemoveFreeNotification(this);
  largeImages_ = list;
  if (list) list->FreeNotification(this);
  if (handle_) SendMessageW(handle_, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(list ? list->Handle() : nullptr));
}

void TCustomListView::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == smallImages_) SetSmallImages(nullptr);
  if (component == largeImages_) SetLargeImages(nullptr);
}

void TCustomListView::SetRowSelect(bool v) {
  rowSelect_ = v;
  ApplyExtendedStyle();
}

void TCustomListView::SetGridLines(bool v) {
  gridLines_ = v;
  ApplyExtendedStyle();
}

void TCustomListView::SetReadOnly(bool v) {
  readOnly_ = v;
  SetStyleBits(LVS_EDITLABELS, v ? 0 : LVS_EDITLABELS);
}

void TCustomListView::SetMultiSelect(bool v) {
  multiSelect_ = v;
  SetStyleBits(LVS_SINGLESEL, v ? 0 : LVS_SINGLESEL);
}

void TCustomListView::SetHideSelection(bool v) {
  hideSelection_ = v;
  SetStyleBits(LVS_SHOWSELALWAYS, v ? 0 : LVS_SHOWSELALWAYS);
}

void TCustomListView::SetBorderStyle(TBorderStyle s) {
  if (s == borderStyle_) return;
  borderStyle_ = s;
  RecreateWnd();
}

void TCustomListView::SetOwnerData(bool v) {
  if (v == ownerData_) return;
  // The control takes the mode only when it is made; the items of one mode mean nothing in the other.
  items_->Clear();
  ownerData_ = v;
  items_->count_ = 0;
  RecreateWnd();
}

int TCustomListView::ItemIndex() const {
  if (handle_) return static_cast<int>(SendMessageW(handle_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  for (const auto& item : items_->items_)
    if (item->selected_) return item->index_;
  return -1;
}

void TCustomListView::SetItemIndex(int index) {
  if (index < -1 || index >= items_->Count()) throw std::out_of_range("item index out of bounds (" + std::to_string(index) + ")");
  if (!handle_) {
    for (const auto& item : items_->items_) item->selected_ = item->focused_ = item->index_ == index;
    return;
  }
  LVITEMW it{};
  it.stateMask = LVIS_SELECTED;
  it.state = 0;
  SendMessageW(handle_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&it));
  if (index < 0) return;
  it.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  it.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(handle_, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&it));
}

TListItem* TCustomListView::Selected() const {
  const int i = ItemIndex();
  return i >= 0 ? items_->Item(i) : nullptr;
}

void TCustomListView::SetSelected(TListItem* item) {
  if (item && item->owner_ != items_.get()) throw std::invalid_argument("the item is not one of this list view's");
  SetItemIndex(item ? item->index_ : -1);
}

int TCustomListView::SelCount() const {
  if (handle_) return static_cast<int>(SendMessageW(handle_, LVM_GETSELECTEDCOUNT, 0, 0));
  return static_cast<int>(std::count_if(items_->items_.begin(), items_->items_.end(), [](const auto& i) { return i->selected_; }));
}

TListItem* TCustomListView::ItemFocused() const {
  if (!handle_) {
    for (const auto& item : items_->items_)
      if (item->focused_) return item.get();
    return nullptr;
  }
  const int i = static_cast<int>(SendMessageW(handle_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  return i >= 0 ? items_->Item(i) : nullptr;
}

TListItem* TCustomListView::TopItem() const {
  if (!handle_ || items_->Count() == 0) return nullptr;
  const int i = static_cast<int>(SendMessageW(handle_, LVM_GETTOPINDEX, 0, 0));
  return i >= 0 && i < items_->Count() ? items_->Item(i) : nullptr;
}

int TCustomListView::VisibleRowCount() const {
  return handle_ ? static_cast<int>(SendMessageW(handle_, LVM_GETCOUNTPERPAGE, 0, 0)) : 0;
}

TListItem* TCustomListView::GetItemAt(int x, int y) const {
  if (!handle_) return nullptr;
  LVHITTESTINFO hit{};
  hit.pt = POINT{x, y};
  const int i = static_cast<int>(SendMessageW(handle_, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  return i >= 0 && (hit.flags & LVHT_ONITEM) && i < items_->Count() ? items_->Item(i) : nullptr;
}

void TCustomListView::GetDispInfo(NMLVDISPINFOW& info) {
  LVITEMW& it = info.item;
  if (it.iItem < 0 || it.iItem >= items_->Count()) return;
  const TListItem* item = items_->Item(it.iItem);
  if ((it.mask & LVIF_TEXT) && it.pszText && it.cchTextMax > 0) {
    if (it.iSubItem == 0) {
      textBuffer_ = item->caption_;
    } else if (it.iSubItem - 1 < item->subItems_.Count()) {
      textBuffer_ = Utf8ToWide(item->subItems_[it.iSubItem - 1]);
    } else {
      textBuffer_.clear();
    }
    lstrcpynW(it.pszText, textBuffer_.c_str(), it.cchTextMax);
  }
  if (it.mask & LVIF_IMAGE) it.iImage = it.iSubItem == 0 ? item->imageIndex_ : -1;
}

void TCustomListView::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CN_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
      m.Result = 0;
      switch (hdr->code) {
        case LVN_GETDISPINFOW:
          GetDispInfo(*reinterpret_cast<NMLVDISPINFOW*>(m.LParam));
          return;
        case LVN_ITEMCHANGED: {
          auto* nm = reinterpret_cast<NMLISTVIEW*>(m.LParam);
          if (!(nm->uChanged & LVIF_STATE) || !((nm->uOldState ^ nm->uNewState) & LVIS_SELECTED)) return;
          const bool selected = (nm->uNewState & LVIS_SELECTED) != 0;
          TListItem* item = nm->iItem >= 0 && nm->iItem < items_->Count() ? items_->Item(nm->iItem) : nullptr;
          if (item && !ownerData_) item->selected_ = selected;
          if (OnSelectItem) OnSelectItem(this, item, selected);
          return;
        }
        case LVN_BEGINLABELEDITW:
          m.Result = readOnly_ || ownerData_ ? TRUE : FALSE;
          return;
        case LVN_ENDLABELEDITW: {
          auto* info = reinterpret_cast<NMLVDISPINFOW*>(m.LParam);
          // The caption is the item's: the control shows it when it asks again.
          if (info->item.pszText && !ownerData_ && info->item.iItem >= 0 && info->item.iItem < items_->Count())
            items_->Item(info->item.iItem)->SetCaption(info->item.pszText);
          return;
        }
        default:
          return;
      }
    }
    case WM_NOTIFY: {
      // The header tells the control of widths dragged by the user; the columns keep them.
      const UINT code = reinterpret_cast<NMHDR*>(m.LParam)->code;
      TWinControl::WndProc(m);
      if (code == HDN_ENDTRACKW || code == HDN_ENDTRACKA || code == HDN_ITEMCHANGEDW || code == HDN_ITEMCHANGEDA) ReadColumnWidths();
      return;
    }
    case CM_COLORCHANGED:
      if (handle_) {
        const COLORREF back = static_cast<COLORREF>(ColorToRGB(color_));
        SendMessageW(handle_, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(back));
        SendMessageW(handle_, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(back));
      }
      break;
    case WM_DESTROY:
      SaveState();
      break;
    default:
      break;
  }
  TWinControl::WndProc(m);
}

}  // namespace vex::host
