#include "playback/audio_chunk_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Packs a written-out bit string ('0'/'1', blanks ignored) least significant bit first.
std::vector<uint8_t> Pack(const std::string& text) {
  std::vector<uint8_t> bytes;
  size_t k = 0;
  for (char c : text) {
    if (c != '0' && c != '1') continue;
    if (k % 8 == 0) bytes.push_back(0);
    if (c == '1') bytes.back() |= static_cast<uint8_t>(1 << (k % 8));
    ++k;
  }
  return bytes;
}

// A value of 8 bits as written in the stream: low bit first.
std::string B8(uint32_t value) {
  std::string text;
  for (int i = 0; i < 8; ++i) text += (value >> i) & 1 ? '1' : '0';
  return text + " ";
}

std::string Leaf(uint32_t value) { return "1 0 " + B8(value) + "0 "; }  // a present single-leaf tree

// Decodes into a buffer with guard bytes around the ring.
struct Output {
  std::vector<uint8_t> memory;
  size_t written = 0;
  Output(const std::string& stream, uint32_t byte_count, size_t ring_size, size_t start_offset = 0)
      : memory(ring_size + 16, 0xEE) {
    std::vector<uint8_t> coded = Pack(stream);
    uint8_t* ring = memory.data() + 8;
    written = DecompressAudio(coded.data(), coded.size(), byte_count, ring, ring + ring_size, ring + start_offset);
  }
  std::vector<uint8_t> Ring(size_t size) const { return {memory.begin() + 8, memory.begin() + 8 + size}; }
  bool GuardsIntact(size_t size) const {
    for (size_t i = 0; i < 8; ++i) {
      if (memory[i] != 0xEE || memory[8 + size + i] != 0xEE) return false;
    }
    return true;
  }
};

TEST(AudioChunkDecoder, ChunkWithoutDataWritesNothing) {
  Output out("0 1 1 " + Leaf(5), 8, 8);
  EXPECT_EQ(out.written, 0u);
  EXPECT_EQ(out.Ring(8), std::vector<uint8_t>(8, 0xEE));
}

TEST(AudioChunkDecoder, DeltasWrapAndCarryWithinTheSampleWidth) {
  // 8-bit mono: 250 + 10 gives 4.
  Output eight("1 0 0 " + Leaf(10) + B8(250), 3, 3);
  EXPECT_EQ(eight.written, 3u);
  EXPECT_EQ(eight.Ring(3), (std::vector<uint8_t>{250, 4, 14}));
  // 16-bit mono: 0x00FF plus low delta 1 and high delta 0 gives 0x0100; first frame high byte first.
  Output sixteen("1 0 1 " + Leaf(1) + Leaf(0) + B8(0x00) + B8(0xFF), 4, 4);
  EXPECT_EQ(sixteen.written, 4u);
  EXPECT_EQ(sixteen.Ring(4), (std::vector<uint8_t>{0xFF, 0x00, 0x00, 0x01}));
}

TEST(AudioChunkDecoder, StereoWalksEachChannelsTreeAndSkipsAbsentOnes) {
  // Left tree: inner node, leaf +1 (branch 0), leaf -1 (branch 1). Right tree absent.
  std::string left = "1 1 0 " + B8(1) + "0 " + B8(255) + "0 ";
  std::string stream = "1 1 0 " + left + "0 " + B8(0x40) + B8(0x10) + "0 1";
  Output out(stream, 6, 6);
  EXPECT_EQ(out.written, 6u);
  EXPECT_EQ(out.Ring(6), (std::vector<uint8_t>{0x10, 0x40, 0x11, 0x40, 0x10, 0x40}));
}

TEST(AudioChunkDecoder, OutputWrapsInTheRingAndStopsAtWholeFrames) {
  // 8-bit mono ramp of 4 from the middle of a 4-byte ring.
  Output wrapped("1 0 0 " + Leaf(1) + B8(7), 4, 4, 2);
  EXPECT_EQ(wrapped.written, 4u);
  EXPECT_EQ(wrapped.Ring(4), (std::vector<uint8_t>{9, 10, 7, 8}));
  EXPECT_TRUE(wrapped.GuardsIntact(4));

  // More asked than the ring holds: the ring is filled once, nothing beyond it.
  Output capped("1 0 0 " + Leaf(1) + B8(7), 100, 4);
  EXPECT_EQ(capped.written, 4u);
  EXPECT_TRUE(capped.GuardsIntact(4));

  // 16-bit stereo frames are 4 bytes: 6 bytes give one frame.
  std::string stereo16 = "1 1 1 " + Leaf(0) + Leaf(0) + Leaf(0) + Leaf(0) + B8(4) + B8(3) + B8(2) + B8(1);
  Output partial(stereo16, 6, 8);
  EXPECT_EQ(partial.written, 4u);
  EXPECT_EQ(partial.Ring(8), (std::vector<uint8_t>{1, 2, 3, 4, 0xEE, 0xEE, 0xEE, 0xEE}));
}

TEST(AudioChunkDecoder, DamagedTreesWriteNothing) {
  // A tree that never closes: inner nodes until the data ends.
  Output endless("1 0 0 1 " + std::string(600, '1'), 4, 4);
  EXPECT_EQ(endless.written, 0u);
  EXPECT_EQ(endless.Ring(4), std::vector<uint8_t>(4, 0xEE));
  // A stream cut inside the tree.
  Output cut("1 0 0 1 1 0 " + B8(1), 4, 4);
  EXPECT_EQ(cut.written, 0u);
}

}  // namespace
