// List views on the common control "SysListView32": items with sub-items and images shown as
// icons, a list or a report with columns, and a virtual mode where the application answers for
// each row the control shows instead of keeping items.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/collection.h"
#include "host/control_types.h"
#include "host/image_list.h"
#include "host/std_controls.h"
#include "host/string_list.h"
#include "host/win_control.h"

namespace vex::host {

class TCustomListView;
class TListItems;

enum TViewStyle : int { vsIcon, vsSmallIcon, vsList, vsReport };

// One column of a report view.
class TListColumn : public TCollectionItem {
  VEX_CLASS(TListColumn)
 public:
  explicit TListColumn(TCollection* collection, const TClassInfo& cls = StaticClass()) : TCollectionItem(collection, cls) {}

  const std::wstring& Caption() const { return caption_; }
  void SetCaption(const std::wstring& s);
  // The width the control shows (the user may drag it).
  int Width() const;
  void SetWidth(int v);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment a);
  // The header image from the list view's small images (-1: none).
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int v);

  void Assign(const TPersistent& source) override;

 private:
  friend class TCustomListView;
  void Changed();
  TCustomListView* ListView() const;
  std::wstring caption_;
  int width_ = 50;
  TAlignment alignment_ = taLeftJustify;
  int imageIndex_ = -1;
};

class TListColumns : public TCollection {
  VEX_CLASS(TListColumns)
 public:
  explicit TListColumns(TCustomListView* owner);
  TListColumn* Add() { return static_cast<TListColumn*>(TCollection::Add()); }
  TListColumn* Items(int index) const { return static_cast<TListColumn*>(TCollection::Items(index)); }
  TCustomListView* ListView() const { return listView_; }
  void Update(TCollectionItem* item) override;

 private:
  TCustomListView* listView_;
};

// One item: its caption, the texts of the further columns (SubItems) and its image. The
// control asks for them when it shows the item.
class TListItem : public TPersistent {
  VEX_CLASS(TListItem)
 public:
  explicit TListItem(TListItems* owner);
  ~TListItem() override;

  TListItems* Owner() const { return owner_; }
  TCustomListView* ListView() const;
  int Index() const { return index_; }
  const std::wstring& Caption() const { return caption_; }
  void SetCaption(const std::wstring& s);
  TStrings& SubItems() { return subItems_; }
  const TStrings& SubItems() const { return subItems_; }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int i);
  bool Selected() const;
  void SetSelected(bool v);
  bool Focused() const;
  void SetFocused(bool v);
  void* Data = nullptr;

  // Redraws the item after its texts changed.
  void Update();
  // Scrolls the control until the item shows.
  void MakeVisible();
  // Removes the item from its list (and frees it).
  void Delete();

  void Assign(const TPersistent& source) override;

 private:
  friend class TListItems;
  friend class TCustomListView;
  bool Live() const;
  TListItems* owner_;
  int index_ = -1;
  std::wstring caption_;
  TStringList subItems_;
  int imageIndex_ = -1;
  bool selected_ = false, focused_ = false;  // kept while there is no window
  bool virtual_ = false;                     // filled by OnData for one row, not in the list
};

// The items of a list view. In virtual mode (OwnerData) there are only Count rows, and an item
// asked for is one made for the moment and filled by the view's OnData.
class TListItems : public TPersistent {
  VEX_CLASS(TListItems)
 public:
  explicit TListItems(TCustomListView& view);
  ~TListItems() override;

  TCustomListView& ListView() const { return view_; }
  int Count() const;
  // Virtual mode only: the number of rows.
  void SetCount(int n);
  TListItem* Item(int index) const;
  TListItem* operator[](int index) const { return Item(index); }
  TListItem* Add() { return Insert(Count()); }
  TListItem* Insert(int index);
  void Delete(int index);
  void Clear();
  int IndexOf(const TListItem* item) const { return item && item->owner_ == this ? item->index_ : -1; }
  // Changes between these are drawn once, at the end.
  void BeginUpdate();
  void EndUpdate();

