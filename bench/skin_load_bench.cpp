// Loading the default skin end to end (the archive read and inflated, the skin file parsed, its
// bitmaps decoded, the transparent colour and the track-bar recolouring applied, the three sliced
// resources handed the new skin) against a bare zlib inflate of the same member from memory, in
// the same run. Windows build, run under Wine by ./run bench.
//
// Then one load part by part, each part repeating its share of the work on the same input: the
// extraction, the temporary skin file, the records and their bitmaps; and, for the record, what a
// load leaves to first use (the bitmap objects and the sliced resources). Every round times the
// inflate, the load and each part in turn, so a busy spell of the machine falls on all alike.
//
// Besides the human-readable lines, each headline figure is printed once as
//   @figure|<short name>|<value>|<goal>|<met: yes or no>
// for ./run to collect. The bench fails when the loaded skin is not usable.
#include <windows.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "best_time.h"
#include "image/bmp_codec.h"
#include "skin2/archive_reader.h"
#include "skin2/archive_writer.h"
#include "skin2/byte_io.h"
#include "skin2/default_skin.h"
#include "skin2/skin_file_reader.h"
#include "skin2/skin_keys.h"
#include "skin2/temp_platform.h"
#include "utils/skin_reader.h"
#include "utils/skin_res.h"

namespace {

using namespace vex;
using bench::RoundSeconds;
using bench::TSeries;

constexpr double kGoal = 10, kStretch = 5;

// The inflated member, for checking both sides' results.
bool InflateInto(const std::vector<std::uint8_t>& packed, std::vector<std::uint8_t>& out) {
  z_stream zs{};
  if (inflateInit2(&zs, -15) != Z_OK) return false;
  zs.next_in = const_cast<Bytef*>(packed.data());
  zs.avail_in = static_cast<uInt>(packed.size());
  zs.next_out = out.data();
  zs.avail_out = static_cast<uInt>(out.size());
  const int rc = inflate(&zs, Z_FINISH);
  inflateEnd(&zs);
  return rc == Z_STREAM_END && zs.total_out == out.size();
}

// Whether the loaded skin answers as the member says: every colour, position and switch key, a
// few bitmaps pixel for pixel, the track bar recoloured, and the three resources built.
bool SkinUsable(const utils::TvexSkinReader& reader, const utils::TvexSkinScrollBtnRes& scroll,
                const utils::TvexSkinTabRes& tabs, const utils::TvexSkinProgressBarRes& progress,
                const std::vector<std::uint8_t>& member) {
  namespace keys = skin2;
  if (!reader.Ready()) return false;
  skin2::Tsk2SkinFileReader expected;
  expected.LoadFromBytes(member.data(), member.size());
  for (int i = 0; i < keys::color::kCount; ++i)
    if (reader.GetColor(i) != keys::LookupColor(&expected, i)) return false;
  for (int i = 0; i < keys::position::kCount; ++i)
    if (reader.GetPosition(i) != keys::LookupPosition(&expected, i)) return false;
  for (int i = 0; i < keys::switches::kCount; ++i)
    if (reader.GetSwitch(i) != keys::LookupSwitch(&expected, i)) return false;
  for (int key : {keys::bitmap::SKIN2_TITLEBAR1, keys::bitmap::SKIN2_BUTTON, keys::bitmap::SKIN2_SCROLLBAR}) {
    const image::TvexImage* img = keys::LookupBitmap(&expected, key);
    const host::TBitmap* bmp = reader.GetBitmap(key);
    if (!img || !bmp || bmp->Width() != img->Width() || bmp->Height() != img->Height()) return false;
    for (int y = 0; y < img->Height(); ++y)
      for (int x = 0; x < img->Width(); ++x)
        if (static_cast<std::uint32_t>(bmp->PixelColor(x, y)) != image::PixelToColor(img->Pixel(x, y))) return false;
  }
  // The track bar shows the form colour where the member has the transparent one.
  const image::TvexImage* track = keys::LookupBitmap(&expected, keys::bitmap::SKIN2_TRACKBAR);
  const host::TBitmap* trackBmp = reader.GetBitmap(keys::bitmap::SKIN2_TRACKBAR);
  if (!track || !trackBmp) return false;
  const auto transparent = static_cast<std::uint32_t>(reader.GetColor(keys::color::SKIN2_TRANSCOLOR));
  bool recoloured = false;
  for (int y = 0; y < track->Height(); ++y)
    for (int x = 0; x < track->Width(); ++x)
      if (image::PixelToColor(track->Pixel(x, y)) == transparent) {
        if (trackBmp->PixelColor(x, y) != reader.GetColor(keys::color::SKIN2_FORMCOLOR)) return false;
        recoloured = true;
      }
  if (!recoloured) return false;
  return scroll.VertButton(1) && scroll.VertButton(1)->Width() == 18 && scroll.ThumbWidth() == 18 &&
         tabs.Image(utils::TvexSkinTabRes::tkSelected, utils::TvexSkinTabRes::toLeft) &&
         !tabs.Image(utils::TvexSkinTabRes::tkSelected, utils::TvexSkinTabRes::toLeft)->Empty() &&
         progress.HorzPiece(1) && progress.LeftWidth() > 0;
}

// One part of a load, timed on its own: a part of every load, a share of the part above it, or
// work made on first use instead of in the load.
enum class TWhere { Load, OfWhich, FirstUse };
struct TPart {
  const char* name;
  TWhere where;
  std::function<void()> run;
  int runs;
  std::function<void()> prepare = [] {};  // before each round, untimed
  TSeries time = {};
  TSeries ratio = {};  // against the bare inflate of the same round
};

void Figure(const char* name, double value, const char* unit, bool met, const char* goal) {
  std::printf("@figure|%s|%.*f%s|%s|%s\n", name, value < 10 ? 2 : 1, value, unit, goal, met ? "yes" : "no");
}

}  // namespace

