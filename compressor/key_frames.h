#pragma once
// Which frames are key frames. Both passes ask the same questions in the same order, so a
// frame the first pass made a key frame (marked in the hints) is one in the second pass too.
#include <cstdint>

#include "compressor/frame_hints.h"

namespace compressor {

class KeyFrameSchedule {
 public:
  // interval: a key frame at least every that many frames (/J).
  explicit KeyFrameSchedule(uint32_t interval) : interval_(interval) {}

  // Frame 0, a frame marked in the hints, or one interval after the last key frame.
  // A key frame becomes the last key frame. Frames are asked in ascending order.
  bool Decide(uint32_t frame, const FrameHints& hints);

  // The encoder turned the frame into a key frame after all: mark it for the second pass.
  void MakeKey(uint32_t frame, FrameHints& hints);

 private:
  uint32_t interval_;
  uint32_t lastKey_ = 0;
};

}  // namespace compressor
