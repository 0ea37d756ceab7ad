// The window subclass chain: order, passing on, removal at any moment, giving the window its
// procedure back, living with windows subclassed by others and by the common controls.
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "host/subclass.h"

namespace vex::host {
namespace {

constexpr UINT kProbe = WM_APP + 7;

std::vector<std::string>* gLog = nullptr;

void Note(const std::string& s) {
  if (gLog) gLog->push_back(s);
}

LRESULT CALLBACK BottomProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kProbe) {
    Note("window");
    return 1;
  }
  return DefWindowProcW(w, msg, wp, lp);
}

// A window of a class of its own whose procedure answers the probe with 1.
HWND NewWindow() {
  static const ATOM cls = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = BottomProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VexSubclassTest";
    return RegisterClassW(&wc);
  }();
  (void)cls;
  return CreateWindowExW(0, L"VexSubclassTest", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

// Notes its name (the data) and adds 10 to what the chain below answers.
LRESULT CALLBACK Adding(HWND w, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
  if (msg != kProbe) return DefSubclass(w, msg, wp, lp);
  Note(reinterpret_cast<const char*>(data));
  return DefSubclass(w, msg, wp, lp) + 10;
}

struct LogScope {
  std::vector<std::string> log;
  LogScope() { gLog = &log; }
  ~LogScope() { gLog = nullptr; }
};

TEST(Subclass, TheLastSetRunsFirstAndEachPassesOnDownToTheWindow) {
  LogScope s;
  HWND w = NewWindow();
  ASSERT_TRUE(SetSubclass(w, Adding, 1, reinterpret_cast<DWORD_PTR>("a")));
  ASSERT_TRUE(SetSubclass(w, Adding, 2, reinterpret_cast<DWORD_PTR>("b")));
  EXPECT_EQ(SendMessageW(w, kProbe, 0, 0), 21);
  EXPECT_EQ(s.log, (std::vector<std::string>{"b", "a", "window"}));
  // Set again with the same id: new data, still one entry.
  ASSERT_TRUE(SetSubclass(w, Adding, 1, reinterpret_cast<DWORD_PTR>("c")));
  s.log.clear();
  EXPECT_EQ(SendMessageW(w, kProbe, 0, 0), 21);
  EXPECT_EQ(s.log, (std::vector<std::string>{"b", "c", "window"}));
  EXPECT_FALSE(RemoveSubclass(w, Adding, 3));
  DestroyWindow(w);
}

TEST(Subclass, RemovingTheLastGivesTheWindowItsProcedureBack) {
  HWND w = NewWindow();
  const LONG_PTR own = GetWindowLongPtrW(w, GWLP_WNDPROC);
  ASSERT_TRUE(SetSubclass(w, Adding, 1, reinterpret_cast<DWORD_PTR>("a")));
  ASSERT_TRUE(SetSubclass(w, Adding, 2, reinterpret_cast<DWORD_PTR>("b")));
  EXPECT_NE(GetWindowLongPtrW(w, GWLP_WNDPROC), own);
  EXPECT_TRUE(RemoveSubclass(w, Adding, 1));
  EXPECT_EQ(SendMessageW(w, kProbe, 0, 0), 11);
  EXPECT_TRUE(RemoveSubclass(w, Adding, 2));
  EXPECT_EQ(GetWindowLongPtrW(w, GWLP_WNDPROC), own);
  EXPECT_EQ(SendMessageW(w, kProbe, 0, 0), 1);
  // And it can be subclassed again.
  ASSERT_TRUE(SetSubclass(w, Adding, 1, reinterpret_cast<DWORD_PTR>("a")));
  EXPECT_EQ(SendMessageW(w, kProbe, 0, 0), 11);
  DestroyWindow(w);
}

// Takes itself out of the chain inside its own call, then passes the message on.
LRESULT CALLBACK RemovesItself(HWND w, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR) {
  if (msg != kProbe) return DefSubclass(w, msg, wp, lp);
  Note("once");
  RemoveSubclass(w, RemovesItself, id);
  return DefSubclass(w, msg, wp, lp) + 100;
}

TEST(Subclass, AProcedureMayRemoveItselfInItsOwnCall) {
  LogScope s;
  HWND w = NewWindow();
  const LONG_PTR own = GetWindowLongPtrW(w, GWLP_WNDPROC);
  ASSERT_TRUE(SetSubclass(w, Adding, 1, reinterpret_cast<DWORD_PTR>("a")));
  ASSERT_TRUE(SetSubclass(w, RemovesItself, 1, 0));
  EXPECT_EQ(SendMessageW(w, kProbe, 0, 0), 111);
  EXPECT_EQ(SendMessageW(w, kProbe, 0, 0), 11);
  EXPECT_EQ(s.log, (std::vector<std::string>{"once", "a", "window", "a", "window"}));
  // Alone in the chain, it gives the window back its procedure once its call is over.
  EXPECT_TRUE(RemoveSubclass(w, Adding, 1));
  ASSERT_TRUE(SetSubclass(w, RemovesItself, 1, 0));
  EXPECT_EQ(SendMessageW(w, kProbe, 0, 0), 101);
  EXPECT_EQ(GetWindowLongPtrW(w, GWLP_WNDPROC), own);
  DestroyWindow(w);
}

// Sends the probe to its own window once from inside the probe (a message inside a message).
LRESULT CALLBACK Nesting(HWND w, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
  if (msg != kProbe) return DefSubclass(w, msg, wp, lp);
  Note(wp ? "inner" : "outer");
  const LRESULT inner = wp ? 0 : SendMessageW(w, kProbe, 1, 0);
  return DefSubclass(w, msg, wp, lp) + inner * 1000;
}

TEST(Subclass, AMessageSentInsideAMessageRunsTheWholeChainAndTheOuterOneGoesOnWhereItWas) {
  LogScope s;
  HWND w = NewWindow();
  ASSERT_TRUE(SetSubclass(w, Adding, 1, reinterpret_cast<DWORD_PTR>("a")));
  ASSERT_TRUE(SetSubclass(w, Nesting, 1, 0));
  // Inner: a (10) + window (1) = 11; outer: 11 + 11 * 1000.
  EXPECT_EQ(SendMessageW(w, kProbe, 0, 0), 11011);
  EXPECT_EQ(s.log, (std::vector<std::string>{"outer", "inner", "a", "window", "a", "window"}));
  DestroyWindow(w);
}

WNDPROC gBelow = nullptr;
LRESULT CALLBACK Foreign(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kProbe) Note("foreign");
  return CallWindowProcW(gBelow, w, msg, wp, lp);
}

