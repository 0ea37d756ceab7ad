#include "skin2/huffman_tree.h"

#include <algorithm>
#include <array>

namespace vex::skin2 {

const std::uint8_t kLengthExtraBits[31] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2,
                                           3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0, 0, 0};
const std::uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                       31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
const std::uint8_t kDistanceExtraBits[32] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,  6,
                                             7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13, 0, 0};
const std::uint16_t kDistanceBase[30] = {1,    2,    3,    4,    5,    7,     9,     13,    17,  25,
                                         33,   49,   65,   97,   129,  193,   257,   385,   513, 769,
                                         1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};

THuffmanTree::THuffmanTree(int maxBits) : maxBits_(maxBits) { MakeEmpty(); }

void THuffmanTree::Reserve(std::size_t entries) {
  if (entries <= capacity_) return;
  table_.reset(new std::uint32_t[entries]);
  capacity_ = entries;
}

void THuffmanTree::MakeEmpty() {
  maxLen_ = 0;
  Reserve(1);
  table_[0] = kEmpty;
}

bool THuffmanTree::Build(const std::uint8_t* lengths, int firstIndex, int count, int extraBase,
                         const std::uint8_t* extraBits) {
  std::array<int, 16> perLength{};
  int maxLen = 0;
  const std::uint8_t* len = lengths + firstIndex;
  for (int s = 0; s < count; ++s) {
    if (len[s] > maxBits_ || len[s] > 15) {
      MakeEmpty();
      return false;
    }
    ++perLength[len[s]];
    maxLen = std::max<int>(maxLen, len[s]);
  }

  // The lengths must not claim more codes than there are: left counts the codes still free.
  int left = 1;
  for (int l = 1; l <= maxLen; ++l) {
    left = (left << 1) - perLength[l];
    if (left < 0) {
      MakeEmpty();
      return false;
    }
  }

  // First canonical code of every length (RFC 1951, 3.2.2), and the symbols sorted by length.
  std::array<std::uint32_t, 16> next{};
  std::array<int, 17> start{};
  std::uint32_t code = 0;
  perLength[0] = 0;
  for (int l = 1; l <= 15; ++l) {
    code = (code + perLength[l - 1]) << 1;
    next[l] = code;
    start[l + 1] = start[l] + perLength[l];
  }
  std::array<std::uint16_t, 320> order;
  for (int s = 0; s < count; ++s)
    if (len[s]) order[start[len[s]]++] = static_cast<std::uint16_t>(s);

  // Each code of length l fills every slot whose low l bits are the code reversed. The table is
  // grown length by length: doubling a table of 2^(l-1) slots repeats every shorter code in the
  // new half, and the codes of length l then go into the slots still empty.
  Reserve(std::size_t{1} << maxLen);
  maxLen_ = maxLen;
  table_[0] = kEmpty;
  int k = 0;
  for (int l = 1; l <= maxLen; ++l) {
    const std::size_t half = std::size_t{1} << (l - 1);
    std::copy(table_.get(), table_.get() + half, table_.get() + half);
    for (int n = 0; n < perLength[l]; ++n, ++k) {
      const int s = order[static_cast<std::size_t>(k)];
      std::uint32_t c = next[l]++;
      std::uint32_t rev = 0;
      for (int i = 0; i < l; ++i) {
        rev = (rev << 1) | (c & 1u);
        c >>= 1;
      }
      const std::uint32_t extra = s >= extraBase ? extraBits[s - extraBase] : 0;
      table_[rev] = static_cast<std::uint32_t>(s) | (static_cast<std::uint32_t>(l) << 16) | (extra << 24);
    }
  }
  return true;
}

namespace {

THuffmanTree MakeFixedLiteral() {
  std::uint8_t lengths[288];
  std::fill(lengths, lengths + 144, 8);
  std::fill(lengths + 144, lengths + 256, 9);
  std::fill(lengths + 256, lengths + 280, 7);
  std::fill(lengths + 280, lengths + 288, 8);
  THuffmanTree t(15);
  t.Build(lengths, 0, 288, 257, kLengthExtraBits);
  return t;
}

THuffmanTree MakeFixedDistance() {
  std::uint8_t lengths[32];
  std::fill(lengths, lengths + 32, 5);
  THuffmanTree t(15);
  t.Build(lengths, 0, 32, 0, kDistanceExtraBits);
  return t;
}

// Built during start-up, before any decoding can ask for them.
const THuffmanTree gFixedLiteral = MakeFixedLiteral();
const THuffmanTree gFixedDistance = MakeFixedDistance();

}  // namespace

const THuffmanTree& FixedLiteralTree() { return gFixedLiteral; }
const THuffmanTree& FixedDistanceTree() { return gFixedDistance; }

}  // namespace vex::skin2
