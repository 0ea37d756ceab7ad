// The framework's message dialog ("TMessageForm") and the usual calls that show one.
#pragma once

#include <string>

#include "host/form.h"

namespace vex::host {

enum TMsgDlgType : int { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn : int { mbYes = 1, mbNo = 2, mbOK = 4, mbCancel = 8, mbAbort = 16, mbRetry = 32, mbIgnore = 64, mbAll = 128,
                        mbNoToAll = 256, mbYesToAll = 512, mbHelp = 1024 };

class TMessageForm : public TForm {
  VEX_CLASS(TMessageForm)
 public:
  explicit TMessageForm(TComponent* owner, const TClassInfo& cls = StaticClass());
  TLabel* Message() const { return message_; }

 protected:
  friend TMessageForm* CreateMessageDialog(const std::wstring&, TMsgDlgType, int);
  void PaintWindow(HDC dc) override;

 private:
  TLabel* message_ = nullptr;
  HICON icon_ = nullptr;  // a shared system icon, not owned
};

// A dialog with the text, the icon of its type and the buttons asked for (in the usual order),
// sized to fit; the caller shows it (ShowModal) and frees it.
TMessageForm* CreateMessageDialog(const std::wstring& text, TMsgDlgType type, int buttons);
// Shows one modally and returns the modal result of the button pressed (mrCancel when closed).
int MessageDlg(const std::wstring& text, TMsgDlgType type, int buttons);
void ShowMessage(const std::wstring& text);

}  // namespace vex::host
