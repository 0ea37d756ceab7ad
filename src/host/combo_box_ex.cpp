#include "host/combo_box_ex.h"

#include <commctrl.h>

#include <stdexcept>

#include "host/prop_builder.h"
#include "host/text_encoding.h"

namespace vex::host {

// ----- items -----

const TClassInfo& TComboExItem::StaticClass() {
  static TClassInfo info("TComboExItem", &TCollectionItem::StaticClass());
  static const bool once = [] {
    TPropBuilder<TComboExItem> b(info);
    b.WideString("Caption", [](const TComboExItem& x) { return x.Caption(); }, [](TComboExItem& x, const std::wstring& v) { x.SetCaption(v); });
    b.Integer("ImageIndex", [](const TComboExItem& x) { return x.ImageIndex(); },
              [](TComboExItem& x, std::int64_t v) { x.SetImageIndex(static_cast<int>(v)); })
        .defaultValue = std::int64_t{-1};
    b.Integer("SelectedImageIndex", [](const TComboExItem& x) { return x.SelectedImageIndex(); },
              [](TComboExItem& x, std::int64_t v) { x.SetSelectedImageIndex(static_cast<int>(v)); })
        .defaultValue = std::int64_t{-1};
    b.Integer("Indent", [](const TComboExItem& x) { return x.Indent(); }, [](TComboExItem& x, std::int64_t v) { x.SetIndent(static_cast<int>(v)); })
        .defaultValue = std::int64_t{0};
    return true;
  }();
  (void)once;
  return info;
}

void TComboExItem::Changed() {
  if (Collection()) Collection()->Update(this);
}

void TComboExItem::SetCaption(const std::wstring& s) {
  caption_ = s;
  Changed();
}

void TComboExItem::SetImageIndex(int v) {
  imageIndex_ = v < 0 ? -1 : v;
  Changed();
}

void TComboExItem::SetSelectedImageIndex(int v) {
  selectedImageIndex_ = v < 0 ? -1 : v;
  Changed();
}

void TComboExItem::SetIndent(int v) {
  indent_ = v < 0 ? 0 : v;
  Changed();
}

void TComboExItem::Assign(const TPersistent& source) {
  if (!source.Is<TComboExItem>()) return TCollectionItem::Assign(source);
  const auto& s = static_cast<const TComboExItem&>(source);
  caption_ = s.caption_;
  imageIndex_ = s.imageIndex_;
  selectedImageIndex_ = s.selectedImageIndex_;
  indent_ = s.indent_;
  Changed();
}

const TClassInfo& TComboExItems::StaticClass() {
  static const TClassInfo info("TComboExItems", &TCollection::StaticClass());
  return info;
}

TComboExItems::TComboExItems(TCustomComboBoxEx* owner)
    : TCollection([](TCollection* c) { return std::make_unique<TComboExItem>(c); }, owner, StaticClass()), combo_(owner) {}

TComboExItem* TComboExItems::AddItem(const std::wstring& caption, int imageIndex, int selectedImageIndex, int indent) {
  auto* item = static_cast<TComboExItem*>(Add());
  item->SetCaption(caption);
  item->SetImageIndex(imageIndex);
  item->SetSelectedImageIndex(selectedImageIndex);
  item->SetIndent(indent);
  return item;
}

void TComboExItems::Update(TCollectionItem* item) {
  if (combo_) combo_->ItemsChanged(item);
}

// Items as strings: the captions of ItemsEx.
class TCustomComboBoxEx::TComboExStrings : public TStrings {
 public:
  explicit TComboExStrings(TCustomComboBoxEx& box) : box_(box) {}
  int Count() const override { return box_.itemsEx_->Count(); }
  std::string Get(int index) const override {
    CheckIndex(index, Count());
    return WideToUtf8(box_.itemsEx_->Item(index)->Caption());
  }
  void Insert(int index, const std::string& s) override {
    if (index < 0 || index > Count()) throw std::out_of_range("list index out of bounds (" + std::to_string(index) + ")");
    auto* item = static_cast<TComboExItem*>(box_.itemsEx_->Add());
    item->SetCaption(Utf8ToWide(s));
    item->SetIndex(index);
  }
  void Delete(int index) override {
    CheckIndex(index, Count());
    box_.itemsEx_->Delete(index);
  }
  void Put(int index, const std::string& s) override {
    CheckIndex(index, Count());
    box_.itemsEx_->Item(index)->SetCaption(Utf8ToWide(s));
  }
  void Clear() override { box_.itemsEx_->Clear(); }

