#pragma once
// The clock an open video measures its times and paces its waits with: the system clock for
// VantOpen, the caller's for OpenVideo.
#include <cstdint>

#include "platform/system/clock.h"
#include "playback/vant.h"

// VantOpen with the clock the video is to use; the clock must outlive the video.
VantVideo* OpenVideo(const void* source, uint32_t flags, uint32_t extraBufferSize, platform::Clock& clock);

inline platform::Clock& ClockOf(const VantVideo* video) { return *static_cast<platform::Clock*>(video->clock); }
