#include "compressor/block_records.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "compressor/block_file.h"
#include "testsupport/scratch_directory.h"

namespace compressor {
namespace {

class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
  bool Read(uint8_t* destination, size_t count) override {
    if (count > bytes_.size() - position_) return false;
    std::memcpy(destination, bytes_.data() + position_, count);
    position_ += count;
    return true;
  }
  size_t Left() const { return bytes_.size() - position_; }

 private:
  std::vector<uint8_t> bytes_;
  size_t position_ = 0;
};

TEST(BlockValues, KindsAreToldApart) {
  EXPECT_EQ(KindOfValue(kUnchangedValue), UnchangedBlock);
  EXPECT_EQ(KindOfValue(kFullValue), FullBlock);
  EXPECT_EQ(KindOfValue(SolidValue(0)), SolidBlock);
  EXPECT_EQ(KindOfValue(SolidValue(255)), SolidBlock);
  EXPECT_EQ(SolidValue(0x42), 0x80428042u);
  EXPECT_EQ(KindOfValue(TwoColorValue(0x7FFF, 0, 0)), TwoColorBlock);
  EXPECT_EQ(KindOfValue(TwoColorValue(1, 0, 0)), TwoColorBlock);
}

TEST(BlockRecords, RunsAreWrittenInPiecesWithTheirData) {
  std::vector<uint32_t> values;
  values.insert(values.end(), 100, kUnchangedValue);   // 59 + 41
  values.insert(values.end(), 128, SolidValue(9));     // one piece of 128
  values.push_back(SolidValue(10));                    // another colour: another run
  values.push_back(TwoColorValue(0x0001, 4, 5));
  values.push_back(TwoColorValue(0x1234, 6, 7));
  values.insert(values.end(), 3, kFullValue);
  std::vector<uint8_t> bytes;
  AppendBlockRecords(values, bytes);
  std::vector<uint8_t> expected = {58 * 4 + 2, 40 * 4 + 2, 59 * 4 + 3, 9, 0 * 4 + 3, 10,
                                   1 * 4 + 0, 0x01, 0x00, 4, 5, 0x34, 0x12, 6, 7, 2 * 4 + 1};
  EXPECT_EQ(bytes, expected);

  MemorySource source(bytes);
  std::vector<uint32_t> back;
  ASSERT_TRUE(ReadBlockRecords(source, values.size(), back));
  EXPECT_EQ(back, values);
  EXPECT_EQ(source.Left(), 0u);
}

TEST(BlockRecords, AWholeFrameOfLongRunsReadsBack) {
  // 4000 blocks: runs of 2048 and more, one frame after another in the same file.
  std::vector<uint32_t> first(4000, kUnchangedValue), second(4000, SolidValue(3));
  for (size_t i = 2100; i < 2200; ++i) second[i] = TwoColorValue(static_cast<uint16_t>(i), 1, 2);
  std::vector<uint8_t> bytes;
  AppendBlockRecords(first, bytes);
  EXPECT_EQ(bytes.size(), 6u);  // 2048, 1024, 512, 256, 128, 32
  AppendBlockRecords(second, bytes);
  MemorySource source(bytes);
  std::vector<uint32_t> back;
  ASSERT_TRUE(ReadBlockRecords(source, 4000, back));
  EXPECT_EQ(back, first);
  ASSERT_TRUE(ReadBlockRecords(source, 4000, back));
  EXPECT_EQ(back, second);
  EXPECT_EQ(source.Left(), 0u);
}

TEST(BlockRecords, DamagedRecordsAreRefused) {
  std::vector<uint32_t> back;
  MemorySource tooLong({63 * 4 + 2});  // a run of 2048 in a frame of 100 blocks
  EXPECT_FALSE(ReadBlockRecords(tooLong, 100, back));
  MemorySource cut({1 * 4 + 0, 1, 0, 4, 5, 2});  // the second two-colour block is missing
  EXPECT_FALSE(ReadBlockRecords(cut, 2, back));
  MemorySource noColour({0 * 4 + 3});
  EXPECT_FALSE(ReadBlockRecords(noColour, 1, back));
  MemorySource looksSolid({0 * 4 + 0, 0x00, 0x80, 1, 2});  // pattern bit 15 set
  EXPECT_FALSE(ReadBlockRecords(looksSolid, 1, back));
}

TEST(ChooseBlockValues, PrefersUnchangedThenSolidThenTwoColourThenFull) {
  FrameAnalysis analysis;
  auto add = [&](uint32_t unchanged, uint32_t solid, uint8_t color, uint32_t two, uint32_t v) {
    BlockScore s;
    s.unchanged = unchanged;
    s.solid = solid;
    s.solidColor = color;
    s.twoColor = two;
    analysis.scores.push_back(s);
    analysis.twoColorValues.push_back(v);
  };
  add(5, 0, 1, 0, TwoColorValue(3, 1, 2));          // unchanged within 5
  add(6, 5, 1, 0, TwoColorValue(3, 1, 2));          // solid
  add(6, 6, 1, 5, TwoColorValue(3, 1, 2));          // two-colour
  add(6, 6, 1, 6, TwoColorValue(3, 1, 2));          // full
  add(kNoError, 9, 1, 5, TwoColorValue(0, 0, 0));   // a one-colour pattern is a solid block
  std::vector<uint32_t> values;
  ChooseBlockValues(analysis, 5, values);
  std::vector<uint32_t> expected = {kUnchangedValue, SolidValue(1), TwoColorValue(3, 1, 2),
                                    kFullValue, SolidValue(0)};
  EXPECT_EQ(values, expected);
}

TEST(RebuildDecodedBlocks, DrawsEachKindAsTheDecoderWill) {
  std::vector<uint32_t> values = {kUnchangedValue, SolidValue(7), kFullValue,
                                  TwoColorValue(0x0001, 4, 5)};
  std::vector<uint8_t> frame(4 * 16), decoded(4 * 16, 99);
  for (size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<uint8_t>(i);
  RebuildDecodedBlocks(values, frame.data(), decoded.data());
  for (int k = 0; k < 16; ++k) {
    EXPECT_EQ(decoded[k], 99);            // unchanged keeps what was there
    EXPECT_EQ(decoded[16 + k], 7);        // solid
    EXPECT_EQ(decoded[32 + k], 32 + k);   // full takes the frame's pixels
  }
  // Mask 0x0001 with pair 0x0504: pixel 0 of the top row is 5, all others 4.
  EXPECT_EQ(decoded[48], 5);
  for (int k = 1; k < 16; ++k) EXPECT_EQ(decoded[48 + k], 4);
  uint8_t row[4];
  ExpandTwoColorRow(TwoColorValue(0x6000, 1, 2), 3, row);  // bits 13, 14: pixels 1, 2 of row 3
  EXPECT_EQ(row[0], 1);
  EXPECT_EQ(row[1], 2);
  EXPECT_EQ(row[2], 2);
  EXPECT_EQ(row[3], 1);
}

}  // namespace
}  // namespace compressor

