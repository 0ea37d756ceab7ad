#include "skin2/pkware_cipher.h"

#include <array>

namespace vex::skin2 {
namespace {

std::array<std::uint32_t, 256> MakeCrcTable() {
  std::array<std::uint32_t, 256> t{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    t[i] = c;
  }
  return t;
}

const std::array<std::uint32_t, 256> kCrcTable = MakeCrcTable();

}  // namespace

std::uint32_t Crc32Update(std::uint32_t crc, std::uint8_t b) {
  return kCrcTable[(crc ^ b) & 0xFFu] ^ (crc >> 8);
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t n) {
  std::uint32_t c = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < n; ++i) c = Crc32Update(c, data[i]);
  return c ^ 0xFFFFFFFFu;
}

TPkwareCipher::TPkwareCipher(const std::string& password) {
  for (unsigned char ch : password) UpdateKeys(ch);
}

void TPkwareCipher::UpdateKeys(std::uint8_t p) {
  k0_ = Crc32Update(k0_, p);
  k1_ = (k1_ + (k0_ & 0xFFu)) * 134775813u + 1u;
  k2_ = Crc32Update(k2_, static_cast<std::uint8_t>(k1_ >> 24));
}

}  // namespace vex::skin2
