// Skinned frames of native windows through their whole life: the powers each window keeps, sizes
// that come back exactly after any sequence of skin switches, activations and detaches, windows
// that destroy themselves inside a message, hit testing measured from the window rectangle, and
// native push buttons and check boxes driven with real messages.
#include <windows.h>
#include <windowsx.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <malloc.h>
#include <string>
#include <utility>
#include <vector>

#include "controls/std_wnd.h"
#include "engine/skin_control.h"
#include "engine/skin_engine.h"
#include "engine/skin_window.h"
#include "host/button_controls.h"
#include "host/callback_guard.h"
#include "host/gdi_handle.h"
#include "host/subclass.h"
#include "image/region_runs.h"
#include "skin2/skin_keys.h"
#include "dialog_template.h"
#include "bmp_samples.h"
#include "skin_variant.h"
#include "skinned_engine_fixture.h"
#include "test_support.h"

// Freed memory is poisoned, so a wrapper that goes on after its own destruction calls through a
// broken table and fails the run instead of passing by luck.
void* operator new(std::size_t n) {
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t n) { return operator new(n); }
void operator delete(void* p) noexcept {
  if (!p) return;
  std::memset(p, 0xDD, _msize(p));
  std::free(p);
}
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { operator delete(p); }

namespace vex::engine {
namespace {

using namespace vex::host;
using test::PumpMessages;

SIZE WindowSize(HWND w) {
  RECT r;
  GetWindowRect(w, &r);
  return SIZE{r.right - r.left, r.bottom - r.top};
}
bool Skinned(HWND w) { return SendMessageW(w, SKM_QUERYSKINNED, 0, 0) == 1; }

// A skin whose frame differs from the default one in every size: thin borders (under the four
// pixels a frame keeps), a bottom border of 2 and a taller title.
test::TSkinVariant OtherFrameVariant() {
  test::TSkinVariant v;
  v.bitmaps["SKIN2_FORMLEFTBORDER"] = image::TvexImage(2, 20, 0x404040);
  v.bitmaps["SKIN2_FORMRIGHTBORDER"] = image::TvexImage(3, 20, 0x404040);
  v.bitmaps["SKIN2_FORMBOTTOMBORDER1"] = image::TvexImage(40, 2, 0x404040);
  v.bitmaps["SKIN2_TITLEBAR1"] = image::TvexImage(30, 40, 0x805020);
  v.bitmaps["SKIN2_TITLEBAR2"] = image::TvexImage(10, 40, 0x805020);
  v.bitmaps["SKIN2_TITLEBAR3"] = image::TvexImage(80, 40, 0x805020);
  v.bytes["SKIN2_TITLEBARNEEDREGION"] = 0;
  v.bytes["SKIN2_BOTTOMBORDERNEEDREGION"] = 0;
  return v;
}
std::vector<std::uint8_t> OtherFrameSkin() { return OtherFrameVariant().Archive(); }

struct TPowers {
  bool close, minimize, maximize, icon;
};

class FrameLife : public test::TSkinnedEngineTest {
 protected:
  void SetUp() override {
    TSkinnedEngineTest::SetUp();
    test::WriteFile(dir / "other.vsk", OtherFrameSkin());
    defaultSkin = (dir / "default.vsk").u8string();
    otherSkin = (dir / "other.vsk").u8string();
    // Windows are measured unskinned first, then attached by the test.
    engine->SetSkinDialogs(false);
  }
  void TearDown() override {
    for (HWND w : windows)
      if (IsWindow(w)) DestroyWindow(w);
    PumpMessages();
    form.reset();
  }

  // Attaches a frame, checks its powers, then puts the window through skin switches, activation
  // changes and a detach: it must end at its own size, with its style and menu.
  void Cycle(HWND w, bool isDialog, TPowers expected, const char* what) {
    SCOPED_TRACE(what);
    const SIZE own = WindowSize(w);
    const LONG style = GetWindowLongW(w, GWL_STYLE);
    HMENU menu = GetMenu(w);
    engine->AttachWindow(w, isDialog);
    PumpMessages();
    ASSERT_TRUE(Skinned(w));
    TvexSkinWindow* f = engine->FindFrame(w);
    ASSERT_NE(f, nullptr);
    const auto check = [&](const char* when) {
      SCOPED_TRACE(when);
      TvexSkinWindow* frame = engine->FindFrame(w);
      ASSERT_NE(frame, nullptr);
      EXPECT_EQ(frame->HasCloseButton(), expected.close);
      EXPECT_EQ(frame->HasMinimizeButton(), expected.minimize);
      EXPECT_EQ(frame->HasMaximizeButton(), expected.maximize);
      EXPECT_EQ(frame->HasSystemIcon(), expected.icon);
      frame->PaintFrame();
      EXPECT_EQ(frame->FCloseDrawn, expected.close);
      EXPECT_EQ(frame->FMinimizeDrawn, expected.minimize);
      EXPECT_EQ(frame->FMaximizeDrawn, expected.maximize);
    };
    check("attached");
    const SIZE skinned = WindowSize(w);
    engine->SetActive(true);  // already active: nothing grows
    EXPECT_EQ(WindowSize(w).cx, skinned.cx);
    EXPECT_EQ(WindowSize(w).cy, skinned.cy);
    engine->SetSkinFile(otherSkin);
    PumpMessages();
    check("other skin");
    engine->SetActive(false);
    EXPECT_EQ(WindowSize(w).cx, own.cx);
    EXPECT_EQ(WindowSize(w).cy, own.cy);
    EXPECT_EQ(GetWindowLongW(w, GWL_STYLE) & WS_SYSMENU, style & WS_SYSMENU);
    engine->SetActive(true);
    engine->SetActive(true);
    engine->SetSkinFile(defaultSkin);
    PumpMessages();
    check("default skin again");
    EXPECT_EQ(WindowSize(w).cx, skinned.cx);
    EXPECT_EQ(WindowSize(w).cy, skinned.cy);
    engine->SetActive(false);
    engine->DetachWindow(w);
    engine->SetActive(true);
    PumpMessages();
    EXPECT_FALSE(Skinned(w));
    EXPECT_EQ(WindowSize(w).cx, own.cx);
    EXPECT_EQ(WindowSize(w).cy, own.cy);
    EXPECT_EQ(GetWindowLongW(w, GWL_STYLE) & (WS_SYSMENU | WS_CAPTION), style & (WS_SYSMENU | WS_CAPTION));
    EXPECT_EQ(GetMenu(w), menu);
    if (menu) {
      EXPECT_TRUE(IsMenu(menu));
    }
  }

