// The pixels a skinned native push button, check box and radio button show in each state, as
// fingerprints recorded from the painting as it was when these tests were written: a change of
// how the wrappers paint (a new paint path, shared painters) must leave every state's pixels as
// they were. A deliberate change of the look updates the fingerprints in the same commit.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "dialog_template.h"
#include "engine/skin_control.h"
#include "engine/skin_engine.h"
#include "engine/skin_window.h"
#include "skin_variant.h"
#include "skinned_engine_fixture.h"

namespace vex::engine {
namespace {

using test::PumpMessages;

enum : WORD { idPush = 10, idDefault = 11, idCheck = 12, idRight = 13, idRadio = 14, idOther = 15 };

INT_PTR CALLBACK QuietProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

class ButtonPixels : public test::TSkinnedEngineTest {
 protected:
  void SetUp() override {
    TSkinnedEngineTest::SetUp();
    test::TDialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, L"Pixels");
    t.Item(L"BUTTON", L"Push", idPush, BS_PUSHBUTTON | WS_TABSTOP, 10, 10, 60, 14);
    t.Item(L"BUTTON", L"Default", idDefault, BS_DEFPUSHBUTTON | WS_TABSTOP, 80, 10, 60, 14);
    t.Item(L"BUTTON", L"Check", idCheck, BS_AUTO3STATE | WS_TABSTOP, 10, 30, 60, 12);
    t.Item(L"BUTTON", L"Right", idRight, BS_AUTOCHECKBOX | BS_LEFTTEXT | WS_TABSTOP, 80, 30, 60, 12);
    t.Item(L"BUTTON", L"Radio", idRadio, BS_AUTORADIOBUTTON | WS_TABSTOP, 10, 46, 60, 12);
    t.Item(L"EDIT", L"", idOther, WS_BORDER | WS_TABSTOP, 80, 46, 60, 12);
    dlg = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr, QuietProc, 0);
    ASSERT_NE(dlg, nullptr);
    SetWindowPos(dlg, nullptr, 100, 100, 320, 160, SWP_NOZORDER);
    ShowWindow(dlg, SW_SHOW);
    PumpMessages();
    engine->AttachWindow(dlg, true);
    PumpMessages();
    SetFocus(GetDlgItem(dlg, idOther));
    PumpMessages();
  }
  void TearDown() override {
    if (IsWindow(dlg)) DestroyWindow(dlg);
    PumpMessages();
    LastDestroyedDialog() = nullptr;
    form.reset();
  }
  TvexSkinControl* Wrapper(HWND h) {
    TvexSkinWindow* f = engine->FindFrame(dlg);
    if (f)
      for (const auto& c : f->FControls)
        if (c->GetHandle() == h) return c.get();
    return nullptr;
  }
  // FNV-1a over the control's pixels after a full repaint.
  static std::uint64_t Fingerprint(HWND h) {
    InvalidateRect(h, nullptr, TRUE);
    UpdateWindow(h);
    RECT r;
    GetClientRect(h, &r);
    HDC dc = GetDC(h);
    std::uint64_t hash = 1469598103934665603ull;
    for (int y = 0; y < r.bottom; ++y)
      for (int x = 0; x < r.right; ++x) {
        const COLORREF c = GetPixel(dc, x, y);
        for (int b = 0; b < 3; ++b) {
          hash ^= (c >> (8 * b)) & 0xFF;
          hash *= 1099511628211ull;
        }
      }
    ReleaseDC(h, dc);
    return hash;
  }
  HWND dlg = nullptr;
};

struct TState {
  const char* name;
  std::uint64_t fingerprint;
};

