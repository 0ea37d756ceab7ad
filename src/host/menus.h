// Main and popup menus: trees of menu items turned into native menus, owner-drawn on request.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "host/bitmap.h"
#include "host/component.h"
#include "host/gdi_handle.h"
#include "host/image_list.h"
#include "host/string_list.h"

namespace vex::host {

// A key with its shift state: the virtual-key code in the low byte.
using TShortCut = int;
inline constexpr int scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000;
inline TShortCut MakeShortCut(int key, int shift) { return key | shift; }
std::wstring ShortCutToText(TShortCut sc);
TShortCut TextToShortCut(const std::wstring& text);  // 0 when not a shortcut

class TMenu;
class TMenuItem;

using TMenuDrawItemEvent = std::function<void(TMenuItem* item, TCanvas& canvas, RECT rect, bool selected)>;
using TMenuMeasureItemEvent = std::function<void(TMenuItem* item, TCanvas& canvas, int& width, int& height)>;

class TMenuItem : public TComponent {
  VEX_CLASS(TMenuItem)
 public:
  explicit TMenuItem(TComponent* owner, const TClassInfo& cls = StaticClass());
  ~TMenuItem() override;

  std::wstring Caption() const { return caption_; }
  void SetCaption(const std::wstring& c);
  bool IsLine() const { return caption_ == L"-"; }
  bool Checked() const { return checked_; }
  void SetChecked(bool v);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  bool Default() const { return default_; }
  void SetDefault(bool v);
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  bool RadioItem() const { return radio_; }
  void SetRadioItem(bool v);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int v);
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut sc);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int i);
  TBitmap& Bitmap() { return bitmap_; }
  const TBitmap& Bitmap() const { return bitmap_; }
  TImageList* SubMenuImages() const { return subMenuImages_; }
  void SetSubMenuImages(TImageList* l);

  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int i) const { return items_.at(static_cast<std::size_t>(i)); }
  TMenuItem* Parent() const { return parent_; }
  int MenuIndex() const;
  int IndexOf(const TMenuItem* item) const;
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  void Remove(TMenuItem* item);
  void Delete(int index);  // frees the item
  void Clear();            // frees every sub-item
  // The menu the item belongs to (through its parents).
  TMenu* GetParentMenu() const;
  // The native command identifier, and the submenu handle when the item has sub-items.
  UINT Command() const { return command_; }
  HMENU Handle() const { return submenu_; }

  virtual void Click();
  TMethodValue OnClick;
  TMenuDrawItemEvent OnDrawItem;
  TMenuMeasureItemEvent OnMeasureItem;

  // Owner drawing: the handlers when set, else the framework's own look.
  void MeasureItem(TCanvas& canvas, int& width, int& height);
  void DrawItem(TCanvas& canvas, RECT rect, bool selected);
  void DefaultMeasureItem(TCanvas& canvas, int& width, int& height);
  void DefaultDrawItem(TCanvas& canvas, RECT rect, bool selected);
  bool IsOwnerDraw() const;
  // The image list this item's ImageIndex refers to.
  const TImageList* ImagesForItem() const;

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* parent) override;
  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) const override;
  void Notification(TComponent* c, TOperation op) override;

 protected:
  void BeforeDestruction() override;

 private:
  friend class TMenu;
  friend class TMainMenu;
  void Changed();
  std::wstring DisplayText() const;
  // Forgets the item's command identifier, which another item may take from then on.
  void ReleaseCommand();

  TMenuItem* parent_ = nullptr;
  TMenu* menu_ = nullptr;  // set on the root item of a menu
  std::vector<TMenuItem*> items_;
  std::wstring caption_;
  std::wstring autoCaption_;  // caption with the automatic hot key
  bool checked_ = false, enabled_ = true, default_ = false, visible_ = true, radio_ = false;
  int groupIndex_ = 0, imageIndex_ = -1;
  TShortCut shortCut_ = 0;
  TBitmap bitmap_;
  TImageList* subMenuImages_ = nullptr;
  UINT command_;
  HMENU submenu_ = nullptr;  // owned by the menu's native handle
};

enum TMenuAutoFlag : int { maAutomatic, maManual };

class TMenu : public TComponent {
  VEX_CLASS(TMenu)
 public:
  explicit TMenu(TComponent* owner, const TClassInfo& cls = StaticClass());
  ~TMenu() override;

