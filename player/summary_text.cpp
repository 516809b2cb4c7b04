#include "player/summary_text.h"

#include "toolsupport/base/text_words.h"

std::string RateText(uint64_t numerator, uint64_t denominator) {
  if (denominator == 0) denominator = 1;
  // 64 bits: a run of hours times 100 (percentages) times 10 (the decimal) needs them.
  return std::to_string(numerator / denominator) + "." +
         std::to_string(numerator * 10 / denominator % 10);
}

std::string BuildSummaryText(const VantSummaryInfo& s, int32_t screenColors,
                             const std::string& blitterName) {
  auto line = [](const char* label, uint64_t value) {
    return std::string("\r\n  ") + label + std::to_string(value);
  };
  auto span = [](const char* label, uint64_t milliseconds) {
    std::string text = std::string("\r\n  ") + label;
    FormatElapsedTime(text, milliseconds);
    return text;
  };
  const uint64_t total = s.totalTime;

  std::string text = "  Frame rate: ";
  text += s.framePeriod == 0 ? "As fast as possible." : RateText(100000, s.framePeriod);
  text += "\r\n  Frame rate obtained: " + RateText(uint64_t{s.framesPlayed} * 1000, total);
  text += line("Total frames played: ", s.framesPlayed);
  text += line("Skipped frames: ", s.framesSkipped);
  text += line("Sound skips: ", s.soundSkips);
  text += span("Total playback time: ", s.totalTime);
  text += span("Total open time: ", s.openTime);
  text += line("Average frame size: ", s.averageFrameSize);
  text += line("Highest one second data rate: ", s.highestRate);
  text += line("Highest one second data rate start frame: ", s.highestRateFrame);
  text += line("Speed of playback device: ", s.readSpeed);
  text += line("Memory used for playback: ", s.peakMemory);
  text += line("Total extra buffering memory: ", s.extraBufferTotal);
  text += line("Highest extra buffering memory used: ", s.extraBufferHighest);
  text += "\r\n\n  Percentage spent decompressing: " +
          RateText(uint64_t{s.decompressTime} * 100, total);
  text += "\r\n  Percentage spent blitting: " + RateText(uint64_t{s.blitTime} * 100, total);
  text += "\r\n  Percentage spent reading: " + RateText(uint64_t{s.readTime} * 100, total);
  text += "\r\n  Percentage spent background reading: " +
          RateText(uint64_t{s.backgroundReadTime} * 100, total);
  text += " (when idle)\r\n\n  Slowest frame: " + std::to_string(s.slowestFrame) +
          "  Frame rate: " + RateText(1000, s.slowestFrameTime);
  if (s.framesPlayed > 1) {
    text += "\r\n  Second slowest frame: " + std::to_string(s.secondSlowestFrame) +
            "  Frame rate: " + RateText(1000, s.secondSlowestFrameTime);
  }
  text += "\r\n\r\n  Screen colors: " + std::to_string(screenColors);
  text += "\r\n  Display blitter: " + blitterName;
  return text;
}
