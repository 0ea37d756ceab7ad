// The framework's tool bar on the common control: its buttons as the control shows them, clicks,
// check groups, indent, automatic height and streaming.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/application.h"
#include "host/form.h"
#include "host/form_stream.h"
#include "host/edit.h"
#include "host/menus.h"
#include "host/tool_bar.h"
#include "test_support.h"

namespace vex::host {
namespace {

void Pump() {
  for (int i = 0; i < 5; ++i) Application().ProcessMessages();
}

class ToolBars : public ::testing::Test {
 protected:
  void SetUp() override {
    form.reset(new TForm(nullptr));
    form->SetName("Form1");
    form->SetBounds(50, 50, 400, 200);
    bar = new TToolBar(form.get());
    bar->SetName("ToolBar1");
    bar->SetParent(form.get());
    form->Show();
    Pump();
  }
  TToolButton* Add(const std::wstring& caption, TToolButtonStyle style = tbsButton) {
    auto* b = new TToolButton(form.get());
    b->SetStyle(style);
    b->SetCaption(caption);
    b->SetParent(bar);
    return b;
  }
  // A real click at the button's middle, as the control sees it.
  void ClickAt(TToolButton* b) {
    const RECT r = bar->ButtonRect(b);
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageW(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(bar->Handle(), WM_LBUTTONUP, 0, at);
    Pump();
  }
  std::wstring NativeText(TToolButton* b) {
    wchar_t text[64] = {};
    const LRESULT n = SendMessageW(bar->Handle(), TB_GETBUTTONTEXTW, b->Command(), reinterpret_cast<LPARAM>(text));
    return n > 0 ? std::wstring(text) : std::wstring();
  }
  TComponentPtr<TForm> form;
  TToolBar* bar = nullptr;
};

TEST_F(ToolBars, ButtonsAreTheControlsButtonsInOrderWithTheirCaptions) {
  TToolButton* open = Add(L"Open");
  Add(L"", tbsSeparator);
  TToolButton* save = Add(L"Save");
  EXPECT_EQ(SendMessageW(bar->Handle(), TB_BUTTONCOUNT, 0, 0), 3);
  EXPECT_EQ(open->Index(), 0);
  EXPECT_EQ(save->Index(), 2);
  // Captions show only when asked for.
  EXPECT_EQ(NativeText(open), L"");
  bar->SetShowCaptions(true);
  EXPECT_EQ(NativeText(open), L"Open");
  save->SetCaption(L"Save as");
  EXPECT_EQ(NativeText(save), L"Save as");
  // The windowless buttons stand where the control put them.
  const RECT r = bar->ButtonRect(save);
  EXPECT_EQ(save->Left(), r.left);
  EXPECT_EQ(save->Width(), r.right - r.left);
  EXPECT_GT(save->Left(), open->Left() + open->Width());
  EXPECT_EQ(bar->ButtonAtPos(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}), save);
  // A button freed leaves the bar.
  TComponent::Free(open);
  EXPECT_EQ(SendMessageW(bar->Handle(), TB_BUTTONCOUNT, 0, 0), 2);
  EXPECT_EQ(bar->ButtonCount(), 2);
  EXPECT_EQ(save->Index(), 1);
}

TEST_F(ToolBars, AClickReachesTheButtonAndCheckGroupsKeepOneDown) {
  bar->SetShowCaptions(true);
  TToolButton* plain = Add(L"Go");
  int clicks = 0;
  plain->OnClick.handler = [&clicks](TObject*) { ++clicks; };
  ClickAt(plain);
  EXPECT_EQ(clicks, 1);
  TToolButton* left = Add(L"Left", tbsCheck);
  TToolButton* right = Add(L"Right", tbsCheck);
  left->SetGrouped(true);
  right->SetGrouped(true);
  ClickAt(left);
  EXPECT_TRUE(left->Down());
  ClickAt(right);
  EXPECT_TRUE(right->Down());
  EXPECT_FALSE(left->Down());
  // Set in code, the group follows too, and the control shows it.
  left->SetDown(true);
  EXPECT_FALSE(right->Down());
  EXPECT_NE(SendMessageW(bar->Handle(), TB_GETSTATE, left->Command(), 0) & TBSTATE_CHECKED, 0);
  EXPECT_EQ(SendMessageW(bar->Handle(), TB_GETSTATE, right->Command(), 0) & TBSTATE_CHECKED, 0);
  // A disabled button does not click.
  plain->SetEnabled(false);
  ClickAt(plain);
  EXPECT_EQ(clicks, 1);
  // A drop-down button clicks from its main part; its arrow has a part of its own beside it.
  TToolButton* drop = Add(L"Colour", tbsDropDown);
  int dropClicks = 0;
  drop->OnClick.handler = [&dropClicks](TObject*) { ++dropClicks; };
  ClickAt(drop);
  EXPECT_EQ(dropClicks, 1);
}

TEST_F(ToolBars, IndentAndAutomaticHeight) {
  bar->SetShowCaptions(true);
  TToolButton* first = Add(L"First");
  bar->SetIndent(12);
  EXPECT_EQ(bar->ButtonRect(first).left, 12);
  for (int i = 0; i < 8; ++i) Add(L"Button " + std::to_wstring(i));
  bar->SetAutoSize(true);
  const int oneRow = bar->ButtonRect(first).bottom;
  // Narrowed, the wrapping bar grows to hold every row of buttons.
  bar->SetAlign(alNone);
  bar->SetBounds(0, 0, 120, bar->Height());
  bar->SetAutoSize(false);
  bar->SetAutoSize(true);
  int lowest = 0;
  for (int i = 0; i < bar->ButtonCount(); ++i) lowest = std::max<int>(lowest, bar->ButtonRect(bar->Buttons(i)).bottom);
  EXPECT_GT(lowest, oneRow);
  EXPECT_EQ(bar->ClientHeight(), lowest);
}

TEST_F(ToolBars, StreamedWithItsButtons) {
  bar->SetShowCaptions(true);
  bar->SetIndent(4);
  TToolButton* b = Add(L"Bold", tbsCheck);
  b->SetName("BoldButton");
  b->SetDown(true);
  const std::string text = WriteComponentText(*form);
  TComponentPtr<TForm> copy(new TForm(nullptr));
  ReadComponentText(text, *copy);
  auto* bar2 = static_cast<TToolBar*>(copy->FindComponent("ToolBar1"));
  ASSERT_NE(bar2, nullptr);
  EXPECT_TRUE(bar2->ShowCaptions());
  EXPECT_EQ(bar2->Indent(), 4);
  ASSERT_EQ(bar2->ButtonCount(), 1);
  EXPECT_EQ(bar2->Buttons(0)->Caption(), L"Bold");
  EXPECT_EQ(bar2->Buttons(0)->Style(), tbsCheck);
  EXPECT_TRUE(bar2->Buttons(0)->Down());
}

// What a scripted menu session saw: the open menu button at each step.
struct TMenuScript {
  TToolBar* bar = nullptr;
  std::vector<UINT> keys;  // sent one per tick to the open menu
  std::vector<int> seen;   // the open menu button at each tick
  std::size_t step = 0;
};
TMenuScript* gScript = nullptr;

void CALLBACK ScriptTick(HWND, UINT, UINT_PTR id, DWORD) {
  TMenuScript* s = gScript;
  if (!s) return;
  HWND menu = FindWindowW(L"#32768", nullptr);
  if (!menu) return;  // not open yet
  s->seen.push_back(s->bar->OpenMenuIndex());
  if (s->step < s->keys.size()) {
    PostMessageW(menu, WM_KEYDOWN, s->keys[s->step], 0);
    PostMessageW(menu, WM_KEYUP, s->keys[s->step], 0);
    ++s->step;
  } else {
    EndMenu();
  }
  if (s->step > 20) KillTimer(nullptr, id);
}

TEST_F(ToolBars, MenuButtonsOpenTheirMenusAndArrowsMoveBetweenThem) {
  auto* menu = new TMainMenu(form.get());
  int opened = 0;
  TMenuItem* tops[2] = {};
  const wchar_t* captions[2] = {L"&File", L"&Edit"};
  for (int i = 0; i < 2; ++i) {
    tops[i] = new TMenuItem(form.get());
    tops[i]->SetCaption(captions[i]);
    menu->Items()->Add(tops[i]);
    auto* sub = new TMenuItem(form.get());
    sub->SetCaption(i == 0 ? L"&Open" : L"&Copy");
    if (i == 0) sub->OnClick.handler = [&opened](TObject*) { ++opened; };
    tops[i]->Add(sub);
  }
  bar->SetShowCaptions(true);
  TToolButton* buttons[2] = {};
  for (int i = 0; i < 2; ++i) {
    buttons[i] = Add(L"");
    buttons[i]->SetMenuItem(tops[i]);
  }
  EXPECT_EQ(buttons[0]->Caption(), L"&File") << "a menu button takes its item's caption";
  EXPECT_EQ(bar->ButtonByAccelerator(L'e'), 1);
  EXPECT_EQ(bar->ButtonByAccelerator(L'x'), -1);

  // Right moves to the next menu, Right again round to the first, Left back; then the menu ends.
  TMenuScript script;
  script.bar = bar;
  script.keys = {VK_RIGHT, VK_RIGHT, VK_LEFT, VK_ESCAPE};
  gScript = &script;
  const UINT_PTR timer = SetTimer(nullptr, 0, 60, ScriptTick);
  bar->TrackMenu(0);
  KillTimer(nullptr, timer);
  gScript = nullptr;
  ASSERT_GE(script.seen.size(), 4u);
  EXPECT_EQ(script.seen[0], 0);
  EXPECT_EQ(script.seen[1], 1);
  EXPECT_EQ(script.seen[2], 0);
  EXPECT_EQ(script.seen[3], 1);
  EXPECT_EQ(bar->OpenMenuIndex(), -1);
  EXPECT_EQ(SendMessageW(bar->Handle(), TB_ISBUTTONPRESSED, buttons[0]->Command(), 0), 0);

  // Alt with a button's letter opens its menu from the form, when the window has no menu bar of
  // its own; Escape closes it and leaves its button hot for the keyboard.
  for (const auto& [letter, want] : {std::pair<wchar_t, int>{L'e', 1}, {L'F', 0}}) {
    TMenuScript alt;
    alt.bar = bar;
    alt.keys = {VK_ESCAPE};
    gScript = &alt;
    const UINT_PTR t = SetTimer(nullptr, 0, 60, ScriptTick);
    SendMessageW(form->Handle(), WM_SYSCOMMAND, SC_KEYMENU, letter);
    KillTimer(nullptr, t);
    gScript = nullptr;
    ASSERT_FALSE(alt.seen.empty()) << static_cast<int>(letter);
    EXPECT_EQ(alt.seen[0], want) << static_cast<int>(letter);
    EXPECT_TRUE(bar->InMenuMode());
    EXPECT_EQ(bar->HotIndex(), want);
    bar->CancelMenu();
    EXPECT_FALSE(bar->InMenuMode());
  }

  // Alt alone makes the first menu button hot and gives the bar the focus; the arrows move the
  // hot button round the bar; Escape leaves and gives the focus back.
  auto* edit = new TEdit(form.get());
  edit->SetParent(form.get());
  edit->SetBounds(10, 60, 100, 22);
  edit->SetFocus();
  ASSERT_EQ(GetFocus(), edit->Handle());
  SendMessageW(form->Handle(), WM_SYSCOMMAND, SC_KEYMENU, 0);
  EXPECT_TRUE(bar->InMenuMode());
  EXPECT_EQ(bar->HotIndex(), 0);
  EXPECT_EQ(GetFocus(), bar->Handle());
  for (const auto& [key, hot] : {std::pair<WPARAM, int>{VK_RIGHT, 1}, {VK_RIGHT, 0}, {VK_LEFT, 1}}) {
    SendMessageW(bar->Handle(), WM_KEYDOWN, key, 0);
    EXPECT_EQ(bar->HotIndex(), hot);
  }
  SendMessageW(bar->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(bar->InMenuMode());
  EXPECT_EQ(bar->HotIndex(), -1);
  EXPECT_EQ(GetFocus(), edit->Handle());

  // Down and Enter run the first item of the File menu.
  TMenuScript choose;
  choose.bar = bar;
  choose.keys = {VK_DOWN, VK_RETURN};
  gScript = &choose;
  const UINT_PTR timer2 = SetTimer(nullptr, 0, 60, ScriptTick);
  bar->TrackMenu(0);
  KillTimer(nullptr, timer2);
  gScript = nullptr;
  Pump();
  EXPECT_EQ(opened, 1);
}

// A button forgets its menu item when the item goes, whoever owns the bar, the button and the
// item (a bar made by code owns nothing and is owned by nothing).
TEST_F(ToolBars, AButtonForgetsAMenuItemThatGoes) {
  struct TCase {
    const char* name;
    bool ownedByForm;
  };
  for (const TCase& c : {TCase{"unowned bar and buttons", false}, TCase{"bar and buttons of the form", true}}) {
    SCOPED_TRACE(c.name);
    auto* own = new TToolBar(c.ownedByForm ? form.get() : nullptr);
    own->SetShowCaptions(true);
    own->SetParent(form.get());
    auto* menu = new TMainMenu(form.get());
    TMenuItem* items[2] = {};
    TToolButton* buttons[2] = {};
    for (int i = 0; i < 2; ++i) {
      items[i] = new TMenuItem(i == 0 ? form.get() : nullptr);
      items[i]->SetCaption(i == 0 ? L"&Alpha" : L"&Beta");
      menu->Items()->Add(items[i]);
      buttons[i] = new TToolButton(c.ownedByForm ? form.get() : nullptr);
      buttons[i]->SetMenuItem(items[i]);
      buttons[i]->SetParent(own);
    }
    TComponent::Free(items[0]);
    EXPECT_EQ(buttons[0]->MenuItem(), nullptr);
    EXPECT_EQ(buttons[1]->MenuItem(), items[1]);
    TComponent::Free(items[1]);
    EXPECT_EQ(buttons[1]->MenuItem(), nullptr);
    TComponent::Free(own);
    TComponent::Free(menu);
    Pump();
  }
}

}  // namespace
}  // namespace vex::host
