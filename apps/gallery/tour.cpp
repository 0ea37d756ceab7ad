#include "tour.h"

#include "utils/platform_helpers.h"

#include <windows.h>

#include <functional>
#include <iostream>

#include "engine/skin_engine.h"
#include "engine/skin_menu_bar.h"
#include "engine/skin_window.h"
#include "native_dialog.h"
#include "gallery_form.h"
#include "host/application.h"
#include "host/combo_box.h"
#include "host/date_time_picker.h"
#include "host/scroll_bar.h"
#include "host/tab_controls.h"
#include "png_writer.h"

namespace vex::gallery {
namespace {

using namespace vex::host;

// One capture in progress: a timer looks for the window, lets it paint, saves it, closes it.
struct TCapture {
  std::function<HWND()> find;
  std::function<RECT(HWND)> area;
  std::function<void(HWND)> close;
  std::wstring path;
  std::function<void(HWND)> prepare;  // runs just before the shot
  int ticks = 0;
  int seen = 0;
  bool done = false;
  bool saved = false;
};

TCapture* gCapture = nullptr;

void CALLBACK CaptureTick(HWND, UINT, UINT_PTR id, DWORD) {
  TCapture* c = gCapture;
  if (!c || c->done) {
    KillTimer(nullptr, id);
    return;
  }
  ++c->ticks;
  HWND w = c->find();
  if (w && IsWindowVisible(w)) ++c->seen;
  // A few ticks after it appears the window has painted; give up after ten seconds.
  if ((w && c->seen >= 5) || c->ticks > 100) {
    KillTimer(nullptr, id);
    if (w) {
      if (c->prepare) c->prepare(w);
      RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
      Sleep(50);
      c->saved = SaveScreenRect(c->area(w), c->path);
      c->close(w);
    }
    c->done = true;
  }
}

RECT WindowArea(HWND w) {
  RECT r;
  GetWindowRect(w, &r);
  return r;
}

void Pump(int ms) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  while (GetTickCount() < end) {
    Application().ProcessMessages();
    Sleep(10);
  }
}

// The active top-level window of this thread when it is not the main form.
HWND NewActiveWindow(HWND main) {
  HWND w = GetActiveWindow();
  return w && w != main ? w : nullptr;
}

}  // namespace

