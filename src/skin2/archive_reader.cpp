#include "skin2/archive_reader.h"

#include <algorithm>
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
constexpr std::size_t kReserveAtOnce = std::size_t{1} << 20;

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

// Returns the member's entry, or nothing when the archive is unreadable or lacks the member.
std::optional<TMemberEntry> FindMember(TRandomReader& in, const std::string& member) {
  std::uint8_t magic[2];
  const std::uint64_t size = in.Size();
  if (size < 2) return std::nullopt;
  in.ReadAt(0, magic, 2);
  if (magic[0] != 'S' || magic[1] != 'K') return std::nullopt;

  if (size < kEndRecordSize) return std::nullopt;
  const std::uint64_t endOffset = size - kEndRecordSize;
  std::uint8_t end[kEndRecordSize];
  in.ReadAt(endOffset, end, sizeof end);
  if (LoadLE32(end) != kEndSignature || LoadLE16(end + 20) != 0) return std::nullopt;

  const std::string wanted = UpperAscii(member);
  std::uint64_t pos = LoadLE32(end + 16);
  char name[kMaxNameLength];
  while (pos < endOffset) {
    std::uint8_t e[kCentralEntrySize];
    in.ReadAt(pos, e, sizeof e);
    const std::uint16_t nameLength = LoadLE16(e + 28);
    if (LoadLE16(e + 30) != 0 || LoadLE16(e + 32) != 0 || nameLength > kMaxNameLength) return std::nullopt;
    in.ReadAt(pos + kCentralEntrySize, name, nameLength);
    if (UpperAscii(std::string(name, nameLength)) == wanted) {
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

// The bytes of an archive from one read of the whole file, or, for a large archive, from the
// file as they are asked for.
class TArchiveInput {
 public:
  TArchiveInput(const std::filesystem::path& path, std::uint64_t readWholeLimit) : file_(path, "rb") {
    const std::uint64_t size = file_.Size();
    if (size <= readWholeLimit) {
      bytes_.resize(static_cast<std::size_t>(size));
      file_.ReadExact(bytes_.data(), bytes_.size());
      file_.Close();
      memory_.emplace(bytes_.data(), bytes_.size());
      reader_ = &*memory_;
    } else {
      fileReader_.emplace(file_);
      reader_ = &*fileReader_;
    }
  }
  TRandomReader& Reader() { return *reader_; }
  // A stream of the bytes from `offset` to the end of the archive.
  TByteSource& From(std::uint64_t offset) {
    if (memory_) {
      const std::size_t at = static_cast<std::size_t>(std::min<std::uint64_t>(offset, bytes_.size()));
      memorySource_.emplace(bytes_.data() + at, bytes_.size() - at);
      return *memorySource_;
    }
    file_.Seek(offset);
    fileSource_.emplace(file_);
    return *fileSource_;
  }

 private:
  TFile file_;
  std::vector<std::uint8_t> bytes_;
  std::optional<TMemoryReader> memory_;
  std::optional<TFileReader> fileReader_;
  std::optional<TMemorySource> memorySource_;
  std::optional<TFileSource> fileSource_;
  TRandomReader* reader_ = nullptr;
};

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code ec;
  return std::filesystem::equivalent(a, b, ec) && !ec;
}

}  // namespace

int ReadArchiveMember(const std::filesystem::path& archive, const std::string& member, const std::string& password,
                      std::vector<std::uint8_t>& out, const std::function<void()>& openOutput,
                      std::uint64_t readWholeLimit) {
  out.clear();
  int result = erUnreadable;
  try {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(archive, ec)) return erUnreadable;
    TArchiveInput in(archive, readWholeLimit);
    std::optional<TMemberEntry> entry = FindMember(in.Reader(), member);
    if (!entry || entry->method != kMethodDeflate) return erUnreadable;
    if (entry->uncompressedSize > kMaxArchiveMemberSize) return erUnreadable;

    if (openOutput) openOutput();
    std::uint8_t local[kLocalHeaderSize];
    in.Reader().ReadAt(entry->localOffset, local, sizeof local);
    std::uint64_t dataOffset = std::uint64_t{entry->localOffset} + kLocalHeaderSize + LoadLE16(local + 26) + LoadLE16(local + 28);

    const bool encrypted = (entry->flags & 1u) != 0;
    std::optional<TPkwareCipher> cipher;
    if (encrypted) {
      if (password.empty()) return erWrongPassword;
      cipher.emplace(password);
      std::uint8_t header[TPkwareCipher::kHeaderSize];
      in.Reader().ReadAt(dataOffset, header, sizeof header);
      dataOffset += sizeof header;
      cipher->Decrypt(header, sizeof header);
      const std::uint8_t check = (entry->flags & 8u) ? static_cast<std::uint8_t>(entry->time >> 8)
                                                     : static_cast<std::uint8_t>(entry->crc >> 24);
      if (header[TPkwareCipher::kHeaderSize - 1] != check) return erWrongPassword;
    }

    TByteSource& data = in.From(dataOffset);
    std::optional<TDecryptingSource> decrypting;
    if (cipher) decrypting.emplace(data, *cipher);
    // The sink refuses anything past the recorded size, so a member that inflates beyond what its
    // entry declares stops at once.
    TMemorySink sink(entry->uncompressedSize);
    // Room for what the entry declares, up to a skin's usual size at once: a declared size is not
    // yet a promise the data keep.
    sink.Data().reserve(std::min<std::size_t>(entry->uncompressedSize, kReserveAtOnce));
    const TInflateResult r = Inflate(decrypting ? static_cast<TByteSource&>(*decrypting) : data, sink);
    if (r.error == TInflateError::Ok && r.written == 0) {
      result = erUnreadable;
    } else if (r.error != TInflateError::Ok || r.written != entry->uncompressedSize) {
      // Behind a password that passed the one-byte check, bad data means the password was wrong.
      result = encrypted ? erWrongPassword : erUnreadable;
    } else {
      out = std::move(sink.Data());
      result = erExtracted;
    }
  } catch (...) {
    result = erUnreadable;
  }
  if (result != erExtracted) out.clear();
  return result;
}

