// The skin engine: the one component an application places on its main form to have its windows
// skinned. It keeps the skin (stored with the form or found by file name), caches the values
// frames and controls read on every paint, owner-draws menus and owns the system menu.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "engine/scroll_track.h"
#include "engine/skin_window.h"
#include "host/collection.h"
#include "host/form.h"
#include "host/menus.h"
#include "host/string_list.h"
#include "utils/skin_reader.h"
#include "utils/skin_res.h"

namespace vex::engine {

// What frames and controls read on every paint, refreshed at every skin change.
struct TSkinMetrics {
  host::TColor FormColor = -1;
  host::TOwnedBrush FormBrush;
  host::TColor TransparentColor = -1;
  host::TColor TitleFontColor = -1;
  std::array<host::TColor, 13> MenuColors{};
  int TitleBarHeight = 0, LeftBorderWidth = 0, RightBorderWidth = 0, BottomBorderHeight = 0;
  int IconPosX = -1, IconPosY = -1, CaptionTop = -1, ButtonPosX = -1, ButtonPosY = -1;
  int TitleRegionMinY = -1, TitleRegionMaxY = -1, BottomRegionMinY = -1, BottomRegionMaxY = -1;
  int MinTitleWidth = 0;
};

// Indexes into TSkinMetrics::MenuColors.
enum TMenuColor : int {
  mcMenuBarStart, mcMenuBarEnd, mcTopSelected, mcTopSelectedBorder, mcTopSelectedFont, mcTopMenuFont,
  mcLeftBarStart, mcLeftBarEnd, mcMenuItem, mcMenuItemFont, mcSelected, mcSelectedBorder, mcSelectedFont
};

class TvexSkinCollectionItem;

// Additional skins stored with the form.
class TvexSkinCollection : public host::TCollection {
  VEX_CLASS(TvexSkinCollection)
 public:
  explicit TvexSkinCollection(host::TPersistent* owner);
  TvexSkinCollectionItem* Item(int i) const;
};

class TvexSkinCollectionItem : public host::TCollectionItem {
  VEX_CLASS(TvexSkinCollectionItem)
 public:
  explicit TvexSkinCollectionItem(host::TCollection* c);
  std::string SkinFile, Password;
  utils::TvexSkinReader& Reader() { return reader_; }
  // The archive bytes read with the form (empty when the item's skin came from elsewhere).
  const std::vector<std::uint8_t>& StoredSkin() const { return stored_; }
  void Assign(const host::TPersistent& source) override;
  void DefineProperties(host::TFiler& filer) override;

 private:
  utils::TvexSkinReader reader_;
  std::vector<std::uint8_t> stored_;
};

// Which of its two skins an engine shows: the light one (its SkinFile or SkinData) always, the
// dark one (DarkBuiltInSkin or DarkSkinFile) always, or the one the system's app mode asks for.
enum TvexAppMode { amLight, amDark, amSystem };

class TvexSkinEngine : public host::TComponent {
  VEX_CLASS(TvexSkinEngine)
 public:
  // Raises "Must be placed on a Form" for any other owner.
  explicit TvexSkinEngine(host::TComponent* owner);
  ~TvexSkinEngine() override;

