#pragma once
// The mixer's frame copy: every stored frame keeps its palette chunk, the chunks of other tracks
// and its video data byte for byte, while the chunk of one track is made anew by the track
// encoder.
#include <cstdint>
#include <vector>

#include "toolsupport/io/buffered_file.h"
#include "toolsupport/sound/sound_track_encoder.h"
#include "toolsupport/base/status.h"

namespace mixer {

// The /F value as a frame period in 1/100000 s: 0 keeps the file's rate; below -1500 the period
// itself; -1500 to -1 milliseconds (times 100); above 0 frames per second. At least 5.
int64_t FramePeriodSwitch(int32_t value);

struct MixTables {
  std::vector<uint32_t> sizes;  // per stored frame; updated to the output's
  std::vector<uint8_t> types;
};

struct MixResult {
  toolsupport::Status status;  // ok when every frame was mixed
  uint32_t largestChunkSound = 0;
};

// Copies the frames from `input` (positioned at the first frame) to `output`, replacing the
// chunks of `track` (0 to 6). `period` is the frame period in 1/100000 s.
MixResult MixSoundFrames(toolsupport::BufferedFile& input, toolsupport::BufferedFile& output,
                         MixTables& tables, uint32_t track, uint32_t period,
                         toolsupport::SoundTrackEncoder& encoder, const toolsupport::Progress& progress);

}  // namespace mixer