TEST(Subclass, AChainCoveredByAnotherSubclassPassesMessagesOnAfterItsLastProcedureGoes) {
  LogScope s;
  HWND w = NewWindow();
  ASSERT_TRUE(SetSubclass(w, Adding, 1, reinterpret_cast<DWORD_PTR>("a")));
  gBelow = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Foreign)));
  EXPECT_TRUE(RemoveSubclass(w, Adding, 1));
  // The other subclass stays the window's procedure and still reaches the window's own.
  EXPECT_EQ(GetWindowLongPtrW(w, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(Foreign));
  EXPECT_EQ(SendMessageW(w, kProbe, 0, 0), 1);
  // Ours can come again under it.
  ASSERT_TRUE(SetSubclass(w, Adding, 2, reinterpret_cast<DWORD_PTR>("b")));
  EXPECT_EQ(SendMessageW(w, kProbe, 0, 0), 11);
  EXPECT_EQ(s.log, (std::vector<std::string>{"foreign", "window", "foreign", "b", "window"}));
  DestroyWindow(w);
}

// Notes WM_NCDESTROY, the window's last message.
LRESULT CALLBACK SeesTheEnd(HWND w, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
  if (msg == WM_NCDESTROY) ++*reinterpret_cast<int*>(data);
  return DefSubclass(w, msg, wp, lp);
}

