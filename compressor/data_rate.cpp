#include "compressor/data_rate.h"

#include <limits>

namespace compressor {
namespace {

// Error thresholds of the targets 0 to 100, growing slowly at first and steeply near 100.
const uint32_t kErrorThresholds[101] = {
    1,     9,     17,    25,    33,    42,    50,    58,    66,    75,    83,    91,
    100,   108,   117,   125,   134,   143,   152,   161,   170,   179,   188,   198,
    208,   218,   228,   238,   249,   260,   272,   284,   296,   309,   323,   337,
    353,   369,   386,   404,   424,   445,   468,   492,   519,   548,   580,   615,
    653,   695,   741,   792,   848,   911,   980,   1057,  1143,  1239,  1346,  1465,
    1598,  1747,  1914,  2101,  2310,  2545,  2808,  3104,  3435,  3808,  4227,  4697,
    5226,  5820,  6488,  7240,  8085,  9036,  10106, 11309, 12663, 14188, 15903, 17834,
    20007, 22453, 25206, 28306, 31796, 35724, 40147, 45127, 50734, 57046, 64154, 72157,
    81168, 91314, 102739, 115604, 130089};

}  // namespace

const char* const kZeroPeriodMessage =
    "Error: a percentage data rate needs a frame rate, but the frame rate is 0.";

uint32_t ErrorThresholdForPercent(int64_t percent) {
  if (percent < 0) percent = 0;
  if (percent > 100) percent = 100;
  return kErrorThresholds[percent];
}

int64_t FramePeriod(int32_t frameRate) {
  return frameRate > 0 ? int64_t{frameRate} * 100 : -int64_t{frameRate};
}

std::optional<int64_t> FileShareToBytesPerSecond(int64_t target, const InputRateFacts& input) {
  int64_t period = FramePeriod(input.frameRate);
  if (period == 0 || input.frames == 0) return std::nullopt;
  // (input bytes per frame x 100) x (percent x frames per second x 100) / 1000000.
  int64_t perFrame = static_cast<int64_t>(input.fileSize * 100 / input.frames);
  int64_t perSecond = -target * (10000000 / period);
  return perFrame * perSecond / 1000000;
}

std::optional<int64_t> FrameShareToBytesPerSecond(int64_t target, uint64_t frameBytes,
                                                  int64_t period) {
  if (period == 0) return std::nullopt;
  int64_t inputRate = static_cast<int64_t>(frameBytes * 100000 / static_cast<uint64_t>(period));
  return inputRate * (-target - 400) / 100;
}

int64_t FrameBudget(int64_t bytesPerSecond, int64_t period, uint32_t soundBytesPerFrame) {
  if (bytesPerSecond <= 0 || period <= 0) return 0;
  // bytes/s x 3 x period can exceed 64 bits only for absurd rates; stay in range anyway.
  if (bytesPerSecond > std::numeric_limits<int64_t>::max() / 3 / period) {
    return std::numeric_limits<int64_t>::max();
  }
  int64_t budget = bytesPerSecond * 3 * period / 203000;
  return budget > soundBytesPerFrame ? budget - soundBytesPerFrame : 0;
}

}  // namespace compressor
