#include "playback/frame_decoder.h"

#include <gtest/gtest.h>

#include "playback/decoding_table.h"
#include "playback/frame_coding.h"
#include "playback/tests/hand_video.h"

namespace {

using hand::FrameBits;
using hand::GuardedPicture;

constexpr uint8_t kUntouched = 0xEE;

struct Decoded {
  GuardedPicture picture;
  uint32_t width;
  std::vector<uint8_t> map;
  uint8_t Pixel(uint32_t x, uint32_t y) const { return picture.At(x, y); }
  // Every pixel of block b (raster order) has this colour.
  bool BlockIs(uint32_t b, uint8_t color) const {
    uint32_t perRow = width / 4;
    for (uint32_t y = 0; y < 4; ++y) {
      for (uint32_t x = 0; x < 4; ++x) {
        if (Pixel(b % perRow * 4 + x, b / perRow * 4 + y) != color) return false;
      }
    }
    return true;
  }
};

// Decodes frames one after another into an 8-bit top-down picture of exactly the video's size.
Decoded DecodeFrames(const hand::VideoTrees& shapes, uint32_t width, uint32_t height,
                     const std::vector<std::vector<uint8_t>>& chunks) {
  auto trees = shapes.Build();
  EXPECT_TRUE(trees);
  Decoded out{GuardedPicture(width, height, kUntouched), width, {}};
  DestinationDescriptor destination;
  EXPECT_TRUE(DescribeMemoryDestination(out.picture.Whole(width, height), destination));
  for (const auto& chunk : chunks) DecodeVideoFrame(chunk.data(), chunk.size(), *trees, destination);
  EXPECT_TRUE(out.picture.GuardsIntact());
  out.map = destination.changedGroupMap;
  return out;
}

uint16_t TypeRun(BlockType type, uint32_t blocks, uint8_t color = 0) {
  return TypeRunSymbol(type, RunCode(blocks), color);
}

TEST(FrameDecoder, TwoColorBlockTakesTheHighColourWhereTheMaskBitIsSet) {
  hand::VideoTrees shapes;
  // Single-leaf trees: the whole frame costs no bits at all.
  shapes.shapes = {"0x0001", "0x0504", "", "0"};
  Decoded out = DecodeFrames(shapes, 8, 4, {{}});
  for (uint32_t y = 0; y < 4; ++y) {
    for (uint32_t x = 0; x < 8; ++x) {
      EXPECT_EQ(out.Pixel(x, y), x % 4 == 0 && y == 0 ? 5 : 4) << x << "," << y;
    }
  }
  EXPECT_EQ(out.map, std::vector<uint8_t>{1});
}

TEST(FrameDecoder, MaskBitsRunRowByRowLeftPixelLowest) {
  hand::VideoTrees shapes;
  shapes.shapes = {"0x8421", "0x0900", "", "0"};  // a diagonal from top left to bottom right
  Decoded out = DecodeFrames(shapes, 4, 4, {{}});
  for (uint32_t y = 0; y < 4; ++y) {
    for (uint32_t x = 0; x < 4; ++x) EXPECT_EQ(out.Pixel(x, y), x == y ? 9 : 0) << x << "," << y;
  }
}

TEST(FrameDecoder, FullBlockRowsAreCodedRightHalfFirst) {
  hand::VideoTrees shapes;
  shapes.shapes = {"", "", "(0x0302 0x0100)", "1"};
  FrameBits frame(shapes);
  frame.Put(PixelPairTree, 0x0302).Put(PixelPairTree, 0x0100);  // row 0: 0 1 2 3
  frame.Put(PixelPairTree, 0x0100).Put(PixelPairTree, 0x0302);  // row 1: 2 3 0 1
  frame.Put(PixelPairTree, 0x0302).Put(PixelPairTree, 0x0302);  // row 2: 2 3 2 3
  frame.Put(PixelPairTree, 0x0100).Put(PixelPairTree, 0x0100);  // row 3: 0 1 0 1
  Decoded out = DecodeFrames(shapes, 4, 4, {frame.Chunk()});
  const uint8_t expected[4][4] = {{0, 1, 2, 3}, {2, 3, 0, 1}, {2, 3, 2, 3}, {0, 1, 0, 1}};
  for (uint32_t y = 0; y < 4; ++y) {
    for (uint32_t x = 0; x < 4; ++x) EXPECT_EQ(out.Pixel(x, y), expected[y][x]) << x << "," << y;
  }
}

// Run codes 59 to 63 stand for 128 to 2048 blocks.
TEST(FrameDecoder, LongRunCodesCoverTheirBlocks) {
  const uint16_t solid7 = TypeRun(SolidBlock, 2048, 7), keep1024 = TypeRun(UnchangedBlock, 1024),
                 solid9 = TypeRun(SolidBlock, 512, 9), keep256 = TypeRun(UnchangedBlock, 256),
                 solid11 = TypeRun(SolidBlock, 128, 11), keep128 = TypeRun(UnchangedBlock, 128);
  EXPECT_EQ(solid7, 0x07FF);
  EXPECT_EQ(keep1024, 0x00FA);
  EXPECT_EQ(solid9, 0x09F7);
  EXPECT_EQ(keep256, 0x00F2);
  EXPECT_EQ(solid11, 0x0BEF);
  EXPECT_EQ(keep128, 0x00EE);
  hand::VideoTrees shapes;
  shapes.shapes[TypeRunTree] = "((" + std::to_string(solid7) + " " + std::to_string(keep1024) + ") ((" +
                               std::to_string(solid9) + " " + std::to_string(keep256) + ") (" +
                               std::to_string(solid11) + " " + std::to_string(keep128) + ")))";
  FrameBits frame(shapes);
  for (uint16_t symbol : {solid7, keep1024, solid9, keep256, solid11, keep128}) frame.Put(TypeRunTree, symbol);
  Decoded out = DecodeFrames(shapes, 256, 256, {frame.Chunk()});  // 4096 blocks

  auto expectRange = [&](uint32_t first, uint32_t end, uint8_t color) {
    for (uint32_t b = first; b < end; ++b) ASSERT_TRUE(out.BlockIs(b, color)) << "block " << b;
  };
  expectRange(0, 2048, 7);
  expectRange(2048, 3072, kUntouched);
  expectRange(3072, 3584, 9);
  expectRange(3584, 3840, kUntouched);
  expectRange(3840, 3968, 11);
  expectRange(3968, 4096, kUntouched);
  for (uint32_t group = 0; group < 256; ++group) {
    bool changed = group < 128 || (group >= 192 && group < 224) || (group >= 240 && group < 248);
    EXPECT_EQ(out.map[group], changed ? 1 : 0) << "group " << group;
  }
}

// A solid run of 100 blocks that starts at block 70 of an 80-block row fills 10 blocks, the
// whole next row and 10 more; a run continues from one block row into the next.
TEST(FrameDecoder, RunsContinueAcrossBlockRows) {
  const uint16_t keep59 = TypeRun(UnchangedBlock, 59), keep11 = TypeRun(UnchangedBlock, 11),
                 solid59 = TypeRun(SolidBlock, 59, 9), solid41 = TypeRun(SolidBlock, 41, 9);
  hand::VideoTrees shapes;
  shapes.shapes[TypeRunTree] = "((" + std::to_string(keep59) + " " + std::to_string(keep11) + ") (" +
                               std::to_string(solid59) + " " + std::to_string(solid41) + "))";
  FrameBits frame(shapes);
  for (uint16_t symbol : {keep59, keep11, solid59, solid41, keep59, keep11}) frame.Put(TypeRunTree, symbol);
  Decoded out = DecodeFrames(shapes, 320, 12, {frame.Chunk()});  // 3 rows of 80 blocks
  for (uint32_t b = 0; b < 240; ++b) {
    ASSERT_TRUE(out.BlockIs(b, b >= 70 && b < 170 ? 9 : kUntouched)) << "block " << b;
  }
}

// A run that reaches past the frame's last block fills up to it; what follows is not read.
TEST(FrameDecoder, RunPastTheLastBlockStopsThere) {
  const uint16_t solid59 = TypeRun(SolidBlock, 59, 3);
  hand::VideoTrees shapes;
  shapes.shapes = {"(1 2)", "(1 2)", "(1 2)", "(" + std::to_string(solid59) + " 0)"};
  FrameBits frame(shapes);
  frame.Put(TypeRunTree, solid59).Raw(std::string(64, '1'));
  Decoded out = DecodeFrames(shapes, 8, 8, {frame.Chunk()});
  for (uint32_t b = 0; b < 4; ++b) EXPECT_TRUE(out.BlockIs(b, 3)) << b;
}

// Reading past the end of the chunk yields zero bits: the code 0... symbols.
TEST(FrameDecoder, DataPastTheChunkEndReadsAsZeroBits) {
  const uint16_t solid1 = TypeRun(SolidBlock, 1, 6), solid1b = TypeRun(SolidBlock, 1, 8);
  hand::VideoTrees shapes;
  shapes.shapes[TypeRunTree] = "(" + std::to_string(solid1) + " " + std::to_string(solid1b) + ")";
  std::vector<uint8_t> chunk = {0xFF, 0xFF, 0xFF, 0xFF, 0x01};  // 33 blocks coded "1", then nothing
  Decoded out = DecodeFrames(shapes, 64, 12, {chunk});
  for (uint32_t b = 0; b < 48; ++b) EXPECT_TRUE(out.BlockIs(b, b < 33 ? 8 : 6)) << b;
}

// Every frame starts its recent values at 0, whatever the previous frame left in them.
TEST(FrameDecoder, EscapeLeafAtFrameStartDecodesToZero) {
  hand::VideoTrees shapes;
  shapes.shapes = {"0xFFFF", "(0x0202 0x1234)", "", "0"};
  shapes.escapes[ColorPairTree] = {0x1234, 0xFFFE, 0xFFFF};
  FrameBits first(shapes);
  first.Put(ColorPairTree, 0x0202).Put(ColorPairTree, 0x1234);  // 2 2, then recent0 = 2 2
  FrameBits second(shapes);
  second.Put(ColorPairTree, 0x1234).Put(ColorPairTree, 0x0202);
  Decoded once = DecodeFrames(shapes, 8, 4, {first.Chunk()});
  EXPECT_TRUE(once.BlockIs(0, 2));
  EXPECT_TRUE(once.BlockIs(1, 2));
  Decoded twice = DecodeFrames(shapes, 8, 4, {first.Chunk(), second.Chunk()});
  EXPECT_TRUE(twice.BlockIs(0, 0));
  EXPECT_TRUE(twice.BlockIs(1, 2));
}

TEST(FrameDecoder, FramesOfOnlySolidAndUnchangedRunsNeedNoOtherTree) {
  const uint16_t solid = TypeRun(SolidBlock, 20, 0x42), keep = TypeRun(UnchangedBlock, 28);
  hand::VideoTrees shapes;
  shapes.shapes[TypeRunTree] = "(" + std::to_string(solid) + " " + std::to_string(keep) + ")";
  FrameBits frame(shapes);
  frame.Put(TypeRunTree, solid).Put(TypeRunTree, keep);
  // 48 blocks: group 1 holds blocks 16 to 19 of the solid run; group 2 is untouched.
  Decoded out = DecodeFrames(shapes, 48, 16, {frame.Chunk()});
  for (uint32_t b = 0; b < 48; ++b) EXPECT_TRUE(out.BlockIs(b, b < 20 ? 0x42 : kUntouched)) << b;
  EXPECT_EQ(out.map, (std::vector<uint8_t>{1, 1, 0}));

  FrameBits nothing(shapes);
  nothing.Put(TypeRunTree, keep).Put(TypeRunTree, keep);
  Decoded still = DecodeFrames(shapes, 48, 16, {nothing.Chunk()});
  for (uint32_t b = 0; b < 48; ++b) EXPECT_TRUE(still.BlockIs(b, kUntouched)) << b;
  EXPECT_EQ(still.map, (std::vector<uint8_t>{0, 0, 0}));
}

// ---- Destinations ----

// A 2x2-block frame with every kind of block that draws: two-colour, full, solid.
struct MixedFrame {
  hand::VideoTrees shapes;
  std::vector<uint8_t> chunk;
  uint8_t expected[8][8];

