#include "toolsupport/io/bit_output.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

using toolsupport::MemoryBitOutput;

// Reference packing: one bit at a time, least significant first.
struct BitModel {
  std::vector<uint8_t> bits;
  void Put(uint64_t value, unsigned count) {
    for (unsigned i = 0; i < count; ++i) bits.push_back((value >> i) & 1);
  }
  std::vector<uint8_t> Bytes() const {
    std::vector<uint8_t> bytes((bits.size() + 7) / 8, 0);
    for (size_t k = 0; k < bits.size(); ++k) bytes[k / 8] |= static_cast<uint8_t>(bits[k] << (k % 8));
    return bytes;
  }
};

TEST(BitOutput, SingleBitsThenAlignGiveOneByte) {
  MemoryBitOutput out;
  out.PutBits(1, 1);
  out.PutBits(0, 1);
  out.PutBits(1, 1);
  EXPECT_EQ(out.BitCount(), 3u);
  EXPECT_TRUE(out.Bytes().empty());
  out.AlignBits();
  EXPECT_EQ(out.Bytes(), std::vector<uint8_t>{0x05});
  out.AlignBits();  // nothing pending: nothing more
  EXPECT_EQ(out.Bytes().size(), 1u);
}

TEST(BitOutput, ThirtyTwoBitsAreShiftedInAfterPendingBits) {
  MemoryBitOutput out;
  out.PutBits(0x89ABCDEF, 32);
  EXPECT_EQ(out.Bytes(), (std::vector<uint8_t>{0xEF, 0xCD, 0xAB, 0x89}));
  out.Clear();
  out.PutBits(1, 1);
  out.PutBits(0x89ABCDEF, 32);
  out.AlignBits();
  EXPECT_EQ(out.Bytes(), (std::vector<uint8_t>{0xDF, 0x9B, 0x57, 0x13, 0x01}));
}

TEST(BitOutput, CountIsTakenModuloThirtyTwoAndZeroWritesNothing) {
  MemoryBitOutput out;
  out.PutBits(0xFFFFFFFF, 0);
  EXPECT_EQ(out.BitCount(), 0u);
  out.PutBits(0xFFFFFFFF, 33);
  EXPECT_EQ(out.BitCount(), 1u);
  out.PutBits(0x3, 2);  // only the low bits of the value count
  out.PutBits(0xFE, 1);
  out.AlignBits();
  EXPECT_EQ(out.Bytes(), std::vector<uint8_t>{0x07});
}

TEST(BitOutput, RandomValuesBytesAndAlignmentsMatchBitByBitPacking) {
  std::mt19937 rng(7);
  for (int round = 0; round < 50; ++round) {
    MemoryBitOutput out;
    BitModel model;
    for (int step = 0; step < 300; ++step) {
      int kind = static_cast<int>(rng() % 10);
      if (kind < 7) {
        unsigned count = 1 + rng() % 32;
        uint32_t value = static_cast<uint32_t>(rng());
        out.PutBits(value, count);
        model.Put(count == 32 ? value : value & ((1u << count) - 1), count);
      } else if (kind < 9) {
        std::vector<uint8_t> bytes(rng() % 600);
        for (auto& b : bytes) b = static_cast<uint8_t>(rng());
        EXPECT_EQ(out.Write(bytes.data(), bytes.size()), bytes.size());
        for (uint8_t b : bytes) model.Put(b, 8);
      } else {
        out.AlignBits();
        while (model.bits.size() % 8) model.bits.push_back(0);
      }
      ASSERT_EQ(out.BitCount(), model.bits.size());
    }
    out.AlignBits();
    ASSERT_EQ(out.Bytes(), model.Bytes()) << "round " << round;
  }
}

}  // namespace