 private:
  TCustomComboBoxEx& box_;
};

// ----- the control -----

const TClassInfo& TCustomComboBoxEx::StaticClass() {
  static const TClassInfo info("TCustomComboBoxEx", &TCustomComboBox::StaticClass());
  return info;
}

const TClassInfo& TComboBoxEx::StaticClass() {
  static TClassInfo info("TComboBoxEx", &TCustomComboBoxEx::StaticClass(), ComponentFactory<TComboBoxEx>);
  static const bool once = [] {
    TPropBuilder<TComboBoxEx> b(info);
    b.Enum("Style", "TComboBoxExStyle", {"csExDropDown", "csExSimple", "csExDropDownList"}, [](const TComboBoxEx& x) { return x.StyleEx(); },
           [](TComboBoxEx& x, std::int64_t v) { x.SetStyleEx(static_cast<TComboBoxExStyle>(v)); })
        .defaultValue = std::int64_t{csExDropDown};
    b.Integer("DropDownCount", [](const TComboBoxEx& x) { return x.DropDownCount(); },
              [](TComboBoxEx& x, std::int64_t v) { x.SetDropDownCount(static_cast<int>(v)); })
        .defaultValue = std::int64_t{8};
    b.Object("Images", TPropKind::Object, TImageList::StaticClass(), [](const TComboBoxEx& x) { return x.Images(); },
             [](TComboBoxEx& x, TObject* o) { x.SetImages(o && o->Is<TImageList>() ? static_cast<TImageList*>(o) : nullptr); });
    b.Object("ItemsEx", TPropKind::Collection, TComboExItems::StaticClass(), [](const TComboBoxEx& x) { return const_cast<TComboExItems*>(&x.ItemsEx()); },
             nullptr);
    b.Integer("ItemIndex", [](const TComboBoxEx& x) { return x.ItemIndex(); },
              [](TComboBoxEx& x, std::int64_t v) { x.SetItemIndex(static_cast<int>(v)); })
        .defaultValue = std::int64_t{-1};
    b.WideString("Text", [](const TComboBoxEx& x) { return x.GetText(); }, [](TComboBoxEx& x, const std::wstring& v) { x.SetText(v); });
    b.Method("OnChange", "TNotifyEvent", [](const TComboBoxEx& x) { return x.OnChange; }, [](TComboBoxEx& x, const TMethodValue& m) { x.OnChange = m; });
    b.Method("OnSelect", "TNotifyEvent", [](const TComboBoxEx& x) { return x.OnSelect; }, [](TComboBoxEx& x, const TMethodValue& m) { x.OnSelect = m; });
    b.Method("OnDropDown", "TNotifyEvent", [](const TComboBoxEx& x) { return x.OnDropDown; },
             [](TComboBoxEx& x, const TMethodValue& m) { x.OnDropDown = m; });
    b.Method("OnCloseUp", "TNotifyEvent", [](const TComboBoxEx& x) { return x.OnCloseUp; },
             [](TComboBoxEx& x, const TMethodValue& m) { x.OnCloseUp = m; });
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

TCustomComboBoxEx::TCustomComboBoxEx(TComponent* owner, const TClassInfo& cls)
    : TCustomComboBox(owner, cls), itemsEx_(std::make_unique<TComboExItems>(this)) {
  items_ = std::make_unique<TComboExStrings>(*this);
}

TCustomComboBoxEx::~TCustomComboBoxEx() {
  if (images_) images_->RemoveFreeNotification(this);
  // The items go without telling a control that is going too.
  itemsEx_.reset();
}

void TCustomComboBoxEx::CreateParams(TCreateParams& p) {
  static const bool registered = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_USEREX_CLASSES};
    return InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)registered;
  TCustomComboBox::CreateParams(p);
  p.baseClass = WC_COMBOBOXEXW;
  // The extended control draws its items itself and keeps no order of its own.
  p.style &= ~static_cast<DWORD>(CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE | CBS_HASSTRINGS | CBS_SORT | CBS_NOINTEGRALHEIGHT | WS_VSCROLL);
}

HWND TCustomComboBoxEx::ComboHandle() const {
  return handle_ ? reinterpret_cast<HWND>(SendMessageW(handle_, CBEM_GETCOMBOCONTROL, 0, 0)) : nullptr;
}

HWND TCustomComboBoxEx::EditHandle() const {
  return handle_ && HasEdit() ? reinterpret_cast<HWND>(SendMessageW(handle_, CBEM_GETEDITCONTROL, 0, 0)) : nullptr;
}

void TCustomComboBoxEx::SetNativeItem(int index, bool insert) {
  const TComboExItem* item = itemsEx_->Item(index);
  COMBOBOXEXITEMW ci{};
  ci.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_INDENT;
  ci.iItem = index;
  std::wstring caption = item->Caption();
  ci.pszText = caption.data();
  ci.iImage = item->ImageIndex();
  ci.iSelectedImage = item->SelectedImageIndex() >= 0 ? item->SelectedImageIndex() : item->ImageIndex();
  ci.iIndent = item->Indent();
  SendMessageW(handle_, insert ? CBEM_INSERTITEMW : CBEM_SETITEMW, 0, reinterpret_cast<LPARAM>(&ci));
}

void TCustomComboBoxEx::RestoreItems() {
  if (images_) SendMessageW(handle_, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_->Handle()));
  for (int i = 0; i < itemsEx_->Count(); ++i) SetNativeItem(i, true);
}

