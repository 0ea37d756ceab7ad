// Scrolling line by line through a 10,000-row list view (virtual mode) and a 1,000 x 20 grid,
// each painted after every line, with the scroll bars skinned against the same controls
// unskinned, in the same run. Twin controls stand on one skinned form, one of each kept unskinned
// by the engine's disabled tag; their rounds alternate, so a busy machine slows both alike.
// Windows build, run under Wine by ./run bench.
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "best_time.h"
#include "controls/scroll_ctrl.h"
#include "engine/skin_engine.h"
#include "engine/skin_window_vcl.h"
#include "host/application.h"
#include "host/form.h"
#include "host/grids.h"
#include "host/list_view.h"
#include "skin2/byte_io.h"
#include "skin2/default_skin.h"
#include "skin2/temp_platform.h"
#include "utils/platform_helpers.h"
#include "vexskin/vexskin.h"

namespace {

using namespace vex;
using namespace vex::host;

void Pump() {
  for (int i = 0; i < 5; ++i) Application().ProcessMessages();
}

// One round: back to the top, then `lines` lines down, each painted at once; seconds per line.
double RoundSeconds(HWND wnd, int lines) {
  SendMessageW(wnd, WM_VSCROLL, SB_TOP, 0);
  UpdateWindow(wnd);
  GdiFlush();
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < lines; ++i) {
    SendMessageW(wnd, WM_VSCROLL, SB_LINEDOWN, 0);
    UpdateWindow(wnd);
  }
  GdiFlush();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / lines;
}

TListView* NewView(TForm* form, int left) {
  auto* view = new TListView(form);
  view->SetParent(form);
  view->SetBounds(left, 10, 210, 480);
  view->SetViewStyle(vsReport);
  for (const wchar_t* caption : {L"Name", L"Size", L"Kind"}) {
    auto* c = static_cast<TListColumn*>(view->Columns().Add());
    c->SetCaption(caption);
    c->SetWidth(90);
  }
  view->SetOwnerData(true);
  view->OnData = [](TObject*, TListItem* item) {
    item->SetCaption(L"Row " + std::to_wstring(item->Index()));
    item->SubItems().Add(std::to_string(item->Index() * 7) + " KB");
    item->SubItems().Add("Document");
  };
  view->Items().SetCount(10000);
  return view;
}

TStringGrid* NewGrid(TForm* form, int left) {
  auto* grid = new TStringGrid(form);
  grid->SetParent(form);
  grid->SetBounds(left, 10, 210, 480);
  grid->SetColCount(20);
  grid->SetRowCount(1000);
  for (int r = 0; r < 1000; r += 7) grid->SetCells(1, r, std::to_wstring(r));
  return grid;
}

}  // namespace

