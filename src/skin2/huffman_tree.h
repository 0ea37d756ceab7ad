// Canonical Huffman decoding table for the DEFLATE decoder.
#pragma once

#include <cstdint>
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
  const std::vector<std::uint32_t>& Table() const { return table_; }
  const std::uint32_t* Data() const { return table_.data(); }

  static std::uint32_t Symbol(std::uint32_t entry) { return entry & 0xFFFFu; }
  static unsigned CodeLength(std::uint32_t entry) { return (entry >> 16) & 0xFFu; }
  static unsigned ExtraBits(std::uint32_t entry) { return entry >> 24; }

 private:
  int maxBits_;
  int maxLen_ = 0;
  std::vector<std::uint32_t> table_;
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