  MixedFrame() {
    const uint16_t two = TypeRun(TwoColorBlock, 1), full = TypeRun(FullBlock, 1),
                   solid = TypeRun(SolidBlock, 1, 0x33);
    shapes.shapes = {"0x00FF", "0x2211", "(0x4544 0x4746)",
                     "(" + std::to_string(two) + " (" + std::to_string(full) + " " + std::to_string(solid) + "))"};
    FrameBits frame(shapes);
    frame.Put(TypeRunTree, two).Put(TypeRunTree, full);
    for (int row = 0; row < 4; ++row) frame.Put(PixelPairTree, row % 2 ? 0x4544 : 0x4746).Put(PixelPairTree, 0x4544);
    frame.Put(TypeRunTree, solid).Put(TypeRunTree, two);
    chunk = frame.Chunk();
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < 8; ++x) {
        int block = y / 4 * 2 + x / 4, row = y % 4, column = x % 4;
        uint8_t twoColour = row < 2 ? 0x22 : 0x11;
        uint8_t fullPixel = column < 2 ? 0x44 + column : (row % 2 ? 0x44 : 0x46) + column - 2;
        expected[y][x] = block == 1 ? fullPixel : block == 2 ? 0x33 : twoColour;
      }
    }
  }
};

TEST(FrameDecoder, EveryRowModeAndDirectionPutsCodedRowsOnTheRightLines) {
  MixedFrame mixed;
  auto trees = mixed.shapes.Build();
  ASSERT_TRUE(trees);
  struct Mode {
    HeightScaling scaling;
    bool bottomUp;
  };
  for (Mode mode : {Mode{HeightScaling::None, false}, Mode{HeightScaling::None, true},
                    Mode{HeightScaling::Doubled, false}, Mode{HeightScaling::Doubled, true},
                    Mode{HeightScaling::Interlaced, false}, Mode{HeightScaling::Interlaced, true}}) {
    SCOPED_TRACE(testing::Message() << "scaling " << int(mode.scaling) << " bottom-up " << mode.bottomUp);
    const int64_t left = 3, top = 2, pitch = 16, rows = 21;
    GuardedPicture picture(pitch, rows, kUntouched);
    MemoryDestination where = picture.Whole(8, 8);
    where.left = left;
    where.top = top;
    where.scaling = mode.scaling;
    where.bottomUp = mode.bottomUp;
    DestinationDescriptor destination;
    ASSERT_TRUE(DescribeMemoryDestination(where, destination));
    DecodeVideoFrame(mixed.chunk.data(), mixed.chunk.size(), *trees, destination);
    ASSERT_TRUE(picture.GuardsIntact());

    // Shown line of each coded row (-1: not on any line); stored row of each shown line.
    for (int64_t stored = 0; stored < rows; ++stored) {
      int64_t shown = mode.bottomUp ? rows - 1 - stored : stored;
      int64_t line = shown - top;
      int coded = -1;
      if (line >= 0 && mode.scaling == HeightScaling::None && line < 8) coded = int(line);
      if (line >= 0 && mode.scaling == HeightScaling::Doubled && line < 16) coded = int(line / 2);
      if (line >= 0 && mode.scaling == HeightScaling::Interlaced && line < 16 && line % 2 == 0) coded = int(line / 2);
      for (int64_t x = 0; x < pitch; ++x) {
        bool inside = coded >= 0 && x >= left && x < left + 8;
        uint8_t expected = inside ? mixed.expected[coded][x - left] : kUntouched;
        ASSERT_EQ(picture.At(x, stored), expected) << "stored row " << stored << " x " << x;
      }
    }
  }
}

