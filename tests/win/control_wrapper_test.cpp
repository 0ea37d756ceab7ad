// Control wrappers: which native windows get which wrapper, the routing and state rules, and the
// native push buttons, check boxes and radio buttons of a real dialog.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "dialog_template.h"
#include "skinned_engine_fixture.h"
#include "engine/skin_control.h"
#include "engine/skin_engine.h"
#include "engine/skin_window.h"
#include "controls/std_wnd.h"
#include "host/application.h"
#include "host/callback_guard.h"
#include "host/gdi_handle.h"
#include "host/form.h"
#include "host/prop_builder.h"
#include "host/std_controls.h"
#include "skin2/default_skin.h"
#include "skin2/skin_keys.h"
#include "test_support.h"

namespace vex::engine {
namespace {

using namespace vex::host;
namespace keys = vex::skin2;

void Pump() { test::PumpMessages(); }

struct TCommand {
  WORD id, code;
  HWND from;
};
std::vector<TCommand> gCommands;

INT_PTR CALLBACK CommandLoggingProc(HWND, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) return TRUE;
  if (msg == WM_COMMAND) {
    gCommands.push_back(TCommand{LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)});
    return TRUE;
  }
  return FALSE;
}

enum : WORD { idPush = 100, idCheck = 101, idRadio = 102, idProgress = 103 };

class Controls : public test::TSkinnedEngineTest {
 protected:
  void SetUp() override {
    gCommands.clear();
    TSkinnedEngineTest::SetUp();
  }
  void TearDown() override {
    for (HWND w : windows)
      if (IsWindow(w)) DestroyWindow(w);
    Pump();
    LastDestroyedDialog() = nullptr;
    form.reset();
  }
  HWND Dialog(bool withProgress = false) {
    test::TDialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, L"Controls");
    t.Item(L"BUTTON", L"Push", idPush, BS_PUSHBUTTON | WS_TABSTOP, 10, 10, 60, 14);
    t.Item(L"BUTTON", L"Check", idCheck, BS_AUTOCHECKBOX | WS_TABSTOP, 10, 30, 60, 12);
    t.Item(L"BUTTON", L"Radio", idRadio, BS_AUTORADIOBUTTON | WS_TABSTOP, 10, 50, 60, 12);
    if (withProgress) t.Item(L"msctls_progress32", L"", idProgress, 0, 80, 10, 60, 10);
    HWND w = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr, CommandLoggingProc, 0);
    EXPECT_NE(w, nullptr);
    windows.push_back(w);
    SetWindowPos(w, nullptr, 100, 100, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(w, SW_SHOW);
    SetForegroundWindow(w);
    Pump();
    return w;
  }
  TvexSkinControl* WrapperOf(HWND dialog, HWND control) {
    TvexSkinWindow* f = engine->FindFrame(dialog);
    if (!f) return nullptr;
    for (const auto& c : f->FControls)
      if (c && c->GetHandle() == control) return c.get();
    return nullptr;
  }

  std::vector<HWND> windows;
};

