#include "compressor/encode_pass.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "compressor/tests/test_frames.h"

namespace compressor {
namespace {

using testing::GreyPalette;
using testing::MemoryInput;

// 16 x 8 pixels: two block rows of four blocks.
constexpr uint32_t kW = 16, kH = 8;

std::vector<uint8_t> Picture(uint8_t fill) { return std::vector<uint8_t>(kW * kH, fill); }

void FillBlock(std::vector<uint8_t>& picture, int block, uint8_t value, size_t pitch = kW) {
  int bx = block % 4, by = block / 4;
  for (int r = 0; r < 4; ++r) std::memset(&picture[(by * 4 + r) * pitch + bx * 4], value, 4);
}

struct Recorder : BlockFileSink, FrameSymbolCounter, FrameOutput {
  bool Append(const uint8_t* data, size_t size) override {
    if (failWrites) return false;
    records.insert(records.end(), data, data + size);
    return true;
  }
  void CountFrame(const std::vector<uint32_t>& values, const uint8_t* blocks) override {
    counted.push_back(values);
    countedBlocks.emplace_back(blocks, blocks + values.size() * kBlockPixels);
  }
  bool WriteFrame(const uint8_t*, const uint8_t* pixels, size_t pitch, uint32_t width,
                  uint32_t height) override {
    std::vector<uint8_t> picture;
    for (uint32_t y = 0; y < height; ++y) {
      picture.insert(picture.end(), pixels + y * pitch, pixels + y * pitch + width);
    }
    pictures.push_back(picture);
    return !failWrites;
  }
  bool failWrites = false;
  std::vector<uint8_t> records;
  std::vector<std::vector<uint32_t>> counted;
  std::vector<std::vector<uint8_t>> countedBlocks;
  std::vector<std::vector<uint8_t>> pictures;
};

// Runs a pass over the input's frames and keeps what each frame gave.
struct PassRun {
  EncoderSettings settings;
  FrameHints hints;
  Recorder recorder;
  std::vector<FrameReport> reports;
  std::vector<std::vector<uint32_t>> values;
  std::vector<std::string> messages;
  bool stopAll = false;

  explicit PassRun(uint32_t frames) {
    settings.width = kW;
    settings.height = kH;
    settings.frames = frames;
    settings.input = {kW * kH * uint64_t{frames}, frames, 100};
    hints.Reset(frames);
  }

