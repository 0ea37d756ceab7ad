// The engine following the system: stepping aside while high contrast is on, the light or the
// dark skin of a pair as the system's app mode says, and the desktop window manager's corner and
// border attributes for shaped windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dialog_template.h"
#include "engine/skin_engine.h"
#include "engine/skin_window.h"
#include "host/application.h"
#include "host/form_stream.h"
#include "skin2/default_skin.h"
#include "skin2/skin_keys.h"
#include "skin_variant.h"
#include "skinned_engine_fixture.h"
#include "utils/platform_helpers.h"
#include "utils/skin_reader.h"

namespace vex::engine {
namespace {

using namespace vex::host;
using test::PumpMessages;
namespace keys = vex::skin2;

INT_PTR CALLBACK QuietProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

HWND OpenDialog() {
  test::TDialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, L"Mode");
  t.Item(L"BUTTON", L"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 10, 50, 50, 14);
  HWND dlg = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr, QuietProc, 0);
  SetWindowPos(dlg, nullptr, 140, 140, 300, 180, SWP_NOZORDER);
  ShowWindow(dlg, SW_SHOW);
  PumpMessages();
  return dlg;
}

RECT WindowRect(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  return r;
}
SIZE ClientSize(HWND w) {
  RECT r{};
  GetClientRect(w, &r);
  return SIZE{r.right, r.bottom};
}
bool Skinned(HWND w) { return SendMessageW(w, SKM_QUERYSKINNED, 0, 0) == 1; }

// The system's settings broadcast, as the system sends it to a top-level window.
void SettingChanged(HWND w, const wchar_t* area) {
  SendMessageW(w, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(area));
  PumpMessages();
}

bool gHighContrast = false;
bool HighContrastAnswer() { return gHighContrast; }

class SystemMode : public test::TSkinnedEngineTest {
 protected:
  void SetUp() override {
    TSkinnedEngineTest::SetUp();
    // Dialogs are measured unskinned first, then attached by the test.
    engine->SetSkinDialogs(false);
  }
  void TearDown() override {
    for (HWND w : windows)
      if (IsWindow(w)) DestroyWindow(w);
    PumpMessages();
    utils::SetHighContrastQuery(nullptr);
    gHighContrast = false;
    SetAppsUseLightTheme(-1);
    utils::ResetDwmBinding();
    form.reset();
    PumpMessages();
  }
  // The personalisation setting: 1 light, 0 dark, -1 absent.
  static void SetAppsUseLightTheme(int value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize", 0, nullptr, 0,
                              KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    if (value < 0) {
      RegDeleteValueW(key, L"AppsUseLightTheme");
    } else {
      const DWORD v = static_cast<DWORD>(value);
      RegSetValueExW(key, L"AppsUseLightTheme", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
    }
    RegCloseKey(key);
  }
  HWND Keep(HWND w) {
    windows.push_back(w);
    return w;
  }
  std::vector<HWND> windows;
};

// High contrast on: every window is the system's again, at its own size, with the engine still
// Active; a dialog opened meanwhile stays the system's; off again: all skinned as before.
TEST_F(SystemMode, HighContrastStepsAsideAndBack) {
  utils::SetHighContrastQuery(HighContrastAnswer);
  form->SetBounds(60, 60, 360, 240);
  engine->AttachOwnerForm(form.get());
  form->Show();
  HWND dlg = Keep(OpenDialog());
  const RECT own = WindowRect(dlg);
  const LONG ownStyle = GetWindowLongW(dlg, GWL_STYLE);
  engine->AttachWindow(dlg, true);
  PumpMessages();
  ASSERT_TRUE(Skinned(dlg));
  ASSERT_TRUE(Skinned(form->Handle()));
  const RECT skinned = WindowRect(dlg);
  const SIZE formClient = ClientSize(form->Handle());

  gHighContrast = true;
  SettingChanged(dlg, L"WindowMetrics");
  EXPECT_TRUE(engine->SteppedAside());
  EXPECT_TRUE(engine->Active()) << "stepping aside leaves Active as the program set it";
  EXPECT_FALSE(engine->IsSkinActive());
  EXPECT_FALSE(Skinned(dlg));
  EXPECT_FALSE(Skinned(form->Handle()));
  const RECT now = WindowRect(dlg);
  EXPECT_TRUE(EqualRect(&now, &own)) << "the dialog at its own size";
  EXPECT_EQ(GetWindowLongW(dlg, GWL_STYLE) & WS_SYSMENU, ownStyle & WS_SYSMENU);
  EXPECT_EQ(form->Color(), clBtnFace) << "the form's own colour";
  HWND later = Keep(OpenDialog());
  engine->AttachWindow(later, true);
  PumpMessages();
  EXPECT_FALSE(Skinned(later)) << "a dialog opened in high contrast is the system's";

  gHighContrast = false;
  SettingChanged(form->Handle(), L"WindowMetrics");
  EXPECT_FALSE(engine->SteppedAside());
  EXPECT_TRUE(Skinned(dlg));
  EXPECT_TRUE(Skinned(later));
  EXPECT_TRUE(Skinned(form->Handle()));
  const RECT again = WindowRect(dlg);
  EXPECT_TRUE(EqualRect(&again, &skinned));
  EXPECT_EQ(ClientSize(form->Handle()).cx, formClient.cx);
  EXPECT_EQ(ClientSize(form->Handle()).cy, formClient.cy);
}

// An engine made while high contrast is on shows no skin until the mode goes.
TEST_F(SystemMode, AnEngineStartedInHighContrastWaits) {
  utils::SetHighContrastQuery(HighContrastAnswer);
  gHighContrast = true;
  TComponentPtr<TForm> other(new TForm(nullptr));
  auto* e = new TvexSkinEngine(other.get());
  e->SetSkinFile((dir / "default.vsk").u8string());
  e->SetActive(true);
  EXPECT_FALSE(e->IsSkinActive());
  e->FollowSystemSettings();
  EXPECT_FALSE(e->IsSkinActive());
  gHighContrast = false;
  e->FollowSystemSettings();
  EXPECT_TRUE(e->IsSkinActive());
}

struct TPairCase {
  const char* name;
  bool builtIn;  // the dark skin stored with the form, else a file
};

// The light or the dark skin of a pair, as the system's app mode says, switched live on the
// settings broadcast; AppMode light or dark keeps one whatever the system says.
TEST_F(SystemMode, ThePairFollowsTheSystemsAppMode) {
  for (const TPairCase& c : {TPairCase{"stored with the form", true}, TPairCase{"two files", false}}) {
    SCOPED_TRACE(c.name);
    SetAppsUseLightTheme(1);
    test::WriteFile(dir / "dark.vsk", skin2::BuildDarkSkinArchive());
    const utils::TvexSkinReader darkReader(dir / "dark.vsk", "");
    TComponentPtr<TForm> owner(new TForm(nullptr));
    TvexSkinEngine* e = nullptr;
    if (c.builtIn) {
      owner->SetName("GalleryForm");
      ReadComponentText(ReadFormResourceText(L"GALLERYFORM"), *owner);
      e = static_cast<TvexSkinEngine*>(owner->FindComponent("SkinEngine"));
      ASSERT_NE(e, nullptr);
      ASSERT_EQ(e->AppMode(), amSystem) << "the gallery's pair follows the system";
    } else {
      e = new TvexSkinEngine(owner.get());
      e->SetSkinFile((dir / "default.vsk").u8string());
      e->SetDarkSkinFile((dir / "dark.vsk").u8string());
      e->SetAppMode(amSystem);
      e->SetActive(true);
    }
    // The fixture's engine holds the thread's hook; this one skins the dialog by hand.
    HWND dlg = Keep(OpenDialog());
    e->AttachWindow(dlg, true);
    PumpMessages();
    ASSERT_TRUE(Skinned(dlg));
    const TColor light = e->GetFormColor();
    const RECT size = WindowRect(dlg);
    EXPECT_FALSE(e->ShowsDarkSkin());

    SetAppsUseLightTheme(0);
    SettingChanged(dlg, L"ImmersiveColorSet");
    EXPECT_TRUE(e->ShowsDarkSkin());
    EXPECT_NE(e->GetFormColor(), light);
    EXPECT_EQ(e->GetFormColor(), darkReader.GetColor(keys::color::SKIN2_FORMCOLOR));
    EXPECT_TRUE(Skinned(dlg));
    RECT now = WindowRect(dlg);
    EXPECT_TRUE(EqualRect(&now, &size)) << "the dialog keeps its size";
    if (!c.builtIn) {
      EXPECT_EQ(e->SkinFile(), (dir / "default.vsk").u8string()) << "SkinFile still names the light skin";
    }

    // Told to stay light: light whatever the system says, and the settings change leaves it so.
    e->SetAppMode(amLight);
    EXPECT_FALSE(e->ShowsDarkSkin());
    EXPECT_EQ(e->GetFormColor(), light);
    SettingChanged(dlg, L"ImmersiveColorSet");
    EXPECT_EQ(e->GetFormColor(), light);
    e->SetAppMode(amDark);
    EXPECT_TRUE(e->ShowsDarkSkin());
    e->SetAppMode(amSystem);
    EXPECT_TRUE(e->ShowsDarkSkin()) << "the system is dark";

    SetAppsUseLightTheme(1);
    SettingChanged(dlg, L"ImmersiveColorSet");
    EXPECT_FALSE(e->ShowsDarkSkin());
    EXPECT_EQ(e->GetFormColor(), light);
    now = WindowRect(dlg);
    EXPECT_TRUE(EqualRect(&now, &size));
    e->DetachWindow(dlg);
    DestroyWindow(dlg);
    PumpMessages();
  }
}

// A dark skin that cannot be found leaves the light one showing.
TEST_F(SystemMode, AMissingDarkSkinLeavesTheLightOne) {
  SetAppsUseLightTheme(0);
  const TColor light = engine->GetFormColor();
  engine->SetDarkSkinFile((dir / "no-such-skin.vsk").u8string());
  engine->SetAppMode(amSystem);
  EXPECT_FALSE(engine->ShowsDarkSkin());
  EXPECT_EQ(engine->GetFormColor(), light);
  EXPECT_TRUE(engine->IsSkinActive());
}

struct TDwmCall {
  HWND wnd;
  DWORD attribute, value;
};
std::vector<TDwmCall> gDwmCalls;
HRESULT WINAPI RecordDwm(HWND w, DWORD attribute, LPCVOID value, DWORD size) {
  gDwmCalls.push_back({w, attribute, size == sizeof(DWORD) ? *static_cast<const DWORD*>(value) : 0xDEAD});
  return S_OK;
}
// The last value given to an attribute of a window, or -1.
long long LastDwm(HWND w, DWORD attribute) {
  for (auto it = gDwmCalls.rbegin(); it != gDwmCalls.rend(); ++it)
    if (it->wnd == w && it->attribute == attribute) return it->value;
  return -1;
}

// A window shaped by the skin's region asks the window manager not to round it and gives it the
// skin's border colour; a skin without a region and unskinning give the defaults back.
TEST_F(SystemMode, ShapedWindowsAreNotRoundedAndTakeTheBorderColour) {
  gDwmCalls.clear();
  utils::SetDwmSetWindowAttributeForTests(RecordDwm);
  ASSERT_TRUE(engine->GetSkinSwitch(keys::switches::SKIN2_TITLEBARNEEDREGION)) << "the default skin is shaped";
  HWND dlg = Keep(OpenDialog());
  engine->AttachWindow(dlg, true);
  PumpMessages();
  ASSERT_TRUE(Skinned(dlg));
  EXPECT_EQ(LastDwm(dlg, utils::kDwmWindowCornerPreference), utils::kDwmCornerDoNotRound);
  const TBitmap* border = engine->CurrentReader()->GetBitmap(keys::bitmap::SKIN2_FORMLEFTBORDER);
  ASSERT_NE(border, nullptr);
  EXPECT_EQ(LastDwm(dlg, utils::kDwmBorderColor), static_cast<long long>(ColorToRGB(border->PixelColor(0, border->Height() / 2))));

  test::TSkinVariant flat;
  flat.bytes["SKIN2_TITLEBARNEEDREGION"] = 0;
  flat.bytes["SKIN2_BOTTOMBORDERNEEDREGION"] = 0;
  flat.bitmaps["SKIN2_FORMLEFTBORDER"] = image::TvexImage(4, 20, 0x336699);
  test::WriteFile(dir / "flat.vsk", flat.Archive());
  engine->SetSkinFile((dir / "flat.vsk").u8string());
  PumpMessages();
  EXPECT_EQ(LastDwm(dlg, utils::kDwmWindowCornerPreference), utils::kDwmCornerDefault);
  EXPECT_EQ(LastDwm(dlg, utils::kDwmBorderColor), static_cast<long long>(RGB(0x33, 0x66, 0x99)));

  engine->SetActive(false);
  EXPECT_EQ(LastDwm(dlg, utils::kDwmBorderColor), static_cast<long long>(utils::kDwmColorDefault));
  EXPECT_EQ(LastDwm(dlg, utils::kDwmWindowCornerPreference), utils::kDwmCornerDefault);
  // A window never shaped or coloured is never touched.
  const std::size_t before = gDwmCalls.size();
  HWND plain = Keep(OpenDialog());
  engine->AttachWindow(plain, true);
  PumpMessages();
  EXPECT_EQ(gDwmCalls.size(), before);
}

// Where the system has no DwmSetWindowAttribute, nothing calls it and skinning is as ever.
TEST_F(SystemMode, WithoutTheWindowManagersFunctionNothingIsCalled) {
  gDwmCalls.clear();
  utils::SetDwmSetWindowAttributeForTests(nullptr);
  HWND dlg = Keep(OpenDialog());
  const RECT own = WindowRect(dlg);
  engine->AttachWindow(dlg, true);
  PumpMessages();
  EXPECT_TRUE(Skinned(dlg));
  engine->DetachWindow(dlg);
  PumpMessages();
  const RECT back = WindowRect(dlg);
  EXPECT_TRUE(EqualRect(&own, &back));
}

}  // namespace
}  // namespace vex::engine