 private:
  friend class TCustomListView;
  friend class TListItem;
  void Renumber(int from);
  TCustomListView& view_;
  std::vector<std::unique_ptr<TListItem>> items_;
  int count_ = 0;  // virtual mode
  mutable std::unique_ptr<TListItem> temp_;
  int updating_ = 0;
};

using TLVSelectItemEvent = std::function<void(TObject* sender, TListItem* item, bool selected)>;
using TLVOwnerDataEvent = std::function<void(TObject* sender, TListItem* item)>;

class TCustomListView : public TWinControl {
  VEX_CLASS(TCustomListView)
 public:
  // The columns scale with the control.
  void ChangeScale(int m, int d) override;
  explicit TCustomListView(TComponent* owner, const TClassInfo& cls = StaticClass());
  ~TCustomListView() override;

  TViewStyle ViewStyle() const { return viewStyle_; }
  void SetViewStyle(TViewStyle v);
  TListColumns& Columns() { return *columns_; }
  const TListColumns& Columns() const { return *columns_; }
  TListItems& Items() { return *items_; }
  const TListItems& Items() const { return *items_; }
  TImageList* SmallImages() const { return smallImages_; }
  void SetSmallImages(TImageList* list);
  TImageList* LargeImages() const { return largeImages_; }
  void SetLargeImages(TImageList* list);
  // A click anywhere on the row selects it, and the whole row shows selected (report view).
  bool RowSelect() const { return rowSelect_; }
  void SetRowSelect(bool v);
  bool GridLines() const { return gridLines_; }
  void SetGridLines(bool v);
  // No editing of captions in place.
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v);
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool v);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool v);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle s);
  // Virtual mode: the items are Items.Count rows the application describes in OnData.
  bool OwnerData() const { return ownerData_; }
  void SetOwnerData(bool v);

  // The first selected item (none: null), and selecting one item alone.
  TListItem* Selected() const;
  void SetSelected(TListItem* item);
  int ItemIndex() const;
  void SetItemIndex(int index);
  int SelCount() const;
  TListItem* ItemFocused() const;
  // The first row shown, and how many rows show (report and list views).
  TListItem* TopItem() const;
  int VisibleRowCount() const;
  // The item at a client point, or null.
  TListItem* GetItemAt(int x, int y) const;

  TLVSelectItemEvent OnSelectItem;
  TLVOwnerDataEvent OnData;

 protected:
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void BeforeDestruction() override;
  void WndProc(TMessage& m) override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TListColumn;
  friend class TListColumns;
  friend class TListItem;
  friend class TListItems;
  void ColumnsChanged(TCollectionItem* item);
  void RebuildColumns();
  void SetColumn(int index);
  void ReadColumnWidths();
  int HeaderColumnCount() const;
  void InsertNativeItem(const TListItem& item);
  void ApplyExtendedStyle();
  void SetStyleBits(DWORD mask, DWORD bits);
  void SaveState();
  // Fills the item the control asks about.
  void GetDispInfo(NMLVDISPINFOW& info);

  std::unique_ptr<TListColumns> columns_;
  std::unique_ptr<TListItems> items_;
  TViewStyle viewStyle_ = vsIcon;
  TImageList* smallImages_ = nullptr;
  TImageList* largeImages_ = nullptr;
  bool rowSelect_ = false, gridLines_ = false, readOnly_ = false, multiSelect_ = false, hideSelection_ = true,
       ownerData_ = false;
  TBorderStyle borderStyle_ = bsSingle;
  bool going_ = false;
  std::wstring textBuffer_;
};

class TListView : public TCustomListView {
  VEX_CLASS(TListView)
 public:
  explicit TListView(TComponent* owner, const TClassInfo& cls = StaticClass()) : TCustomListView(owner, cls) {}
};

}  // namespace vex::host