  HWND Dialog(DWORD style, bool withCancel, bool cancelEnabled, DLGPROC proc = nullptr) {
    test::TDialogTemplate t(WS_POPUP | WS_CAPTION | DS_MODALFRAME | style, L"Life");
    t.Item(L"BUTTON", L"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 10, 70, 50, 14);
    if (withCancel) t.Item(L"BUTTON", L"Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP | (cancelEnabled ? 0 : WS_DISABLED), 70, 70, 50, 14);
    HWND w = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr, proc ? proc : LoggingProc, 0);
    EXPECT_NE(w, nullptr);
    windows.push_back(w);
    SetWindowPos(w, nullptr, 120, 120, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(w, SW_SHOW);
    PumpMessages();
    return w;
  }

  HWND TopLevel(const wchar_t* cls, UINT classStyle, DWORD style, HMENU menu) {
    WNDCLASSW wc{};
    wc.style = classStyle;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = cls;
    RegisterClassW(&wc);
    HWND w = CreateWindowExW(0, cls, L"Top level", style, 60, 60, 400, 300, nullptr, menu, wc.hInstance, nullptr);
    EXPECT_NE(w, nullptr);
    windows.push_back(w);
    ShowWindow(w, SW_SHOW);
    PumpMessages();
    return w;
  }

  static INT_PTR CALLBACK LoggingProc(HWND, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_INITDIALOG) return TRUE;
    if (msg == WM_COMMAND && LOWORD(wParam) == IDCANCEL) ++cancels;
    return msg == WM_COMMAND;
  }

  static inline int cancels = 0;
  std::string defaultSkin, otherSkin;
  std::vector<HWND> windows;
};

TEST_F(FrameLife, DialogsAndWindowsKeepTheirPowersAndComeBackAtTheirOwnSize) {
  cancels = 0;
  Cycle(Dialog(WS_SYSMENU, true, true), true, {true, false, false, false}, "dialog with a system menu");
  Cycle(Dialog(0, true, true), true, {false, false, false, false}, "dialog without a system menu");
  Cycle(Dialog(WS_SYSMENU, true, false), true, {true, false, false, false}, "dialog with a disabled Cancel");
  Cycle(TopLevel(L"VexNoCloseWindow", CS_NOCLOSE, WS_OVERLAPPEDWINDOW, nullptr), false, {false, true, true, true},
        "class with CS_NOCLOSE");
  HMENU menu = CreateMenu();
  AppendMenuW(menu, MF_STRING, 101, L"&File");
  AppendMenuW(menu, MF_STRING, 102, L"&Edit");
  Cycle(TopLevel(L"VexMenuWindow", 0, WS_OVERLAPPEDWINDOW, menu), false, {true, true, true, true},
        "overlapped window with a menu");
  HWND tool = TopLevel(L"VexToolWindow", 0, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, nullptr);
  SetWindowLongW(tool, GWL_EXSTYLE, GetWindowLongW(tool, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
  Cycle(tool, false, {true, false, false, false}, "tool window");
}

TEST_F(FrameLife, CloseDoesWhatTheWindowAllows) {
  cancels = 0;
  HWND disabled = Dialog(WS_SYSMENU, true, false);
  engine->AttachWindow(disabled, true);
  SendMessageW(disabled, WM_SYSCOMMAND, SC_CLOSE, 0);
  PumpMessages();
  EXPECT_EQ(cancels, 0) << "a disabled Cancel button is not pressed by the frame";
  HWND enabled = Dialog(WS_SYSMENU, true, true);
  engine->AttachWindow(enabled, true);
  SendMessageW(enabled, WM_SYSCOMMAND, SC_CLOSE, 0);
  PumpMessages();
  EXPECT_EQ(cancels, 1);
  HWND noMenu = Dialog(0, true, true);
  engine->AttachWindow(noMenu, true);
  SendMessageW(noMenu, WM_SYSCOMMAND, SC_CLOSE, 0);
  PumpMessages();
  EXPECT_EQ(cancels, 1) << "no system menu, no close";
  // A window that is not a dialog closes the system's way.
  HWND top = TopLevel(L"VexClosingWindow", 0, WS_OVERLAPPEDWINDOW, nullptr);
  engine->AttachWindow(top, false);
  SendMessageW(top, WM_SYSCOMMAND, SC_CLOSE, 0);
  PumpMessages();
  EXPECT_FALSE(IsWindow(top));
}

// How many popup menus Alt+Space opens on the window (each is closed again from a timer).
int gMenusSeen = 0;
int MenusOnAltSpace(HWND w) {
  gMenusSeen = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 30, [](HWND, UINT, UINT_PTR, DWORD) {
    HWND menu = FindWindowW(L"#32768", nullptr);
    if (menu && IsWindowVisible(menu)) {
      ++gMenusSeen;
      EndMenu();
    }
  });
  SendMessageW(w, WM_SYSCOMMAND, SC_KEYMENU, L' ');
  KillTimer(nullptr, timer);
  return gMenusSeen;
}

TEST_F(FrameLife, AltSpaceOpensTheSystemMenuWhereTheWindowHasOne) {
  HMENU bar = CreateMenu();
  AppendMenuW(bar, MF_STRING, 101, L"&File");
  const struct {
    HWND window;
    bool isDialog;
    const char* what;
  } cases[] = {
      {TopLevel(L"VexAltSpaceWindow", 0, WS_OVERLAPPEDWINDOW, nullptr), false, "overlapped window"},
      {TopLevel(L"VexAltSpaceMenuWindow", 0, WS_OVERLAPPEDWINDOW, bar), false, "window with a menu bar"},
      {Dialog(WS_SYSMENU, true, true), true, "dialog with a system menu"},
      {Dialog(0, true, true), true, "dialog without one"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const int own = MenusOnAltSpace(c.window);
    engine->AttachWindow(c.window, c.isDialog);
    PumpMessages();
    ASSERT_TRUE(Skinned(c.window));
    EXPECT_EQ(MenusOnAltSpace(c.window), own);
    engine->DetachWindow(c.window);
  }
}

// Runs `body` inside a message box of `type`, then ends the box with `answer`.
struct TBoxRun {
  UINT type;
  int answer;
  std::function<void(HWND)> body;
};
TBoxRun* gBox = nullptr;

int RunInMessageBox(TBoxRun& run) {
  gBox = &run;
  SetTimer(nullptr, 0, 30, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND box = FindWindowW(L"#32770", L"Box test");
    EXPECT_NE(box, nullptr);
    if (!box) return;
    gBox->body(box);
    PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(gBox->answer), 0);
  });
  return MessageBoxW(nullptr, L"A message box of the test", L"Box test", run.type);
}

TEST_F(FrameLife, MessageBoxesKeepTheirPowers) {
  const struct {
    UINT type;
    int answer;
    TPowers powers;
  } cases[] = {
      {MB_OK, IDOK, {true, false, false, false}},
      {MB_OKCANCEL, IDCANCEL, {true, false, false, false}},
      {MB_YESNO, IDNO, {false, false, false, false}},
  };
  for (const auto& c : cases) {
    TBoxRun run{c.type, c.answer, [&](HWND box) {
                  Cycle(box, true, c.powers, "message box");
                  if (!c.powers.close) {
                    // A box that cannot be closed stays after a system close.
                    engine->AttachWindow(box, true);
                    SendMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
                    EXPECT_TRUE(IsWindow(box));
                  }
                }};
    EXPECT_EQ(RunInMessageBox(run), c.answer) << "type " << c.type;
  }
}

TEST_F(FrameLife, AWindowOptedOutIsNeverTouched) {
  TComponentPtr<TForm> other(new TForm(nullptr));
  other->SetTag(engine->DisabledTag());
  other->SetBounds(40, 40, 320, 240);
  other->Show();
  PumpMessages();
  HWND w = other->Handle();
  const SIZE own = WindowSize(w);
  const LONG style = GetWindowLongW(w, GWL_STYLE);
  engine->AttachWindow(w, true);
  engine->SetActive(false);
  engine->SetActive(true);
  engine->SetSkinFile(otherSkin);
  PumpMessages();
  EXPECT_EQ(WindowSize(w).cx, own.cx);
  EXPECT_EQ(WindowSize(w).cy, own.cy);
  EXPECT_EQ(GetWindowLongW(w, GWL_STYLE), style);
  engine->DetachWindow(w);
  EXPECT_EQ(WindowSize(w).cx, own.cx);
  EXPECT_EQ(WindowSize(w).cy, own.cy);
}

TEST_F(FrameLife, AWindowAttachedBeforeASkinKeepsItsOwnFrameUntilOneLoads) {
  // An engine switched on before it has a skin, whose skin file then names no file: the window
  // attached to it keeps its size and its system menu; the skin, once it loads, skins it.
  TComponentPtr<TForm> other(new TForm(nullptr));
  auto* bare = new TvexSkinEngine(other.get());
  HWND w = TopLevel(L"VexBeforeSkinWindow", 0, WS_OVERLAPPEDWINDOW, nullptr);
  const SIZE own = WindowSize(w);
  const LONG style = GetWindowLongW(w, GWL_STYLE);
  bare->AttachWindow(w, false);
  bare->SetActive(true);
  bare->SetSkinFile((dir / "no-such-skin.vsk").u8string());
  PumpMessages();
  ASSERT_FALSE(bare->IsSkinActive());
  ASSERT_NE(bare->FindFrame(w), nullptr);
  EXPECT_FALSE(Skinned(w));
  EXPECT_EQ(WindowSize(w).cx, own.cx);
  EXPECT_EQ(WindowSize(w).cy, own.cy);
  EXPECT_EQ(GetWindowLongW(w, GWL_STYLE), style);
  bare->SetSkinFile(defaultSkin);
  PumpMessages();
  EXPECT_TRUE(Skinned(w));
  EXPECT_GT(WindowSize(w).cx, own.cx);
  bare->DetachWindow(w);
  EXPECT_EQ(WindowSize(w).cx, own.cx);
  EXPECT_EQ(WindowSize(w).cy, own.cy);
  EXPECT_EQ(GetWindowLongW(w, GWL_STYLE), style);
}

TEST_F(FrameLife, FarOutFrameValuesDoNotLoseTheWindowsSize) {
  test::TSkinVariant v;
  v.bitmaps["SKIN2_FORMLEFTBORDER"] = image::TvexImage(3000, 4, 0x404040);
  v.bitmaps["SKIN2_FORMBOTTOMBORDER1"] = image::TvexImage(8, 3000, 0x404040);
  v.bitmaps["SKIN2_TITLEBAR1"] = image::TvexImage(8, 2500, 0x805020);
  v.bytes["SKIN2_TITLEBARNEEDREGION"] = 0;
  v.bytes["SKIN2_BOTTOMBORDERNEEDREGION"] = 0;
  test::WriteFile(dir / "huge.vsk", v.Archive());
  HWND w = Dialog(WS_SYSMENU, true, true);
  const SIZE own = WindowSize(w);
  engine->SetSkinFile((dir / "huge.vsk").u8string());
  engine->AttachWindow(w, true);
  PumpMessages();
  ASSERT_TRUE(Skinned(w));
  RECT client;
  GetClientRect(w, &client);
  EXPECT_GE(client.right, 0);
  EXPECT_GE(client.bottom, 0);
  engine->SetSkinFile(defaultSkin);
  PumpMessages();
  engine->DetachWindow(w);
  EXPECT_EQ(WindowSize(w).cx, own.cx);
  EXPECT_EQ(WindowSize(w).cy, own.cy);
}

// ----- windows destroyed inside a message they forward -----

// A modeless dialog that destroys itself from its timer, its cancel, or a click on OK.
INT_PTR CALLBACK DestroysItself(HWND w, UINT msg, WPARAM wParam, LPARAM) {
  if (msg == WM_INITDIALOG) return TRUE;
  const bool ends = msg == WM_TIMER || (msg == WM_COMMAND && (LOWORD(wParam) == IDCANCEL ||
                                                                (LOWORD(wParam) == IDOK && HIWORD(wParam) == BN_CLICKED)));
  if (!ends) return FALSE;
  if (msg == WM_TIMER) KillTimer(w, wParam);
  DestroyWindow(w);
  return TRUE;
}

TEST_F(FrameLife, ADialogThatDestroysItselfInsideAMessage) {
  // From WM_TIMER (the modeless dialog's own timer).
  HWND a = Dialog(WS_SYSMENU, true, true, DestroysItself);
  engine->AttachWindow(a, true);
  ASSERT_TRUE(Skinned(a));
  const std::size_t frames = engine->FrameList().size();
  SetTimer(a, 7, 10, nullptr);
  for (int i = 0; i < 50 && IsWindow(a); ++i) {
    Sleep(5);
    PumpMessages();
  }
  EXPECT_FALSE(IsWindow(a));
  EXPECT_EQ(engine->FrameList().size(), frames - 1);
  // From its close: the frame's cancel destroys the dialog.
  HWND b = Dialog(WS_SYSMENU, true, true, DestroysItself);
  engine->AttachWindow(b, true);
  SendMessageW(b, WM_SYSCOMMAND, SC_CLOSE, 0);
  PumpMessages();
  EXPECT_FALSE(IsWindow(b));
  EXPECT_EQ(engine->FindFrame(b), nullptr);
  LastDestroyedDialog() = nullptr;
}

TComponentPtr<TForm>* gFormToFree = nullptr;

INT_PTR CALLBACK FreeEngineOnTimer(HWND w, UINT msg, WPARAM wParam, LPARAM) {
  if (msg == WM_INITDIALOG) return TRUE;
  if (msg == WM_TIMER) {
    KillTimer(w, wParam);
    gFormToFree->reset();  // the form and its engine, with every frame
    return TRUE;
  }
  return FALSE;
}

TEST_F(FrameLife, TheEngineFreedInsideAMessageOfASkinnedWindow) {
  HWND w = Dialog(WS_SYSMENU, true, true, FreeEngineOnTimer);
  engine->AttachWindow(w, true);
  ASSERT_TRUE(Skinned(w));
  const SIZE skinned = WindowSize(w);
  gFormToFree = &form;
  SetTimer(w, 8, 10, nullptr);
  for (int i = 0; i < 50 && form; ++i) {
    Sleep(5);
    PumpMessages();
  }
  EXPECT_FALSE(form);
  engine = nullptr;
  ASSERT_TRUE(IsWindow(w));
  EXPECT_FALSE(Skinned(w));
  EXPECT_LT(WindowSize(w).cx, skinned.cx);
  EXPECT_NE(GetWindowLongW(w, GWL_STYLE) & WS_SYSMENU, 0) << "the system menu comes back";
}

TEST_F(FrameLife, AButtonWhoseClickDestroysItsDialog) {
  HWND w = Dialog(WS_SYSMENU, true, true, DestroysItself);
  engine->AttachWindow(w, true);
  HWND ok = GetDlgItem(w, IDOK);
  ASSERT_TRUE(Skinned(ok));
  SetFocus(ok);
  SendMessageW(ok, WM_KEYDOWN, VK_SPACE, 0);
  SendMessageW(ok, WM_KEYUP, VK_SPACE, 0);  // the button clicks inside this call
  PumpMessages();
  EXPECT_FALSE(IsWindow(w));
  EXPECT_EQ(engine->FindFrame(w), nullptr);
  LastDestroyedDialog() = nullptr;
}

INT_PTR CALLBACK DestroyTheClickedButton(HWND, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) return TRUE;
  if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && lParam) {
    DestroyWindow(reinterpret_cast<HWND>(lParam));
    return TRUE;
  }
  return FALSE;
}

TEST_F(FrameLife, AControlDestroyedWhileItsDialogLivesTakesItsWrapperAlong) {
  HWND w = Dialog(WS_SYSMENU, true, true, DestroyTheClickedButton);
  engine->AttachWindow(w, true);
  PumpMessages();
  TvexSkinWindow* f = engine->FindFrame(w);
  ASSERT_NE(f, nullptr);
  const auto wrappers = [f](HWND h) {
    return std::count_if(f->FControls.begin(), f->FControls.end(), [h](const auto& c) { return c->GetHandle() == h; });
  };
  HWND ok = GetDlgItem(w, IDOK), cancel = GetDlgItem(w, IDCANCEL);
  ASSERT_EQ(wrappers(ok), 1);
  ASSERT_EQ(wrappers(cancel), 1);
  const std::size_t before = f->FControls.size();
  // Destroyed by the program, and by its own click (Space) inside the button's own message.
  DestroyWindow(ok);
  EXPECT_EQ(wrappers(ok), 0);
  SetFocus(cancel);
  SendMessageW(cancel, WM_KEYDOWN, VK_SPACE, 0);
  SendMessageW(cancel, WM_KEYUP, VK_SPACE, 0);
  PumpMessages();
  ASSERT_FALSE(IsWindow(cancel));
  EXPECT_EQ(wrappers(cancel), 0);
  EXPECT_EQ(f->FControls.size(), before - 2);
  // The frame carries on with the rest.
  engine->SetActive(false);
  engine->SetActive(true);
  EXPECT_TRUE(Skinned(w));
  engine->DetachWindow(w);
  EXPECT_FALSE(Skinned(w));
}

// ----- hit testing and the title's hot and pressed images -----

TEST_F(FrameLife, TitleRowsDragAndElementsAreFoundFromTheWindowRectangle) {
  HWND w = TopLevel(L"VexHitWindow", 0, WS_OVERLAPPEDWINDOW, nullptr);
  engine->SetSkinFile(otherSkin);  // left border 2: the client origin is not at the border's width
  engine->AttachWindow(w, false);
  PumpMessages();
  TvexSkinWindow* f = engine->FindFrame(w);
  ASSERT_NE(f, nullptr);
  RECT wr;
  GetWindowRect(w, &wr);
  const int W = wr.right - wr.left;
  // Below the sizing edge, every row of the title is a caption hit.
  for (int y = 6; y < f->TitleHeight(); ++y)
    EXPECT_EQ(SendMessageW(w, WM_NCHITTEST, 0, MAKELPARAM(wr.left + W / 3, wr.top + y)), HTCAPTION) << "row " << y;
  // The close button is found at its drawn place, edge pixels included.
  image::TTitleButton close{};
  for (const auto& b : f->CurrentLayout().buttons)
    if (b.element == image::teClose) close = b;
  ASSERT_NE(close.rect.right, 0);
  ASSERT_TRUE(SetCursorPos(wr.left + close.rect.left + 1, wr.top + close.rect.top + 1));
  SendMessageW(w, WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(wr.left + close.rect.left + 1, wr.top + close.rect.top + 1));
  EXPECT_EQ(f->FHotButton, 1);
  // The mouse leaves the frame: the hot image goes.
  ASSERT_TRUE(SetCursorPos(wr.left + W / 2, wr.bottom + 40));
  SendMessageW(w, WM_NCMOUSELEAVE, 0, 0);
  EXPECT_EQ(f->FHotButton, -1);
  // A press ends with a drag: nothing stays pressed.
  ASSERT_TRUE(SetCursorPos(wr.left + close.rect.left + 2, wr.top + close.rect.top + 2));
  SendMessageW(w, WM_NCLBUTTONDOWN, HTCAPTION, 0);
  EXPECT_TRUE(f->FPressed);
  ReleaseCapture();
  EXPECT_FALSE(f->FPressed) << "losing the mouse ends the press";
  EXPECT_FALSE(f->FTitleCapture);
  SendMessageW(w, WM_NCLBUTTONDOWN, HTCAPTION, 0);
  SendMessageW(w, WM_EXITSIZEMOVE, 0, 0);
  EXPECT_FALSE(f->FPressed);
  ReleaseCapture();
  engine->DetachWindow(w);
}

// The title's pixels as the window shows them.
std::vector<COLORREF> TitlePixels(HWND w, int height) {
  RECT wr;
  GetWindowRect(w, &wr);
  HDC dc = GetWindowDC(w);
  std::vector<COLORREF> px;
  for (int y = 0; y < height; y += 2)
    for (int x = 0; x < wr.right - wr.left; x += 2) px.push_back(GetPixel(dc, x, y));
  ReleaseDC(w, dc);
  return px;
}

TEST_F(FrameLife, AnUnchangedTitleIsCopiedButEveryChangeShows) {
  HWND w = TopLevel(L"VexTitleCacheWindow", 0, WS_OVERLAPPEDWINDOW, nullptr);
  engine->AttachWindow(w, false);
  PumpMessages();
  TvexSkinWindow* f = engine->FindFrame(w);
  ASSERT_NE(f, nullptr);
  const int th = f->TitleHeight();
  const auto painted = [&] {
    SendMessageW(w, WM_NCPAINT, 1, 0);
    return TitlePixels(w, th);
  };
  const auto first = painted();
  EXPECT_EQ(painted(), first) << "the same title again";
  // Each change shows at the next paint, and going back shows the first title again.
  SetWindowTextW(w, L"Another caption, longer");
  const auto renamed = painted();
  EXPECT_NE(renamed, first);
  SetWindowTextW(w, L"Top level");
  EXPECT_EQ(painted(), first);
  SendMessageW(w, WM_NCACTIVATE, FALSE, 0);
  const auto inactive = painted();
  EXPECT_NE(inactive, first);
  SendMessageW(w, WM_NCACTIVATE, TRUE, 0);
  EXPECT_EQ(painted(), first);
  // The mouse over the close button makes it hot; leaving takes that back.
  image::TTitleButton close{};
  for (const auto& b : f->CurrentLayout().buttons)
    if (b.element == image::teClose) close = b;
  RECT wr;
  GetWindowRect(w, &wr);
  const POINT at{wr.left + (close.rect.left + close.rect.right) / 2, wr.top + (close.rect.top + close.rect.bottom) / 2};
  ASSERT_TRUE(SetCursorPos(at.x, at.y));
  SendMessageW(w, WM_NCMOUSEMOVE, HTCLOSE, MAKELPARAM(at.x, at.y));
  EXPECT_NE(painted(), first);
  ASSERT_TRUE(SetCursorPos(wr.left + 10, wr.bottom + 40));
  SendMessageW(w, WM_NCMOUSELEAVE, 0, 0);
  EXPECT_EQ(painted(), first);
  // Another skin of the same title height: a new title.
  engine->SetSkinFile(otherSkin);
  PumpMessages();
  EXPECT_NE(TitlePixels(w, th), first);
  engine->DetachWindow(w);
}

TEST_F(FrameLife, APressOnATitleButtonReleasedInTheClientAreaStillActs) {
  HWND w = TopLevel(L"VexCaptureWindow", 0, WS_OVERLAPPEDWINDOW, nullptr);
  engine->AttachWindow(w, false);
  PumpMessages();
  TvexSkinWindow* f = engine->FindFrame(w);
  ASSERT_NE(f, nullptr);
  RECT wr;
  GetWindowRect(w, &wr);
  image::TTitleButton minimize{};
  for (const auto& b : f->CurrentLayout().buttons)
    if (b.element == image::teMinimize) minimize = b;
  const POINT at{wr.left + (minimize.rect.left + minimize.rect.right) / 2, wr.top + (minimize.rect.top + minimize.rect.bottom) / 2};
  ASSERT_TRUE(SetCursorPos(at.x, at.y));
  SendMessageW(w, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(at.x, at.y));
  EXPECT_EQ(GetCapture(), w);
  // The release comes as a client message while the frame holds the mouse.
  POINT client = at;
  ScreenToClient(w, &client);
  SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
  PumpMessages();
  EXPECT_NE(GetCapture(), w);
  EXPECT_TRUE(IsIconic(w));
  ShowWindow(w, SW_RESTORE);
  engine->DetachWindow(w);
}

// ----- native push buttons and check boxes -----

struct TCommand {
  int id, code;
};
std::vector<TCommand> gCommands;

INT_PTR CALLBACK CommandLog(HWND, UINT msg, WPARAM wParam, LPARAM) {
  if (msg == WM_INITDIALOG) return TRUE;
  if (msg == WM_COMMAND) {
    gCommands.push_back({LOWORD(wParam), HIWORD(wParam)});
    return TRUE;
  }
  return FALSE;
}

class NativeButtons : public FrameLife {
 protected:
  HWND ButtonDialog(bool withProgress, bool skinned = true) {
    test::TDialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, L"Buttons");
    t.Item(L"BUTTON", L"Push", 10, BS_PUSHBUTTON | BS_NOTIFY | WS_TABSTOP, 10, 10, 60, 14);
    t.Item(L"BUTTON", L"Other", 11, BS_PUSHBUTTON | WS_TABSTOP, 80, 10, 60, 14);
    t.Item(L"BUTTON", L"Right box", 12, BS_AUTOCHECKBOX | BS_LEFTTEXT | WS_TABSTOP, 10, 40, 80, 12);
    t.Item(L"BUTTON", L"Left box", 13, BS_AUTOCHECKBOX | WS_TABSTOP, 10, 56, 80, 12);
    if (withProgress) t.Item(PROGRESS_CLASSW, L"", 14, 0, 10, 75, 100, 8);
    HWND w = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr, CommandLog, 0);
    EXPECT_NE(w, nullptr);
    windows.push_back(w);
    ShowWindow(w, SW_SHOW);
    PumpMessages();
    if (skinned) engine->AttachWindow(w, true);
    PumpMessages();
    gCommands.clear();
    return w;
  }
  int Notifications(int id, int code) const {
    int n = 0;
    for (const TCommand& c : gCommands)
      if (c.id == id && c.code == code) ++n;
    return n;
  }
  int Clicks(int id) const { return Notifications(id, BN_CLICKED); }
};