TEST_F(ButtonPixels, EveryStatePaintsAsRecorded) {
  std::vector<std::pair<std::string, std::uint64_t>> seen;
  const auto take = [&](const char* name, HWND h) { seen.emplace_back(name, Fingerprint(h)); };
  HWND push = GetDlgItem(dlg, idPush), def = GetDlgItem(dlg, idDefault), check = GetDlgItem(dlg, idCheck),
       right = GetDlgItem(dlg, idRight), radio = GetDlgItem(dlg, idRadio);
  TvexSkinControl* pushWrapper = Wrapper(push);
  ASSERT_NE(pushWrapper, nullptr);

  take("push normal", push);
  take("default normal", def);
  pushWrapper->State = csHot;
  take("push hot", push);
  pushWrapper->State = csHot | csPressed;
  take("push pressed", push);
  pushWrapper->State = 0;
  SetFocus(push);
  take("push focused", push);
  SetFocus(GetDlgItem(dlg, idOther));
  EnableWindow(push, FALSE);
  take("push disabled", push);
  EnableWindow(push, TRUE);

  for (const auto& [state, name] : {std::pair{BST_UNCHECKED, "unchecked"}, {BST_CHECKED, "checked"}, {BST_INDETERMINATE, "grayed"}}) {
    SendMessageW(check, BM_SETCHECK, state, 0);
    take((std::string("check ") + name).c_str(), check);
    EnableWindow(check, FALSE);
    take((std::string("check disabled ") + name).c_str(), check);
    EnableWindow(check, TRUE);
  }
  SendMessageW(right, BM_SETCHECK, BST_CHECKED, 0);
  take("right-box check checked", right);
  for (const auto& [state, name] : {std::pair{BST_UNCHECKED, "unchecked"}, {BST_CHECKED, "checked"}}) {
    SendMessageW(radio, BM_SETCHECK, state, 0);
    take((std::string("radio ") + name).c_str(), radio);
    EnableWindow(radio, FALSE);
    take((std::string("radio disabled ") + name).c_str(), radio);
    EnableWindow(radio, TRUE);
  }

  const TState recorded[] = {
      {"push normal", 0xd3b0382124e3e379ull},
      {"default normal", 0x0a53689e87604af5ull},
      {"push hot", 0x9d9b4a640a1ade6eull},
      {"push pressed", 0x77d633a3dd38bb12ull},
      {"push focused", 0x56e6ca4e55cba024ull},
      {"push disabled", 0xd5b2ac0b9c8e4279ull},
      {"check unchecked", 0xb522a3bb13ad2411ull},
      {"check disabled unchecked", 0x5918e7e57cc87fb5ull},
      {"check checked", 0x69a6e1244547096cull},
      {"check disabled checked", 0xf441541e86619707ull},
      {"check grayed", 0x416ad4c87d003308ull},
      {"check disabled grayed", 0x4e87876ec530a8a7ull},
      {"right-box check checked", 0x4f8c8e31db62fe44ull},
      {"radio unchecked", 0x09d81a43df62f422ull},
      {"radio disabled unchecked", 0x9bcc2402dcbc8499ull},
      {"radio checked", 0xb4bd0e813d18b0ebull},
      {"radio disabled checked", 0x7fdd3001c2c50d35ull},
  };
  std::string report;
  for (const auto& [name, hash] : seen) report += "      {\"" + name + "\", 0x" + [](std::uint64_t v) {
    char buf[32];
    snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(v));
    return std::string(buf);
  }(hash) + "ull},\n";
  ASSERT_EQ(seen.size(), std::size(recorded)) << report;
  for (std::size_t i = 0; i < seen.size(); ++i) {
    EXPECT_EQ(seen[i].first, recorded[i].name);
    EXPECT_EQ(seen[i].second, recorded[i].fingerprint) << seen[i].first << "\n" << report;
  }
  // States differ where the look differs.
  EXPECT_NE(seen[0].second, seen[2].second) << "hot";
  EXPECT_NE(seen[2].second, seen[3].second) << "pressed";
}

}  // namespace
}  // namespace vex::engine

namespace vex::engine {
namespace {

// A push button's face is composed once per look and kept: another skin, another size or another
// background is another face, and going back shows the first one again, pixel for pixel.
TEST_F(ButtonPixels, KeptFacesFollowTheSkinAndTheSize) {
  HWND push = GetDlgItem(dlg, idPush);
  const std::uint64_t first = Fingerprint(push);
  const std::uint32_t normal = 0x2080C0, hot = 0xC08020, pressed = 0x20C080;
  test::TSkinVariant v;
  v.bitmaps["SKIN2_BUTTON"] = image::TvexImage(60, 21, normal);
  for (int y = 0; y < 21; ++y)
    for (int x = 20; x < 60; ++x) v.bitmaps["SKIN2_BUTTON"].SetPixel(x, y, x < 40 ? hot : pressed);
  test::WriteFile(dir / "flat-button.vsk", v.Archive());
  engine->SetSkinFile((dir / "flat-button.vsk").u8string());
  PumpMessages();
  const auto pixel = [&](int x, int y) {
    InvalidateRect(push, nullptr, TRUE);
    UpdateWindow(push);
    HDC dc = GetDC(push);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(push, dc);
    return c;
  };
  const COLORREF flat = RGB(0x20, 0x80, 0xC0);
  EXPECT_EQ(pixel(2, 2), flat) << "the new skin's face";
  RECT r;
  GetClientRect(push, &r);
  SetWindowPos(push, nullptr, 0, 0, r.right + 40, r.bottom + 6, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(pixel(r.right + 36, r.bottom + 3), flat) << "a larger button is covered to its edge";
  SetWindowPos(push, nullptr, 0, 0, r.right, r.bottom, SWP_NOMOVE | SWP_NOZORDER);
  engine->SetSkinFile((dir / "default.vsk").u8string());
  PumpMessages();
  EXPECT_EQ(Fingerprint(push), first) << "the default skin's face again";
}

}  // namespace
}  // namespace vex::engine
