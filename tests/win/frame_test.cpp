// Skinned frames of native windows: dialogs created from in-memory templates, attached by the
// window hook on activation, driven with real messages.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/menu_images.h"
#include "engine/skin_control.h"
#include "engine/skin_engine.h"
#include "engine/skin_window.h"
#include "host/application.h"
#include "host/gdi_handle.h"
#include "skin2/archive_writer.h"
#include "skin2/default_skin.h"
#include "dialog_template.h"
#include "skinned_engine_fixture.h"
#include "test_support.h"

namespace vex::engine {
namespace {

using namespace vex::host;
namespace keys = vex::skin2;

using test::PumpMessages;
void Pump() { PumpMessages(); }

struct TDialogLog {
  int cancels = 0, oks = 0, sysCloses = 0;
};
TDialogLog gLog;

INT_PTR CALLBACK LoggingDialogProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) ++gLog.sysCloses;
      return FALSE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) ++gLog.cancels;
      if (LOWORD(wParam) == IDOK) ++gLog.oks;
      return TRUE;
    default:
      return FALSE;
  }
}

class Frames : public test::TSkinnedEngineTest {
 protected:
  void SetUp() override {
    gLog = {};
    TSkinnedEngineTest::SetUp();
  }
  void TearDown() override {
    for (HWND w : dialogs)
      if (IsWindow(w)) DestroyWindow(w);
    Pump();
    form.reset();
  }
  // A hidden dialog sized to width x height, then shown (which activates it).
  HWND Dialog(DWORD extraStyle = 0, int width = 300, int height = 200, bool show = true) {
    test::TDialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | extraStyle, L"Frame test");
    t.Item(L"BUTTON", L"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 10, 70, 50, 14);
    HWND w = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr, LoggingDialogProc, 0);
    EXPECT_NE(w, nullptr);
    dialogs.push_back(w);
    SetWindowPos(w, nullptr, 100, 100, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    if (show) {
      ShowWindow(w, SW_SHOW);
      SetForegroundWindow(w);
      Pump();
    }
    return w;
  }
  static SIZE WindowSize(HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
  }
  static bool Skinned(HWND w) { return SendMessageW(w, SKM_QUERYSKINNED, 0, 0) == 1; }
  // Window coordinates of the centre of a title element, as screen coordinates.
  POINT ElementCentre(HWND w, image::TTitleElement element) {
    TvexSkinWindow* f = engine->FindFrame(w);
    EXPECT_NE(f, nullptr);
    RECT wr;
    GetWindowRect(w, &wr);
    if (f)
      for (const auto& b : f->CurrentLayout().buttons)
        if (b.element == element)
          return POINT{wr.left + (b.rect.left + b.rect.right) / 2, wr.top + (b.rect.top + b.rect.bottom) / 2};
    ADD_FAILURE() << "no title element " << element;
    return POINT{0, 0};
  }

  std::vector<HWND> dialogs;
};

TEST_F(Frames, DialogIsSkinnedOnActivationAndResizedToTheSkinFrame) {
  engine->SetSkinDialogs(false);
  HWND w = Dialog(0, 300, 200);
  ASSERT_FALSE(Skinned(w));
  RECT wr, cr;
  GetWindowRect(w, &wr);
  GetClientRect(w, &cr);
  POINT origin{0, 0};
  ClientToScreen(w, &origin);
  const int nativeTop = origin.y - wr.top;
  EXPECT_EQ(cr.bottom, 200 - nativeTop - (wr.bottom - wr.top - cr.bottom - nativeTop));
  engine->SetSkinDialogs(true);
  engine->AttachWindow(w, true);
  Pump();
  ASSERT_TRUE(Skinned(w));
  // The skin's borders are 5 pixels each and its title 31: width grows by 10 and the height
  // exchanges the native caption and top edge for the skin's title and bottom border.
  const SIZE skinned = WindowSize(w);
  EXPECT_EQ(skinned.cx, 310);
  EXPECT_EQ(skinned.cy, 200 - nativeTop + 31 + 5);
  // The client area sits inside the skin frame.
  GetClientRect(w, &cr);
  EXPECT_EQ(cr.right, 300);
  EXPECT_EQ(cr.bottom, 200 - nativeTop + 31 + 5 - 31 - 5);

  engine->DetachWindow(w);
  Pump();
  EXPECT_FALSE(Skinned(w));
  const SIZE back = WindowSize(w);
  EXPECT_EQ(back.cx, 300);
  EXPECT_EQ(back.cy, 200);
}

