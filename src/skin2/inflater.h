// DEFLATE (RFC 1951) decoder over byte streams.
#pragma once

#include <cstdint>

#include "skin2/byte_io.h"

namespace vex::skin2 {

// Why decoding stopped. Everything but Ok means the data is not a valid DEFLATE stream, or the
// sink refused more output.
enum class TInflateError : int {
  Ok = 0,
  InputExhausted,        // the stream ended before the final block did
  BadBlockType,          // BTYPE 3
  TooManyLengthCodes,    // HLIT above 286
  TooManyDistanceCodes,  // HDIST above 30
  BadCodeLengthCode,     // the code-length code over-subscribes its code space
  RepeatWithoutLength,   // code 16 with no previous length
  RepeatTooLong,         // a repeat runs past HLIT + HDIST lengths
  BadLiteralCode,        // literal/length lengths over-subscribe the code space
  BadDistanceCode,       // distance lengths over-subscribe the code space
  MissingEndOfBlock,     // the end-of-block symbol has no code
  InvalidCode,           // the input reaches a code no symbol has
  InvalidSymbol,         // literal/length symbol 286-287 or distance symbol 30-31
  DistanceTooFar,        // a copy reaches before the first byte produced
  OutputRefused,         // the sink would take no more (a size limit)
};

// A short English description of an error, for messages and tests.
const char* InflateErrorText(TInflateError e);

struct TInflateResult {
  TInflateError error = TInflateError::Ok;
  std::uint64_t written = 0;  // bytes handed to the sink
};

// Decodes one raw DEFLATE stream from `in` into `out` until the end of its final block.
// Input is read in 16 KiB pieces; output goes to the sink in 32 KiB pieces from a 64 KiB window.
// Exceptions from the source or the sink pass through.
TInflateResult Inflate(TByteSource& in, TByteSink& out);

}  // namespace vex::skin2