TEST_F(Controls, CreateWindowWrapperChoosesByClassAndStyle) {
  HWND dlg = Dialog();
  TvexSkinWindow* frame = engine->FindFrame(dlg);
  ASSERT_NE(frame, nullptr);
  const struct {
    const wchar_t* cls;
    DWORD style;
    const char* wrapper;  // empty: no wrapper
  } cases[] = {
      {L"Button", BS_PUSHBUTTON, "TvexSkinWndButton"},
      {L"BUTTON", BS_DEFPUSHBUTTON, "TvexSkinWndButton"},
      {L"Button", BS_DEFPUSHBUTTON | BS_MULTILINE, "TvexSkinWndButton"},
      // The system makes a user button a push button when it creates it.
      {L"button", BS_USERBUTTON, "TvexSkinWndButton"},
      {L"Button", BS_CHECKBOX, "TvexSkinWndCheckBox"},
      {L"Button", BS_AUTOCHECKBOX, "TvexSkinWndCheckBox"},
      {L"Button", BS_3STATE, "TvexSkinWndCheckBox"},
      {L"Button", BS_AUTO3STATE, "TvexSkinWndCheckBox"},
      {L"Button", BS_AUTOCHECKBOX | BS_LEFTTEXT, "TvexSkinWndCheckBox"},
      {L"Button", BS_RADIOBUTTON, "TvexSkinWndRadioButton"},
      {L"Button", BS_AUTORADIOBUTTON, "TvexSkinWndRadioButton"},
      // The button type decides, not single bits of it: these keep their own look.
      {L"Button", BS_PUSHBOX, ""},
      {L"Button", BS_OWNERDRAW, ""},
      {L"Button", BS_SPLITBUTTON, ""},
      {L"Button", BS_DEFSPLITBUTTON, ""},
      {L"Button", BS_COMMANDLINK, ""},
      {L"Button", BS_DEFCOMMANDLINK, ""},
      {L"Button", BS_AUTOCHECKBOX | BS_PUSHLIKE, ""},
      {L"Button", BS_AUTORADIOBUTTON | BS_PUSHLIKE, ""},
      {L"Button", BS_GROUPBOX, "TvexSkinWndGroupBox"},
      {L"ComboBox", CBS_SIMPLE, ""},
      {L"Static", SS_LEFT, "TvexSkinWndStatic"},
      {L"Static", SS_ICON, "TvexSkinWndStatic"},
      {L"msctls_statusbar32", 0, "TvexSkinWndStatusBar"},
      {L"ToolbarWindow32", 0, "TvexSkinWndToolbarWindow32"},
      {L"Edit", 0, ""},
  };
  for (const auto& c : cases) {
    HWND child = CreateWindowExW(0, c.cls, L"x", WS_CHILD | c.style, 0, 0, 50, 20, dlg, nullptr, nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    TvexSkinControlWnd* w = CreateWindowWrapper(child, frame);
    if (*c.wrapper) {
      ASSERT_NE(w, nullptr) << c.wrapper << " for style " << c.style;
      EXPECT_EQ(w->ClassName(), c.wrapper) << "style " << c.style;
      EXPECT_EQ(SendMessageW(child, SKM_QUERYSKINNED, 0, 0), 1);
      w->Detach();
      delete w;
      EXPECT_EQ(SendMessageW(child, SKM_QUERYSKINNED, 0, 0), 0);
    } else {
      EXPECT_EQ(w, nullptr) << "style " << c.style;
    }
    DestroyWindow(child);
  }
  EXPECT_FALSE(frame->FHasAnimation);
  // An animation keeps its own frames; a progress bar is painted from the skin. Either tells the
  // frame that the window animates.
  HWND animation = CreateWindowExW(0, ANIMATE_CLASSW, L"", WS_CHILD, 0, 0, 50, 10, dlg, nullptr, nullptr, nullptr);
  EXPECT_EQ(CreateWindowWrapper(animation, frame), nullptr);
  EXPECT_TRUE(frame->FHasAnimation);
  frame->FHasAnimation = false;
  HWND progress = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD, 0, 0, 50, 10, dlg, nullptr, nullptr, nullptr);
  std::unique_ptr<TvexSkinControlWnd> pw(CreateWindowWrapper(progress, frame));
  ASSERT_NE(pw, nullptr);
  EXPECT_EQ(pw->ClassName(), "TvexSkinWndProgressBar");
  EXPECT_TRUE(frame->FHasAnimation);
  pw->Detach();
}

TEST_F(Controls, DialogControlsAreWrappedOnceAndReleasedWithTheFrame) {
  HWND dlg = Dialog();
  HWND push = GetDlgItem(dlg, idPush), check = GetDlgItem(dlg, idCheck), radio = GetDlgItem(dlg, idRadio);
  ASSERT_NE(WrapperOf(dlg, push), nullptr);
  EXPECT_EQ(WrapperOf(dlg, push)->ClassName(), "TvexSkinWndButton");
  EXPECT_EQ(WrapperOf(dlg, check)->ClassName(), "TvexSkinWndCheckBox");
  EXPECT_EQ(WrapperOf(dlg, radio)->ClassName(), "TvexSkinWndRadioButton");
  EXPECT_EQ(engine->FindFrame(dlg)->FControls.size(), 3u);
  for (HWND c : {push, check, radio}) EXPECT_EQ(SendMessageW(c, SKM_QUERYSKINNED, 0, 0), 1);
  // An inactive engine leaves every message to the controls' own procedures.
  engine->SetActive(false);
  EXPECT_EQ(SendMessageW(push, SKM_QUERYSKINNED, 0, 0), 0);
  engine->SetActive(true);
  engine->DetachWindow(dlg);
  for (HWND c : {push, check, radio}) EXPECT_EQ(SendMessageW(c, SKM_QUERYSKINNED, 0, 0), 0);
  // The buttons still work as native buttons.
  SendMessageW(check, BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessageW(check, BM_GETCHECK, 0, 0), BST_CHECKED);
}

// A dialog of a program of the A functions: skinned, its texts go both ways unchanged; given back,
// it and its controls are ANSI windows again.
TEST_F(Controls, AnAnsiDialogKeepsItsTextsAndIsAnAnsiDialogAgainWhenGivenBack) {
  test::TDialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, L"Controls");
  t.Item(L"BUTTON", L"Push", idPush, BS_PUSHBUTTON | WS_TABSTOP, 10, 10, 60, 14);
  t.Item(L"BUTTON", L"Check", idCheck, BS_AUTOCHECKBOX | WS_TABSTOP, 10, 30, 60, 12);
  t.Item(L"STATIC", L"Label", idRadio, SS_LEFT, 10, 50, 60, 12);
  HWND dlg = CreateDialogIndirectParamA(GetModuleHandleW(nullptr), t.Get(), nullptr, CommandLoggingProc, 0);
  ASSERT_NE(dlg, nullptr);
  windows.push_back(dlg);
  ShowWindow(dlg, SW_SHOW);
  SetForegroundWindow(dlg);
  Pump();
  ASSERT_NE(engine->FindFrame(dlg), nullptr);
  const HWND items[] = {dlg, GetDlgItem(dlg, idPush), GetDlgItem(dlg, idCheck), GetDlgItem(dlg, idRadio)};
  ASSERT_NE(WrapperOf(dlg, items[1]), nullptr);
  ASSERT_NE(WrapperOf(dlg, items[3]), nullptr);
  const char text[] = "Gr\xfc\xdf" "e";
  for (HWND w : items) {
    EXPECT_TRUE(SetWindowTextA(w, text));
    char back[16] = {};
    EXPECT_EQ(GetWindowTextA(w, back, 16), 5);
    EXPECT_STREQ(back, text);
  }
  engine->DetachWindow(dlg);
  for (std::size_t i = 0; i < std::size(items); ++i) {
    EXPECT_FALSE(IsWindowUnicode(items[i])) << "window " << i << " (0 the dialog)";
    EXPECT_EQ(SendMessageW(items[i], SKM_QUERYSKINNED, 0, 0), 0) << i;
  }
}

