// Pacing with a clock the tests move: when VantWait lets the next frame go, how late callers are
// treated, clocks far past 32 bits, and the verdicts against a pacing track's sound position.
#include <gtest/gtest.h>

#include "playback/tests/coded_video.h"
#include "platform/system/tests/fake_clock.h"
#include "playback/pacing_sound.h"
#include "playback/tests/played_frames.h"
#include "playback/tests/test_video.h"
#include "playback/vant.h"
#include "playback/open_video.h"

namespace {

constexpr uint32_t kWidth = 16, kHeight = 8, kFrames = 6;

std::string WritePacedVideo(const ScratchDirectory& dir, int32_t frameRate) {
  CodedVideoSpec spec;
  spec.pictures = ChangingPictures(kWidth, kHeight, kFrames, 3);
  spec.palettes.assign(kFrames, TestPalette());
  spec.frameRate = frameRate;
  return WriteCodedVideo(dir.File("p.vnt"), spec).path;
}

// Moves the clock on 1 ms at a time until VantWait lets the next frame go; returns that time.
uint64_t WaitUntilDue(VantVideo* video, FakeClock& clock) {
  for (int i = 0; i < 100000 && VantWait(video); ++i) clock.Advance(1);
  return clock.Now();
}

// Plays the frames as a player does and records, relative to the start, when each was let go.
std::vector<uint64_t> DueTimes(VantVideo* video, FakeClock& clock, uint32_t frames) {
  const uint64_t start = clock.Now();
  std::vector<uint64_t> due;
  for (uint32_t i = 0; i < frames; ++i) {
    VantDoFrame(video);
    VantNextFrame(video);
    due.push_back(WaitUntilDue(video, clock) - start);
  }
  return due;
}

TEST(Pacing, FramesAreLetGoOnTheGridOfTheFramePeriod) {
  ScratchDirectory dir;
  struct Case {
    const char* what;
    int32_t fileRate;
    int32_t processRate;  // VantFrameRate value, used when nonzero
    uint32_t period;
    std::vector<uint64_t> due;
  };
  const Case cases[] = {
      {"50 ms per frame", 50, 0, 5000, {50, 100, 150, 200}},
      {"period in 10 us units", -6667, 0, 6667, {67, 134, 201, 267}},
      {"15 frames per second", -1, 15, 6666, {67, 134, 200, 267}},
      {"a period set by the caller", 40, -2500, 2500, {25, 50, 75, 100}},
  };
  // The clock in 10 us units passes 2^32 after 11.9 hours, the milliseconds after 49.7 days.
  const uint64_t starts[] = {1000, 42949600, 42949672 - 120, (uint64_t{1} << 32) - 70, (uint64_t{1} << 32) + 5,
                             uint64_t{1} << 41};
  for (const Case& c : cases) {
    const std::string path = WritePacedVideo(dir, c.fileRate);
    for (uint64_t start : starts) {
      SCOPED_TRACE(testing::Message() << c.what << ", clock at " << start);
      FakeClock clock(start);
      VantFrameRate(c.processRate);
      VantVideo* video = OpenVideo(path.c_str(), c.processRate ? VANT_OPEN_USE_FRAME_RATE : 0, 8192, clock);
      ASSERT_NE(video, nullptr);
      EXPECT_EQ(video->framePeriod, c.period);
      EXPECT_EQ(DueTimes(video, clock, 4), c.due);
      // A due frame stays due until the caller steps on.
      EXPECT_EQ(VantWait(video), 0);
      VantNextFrame(video);
      EXPECT_EQ(VantWait(video), 1);
      VantClose(video);
    }
  }
  VantFrameRate(0);
}

TEST(Pacing, ACallerFarBehindGoesOnFromNowAndOneSlightlyLateKeepsTheGrid) {
  ScratchDirectory dir;
  const std::string path = WritePacedVideo(dir, 50);
  FakeClock clock(5000);
  VantVideo* video = OpenVideo(path.c_str(), 0, 8192, clock);
  ASSERT_NE(video, nullptr);
  EXPECT_EQ(DueTimes(video, clock, 2), (std::vector<uint64_t>{50, 100}));  // next due at 150

  // Back 30 ms late: the frame goes at once, the one after it on the grid.
  VantDoFrame(video);
  VantNextFrame(video);
  clock.Set(5000 + 180);
  EXPECT_EQ(VantWait(video), 0);
  VantDoFrame(video);
  VantNextFrame(video);
  EXPECT_EQ(WaitUntilDue(video, clock), 5000u + 200);

  // Back three periods late: one frame at once, then a full period before the next, not a
  // burst of the frames missed.
  VantDoFrame(video);
  VantNextFrame(video);
  clock.Set(5000 + 400);
  EXPECT_EQ(VantWait(video), 0);
  VantDoFrame(video);
  VantNextFrame(video);
  EXPECT_EQ(VantWait(video), 1);
  EXPECT_EQ(WaitUntilDue(video, clock), 5000u + 450);
  VantClose(video);
}

TEST(Pacing, WithoutAPeriodNoFrameWaits) {
  ScratchDirectory dir;
  const std::string path = WritePacedVideo(dir, 0);
  FakeClock clock;
  VantVideo* video = OpenVideo(path.c_str(), 0, 8192, clock);
  ASSERT_NE(video, nullptr);
  GuardedBuffer buffer(kWidth, kHeight);
  VantToBuffer(video, 0, 0, kWidth, kHeight, buffer.Data(), 0);
  EXPECT_EQ(VantDoFrame(video), 0);
  VantNextFrame(video);
  EXPECT_EQ(VantWait(video), 1);  // the first call only starts the clock
  for (uint32_t i = 0; i < 3 * kFrames; ++i) {
    EXPECT_EQ(VantDoFrame(video), 0);
    VantNextFrame(video);
    EXPECT_EQ(VantWait(video), 0);
  }
  EXPECT_EQ(video->framesSkipped, 0u);
  EXPECT_EQ(video->framesPlayed, 3 * kFrames + 1);
  VantClose(video);
}

TEST(Pacing, WithoutAPacingTrackNoFrameIsLateHoweverFarBehind) {
  ScratchDirectory dir;
  const std::string path = WritePacedVideo(dir, 10);
  for (uint32_t flags : {0u, uint32_t{VANT_OPEN_NEVER_SKIP}}) {
    FakeClock clock;
    VantVideo* video = OpenVideo(path.c_str(), flags, 8192, clock);
    ASSERT_NE(video, nullptr);
    GuardedBuffer buffer(kWidth, kHeight, 0xEE);
    VantToBuffer(video, 0, 0, kWidth, kHeight, buffer.Data(), 0);
    for (uint32_t i = 0; i < kFrames; ++i) {
      const uint32_t frame = video->currentFrame;
      EXPECT_EQ(VantDoFrame(video), 0);
      // Every frame is drawn: the buffer shows the picture the file holds.
      const Picture expected = ChangingPictures(kWidth, kHeight, kFrames, 3)[frame];
      for (uint32_t y = 0; y < kHeight; ++y) {
        for (uint32_t x = 0; x < kWidth; ++x) ASSERT_EQ(buffer.At8(x, y), expected.At(x, y));
      }
      VantNextFrame(video);
      clock.Advance(1000);  // a hundred periods behind
      VantWait(video);
    }
    EXPECT_EQ(video->framesSkipped, 0u);
    VantClose(video);
  }
}

TEST(Pacing, APacingTrackWithItsSoundOffLeavesThePacingToTheClock) {
  ScratchDirectory dir;
  const std::string path = WritePacedVideo(dir, 50);
  FakeClock clock;
  VantVideo* video = OpenVideo(path.c_str(), 0, 8192, clock);
  ASSERT_NE(video, nullptr);
  // What turning a pacing track's sound off leaves behind.
  video->pacingTrack = 0;
  video->soundOff = 1;
  video->soundWait = 1;
  EXPECT_EQ(DueTimes(video, clock, 3), (std::vector<uint64_t>{50, 100, 150}));
  EXPECT_EQ(video->framesSkipped, 0u);
  video->pacingTrack = -1;
  VantClose(video);
}

TEST(Pacing, ThePacingTrackVerdictsCompareWithTheDueBaseAndOneFractionEach) {
  // 22050 bytes a second, a frame of 1455.3 bytes; the due clock has run for billions of bytes.
  PacingTrackFigures f;
  f.hadData = true;
  f.dueBase = 5'000'000'000;
  f.dueFraction = 1490227 * 3;              // three frames into the base
  f.lateThreshold = f.dueFraction + 22050 * 512;  // half a second later
  const uint64_t due = f.dueBase + f.dueFraction / 1024;       // 5'000'004'365
  const uint64_t late = f.dueBase + f.lateThreshold / 1024;    // 5'000'015'390

  f.position = late;
  EXPECT_TRUE(PacingTrackIsLate(f));
  f.position = late - 1;
  EXPECT_FALSE(PacingTrackIsLate(f));

  f.position = due - 8;
  EXPECT_TRUE(PacingTrackIsDue(f));
  f.position = due - 9;
  EXPECT_FALSE(PacingTrackIsDue(f));
}

}  // namespace
