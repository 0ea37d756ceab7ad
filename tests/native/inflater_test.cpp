#include "skin2/inflater.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <functional>

#include "skin2/archive_writer.h"
#include "test_support.h"

namespace vex::skin2 {
namespace {

using test::FromHex;

TInflateResult Decode(const std::vector<std::uint8_t>& in, std::vector<std::uint8_t>* out = nullptr,
                   std::size_t limit = SIZE_MAX) {
  TMemorySource src(in.data(), in.size());
  TMemorySink sink(limit);
  TInflateResult r = Inflate(src, sink);
  if (out) *out = sink.Data();
  return r;
}

// Writes DEFLATE bit streams by hand: values least-significant bit first, Huffman codes most-
// significant bit first.
class TBitWriter {
 public:
  void Bits(std::uint32_t value, int n) {
    for (int i = 0; i < n; ++i) Bit((value >> i) & 1u);
  }
  void Code(std::uint32_t code, int n) {
    for (int i = n - 1; i >= 0; --i) Bit((code >> i) & 1u);
  }
  // A symbol of the fixed literal/length code.
  void FixedLiteral(unsigned sym) {
    if (sym < 144) Code(0x30 + sym, 8);
    else if (sym < 256) Code(0x190 + sym - 144, 9);
    else if (sym < 280) Code(sym - 256, 7);
    else Code(0xC0 + sym - 280, 8);
  }
  std::vector<std::uint8_t> Bytes() const { return bytes_; }