TEST_F(Frames, SkinDialogsOffLeavesDialogsNative) {
  engine->SetSkinDialogs(false);
  HWND w = Dialog();
  EXPECT_FALSE(Skinned(w));
  EXPECT_EQ(WindowSize(w).cx, 300);
}

TEST_F(Frames, InactiveEngineAnswersWithTheWindowsOwnProcedure) {
  HWND w = Dialog();
  ASSERT_TRUE(Skinned(w));
  engine->SetActive(false);
  EXPECT_EQ(SendMessageW(w, SKM_QUERYSKINNED, 0, 0), 0);
  engine->SetActive(true);
  EXPECT_EQ(SendMessageW(w, SKM_QUERYSKINNED, 0, 0), 1);
}

TEST_F(Frames, QueryActiveAnswersOneOrTwo) {
  HWND w = Dialog();
  ASSERT_TRUE(Skinned(w));
  SendMessageW(w, WM_NCACTIVATE, TRUE, 0);
  EXPECT_EQ(SendMessageW(w, SKM_QUERYACTIVE, 0, 0), 1);
  SendMessageW(w, WM_NCACTIVATE, FALSE, 0);
  EXPECT_EQ(SendMessageW(w, SKM_QUERYACTIVE, 0, 0), 2);
}

TEST_F(Frames, SystemCloseBecomesCancel) {
  HWND w = Dialog();
  ASSERT_TRUE(Skinned(w));
  SendMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0);
  Pump();
  EXPECT_EQ(gLog.sysCloses, 0);
  EXPECT_EQ(gLog.cancels, 1);
  // Unskinned, the dialog procedure sees the command itself.
  engine->DetachWindow(w);
  SendMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0);
  Pump();
  EXPECT_EQ(gLog.sysCloses, 1);
}

// SC_CLOSE, SC_MINIMIZE, SC_MAXIMIZE, other commands, then WM_COMMAND IDCANCEL (what a close
// becomes on a skinned dialog, never on a window that is not one).
int gSysCommands[5];

LRESULT CALLBACK LoggingWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_SYSCOMMAND) {
    switch (wParam & 0xFFF0) {
      case SC_CLOSE: ++gSysCommands[0]; return 0;
      case SC_MINIMIZE: ++gSysCommands[1]; break;
      case SC_MAXIMIZE: ++gSysCommands[2]; break;
      default: ++gSysCommands[3]; break;
    }
  }
  if (msg == WM_COMMAND && LOWORD(wParam) == IDCANCEL) ++gSysCommands[4];
  return DefWindowProcW(wnd, msg, wParam, lParam);
}

class TitleActions : public Frames {
 protected:
  void SetUp() override {
    Frames::SetUp();
    std::memset(gSysCommands, 0, sizeof gSysCommands);
    WNDCLASSW wc{};
    wc.lpfnWndProc = LoggingWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VexTitleActionWindow";
    RegisterClassW(&wc);
    wnd = CreateWindowExW(0, wc.lpszClassName, L"Title actions", WS_OVERLAPPEDWINDOW, 100, 100, 400, 300, nullptr, nullptr,
                          wc.hInstance, nullptr);
    ASSERT_NE(wnd, nullptr);
    dialogs.push_back(wnd);
    ShowWindow(wnd, SW_SHOW);
    SetForegroundWindow(wnd);
    Pump();
    ASSERT_FALSE(Skinned(wnd));  // not a dialog, not a registered class name
    // An overlapped window: its frame shows the icon and all three buttons from its own style.
    auto* frame = new TvexSkinWindowWnd(wnd, false, engine);
    engine->AdoptFrame(frame);
    Pump();
    ASSERT_TRUE(Skinned(wnd));
  }
  void TearDown() override {
    engine->DetachWindow(wnd);
    Frames::TearDown();
  }
  void Press(POINT p) {
    ASSERT_TRUE(SetCursorPos(p.x, p.y));
    SendMessageW(wnd, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(p.x, p.y));
  }
  void Release(POINT p) {
    ASSERT_TRUE(SetCursorPos(p.x, p.y));
    SendMessageW(wnd, WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(p.x, p.y));
    SendMessageW(wnd, WM_NCLBUTTONUP, HTCAPTION, MAKELPARAM(p.x, p.y));
    Pump();
  }
  HWND wnd = nullptr;
};