int main() {
  InitializeSkinning();
  const auto path = skin2::TempDirectory() / ("vexbench" + skin2::NewGuidString() + ".vsk");
  skin2::WriteWholeFile(path, skin2::BuildDefaultSkinArchive());

  TComponentPtr<TForm> form(new TForm(nullptr));
  form->SetBounds(20, 20, 920, 560);
  form->SetCaption(L"Scrolling benchmark");
  auto* engine = new engine::TvexSkinEngine(form.get());
  TListView* view = NewView(form.get(), 10);
  TListView* plainView = NewView(form.get(), 230);
  TStringGrid* grid = NewGrid(form.get(), 450);
  TStringGrid* plainGrid = NewGrid(form.get(), 670);
  plainView->SetTag(engine->DisabledTag());
  plainGrid->SetTag(engine->DisabledTag());
  engine->SetSkinFile(path.u8string());
  engine->SetActive(true);
  engine->AttachOwnerForm(form.get());
  form->Show();
  Pump();

  auto* frame = dynamic_cast<engine::TvexSkinWindowVCL*>(engine->FindFrame(form->Handle()));
  auto* viewWrapper = frame ? dynamic_cast<engine::TvexSkinScrollWinControl*>(frame->WrapperOf(view)) : nullptr;
  auto* gridWrapper = frame ? dynamic_cast<engine::TvexSkinScrollWinControl*>(frame->WrapperOf(grid)) : nullptr;
  const bool skinned = viewWrapper && viewWrapper->VertOverlay && gridWrapper && gridWrapper->VertOverlay && frame &&
                       !frame->WrapperOf(plainView) && !frame->WrapperOf(plainGrid);

  const int lines = 200, rounds = 11;
  std::vector<double> perRound[4];
  HWND windows[4] = {plainView->Handle(), view->Handle(), plainGrid->Handle(), grid->Handle()};
  for (int r = 0; r < rounds; ++r)
    for (int k = 0; k < 4; ++k) {
      // Which twin goes first alternates from round to round.
      const int which = r % 2 == 0 ? k : (k ^ 1);
      perRound[which].push_back(RoundSeconds(windows[which], lines));
    }
  bench::TTimes times[4];
  for (int k = 0; k < 4; ++k) times[k] = bench::Summarize(perRound[k]);

  // What the skin adds when a thumb moves: both bars of a control painted from scratch; and when
  // nothing moved (a paint that finds the bars as they were).
  const double fromScratch = skinned ? bench::BestSeconds(
                                           [&] {
                                             gridWrapper->VertOverlay->ForgetPaint();
                                             gridWrapper->HorzOverlay->ForgetPaint();
                                             gridWrapper->PaintOverlays();
                                           },
                                           5, lines, [] { GdiFlush(); })
                                     : 0;
  const double unchanged = skinned ? bench::BestSeconds([&] { gridWrapper->PaintOverlays(); }, 5, lines, [] { GdiFlush(); }) : 0;

  if (std::getenv("VEX_BENCH_DETAIL") && skinned) {
    auto* lv = dynamic_cast<engine::TvexSkinListView*>(viewWrapper);
    static int headerPaints = 0;
    const SUBCLASSPROC count = [](HWND w, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) -> LRESULT {
      if (msg == WM_PAINT) ++headerPaints;
      return DefSubclassProc(w, msg, wp, lp);
    };
    if (lv && lv->HeaderHandle()) SetWindowSubclass(lv->HeaderHandle(), count, 7, 0);
    RoundSeconds(view->Handle(), lines);
    if (lv && lv->HeaderHandle()) RemoveWindowSubclass(lv->HeaderHandle(), count, 7);
    std::printf("detail: header paints in %d lines: %d; one header paint %.1f us\n", lines, headerPaints,
                lv ? bench::BestSeconds([&] { lv->PaintHeader(); }, 5, 50, [] { GdiFlush(); }) * 1e6 : 0.0);
  }
  std::printf("scrolling line by line, each line painted (medians of %d alternating rounds of %d lines)%s\n", rounds, lines,
              skinned ? "" : " (NOT SKINNED)");
  const double viewRatio = times[1].median / times[0].median, gridRatio = times[3].median / times[2].median;
  std::printf("  list view, 10,000 rows:  unskinned %8.1f us  skinned %8.1f us  ratio %5.2f (bests %.2f; goal: at most 1.1)\n",
              times[0].median * 1e6, times[1].median * 1e6, viewRatio, times[1].best / times[0].best);
  std::printf("  grid, 1,000 x 20:        unskinned %8.1f us  skinned %8.1f us  ratio %5.2f (bests %.2f; goal: at most 1.1)\n",
              times[2].median * 1e6, times[3].median * 1e6, gridRatio, times[3].best / times[2].best);
  bench::Figure("scrolling a 10,000-row list view, skinned / unskinned", bench::Fixed(viewRatio), "at most 1.1", skinned && viewRatio <= 1.1);
  bench::Figure("scrolling a 1,000 x 20 grid, skinned / unskinned", bench::Fixed(gridRatio), "at most 1.1", skinned && gridRatio <= 1.1);
  std::printf("  both bars of one control painted from scratch: %8.1f us; found unchanged: %8.1f us\n", fromScratch * 1e6,
              unchanged * 1e6);
  std::fflush(stdout);

  form.reset();
  std::error_code ec;
  std::filesystem::remove(path, ec);
  return skinned ? 0 : 1;
}
