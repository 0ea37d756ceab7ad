// List boxes on the platform's "LISTBOX" control: a list of strings (Items) kept in step with the
// control, single or multiple selection, sorting, and items drawn by the application.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/canvas.h"
#include "host/control_types.h"
#include "host/string_list.h"
#include "host/win_control.h"

namespace vex::host {

// The state of an item being drawn (the ODS_* flags).
enum TOwnerDrawStateFlag : unsigned {
  odSelected = 1u << 0,
  odGrayed = 1u << 1,
  odDisabled = 1u << 2,
  odChecked = 1u << 3,
  odFocused = 1u << 4,
  odDefault = 1u << 5,
  odHotLight = 1u << 6,
  odInactive = 1u << 7,
  odNoAccel = 1u << 8,
  odNoFocusRect = 1u << 9,
};
using TOwnerDrawState = unsigned;
TOwnerDrawState OwnerDrawStateFromODS(UINT itemState);

// Draws item `index` of `control` into `rect` on `canvas` (the brush and font colours already
// say whether it is selected).
using TDrawItemEvent = std::function<void(TWinControl* control, int index, TCanvas& canvas, const RECT& rect, TOwnerDrawState state)>;
// Answers the height of item `index` (items of variable height).
using TMeasureItemEvent = std::function<void(TWinControl* control, int index, int& height)>;

// What every list control offers: a current item and the list's basic operations.
class TCustomListControl : public TWinControl {
  VEX_CLASS(TCustomListControl)
 public:
  explicit TCustomListControl(TComponent* owner, const TClassInfo& cls = StaticClass()) : TWinControl(owner, cls) {}
  // The current item, -1 for none.
  virtual int ItemIndex() const = 0;
  virtual void SetItemIndex(int index) = 0;
  virtual int ItemCount() const = 0;
  virtual void AddItem(const std::string& item) = 0;
  virtual void Clear() = 0;
  virtual void ClearSelection() = 0;
  virtual void DeleteSelected() = 0;
  virtual void SelectAll() = 0;
};

enum TListBoxStyle : int { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };

class TCustomListBox : public TCustomListControl {
  VEX_CLASS(TCustomListBox)
 public:
  explicit TCustomListBox(TComponent* owner, const TClassInfo& cls = StaticClass());
  ~TCustomListBox() override;

  // The strings of the list. Changing them changes the control at once; they are kept while
  // there is no window and carried over when the window is made again.
  TStrings& Items();
  const TStrings& Items() const;
  void SetItems(const TStrings& items) { Items().Assign(items); }

  int ItemIndex() const override;
  void SetItemIndex(int index) override;
  int ItemCount() const override { return Items().Count(); }
  void AddItem(const std::string& item) override { Items().Add(item); }
  void Clear() override { Items().Clear(); }
  void ClearSelection() override;
  void DeleteSelected() override;
  void SelectAll() override;

  // Several items can be selected (with Shift and Ctrl).
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool v);
  bool Selected(int index) const;
  void SetSelected(int index, bool selected);
  int SelCount() const;
  // The control keeps its strings in alphabetical order (ignoring case); Insert is refused then.
  bool Sorted() const { return sorted_; }
  void SetSorted(bool v);
  TListBoxStyle Style() const { return style_; }
  void SetStyle(TListBoxStyle s);
  // The height of the items of an owner-drawn list (of the first item otherwise).
  int ItemHeight() const;
  void SetItemHeight(int v);
  // The first item shown.
  int TopIndex() const;
  void SetTopIndex(int v);
  // The height is a whole number of items (the control shortens itself to fit).
  bool IntegralHeight() const { return integralHeight_; }
  void SetIntegralHeight(bool v);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle s);
  // The item under a client point; -1 when there is none there and `existing` is asked.
  int ItemAtPos(POINT p, bool existing) const;
  RECT ItemRect(int index) const;

  // Valid while an item is drawn.
  TCanvas& Canvas() { return canvas_; }

  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;
  TMethodValue OnDblClick;

 protected:
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void BeforeDestruction() override;
  void WndProc(TMessage& m) override;
  // Draws one item: the event when there is one, else the item's text on its background.
  virtual void DrawItem(int index, const RECT& rect, TOwnerDrawState state);
  virtual void MeasureItem(int index, int& height);
  virtual void DblClick();

 private:
  class TListBoxStrings;
  friend class TListBoxStrings;
  // Keeps the window's items and selection for the next window.
  void SaveState();
  std::unique_ptr<TListBoxStrings> items_;
  TCanvas canvas_;
  UINT id_;
  bool multiSelect_ = false, sorted_ = false, integralHeight_ = false;
  bool going_ = false;      // being destroyed: nothing is kept for another window
  bool stateKept_ = false;  // the kept state is already up to date
  TListBoxStyle style_ = lbStandard;
  int itemHeight_ = 16;
  TBorderStyle borderStyle_ = bsSingle;
  // While there is no window: the items, the current item, the selection and the first item shown.
  std::vector<std::wstring> saved_;
  int savedIndex_ = -1, savedTop_ = 0;
  std::vector<int> savedSelection_;
};

class TListBox : public TCustomListBox {
  VEX_CLASS(TListBox)
 public:
  explicit TListBox(TComponent* owner, const TClassInfo& cls = StaticClass()) : TCustomListBox(owner, cls) {}
};

}  // namespace vex::host