  // Published properties.
  bool Active() const { return active_; }
  void SetActive(bool v);
  bool Ready() const { return reader_.Ready(); }
  const std::string& Password() const { return password_; }
  void SetPassword(const std::string& v) { password_ = v; }
  const std::string& SkinFile() const { return skinFile_; }
  void SetSkinFile(const std::string& v);
  const std::wstring& ResSysMenuMin() const { return resMin_; }
  void SetResSysMenuMin(const std::wstring& v);
  const std::wstring& ResSysMenuMax() const { return resMax_; }
  void SetResSysMenuMax(const std::wstring& v);
  const std::wstring& ResSysMenuClose() const { return resClose_; }
  void SetResSysMenuClose(const std::wstring& v);
  std::int64_t DisabledTag() const { return disabledTag_; }
  void SetDisabledTag(std::int64_t v) { disabledTag_ = v; }
  bool DrawScrollBar() const { return drawScrollBar_; }
  void SetDrawScrollBar(bool v) { drawScrollBar_ = v; }
  static std::string Version() { return "4.7"; }
  bool BuiltIn() const { return builtIn_; }
  void SetBuiltIn(bool v);
  bool SkinDialogs() const { return skinDialogs_; }
  void SetSkinDialogs(bool v) { skinDialogs_ = v; }
  bool SkinAllForms() const { return skinAllForms_; }
  void SetSkinAllForms(bool v);
  TvexSkinCollection& AdditionalBuiltInSkins() { return *additional_; }
  bool NoChangeButtonsFontColor() const { return noChangeButtonsFontColor_; }
  void SetNoChangeButtonsFontColor(bool v) { noChangeButtonsFontColor_ = v; }
  host::TStringList& AutoSkinWndClassNames() { return autoSkinNames_; }
  TvexAppMode AppMode() const { return appMode_; }
  void SetAppMode(TvexAppMode v);
  // The dark skin of the pair: an additional built-in skin (its index, -1 for none) or, when
  // there is none, a skin file.
  std::int64_t DarkBuiltInSkin() const { return darkBuiltIn_; }
  void SetDarkBuiltInSkin(std::int64_t v);
  const std::string& DarkSkinFile() const { return darkSkinFile_; }
  void SetDarkSkinFile(const std::string& v);
  host::TMethodValue OnSkinChanged, OnSkinChanging;

  // Follows the system now: steps aside while high contrast is on (every window in the system's
  // own look, Active unchanged) and skins again when it goes; shows the dark or the light skin as
  // the app mode asks. Frames ask for it (posted) when the system's settings or colours change.
  void FollowSystemSettings();
  void PostSystemCheck();
  // High contrast is on: the engine shows no skin, whatever Active says.
  bool SteppedAside() const { return steppedAside_; }
  // The dark skin of the pair shows now.
  bool ShowsDarkSkin() const { return showingDark_; }

  // What other parts of the engine call.
  bool IsSkinActive() const;
  host::TColor GetSkinColor(int index) const { return reader_.GetColor(index); }
  bool GetSkinSwitch(int index) const { return reader_.GetSwitch(index); }
  bool GetSkinBitmap(int index, host::TBitmap& target, int count, int slice) const;
  host::TColor GetFormColor() const { return metrics_.FormColor; }
  host::TColor GetMenuBarStartColor() const { return metrics_.MenuColors[mcMenuBarStart]; }
  host::TPopupMenu* GetSystemMenu() const { return systemMenu_.get(); }
  const TSkinMetrics& SkinMetrics() const { return metrics_; }
  utils::TvexSkinReader* CurrentReader() { return &reader_; }
  utils::TvexSkinScrollBtnRes& ScrollBtnRes() { return scrollRes_; }
  utils::TvexSkinTabRes& TabRes() { return tabRes_; }
  utils::TvexSkinProgressBarRes& ProgressBarRes() { return progressRes_; }
  // The same at a resolution (dots per inch): the skin with its bitmaps, positions and the sizes
  // taken from them scaled for a window on a monitor of that scale. 96 gives the skin's own; any
  // other is made when first asked for and kept until the skin changes.
  const TSkinMetrics& SkinMetrics(int dpi) { return View(dpi).metrics; }
  utils::TvexSkinReader* CurrentReader(int dpi) { return &View(dpi).reader; }
  utils::TvexSkinScrollBtnRes& ScrollBtnRes(int dpi) { return View(dpi).scrollRes; }
  utils::TvexSkinTabRes& TabRes(int dpi) { return View(dpi).tabRes; }
  utils::TvexSkinProgressBarRes& ProgressBarRes(int dpi) { return View(dpi).progressRes; }
  bool Designing() const { return HasState(host::csDesigning); }

