// The C interface, called through the DLL as a plain Win32 program calls it: real dialogs, a
// message box, the open-file dialog and a window of the program's own class, checked by their
// pixels, sizes and styles.
#include <windows.h>
#include <commdlg.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "dialog_template.h"
#include "image/image.h"
#include "skin2/default_skin.h"
#include "skin2/skin_file_reader.h"
#include "skin_variant.h"
#include "test_support.h"
#include "vexskin/vexskin_c.h"

namespace {

namespace fs = std::filesystem;

constexpr wchar_t kWindowClass[] = L"VexPlainProgramWindow";

void Pump() {
  MSG msg;
  for (int i = 0; i < 5; ++i)
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
}

COLORREF ToColorRef(std::uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

// The colour a skin paints the left border with at column x (its bitmap is stretched down the
// window's side, so every row of the bitmap must agree).
COLORREF LeftBorderColour(const std::vector<std::uint8_t>& skinFile, int x) {
  vex::skin2::Tsk2SkinFileReader reader;
  reader.LoadFromBytes(skinFile.data(), skinFile.size());
  const vex::image::TvexImage* border = reader.GetBitmapByName("SKIN2_FORMLEFTBORDER");
  EXPECT_NE(border, nullptr);
  if (!border) return CLR_INVALID;
  for (int y = 1; y < border->Height(); ++y) EXPECT_EQ(border->Pixel(x, y), border->Pixel(x, 0)) << "row " << y;
  return ToColorRef(border->Pixel(x, 0));
}

// What a window looks like and is: its rectangles, styles and every pixel of it.
struct TWindowState {
  RECT window{}, client{};
  LONG_PTR style = 0, exStyle = 0;
  std::vector<COLORREF> pixels;
};

// The first way two states of a window differ, in words; "" when they are the same.
std::string Difference(const TWindowState& a, const TWindowState& b) {
  auto rect = [](const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," + std::to_string(r.bottom);
  };
  if (!EqualRect(&a.window, &b.window)) return "window " + rect(a.window) + " against " + rect(b.window);
  if (!EqualRect(&a.client, &b.client)) return "client " + rect(a.client) + " against " + rect(b.client);
  if (a.style != b.style) return "style " + std::to_string(a.style) + " against " + std::to_string(b.style);
  if (a.exStyle != b.exStyle) return "extended style " + std::to_string(a.exStyle) + " against " + std::to_string(b.exStyle);
  const int width = a.window.right - a.window.left;
  std::size_t count = 0, first = a.pixels.size();
  for (std::size_t i = 0; i < a.pixels.size() && i < b.pixels.size(); ++i)
    if (a.pixels[i] != b.pixels[i]) {
      if (first == a.pixels.size()) first = i;
      ++count;
    }
  if (count == 0) return "";
  const int x = static_cast<int>(first % static_cast<std::size_t>(width)), y = static_cast<int>(first / static_cast<std::size_t>(width));
  char buf[120];
  std::snprintf(buf, sizeof buf, "%zu pixels, the first at %d,%d: %06lX against %06lX", count, x, y,
                static_cast<unsigned long>(a.pixels[first]), static_cast<unsigned long>(b.pixels[first]));
  return buf;
}

// Differences of every window between two takes, one line each.
std::string Differences(const std::vector<TWindowState>& a, const std::vector<TWindowState>& b) {
  if (a.size() != b.size()) return "another number of windows";
  std::string all;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const std::string d = Difference(a[i], b[i]);
    if (!d.empty()) all += "window " + std::to_string(i) + ": " + d + "\n";
  }
  return all;
}

void Repaint(HWND w) { RedrawWindow(w, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN); }

std::vector<COLORREF> WindowPixels(HWND w) {
  Repaint(w);
  RECT r;
  GetWindowRect(w, &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  HDC dc = GetWindowDC(w);
  HDC mem = CreateCompatibleDC(dc);
  HBITMAP bmp = CreateCompatibleBitmap(dc, width, height);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, width, height, dc, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  std::vector<COLORREF> px(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  GetDIBits(mem, bmp, 0, static_cast<UINT>(height), px.data(), &bi, DIB_RGB_COLORS);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(w, dc);
  return px;
}

TWindowState StateOf(HWND w) {
  TWindowState s;
  GetWindowRect(w, &s.window);
  GetClientRect(w, &s.client);
  s.style = GetWindowLongPtrW(w, GWL_STYLE);
  s.exStyle = GetWindowLongPtrW(w, GWL_EXSTYLE);
  s.pixels = WindowPixels(w);
  return s;
}

COLORREF PixelAt(HWND w, int x, int y) {
  Repaint(w);
  HDC dc = GetWindowDC(w);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(w, dc);
  return c;
}

// The colour halfway down the window's left edge, x pixels in.
COLORREF LeftEdgeAt(HWND w, int x) {
  RECT r;
  GetWindowRect(w, &r);
  return PixelAt(w, x, (r.bottom - r.top) / 2);
}

SIZE ClientSize(HWND w) {
  RECT r;
  GetClientRect(w, &r);
  return SIZE{r.right, r.bottom};
}

SIZE WindowSize(HWND w) {
  RECT r;
  GetWindowRect(w, &r);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

bool IsDialogClass(HWND w) {
  wchar_t name[16] = {};
  GetClassNameW(w, name, 16);
  return wcscmp(name, L"#32770") == 0;
}

// A pointer that no start ever gave out.
vexskin_session* MadeUpSession() {
  static std::uint64_t somewhere[4] = {};
  return reinterpret_cast<vexskin_session*>(somewhere);
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG ? TRUE : FALSE; }

// Runs `step` on a timer from inside whatever modal loop `open` enters, until the step answers
// true (it closes what `open` opened) or, after many ticks, gives up so that the test fails
// instead of hanging.
class TModalDriver {
 public:
  TModalDriver() {
    static const bool registered = [] {
      WNDCLASSW wc{};
      wc.lpfnWndProc = Proc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = L"VexPlainModalDriver";
      return RegisterClassW(&wc) != 0;
    }();
    (void)registered;
    wnd_ = CreateWindowExW(0, L"VexPlainModalDriver", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(wnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~TModalDriver() { DestroyWindow(wnd_); }
  // Answers whether the step finished.
  bool Run(const std::function<void()>& open, std::function<bool()> step) {
    step_ = std::move(step);
    done_ = false;
    ticks_ = 0;
    SetTimer(wnd_, 1, 20, nullptr);
    open();
    KillTimer(wnd_, 1);
    return done_;
  }

 private:
  static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<TModalDriver*>(GetWindowLongPtrW(w, GWLP_USERDATA));
    if (msg == WM_TIMER && self && !self->done_) {
      if (self->step_()) {
        self->done_ = true;
        KillTimer(w, 1);
      } else if (++self->ticks_ > 500) {
        KillTimer(w, 1);
        // Whatever is open goes, so that the modal loop returns.
        if (HWND active = GetActiveWindow()) PostMessageW(active, WM_COMMAND, IDCANCEL, 0);
      }
      return 0;
    }
    return DefWindowProcW(w, msg, wp, lp);
  }
  HWND wnd_ = nullptr;
  std::function<bool()> step_;
  bool done_ = false;
  int ticks_ = 0;
};

class PlainApi : public ::testing::Test {
 protected:
  void SetUp() override {
    defaultFile = vex::skin2::BuildDefaultSkinFile();
    defaultArchive = vex::skin2::BuildDefaultSkinArchive();
    darkFile = vex::skin2::BuildDarkSkinFile();
    vex::test::WriteFile(dir / "default.vsk", defaultArchive);
    vex::test::WriteFile(dir / "dark.vsk", vex::skin2::BuildDarkSkinArchive());
    static const bool registered = [] {
      WNDCLASSW wc{};
      wc.lpfnWndProc = DefWindowProcW;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
      wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
      wc.lpszClassName = kWindowClass;
      return RegisterClassW(&wc) != 0;
    }();
    ASSERT_TRUE(registered);
  }
  void TearDown() override {
    for (HWND w : windows)
      if (IsWindow(w)) DestroyWindow(w);
    if (session) {
      EXPECT_EQ(vexskin_end(session), VEXSKIN_OK) << Error();
    }
    Pump();
  }
  static std::wstring Error() { return vexskin_last_error(); }
  std::wstring DefaultPath() const { return (dir / "default.vsk").wstring(); }
  std::wstring DarkPath() const { return (dir / "dark.vsk").wstring(); }

  // A dialog with a default button, a check box, a label and a list, shown and activated.
  HWND Dialog(int x, int y) {
    vex::test::TDialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, L"Plain dialog");
    t.Item(L"BUTTON", L"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 10, 70, 50, 14);
    t.Item(L"BUTTON", L"Remember", 101, BS_AUTOCHECKBOX | WS_TABSTOP, 10, 10, 80, 12);
    t.Item(L"STATIC", L"A label", 102, SS_LEFT, 10, 30, 80, 10);
    t.Item(L"LISTBOX", L"", 103, WS_BORDER | WS_VSCROLL, 95, 10, 50, 50);
    HWND w = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr, PlainDialogProc, 0);
    EXPECT_NE(w, nullptr);
    windows.push_back(w);
    SetWindowPos(w, nullptr, x, y, 320, 220, SWP_NOZORDER | SWP_NOACTIVATE);
    Show(w);
    return w;
  }
  // A window of the program's own class with a menu bar.
  HWND ProgramWindow(int x, int y) {
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_STRING, 1, L"&File");
    AppendMenuW(bar, MF_STRING, 2, L"&Help");
    HWND w = CreateWindowExW(0, kWindowClass, L"Program window", WS_OVERLAPPEDWINDOW, x, y, 360, 240, nullptr, bar,
                             GetModuleHandleW(nullptr), nullptr);
    EXPECT_NE(w, nullptr);
    windows.push_back(w);
    Show(w);
    return w;
  }
  static void Show(HWND w) {
    ShowWindow(w, SW_SHOW);
    SetForegroundWindow(w);
    Pump();
  }
  int Skinned(HWND w) {
    int skinned = -1;
    EXPECT_EQ(vexskin_window_skinned(session, w, &skinned), VEXSKIN_OK) << Error();
    return skinned;
  }
  // Every window activated in turn and taken as it is.
  std::vector<TWindowState> States() {
    std::vector<TWindowState> all;
    for (HWND w : windows) {
      SetForegroundWindow(w);
      Pump();
      all.push_back(StateOf(w));
    }
    return all;
  }

  vex::test::TScopedTempDir dir;
  std::vector<std::uint8_t> defaultFile, defaultArchive, darkFile;
  std::vector<HWND> windows;
  vexskin_session* session = nullptr;
};

TEST_F(PlainApi, DialogsMessageBoxesAndTheOpenFileDialogComeUpSkinned) {
  ASSERT_EQ(vexskin_start_file(DefaultPath().c_str(), nullptr, &session), VEXSKIN_OK) << Error();
  EXPECT_EQ(Error(), L"");
  const COLORREF border = LeftBorderColour(defaultFile, 2);
  HWND dlg = Dialog(40, 40);
  EXPECT_EQ(Skinned(dlg), 1);
  EXPECT_EQ(LeftEdgeAt(dlg, 2), border);

  // The system's own dialogs: checked from inside their modal loops, then closed.
  struct TSeen {
    HWND window = nullptr;
    int skinned = -1;
    COLORREF edge = CLR_INVALID;
  };
  TModalDriver driver;
  auto seeOpenDialog = [&](TSeen& seen) {
    return [&] {
      HWND w = GetActiveWindow();
      if (!w || w == dlg || !IsDialogClass(w) || !IsWindowVisible(w)) return false;
      seen.window = w;
      seen.skinned = Skinned(w);
      seen.edge = LeftEdgeAt(w, 2);
      PostMessageW(w, WM_COMMAND, IDCANCEL, 0);
      return true;
    };
  };
  TSeen box;
  ASSERT_TRUE(driver.Run([&] { MessageBoxW(dlg, L"A message", L"Plain message box", MB_OKCANCEL | MB_ICONINFORMATION); },
                         seeOpenDialog(box)));
  EXPECT_EQ(box.skinned, 1);
  EXPECT_EQ(box.edge, border);

  TSeen open;
  wchar_t file[MAX_PATH] = L"";
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = dlg;
  ofn.lpstrFilter = L"Skins\0*.vsk\0All files\0*.*\0";
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrInitialDir = dir.Path().c_str();
  ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST;
  ASSERT_TRUE(driver.Run([&] { GetOpenFileNameW(&ofn); }, seeOpenDialog(open)));
  EXPECT_EQ(open.skinned, 1);
  EXPECT_EQ(open.edge, border);
}

TEST_F(PlainApi, ASkinSwitchRepaintsEveryOpenWindowInTheNewSkinAtItsSize) {
  // A second skin with wider borders, a taller title and another border colour.
  vex::test::TSkinVariant wide;
  vex::image::TvexImage border(9, 6, 0x20A040);
  wide.bitmaps["SKIN2_FORMLEFTBORDER"] = border;
  wide.bitmaps["SKIN2_FORMRIGHTBORDER"] = border;
  const std::vector<std::uint8_t> wideArchive = wide.Archive();

  ASSERT_EQ(vexskin_start_memory(defaultArchive.data(), defaultArchive.size(), nullptr, &session), VEXSKIN_OK) << Error();
  ASSERT_EQ(vexskin_add_window_class(session, kWindowClass), VEXSKIN_OK) << Error();
  HWND a = Dialog(20, 20);
  HWND b = Dialog(360, 20);
  HWND program = ProgramWindow(20, 300);
  const std::vector<HWND> all{a, b, program};
  std::vector<SIZE> clients, sizes;
  for (HWND w : all) {
    ASSERT_EQ(Skinned(w), 1);
    clients.push_back(ClientSize(w));
    sizes.push_back(WindowSize(w));
  }
  const COLORREF defaultBorder = LeftBorderColour(defaultFile, 2);
  const COLORREF darkBorder = LeftBorderColour(darkFile, 2);
  ASSERT_NE(defaultBorder, darkBorder);

  // The dark skin from a file, then the wide one from bytes, then the default from a file again.
  ASSERT_EQ(vexskin_load_file(session, DarkPath().c_str(), nullptr), VEXSKIN_OK) << Error();
  for (std::size_t i = 0; i < all.size(); ++i) {
    EXPECT_EQ(Skinned(all[i]), 1);
    EXPECT_EQ(LeftEdgeAt(all[i], 2), darkBorder) << i;
    EXPECT_EQ(ClientSize(all[i]).cx, clients[i].cx) << i;
    EXPECT_EQ(ClientSize(all[i]).cy, clients[i].cy) << i;
    EXPECT_EQ(WindowSize(all[i]).cx, sizes[i].cx) << i;
  }
  ASSERT_EQ(vexskin_load_memory(session, wideArchive.data(), wideArchive.size(), nullptr), VEXSKIN_OK) << Error();
  for (std::size_t i = 0; i < all.size(); ++i) {
    EXPECT_EQ(LeftEdgeAt(all[i], 7), RGB(0x20, 0xA0, 0x40)) << i;
    // The client area keeps its size; the window grows by the wider borders.
    EXPECT_EQ(ClientSize(all[i]).cx, clients[i].cx) << i;
    EXPECT_EQ(ClientSize(all[i]).cy, clients[i].cy) << i;
    EXPECT_EQ(WindowSize(all[i]).cx, sizes[i].cx + 2 * (9 - 5)) << i;
  }
  ASSERT_EQ(vexskin_load_file(session, DefaultPath().c_str(), nullptr), VEXSKIN_OK) << Error();
  for (std::size_t i = 0; i < all.size(); ++i) {
    EXPECT_EQ(LeftEdgeAt(all[i], 2), defaultBorder) << i;
    EXPECT_EQ(WindowSize(all[i]).cx, sizes[i].cx) << i;
    EXPECT_EQ(WindowSize(all[i]).cy, sizes[i].cy) << i;
  }
}

TEST_F(PlainApi, SwitchingOffAndEndingGiveEveryWindowBackExactlyAsItWas) {
  // Native windows first, open before the session starts.
  Dialog(20, 20);
  ProgramWindow(360, 20);
  const std::vector<TWindowState> native = States();

  ASSERT_EQ(vexskin_start_file(DefaultPath().c_str(), L"", &session), VEXSKIN_OK) << Error();
  // The program's class: its open window is skinned at once; the dialog by name.
  ASSERT_EQ(vexskin_add_window_class(session, L"vexplainprogramwindow"), VEXSKIN_OK) << Error();
  EXPECT_EQ(Skinned(windows[1]), 1);
  ASSERT_EQ(vexskin_skin_window(session, windows[0]), VEXSKIN_OK) << Error();
  EXPECT_EQ(vexskin_skin_window(session, windows[0]), VEXSKIN_OK) << "skinned already: left as it is";
  EXPECT_EQ(Skinned(windows[0]), 1);
  const std::vector<TWindowState> skinned = States();
  for (std::size_t i = 0; i < windows.size(); ++i) EXPECT_NE(skinned[i].pixels, native[i].pixels) << i;

  ASSERT_EQ(vexskin_set_enabled(session, 0), VEXSKIN_OK) << Error();
  int enabled = -1;
  ASSERT_EQ(vexskin_get_enabled(session, &enabled), VEXSKIN_OK);
  EXPECT_EQ(enabled, 0);
  for (HWND w : windows) EXPECT_EQ(Skinned(w), 0);
  EXPECT_EQ(Differences(States(), native), "") << "switched off";
  // A dialog made while switched off stays native.
  HWND later = Dialog(20, 300);
  EXPECT_EQ(Skinned(later), 0);
  DestroyWindow(later);
  windows.pop_back();

  ASSERT_EQ(vexskin_set_enabled(session, 7), VEXSKIN_OK) << Error();
  ASSERT_EQ(vexskin_get_enabled(session, &enabled), VEXSKIN_OK);
  EXPECT_EQ(enabled, 1);
  EXPECT_EQ(Differences(States(), skinned), "") << "switched on again";

  ASSERT_EQ(vexskin_end(session), VEXSKIN_OK) << Error();
  session = nullptr;
  EXPECT_EQ(Differences(States(), native), "") << "ended";
  // Ended: the thread's new windows stay native, the program's class too.
  HWND after = ProgramWindow(20, 300);
  EXPECT_EQ(WindowSize(after).cx, 360);
  EXPECT_EQ(WindowSize(after).cy, 240);
}

TEST_F(PlainApi, AMaximizedOrMinimizedWindowKeepsItsPlaceAndIsGivenBackExactlyAsItWas) {
  struct TCase {
    const char* name;
    int show;
  };
  const std::vector<TCase> cases = {{"maximized", SW_MAXIMIZE}, {"minimized", SW_MINIMIZE}};
  auto normalRect = [](HWND w) {
    WINDOWPLACEMENT p{};
    p.length = sizeof p;
    GetWindowPlacement(w, &p);
    return p.rcNormalPosition;
  };
  for (const TCase& c : cases) {
    HWND w = ProgramWindow(40, 40);
    ShowWindow(w, c.show);
    Pump();
    const TWindowState native = StateOf(w);
    const RECT nativeNormal = normalRect(w);

    ASSERT_EQ(vexskin_start_file(DefaultPath().c_str(), nullptr, &session), VEXSKIN_OK) << Error();
    ASSERT_EQ(vexskin_add_window_class(session, kWindowClass), VEXSKIN_OK) << Error();
    Pump();
    EXPECT_EQ(Skinned(w), 1) << c.name;
    // The maximized or minimized rectangle is the system's, skinned or not.
    RECT now;
    GetWindowRect(w, &now);
    EXPECT_TRUE(EqualRect(&now, &native.window)) << c.name << ": " << now.left << "," << now.top << " against "
                                                 << native.window.left << "," << native.window.top;

    ASSERT_EQ(vexskin_set_enabled(session, 0), VEXSKIN_OK) << Error();
    Pump();
    EXPECT_EQ(Difference(StateOf(w), native), "") << c.name << ", switched off";
    RECT normal = normalRect(w);
    EXPECT_TRUE(EqualRect(&normal, &nativeNormal)) << c.name << ", switched off";

    ASSERT_EQ(vexskin_set_enabled(session, 1), VEXSKIN_OK) << Error();
    ASSERT_EQ(vexskin_end(session), VEXSKIN_OK) << Error();
    session = nullptr;
    Pump();
    EXPECT_EQ(Difference(StateOf(w), native), "") << c.name << ", ended";
    normal = normalRect(w);
    EXPECT_TRUE(EqualRect(&normal, &nativeNormal)) << c.name << ", ended";
    DestroyWindow(w);
    windows.clear();
  }
}

// A window whose procedure ends the session the first time it hears that it moved or changed
// its frame, as a program may do from any of its window procedures.
vexskin_session* gEndFromProcedure = nullptr;
vexskin_status gEndedFromProcedure = VEXSKIN_ERROR_SYSTEM;
LRESULT CALLBACK EndingProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_WINDOWPOSCHANGED && gEndFromProcedure) {
    vexskin_session* s = gEndFromProcedure;
    gEndFromProcedure = nullptr;
    gEndedFromProcedure = vexskin_end(s);
  }
  return DefWindowProcW(w, msg, wp, lp);
}

TEST_F(PlainApi, ASessionEndedFromAWindowProcedureDuringOneOfItsCallsEndsWhenTheCallReturns) {
  static const bool registered = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = EndingProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"VexPlainEndingWindow";
    return RegisterClassW(&wc) != 0;
  }();
  ASSERT_TRUE(registered);
  const std::vector<std::uint8_t> dark = vex::skin2::BuildDarkSkinArchive();
  struct TCase {
    const char* name;
    std::function<vexskin_status(vexskin_session*)> call;
  };
  const std::vector<TCase> cases = {
      {"a skin file loaded", [&](vexskin_session* s) { return vexskin_load_file(s, DarkPath().c_str(), nullptr); }},
      {"skin bytes loaded", [&](vexskin_session* s) { return vexskin_load_memory(s, dark.data(), dark.size(), nullptr); }},
      {"skinning switched off", [](vexskin_session* s) { return vexskin_set_enabled(s, 0); }},
  };
  for (const TCase& c : cases) {
    HWND w = CreateWindowExW(0, L"VexPlainEndingWindow", L"Ending window", WS_OVERLAPPEDWINDOW, 40, 40, 360, 240, nullptr,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(w, nullptr);
    windows.push_back(w);
    Show(w);
    const TWindowState native = StateOf(w);
    ASSERT_EQ(vexskin_start_file(DefaultPath().c_str(), nullptr, &session), VEXSKIN_OK) << Error();
    ASSERT_EQ(vexskin_add_window_class(session, L"VexPlainEndingWindow"), VEXSKIN_OK) << Error();
    ASSERT_EQ(Skinned(w), 1) << c.name;

    gEndFromProcedure = session;
    gEndedFromProcedure = VEXSKIN_ERROR_SYSTEM;
    EXPECT_EQ(c.call(session), VEXSKIN_OK) << c.name << ": " << Error();
    EXPECT_EQ(gEndFromProcedure, nullptr) << c.name << ": the procedure was not called";
    gEndFromProcedure = nullptr;
    EXPECT_EQ(gEndedFromProcedure, VEXSKIN_OK) << c.name;
    // The session has gone: the window is its own again and the thread may start anew.
    EXPECT_EQ(vexskin_end(session), VEXSKIN_ERROR_ARGUMENT) << c.name;
    session = nullptr;
    Pump();
    EXPECT_EQ(Difference(StateOf(w), native), "") << c.name;
    vexskin_session* again = nullptr;
    EXPECT_EQ(vexskin_start_file(DefaultPath().c_str(), nullptr, &again), VEXSKIN_OK) << c.name << ": " << Error();
    EXPECT_EQ(vexskin_end(again), VEXSKIN_OK) << c.name;
    DestroyWindow(w);
    windows.clear();
  }
}

TEST_F(PlainApi, ASkinGivenAsBytesLooksTheSameAsTheSameSkinGivenAsAFile) {
  struct TCase {
    const char* name;
    std::function<vexskin_status(vexskin_session**)> start;
  };
  const std::vector<TCase> cases = {
      {"file", [&](vexskin_session** s) { return vexskin_start_file(DefaultPath().c_str(), nullptr, s); }},
      {"bytes", [&](vexskin_session** s) { return vexskin_start_memory(defaultArchive.data(), defaultArchive.size(), nullptr, s); }},
  };
  std::vector<std::vector<COLORREF>> seen;
  for (const TCase& c : cases) {
    ASSERT_EQ(c.start(&session), VEXSKIN_OK) << c.name << ": " << Error();
    HWND w = Dialog(40, 40);
    EXPECT_EQ(Skinned(w), 1) << c.name;
    seen.push_back(WindowPixels(w));
    DestroyWindow(w);
    windows.clear();
    ASSERT_EQ(vexskin_end(session), VEXSKIN_OK) << Error();
    session = nullptr;
  }
  EXPECT_TRUE(seen[0] == seen[1]);
  // A switch by bytes shows what a switch by file shows.
  const std::vector<std::uint8_t> dark = vex::skin2::BuildDarkSkinArchive();
  ASSERT_EQ(vexskin_start_file(DefaultPath().c_str(), nullptr, &session), VEXSKIN_OK) << Error();
  HWND w = Dialog(40, 40);
  ASSERT_EQ(vexskin_load_file(session, DarkPath().c_str(), nullptr), VEXSKIN_OK) << Error();
  const std::vector<COLORREF> byFile = WindowPixels(w);
  ASSERT_EQ(vexskin_load_file(session, DefaultPath().c_str(), nullptr), VEXSKIN_OK) << Error();
  ASSERT_EQ(vexskin_load_memory(session, dark.data(), dark.size(), nullptr), VEXSKIN_OK) << Error();
  EXPECT_TRUE(WindowPixels(w) == byFile);
  // A skin with a password, given with it.
  const std::vector<std::uint8_t> locked = vex::skin2::BuildDefaultSkinArchive("open sesame");
  ASSERT_EQ(vexskin_load_memory(session, locked.data(), locked.size(), L"open sesame"), VEXSKIN_OK) << Error();
  EXPECT_EQ(LeftEdgeAt(w, 2), LeftBorderColour(defaultFile, 2));
}

TEST_F(PlainApi, BadStartsAnswerAnErrorWithAMessageAndLeaveTheProgramUnskinned) {
  vex::test::WriteFile(dir / "garbage.vsk", vex::test::RandomBytes(4000, 7));
  std::vector<std::uint8_t> cut(defaultArchive.begin(), defaultArchive.begin() + static_cast<long>(defaultArchive.size() / 2));
  vex::test::WriteFile(dir / "cut.vsk", cut);
  const std::vector<std::uint8_t> locked = vex::skin2::BuildDefaultSkinArchive("open sesame");
  vex::test::WriteFile(dir / "locked.vsk", locked);
  const std::vector<std::uint8_t> garbage = vex::test::RandomBytes(4000, 9);
  // A skin file held open by another handle that shares nothing.
  const std::wstring held = (dir / "held.vsk").wstring();
  vex::test::WriteFile(dir / "held.vsk", defaultArchive);
  HANDLE holder = CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);

  // A skin of the same name in the program's folder: a bare name finds it there, a full path to
  // where it is not does not.
  wchar_t exe[MAX_PATH];
  ASSERT_NE(GetModuleFileNameW(nullptr, exe, MAX_PATH), 0u);
  const fs::path besideProgram = fs::path(exe).parent_path() / "vex-plain-api-beside.vsk";
  vex::test::WriteFile(besideProgram, defaultArchive);
  struct TRemove {
    fs::path p;
    ~TRemove() {
      std::error_code ec;
      fs::remove(p, ec);
    }
  } removeBeside{besideProgram};
  const std::wstring elsewhere = (dir / "elsewhere" / "vex-plain-api-beside.vsk").wstring();
  const std::wstring missing = (dir / "missing.vsk").wstring(), garbageFile = (dir / "garbage.vsk").wstring(),
                     cutFile = (dir / "cut.vsk").wstring(), lockedFile = (dir / "locked.vsk").wstring();
  struct TCase {
    const char* name;
    std::function<vexskin_status(vexskin_session**)> start;
    vexskin_status expected;
  };
  const std::vector<TCase> cases = {
      {"null file name", [](vexskin_session** s) { return vexskin_start_file(nullptr, nullptr, s); }, VEXSKIN_ERROR_ARGUMENT},
      {"empty file name", [](vexskin_session** s) { return vexskin_start_file(L"", nullptr, s); }, VEXSKIN_ERROR_ARGUMENT},
      {"no place for the session", [&](vexskin_session**) { return vexskin_start_file(DefaultPath().c_str(), nullptr, nullptr); },
       VEXSKIN_ERROR_ARGUMENT},
      {"missing file", [&](vexskin_session** s) { return vexskin_start_file(missing.c_str(), nullptr, s); }, VEXSKIN_ERROR_FILE},
      {"full path to a missing file whose name is in the program's folder",
       [&](vexskin_session** s) { return vexskin_start_file(elsewhere.c_str(), nullptr, s); }, VEXSKIN_ERROR_FILE},
      {"unreadable file", [&](vexskin_session** s) { return vexskin_start_file(held.c_str(), nullptr, s); }, VEXSKIN_ERROR_FILE},
      {"garbage file", [&](vexskin_session** s) { return vexskin_start_file(garbageFile.c_str(), nullptr, s); }, VEXSKIN_ERROR_SKIN},
      {"file cut short", [&](vexskin_session** s) { return vexskin_start_file(cutFile.c_str(), nullptr, s); }, VEXSKIN_ERROR_SKIN},
      {"file without its password", [&](vexskin_session** s) { return vexskin_start_file(lockedFile.c_str(), nullptr, s); },
       VEXSKIN_ERROR_PASSWORD},
      {"file with a wrong password", [&](vexskin_session** s) { return vexskin_start_file(lockedFile.c_str(), L"guess", s); },
       VEXSKIN_ERROR_PASSWORD},
      {"null bytes", [](vexskin_session** s) { return vexskin_start_memory(nullptr, 100, nullptr, s); }, VEXSKIN_ERROR_ARGUMENT},
      {"no bytes", [&](vexskin_session** s) { return vexskin_start_memory(defaultArchive.data(), 0, nullptr, s); },
       VEXSKIN_ERROR_ARGUMENT},
      {"garbage bytes", [&](vexskin_session** s) { return vexskin_start_memory(garbage.data(), garbage.size(), nullptr, s); },
       VEXSKIN_ERROR_SKIN},
      {"bytes cut short", [&](vexskin_session** s) { return vexskin_start_memory(cut.data(), cut.size(), nullptr, s); },
       VEXSKIN_ERROR_SKIN},
      {"bytes with a wrong password",
       [&](vexskin_session** s) { return vexskin_start_memory(locked.data(), locked.size(), L"guess", s); }, VEXSKIN_ERROR_PASSWORD},
  };
  for (const TCase& c : cases) {
    vexskin_session* s = MadeUpSession();  // a failed start sets it to null
    EXPECT_EQ(c.start(&s), c.expected) << c.name;
    EXPECT_NE(Error(), L"") << c.name;
    if (std::string(c.name) != "no place for the session") {
      EXPECT_EQ(s, nullptr) << c.name;
    }
    // The program goes on unskinned: a new dialog keeps its own frame and size.
    HWND w = Dialog(40, 40);
    EXPECT_EQ(WindowSize(w).cx, 320) << c.name;
    EXPECT_EQ(WindowSize(w).cy, 220) << c.name;
    EXPECT_NE(LeftEdgeAt(w, 2), LeftBorderColour(defaultFile, 2)) << c.name;
    DestroyWindow(w);
    windows.clear();
  }
  CloseHandle(holder);
  ASSERT_EQ(vexskin_start_file(L"vex-plain-api-beside.vsk", nullptr, &session), VEXSKIN_OK) << "a bare name: " << Error();
  ASSERT_EQ(vexskin_end(session), VEXSKIN_OK) << Error();
  session = nullptr;
  // Nothing was left behind: a good start works and skins.
  ASSERT_EQ(vexskin_start_file(lockedFile.c_str(), L"open sesame", &session), VEXSKIN_OK) << Error();
  EXPECT_EQ(Error(), L"");
  EXPECT_EQ(Skinned(Dialog(40, 40)), 1);
}

TEST_F(PlainApi, BadCallsOnALiveSessionAnswerAnErrorAndChangeNothing) {
  ASSERT_EQ(vexskin_start_file(DefaultPath().c_str(), nullptr, &session), VEXSKIN_OK) << Error();
  HWND dlg = Dialog(40, 40);
  const TWindowState before = StateOf(dlg);
  vex::test::WriteFile(dir / "garbage.vsk", vex::test::RandomBytes(4000, 7));
  const std::wstring garbageFile = (dir / "garbage.vsk").wstring(), missing = (dir / "missing.vsk").wstring();
  const std::vector<std::uint8_t> garbage = vex::test::RandomBytes(4000, 9);
  const std::wstring tooLong(257, L'x');
  const HWND child = GetDlgItem(dlg, IDOK);
  vexskin_session* bogus = MadeUpSession();
  int answer = 0;
  struct TCase {
    const char* name;
    std::function<vexskin_status()> call;
    vexskin_status expected;
  };
  const std::vector<TCase> cases = {
      {"load a missing file", [&] { return vexskin_load_file(session, missing.c_str(), nullptr); }, VEXSKIN_ERROR_FILE},
      {"load a garbage file", [&] { return vexskin_load_file(session, garbageFile.c_str(), nullptr); }, VEXSKIN_ERROR_SKIN},
      {"load no file", [&] { return vexskin_load_file(session, nullptr, nullptr); }, VEXSKIN_ERROR_ARGUMENT},
      {"load garbage bytes", [&] { return vexskin_load_memory(session, garbage.data(), garbage.size(), nullptr); },
       VEXSKIN_ERROR_SKIN},
      {"load no bytes", [&] { return vexskin_load_memory(session, garbage.data(), 0, nullptr); }, VEXSKIN_ERROR_ARGUMENT},
      {"no session", [&] { return vexskin_set_enabled(nullptr, 0); }, VEXSKIN_ERROR_ARGUMENT},
      {"a made-up session", [&] { return vexskin_set_enabled(bogus, 0); }, VEXSKIN_ERROR_ARGUMENT},
      {"no place for enabled", [&] { return vexskin_get_enabled(session, nullptr); }, VEXSKIN_ERROR_ARGUMENT},
      {"no class name", [&] { return vexskin_add_window_class(session, nullptr); }, VEXSKIN_ERROR_ARGUMENT},
      {"an empty class name", [&] { return vexskin_add_window_class(session, L""); }, VEXSKIN_ERROR_ARGUMENT},
      {"a class name too long", [&] { return vexskin_add_window_class(session, tooLong.c_str()); }, VEXSKIN_ERROR_ARGUMENT},
      {"skin no window", [&] { return vexskin_skin_window(session, nullptr); }, VEXSKIN_ERROR_ARGUMENT},
      {"skin a child window", [&] { return vexskin_skin_window(session, child); }, VEXSKIN_ERROR_ARGUMENT},
      {"skin a made-up window", [&] { return vexskin_skin_window(session, reinterpret_cast<HWND>(0x7FFF1234)); },
       VEXSKIN_ERROR_ARGUMENT},
      {"ask about no window", [&] { return vexskin_window_skinned(session, nullptr, &answer); }, VEXSKIN_ERROR_ARGUMENT},
      {"no place for skinned", [&] { return vexskin_window_skinned(session, dlg, nullptr); }, VEXSKIN_ERROR_ARGUMENT},
      {"a second session on the thread", [&] {
         vexskin_session* second = nullptr;
         const vexskin_status st = vexskin_start_file(DefaultPath().c_str(), nullptr, &second);
         EXPECT_EQ(second, nullptr);
         return st;
       }, VEXSKIN_ERROR_BUSY},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(c.call(), c.expected) << c.name;
    EXPECT_NE(Error(), L"") << c.name;
    EXPECT_EQ(Skinned(dlg), 1) << c.name;
    EXPECT_EQ(Error(), L"") << "a call that succeeds clears the message";
  }
  EXPECT_EQ(Difference(StateOf(dlg), before), "") << "the skin that showed before still shows";

  // Another thread may not touch the session, nor end it, but may have a session of its own.
  vexskin_status fromThread = VEXSKIN_OK, endFromThread = VEXSKIN_OK, own = VEXSKIN_ERROR_SYSTEM, ownEnd = VEXSKIN_ERROR_SYSTEM;
  std::wstring threadMessage;
  std::thread worker([&] {
    fromThread = vexskin_set_enabled(session, 0);
    threadMessage = vexskin_last_error();
    endFromThread = vexskin_end(session);
    vexskin_session* mine = nullptr;
    own = vexskin_start_file(DefaultPath().c_str(), nullptr, &mine);
    ownEnd = vexskin_end(mine);
  });
  worker.join();
  EXPECT_EQ(fromThread, VEXSKIN_ERROR_THREAD);
  EXPECT_NE(threadMessage, L"");
  EXPECT_EQ(endFromThread, VEXSKIN_ERROR_THREAD);
  EXPECT_EQ(own, VEXSKIN_OK);
  EXPECT_EQ(ownEnd, VEXSKIN_OK);
  EXPECT_EQ(Error(), L"") << "each thread has its own message";
  EXPECT_EQ(Skinned(dlg), 1);

  // Ended twice: the second is an argument error, not a second free.
  vexskin_session* ended = session;
  ASSERT_EQ(vexskin_end(session), VEXSKIN_OK);
  session = nullptr;
  EXPECT_EQ(vexskin_end(ended), VEXSKIN_ERROR_ARGUMENT);
  EXPECT_NE(Error(), L"");
  EXPECT_EQ(vexskin_end(nullptr), VEXSKIN_OK);
}

}  // namespace
