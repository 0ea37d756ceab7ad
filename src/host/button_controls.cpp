#include "host/button_controls.h"

#include "host/prop_builder.h"

namespace vex::host {

namespace {

// Sets or clears style bits of a live window and has it repaint (buttons read them as they paint).
void SetStyleBits(HWND wnd, DWORD bits, bool on) {
  if (!wnd) return;
  const LONG style = GetWindowLongW(wnd, GWL_STYLE);
  SetWindowLongW(wnd, GWL_STYLE, on ? (style | static_cast<LONG>(bits)) : (style & ~static_cast<LONG>(bits)));
  InvalidateRect(wnd, nullptr, TRUE);
}

}  // namespace

// ----- check boxes -----

const TClassInfo& TCheckBox::StaticClass() {
  static TClassInfo info("TCheckBox", &TWinControl::StaticClass(), ComponentFactory<TCheckBox>);
  static const bool once = [] {
    TPropBuilder<TCheckBox> b(info);
    b.Enum("Alignment", "TLeftRight", {"taLeftJustify", "taRightJustify"}, [](const TCheckBox& c) { return c.Alignment(); },
           [](TCheckBox& c, std::int64_t v) { c.SetAlignment(v == 0 ? taLeftJustify : taRightJustify); })
        .defaultValue = std::int64_t{taRightJustify};
    b.Boolean("AllowGrayed", [](const TCheckBox& c) { return c.AllowGrayed(); }, [](TCheckBox& c, std::int64_t v) { c.SetAllowGrayed(v != 0); })
        .defaultValue = std::int64_t{0};
    b.Boolean("Checked", [](const TCheckBox& c) { return c.Checked(); }, [](TCheckBox& c, std::int64_t v) { c.SetChecked(v != 0); })
        .defaultValue = std::int64_t{0};
    b.Enum("State", "TCheckBoxState", {"cbUnchecked", "cbChecked", "cbGrayed"}, [](const TCheckBox& c) { return c.State(); },
           [](TCheckBox& c, std::int64_t v) { c.SetState(v == 1 ? cbChecked : v == 2 ? cbGrayed : cbUnchecked); })
        .defaultValue = std::int64_t{cbUnchecked};
    b.Boolean("WordWrap", [](const TCheckBox& c) { return c.WordWrap(); }, [](TCheckBox& c, std::int64_t v) { c.SetWordWrap(v != 0); })
        .defaultValue = std::int64_t{0};
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

TCheckBox::TCheckBox(TComponent* owner, const TClassInfo& cls) : TWinControl(owner, cls) {
  width_ = 97;
  height_ = 17;
  tabStop_ = true;
}

void TCheckBox::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.baseClass = L"BUTTON";
  // The framework keeps the state: the control only shows it.
  p.style |= BS_3STATE | (alignment_ == taLeftJustify ? BS_LEFTTEXT : 0) | (wordWrap_ ? BS_MULTILINE : 0);
}

void TCheckBox::CreateWnd() {
  TWinControl::CreateWnd();
  if (handle_) SendMessageW(handle_, BM_SETCHECK, static_cast<WPARAM>(state_), 0);
}

void TCheckBox::SetState(TCheckBoxState s) {
  state_ = s;
  if (handle_) SendMessageW(handle_, BM_SETCHECK, static_cast<WPARAM>(s), 0);
}

void TCheckBox::SetAlignment(TAlignment a) {
  alignment_ = a == taLeftJustify ? taLeftJustify : taRightJustify;
  SetStyleBits(handle_, BS_LEFTTEXT, alignment_ == taLeftJustify);
}

void TCheckBox::SetWordWrap(bool w) {
  wordWrap_ = w;
  SetStyleBits(handle_, BS_MULTILINE, w);
}

void TCheckBox::Toggle() {
  switch (state_) {
    case cbUnchecked: SetState(cbChecked); break;
    case cbChecked: SetState(allowGrayed_ ? cbGrayed : cbUnchecked); break;
    case cbGrayed: SetState(cbUnchecked); break;
  }
  Click();
}

void TCheckBox::WndProc(TMessage& m) {
  if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == BN_CLICKED) {
    Toggle();
    return;
  }
  TWinControl::WndProc(m);
}

// ----- radio buttons -----

const TClassInfo& TRadioButton::StaticClass() {
  static TClassInfo info("TRadioButton", &TWinControl::StaticClass(), ComponentFactory<TRadioButton>);
  static const bool once = [] {
    TPropBuilder<TRadioButton> b(info);
    b.Enum("Alignment", "TLeftRight", {"taLeftJustify", "taRightJustify"}, [](const TRadioButton& c) { return c.Alignment(); },
           [](TRadioButton& c, std::int64_t v) { c.SetAlignment(v == 0 ? taLeftJustify : taRightJustify); })
        .defaultValue = std::int64_t{taRightJustify};
    b.Boolean("Checked", [](const TRadioButton& c) { return c.Checked(); }, [](TRadioButton& c, std::int64_t v) { c.SetChecked(v != 0); })
        .defaultValue = std::int64_t{0};
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

TRadioButton::TRadioButton(TComponent* owner, const TClassInfo& cls) : TWinControl(owner, cls) {
  width_ = 113;
  height_ = 17;
}

void TRadioButton::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.baseClass = L"BUTTON";
  p.style |= BS_RADIOBUTTON | (alignment_ == taLeftJustify ? BS_LEFTTEXT : 0);
}

void TRadioButton::CreateWnd() {
  TWinControl::CreateWnd();
  if (handle_) SendMessageW(handle_, BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::SetChecked(bool c) {
  if (checked_ == c) return;
  checked_ = c;
  if (handle_) SendMessageW(handle_, BM_SETCHECK, c ? BST_CHECKED : BST_UNCHECKED, 0);
  tabStop_ = c;
  // One checked radio button per parent.
  if (c && parent_)
    for (int i = 0; i < parent_->ControlCount(); ++i)
      if (TControl* sibling = parent_->Controls(i); sibling != this && sibling->Is<TRadioButton>())
        static_cast<TRadioButton*>(sibling)->SetChecked(false);
}

void TRadioButton::SetAlignment(TAlignment a) {
  alignment_ = a == taLeftJustify ? taLeftJustify : taRightJustify;
  SetStyleBits(handle_, BS_LEFTTEXT, alignment_ == taLeftJustify);
}

void TRadioButton::WndProc(TMessage& m) {
  if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == BN_CLICKED) {
    SetChecked(true);
    Click();
    return;
  }
  TWinControl::WndProc(m);
}

}  // namespace vex::host
