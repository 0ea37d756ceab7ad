// Tab controls on the platform's "SysTabControl32" control: TTabControl, a row of tabs over one
// client area the application fills as the tab changes, and TPageControl, whose tabs are its
// TTabSheet pages (each a container showing its controls only while it is the active page).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/image_list.h"
#include "host/string_list.h"
#include "host/win_control.h"

namespace vex::host {

enum TTabPosition : int { tpTop, tpBottom, tpLeft, tpRight };

using TTabChangingEvent = std::function<void(TObject* sender, bool& allowChange)>;

class TCustomTabControl : public TWinControl {
  VEX_CLASS(TCustomTabControl)
 public:
  explicit TCustomTabControl(TComponent* owner, const TClassInfo& cls = StaticClass());
  ~TCustomTabControl() override;

  // The tab captions: the window's own tabs while it has one, else those kept for the next.
  TStrings& Tabs();
  const TStrings& Tabs() const;
  void SetTabs(const TStrings& tabs);
  // The selected tab, or -1. Setting it runs no events.
  int TabIndex() const;
  void SetTabIndex(int index);
  // Tabs along the top, bottom, left or right edge (left and right ones are always multi-line).
  TTabPosition TabPosition() const { return tabPosition_; }
  void SetTabPosition(TTabPosition p);
  bool MultiLine() const { return multiLine_; }
  void SetMultiLine(bool v);
  // Tab images: a tab control's tab i shows image i; a page's tab shows its page's ImageIndex.
  TImageList* Images() const { return images_; }
  void SetImages(TImageList* list);
  // The client area inside the tabs and the page frame.
  RECT DisplayRect();
  // The tab at a client point, or -1.
  int IndexOfTabAt(POINT p);

  // Ctrl+Tab (Ctrl+Shift+Tab) while the focus is in the control: the next (previous) tab.
  virtual void SelectNextTab(bool forward);

  TMethodValue OnChange;
  // Asked before the user changes the tab; setting allowChange false keeps the current one.
  TTabChangingEvent OnChanging;

  // Whether the Tabs are the control's own (stored with it) or follow something else (pages).
  virtual bool StoresTabs() const { return true; }

 protected:
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void WndProc(TMessage& m) override;
  void Notification(TComponent* c, TOperation op) override;
  virtual bool CanChange();
  virtual void Change();
  // The image a tab shows (-1: none).
  virtual int TabImageIndex(int tabIndex) const { return tabIndex; }
  // Every tab's image again (after tabs moved or image indexes changed).
  void UpdateTabImages();
  // The tabs changed place or size: pages follow.
  virtual void TabsLaidOut() {}

 private:
  class TTabStrings;
  friend class TTabStrings;
  void SaveState();
  std::unique_ptr<TTabStrings> tabs_;
  std::vector<std::wstring> saved_;
  int savedIndex_ = -1;
  TTabPosition tabPosition_ = tpTop;
  bool multiLine_ = false;
  TImageList* images_ = nullptr;
};

class TTabControl : public TCustomTabControl {
  VEX_CLASS(TTabControl)
 public:
  explicit TTabControl(TComponent* owner, const TClassInfo& cls = StaticClass()) : TCustomTabControl(owner, cls) {}
};

class TPageControl;

// A page of a page control: a container whose caption is its tab's.
class TTabSheet : public TWinControl {
  VEX_CLASS(TTabSheet)
 public:
  explicit TTabSheet(TComponent* owner, const TClassInfo& cls = StaticClass());
  TPageControl* PageControl() const;
  void SetPageControl(TPageControl* pc);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int i);
  // A page without a visible tab can still be made the active page from code.
  bool TabVisible() const { return tabVisible_; }
  void SetTabVisible(bool v);
  // The page's place among its page control's pages (-1 without one).
  int PageIndex() const;
  void SetPageIndex(int i);
  // The page's tab, counting visible tabs only (-1: none).
  int TabIndex() const;

 protected:
  void WndProc(TMessage& m) override;

 private:
  int imageIndex_ = -1;
  bool tabVisible_ = true;
};

class TPageControl : public TCustomTabControl {
  VEX_CLASS(TPageControl)
 public:
  explicit TPageControl(TComponent* owner, const TClassInfo& cls = StaticClass());
  int PageCount() const { return static_cast<int>(pages_.size()); }
  TTabSheet* Pages(int index) const { return pages_.at(static_cast<std::size_t>(index)); }
  TTabSheet* ActivePage() const { return activePage_; }
  // Shows the page (and only it) and selects its tab; runs no events.
  void SetActivePage(TTabSheet* page);
  int ActivePageIndex() const;
  void SetActivePageIndex(int i);
  // The next (previous) page with a visible tab, round the end, when OnChanging allows.
  void SelectNextPage(bool forward);
  void SelectNextTab(bool forward) override { SelectNextPage(forward); }
  bool StoresTabs() const override { return false; }

  // Used by the pages: their caption, tab or place changed.
  void PagesChanged();

 protected:
  void WndProc(TMessage& m) override;
  void Change() override;
  void Loaded() override;
  int TabImageIndex(int tabIndex) const override;
  void TabsLaidOut() override;

 private:
  friend class TTabSheet;
  TTabSheet* PageForTab(int tabIndex) const;
  void ShowActivePage(TTabSheet* previous);
  std::vector<TTabSheet*> pages_;
  TTabSheet* activePage_ = nullptr;
  bool rebuilding_ = false;
};

}  // namespace vex::host
