#include "playback/bit_reader.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

uint32_t StreamBit(const std::vector<uint8_t>& bytes, size_t k) {
  return k / 8 < bytes.size() ? bytes[k / 8] >> (k % 8) & 1 : 0;
}

// Bit k of the stream is bit k % 8 of byte k / 8, whatever mix of widths is read, on both the
// word-loading path and the byte-by-byte path near the end.
TEST(BitReader, ReadsLeastSignificantBitFirstInAnyMixOfWidths) {
  std::mt19937 random(7);
  for (size_t size : {0u, 1u, 3u, 7u, 8u, 9u, 31u, 200u}) {
    std::vector<uint8_t> bytes(size);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
    BitReader reader(bytes.data(), bytes.size());
    size_t k = 0;
    while (k < 8 * size + 40) {
      int width = static_cast<int>(random() % 17);
      uint32_t expected = 0;
      for (int i = 0; i < width; ++i) expected |= StreamBit(bytes, k + i) << i;
      if (width == 1) {
        ASSERT_EQ(reader.ReadBit(), expected) << "size " << size << " bit " << k;
      } else {
        ASSERT_EQ(reader.PeekBits(width), expected) << "size " << size << " bit " << k;
        ASSERT_EQ(reader.ReadBits(width), expected);
      }
      k += width;
    }
  }
}

TEST(BitReader, BitsPastTheEndAreZerosAndMarkAnOverrun) {
  for (size_t size : {3u, 12u}) {
    std::vector<uint8_t> bytes(size, 0xFF);
    BitReader reader(bytes.data(), bytes.size());
    for (size_t i = 0; i < size; ++i) ASSERT_EQ(reader.ReadBits(8), 0xFFu);
    EXPECT_FALSE(reader.Overrun());
    EXPECT_EQ(reader.PeekBits(16), 0u);  // looking ahead is no overrun
    EXPECT_FALSE(reader.Overrun());
    EXPECT_EQ(reader.ReadBit(), 0u);
    EXPECT_TRUE(reader.Overrun());
  }
}

}  // namespace
