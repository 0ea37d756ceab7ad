#include "skin2/archive_writer.h"

#include <zlib.h>

#include <random>
#include <stdexcept>

#include "skin2/byte_io.h"
#include "skin2/pkware_cipher.h"

namespace vex::skin2 {
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
  image::AppendLE16(a, 20);
  image::AppendLE16(a, flags);
  image::AppendLE16(a, 8);
  image::AppendLE16(a, o.dosTime);
  image::AppendLE16(a, o.dosDate);
  image::AppendLE32(a, crc);
  image::AppendLE32(a, compressed);
  image::AppendLE32(a, size);
  image::AppendLE16(a, nameLength);
  image::AppendLE16(a, 0);
  a.insert(a.end(), o.memberName.begin(), o.memberName.end());
  l.data = a.size();
  l.dataSize = body.size();
  a.insert(a.end(), body.begin(), body.end());

  l.centralEntry = a.size();
  a.insert(a.end(), {'P', 'K', 1, 2});
  image::AppendLE16(a, 20);
  image::AppendLE16(a, 20);
  image::AppendLE16(a, flags);
  image::AppendLE16(a, 8);
  image::AppendLE16(a, o.dosTime);
  image::AppendLE16(a, o.dosDate);
  image::AppendLE32(a, crc);
  image::AppendLE32(a, compressed);
  image::AppendLE32(a, size);
  image::AppendLE16(a, nameLength);
  image::AppendLE16(a, 0);  // extra field
  image::AppendLE16(a, 0);  // comment
  image::AppendLE16(a, 0);  // disk
  image::AppendLE16(a, 0);  // internal attributes
  image::AppendLE32(a, 0);  // external attributes
  image::AppendLE32(a, static_cast<std::uint32_t>(l.localHeader));
  a.insert(a.end(), o.memberName.begin(), o.memberName.end());

  l.endRecord = a.size();
  a.insert(a.end(), {'P', 'K', 5, 6});
  image::AppendLE16(a, 0);
  image::AppendLE16(a, 0);
  image::AppendLE16(a, 1);
  image::AppendLE16(a, 1);
  image::AppendLE32(a, static_cast<std::uint32_t>(l.endRecord - l.centralEntry));
  image::AppendLE32(a, static_cast<std::uint32_t>(l.centralEntry));
  image::AppendLE16(a, 0);
  if (layout) *layout = l;
  return a;
}

}  // namespace vex::skin2
