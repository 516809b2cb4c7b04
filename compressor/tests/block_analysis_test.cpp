#include "compressor/block_analysis.h"

#include <gtest/gtest.h>

#include <vector>

#include "compressor/tests/test_frames.h"

namespace compressor {
namespace {

using testing::GreyPalette;

struct Evaluated {
  BlockScore score;
  uint32_t two = 0;
};

Evaluated Evaluate(const std::vector<uint8_t>& block, const RgbPalette& palette,
                   const uint8_t* previous = nullptr, UsableRange usable = {}) {
  ColorDistanceTable table;
  table.Rebuild(palette.data(), usable);
  Evaluated e;
  EvaluateBlock(block.data(), previous, table, e.score, e.two);
  return e;
}

TEST(ColorDistance, WeighsTheMiddleByteBySixFifths) {
  uint8_t a[3] = {10, 20, 30}, b[3] = {13, 25, 26};
  EXPECT_EQ(ColorDistance(a, b), 9u + 25u * 6 / 5 + 16u);
  EXPECT_EQ(ColorDistance(b, a), ColorDistance(a, b));
  RgbPalette p = GreyPalette();
  p[3 * 7 + 1] = 200;
  ColorDistanceTable table;
  table.Rebuild(p.data());
  EXPECT_EQ(table(7, 9), ColorDistance(&p[21], &p[27]));
  EXPECT_EQ(table(9, 7), table(7, 9));
  EXPECT_EQ(table.BrightnessOf(7), 7u + 200 + 7);
}

TEST(EvaluateBlock, OneColourIsASolidBlockWithoutError) {
  // Index 77 lies outside the usable range: the block's own colour is still taken.
  Evaluated e = Evaluate(std::vector<uint8_t>(16, 77), GreyPalette(), nullptr, {0, 10});
  EXPECT_EQ(e.score.solid, 0u);
  EXPECT_EQ(e.score.solidColor, 77);
  EXPECT_EQ(e.score.unchanged, kNoError);
}

TEST(EvaluateBlock, UnchangedErrorIsMeasuredAgainstThePreviousBlock) {
  std::vector<uint8_t> block(16, 50), previous(16, 50);
  EXPECT_EQ(Evaluate(block, GreyPalette(), previous.data()).score.unchanged, 0u);
  previous[3] = 52;   // grey distance of 2: 4 * 6 / 5 + 4 + 4 = 12
  previous[15] = 49;  // 1 * 6 / 5 + 1 + 1 = 3
  EXPECT_EQ(Evaluate(block, GreyPalette(), previous.data()).score.unchanged, 15u);
}

TEST(EvaluateBlock, TwoColoursKeepTheirPatternWhenTheLastPixelHasTheFirstColour) {
  // Rows: 5 9 5 9 / 9 9 5 5 / 5 5 5 5 / 9 5 9 5
  std::vector<uint8_t> block = {5, 9, 5, 9, 9, 9, 5, 5, 5, 5, 5, 5, 9, 5, 9, 5};
  Evaluated e = Evaluate(block, GreyPalette());
  EXPECT_EQ(e.score.twoColor, 0u);
  EXPECT_EQ(e.two, TwoColorValue(0x503A, 5, 9));
  // Solid: ten 5s and six 9s are nearest, all told, to grey 7.
  EXPECT_EQ(e.score.solidColor, 7);
  EXPECT_EQ(e.score.solid, 10u * 12 + 6u * 12);
}

TEST(EvaluateBlock, PatternEndingInTheSecondColourIsSwappedAndInverted) {
  std::vector<uint8_t> block = {5, 9, 5, 9, 9, 9, 5, 5, 5, 5, 5, 5, 9, 5, 9, 9};
  Evaluated e = Evaluate(block, GreyPalette());
  EXPECT_EQ(e.score.twoColor, 0u);
  // Bit 15 would be 1: colours swap and the pattern flips, so pixel 15 takes the first colour.
  EXPECT_EQ(e.two, TwoColorValue(static_cast<uint16_t>(~0xD03Au), 9, 5));
  EXPECT_EQ(e.two & 0x8000, 0u);
}

TEST(EvaluateBlock, NearnessSplitGivesTheTwoColoursOfItsGroups) {
  // Greys 0 and 10 (five each) and 200 (six): the farthest pair is 0 and 200; 10 joins 0.
  std::vector<uint8_t> block = {0, 0, 0, 0, 0, 10, 10, 10, 10, 10, 200, 200, 200, 200, 200, 200};
  Evaluated e = Evaluate(block, GreyPalette());
  // Best grey for five 0s and five 10s is 5; pixel 15 is 200, so the pair is swapped.
  EXPECT_EQ(e.two, TwoColorValue(0x03FF, 200, 5));
  EXPECT_EQ(e.score.twoColor, 10u * (25 * 6 / 5 + 50));
}

// A palette whose first four entries are the given colours; the rest stay black and unusable.
RgbPalette FourColours(std::initializer_list<std::array<uint8_t, 3>> colours) {
  RgbPalette p{};
  int i = 0;
  for (const auto& c : colours) {
    for (int k = 0; k < 3; ++k) p[3 * i + k] = c[k];
    ++i;
  }
  return p;
}

TEST(EvaluateBlock, BrightnessSplitIsTakenWhenItsErrorsAreSmaller) {
  // Entries 1 and 3 are the farthest pair; nearness puts 0 with 3 and 2 with 3, brightness
  // puts 0 with 2 and 3 (the three brighter than the block's mean).
  RgbPalette p = FourColours({{96, 96, 96}, {32, 0, 0}, {32, 192, 32}, {192, 192, 0}});
  std::vector<uint8_t> block = {0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 2, 3, 3};
  Evaluated e = Evaluate(block, p, nullptr, {0, 4});
  // Brightness groups' colours are 1 and 0 (nearness would give 0 and 3); pixel 15 then
  // needs the swap, which leaves the dark pixels 7-12 as the second colour.
  EXPECT_EQ(e.two, TwoColorValue(0x1F80, 0, 1));
  EXPECT_EQ(e.score.twoColor, 19251u + 2 * 29491u);
}

TEST(EvaluateBlock, NearnessSplitIsKeptWhenItsErrorsAreSmaller) {
  RgbPalette p = FourColours({{64, 128, 224}, {128, 128, 192}, {128, 96, 224}, {160, 32, 160}});
  std::vector<uint8_t> block = {0, 0, 0, 0, 0, 0, 1, 2, 2, 2, 2, 2, 2, 2, 3, 3};
  Evaluated e = Evaluate(block, p, nullptr, {0, 4});
  // Nearness: {3} and {0, 1, 2} give 3 and 2; brightness would have given 0 and 2.
  EXPECT_EQ(e.two, TwoColorValue(0x3FFF, 3, 2));
  EXPECT_EQ(e.score.twoColor, 6u * 5324 + 2252);
}

TEST(BestBlockColor, TakesTheLowestIndexOfSmallestSumWithinTheUsableRange) {
  ColorDistanceTable table;
  table.Rebuild(GreyPalette().data());
  uint8_t counts[2] = {1, 1};
  uint8_t colors[2] = {100, 104};
  EXPECT_EQ(BestBlockColor(colors, counts, 2, table).color, 102);
  // 101 and 102 tie; the lower index wins although the search meets 102 as near as 101.
  uint8_t evenColors[2] = {103, 100};
  ColorChoice tie = BestBlockColor(evenColors, counts, 2, table);
  EXPECT_EQ(tie.color, 101);
  EXPECT_EQ(tie.error, table(100, 101) + table(103, 101));
  // Restricted to 0..49, the nearest usable grey is 49.
  table.Rebuild(GreyPalette().data(), {0, 50});
  EXPECT_EQ(BestBlockColor(colors, counts, 2, table).color, 49);
  // The block's own colours are not usable there either.
  table.Rebuild(GreyPalette().data(), {200, 256});
  EXPECT_EQ(BestBlockColor(colors, counts, 2, table).color, 200);
  // With nothing usable the first colour stands.
  table.Rebuild(GreyPalette().data(), {10, 10});
  ColorChoice none = BestBlockColor(colors, counts, 2, table);
  EXPECT_EQ(none.color, 100);
  EXPECT_EQ(none.error, table(100, 104));
}

// The search skips candidates it can prove worse; its answer must stay the exhaustive one.
TEST(BestBlockColor, AgreesWithTryingEveryCandidate) {
  RgbPalette palette;
  uint32_t seed = 12345;
  auto next = [&] { return seed = seed * 1103515245 + 12345, (seed >> 16) & 255; };
  for (auto& b : palette) b = static_cast<uint8_t>(next() & 0xF0);  // many equal distances
  ColorDistanceTable table;
  table.Rebuild(palette.data(), {16, 240});
  for (int trial = 0; trial < 2000; ++trial) {
    int n = 1 + next() % 6;
    uint8_t colors[16], counts[16];
    for (int k = 0; k < n; ++k) {
      colors[k] = static_cast<uint8_t>(next());
      counts[k] = static_cast<uint8_t>(1 + next() % 5);
    }
    uint32_t best = kNoError;
    int bestIndex = -1;
    for (int c = 16; c < 240; ++c) {
      uint32_t sum = 0;
      for (int k = 0; k < n; ++k) sum += counts[k] * table(colors[k], static_cast<uint8_t>(c));
      if (sum < best) {
        best = sum;
        bestIndex = c;
      }
    }
    ColorChoice got = BestBlockColor(colors, counts, n, table);
    ASSERT_EQ(got.color, bestIndex) << "trial " << trial;
    ASSERT_EQ(got.error, best);
  }
}

// Blocks of many colours are searched around their mean colour; on smooth palettes, palettes
// of repeated entries and narrow usable ranges the answer must still be the exhaustive one,
// ties going to the lowest index.
TEST(BestBlockColor, ManyColoursAgreeWithTryingEveryCandidate) {
  uint32_t seed = 777;
  auto next = [&] { return seed = seed * 1103515245 + 12345, (seed >> 16) & 0x7FFF; };
  std::vector<RgbPalette> palettes(3);
  for (int i = 0; i < 256; ++i) {
    palettes[0][3 * i] = static_cast<uint8_t>(i);  // a gradient, every colour twice
    palettes[0][3 * i + 1] = static_cast<uint8_t>(64 + (i / 2) / 3);
    palettes[0][3 * i + 2] = static_cast<uint8_t>(255 - (i / 2) * 2);
  }
  for (auto& b : palettes[1]) b = static_cast<uint8_t>(next() & 0xE0);
  for (auto& b : palettes[2]) b = static_cast<uint8_t>(next());
  const UsableRange ranges[] = {{0, 256}, {16, 240}, {100, 103}};
  for (size_t p = 0; p < palettes.size(); ++p) {
    for (const UsableRange& usable : ranges) {
      ColorDistanceTable table;
      table.Rebuild(palettes[p].data(), usable);
      for (int trial = 0; trial < 1500; ++trial) {
        const int n = 1 + static_cast<int>(next() % 16);
        uint8_t colors[16], counts[16];
        for (int k = 0; k < n; ++k) {
          colors[k] = static_cast<uint8_t>(next());
          counts[k] = static_cast<uint8_t>(1 + next() % (trial % 2 ? 16 : 3));
        }
        uint32_t best = kNoError;
        int bestIndex = -1;
        for (int c = usable.first; c < usable.end; ++c) {
          uint32_t sum = 0;
          for (int k = 0; k < n; ++k) sum += counts[k] * table(colors[k], static_cast<uint8_t>(c));
          if (sum < best) {
            best = sum;
            bestIndex = c;
          }
        }
        const ColorChoice got = BestBlockColor(colors, counts, n, table);
        ASSERT_EQ(got.color, bestIndex) << "palette " << p << " range " << usable.first << " trial " << trial;
        ASSERT_EQ(got.error, best);
      }
    }
  }
}

// Blocks of up to sixteen colours, on palettes with many equal distances (where the first pair
// in list order decides, also between pairs whose distances are equal only once rounded) and on
// a smooth one: eight values at a time or one by one, the scores and the two colours are the same.
TEST(EvaluateBlock, WideVectorsChooseAsOneByOne) {
  uint32_t seed = 4242;
  auto next = [&] { return seed = seed * 1103515245 + 12345, (seed >> 16) & 0x7FFF; };
  std::vector<RgbPalette> palettes(4);
  for (auto& b : palettes[0]) b = static_cast<uint8_t>(next() & 0xC0);
  for (auto& b : palettes[3]) b = static_cast<uint8_t>(next() % 3);
  for (auto& b : palettes[1]) b = static_cast<uint8_t>(next());
  for (int i = 0; i < 256; ++i) {
    for (int c = 0; c < 3; ++c) palettes[2][3 * i + c] = static_cast<uint8_t>(i * (c + 1) / 3);
  }
  for (const RgbPalette& palette : palettes) {
    ColorDistanceTable table;
    table.Rebuild(palette.data());
    for (int trial = 0; trial < 3000; ++trial) {
      uint8_t block[kBlockPixels];
      const uint32_t colours = 1 + next() % 16;
      for (uint8_t& pixel : block) pixel = static_cast<uint8_t>(next() % colours * 13 + trial % 7);
      Evaluated wide, narrow;
      UseWideVectorsForTesting(true);
      EvaluateBlock(block, nullptr, table, wide.score, wide.two);
      UseWideVectorsForTesting(false);
      EvaluateBlock(block, nullptr, table, narrow.score, narrow.two);
      ASSERT_EQ(wide.two, narrow.two) << "trial " << trial;
      ASSERT_EQ(wide.score.twoColor, narrow.score.twoColor) << "trial " << trial;
      ASSERT_EQ(wide.score.solid, narrow.score.solid) << "trial " << trial;
      ASSERT_EQ(wide.score.solidColor, narrow.score.solidColor) << "trial " << trial;
    }
  }
  UseWideVectorsForTesting(true);
}

TEST(GatherBlocks, BlocksInRasterOrderAndBackAgain) {
  const uint32_t width = 8, height = 8;
  const size_t pitch = 12;  // wider than the picture
  std::vector<uint8_t> frame(pitch * 2 * height);
  for (size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<uint8_t>(i * 7);
  std::vector<uint8_t> blocks(width * height);
  GatherBlocks(frame.data(), pitch, width, height, false, blocks.data());
  // Block 1 is the top row's second block: row 1 of it starts at frame[pitch + 4].
  EXPECT_EQ(blocks[16 + 4], frame[pitch + 4]);
  // Block 2 starts the second block row.
  EXPECT_EQ(blocks[32], frame[4 * pitch]);
  std::vector<uint8_t> back(pitch * height, 0);
  ScatterBlocks(blocks.data(), width, height, back.data(), pitch);
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) ASSERT_EQ(back[y * pitch + x], frame[y * pitch + x]);
  }
  // Height scaling takes every other row.
  GatherBlocks(frame.data(), pitch, width, height, true, blocks.data());
  EXPECT_EQ(blocks[4], frame[2 * pitch]);
  EXPECT_EQ(blocks[32 + 4], frame[(2 * 4 + 2) * pitch]);
}

}  // namespace
}  // namespace compressor
