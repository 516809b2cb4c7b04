// Frames coded by the compressor's side (tree builder and symbol writer) and drawn by the
// player's side (tree tables and frame decoder) come out as the blocks that went in.
#include "toolsupport/coding/video_symbol_writer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "playback/frame_decoder.h"

namespace {

using namespace toolsupport;

// ---- Frames to code ----

// Runs of random kinds and lengths (short ones, and lengths around every long run code).
// Colours repeat in cycles of three, so that the recent-value escapes are worth their codes.
std::vector<BlockCode> RandomFrame(std::mt19937& random, size_t count) {
  const uint32_t lengths[] = {1, 2, 3, 58, 59, 60, 127, 128, 129, 255, 256, 511, 512, 1023, 1024, 2047, 2048, 2100};
  const uint16_t cycle[] = {0x0A05, 0x0B06, 0x0C07};
  std::vector<BlockCode> blocks;
  uint32_t step = 0;
  while (blocks.size() < count) {
    uint32_t length = random() % 2 ? 1 + random() % 6 : lengths[random() % std::size(lengths)];
    auto type = static_cast<BlockType>(random() % 4);
    uint8_t color = static_cast<uint8_t>(random() % 4);
    for (uint32_t i = 0; i < length && blocks.size() < count; ++i, ++step) {
      BlockCode block;
      block.type = type;
      block.solidColor = color;
      block.colorPair = random() % 3 ? cycle[step % 3] : static_cast<uint16_t>(random());
      block.mask = static_cast<uint16_t>(random() % 2 ? random() : 0x0F0F);
      for (uint8_t& pixel : block.pixels) pixel = static_cast<uint8_t>(random() % 3 ? 1 + random() % 3 : random());
      blocks.push_back(block);
    }
  }
  return blocks;
}

// The 8-bit top-down picture the blocks make of the previous one.
void Render(const std::vector<BlockCode>& blocks, uint32_t width, std::vector<uint8_t>& picture) {
  const uint32_t perRow = width / 4;
  for (size_t b = 0; b < blocks.size(); ++b) {
    const BlockCode& block = blocks[b];
    for (uint32_t i = 0; i < 16; ++i) {
      uint8_t& pixel = picture[(b / perRow * 4 + i / 4) * width + b % perRow * 4 + i % 4];
      if (block.type == SolidBlock) pixel = block.solidColor;
      if (block.type == FullBlock) pixel = block.pixels[i];
      if (block.type == TwoColorBlock) pixel = static_cast<uint8_t>(block.mask >> i & 1 ? block.colorPair >> 8 : block.colorPair);
    }
  }
}

// ---- Coding with the compressor's side ----

struct CodedVideo {
  std::vector<uint8_t> treeData;
  std::array<uint32_t, 4> treeSizes{};
  std::vector<std::vector<uint8_t>> chunks;  // one per frame, padded to a multiple of 4
  bool escapesWritten = false;
};

CodedVideo Code(const std::vector<std::vector<BlockCode>>& frames) {
  CodedVideo coded;
  MemoryBitOutput treeOut;
  VideoTreeSet trees;
  for (const auto& frame : frames) trees.CountFrame(frame);
  const auto sizes = trees.Build(treeOut);
  EXPECT_TRUE(sizes.has_value());
  if (sizes) std::copy(sizes->begin(), sizes->end(), coded.treeSizes.begin());
  treeOut.AlignBits();
  coded.treeData = treeOut.Bytes();
  for (int t = 0; t < 4; ++t) {
    for (uint32_t escape : trees[t].Escapes()) coded.escapesWritten |= trees[t].CodeLength(escape) != kNoCode;
  }

  for (const auto& frame : frames) {
    MemoryBitOutput frameOut;
    EXPECT_TRUE(trees.WriteFrame(frame, frameOut));
    frameOut.AlignBits();
    std::vector<uint8_t> chunk = frameOut.Bytes();
    chunk.resize((chunk.size() + 3) / 4 * 4, 0);
    coded.chunks.push_back(chunk);
  }
  return coded;
}

// ---- Decoding with the player's side into a guarded buffer ----

constexpr uint8_t kGuard = 0xA7;
constexpr int64_t kGuardBytes = 64;

struct Destination {
  HeightScaling scaling;
  bool bottomUp;
  bool sixteenBit;
};

TEST(VideoSymbolWriter, RandomFramesComeBackThroughTheDecoderInEveryDestination) {
  std::mt19937 random(23);
  struct Size {
    uint32_t width, height;
  };
  for (Size size : {Size{320, 200}, Size{64, 48}, Size{48, 36}, Size{36, 20}}) {
    const size_t blockCount = size_t{size.width / 4} * (size.height / 4);
    std::vector<std::vector<BlockCode>> frames;
    for (int f = 0; f < 4; ++f) frames.push_back(RandomFrame(random, blockCount));
    CodedVideo coded = Code(frames);
    if (size.width == 320) {
      EXPECT_TRUE(coded.escapesWritten);
    }
    auto trees = BuildVideoTrees(coded.treeData.data(), coded.treeData.size(), coded.treeSizes.data());
    ASSERT_TRUE(trees);

    for (HeightScaling scaling : {HeightScaling::None, HeightScaling::Doubled, HeightScaling::Interlaced}) {
      for (bool bottomUp : {false, true}) {
        for (bool sixteenBit : {false, true}) {
          SCOPED_TRACE(testing::Message() << size.width << "x" << size.height << " scaling " << int(scaling)
                                          << " bottom-up " << bottomUp << " 16-bit " << sixteenBit);
          const int64_t bpp = sixteenBit ? 2 : 1, left = 1, top = 2;
          const int64_t pitch = (size.width + left + 3) * bpp;
          const int64_t rows = top + (scaling == HeightScaling::None ? 1 : 2) * size.height + 1;
          std::vector<uint8_t> memory(static_cast<size_t>(pitch * rows + 2 * kGuardBytes), kGuard);
          uint8_t* buffer = memory.data() + kGuardBytes;
          // Blocks left unchanged by the first frame show the start picture: colour 0.
          const uint16_t colorZero = sixteenBit ? 0x7C00 : 0;
          for (int64_t i = 0; i < pitch * rows / bpp; ++i) std::memcpy(buffer + i * bpp, &colorZero, size_t(bpp));

          MemoryDestination where;
          where.buffer = buffer;
          where.left = left;
          where.top = top;
          where.pitch = pitch;
          where.rows = rows;
          where.bottomUp = bottomUp;
          where.pixelFormat = sixteenBit ? 0x80 : 0;
          where.width = size.width;
          where.codedHeight = size.height;
          where.scaling = scaling;
          DestinationDescriptor destination;
          ASSERT_TRUE(DescribeMemoryDestination(where, destination));
          for (int i = 0; i < 256; ++i) destination.colorTable16[i] = static_cast<uint16_t>(0x7C00 ^ (i * 0x0101));

          std::vector<uint8_t> reference(size_t{size.width} * size.height, 0);
          for (size_t f = 0; f < frames.size(); ++f) {
            Render(frames[f], size.width, reference);
            DecodeVideoFrame(coded.chunks[f].data(), coded.chunks[f].size(), *trees, destination);
            for (int64_t i = 0; i < kGuardBytes; ++i) {
              ASSERT_EQ(memory[static_cast<size_t>(i)], kGuard);
              ASSERT_EQ(memory[memory.size() - 1 - static_cast<size_t>(i)], kGuard);
            }
            // Every line of the buffer: the coded row it shows, or untouched.
            for (int64_t line = 0; line < rows; ++line) {
              int64_t shown = line - top;
              int64_t coded_row = -1;
              if (scaling == HeightScaling::None && shown >= 0 && shown < size.height) coded_row = shown;
              if (scaling == HeightScaling::Doubled && shown >= 0 && shown < 2 * size.height) coded_row = shown / 2;
              if (scaling == HeightScaling::Interlaced && shown >= 0 && shown < 2 * size.height && shown % 2 == 0) {
                coded_row = shown / 2;
              }
              const uint8_t* stored = buffer + (bottomUp ? rows - 1 - line : line) * pitch;
              for (int64_t x = 0; x < pitch / bpp; ++x) {
                uint32_t got = stored[x * bpp];
                if (sixteenBit) got |= uint32_t{stored[x * bpp + 1]} << 8;
                uint32_t want = colorZero;
                if (coded_row >= 0 && x >= left && x < left + size.width) {
                  uint8_t index = reference[static_cast<size_t>(coded_row * size.width + x - left)];
                  want = sixteenBit ? destination.colorTable16[index] : index;
                }
                ASSERT_EQ(got, want) << "frame " << f << " line " << line << " x " << x;
              }
            }
          }
        }
      }
    }
  }
}

// A symbol the counting pass never saw has no code: the writer says so.
TEST(VideoSymbolWriter, WritingSymbolsNotCountedIsReported) {
  MemoryBitOutput out;
  VideoTreeSet trees;
  std::vector<BlockCode> counted(10);
  counted[3].type = SolidBlock;
  counted[3].solidColor = 9;
  trees.CountFrame(counted);
  ASSERT_TRUE(trees.Build(out).has_value());
  EXPECT_TRUE(trees.WriteFrame(counted, out));
  std::vector<BlockCode> other = counted;
  other[3].solidColor = 10;
  EXPECT_FALSE(trees.WriteFrame(other, out));
}

}  // namespace
