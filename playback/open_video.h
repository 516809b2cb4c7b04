#pragma once
// VantOpen with the clock and the audio context the video is to use; both must outlive it. The
// library's own open says why it failed; the C interface gives only the null handle.
#include <cstdint>

#include "platform/system/clock.h"
#include "playback/audio_context.h"
#include "playback/vant.h"

// Why an open failed.
enum class OpenFailure {
  None,
  NoSource,    // no name or record, or a negative descriptor
  CannotOpen,  // the system refused the file or its position (`error` says why)
  NotAVideo,   // no "VNT2" header, no frames, or more frames than can be played
  CutShort,    // the file ends, or cannot be read, before its frames begin
  Damaged,     // frame sizes, trees or a height that no video has
  NoMemory,
};

struct OpenAttempt {
  VantVideo* video = nullptr;  // the open video, or null
  OpenFailure failure = OpenFailure::None;
  int error = 0;  // errno of CannotOpen
};

OpenAttempt TryOpenVideo(const void* source, uint32_t flags, uint32_t extraBufferSize, platform::Clock& clock,
                         AudioContext& audio = DefaultAudioContext());

// The video, or null when TryOpenVideo would say why not.
VantVideo* OpenVideo(const void* source, uint32_t flags, uint32_t extraBufferSize, platform::Clock& clock,
                     AudioContext& audio = DefaultAudioContext());
