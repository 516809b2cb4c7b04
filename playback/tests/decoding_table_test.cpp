// The frame decoder's tables must decode every code exactly as walking the tree does: short
// codes from the first table, longer ones through subtables, the longest bit by bit, escape
// leaves as the recent values.
#include "playback/decoding_table.h"

#include <gtest/gtest.h>

#include <numeric>
#include <random>

#include "playback/tests/hand_video.h"

namespace {

// A tree shape over the leaf values, split unevenly at random so that codes of every length
// occur, up to about maxDepth bits.
std::string SkewedShape(std::mt19937& random, const std::vector<uint32_t>& values, size_t begin, size_t end,
                        int depth, int maxDepth) {
  const size_t n = end - begin;
  if (n == 1) return std::to_string(values[begin]);
  size_t left = n / 2;
  if (maxDepth < 0) left = 1;  // a chain: codes of every length from 1 bit up
  if (depth < maxDepth && random() % 3 == 0) left = 1;  // a long chain of rare codes
  if (depth < maxDepth && random() % 3 == 1) left = 1 + random() % (n - 1);
  return "(" + SkewedShape(random, values, begin, begin + left, depth + 1, maxDepth) + " " +
         SkewedShape(random, values, begin + left, end, depth + 1, maxDepth) + ")";
}

struct Case {
  const char* what;
  size_t leaves;
  int maxDepth;  // -1: a chain
  bool escapes;  // three of the leaves are escape leaves
};

TEST(DecodingTable, DecodesEveryCodeAsTheTreeWalkDoes) {
  const Case cases[] = {
      {"one leaf", 1, 0, false},
      {"one escape leaf", 1, 0, true},
      {"codes within the first table", 200, 12, true},
      {"codes through subtables", 3000, 24, true},
      {"codes past the tables", 3000, 60, true},
      {"a chain", 64, -1, true},
  };
  std::mt19937 random(7);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<uint32_t> values(c.leaves);
    for (size_t i = 0; i < c.leaves; ++i) values[i] = static_cast<uint32_t>(i * 37 + 5);
    hand::VideoTrees shapes;
    shapes.shapes = {"", "", SkewedShape(random, values, 0, values.size(), 0, c.maxDepth), ""};
    if (c.escapes) {
      shapes.escapes[PixelPairTree] = {static_cast<uint16_t>(values[0]), static_cast<uint16_t>(values.back()),
                                       static_cast<uint16_t>(values[c.leaves / 2])};
    }
    auto trees = shapes.Build();
    ASSERT_TRUE(trees);
    VideoTree& tree = trees->trees[PixelPairTree];
    // Within the first table and eight entries a leaf.
    EXPECT_LE(tree.codeBits.size(), (size_t{1} << kTableBits[PixelPairTree]) + 8 * c.leaves);
    EXPECT_EQ(tree.codeValues.size(), tree.codeBits.size());

    // Every leaf once, then leaves at random, escape leaves among them.
    const auto codes = hand::AllCodes(shapes.shapes[PixelPairTree]);
    std::vector<size_t> coded(codes.size());
    std::iota(coded.begin(), coded.end(), size_t{0});
    for (int i = 0; i < 4000; ++i) coded.push_back(random() % codes.size());
    hand::BitSink sink;
    for (size_t leaf : coded) sink.Text(codes[leaf].second);
    std::vector<uint8_t> chunk = sink.Bytes();
    chunk.resize(chunk.size() + 4, 0);

    BitReader walked(chunk.data(), chunk.size()), tabled(chunk.data(), chunk.size());
    TableDecoder decoder(tree);
    for (size_t i = 0; i < coded.size(); ++i) {
      const uint32_t expected = DecodeSymbol<kLookupBits[PixelPairTree]>(walked, tree);
      if (i % 2 == 0) tabled.Refill();  // as the frame decoder does: two symbols a refill
      ASSERT_EQ(decoder.Decode<kTableBits[PixelPairTree]>(tabled), expected) << "symbol " << i;
    }
    EXPECT_FALSE(tabled.Overrun());
  }
}

// Every tree's table is safe to use even when the data asks for a symbol of an absent tree.
TEST(DecodingTable, AbsentTreesYieldTheirRecentValueAndTakeNoBits) {
  hand::VideoTrees shapes;
  shapes.shapes = {"", "", "", "(1 2)"};
  auto trees = shapes.Build();
  ASSERT_TRUE(trees);
  const std::vector<uint8_t> ones(8, 0xFF);
  auto decodeFirst = [&]<VideoTreeIndex index>() {
    SCOPED_TRACE(index);
    BitReader bits(ones.data(), ones.size());
    bits.Refill();
    TableDecoder decoder(trees->trees[index]);
    EXPECT_EQ(decoder.Decode<kTableBits[index]>(bits), 0u);
    EXPECT_EQ(bits.ReadBits(8), 0xFFu);  // nothing was taken
  };
  decodeFirst.operator()<MaskTree>();
  decodeFirst.operator()<ColorPairTree>();
  decodeFirst.operator()<PixelPairTree>();
}

}  // namespace
