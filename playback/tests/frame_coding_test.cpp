#include "frame_coding.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

#include "frame_decoder.h"
#include "hand_video.h"

namespace {

using Symbols = std::vector<std::pair<VideoTreeIndex, uint16_t>>;

Symbols Walk(const std::vector<BlockCode>& blocks) {
  Symbols symbols;
  WalkFrameSymbols(blocks, [&](VideoTreeIndex tree, uint16_t symbol) { symbols.emplace_back(tree, symbol); });
  return symbols;
}

std::vector<uint32_t> RunLengthsOf(const Symbols& symbols) {
  std::vector<uint32_t> lengths;
  for (auto [tree, symbol] : symbols) {
    if (tree == TypeRunTree) lengths.push_back(RunLengthTable[symbol >> 2 & 63]);
  }
  return lengths;
}

BlockCode Solid(uint8_t color) {
  BlockCode block;
  block.type = SolidBlock;
  block.solidColor = color;
  return block;
}

TEST(FrameCoding, RunsAreCutIntoPiecesTheRunCodesExpress) {
  auto unchanged = [](size_t n) { return std::vector<BlockCode>(n); };
  EXPECT_EQ(RunLengthsOf(Walk(unchanged(100))), (std::vector<uint32_t>{59, 41}));
  EXPECT_EQ(RunLengthsOf(Walk(unchanged(128))), (std::vector<uint32_t>{128}));
  EXPECT_EQ(RunLengthsOf(Walk(unchanged(127))), (std::vector<uint32_t>{59, 59, 9}));
  EXPECT_EQ(RunLengthsOf(Walk(unchanged(4000))), (std::vector<uint32_t>{2048, 1024, 512, 256, 128, 32}));
  EXPECT_EQ(Walk(unchanged(128)), (Symbols{{TypeRunTree, 59 * 4 + 2}}));
  EXPECT_EQ(Walk(unchanged(2048)), (Symbols{{TypeRunTree, 63 * 4 + 2}}));
  for (uint32_t code = 0; code < 64; ++code) EXPECT_EQ(RunCode(RunLengthTable[code]), code);
}

TEST(FrameCoding, EachBlockKindBringsItsSymbolsInStreamOrder) {
  BlockCode two;
  two.type = TwoColorBlock;
  two.colorPair = 0x0504;
  two.mask = 0x0001;
  BlockCode full;
  full.type = FullBlock;
  for (int i = 0; i < 16; ++i) full.pixels[i] = static_cast<uint8_t>(i);
  std::vector<BlockCode> blocks = {Solid(7), Solid(7), Solid(8), full, two, two, BlockCode{}};
  Symbols expected = {
      {TypeRunTree, 7 << 8 | 1 << 2 | 3},  // two solid blocks of colour 7
      {TypeRunTree, 8 << 8 | 0 << 2 | 3},  // a new colour is a new run
      {TypeRunTree, 0 << 2 | 1},
      {PixelPairTree, 0x0302}, {PixelPairTree, 0x0100}, {PixelPairTree, 0x0706}, {PixelPairTree, 0x0504},
      {PixelPairTree, 0x0B0A}, {PixelPairTree, 0x0908}, {PixelPairTree, 0x0F0E}, {PixelPairTree, 0x0D0C},
      {TypeRunTree, 1 << 2 | 0},
      {ColorPairTree, 0x0504}, {MaskTree, 0x0001},
      {ColorPairTree, 0x0504}, {MaskTree, 0x0001},
      {TypeRunTree, 0 << 2 | 2},
  };
  EXPECT_EQ(Walk(blocks), expected);
}

// ---- Round trip: walk -> hand-coded bits -> decoder ----

// What the blocks make of a picture (8-bit, top-down, width / 4 blocks a row).
void Render(const std::vector<BlockCode>& blocks, uint32_t width, std::vector<uint8_t>& picture) {
  uint32_t perRow = width / 4;
  for (size_t b = 0; b < blocks.size(); ++b) {
    for (uint32_t row = 0; row < 4; ++row) {
      for (uint32_t column = 0; column < 4; ++column) {
        const BlockCode& block = blocks[b];
        uint8_t& pixel = picture[(b / perRow * 4 + row) * width + b % perRow * 4 + column];
        if (block.type == SolidBlock) pixel = block.solidColor;
        if (block.type == FullBlock) pixel = block.pixels[4 * row + column];
        if (block.type == TwoColorBlock) {
          pixel = static_cast<uint8_t>(block.mask >> (4 * row + column) & 1 ? block.colorPair >> 8 : block.colorPair);
        }
      }
    }
  }
}

// Blocks in runs of random kinds and lengths (short, around the long run codes, up to the frame).
std::vector<BlockCode> RandomBlocks(std::mt19937& random, size_t count) {
  std::vector<BlockCode> blocks;
  const uint32_t lengths[] = {1, 2, 58, 59, 60, 127, 128, 129, 255, 256, 600, 1100, 2100};
  while (blocks.size() < count) {
    uint32_t length = random() % 3 ? 1 + random() % 8 : lengths[random() % std::size(lengths)];
    auto type = static_cast<BlockType>(random() % 4);
    uint8_t color = static_cast<uint8_t>(random() % 5);
    for (uint32_t i = 0; i < length && blocks.size() < count; ++i) {
      BlockCode block;
      block.type = type;
      block.solidColor = color;
      block.colorPair = static_cast<uint16_t>(random() % 4 ? random() : 0x0101);
      block.mask = static_cast<uint16_t>(random());
      for (uint8_t& pixel : block.pixels) pixel = static_cast<uint8_t>(random() % 6);
      blocks.push_back(block);
    }
  }
  return blocks;
}

// Codes the walk's symbols with balanced trees over the symbols each tree needs.
struct HandCoded {
  hand::VideoTrees shapes;
  std::vector<uint8_t> chunk;
};

HandCoded Code(const std::vector<BlockCode>& blocks) {
  Symbols symbols = Walk(blocks);
  std::array<std::set<uint32_t>, 4> used;
  for (auto [tree, symbol] : symbols) used[tree].insert(symbol);
  HandCoded coded;
  std::array<std::map<uint32_t, std::string>, 4> codes;
  for (int t = 0; t < 4; ++t) {
    if (used[t].empty()) continue;
    std::vector<uint32_t> values(used[t].begin(), used[t].end());
    coded.shapes.shapes[t] = hand::BalancedShape(values);
    coded.shapes.escapes[t] = {0, 0, 0};
    for (uint32_t e = 0; e < 3; ++e) {  // escape values that are no leaf
      uint32_t v = e ? coded.shapes.escapes[t][e - 1] + 1u : 0u;
      while (used[t].count(v)) ++v;
      coded.shapes.escapes[t][e] = static_cast<uint16_t>(v);
    }
    for (auto& [value, code] : hand::AllCodes(coded.shapes.shapes[t])) codes[t][value] = code;
  }
  hand::BitSink sink;
  for (auto [tree, symbol] : symbols) sink.Text(codes[tree][symbol]);
  coded.chunk = sink.Bytes();
  return coded;
}

TEST(FrameCoding, RandomFramesComeBackThroughTheDecoderInEveryDestination) {
  std::mt19937 random(17);
  struct Size {
    uint32_t width, height;
  };
  for (Size size : {Size{64, 48}, Size{320, 200}, Size{48, 36}}) {
    const uint32_t blockCount = size.width / 4 * (size.height / 4);
    for (HeightScaling scaling : {HeightScaling::None, HeightScaling::Doubled, HeightScaling::Interlaced}) {
      for (bool bottomUp : {false, true}) {
        for (uint8_t format : {uint8_t{0}, uint8_t{0x80}}) {
          SCOPED_TRACE(testing::Message() << size.width << "x" << size.height << " scaling " << int(scaling)
                                          << " bottom-up " << bottomUp << " format " << int(format));
          const int64_t bpp = format ? 2 : 1, left = 2, top = 3;
          const int64_t lines = scaling == HeightScaling::None ? size.height : 2 * size.height;
          hand::GuardedPicture picture((size.width + left + 1) * bpp, lines + top + 1);
          MemoryDestination where = picture.Whole(size.width, size.height);
          where.left = left;
          where.top = top;
          where.scaling = scaling;
          where.bottomUp = bottomUp;
          where.pixelFormat = format;
          DestinationDescriptor destination;
          ASSERT_TRUE(DescribeMemoryDestination(where, destination));
          for (int i = 0; i < 256; ++i) destination.colorTable16[i] = static_cast<uint16_t>(0x1111 * (i % 16) + i);

          std::vector<uint8_t> reference(size_t{size.width} * size.height, 0);
          for (int frame = 0; frame < 3; ++frame) {
            std::vector<BlockCode> blocks = RandomBlocks(random, blockCount);
            Render(blocks, size.width, reference);
            HandCoded coded = Code(blocks);
            auto trees = coded.shapes.Build();
            ASSERT_TRUE(trees);
            DecodeVideoFrame(coded.chunk.data(), coded.chunk.size(), *trees, destination);
            ASSERT_TRUE(picture.GuardsIntact());
            for (uint32_t y = 0; y < size.height; ++y) {
              int64_t line = top + (scaling == HeightScaling::None ? y : 2 * y);
              int64_t stored = bottomUp ? picture.Rows() - 1 - line : line;
              for (uint32_t x = 0; x < size.width; ++x) {
                uint8_t index = reference[y * size.width + x];
                uint32_t got = format ? picture.At16(left + x, stored) : picture.At(left + x, stored);
                uint32_t want = format ? destination.colorTable16[index] : index;
                ASSERT_EQ(got, want) << "frame " << frame << " pixel " << x << "," << y;
                if (scaling == HeightScaling::Doubled) {
                  int64_t next = bottomUp ? stored - 1 : stored + 1;
                  uint32_t copy = format ? picture.At16(left + x, next) : picture.At(left + x, next);
                  ASSERT_EQ(copy, want) << "second line, pixel " << x << "," << y;
                }
              }
            }
          }
        }
      }
    }
  }
}

}  // namespace