// Decodes the mixed frame into an 8 x 8 picture; 16-bit pixels take 0x8000 + 3 x the colour.
void DecodeMixedFrame(const MixedFrame& mixed, DecoderTrees& trees, uint8_t format, HeightScaling scaling,
                      GuardedPicture& picture) {
  MemoryDestination where = picture.Whole(8, 8);
  where.pixelFormat = format;
  where.scaling = scaling;
  DestinationDescriptor destination;
  ASSERT_TRUE(DescribeMemoryDestination(where, destination));
  for (int i = 0; i < 256; ++i) destination.colorTable16[i] = static_cast<uint16_t>(0x8000 + 3 * i);
  DecodeVideoFrame(mixed.chunk.data(), mixed.chunk.size(), trees, destination);
}

TEST(FrameDecoder, SixteenBitPixelsComeFromTheColourTable) {
  MixedFrame mixed;
  auto trees = mixed.shapes.Build();
  ASSERT_TRUE(trees);
  for (HeightScaling scaling : {HeightScaling::None, HeightScaling::Doubled}) {
    GuardedPicture picture(2 * 8, 16, kUntouched);
    DecodeMixedFrame(mixed, *trees, 0x80, scaling, picture);
    ASSERT_TRUE(picture.GuardsIntact());
    int linesPerRow = scaling == HeightScaling::Doubled ? 2 : 1;
    for (int line = 0; line < 8 * linesPerRow; ++line) {
      for (int x = 0; x < 8; ++x) {
        ASSERT_EQ(picture.At16(x, line), 0x8000 + 3 * mixed.expected[line / linesPerRow][x]) << x << "," << line;
      }
    }
  }
}