TEST_F(TitleActions, TheActionFollowsTheElementUnderTheCursorAtRelease) {
  const POINT close = ElementCentre(wnd, image::teClose);
  const POINT minimize = ElementCentre(wnd, image::teMinimize);
  // The title buttons are caption hits for the system, so it does not size or close by itself.
  EXPECT_EQ(SendMessageW(wnd, WM_NCHITTEST, 0, MAKELPARAM(close.x, close.y)), HTCAPTION);
  Press(close);
  Release(minimize);
  EXPECT_EQ(gSysCommands[1], 1);
  EXPECT_EQ(gSysCommands[4], 0);
  EXPECT_TRUE(IsIconic(wnd));
}

TEST_F(TitleActions, EachButtonPostsItsCommand) {
  const struct {
    image::TTitleElement element;
    int slot;
  } cases[] = {{image::teClose, 0}, {image::teMaximize, 2}, {image::teMinimize, 1}};
  for (const auto& c : cases) {
    std::memset(gSysCommands, 0, sizeof gSysCommands);
    const POINT p = ElementCentre(wnd, c.element);
    Press(p);
    Release(p);
    EXPECT_EQ(gSysCommands[c.slot], 1) << "element " << c.element;
    ShowWindow(wnd, SW_RESTORE);
    Pump();
  }
}

TEST_F(TitleActions, ReleaseOutsideEveryButtonDoesNothing) {
  const POINT close = ElementCentre(wnd, image::teClose);
  RECT wr;
  GetWindowRect(wnd, &wr);
  Press(close);
  Release(POINT{wr.left + 150, wr.top + 12});
  for (int n : gSysCommands) EXPECT_EQ(n, 0);
}

TEST_F(TitleActions, DoubleClickOnTheIconClosesAndOnTheCaptionMaximizes) {
  TvexSkinWindow* f = engine->FindFrame(wnd);
  ASSERT_NE(f, nullptr);
  const image::TTitleLayout layout = f->CurrentLayout();
  RECT wr;
  GetWindowRect(wnd, &wr);
  const POINT icon{wr.left + layout.iconX + 8, wr.top + layout.iconY + 8};
  ASSERT_TRUE(SetCursorPos(icon.x, icon.y));
  SendMessageW(wnd, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(icon.x, icon.y));
  Pump();
  EXPECT_EQ(gSysCommands[0], 1);
  EXPECT_EQ(gSysCommands[4], 0);
  const POINT caption{wr.left + 150, wr.top + 12};
  ASSERT_TRUE(SetCursorPos(caption.x, caption.y));
  SendMessageW(wnd, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(caption.x, caption.y));
  Pump();
  EXPECT_EQ(gSysCommands[2], 1);
  EXPECT_TRUE(IsZoomed(wnd));
}

TEST_F(Frames, PressAndReleaseOnCloseCancelsTheDialog) {
  HWND w = Dialog();
  ASSERT_TRUE(Skinned(w));
  const POINT close = ElementCentre(w, image::teClose);
  ASSERT_TRUE(SetCursorPos(close.x, close.y));
  SendMessageW(w, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(close.x, close.y));
  SendMessageW(w, WM_NCLBUTTONUP, HTCAPTION, MAKELPARAM(close.x, close.y));
  Pump();
  EXPECT_EQ(gLog.cancels, 1);
  EXPECT_EQ(gLog.sysCloses, 0);
}

TEST_F(Frames, LastDestroyedDialogIsNotSkinnedAgainAndTheMemoClears) {
  engine->SetSkinDialogs(false);
  HWND w = Dialog();
  HWND other = Dialog();
  engine->SetSkinDialogs(true);
  ASSERT_FALSE(Skinned(w));
  LastDestroyedDialog() = w;
  SetActiveWindow(w);
  Pump();
  EXPECT_FALSE(Skinned(w));
  EXPECT_EQ(LastDestroyedDialog(), nullptr);
  // The memo is spent: the next activation skins.
  SetActiveWindow(other);
  Pump();
  EXPECT_TRUE(Skinned(other));
  SetActiveWindow(w);
  Pump();
  EXPECT_TRUE(Skinned(w));
}