TEST(Subclass, EveryProcedureSeesTheLastMessageAndTheChainGoesWithTheWindow) {
  int ends = 0;
  HWND w = NewWindow();
  ASSERT_TRUE(SetSubclass(w, SeesTheEnd, 1, reinterpret_cast<DWORD_PTR>(&ends)));
  ASSERT_TRUE(SetSubclass(w, SeesTheEnd, 2, reinterpret_cast<DWORD_PTR>(&ends)));
  DestroyWindow(w);
  EXPECT_EQ(ends, 2);
  EXPECT_FALSE(RemoveSubclass(w, SeesTheEnd, 1));
  EXPECT_FALSE(SetSubclass(w, SeesTheEnd, 1, 0));
  // Windows made afterwards (whatever handles they get) start with chains of their own.
  for (int i = 0; i < 20; ++i) {
    HWND n = NewWindow();
    int nEnds = 0;
    ASSERT_TRUE(SetSubclass(n, SeesTheEnd, 1, reinterpret_cast<DWORD_PTR>(&nEnds)));
    EXPECT_EQ(SendMessageW(n, kProbe, 0, 0), 1);
    DestroyWindow(n);
    EXPECT_EQ(nEnds, 1);
  }
}

TEST(Subclass, AWindowOfAnotherThreadIsRefused) {
  HWND other = nullptr;
  HANDLE made = CreateEventW(nullptr, TRUE, FALSE, nullptr), done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread t([&] {
    other = NewWindow();
    SetEvent(made);
    WaitForSingleObject(done, 10000);
    DestroyWindow(other);
  });
  WaitForSingleObject(made, 10000);
  EXPECT_TRUE(IsWindow(other));
  EXPECT_FALSE(SetSubclass(other, Adding, 1, 0));
  EXPECT_FALSE(SetSubclass(nullptr, Adding, 1, 0));
  SetEvent(done);
  t.join();
  CloseHandle(made);
  CloseHandle(done);
}

LRESULT CALLBACK CommonControlsProc(HWND w, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
  if (msg == kProbe) Note("common");
  return DefSubclassProc(w, msg, wp, lp);
}

TEST(Subclass, AWindowTheCommonControlsSubclassedKeepsOursWhenTheirsGoes) {
  LogScope s;
  HWND w = NewWindow();
  ASSERT_TRUE(SetWindowSubclass(w, CommonControlsProc, 1, 0));
  ASSERT_TRUE(SetSubclass(w, Adding, 1, reinterpret_cast<DWORD_PTR>("a")));
  EXPECT_EQ(SendMessageW(w, kProbe, 0, 0), 11);
  ASSERT_TRUE(RemoveWindowSubclass(w, CommonControlsProc, 1));
  // Their last procedure gone, ours still sees the window's messages.
  EXPECT_EQ(SendMessageW(w, kProbe, 0, 0), 11);
  EXPECT_EQ(s.log, (std::vector<std::string>{"a", "common", "window", "a", "window"}));
  EXPECT_TRUE(RemoveSubclass(w, Adding, 1));
  EXPECT_EQ(SendMessageW(w, kProbe, 0, 0), 1);
  DestroyWindow(w);
}

// A window of a class registered with the A functions, made with CreateWindowExA.
LRESULT CALLBACK AnsiBottomProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, msg, wp, lp); }