void TCustomComboBoxEx::ItemsChanged(TCollectionItem* item) {
  if (!handle_) {
    if (savedIndex_ >= itemsEx_->Count()) savedIndex_ = -1;
    return;
  }
  const int count = static_cast<int>(SendMessageW(handle_, CB_GETCOUNT, 0, 0));
  if (item && count == itemsEx_->Count()) {
    // One item changed in place.
    SetNativeItem(static_cast<TCollectionItem*>(item)->Index(), false);
    InvalidateRect(handle_, nullptr, TRUE);
    return;
  }
  // Items came, went or moved: the control's list is made again, with the same current item
  // when it is still there and the same text in the edit field.
  const int index = ItemIndex();
  const std::wstring text = GetText();
  ++settingText_;
  SendMessageW(handle_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(handle_, CB_RESETCONTENT, 0, 0);
  for (int i = 0; i < itemsEx_->Count(); ++i) SetNativeItem(i, true);
  if (index >= 0 && index < itemsEx_->Count()) SendMessageW(handle_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  if (HasEdit()) SetEditText(text);
  SendMessageW(handle_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(handle_, nullptr, TRUE);
  --settingText_;
}

void TCustomComboBoxEx::SaveState() {
  if (!handle_ || going_) return;
  text_ = GetText();
  savedIndex_ = ItemIndex();
}

std::wstring TCustomComboBoxEx::GetText() const {
  if (!handle_) return TCustomComboBox::GetText();
  if (HWND edit = EditHandle()) {
    std::wstring s(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
    s.resize(static_cast<std::size_t>(std::max(GetWindowTextW(edit, s.data(), static_cast<int>(s.size())), 0)));
    return s;
  }
  const int index = ItemIndex();
  return index >= 0 ? itemsEx_->Item(index)->Caption() : L"";
}

void TCustomComboBoxEx::SetEditText(const std::wstring& s) {
  if (HWND edit = EditHandle()) SetWindowTextW(edit, s.c_str());
}

void TCustomComboBoxEx::SetImages(TImageList* list) {
  if (images_) images_->RemoveFreeNotification(this);
  images_ = list;
  if (list) list->FreeNotification(this);
  if (handle_) {
    SendMessageW(handle_, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list ? list->Handle() : nullptr));
    InvalidateRect(handle_, nullptr, TRUE);
  }
}

void TCustomComboBoxEx::Notification(TComponent* component, TOperation operation) {
  TCustomComboBox::Notification(component, operation);
  if (operation == TOperation::opRemove && component == images_) SetImages(nullptr);
}

}  // namespace vex::host
