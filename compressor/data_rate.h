#pragma once
// Data-rate targets: what a /N, /K or hint value asks of a frame. Every product is 64-bit.
#include <cstdint>
#include <optional>

namespace compressor {

// A target from 0 to 100 asks for at most that percentage of error, no size limit.
constexpr bool IsErrorTarget(int64_t target) { return target >= 0 && target <= 100; }

// The error threshold of an error target (0 gives 1, nearly lossless; 100 gives 130089).
uint32_t ErrorThresholdForPercent(int64_t percent);

// A target from -1 to -200 asks for that percentage of the input file's size.
constexpr bool IsFileShareTarget(int64_t target) { return target <= -1 && target >= -200; }

// A target of -400 and below asks for (-target - 400) percent of each frame's input size.
constexpr bool IsFrameShareTarget(int64_t target) { return target <= -400; }

// The frame period in 1/100000 s of a frame-rate value (positive: milliseconds per frame;
// negative: the period itself, negated; 0: no pacing, period 0).
int64_t FramePeriod(int32_t frameRate);

// What a file-share target needs to know about the input.
struct InputRateFacts {
  uint64_t fileSize = 0;     // bytes of the whole input
  uint32_t frames = 0;       // frames the input delivers
  int32_t frameRate = 0;     // frame-rate value of the output
};

// A file-share target as bytes per second; none when the period or the frame count is 0.
std::optional<int64_t> FileShareToBytesPerSecond(int64_t target, const InputRateFacts& input);

// A frame-share target as bytes per second for a frame of frameBytes input bytes;
// none when the period is 0.
std::optional<int64_t> FrameShareToBytesPerSecond(int64_t target, uint64_t frameBytes,
                                                  int64_t period);

// The size budget of one frame for a rate in bytes per second, less the sound that travels
// with each frame; 0 when the sound needs more or the rate is negative.
int64_t FrameBudget(int64_t bytesPerSecond, int64_t period, uint32_t soundBytesPerFrame);

// Shown when a percentage target meets a frame period of 0.
extern const char* const kZeroPeriodMessage;

}  // namespace compressor