  // Makes one of the skins stored with the form current: -1 the engine's own, 0 and up the
  // additional built-in skins in their order. Every skinned window takes it at once, keeping its
  // size. Answers false, changing nothing, when there is no such stored skin.
  bool SelectBuiltInSkin(int index);
  // The engine's own stored skin (the form's "SkinData"), empty when there is none.
  const std::vector<std::uint8_t>& StoredSkinData() const { return storedSkin_; }
  // The stored skin shown now (-1 the engine's own, also when the skin came from a file).
  int SelectedBuiltInSkin() const { return selected_; }
  // Makes the skin in these archive bytes current (a program's resource, a skin downloaded): every
  // skinned window takes it at once, keeping its size, and the engine names no skin file any
  // more. A skin that fails to load raises and leaves the current one showing.
  void LoadSkinData(const std::vector<std::uint8_t>& data, const std::string& password);

  // The owner form's frame (a form frame for a framework form; the form named by PendingForm
  // while it is made).
  void AttachOwnerForm(host::TCustomForm* form);
  host::TCustomForm* PendingForm = nullptr;
  // Every open form of the application gets a frame, except those opted out or served already.
  void SkinAllOpenForms();
  // Every frame but the owner form's goes.
  void UnskinOtherForms();
  // The menus of a form this engine serves (none when the form opts out), and their way back.
  void SkinFormMenus(host::TCustomForm* form);
  void UnskinFormMenus(host::TCustomForm* form);
  // A frame wrapper for a window (none when one serves it already), and its removal.
  void AttachWindow(HWND handle, bool isDialog);
  void DetachWindow(HWND handle);
  TvexSkinWindow* FindFrame(HWND handle) const;
  // Whether the window shows: visible itself and up its parents, counting a top-level window whose
  // drawing a skin switch holds as shown (holding it takes its visible style away for the while).
  bool WindowShows(HWND w) const;
  // The frames the engine owns, in the order they were made.
  const std::vector<host::TComponentPtr<TvexSkinWindow>>& FrameList() const { return frames_; }
  // Takes ownership of a frame made elsewhere (a frame of a kind the engine does not make itself).
  void AdoptFrame(TvexSkinWindow* frame);
  // Called by a frame as it goes: the engine forgets it without freeing it again.
  void ForgetFrame(TvexSkinWindow* frame);
  TvexSkinWindow* SystemMenuTarget = nullptr;
  // The scroll bar thumb being dragged in a tracked control, one record per orientation.
  TScrollTrackInfo VScrollTrack, HScrollTrack;
  bool Detaching = false, InSkinAllForms = false;
  static constexpr int DefaultCaptionLeft = -10000;
  static constexpr host::TColor DisabledMenuFontColor = host::clGray;
  static constexpr host::TColor InactiveTitleFontColor = host::clInactiveCaption;

  // Menus.
  void SkinMenu(host::TMenu* menu);
  void UnskinMenu(host::TMenu* menu);
  void SkinMenuItem(host::TMenuItem* item);
  void MeasureMenuItem(host::TMenuItem* item, host::TCanvas& canvas, int& width, int& height);
  void DrawMenuItem(host::TMenuItem* item, host::TCanvas& canvas, RECT rect, bool selected);
  void SystemMenuPopup();

  void DefineProperties(host::TFiler& filer) override;
  void Loaded() override;
  void Notification(host::TComponent* c, host::TOperation op) override;

  // How many fresh temporary names a stored skin is saved under before its load fails.
  static int SaveAttempts() { return 5; }

 protected:
  void BeforeDestruction() override;

 private:
  void SkinChanged(utils::TvexSkinReader* reader);
  void ReadSkinData(const std::vector<std::uint8_t>& data);
  std::vector<std::uint8_t> WriteSkinData() const;
  bool HasSkinData() const;
  void UnskinMenuItem(host::TMenuItem* item);
  // A menu left alone: its Tag is the disabled tag.
  bool MenuOptedOut(const host::TMenu* menu) const { return menu && menu->Tag() == disabledTag_; }
  void SkinOwnerMenus();
  // Every menu and item this engine skinned back to the framework's own drawing (its own system
  // menu excepted).
  void UnskinAllMenus();
  // An item hooked on its own, remembered so that it can be unhooked; and the end of that.
  void HookItem(host::TMenuItem* item);
  void Forget(host::TComponent* c);
  // Menus and items inserted into the form are skinned once their construction has finished: the
  // insertion is announced from their base constructor, before they are usable.
  void QueueForSkinning(host::TComponent* c);
  void SkinPending();
  static LRESULT CALLBACK UtilityProc(HWND, UINT, WPARAM, LPARAM);