TEST_F(NativeButtons, OneClickPerClickAndOnlyForAPressThatStartedOnTheButton) {
  HWND dlg = ButtonDialog(false);
  HWND push = GetDlgItem(dlg, 10);
  ASSERT_TRUE(Skinned(push));
  const LPARAM inside = MAKELPARAM(5, 5), outside = MAKELPARAM(500, 5);
  // A double click gives what the system's own button of the same style gives: two clicks, or
  // with BS_NOTIFY one click and a double-click notification.
  HWND own = ButtonDialog(false, false);
  ASSERT_FALSE(Skinned(GetDlgItem(own, 10)));
  const auto doubleClick = [&](HWND dialog, int id) {
    HWND b = GetDlgItem(dialog, id);
    gCommands.clear();
    SendMessageW(b, WM_LBUTTONDOWN, MK_LBUTTON, inside);
    SendMessageW(b, WM_LBUTTONUP, 0, inside);
    SendMessageW(b, WM_LBUTTONDBLCLK, MK_LBUTTON, inside);
    SendMessageW(b, WM_LBUTTONUP, 0, inside);
    PumpMessages();
    return std::make_pair(Clicks(id), Notifications(id, BN_DOUBLECLICKED));
  };
  for (int id : {10, 11}) {  // with BS_NOTIFY, without
    const std::pair<int, int> expected = doubleClick(own, id);
    EXPECT_GE(expected.first, 1);
    EXPECT_EQ(doubleClick(dlg, id), expected) << "button " << id;
  }
  // The press holds the mouse; a release away from the button does not click.
  gCommands.clear();
  SendMessageW(push, WM_LBUTTONDOWN, MK_LBUTTON, inside);
  EXPECT_EQ(GetCapture(), push);
  SendMessageW(push, WM_LBUTTONUP, 0, outside);
  EXPECT_NE(GetCapture(), push);
  // A release over the button without a press on it does not click either.
  SendMessageW(push, WM_LBUTTONUP, 0, inside);
  PumpMessages();
  EXPECT_EQ(Clicks(10), 0);
}