 private:
  void Bit(unsigned b) {
    if (n_ % 8 == 0) bytes_.push_back(0);
    bytes_.back() |= static_cast<std::uint8_t>(b << (n_ % 8));
    ++n_;
  }
  std::vector<std::uint8_t> bytes_;
  std::size_t n_ = 0;
};

std::string Text(const std::vector<std::uint8_t>& v) { return std::string(v.begin(), v.end()); }

TEST(Inflate, HandWrittenStreams) {
  struct Case {
    const char* what;
    std::vector<std::uint8_t> input;
    TInflateError error;
    std::string output;
  };
  std::vector<Case> cases = {
      {"stored block", FromHex("01 05 00 fa ff 68 65 6c 6c 6f"), TInflateError::Ok, "hello"},
      {"empty fixed block", FromHex("03 00"), TInflateError::Ok, ""},
      {"stored then fixed", FromHex("00 02 00 fd ff 61 62 03 00"), TInflateError::Ok, "ab"},
      {"block type 3", FromHex("07"), TInflateError::BadBlockType, ""},
      {"HLIT 287", FromHex("f5 00 00 00"), TInflateError::TooManyLengthCodes, ""},
      {"HDIST 31", FromHex("05 1e 00 00"), TInflateError::TooManyDistanceCodes, ""},
      {"stored block cut short", FromHex("01 05 00 fa ff 68 65"), TInflateError::InputExhausted, ""},
      {"no input at all", {}, TInflateError::InputExhausted, ""},
  };

  {  // "abc" then a copy of 6 from distance 3: overlapping copy
    TBitWriter w;
    w.Bits(1, 1);
    w.Bits(1, 2);
    for (char c : std::string("abc")) w.FixedLiteral(static_cast<unsigned char>(c));
    w.FixedLiteral(260);  // length 6
    w.Code(2, 5);         // distance 3
    w.FixedLiteral(256);
    cases.push_back({"overlapping copy", w.Bytes(), TInflateError::Ok, "abcabcabc"});
  }
  {  // a copy before anything was produced
    TBitWriter w;
    w.Bits(1, 1);
    w.Bits(1, 2);
    w.FixedLiteral(257);
    w.Code(0, 5);
    w.FixedLiteral(256);
    cases.push_back({"distance before the start", w.Bytes(), TInflateError::DistanceTooFar, ""});
  }
  {  // distance 4 after three bytes
    TBitWriter w;
    w.Bits(1, 1);
    w.Bits(1, 2);
    for (char c : std::string("xyz")) w.FixedLiteral(static_cast<unsigned char>(c));
    w.FixedLiteral(257);
    w.Code(3, 5);
    w.FixedLiteral(256);
    cases.push_back({"distance one too far", w.Bytes(), TInflateError::DistanceTooFar, ""});
  }
  {  // literal/length symbol 286 exists in the fixed code but means nothing
    TBitWriter w;
    w.Bits(1, 1);
    w.Bits(1, 2);
    w.FixedLiteral(286);
    cases.push_back({"length symbol 286", w.Bytes(), TInflateError::InvalidSymbol, ""});
  }
  {  // distance symbol 30
    TBitWriter w;
    w.Bits(1, 1);
    w.Bits(1, 2);
    w.FixedLiteral('a');
    w.FixedLiteral(257);
    w.Code(30, 5);
    cases.push_back({"distance symbol 30", w.Bytes(), TInflateError::InvalidSymbol, ""});
  }
  {  // a non-final block and then the data ends
    TBitWriter w;
    w.Bits(0, 1);
    w.Bits(1, 2);
    w.FixedLiteral('q');
    w.FixedLiteral(256);
    cases.push_back({"no final block", w.Bytes(), TInflateError::InputExhausted, ""});
  }

  for (const Case& c : cases) {
    std::vector<std::uint8_t> out;
    TInflateResult r = Decode(c.input, &out);
    EXPECT_EQ(r.error, c.error) << c.what << ": " << InflateErrorText(r.error);
    if (c.error == TInflateError::Ok) {
      EXPECT_EQ(Text(out), c.output) << c.what;
    }
  }
}

// Dynamic block headers whose code-length code gives every one of the 19 symbols 5 bits, so the
// code-length symbol s is simply the 5-bit code s.
std::vector<std::uint8_t> DynamicHeader(unsigned hlit, unsigned hdist, const std::function<void(TBitWriter&)>& lengths,
                                        unsigned clLength = 5) {
  TBitWriter w;
  w.Bits(1, 1);
  w.Bits(2, 2);
  w.Bits(hlit - 257, 5);
  w.Bits(hdist - 1, 5);
  w.Bits(19 - 4, 4);
  for (int i = 0; i < 19; ++i) w.Bits(clLength, 3);
  lengths(w);
  w.Bits(0, 32);
  return w.Bytes();
}

TEST(Inflate, MalformedDynamicHeaders) {
  struct Case {
    const char* what;
    std::vector<std::uint8_t> input;
    TInflateError error;
  };
  const Case cases[] = {
      {"repeat with no previous length", DynamicHeader(257, 1, [](TBitWriter& w) { w.Code(16, 5); w.Bits(0, 2); }),
       TInflateError::RepeatWithoutLength},
      {"zeros past HLIT + HDIST",
       DynamicHeader(257, 1, [](TBitWriter& w) {
         w.Code(18, 5); w.Bits(127, 7);  // 138
         w.Code(18, 5); w.Bits(127, 7);  // 276 > 258
       }),
       TInflateError::RepeatTooLong},
      {"no end-of-block code",
       DynamicHeader(257, 1, [](TBitWriter& w) {
         w.Code(18, 5); w.Bits(127, 7);  // 138 zeros
         w.Code(18, 5); w.Bits(109, 7);  // 120 more: all 258 lengths zero
       }),
       TInflateError::MissingEndOfBlock},
      {"over-subscribed code-length code", DynamicHeader(257, 1, [](TBitWriter&) {}, 1),
       TInflateError::BadCodeLengthCode},
      {"over-subscribed literal code",
       DynamicHeader(257, 1, [](TBitWriter& w) {
         for (int i = 0; i < 257; ++i) w.Code(1, 5);  // 257 one-bit codes
         w.Code(1, 5);
       }),
       TInflateError::BadLiteralCode},
      {"incomplete literal code and data that never ends its block",
       DynamicHeader(257, 1, [](TBitWriter& w) {
         w.Code(2, 5);                   // symbol 0: length 2
         w.Code(18, 5); w.Bits(127, 7);  // symbols 1-138: 0
         w.Code(18, 5); w.Bits(106, 7);  // symbols 139-255: 0
         w.Code(2, 5);                   // symbol 256: length 2
         w.Code(1, 5);                   // distance 0: length 1
         // codes 00 and 01 exist; zeros decode as literal 0 until the input runs out
       }),
       TInflateError::InputExhausted},
  };
  for (const Case& c : cases) {
    TInflateResult r = Decode(c.input);
    EXPECT_EQ(r.error, c.error) << c.what << ": " << InflateErrorText(r.error);
  }

  // The incomplete literal code above, followed by bits that reach its unused codes 10 and 11.
  TBitWriter w;
  w.Bits(1, 1);
  w.Bits(2, 2);
  w.Bits(0, 5);
  w.Bits(0, 5);
  w.Bits(15, 4);
  for (int i = 0; i < 19; ++i) w.Bits(5, 3);
  w.Code(2, 5);
  w.Code(18, 5);
  w.Bits(127, 7);
  w.Code(18, 5);
  w.Bits(106, 7);
  w.Code(2, 5);
  w.Code(1, 5);
  w.Code(0, 2);  // literal 0
  w.Code(3, 2);  // unused code 11
  EXPECT_EQ(Decode(w.Bytes()).error, TInflateError::InvalidCode);
}

struct TZlibCase {
  const char* what;
  std::vector<std::uint8_t> data;
};

std::vector<std::uint8_t> Compress(const std::vector<std::uint8_t>& data, int level, int strategy) {
  z_stream zs{};
  EXPECT_EQ(deflateInit2(&zs, level, Z_DEFLATED, -15, 8, strategy), Z_OK);
  std::vector<std::uint8_t> out(deflateBound(&zs, static_cast<uLong>(data.size())) + 64);
  zs.next_in = const_cast<Bytef*>(data.data());
  zs.avail_in = static_cast<uInt>(data.size());
  zs.next_out = out.data();
  zs.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(deflate(&zs, Z_FINISH), Z_STREAM_END);
  out.resize(zs.total_out);
  deflateEnd(&zs);
  return out;
}

TEST(Inflate, DecodesWhatZlibWritesAtEveryLevelAndStrategy) {
  std::vector<TZlibCase> inputs = {
      {"empty", {}},
      {"one byte", {42}},
      {"text 300 KiB", test::TextBytes(300 * 1024, 1)},
      {"random 100 KiB", test::RandomBytes(100 * 1024, 2)},
      {"one byte repeated", std::vector<std::uint8_t>(200 * 1024, 7)},
  };
  {
    std::vector<std::uint8_t> mixed = test::TextBytes(70000, 3);
    auto r = test::RandomBytes(70000, 4);
    mixed.insert(mixed.end(), r.begin(), r.end());
    auto t = test::TextBytes(70000, 3);  // repeats the start: long matches across the window
    mixed.insert(mixed.end(), t.begin(), t.end());
    inputs.push_back({"text, random, text", mixed});
  }
  const int strategies[] = {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE, Z_FIXED};
  for (const TZlibCase& in : inputs) {
    for (int level : {0, 1, 6, 9}) {
      for (int strategy : strategies) {
        std::vector<std::uint8_t> out;
        TInflateResult r = Decode(Compress(in.data, level, strategy), &out);
        ASSERT_EQ(r.error, TInflateError::Ok) << in.what << " level " << level << " strategy " << strategy;
        ASSERT_EQ(out, in.data) << in.what << " level " << level << " strategy " << strategy;
        EXPECT_EQ(r.written, in.data.size());
      }
    }
  }
}

// Hands out input one byte per call, as a slow stream would.
class TTrickleSource : public TByteSource {
 public:
  explicit TTrickleSource(const std::vector<std::uint8_t>& d) : d_(d) {}
  std::size_t Read(std::uint8_t* dst, std::size_t n) override {
    if (pos_ == d_.size() || n == 0) return 0;
    *dst = d_[pos_++];
    return 1;
  }

