#include "skin2/archive_reader.h"

#include <cstring>
#include <optional>
#include <system_error>

#include "skin2/byte_io.h"
#include "skin2/inflater.h"
#include "skin2/pkware_cipher.h"
#include "skin2/temp_platform.h"

namespace vex::skin2 {
namespace {

constexpr std::uint32_t kEndSignature = 0x06054B50u;
constexpr std::size_t kEndRecordSize = 22;
constexpr std::size_t kCentralEntrySize = 46;
constexpr std::size_t kLocalHeaderSize = 30;
constexpr std::size_t kMaxNameLength = 259;
constexpr std::uint16_t kMethodDeflate = 8;

std::string UpperAscii(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

// What the central directory says of the member.
struct TMemberEntry {
  std::uint16_t flags = 0;
  std::uint16_t method = 0;
  std::uint16_t time = 0;
  std::uint32_t crc = 0;
  std::uint32_t uncompressedSize = 0;
  std::uint32_t localOffset = 0;
};

// Decrypts what it reads from the archive file.
class TDecryptingSource : public TByteSource {
 public:
  TDecryptingSource(TByteSource& base, TPkwareCipher& cipher) : base_(base), cipher_(cipher) {}
  std::size_t Read(std::uint8_t* dst, std::size_t n) override {
    std::size_t got = base_.Read(dst, n);
    cipher_.Decrypt(dst, got);
    return got;
  }

 private:
  TByteSource& base_;
  TPkwareCipher& cipher_;
};

// Writes to the destination file and refuses anything past the recorded size, so a member that
// inflates beyond what its entry declares stops at once instead of filling the disk.
class TLimitedFileSink : public TByteSink {
 public:
  TLimitedFileSink(TFile& file, std::uint64_t limit) : file_(file), limit_(limit) {}
  bool Write(const std::uint8_t* src, std::size_t n) override {
    if (n > limit_ - written_) return false;
    file_.Write(src, n);
    written_ += n;
    return true;
  }

 private:
  TFile& file_;
  std::uint64_t limit_;
  std::uint64_t written_ = 0;
};

// Returns the member's entry, or nothing when the archive is unreadable or lacks the member.
std::optional<TMemberEntry> FindMember(TFile& in, const std::string& member) {
  std::uint8_t magic[2];
  if (in.Read(magic, 2) != 2 || magic[0] != 'S' || magic[1] != 'K') return std::nullopt;

  const std::uint64_t size = in.Size();
  if (size < kEndRecordSize) return std::nullopt;
  const std::uint64_t endOffset = size - kEndRecordSize;
  std::uint8_t end[kEndRecordSize];
  in.Seek(endOffset);
  in.ReadExact(end, sizeof end);
  if (LoadLE32(end) != kEndSignature || LoadLE16(end + 20) != 0) return std::nullopt;

  const std::string wanted = UpperAscii(member);
  std::uint64_t pos = LoadLE32(end + 16);
  while (pos < endOffset) {
    std::uint8_t e[kCentralEntrySize];
    in.Seek(pos);
    in.ReadExact(e, sizeof e);
    const std::uint16_t nameLength = LoadLE16(e + 28);
    if (LoadLE16(e + 30) != 0 || LoadLE16(e + 32) != 0 || nameLength > kMaxNameLength) return std::nullopt;
    std::string name(nameLength, '\0');
    in.ReadExact(name.data(), nameLength);
    if (UpperAscii(name) == wanted) {
      TMemberEntry m;
      m.flags = LoadLE16(e + 8);
      m.method = LoadLE16(e + 10);
      m.time = LoadLE16(e + 12);
      m.crc = LoadLE32(e + 16);
      m.uncompressedSize = LoadLE32(e + 24);
      m.localOffset = LoadLE32(e + 42);
      return m;
    }
    pos += kCentralEntrySize + nameLength;
  }
  return std::nullopt;
}

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code ec;
  return std::filesystem::equivalent(a, b, ec) && !ec;
}

}  // namespace

int ExtractArchiveMember(const std::filesystem::path& archive, const std::string& member,
                         const std::filesystem::path& dest, const std::string& password) {
  bool created = false;
  int result = erUnreadable;
  try {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(archive, ec)) return erUnreadable;
    // Writing the member over its own archive would destroy the archive.
    if (SameFile(archive, dest)) return erUnreadable;
    TFile in(archive, "rb");
    std::optional<TMemberEntry> entry = FindMember(in, member);
    if (!entry || entry->method != kMethodDeflate) return erUnreadable;
    if (entry->uncompressedSize > kMaxArchiveMemberSize) return erUnreadable;

    TFile out(dest, "wb");
    created = true;
    std::uint8_t local[kLocalHeaderSize];
    in.Seek(entry->localOffset);
    in.ReadExact(local, sizeof local);
    in.Seek(std::uint64_t{entry->localOffset} + kLocalHeaderSize + LoadLE16(local + 26) + LoadLE16(local + 28));

    const bool encrypted = (entry->flags & 1u) != 0;
    TFileSource fileSource(in);
    std::optional<TPkwareCipher> cipher;
    std::optional<TDecryptingSource> decrypting;
    TByteSource* source = &fileSource;
    if (encrypted) {
      if (password.empty()) {
        result = erWrongPassword;
      } else {
        cipher.emplace(password);
        std::uint8_t header[TPkwareCipher::kHeaderSize];
        in.ReadExact(header, sizeof header);
        cipher->Decrypt(header, sizeof header);
        const std::uint8_t check = (entry->flags & 8u) ? static_cast<std::uint8_t>(entry->time >> 8)
                                                       : static_cast<std::uint8_t>(entry->crc >> 24);
        if (header[TPkwareCipher::kHeaderSize - 1] != check) {
          result = erWrongPassword;
        } else {
          decrypting.emplace(fileSource, *cipher);
          source = &*decrypting;
        }
      }
    }

    if (!encrypted || decrypting) {
      TLimitedFileSink sink(out, entry->uncompressedSize);
      const TInflateResult r = Inflate(*source, sink);
      out.Close();
      if (r.error == TInflateError::Ok && r.written == 0) {
        result = erUnreadable;
      } else if (r.error != TInflateError::Ok || r.written != entry->uncompressedSize) {
        // Behind a password that passed the one-byte check, bad data means the password was wrong.
        result = encrypted ? erWrongPassword : erUnreadable;
      } else {
        result = erExtracted;
      }
    }
  } catch (...) {
    result = erUnreadable;
  }
  if (result != erExtracted && created) RemoveFileQuietly(dest);
  return result;
}

std::filesystem::path ExtractSkinFile(const std::filesystem::path& archive, const std::string& password) {
  std::filesystem::path temp;
  try {
    temp = TempDirectory() / NewGuidString();
  } catch (const std::exception&) {
    throw EvexSkinError(kFailedToReadMessage);
  }
  switch (ExtractArchiveMember(archive, kSkinMemberName, temp, password)) {
    case erExtracted: return temp;
    case erWrongPassword: throw EvexSkinError(kWrongPasswordMessage);
    default: throw EvexSkinError(kFailedToReadMessage);
  }
}

}  // namespace vex::skin2
