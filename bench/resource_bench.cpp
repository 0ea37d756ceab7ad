// What skinning holds: GDI objects (the framework's live-object counter) and private memory per
// skinned window and per skinned control, each against the same window or controls unskinned in
// the same run; then the counts after 1,000 skin switches with a form of 100 skinned controls
// open. Windows build, run under Wine by ./run bench.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "best_time.h"
#include "engine/skin_engine.h"
#include "engine/skin_window.h"
#include "host/application.h"
#include "host/button_controls.h"
#include "host/form.h"
#include "host/gdi_handle.h"
#include "host/scroll_bar.h"
#include "host/std_controls.h"
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

// Bytes in use on the process's heaps (the C++ allocator's memory is among them), walked block by
// block: the process memory counters answer nothing useful under Wine.
long long PrivateBytes() {
  HANDLE heaps[64];
  const DWORD n = GetProcessHeaps(64, heaps);
  long long used = 0;
  for (DWORD i = 0; i < n && i < 64; ++i) {
    if (!HeapLock(heaps[i])) continue;
    PROCESS_HEAP_ENTRY e{};
    while (HeapWalk(heaps[i], &e))
      if (e.wFlags & PROCESS_HEAP_ENTRY_BUSY) used += e.cbData;
    HeapUnlock(heaps[i]);
  }
  return used;
}

// A form with `count` controls of the kinds the engine skins (push buttons, check boxes, radio
// buttons, scroll bars, track bars, in turn), shown and painted. Controls tagged with the engine's
// disabled tag stay unskinned.
TForm* MakeForm(engine::TvexSkinEngine* engine, int count, bool skinned, int left) {
  auto* form = new TForm(nullptr);
  form->SetBounds(left, 10, 560, 720);
  form->SetCaption(skinned ? L"Skinned" : L"Unskinned");
  if (!skinned) form->SetTag(engine->DisabledTag());
  for (int i = 0; i < count; ++i) {
    const int x = 8 + (i % 4) * 135, y = 8 + (i / 4) * 26;
    TWinControl* c = nullptr;
    switch (i % 5) {
      case 0: {
        auto* b = new TButton(form);
        b->SetCaption(L"Button");
        c = b;
        break;
      }
      case 1: {
        auto* b = new TCheckBox(form);
        b->SetCaption(L"Check box");
        b->SetChecked(true);
        c = b;
        break;
      }
      case 2: {
        auto* b = new TRadioButton(form);
        b->SetCaption(L"Radio");
        c = b;
        break;
      }
      case 3: {
        auto* b = new TScrollBar(form);
        b->SetMax(100);
        b->SetPosition(30);
        c = b;
        break;
      }
      default: {
        auto* b = new TTrackBar(form);
        b->SetPosition(3);
        c = b;
        break;
      }
    }
    c->SetParent(form);
    c->SetBounds(x, y, 125, 22);
    if (!skinned) c->SetTag(engine->DisabledTag());
  }
  form->Show();
  if (skinned) engine->AttachWindow(form->Handle(), false);
  Pump();
  RedrawWindow(form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Pump();
  return form;
}

struct TCost {
  long gdi;
  long long bytes;
};

// What opening (and painting) a form of `count` controls holds while it is open.
TCost FormCost(engine::TvexSkinEngine* engine, int count, bool skinned) {
  Pump();
  const long gdi = GdiLiveObjects();
  const long long bytes = PrivateBytes();
  TForm* f = MakeForm(engine, count, skinned, skinned ? 20 : 600);
  TCost c{GdiLiveObjects() - gdi, PrivateBytes() - bytes};
  TComponent::Free(f);
  Pump();
  return c;
}

}  // namespace

