#include "toolsupport/coding/huff_tree.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "toolsupport/tests/tree_reader.h"

namespace {

using namespace toolsupport;
using tree_reader::BitString;

std::string Bits(uint32_t value, int count) { return tree_reader::ValueBits(value, count); }

std::string StreamBits(const MemoryBitOutput& out) {
  std::vector<uint8_t> bytes = out.Bytes();
  bytes.push_back(out.partial_byte);
  return BitString(bytes, out.BitCount());
}

// Counts, builds and writes a stream the way every coder uses a tree.
int CodeSymbols(HuffTree& tree, const std::vector<uint32_t>& symbols) {
  tree.ResetCounts();
  for (uint32_t s : symbols) tree.Count(s);
  int size = tree.Build();
  if (size < 0) return size;
  for (uint32_t s : symbols) EXPECT_TRUE(tree.WriteSymbol(s));
  return size;
}

TEST(HuffTreeDescription, AbsentTreesCostOneBit) {
  for (bool eight_bit : {true, false}) {
    MemoryBitOutput out;
    HuffTree tree(&out, eight_bit);
    EXPECT_EQ(tree.Build(), 12);
    EXPECT_EQ(StreamBits(out), "0");
  }
}

TEST(HuffTreeDescription, SingleByteSymbolIsALeafWithoutCodeBits) {
  MemoryBitOutput out;
  HuffTree tree(&out, true);
  EXPECT_EQ(CodeSymbols(tree, {0x41, 0x41, 0x41, 0x41, 0x41}), 20);
  EXPECT_EQ(StreamBits(out), "1" "0" + Bits(0x41, 8) + "0");
}

TEST(HuffTreeDescription, TwoByteSymbolsGetOneBitEach) {
  MemoryBitOutput out;
  HuffTree tree(&out, true);
  // The more frequent symbol is the first child (branch 0).
  EXPECT_EQ(CodeSymbols(tree, {0x80, 0x03, 0x03, 0x03}), 24);
  EXPECT_EQ(StreamBits(out), "1" "1" "0" + Bits(0x03, 8) + "0" + Bits(0x80, 8) + "0" + "1000");

  // Equal counts: the lower value is the first child.
  out.Clear();
  EXPECT_EQ(CodeSymbols(tree, {9, 5}), 24);
  EXPECT_EQ(StreamBits(out), "1" "1" "0" + Bits(5, 8) + "0" + Bits(9, 8) + "0" + "10");
}

TEST(HuffTreeDescription, SingleWordSymbolDescribesSubTreesAndEscapes) {
  MemoryBitOutput out;
  HuffTree tree(&out, false);
  EXPECT_EQ(CodeSymbols(tree, {0x1234, 0x1234}), 20);
  std::string low = "1" "0" + Bits(0x34, 8) + "0";
  std::string high = "1" "0" + Bits(0x12, 8) + "0";
  std::string escapes = Bits(0, 16) + Bits(1, 16) + Bits(2, 16);
  EXPECT_EQ(StreamBits(out), "1" + low + high + escapes + "0" "0");
  EXPECT_EQ(out.BitCount(), 73u);
}

// The byte sub-trees weigh each byte once for every leaf value that holds it: a low byte that
// three values share gets the one-bit code, ahead of two bytes that one value each holds.
TEST(HuffTreeDescription, ByteSubTreesWeighEachByteByTheValuesThatHoldIt) {
  MemoryBitOutput out;
  HuffTree tree(&out, false);
  CodeSymbols(tree, {0x0109, 0x0209, 0x0309, 0x0405, 0x0507});
  // Weights 9: 3, 5: 1, 7: 1. The root's first child is 9 (code 0); 5 and 7 share the other.
  const std::string low = "1" "1" "0" + Bits(9, 8) + "1" "0" + Bits(5, 8) + "0" + Bits(7, 8) + "0";
  EXPECT_EQ(StreamBits(out).substr(0, 1 + low.size()), "1" + low);
}

// A and B alternate, so that B, A, B, ... each repeat the value before the last:
// the recent-value slot 1 is hit once per symbol after the first two.
std::vector<uint32_t> Alternating(int hits) {
  std::vector<uint32_t> symbols;
  for (int i = 0; i < hits + 2; ++i) symbols.push_back(i % 2 ? 0x0304 : 0x0102);
  return symbols;
}

TEST(HuffTreeDescription, EscapeHitThirtyTwoTimesGetsACodeAndIsUsed) {
  MemoryBitOutput out;
  HuffTree tree(&out, false);
  EXPECT_EQ(CodeSymbols(tree, Alternating(32)), 32);
  // Leaf values 0x0001 (escape 1), 0x0102, 0x0304. Low bytes 1, 2, 4: codes 1, 00, 01.
  std::string low = "1" "1" "1" "0" + Bits(2, 8) + "0" + Bits(4, 8) + "0" + Bits(1, 8) + "0";
  // High bytes 0, 1, 3: codes 1, 00, 01.
  std::string high = "1" "1" "1" "0" + Bits(1, 8) + "0" + Bits(3, 8) + "0" + Bits(0, 8) + "0";
  std::string escapes = Bits(0, 16) + Bits(1, 16) + Bits(2, 16);
  // Root: escape leaf (code 0), then an inner node with A (10) and B (11).
  std::string word = "1" "0" "1" "1" "1" "0" "00" "00" "0" "01" "01" "0";
  std::string codes = "10" "11" + std::string(32, '0');
  EXPECT_EQ(StreamBits(out), "1" + low + high + escapes + word + codes);
}

TEST(HuffTreeDescription, EscapeHitThirtyOneTimesIsNeverWritten) {
  MemoryBitOutput out;
  HuffTree tree(&out, false);
  EXPECT_EQ(CodeSymbols(tree, Alternating(31)), 24);
  std::string low = "1" "1" "0" + Bits(2, 8) + "0" + Bits(4, 8) + "0";
  std::string high = "1" "1" "0" + Bits(1, 8) + "0" + Bits(3, 8) + "0";
  std::string escapes = Bits(0, 16) + Bits(1, 16) + Bits(2, 16);
  std::string word = "1" "0" "0" "0" "0" "1" "1" "0";
  std::string codes;
  for (int i = 0; i < 33; ++i) codes += i % 2 ? "1" : "0";
  EXPECT_EQ(StreamBits(out), "1" + low + high + escapes + word + codes);
}

// Symbols with Fibonacci counts make the deepest possible tree: n symbols, n - 1 levels.
std::vector<uint32_t> FibonacciSymbols(int n) {
  std::vector<uint32_t> symbols;
  uint64_t a = 1, b = 1;
  for (int s = 0; s < n; ++s) {
    symbols.insert(symbols.end(), a, static_cast<uint32_t>(s));
    uint64_t next = a + b;
    a = b;
    b = next;
  }
  return symbols;
}

TEST(HuffTreeBuild, CodesUpToThirtyBitsAndNoLonger) {
  MemoryBitOutput out;
  HuffTree tree(&out, true);
  EXPECT_EQ(CodeSymbols(tree, FibonacciSymbols(31)), 16 + 8 * 30);
  EXPECT_EQ(tree.CodeLength(0), 30);
  EXPECT_FALSE(tree.Failed());

  out.Clear();
  tree.ResetCounts();
  for (uint32_t s : FibonacciSymbols(32)) tree.Count(s);
  EXPECT_EQ(tree.Build(), -1);
  EXPECT_TRUE(tree.Failed());
  EXPECT_EQ(out.BitCount(), 0u);
  EXPECT_FALSE(tree.WriteSymbol(0));
}

TEST(HuffTreeBuild, WordTreeFailsOnlyWhenNoValueIsLeftForAnEscape) {
  MemoryBitOutput out;
  HuffTree tree(&out, false);
  std::vector<uint32_t> all(65536);
  for (uint32_t v = 0; v < 65536; ++v) all[v] = v;
  tree.ResetCounts();
  for (uint32_t s : all) tree.Count(s);
  EXPECT_EQ(tree.Build(), -1);
  EXPECT_EQ(out.BitCount(), 0u);

  // Two free values are not enough for three escapes either.
  tree.ResetCounts();
  for (uint32_t v = 2; v < 65536; ++v) tree.Count(v);
  EXPECT_EQ(tree.Build(), -1);

  // Three free values (0, 1, 2) are.
  std::vector<uint32_t> most(all.begin() + 3, all.end());
  int size = CodeSymbols(tree, most);
  ASSERT_EQ(size, 16 + 8 * (65533 - 1));
  out.AlignBits();
  tree_reader::BitReader in(out.Bytes());
  tree_reader::Tree read = tree_reader::ReadWordTree(in);
  for (uint32_t s : most) ASSERT_EQ(tree_reader::DecodeSymbol(in, read), s);
}

TEST(HuffTreeBuild, RebuildGivesTheSameDescriptionAndSize) {
  MemoryBitOutput out;
  HuffTree tree(&out, false);
  std::vector<uint32_t> symbols = Alternating(40);
  symbols.insert(symbols.end(), {7, 7, 9, 1000, 7});
  tree.ResetCounts();
  for (uint32_t s : symbols) tree.Count(s);
  int first = tree.Build();
  std::string first_description = StreamBits(out);
  for (uint32_t s : symbols) tree.WriteSymbol(s);
  EXPECT_GT(tree.BitsWritten(), 0u);
  out.Clear();
  EXPECT_EQ(tree.Build(), first);
  EXPECT_EQ(StreamBits(out), first_description);
}

// Round trips: every symbol decodes as written, the codes fill the code space
// exactly, and the returned size matches the tree that is read back.
void CheckRoundTrip(const std::vector<std::vector<uint32_t>>& units, bool eight_bit) {
  MemoryBitOutput out;
  HuffTree tree(&out, eight_bit);
  std::vector<int> sizes;
  for (const auto& symbols : units) {
    uint64_t before = out.BitCount();
    sizes.push_back(CodeSymbols(tree, symbols));
    ASSERT_GE(sizes.back(), 0);
    uint32_t leaves = 0;
    double kraft = 0;
    for (uint32_t symbol = 0; symbol < (eight_bit ? 256u : 65536u); ++symbol) {
      const uint8_t length = tree.CodeLength(symbol);
      if (length == kNoCode) continue;
      ++leaves;
      kraft += std::ldexp(1.0, -length);
    }
    if (leaves > 1) {
      EXPECT_DOUBLE_EQ(kraft, 1.0);
    }
    EXPECT_LE(tree.BitsWritten(), out.BitCount() - before);
  }
  out.AlignBits();
  tree_reader::BitReader in(out.Bytes());
  for (size_t u = 0; u < units.size(); ++u) {
    tree_reader::Tree read = eight_bit ? tree_reader::ReadByteTree(in) : tree_reader::ReadWordTree(in);
    int expected_size = !read.present ? 12 : read.nodes.size() == 1 ? 20 : 16 + 8 * static_cast<int>(read.inner_nodes());
    EXPECT_EQ(sizes[u], expected_size);
    for (uint32_t s : units[u]) ASSERT_EQ(tree_reader::DecodeSymbol(in, read), s) << "unit " << u;
  }
  EXPECT_LT(out.BitCount() - in.position(), 8u);
}

std::vector<uint32_t> RandomUnit(std::mt19937& rng, uint32_t alphabet, uint32_t limit, size_t count) {
  std::vector<uint32_t> values(alphabet);
  for (auto& v : values) v = rng() % limit;
  std::vector<uint32_t> symbols;
  std::geometric_distribution<uint32_t> skew(0.05);
  for (size_t i = 0; i < count; ++i) {
    if (symbols.size() >= 3 && rng() % 3 == 0) {
      symbols.push_back(symbols[symbols.size() - 1 - rng() % 3]);  // a recent value again
    } else {
      symbols.push_back(values[skew(rng) % alphabet]);
    }
  }
  return symbols;
}

TEST(HuffTreeRoundTrip, ByteTreesOfManyShapes) {
  std::mt19937 rng(3);
  std::vector<std::vector<uint32_t>> units = {{}, {0}, {255, 255}, {1, 2}};
  for (uint32_t alphabet : {1u, 2u, 3u, 17u, 256u, 256u}) units.push_back(RandomUnit(rng, alphabet, 256, 3000));
  CheckRoundTrip(units, true);
}

TEST(HuffTreeRoundTrip, WordTreesWithEscapes) {
  std::mt19937 rng(5);
  std::vector<std::vector<uint32_t>> units = {{}, {0}, {0, 0, 0}, {65535, 0, 65535}, Alternating(100)};
  for (uint32_t alphabet : {1u, 2u, 5u, 300u, 5000u}) {
    units.push_back(RandomUnit(rng, alphabet, 65536, 4000));
    units.push_back(RandomUnit(rng, alphabet, 4, 4000));  // values around 0, the first recent value
  }
  CheckRoundTrip(units, false);
}

}  // namespace