int ExtractArchiveMember(const std::filesystem::path& archive, const std::string& member,
                         const std::filesystem::path& dest, const std::string& password) {
  // Writing the member over its own archive would destroy the archive.
  if (SameFile(archive, dest)) return erUnreadable;
  std::optional<TFile> output;
  std::vector<std::uint8_t> bytes;
  int result = ReadArchiveMember(archive, member, password, bytes, [&] { output.emplace(dest, "wb"); });
  if (result == erExtracted) {
    try {
      output->Write(bytes.data(), bytes.size());
      output->Close();
    } catch (...) {
      result = erUnreadable;
    }
  }
  if (result != erExtracted && output) {
    output.reset();
    RemoveFileQuietly(dest);
  }
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

TExtractedSkinFile ExtractSkinFileToMemory(const std::filesystem::path& archive, const std::string& password) {
  std::filesystem::path temp;
  try {
    temp = TempDirectory() / NewGuidString();
  } catch (const std::exception&) {
    throw EvexSkinError(kFailedToReadMessage);
  }
  // The file is made where an extraction makes its output and filled once the member is
  // inflated; a failure removes it with the object.
  TExtractedSkinFile x;
  const int result =
      ReadArchiveMember(archive, kSkinMemberName, password, x.bytes, [&] { x.file = TTempFile(temp); });
  if (result == erWrongPassword) throw EvexSkinError(kWrongPasswordMessage);
  if (result != erExtracted) throw EvexSkinError(kFailedToReadMessage);
  try {
    x.file.Write(x.bytes.data(), x.bytes.size());
  } catch (const std::exception&) {
    throw EvexSkinError(kFailedToReadMessage);
  }
  return x;
}

}  // namespace vex::skin2
