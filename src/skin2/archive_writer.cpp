#include "skin2/archive_writer.h"

#include <zlib.h>

#include <random>
#include <stdexcept>

#include "skin2/byte_io.h"
#include "skin2/pkware_cipher.h"

namespace vex::skin2 {
namespace {

void Put16(std::vector<std::uint8_t>& v, std::uint32_t x) {
  v.push_back(static_cast<std::uint8_t>(x));
  v.push_back(static_cast<std::uint8_t>(x >> 8));
}
void Put32(std::vector<std::uint8_t>& v, std::uint32_t x) {
  Put16(v, x & 0xFFFFu);
  Put16(v, x >> 16);
}

}  // namespace

std::vector<std::uint8_t> DeflateRaw(const std::uint8_t* data, std::size_t size, int level) {
  z_stream zs{};
  if (deflateInit2(&zs, level, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK)
    throw std::runtime_error("deflateInit2 failed");
  std::vector<std::uint8_t> out(deflateBound(&zs, static_cast<uLong>(size)) + 16);
  zs.next_in = const_cast<Bytef*>(data);
  zs.avail_in = static_cast<uInt>(size);
  zs.next_out = out.data();
  zs.avail_out = static_cast<uInt>(out.size());
  int rc = deflate(&zs, Z_FINISH);
  const std::size_t produced = zs.total_out;
  deflateEnd(&zs);
  if (rc != Z_STREAM_END) throw std::runtime_error("deflate failed");
  out.resize(produced);
  return out;
}

std::vector<std::uint8_t> WriteSkinArchive(const std::vector<std::uint8_t>& member, const TArchiveOptions& o,
                                           TArchiveLayout* layout) {
  if (o.memberName.empty() || o.memberName.size() > 259) throw std::invalid_argument("bad member name");
  if (member.size() > 0xFFFFFFFFu) throw std::length_error("member larger than 4 GiB");
  const std::uint32_t crc = Crc32(member.data(), member.size());
  std::vector<std::uint8_t> body = DeflateRaw(member.data(), member.size(), o.level);

  std::uint16_t flags = 0;
  if (!o.password.empty()) {
    flags |= 1u;
    if (o.checkByteFromTime) flags |= 8u;
    std::vector<std::uint8_t> sealed(TPkwareCipher::kHeaderSize);
    std::random_device rd;
    for (auto& b : sealed) b = static_cast<std::uint8_t>(rd());
    sealed.back() = o.checkByteFromTime ? static_cast<std::uint8_t>(o.dosTime >> 8) : static_cast<std::uint8_t>(crc >> 24);
    sealed.insert(sealed.end(), body.begin(), body.end());
    TPkwareCipher cipher(o.password);
    cipher.Encrypt(sealed.data(), sealed.size());
    body.swap(sealed);
  }
  if (body.size() > 0xFFFFFFFFu) throw std::length_error("archive larger than 4 GiB");
  const auto compressed = static_cast<std::uint32_t>(body.size());
  const auto size = static_cast<std::uint32_t>(member.size());
  const auto nameLength = static_cast<std::uint16_t>(o.memberName.size());

  std::vector<std::uint8_t> a;
  a.reserve(body.size() + 2 * o.memberName.size() + 128);
  TArchiveLayout l;
  l.localHeader = a.size();
  a.insert(a.end(), {'S', 'K', 3, 4});
  Put16(a, 20);
  Put16(a, flags);
  Put16(a, 8);
  Put16(a, o.dosTime);
  Put16(a, o.dosDate);
  Put32(a, crc);
  Put32(a, compressed);
  Put32(a, size);
  Put16(a, nameLength);
  Put16(a, 0);
  a.insert(a.end(), o.memberName.begin(), o.memberName.end());
  l.data = a.size();
  l.dataSize = body.size();
  a.insert(a.end(), body.begin(), body.end());

  l.centralEntry = a.size();
  a.insert(a.end(), {'P', 'K', 1, 2});
  Put16(a, 20);
  Put16(a, 20);
  Put16(a, flags);
  Put16(a, 8);
  Put16(a, o.dosTime);
  Put16(a, o.dosDate);
  Put32(a, crc);
  Put32(a, compressed);
  Put32(a, size);
  Put16(a, nameLength);
  Put16(a, 0);  // extra field
  Put16(a, 0);  // comment
  Put16(a, 0);  // disk
  Put16(a, 0);  // internal attributes
  Put32(a, 0);  // external attributes
  Put32(a, static_cast<std::uint32_t>(l.localHeader));
  a.insert(a.end(), o.memberName.begin(), o.memberName.end());

  l.endRecord = a.size();
  a.insert(a.end(), {'P', 'K', 5, 6});
  Put16(a, 0);
  Put16(a, 0);
  Put16(a, 1);
  Put16(a, 1);
  Put32(a, static_cast<std::uint32_t>(l.endRecord - l.centralEntry));
  Put32(a, static_cast<std::uint32_t>(l.centralEntry));
  Put16(a, 0);
  if (layout) *layout = l;
  return a;
}

}  // namespace vex::skin2
