// VantSummary after playbacks timed with a clock the tests move.
#include <gtest/gtest.h>

#include <random>

#include "playback/tests/coded_video.h"
#include "platform/system/tests/fake_clock.h"
#include "playback/tests/played_frames.h"
#include "playback/tests/test_video.h"
#include "playback/vant.h"
#include "playback/open_video.h"

namespace {

constexpr uint32_t kWidth = 64, kHeight = 48, kFrames = 7;

// Key frames of noise: every frame is a few kilobytes to read.
CodedVideo WriteNoiseVideo(const ScratchDirectory& dir, int32_t frameRate) {
  std::mt19937 random(11);
  CodedVideoSpec spec;
  for (uint32_t f = 0; f < kFrames; ++f) {
    Picture picture(kWidth, kHeight);
    for (uint8_t& pixel : picture.pixels) pixel = static_cast<uint8_t>(random() % 64);
    spec.pictures.push_back(picture);
    spec.palettes.push_back(TestPalette());
  }
  spec.keyFrames = true;
  spec.frameRate = frameRate;
  return WriteCodedVideo(dir.File("s.vnt"), spec);
}

TEST(Summary, NothingPlayedIsNoTimeAtAll) {
  ScratchDirectory dir;
  const CodedVideo coded = WriteNoiseVideo(dir, -10000);
  FakeClock clock(123456);
  VantVideo* video = OpenVideo(coded.path.c_str(), 0, 8192, clock);
  ASSERT_NE(video, nullptr);
  clock.Advance(500);
  VantSummaryInfo info;
  ASSERT_EQ(VantSummary(video, &info), 1);
  EXPECT_EQ(info.totalTime, 0u);
  EXPECT_EQ(info.framesPlayed, 0u);
  EXPECT_EQ(info.slowestFrame, 0u);
  EXPECT_EQ(info.framePeriod, 10000u);
  VantClose(video);
}

TEST(Summary, TimesFramesAndSizesOfAPlayback) {
  ScratchDirectory dir;
  const CodedVideo coded = WriteNoiseVideo(dir, -50000);  // two frames a second
  FakeClock clock(1000);
  VantVideo* video = OpenVideo(coded.path.c_str(), 0, 8192, clock);
  ASSERT_NE(video, nullptr);
  std::vector<uint8_t> pixels(kWidth * kHeight);
  VantToBuffer(video, 0, 0, kWidth, kHeight, pixels.data(), 0);

  // Per frame: decoding takes 3 ms, then showing the rectangles takes `blit` ms.
  const uint32_t blit[kFrames] = {7, 7, 37, 7, 57, 47, 7};
  const uint64_t start = clock.Now();
  uint32_t decompress = 0, blitting = 0;
  for (uint32_t f = 0; f < kFrames; ++f) {
    VantDoFrame(video);
    clock.Advance(3);
    while (VantToBufferRect(video, VANT_RECT_MERGE)) clock.Advance(blit[f]);
    decompress += 3;
    blitting += blit[f];
    VantNextFrame(video);
    while (VantWait(video)) clock.Advance(1);
  }
  const uint64_t end = clock.Now() + 20;
  clock.Set(end);

  VantSummaryInfo info;
  ASSERT_EQ(VantSummary(video, &info), 1);
  EXPECT_EQ(info.totalTime, end - start);
  EXPECT_EQ(info.framePeriod, 50000u);
  EXPECT_EQ(info.framesPlayed, kFrames);
  EXPECT_EQ(info.framesSkipped, 0u);
  EXPECT_EQ(info.soundSkips, 0u);
  EXPECT_EQ(info.decompressTime, decompress);
  EXPECT_EQ(info.blitTime, blitting);
  // Frames take 10, 10, 40, 10, 60, 50, 10 ms; numbers are 1-based.
  EXPECT_EQ(info.slowestFrameTime, 60u);
  EXPECT_EQ(info.slowestFrame, 5u);
  EXPECT_EQ(info.secondSlowestFrameTime, 50u);
  EXPECT_EQ(info.secondSlowestFrame, 6u);

  uint64_t total = 0;
  for (uint32_t size : coded.frameSizes) total += size;
  EXPECT_EQ(info.averageFrameSize, total / kFrames);
  // One second is two frames; the pair that starts at frame 0 is left out (it carries the
  // sound that runs ahead).
  uint64_t highest = 0;
  uint32_t highestFrame = 0;
  for (uint32_t f = 1; f + 1 < kFrames; ++f) {
    const uint64_t pair = uint64_t{coded.frameSizes[f]} + coded.frameSizes[f + 1];
    if (pair > highest) highest = pair, highestFrame = f + 1;
  }
  EXPECT_EQ(info.highestRate, highest);
  EXPECT_EQ(info.highestRateFrame, highestFrame);

  EXPECT_EQ(info.extraBufferTotal, 8192u);
  EXPECT_GT(info.extraBufferHighest, 0u);  // the waits read ahead
  EXPECT_LE(info.extraBufferHighest, 8192u);
  EXPECT_GE(info.peakMemory, video->memoryInUse);
  EXPECT_GT(info.peakMemory, 8192u + kWidth * kHeight / 16);
  // The fake clock stands still while reading: no time spent, no speed to tell.
  EXPECT_EQ(info.readTime, 0u);
  EXPECT_EQ(info.readSpeed, 0u);
  VantClose(video);
}

TEST(Summary, ASimulatedReadRateShowsAsTheReadSpeed) {
  ScratchDirectory dir;
  const CodedVideo coded = WriteNoiseVideo(dir, -10000);
  for (uint32_t rate : {20000u, 150000u}) {
    SCOPED_TRACE(rate);
    FakeClock clock;
    VantSimulate(rate);
    VantVideo* video = OpenVideo(coded.path.c_str(), VANT_OPEN_SIMULATE_READ, 8192, clock);
    ASSERT_NE(video, nullptr);
    for (uint32_t f = 0; f < 2 * kFrames; ++f) {
      VantDoFrame(video);
      VantNextFrame(video);
      while (VantWait(video)) clock.Advance(1);
    }
    VantSummaryInfo info;
    ASSERT_EQ(VantSummary(video, &info), 1);
    EXPECT_GT(info.openTime, 0u);
    EXPECT_GT(info.readTime, 0u);
    EXPECT_GT(info.backgroundReadTime, 0u);
    // Waits are whole milliseconds, rounded down: the speed comes out a little high.
    EXPECT_GE(info.readSpeed, rate);
    EXPECT_LE(info.readSpeed, rate + rate / 20);
    VantClose(video);
  }
  VantSimulate(0);
}

}  // namespace
