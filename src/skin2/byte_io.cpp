#include "skin2/byte_io.h"

#include <cstring>
#include <system_error>

#include "skin2/temp_platform.h"

namespace vex::skin2 {
namespace {

std::FILE* OpenFile(const std::filesystem::path& path, const char* mode) {
#ifdef _WIN32
  std::wstring wmode(mode, mode + std::strlen(mode));
  return _wfopen(path.c_str(), wmode.c_str());
#else
  return std::fopen(path.c_str(), mode);
#endif
}

}  // namespace

TFile::TFile(const std::filesystem::path& path, const char* mode) : f_(OpenFile(path, mode)) {
  if (!f_) throw EIoError("cannot open " + path.u8string());
}

TFile::~TFile() {
  if (f_) std::fclose(f_);
}

TFile& TFile::operator=(TFile&& other) noexcept {
  if (this != &other) {
    if (f_) std::fclose(f_);
    f_ = other.f_;
    other.f_ = nullptr;
  }
  return *this;
}

std::size_t TFile::Read(void* dst, std::size_t n) {
  std::size_t got = std::fread(dst, 1, n, f_);
  if (got < n && std::ferror(f_)) throw EIoError("read failed");
  return got;
}

void TFile::ReadExact(void* dst, std::size_t n) {
  if (Read(dst, n) != n) throw EIoError("unexpected end of file");
}

void TFile::Write(const void* src, std::size_t n) {
  if (n && std::fwrite(src, 1, n, f_) != n) throw EIoError("write failed");
}

void TFile::Seek(std::uint64_t offset) {
#ifdef _WIN32
  int rc = _fseeki64(f_, static_cast<__int64>(offset), SEEK_SET);
#else
  int rc = fseeko(f_, static_cast<off_t>(offset), SEEK_SET);
#endif
  if (rc != 0) throw EIoError("seek failed");
}

std::uint64_t TFile::Tell() {
#ifdef _WIN32
  __int64 pos = _ftelli64(f_);
#else
  off_t pos = ftello(f_);
#endif
  if (pos < 0) throw EIoError("tell failed");
  return static_cast<std::uint64_t>(pos);
}

std::uint64_t TFile::Size() {
  std::uint64_t here = Tell();
#ifdef _WIN32
  int rc = _fseeki64(f_, 0, SEEK_END);
#else
  int rc = fseeko(f_, 0, SEEK_END);
#endif
  if (rc != 0) throw EIoError("seek failed");
  std::uint64_t size = Tell();
  Seek(here);
  return size;
}

void TFile::Flush() {
  if (f_ && std::fflush(f_) != 0) throw EIoError("write failed");
}

void TFile::Close() {
  if (!f_) return;
  std::FILE* f = f_;
  f_ = nullptr;
  if (std::fclose(f) != 0) throw EIoError("close failed");
}

std::vector<std::uint8_t> ReadWholeFile(const std::filesystem::path& path) {
  TFile f(path, "rb");
  std::uint64_t size = f.Size();
  if (size > SIZE_MAX / 2) throw EIoError("file too large");
  std::vector<std::uint8_t> data(static_cast<std::size_t>(size));
  f.ReadExact(data.data(), data.size());
  return data;
}

void WriteWholeFile(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size) {
  std::filesystem::path tmp = path;
  tmp += ".part" + NewGuidString();
  try {
    TFile f(tmp, "wb");
    f.Write(data, size);
    f.Close();
    std::error_code ec;
    std::filesystem::rename(tmp, path, ec);
    if (ec) throw EIoError("cannot write " + path.u8string() + ": " + ec.message());
  } catch (...) {
    RemoveFileQuietly(tmp);
    throw;
  }
}

void RemoveFileQuietly(const std::filesystem::path& path) noexcept {
  std::error_code ec;
  std::filesystem::remove(path, ec);
}

std::size_t TMemorySource::Read(std::uint8_t* dst, std::size_t n) {
  std::size_t avail = static_cast<std::size_t>(end_ - p_);
  if (n > avail) n = avail;
  if (n) std::memcpy(dst, p_, n);
  p_ += n;
  return n;
}

bool TMemorySink::Write(const std::uint8_t* src, std::size_t n) {
  if (n > limit_ - data_.size()) return false;
  data_.insert(data_.end(), src, src + n);
  return true;
}

void TMemoryReader::ReadAt(std::uint64_t offset, void* dst, std::size_t n) {
  if (offset > size_ || n > size_ - offset) throw EIoError("read past the end of the data");
  if (n) std::memcpy(dst, data_ + offset, n);
}

void TFileReader::ReadAt(std::uint64_t offset, void* dst, std::size_t n) {
  if (offset > size_ || n > size_ - offset) throw EIoError("read past the end of the file");
  file_.Seek(offset);
  file_.ReadExact(dst, n);
}

}  // namespace vex::skin2