TEST_F(NativeButtons, FocusNotificationsAndASpacePressLetGoWhenFocusMoves) {
  HWND dlg = ButtonDialog(false);
  HWND push = GetDlgItem(dlg, 10), other = GetDlgItem(dlg, 11);
  SetFocus(other);
  gCommands.clear();
  SetFocus(push);
  PumpMessages();
  bool setFocus = false, killFocus = false;
  for (const TCommand& c : gCommands) setFocus |= c.id == 10 && c.code == BN_SETFOCUS;
  EXPECT_TRUE(setFocus);
  SendMessageW(push, WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_EQ(GetCapture(), push);
  SetFocus(other);
  PumpMessages();
  for (const TCommand& c : gCommands) killFocus |= c.id == 10 && c.code == BN_KILLFOCUS;
  EXPECT_TRUE(killFocus);
  EXPECT_NE(GetCapture(), push) << "the Space press let go of the mouse";
  EXPECT_EQ(Clicks(10), 0);
}

TEST_F(NativeButtons, WithoutTheHoverTimerTheHotImageGoesWhenTheMouseLeaves) {
  HWND dlg = ButtonDialog(true);
  HWND push = GetDlgItem(dlg, 10);
  TvexSkinWindow* f = engine->FindFrame(dlg);
  ASSERT_NE(f, nullptr);
  TvexSkinWndButton* b = nullptr;
  for (const auto& c : f->FControls)
    if (c->GetHandle() == push) b = dynamic_cast<TvexSkinWndButton*>(c.get());
  ASSERT_NE(b, nullptr);
  EXPECT_FALSE(b->HasHoverTimer());
  SendMessageW(push, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(b->Hot());
  EXPECT_TRUE(b->TrackingLeave);
  SendMessageW(push, WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(b->Hot());
  EXPECT_FALSE(b->Pressed());
}

TEST_F(NativeButtons, ACheckBoxWithItsTextOnTheLeftHasItsBoxOnTheRight) {
  HWND dlg = ButtonDialog(false);
  HWND right = GetDlgItem(dlg, 12), left = GetDlgItem(dlg, 13);
  ASSERT_TRUE(Skinned(right));
  for (HWND h : {right, left}) {
    InvalidateRect(h, nullptr, TRUE);
    UpdateWindow(h);
  }
  // Both boxes unchecked: the right-box check box shows at its right edge the same image the
  // other shows at its left edge, and not at its left edge.
  const auto block = [](HWND h, int x0) {
    std::vector<COLORREF> px;
    HDC dc = GetDC(h);
    for (int y = 0; y < 12; ++y)
      for (int x = x0; x < x0 + 12; ++x) px.push_back(GetPixel(dc, x, y));
    ReleaseDC(h, dc);
    return px;
  };
  RECT rr;
  GetClientRect(right, &rr);
  int boxWidth = 14;
  if (const TBitmap* strip = engine->CurrentReader()->GetBitmap(skin2::bitmap::SKIN2_CHECKBOX))
    boxWidth = std::max(boxWidth, strip->Width() / 6);
  const std::vector<COLORREF> leftBox = block(left, 0);
  EXPECT_EQ(block(right, rr.right - boxWidth), leftBox);
  EXPECT_NE(block(right, 0), leftBox);
}

// ----- regions -----

TEST_F(FrameLife, ADetailedTitleRegionIsBoundedAndBuiltAtOnce) {
  // Alternating transparent pixels in every row of a title that asks for a region.
  test::TSkinVariant v;
  image::TvexImage t1(60, 31, 0x805020);
  for (int y = 0; y < 31; ++y)
    for (int x = (y & 1); x < 60; x += 2) t1.SetPixel(x, y, 0xFF00FF);
  v.bitmaps["SKIN2_TITLEBAR1"] = t1;
  v.bitmaps["SKIN2_TITLEBAR2"] = t1;
  v.bitmaps["SKIN2_TITLEBAR3"] = t1;
  v.bytes["SKIN2_TITLEBARNEEDREGION"] = 1;
  v.integers["SKIN2_TITLEBARREGIONMINY"] = 0;
  v.integers["SKIN2_TITLEBARREGIONMAXY"] = 30;
  test::WriteFile(dir / "pattern.vsk", v.Archive());
  engine->SetSkinFile((dir / "pattern.vsk").u8string());
  HWND w = Dialog(WS_SYSMENU, true, true);
  SetWindowPos(w, nullptr, 0, 0, 1000, 400, SWP_NOMOVE | SWP_NOZORDER);
  engine->AttachWindow(w, true);
  PumpMessages();
  ASSERT_TRUE(Skinned(w));
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(w, rgn), ERROR);
  const DWORD bytes = GetRegionData(rgn, 0, nullptr);
  DeleteObject(rgn);
  // Thirty-one rows of five hundred runs each would be over fifteen thousand rectangles.
  EXPECT_LE((bytes - sizeof(RGNDATAHEADER)) / sizeof(RECT), image::kMaxRegionRects);
  engine->DetachWindow(w);
}

int gFramePaints = 0;
LRESULT CALLBACK CountFramePaints(HWND w, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
  if (msg == WM_NCPAINT) ++gFramePaints;
  return host::DefSubclass(w, msg, wp, lp);
}

TEST_F(FrameLife, TheSameShapeAgainNeitherReshapesNorRepaintsTheWindow) {
  HWND w = Dialog(WS_SYSMENU, true, true);
  engine->AttachWindow(w, true);
  PumpMessages();
  ASSERT_TRUE(Skinned(w));
  ASSERT_TRUE(engine->CurrentReader()->GetSwitch(skin2::switches::SKIN2_TITLEBARNEEDREGION)) << "the default skin shapes its title";
  TvexSkinWindow* frame = engine->FindFrame(w);
  ASSERT_NE(frame, nullptr);
  RECT box{};
  ASSERT_NE(GetWindowRgnBox(w, &box), ERROR);
  ASSERT_TRUE(host::SetSubclass(w, CountFramePaints, 1, 0));
  gFramePaints = 0;
  frame->UpdateRegion();
  PumpMessages();
  EXPECT_EQ(gFramePaints, 0) << "the window kept its shape and was not painted again";
  // Another size is another shape: the window takes it (and is painted in it).
  SetWindowPos(w, nullptr, 0, 0, 420, 300, SWP_NOMOVE | SWP_NOZORDER);
  PumpMessages();
  RECT after{};
  ASSERT_NE(GetWindowRgnBox(w, &after), ERROR);
  EXPECT_EQ(after.right - after.left, 420);
  host::RemoveSubclass(w, CountFramePaints, 1);
  engine->DetachWindow(w);
}

// ----- the callback guard -----

LRESULT CALLBACK Throwing(HWND w, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  LRESULT r = 0;
  GuardCallback([&] {
    if (msg == WM_APP) throw std::runtime_error("from a callback");
    r = DefSubclassProc(w, msg, wParam, lParam);
  });
  return r;
}

TEST(CallbackGuard, KeepsTheExceptionForTheMessageLoop) {
  HWND w = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(w, nullptr);
  SetWindowSubclass(w, Throwing, 1, 0);
  std::vector<std::string> reported;
  auto saved = Application().OnException;
  Application().OnException = [&](const std::exception* e) { reported.push_back(e ? e->what() : "?"); };
  SendMessageW(w, WM_APP, 0, 0);  // returns normally
  EXPECT_TRUE(reported.empty()) << "nothing is reported inside the callback";
  PostMessageW(w, WM_NULL, 0, 0);
  Application().ProcessMessages();
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_EQ(reported[0], "from a callback");
  EXPECT_EQ(TakeDeferredException(), nullptr);
  Application().OnException = saved;
  RemoveWindowSubclass(w, Throwing, 1);
  DestroyWindow(w);
}

}  // namespace
}  // namespace vex::engine