HWND NewAnsiWindow(const char* cls) {
  static const ATOM own = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = AnsiBottomProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = "VexSubclassTestA";
    return RegisterClassA(&wc);
  }();
  (void)own;
  return CreateWindowExA(0, cls, "start", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

TEST(Subclass, AnAnsiWindowKeepsItsTextThroughTheChainAndGetsItsOwnProcedureBack) {
  const char text[] = "h\xe9llo";
  wchar_t wideText[16] = {};
  ASSERT_GT(MultiByteToWideChar(CP_ACP, 0, text, -1, wideText, 16), 0);
  for (const char* cls : {"VexSubclassTestA", "BUTTON", "EDIT", "STATIC", "LISTBOX", "COMBOBOX", "#32770"}) {
    HWND w = NewAnsiWindow(cls);
    ASSERT_NE(w, nullptr) << cls;
    ASSERT_FALSE(IsWindowUnicode(w)) << cls;
    const LONG_PTR ownA = GetWindowLongPtrA(w, GWLP_WNDPROC), ownW = GetWindowLongPtrW(w, GWLP_WNDPROC);
    ASSERT_TRUE(SetSubclass(w, Adding, 1, reinterpret_cast<DWORD_PTR>("a"))) << cls;
    EXPECT_EQ(SendMessageW(w, kProbe, 0, 0), 10) << cls << ": the chain runs";
    EXPECT_TRUE(SendMessageA(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text))) << cls;
    char narrow[16] = {};
    EXPECT_EQ(SendMessageA(w, WM_GETTEXT, 16, reinterpret_cast<LPARAM>(narrow)), 5) << cls;
    EXPECT_STREQ(narrow, text) << cls;
    wchar_t wide[16] = {};
    EXPECT_EQ(SendMessageW(w, WM_GETTEXT, 16, reinterpret_cast<LPARAM>(wide)), 5) << cls;
    EXPECT_EQ(std::wstring(wide), std::wstring(wideText)) << cls;
    EXPECT_TRUE(RemoveSubclass(w, Adding, 1)) << cls;
    // The window is an ANSI window again, with its own procedure as both kinds of caller see it.
    EXPECT_FALSE(IsWindowUnicode(w)) << cls;
    EXPECT_EQ(GetWindowLongPtrA(w, GWLP_WNDPROC), ownA) << cls;
    EXPECT_EQ(GetWindowLongPtrW(w, GWLP_WNDPROC), ownW) << cls;
    DestroyWindow(w);
  }
}

BOOL CALLBACK CountProp(HWND, LPWSTR, HANDLE, ULONG_PTR count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

int PropCount(HWND w) {
  int n = 0;
  EnumPropsExW(w, CountProp, reinterpret_cast<LPARAM>(&n));
  return n;
}

// Set over the chain: counts the window's properties once WM_NCDESTROY has been through it.
int gPropsAfterTheEnd = -1;
LRESULT CALLBACK CountsPropsAfterTheEnd(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  const LRESULT r = CallWindowProcW(gBelow, w, msg, wp, lp);
  if (msg == WM_NCDESTROY) gPropsAfterTheEnd = PropCount(w);
  return r;
}

TEST(Subclass, TheChainLeavesNoPropertyOnTheWindow) {
  HWND w = NewWindow();
  const int own = PropCount(w);
  ASSERT_TRUE(SetSubclass(w, Adding, 1, reinterpret_cast<DWORD_PTR>("a")));
  EXPECT_TRUE(RemoveSubclass(w, Adding, 1));
  EXPECT_EQ(PropCount(w), own) << "given back";
  // A window is to be rid of its properties before WM_NCDESTROY returns.
  ASSERT_TRUE(SetSubclass(w, Adding, 1, reinterpret_cast<DWORD_PTR>("a")));
  gBelow = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountsPropsAfterTheEnd)));
  gPropsAfterTheEnd = -1;
  DestroyWindow(w);
  EXPECT_EQ(gPropsAfterTheEnd, own) << "destroyed";
}

// ----- a second copy of the chain in another module of the process -----

constexpr wchar_t kOtherModule[] = L"subclass_module.dll";

struct TOtherModule {
  using TSet = BOOL(WINAPI*)(HWND, TSubclassProc, UINT_PTR, DWORD_PTR);
  using TRemove = BOOL(WINAPI*)(HWND, TSubclassProc, UINT_PTR);
  using TDef = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM);
  HMODULE module = LoadLibraryW(kOtherModule);
  TSet set = module ? reinterpret_cast<TSet>(reinterpret_cast<void*>(GetProcAddress(module, "ModuleSetSubclass"))) : nullptr;
  TRemove remove =
      module ? reinterpret_cast<TRemove>(reinterpret_cast<void*>(GetProcAddress(module, "ModuleRemoveSubclass"))) : nullptr;
  TDef def = module ? reinterpret_cast<TDef>(reinterpret_cast<void*>(GetProcAddress(module, "ModuleDefSubclass"))) : nullptr;
  bool Loaded() const { return set && remove && def; }
  void Unload() {
    if (module) FreeLibrary(module);
    module = nullptr;
    set = nullptr;
    remove = nullptr;
    def = nullptr;
  }
  ~TOtherModule() { Unload(); }
};