// Remapped colours reach the pixels of every block kind, in either pixel format and row mode.
TEST(FrameDecoder, MappedColoursReachEveryBlockKind) {
  MixedFrame mixed;
  auto trees = mixed.shapes.Build();
  ASSERT_TRUE(trees);
  uint8_t table[256];
  for (int i = 0; i < 256; ++i) table[i] = static_cast<uint8_t>(i ^ 0x55);
  RemapTreeColors(*trees, table);
  for (uint8_t format : {uint8_t{0}, uint8_t{0x80}}) {
    for (HeightScaling scaling : {HeightScaling::None, HeightScaling::Doubled}) {
      SCOPED_TRACE(testing::Message() << "format " << int(format) << " scaling " << int(scaling));
      GuardedPicture picture(2 * 8, 16, kUntouched);
      DecodeMixedFrame(mixed, *trees, format, scaling, picture);
      ASSERT_TRUE(picture.GuardsIntact());
      const int linesPerRow = scaling == HeightScaling::Doubled ? 2 : 1;
      for (int line = 0; line < 8 * linesPerRow; ++line) {
        for (int x = 0; x < 8; ++x) {
          const uint8_t mapped = table[mixed.expected[line / linesPerRow][x]];
          if (format == 0) {
            ASSERT_EQ(picture.At(x, line), mapped) << x << "," << line;
          } else {
            ASSERT_EQ(picture.At16(x, line), 0x8000 + 3 * mapped) << x << "," << line;
          }
        }
      }
    }
  }
}

