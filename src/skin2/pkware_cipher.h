// Traditional PKWARE encryption (ZIP 2.0), as the APPNOTE specifies it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vex::skin2 {

class TPkwareCipher {
 public:
  static constexpr std::size_t kHeaderSize = 12;

  // Keys initialised with the standard values and then updated with each password byte.
  explicit TPkwareCipher(const std::string& password);

  std::uint8_t Decrypt(std::uint8_t c) {
    std::uint8_t p = static_cast<std::uint8_t>(c ^ KeyStreamByte());
    UpdateKeys(p);
    return p;
  }
  std::uint8_t Encrypt(std::uint8_t p) {
    std::uint8_t c = static_cast<std::uint8_t>(p ^ KeyStreamByte());
    UpdateKeys(p);
    return c;
  }
  void Decrypt(std::uint8_t* data, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) data[i] = Decrypt(data[i]);
  }
  void Encrypt(std::uint8_t* data, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) data[i] = Encrypt(data[i]);
  }

 private:
  std::uint8_t KeyStreamByte() const {
    std::uint32_t t = (k2_ | 2u) & 0xFFFFu;
    return static_cast<std::uint8_t>((t * (t ^ 1u)) >> 8);
  }
  void UpdateKeys(std::uint8_t p);

  std::uint32_t k0_ = 0x12345678u;
  std::uint32_t k1_ = 0x23456789u;
  std::uint32_t k2_ = 0x34567890u;
};

// One step of the CRC-32 used by ZIP (reflected polynomial 0xEDB88320).
std::uint32_t Crc32Update(std::uint32_t crc, std::uint8_t b);
// The CRC-32 of a whole buffer.
std::uint32_t Crc32(const std::uint8_t* data, std::size_t n);

}  // namespace vex::skin2
