#pragma once
// The decode destination a video holds (set by VantToBuffer).
#include "playback/vant.h"

// Frees the video's destination, if any, and leaves it without one.
void ReleaseDestination(VantVideo* video);