TEST_F(Frames, DestroyingASkinnedDialogReleasesItsFrame) {
  HWND w = Dialog();
  ASSERT_TRUE(Skinned(w));
  ASSERT_NE(engine->FindFrame(w), nullptr);
  const std::size_t frames = engine->FrameList().size();
  DestroyWindow(w);
  Pump();
  EXPECT_EQ(engine->FrameList().size(), frames - 1);
  EXPECT_EQ(engine->FindFrame(w), nullptr);
  EXPECT_EQ(LastDestroyedDialog(), w);
  LastDestroyedDialog() = nullptr;
}

TEST_F(Frames, DetachedOrLeftByItsEngineAWindowLosesTheSkinsRegion) {
  HWND detached = Dialog();
  HWND left = Dialog();
  ASSERT_TRUE(Skinned(detached));
  ASSERT_TRUE(Skinned(left));
  RECT box;
  ASSERT_NE(GetWindowRgnBox(detached, &box), ERROR) << "the default skin shapes its title";
  engine->DetachWindow(detached);
  EXPECT_EQ(GetWindowRgnBox(detached, &box), ERROR);
  ASSERT_NE(GetWindowRgnBox(left, &box), ERROR);
  form.reset();  // the engine goes with its form
  EXPECT_FALSE(Skinned(left));
  EXPECT_EQ(GetWindowRgnBox(left, &box), ERROR);
}

TEST_F(Frames, SizeGripScrollBarsAreRefusedWhileASkinIsActive) {
  HWND parent = Dialog();
  HWND grip = CreateWindowExW(0, L"SCROLLBAR", L"", WS_CHILD | SBS_SIZEGRIP, 0, 0, 16, 16, parent, nullptr, nullptr, nullptr);
  EXPECT_EQ(grip, nullptr);
  HWND allowed = CreateWindowExW(WS_EX_NOPARENTNOTIFY, L"scrollbar", L"", WS_CHILD | SBS_SIZEGRIP, 0, 0, 16, 16, parent, nullptr,
                                 nullptr, nullptr);
  EXPECT_NE(allowed, nullptr);
  HWND plain = CreateWindowExW(0, L"SCROLLBAR", L"", WS_CHILD | SBS_VERT, 0, 0, 16, 16, parent, nullptr, nullptr, nullptr);
  EXPECT_NE(plain, nullptr);
  engine->SetActive(false);
  HWND inactive = CreateWindowExW(0, L"SCROLLBAR", L"", WS_CHILD | SBS_SIZEGRIP, 0, 0, 16, 16, parent, nullptr, nullptr, nullptr);
  EXPECT_NE(inactive, nullptr);
}

TEST_F(Frames, RegisteredClassNamesAreSkinnedInAnyCase) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"VexFrameTestWindow";
  RegisterClassW(&wc);
  engine->AutoSkinWndClassNames().Add("vexframetestwindow");
  HWND w = CreateWindowExW(0, L"VexFrameTestWindow", L"Registered", WS_OVERLAPPEDWINDOW, 50, 50, 300, 200, nullptr, nullptr,
                           wc.hInstance, nullptr);
  ASSERT_NE(w, nullptr);
  dialogs.push_back(w);
  EXPECT_FALSE(Skinned(w));
  ShowWindow(w, SW_SHOW);
  SetForegroundWindow(w);
  Pump();
  EXPECT_TRUE(Skinned(w));
}

TEST_F(Frames, RepaintsAndDialogsLeakNoWindowsOrGdiObjects) {
  HWND w = Dialog(0, 800, 600);
  ASSERT_TRUE(Skinned(w));
  TvexSkinWindow* f = engine->FindFrame(w);
  ASSERT_NE(f, nullptr);
  for (int i = 0; i < 100; ++i) f->PaintFrame();
  const DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  const std::int64_t liveBefore = GdiLiveObjects();
  for (int i = 0; i < 10000; ++i) f->PaintFrame();
  EXPECT_EQ(GdiLiveObjects(), liveBefore);
  EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdiBefore);

  const std::size_t frames = engine->FrameList().size();
  for (int i = 0; i < 200; ++i) {
    HWND d = Dialog();
    EXPECT_TRUE(Skinned(d));
    DestroyWindow(d);
    dialogs.pop_back();
  }
  Pump();
  LastDestroyedDialog() = nullptr;
  EXPECT_EQ(engine->FrameList().size(), frames);
  EXPECT_EQ(GdiLiveObjects(), liveBefore);
}