namespace vex::engine {
namespace {

int gPopupsOpened = 0;
LRESULT CALLBACK MenuWindowProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITMENUPOPUP) ++gPopupsOpened;
  return DefWindowProcW(w, msg, wParam, lParam);
}

TEST_F(FrameLife, AWindowKeepsAWorkingMenuBarInItsFrame) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = MenuWindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"VexMenuBarWindow";
  RegisterClassW(&wc);
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  AppendMenuW(file, MF_STRING, 201, L"&Open");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
  AppendMenuW(bar, MF_STRING, 202, L"&Help");
  HWND w = CreateWindowExW(0, wc.lpszClassName, L"Menu bar", WS_OVERLAPPEDWINDOW, 60, 60, 400, 300, nullptr, bar, wc.hInstance, nullptr);
  ASSERT_NE(w, nullptr);
  windows.push_back(w);
  ShowWindow(w, SW_SHOW);
  PumpMessages();
  engine->AttachWindow(w, false);
  PumpMessages();
  auto* f = static_cast<TvexSkinWindowWnd*>(engine->FindFrame(w));
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(GetMenu(w), bar);
  ASSERT_GT(f->NativeMenuHeight(), 0);
  // The client area starts below the title and the band.
  RECT wr;
  GetWindowRect(w, &wr);
  POINT origin{0, 0};
  ClientToScreen(w, &origin);
  const RECT band = f->MenuBandRect();
  EXPECT_EQ(origin.y - wr.top, band.bottom);
  EXPECT_GE(band.top, f->TitleHeight());
  // The band is painted in the skin's menu bar colour and answers as a menu.
  f->PaintFrame();
  HDC dc = GetWindowDC(w);
  const COLORREF bandColour = GetPixel(dc, band.right - 3, (band.top + band.bottom) / 2);
  ReleaseDC(w, dc);
  const auto& mc = engine->SkinMetrics().MenuColors;
  EXPECT_TRUE(bandColour == static_cast<COLORREF>(ColorToRGB(mc[mcMenuBarStart])) ||
              bandColour == static_cast<COLORREF>(ColorToRGB(mc[mcMenuBarEnd])))
      << std::hex << bandColour;
  EXPECT_EQ(SendMessageW(w, WM_NCHITTEST, 0, MAKELPARAM(wr.left + band.left + 5, wr.top + band.top + 2)), HTMENU);
  // Alt+F opens the File popup below its item; the popup is closed again from a timer.
  gPopupsOpened = 0;
  SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    EndMenu();
  });
  SendMessageW(w, WM_SYSCOMMAND, SC_KEYMENU, L'f');
  EXPECT_EQ(gPopupsOpened, 1);
  EXPECT_EQ(f->FMenuOpen, -1);
  engine->DetachWindow(w);
  EXPECT_EQ(GetMenu(w), bar);
}

}  // namespace
}  // namespace vex::engine

