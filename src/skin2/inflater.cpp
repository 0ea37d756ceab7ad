#include "skin2/inflater.h"

#include <cstring>
#include <memory>

#include "skin2/huffman_tree.h"

namespace vex::skin2 {

const char* InflateErrorText(TInflateError e) {
  switch (e) {
    case TInflateError::Ok: return "ok";
    case TInflateError::InputExhausted: return "input ended before the final block";
    case TInflateError::BadBlockType: return "invalid block type";
    case TInflateError::TooManyLengthCodes: return "too many literal/length codes";
    case TInflateError::TooManyDistanceCodes: return "too many distance codes";
    case TInflateError::BadCodeLengthCode: return "invalid code-length code";
    case TInflateError::RepeatWithoutLength: return "repeat with no previous length";
    case TInflateError::RepeatTooLong: return "repeat past the last code length";
    case TInflateError::BadLiteralCode: return "invalid literal/length code lengths";
    case TInflateError::BadDistanceCode: return "invalid distance code lengths";
    case TInflateError::MissingEndOfBlock: return "no code for end of block";
    case TInflateError::InvalidCode: return "invalid code in the data";
    case TInflateError::InvalidSymbol: return "invalid symbol";
    case TInflateError::DistanceTooFar: return "distance too far back";
    case TInflateError::OutputRefused: return "output refused";
  }
  return "unknown error";
}

namespace {

constexpr std::size_t kInputSize = 16384;
// The window holds 256 KiB before it slides: output leaves in pieces of about 224 KiB, and the
// 32 KiB of history is moved once per 224 KiB instead of once per 32 KiB.
constexpr std::size_t kWindowFlushAt = 262144;
constexpr std::size_t kWindowKeep = 32768;
constexpr std::size_t kMaxMatch = 258;
// Zero bytes the reader may append after the stream: enough look-ahead for any valid stream;
// needing more means the data ran out.
constexpr std::size_t kMaxPadding = 16;

inline std::uint64_t Load64(const std::uint8_t* p) {
  std::uint64_t v;
  std::memcpy(&v, p, 8);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  v = __builtin_bswap64(v);
#endif
  return v;
}

struct TDecodeFailure {
  TInflateError error;
};

// The buffers and dynamic tables of one decoding. A thread keeps one set between calls, so that
// decoding many small members does not pay for allocating (and faulting in) them every time.
struct TInflateBuffers {
  std::unique_ptr<std::uint8_t[]> input{new std::uint8_t[kInputSize + 16]};
  std::unique_ptr<std::uint8_t[]> window{new std::uint8_t[kWindowFlushAt + kMaxMatch + 16]};
  THuffmanTree codeLengthTree{7};
  THuffmanTree literalTree{15};
  THuffmanTree distanceTree{15};
  bool busy = false;
};

class TInflater {
 public:
  TInflater(TByteSource& in, TByteSink& out, TInflateBuffers& b)
      : in_(in),
        out_(out),
        input_(b.input),
        window_(b.window),
        codeLengthTree_(b.codeLengthTree),
        literalTree_(b.literalTree),
        distanceTree_(b.distanceTree) {
    ip_ = iend_ = input_.get();
  }

  TInflateResult Run() {
    TInflateResult r;
    try {
      bool last;
      do {
        last = Take(1) != 0;
        switch (Take(2)) {
          case 0: StoredBlock(); break;
          case 1: HuffmanBlock(FixedLiteralTree(), FixedDistanceTree()); break;
          case 2: DynamicBlock(); break;
          default: throw TDecodeFailure{TInflateError::BadBlockType};
        }
      } while (!last);
      // Bits taken from the zero padding mean the stream was cut short.
      std::uint64_t consumedBits = (base_ + static_cast<std::uint64_t>(ip_ - input_.get())) * 8 - bitcnt_;
      if (consumedBits > realBytes_ * 8) throw TDecodeFailure{TInflateError::InputExhausted};
      Flush(pos_);
    } catch (const TDecodeFailure& f) {
      r.error = f.error;
    }
    r.written = written_;
    return r;
  }

