// The first pass's counts are enough to code its frames, and the frames it codes decode to the
// pictures it rebuilt for itself (the pictures its next frames are measured against).
#include "compressor/block_codes.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "playback/frame_decoder.h"
#include "compressor/tests/test_frames.h"

namespace compressor {
namespace {

// Counts as the pass does, and keeps what each frame was made of.
struct KeepingCounter : FrameSymbolCounter {
  explicit KeepingCounter(const toolsupport::VideoHuffTrees& trees) : counter(trees) {}
  void CountFrame(const std::vector<uint32_t>& values, const uint8_t* blocks) override {
    counter.CountFrame(values, blocks);
    std::vector<BlockCode> codes;
    ToBlockCodes(values, blocks, codes);
    frames.push_back(codes);
  }
  TreeSymbolCounter counter;
  std::vector<std::vector<BlockCode>> frames;
};

TEST(TreeSymbolCounter, CountedFramesCodeAndDecodeToThePicturesThePassRebuilt) {
  const uint32_t width = 64, height = 48, frames = 8;
  testing::MemoryInput input(width, height);
  uint32_t seed = 99;
  for (uint32_t f = 0; f < frames; ++f) {
    std::vector<uint8_t> pixels(width * height);
    for (uint32_t i = 0; i < pixels.size(); ++i) {
      seed = seed * 1664525 + 1013904223;
      uint32_t x = i % width, y = i / width;
      bool moving = x / 8 == (f * 3) % 8 || y / 12 == f % 4;
      pixels[i] = static_cast<uint8_t>(moving ? seed >> 24 : (x / 2 + y / 4) * 9);
      if (x >= 40 && y >= 40) pixels[i] = static_cast<uint8_t>(200 + f);  // a solid corner
    }
    input.Add(pixels, testing::GreyPalette());
  }

  toolsupport::MemoryBitOutput treeOut;
  toolsupport::VideoTreeSet trees;
  KeepingCounter counter(trees.Trees());

  EncoderSettings settings;
  settings.width = width;
  settings.height = height;
  settings.frames = frames;
  settings.input = {width * height * uint64_t{frames}, frames, -6667};
  settings.regularTarget = 20000;
  settings.keyInterval = 5;
  FrameHints hints;
  hints.Reset(frames);
  EncoderPorts ports;
  ports.input = &input;
  ports.counter = &counter;
  FrameEncoder encoder(settings, hints, ports);
  ASSERT_TRUE(encoder.Start());
  std::vector<std::vector<uint8_t>> rebuilt;
  for (uint32_t f = 0; f < frames; ++f) {
    ASSERT_TRUE(encoder.EncodeFrame(f));
    std::vector<uint8_t> picture(width * height);
    ScatterBlocks(encoder.DecodedBlocks().data(), width, height, picture.data(), width);
    rebuilt.push_back(picture);
  }

  const auto sizes = trees.Build(treeOut);
  ASSERT_TRUE(sizes.has_value());
  treeOut.AlignBits();
  std::vector<uint8_t> treeData = treeOut.Bytes();
  auto decoderTrees = BuildVideoTrees(treeData.data(), treeData.size(), sizes->data());
  ASSERT_TRUE(decoderTrees);

  std::vector<uint8_t> shown(width * height, 0);
  MemoryDestination where;
  where.buffer = shown.data();
  where.pitch = width;
  where.rows = height;
  where.width = width;
  where.codedHeight = height;
  DestinationDescriptor destination;
  ASSERT_TRUE(DescribeMemoryDestination(where, destination));
  size_t kinds[4] = {};
  for (uint32_t f = 0; f < frames; ++f) {
    toolsupport::MemoryBitOutput frameOut;
    ASSERT_TRUE(trees.WriteFrame(counter.frames[f], frameOut)) << "frame " << f;
    frameOut.AlignBits();
    std::vector<uint8_t> chunk = frameOut.Bytes();
    chunk.resize((chunk.size() + 3) / 4 * 4 + 4, 0);
    DecodeVideoFrame(chunk.data(), chunk.size(), *decoderTrees, destination);
    ASSERT_EQ(shown, rebuilt[f]) << "frame " << f;
    for (const BlockCode& code : counter.frames[f]) ++kinds[code.type];
  }
  // The clip exercises every kind of block.
  for (size_t n : kinds) EXPECT_GT(n, 0u);
}

}  // namespace
}  // namespace compressor
