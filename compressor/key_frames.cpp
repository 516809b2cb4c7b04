#include "compressor/key_frames.h"

namespace compressor {

bool KeyFrameSchedule::Decide(uint32_t frame, const FrameHints& hints) {
  bool hinted = frame < hints.key.size() && hints.key[frame];
  // The first frame has nothing before it to stay unchanged against, whatever the hints say.
  bool key = frame == 0 || hinted || frame - lastKey_ >= interval_;
  if (key) lastKey_ = frame;
  return key;
}

void KeyFrameSchedule::MakeKey(uint32_t frame, FrameHints& hints) {
  if (frame < hints.key.size()) hints.key[frame] = 1;
  lastKey_ = frame;
}

}  // namespace compressor
