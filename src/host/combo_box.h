// Combo boxes on the platform's "COMBOBOX" control: an edit field or a selection field with a
// list of strings (Items) that drops down below it or is always shown, items drawn by the
// application, and the list kept in step with the control across new windows.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/canvas.h"
#include "host/list_box.h"
#include "host/string_list.h"

namespace vex::host {

// csDropDown: an edit field and a drop-down list; csSimple: an edit field above a list always
// shown; csDropDownList: a selection field (no typing) and a drop-down list; the owner-drawn
// styles are drop-down lists whose items (and selection field) the application draws, of one
// height or each its own.
enum TComboBoxStyle : int { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

class TCustomComboBox : public TCustomListControl {
  VEX_CLASS(TCustomComboBox)
 public:
  explicit TCustomComboBox(TComponent* owner, const TClassInfo& cls = StaticClass());
  ~TCustomComboBox() override;

  // The strings of the list. Changing them changes the control at once; they are kept while
  // there is no window and carried over when the window is made again.
  TStrings& Items() { return *items_; }
  const TStrings& Items() const { return *items_; }
  void SetItems(const TStrings& items) { Items().Assign(items); }

  int ItemIndex() const override;
  // Selects an item (-1: none); with an edit field its text becomes the item's.
  void SetItemIndex(int index) override;
  int ItemCount() const override { return Items().Count(); }
  void AddItem(const std::string& item) override { Items().Add(item); }
  // Removes every item and the text.
  void Clear() override;
  void ClearSelection() override { SetItemIndex(-1); }
  void DeleteSelected() override;
  // Selects the whole text of the edit field.
  void SelectAll() override;

  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle s);
  // Whether the list is dropped down; setting opens or closes it (drop-down styles).
  bool DroppedDown() const;
  void SetDroppedDown(bool v);
  // How many items the dropped-down list shows without scrolling.
  int DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(int v);
  // The control keeps its strings in alphabetical order (ignoring case); Insert is refused then.
  bool Sorted() const { return sorted_; }
  void SetSorted(bool v);
  // The height of the items (owner-drawn styles set it; otherwise the control's own).
  int ItemHeight() const;
  void SetItemHeight(int v);
  TBorderStyle BorderStyle() const { return bsSingle; }

  // The text: the edit field's, or the selected item's (a selection field). Setting it on a
  // selection field selects the item with that text, or none.
  std::wstring GetText() const override;
  void SetText(const std::wstring& s) override;
  // Drop-down styles have the height the control gives their field; only the width changes.
  void SetBounds(int left, int top, int width, int height) override;

  // Valid while an item is drawn.
  TCanvas& Canvas() { return canvas_; }

  // The user changed the text or picked another item.
  TMethodValue OnChange;
  // The user picked an item (in the list or with the arrow keys).
  TMethodValue OnSelect;
  TMethodValue OnDropDown;
  TMethodValue OnCloseUp;
  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;

 protected:
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void BeforeDestruction() override;
  void WndProc(TMessage& m) override;
  virtual void Change();
  virtual void Select();
  virtual void DropDown();
  virtual void CloseUp();
  virtual void DrawItem(int index, const RECT& rect, TOwnerDrawState state);
  virtual void MeasureItem(int index, int& height);
  // Whether the style has an edit field.
  bool HasEdit() const { return style_ == csDropDown || style_ == csSimple; }
  // The height of the whole window, the dropped-down list included.
  int WindowHeight() const;
  // Keeps the window's state for the next window (the items too, unless they live elsewhere).
  virtual void SaveState();
  // Puts the kept items into a new window.
  virtual void RestoreItems();
  // Puts a text into the window's edit field.
  virtual void SetEditText(const std::wstring& s);

  std::unique_ptr<TStrings> items_;
  bool going_ = false;  // being destroyed: nothing is kept for another window
  // While there is no window: the items and the current item.
  std::vector<std::wstring> saved_;
  int savedIndex_ = -1;
  TComboBoxStyle style_ = csDropDown;
  int dropDownCount_ = 8;
  bool sorted_ = false;
  int itemHeight_ = 16;
  int settingText_ = 0;  // the framework is changing the text: no OnChange

 private:
  class TComboBoxStrings;
  friend class TComboBoxStrings;
  TCanvas canvas_;
  UINT id_;
};

class TComboBox : public TCustomComboBox {
  VEX_CLASS(TComboBox)
 public:
  explicit TComboBox(TComponent* owner, const TClassInfo& cls = StaticClass()) : TCustomComboBox(owner, cls) {}
};

}  // namespace vex::host
