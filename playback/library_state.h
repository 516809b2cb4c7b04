#pragma once
// Process-wide state of the playback library.
#include <cstdint>

// Frame rate set by VantFrameRate, used by VantOpen under VANT_OPEN_USE_FRAME_RATE.
int32_t ProcessFrameRate();
// Read rate set by VantSimulate, used by VantOpen under VANT_OPEN_SIMULATE_READ.
uint32_t ProcessSimulatedReadRate();
