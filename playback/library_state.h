#pragma once
// Process-wide state of the playback library.
#include <cstdint>

// Frame rate set by VantFrameRate, used by VantOpen under VANT_OPEN_USE_FRAME_RATE.
int32_t ProcessFrameRate();
// Read rate set by VantSimulate, used by VantOpen under VANT_OPEN_SIMULATE_READ.
uint32_t ProcessSimulatedReadRate();

// Sound tracks open in all videos of the process.
extern uint32_t g_openSoundTrackCount;

// Feeds the sound back end; the playback calls run it while any track is open so that sound
// keeps flowing during long reads and waits. Nothing to do while no track is open.
void RunSoundService();
