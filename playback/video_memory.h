#pragma once
// Allocations that count towards a video's memory figures (memory in use and its peak).
#include <cstdint>

#include "playback/vant.h"

// AlignedAlloc that adds `size` to the video's memory in use and raises its peak.
void* CountedAlloc(VantVideo* video, uint64_t size);
// Frees a block from CountedAlloc of `size` bytes; null is ignored.
void CountedFree(VantVideo* video, void* block, uint64_t size);
