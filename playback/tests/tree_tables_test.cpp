#include "playback/tree_tables.h"

#include <gtest/gtest.h>

#include <numeric>

#include "playback/tests/hand_video.h"

namespace {

using hand::BitSink;

// ---- Byte trees ----

TEST(ByteTree, TwoLeavesAndASingleLeafRead) {
  BitSink sink;
  sink.Text("1 0");
  sink.Bits(0x41, 8);
  sink.Text("0");
  sink.Bits(0x7E, 8);
  sink.Text("0");       // closing bit
  sink.Text("0 1 1 0");  // codes to decode: 0x41, 0x7E, 0x7E, 0x41
  BitReader bits(sink.Bytes().data(), sink.Bytes().size());
  ByteTree tree;
  ASSERT_TRUE(ReadTree(bits, tree));
  EXPECT_EQ(tree.count, 3u);
  EXPECT_EQ(DecodeByteSymbol(bits, tree), 0x41);
  EXPECT_EQ(DecodeByteSymbol(bits, tree), 0x7E);
  EXPECT_EQ(DecodeByteSymbol(bits, tree), 0x7E);
  EXPECT_EQ(DecodeByteSymbol(bits, tree), 0x41);

  BitSink single;
  single.Text("0");
  single.Bits(0x99, 8);
  single.Text("0 1");  // the trailing 1 belongs to whatever follows
  BitReader singleBits(single.Bytes().data(), single.Bytes().size());
  ASSERT_TRUE(ReadTree(singleBits, tree));
  EXPECT_EQ(DecodeByteSymbol(singleBits, tree), 0x99);  // no bits taken
  EXPECT_EQ(singleBits.ReadBit(), 1u);
}

TEST(ByteTree, DamagedDescriptionsAreRefusedAndLeaveAWalkableTree) {
  std::vector<uint32_t> all(256);
  std::iota(all.begin(), all.end(), 0u);
  std::vector<uint32_t> tooMany = all;
  tooMany.push_back(5);  // 257 leaves: 513 nodes

  struct Case {
    const char* what;
    std::string shape;
    std::string after;  // bits after the nodes, instead of the closing 0
    bool ok;
  };
  std::vector<Case> cases = {
      {"256 leaves fill 511 nodes", hand::BalancedShape(all), "0", true},
      {"more than 511 nodes", hand::BalancedShape(tooMany), "0", false},
      {"closing bit 1", "(1 2)", "1", false},
      {"cut short", "(1 (2 3))", "", false},
  };
  for (const Case& c : cases) {
    BitSink sink;
    auto putValue = [&](uint32_t value) { sink.Bits(value, 8); };
    hand::PutNodes(sink, *hand::ParseShape(c.shape), putValue);
    sink.Text(c.after);
    // Without the closing bit the stream must end exactly after the nodes.
    std::vector<uint8_t> bytes = sink.Bytes();
    size_t usable = c.after.empty() ? sink.BitCount() / 8 : bytes.size();
    BitReader bits(bytes.data(), usable);
    ByteTree tree;
    EXPECT_EQ(ReadTree(bits, tree), c.ok) << c.what;
    if (!c.ok) {
      EXPECT_EQ(tree.count, 0u) << c.what;
      EXPECT_EQ(DecodeByteSymbol(bits, tree), 0) << c.what;
    }
  }
}

// ---- Word trees ----

uint32_t Decode(BitReader& bits, DecoderTrees& trees, VideoTreeIndex index) {
  switch (index) {
    case MaskTree: return DecodeSymbol<kLookupBits[MaskTree]>(bits, trees.trees[index]);
    case ColorPairTree: return DecodeSymbol<kLookupBits[ColorPairTree]>(bits, trees.trees[index]);
    case PixelPairTree: return DecodeSymbol<kLookupBits[PixelPairTree]>(bits, trees.trees[index]);
    case TypeRunTree: return DecodeSymbol<kLookupBits[TypeRunTree]>(bits, trees.trees[index]);
  }
  return 0;
}

TEST(WordTree, SingleLeafTreeTakesNoBitsAndAbsentTreesStayUntouched) {
  hand::VideoTrees shapes;
  shapes.shapes = {"", "0x1234", "", "(3 (7 0x0102))"};
  auto trees = shapes.Build();
  ASSERT_TRUE(trees);
  EXPECT_FALSE(trees->trees[MaskTree].present);
  EXPECT_TRUE(trees->trees[ColorPairTree].present);
  for (uint32_t entry : trees->trees[ColorPairTree].lookup) ASSERT_EQ(entry, 0u);  // root, 0 bits

  hand::FrameBits frame(shapes);
  frame.Put(TypeRunTree, 7).Put(TypeRunTree, 0x0102).Put(TypeRunTree, 3);
  std::vector<uint8_t> chunk = frame.Chunk();
  BitReader bits(chunk.data(), chunk.size());
  EXPECT_EQ(Decode(bits, *trees, ColorPairTree), 0x1234u);
  EXPECT_EQ(Decode(bits, *trees, TypeRunTree), 7u);
  EXPECT_EQ(Decode(bits, *trees, ColorPairTree), 0x1234u);
  EXPECT_EQ(Decode(bits, *trees, TypeRunTree), 0x0102u);
  EXPECT_EQ(Decode(bits, *trees, TypeRunTree), 3u);
  EXPECT_FALSE(bits.Overrun());
}

// Codes longer than the lookup bits go on bit by bit from where the table left off.
TEST(WordTree, CodesLongerThanTheLookupTableDecode) {
  std::string chain = "0x4000";
  for (uint32_t depth = 20; depth-- > 0;) chain = "(" + std::to_string(depth) + " " + chain + ")";
  hand::VideoTrees shapes;
  shapes.shapes = {chain, "", chain, chain};  // 11, 12 and 8 lookup bits
  auto trees = shapes.Build();
  ASSERT_TRUE(trees);
  for (VideoTreeIndex index : {MaskTree, PixelPairTree, TypeRunTree}) {
    hand::FrameBits frame(shapes);
    for (uint32_t value = 0; value < 20; ++value) frame.Put(index, value);
    frame.Put(index, 0x4000);
    std::vector<uint8_t> chunk = frame.Chunk();
    BitReader bits(chunk.data(), chunk.size());
    for (uint32_t value = 0; value < 20; ++value) ASSERT_EQ(Decode(bits, *trees, index), value);
    EXPECT_EQ(Decode(bits, *trees, index), 0x4000u);
    EXPECT_FALSE(bits.Overrun());
  }
}

// Escape leaf i yields the tree's recent value i; recent values start at 0 and follow the rule:
// a new value moves in at the front, one equal to the front changes nothing.
TEST(WordTree, EscapeLeavesYieldTheRecentValues) {
  hand::VideoTrees shapes;
  // Escape values 0x0E00, 0x0E01, 0x0E02 are leaves of the pixel pair tree.
  shapes.shapes = {"", "", "((0x0E00 (0x0E01 0x0E02)) ((11 22) (33 44)))", ""};
  shapes.escapes[PixelPairTree] = {0x0E00, 0x0E01, 0x0E02};
  auto trees = shapes.Build();
  ASSERT_TRUE(trees);

  hand::FrameBits frame(shapes);
  const uint32_t e0 = 0x0E00, e1 = 0x0E01, e2 = 0x0E02;
  // value coded -> value expected
  std::vector<std::pair<uint32_t, uint32_t>> steps = {
      {e0, 0},    // recent: 0 0 0
      {11, 11},   // 11 0 0
      {22, 22},   // 22 11 0
      {22, 22},   // equal to the front: 22 11 0
      {e0, 22},   // 22 11 0
      {33, 33},   // 33 22 11
      {e2, 11},   // recent2 comes to the front: 11 33 22
      {e1, 33},   // 33 11 33: the shift keeps duplicates, as the writer's does
      {e2, 33},   // equal to the front: 33 11 33
      {44, 44},   // 44 33 11
      {e2, 11},   // 11 44 33
  };
  for (auto [coded, expected] : steps) frame.Put(PixelPairTree, coded);
  std::vector<uint8_t> chunk = frame.Chunk();
  BitReader bits(chunk.data(), chunk.size());
  for (size_t i = 0; i < steps.size(); ++i) {
    EXPECT_EQ(Decode(bits, *trees, PixelPairTree), steps[i].second) << "step " << i;
  }
  // A new frame starts the recent values at 0 again.
  ResetRecentValues(*trees);
  BitSink again;
  hand::PutCode(again, shapes.shapes[PixelPairTree], e0);
  BitReader againBits(again.Bytes().data(), again.Bytes().size());
  EXPECT_EQ(Decode(againBits, *trees, PixelPairTree), 0u);
}

// Trees may between them use every one of the 65536 values (nothing is reserved as a marker),
// and a single tree may hold a leaf of every value the escapes leave over.
TEST(WordTree, TreesUsingEveryValueDecode) {
  std::vector<uint32_t> lowHalf(32768), highHalf(32768);
  std::iota(lowHalf.begin(), lowHalf.end(), 0u);
  std::iota(highHalf.begin(), highHalf.end(), 32768u);
  hand::VideoTrees shapes;
  shapes.shapes = {hand::BalancedShape(lowHalf), "0", hand::BalancedShape(highHalf), "0"};
  shapes.escapes[PixelPairTree] = {0, 1, 2};  // values this tree has no leaf for
  auto trees = shapes.Build();
  ASSERT_TRUE(trees);

  // Balanced over 2^15 leaves, the code of leaf i is i itself, root branch (top bit) first.
  hand::BitSink codes;
  for (uint32_t i = 0; i < 32768; ++i) {
    for (int bit = 14; bit >= 0; --bit) codes.Bit(i >> bit & 1);
  }
  for (VideoTreeIndex index : {MaskTree, PixelPairTree}) {
    BitReader bits(codes.Bytes().data(), codes.Bytes().size());
    uint32_t base = index == MaskTree ? 0 : 32768;
    for (uint32_t i = 0; i < 32768; ++i) ASSERT_EQ(Decode(bits, *trees, index), base + i) << i;
  }
}

TEST(WordTree, EscapeValuesThatNoLeafCarriesUseSpareSlots) {
  hand::VideoTrees shapes;
  shapes.shapes = {"(1 2)", "", "", ""};
  auto trees = shapes.Build();
  ASSERT_TRUE(trees);
  const VideoTree& tree = trees->trees[MaskTree];
  ASSERT_EQ(tree.nodes.size(), 3u + 3u);
  EXPECT_EQ(tree.escape[0], 3u);
  EXPECT_EQ(tree.escape[1], 4u);
  EXPECT_EQ(tree.escape[2], 5u);
}

TEST(WordTree, DamagedDescriptionsAreRefused) {
  hand::VideoTrees good;
  good.shapes = {"(1 (2 3))", "0x0504", "", "(0x0103 0x0002)"};
  ASSERT_TRUE(good.Build());
  std::vector<uint8_t> description = good.Description();
  std::array<uint32_t, 4> sizes = good.Sizes();

  // Cut short anywhere: the last byte still holds the last tree's closing bit.
  for (size_t cut = 0; cut < description.size(); ++cut) {
    EXPECT_EQ(BuildVideoTrees(description.data(), cut, sizes.data()), nullptr) << "cut at " << cut;
  }

  // More nodes than the header size allows.
  std::array<uint32_t, 4> small = sizes;
  small[MaskTree] -= 8;
  EXPECT_EQ(BuildVideoTrees(description.data(), description.size(), small.data()), nullptr);
  small = sizes;
  small[TypeRunTree] = 0;
  EXPECT_EQ(BuildVideoTrees(description.data(), description.size(), small.data()), nullptr);

  // A present word tree without its low-byte or high-byte tree.
  for (int missing = 0; missing < 2; ++missing) {
    hand::BitSink sink;
    sink.Text("1");
    for (int sub = 0; sub < 2; ++sub) {
      if (sub == missing) {
        sink.Text("0");
      } else {
        sink.Text("1");
        hand::PutByteTree(sink, "7");
      }
    }
    sink.Bits(0xFFFF, 16);
    sink.Bits(0xFFFF, 16);
    sink.Bits(0xFFFF, 16);
    sink.Text("0 0 000");  // a leaf, closing bit, three absent trees
    std::array<uint32_t, 4> tiny = {20, 12, 12, 12};
    EXPECT_EQ(BuildVideoTrees(sink.Bytes().data(), sink.Bytes().size(), tiny.data()), nullptr);
  }

  // Two leaves carrying the same escape value.
  hand::VideoTrees twice;
  twice.shapes = {"(5 5)", "", "", ""};
  twice.escapes[MaskTree] = {5, 0xFFFE, 0xFFFF};
  EXPECT_EQ(twice.Build(), nullptr);
}

// ---- Colour remapping ----

TEST(RemapTreeColors, MapsStoredColoursAndANewTableReplacesTheOldOne) {
  hand::VideoTrees shapes;
  shapes.shapes = {"(0x0102 0x0304)", "(0x0102 0x0304)", "(0x0506 0x0001)",
                   "((0x0503 0x0502) (0x0501 0x0500))"};
  auto trees = shapes.Build();
  ASSERT_TRUE(trees);

  auto decodeAll = [&] {
    ResetRecentValues(*trees);
    hand::FrameBits frame(shapes);
    frame.Put(MaskTree, 0x0304).Put(ColorPairTree, 0x0102).Put(PixelPairTree, 0x0506);
    for (uint32_t v : {0x0503, 0x0502, 0x0501, 0x0500}) frame.Put(TypeRunTree, v);
    std::vector<uint8_t> chunk = frame.Chunk();
    BitReader bits(chunk.data(), chunk.size());
    std::vector<uint32_t> out;
    out.push_back(Decode(bits, *trees, MaskTree));
    out.push_back(Decode(bits, *trees, ColorPairTree));
    out.push_back(Decode(bits, *trees, PixelPairTree));
    for (int i = 0; i < 4; ++i) out.push_back(Decode(bits, *trees, TypeRunTree));
    return out;
  };
  const std::vector<uint32_t> original = decodeAll();

  uint8_t identity[256], plusTen[256], timesTwo[256];
  for (int i = 0; i < 256; ++i) {
    identity[i] = static_cast<uint8_t>(i);
    plusTen[i] = static_cast<uint8_t>(i + 10);
    timesTwo[i] = static_cast<uint8_t>(2 * i);
  }
  EXPECT_EQ(RemapTreeColors(*trees, identity), 1);
  EXPECT_EQ(decodeAll(), original);

  // Masks stay, pairs map both bytes, only solid runs (type 3) have their colour mapped.
  const std::vector<uint32_t> mappedPlusTen = {0x0304, 0x0B0C, 0x0F10, 0x0F03, 0x0502, 0x0501, 0x0500};
  RemapTreeColors(*trees, plusTen);
  EXPECT_EQ(decodeAll(), mappedPlusTen);
  // A later table maps from the stored colours again (as after a second palette change).
  RemapTreeColors(*trees, timesTwo);
  EXPECT_EQ(decodeAll(), (std::vector<uint32_t>{0x0304, 0x0204, 0x0A0C, 0x0A03, 0x0502, 0x0501, 0x0500}));
  RemapTreeColors(*trees, plusTen);
  EXPECT_EQ(decodeAll(), mappedPlusTen);
}

TEST(RemapTreeColors, RecentValuesStartAtMappedColourZeroAndFollowStoredValues) {
  hand::VideoTrees shapes;
  // Colour pairs 0x0101 and 0x0202 both map to 0x0707; escapes 0x0E00..0x0E02 are leaves.
  shapes.shapes = {"", "((0x0E00 0x0E01) (0x0E02 (0x0303 (0x0101 0x0202))))", "", ""};
  shapes.escapes[ColorPairTree] = {0x0E00, 0x0E01, 0x0E02};
  auto trees = shapes.Build();
  ASSERT_TRUE(trees);
  uint8_t table[256];
  for (int i = 0; i < 256; ++i) table[i] = static_cast<uint8_t>(i == 1 || i == 2 ? 7 : 40 + i);
  RemapTreeColors(*trees, table);

  hand::FrameBits frame(shapes);
  for (uint32_t v : {0x0E00u, 0x0303u, 0x0101u, 0x0202u, 0x0E02u}) frame.Put(ColorPairTree, v);
  std::vector<uint8_t> chunk = frame.Chunk();
  BitReader bits(chunk.data(), chunk.size());
  EXPECT_EQ(Decode(bits, *trees, ColorPairTree), 0x2828u);  // recent start: colour 0 mapped
  EXPECT_EQ(Decode(bits, *trees, ColorPairTree), 0x2B2Bu);
  EXPECT_EQ(Decode(bits, *trees, ColorPairTree), 0x0707u);
  EXPECT_EQ(Decode(bits, *trees, ColorPairTree), 0x0707u);  // a different stored pair: it moves in
  EXPECT_EQ(Decode(bits, *trees, ColorPairTree), 0x2B2Bu);  // so recent2 is still 0x0303
}

}  // namespace
