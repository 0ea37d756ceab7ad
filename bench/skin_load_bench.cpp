// Loading the default skin end to end (extraction, parsing, transparent colour, track-bar
// recolouring, the three sliced resources rebuilt) against a plain zlib inflate of the same
// member, in the same run. Windows build, run under Wine by ./run bench.
#include <windows.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>

#include "best_time.h"
#include "skin2/archive_writer.h"
#include "skin2/byte_io.h"
#include "skin2/default_skin.h"
#include "skin2/temp_platform.h"
#include "utils/skin_reader.h"
#include "utils/skin_res.h"

int main() {
  using namespace vex;
  using bench::BestSeconds;
  const auto member = skin2::BuildDefaultSkinFile();
  const auto packed = skin2::DeflateRaw(member.data(), member.size(), 9);
  const auto archive = skin2::BuildDefaultSkinArchive();
  const auto path = skin2::TempDirectory() / ("vexbench" + skin2::NewGuidString() + ".vsk");
  skin2::WriteWholeFile(path, archive);

  std::vector<std::uint8_t> out(member.size());
  const double inflated = BestSeconds(
      [&] {
        z_stream zs{};
        inflateInit2(&zs, -15);
        zs.next_in = const_cast<Bytef*>(packed.data());
        zs.avail_in = static_cast<uInt>(packed.size());
        zs.next_out = out.data();
        zs.avail_out = static_cast<uInt>(out.size());
        inflate(&zs, Z_FINISH);
        inflateEnd(&zs);
      },
      7, 200);

  utils::TvexSkinReader reader;
  utils::TvexSkinScrollBtnRes scroll;
  utils::TvexSkinTabRes tabs;
  utils::TvexSkinProgressBarRes progress;
  reader.OnLoaded = [&](utils::TvexSkinReader* r) {
    scroll.SetReader(r);
    tabs.SetReader(r);
    progress.SetReader(r);
  };
  const double load = BestSeconds([&] { reader.Load(path, ""); }, 5, 20);
  skin2::RemoveFileQuietly(path);

  std::printf("skin loading, default skin (%zu-byte member)\n", member.size());
  std::printf("  zlib inflate of the member      %8.3f ms\n", inflated * 1e3);
  std::printf("  end-to-end load with resources  %8.3f ms\n", load * 1e3);
  std::printf("  load/inflate %.1f (goal: at most 3)\n", load / inflated);
  return reader.Ready() ? 0 : 1;
}
