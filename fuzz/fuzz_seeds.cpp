// Writes starting inputs for the fuzz targets into DIR/<target>/.
#include <filesystem>
#include <iostream>
#include <string>

#include "bmp_samples.h"
#include "image/bmp_codec.h"
#include "skin2/archive_writer.h"
#include "skin2/byte_io.h"
#include "skin2/default_skin.h"
#include "skin2/skin_file_writer.h"

using namespace vex;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: fuzz_seeds DIR\n";
    return 64;
  }
  const std::filesystem::path dir = argv[1];
  for (const char* t : {"fuzz_archive", "fuzz_inflate", "fuzz_skin_file", "fuzz_bmp"})
    std::filesystem::create_directories(dir / t);

  const auto skinFile = skin2::BuildDefaultSkinFile();
  skin2::WriteWholeFile(dir / "fuzz_skin_file" / "default", skinFile);
  skin2::WriteWholeFile(dir / "fuzz_archive" / "default", skin2::BuildDefaultSkinArchive());
  skin2::WriteWholeFile(dir / "fuzz_archive" / "locked", skin2::BuildDefaultSkinArchive("pw"));
  for (int level : {0, 1, 9})
    skin2::WriteWholeFile(dir / "fuzz_inflate" / ("level" + std::to_string(level)),
                          skin2::DeflateRaw(skinFile.data(), 20000, level));
  image::TvexImage img(5, 3, 0x336699);
  skin2::WriteWholeFile(dir / "fuzz_bmp" / "rgb24", image::EncodeBmp24(img));
  // One file per layout the decoder reads: headers, bit depths, RLE and bit fields; and skin files
  // carrying all of them, and carrying bitmaps at the edge of the pixel budgets.
  skin2::TSkinFileWriter layouts;
  int n = 0;
  for (const test::TBmpFormat& f : test::SampleBmpFormats()) {
    auto bmp = test::EncodeBmp(f, test::SamplePicture(f.bpp == 1 ? 2 : 16));
    skin2::WriteWholeFile(dir / "fuzz_bmp" / ("sample" + std::to_string(n++)), bmp);
    layouts.AddBitmapFile("SKIN2_" + std::to_string(n), std::move(bmp));
  }
  skin2::WriteWholeFile(dir / "fuzz_skin_file" / "layouts", layouts.Build());
  skin2::TSkinFileWriter budget;
  budget.AddBitmapFile("SKIN2_BUTTON", test::BlankRle8Bmp(64, 64));
  budget.AddBitmapFile("SKIN2_CHECKBOX", test::BlankRle8Bmp(4096, 4097));
  skin2::WriteWholeFile(dir / "fuzz_skin_file" / "budget", budget.Build());
  return 0;
}
