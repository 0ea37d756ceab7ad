// Little-endian integers in byte buffers: the byte order of BMP files, skin files and archives.
#pragma once

#include <cstdint>
#include <vector>

namespace vex::image {

inline std::uint16_t LoadLE16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
inline std::uint32_t LoadLE32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
}
inline void StoreLE16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void StoreLE32(std::uint8_t* p, std::uint32_t v) {
  StoreLE16(p, static_cast<std::uint16_t>(v));
  StoreLE16(p + 2, static_cast<std::uint16_t>(v >> 16));
}
// Appends the low 16 or all 32 bits of x.
inline void AppendLE16(std::vector<std::uint8_t>& v, std::uint32_t x) {
  v.push_back(static_cast<std::uint8_t>(x));
  v.push_back(static_cast<std::uint8_t>(x >> 8));
}
inline void AppendLE32(std::vector<std::uint8_t>& v, std::uint32_t x) {
  AppendLE16(v, x & 0xFFFF);
  AppendLE16(v, x >> 16);
}

}  // namespace vex::image
