#include "host/combo_box.h"

#include <algorithm>
#include <stdexcept>

#include "host/native_list_strings.h"
#include "host/prop_builder.h"
#include "host/text_encoding.h"

namespace vex::host {

namespace {
const TNativeListMessages kComboMessages{CB_GETCOUNT,     CB_GETLBTEXTLEN, CB_GETLBTEXT,   CB_ADDSTRING,
                                         CB_INSERTSTRING, CB_DELETESTRING, CB_RESETCONTENT, "the combo box"};
}  // namespace

// The items of a combo box; it keeps its current item beside them while it has no window.
class TCustomComboBox::TComboBoxStrings : public TNativeListStrings {
 public:
  explicit TComboBoxStrings(TCustomComboBox& box)
      : TNativeListStrings(kComboMessages, box.saved_),
        box_(box) {}

 protected:
  HWND Window() const override { return box_.handle_; }
  bool Sorted() const override { return box_.sorted_; }
  void Shifted(int index, int delta) override {
    int& i = box_.savedIndex_;
    if (delta < 0 && i == index)
      i = -1;
    else if (i >= index)
      i += delta;
  }
  void Cleared() override { box_.savedIndex_ = -1; }
  // The current item stays current under its new text.
  bool Marked(int index) const override { return box_.ItemIndex() == index; }
  void Mark(int index) override { box_.SetItemIndex(index); }

