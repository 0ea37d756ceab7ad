// The gallery's main form: menus, a tool area, a status line and commands that open every kind
// of window the engine skins.
#pragma once

#include "engine/skin_engine.h"
#include "host/form.h"
#include "host/image_list.h"
#include "host/menus.h"
#include "host/std_controls.h"

namespace vex::gallery {

class TGalleryForm : public host::TForm {
 public:
  explicit TGalleryForm(host::TComponent* owner);

  void ShowNativeMessageBox();
  void ShowFrameworkMessage();
  void ShowNativeDialog();
  // The open-file dialog, in `folder` when one is given.
  void ShowOpenDialog(const wchar_t* folder = nullptr);
  void ShowColourDialog();
  host::TForm* OpenMdiWindow();
  // A second form, opened after the main one: the window hook skins it by its class.
  host::TForm* OpenSecondForm();
  // A form of scrolling controls: a memo, a list box, a list view, a tree view, a grid and
  // scroll bars, each with its bars skinned.
  host::TForm* OpenListsWindow();
  // A form of range controls (track bars with ticks and a selection, progress bars and up-down
  // buttons beside their edits, in both orientations) and drop-down controls (combo boxes of
  // each style, one with images, date and time pickers).
  host::TForm* OpenRangesWindow();
  // A form of containers and bars: tool bars in list and icon modes, a cool bar, group boxes (one
  // right to left), panels with bevels, an embedded frame, labels, a page control with images and
  // a status bar with a size grip.
  host::TForm* OpenContainersWindow();
  // The skin engine read with the stored form, if any.
  engine::TvexSkinEngine* Engine() const;
  // The default skin (-1) or the dark one (0), both stored with the form; skinning on or off.
  void UseSkin(int index);
  // The default skin or the dark one as the system's app mode says, following its changes.
  void FollowSystemMode();
  void SetSkinning(bool on);
  host::TPopupMenu* Popup() const { return popup_; }
  host::TMainMenu* MainMenu() const { return menu_; }
  // The skin engine read with the stored form, if any.
  host::TPopupMenu* SystemMenu() const;
  void SetStatus(const std::wstring& text);

 protected:
  void WndProc(host::TMessage& m) override;

 private:
  host::TMenuItem* Item(host::TMenuItem* parent, const std::wstring& caption, std::function<void()> action = nullptr,
                        int image = -1, host::TShortCut sc = 0);

  host::TMainMenu* menu_ = nullptr;
  host::TPopupMenu* popup_ = nullptr;
  host::TImageList* images_ = nullptr;
  host::TPanel* tools_ = nullptr;
  host::TPanel* status_ = nullptr;
  host::TPanel* body_ = nullptr;
  host::TMenuItem* skinItems_[3] = {nullptr, nullptr, nullptr};
  host::TMenuItem* skinningItem_ = nullptr;
  // Builds the showcase of buttons, check boxes and radio buttons on the body.
  void AddControls();
};

}  // namespace vex::gallery
