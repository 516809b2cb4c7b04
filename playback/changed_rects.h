#pragma once
// The parts of the picture that the last decoded frame changed, one rectangle at a time.
#include <cstdint>

#include "playback/frame_decoder.h"

struct ChangedRect {
  uint32_t x = 0;
  uint32_t y = 0;
  uint32_t width = 0;
  uint32_t height = 0;
};

// Gives the next rectangle of changed blocks: within one block row (height 4), as wide as the
// run of changed block groups there, never empty. A rectangle that goes on from the row above
// (its group runs over the row's end) also takes in a single unchanged group that a changed one
// follows. Rectangles come in raster order and do not overlap. Returns 1 with a rectangle, or 0
// when the frame has no more (until the next frame).
int NextChangedRect(DestinationDescriptor& destination, ChangedRect& rect);