TEST(NameLists, StartWithTheirRegisteredNames) {
  const std::vector<std::string>& autoNames = AutoSkinClassNames().Items();
  ASSERT_GE(autoNames.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(autoNames.begin(), autoNames.begin() + 4),
            (std::vector<std::string>{"TSelectDirDlg", "TForm", "TfrmRegBrowser", "TfrmFTPBrowser"}));
  EXPECT_GE(AutoSkinClassNames().IndexOf("tselectdirdlg"), 0);
  ASSERT_GE(NoBorderClassNames().Count(), 1);
  EXPECT_EQ(NoBorderClassNames().Items()[0], "TDelphiWizard");
}

// The default skin with one integer record's value changed in place.
std::vector<std::uint8_t> DefaultSkinWithInteger(const char* name, std::int32_t value) {
  std::vector<std::uint8_t> file = keys::BuildDefaultSkinFile();
  const std::string key(name);
  for (std::size_t pos = 24; pos + 77 <= file.size();) {
    const std::uint8_t* h = file.data() + pos;
    const auto le32 = [](const std::uint8_t* p) { return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24; };
    const std::uint32_t dataOffset = le32(h + 65), next = le32(h + 73);
    if (std::string(reinterpret_cast<const char*>(h)) == key) {
      std::memcpy(file.data() + dataOffset, &value, 4);
      return keys::WriteSkinArchive(file, {});
    }
    if (next <= pos) break;
    pos = next;
  }
  ADD_FAILURE() << "no record " << name;
  return {};
}

TEST_F(TitleActions, TopEdgeOverTheButtonsIsCaptionOnlyWithALowButtonRow) {
  // With the default skin's button row (y 9) the system's answers stand.
  const POINT close = ElementCentre(wnd, image::teClose);
  RECT wr;
  GetWindowRect(wnd, &wr);
  const LPARAM nearTop = MAKELPARAM(close.x, wr.top + 2);
  const LRESULT before = SendMessageW(wnd, WM_NCHITTEST, 0, nearTop);
  EXPECT_EQ(DefWindowProcW(wnd, WM_NCHITTEST, 0, nearTop), before);

  test::WriteFile(dir / "lowbuttons.vsk", DefaultSkinWithInteger("SKIN2_TITLEBARBUTTONPOSY", 2));
  engine->SetSkinFile((dir / "lowbuttons.vsk").u8string());
  Pump();
  ASSERT_EQ(engine->SkinMetrics().ButtonPosY, 2);
  TvexSkinWindow* f = engine->FindFrame(wnd);
  ASSERT_NE(f, nullptr);
  f->PaintFrame();  // the button strip's left edge comes from the last paint
  GetWindowRect(wnd, &wr);
  const POINT closeNow = ElementCentre(wnd, image::teClose);
  // Three pixels below the top: inside the system's sizing edge (Wine's is four pixels deep, where
  // Windows' is deeper) and below the skin's button row.
  const LPARAM belowTop = MAKELPARAM(closeNow.x, wr.top + 3);
  // The system says top edge (or its right corner) there; over the button strip it becomes caption.
  const LRESULT system = DefWindowProcW(wnd, WM_NCHITTEST, 0, belowTop);
  ASSERT_TRUE(system == HTTOP || system == HTTOPRIGHT) << system;
  EXPECT_EQ(SendMessageW(wnd, WM_NCHITTEST, 0, belowTop), HTCAPTION);
  // Left of the buttons the top edge still resizes.
  const LPARAM leftOfButtons = MAKELPARAM(wr.left + 100, wr.top + 3);
  EXPECT_EQ(SendMessageW(wnd, WM_NCHITTEST, 0, leftOfButtons), HTTOP);
}

}  // namespace
}  // namespace vex::engine
