// Extended combo boxes on the platform's "ComboBoxEx32" control: a combo box whose items carry
// an image from an image list beside their caption. The items (ItemsEx) are the framework's;
// the control shows them and gets them again when its window is made anew.
#pragma once

#include <memory>
#include <string>

#include "host/collection.h"
#include "host/combo_box.h"
#include "host/image_list.h"

namespace vex::host {

class TCustomComboBoxEx;

class TComboExItem : public TCollectionItem {
  VEX_CLASS(TComboExItem)
 public:
  explicit TComboExItem(TCollection* collection, const TClassInfo& cls = StaticClass()) : TCollectionItem(collection, cls) {}

  const std::wstring& Caption() const { return caption_; }
  void SetCaption(const std::wstring& s);
  // The image shown beside the caption (-1: none), and while the item is selected (-1: the same).
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int v);
  int SelectedImageIndex() const { return selectedImageIndex_; }
  void SetSelectedImageIndex(int v);
  // Indentation in steps of 10 pixels.
  int Indent() const { return indent_; }
  void SetIndent(int v);
  void Assign(const TPersistent& source) override;

 private:
  void Changed();
  std::wstring caption_;
  int imageIndex_ = -1, selectedImageIndex_ = -1, indent_ = 0;
};

class TComboExItems : public TCollection {
  VEX_CLASS(TComboExItems)
 public:
  explicit TComboExItems(TCustomComboBoxEx* owner);
  TComboExItem* Item(int index) const { return static_cast<TComboExItem*>(Items(index)); }
  // Appends an item with a caption and an image.
  TComboExItem* AddItem(const std::wstring& caption, int imageIndex = -1, int selectedImageIndex = -1, int indent = 0);
  void Update(TCollectionItem* item) override;

 private:
  TCustomComboBoxEx* combo_;
};

// csExDropDown, csExSimple and csExDropDownList are the combo box's first three styles.
enum TComboBoxExStyle : int { csExDropDown, csExSimple, csExDropDownList };

class TCustomComboBoxEx : public TCustomComboBox {
  VEX_CLASS(TCustomComboBoxEx)
 public:
  explicit TCustomComboBoxEx(TComponent* owner, const TClassInfo& cls = StaticClass());
  ~TCustomComboBoxEx() override;

  // The items with their images; Items reads and writes their captions.
  TComboExItems& ItemsEx() { return *itemsEx_; }
  const TComboExItems& ItemsEx() const { return *itemsEx_; }
  void SetItemsEx(const TComboExItems& items) { itemsEx_->Assign(items); }
  TImageList* Images() const { return images_; }
  void SetImages(TImageList* list);
  TComboBoxExStyle StyleEx() const { return static_cast<TComboBoxExStyle>(style_); }
  void SetStyleEx(TComboBoxExStyle s) { SetStyle(static_cast<TComboBoxStyle>(s)); }

  std::wstring GetText() const override;

  // The control's inner combo box and, with an edit field, its edit window.
  HWND ComboHandle() const;
  HWND EditHandle() const;

 protected:
  void CreateParams(TCreateParams& p) override;
  void Notification(TComponent* component, TOperation operation) override;
  void SaveState() override;
  void RestoreItems() override;
  void SetEditText(const std::wstring& s) override;

 private:
  friend class TComboExItems;
  class TComboExStrings;
  void ItemsChanged(TCollectionItem* item);
  void SetNativeItem(int index, bool insert);
  std::unique_ptr<TComboExItems> itemsEx_;
  TImageList* images_ = nullptr;
};

class TComboBoxEx : public TCustomComboBoxEx {
  VEX_CLASS(TComboBoxEx)
 public:
  explicit TComboBoxEx(TComponent* owner, const TClassInfo& cls = StaticClass()) : TCustomComboBoxEx(owner, cls) {}
};

}  // namespace vex::host
