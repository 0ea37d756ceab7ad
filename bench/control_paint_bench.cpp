// Repainting skinned controls against the same controls unskinned, in the same run: a push
// button, a check box, a scroll bar, a track bar and a tab control of the framework, and a native
// push button. Twin controls stand on one skinned form (one of each kept unskinned by the engine's
// disabled tag; the native twins in a skinned and an unskinned window); their rounds alternate.
// Also counts the paint messages each repaint costs. Windows build, run under Wine by ./run bench.
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "best_time.h"
#include "engine/skin_control.h"
#include "engine/skin_engine.h"
#include "engine/skin_window.h"
#include "engine/skin_window_vcl.h"
#include "host/application.h"
#include "host/button_controls.h"
#include "host/form.h"
#include "host/scroll_bar.h"
#include "host/std_controls.h"
#include "host/tab_controls.h"
#include "host/track_bar.h"
#include "skin2/byte_io.h"
#include "skin2/default_skin.h"
#include "skin2/temp_platform.h"
#include "vexskin/vexskin.h"

namespace {

using namespace vex;
using namespace vex::host;

void Pump() {
  for (int i = 0; i < 5; ++i) Application().ProcessMessages();
}

int gPaints = 0;
LRESULT CALLBACK CountPaints(HWND w, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
  if (msg == WM_PAINT) ++gPaints;
  return DefSubclassProc(w, msg, wp, lp);
}

void Redraw(HWND w) { RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); }

// Paint messages one repaint of the window costs.
int PaintsPerRedraw(HWND w) {
  SetWindowSubclass(w, CountPaints, 0x7E57, 0);
  Pump();
  gPaints = 0;
  Redraw(w);
  Pump();
  const int n = gPaints;
  RemoveWindowSubclass(w, CountPaints, 0x7E57);
  return n;
}

struct TTwin {
  const char* name;
  HWND skinned, plain;
};

}  // namespace

int main() {
  InitializeSkinning();
  const auto path = skin2::TempDirectory() / ("vexbench" + skin2::NewGuidString() + ".vsk");
  skin2::WriteWholeFile(path, skin2::BuildDefaultSkinArchive());

  TComponentPtr<TForm> form(new TForm(nullptr));
  form->SetBounds(20, 20, 760, 420);
  form->SetCaption(L"Control painting benchmark");
  auto* engine = new engine::TvexSkinEngine(form.get());
  std::vector<std::pair<const char*, std::pair<TWinControl*, TWinControl*>>> made;
  const auto twin = [&](const char* name, auto make) {
    TWinControl* a = make(10);
    TWinControl* b = make(380);
    b->SetTag(engine->DisabledTag());
    made.push_back({name, {a, b}});
  };
  int top = 10;
  twin("push button", [&](int left) {
    auto* b = new TButton(form.get());
    b->SetParent(form.get());
    b->SetBounds(left, top, 120, 30);
    b->SetCaption(L"Push button");
    return b;
  });
  top += 40;
  twin("check box", [&](int left) {
    auto* b = new TCheckBox(form.get());
    b->SetParent(form.get());
    b->SetBounds(left, top, 160, 22);
    b->SetCaption(L"Check box");
    b->SetChecked(true);
    return b;
  });
  top += 32;
  twin("scroll bar", [&](int left) {
    auto* b = new TScrollBar(form.get());
    b->SetParent(form.get());
    b->SetBounds(left, top, 300, 18);
    b->SetMax(100);
    b->SetPosition(30);
    return b;
  });
  top += 28;
  twin("track bar", [&](int left) {
    auto* b = new TTrackBar(form.get());
    b->SetParent(form.get());
    b->SetBounds(left, top, 300, 40);
    b->SetPosition(4);
    return b;
  });
  top += 50;
  twin("tab control", [&](int left) {
    auto* t = new TTabControl(form.get());
    t->SetParent(form.get());
    t->SetBounds(left, top, 340, 150);
    for (const char* s : {"General", "Colours", "Advanced"}) t->Tabs().Add(s);
    t->SetTabIndex(1);
    return t;
  });
  engine->SetSkinFile(path.u8string());
  engine->SetActive(true);
  engine->AttachOwnerForm(form.get());
  form->Show();
  Pump();
  auto* frame = dynamic_cast<engine::TvexSkinWindowVCL*>(engine->FindFrame(form->Handle()));
  bool skinned = frame != nullptr;
  std::vector<TTwin> twins;
  for (auto& [name, pair] : made) {
    skinned = skinned && frame->WrapperOf(pair.first) && !frame->WrapperOf(pair.second);
    twins.push_back({name, pair.first->Handle(), pair.second->Handle()});
  }

  // Native push buttons: twins in one skinned window, the wrapper of the second taken off again,
  // so that both paint into the same window (a skinned window's shape costs its children's
  // painting something of its own).
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"VexControlPaintBench";
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  RegisterClassW(&wc);
  HWND window = CreateWindowExW(0, wc.lpszClassName, L"Native buttons", WS_OVERLAPPEDWINDOW, 60, 460, 340, 120, nullptr, nullptr,
                                wc.hInstance, nullptr);
  HWND buttons[2];
  for (int i = 0; i < 2; ++i)
    buttons[i] = CreateWindowExW(0, L"BUTTON", L"Native button", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 20 + 150 * i, 20, 120, 30,
                                 window, nullptr, wc.hInstance, nullptr);
  ShowWindow(window, SW_SHOW);
  engine->AttachWindow(window, false);
  Pump();
  engine::TvexSkinWindow* nativeFrame = engine->FindFrame(window);
  bool nativeWrapped = false, twinLeftAlone = false;
  if (nativeFrame) {
    auto& owned = nativeFrame->FControls;
    for (auto it = owned.begin(); it != owned.end(); ++it)
      if ((*it)->GetHandle() == buttons[1]) {
        std::unique_ptr<engine::TvexSkinControl> twin = std::move(*it);
        owned.erase(it);
        twin->Detach();
        twin.reset();
        twinLeftAlone = true;
        break;
      }
    for (const auto& w : owned)
      if (w->GetHandle() == buttons[0]) nativeWrapped = true;
  }
  skinned = skinned && nativeWrapped && twinLeftAlone;
  twins.push_back({"native push button", buttons[0], buttons[1]});

  const int rounds = 40, runs = 10;
  std::printf("repainting one control, skinned against the same control unskinned (%d alternating rounds of %d)%s\n", rounds,
              runs, skinned ? "" : " (NOT SKINNED)");
  bool allMet = skinned;
  for (const TTwin& t : twins) {
    const auto [plain, skin] = bench::AlternatingSeconds([&] { Redraw(t.plain); }, [&] { Redraw(t.skinned); }, rounds, runs,
                                                         [] { GdiFlush(); });
    const double ratio = skin.median / plain.median;
    const int paints = PaintsPerRedraw(t.skinned), ownPaints = PaintsPerRedraw(t.plain);
    std::printf("  %-20s unskinned %8.1f us  skinned %8.1f us  ratio %5.2f (bests %.2f)  paint messages %d (unskinned %d)\n",
                t.name, plain.median * 1e6, skin.median * 1e6, ratio, skin.best / plain.best, paints, ownPaints);
    const bool met = skinned && ratio <= 1.0 && paints <= ownPaints;
    allMet = allMet && met;
    bench::Figure(std::string("repaint, skinned / unskinned: ") + t.name, bench::Fixed(ratio), "at most 1.0, one paint", met);
  }
  std::fflush(stdout);
  DestroyWindow(window);
  form.reset();
  std::error_code ec;
  std::filesystem::remove(path, ec);
  return skinned ? 0 : 1;
}
