// Our DEFLATE decoder against zlib's inflate on the same inputs, in the same run.
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "skin2/archive_writer.h"
#include "skin2/default_skin.h"
#include "skin2/inflater.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

// Writes into a buffer sized in advance, as zlib's one-shot inflate does.
class TBufferSink : public vex::skin2::TByteSink {
 public:
  explicit TBufferSink(Bytes& buf) : buf_(buf) {}
  bool Write(const std::uint8_t* src, std::size_t n) override {
    if (n > buf_.size() - pos_) return false;
    std::memcpy(buf_.data() + pos_, src, n);
    pos_ += n;
    return true;
  }
  std::size_t Size() const { return pos_; }

 private:
  Bytes& buf_;
  std::size_t pos_ = 0;
};

std::size_t OursOnce(const Bytes& packed, Bytes& out) {
  vex::skin2::TMemorySource src(packed.data(), packed.size());
  TBufferSink sink(out);
  if (vex::skin2::Inflate(src, sink).error != vex::skin2::TInflateError::Ok) throw std::runtime_error("ours failed");
  return sink.Size();
}

std::size_t ZlibOnce(const Bytes& packed, Bytes& out) {
  z_stream zs{};
  if (inflateInit2(&zs, -15) != Z_OK) throw std::runtime_error("inflateInit2");
  zs.next_in = const_cast<Bytef*>(packed.data());
  zs.avail_in = static_cast<uInt>(packed.size());
  zs.next_out = out.data();
  zs.avail_out = static_cast<uInt>(out.size());
  int rc = inflate(&zs, Z_FINISH);
  std::size_t n = zs.total_out;
  inflateEnd(&zs);
  if (rc != Z_STREAM_END) throw std::runtime_error("zlib failed");
  return n;
}

// Best of several rounds, each long enough to time reliably.
template <class F>
double SecondsPerRun(F f, double minRound) {
  double best = 1e30;
  for (int round = 0; round < 7; ++round) {
    int runs = 0;
    auto start = Clock::now();
    double elapsed;
    do {
      f();
      ++runs;
      elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    } while (elapsed < minRound);
    best = std::min(best, elapsed / runs);
  }
  return best;
}

Bytes Text(std::size_t n, std::mt19937& rng) {
  static const char* words[] = {"the", "skin", "engine", "paints", "every", "window", "frame", "of",
                                "an", "application", "with", "bitmaps", "colours", "and", "positions",
                                "title", "bar", "border", "button", "menu", "scroll", "thumb", "track"};
  Bytes v;
  while (v.size() < n) {
    const char* w = words[rng() % (sizeof words / sizeof *words)];
    v.insert(v.end(), w, w + std::strlen(w));
    v.push_back(rng() % 11 == 0 ? '\n' : ' ');
  }
  v.resize(n);
  return v;
}

// A 24-bit image with gradients and shapes, like skin bitmaps.
Bytes Image(std::size_t n, std::mt19937& rng) {
  Bytes v(n);
  const int w = 640;
  for (std::size_t i = 0; i < n; i += 3) {
    int x = static_cast<int>((i / 3) % w), y = static_cast<int>((i / 3) / w);
    bool shape = ((x / 40) + (y / 30)) % 3 == 0;
    v[i] = static_cast<std::uint8_t>(shape ? 200 : x * 255 / w);
    if (i + 1 < n) v[i + 1] = static_cast<std::uint8_t>(shape ? 120 : y % 256);
    if (i + 2 < n) v[i + 2] = static_cast<std::uint8_t>(shape ? 40 : (x + y) % 256 + (rng() % 3));
  }
  return v;
}

// Little-endian records with counters and small fields, like tables and executables.
Bytes Records(std::size_t n, std::mt19937& rng) {
  Bytes v;
  std::uint32_t id = 1000;
  while (v.size() < n) {
    std::uint8_t rec[16] = {};
    std::memcpy(rec, &id, 4);
    ++id;
    rec[4] = static_cast<std::uint8_t>(rng() % 4);
    rec[8] = static_cast<std::uint8_t>(rng() % 200);
    rec[12] = 0xFF;
    v.insert(v.end(), rec, rec + 16);
  }
  v.resize(n);
  return v;
}

Bytes Random(std::size_t n, std::mt19937& rng) {
  Bytes v(n);
  for (auto& b : v) b = static_cast<std::uint8_t>(rng());
  return v;
}

Bytes MixedCorpus() {
  std::mt19937 rng(12345);
  Bytes all;
  const std::size_t piece = 1u << 20;
  for (int i = 0; i < 6; ++i) {
    for (Bytes part : {Text(piece, rng), Image(piece, rng), Records(piece, rng), Random(piece / 4, rng)})
      all.insert(all.end(), part.begin(), part.end());
  }
  return all;  // about 20 MiB
}

void Compare(const char* name, const Bytes& plain, double minRound) {
  const Bytes packed = vex::skin2::DeflateRaw(plain.data(), plain.size(), 6);
  Bytes out(plain.size() + 64);
  if (OursOnce(packed, out) != plain.size() || !std::equal(plain.begin(), plain.end(), out.begin()))
    throw std::runtime_error("our output differs");
  if (ZlibOnce(packed, out) != plain.size()) throw std::runtime_error("zlib output differs");
  const double ours = SecondsPerRun([&] { OursOnce(packed, out); }, minRound);
  const double zlib = SecondsPerRun([&] { ZlibOnce(packed, out); }, minRound);
  std::printf("%-22s %9zu -> %9zu bytes  ours %8.3f ms  zlib %8.3f ms  ours/zlib %.2f  (%.0f MB/s vs %.0f MB/s)\n", name,
              plain.size(), packed.size(), ours * 1e3, zlib * 1e3, ours / zlib, plain.size() / ours / 1e6,
              plain.size() / zlib / 1e6);
}

}  // namespace

int main() {
  std::printf("DEFLATE decoding, zlib %s, inputs compressed at level 6, best of 7 rounds\n", zlibVersion());
  Compare("default skin member", vex::skin2::BuildDefaultSkinFile(), 0.05);
  Compare("mixed corpus", MixedCorpus(), 0.3);
  return 0;
}
