#pragma once
// The compressor's second pass: writes the video file from the first pass's block records and
// symbol counts. Frames are fetched from the input again (full blocks take their pixels from
// them); each frame gets its palette chunk when the palette changed, its audio chunk when a sound
// track is given, and its video data coded with the four trees. The header and both tables are
// written as placeholders first and over them at the end.
#include <cstdint>
#include <functional>
#include <vector>

#include "compressor/block_records.h"
#include "toolsupport/io/buffered_file.h"
#include "compressor/encode_pass.h"
#include "compressor/frame_hints.h"
#include "playback/vant.h"
#include "toolsupport/sound/sound_track_encoder.h"
#include "toolsupport/threads/worker_pool.h"
#include "compressor/video_trees.h"

namespace compressor {

struct VideoWriterPorts {
  EncoderInput* input = nullptr;                    // rewound here, frames taken again
  ByteSource* blockFile = nullptr;                  // at the first frame's records
  toolsupport::BufferedFile* output = nullptr;      // the new video file, empty
  toolsupport::SoundTrackEncoder* sound = nullptr;  // sound track 0, or none
  toolsupport::Progress progress;                   // status lines; cancel tested after every fetch
  // Threads that code the frames' symbols; none: all of it on the calling thread. With more
  // than one thread, a few frames are read and coded ahead of the one being written.
  toolsupport::WorkerPool* workers = nullptr;
};

// What went into the file.
struct WrittenVideo {
  VideoFileHeader header{};
  std::vector<uint32_t> frameSizes;
  std::vector<uint8_t> frameTypes;
};

extern const char* const kComplexityMessage;

// settings and hints as the first pass left them (its automatic key frames are marked in the
// hints). Success, a stop, or the error that ended the pass.
toolsupport::Status WriteVideoFile(const EncoderSettings& settings, const FrameHints& hints, VideoTrees& trees,
                    const VideoWriterPorts& ports, WrittenVideo* written = nullptr);

}  // namespace compressor
