#pragma once
// The sound track a compressed video takes from its input: the sound of the input file (a WAV,
// an AVI's sound stream, a video's track) for the frames being compressed.
#include <cstdint>
#include <memory>
#include <string>

#include "toolsupport/io/buffered_file.h"
#include "toolsupport/sound/sound_switches.h"
#include "toolsupport/sound/sound_track_encoder.h"
#include "toolsupport/base/status.h"

namespace compressor {

struct InputSoundRequest {
  std::string inputName;
  toolsupport::SoundSwitches switches;  // loss level, rate, bits and channels
  int32_t inputFrameRate = 0;   // frame-rate value of the input, for the cut
  int64_t firstFrame = 0;       // input frames skipped before the first one taken
  int64_t inputFrames = 0;      // input frames taken
  int32_t outputFrameRate = 0;  // frame-rate value of the video, for the track's length
  uint32_t framesToEncode = 0;  // ring frame included
  bool repeat = false;          // /G: the track starts again with the ring frame
};

// The track encoder on the input's sound, cut to the frames taken and as long as the video, with
// its chunks going to output. None when the input has no sound: that is no error, and nothing is
// shown. Sound that the input holds but that cannot be read, or not all of it, would be lost
// without a word: that is an error with the sound input's reason. Reading it later shows its
// status through progress.
toolsupport::Result<std::unique_ptr<toolsupport::SoundTrackEncoder>> OpenInputSound(
    const InputSoundRequest& request, toolsupport::BufferedFile* output, const toolsupport::Progress& progress);

}  // namespace compressor