 private:
  // Makes at least 8 bytes available at ip_, reading from the source or padding with zeros.
  void RefillInput() {
    std::uint8_t* buf = input_.get();
    std::size_t keep = static_cast<std::size_t>(iend_ - ip_);
    base_ += static_cast<std::uint64_t>(ip_ - buf);
    std::memmove(buf, ip_, keep);
    ip_ = buf;
    iend_ = buf + keep;
    while (static_cast<std::size_t>(iend_ - ip_) < 8) {
      std::size_t got = eof_ ? 0 : in_.Read(iend_, kInputSize - keep);
      if (got == 0) {
        eof_ = true;
        if (padding_ + 8 > kMaxPadding) throw TDecodeFailure{TInflateError::InputExhausted};
        std::memset(iend_, 0, 8);
        padding_ += 8;
        got = 8;
      } else {
        realBytes_ += got;
      }
      iend_ += got;
      keep += got;
    }
  }

  // Tops the bit buffer up to at least 56 bits.
  inline void Refill() {
    if (iend_ - ip_ < 8) RefillInput();
    bitbuf_ |= Load64(ip_) << bitcnt_;
    ip_ += (63 - bitcnt_) >> 3;
    bitcnt_ |= 56;
  }

  std::uint32_t Take(unsigned n) {
    if (bitcnt_ < n) Refill();
    std::uint32_t v = static_cast<std::uint32_t>(bitbuf_ & ((std::uint64_t{1} << n) - 1));
    bitbuf_ >>= n;
    bitcnt_ -= n;
    return v;
  }

  void Flush(std::size_t n) {
    if (n && !out_.Write(window_.get(), n)) throw TDecodeFailure{TInflateError::OutputRefused};
    written_ += n;
  }

  // Once the window has filled, everything but the last 32 KiB of history goes out, and that
  // history moves to the front.
  void SlideWindow() {
    const std::size_t out = pos_ - kWindowKeep;
    Flush(out);
    std::memmove(window_.get(), window_.get() + out, kWindowKeep);
    pos_ = kWindowKeep;
  }

  void StoredBlock() {
    unsigned drop = bitcnt_ & 7u;
    bitbuf_ >>= drop;
    bitcnt_ -= drop;
    std::uint32_t len = Take(16);
    Take(16);  // NLEN is not checked
    // Whole bytes still held in the bit buffer come first.
    while (len && bitcnt_ >= 8) {
      window_[pos_++] = static_cast<std::uint8_t>(bitbuf_);
      bitbuf_ >>= 8;
      bitcnt_ -= 8;
      --len;
      if (pos_ >= kWindowFlushAt) SlideWindow();
    }
    if (!len) return;
    bitbuf_ = 0;  // empty: the bits above were the bytes at ip_, which are now copied directly
    while (len) {
      if (iend_ == ip_) RefillInput();
      std::size_t n = len;
      std::size_t avail = static_cast<std::size_t>(iend_ - ip_);
      if (n > avail) n = avail;
      if (n > kWindowFlushAt - pos_) n = kWindowFlushAt - pos_;
      std::memcpy(window_.get() + pos_, ip_, n);
      ip_ += n;
      pos_ += n;
      len -= static_cast<std::uint32_t>(n);
      if (pos_ >= kWindowFlushAt) SlideWindow();
    }
  }

