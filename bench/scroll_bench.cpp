// Scrolling line by line through a 10,000-row list view (virtual mode) and a 1,000 x 20 grid,
// each painted after every line, with the scroll bars skinned against the same controls
// unskinned, in the same run. Windows build, run under Wine by ./run bench.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

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

void Pump() {
  for (int i = 0; i < 5; ++i) vex::host::Application().ProcessMessages();
}

// One round: back to the top, then `lines` lines down, each painted at once.
double ScrollSeconds(HWND wnd, int lines) {
  using vex::bench::BestSeconds;
  SendMessageW(wnd, WM_VSCROLL, SB_TOP, 0);
  UpdateWindow(wnd);
  Pump();
  int done = 0;
  return BestSeconds(
      [&] {
        if (done++ % lines == 0) {
          SendMessageW(wnd, WM_VSCROLL, SB_TOP, 0);
          UpdateWindow(wnd);
        }
        SendMessageW(wnd, WM_VSCROLL, SB_LINEDOWN, 0);
        UpdateWindow(wnd);
      },
      5, lines, [] { GdiFlush(); });
}

}  // namespace

int main() {
  using namespace vex;
  using namespace vex::host;
  InitializeSkinning();
  const auto path = skin2::TempDirectory() / ("vexbench" + skin2::NewGuidString() + ".vsk");
  skin2::WriteWholeFile(path, skin2::BuildDefaultSkinArchive());

  TComponentPtr<TForm> form(new TForm(nullptr));
  form->SetBounds(20, 20, 900, 560);
  form->SetCaption(L"Scrolling benchmark");
  auto* view = new TListView(form.get());
  view->SetParent(form.get());
  view->SetBounds(10, 10, 420, 480);
  view->SetViewStyle(vsReport);
  for (const wchar_t* caption : {L"Name", L"Size", L"Kind"}) {
    auto* c = static_cast<TListColumn*>(view->Columns().Add());
    c->SetCaption(caption);
    c->SetWidth(120);
  }
  view->SetOwnerData(true);
  view->OnData = [](TObject*, TListItem* item) {
    item->SetCaption(L"Row " + std::to_wstring(item->Index()));
    item->SubItems().Add(std::to_string(item->Index() * 7) + " KB");
    item->SubItems().Add("Document");
  };
  view->Items().SetCount(10000);
  auto* grid = new TStringGrid(form.get());
  grid->SetParent(form.get());
  grid->SetBounds(440, 10, 430, 480);
  grid->SetColCount(20);
  grid->SetRowCount(1000);
  for (int r = 0; r < 1000; r += 7) grid->SetCells(1, r, std::to_wstring(r));

  auto* engine = new engine::TvexSkinEngine(form.get());
  engine->SetSkinFile(path.u8string());
  form->Show();
  Pump();

  const int lines = 200;
  const double viewPlain = ScrollSeconds(view->Handle(), lines);
  const double gridPlain = ScrollSeconds(grid->Handle(), lines);

  engine->SetActive(true);
  engine->AttachOwnerForm(form.get());
  Pump();
  auto* frame = dynamic_cast<engine::TvexSkinWindowVCL*>(engine->FindFrame(form->Handle()));
  auto* viewWrapper = frame ? dynamic_cast<engine::TvexSkinScrollWinControl*>(frame->WrapperOf(view)) : nullptr;
  auto* gridWrapper = frame ? dynamic_cast<engine::TvexSkinScrollWinControl*>(frame->WrapperOf(grid)) : nullptr;
  const bool skinned = viewWrapper && viewWrapper->VertOverlay && gridWrapper && gridWrapper->VertOverlay;
  const double viewSkinned = ScrollSeconds(view->Handle(), lines);
  const double gridSkinned = ScrollSeconds(grid->Handle(), lines);

  // What the skin adds when a thumb moves: both bars of a control painted from scratch; and when
  // nothing moved (a paint that finds the bars as they were).
  const double overlays = skinned ? bench::BestSeconds(
                                        [&] {
                                          gridWrapper->VertOverlay->ForgetPaint();
                                          gridWrapper->HorzOverlay->ForgetPaint();
                                          gridWrapper->PaintOverlays();
                                        },
                                        5, lines, [] { GdiFlush(); })
                                  : 0;
  if (skinned && std::getenv("VEX_BENCH_DETAIL")) {
    auto* o = gridWrapper->VertOverlay;
    const RECT b{o->Left(), o->Top(), o->Left() + o->Width(), o->Top() + o->Height()};
    SCROLLBARINFO info{};
    info.cbSize = sizeof info;
    std::printf("detail: info %.1f us, ShowAt %.1f us, border %.1f us\n",
                bench::BestSeconds([&] { utils::LateGetScrollBarInfo(grid->Handle(), OBJID_VSCROLL, &info); }, 5, lines) * 1e6,
                bench::BestSeconds([&] { o->ShowAt(b); }, 5, lines) * 1e6,
                bench::BestSeconds([&] { gridWrapper->TvexSkinBorderWinControl::Paint(); }, 5, lines) * 1e6);
  }
  const double unchanged = skinned ? bench::BestSeconds([&] { gridWrapper->PaintOverlays(); }, 5, lines, [] { GdiFlush(); }) : 0;

  std::printf("scrolling line by line, each line painted (best of 5 x %d lines)%s\n", lines, skinned ? "" : " (NOT SKINNED)");
  std::printf("  list view, 10,000 rows:  unskinned %8.1f us  skinned %8.1f us  ratio %5.2f\n", viewPlain * 1e6, viewSkinned * 1e6,
              viewSkinned / viewPlain);
  std::printf("  grid, 1,000 x 20:        unskinned %8.1f us  skinned %8.1f us  ratio %5.2f\n", gridPlain * 1e6, gridSkinned * 1e6,
              gridSkinned / gridPlain);
  std::printf("  both bars of one control painted from scratch: %8.1f us; found unchanged: %8.1f us\n", overlays * 1e6,
              unchanged * 1e6);
  std::fflush(stdout);

  form.reset();
  std::error_code ec;
  std::filesystem::remove(path, ec);
  return skinned ? 0 : 1;
}
