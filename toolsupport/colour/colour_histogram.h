#pragma once
// The colour histogram of a run of frames: one count per 18-bit key. Counts are 64-bit so
// that long runs of large frames cannot wrap them.
#include <cstdint>
#include <vector>

#include "toolsupport/colour/colour_tables.h"

struct ColourHistogram {
  std::vector<uint64_t> counts = std::vector<uint64_t>(kColourKeyCount, 0);
};

// Each adds one row of `width` pixels. 8-bit rows go through the row's palette (R, G, B);
// 16-bit rows are 5-5-5 words; 24-bit rows are B, G, R; 32-bit rows are B, G, R, x.
void CountColors8(ColourHistogram& histogram, const uint8_t* row, int width, const uint8_t* palette);
void CountColors16(ColourHistogram& histogram, const uint8_t* row, int width);
void CountColors24(ColourHistogram& histogram, const uint8_t* row, int width);
void CountColors32(ColourHistogram& histogram, const uint8_t* row, int width);
