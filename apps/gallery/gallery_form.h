// The gallery's main form: menus, a tool area, a status line and commands that open every kind
// of window the engine skins.
#pragma once

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
  void ShowOpenDialog();
  void ShowColourDialog();
  host::TForm* OpenMdiWindow();
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
};

}  // namespace vex::gallery