TOtherModule::TDef gOtherDef = nullptr;

// A procedure of the other copy's chain: adds 1000.
LRESULT CALLBACK OtherAdding(HWND w, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
  if (msg != kProbe) return gOtherDef(w, msg, wp, lp);
  Note("other");
  return gOtherDef(w, msg, wp, lp) + 1000;
}

TEST(Subclass, AnotherModulesCopyOfTheChainOnTheSameWindowLeavesOursWhole) {
  TOtherModule other;
  ASSERT_TRUE(other.Loaded());
  gOtherDef = other.def;
  LogScope s;
  HWND w = NewWindow();
  const LONG_PTR own = GetWindowLongPtrW(w, GWLP_WNDPROC);
  ASSERT_TRUE(SetSubclass(w, Adding, 1, reinterpret_cast<DWORD_PTR>("a")));
  ASSERT_TRUE(other.set(w, OtherAdding, 1, 0));
  // Ours gets another procedure while the other copy's chain stands over it.
  ASSERT_TRUE(SetSubclass(w, Adding, 2, reinterpret_cast<DWORD_PTR>("b")));
  EXPECT_EQ(SendMessageW(w, kProbe, 0, 0), 1021);
  EXPECT_EQ(s.log, (std::vector<std::string>{"other", "b", "a", "window"}));
  // The other copy gives the window back what it found: our chain.
  EXPECT_TRUE(other.remove(w, OtherAdding, 1));
  s.log.clear();
  EXPECT_EQ(SendMessageW(w, kProbe, 0, 0), 21);
  ASSERT_TRUE(SetSubclass(w, Adding, 3, reinterpret_cast<DWORD_PTR>("c")));
  EXPECT_EQ(SendMessageW(w, kProbe, 0, 0), 31);
  EXPECT_EQ(s.log, (std::vector<std::string>{"b", "a", "window", "c", "b", "a", "window"}));
  for (UINT_PTR id : {1, 2, 3}) EXPECT_TRUE(RemoveSubclass(w, Adding, id)) << id;
  EXPECT_EQ(GetWindowLongPtrW(w, GWLP_WNDPROC), own);
  DestroyWindow(w);
}

TEST(Subclass, AModuleIsNotUnloadedWhileItsChainStillPassesMessagesOn) {
  HWND w = NewWindow();
  const LONG_PTR own = GetWindowLongPtrW(w, GWLP_WNDPROC);
  {
    // Every window given back: the module can go.
    TOtherModule other;
    ASSERT_TRUE(other.Loaded());
    gOtherDef = other.def;
    ASSERT_TRUE(other.set(w, OtherAdding, 1, 0));
    EXPECT_EQ(SendMessageW(w, kProbe, 0, 0), 1001);
    EXPECT_TRUE(other.remove(w, OtherAdding, 1));
    other.Unload();
    EXPECT_EQ(GetModuleHandleW(kOtherModule), nullptr);
  }
  // Its chain covered by ours when its last procedure goes, its procedure stays the one ours
  // passes messages to.
  TOtherModule other;
  ASSERT_TRUE(other.Loaded());
  gOtherDef = other.def;
  ASSERT_TRUE(other.set(w, OtherAdding, 1, 0));
  ASSERT_TRUE(SetSubclass(w, Adding, 1, reinterpret_cast<DWORD_PTR>("a")));
  EXPECT_EQ(SendMessageW(w, kProbe, 0, 0), 1011);
  EXPECT_TRUE(other.remove(w, OtherAdding, 1));
  other.Unload();
  ASSERT_NE(GetModuleHandleW(kOtherModule), nullptr) << "unloaded under a window that still calls it";
  EXPECT_EQ(SendMessageW(w, kProbe, 0, 0), 11);
  // Ours gone, the other's chain is the window's procedure; it gives the window its own back.
  EXPECT_TRUE(RemoveSubclass(w, Adding, 1));
  EXPECT_EQ(SendMessageW(w, kProbe, 0, 0), 1);
  EXPECT_EQ(GetWindowLongPtrW(w, GWLP_WNDPROC), own);
  DestroyWindow(w);
}

}  // namespace
}  // namespace vex::host