TEST(FrameDecoder, ThePictureMustFitTheDestination) {
  GuardedPicture picture(40, 20);
  auto fits = [&](auto change) {
    MemoryDestination where = picture.Whole(32, 16);
    change(where);
    DestinationDescriptor destination;
    return DescribeMemoryDestination(where, destination);
  };
  EXPECT_TRUE(fits([](MemoryDestination&) {}));
  EXPECT_TRUE(fits([](MemoryDestination& w) { w.left = 8; w.top = 4; }));
  EXPECT_FALSE(fits([](MemoryDestination& w) { w.left = 9; }));
  EXPECT_FALSE(fits([](MemoryDestination& w) { w.top = 5; }));
  EXPECT_FALSE(fits([](MemoryDestination& w) { w.left = -1; }));
  EXPECT_FALSE(fits([](MemoryDestination& w) { w.pixelFormat = 0x80; }));  // 64 bytes a row
  EXPECT_FALSE(fits([](MemoryDestination& w) { w.buffer = nullptr; }));
  EXPECT_FALSE(fits([](MemoryDestination& w) { w.pitch = 0; }));
  // 16 coded rows take 32 lines doubled, 31 interlaced.
  EXPECT_FALSE(fits([](MemoryDestination& w) { w.rows = 31; w.scaling = HeightScaling::Doubled; }));
  EXPECT_TRUE(fits([](MemoryDestination& w) { w.rows = 32; w.scaling = HeightScaling::Doubled; }));
  EXPECT_TRUE(fits([](MemoryDestination& w) { w.rows = 31; w.scaling = HeightScaling::Interlaced; }));
  EXPECT_FALSE(fits([](MemoryDestination& w) { w.rows = 30; w.scaling = HeightScaling::Interlaced; }));
  // Only whole blocks count: 43 x 23 is used as 40 x 20.
  EXPECT_TRUE(fits([](MemoryDestination& w) { w.width = 43; w.codedHeight = 23; }));
  EXPECT_FALSE(fits([](MemoryDestination& w) { w.width = 44; }));
}

