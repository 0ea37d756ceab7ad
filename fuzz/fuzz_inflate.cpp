// Raw DEFLATE streams into the decoder, output capped at 16 MiB.
#include <cstddef>
#include <cstdint>

#include "skin2/inflater.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vex::skin2::TMemorySource in(data, size);
  vex::skin2::TMemorySink out(16u << 20);
  vex::skin2::Inflate(in, out);
  return 0;
}
