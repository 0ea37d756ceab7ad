#include "host/edit.h"

#include "host/prop_builder.h"

namespace vex::host {

const TClassInfo& TCustomEdit::StaticClass() {
  static TClassInfo info("TCustomEdit", &TWinControl::StaticClass());
  static const bool once = [] {
    TPropBuilder<TCustomEdit> b(info);
    b.Boolean("ReadOnly", [](const TCustomEdit& x) { return x.ReadOnly(); }, [](TCustomEdit& x, std::int64_t v) { x.SetReadOnly(v != 0); })
        .defaultValue = std::int64_t{0};
    b.Integer("MaxLength", [](const TCustomEdit& x) { return x.MaxLength(); },
              [](TCustomEdit& x, std::int64_t v) { x.SetMaxLength(static_cast<int>(v)); })
        .defaultValue = std::int64_t{0};
    return true;
  }();
  (void)once;
  return info;
}

const TClassInfo& TEdit::StaticClass() {
  static TClassInfo info("TEdit", &TCustomEdit::StaticClass(), ComponentFactory<TEdit>);
  static const bool once = [] {
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

TCustomEdit::TCustomEdit(TComponent* owner, const TClassInfo& cls) : TWinControl(owner, cls) {
  width_ = 121;
  height_ = 21;
  tabStop_ = true;
}

void TCustomEdit::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.baseClass = L"EDIT";
  p.style |= ES_AUTOHSCROLL | ES_LEFT;
  if (readOnly_) p.style |= ES_READONLY;
  if (passwordChar_) p.style |= ES_PASSWORD;
  p.exStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::CreateWnd() {
  TWinControl::CreateWnd();
  SendMessageW(handle_, EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
  if (passwordChar_) SendMessageW(handle_, EM_SETPASSWORDCHAR, passwordChar_, 0);
}

void TCustomEdit::SetReadOnly(bool v) {
  readOnly_ = v;
  if (handle_) SendMessageW(handle_, EM_SETREADONLY, v, 0);
}

void TCustomEdit::SetMaxLength(int v) {
  maxLength_ = v < 0 ? 0 : v;
  if (handle_) SendMessageW(handle_, EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

void TCustomEdit::SetPasswordChar(wchar_t c) {
  passwordChar_ = c;
  if (handle_) {
    SendMessageW(handle_, EM_SETPASSWORDCHAR, c, 0);
    InvalidateRect(handle_, nullptr, TRUE);
  }
}

void TCustomEdit::SelectAll() {
  if (handle_) SendMessageW(handle_, EM_SETSEL, 0, -1);
}

void TCustomEdit::WndProc(TMessage& m) {
  if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == EN_CHANGE) {
    if (OnChange) OnChange(this);
    m.Result = 0;
    return;
  }
  TWinControl::WndProc(m);
}

}  // namespace vex::host