TEST_F(Controls, NativePushButtonClickPostsCommandToTheParent) {
  HWND dlg = Dialog();
  HWND push = GetDlgItem(dlg, idPush);
  SendMessageW(push, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_TRUE(WrapperOf(dlg, push)->Pressed());
  EXPECT_EQ(GetFocus(), push);
  SendMessageW(push, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_FALSE(WrapperOf(dlg, push)->Pressed());
  Pump();
  ASSERT_EQ(gCommands.size(), 1u);
  EXPECT_EQ(gCommands[0].id, idPush);
  EXPECT_EQ(gCommands[0].code, BN_CLICKED);
  EXPECT_EQ(gCommands[0].from, push);
  // A release without a press made on the button clicks nothing.
  SendMessageW(push, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  Pump();
  EXPECT_EQ(gCommands.size(), 1u);
}

TEST_F(Controls, ANativePushButtonShowsItsNewCaption) {
  HWND dlg = Dialog();
  HWND push = GetDlgItem(dlg, idPush);
  ASSERT_NE(WrapperOf(dlg, push), nullptr);
  const auto pixels = [push] {
    RedrawWindow(push, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RECT r;
    GetClientRect(push, &r);
    HDC dc = GetDC(push);
    std::vector<COLORREF> px;
    for (int y = 0; y < r.bottom; ++y)
      for (int x = 0; x < r.right; ++x) px.push_back(GetPixel(dc, x, y));
    ReleaseDC(push, dc);
    return px;
  };
  const auto before = pixels();
  SetWindowTextW(push, L"WWWW");
  const auto renamed = pixels();
  EXPECT_NE(renamed, before) << "the new caption shows";
  SetWindowTextW(push, L"Push");
  EXPECT_EQ(pixels(), before);
}

TEST_F(Controls, RoutingStateRules) {
  HWND dlg = Dialog();
  HWND check = GetDlgItem(dlg, idCheck);
  TvexSkinControl* w = WrapperOf(dlg, check);
  ASSERT_NE(w, nullptr);
  SendMessageW(check, WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(w->State, 0);
  SendMessageW(check, WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_TRUE(w->Pressed());
  SendMessageW(check, WM_KEYUP, 'A', 0);
  EXPECT_TRUE(w->Pressed());
  SendMessageW(check, WM_KEYUP, VK_RETURN, 0);
  EXPECT_FALSE(w->Pressed());
  SendMessageW(check, CM_MOUSEENTER, 0, 0);
  EXPECT_TRUE(w->Hot());
  SendMessageW(check, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(w->State, csHot | csPressed);
  SendMessageW(check, CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(w->State, 0);
  // A detached wrapper no longer tracks anything.
  w->Detach();
  SendMessageW(check, CM_MOUSEENTER, 0, 0);
  EXPECT_EQ(w->State, 0);
}

TEST_F(Controls, HoverTimerUnlessTheWindowHoldsAProgressBar) {
  HWND plain = Dialog();
  auto* button = static_cast<TvexSkinWndButton*>(WrapperOf(plain, GetDlgItem(plain, idPush)));
  ASSERT_NE(button, nullptr);
  EXPECT_TRUE(button->HasHoverTimer());
  // The poll clears the hot state once the cursor has left the button.
  SetCursorPos(5, 5);
  SendMessageW(button->Handle, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  EXPECT_TRUE(button->Hot());
  button->Poll();
  EXPECT_FALSE(button->Hot());
  EXPECT_TRUE(button->FirstPaintDone);

  HWND withProgress = Dialog(true);
  auto* other = static_cast<TvexSkinWndButton*>(WrapperOf(withProgress, GetDlgItem(withProgress, idPush)));
  ASSERT_NE(other, nullptr);
  EXPECT_TRUE(engine->FindFrame(withProgress)->FHasAnimation);
  EXPECT_FALSE(other->HasHoverTimer());
}

TEST_F(Controls, BoxSlicesFollowCheckStateAndEnabled) {
  const struct {
    LRESULT check;
    bool enabled;
    int box, radio;
  } cases[] = {
      {BST_CHECKED, true, 1, 1},   {BST_UNCHECKED, true, 3, 2},       {BST_INDETERMINATE, true, 2, 1},
      {BST_CHECKED, false, 4, 3},  {BST_UNCHECKED, false, 6, 4},      {BST_INDETERMINATE, false, 5, 3},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TvexSkinWndCheckBox::Slice(c.check, c.enabled), c.box) << c.check << " " << c.enabled;
    EXPECT_EQ(TvexSkinWndRadioButton::Slice(c.check, c.enabled), c.radio) << c.check << " " << c.enabled;
  }
}

TEST_F(Controls, CheckBoxShowsTheSkinImageOfItsState) {
  HWND dlg = Dialog();
  HWND check = GetDlgItem(dlg, idCheck);
  TBitmap checked, unchecked;
  ASSERT_TRUE(engine->GetSkinBitmap(keys::bitmap::SKIN2_CHECKBOX, checked, 6, 1));
  ASSERT_TRUE(engine->GetSkinBitmap(keys::bitmap::SKIN2_CHECKBOX, unchecked, 6, 3));
  // A pixel where the two images differ tells which one is on the window.
  int px = -1, py = -1;
  for (int y = 0; y < checked.Height() && px < 0; ++y)
    for (int x = 0; x < checked.Width(); ++x)
      if (checked.PixelColor(x, y) != unchecked.PixelColor(x, y) && checked.PixelColor(x, y) != engine->SkinMetrics().TransparentColor &&
          unchecked.PixelColor(x, y) != engine->SkinMetrics().TransparentColor) {
        px = x;
        py = y;
        break;
      }
  ASSERT_GE(px, 0);
  auto onWindow = [&] {
    HDC dc = GetDC(check);
    const COLORREF c = GetPixel(dc, px, py);
    ReleaseDC(check, dc);
    return static_cast<TColor>(c);
  };
  SendMessageW(check, BM_SETCHECK, BST_CHECKED, 0);
  UpdateWindow(check);
  EXPECT_EQ(onWindow(), checked.PixelColor(px, py));
  SendMessageW(check, BM_SETCHECK, BST_UNCHECKED, 0);
  UpdateWindow(check);
  EXPECT_EQ(onWindow(), unchecked.PixelColor(px, py));
}

// A framework control's wrapper sits in its WindowProc.
class TRecordingWrapper : public TvexSkinControlVCL {
 public:
  TRecordingWrapper(TControl* c, TvexSkinWindow* owner) : TvexSkinControlVCL(c, owner) {}
  bool BeforeMessage(TMessage& m) override {
    if (m.Msg == WM_USER + 7) {
      m.Result = 77;
      return false;  // answered here: the control's own procedure must not see it
    }
    return true;
  }
  void Attached() override { attached = true; }
  bool attached = false;
};

TEST_F(Controls, FrameworkWrapperRoutingAndDisabledTag) {
  HWND dlg = Dialog();
  TvexSkinWindow* frame = engine->FindFrame(dlg);
  auto* button = new TButton(form.get());
  button->SetParent(form.get());
  int seen = 0;
  TWndMethod inner = button->WindowProc;
  button->WindowProc = [&seen, inner](TMessage& m) {
    if (m.Msg == WM_USER + 7) ++seen;
    inner(m);
  };
  std::unique_ptr<TRecordingWrapper> w(NewControlWrapper<TRecordingWrapper>(button, frame));
  EXPECT_TRUE(w->attached);
  EXPECT_EQ(button->Perform(WM_USER + 7), 77);
  EXPECT_EQ(seen, 0);
  EXPECT_EQ(button->Perform(SKM_QUERYSKINNED), 1);
  button->Perform(WM_KEYDOWN, VK_SPACE);
  EXPECT_TRUE(w->Pressed());
  button->Perform(WM_KEYUP, VK_SPACE);
  // The disabled tag: every message goes straight to the control.
  button->SetTag(engine->DisabledTag());
  button->Perform(WM_KEYDOWN, VK_SPACE);
  EXPECT_FALSE(w->Pressed());
  button->Perform(WM_USER + 7);
  EXPECT_EQ(seen, 1);
  // With DisabledTag 0, controls tagged 0 are the native ones.
  button->SetTag(0);
  engine->SetDisabledTag(0);
  EXPECT_EQ(button->Perform(WM_USER + 7), 0);
  engine->SetDisabledTag(9999);
  EXPECT_EQ(button->Perform(WM_USER + 7), 77);
  w->RestoreWindowProc();
  button->Perform(WM_USER + 7);
  EXPECT_EQ(seen, 3);
}

}  // namespace
}  // namespace vex::engine

namespace vex::engine {
namespace {

class TTaggedWrapper : public TvexSkinControlVCL {
 public:
  TTaggedWrapper(TControl* c, TvexSkinWindow* owner, int row) : TvexSkinControlVCL(c, owner), row(row) {}
  int row;
};

class TFailingWrapper : public TvexSkinControlVCL {
 public:
  TFailingWrapper(TControl* c, TvexSkinWindow* owner) : TvexSkinControlVCL(c, owner) {}
  void Attached() override { throw std::runtime_error("no"); }
};

TEST_F(Controls, ControlClassTableIsSearchedFromTheLastRow) {
  HWND dlg = Dialog();
  TvexSkinWindow* frame = engine->FindFrame(dlg);
  ClearControlClassTable();
  auto row = [](const TClassInfo& cls, int n) {
    return TControlClassRow{&cls, [n](TControl* c, TvexSkinWindow* f) -> TvexSkinControlVCL* {
                              return NewControlWrapper<TTaggedWrapper>(c, f, n);
                            }};
  };
  const TControlClassRow rows[] = {row(TWinControl::StaticClass(), 0), row(TButton::StaticClass(), 1),
                                   row(TWinControl::StaticClass(), 2)};
  // Registered in two calls: rows are appended.
  RegisterControlClasses(TSpan<const TControlClassRow>(rows, 2));
  auto* button = new TButton(form.get());
  auto* panel = new TPanel(form.get());
  auto* label = new TLabel(form.get());
  std::unique_ptr<TvexSkinControlVCL> w(CreateControlWrapper(button, frame));
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(static_cast<TTaggedWrapper*>(w.get())->row, 1);
  w->RestoreWindowProc();
  w.reset(CreateControlWrapper(panel, frame));
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(static_cast<TTaggedWrapper*>(w.get())->row, 0);
  w->RestoreWindowProc();
  EXPECT_EQ(CreateControlWrapper(label, frame), nullptr);  // no row for windowless controls
  RegisterControlClasses(TSpan<const TControlClassRow>(rows + 2, 1));
  EXPECT_EQ(ControlClassTable().size(), 3u);
  w.reset(CreateControlWrapper(button, frame));
  EXPECT_EQ(static_cast<TTaggedWrapper*>(w.get())->row, 2);  // the general row registered last wins
  w->RestoreWindowProc();
  w.reset();

  // A wrapper whose construction fails leaves the control unwrapped and working.
  const TControlClassRow failing[] = {TControlClassRow{&TButton::StaticClass(), [](TControl* c, TvexSkinWindow* f) -> TvexSkinControlVCL* {
                                                         return NewControlWrapper<TFailingWrapper>(c, f);
                                                       }}};
  RegisterControlClasses(failing);
  EXPECT_EQ(CreateControlWrapper(button, frame), nullptr);
  EXPECT_EQ(button->Perform(SKM_QUERYSKINNED), 0);
  ClearControlClassTable();
}

}  // namespace
}  // namespace vex::engine

namespace vex::engine {
namespace {

// The records belong to the engine.
class ScrollTracking : public test::TSkinnedEngineTest {};

TEST_F(ScrollTracking, ThumbDragIsClampedBetweenTheArrows) {
  HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 50, 50, 300, 300, nullptr, nullptr, nullptr, nullptr);
  HWND list = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 10, 10, 120, 200,
                              parent, nullptr, nullptr, nullptr);
  ASSERT_NE(list, nullptr);
  for (int i = 0; i < 100; ++i) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"item"));
  SCROLLBARINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetScrollBarInfo(list, OBJID_VSCROLL, &info));
  const int a = GetSystemMetrics(SM_CXVSCROLL);
  const int barHeight = info.rcScrollBar.bottom - info.rcScrollBar.top;
  const int length = info.xyThumbBottom - info.xyThumbTop;
  POINT cursor;
  GetCursorPos(&cursor);

  TScrollTrackInfo& t = engine->VScrollTrack;
  TMessage track{WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 0), 0, 0};
  t.DragStart = POINT{cursor.x, cursor.y + 1000};  // dragged far above the top arrow
  TrackScrollThumb(*engine, list, parent, track);
  EXPECT_TRUE(t.Tracking);
  EXPECT_EQ(t.ThumbStart, a);
  EXPECT_EQ(t.ThumbEnd, a + length);
  t.DragStart = POINT{cursor.x, cursor.y - 1000};  // far past the bottom
  TrackScrollThumb(*engine, list, parent, track);
  EXPECT_EQ(t.ThumbStart, barHeight - a - length);
  // The bar rectangle is in the parent's client coordinates.
  POINT barTop{info.rcScrollBar.left, info.rcScrollBar.top};
  ScreenToClient(parent, &barTop);
  EXPECT_EQ(t.BarRect.top, barTop.y);
  EXPECT_EQ(t.BarRect.left, barTop.x);
  EXPECT_EQ(barTop.x, 10 + 120 - (info.rcScrollBar.right - info.rcScrollBar.left));
  EXPECT_EQ(t.BarRect.bottom - t.BarRect.top, barHeight);
  TMessage position{WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0, 0};
  TrackScrollThumb(*engine, list, parent, position);
  EXPECT_FALSE(t.Tracking);
  EXPECT_EQ(t.ThumbStart, info.xyThumbTop);
  DestroyWindow(parent);
}

TEST(ScrollTrackedClasses, ByExactName) {
  for (const char* n : {"TRxRichEdit", "TRxCustomRichEdit", "TJvxRichEdit", "TRichEditViewer"}) EXPECT_TRUE(IsScrollTrackedClass(n)) << n;
  for (const char* n : {"TMyRichEditViewer", "trichEditviewer", "TRichEdit"}) EXPECT_FALSE(IsScrollTrackedClass(n)) << n;
}

}  // namespace
}  // namespace vex::engine

