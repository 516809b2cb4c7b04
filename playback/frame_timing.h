#pragma once
// Timing figures of frame stepping, shared by the stepping calls and the summary.
#include "playback/vant.h"

// Closes the open frame, blit and decompress times into the statistics: the slowest and second
// slowest frame, blitting and decompressing milliseconds.
void UpdateFrameTiming(VantVideo* video);

// Whether the current frame is late for the pacing track's sound. Never without a pacing track
// or while the sound is off: the millisecond clock then paces by waiting only.
bool IsFrameLate(VantVideo* video);
