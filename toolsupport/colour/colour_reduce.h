#pragma once
// Palette making: the median-cut style splitting of colour boxes over a histogram, and the
// placement of the new colours near what the palette held before.
#include <cstdint>

#include "toolsupport/colour/colour_histogram.h"
#include "toolsupport/base/status.h"

// A colour as R * 65536 + G * 256 + B (8-bit components).
inline constexpr uint32_t PackRgb(uint32_t r, uint32_t g, uint32_t b) { return r << 16 | g << 8 | b; }

struct BoxSplit {
  int splitCount = 0;  // keys on the lower side, which come first after the split
  uint32_t lowerColour = 0, upperColour = 0;
  uint64_t lowerError = 0, upperError = 0;
};

// Finds the best of the 512 axis-aligned cuts of a box of keys (errors are count-weighted
// squared distances to the side's mean at 6 bits) and reorders the keys lower side first.
BoxSplit SplitColorBox(uint32_t* keys, int count, const uint64_t* counts);

// Makes up to colours - lowReserve - highReserve new colours from the histogram and places
// them from entry firstIndex + lowReserve. Entries firstIndex .. firstIndex + lowReserve - 1
// and the last highReserve entries of the range are reserved: the histogram counts of the
// colours they hold are cleared first. Returns the number of colours made (0 for an empty
// histogram). The histogram is changed.
int ReduceColors(const toolsupport::Progress& progress, int highReserve, int lowReserve, int colours,
                 int firstIndex, ColourHistogram& histogram, uint8_t* palette);
