// Multiple-document frames under the skin: the child's menu merged into the frame's skinned bar,
// the skin's cascade and tile, the control buttons of a maximized child, the window menu, the
// child's shortcuts before the frame's, and what unskinning and freeing give back.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "engine/menu_bar_control_button.h"
#include "engine/skin_engine.h"
#include "engine/skin_menu_bar.h"
#include "engine/skin_window_vcl.h"
#include "host/application.h"
#include "host/edit.h"
#include "host/form.h"
#include "host/menus.h"
#include "host/std_controls.h"
#include "input_support.h"
#include "skin2/skin_keys.h"
#include "skin_variant.h"
#include "skinned_engine_fixture.h"

namespace vex::engine {
namespace {

using namespace vex::host;
using test::PumpMessages;

// Pumps until `done` answers true, a bounded number of rounds (input arrives through the
// system's queue).
template <class F>
bool PumpUntil(F done) {
  for (int i = 0; i < 200; ++i) {
    if (done()) return true;
    Application().ProcessMessages();
    Sleep(5);
  }
  return done();
}

RECT WindowRect(HWND h) {
  RECT r;
  GetWindowRect(h, &r);
  return r;
}

// A window's rectangle in the client coordinates of `parent`.
RECT RectIn(HWND h, HWND parent) {
  RECT r = WindowRect(h);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// A real click of the left button at a screen point.
void ClickAt(POINT p) {
  SetCursorPos(p.x, p.y);
  INPUT in[3]{};
  in[0].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_MOVE;
  in[1].type = INPUT_MOUSE;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[2].type = INPUT_MOUSE;
  in[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(3, in, sizeof(INPUT));
}

// A real key stroke with Ctrl held.
void CtrlKey(WORD vk) {
  INPUT in[4]{};
  const WORD keys[4] = {VK_CONTROL, vk, vk, VK_CONTROL};
  for (int i = 0; i < 4; ++i) {
    in[i].type = INPUT_KEYBOARD;
    in[i].ki.wVk = keys[i];
    in[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
  }
  SendInput(4, in, sizeof(INPUT));
}

TMenuItem* AddItem(TComponent* owner, TMenuItem* parent, const std::wstring& caption, int group = 0) {
  auto* item = new TMenuItem(owner);
  item->SetCaption(caption);
  item->SetGroupIndex(group);
  parent->Add(item);
  return item;
}

struct TTopItem {
  const wchar_t* caption;
  int group;
};

class MdiFrames : public test::TSkinnedEngineTest {
 protected:
  void SetUp() override {
    TSkinnedEngineTest::SetUp();
    savedMain = Application().MainForm();
  }
  void TearDown() override {
    frame.reset();
    PumpMessages();
    Application().SetMainForm(savedMain);
  }

  // The frame form, with File (group 0) and Window (group 9, its window menu) unless `withMenu`
  // is false; shown, so the window hook skins it.
  void MakeFrame(bool withMenu = true) {
    MakeFrameUnskinned(withMenu);
    frameWrapper = dynamic_cast<TvexSkinWindowVCL*>(engine->FindFrame(frame->Handle()));
    ASSERT_NE(frameWrapper, nullptr) << "the frame form is skinned by the window hook";
  }
  void MakeFrameUnskinned(bool withMenu = true) {
    frame.reset(new TForm(nullptr));
    frame->SetFormStyle(fsMDIForm);
    frame->SetCaption(L"Frame");
    frame->SetBounds(40, 40, 640, 520);
    if (withMenu) {
      menu = new TMainMenu(frame.get());
      file = AddItem(frame.get(), menu->Items(), L"File");
      frameSave = AddItem(frame.get(), file, L"Save");
      frameSave->SetShortCut(MakeShortCut('S', scCtrl));
      frameSave->OnClick.handler = [this](TObject*) { clicks.push_back(L"frame"); };
      window = AddItem(frame.get(), menu->Items(), L"Window", 9);
      AddItem(frame.get(), window, L"Cascade");
      frame->SetMenu(menu);
      frame->SetWindowMenu(window);
    }
    frame->Show();
    PumpMessages();
  }

  // A child owned by the frame form (closing it frees it), with a menu of the given top items
  // (none: no menu); each top item holds one item with Ctrl+S that records the child's caption.
  TForm* MakeChild(const std::wstring& caption, std::vector<TTopItem> items = {}, int icons = biSystemMenu | biMinimize | biMaximize,
                   bool show = true) {
    auto* child = new TForm(frame.get());
    child->SetFormStyle(fsMDIChild);
    child->SetCaption(caption);
    child->SetBorderIcons(icons);
    child->SetBounds(0, 0, 200, 150);
    if (!items.empty()) {
      auto* m = new TMainMenu(child);
      for (const TTopItem& t : items) {
        TMenuItem* top = AddItem(child, m->Items(), t.caption, t.group);
        TMenuItem* save = AddItem(child, top, L"Save " + caption);
        save->SetShortCut(MakeShortCut('S', scCtrl));
        save->OnClick.handler = [this, caption](TObject*) { clicks.push_back(caption); };
      }
      child->SetMenu(m);
    }
    if (show) child->Show();
    PumpMessages();
    return child;
  }

  void Activate(TForm* child) {
    SendMessageW(frame->ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child->Handle()), 0);
    PumpMessages();
  }

  // The captions of the buttons the skinned bar shows, left to right.
  std::vector<std::wstring> BarCaptions() const {
    std::vector<std::wstring> out;
    TvexSkinMenuBar* bar = frameWrapper->FMenuBar;
    if (!bar || !bar->Visible()) return out;
    std::vector<std::pair<int, std::wstring>> placed;
    for (int i = 0; i < bar->ButtonCount(); ++i) {
      TToolButton* b = bar->Buttons(i);
      if (b->Visible() && b->MenuItem()) placed.emplace_back(bar->ButtonRect(b).left, b->MenuItem()->Caption());
    }
    std::sort(placed.begin(), placed.end());
    for (auto& p : placed) out.push_back(p.second);
    return out;
  }

  // What the window menu lists after its own items: captions, and which one is checked.
  std::vector<std::wstring> WindowList(std::wstring* checked = nullptr) const {
    std::vector<std::wstring> out;
    bool afterSeparator = false;
    for (int i = 0; i < window->Count(); ++i) {
      TMenuItem* item = window->Items(i);
      if (item->IsLine()) {
        afterSeparator = true;
        continue;
      }
      if (!afterSeparator) continue;
      out.push_back(item->Caption());
      if (checked && item->Checked()) *checked = item->Caption();
    }
    return out;
  }

  TvexSkinMenuBarControlButton* Button(int index) const { return frameWrapper->FMDIButtons[static_cast<std::size_t>(index)]; }
  std::vector<bool> ButtonsShown() const {
    std::vector<bool> out;
    for (int i = 0; i < 3; ++i) out.push_back(Button(i) && Button(i)->Visible() && IsWindowVisible(Button(i)->Handle()));
    return out;
  }

  // The frame form's client size that makes its client window `width` x `height` (the skinned
  // bar takes its row above the client window).
  void SizeClientWindow(int width, int height) {
    frame->SetClientSize(width, height + frameWrapper->MenuBarHeight());
    PumpMessages();
    const RECT r = WindowRect(frame->ClientHandle());
    ASSERT_EQ(r.right - r.left, width);
    ASSERT_EQ(r.bottom - r.top, height);
  }

  TCustomForm* savedMain = nullptr;
  TComponentPtr<TForm> frame;
  TvexSkinWindowVCL* frameWrapper = nullptr;
  TMainMenu* menu = nullptr;
  TMenuItem* file = nullptr;
  TMenuItem* frameSave = nullptr;
  TMenuItem* window = nullptr;
  std::vector<std::wstring> clicks;
};

// ----- the merged bar -----

TEST_F(MdiFrames, TheActiveChildsMenuIsMergedIntoTheBarByGroup) {
  struct TCase {
    const char* name;
    std::vector<TTopItem> child;
    std::vector<std::wstring> bar;
  };
  const TCase cases[] = {
      {"a later group stands between the frame's items", {{L"Edit", 1}}, {L"File", L"Edit", L"Window"}},
      {"group 0 replaces File and stands first", {{L"Document", 0}}, {L"Document", L"Window"}},
      {"without a menu the frame's items stay", {}, {L"File", L"Window"}},
      {"the child's items stay one block", {{L"Edit", 1}, {L"Tools", 10}}, {L"File", L"Edit", L"Tools", L"Window"}},
      {"the child's window group replaces the frame's", {{L"Edit", 1}, {L"Panes", 9}}, {L"File", L"Edit", L"Panes"}},
  };
  MakeFrame();
  EXPECT_EQ(BarCaptions(), (std::vector<std::wstring>{L"File", L"Window"}));
  EXPECT_EQ(frame->Menu(), nullptr) << "the frame's menu is shown by the bar, not on the window";
  for (const TCase& c : cases) {
    TForm* child = MakeChild(L"Doc", c.child);
    ASSERT_EQ(frame->ActiveMDIChild(), child) << c.name;
    EXPECT_EQ(BarCaptions(), c.bar) << c.name;
    // The child's items open their menus drawn by the engine, as the frame's do.
    for (int i = 0; i < frameWrapper->FMenuBar->ButtonCount(); ++i) {
      TMenuItem* item = frameWrapper->FMenuBar->Buttons(i)->MenuItem();
      for (int k = 0; item && k < item->Count(); ++k) {
        EXPECT_TRUE(static_cast<bool>(item->Items(k)->OnDrawItem)) << c.name;
      }
    }
    child->Close();
    PumpMessages();
    EXPECT_EQ(frame->MDIChildCount(), 0) << c.name;
    EXPECT_EQ(BarCaptions(), (std::vector<std::wstring>{L"File", L"Window"})) << c.name << ": the last child closed";
  }
}

TEST_F(MdiFrames, SwitchingChildrenSwitchesTheMergedItems) {
  MakeFrame();
  TForm* editing = MakeChild(L"A", {{L"Edit", 1}});
  TForm* document = MakeChild(L"B", {{L"Document", 0}});
  TForm* plain = MakeChild(L"C");
  const std::vector<std::wstring> own{L"File", L"Window"}, withEdit{L"File", L"Edit", L"Window"}, withDocument{L"Document", L"Window"};
  EXPECT_EQ(BarCaptions(), own) << "the last child made is active and has no menu";
  Activate(editing);
  EXPECT_EQ(BarCaptions(), withEdit);
  Activate(document);
  EXPECT_EQ(BarCaptions(), withDocument);
  Activate(plain);
  EXPECT_EQ(BarCaptions(), own);
  Activate(document);
  // The active child goes: its items go with it (the child the system activates in its place,
  // if any, brings its own).
  document->Close();
  PumpMessages();
  TCustomForm* next = frame->ActiveMDIChild();
  EXPECT_EQ(BarCaptions(), next == editing ? withEdit : own);
  Activate(editing);
  EXPECT_EQ(BarCaptions(), withEdit);
  // An inactive child goes: nothing changes.
  plain->Close();
  PumpMessages();
  EXPECT_EQ(frame->ActiveMDIChild(), editing);
  EXPECT_EQ(BarCaptions(), withEdit);
  editing->Close();
  PumpMessages();
  EXPECT_EQ(BarCaptions(), own);
}

// ----- children's frames -----

TEST_F(MdiFrames, AChildOfASkinnedFrameIsSkinnedAsItIsMadeAndShowsItsActivation) {
  MakeFrame();
  TForm* a = MakeChild(L"A");
  TForm* b = MakeChild(L"B");
  for (TForm* child : {a, b}) {
    EXPECT_EQ(SendMessageW(child->Handle(), SKM_QUERYSKINNED, 0, 0), 1);
    auto* f = dynamic_cast<TvexSkinWindowVCL*>(engine->FindFrame(child->Handle()));
    ASSERT_NE(f, nullptr);
    // Its frame sizes are the frame form's.
    EXPECT_EQ(f->FNativeTop, frameWrapper->FNativeTop);
    EXPECT_EQ(f->FFrameSide, std::max(frameWrapper->FFrameSide, 4));
    EXPECT_EQ(f->FActive, child == frame->ActiveMDIChild()) << "activation shows on the frame";
    EXPECT_EQ(f->TitleHeight(), engine->SkinMetrics().TitleBarHeight);
  }
  Activate(a);
  EXPECT_TRUE(dynamic_cast<TvexSkinWindowVCL*>(engine->FindFrame(a->Handle()))->FActive);
  EXPECT_FALSE(dynamic_cast<TvexSkinWindowVCL*>(engine->FindFrame(b->Handle()))->FActive);
  // Maximized, the child shows no title: its client area starts at the client window's top. The
  // system places it by its own frame, so the skin's side and bottom borders show as far as they
  // are wider than that frame.
  a->SetWindowState(wsMaximized);
  PumpMessages();
  RECT inner, area;
  GetClientRect(a->Handle(), &inner);
  MapWindowPoints(a->Handle(), frame->ClientHandle(), reinterpret_cast<POINT*>(&inner), 2);
  GetClientRect(frame->ClientHandle(), &area);
  const TSkinMetrics& m = engine->SkinMetrics();
  const int native = dynamic_cast<TvexSkinWindowVCL*>(engine->FindFrame(a->Handle()))->FFrameSide;
  EXPECT_EQ(inner.top, area.top);
  EXPECT_EQ(inner.left - area.left, std::max(m.LeftBorderWidth - native, 0));
  EXPECT_EQ(area.right - inner.right, std::max(m.RightBorderWidth - native, 0));
  EXPECT_EQ(area.bottom - inner.bottom, std::max(m.BottomBorderHeight - native, 0));
}

TEST_F(MdiFrames, ChildrenThatExistBeforeTheFrameIsSkinnedAreSkinnedWithIt) {
  for (bool childFormsFirst : {false, true}) {
    SCOPED_TRACE(childFormsFirst ? "child forms made before the frame form" : "frame form made first");
    engine->SetActive(false);
    // Child forms made before the frame form come first in the application's list of forms, so
    // "skin all forms" reaches them before their frame.
    std::vector<TComponentPtr<TForm>> early;
    if (childFormsFirst)
      for (int i = 0; i < 2; ++i) early.emplace_back(new TForm(nullptr));
    MakeFrameUnskinned();
    TForm* a = early.empty() ? new TForm(frame.get()) : early[0].get();
    TForm* b = early.empty() ? new TForm(frame.get()) : early[1].get();
    for (TForm* child : {a, b}) {
      child->SetFormStyle(fsMDIChild);
      child->SetBounds(0, 0, 220, 160);
    }
    b->SetCaption(L"B");
    auto* childMenu = new TMainMenu(b);
    AddItem(b, childMenu->Items(), L"Edit", 1);
    b->SetMenu(childMenu);
    a->Show();
    b->Show();
    b->SetWindowState(wsMaximized);
    PumpMessages();
    ASSERT_EQ(engine->FindFrame(a->Handle()), nullptr);
    engine->SetActive(true);
    engine->SetSkinAllForms(false);
    engine->SetSkinAllForms(true);
    PumpMessages();
    frameWrapper = dynamic_cast<TvexSkinWindowVCL*>(engine->FindFrame(frame->Handle()));
    ASSERT_NE(frameWrapper, nullptr);
    EXPECT_EQ(BarCaptions(), (std::vector<std::wstring>{L"File", L"Edit", L"Window"}));
    EXPECT_EQ(ButtonsShown(), (std::vector<bool>{true, true, true}));
    EXPECT_EQ(WindowList(), (std::vector<std::wstring>{std::wstring(), L"B"}));
    b->SetWindowState(wsNormal);
    PumpMessages();
    for (TForm* child : {a, b}) {
      auto* f = dynamic_cast<TvexSkinWindowVCL*>(engine->FindFrame(child->Handle()));
      ASSERT_NE(f, nullptr);
      EXPECT_GT(f->FNativeTop, 0);
      // The client area starts below the skin's title.
      POINT origin{0, 0};
      ClientToScreen(child->Handle(), &origin);
      EXPECT_EQ(origin.y - WindowRect(child->Handle()).top, std::max(f->TitleHeight(), f->FNativeTop));
    }
    early.clear();
    frame.reset();
    PumpMessages();
  }
}

// ----- cascade and tile -----

TEST_F(MdiFrames, CascadeStepsTheChildrenFromTheLastAtEightyBySixtyPercentOfTheFrame) {
  struct TCase {
    bool withMenu;
    bool minimizeMiddle;
  };
  for (const TCase& c : {TCase{false, false}, TCase{true, false}, TCase{true, true}}) {
    SCOPED_TRACE(testing::Message() << "menu " << c.withMenu << ", middle minimized " << c.minimizeMiddle);
    MakeFrame(c.withMenu);
    SizeClientWindow(500, 400);
    if (HasFatalFailure()) return;
    TForm* first = MakeChild(L"1");
    TForm* middle = MakeChild(L"2");
    TForm* last = MakeChild(L"3");
    if (c.minimizeMiddle) {
      middle->SetWindowState(wsMinimized);
      PumpMessages();
    }
    frame->Cascade();
    PumpMessages();
    const int w = static_cast<int>(0.8 * frame->ClientWidth()), h = static_cast<int>(0.6 * frame->ClientHeight());
    if (!c.withMenu) {
      // A frame whose client area is 500 x 400.
      EXPECT_EQ(w, 400);
      EXPECT_EQ(h, 240);
    } else {
      EXPECT_EQ(h, static_cast<int>(0.6 * (400 + frameWrapper->MenuBarHeight()))) << "the bar's row is part of the form's client area";
    }
    std::vector<TForm*> stepped{last, middle, first};
    if (c.minimizeMiddle) {
      stepped = {last, first};
      EXPECT_TRUE(IsIconic(middle->Handle()));
    }
    for (std::size_t k = 0; k < stepped.size(); ++k) {
      const RECT r = RectIn(stepped[k]->Handle(), frame->ClientHandle());
      const int at = 22 * static_cast<int>(k);
      EXPECT_EQ(r.left, at) << "child " << k;
      EXPECT_EQ(r.top, at) << "child " << k;
      EXPECT_EQ(r.right - r.left, w) << "child " << k;
      EXPECT_EQ(r.bottom - r.top, h) << "child " << k;
    }
  }
}

TEST_F(MdiFrames, TileFillsTheClientWindowInRowsOrColumnsFromTheLastChild) {
  struct TCase {
    const char* name;
    bool withMenu, bottomBar, leftBar, minimizeThird, horizontal;
    std::vector<RECT> expected;  // left, top, width, height of the last child, then the earlier one
  };
  // The client window is 400 x 300 in every case, whatever bars stand around it.
  const TCase cases[] = {
      {"rows, no bars", false, false, false, false, true, {{0, 0, 396, 148}, {0, 148, 396, 148}}},
      {"rows under the skinned menu bar", true, false, false, false, true, {{0, 0, 396, 148}, {0, 148, 396, 148}}},
      {"rows between the menu bar and a status bar", true, true, false, false, true, {{0, 0, 396, 148}, {0, 148, 396, 148}}},
      {"rows beside a side bar", true, false, true, false, true, {{0, 0, 396, 148}, {0, 148, 396, 148}}},
      {"rows above a minimized child", true, false, false, true, true, {{0, 0, 396, 135}, {0, 135, 396, 135}}},
      {"columns", true, true, false, false, false, {{0, 0, 198, 296}, {198, 0, 198, 296}}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    MakeFrame(c.withMenu);
    if (c.bottomBar) {
      auto* status = new TPanel(frame.get());
      status->SetParent(frame.get());
      status->SetHeight(24);
      status->SetAlign(alBottom);
    }
    if (c.leftBar) {
      auto* side = new TPanel(frame.get());
      side->SetParent(frame.get());
      side->SetWidth(60);
      side->SetAlign(alLeft);
    }
    frame->SetClientSize(400 + (c.leftBar ? 60 : 0), 300 + frameWrapper->MenuBarHeight() + (c.bottomBar ? 24 : 0));
    PumpMessages();
    const RECT room = WindowRect(frame->ClientHandle());
    ASSERT_EQ(room.right - room.left, 400);
    ASSERT_EQ(room.bottom - room.top, 300);
    TForm* first = MakeChild(L"1");
    TForm* second = MakeChild(L"2");
    if (c.minimizeThird) {
      TForm* third = MakeChild(L"3");
      third->SetWindowState(wsMinimized);
      PumpMessages();
    }
    frame->Tile(c.horizontal);
    PumpMessages();
    TForm* const order[2] = {second, first};
    for (int k = 0; k < 2; ++k) {
      const RECT r = RectIn(order[k]->Handle(), frame->ClientHandle());
      const RECT& e = c.expected[static_cast<std::size_t>(k)];
      EXPECT_EQ(r.left, e.left) << "child " << k;
      EXPECT_EQ(r.top, e.top) << "child " << k;
      EXPECT_EQ(r.right - r.left, e.right) << "child " << k;
      EXPECT_EQ(r.bottom - r.top, e.bottom) << "child " << k;
    }
  }
}

// ----- the control buttons -----

TEST_F(MdiFrames, AMaximizedChildsButtonsStandInTheBarsRowForItsBorderIconsOnly) {
  struct TCase {
    int icons;
    std::vector<bool> shown;  // close, restore, minimize
  };
  const TCase cases[] = {
      {biSystemMenu | biMinimize | biMaximize, {true, true, true}},
      {biSystemMenu | biMaximize, {true, true, false}},
      {biSystemMenu | biMinimize, {true, false, true}},
  };
  MakeFrame();
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "icons " << c.icons);
    TForm* child = MakeChild(L"Child", {{L"Edit", 1}}, c.icons);
    EXPECT_EQ(ButtonsShown(), (std::vector<bool>{false, false, false})) << "not maximized";
    child->SetWindowState(wsMaximized);
    PumpMessages();
    ASSERT_TRUE(IsZoomed(child->Handle()));
    EXPECT_EQ(ButtonsShown(), c.shown);
    // In the bar's row at the right, close rightmost, each above the bar.
    const int MH = frameWrapper->MenuBarHeight();
    ASSERT_GT(MH, 0);
    RECT client;
    GetClientRect(frame->Handle(), &client);
    for (int i = 0; i < 3; ++i) {
      const RECT r = RectIn(Button(i)->Handle(), frame->Handle());
      EXPECT_EQ(r.bottom, MH) << "button " << i;
      EXPECT_EQ(r.right - r.left, 18);
      EXPECT_LE(r.right, client.right);
      if (i > 0) {
        EXPECT_EQ(r.right, RectIn(Button(i - 1)->Handle(), frame->Handle()).left) << "button " << i;
      }
      if (c.shown[static_cast<std::size_t>(i)]) {
        POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ClientToScreen(frame->Handle(), &centre);
        EXPECT_EQ(WindowFromPoint(centre), Button(i)->Handle()) << "button " << i << " is on top";
      }
    }
    // A wider frame keeps them at the same distance from its right edge.
    const int before = client.right - RectIn(Button(0)->Handle(), frame->Handle()).right;
    frame->SetBounds(frame->Left(), frame->Top(), frame->Width() + 60, frame->Height());
    PumpMessages();
    GetClientRect(frame->Handle(), &client);
    EXPECT_EQ(client.right - RectIn(Button(0)->Handle(), frame->Handle()).right, before);
    frame->SetBounds(frame->Left(), frame->Top(), frame->Width() - 60, frame->Height());
    PumpMessages();
    child->SetWindowState(wsNormal);
    PumpMessages();
    EXPECT_EQ(ButtonsShown(), (std::vector<bool>{false, false, false})) << "restored";
    child->Close();
    PumpMessages();
  }
}

TEST_F(MdiFrames, ClickingTheButtonsMinimizesRestoresOrClosesTheActiveChild) {
  enum TAction { aClose = 0, aRestore = 1, aMinimize = 2 };
  MakeFrame();
  SetForegroundWindow(frame->Handle());
  for (TAction action : {aMinimize, aRestore, aClose}) {
    SCOPED_TRACE(testing::Message() << "button " << action);
    TForm* other = MakeChild(L"Other");
    TForm* child = MakeChild(L"Child");
    child->SetWindowState(wsMaximized);
    PumpMessages();
    ASSERT_TRUE(Button(action)->Visible());
    HWND handle = child->Handle();
    const RECT r = WindowRect(Button(action)->Handle());
    ClickAt(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    switch (action) {
      case aMinimize:
        EXPECT_TRUE(PumpUntil([&] { return IsIconic(handle) != FALSE; }));
        break;
      case aRestore:
        EXPECT_TRUE(PumpUntil([&] { return !IsZoomed(handle) && !IsIconic(handle); }));
        break;
      case aClose:
        EXPECT_TRUE(PumpUntil([&] { return !IsWindow(handle); }));
        EXPECT_EQ(frame->MDIChildCount(), 1);
        break;
    }
    PumpMessages();
    EXPECT_EQ(ButtonsShown(), (std::vector<bool>{false, false, false}));
    EXPECT_TRUE(IsWindow(other->Handle()) && !IsIconic(other->Handle())) << "the other child is left alone";
    while (frame->MDIChildCount() > 0) TComponent::Free(frame->MDIChildren(0));
    PumpMessages();
  }
}

TEST_F(MdiFrames, TheButtonsTakeTheBarsColoursOrItsPictureAndTheFormColour) {
  // A picture of two bands (RGB): red above, blue from the middle row down.
  image::TvexImage picture(4, 10, 0xC00000);
  for (int y = 5; y < 10; ++y)
    for (int x = 0; x < 4; ++x) picture.SetPixel(x, y, 0x0000C0);
  test::TSkinVariant colours, pictured;
  colours.integers["SKIN2_MENUBARSTARTCOLOR"] = 0x203040;
  colours.integers["SKIN2_MENUBARENDCOLOR"] = 0x405060;
  pictured.bitmaps["SKIN2_MENUBAR"] = picture;
  test::WriteFile(dir / "colours.vsk", colours.Archive());
  test::WriteFile(dir / "pictured.vsk", pictured.Archive());
  struct TCase {
    const char* name;
    const char* file;
    bool picture;
  };
  for (const TCase& c : {TCase{"two colours", "colours.vsk", false}, TCase{"a picture", "pictured.vsk", true}}) {
    SCOPED_TRACE(c.name);
    engine->SetSkinFile((dir / c.file).u8string());
    ASSERT_TRUE(engine->IsSkinActive());
    MakeFrame();
    TForm* child = MakeChild(L"Child");
    child->SetWindowState(wsMaximized);
    PumpMessages();
    ASSERT_EQ(ButtonsShown(), (std::vector<bool>{true, true, true}));
    const TColor from = c.picture ? TColor(0xC00000) : engine->GetSkinColor(skin2::color::SKIN2_MENUBARSTARTCOLOR);
    const TColor to = c.picture ? engine->GetFormColor() : engine->GetSkinColor(skin2::color::SKIN2_MENUBARENDCOLOR);
    if (!c.picture) {
      EXPECT_EQ(from, 0x203040);
      EXPECT_EQ(to, 0x405060);
    }
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(Button(i)->Color(), from) << "button " << i;
      EXPECT_EQ(Button(i)->ToColor(), to) << "button " << i;
    }
    frame.reset();
    PumpMessages();
  }
}

TEST_F(MdiFrames, ButtonsAreFlatOrGradientAndFramedWhileTheMouseIsOverThem) {
  TComponentPtr<TForm> host(new TForm(nullptr));
  host->SetBounds(300, 300, 200, 100);
  host->Show();
  auto* b = new TvexSkinMenuBarControlButton(host.get());
  b->SetParent(host.get());
  b->SetLeft(10);
  EXPECT_EQ(b->Width(), 18);
  EXPECT_EQ(b->Height(), 18);
  EXPECT_EQ(b->ToColor(), clWhite);
  // A black square on a magenta ground (the bottom-left pixel: the transparent colour).
  TBitmap glyph(16, 16);
  glyph.Canvas().Brush.color = clFuchsia;
  glyph.Canvas().FillRect(RECT{0, 0, 16, 16});
  glyph.Canvas().Brush.color = clBlack;
  glyph.Canvas().FillRect(RECT{6, 6, 10, 10});
  b->SetGlyph(glyph);
  struct TCase {
    TColor from, to;
    bool hot;
  };
  for (const TCase& c : {TCase{0x3060C0, 0x3060C0, false}, TCase{0x3060C0, 0xE0F0FF, false}, TCase{0x3060C0, 0x3060C0, true},
                         TCase{0x3060C0, 0xE0F0FF, true}}) {
    SCOPED_TRACE(testing::Message() << std::hex << c.from << " to " << c.to << " hot " << c.hot);
    b->SetColor(c.from);
    b->SetToColor(c.to);
    b->Perform(c.hot ? CM_MOUSEENTER : CM_MOUSELEAVE);
    EXPECT_EQ(b->Hot(), c.hot);
    RedrawWindow(b->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = GetDC(b->Handle());
    const COLORREF top = GetPixel(dc, 3, 1), bottom = GetPixel(dc, 3, 16), edge = GetPixel(dc, 0, 9), beside = GetPixel(dc, 3, 9),
                   corner = GetPixel(dc, 17, 17), ink = GetPixel(dc, 8, 8);
    ReleaseDC(b->Handle(), dc);
    EXPECT_EQ(top, static_cast<COLORREF>(c.from)) << "the fill starts with Color";
    if (c.from == c.to)
      EXPECT_EQ(bottom, static_cast<COLORREF>(c.from)) << "flat";
    else
      EXPECT_NE(bottom, static_cast<COLORREF>(c.from)) << "a gradient towards ToColor";
    if (c.hot) {
      EXPECT_EQ(edge, RGB(0, 0, 0)) << "a black frame while hot";
      EXPECT_EQ(corner, RGB(0, 0, 0));
    } else {
      EXPECT_EQ(edge, beside) << "no frame";
      EXPECT_NE(corner, RGB(0, 0, 0));
    }
    EXPECT_EQ(ink, RGB(0, 0, 0)) << "the glyph at (1, 1)";
    EXPECT_NE(beside, RGB(255, 0, 255)) << "the glyph's ground is left out";
  }
}

// ----- the window menu -----

TEST_F(MdiFrames, TheWindowMenuListsTheVisibleChildrenAndChecksTheActiveOne) {
  MakeFrame();
  EXPECT_EQ(WindowList(), std::vector<std::wstring>{}) << "no children, no list";
  EXPECT_EQ(window->Count(), 1) << "nor a separator";
  TForm* a = MakeChild(L"Alpha");
  TForm* b = MakeChild(L"Beta");
  TForm* hidden = MakeChild(L"Hidden", {}, biSystemMenu | biMinimize | biMaximize, false);
  std::wstring checked;
  struct TStep {
    const char* what;
    std::function<void()> act;
    std::vector<std::wstring> list;
    std::wstring checked;
  };
  const TStep steps[] = {
      {"made", [] {}, {L"Alpha", L"Beta"}, L"Beta"},
      {"activated", [&] { Activate(a); }, {L"Alpha", L"Beta"}, L"Alpha"},
      {"a hidden child shown", [&] { hidden->Show(); }, {L"Alpha", L"Beta", L"Hidden"}, L"Hidden"},
      {"one hidden", [&] { b->Hide(); }, {L"Alpha", L"Hidden"}, L"Hidden"},
      {"a new one", [&] { MakeChild(L"Gamma"); }, {L"Alpha", L"Hidden", L"Gamma"}, L"Gamma"},
      {"renamed", [&] { a->SetCaption(L"Alpha 2"); }, {L"Alpha 2", L"Hidden", L"Gamma"}, L"Gamma"},
      {"one closed", [&] { hidden->Close(); }, {L"Alpha 2", L"Gamma"}, L"Gamma"},
  };
  ASSERT_TRUE(static_cast<bool>(window->OnDrawItem)) << "the frame's menu is drawn by the engine";
  for (const TStep& s : steps) {
    s.act();
    PumpMessages();
    checked.clear();
    EXPECT_EQ(WindowList(&checked), s.list) << s.what;
    EXPECT_EQ(checked, s.checked) << s.what;
    // The list looks like the menu's own items.
    for (int i = 0; i < window->Count(); ++i)
      EXPECT_TRUE(static_cast<bool>(window->Items(i)->OnDrawItem)) << s.what << ": item " << i;
  }
  // The native popup the bar opens holds exactly these items: the client window adds none of
  // its own.
  menu->Handle();
  ASSERT_NE(window->Handle(), nullptr);
  EXPECT_EQ(GetMenuItemCount(window->Handle()), window->Count());
  // An item brings its child back and activates it.
  a->SetWindowState(wsMinimized);
  PumpMessages();
  for (int i = 0; i < window->Count(); ++i)
    if (window->Items(i)->Caption() == L"Alpha 2") window->Items(i)->Click();
  PumpMessages();
  EXPECT_FALSE(IsIconic(a->Handle()));
  EXPECT_EQ(frame->ActiveMDIChild(), a);
  checked.clear();
  WindowList(&checked);
  EXPECT_EQ(checked, L"Alpha 2");
}

// ----- shortcuts -----

TEST_F(MdiFrames, TheActiveChildsShortcutComesBeforeTheFramesForTheSameKey) {
  MakeFrame();
  TForm* withSave = MakeChild(L"child", {{L"Edit", 1}});
  TForm* without = MakeChild(L"plain");
  struct TCase {
    TForm* active;
    std::vector<std::wstring> clicks;
  };
  for (const TCase& c : {TCase{withSave, {L"child"}}, TCase{without, {L"frame"}}}) {
    Activate(c.active);
    SetForegroundWindow(frame->Handle());
    SetFocus(c.active->Handle());
    PumpMessages();
    clicks.clear();
    CtrlKey('S');
    PumpUntil([&] { return !clicks.empty(); });
    PumpMessages();
    EXPECT_EQ(clicks, c.clicks) << "active " << std::string(c.active->Caption().begin(), c.active->Caption().end());
  }
}

TEST_F(MdiFrames, AltWithALetterOpensTheMergedMenusFromTheChildAndAPlainLetterDoesNot) {
  MakeFrame();
  file->SetCaption(L"&File");
  window->SetCaption(L"&Window");
  TForm* child = MakeChild(L"Doc", {{L"&Edit", 1}});
  auto* field = new TEdit(child);
  field->SetParent(child);
  field->SetBounds(5, 5, 120, 22);
  SetForegroundWindow(frame->Handle());
  Activate(child);
  field->SetFocus();
  test::PumpFor(50);
  ASSERT_EQ(GetFocus(), field->Handle());
  ASSERT_EQ(BarCaptions(), (std::vector<std::wstring>{L"&File", L"&Edit", L"&Window"}));
  static int seenOpen;
  static TvexSkinMenuBar* watched;
  watched = frameWrapper->FMenuBar;
  const auto watch = [](HWND, UINT, UINT_PTR, DWORD) {
    if (watched->OpenMenuIndex() >= 0) {
      seenOpen = watched->OpenMenuIndex();
      EndMenu();
    }
  };
  const UINT_PTR timer = SetTimer(nullptr, 0, 40, watch);
  seenOpen = -1;
  test::Chord({'E'});
  test::PumpFor(300);
  EXPECT_EQ(seenOpen, -1) << "a plain letter is the field's";
  EXPECT_EQ(field->GetText(), L"e");
  for (const auto& [letter, index] : {std::pair<WORD, int>{'E', 1}, {'W', 2}, {'F', 0}}) {
    seenOpen = -1;
    test::Chord({VK_MENU, letter});
    test::PumpFor(300);
    EXPECT_EQ(seenOpen, index) << static_cast<char>(letter);
    watched->CancelMenu();
    field->SetFocus();
    test::PumpFor(50);
  }
  KillTimer(nullptr, timer);
}

// ----- unskinning and freeing -----

TEST_F(MdiFrames, UnskinningGivesTheFrameItsMenuItsClientAndNoButtonsAndSkinningTakesThemAgain) {
  MakeFrame();
  TForm* a = MakeChild(L"A", {{L"Edit", 1}});
  TForm* b = MakeChild(L"B");
  Activate(a);
  a->SetWindowState(wsMaximized);
  PumpMessages();
  ASSERT_EQ(ButtonsShown(), (std::vector<bool>{true, true, true}));
  ASSERT_EQ(WindowList(), (std::vector<std::wstring>{L"A", L"B"}));
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(testing::Message() << "round " << round);
    engine->SetActive(false);
    PumpMessages();
    EXPECT_EQ(frame->Menu(), menu);
    EXPECT_EQ(GetMenu(frame->Handle()), menu->Handle());
    EXPECT_EQ(window->Count(), 1) << "the children's items are gone";
    EXPECT_EQ(ButtonsShown(), (std::vector<bool>{false, false, false}));
    EXPECT_EQ(SendMessageW(frame->ClientHandle(), SKM_QUERYFRAMETOP, 0, 0), 0) << "the client window answers as its own";
    // The window's menu merges the active child's items as the framework does.
    EXPECT_EQ(menu->Merged(), a->Menu());
    // The system arranges the children again.
    a->SetWindowState(wsNormal);
    frame->Cascade();
    PumpMessages();
    const RECT r = RectIn(b->Handle(), frame->ClientHandle());
    const bool skinLayout = r.left == 0 && r.top == 0 && r.right - r.left == static_cast<int>(0.8 * frame->ClientWidth()) &&
                            r.bottom - r.top == static_cast<int>(0.6 * frame->ClientHeight());
    EXPECT_FALSE(skinLayout);

    engine->SetActive(true);
    PumpMessages();
    EXPECT_EQ(frame->Menu(), nullptr);
    EXPECT_EQ(BarCaptions(), (std::vector<std::wstring>{L"File", L"Edit", L"Window"}));
    EXPECT_EQ(WindowList(), (std::vector<std::wstring>{L"A", L"B"}));
    EXPECT_EQ(SendMessageW(frame->ClientHandle(), SKM_QUERYFRAMETOP, 0, 0), frameWrapper->FNativeTop);
    a->SetWindowState(wsMaximized);
    PumpMessages();
    EXPECT_EQ(ButtonsShown(), (std::vector<bool>{true, true, true}));
  }
  // Detached for good: the buttons go, the client window answers as its own, the system's
  // cascade stands.
  engine->DetachWindow(frame->Handle());
  PumpMessages();
  frameWrapper = nullptr;
  for (int i = 0; i < frame->ControlCount(); ++i) EXPECT_NE(frame->Controls(i)->ClassName(), "TvexSkinMenuBarControlButton");
  EXPECT_EQ(SendMessageW(frame->ClientHandle(), SKM_QUERYFRAMETOP, 0, 0), 0);
  EXPECT_EQ(frame->Menu(), menu);
  a->SetWindowState(wsNormal);
  frame->Cascade();
  PumpMessages();
  const RECT r = RectIn(b->Handle(), frame->ClientHandle());
  EXPECT_FALSE(r.left == 0 && r.top == 0 && r.right - r.left == static_cast<int>(0.8 * frame->ClientWidth()));
}

TEST_F(MdiFrames, ChildrenKeepTheirPlacesWhenSkinningGoesOffAndComesBack) {
  MakeFrame();
  TForm* a = MakeChild(L"A");
  TForm* b = MakeChild(L"B");
  a->SetBounds(10, 20, 200, 150);
  b->SetBounds(60, 40, 220, 160);
  PumpMessages();
  const RECT ra = RectIn(a->Handle(), frame->ClientHandle()), rb = RectIn(b->Handle(), frame->ClientHandle());
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(testing::Message() << "round " << round);
    engine->SetActive(false);
    PumpMessages();
    engine->SetActive(true);
    PumpMessages();
    const RECT na = RectIn(a->Handle(), frame->ClientHandle()), nb = RectIn(b->Handle(), frame->ClientHandle());
    EXPECT_EQ(na.left, ra.left);
    EXPECT_EQ(na.top, ra.top);
    EXPECT_EQ(nb.left, rb.left);
    EXPECT_EQ(nb.top, rb.top);
    EXPECT_EQ(nb.right - nb.left, rb.right - rb.left);
    EXPECT_EQ(nb.bottom - nb.top, rb.bottom - rb.top);
  }
}

TEST_F(MdiFrames, FreeingChildrenOrTheFrameFirstWhileSkinnedLeavesNothingBehind) {
  for (bool frameFirst : {false, true}) {
    SCOPED_TRACE(frameFirst ? "frame first" : "children first");
    MakeFrame();
    // Children the frame does not own, so that either can go first.
    std::vector<TComponentPtr<TForm>> children;
    std::vector<HWND> handles;
    for (const wchar_t* name : {L"A", L"B", L"C"}) {
      TForm* child = MakeChild(name, {{L"Edit", 1}});
      frame->RemoveComponent(child);
      children.emplace_back(child);
      handles.push_back(child->Handle());
    }
    children[1]->SetWindowState(wsMaximized);
    PumpMessages();
    HWND frameHandle = frame->Handle();
    if (frameFirst) {
      frame.reset();
      PumpMessages();
      children.clear();
    } else {
      children.clear();
      PumpMessages();
      EXPECT_EQ(BarCaptions(), (std::vector<std::wstring>{L"File", L"Window"}));
      EXPECT_EQ(WindowList(), std::vector<std::wstring>{});
      EXPECT_EQ(ButtonsShown(), (std::vector<bool>{false, false, false}));
      frame.reset();
    }
    PumpMessages();
    EXPECT_EQ(engine->FindFrame(frameHandle), nullptr);
    for (HWND h : handles) EXPECT_EQ(engine->FindFrame(h), nullptr);
    EXPECT_FALSE(IsWindow(frameHandle));
  }
}

}  // namespace
}  // namespace vex::engine