namespace vex::engine {
namespace {

// The dark skin named anew while it shows: the new one shows; named away: the light one shows.
TEST_F(SystemMode, ANewDarkSkinWhileTheDarkOneShows) {
  test::WriteFile(dir / "dark.vsk", skin2::BuildDarkSkinArchive());
  test::TSkinVariant other;
  other.integers["SKIN2_FORMCOLOR"] = 0x102030;
  test::WriteFile(dir / "other-dark.vsk", other.Archive());
  const TColor light = engine->GetFormColor();
  engine->SetDarkSkinFile((dir / "dark.vsk").u8string());
  engine->SetAppMode(amDark);
  ASSERT_TRUE(engine->ShowsDarkSkin());
  const TColor dark = engine->GetFormColor();
  ASSERT_NE(dark, light);
  engine->SetDarkSkinFile((dir / "other-dark.vsk").u8string());
  EXPECT_TRUE(engine->ShowsDarkSkin());
  EXPECT_NE(engine->GetFormColor(), dark) << "the new dark skin shows";
  engine->SetDarkSkinFile((dir / "dark.vsk").u8string());
  EXPECT_EQ(engine->GetFormColor(), dark);
  engine->SetDarkSkinFile("");
  EXPECT_FALSE(engine->ShowsDarkSkin());
  EXPECT_EQ(engine->GetFormColor(), light) << "no dark skin any more: the light one shows";
}

}  // namespace
}  // namespace vex::engine
