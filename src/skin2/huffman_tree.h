// Canonical Huffman decoding table for the DEFLATE decoder.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace vex::skin2 {

// One decoding table, indexed by the next MaxLen bits of input (least-significant bit first).
// An entry packs the symbol (bits 0-15), the code length (bits 16-23) and the number of extra
// bits that follow the code (bits 24-31); a slot that no code reaches holds all ones.
class THuffmanTree {
 public:
  static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;

  // maxBits: the longest code length the table accepts (7 for code lengths, 15 otherwise).
  explicit THuffmanTree(int maxBits);
  THuffmanTree(THuffmanTree&&) = default;

  // Builds the table from the code lengths of `count` symbols, taken from lengths[firstIndex...].
  // A symbol at or above extraBase takes its extra-bit count from extraBits[symbol - extraBase].
  // Returns false, leaving an empty table, when a length exceeds MaxBits or the lengths describe
  // more codes than the code space holds.
  bool Build(const std::uint8_t* lengths, int firstIndex, int count, int extraBase,
             const std::uint8_t* extraBits);

  std::uint32_t Lookup(std::uint32_t index) const { return table_[index]; }
  int MaxBits() const { return maxBits_; }
  // The longest code length present; the table has 2^MaxLen entries.
  int MaxLen() const { return maxLen_; }
  std::vector<std::uint32_t> Table() const { return std::vector<std::uint32_t>(table_.get(), table_.get() + Size()); }
  std::size_t Size() const { return std::size_t{1} << maxLen_; }
  const std::uint32_t* Data() const { return table_.get(); }

  static std::uint32_t Symbol(std::uint32_t entry) { return entry & 0xFFFFu; }
  static unsigned CodeLength(std::uint32_t entry) { return (entry >> 16) & 0xFFu; }
  static unsigned ExtraBits(std::uint32_t entry) { return entry >> 24; }

 private:
  void Reserve(std::size_t entries);
  void MakeEmpty();

  int maxBits_;
  int maxLen_ = 0;
  // Storage is kept between builds (the decoder rebuilds its tables for every block) and grown
  // without being cleared first: every entry is written by Build.
  std::unique_ptr<std::uint32_t[]> table_;
  std::size_t capacity_ = 0;
};

// The RFC 1951 fixed literal/length and distance tables, built once and shared.
const THuffmanTree& FixedLiteralTree();
const THuffmanTree& FixedDistanceTree();

// Extra bits and bases of the length symbols 257-285 (plus the two unused fixed-code symbols).
extern const std::uint8_t kLengthExtraBits[31];
extern const std::uint16_t kLengthBase[29];
// Extra bits and bases of the distance symbols 0-29 (plus the two unused fixed-code symbols).
extern const std::uint8_t kDistanceExtraBits[32];
extern const std::uint16_t kDistanceBase[30];

}  // namespace vex::skin2
