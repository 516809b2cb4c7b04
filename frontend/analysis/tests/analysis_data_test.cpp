// The analysis arithmetic on generated headers and frame-size tables.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "frontend/analysis/analysis_data.h"
#include "frontend/analysis/analysis_range.h"
#include "frontend/analysis/tests/analysis_files.h"
#include "testsupport/scratch_directory.h"

namespace frontend {
namespace {

using testing::WriteAnalysisFile;

TEST(AnalysisData, RunningAverageLeavesTheFirstFrameOutInBothUnits) {
  testsupport::ScratchDirectory folder;
  WriteAnalysisFile(folder / "v.vnt", -50000, {100, 200, 300, 400, 500});  // 2 frames per second
  DataRateAnalysis a;
  ASSERT_EQ(a.Load(folder / "v.vnt"), LoadOutcome::Loaded);
  ASSERT_EQ(a.AverageWindow(), 2);
  const double perFrame[] = {0, 100, 250, 350, 450};
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(a.AverageValue(i, RateUnit::BytesPerFrame), perFrame[i]) << i;
    EXPECT_EQ(a.AverageValue(i, RateUnit::BytesPerSecond), 2 * perFrame[i]) << i;
    EXPECT_EQ(a.SizeValue(i, RateUnit::BytesPerSecond), 200.0 * (i + 1)) << i;
  }
  EXPECT_EQ(a.SpeedLineValue(1, RateUnit::BytesPerSecond), 120000);
  EXPECT_EQ(a.SpeedLineValue(4, RateUnit::BytesPerSecond), 480000);
  EXPECT_DOUBLE_EQ(a.SpeedLineValue(2, RateUnit::BytesPerFrame), 120000);  // half a second per frame
}

TEST(AnalysisData, AnyFrameRateGivesAWindowOfOneToAThousandAndTwentyFourFrames) {
  struct Case {
    int32_t frameRate;
    int64_t period;
    int window;
  } cases[] = {
      {66, 6600, 15},                                   // milliseconds per frame
      {-6667, 6667, 14},                                // 10-microsecond units
      {-50, 50, 1024},                                  // 2000 frames per second
      {-1, 1, 1024},
      {std::numeric_limits<int32_t>::min(), 2147483648LL, 1},
      {std::numeric_limits<int32_t>::max(), 214748364700LL, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.frameRate);
    DataRateAnalysis a;
    a.SetVideo(c.frameRate, std::vector<uint32_t>(3000, 0xFFFFFFFF));
    EXPECT_EQ(a.Period(), c.period);
    EXPECT_EQ(a.AverageWindow(), c.window);
    // The window full of the largest sizes neither overruns nor overflows.
    EXPECT_EQ(a.AverageValue(2999, RateUnit::BytesPerFrame), 0xFFFFFFFF);
    EXPECT_TRUE(std::isfinite(a.SizeValue(2999, RateUnit::BytesPerSecond)));
  }
}

TEST(AnalysisData, FilesThatCannotBeTrustedLoadNothing) {
  testsupport::ScratchDirectory folder;
  struct Case {
    const char* what;
    int32_t frameRate;
    std::vector<uint32_t> sizes;
    int64_t declared;
    LoadOutcome outcome;
  } cases[] = {
      {"table cut short", -6667, {10, 20, 30}, 4, LoadOutcome::Unreadable},
      {"count far beyond the file", -6667, {10, 20, 30}, 0xFFFFFFFF, LoadOutcome::Unreadable},
      {"no frame rate", 0, {10, 20, 30}, -1, LoadOutcome::NoFrameRate},
      {"no frames", -6667, {}, -1, LoadOutcome::Loaded},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteAnalysisFile(folder / "v.vnt", c.frameRate, c.sizes, c.declared);
    DataRateAnalysis a;
    a.SetVideo(-6667, {1, 2});  // a previous video, which a failed load must not leave behind
    EXPECT_EQ(a.Load(folder / "v.vnt"), c.outcome);
    EXPECT_EQ(a.FrameCount(), 0u);
  }
  DataRateAnalysis a;
  std::ofstream(folder / "short.vnt") << "VNT2 and no more";
  std::ofstream(folder / "other.vnt") << std::string(200, 'x');
  for (const std::string& name : {folder / "short.vnt", folder / "other.vnt", folder / "missing.vnt", folder.path()})
    EXPECT_EQ(a.Load(name), LoadOutcome::Unreadable) << name;
}

TEST(AnalysisData, ValuesAndFrameInfoShowTheStoredSizes) {
  DataRateAnalysis a;
  a.SetVideo(-4167, {4000, 111, 0});
  // The size got back from the plotted rate would be one byte short for 111 at this period.
  ASSERT_EQ(std::trunc(a.SizeValue(1, RateUnit::BytesPerSecond) * 4167 * 0.00001), 110);
  EXPECT_EQ(a.ValuesText("/videos/clip.vnt"),
            "Vantrel file: /videos/clip.vnt\r\n\r\nFrame\tSize\tBytes per Second\r\n"
            "1\t4000\t95992\r\n2\t111\t2663\r\n3\t0\t0\r\n");
  EXPECT_EQ(a.FrameInfo(2), "Frame: 2  Size: 111  Bytes per second: 2663");
  EXPECT_EQ(a.FrameInfo(0), "");
  EXPECT_EQ(a.FrameInfo(4), "");
}

TEST(AnalysisData, AxisTopIsRoundedUpAndNeverZero) {
  struct Case {
    double highest;
    RateUnit unit;
    double top;
  } cases[] = {
      {480000, RateUnit::BytesPerSecond, 480000}, {123456, RateUnit::BytesPerSecond, 124000},
      {0, RateUnit::BytesPerSecond, 1000},        {1234, RateUnit::BytesPerFrame, 1500},
      {0, RateUnit::BytesPerFrame, 500},          {1000.4, RateUnit::BytesPerFrame, 1000},
  };
  for (const Case& c : cases) EXPECT_EQ(RoundedAxisTop(c.highest, c.unit), c.top) << c.highest;
}

TEST(AnalysisRange, VisibleFramesNeverGiveAnInvertedRange) {
  struct Case {
    int64_t wanted;
    double xMin;
    uint32_t frames;
    double shownMin, shownMax;
    int64_t count;
  } cases[] = {
      {14, 1, 1000, 1, 15, 14},   {14, 990, 1000, 986, 1000, 14}, {14, 1, 5, 1, 5, 4},
      {14, 1, 1, 1, 2, 1},        {14, 1, 0, 1, 2, 1},            {ZoomedIn(2), 1, 1000, 1, 3, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.wanted << " from " << c.xMin << " of " << c.frames);
    const VisibleFrames v = FitVisibleFrames(c.wanted, c.xMin, c.frames);
    EXPECT_EQ(v.xMin, c.shownMin);
    EXPECT_EQ(v.xMax, c.shownMax);
    EXPECT_EQ(v.count, c.count);
    EXPECT_GE(v.scrollMax, 1);
  }
  EXPECT_EQ(ZoomedOut(3), 4);
  EXPECT_EQ(FramesForWidth(1000, 14, 500), 28);
}

}  // namespace
}  // namespace frontend
