// Repainting the frame of a skinned 800 x 600 window against the system's own non-client painting
// of the same window unskinned, in the same run. Windows build, run under Wine by ./run bench.
#include <windows.h>

#include <cstdio>

#include "best_time.h"
#include "engine/skin_engine.h"
#include "engine/skin_window.h"
#include "host/application.h"
#include "host/form.h"
#include "skin2/byte_io.h"
#include "skin2/default_skin.h"
#include "skin2/temp_platform.h"
#include "vexskin/vexskin.h"

int main() {
  using namespace vex;
  using bench::BestSeconds;
  InitializeSkinning();
  const auto path = skin2::TempDirectory() / ("vexbench" + skin2::NewGuidString() + ".vsk");
  skin2::WriteWholeFile(path, skin2::BuildDefaultSkinArchive());

  host::TComponentPtr<host::TForm> form(new host::TForm(nullptr));
  auto* engine = new engine::TvexSkinEngine(form.get());
  engine->SetSkinFile(path.u8string());
  engine->SetActive(true);

  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"VexFramePaintBench";
  wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
  RegisterClassW(&wc);
  // Two windows of one class and size: the system paints one, the skin the other.
  HWND plain = CreateWindowExW(0, wc.lpszClassName, L"Frame painting benchmark", WS_OVERLAPPEDWINDOW, 20, 20, 800, 600,
                               nullptr, nullptr, wc.hInstance, nullptr);
  HWND wnd = CreateWindowExW(0, wc.lpszClassName, L"Frame painting benchmark", WS_OVERLAPPEDWINDOW, 40, 40, 800, 600,
                             nullptr, nullptr, wc.hInstance, nullptr);
  ShowWindow(plain, SW_SHOW);
  ShowWindow(wnd, SW_SHOW);
  engine->AttachWindow(wnd, false);
  for (int i = 0; i < 5; ++i) host::Application().ProcessMessages();
  const bool skinned = SendMessageW(wnd, engine::SKM_QUERYSKINNED, 0, 0) == 1 && SendMessageW(plain, engine::SKM_QUERYSKINNED, 0, 0) != 1;

  const int rounds = 60, runs = 20;
  const auto [system, skin] = bench::AlternatingSeconds([&] { SendMessageW(plain, WM_NCPAINT, 1, 0); },
                                                        [&] { SendMessageW(wnd, WM_NCPAINT, 1, 0); }, rounds, runs,
                                                        [] { GdiFlush(); });
  const double ratio = skin.median / system.median;
  std::printf("frame repaint, 800 x 600 window (%d alternating rounds of %d)\n", rounds, runs);
  std::printf("  system non-client painting, unskinned  median %8.1f us  best %8.1f us\n", system.median * 1e6, system.best * 1e6);
  std::printf("  skinned frame painting%s                median %8.1f us  best %8.1f us\n", skinned ? "" : " (NOT SKINNED)",
              skin.median * 1e6, skin.best * 1e6);
  std::printf("  ratio skinned / system (medians)       %8.2f   (bests %.2f)\n", ratio, skin.best / system.best);
  bench::Figure("frame repaint, skinned / system", bench::Fixed(ratio), "at most 0.5", skinned && ratio <= 0.5);

  DestroyWindow(plain);
  engine->DetachWindow(wnd);
  DestroyWindow(wnd);
  form.reset();
  std::error_code ec;
  std::filesystem::remove(path, ec);
  return skinned ? 0 : 1;
}