namespace vex::engine {
namespace {

TEST_F(FrameLife, AFailedLoadKeepsThePreviousSkin) {
  HWND w = Dialog(WS_SYSMENU, true, true);
  engine->AttachWindow(w, true);
  const SIZE skinned = WindowSize(w);
  test::WriteFile(dir / "broken.vsk", std::vector<std::uint8_t>{'S', 'K', 3, 4, 0, 0, 0, 0});
  EXPECT_THROW(engine->SetSkinFile((dir / "broken.vsk").u8string()), std::exception);
  EXPECT_TRUE(engine->IsSkinActive());
  EXPECT_TRUE(Skinned(w));
  EXPECT_EQ(engine->SkinMetrics().TitleBarHeight, 31);
  EXPECT_EQ(WindowSize(w).cx, skinned.cx);
  EXPECT_EQ(WindowSize(w).cy, skinned.cy);
  engine->DetachWindow(w);
}

// What a skin switch shows, watched message by message: a window hidden, or painted while its
// frame shows no skin, is a visible flicker.
struct TSwitchWatch {
  static inline TvexSkinEngine* engine = nullptr;
  static inline int hidden = 0, unskinnedPaints = 0;
  static LRESULT CALLBACK Hook(int code, WPARAM wp, LPARAM lp) {
    const auto* m = reinterpret_cast<const CWPSTRUCT*>(lp);
    if (code == HC_ACTION && engine)
      if (TvexSkinWindow* f = engine->FindFrame(m->hwnd)) {
        if (m->message == WM_SHOWWINDOW && !m->wParam) ++hidden;
        if (m->message == WM_WINDOWPOSCHANGING && (reinterpret_cast<const WINDOWPOS*>(m->lParam)->flags & SWP_HIDEWINDOW))
          ++hidden;
        if ((m->message == WM_NCPAINT || m->message == WM_ERASEBKGND || m->message == WM_PAINT) && !f->Skinned() &&
            IsWindowVisible(m->hwnd))
          ++unskinnedPaints;
      }
    return CallNextHookEx(nullptr, code, wp, lp);
  }
};

SIZE ClientSize(HWND w) {
  RECT r;
  GetClientRect(w, &r);
  return SIZE{r.right, r.bottom};
}

// The colour most of the title's middle row shows.
COLORREF TitleColour(HWND w) {
  RECT wr;
  GetWindowRect(w, &wr);
  HDC dc = GetWindowDC(w);
  std::vector<COLORREF> row;
  for (int x = 40; x < (wr.right - wr.left) - 120; x += 3) row.push_back(GetPixel(dc, x, 6));
  ReleaseDC(w, dc);
  std::sort(row.begin(), row.end());
  return row.empty() ? CLR_INVALID : row[row.size() / 2];
}

TEST_F(FrameLife, ASkinSwitchRepaintsEveryWindowInPlace) {
  // A framework form with a control, a native window and a dialog, all skinned; the dialog is the
  // active window; one more skinned window is hidden.
  form->SetBounds(40, 40, 420, 300);
  auto* button = new TButton(form.get());
  button->SetParent(form.get());
  button->SetBounds(10, 10, 100, 30);
  engine->AttachOwnerForm(form.get());
  form->Show();
  HWND framework = form->Handle();
  HWND native = TopLevel(L"VexSwitchWindow", 0, WS_OVERLAPPEDWINDOW, nullptr);
  engine->AttachWindow(native, false);
  HWND hidden = TopLevel(L"VexSwitchHiddenWindow", 0, WS_OVERLAPPEDWINDOW, nullptr);
  engine->AttachWindow(hidden, false);
  ShowWindow(hidden, SW_HIDE);
  HWND dialog = Dialog(WS_SYSMENU, true, true);
  engine->AttachWindow(dialog, true);
  SetActiveWindow(dialog);
  PumpMessages();
  const std::vector<HWND> shown = {framework, native, dialog};
  std::vector<SIZE> clients;
  for (HWND w : shown) {
    ASSERT_TRUE(Skinned(w));
    clients.push_back(ClientSize(w));
  }
  const POINT buttonAt{button->Left(), button->Top()};
  // The other frame skin with a title of one colour in all five sections.
  test::TSkinVariant v = OtherFrameVariant();
  v.bitmaps["SKIN2_TITLEBAR4"] = image::TvexImage(10, 40, 0x805020);
  v.bitmaps["SKIN2_TITLEBAR5"] = image::TvexImage(20, 40, 0x805020);
  test::WriteFile(dir / "one-colour-title.vsk", v.Archive());
  const COLORREF before = TitleColour(native);

  TSwitchWatch::engine = engine;
  TSwitchWatch::hidden = TSwitchWatch::unskinnedPaints = 0;
  HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, TSwitchWatch::Hook, nullptr, GetCurrentThreadId());
  engine->SetSkinFile((dir / "one-colour-title.vsk").u8string());
  PumpMessages();
  UnhookWindowsHookEx(hook);
  TSwitchWatch::engine = nullptr;

