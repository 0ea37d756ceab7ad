// The plain Win32 session linked statically, where the library's own count of GDI objects can be
// read: a program that starts and ends skinning again and again keeps no objects of it.
#include <windows.h>

#include <gtest/gtest.h>

#include "dialog_template.h"
#include "host/gdi_handle.h"
#include "skin2/default_skin.h"
#include "test_support.h"
#include "vexskin/vexskin_c.h"

namespace {

void Pump() {
  MSG msg;
  for (int i = 0; i < 5; ++i)
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG ? TRUE : FALSE; }

HWND ShownDialog() {
  vex::test::TDialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, L"Session dialog");
  t.Item(L"BUTTON", L"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 10, 70, 50, 14);
  t.Item(L"BUTTON", L"Remember", 101, BS_AUTOCHECKBOX | WS_TABSTOP, 10, 10, 80, 12);
  t.Item(L"LISTBOX", L"", 103, WS_BORDER | WS_VSCROLL, 95, 10, 50, 50);
  HWND w = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr, PlainDialogProc, 0);
  ShowWindow(w, SW_SHOW);
  SetForegroundWindow(w);
  Pump();
  return w;
}

TEST(SkinSession, StartAndEndCyclesKeepNoGdiObjects) {
  vex::test::TScopedTempDir dir;
  vex::test::WriteFile(dir / "default.vsk", vex::skin2::BuildDefaultSkinArchive());
  vex::test::WriteFile(dir / "dark.vsk", vex::skin2::BuildDarkSkinArchive());
  const std::wstring light = (dir / "default.vsk").wstring(), dark = (dir / "dark.vsk").wstring();
  // Each cycle skins a dialog, switches the skin, off and on, and ends: with the dialog closed
  // first, or with the dialog still open (it is given back, then closed).
  auto cycle = [&](bool endWhileOpen) {
    vexskin_session* s = nullptr;
    ASSERT_EQ(vexskin_start_file(light.c_str(), nullptr, &s), VEXSKIN_OK) << vexskin_last_error();
    HWND dlg = ShownDialog();
    int skinned = 0;
    EXPECT_EQ(vexskin_window_skinned(s, dlg, &skinned), VEXSKIN_OK);
    EXPECT_EQ(skinned, 1);
    EXPECT_EQ(vexskin_load_file(s, dark.c_str(), nullptr), VEXSKIN_OK) << vexskin_last_error();
    EXPECT_EQ(vexskin_set_enabled(s, 0), VEXSKIN_OK);
    EXPECT_EQ(vexskin_set_enabled(s, 1), VEXSKIN_OK);
    RedrawWindow(dlg, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    if (!endWhileOpen) DestroyWindow(dlg);
    EXPECT_EQ(vexskin_end(s), VEXSKIN_OK) << vexskin_last_error();
    if (endWhileOpen) DestroyWindow(dlg);
    Pump();
  };
  // The first cycles make what the process keeps for good (the check-mark glyphs, window classes).
  cycle(false);
  cycle(true);
  const long live = vex::host::GdiLiveObjects();
  for (int i = 0; i < 4; ++i) cycle(i % 2 == 1);
  EXPECT_EQ(vex::host::GdiLiveObjects(), live);
}

}  // namespace
