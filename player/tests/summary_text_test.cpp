#include <gtest/gtest.h>

#include <string>

#include "player/summary_text.h"

namespace {

// The value that follows a label in the text, up to the end of its line.
std::string ValueAfter(const std::string& text, const std::string& label) {
  const size_t at = text.find(label);
  if (at == std::string::npos) return "<missing>";
  const size_t start = at + label.size();
  return text.substr(start, text.find('\r', start) - start);
}

TEST(SummaryText, RatesWithOneDecimalAndZeroDivisors) {
  EXPECT_EQ(RateText(100000, 6666), "15.0");
  EXPECT_EQ(RateText(1000, 3), "333.3");
  EXPECT_EQ(RateText(7, 0), "7.0");  // a zero divisor counts as 1
  EXPECT_EQ(RateText(0, 0), "0.0");
}

TEST(SummaryText, EveryLineInOrder) {
  VantSummaryInfo s{};
  s.totalTime = 2000;
  s.framePeriod = 6666;
  s.openTime = 5;
  s.framesPlayed = 30;
  s.framesSkipped = 2;
  s.soundSkips = 1;
  s.blitTime = 100;
  s.readTime = 50;
  s.decompressTime = 500;
  s.backgroundReadTime = 25;
  s.readSpeed = 123456;
  s.slowestFrameTime = 40;
  s.secondSlowestFrameTime = 30;
  s.slowestFrame = 7;
  s.secondSlowestFrame = 12;
  s.averageFrameSize = 4000;
  s.highestRate = 60000;
  s.highestRateFrame = 3;
  s.peakMemory = 800000;
  s.extraBufferTotal = 65536;
  s.extraBufferHighest = 4096;
  const std::string text = BuildSummaryText(s, 16777216, "CreateDIBSection");
  EXPECT_EQ(text,
            "  Frame rate: 15.0"
            "\r\n  Frame rate obtained: 15.0"
            "\r\n  Total frames played: 30"
            "\r\n  Skipped frames: 2"
            "\r\n  Sound skips: 1"
            "\r\n  Total playback time: 2 seconds"
            "\r\n  Total open time: 5 milliseconds"
            "\r\n  Average frame size: 4000"
            "\r\n  Highest one second data rate: 60000"
            "\r\n  Highest one second data rate start frame: 3"
            "\r\n  Speed of playback device: 123456"
            "\r\n  Memory used for playback: 800000"
            "\r\n  Total extra buffering memory: 65536"
            "\r\n  Highest extra buffering memory used: 4096"
            "\r\n\n  Percentage spent decompressing: 25.0"
            "\r\n  Percentage spent blitting: 5.0"
            "\r\n  Percentage spent reading: 2.5"
            "\r\n  Percentage spent background reading: 1.2 (when idle)"
            "\r\n\n  Slowest frame: 7  Frame rate: 25.0"
            "\r\n  Second slowest frame: 12  Frame rate: 33.3"
            "\r\n\r\n  Screen colors: 16777216"
            "\r\n  Display blitter: CreateDIBSection");
}

TEST(SummaryText, ZeroTimesAndASingleFrame) {
  VantSummaryInfo s{};
  s.framesPlayed = 1;
  s.slowestFrame = 1;
  const std::string text = BuildSummaryText(s, 256, "Standard Windows DIBs");
  EXPECT_EQ(ValueAfter(text, "  Frame rate: "), "As fast as possible.");
  EXPECT_EQ(ValueAfter(text, "Frame rate obtained: "), "1000.0");  // 1 frame in "1" ms
  EXPECT_EQ(ValueAfter(text, "Percentage spent decompressing: "), "0.0");
  EXPECT_EQ(ValueAfter(text, "Slowest frame: "), "1  Frame rate: 1000.0");
  // One frame has no second slowest.
  EXPECT_EQ(text.find("Second slowest"), std::string::npos);
  EXPECT_EQ(ValueAfter(text, "Display blitter: "), "Standard Windows DIBs");
}

TEST(SummaryText, HoursLongRunsDoNotOverflow) {
  VantSummaryInfo s{};
  s.totalTime = 5 * 3600000;  // five hours
  s.framePeriod = 100000 / 30;
  s.framesPlayed = 5 * 3600 * 30;
  s.decompressTime = 4 * 3600000;  // times 100, times 10: beyond 32 bits
  s.blitTime = 3600000;
  s.slowestFrameTime = 0;
  s.openTime = 3700000;
  const std::string text = BuildSummaryText(s, 16777216, "CreateDIBSection");
  EXPECT_EQ(ValueAfter(text, "Frame rate obtained: "), "30.0");
  EXPECT_EQ(ValueAfter(text, "Percentage spent decompressing: "), "80.0");
  EXPECT_EQ(ValueAfter(text, "Percentage spent blitting: "), "20.0");
  EXPECT_EQ(ValueAfter(text, "Total playback time: "), "5 hours 0 minutes");
  EXPECT_EQ(ValueAfter(text, "Total open time: "), "1 hour 1 minute");
}

}  // namespace
