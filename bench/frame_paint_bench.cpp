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
  HWND wnd = CreateWindowExW(0, wc.lpszClassName, L"Frame painting benchmark", WS_OVERLAPPEDWINDOW, 20, 20, 800, 600, nullptr,
                             nullptr, wc.hInstance, nullptr);
  ShowWindow(wnd, SW_SHOW);
  for (int i = 0; i < 5; ++i) host::Application().ProcessMessages();

  const int runs = 300;
  const double native = BestSeconds([&] { SendMessageW(wnd, WM_NCPAINT, 1, 0); }, 5, runs, [] { GdiFlush(); });
  engine->AttachWindow(wnd, false);
  for (int i = 0; i < 5; ++i) host::Application().ProcessMessages();
  const bool skinned = SendMessageW(wnd, engine::SKM_QUERYSKINNED, 0, 0) == 1;
  const double skin = BestSeconds([&] { SendMessageW(wnd, WM_NCPAINT, 1, 0); }, 5, runs, [] { GdiFlush(); });

  std::printf("frame repaint, 800 x 600 window (best of 5 x %d)\n", runs);
  std::printf("  system non-client painting, unskinned  %8.1f us\n", native * 1e6);
  std::printf("  skinned frame painting%s                %8.1f us\n", skinned ? "" : " (NOT SKINNED)", skin * 1e6);
  std::printf("  ratio skinned / system                 %8.2f\n", skin / native);

  engine->DetachWindow(wnd);
  DestroyWindow(wnd);
  form.reset();
  std::error_code ec;
  std::filesystem::remove(path, ec);
  return skinned ? 0 : 1;
}
