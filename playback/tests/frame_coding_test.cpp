#include "playback/frame_coding.h"

#include <gtest/gtest.h>

#include <vector>

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

}  // namespace