namespace compressor {
namespace {

TEST(BufferedBlockFile, FramesWrittenByThePassReadBackFromTheStart) {
  testsupport::ScratchDirectory scratch;
  const std::string name = scratch / "block_file_test.tmp";
  toolsupport::BufferedFile file(512);
  ASSERT_TRUE(file.Create(name.c_str()));
  BufferedBlockFile blocks(file);
  std::vector<std::vector<uint32_t>> frames;
  for (int f = 0; f < 5; ++f) {
    std::vector<uint32_t> values(300);
    for (size_t i = 0; i < values.size(); ++i) {
      uint32_t pick = static_cast<uint32_t>((i * 7 + f * 3) % 11);
      values[i] = pick < 3 ? kUnchangedValue
                  : pick < 5 ? SolidValue(static_cast<uint8_t>(f))
                  : pick < 6 ? kFullValue
                             : TwoColorValue(static_cast<uint16_t>(i + 1), 1, 2);
    }
    std::vector<uint8_t> bytes;
    AppendBlockRecords(values, bytes);
    ASSERT_TRUE(blocks.Append(bytes.data(), bytes.size()));
    frames.push_back(values);
  }
  file.Seek(0);
  for (const auto& expected : frames) {
    std::vector<uint32_t> back;
    ASSERT_TRUE(ReadBlockRecords(blocks, expected.size(), back));
    EXPECT_EQ(back, expected);
  }
  uint8_t extra;
  EXPECT_FALSE(blocks.Read(&extra, 1));
  file.Close();
  std::remove(name.c_str());
}

}  // namespace
}  // namespace compressor
