// Files and byte streams shared by the archive and skin file readers.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "image/little_endian.h"

namespace vex::skin2 {

// Raised when a file cannot be opened, read, written or positioned.
class EIoError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Owns one C stream. Opening with wide names on Windows keeps paths outside the ANSI code page
// working; files opened for reading stay shared with other readers and writers.
class TFile {
 public:
  TFile() = default;
  TFile(const std::filesystem::path& path, const char* mode);
  ~TFile();
  TFile(const TFile&) = delete;
  TFile& operator=(const TFile&) = delete;
  TFile(TFile&& other) noexcept : f_(other.f_) { other.f_ = nullptr; }
  TFile& operator=(TFile&& other) noexcept;

  bool IsOpen() const { return f_ != nullptr; }
  // Reads up to n bytes, returns how many were read (fewer only at the end of the file).
  std::size_t Read(void* dst, std::size_t n);
  // Reads exactly n bytes or throws.
  void ReadExact(void* dst, std::size_t n);
  void Write(const void* src, std::size_t n);
  void Seek(std::uint64_t offset);
  std::uint64_t Tell();
  std::uint64_t Size();
  // Hands buffered data to the system; throws when it could not be written.
  void Flush();
  // Flushes and closes; throws when buffered data could not be written.
  void Close();

 private:
  std::FILE* f_ = nullptr;
};

// Reads a whole file; throws EIoError when it cannot.
std::vector<std::uint8_t> ReadWholeFile(const std::filesystem::path& path);
// Writes a whole file through a temporary name in the same folder, then renames it into place,
// so a failure never leaves a partial file under the final name.
void WriteWholeFile(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size);
inline void WriteWholeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& data) {
  WriteWholeFile(path, data.data(), data.size());
}
// Removes a file if it exists; never throws.
void RemoveFileQuietly(const std::filesystem::path& path) noexcept;

// A forward stream of bytes. Read returns 0 only at the end.
class TByteSource {
 public:
  virtual ~TByteSource() = default;
  virtual std::size_t Read(std::uint8_t* dst, std::size_t n) = 0;
};

// Where decoded bytes go. Write returns false to stop the producer (for example a size limit).
class TByteSink {
 public:
  virtual ~TByteSink() = default;
  virtual bool Write(const std::uint8_t* src, std::size_t n) = 0;
};

class TMemorySource : public TByteSource {
 public:
  TMemorySource(const std::uint8_t* data, std::size_t size) : p_(data), end_(data + size) {}
  std::size_t Read(std::uint8_t* dst, std::size_t n) override;

 private:
  const std::uint8_t* p_;
  const std::uint8_t* end_;
};

class TFileSource : public TByteSource {
 public:
  explicit TFileSource(TFile& file) : file_(file) {}
  std::size_t Read(std::uint8_t* dst, std::size_t n) override { return file_.Read(dst, n); }

 private:
  TFile& file_;
};

// Collects output in memory, refusing anything past a limit.
class TMemorySink : public TByteSink {
 public:
  explicit TMemorySink(std::size_t limit = SIZE_MAX) : limit_(limit) {}
  bool Write(const std::uint8_t* src, std::size_t n) override;
  std::vector<std::uint8_t>& Data() { return data_; }

 private:
  std::size_t limit_;
  std::vector<std::uint8_t> data_;
};

// Random access to a file or a memory buffer of known size.
class TRandomReader {
 public:
  virtual ~TRandomReader() = default;
  virtual std::uint64_t Size() = 0;
  // Reads exactly n bytes at offset; throws EIoError when they are not all there.
  virtual void ReadAt(std::uint64_t offset, void* dst, std::size_t n) = 0;
};

class TMemoryReader : public TRandomReader {
 public:
  TMemoryReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::uint64_t Size() override { return size_; }
  void ReadAt(std::uint64_t offset, void* dst, std::size_t n) override;

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

class TFileReader : public TRandomReader {
 public:
  explicit TFileReader(TFile& file) : file_(file), size_(file.Size()) {}
  std::uint64_t Size() override { return size_; }
  void ReadAt(std::uint64_t offset, void* dst, std::size_t n) override;

 private:
  TFile& file_;
  std::uint64_t size_;
};

using image::LoadLE16;
using image::LoadLE32;
using image::StoreLE16;
using image::StoreLE32;

}  // namespace vex::skin2