namespace vex::engine {
namespace {

// Counts the pixels of a window's area that have exactly a colour.
int CountColour(HWND w, COLORREF c) {
  RECT r;
  GetClientRect(w, &r);
  HDC dc = GetDC(w);
  int n = 0;
  for (int y = 0; y < r.bottom; ++y)
    for (int x = 0; x < r.right; ++x)
      if (GetPixel(dc, x, y) == c) ++n;
  ReleaseDC(w, dc);
  return n;
}

TEST_F(Controls, DisabledPushButtonCaptionIsGrey) {
  HWND dlg = Dialog();
  HWND push = GetDlgItem(dlg, idPush);
  const COLORREF font = static_cast<COLORREF>(ColorToRGB(engine->GetSkinColor(keys::color::SKIN2_BUTTONFONTCOLOR)));
  const COLORREF grey = 0x808080;
  SetFocus(GetDlgItem(dlg, idCheck));
  InvalidateRect(push, nullptr, TRUE);
  UpdateWindow(push);
  const int enabledText = CountColour(push, font), enabledGrey = CountColour(push, grey);
  EXPECT_GT(enabledText, 0);
  EnableWindow(push, FALSE);
  UpdateWindow(push);
  EXPECT_EQ(CountColour(push, font), 0);
  EXPECT_GT(CountColour(push, grey), enabledGrey);
}

}  // namespace
}  // namespace vex::engine