  void DynamicBlock() {
    static const std::uint8_t kOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
    static const std::uint8_t kCodeLengthExtra[3] = {2, 3, 7};
    const unsigned hlit = Take(5) + 257;
    const unsigned hdist = Take(5) + 1;
    const unsigned hclen = Take(4) + 4;
    if (hlit > 286) throw TDecodeFailure{TInflateError::TooManyLengthCodes};
    if (hdist > 30) throw TDecodeFailure{TInflateError::TooManyDistanceCodes};

    std::uint8_t lengths[286 + 30 + 138];
    std::memset(lengths, 0, 19);
    for (unsigned i = 0; i < hclen; ++i) lengths[kOrder[i]] = static_cast<std::uint8_t>(Take(3));
    if (!codeLengthTree_.Build(lengths, 0, 19, 16, kCodeLengthExtra))
      throw TDecodeFailure{TInflateError::BadCodeLengthCode};

    const unsigned total = hlit + hdist;
    const std::uint32_t mask = (1u << codeLengthTree_.MaxLen()) - 1u;
    unsigned n = 0;
    while (n < total) {
      Refill();
      const std::uint32_t e = codeLengthTree_.Lookup(static_cast<std::uint32_t>(bitbuf_) & mask);
      if (e == THuffmanTree::kEmpty) throw TDecodeFailure{TInflateError::InvalidCode};
      const unsigned sym = THuffmanTree::Symbol(e);
      const unsigned cl = THuffmanTree::CodeLength(e);
      const unsigned eb = THuffmanTree::ExtraBits(e);
      const unsigned extra = static_cast<unsigned>(bitbuf_ >> cl) & ((1u << eb) - 1u);
      bitbuf_ >>= cl + eb;
      bitcnt_ -= cl + eb;
      if (sym < 16) {
        lengths[n++] = static_cast<std::uint8_t>(sym);
        continue;
      }
      std::uint8_t value = 0;
      unsigned repeat;
      if (sym == 16) {
        if (n == 0) throw TDecodeFailure{TInflateError::RepeatWithoutLength};
        value = lengths[n - 1];
        repeat = 3 + extra;
      } else if (sym == 17) {
        repeat = 3 + extra;
      } else {
        repeat = 11 + extra;
      }
      if (n + repeat > total) throw TDecodeFailure{TInflateError::RepeatTooLong};
      std::memset(lengths + n, value, repeat);
      n += repeat;
    }
    if (lengths[256] == 0) throw TDecodeFailure{TInflateError::MissingEndOfBlock};
    if (!literalTree_.Build(lengths, 0, static_cast<int>(hlit), 257, kLengthExtraBits))
      throw TDecodeFailure{TInflateError::BadLiteralCode};
    if (!distanceTree_.Build(lengths, static_cast<int>(hlit), static_cast<int>(hdist), 0, kDistanceExtraBits))
      throw TDecodeFailure{TInflateError::BadDistanceCode};
    HuffmanBlock(literalTree_, distanceTree_);
  }