int main() {
  InitializeSkinning();
  const auto dir = skin2::TempDirectory();
  const auto light = dir / ("vexbench" + skin2::NewGuidString() + ".vsk");
  const auto dark = dir / ("vexbench" + skin2::NewGuidString() + ".vsk");
  skin2::WriteWholeFile(light, skin2::BuildDefaultSkinArchive());
  skin2::WriteWholeFile(dark, skin2::BuildDarkSkinArchive());

  TComponentPtr<TForm> owner(new TForm(nullptr));
  owner->SetBounds(0, 0, 200, 100);
  auto* engine = new engine::TvexSkinEngine(owner.get());
  engine->SetSkinFile(light.u8string());
  engine->SetActive(true);

  // Warm up: whatever the skin makes once, on first use, for any number of windows.
  for (bool s : {true, false}) FormCost(engine, 100, s);

  std::printf("GDI objects (live-object counter) and heap memory held while a form is open\n");
  bench::TSeries gdiPerControl, bytesPerControl, gdiPerWindow, bytesPerWindow;
  bench::TSeries plainGdiPerControl;
  for (int round = 0; round < 5; ++round) {
    const TCost s0 = FormCost(engine, 0, true), u0 = FormCost(engine, 0, false);
    const TCost s50 = FormCost(engine, 50, true), u50 = FormCost(engine, 50, false);
    const TCost s100 = FormCost(engine, 100, true), u100 = FormCost(engine, 100, false);
    // Per window: an empty skinned form against an empty unskinned one.
    gdiPerWindow.Add(static_cast<double>(s0.gdi - u0.gdi));
    bytesPerWindow.Add(static_cast<double>(s0.bytes - u0.bytes));
    // Per control: the 50 more controls of the larger form, skinned against unskinned.
    gdiPerControl.Add(static_cast<double>((s100.gdi - s50.gdi) - (u100.gdi - u50.gdi)) / 50.0);
    plainGdiPerControl.Add(static_cast<double>(u100.gdi - u50.gdi) / 50.0);
    bytesPerControl.Add(static_cast<double>((s100.bytes - s50.bytes) - (u100.bytes - u50.bytes)) / 50.0);
  }
  std::printf("  per skinned window (empty form, over the same form unskinned): %.0f GDI objects, %.1f KB\n",
              gdiPerWindow.Median(), bytesPerWindow.Median() / 1024);
  std::printf("  per skinned control (50 more controls, over the same unskinned): %.2f GDI objects, %.2f KB"
              " (unskinned controls: %.2f GDI objects each)\n",
              gdiPerControl.Median(), bytesPerControl.Median() / 1024, plainGdiPerControl.Median());

  // 1,000 switches between two skins with a form of 100 skinned controls open.
  TForm* form = MakeForm(engine, 100, true, 20);
  const bool skinnedAtStart = engine->FindFrame(form->Handle()) && engine->FindFrame(form->Handle())->Skinned();
  const auto switchTo = [&](const std::filesystem::path& p) {
    engine->SetSkinFile(p.u8string());
    Pump();
  };
  for (int i = 0; i < 10; ++i) switchTo(i % 2 ? light : dark);
  const long gdiBefore = GdiLiveObjects();
  const long long bytesBefore = PrivateBytes();
  const int switches = 1000;
  std::printf("  heap memory in use before the switches: %.1f KB\n", static_cast<double>(bytesBefore) / 1024);
  std::vector<long> gdiAt;
  for (int i = 0; i < switches; ++i) {
    switchTo(i % 2 ? light : dark);
    if ((i + 1) % 250 == 0) gdiAt.push_back(GdiLiveObjects());
  }
  switchTo(light);
  const long gdiAfter = GdiLiveObjects();
  const long long bytesAfter = PrivateBytes();
  const bool skinnedAtEnd = engine->FindFrame(form->Handle()) && engine->FindFrame(form->Handle())->Skinned();
  std::printf("  after %d switches with 100 skinned controls open: GDI objects %ld -> %ld (at each 250:", switches, gdiBefore,
              gdiAfter);
  for (long g : gdiAt) std::printf(" %ld", g);
  std::printf("), heap memory %+.1f KB\n", static_cast<double>(bytesAfter - bytesBefore) / 1024);
  const bool valid = skinnedAtStart && skinnedAtEnd;
  if (!valid) std::printf("  THE FORM WAS NOT SKINNED\n");
  bench::Figure("GDI objects per skinned control (over unskinned)", bench::Fixed(gdiPerControl.Median()), "at most 2",
                valid && gdiPerControl.Median() <= 2);
  bench::Figure("GDI objects per skinned window (over unskinned)", bench::Fixed(gdiPerWindow.Median(), 0), "at most 10",
                valid && gdiPerWindow.Median() <= 10);
  bench::Figure("GDI objects gained over 1,000 skin switches", std::to_string(gdiAfter - gdiBefore), "none",
                valid && gdiAfter == gdiBefore);
  // Memory: the allocator keeps what it once used, so a small drift is no leak; a leak of a few
  // hundred bytes per switch shows as hundreds of kilobytes.
  bench::Figure("heap memory gained over 1,000 skin switches", bench::Fixed(static_cast<double>(bytesAfter - bytesBefore) / 1024, 0) + " KB",
                "under 256 KB", valid && bytesAfter - bytesBefore < 256 * 1024);
  TComponent::Free(form);
  owner.reset();
  skin2::RemoveFileQuietly(light);
  skin2::RemoveFileQuietly(dark);
  return valid ? 0 : 1;
}
