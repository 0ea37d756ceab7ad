#include "host/button_controls.h"

#include "host/prop_builder.h"

namespace vex::host {

// ----- what both share -----

const TClassInfo& TButtonControl::StaticClass() {
  static TClassInfo info("TButtonControl", &TWinControl::StaticClass());
  static const bool once = [] {
    TPropBuilder<TButtonControl> b(info);
    b.Enum("Alignment", "TLeftRight", {"taLeftJustify", "taRightJustify"}, [](const TButtonControl& c) { return c.Alignment(); },
           [](TButtonControl& c, std::int64_t v) { c.SetAlignment(v == 0 ? taLeftJustify : taRightJustify); })
        .defaultValue = std::int64_t{taRightJustify};
    return true;
  }();
  (void)once;
  return info;
}

TButtonControl::TButtonControl(TComponent* owner, const TClassInfo& cls) : TWinControl(owner, cls) {
  // Check boxes and radio buttons stand on their parent: its colour is theirs unless set.
  parentColor_ = true;
}

void TButtonControl::SetAlignment(TAlignment a) {
  alignment_ = a == taLeftJustify ? taLeftJustify : taRightJustify;
  SetStyleBits(BS_LEFTTEXT, alignment_ == taLeftJustify);
}

void TButtonControl::SetStyleBits(DWORD bits, bool on) {
  if (!handle_) return;  // the next window takes them from CreateParams
  const LONG style = GetWindowLongW(handle_, GWL_STYLE);
  SetWindowLongW(handle_, GWL_STYLE, on ? (style | static_cast<LONG>(bits)) : (style & ~static_cast<LONG>(bits)));
  InvalidateRect(handle_, nullptr, TRUE);
}

void TButtonControl::ShowCheckState() {
  if (handle_) SendMessageW(handle_, BM_SETCHECK, CheckState(), 0);
}

void TButtonControl::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.baseClass = L"BUTTON";
  if (alignment_ == taLeftJustify) p.style |= BS_LEFTTEXT;
}

void TButtonControl::CreateWnd() {
  TWinControl::CreateWnd();
  ShowCheckState();
}

void TButtonControl::WndProc(TMessage& m) {
  if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == BN_CLICKED) {
    Clicked();
    return;
  }
  TWinControl::WndProc(m);
}

// ----- check boxes -----

const TClassInfo& TCustomCheckBox::StaticClass() {
  static const TClassInfo info("TCustomCheckBox", &TButtonControl::StaticClass());
  return info;
}

const TClassInfo& TCheckBox::StaticClass() {
  static TClassInfo info("TCheckBox", &TCustomCheckBox::StaticClass(), ComponentFactory<TCheckBox>);
  static const bool once = [] {
    TPropBuilder<TCheckBox> b(info);
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

TCustomCheckBox::TCustomCheckBox(TComponent* owner, const TClassInfo& cls) : TButtonControl(owner, cls) {
  width_ = 97;
  height_ = 17;
  tabStop_ = true;
}

void TCustomCheckBox::CreateParams(TCreateParams& p) {
  TButtonControl::CreateParams(p);
  // The framework keeps the state: the control only shows it.
  p.style |= BS_3STATE | (wordWrap_ ? BS_MULTILINE : 0);
}

void TCustomCheckBox::SetState(TCheckBoxState s) {
  state_ = s;
  ShowCheckState();
}

void TCustomCheckBox::SetWordWrap(bool w) {
  wordWrap_ = w;
  SetStyleBits(BS_MULTILINE, w);
}

void TCustomCheckBox::Clicked() {
  switch (state_) {
    case cbUnchecked: SetState(cbChecked); break;
    case cbChecked: SetState(allowGrayed_ ? cbGrayed : cbUnchecked); break;
    case cbGrayed: SetState(cbUnchecked); break;
  }
  Click();
}

// ----- radio buttons -----

const TClassInfo& TRadioButton::StaticClass() {
  static TClassInfo info("TRadioButton", &TButtonControl::StaticClass(), ComponentFactory<TRadioButton>);
  static const bool once = [] {
    TPropBuilder<TRadioButton> b(info);
    b.Boolean("Checked", [](const TRadioButton& c) { return c.Checked(); }, [](TRadioButton& c, std::int64_t v) { c.SetChecked(v != 0); })
        .defaultValue = std::int64_t{0};
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

TRadioButton::TRadioButton(TComponent* owner, const TClassInfo& cls) : TButtonControl(owner, cls) {
  width_ = 113;
  height_ = 17;
}

void TRadioButton::CreateParams(TCreateParams& p) {
  TButtonControl::CreateParams(p);
  p.style |= BS_RADIOBUTTON;
}

void TRadioButton::SetChecked(bool c) {
  if (checked_ == c) return;
  checked_ = c;
  ShowCheckState();
  tabStop_ = c;
  // One checked radio button per parent.
  if (c && parent_)
    for (int i = 0; i < parent_->ControlCount(); ++i)
      if (TControl* sibling = parent_->Controls(i); sibling != this && sibling->Is<TRadioButton>())
        static_cast<TRadioButton*>(sibling)->SetChecked(false);
}

void TRadioButton::Clicked() {
  SetChecked(true);
  Click();
}

}  // namespace vex::host