  // The hot loop. State lives in locals: stores through the byte window could otherwise alias it.
  void HuffmanBlock(const THuffmanTree& lit, const THuffmanTree& dist) {
    const std::uint32_t* litTable = lit.Data();
    const std::uint32_t* distTable = dist.Data();
    const std::uint64_t litMask = (std::uint64_t{1} << lit.MaxLen()) - 1;
    const std::uint64_t distMask = (std::uint64_t{1} << dist.MaxLen()) - 1;
    std::uint8_t* const win = window_.get();
    std::uint64_t bitbuf = bitbuf_;
    unsigned bitcnt = bitcnt_;
    const std::uint8_t* ip = ip_;
    std::size_t pos = pos_;

    auto save = [&] {
      bitbuf_ = bitbuf;
      bitcnt_ = bitcnt;
      ip_ = const_cast<std::uint8_t*>(ip);
      pos_ = pos;
    };
    auto load = [&] {
      bitbuf = bitbuf_;
      bitcnt = bitcnt_;
      ip = ip_;
      pos = pos_;
    };
    auto fail = [&](TInflateError e) {
      save();
      throw TDecodeFailure{e};
    };

    for (;;) {
      if (pos >= kWindowFlushAt) {
        save();
        SlideWindow();
        load();
      }
      if (iend_ - ip < 8) {
        save();
        RefillInput();
        load();
      }
      bitbuf |= Load64(ip) << bitcnt;
      ip += (63 - bitcnt) >> 3;
      bitcnt |= 56;

      std::uint32_t e = litTable[bitbuf & litMask];
      if (e == THuffmanTree::kEmpty) fail(TInflateError::InvalidCode);
      unsigned sym = e & 0xFFFFu;
      unsigned cl = (e >> 16) & 0xFFu;
      if (sym < 256) {
        bitbuf >>= cl;
        bitcnt -= cl;
        win[pos++] = static_cast<std::uint8_t>(sym);
        // A second literal fits in the bits left (at least 41) without another refill.
        e = litTable[bitbuf & litMask];
        sym = e & 0xFFFFu;
        if (sym < 256 && pos < kWindowFlushAt) {
          cl = (e >> 16) & 0xFFu;
          bitbuf >>= cl;
          bitcnt -= cl;
          win[pos++] = static_cast<std::uint8_t>(sym);
        }
        continue;
      }
      if (sym == 256) {
        bitbuf >>= cl;
        bitcnt -= cl;
        break;
      }
      if (sym > 285) fail(TInflateError::InvalidSymbol);
      unsigned eb = e >> 24;
      std::size_t length = kLengthBase[sym - 257] + (static_cast<unsigned>(bitbuf >> cl) & ((1u << eb) - 1u));
      bitbuf >>= cl + eb;
      bitcnt -= cl + eb;

      // At least 36 bits remain: enough for the longest distance code and its extra bits.
      e = distTable[bitbuf & distMask];
      if (e == THuffmanTree::kEmpty) fail(TInflateError::InvalidCode);
      sym = e & 0xFFFFu;
      if (sym > 29) fail(TInflateError::InvalidSymbol);
      cl = (e >> 16) & 0xFFu;
      eb = e >> 24;
      const std::size_t distance = kDistanceBase[sym] + (static_cast<unsigned>(bitbuf >> cl) & ((1u << eb) - 1u));
      bitbuf >>= cl + eb;
      bitcnt -= cl + eb;
      // Once the window has slid, 32 KiB of history always precede pos.
      if (distance > pos) fail(TInflateError::DistanceTooFar);

      std::uint8_t* dst = win + pos;
      const std::uint8_t* src = dst - distance;
      pos += length;
      if (distance >= 8) {
        // Eight bytes at a time; each read lies at least eight bytes behind its write, and the
        // window has slack for the overshoot.
        std::uint8_t* end = dst + length;
        do {
          std::memcpy(dst, src, 8);
          dst += 8;
          src += 8;
        } while (dst < end);
      } else if (distance == 1) {
        std::memset(dst, *src, length);
      } else {
        for (std::size_t i = 0; i < length; ++i) dst[i] = src[i];
      }
    }
    save();
  }

  TByteSource& in_;
  TByteSink& out_;
  std::unique_ptr<std::uint8_t[]>& input_;
  std::unique_ptr<std::uint8_t[]>& window_;
  THuffmanTree& codeLengthTree_;
  THuffmanTree& literalTree_;
  THuffmanTree& distanceTree_;

  std::uint8_t* ip_;
  std::uint8_t* iend_;
  std::uint64_t bitbuf_ = 0;
  unsigned bitcnt_ = 0;
  std::uint64_t base_ = 0;       // stream offset of input_[0], padding included
  std::uint64_t realBytes_ = 0;  // bytes the source delivered
  std::size_t padding_ = 0;
  bool eof_ = false;

  std::size_t pos_ = 0;
  std::uint64_t written_ = 0;
};

}  // namespace

TInflateResult Inflate(TByteSource& in, TByteSink& out) {
  static thread_local TInflateBuffers kept;
  // A sink or source that itself inflates (re-entrancy) gets buffers of its own.
  std::unique_ptr<TInflateBuffers> own;
  TInflateBuffers* buffers = &kept;
  if (kept.busy) {
    own = std::make_unique<TInflateBuffers>();
    buffers = own.get();
  }
  buffers->busy = true;
  struct TRelease {
    TInflateBuffers* b;
    ~TRelease() { b->busy = false; }
  } release{buffers};
  TInflater inflater(in, out, *buffers);
  return inflater.Run();
}

}  // namespace vex::skin2