namespace vex::engine {
namespace {

TEST_F(Controls, NativePushButtonKeys) {
  HWND dlg = Dialog();
  HWND push = GetDlgItem(dlg, idPush);
  SetFocus(push);
  auto* w = WrapperOf(dlg, push);
  ASSERT_NE(w, nullptr);
  // Enter: the key-down is the wrapper's alone; the button's own procedure does not click.
  SendMessageW(push, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_TRUE(w->Pressed());
  SendMessageW(push, WM_KEYUP, VK_RETURN, 0);
  EXPECT_FALSE(w->Pressed());
  Pump();
  EXPECT_TRUE(gCommands.empty());
  // Space: paints pressed, and the button's own procedure clicks on the release.
  SendMessageW(push, WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_TRUE(w->Pressed());
  SendMessageW(push, WM_KEYUP, VK_SPACE, 0);
  EXPECT_FALSE(w->Pressed());
  Pump();
  ASSERT_EQ(gCommands.size(), 1u);
  EXPECT_EQ(gCommands[0].id, idPush);
}

}  // namespace
}  // namespace vex::engine

namespace vex::engine {
namespace {

// Panels publishing a border style of the framework's type, and of some other type.
class TStyledPanel : public TPanel {
  VEX_CLASS(TStyledPanel)
 public:
  explicit TStyledPanel(TComponent* owner, const TClassInfo& cls = StaticClass()) : TPanel(owner, cls) {}
  std::int64_t style = 1;
};
const TClassInfo& TStyledPanel::StaticClass() {
  static TClassInfo info("TStyledPanel", &TPanel::StaticClass());
  static const bool once = [] {
    TPropBuilder<TStyledPanel> b(info);
    b.Enum("BorderStyle", "TBorderStyle", {"bsNone", "bsSingle"}, [](const TStyledPanel& p) { return p.style; },
           [](TStyledPanel& p, std::int64_t v) { p.style = v; });
    return true;
  }();
  (void)once;
  return info;
}

class TOtherStyledPanel : public TPanel {
  VEX_CLASS(TOtherStyledPanel)
 public:
  explicit TOtherStyledPanel(TComponent* owner, const TClassInfo& cls = StaticClass()) : TPanel(owner, cls) {}
};
const TClassInfo& TOtherStyledPanel::StaticClass() {
  static TClassInfo info("TOtherStyledPanel", &TPanel::StaticClass());
  static const bool once = [] {
    TPropBuilder<TOtherStyledPanel> b(info);
    b.Enum("BorderStyle", "TPanelFrameKind", {"fkNone", "fkFlat"}, [](const TOtherStyledPanel&) { return std::int64_t{1}; },
           [](TOtherStyledPanel&, std::int64_t) {});
    return true;
  }();
  (void)once;
  return info;
}

COLORREF WindowPixel(HWND w, int x, int y) {
  HDC dc = GetWindowDC(w);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(w, dc);
  return c;
}

TEST_F(Controls, FlatBordersFollowTheBorderProperties) {
  HWND dlg = Dialog();
  TvexSkinWindow* frame = engine->FindFrame(dlg);
  form->SetBounds(50, 50, 400, 300);
  form->Show();
  Pump();
  const COLORREF border = ColorToRGB(engine->GetSkinColor(keys::color::SKIN2_CONTROLBORDERCOLOR));
  auto place = [&](TPanel* p, int x) {
    p->SetParent(form.get());
    p->SetBounds(x, 10, 60, 40);
    p->SetColor(0x00FF00);
    p->Handle();
    Pump();
  };
  // A panel's own BorderStyle: bsSingle has the flat border, the default bsNone has none.
  auto* single = new TPanel(form.get());
  single->SetBorderStyle(bsSingle);
  auto* plain = new TPanel(form.get());
  auto* styled = new TStyledPanel(form.get());
  auto* other = new TOtherStyledPanel(form.get());
  place(single, 10);
  place(styled, 80);
  place(other, 150);
  place(plain, 220);
  const struct {
    TPanel* panel;
    bool bordered;
  } cases[] = {{single, true}, {styled, true}, {other, false}, {plain, false}};
  for (const auto& c : cases) {
    std::unique_ptr<TvexSkinBorderWinControl> w(NewControlWrapper<TvexSkinBorderWinControl>(c.panel, frame));
    w->Paint();
    if (c.bordered) {
      EXPECT_EQ(WindowPixel(c.panel->Handle(), 0, 0), border) << c.panel->ClassName();
      EXPECT_EQ(WindowPixel(c.panel->Handle(), 1, 1), 0x00FF00u) << c.panel->ClassName();  // the control's own colour inside
    } else {
      EXPECT_NE(WindowPixel(c.panel->Handle(), 0, 0), border) << c.panel->ClassName();
    }
    w->RestoreWindowProc();
  }
  // A border style of the framework's type set to none: no border.
  styled->style = 0;
  InvalidateRect(styled->Handle(), nullptr, TRUE);
  UpdateWindow(styled->Handle());
  std::unique_ptr<TvexSkinBorderWinControl> w(NewControlWrapper<TvexSkinBorderWinControl>(styled, frame));
  w->Paint();
  EXPECT_NE(WindowPixel(styled->Handle(), 0, 0), border);
  w->RestoreWindowProc();
}

}  // namespace
}  // namespace vex::engine

namespace vex::engine {
namespace {

class TCountingWrapper : public TvexSkinControlVCL {
 public:
  TCountingWrapper(TControl* c, TvexSkinWindow* owner, int& count) : TvexSkinControlVCL(c, owner), count(count) {}
  bool BeforeMessage(TMessage& m) override {
    if (m.Msg == WM_USER + 9) ++count;
    return true;
  }
  int& count;
};

TEST_F(Controls, WrappersDroppedOutOfOrderAreCaughtAndTheChainKeepsWorking) {
  HWND dlg = Dialog();
  TvexSkinWindow* frame = engine->FindFrame(dlg);
  auto* button = new TButton(form.get());
  int own = 0, first = 0, second = 0;
  const TWndMethod inner = button->WindowProc;
  button->WindowProc = [&own, inner](TMessage& m) {
    if (m.Msg == WM_USER + 9) ++own;
    inner(m);
  };
  auto a = std::make_unique<TCountingWrapper>(button, frame, first);
  auto b = std::make_unique<TCountingWrapper>(button, frame, second);
  button->Perform(WM_USER + 9);
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 1);
  EXPECT_EQ(own, 1);
  // The first wrapper goes while the second still sits on top of it: caught, and the second
  // still reaches the control's own procedure through what is left of the first.
  EXPECT_FALSE(a->RestoreWindowProc());
  a.reset();
  button->Perform(WM_USER + 9);
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 2);
  EXPECT_EQ(own, 2);
  // In order: the control gets back what the wrapper found.
  EXPECT_TRUE(b->RestoreWindowProc());
  b.reset();
  button->Perform(WM_USER + 9);
  EXPECT_EQ(second, 2);
  EXPECT_EQ(own, 3);
  // A wrapper's destructor takes it out of the chain, and a control freed first is never touched.
  {
    TCountingWrapper c(button, frame, first);
    button->Perform(WM_USER + 9);
    EXPECT_EQ(first, 2);
  }
  button->Perform(WM_USER + 9);
  EXPECT_EQ(first, 2);
  EXPECT_EQ(own, 5);
  auto d = std::make_unique<TCountingWrapper>(button, frame, first);
  TComponent::Free(button);
  EXPECT_EQ(d->Control, nullptr);
  d.reset();
}

// Counts how deeply WM_PAINT messages of a window nest inside one another.
int gPaintDepth = 0, gDeepestPaint = 0;
LRESULT CALLBACK PaintNestingProbe(HWND w, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (msg != WM_PAINT) return DefSubclassProc(w, msg, wParam, lParam);
  if (gPaintDepth >= 3) {  // a runaway chain is cut short rather than left to overflow the stack
    ValidateRect(w, nullptr);
    return 0;
  }
  gDeepestPaint = std::max(gDeepestPaint, ++gPaintDepth);
  const LRESULT result = DefSubclassProc(w, msg, wParam, lParam);
  --gPaintDepth;
  return result;
}

TEST_F(Controls, BoxButtonsPaintWithoutStartingAPaintInsideTheirPaint) {
  HWND dlg = Dialog();
  for (WORD id : {idCheck, idRadio}) {
    HWND box = GetDlgItem(dlg, id);
    gPaintDepth = gDeepestPaint = 0;
    ASSERT_TRUE(SetWindowSubclass(box, PaintNestingProbe, 1, 0));
    // A paint that erases first: the erase comes inside the control's own paint.
    InvalidateRect(box, nullptr, TRUE);
    UpdateWindow(box);
    RemoveWindowSubclass(box, PaintNestingProbe, 1);
    EXPECT_EQ(gDeepestPaint, 1) << id;
  }
}

// A framework wrapper that looks at its control after each message.
class TLookingAfterWrapper : public TvexSkinControlVCL {
 public:
  TLookingAfterWrapper(TControl* c, TvexSkinWindow* owner) : TvexSkinControlVCL(c, owner) {}
  void AfterMessage(TMessage& m) override {
    TvexSkinControlVCL::AfterMessage(m);
    ++looked;
    lastEnabled = Control->Enabled();
  }
  int looked = 0;
  bool lastEnabled = false;
};

TEST_F(Controls, AControlFreedByItsOwnMessageIsNotLookedAtAfterIt) {
  HWND dlg = Dialog();
  TvexSkinWindow* frame = engine->FindFrame(dlg);
  auto* button = new TButton(form.get());
  const TWndMethod inner = button->WindowProc;
  TButton* target = button;
  button->WindowProc = [inner, target](TMessage& m) {
    if (m.Msg == WM_USER + 11) {
      TComponent::Free(target);  // a handler that frees its own control
      return;
    }
    inner(m);
  };
  auto wrapper = std::make_unique<TLookingAfterWrapper>(button, frame);
  button->Perform(WM_USER + 10);
  EXPECT_EQ(wrapper->looked, 1);
  button->Perform(WM_USER + 11);
  EXPECT_EQ(wrapper->Control, nullptr);
  EXPECT_EQ(wrapper->looked, 1);
  wrapper.reset();
}

// A native wrapper whose paint raises in the middle of it.
class TThrowingPaint : public TvexSkinControlWnd {
 public:
  TThrowingPaint(HWND h, TvexSkinWindow* owner) : TvexSkinControlWnd(h, owner) {}
  bool BeforeMessage(TMessage& m) override {
    if (m.Msg != WM_PAINT) return true;
    TPaintDC dc(Handle);
    TOwnedBrush brush(CreateSolidBrush(RGB(1, 2, 3)));
    TSelectObject selected(dc.Get(), brush.Get());
    throw std::runtime_error("paint failed");
  }
};

TEST_F(Controls, AnExceptionInsideAPaintLeavesNoObjectAndNoPendingPaint) {
  HWND dlg = Dialog();
  TvexSkinWindow* frame = engine->FindFrame(dlg);
  HWND child = CreateWindowExW(0, L"STATIC", L"x", WS_CHILD | WS_VISIBLE, 0, 0, 40, 20, dlg, nullptr, nullptr, nullptr);
  ASSERT_NE(child, nullptr);
  auto w = std::make_unique<TThrowingPaint>(child, frame);
  const std::int64_t live = GdiLiveObjects();
  InvalidateRect(child, nullptr, TRUE);
  UpdateWindow(child);
  EXPECT_EQ(GdiLiveObjects(), live);
  // The paint ended properly: nothing is left to paint.
  RECT update;
  EXPECT_FALSE(GetUpdateRect(child, &update, FALSE));
  // The exception waits for the message loop instead of crossing into the system.
  std::exception_ptr kept = TakeDeferredException();
  ASSERT_NE(kept, nullptr);
  try {
    std::rethrow_exception(kept);
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "paint failed");
  }
  w.reset();
  DestroyWindow(child);
}

}  // namespace
}  // namespace vex::engine

