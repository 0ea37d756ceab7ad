#include "skin2/huffman_tree.h"

#include <gtest/gtest.h>

namespace vex::skin2 {
namespace {

std::uint32_t Entry(unsigned symbol, unsigned length, unsigned extra) {
  return symbol | (length << 16) | (extra << 24);
}

TEST(HuffmanTree, FixedLiteralTableHoldsCanonicalCodesBitReversed) {
  const THuffmanTree& t = FixedLiteralTree();
  EXPECT_EQ(t.MaxBits(), 15);
  EXPECT_EQ(t.MaxLen(), 9);
  ASSERT_EQ(t.Table().size(), 512u);
  // Symbol 0: 8-bit code 00110000, stored reversed (00001100 = 12), repeated every 256 slots.
  EXPECT_EQ(t.Lookup(12), Entry(0, 8, 0));
  EXPECT_EQ(t.Lookup(12 + 256), Entry(0, 8, 0));
  // End of block: 7-bit code 0000000 fills every 128th slot from 0.
  for (unsigned i : {0u, 128u, 256u, 384u}) EXPECT_EQ(t.Lookup(i), Entry(256, 7, 0));
  // Length symbol 265 (lengths 11-12): code 0001001 reversed is 1001000 = 72, one extra bit.
  EXPECT_EQ(t.Lookup(72), Entry(265, 7, 1));
  // Symbol 255: 9-bit code 111111111.
  EXPECT_EQ(t.Lookup(511), Entry(255, 9, 0));
  // The full fixed code leaves no slot empty.
  for (std::uint32_t e : t.Table()) EXPECT_NE(e, THuffmanTree::kEmpty);
}

TEST(HuffmanTree, FixedDistanceTableCarriesExtraBits) {
  const THuffmanTree& t = FixedDistanceTree();
  EXPECT_EQ(t.MaxLen(), 5);
  // Distance symbol 29 (extra 13): code 11101 reversed is 10111 = 23.
  EXPECT_EQ(t.Lookup(23), Entry(29, 5, 13));
  EXPECT_EQ(t.Lookup(0), Entry(0, 5, 0));
}

TEST(HuffmanTree, IncompleteCodeLeavesUnreachedSlotsAllOnes) {
  const std::uint8_t lengths[] = {9, 9, 1, 2};  // symbols 0 and 1 are taken from index 2 on
  THuffmanTree t(15);
  ASSERT_TRUE(t.Build(lengths, 2, 2, 99, nullptr));
  EXPECT_EQ(t.MaxLen(), 2);
  ASSERT_EQ(t.Table().size(), 4u);
  EXPECT_EQ(t.Lookup(0), Entry(0, 1, 0));  // code 0
  EXPECT_EQ(t.Lookup(2), Entry(0, 1, 0));
  EXPECT_EQ(t.Lookup(1), Entry(1, 2, 0));  // code 10 reversed
  EXPECT_EQ(t.Lookup(3), THuffmanTree::kEmpty);
}

TEST(HuffmanTree, ExtraBitsStartAtTheExtraBase) {
  const std::uint8_t lengths[] = {2, 2, 2, 2};
  const std::uint8_t extra[] = {5, 7};
  THuffmanTree t(7);
  ASSERT_TRUE(t.Build(lengths, 0, 4, 2, extra));
  // Codes 00, 01, 10, 11 for symbols 0-3; reversed indexes 0, 2, 1, 3.
  EXPECT_EQ(t.Lookup(0), Entry(0, 2, 0));
  EXPECT_EQ(t.Lookup(1), Entry(2, 2, 5));
  EXPECT_EQ(t.Lookup(3), Entry(3, 2, 7));
}

TEST(HuffmanTree, RejectsLengthsThatCannotFormACode) {
  struct Case {
    const char* what;
    std::vector<std::uint8_t> lengths;
    int maxBits;
  };
  const Case cases[] = {
      {"three one-bit codes", {1, 1, 1}, 15},
      {"length above the tree's maximum", {8, 1}, 7},
      {"over-subscribed at depth three", {2, 2, 2, 3, 3, 3}, 15},
  };
  for (const Case& c : cases) {
    THuffmanTree t(c.maxBits);
    EXPECT_FALSE(t.Build(c.lengths.data(), 0, static_cast<int>(c.lengths.size()), 99, nullptr)) << c.what;
    EXPECT_EQ(t.Lookup(0), THuffmanTree::kEmpty) << c.what;
  }
}

TEST(HuffmanTree, NoCodesGivesOneEmptySlot) {
  const std::uint8_t lengths[30] = {};
  THuffmanTree t(15);
  ASSERT_TRUE(t.Build(lengths, 0, 30, 0, kDistanceExtraBits));
  EXPECT_EQ(t.MaxLen(), 0);
  EXPECT_EQ(t.Lookup(0), THuffmanTree::kEmpty);
}

}  // namespace
}  // namespace vex::skin2
