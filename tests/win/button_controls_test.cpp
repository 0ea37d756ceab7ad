// The framework's check boxes and radio buttons on real windows: clicks, states, groups by
// parent, the text side, and streaming.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "host/application.h"
#include "host/button_controls.h"
#include "host/form.h"
#include "host/form_stream.h"
#include "test_support.h"

namespace vex::host {
namespace {

void Pump() {
  for (int i = 0; i < 5; ++i) Application().ProcessMessages();
}

class ButtonControls : public ::testing::Test {
 protected:
  void SetUp() override {
    form.reset(new TForm(nullptr));
    form->SetName("Form1");
    form->SetBounds(50, 50, 300, 200);
    form->Show();
    Pump();
  }
  TComponentPtr<TForm> form;
};

TEST_F(ButtonControls, ACheckBoxClickMovesThroughItsStates) {
  auto* box = new TCheckBox(form.get());
  box->SetParent(form.get());
  box->SetCaption(L"Check");
  int clicks = 0;
  box->OnClick.handler = [&](TObject*) { ++clicks; };
  const struct {
    bool allowGrayed;
    TCheckBoxState states[3];
  } cases[] = {{false, {cbChecked, cbUnchecked, cbChecked}}, {true, {cbChecked, cbGrayed, cbUnchecked}}};
  for (const auto& c : cases) {
    box->SetState(cbUnchecked);
    box->SetAllowGrayed(c.allowGrayed);
    clicks = 0;
    for (int i = 0; i < 3; ++i) {
      SendMessageW(box->Handle(), BM_CLICK, 0, 0);
      Pump();
      EXPECT_EQ(box->State(), c.states[i]) << "click " << i << " allowGrayed " << c.allowGrayed;
      EXPECT_EQ(SendMessageW(box->Handle(), BM_GETCHECK, 0, 0), static_cast<LRESULT>(c.states[i]));
    }
    EXPECT_EQ(clicks, 3);
  }
  // Setting the state shows it at once and is no click.
  box->SetChecked(true);
  EXPECT_EQ(SendMessageW(box->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(clicks, 3);
}

TEST_F(ButtonControls, TheTextSideAndWordWrapAreStyleBits) {
  auto* box = new TCheckBox(form.get());
  box->SetParent(form.get());
  auto* radio = new TRadioButton(form.get());
  radio->SetParent(form.get());
  EXPECT_EQ(GetWindowLongW(box->Handle(), GWL_STYLE) & BS_LEFTTEXT, 0);
  box->SetAlignment(taLeftJustify);
  radio->SetAlignment(taLeftJustify);
  box->SetWordWrap(true);
  EXPECT_NE(GetWindowLongW(box->Handle(), GWL_STYLE) & BS_LEFTTEXT, 0);
  EXPECT_NE(GetWindowLongW(box->Handle(), GWL_STYLE) & BS_MULTILINE, 0);
  EXPECT_NE(GetWindowLongW(radio->Handle(), GWL_STYLE) & BS_LEFTTEXT, 0);
  EXPECT_EQ(GetWindowLongW(box->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_3STATE);
  EXPECT_EQ(GetWindowLongW(radio->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_RADIOBUTTON);
}

TEST_F(ButtonControls, RadioButtonsAreGroupedByTheirParent) {
  auto* panel = new TPanel(form.get());
  panel->SetParent(form.get());
  panel->SetBounds(150, 0, 120, 100);
  TRadioButton* a = new TRadioButton(form.get());
  TRadioButton* b = new TRadioButton(form.get());
  TRadioButton* other = new TRadioButton(form.get());
  a->SetParent(form.get());
  b->SetParent(form.get());
  b->SetTop(30);
  other->SetParent(panel);
  other->SetChecked(true);
  a->SetChecked(true);
  int clicks = 0;
  b->OnClick.handler = [&](TObject*) { ++clicks; };
  SendMessageW(b->Handle(), BM_CLICK, 0, 0);
  Pump();
  EXPECT_TRUE(b->Checked());
  EXPECT_FALSE(a->Checked());
  EXPECT_EQ(SendMessageW(a->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_TRUE(other->Checked()) << "another parent, another group";
  EXPECT_EQ(clicks, 1);
  // A click on the checked one leaves it checked.
  SendMessageW(b->Handle(), BM_CLICK, 0, 0);
  Pump();
  EXPECT_TRUE(b->Checked());
}

TEST_F(ButtonControls, StatesStreamAndReadBack) {
  auto* box = new TCheckBox(form.get());
  box->SetName("CheckBox1");
  box->SetParent(form.get());
  box->SetAllowGrayed(true);
  box->SetState(cbGrayed);
  box->SetAlignment(taLeftJustify);
  auto* radio = new TRadioButton(form.get());
  radio->SetName("RadioButton1");
  radio->SetParent(form.get());
  radio->SetChecked(true);
  const std::string text = WriteComponentText(*form);
  EXPECT_NE(text.find("State = cbGrayed"), std::string::npos) << text;
  TComponentPtr<TForm> g(new TForm(nullptr));
  ReadComponentText(text, *g);
  auto* box2 = static_cast<TCheckBox*>(g->FindComponent("CheckBox1"));
  auto* radio2 = static_cast<TRadioButton*>(g->FindComponent("RadioButton1"));
  ASSERT_NE(box2, nullptr);
  ASSERT_NE(radio2, nullptr);
  EXPECT_EQ(box2->State(), cbGrayed);
  EXPECT_TRUE(box2->AllowGrayed());
  EXPECT_EQ(box2->Alignment(), taLeftJustify);
  EXPECT_TRUE(radio2->Checked());
  EXPECT_EQ(WriteComponentText(*g), text);
}

}  // namespace
}  // namespace vex::host