  TMenuItem* Items() const { return items_; }
  TImageList* Images() const { return images_; }
  void SetImages(TImageList* l);
  bool OwnerDraw() const { return ownerDraw_; }
  void SetOwnerDraw(bool v);
  TMenuAutoFlag AutoHotkeys() const { return autoHotkeys_; }
  void SetAutoHotkeys(TMenuAutoFlag f);

  // The native menu, built on first use and rebuilt when an item changes. A rebuild makes the new
  // native menu first and hands it to whoever shows the menu before the old one is destroyed.
  HMENU Handle();
  bool HandleAllocated() const { return static_cast<bool>(handle_); }
  void Rebuild();
  // Between BeginUpdate and the matching EndUpdate changes are gathered into one rebuild.
  void BeginUpdate() { ++updating_; }
  void EndUpdate();
  // Something the native menu is built from changed outside the item setters (for example the
  // items' drawing handlers): rebuild now, or once at EndUpdate while updating.
  void Changed() { MenuChanged(); }

  // The application's handler, and listeners of the library (keyed by their owner), told after
  // an item of the menu changed, was added or removed.
  TNotifyEvent OnChange;
  void AddChangeListener(const void* key, std::function<void()> listener);
  void RemoveChangeListener(const void* key);

  // Runs the item with this shortcut (enabled and visible, sub-items included); false if none.
  bool IsShortCut(TShortCut sc);
  bool IsShortCut(const MSG& msg);
  bool DispatchCommand(UINT command);
  TMenuItem* FindItemByCommand(UINT command) const;
  TMenuItem* FindItemByHandle(HMENU menu) const;

  // Owner-draw requests for items of any menu (itemData is the item).
  static bool HandleMeasureItem(MEASUREITEMSTRUCT* mis);
  static bool HandleDrawItem(const DRAWITEMSTRUCT* dis);
  static TMenuItem* ItemByCommand(UINT command);

  void Notification(TComponent* c, TOperation op) override;
  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) const override;

 protected:
  virtual bool IsPopup() const { return false; }
  virtual void MenuChanged();
  // The native menu was rebuilt: `handle_` is the new one; `previous` (destroyed right after this
  // returns) is the one it replaces, or null on the first build.
  virtual void HandleRebuilt(HMENU previous) {}
  // The top-level items the native menu shows (a main menu merges another in).
  virtual std::vector<TMenuItem*> TopItems() const;
  void BuildInto(HMENU target, const std::vector<TMenuItem*>& items);
  static void AssignHotkeys(const std::vector<TMenuItem*>& items, bool automatic);

  TMenuItem* items_;
  TImageList* images_ = nullptr;
  bool ownerDraw_ = false;
  TMenuAutoFlag autoHotkeys_ = maAutomatic;
  TOwnedMenu handle_;
  int updating_ = 0;
  bool dirty_ = false;
  std::vector<std::pair<const void*, std::function<void()>>> changeListeners_;

  friend class TMenuItem;
};

class TMainMenu : public TMenu {
  VEX_CLASS(TMainMenu)
 public:
  explicit TMainMenu(TComponent* owner, const TClassInfo& cls = StaticClass()) : TMenu(owner, cls) {}
  // Shows the other menu's items within this one by GroupIndex: an item of the other menu takes
  // the place of this menu's items with the same GroupIndex, others go in GroupIndex order.
  void Merge(TMainMenu* other);
  void Unmerge(TMainMenu* other);
  TMainMenu* Merged() const { return merged_; }
  // The window the menu is shown on (set by its form).
  void SetWindow(HWND wnd) { window_ = wnd; }
  std::function<void()> OnRebuilt;  // the form refreshes its window menu

 protected:
  void HandleRebuilt(HMENU previous) override;
  std::vector<TMenuItem*> TopItems() const override;

 private:
  TMainMenu* merged_ = nullptr;
  HWND window_ = nullptr;
};

class TPopupMenu : public TMenu {
  VEX_CLASS(TPopupMenu)
 public:
  explicit TPopupMenu(TComponent* owner, const TClassInfo& cls = StaticClass()) : TMenu(owner, cls) {}
  // Shows the menu at a screen point and runs the chosen item; returns once the menu closes.
  void Popup(int x, int y);
  TNotifyEvent OnPopup;

 protected:
  bool IsPopup() const override { return true; }
};

// The hidden window that owns popup menus and receives their drawing requests.
HWND PopupOwnerWindow();

}  // namespace vex::host
