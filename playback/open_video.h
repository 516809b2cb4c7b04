#pragma once
// VantOpen with the clock and the audio context the video is to use; both must outlive it.
#include <cstdint>

#include "platform/system/clock.h"
#include "playback/audio_context.h"
#include "playback/vant.h"

VantVideo* OpenVideo(const void* source, uint32_t flags, uint32_t extraBufferSize, platform::Clock& clock,
                     AudioContext& audio = DefaultAudioContext());