// Pictures whose size is no multiple of 4 are drawn in whole blocks; rows never skew.
TEST(FrameDecoder, PartialBlocksAreLeftAlone) {
  const uint16_t solid = TypeRun(SolidBlock, 6, 0x55);
  hand::VideoTrees shapes;
  shapes.shapes[TypeRunTree] = std::to_string(solid);
  auto trees = shapes.Build();
  ASSERT_TRUE(trees);
  GuardedPicture picture(11, 10, kUntouched);
  DestinationDescriptor destination;
  ASSERT_TRUE(DescribeMemoryDestination(picture.Whole(11, 10), destination));
  EXPECT_EQ(destination.width, 8u);
  EXPECT_EQ(destination.height, 8u);
  DecodeVideoFrame(nullptr, 0, *trees, destination);
  ASSERT_TRUE(picture.GuardsIntact());
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 11; ++x) EXPECT_EQ(picture.At(x, y), x < 8 && y < 8 ? 0x55 : kUntouched) << x << "," << y;
  }
}

// The census of a frame's codes counts each code once, and as taking further look-ups exactly
// when it is longer than the first table.
TEST(FrameDecoder, CodeCensusCountsTheCodesLongerThanTheFirstTable) {
  // Pixel pairs on a chain: value v has a code of v bits, 23 one of 22; four full blocks take 32.
  std::string chain = "23";
  for (int v = 23; v-- > 1;) chain = "(" + std::to_string(v) + " " + chain + ")";
  const uint16_t full = TypeRun(FullBlock, 4), solid = TypeRun(SolidBlock, 1, 9);
  hand::VideoTrees shapes;
  shapes.shapes = {"", "", chain, "(" + std::to_string(full) + " " + std::to_string(solid) + ")"};
  FrameBits frame(shapes);
  frame.Put(TypeRunTree, full);
  uint64_t longer = 0;
  for (uint32_t i = 0; i < 32; ++i) {
    const uint32_t value = 1 + (i * 7) % 23;
    frame.Put(PixelPairTree, value);
    longer += int(value) > kTableBits[PixelPairTree];
  }
  frame.Put(TypeRunTree, solid);
  const std::vector<uint8_t> chunk = frame.Chunk();
  auto trees = shapes.Build();
  ASSERT_TRUE(trees);
  CodeLookupCounts counts;
  CountCodeLookups(chunk.data(), chunk.size(), 5, *trees, counts);
  CountCodeLookups(chunk.data(), chunk.size(), 5, *trees, counts);  // counts add up
  EXPECT_EQ(counts.codes, (std::array<uint64_t, 4>{0, 0, 64, 4}));
  EXPECT_EQ(counts.further, (std::array<uint64_t, 4>{0, 0, 2 * longer, 0}));
  EXPECT_GT(longer, 0u);
  EXPECT_LT(longer, 32u);
}

}  // namespace
