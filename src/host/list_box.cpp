#include "host/list_box.h"

#include <algorithm>
#include <stdexcept>

#include "host/native_list_strings.h"
#include "host/prop_builder.h"
#include "host/text_encoding.h"

namespace vex::host {

TOwnerDrawState OwnerDrawStateFromODS(UINT itemState) {
  static const struct {
    UINT ods;
    TOwnerDrawState od;
  } kMap[] = {{ODS_SELECTED, odSelected}, {ODS_GRAYED, odGrayed},     {ODS_DISABLED, odDisabled}, {ODS_CHECKED, odChecked},
              {ODS_FOCUS, odFocused},     {ODS_DEFAULT, odDefault},   {ODS_HOTLIGHT, odHotLight}, {ODS_INACTIVE, odInactive},
              {ODS_NOACCEL, odNoAccel},   {ODS_NOFOCUSRECT, odNoFocusRect}};
  TOwnerDrawState s = 0;
  for (const auto& e : kMap)
    if (itemState & e.ods) s |= e.od;
  return s;
}

namespace {
const TNativeListMessages kListMessages{LB_GETCOUNT,     LB_GETTEXTLEN,   LB_GETTEXT,      LB_ADDSTRING,
                                        LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT, "the list box"};
}  // namespace

// The items of a list box; it keeps its current item, selection and top row beside them while it
// has no window.
class TCustomListBox::TListBoxStrings : public TNativeListStrings {
 public:
  explicit TListBoxStrings(TCustomListBox& box)
      : TNativeListStrings(kListMessages, box.saved_),
        box_(box) {}

  void SetItems(std::vector<std::string> items) override {
    BeginUpdate();
    Clear();
    if (HWND h = Window()) {
      std::size_t chars = 0;
      for (const auto& s : items) chars += s.size() + 1;
      SendMessageW(h, LB_INITSTORAGE, items.size(), static_cast<LPARAM>(chars * sizeof(wchar_t)));
    }
    for (const auto& s : items) Add(s);
    EndUpdate();
  }

 protected:
  HWND Window() const override { return box_.handle_; }
  bool Sorted() const override { return box_.sorted_; }
  // The kept selection follows items inserted (delta 1) or removed (-1) at `index`.
  void Shifted(int index, int delta) override {
    const auto move = [index, delta](int& i) {
      if (delta < 0 && i == index)
        i = -1;
      else if (i >= index)
        i += delta;
    };
    move(box_.savedIndex_);
    for (int& i : box_.savedSelection_) move(i);
    box_.savedSelection_.erase(std::remove(box_.savedSelection_.begin(), box_.savedSelection_.end(), -1), box_.savedSelection_.end());
  }
  void Cleared() override {
    box_.savedSelection_.clear();
    box_.savedIndex_ = -1;
    box_.savedTop_ = 0;
  }
  // The item keeps its selection where it stays.
  bool Marked(int index) const override { return box_.Selected(index); }
  void Mark(int index) override { box_.SetSelected(index, true); }

