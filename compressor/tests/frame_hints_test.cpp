#include "compressor/frame_hints.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "compressor/key_frames.h"
#include "testsupport/scratch_directory.h"

namespace compressor {
namespace {

// 20 frames from input frame 1 (no /S), 10 frames a second, 1 MB of input.
const HintLayout kLayout{1, 20, false};
const InputRateFacts kInput{1000000, 20, 100};

FrameHints Fresh(uint32_t frames = 20) {
  FrameHints hints;
  hints.Reset(frames);
  return hints;
}

TEST(FrameHints, StartWithoutHintsAndFrameZeroAsKeyFrame) {
  FrameHints hints = Fresh(3);
  EXPECT_EQ(hints.key, (std::vector<uint8_t>{1, 0, 0}));
  EXPECT_EQ(hints.hasRate, (std::vector<uint8_t>{0, 0, 0}));
  EXPECT_EQ(hints.TargetFor(1, true, 20, 240000), 20);
  EXPECT_EQ(hints.TargetFor(1, false, 20, 240000), 240000);
}

TEST(HintLine, RangeGivesRateAndKeyFramesEvenWhenWrittenBackwards) {
  FrameHints hints = Fresh();
  ASSERT_EQ(ApplyHintLine("10 5 8000 1", kLayout, kInput, hints), HintStatus::kRead);
  for (uint32_t f = 0; f < 20; ++f) {
    bool inside = f >= 4 && f <= 9;  // input frames 5 to 10
    EXPECT_EQ(hints.hasRate[f], inside) << f;
    EXPECT_EQ(hints.key[f], inside || f == 0) << f;
    if (inside) {
      EXPECT_EQ(hints.rate[f], 8000);
      EXPECT_EQ(hints.TargetFor(f, false, 20, 240000), 8000);
    }
  }
}

TEST(HintLine, StarKeepsTheRateAndMissingWordsKeepEverything) {
  FrameHints hints = Fresh();
  ApplyHintLine("1 20 5000 0", kLayout, kInput, hints);
  ApplyHintLine("3 7 * 1", kLayout, kInput, hints);
  for (uint32_t f = 2; f <= 6; ++f) {
    EXPECT_EQ(hints.key[f], 1);
    EXPECT_EQ(hints.rate[f], 5000);
  }
  EXPECT_EQ(hints.key[7], 0);
  ApplyHintLine("\t12   12  \r", kLayout, kInput, hints);
  EXPECT_EQ(hints.rate[11], 5000);
  ApplyHintLine("", kLayout, kInput, hints);
  ApplyHintLine("   ", kLayout, kInput, hints);
  EXPECT_EQ(hints.rate[0], 5000);
}

TEST(HintLine, RangesStartingOutsideTheEncodedFramesAreIgnoredEntirely) {
  // Encoding starts at input frame 5 (/S5): frames 5 to 24.
  HintLayout layout{5, 20, false};
  FrameHints hints = Fresh();
  ApplyHintLine("3 8 7000 1", layout, kInput, hints);   // starts before frame 5
  ApplyHintLine("0 8 7000 1", layout, kInput, hints);
  ApplyHintLine("25 30 7000 1", layout, kInput, hints); // starts after the last
  EXPECT_EQ(hints.hasRate, std::vector<uint8_t>(20, 0));
  // A range running past the end stops at the last frame.
  ApplyHintLine("22 99 7000 *", layout, kInput, hints);
  EXPECT_EQ(hints.hasRate[16], 0);
  for (uint32_t f = 17; f < 20; ++f) EXPECT_EQ(hints.rate[f], 7000);
}

TEST(HintLine, FrameZeroCanLoseItsMarkButStaysAKeyFrame) {
  FrameHints hints = Fresh();
  ApplyHintLine("1 1 * 0", kLayout, kInput, hints);
  EXPECT_EQ(hints.key[0], 0);
  KeyFrameSchedule schedule(0x10000000);
  EXPECT_TRUE(schedule.Decide(0, hints));
  EXPECT_FALSE(schedule.Decide(1, hints));
}

TEST(HintLine, ShareOfTheFileBecomesBytesPerSecondAndIsNoLongerTakenForNoHint) {
  FrameHints hints = Fresh();
  // -1: 1% of 50000 bytes a frame at 10 frames a second = 5000 bytes/s.
  ASSERT_EQ(ApplyHintLine("2 2 -1 *", kLayout, kInput, hints), HintStatus::kRead);
  EXPECT_EQ(hints.hasRate[1], 1);
  EXPECT_EQ(hints.rate[1], 5000);
  EXPECT_EQ(hints.TargetFor(1, true, 20, 240000), 5000);
  ApplyHintLine("3 3 -200 *", kLayout, kInput, hints);
  EXPECT_EQ(hints.rate[2], 1000000);
  // Other rates stand as written.
  ApplyHintLine("4 4 -450 *", kLayout, kInput, hints);
  EXPECT_EQ(hints.rate[3], -450);
  ApplyHintLine("5 5 35 *", kLayout, kInput, hints);
  EXPECT_EQ(hints.rate[4], 35);
  // Without a frame period the share has no meaning.
  InputRateFacts noPeriod{1000000, 20, 0};
  EXPECT_EQ(ApplyHintLine("2 2 -1 *", kLayout, noPeriod, hints), HintStatus::kZeroPeriod);
}

TEST(HintLine, EveryOtherFrameCountsInputFrames) {
  // /V: encoded frame k shows input frame 2k + 2 (first taken frame 1).
  HintLayout layout{1, 10, true};
  FrameHints hints = Fresh(10);
  ApplyHintLine("4 7 6000 1", layout, kInput, hints);  // input 4 and 6: encoded 1 and 2
  EXPECT_EQ(hints.hasRate, (std::vector<uint8_t>{0, 1, 1, 0, 0, 0, 0, 0, 0, 0}));
  ApplyHintLine("9 9 6000 1", layout, kInput, hints);  // an input frame that is skipped
  EXPECT_EQ(hints.hasRate[3] + hints.hasRate[4], 0);
  ApplyHintLine("20 40 6000 *", layout, kInput, hints);  // input 20 is the last encoded
  EXPECT_EQ(hints.hasRate[9], 1);
  ApplyHintLine("21 40 6000 *", layout, kInput, hints);
  EXPECT_EQ(layout.InputFrameOf(9), 20);
}

TEST(ReadHintFile, ReadsEveryLineAndReportsAFileItCannotOpen) {
  testsupport::ScratchDirectory scratch;
  const std::string name = scratch / "hints_test.txt";
  {
    std::ofstream out(name, std::ios::binary);
    out << "10 5 8000 1\r\n\r\n3 7 * 1\r\nnot a number\n";
    out << "18 18" << std::string(3000, ' ') << "7000 1\n";  // longer than any line buffer
    out << "15 16 -2";
  }
  FrameHints hints;
  ASSERT_EQ(ReadHintFile(name, kLayout, kInput, hints), HintStatus::kRead);
  ASSERT_EQ(hints.key.size(), 20u);
  EXPECT_EQ(hints.key[2], 1);
  EXPECT_EQ(hints.rate[9], 8000);
  EXPECT_EQ(hints.rate[14], 10000);  // the last line without a line end
  EXPECT_EQ(hints.hasRate[16], 0);
  EXPECT_EQ(hints.rate[17], 7000);
  EXPECT_EQ(hints.key[17], 1);
  std::remove(name.c_str());

  EXPECT_EQ(ReadHintFile(name, kLayout, kInput, hints), HintStatus::kCannotOpen);
  EXPECT_EQ(hints.key.size(), 20u);  // reset all the same: compression goes on without hints
  EXPECT_EQ(HintOpenErrorText("x.txt"), "Error opening the hint file: x.txt");
  EXPECT_EQ(ReadHintFile("", kLayout, kInput, hints), HintStatus::kRead);
}

TEST(KeyFrameSchedule, ForcesKeyFramesAtTheIntervalFromTheLastOne) {
  FrameHints hints = Fresh(12);
  hints.key[4] = 1;
  KeyFrameSchedule schedule(3);
  std::vector<int> keys;
  for (uint32_t f = 0; f < 12; ++f) {
    if (schedule.Decide(f, hints)) keys.push_back(static_cast<int>(f));
    if (f == 8) schedule.MakeKey(8, hints);  // frame 8 turned into a key frame on its own
  }
  EXPECT_EQ(keys, (std::vector<int>{0, 3, 4, 7, 11}));
  EXPECT_EQ(hints.key[8], 1);
}

}  // namespace
}  // namespace compressor