 private:
  TCustomComboBox& box_;
};

const TClassInfo& TCustomComboBox::StaticClass() {
  static const TClassInfo info("TCustomComboBox", &TCustomListControl::StaticClass());
  return info;
}

namespace {

template <class C>
void PublishComboEvents(TPropBuilder<C>& b) {
  b.Integer("DropDownCount", [](const C& x) { return x.DropDownCount(); }, [](C& x, std::int64_t v) { x.SetDropDownCount(static_cast<int>(v)); })
      .defaultValue = std::int64_t{8};
  b.Method("OnChange", "TNotifyEvent", [](const C& x) { return x.OnChange; }, [](C& x, const TMethodValue& m) { x.OnChange = m; });
  b.Method("OnSelect", "TNotifyEvent", [](const C& x) { return x.OnSelect; }, [](C& x, const TMethodValue& m) { x.OnSelect = m; });
  b.Method("OnDropDown", "TNotifyEvent", [](const C& x) { return x.OnDropDown; }, [](C& x, const TMethodValue& m) { x.OnDropDown = m; });
  b.Method("OnCloseUp", "TNotifyEvent", [](const C& x) { return x.OnCloseUp; }, [](C& x, const TMethodValue& m) { x.OnCloseUp = m; });
}

}  // namespace

const TClassInfo& TComboBox::StaticClass() {
  static TClassInfo info("TComboBox", &TCustomComboBox::StaticClass(), ComponentFactory<TComboBox>);
  static const bool once = [] {
    TPropBuilder<TComboBox> b(info);
    b.Enum("Style", "TComboBoxStyle", {"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed", "csOwnerDrawVariable"},
           [](const TComboBox& x) { return x.Style(); }, [](TComboBox& x, std::int64_t v) { x.SetStyle(static_cast<TComboBoxStyle>(v)); })
        .defaultValue = std::int64_t{csDropDown};
    PublishComboEvents(b);
    b.Integer("ItemHeight", [](const TComboBox& x) { return x.ItemHeight(); },
              [](TComboBox& x, std::int64_t v) { x.SetItemHeight(static_cast<int>(v)); })
        .stored = [](const TObject& o) {
          const TComboBoxStyle s = static_cast<const TComboBox&>(o).Style();
          return s == csOwnerDrawFixed || s == csOwnerDrawVariable;
        };
    b.Boolean("Sorted", [](const TComboBox& x) { return x.Sorted(); }, [](TComboBox& x, std::int64_t v) { x.SetSorted(v != 0); })
        .defaultValue = std::int64_t{0};
    // The text follows the items: read after them.
    b.Object("Items", TPropKind::StringList, TStrings::StaticClass(), [](const TComboBox& x) { return const_cast<TStrings*>(&x.Items()); },
             [](TComboBox& x, TObject* o) {
               if (o && o->Is<TStrings>()) x.SetItems(*static_cast<TStrings*>(o));
             });
    b.Integer("ItemIndex", [](const TComboBox& x) { return x.ItemIndex(); }, [](TComboBox& x, std::int64_t v) { x.SetItemIndex(static_cast<int>(v)); })
        .defaultValue = std::int64_t{-1};
    b.WideString("Text", [](const TComboBox& x) { return x.GetText(); }, [](TComboBox& x, const std::wstring& v) { x.SetText(v); });
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

TCustomComboBox::TCustomComboBox(TComponent* owner, const TClassInfo& cls)
    : TCustomListControl(owner, cls), items_(std::make_unique<TComboBoxStrings>(*this)), id_(NewControlId()) {
  width_ = 145;
  height_ = 21;
  tabStop_ = true;
  color_ = clWindow;
  controlStyle_ &= ~(csSetCaption | csDoubleClicks);
}

TCustomComboBox::~TCustomComboBox() { canvas_.SetHandle(nullptr); }

void TCustomComboBox::BeforeDestruction() {
  going_ = true;
  TCustomListControl::BeforeDestruction();
}

int TCustomComboBox::WindowHeight() const {
  if (style_ == csSimple) return height_;
  // The field and the list below it, DropDownCount items high.
  int item = itemHeight_;
  if (handle_ && style_ != csOwnerDrawFixed && style_ != csOwnerDrawVariable) item = ItemHeight();
  return height_ + item * std::max(dropDownCount_, 1) + 2;
}

void TCustomComboBox::CreateParams(TCreateParams& p) {
  TCustomListControl::CreateParams(p);
  p.baseClass = L"COMBOBOX";
  p.caption.clear();
  p.menu = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id_));
  p.style |= WS_VSCROLL | CBS_NOINTEGRALHEIGHT;
  switch (style_) {
    case csDropDown: p.style |= CBS_DROPDOWN | CBS_AUTOHSCROLL; break;
    case csSimple: p.style |= CBS_SIMPLE | CBS_AUTOHSCROLL; break;
    case csDropDownList: p.style |= CBS_DROPDOWNLIST; break;
    case csOwnerDrawFixed: p.style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS; break;
    case csOwnerDrawVariable: p.style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE | CBS_HASSTRINGS; break;
  }
  if (sorted_) p.style |= CBS_SORT;
  p.height = WindowHeight();
}

void TCustomComboBox::CreateWnd() {
  TCustomListControl::CreateWnd();
  // The control chose the height of its field.
  RECT r;
  GetWindowRect(handle_, &r);
  height_ = r.bottom - r.top;
  if (style_ != csSimple) SetWindowPos(handle_, nullptr, 0, 0, width_, WindowHeight(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageW(handle_, CB_SETMINVISIBLE, static_cast<WPARAM>(std::max(dropDownCount_, 1)), 0);
  if (style_ == csOwnerDrawFixed || style_ == csOwnerDrawVariable) {
    // The selection field has the items' height (and so do the items of a fixed list), whatever
    // the control made of its measuring at creation.
    SendMessageW(handle_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), itemHeight_);
    if (style_ == csOwnerDrawFixed) SendMessageW(handle_, CB_SETITEMHEIGHT, 0, itemHeight_);
    GetWindowRect(handle_, &r);
    height_ = r.bottom - r.top;
  }
  ++settingText_;
  RestoreItems();
  if (savedIndex_ >= 0 && savedIndex_ < ItemCount()) SendMessageW(handle_, CB_SETCURSEL, static_cast<WPARAM>(savedIndex_), 0);
  savedIndex_ = -1;
  if (HasEdit()) SetEditText(text_);
  --settingText_;
}

void TCustomComboBox::RestoreItems() {
  std::vector<std::wstring> items = std::move(saved_);
  saved_.clear();
  if (items.empty()) return;
  std::size_t chars = 0;
  for (const auto& s : items) chars += s.size() + 1;
  SendMessageW(handle_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(handle_, CB_INITSTORAGE, items.size(), static_cast<LPARAM>(chars * sizeof(wchar_t)));
  for (const auto& s : items) SendMessageW(handle_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
  SendMessageW(handle_, WM_SETREDRAW, TRUE, 0);
}

void TCustomComboBox::SaveState() {
  if (!handle_ || going_) return;
  text_ = TWinControl::GetText();
  savedIndex_ = ItemIndex();
  const int n = static_cast<int>(SendMessageW(handle_, CB_GETCOUNT, 0, 0));
  saved_.clear();
  saved_.reserve(static_cast<std::size_t>(std::max(n, 0)));
  for (int i = 0; i < n; ++i) saved_.push_back(NativeListItemText(handle_, kComboMessages, i));
}

void TCustomComboBox::DestroyWnd() {
  SaveState();
  TCustomListControl::DestroyWnd();
}

void TCustomComboBox::SetBounds(int left, int top, int width, int height) {
  if (style_ == csSimple || !handle_) {
    TCustomListControl::SetBounds(left, top, width, height);
    return;
  }
  // The window's height includes the dropped-down list; the field keeps the control's height.
  TControl::SetBounds(left, top, width, height_);
  RECT r;
  GetWindowRect(handle_, &r);
  POINT tl{r.left, r.top};
  if (HWND p = GetParent(handle_)) ScreenToClient(p, &tl);
  if (tl.x != left_ || tl.y != top_ || r.right - r.left != width_)
    SetWindowPos(handle_, nullptr, left_, top_, width_, WindowHeight(), SWP_NOZORDER | SWP_NOACTIVATE);
}

int TCustomComboBox::ItemIndex() const {
  if (!handle_) return savedIndex_ < ItemCount() ? savedIndex_ : -1;
  const LRESULT cur = SendMessageW(handle_, CB_GETCURSEL, 0, 0);
  return cur == CB_ERR ? -1 : static_cast<int>(cur);
}

void TCustomComboBox::SetItemIndex(int index) {
  if (index < -1 || index >= ItemCount()) throw std::out_of_range("item index out of bounds (" + std::to_string(index) + ")");
  if (!handle_) {
    savedIndex_ = index;
    if (index >= 0) text_ = Utf8ToWide(Items().Get(index));
    return;
  }
  ++settingText_;
  SendMessageW(handle_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  --settingText_;
}

void TCustomComboBox::Clear() {
  Items().Clear();
  SetText(L"");
}

void TCustomComboBox::DeleteSelected() {
  const int index = ItemIndex();
  if (index >= 0) Items().Delete(index);
}

void TCustomComboBox::SelectAll() {
  if (handle_ && HasEdit()) SendMessageW(handle_, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
}

std::wstring TCustomComboBox::GetText() const {
  if (handle_) return TCustomListControl::GetText();
  if (!HasEdit()) return savedIndex_ >= 0 && savedIndex_ < ItemCount() ? Utf8ToWide(Items().Get(savedIndex_)) : L"";
  return text_;
}

void TCustomComboBox::SetText(const std::wstring& s) {
  if (s == GetText()) return;
  if (!HasEdit()) {
    // A selection field shows an item or nothing.
    int found = -1;
    for (int i = 0; i < ItemCount() && found < 0; ++i)
      if (lstrcmpiW(Utf8ToWide(Items().Get(i)).c_str(), s.c_str()) == 0) found = i;
    SetItemIndex(found);
    text_ = found >= 0 ? Utf8ToWide(Items().Get(found)) : L"";
    Perform(CM_TEXTCHANGED);
    return;
  }
  text_ = s;
  if (handle_) {
    ++settingText_;
    SetEditText(s);
    --settingText_;
  }
  Perform(CM_TEXTCHANGED);
}

void TCustomComboBox::SetEditText(const std::wstring& s) {
  if (handle_) SetWindowTextW(handle_, s.c_str());
}

void TCustomComboBox::SetStyle(TComboBoxStyle s) {
  if (s == style_) return;
  style_ = s;
  RecreateWnd();
}

bool TCustomComboBox::DroppedDown() const { return handle_ && SendMessageW(handle_, CB_GETDROPPEDSTATE, 0, 0) != 0; }

void TCustomComboBox::SetDroppedDown(bool v) {
  if (!handle_ || style_ == csSimple || v == DroppedDown()) return;
  SendMessageW(handle_, CB_SHOWDROPDOWN, v ? TRUE : FALSE, 0);
}

void TCustomComboBox::SetDropDownCount(int v) {
  dropDownCount_ = std::max(v, 1);
  if (!handle_ || style_ == csSimple) return;
  SendMessageW(handle_, CB_SETMINVISIBLE, static_cast<WPARAM>(dropDownCount_), 0);
  SetWindowPos(handle_, nullptr, 0, 0, width_, WindowHeight(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCustomComboBox::SetSorted(bool v) {
  if (v == sorted_) return;
  sorted_ = v;
  if (handle_) {
    RecreateWnd();
    return;
  }
  if (v) {
    std::stable_sort(saved_.begin(), saved_.end(), NativeListSortsBefore);
    savedIndex_ = -1;
  }
}

int TCustomComboBox::ItemHeight() const {
  if (handle_ && style_ != csOwnerDrawFixed && style_ != csOwnerDrawVariable)
    return static_cast<int>(SendMessageW(handle_, CB_GETITEMHEIGHT, 0, 0));
  return itemHeight_;
}

void TCustomComboBox::SetItemHeight(int v) {
  if (v <= 0 || v == itemHeight_) return;
  itemHeight_ = v;
  if (handle_ && (style_ == csOwnerDrawFixed || style_ == csOwnerDrawVariable)) RecreateWnd();
}

void TCustomComboBox::Change() {
  if (OnChange.handler) OnChange.handler(this);
}

void TCustomComboBox::Select() {
  if (OnSelect.handler) OnSelect.handler(this);
}

void TCustomComboBox::DropDown() {
  if (OnDropDown.handler) OnDropDown.handler(this);
}

void TCustomComboBox::CloseUp() {
  if (OnCloseUp.handler) OnCloseUp.handler(this);
}

void TCustomComboBox::DrawItem(int index, const RECT& rect, TOwnerDrawState state) {
  if (OnDrawItem) {
    OnDrawItem(this, index, canvas_, rect, state);
    return;
  }
  canvas_.FillRect(rect);
  if (index >= 0 && index < ItemCount()) canvas_.TextOut(rect.left + 2, rect.top, Utf8ToWide(Items().Get(index)));
}

void TCustomComboBox::MeasureItem(int index, int& height) {
  if (OnMeasureItem) OnMeasureItem(this, index, height);
}

void TCustomComboBox::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND:
      switch (HIWORD(m.WParam)) {
        case CBN_SELCHANGE: {
          // With an edit field the text is the picked item's from now on (the control updates
          // the field only after telling us).
          const int index = ItemIndex();
          if (HasEdit() && index >= 0) {
            ++settingText_;
            SetEditText(Utf8ToWide(Items().Get(index)));
            --settingText_;
          }
          Click();
          Select();
          Change();
          break;
        }
        case CBN_EDITCHANGE:
          if (!settingText_) Change();
          break;
        case CBN_DROPDOWN: DropDown(); break;
        case CBN_CLOSEUP: CloseUp(); break;
        default: break;
      }
      m.Result = 0;
      return;
    case CN_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
      const TOwnerDrawState state = OwnerDrawStateFromODS(dis->itemState);
      canvas_.SetHandle(dis->hDC);
      canvas_.Font().Assign(font_);
      canvas_.Brush.style = TBrushStyle::bsSolid;
      if (state & odSelected) {
        canvas_.Brush.color = clHighlight;
        canvas_.Font().SetColor(clHighlightText);
      } else {
        canvas_.Brush.color = color_;
      }
      const int index = static_cast<int>(dis->itemID);
      if (index >= 0)
        DrawItem(index, dis->rcItem, state);
      else
        canvas_.FillRect(dis->rcItem);
      if ((state & odFocused) && !(state & odNoFocusRect)) canvas_.DrawFocusRect(dis->rcItem);
      canvas_.SetHandle(nullptr);
      m.Result = TRUE;
      return;
    }
    case CN_MEASUREITEM: {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
      int height = itemHeight_;
      // The selection field (item -1) has the items' height.
      if (style_ == csOwnerDrawVariable && mis->itemID != static_cast<UINT>(-1)) MeasureItem(static_cast<int>(mis->itemID), height);
      mis->itemHeight = static_cast<UINT>(std::max(height, 1));
      m.Result = TRUE;
      return;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      // The edit field and the list inside the control take its colours.
      m.Result = Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
      return;
    case WM_DESTROY:
      // Destroyed with its parent's window: the items wait for the next window.
      SaveState();
      break;
    default:
      break;
  }
  TCustomListControl::WndProc(m);
}

}  // namespace vex::host