  EXPECT_EQ(TSwitchWatch::hidden, 0) << "a window was hidden during the switch";
  EXPECT_EQ(TSwitchWatch::unskinnedPaints, 0) << "a window painted without its skin during the switch";
  EXPECT_EQ(GetActiveWindow(), dialog) << "the switch took the activation";
  EXPECT_FALSE(IsWindowVisible(hidden)) << "a hidden window was shown by the switch";
  // The form keeps its client size (the frames of native windows grow by the skin's borders).
  EXPECT_EQ(ClientSize(framework).cx, clients[0].cx);
  EXPECT_EQ(ClientSize(framework).cy, clients[0].cy);
  for (std::size_t i = 0; i < shown.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(IsWindowVisible(shown[i]));
    EXPECT_TRUE(Skinned(shown[i]));
    // The new skin's title, painted without being asked again.
    EXPECT_EQ(TitleColour(shown[i]), RGB(0x80, 0x50, 0x20));
  }
  EXPECT_NE(before, RGB(0x80, 0x50, 0x20));
  EXPECT_EQ(button->Left(), buttonAt.x);
  EXPECT_EQ(button->Top(), buttonAt.y);
  // The hidden window took the new skin too, and shows it when it is shown.
  ShowWindow(hidden, SW_SHOWNOACTIVATE);
  PumpMessages();
  EXPECT_EQ(TitleColour(hidden), RGB(0x80, 0x50, 0x20));
  for (HWND w : {native, hidden, dialog}) engine->DetachWindow(w);
}

// Windows maximized or minimized while the skin changes keep that state and stay shown; restored,
// they take the size the new skin gives a window of their own size.
TEST_F(FrameLife, MaximizedAndMinimizedWindowsComeThroughASwitch) {
  HWND normal = TopLevel(L"VexSwitchNormalWindow", 0, WS_OVERLAPPEDWINDOW, nullptr);
  HWND maximized = TopLevel(L"VexSwitchMaximizedWindow", 0, WS_OVERLAPPEDWINDOW, nullptr);
  HWND minimized = TopLevel(L"VexSwitchMinimizedWindow", 0, WS_OVERLAPPEDWINDOW, nullptr);
  for (HWND w : {normal, maximized, minimized}) engine->AttachWindow(w, false);
  PumpMessages();
  ShowWindow(maximized, SW_MAXIMIZE);
  ShowWindow(minimized, SW_MINIMIZE);
  PumpMessages();
  engine->SetSkinFile(otherSkin);
  PumpMessages();
  EXPECT_TRUE(IsWindowVisible(maximized));
  EXPECT_TRUE(IsZoomed(maximized));
  EXPECT_TRUE(IsWindowVisible(minimized));
  EXPECT_TRUE(IsIconic(minimized));
  for (HWND w : {maximized, minimized}) {
    ShowWindow(w, SW_RESTORE);
    PumpMessages();
    EXPECT_TRUE(Skinned(w));
    EXPECT_EQ(WindowSize(w).cx, WindowSize(normal).cx);
    EXPECT_EQ(WindowSize(w).cy, WindowSize(normal).cy);
  }
  for (HWND w : {normal, maximized, minimized}) engine->DetachWindow(w);
}

}  // namespace
}  // namespace vex::engine

