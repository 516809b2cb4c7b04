#pragma once
// Per-frame data rates and key-frame marks, from the hint file and from the encoder itself.
//
// A hint file has one hint per line: "StartFrame EndFrame DataRate KeyFrame(0/1)", frames
// numbered as the input counts them. A rate or key word of "*", or a missing word, leaves
// the range as it was.
#include <cstdint>
#include <string>
#include <vector>

#include "compressor/data_rate.h"

namespace compressor {

struct FrameHints {
  std::vector<int64_t> rate;     // the frame's own target, where hasRate is set
  std::vector<uint8_t> hasRate;
  std::vector<uint8_t> key;      // 1: the frame is a key frame

  // n frames without hints; frame 0 is a key frame.
  void Reset(uint32_t frames);
  // The frame's target: its hint, else the key-frame or the regular target.
  int64_t TargetFor(uint32_t frame, bool isKey, int64_t keyTarget, int64_t regularTarget) const;
};

// How encoded frames relate to the input's frame numbers.
struct HintLayout {
  int64_t firstInputFrame = 1;  // the number of the first frame taken (the input's start + 1)
  uint32_t frames = 0;          // frames to encode, ring frame included
  bool everyOther = false;      // only every second input frame is encoded (2nd, 4th, ...)

  // The input frame number that encoded frame k shows.
  int64_t InputFrameOf(uint32_t k) const;
};

enum class HintStatus { kRead, kCannotOpen, kZeroPeriod };

// Applies one line of a hint file. Rates from -1 to -200 (a share of the input file) become
// bytes per second as for /N; kZeroPeriod when that needs a frame rate there is not.
HintStatus ApplyHintLine(std::string line, const HintLayout& layout, const InputRateFacts& input,
                         FrameHints& hints);

// Resets the hints for layout.frames and applies every line of the named file (an empty name
// reads nothing). kCannotOpen: compression goes on without hints after the message of
// HintOpenErrorText; kZeroPeriod: compression stops with kZeroPeriodMessage.
HintStatus ReadHintFile(const std::string& name, const HintLayout& layout,
                        const InputRateFacts& input, FrameHints& hints);

std::string HintOpenErrorText(const std::string& name);

}  // namespace compressor