int main() {
  const auto member = skin2::BuildDefaultSkinFile();
  const auto packed = skin2::DeflateRaw(member.data(), member.size(), 9);
  const auto archive = skin2::BuildDefaultSkinArchive();
  const auto path = skin2::TempDirectory() / ("vexbench" + skin2::NewGuidString() + ".vsk");
  skin2::WriteWholeFile(path, archive);

  std::vector<std::uint8_t> out(member.size());
  utils::TvexSkinReader reader;
  utils::TvexSkinScrollBtnRes scroll;
  utils::TvexSkinTabRes tabs;
  utils::TvexSkinProgressBarRes progress;
  // What the engine does after every load.
  reader.OnLoaded = [&](utils::TvexSkinReader* r) {
    scroll.SetReader(r);
    tabs.SetReader(r);
    progress.SetReader(r);
  };
  auto bareInflate = [&] { InflateInto(packed, out); };
  auto load = [&] { reader.Load(path, ""); };

  // The parts of one load, each on its own, each repeating its share of the load's work on the
  // same input.
  std::vector<std::uint8_t> extracted;
  const std::vector<skin2::TSkinRecordInfo> records = skin2::ReadSkinRecordChain(member.data(), member.size());
  std::vector<std::shared_ptr<const utils::TvexSkin>> freshSkins;
  // The parts that make objects do so apart from the reader and resources the load uses, so that
  // the load frees only what it made itself.
  utils::TvexSkinReader partReader(path, "");
  utils::TvexSkinScrollBtnRes partScroll;
  utils::TvexSkinTabRes partTabs;
  utils::TvexSkinProgressBarRes partProgress;
  bool resourcesBuilt = false;
  const int bitmapRuns = 4;
  int bitmapObjects = 0;
  TPart parts[] = {
      {"extraction (archive open + inflate)", TWhere::Load,
       [&] { skin2::ReadArchiveMember(path, skin2::kSkinMemberName, "", extracted); }, 10},
      {"temporary file (named, written, removed)", TWhere::Load,
       [&] {
         skin2::TTempFile temp(skin2::TempDirectory() / skin2::NewGuidString());
         temp.Write(member.data(), member.size());
       },
       10},
      {"records listed, bitmaps decoded", TWhere::Load,
       [&] {
         skin2::Tsk2SkinFileReader file;
         file.LoadFromBytes(member.data(), member.size());
       },
       40},
      {"record parsing", TWhere::OfWhich, [&] { skin2::ReadSkinRecordChain(member.data(), member.size()); }, 40},
      {"BMP decoding", TWhere::OfWhich,
       [&] {
         for (const skin2::TSkinRecordInfo& r : records)
           if (r.type == skin2::srtBitmap)
             image::DecodeBmp(member.data() + r.dataOffset, static_cast<std::size_t>(r.dataSize));
       },
       40},
      {"bitmap objects, all 30 (GDI)", TWhere::FirstUse,
       [&] {
         bitmapObjects = 0;
         for (int k = 0; k < skin2::bitmap::kCount; ++k) bitmapObjects += freshSkins.back()->GetBitmap(k) != nullptr;
         freshSkins.pop_back();
       },
       bitmapRuns,
       [&] {
         freshSkins.clear();
         for (int i = 0; i < bitmapRuns; ++i) {
           auto file = std::make_unique<skin2::Tsk2SkinFileReader>();
           file->LoadFromBytes(member.data(), member.size());
           freshSkins.push_back(std::make_shared<const utils::TvexSkin>(std::move(file)));
         }
       }},
      {"sliced resources, all three", TWhere::FirstUse,
       [&] {
         partScroll.SetReader(&partReader);
         partTabs.SetReader(&partReader);
         partProgress.SetReader(&partReader);
         resourcesBuilt = partScroll.VertButton(1) && partTabs.Image(utils::TvexSkinTabRes::tkLine, utils::TvexSkinTabRes::toStored) &&
                          partProgress.HorzPiece(1);
       },
       4},
  };

  // Warm everything up, then alternate: each round times the bare inflate, the load and every
  // part, so that a busy spell of the machine falls on all of them alike.
  bareInflate();
  load();
  for (TPart& p : parts) {
    p.prepare();
    p.run();
  }
  const int rounds = 41, inflateRuns = 40, loadRuns = 4;
  TSeries inflateTime, loadTime, ratio;
  for (int r = 0; r < rounds; ++r) {
    const double i = RoundSeconds(bareInflate, inflateRuns);
    const double l = RoundSeconds(load, loadRuns);
    inflateTime.Add(i);
    loadTime.Add(l);
    ratio.Add(l / i);
    for (TPart& p : parts) {
      p.prepare();
      const double t = RoundSeconds(p.run, p.runs);
      p.time.Add(t);
      p.ratio.Add(t / i);
    }
  }

  std::fill(out.begin(), out.end(), 0);
  // Every side's results: the bare inflate's, the parts' and the load's.
  const bool inflated = InflateInto(packed, out) && out == member;
  const skin2::Tsk2SkinFileReader listed = [&] {
    skin2::Tsk2SkinFileReader file;
    file.LoadFromBytes(member.data(), member.size());
    return file;
  }();
  const bool partsRight = extracted == member && records.size() == listed.Records().size() &&
                          bitmapObjects == static_cast<int>(listed.Bitmaps().size()) && resourcesBuilt;
  load();
  const bool usable = SkinUsable(reader, scroll, tabs, progress, member);
  skin2::RemoveFileQuietly(path);

  std::printf("skin loading, default skin (%zu-byte member, %zu-byte archive), %d rounds\n", member.size(),
              archive.size(), rounds);
  std::printf("                                    median       best\n");
  std::printf("  zlib inflate of the member      %8.3f ms %8.3f ms\n", inflateTime.Median() * 1e3, inflateTime.Best() * 1e3);
  std::printf("  end-to-end load                 %8.3f ms %8.3f ms\n", loadTime.Median() * 1e3, loadTime.Best() * 1e3);
  std::printf("  load / inflate                  %8.1f    %8.1f        (median of the rounds' ratios; best / best)\n",
              ratio.Median(), loadTime.Best() / inflateTime.Best());
  std::printf("  goal: at most %.0f, stretch %.0f\n", kGoal, kStretch);
  std::printf("\n  one load, part by part                          median       best  x inflate\n");
  double inLoad = 0;
  for (const TPart& p : parts) {
    const bool of = p.where == TWhere::OfWhich;
    std::printf("  %s%-*s %8.3f ms %8.3f ms %6.1f%s\n", of ? "  of which " : "", of ? 32 : 43, p.name,
                p.time.Median() * 1e3, p.time.Best() * 1e3, p.ratio.Median(),
                p.where == TWhere::FirstUse ? "   made on first use, not in the load" : "");
    if (p.where == TWhere::Load) inLoad += p.time.Median();
  }
  std::printf("  %-43s %8.3f ms\n", "the parts of the load, added up", inLoad * 1e3);
  std::printf("  (the rest of the load: the file looked for, the skin object made, the resources told of it,\n"
              "   the previous skin freed)\n");
  if (!inflated) std::printf("  FAILED: the bare inflate did not give the member back\n");
  if (!partsRight) std::printf("  FAILED: a part of the load did not give what the load gives\n");
  if (!usable) std::printf("  FAILED: the loaded skin does not answer as its member says\n");
  Figure("skin load / inflate", ratio.Median(), "", ratio.Median() <= kGoal, "at most 10 (stretch 5)");
  return inflated && partsRight && usable ? 0 : 1;
}
