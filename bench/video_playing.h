#pragma once
// The .vnt side of the comparison: a video played through the playback calls into a memory
// buffer, frame after frame, as a player does without its pacing.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "playback/frame_decoder.h"

namespace speedbench {

enum class VideoOutput { kIndexes8, kRgb565, kRowsDoubled };

// What one play-through found out about the video's memory.
struct PlayFigures {
  int frames = -1;               // frames decoded; -1 when the video did not open
  uint32_t width = 0, rows = 0;  // the picture as written into the buffer
  bool streamed = false;         // read from the file while playing, not preloaded
  uint64_t frameBufferBytes = 0, ringBytes = 0;  // the handle's two large buffers, as allocated
  uint64_t handlePeakMemory = 0;                 // the handle's own peak figure
};

// Called with true just before the first frame is decoded and with false after the last one.
using FrameLoopMark = std::function<void(bool starting)>;

// Opens the video (read through its read-ahead ring, sized by the library), decodes every frame
// into `buffer` (resized to fit) and closes it again.
PlayFigures PlayVideo(const std::string& path, VideoOutput output, std::vector<uint8_t>& buffer,
                      const FrameLoopMark& mark = {});

// Adds the codes of every frame of the video to `counts`, and how many of them took more than
// the first table look-up of the decoder. False when the video does not open.
bool CountVideoCodes(const std::string& path, CodeLookupCounts& counts);

}  // namespace speedbench