namespace vex::engine {
namespace {

// A picture of `slices` equal slices side by side, slice i all in palette colour i.
test::TIndexedPicture SlicedPicture(int sliceWidth, int height, std::vector<std::uint32_t> colours) {
  test::TIndexedPicture p;
  p.width = sliceWidth * static_cast<int>(colours.size());
  p.height = height;
  p.palette = colours;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < p.width; ++x) p.indexes.push_back(static_cast<std::uint8_t>(x / sliceWidth));
  return p;
}

TEST_F(NativeButtons, ASkinWithRleAndOs2BitmapsLoadsAndPaints) {
  test::TBmpFormat rle8;
  rle8.bpp = 8;
  rle8.compression = 1;
  test::TBmpFormat os2;
  os2.headerSize = 12;
  os2.bpp = 8;
  const std::uint32_t normal = 0x2080C0, hot = 0xC08020, pressed = 0x20C080;
  test::TSkinVariant v;
  v.bitmapFiles["SKIN2_BUTTON"] = test::EncodeBmp(rle8, SlicedPicture(20, 21, {normal, hot, pressed}));
  v.bitmapFiles["SKIN2_FORMLEFTBORDER"] = test::EncodeBmp(os2, SlicedPicture(5, 8, {0x6040A0}));
  test::WriteFile(dir / "formats.vsk", v.Archive());
  engine->SetSkinFile((dir / "formats.vsk").u8string());
  ASSERT_TRUE(engine->IsSkinActive());
  HWND dlg = ButtonDialog(false);
  HWND push = GetDlgItem(dlg, 11);
  SetFocus(GetDlgItem(dlg, 12));
  InvalidateRect(push, nullptr, TRUE);
  UpdateWindow(push);
  // The button's face is the first slice's colour (the pixel format stores the bytes as BGR).
  HDC dc = GetDC(push);
  const COLORREF face = GetPixel(dc, 3, 3);
  ReleaseDC(push, dc);
  EXPECT_EQ(face, RGB((normal >> 16) & 0xFF, (normal >> 8) & 0xFF, normal & 0xFF));
  // The left border comes from the OS/2 bitmap.
  TvexSkinWindow* f = engine->FindFrame(dlg);
  ASSERT_NE(f, nullptr);
  f->PaintFrame();
  HDC wdc = GetWindowDC(dlg);
  RECT wr;
  GetWindowRect(dlg, &wr);
  EXPECT_EQ(GetPixel(wdc, 2, (wr.bottom - wr.top) / 2), RGB(0x60, 0x40, 0xA0));
  ReleaseDC(dlg, wdc);
}

}  // namespace
}  // namespace vex::engine

namespace vex::engine {
namespace {

TEST_F(NativeButtons, APressLetsGoOfTheMouseWhenTheSkinGoesAway) {
  HWND dlg = ButtonDialog(false);
  HWND push = GetDlgItem(dlg, 10);
  const LPARAM inside = MAKELPARAM(5, 5);
  // Switched off while the left button is held on the button.
  SendMessageW(push, WM_LBUTTONDOWN, MK_LBUTTON, inside);
  ASSERT_EQ(GetCapture(), push);
  engine->SetActive(false);
  EXPECT_NE(GetCapture(), push);
  engine->SetActive(true);
  // Detached while held.
  SendMessageW(push, WM_LBUTTONDOWN, MK_LBUTTON, inside);
  ASSERT_EQ(GetCapture(), push);
  engine->DetachWindow(dlg);
  EXPECT_NE(GetCapture(), push);
  // Neither ends in a click.
  SendMessageW(push, WM_LBUTTONUP, 0, inside);
  PumpMessages();
  EXPECT_EQ(Clicks(10), 0);
}

}  // namespace
}  // namespace vex::engine