int RunTour(TGalleryForm& form, const std::wstring& folder) {
  CreateDirectoryW(folder.c_str(), nullptr);
  int failures = 0;
  HWND main = form.Handle();
  auto report = [&](const std::wstring& name, bool ok) {
    std::wcout << (ok ? L"saved " : L"FAILED ") << folder << L"\\" << name << std::endl;
    if (!ok) ++failures;
  };
  // Runs `open` (which returns once the window is closed again) with a capture armed.
  auto capture = [&](const std::wstring& name, std::function<HWND()> find, std::function<RECT(HWND)> area,
                     std::function<void(HWND)> close, std::function<void()> open, std::function<void(HWND)> prepare = nullptr) {
    TCapture c{std::move(find), std::move(area), std::move(close), folder + L"\\" + name, std::move(prepare)};
    gCapture = &c;
    SetTimer(nullptr, 0, 100, CaptureTick);
    open();
    while (!c.done) {
      Application().HandleMessage();
    }
    gCapture = nullptr;
    report(name, c.saved);
    Pump(200);
  };
  auto cancel = [](HWND w) { PostMessageW(w, WM_COMMAND, IDCANCEL, 0); };
  auto closeWindow = [](HWND w) { PostMessageW(w, WM_CLOSE, 0, 0); };
  auto dialog = [main] { return NewActiveWindow(main); };
  // The area of a popup menu together with the window it belongs to.
  auto alongside = [](HWND owner) {
    return [owner](HWND menu) {
      RECT a = WindowArea(owner), b = WindowArea(menu), u;
      UnionRect(&u, &a, &b);
      return u;
    };
  };

  form.Show();
  Pump(800);
  report(L"01-main-window.png", SaveScreenRect(WindowArea(main), folder + L"\\01-main-window.png"));

  // The skinned menu bar with an item hot, as Alt and Right leave it.
  for (int i = 0; i < form.ControlCount(); ++i)
    if (form.Controls(i)->Is<engine::TvexSkinMenuBar>()) {
      auto* bar = static_cast<engine::TvexSkinMenuBar*>(form.Controls(i));
      bar->EnterMenuMode(1);
      Pump(300);
      RECT area = WindowArea(main);
      area.bottom = area.top + 120;
      report(L"01b-menu-bar-hot.png", SaveScreenRect(area, folder + L"\\01b-menu-bar-hot.png"));
      bar->CancelMenu();
      Pump(100);
      break;
    }

  // The popup menu, shown with the window it belongs to.
  capture(
      L"02-popup-menu.png", [] { return FindWindowW(L"#32768", nullptr); },
      alongside(main),
      [](HWND) { EndMenu(); },
      [&form, main] {
        POINT p{120, 140};
        ClientToScreen(main, &p);
        form.Popup()->Popup(p.x, p.y);
      });

  // The engine's system menu, as a skinned frame pops it up from its icon.
  if (TPopupMenu* sys = form.SystemMenu()) {
    capture(
        L"02b-system-menu.png", [] { return FindWindowW(L"#32768", nullptr); },
        alongside(main),
        [](HWND) { EndMenu(); },
        [sys, main] {
          RECT r = WindowArea(main);
          sys->Popup(r.left + 8, r.top + 28);
        });
  }

  // A drop-down of the main menu, opened from the keyboard.
  capture(
      L"03-main-menu.png", [] { return FindWindowW(L"#32768", nullptr); },
      alongside(main),
      [](HWND) { EndMenu(); }, [main] { PostMessageW(main, WM_SYSCOMMAND, SC_KEYMENU, 'w'); });

  capture(L"04-native-message-box.png", dialog, WindowArea, cancel, [&form] { form.ShowNativeMessageBox(); });
  capture(L"05-framework-message-dialog.png", dialog, WindowArea, closeWindow, [&form] { form.ShowFrameworkMessage(); });
  capture(L"06-native-dialog.png", dialog, WindowArea, cancel, [&form] { form.ShowNativeDialog(); });
  // A title button in its hot image (the cursor over it) and its pressed image (the left button
  // held on it), on the native dialog's skinned frame.
  auto titleStrip = [](HWND w) {
    RECT r = WindowArea(w);
    r.left = r.right - 120;
    r.bottom = r.top + 40;
    return r;
  };
  auto closeButtonCentre = [](HWND w, POINT& p) {
    engine::TvexSkinEngine* e = engine::HookEngine();
    engine::TvexSkinWindow* f = e ? e->FindFrame(w) : nullptr;
    if (!f) return false;
    RECT r = WindowArea(w);
    for (const auto& b : f->CurrentLayout().buttons)
      if (b.element == image::teClose) {
        p = POINT{r.left + (b.rect.left + b.rect.right) / 2, r.top + (b.rect.top + b.rect.bottom) / 2};
        return true;
      }
    return false;
  };
  capture(
      L"06b-title-button-hot.png", dialog, titleStrip, cancel, [&form] { form.ShowNativeDialog(); },
      [&](HWND w) {
        POINT p;
        if (!closeButtonCentre(w, p)) return;
        SetCursorPos(p.x, p.y);
        SendMessageW(w, WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(p.x, p.y));
      });
  capture(
      L"06c-title-button-pressed.png", dialog, titleStrip, cancel, [&form] { form.ShowNativeDialog(); },
      [&](HWND w) {
        POINT p;
        if (!closeButtonCentre(w, p)) return;
        SetCursorPos(p.x, p.y);
        SendMessageW(w, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(p.x, p.y));
      });
  SetCursorPos(0, 0);
  capture(L"07-open-file-dialog.png", dialog, WindowArea, cancel, [&form] { form.ShowOpenDialog(); });
  // A folder of many files: the file list scrolls, with the skin's bars.
  capture(L"07b-open-file-dialog-scrolling.png", dialog, WindowArea, cancel, [&form] { form.ShowOpenDialog(L"C:\\windows\\system32"); });
  capture(L"08-colour-dialog.png", dialog, WindowArea, cancel, [&form] { form.ShowColourDialog(); });

  // A plain Win32 window skinned by its class name, with its own menu bar in the skinned frame,
  // then with a drop-down of that bar open.
  if (HWND native = OpenNativeWindow(main)) {
    Pump(600);
    report(L"10-native-window.png", SaveScreenRect(WindowArea(native), folder + L"\\10-native-window.png"));
    capture(
        L"10b-native-window-menu.png", [] { return FindWindowW(L"#32768", nullptr); },
        alongside(native),
        [](HWND) { EndMenu(); }, [native] { PostMessageW(native, WM_SYSCOMMAND, SC_KEYMENU, 'v'); });
    DestroyWindow(native);
    Pump(200);
  }

  // A second form opened later, skinned by the hook's rules.
  TForm* second = form.OpenSecondForm();
  Pump(800);
  report(L"13-second-form.png", SaveScreenRect(WindowArea(second->Handle()), folder + L"\\13-second-form.png"));
  TComponent::Free(second);
  Pump(200);

  // Scrolling controls with their bars skinned, at the top and scrolled along.
  TForm* lists = form.OpenListsWindow();
  Pump(800);
  report(L"14-lists-and-grids.png", SaveScreenRect(WindowArea(lists->Handle()), folder + L"\\14-lists-and-grids.png"));
  for (int i = 0; i < lists->ControlCount(); ++i)
    if (auto* w = dynamic_cast<TWinControl*>(lists->Controls(i)); w && w->HandleAllocated() && !w->Is<TScrollBar>()) {
      SendMessageW(w->Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
      SendMessageW(w->Handle(), WM_HSCROLL, SB_PAGEDOWN, 0);
    }
  Pump(500);
  report(L"14b-lists-and-grids-scrolled.png", SaveScreenRect(WindowArea(lists->Handle()), folder + L"\\14b-lists-and-grids-scrolled.png"));
  TComponent::Free(lists);
  Pump(200);

  // Range controls painted from the skin.
  TForm* ranges = form.OpenRangesWindow();
  Pump(800);
  report(L"15-ranges-and-pickers.png", SaveScreenRect(WindowArea(ranges->Handle()), folder + L"\\15-ranges-and-pickers.png"));
  // A combo box dropped down, then a date picker with its calendar open.
  const auto dropShot = [&](const char* className, const std::wstring& name) {
    for (int i = 0; i < ranges->ControlCount(); ++i) {
      TControl* c = ranges->Controls(i);
      if (c->ClassName() != className) continue;
      if (auto* combo = dynamic_cast<TCustomComboBox*>(c); combo && combo->Style() != csDropDownList) continue;
      if (auto* combo = dynamic_cast<TCustomComboBox*>(c)) combo->SetDroppedDown(true);
      if (auto* picker = dynamic_cast<TDateTimePicker*>(c)) picker->SetDroppedDown(true);
      Pump(500);
      RECT area = WindowArea(ranges->Handle());
      area.bottom += 160;
      report(name, SaveScreenRect(area, folder + L"\\" + name));
      if (auto* combo = dynamic_cast<TCustomComboBox*>(c)) combo->SetDroppedDown(false);
      if (auto* picker = dynamic_cast<TDateTimePicker*>(c)) picker->SetDroppedDown(false);
      Pump(300);
      return;
    }
  };
  dropShot("TComboBox", L"15b-combo-dropped-down.png");
  dropShot("TDateTimePicker", L"15c-date-picker-calendar.png");
  TComponent::Free(ranges);
  Pump(200);

  // Containers and bars, the page control's tabs along each edge in turn, then the same window
  // with skinning off.
  TForm* containers = form.OpenContainersWindow();
  Pump(800);
  auto* pages = dynamic_cast<TPageControl*>(containers->FindComponent("Pages"));
  const std::pair<TTabPosition, const wchar_t*> positions[] = {{tpTop, L"16-containers-and-bars.png"},
                                                                {tpBottom, L"16b-tabs-bottom.png"},
                                                                {tpLeft, L"16c-tabs-left.png"},
                                                                {tpRight, L"16d-tabs-right.png"}};
  for (const auto& [position, name] : positions) {
    if (pages) pages->SetTabPosition(position);
    Pump(400);
    RedrawWindow(containers->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump(200);
    report(name, SaveScreenRect(WindowArea(containers->Handle()), folder + L"\\" + name));
  }
  if (pages) pages->SetTabPosition(tpTop);
  form.UseSkin(0);
  Pump(300);
  SetWindowPos(containers->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  Pump(400);
  report(L"16f-containers-dark.png", SaveScreenRect(WindowArea(containers->Handle()), folder + L"\\16f-containers-dark.png"));
  form.UseSkin(-1);
  Pump(300);
  form.SetSkinning(false);
  Pump(300);
  SetWindowPos(containers->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  Pump(400);
  report(L"16e-containers-skinning-off.png",
         SaveScreenRect(WindowArea(containers->Handle()), folder + L"\\16e-containers-skinning-off.png"));
  form.SetSkinning(true);
  Pump(600);
  TComponent::Free(containers);
  Pump(200);

  // The second skin stored with the form, then skinning switched off (every window back to the
  // system's look at its own size) and on again.
  const RECT skinnedArea = WindowArea(main);
  form.UseSkin(0);
  Pump(600);
  report(L"11-dark-skin.png", SaveScreenRect(WindowArea(main), folder + L"\\11-dark-skin.png"));
  capture(L"11b-dark-message-dialog.png", dialog, WindowArea, closeWindow, [&form] { form.ShowFrameworkMessage(); });
  capture(L"11c-dark-native-dialog.png", dialog, WindowArea, cancel, [&form] { form.ShowNativeDialog(); });
  form.UseSkin(-1);
  Pump(300);
  form.SetSkinning(false);
  Pump(600);
  report(L"12-skinning-off.png", SaveScreenRect(WindowArea(main), folder + L"\\12-skinning-off.png"));
  form.SetSkinning(true);
  Pump(600);
  const RECT back = WindowArea(main);
  if (!EqualRect(&back, &skinnedArea)) {
    std::wcout << L"the main window did not come back to its skinned size" << std::endl;
    ++failures;
  }

  // High contrast: the engine steps aside. Wine cannot switch the mode on (it does not implement
  // SPI_SETHIGHCONTRAST), so the tour answers the engine's question for the system and sends the
  // settings broadcast the system would send.
  utils::SetHighContrastQuery([] { return true; });
  SendMessageW(main, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
  Pump(600);
  report(L"17-high-contrast.png", SaveScreenRect(WindowArea(main), folder + L"\\17-high-contrast.png"));
  utils::SetHighContrastQuery(nullptr);
  SendMessageW(main, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
  Pump(600);
  // The system's app mode set to dark (the personalisation setting, in the prefix's registry) and
  // announced: the gallery's light and dark pair follows it; then back to light.
  const auto appsUseLightTheme = [](DWORD v) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize", 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
      return;
    RegSetValueExW(key, L"AppsUseLightTheme", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
    RegCloseKey(key);
  };
  form.FollowSystemMode();
  appsUseLightTheme(0);
  SendMessageW(main, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"ImmersiveColorSet"));
  Pump(600);
  form.FollowSystemMode();  // the status line says what shows now
  Pump(200);
  report(L"17b-system-dark-mode.png", SaveScreenRect(WindowArea(main), folder + L"\\17b-system-dark-mode.png"));
  appsUseLightTheme(1);
  SendMessageW(main, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"ImmersiveColorSet"));
  Pump(600);

  // The multiple-document window: its documents cascaded, one maximized (its title gone, its
  // buttons in the frame's bar next to the merged menu), then tiled in rows and in columns.
  TForm* mdi = form.OpenMdiWindow();
  Pump(800);
  auto shot = [&](const std::wstring& name) {
    RedrawWindow(mdi->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump(300);
    report(name, SaveScreenRect(WindowArea(mdi->Handle()), folder + L"\\" + name));
  };
  shot(L"09-mdi-cascaded.png");
  if (TCustomForm* active = mdi->ActiveMDIChild()) {
    active->SetWindowState(wsMaximized);
    Pump(500);
    shot(L"09b-mdi-maximized-child.png");
    active->SetWindowState(wsNormal);
    Pump(300);
  }
  mdi->Tile(true);
  Pump(500);
  shot(L"09c-mdi-tiled-rows.png");
  mdi->Tile(false);
  Pump(500);
  shot(L"09d-mdi-tiled-columns.png");
  // The window menu lists the documents and checks the active one.
  HWND mdiHandle = mdi->Handle();
  capture(
      L"09e-mdi-window-menu.png", [] { return FindWindowW(L"#32768", nullptr); }, alongside(mdiHandle), [](HWND) { EndMenu(); },
      [mdiHandle] { PostMessageW(mdiHandle, WM_SYSCOMMAND, SC_KEYMENU, 'w'); });
  TComponent::Free(mdi);
  Pump(200);
  return failures;
}

}  // namespace vex::gallery
