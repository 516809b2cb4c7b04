#pragma once
// The clock an open video measures its times and paces its waits with: the system clock for
// VantOpen, the caller's for OpenVideo.
#include "platform/system/clock.h"
#include "playback/vant.h"

inline platform::Clock& ClockOf(const VantVideo* video) { return *static_cast<platform::Clock*>(video->clock); }