 private:
  TCustomListBox& box_;
};

const TClassInfo& TCustomListControl::StaticClass() {
  static const TClassInfo info("TCustomListControl", &TWinControl::StaticClass());
  return info;
}

const TClassInfo& TCustomListBox::StaticClass() {
  static const TClassInfo info("TCustomListBox", &TCustomListControl::StaticClass());
  return info;
}

const TClassInfo& TListBox::StaticClass() {
  static TClassInfo info("TListBox", &TCustomListBox::StaticClass(), ComponentFactory<TListBox>);
  static const bool once = [] {
    TPropBuilder<TListBox> b(info);
    b.Enum("BorderStyle", "TBorderStyle", {"bsNone", "bsSingle"}, [](const TListBox& x) { return x.BorderStyle(); },
           [](TListBox& x, std::int64_t v) { x.SetBorderStyle(v ? bsSingle : bsNone); })
        .defaultValue = std::int64_t{bsSingle};
    b.Boolean("IntegralHeight", [](const TListBox& x) { return x.IntegralHeight(); },
              [](TListBox& x, std::int64_t v) { x.SetIntegralHeight(v != 0); })
        .defaultValue = std::int64_t{0};
    b.Integer("ItemHeight", [](const TListBox& x) { return x.ItemHeight(); },
              [](TListBox& x, std::int64_t v) { x.SetItemHeight(static_cast<int>(v)); })
        .stored = [](const TObject& o) { return static_cast<const TListBox&>(o).Style() != lbStandard; };
    b.Boolean("MultiSelect", [](const TListBox& x) { return x.MultiSelect(); }, [](TListBox& x, std::int64_t v) { x.SetMultiSelect(v != 0); })
        .defaultValue = std::int64_t{0};
    b.Boolean("Sorted", [](const TListBox& x) { return x.Sorted(); }, [](TListBox& x, std::int64_t v) { x.SetSorted(v != 0); })
        .defaultValue = std::int64_t{0};
    b.Enum("Style", "TListBoxStyle", {"lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable"}, [](const TListBox& x) { return x.Style(); },
           [](TListBox& x, std::int64_t v) { x.SetStyle(static_cast<TListBoxStyle>(v)); })
        .defaultValue = std::int64_t{lbStandard};
    b.Object("Items", TPropKind::StringList, TStrings::StaticClass(), [](const TListBox& x) { return const_cast<TStrings*>(&x.Items()); },
             [](TListBox& x, TObject* o) {
               if (o && o->Is<TStrings>()) x.SetItems(*static_cast<TStrings*>(o));
             });
    b.Integer("ItemIndex", [](const TListBox& x) { return x.ItemIndex(); }, [](TListBox& x, std::int64_t v) { x.SetItemIndex(static_cast<int>(v)); })
        .defaultValue = std::int64_t{-1};
    b.Method("OnDblClick", "TNotifyEvent", [](const TListBox& x) { return x.OnDblClick; },
             [](TListBox& x, const TMethodValue& m) { x.OnDblClick = m; });
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

TCustomListBox::TCustomListBox(TComponent* owner, const TClassInfo& cls)
    : TCustomListControl(owner, cls), items_(std::make_unique<TListBoxStrings>(*this)), id_(NewControlId()) {
  width_ = 121;
  height_ = 97;
  tabStop_ = true;
  color_ = clWindow;
  controlStyle_ &= ~csSetCaption;
}

TCustomListBox::~TCustomListBox() { canvas_.SetHandle(nullptr); }

TStrings& TCustomListBox::Items() { return *items_; }
const TStrings& TCustomListBox::Items() const { return *items_; }

void TCustomListBox::CreateParams(TCreateParams& p) {
  TCustomListControl::CreateParams(p);
  p.baseClass = L"LISTBOX";
  p.caption.clear();
  p.menu = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id_));
  p.style |= WS_VSCROLL | LBS_NOTIFY;
  if (!integralHeight_) p.style |= LBS_NOINTEGRALHEIGHT;
  if (sorted_) p.style |= LBS_SORT;
  if (multiSelect_) p.style |= LBS_EXTENDEDSEL;
  if (style_ == lbOwnerDrawFixed) p.style |= LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;
  if (style_ == lbOwnerDrawVariable) p.style |= LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS;
  if (borderStyle_ == bsSingle) p.exStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::CreateWnd() {
  TCustomListControl::CreateWnd();
  if (style_ == lbOwnerDrawFixed) SendMessageW(handle_, LB_SETITEMHEIGHT, 0, itemHeight_);
  // The kept items go into the window, then what was selected and shown.
  std::vector<std::wstring> items = std::move(saved_);
  saved_.clear();
  if (!items.empty()) {
    std::size_t chars = 0;
    for (const auto& s : items) chars += s.size() + 1;
    SendMessageW(handle_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(handle_, LB_INITSTORAGE, items.size(), static_cast<LPARAM>(chars * sizeof(wchar_t)));
    for (const auto& s : items) SendMessageW(handle_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
    SendMessageW(handle_, WM_SETREDRAW, TRUE, 0);
  }
  if (multiSelect_) {
    for (int i : savedSelection_) SendMessageW(handle_, LB_SETSEL, TRUE, i);
    if (savedIndex_ >= 0) SendMessageW(handle_, LB_SETCARETINDEX, static_cast<WPARAM>(savedIndex_), FALSE);
  } else if (savedIndex_ >= 0) {
    SendMessageW(handle_, LB_SETCURSEL, static_cast<WPARAM>(savedIndex_), 0);
  }
  SendMessageW(handle_, LB_SETTOPINDEX, static_cast<WPARAM>(savedTop_), 0);
  savedSelection_.clear();
  savedIndex_ = -1;
  savedTop_ = 0;
}

void TCustomListBox::SaveState() {
  if (!handle_ || going_ || stateKept_) return;
  const int n = static_cast<int>(SendMessageW(handle_, LB_GETCOUNT, 0, 0));
  saved_.clear();
  saved_.reserve(static_cast<std::size_t>(std::max(n, 0)));
  for (int i = 0; i < n; ++i) saved_.push_back(NativeListItemText(handle_, kListMessages, i));
  const int index = ItemIndex();
  savedSelection_.clear();
  if (multiSelect_) {
    const LRESULT count = SendMessageW(handle_, LB_GETSELCOUNT, 0, 0);
    if (count > 0) {
      savedSelection_.resize(static_cast<std::size_t>(count));
      SendMessageW(handle_, LB_GETSELITEMS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(savedSelection_.data()));
    }
  }
  savedIndex_ = index;
  savedTop_ = static_cast<int>(SendMessageW(handle_, LB_GETTOPINDEX, 0, 0));
}

void TCustomListBox::DestroyWnd() {
  SaveState();
  TCustomListControl::DestroyWnd();
}

void TCustomListBox::BeforeDestruction() {
  going_ = true;
  TCustomListControl::BeforeDestruction();
}

int TCustomListBox::ItemIndex() const {
  if (!handle_) return savedIndex_ < static_cast<int>(saved_.size()) ? savedIndex_ : -1;
  if (!multiSelect_) {
    const LRESULT cur = SendMessageW(handle_, LB_GETCURSEL, 0, 0);
    return cur == LB_ERR ? -1 : static_cast<int>(cur);
  }
  // Several selected: the caret item when it is one of them, else the first of them.
  const LRESULT caret = SendMessageW(handle_, LB_GETCARETINDEX, 0, 0);
  if (caret >= 0 && SendMessageW(handle_, LB_GETSEL, static_cast<WPARAM>(caret), 0) > 0) return static_cast<int>(caret);
  int first = -1;
  if (SendMessageW(handle_, LB_GETSELITEMS, 1, reinterpret_cast<LPARAM>(&first)) == 1) return first;
  return -1;
}

void TCustomListBox::SetItemIndex(int index) {
  if (index < -1 || index >= ItemCount()) throw std::out_of_range("item index out of bounds (" + std::to_string(index) + ")");
  if (!handle_) {
    savedIndex_ = index;
    if (multiSelect_ && index >= 0 && std::find(savedSelection_.begin(), savedSelection_.end(), index) == savedSelection_.end())
      savedSelection_.push_back(index);
    return;
  }
  if (!multiSelect_) {
    SendMessageW(handle_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  } else if (index < 0) {
    SendMessageW(handle_, LB_SETSEL, FALSE, -1);
  } else {
    SendMessageW(handle_, LB_SETSEL, TRUE, index);
    SendMessageW(handle_, LB_SETCARETINDEX, static_cast<WPARAM>(index), FALSE);
  }
}

bool TCustomListBox::Selected(int index) const {
  TStrings::CheckIndex(index, ItemCount());
  if (!handle_)
    return multiSelect_ ? std::find(savedSelection_.begin(), savedSelection_.end(), index) != savedSelection_.end() : savedIndex_ == index;
  if (multiSelect_) return SendMessageW(handle_, LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
  return SendMessageW(handle_, LB_GETCURSEL, 0, 0) == index;
}

void TCustomListBox::SetSelected(int index, bool selected) {
  TStrings::CheckIndex(index, ItemCount());
  if (!multiSelect_) {
    if (selected)
      SetItemIndex(index);
    else if (ItemIndex() == index)
      SetItemIndex(-1);
    return;
  }
  if (handle_) {
    SendMessageW(handle_, LB_SETSEL, selected, index);
    return;
  }
  auto it = std::find(savedSelection_.begin(), savedSelection_.end(), index);
  if (selected && it == savedSelection_.end()) savedSelection_.push_back(index);
  if (!selected && it != savedSelection_.end()) savedSelection_.erase(it);
}

int TCustomListBox::SelCount() const {
  if (!multiSelect_) return ItemIndex() >= 0 ? 1 : 0;
  if (!handle_) return static_cast<int>(savedSelection_.size());
  return static_cast<int>(SendMessageW(handle_, LB_GETSELCOUNT, 0, 0));
}

void TCustomListBox::ClearSelection() {
  if (!handle_) {
    savedSelection_.clear();
    savedIndex_ = -1;
  } else if (multiSelect_) {
    SendMessageW(handle_, LB_SETSEL, FALSE, -1);
  } else {
    SendMessageW(handle_, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  }
}

void TCustomListBox::SelectAll() {
  if (!multiSelect_) return;
  if (handle_) {
    SendMessageW(handle_, LB_SETSEL, TRUE, -1);
    return;
  }
  savedSelection_.clear();
  for (int i = 0; i < static_cast<int>(saved_.size()); ++i) savedSelection_.push_back(i);
}

void TCustomListBox::DeleteSelected() {
  Items().BeginUpdate();
  for (int i = ItemCount() - 1; i >= 0; --i)
    if (Selected(i)) Items().Delete(i);
  Items().EndUpdate();
}

void TCustomListBox::SetMultiSelect(bool v) {
  if (v == multiSelect_) return;
  SaveState();
  // The selection carries over as far as the new mode allows.
  if (!v && savedIndex_ < 0 && !savedSelection_.empty()) savedIndex_ = savedSelection_.front();
  if (v && savedIndex_ >= 0 && savedSelection_.empty()) savedSelection_.push_back(savedIndex_);
  if (!v) savedSelection_.clear();
  multiSelect_ = v;
  // The state was just kept: the old window goes without keeping it again.
  stateKept_ = true;
  RecreateWnd();
  stateKept_ = false;
}

void TCustomListBox::SetSorted(bool v) {
  if (v == sorted_) return;
  sorted_ = v;
  if (handle_) {
    RecreateWnd();
    return;
  }
  if (v) {
    std::stable_sort(saved_.begin(), saved_.end(), NativeListSortsBefore);
    savedSelection_.clear();
    savedIndex_ = -1;
  }
}

void TCustomListBox::SetStyle(TListBoxStyle s) {
  if (s == style_) return;
  style_ = s;
  RecreateWnd();
}

int TCustomListBox::ItemHeight() const {
  if (handle_ && style_ == lbStandard) return static_cast<int>(SendMessageW(handle_, LB_GETITEMHEIGHT, 0, 0));
  return itemHeight_;
}

void TCustomListBox::SetItemHeight(int v) {
  if (v <= 0 || v == itemHeight_) return;
  itemHeight_ = v;
  if (!handle_) return;
  if (style_ == lbOwnerDrawFixed) {
    SendMessageW(handle_, LB_SETITEMHEIGHT, 0, v);
    InvalidateRect(handle_, nullptr, TRUE);
  } else if (style_ == lbOwnerDrawVariable) {
    RecreateWnd();
  }
}

int TCustomListBox::TopIndex() const {
  if (!handle_) return savedTop_;
  return static_cast<int>(SendMessageW(handle_, LB_GETTOPINDEX, 0, 0));
}

void TCustomListBox::SetTopIndex(int v) {
  if (!handle_) {
    savedTop_ = std::max(v, 0);
    return;
  }
  SendMessageW(handle_, LB_SETTOPINDEX, static_cast<WPARAM>(std::max(v, 0)), 0);
}

void TCustomListBox::SetIntegralHeight(bool v) {
  if (v == integralHeight_) return;
  integralHeight_ = v;
  RecreateWnd();
}

void TCustomListBox::SetBorderStyle(TBorderStyle s) {
  if (s == borderStyle_) return;
  borderStyle_ = s;
  RecreateWnd();
}

int TCustomListBox::ItemAtPos(POINT p, bool existing) const {
  if (!handle_) return -1;
  const LRESULT r = SendMessageW(handle_, LB_ITEMFROMPOINT, 0, MAKELPARAM(p.x, p.y));
  const bool outside = HIWORD(r) != 0;
  if (!outside) return LOWORD(r);
  if (existing) return -1;
  // Below the last item: the place a new item would take.
  RECT last{};
  const int n = ItemCount();
  if (n == 0) return 0;
  SendMessageW(handle_, LB_GETITEMRECT, static_cast<WPARAM>(n - 1), reinterpret_cast<LPARAM>(&last));
  return p.y >= last.bottom ? n : LOWORD(r);
}

RECT TCustomListBox::ItemRect(int index) const {
  RECT r{};
  if (handle_) SendMessageW(handle_, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  return r;
}

void TCustomListBox::DrawItem(int index, const RECT& rect, TOwnerDrawState state) {
  if (OnDrawItem) {
    OnDrawItem(this, index, canvas_, rect, state);
    return;
  }
  canvas_.FillRect(rect);
  if (index >= 0 && index < ItemCount()) canvas_.TextOut(rect.left + 2, rect.top, Utf8ToWide(Items().Get(index)));
}

void TCustomListBox::MeasureItem(int index, int& height) {
  if (OnMeasureItem) OnMeasureItem(this, index, height);
}

void TCustomListBox::DblClick() {
  if (OnDblClick.handler) OnDblClick.handler(this);
}

void TCustomListBox::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND:
      switch (HIWORD(m.WParam)) {
        case LBN_SELCHANGE: Click(); break;
        case LBN_DBLCLK: DblClick(); break;
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
      if (style_ == lbOwnerDrawVariable) MeasureItem(static_cast<int>(mis->itemID), height);
      mis->itemHeight = static_cast<UINT>(std::max(height, 1));
      m.Result = TRUE;
      return;
    }
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
