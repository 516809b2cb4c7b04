// Damaged or made-up tree descriptions and frames: never a crash, never a write outside the
// picture (run these under the sanitizers).
#include <gtest/gtest.h>

#include <random>

#include "playback/frame_decoder.h"
#include "playback/tests/hand_video.h"

namespace {

std::vector<uint8_t> RandomBytes(std::mt19937& random, size_t size) {
  std::vector<uint8_t> bytes(size);
  for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
  return bytes;
}

void DecodeRandomFrames(std::mt19937& random, DecoderTrees& trees) {
  for (HeightScaling scaling : {HeightScaling::None, HeightScaling::Doubled}) {
    for (uint8_t format : {uint8_t{0}, uint8_t{0x80}}) {
      hand::GuardedPicture picture(2 * 36, 2 * 20);
      MemoryDestination where = picture.Whole(36, 20);
      where.scaling = scaling;
      where.pixelFormat = format;
      where.bottomUp = random() & 1;
      DestinationDescriptor destination;
      ASSERT_TRUE(DescribeMemoryDestination(where, destination));
      std::vector<uint8_t> chunk = RandomBytes(random, random() % 64);
      DecodeVideoFrame(chunk.data(), chunk.size(), trees, destination);
      ASSERT_TRUE(picture.GuardsIntact());
    }
  }
}

TEST(HostileInput, RandomDescriptionsAreRefusedOrDecodeSafely) {
  std::mt19937 random(3);
  int built = 0;
  for (int trial = 0; trial < 3000; ++trial) {
    std::vector<uint8_t> description = RandomBytes(random, 1 + random() % 300);
    // Mostly present trees with present sub-trees, so that reading gets somewhere.
    if (trial % 2) description[0] |= 0x07;
    std::array<uint32_t, 4> sizes;
    for (uint32_t& size : sizes) size = random() % 3 ? 12 + 4 * (random() % 200) : 0xFFFFFFFFu;
    auto trees = BuildVideoTrees(description.data(), description.size(), sizes.data());
    if (!trees) continue;
    ++built;
    DecodeRandomFrames(random, *trees);
  }
  EXPECT_GT(built, 0);
}

TEST(HostileInput, DamagedCopiesOfAGoodDescriptionAreRefusedOrDecodeSafely) {
  hand::VideoTrees shapes;
  shapes.shapes = {"((1 2) (0x8000 (0xFFFD 0x0100)))", "(0x0504 (0x0203 0xFFFE))", "((1 2) (3 4))",
                   "((0 1) ((2 3) (0x0F03 (0x00EE 0x00EF))))"};
  std::vector<uint8_t> good = shapes.Description();
  std::array<uint32_t, 4> sizes = shapes.Sizes();
  std::mt19937 random(5);
  int built = 0;
  for (int trial = 0; trial < 3000; ++trial) {
    std::vector<uint8_t> description = good;
    for (int flips = 1 + random() % 3; flips > 0; --flips) {
      description[random() % description.size()] ^= static_cast<uint8_t>(1u << (random() % 8));
    }
    auto trees = BuildVideoTrees(description.data(), description.size(), sizes.data());
    if (!trees) continue;
    ++built;
    DecodeRandomFrames(random, *trees);
  }
  EXPECT_GT(built, 0);
}

}  // namespace
