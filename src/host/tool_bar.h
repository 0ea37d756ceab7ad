// Tool bars: the common control "ToolbarWindow32" with its buttons as windowless controls of the
// framework (captions, images, check and grouped buttons, separators), laid out by the control.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <vector>

#include "host/canvas.h"
#include "host/image_list.h"
#include "host/menus.h"
#include "host/win_control.h"

namespace vex::host {

class TToolBar;

enum TToolButtonStyle : int { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };

// One button of a tool bar. Its place is the tool bar's to choose; its bounds follow the control.
class TToolButton : public TGraphicControl {
  VEX_CLASS(TToolButton)
 public:
  explicit TToolButton(TComponent* owner, const TClassInfo& cls = StaticClass());

  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int i);
  TToolButtonStyle Style() const { return style_; }
  void SetStyle(TToolButtonStyle s);
  // A check button that is pressed; in a group, pressing one releases the others.
  bool Down() const { return down_; }
  void SetDown(bool d);
  bool Grouped() const { return grouped_; }
  void SetGrouped(bool g);
  // The menu item whose submenu the button opens (a menu bar's button).
  TMenuItem* MenuItem() const { return menuItem_; }
  void SetMenuItem(TMenuItem* item);
  // The button's position in its tool bar, or -1.
  int Index() const;
  UINT Command() const { return command_; }
  TToolBar* ToolBar() const;

  void SetText(const std::wstring& s) override;
  void SetVisible(bool v) override;
  void SetEnabled(bool e) override;
  // A check button changes its state first; a button with a menu item clicks the item when it
  // has no submenu.
  void Click() override;

 protected:
  // The menu item going away is forgotten (the item may belong to anyone).
  void Notification(TComponent* c, TOperation op) override;

 private:
  friend class TToolBar;
  void Changed();
  void Place(const RECT& r);
  int imageIndex_ = -1;
  TToolButtonStyle style_ = tbsButton;
  bool down_ = false, grouped_ = false;
  TMenuItem* menuItem_ = nullptr;
  UINT command_ = 0;
};

class TToolBar : public TWinControl {
  VEX_CLASS(TToolBar)
 public:
  explicit TToolBar(TComponent* owner, const TClassInfo& cls = StaticClass());
  ~TToolBar() override;

  int ButtonCount() const { return static_cast<int>(buttons_.size()); }
  TToolButton* Buttons(int index) const { return buttons_.at(static_cast<std::size_t>(index)); }
  // The visible button at a client point, or none.
  TToolButton* ButtonAtPos(POINT p) const;
  // The button's rectangle in the tool bar's client area (empty when hidden or not placed).
  RECT ButtonRect(const TToolButton* b) const;

  TImageList* Images() const { return images_; }
  void SetImages(TImageList* list);
  // The images of hot buttons (none: the Images).
  TImageList* HotImages() const { return hotImages_; }
  void SetHotImages(TImageList* list);
  bool List() const { return list_; }
  void SetList(bool v);
  bool Flat() const { return flat_; }
  void SetFlat(bool v);
  bool ShowCaptions() const { return showCaptions_; }
  void SetShowCaptions(bool v);
  bool Wrapable() const { return wrapable_; }
  void SetWrapable(bool v);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v);
  int Indent() const { return indent_; }
  void SetIndent(int v);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v);

  // The colour of the captions of the buttons the control draws (clDefault: the font's colour).
  // Unlike the font's colour it is not passed on to controls standing on the bar.
  TColor CaptionColor() const { return captionColor_; }
  void SetCaptionColor(TColor c);
  // The colour captions are drawn in now.
  TColor InkColor() const;

  // Custom drawing of the bar's background and of each button (NM_CUSTOMDRAW); setting
  // defaultDraw false leaves the button to the handler. The handlers draw on Canvas().
  std::function<void(TToolBar*, const RECT&, bool& defaultDraw)> OnCustomDraw;
  std::function<void(TToolBar*, TToolButton*, UINT itemState, bool& defaultDraw)> OnCustomDrawButton;

  // Opens the submenu of the button at `index` (a button with a menu item that has sub-items)
  // below it and runs it; Left and Right move to the neighbouring menu buttons, Escape or a click
  // elsewhere ends it. Nothing for a button without a submenu.
  void TrackMenu(int index);
  // The button whose caption has `ch` as its accelerator letter (after "&"), or -1.
  int ButtonByAccelerator(wchar_t ch) const;
  // The menu button open now, or -1.
  int OpenMenuIndex() const { return openMenu_; }

  // The keyboard's way into the menu buttons (Alt pressed alone): the button at `index` becomes
  // hot and the bar takes the focus; Left and Right move the hot button, Down, Up or Enter open its
  // menu, Enter clicks a button without one, a letter opens the button it is the accelerator of,
  // Escape, Alt or the focus moving elsewhere leave, giving the focus back.
  void EnterMenuMode(int index);
  // Leaves the keyboard mode and closes an open menu of the bar.
  void CancelMenu();
  bool InMenuMode() const { return menuMode_; }
  // The button hot for the keyboard, or -1.
  int HotIndex() const { return menuMode_ ? hot_ : -1; }

  // The bar's drawing surface while a custom-draw handler runs (no device context otherwise).
  TCanvas& Canvas() { return canvas_; }

  // Between BeginUpdate and the matching EndUpdate, buttons added, removed or changed are laid
  // out once, at the end.
  void BeginUpdate() { ++updating_; }
  void EndUpdate();

  // Called by a button whose look changed.
  void ButtonChanged(TToolButton* b);

 protected:
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;
  void WndProc(TMessage& m) override;
  void Notification(TComponent* c, TOperation op) override;
  // A dialog character (with Alt, or one the focused control did not take): opens the menu or
  // clicks the button whose accelerator it is. Answers whether it acted.
  virtual bool DialogChar(wchar_t ch, bool alt);

 private:
  void SetHot(int index);
  // The next visible, enabled button from `from` in direction `step`, round the bar, or -1.
  int NeighbourButton(int from, int step) const;
  bool MenuModeKey(TMessage& m);
  void RebuildButtons();
  void UpdateStyle();
  void AdjustSize();
  void PlaceButtons();
  LRESULT CustomDraw(NMTBCUSTOMDRAW* cd);
  // Whether the captions have a colour of their own (the caption colour's, or the font's), and
  // the drawing for it.
  bool OwnInk() const;
  void UpdateInk();

  std::vector<TToolButton*> buttons_;
  TImageList* images_ = nullptr;
  TImageList* hotImages_ = nullptr;
  bool list_ = false, flat_ = true, showCaptions_ = false, wrapable_ = true, transparent_ = false, autoSize_ = false;
  int indent_ = 0;
  int laidOutWidth_ = -1;
  int updating_ = 0;
  bool rebuildPending_ = false;  // the client width the buttons were last laid out for
  bool rebuilding_ = false;
  int openMenu_ = -1;
  TCanvas canvas_;
  // Cleared when the bar goes: a menu handler may free the bar while its menu runs.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  bool menuMode_ = false;
  bool themeOff_ = false;
  TColor captionColor_ = clDefault;
  int hot_ = -1;
  HWND focusBefore_ = nullptr;
};

}  // namespace vex::host
