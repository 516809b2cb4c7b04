#include "compressor/rate_control.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "compressor/data_rate.h"
#include "playback/frame_coding.h"

namespace compressor {
namespace {

BlockScore Score(uint32_t unchanged, uint32_t solid, uint8_t color, uint32_t two) {
  BlockScore s;
  s.unchanged = unchanged;
  s.solid = solid;
  s.solidColor = color;
  s.twoColor = two;
  return s;
}

// The closed form counts the pieces the frame coding cuts a run into, for every run length up
// to many times the largest piece.
TEST(RunPieces, CountsThePiecesOfThePlaybackRunRule) {
  for (uint32_t n = 1; n <= 64 * 2048; ++n) {
    uint32_t pieces = 0;
    for (uint32_t left = n; left > 0; left -= RunPieceLength(left)) ++pieces;
    ASSERT_EQ(RunPieces(n), pieces) << n;
  }
}

TEST(EstimateFrameSize, CountsUnitsPerRunOfEachKind) {
  std::vector<BlockScore> scores = {
      Score(0, 5, 1, 9),           // unchanged
      Score(3, 5, 1, 9),           // unchanged at 3
      Score(kNoError, 2, 7, 9),    // solid 7
      Score(kNoError, 2, 7, 0),    // solid 7 (preferred over two-colour)
      Score(kNoError, 2, 8, 9),    // solid 8: a new run
      Score(kNoError, 50, 1, 4),   // two-colour
      Score(kNoError, 50, 1, 40),  // full
  };
  // Threshold 4: unchanged run (1) + solid 7 run (2) + solid 8 run (2) + two-colour (4 + 1)
  // + full (16 + 1).
  EXPECT_EQ(EstimateFrameSize(scores, 4), 1u + 2 + 2 + 5 + 17);
  // Threshold 2: blocks 1 and 5 become full blocks; 5 and 6 make one full run (32 + 1).
  EXPECT_EQ(EstimateFrameSize(scores, 2), 1u + 17 + 2 + 2 + 33);
  // Threshold 50: the last two blocks join one solid run of colour 1.
  EXPECT_EQ(EstimateFrameSize(scores, 50), 1u + 2 + 2 + 2);
  // Long runs cost per piece: 4000 unchanged blocks are 6 pieces.
  std::vector<BlockScore> still(4000, Score(0, 0, 0, 0));
  EXPECT_EQ(EstimateFrameSize(still, 0), 6u);
}

// Random frames: errors spread over a wide range, unchanged blocks in clusters.
std::vector<BlockScore> RandomScores(uint32_t seed, size_t n) {
  std::vector<BlockScore> scores(n);
  for (BlockScore& s : scores) {
    seed = seed * 1664525 + 1013904223;
    uint32_t r = seed >> 8;
    s.unchanged = (r & 3) == 0 ? r % 50 : r % 200000;
    s.solid = r % 90000;
    s.solidColor = static_cast<uint8_t>(r % 3);
    s.twoColor = s.solid / 3;
  }
  return scores;
}

TEST(SearchThreshold, ChoosesASizeWithinTheBudgetOrTheSmallestWhenNoneFits) {
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    std::vector<BlockScore> scores = RandomScores(seed, 3000);
    uint64_t finest = EstimateFrameSize(scores, 0);
    uint64_t coarsest = EstimateFrameSize(scores, kMaxThreshold);
    // A budget everything fits: the finest threshold.
    ThresholdChoice roomy = SearchThreshold(scores, static_cast<int64_t>(finest));
    EXPECT_TRUE(roomy.fits);
    EXPECT_EQ(roomy.threshold, 0u);
    // Budgets in between: a threshold whose size is within the budget.
    for (uint64_t budget = coarsest; budget < finest; budget += (finest - coarsest) / 7 + 1) {
      ThresholdChoice choice = SearchThreshold(scores, static_cast<int64_t>(budget));
      ASSERT_TRUE(choice.fits) << budget;
      EXPECT_LE(choice.size, budget);
      EXPECT_EQ(choice.size, EstimateFrameSize(scores, choice.threshold));
    }
    // Below the smallest possible size: nothing fits, the smallest size is taken.
    ThresholdChoice tight = SearchThreshold(scores, static_cast<int64_t>(coarsest) - 1);
    EXPECT_FALSE(tight.fits);
    EXPECT_EQ(tight.size, coarsest);
    ThresholdChoice zero = SearchThreshold(scores, 0);
    EXPECT_EQ(zero.size, coarsest);
  }
}

// The size by the coding's own rule: each block the first kind within the threshold, the runs
// cut into the pieces the frame coding writes.
uint64_t SizeByRuns(const std::vector<BlockScore>& scores, uint32_t t) {
  uint64_t size = 0;
  for (size_t i = 0; i < scores.size();) {
    auto kindOf = [t](const BlockScore& s) {
      return s.unchanged <= t ? UnchangedBlock : s.solid <= t ? SolidBlock : s.twoColor <= t ? TwoColorBlock : FullBlock;
    };
    const BlockType kind = kindOf(scores[i]);
    size_t end = i + 1;
    while (end < scores.size() && kindOf(scores[end]) == kind &&
           (kind != SolidBlock || scores[end].solidColor == scores[i].solidColor)) {
      ++end;
    }
    for (size_t left = end - i; left > 0; left -= RunPieceLength(static_cast<uint32_t>(left))) {
      size += kind == SolidBlock ? 2 : 1;
    }
    size += (end - i) * (kind == TwoColorBlock ? 4 : kind == FullBlock ? 16 : 0);
    i = end;
  }
  return size;
}

// Frames of every length (the estimate takes blocks four at a time), with runs of every kind
// from one block to thousands, at thresholds between, on and beyond the errors.
TEST(EstimateFrameSize, AgreesWithCountingRunByRun) {
  uint32_t seed = 99;
  auto next = [&] { return seed = seed * 1664525 + 1013904223, seed >> 8; };
  for (int frame = 0; frame < 300; ++frame) {
    std::vector<BlockScore> scores;
    const size_t length = next() % (frame % 10 == 0 ? 9000 : 300);
    while (scores.size() < length) {
      const uint32_t r = next();
      BlockScore s = Score(r % 5 == 0 ? kNoError : r % 7 * 40, next() % 400, static_cast<uint8_t>(r % 3 * 80),
                           next() % 300);
      if (r % 11 == 0) s.solid = kNoError;
      const size_t repeat = r % 13 == 0 ? next() % 3000 : r % 3 == 0 ? next() % 70 : 1;
      scores.insert(scores.end(), std::min(repeat + 1, length - scores.size()), s);
    }
    for (uint32_t t : {0u, 39u, 40u, 120u, next() % 400, 300u, kMaxThreshold}) {
      const uint64_t expected = SizeByRuns(scores, t);
      // Eight blocks at a time where the processor can, and four.
      for (bool wide : {true, false}) {
        UseWideVectorsForTesting(wide);
        ASSERT_EQ(EstimateFrameSize(scores, t), expected) << "frame " << frame << " threshold " << t << " wide " << wide;
      }
      UseWideVectorsForTesting(true);
    }
  }
}

TEST(CountChangedBlocks, CountsBlocksThatCannotStayUnchanged) {
  std::vector<BlockScore> scores = {Score(0, 0, 0, 0), Score(10, 0, 0, 0),
                                    Score(11, 0, 0, 0), Score(kNoError, 0, 0, 0)};
  EXPECT_EQ(CountChangedBlocks(scores, 10), 2u);
  EXPECT_EQ(CountChangedBlocks(scores, kMaxThreshold), 1u);
}

TEST(DataRate, ErrorTargetsMapToTheThresholdTable) {
  EXPECT_EQ(ErrorThresholdForPercent(0), 1u);
  EXPECT_EQ(ErrorThresholdForPercent(20), 170u);
  EXPECT_EQ(ErrorThresholdForPercent(100), 130089u);
  EXPECT_TRUE(IsErrorTarget(0));
  EXPECT_FALSE(IsErrorTarget(101));
}

TEST(DataRate, BudgetIsFormedIn64Bits) {
  // 15 frames a second (period 6667) at 240000 bytes/s: 240000 * 3 * 6667 / 203000.
  EXPECT_EQ(FrameBudget(240000, 6667, 0), 23646);
  EXPECT_EQ(FrameBudget(240000, 6667, 646), 23000);
  EXPECT_EQ(FrameBudget(240000, 6667, 30000), 0);  // the sound takes it all
  // 100 MB/s at one frame a second: the product passes 2^32 (and 2^44).
  EXPECT_EQ(FrameBudget(100000000, 100000, 0), 147783251);
  EXPECT_EQ(FrameBudget(-5, 6667, 0), 0);
  EXPECT_EQ(FrameBudget(240000, 0, 0), 0);
}

TEST(DataRate, SharesOfTheInputBecomeBytesPerSecond) {
  EXPECT_EQ(FramePeriod(100), 10000);
  EXPECT_EQ(FramePeriod(-6667), 6667);
  // 10% of a 3 GB input of 1000 frames at 10 frames a second: 3 MB a frame, 3 MB/s.
  InputRateFacts big{3000000000ull, 1000, 100};
  ASSERT_TRUE(FileShareToBytesPerSecond(-10, big));
  EXPECT_EQ(*FileShareToBytesPerSecond(-10, big), 3000000);
  EXPECT_FALSE(FileShareToBytesPerSecond(-10, {1000, 10, 0}));
  EXPECT_FALSE(FileShareToBytesPerSecond(-10, {1000, 0, 100}));
  // -450: half of this frame's 20000 bytes per frame time of 1/10 s: 100000 bytes/s.
  EXPECT_EQ(*FrameShareToBytesPerSecond(-450, 20000, 10000), 100000);
  EXPECT_FALSE(FrameShareToBytesPerSecond(-450, 20000, 0));
}

}  // namespace
}  // namespace compressor
