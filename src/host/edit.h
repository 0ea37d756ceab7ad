// Single-line edit fields on the platform's "EDIT" control: text, read-only, maximum length,
// password character, change notification.
#pragma once

#include <windows.h>

#include "host/win_control.h"

namespace vex::host {

class TCustomEdit : public TWinControl {
  VEX_CLASS(TCustomEdit)
 public:
  explicit TCustomEdit(TComponent* owner, const TClassInfo& cls = StaticClass());

  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v);
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int v);
  wchar_t PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(wchar_t c);
  void SelectAll();
  TNotifyEvent OnChange;

 protected:
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;
  void WndProc(TMessage& m) override;

 private:
  bool readOnly_ = false;
  int maxLength_ = 0;
  wchar_t passwordChar_ = 0;
};

class TEdit : public TCustomEdit {
  VEX_CLASS(TEdit)
 public:
  explicit TEdit(TComponent* owner, const TClassInfo& cls = StaticClass()) : TCustomEdit(owner, cls) {}
};

}  // namespace vex::host