  bool Encode(MemoryInput& input, bool withOutput = false) {
    EncoderPorts ports;
    ports.input = &input;
    ports.blockFile = &recorder;
    ports.counter = &recorder;
    if (withOutput) ports.output = &recorder;
    ports.progress = toolsupport::Progress(
        [this](toolsupport::ProgressKind kind, const std::string& text) {
          messages.push_back((kind == toolsupport::ProgressKind::StatusNow ? "1:" : "0:") + text);
        },
        [this] { return stopAll; });
    FrameEncoder encoder(settings, hints, ports);
    // The error that stopped the pass joins the messages as "2:text".
    auto failed = [&] {
      for (const std::string& message : encoder.Failure().messages()) messages.push_back("2:" + message);
      return false;
    };
    if (!encoder.Start()) return failed();
    for (uint32_t f = 0; f < settings.frames; ++f) {
      if (!encoder.EncodeFrame(f)) return failed();
      reports.push_back(encoder.LastReport());
      values.push_back(encoder.BlockValues());
    }
    return true;
  }
};

size_t CountKind(const std::vector<uint32_t>& values, BlockType kind) {
  size_t n = 0;
  for (uint32_t v : values) n += KindOfValue(v) == kind;
  return n;
}

TEST(EncoderGeometry, StoredSizeAndAutoKeyLimit) {
  EXPECT_EQ(StoredFrameGeometry(320, 200, 0).height, 200u);
  EXPECT_EQ(StoredFrameGeometry(320, 199, 0).height, 200u);
  EXPECT_EQ(StoredFrameGeometry(321, 199, 0).width, 324u);
  EXPECT_EQ(StoredFrameGeometry(320, 199, 1).height, 100u);  // 200 / 8 * 4
  EXPECT_EQ(StoredFrameGeometry(320, 206, 2).height, 104u);  // 208 / 8 * 4
  EXPECT_EQ(StoredFrameGeometry(320, 204, 3).height, 204u);  // no such scaling
  // 95% of the 4000 blocks of 320 x 200; the product passes 32 bits for large pictures.
  EXPECT_EQ(AutoKeyLimit(320, 200, 95), 3800u);
  EXPECT_EQ(AutoKeyLimit(65536, 65536, 100), uint64_t{65536} * 65536 / 16);
}

TEST(EncodePass, ErrorTargetZeroKeepsOnlyBlocksWithinErrorOne) {
  RgbPalette palette = GreyPalette();
  const uint8_t near[3] = {100, 100, 101}, farther[3] = {101, 100, 101};
  std::memcpy(&palette[3 * 200], near, 3);      // distance 1 from grey 100
  std::memcpy(&palette[3 * 201], farther, 3);   // distance 2
  MemoryInput input(kW, kH);
  input.Add(100, palette);
  input.Add(100, palette).pixels[0] = 200;
  input.Add(100, palette).pixels[0] = 201;
  PassRun run(3);
  run.settings.regularTarget = 0;
  ASSERT_TRUE(run.Encode(input));
  EXPECT_EQ(run.reports[1].threshold, 1u);
  EXPECT_EQ(run.values[1][0], kUnchangedValue);
  // Error 2 is too much: the block is coded again, exactly (two colours, no error).
  EXPECT_EQ(KindOfValue(run.values[2][0]), TwoColorBlock);
  EXPECT_EQ(CountKind(run.values[2], UnchangedBlock), 7u);
}

TEST(EncodePass, ErrorTargetHundredAllows130089) {
  RgbPalette palette = GreyPalette();
  const uint8_t x[3] = {38, 252, 229}, y[3] = {36, 253, 228};
  std::memcpy(&palette[3], x, 3);  // distance 130089 from black
  std::memcpy(&palette[6], y, 3);  // distance 130090
  MemoryInput input(kW, kH);
  input.Add(0, palette);
  input.Add(0, palette).pixels[kW * 5 + 5] = 1;  // block 5
  input.Add(0, palette).pixels[kW * 5 + 5] = 2;
  PassRun run(3);
  run.settings.regularTarget = 100;
  ASSERT_TRUE(run.Encode(input));
  EXPECT_EQ(run.reports[1].threshold, 130089u);
  EXPECT_EQ(CountKind(run.values[1], UnchangedBlock), 8u);
  EXPECT_NE(run.values[2][5], kUnchangedValue);
  EXPECT_EQ(CountKind(run.values[2], UnchangedBlock), 7u);
}

// 64 x 64 frames of changing detail for the data-rate tests.
MemoryInput DetailedInput(int frames) {
  MemoryInput input(64, 64);
  uint32_t seed = 7;
  for (int f = 0; f < frames; ++f) {
    std::vector<uint8_t> pixels(64 * 64);
    for (size_t i = 0; i < pixels.size(); ++i) {
      seed = seed * 1664525 + 1013904223;
      size_t x = i % 64, y = i / 64;
      bool busy = (x / 16 + y / 16 + f) % 3 == 0;
      pixels[i] = static_cast<uint8_t>(busy ? seed >> 24 : (x + y + 4 * f) & 0xF0);
    }
    input.Add(pixels, GreyPalette());
  }
  return input;
}

PassRun DetailedRun(int frames) {
  PassRun run(frames);
  run.settings.width = run.settings.height = 64;
  run.settings.input = {64 * 64 * uint64_t(frames), uint32_t(frames), -6667};
  return run;
}

TEST(EncodePass, FrameSizesStayWithinTheBudget) {
  MemoryInput input = DetailedInput(6);
  PassRun run = DetailedRun(6);
  run.settings.regularTarget = 8000;   // 788 bytes a frame, less 100 of sound
  run.settings.keyTarget = 12000;
  run.settings.soundBytesPerFrame = 100;
  ASSERT_TRUE(run.Encode(input));
  for (const FrameReport& r : run.reports) {
    EXPECT_EQ(r.budget, FrameBudget(r.key ? 12000 : 8000, 6667, 100));
    EXPECT_LE(r.estimatedSize, static_cast<uint64_t>(r.budget));
    EXPECT_GT(r.threshold, 0u);  // the detail does not fit losslessly
  }
}

TEST(EncodePass, TheSmallestSizeIsTakenWhenNothingFits) {
  MemoryInput input = DetailedInput(3);
  PassRun run = DetailedRun(3);
  run.settings.regularTarget = run.settings.keyTarget = 1000;
  run.settings.soundBytesPerFrame = 5000;  // more than the whole budget
  ASSERT_TRUE(run.Encode(input));
  for (const FrameReport& r : run.reports) {
    EXPECT_EQ(r.budget, 0);
    EXPECT_GT(r.estimatedSize, 0u);
  }
  // The coarsest coding: a key frame of solid blocks, then nothing but unchanged blocks.
  EXPECT_EQ(CountKind(run.values[0], SolidBlock), 256u);
  EXPECT_EQ(CountKind(run.values[1], UnchangedBlock), 256u);
  EXPECT_EQ(run.reports[2].estimatedSize, 1u);
}

TEST(EncodePass, ShareOfEachFrameSetsTheBudgetFromThatFramesInputSize) {
  MemoryInput input = DetailedInput(2);
  PassRun run = DetailedRun(2);
  run.settings.input.frameRate = 100;  // a tenth of a second
  run.settings.keyTarget = -450;       // half of 4096 bytes per 1/10 s: 20480 bytes/s
  ASSERT_TRUE(run.Encode(input));
  EXPECT_EQ(run.reports[0].budget, 20480 * 3 * 10000 / 203000);
}

TEST(EncodePass, ShareOfAFrameWithoutFramePeriodStopsBeforeEncoding) {
  MemoryInput input = DetailedInput(2);
  PassRun run = DetailedRun(2);
  run.settings.input.frameRate = 0;
  run.hints.rate[1] = -420;
  run.hints.hasRate[1] = 1;
  EXPECT_FALSE(run.Encode(input));
  EXPECT_EQ(run.messages, std::vector<std::string>{std::string("2:") + kZeroPeriodMessage});
  EXPECT_EQ(input.Reads(), 0);
  EXPECT_TRUE(run.recorder.records.empty());
}

TEST(EncodePass, ShareOfTheFileIsConvertedOnce) {
  MemoryInput input = DetailedInput(2);
  PassRun run = DetailedRun(2);
  run.settings.regularTarget = -50;  // half of 4096 bytes a frame at 15 frames/s
  ASSERT_TRUE(run.Encode(input));
  EXPECT_EQ(run.reports[1].target, int64_t{409600} * (50 * (10000000 / 6667)) / 1000000);
  input.Rewind();
  run = DetailedRun(2);
  run.settings.input.frameRate = 0;
  run.settings.keyTarget = -50;
  EXPECT_FALSE(run.Encode(input));
}

TEST(EncodePass, AutomaticKeyFrameHasNoUnchangedBlocksAndIsMarkedForTheSecondPass) {
  MemoryInput input(kW, kH);
  input.Add(0, GreyPalette());
  std::vector<uint8_t> changed = Picture(255);
  FillBlock(changed, 7, 0);  // one block as before
  input.Add(changed, GreyPalette());
  input.Add(changed, GreyPalette());
  PassRun run(3);
  run.settings.autoKeyPercent = 80;   // more than 6 of 8 blocks
  run.settings.regularTarget = 100;
  run.settings.keyTarget = 0;
  run.settings.firstInputFrame = 5;   // /S5
  ASSERT_TRUE(run.Encode(input));
  EXPECT_TRUE(run.reports[1].autoKey);
  EXPECT_TRUE(run.reports[1].key);
  EXPECT_EQ(run.reports[1].target, 0);  // the key frames' target
  EXPECT_EQ(run.hints.key[1], 1);
  EXPECT_EQ(CountKind(run.values[1], UnchangedBlock), 0u);
  EXPECT_EQ(run.values[1][7], SolidValue(0));
  EXPECT_EQ(run.messages, std::vector<std::string>{"1:Auto-key-framing frame 6..."});
  // The next frame is an ordinary one again.
  EXPECT_FALSE(run.reports[2].key);
  EXPECT_EQ(CountKind(run.values[2], UnchangedBlock), 8u);
}

TEST(EncodePass, FewChangesDoNotMakeAKeyFrame) {
  MemoryInput input(kW, kH);
  input.Add(0, GreyPalette());
  std::vector<uint8_t> changed = Picture(255);
  FillBlock(changed, 7, 0);
  FillBlock(changed, 6, 0);
  input.Add(changed, GreyPalette());
  PassRun run(2);
  run.settings.autoKeyPercent = 80;  // 6 changed blocks are not more than 6
  run.settings.regularTarget = 0;
  ASSERT_TRUE(run.Encode(input));
  EXPECT_FALSE(run.reports[1].key);
  EXPECT_EQ(run.hints.key[1], 0);
  EXPECT_EQ(CountKind(run.values[1], UnchangedBlock), 2u);
}

TEST(EncodePass, FirstFrameIsAKeyFrameEvenWhenTheHintsSayNot) {
  MemoryInput input(kW, kH);
  input.Add(0, GreyPalette());  // the same as the decoded picture starts
  PassRun run(1);
  run.hints.key[0] = 0;
  ASSERT_TRUE(run.Encode(input));
  EXPECT_TRUE(run.reports[0].key);
  EXPECT_EQ(run.values[0], std::vector<uint32_t>(8, SolidValue(0)));
}

TEST(EncodePass, BlockFileAndCountsCarryEveryCodedFrame) {
  MemoryInput input = DetailedInput(4);
  PassRun run = DetailedRun(4);
  run.settings.regularTarget = 50000;
  ASSERT_TRUE(run.Encode(input));
  ASSERT_EQ(run.recorder.counted.size(), 4u);
  struct Source : ByteSource {
    const std::vector<uint8_t>& bytes;
    size_t at = 0;
    explicit Source(const std::vector<uint8_t>& b) : bytes(b) {}
    bool Read(uint8_t* d, size_t n) override {
      if (n > bytes.size() - at) return false;
      std::memcpy(d, bytes.data() + at, n);
      at += n;
      return true;
    }
  } source(run.recorder.records);
  for (int f = 0; f < 4; ++f) {
    std::vector<uint32_t> back;
    ASSERT_TRUE(ReadBlockRecords(source, 256, back));
    EXPECT_EQ(back, run.values[f]);
    EXPECT_EQ(run.recorder.counted[f], run.values[f]);
  }
  EXPECT_EQ(source.at, run.recorder.records.size());
  // The counter sees the frame's own pixels (for full blocks), in block order.
  std::vector<uint8_t> gathered(64 * 64);
  input.Rewind();
  for (int f = 0; f < 4; ++f) ASSERT_TRUE(input.NextFrame());
  GatherBlocks(input.Pixels(), 64, 64, 64, false, gathered.data());
  EXPECT_EQ(run.recorder.countedBlocks[3], gathered);
}

TEST(EncodePass, PictureOutputGetsTheCodedFramesAndWithMixingTheOriginalsFirst) {
  MemoryInput input = DetailedInput(3);
  PassRun run = DetailedRun(3);
  run.settings.regularTarget = run.settings.keyTarget = 0;  // every grey is exact
  run.settings.mixOriginals = true;
  ASSERT_TRUE(run.Encode(input, true));
  ASSERT_EQ(run.recorder.pictures.size(), 6u);
  input.Rewind();
  for (int f = 0; f < 3; ++f) {
    ASSERT_TRUE(input.NextFrame());
    std::vector<uint8_t> original(input.Pixels(), input.Pixels() + 64 * 64);
    EXPECT_EQ(run.recorder.pictures[2 * f], original);
    EXPECT_EQ(run.recorder.pictures[2 * f + 1], original);
  }
  // At a coarse rate the coded frames differ from the input.
  input.Rewind();
  PassRun coarse = DetailedRun(3);
  coarse.settings.regularTarget = coarse.settings.keyTarget = 100;
  ASSERT_TRUE(coarse.Encode(input, true));
  ASSERT_EQ(coarse.recorder.pictures.size(), 3u);
  EXPECT_NE(coarse.recorder.pictures[0], run.recorder.pictures[0]);
}

TEST(EncodePass, RingFrameRewindsAndCodesFrameZeroAgain) {
  MemoryInput input = DetailedInput(3);
  PassRun run = DetailedRun(4);
  run.settings.ringFrame = true;
  run.settings.regularTarget = run.settings.keyTarget = 0;
  ASSERT_TRUE(run.Encode(input, true));
  EXPECT_EQ(input.Rewinds(), 1);
  EXPECT_EQ(input.Current(), 0u);
  EXPECT_EQ(run.recorder.pictures[3], run.recorder.pictures[0]);
  EXPECT_FALSE(run.reports[3].key);
}

TEST(EncodePass, EveryOtherFrameTakesTheSecondOfEachPair) {
  MemoryInput input = DetailedInput(4);
  PassRun run = DetailedRun(2);
  run.settings.everyOther = true;
  run.settings.regularTarget = run.settings.keyTarget = 0;
  ASSERT_TRUE(run.Encode(input, true));
  EXPECT_EQ(input.Reads(), 4);
  input.Rewind();
  ASSERT_TRUE(input.NextFrame());
  ASSERT_TRUE(input.NextFrame());
  EXPECT_EQ(run.recorder.pictures[0], std::vector<uint8_t>(input.Pixels(), input.Pixels() + 4096));
}

TEST(EncodePass, HeightScalingCodesEveryOtherRow) {
  MemoryInput input(kW, kH);
  std::vector<uint8_t> picture(kW * kH);
  for (uint32_t y = 0; y < kH; ++y) std::memset(&picture[y * kW], y % 2 ? 9 : 10 + y, kW);
  input.Add(picture, GreyPalette());
  PassRun run(1);
  run.settings.height = 4;
  run.settings.heightScaling = 1;
  run.settings.keyTarget = 0;
  ASSERT_TRUE(run.Encode(input, true));
  std::vector<uint8_t> expected;
  for (uint8_t v : {10, 12, 14, 16}) expected.insert(expected.end(), kW, v);
  EXPECT_EQ(run.recorder.pictures[0], expected);
}

TEST(EncodePass, AWriteErrorStopsThePassWithTheDiskMessage) {
  MemoryInput input(kW, kH);
  input.Add(0, GreyPalette());
  input.Add(0, GreyPalette());
  PassRun run(2);
  run.recorder.failWrites = true;
  EXPECT_FALSE(run.Encode(input));
  EXPECT_EQ(run.messages, std::vector<std::string>{std::string("2:") + kDiskFullMessage});
  EXPECT_EQ(input.Reads(), 1);
}

TEST(EncodePass, StopsWhenAskedOrWhenTheInputStopsOrIsTooSmall) {
  MemoryInput input(kW, kH);
  input.Add(0, GreyPalette());
  PassRun stopped(1);
  stopped.stopAll = true;
  EXPECT_FALSE(stopped.Encode(input));
  EXPECT_EQ(input.Reads(), 0);
  PassRun tooMany(2);  // the input has one frame
  EXPECT_FALSE(tooMany.Encode(input));
  MemoryInput narrow(kW - 4, kH);
  narrow.Add(0, GreyPalette());
  PassRun tooSmall(1);
  EXPECT_FALSE(tooSmall.Encode(narrow));
  EXPECT_EQ(tooSmall.messages.size(), 1u);
}

}  // namespace
}  // namespace compressor