  // The skin at one resolution, with what is read from it on every paint.
  struct TScaledView {
    int dpi = 96;
    utils::TvexSkinReader reader;
    utils::TvexSkinScrollBtnRes scrollRes;
    utils::TvexSkinTabRes tabRes;
    utils::TvexSkinProgressBarRes progressRes;
    TSkinMetrics metrics;
  };
  TScaledView& View(int dpi);
  // The skin's own resolution: the reader loads into it.
  TScaledView own_;
  utils::TvexSkinReader& reader_ = own_.reader;
  utils::TvexSkinScrollBtnRes& scrollRes_ = own_.scrollRes;
  utils::TvexSkinTabRes& tabRes_ = own_.tabRes;
  utils::TvexSkinProgressBarRes& progressRes_ = own_.progressRes;
  TSkinMetrics& metrics_ = own_.metrics;
  // Every other resolution asked for since the skin last changed.
  std::vector<std::unique_ptr<TScaledView>> scaledViews_;
  // Fills a view's figures from its reader.
  static void ReadMetrics(TScaledView& view);
  // Calls `action` for each frame made so far that is still alive when its turn comes (a frame's
  // window may be destroyed, and the frame with it, while another frame is worked on).
  template <class F>
  void ForEachFrame(F&& action);

  std::vector<host::TComponentPtr<TvexSkinWindow>> frames_;
  std::unique_ptr<host::TPopupMenu, host::TComponentDeleter> systemMenu_;
  std::unique_ptr<TvexSkinCollection> additional_;
  host::TStringList autoSkinNames_;

  // Skins every frame (or gives every window its own look back) and the menus as Active, high
  // contrast and the skin say.
  void ApplyActivity();
  // Shows the light or the dark skin of the pair as the app mode asks (`again`: also when the
  // one asked for seems to show, because what it names changed); a skin that fails to load
  // leaves the one that shows.
  void ShowLightOrDark(bool again = false);
  TvexAppMode appMode_ = amLight;
  std::int64_t darkBuiltIn_ = -1;
  std::string darkSkinFile_;
  bool steppedAside_ = false, showingDark_ = false, systemCheckPosted_ = false;
  HWND UtilityWindow();
  bool active_ = false, builtIn_ = false, drawScrollBar_ = true, skinDialogs_ = true, skinAllForms_ = true,
       noChangeButtonsFontColor_ = false;
  std::string password_, skinFile_;
  std::wstring resMin_ = L"Mi&nimize", resMax_ = L"Ma&ximize/Restore", resClose_ = L"&Close";
  std::int64_t disabledTag_ = 9999;
  // The skin read with the form, kept to switch back to it; the stored skin shown now.
  std::vector<std::uint8_t> storedSkin_;
  int selected_ = -1;
  // The top-level windows whose drawing a skin switch holds now (nested switches add theirs).
  std::vector<HWND> redrawHeld_;
  // Loads archive bytes into the engine's own reader through a temporary file.
  void LoadSkinBytes(const std::vector<std::uint8_t>& data, const std::string& password);
  std::vector<host::TComponent*> pending_;
  HWND utility_ = nullptr;
  // What this engine skinned: menus, and items hooked on their own (inserted into the form
  // outside a skinned menu). Both hear of the end of what they hold (free notifications).
  std::vector<host::TMenu*> skinnedMenus_;
  std::vector<host::TMenuItem*> hookedItems_;
  // Shared with the menu-item handlers: cleared when the engine goes, so a handler that outlives
  // it (an item moved to a menu it never saw) falls back to the framework's drawing.
  std::shared_ptr<TvexSkinEngine*> self_ = std::make_shared<TvexSkinEngine*>(this);
};

// The engine that installed the thread's window-creation hook, if any.
TvexSkinEngine* HookEngine();

// Where a skin file named by the user is looked for: the name itself, then its file name in the
// program's folder, the Windows folder and the system folder. Empty when found nowhere.
std::filesystem::path FindSkinFile(const std::string& value);

}  // namespace vex::engine