namespace vex::engine {
namespace {

TEST_F(Controls, AFrameworkControlsViewComesFromItsPublishedProperties) {
  HWND dlg = Dialog();
  TvexSkinWindow* frame = engine->FindFrame(dlg);
  form->Show();
  auto* button = new TButton(form.get());
  button->SetParent(form.get());
  button->SetBounds(10, 10, 75, 25);
  button->SetCaption(L"Go \u00e9");
  button->SetDefault(true);
  int unused = 0;
  TCountingWrapper w(button, frame, unused);
  TControlView v = w.View();
  EXPECT_EQ(v.caption, L"Go \u00e9");
  EXPECT_TRUE(v.isDefault);
  EXPECT_EQ(v.bounds.right, 75);
  EXPECT_EQ(v.bounds.bottom, 25);
  EXPECT_TRUE(v.enabled);
  EXPECT_EQ(v.check, BST_UNCHECKED);
  EXPECT_FALSE(v.boxRight) << "a button publishes no alignment of a box";
  EXPECT_EQ(v.font, button->Font().Handle());
  SetFocus(button->Handle());
  EXPECT_TRUE(w.View().focused);
  button->SetEnabled(false);
  EXPECT_FALSE(w.View().enabled);
}

}  // namespace
}  // namespace vex::engine
