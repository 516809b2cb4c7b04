#include "toolsupport/colour/colour_histogram.h"

void CountColors8(ColourHistogram& histogram, const uint8_t* row, int width, const uint8_t* palette) {
  uint32_t keys[256];
  for (int i = 0; i < 256; ++i) keys[i] = PaletteKey(palette, i);
  uint64_t* counts = histogram.counts.data();
  for (int x = 0; x < width; ++x) ++counts[keys[row[x]]];
}

void CountColors16(ColourHistogram& histogram, const uint8_t* row, int width) {
  uint64_t* counts = histogram.counts.data();
  for (int x = 0; x < width; ++x) {
    uint32_t pixel = row[2 * x] | (row[2 * x + 1] << 8);
    ++counts[KeyFromPixel16(pixel)];
  }
}

void CountColors24(ColourHistogram& histogram, const uint8_t* row, int width) {
  uint64_t* counts = histogram.counts.data();
  for (int x = 0; x < width; ++x, row += 3) ++counts[KeyFromRgb8(row[2], row[1], row[0])];
}

void CountColors32(ColourHistogram& histogram, const uint8_t* row, int width) {
  uint64_t* counts = histogram.counts.data();
  for (int x = 0; x < width; ++x, row += 4) ++counts[KeyFromRgb8(row[2], row[1], row[0])];
}