 private:
  const std::vector<std::uint8_t>& d_;
  std::size_t pos_ = 0;
};

TEST(Inflate, ShortReadsGiveTheSameOutput) {
  auto data = test::TextBytes(150000, 9);
  auto packed = Compress(data, 6, Z_DEFAULT_STRATEGY);
  TTrickleSource src(packed);
  TMemorySink sink;
  ASSERT_EQ(Inflate(src, sink).error, TInflateError::Ok);
  EXPECT_EQ(sink.Data(), data);
}

TEST(Inflate, TrailingBytesAfterTheFinalBlockAreIgnored) {
  auto packed = Compress(test::TextBytes(1000, 5), 9, Z_DEFAULT_STRATEGY);
  packed.insert(packed.end(), {0xDE, 0xAD, 0xBE, 0xEF});
  EXPECT_EQ(Decode(packed).error, TInflateError::Ok);
}

TEST(Inflate, TruncationAnywhereIsAnError) {
  auto packed = Compress(test::TextBytes(5000, 6), 6, Z_DEFAULT_STRATEGY);
  for (std::size_t cut = 0; cut < packed.size(); cut += 1 + cut / 8) {
    std::vector<std::uint8_t> part(packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(cut));
    EXPECT_NE(Decode(part).error, TInflateError::Ok) << "cut at " << cut;
  }
}

TEST(Inflate, StopsAtTheSinkLimitInsteadOfProducingEverything) {
  // 64 MiB of zeros packs into about 64 KiB; a 1 MiB limit must stop decoding near 1 MiB.
  std::vector<std::uint8_t> zeros(64u << 20, 0);
  auto packed = Compress(zeros, 9, Z_DEFAULT_STRATEGY);
  std::vector<std::uint8_t> out;
  TInflateResult r = Decode(packed, &out, 1u << 20);
  EXPECT_EQ(r.error, TInflateError::OutputRefused);
  EXPECT_LE(r.written, 1u << 20);
  EXPECT_LE(out.size(), 1u << 20);
}

}  // namespace
}  // namespace vex::skin2
