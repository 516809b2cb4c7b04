#include "toolsupport/colour/halftone.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "toolsupport/colour/colour_tables.h"

namespace {

// `high` and `low` are scratch rows of width * 3 bytes.
void DitherInnerRow(uint8_t* out, const uint8_t* above, const uint8_t* row, const uint8_t* below, int width,
                    int& thresholdIndex, uint8_t* high, uint8_t* low) {
  // Per column, the largest and smallest of each component over the three rows.
  for (int i = 0; i < width * 3; ++i) {
    high[i] = std::max({above[i], row[i], below[i]});
    low[i] = std::min({above[i], row[i], below[i]});
  }
  for (int x = 1; x < width - 1; ++x) {
    int high3 = ((thresholdIndex >> 3) - 1) & 7;
    thresholdIndex = high3 << 3 | (thresholdIndex & 7);
    bool bright = false;
    int range = 0;
    for (int c = 0; c < 3; ++c) {
      int i = x * 3 + c;
      int top = std::max({high[i - 3], high[i], high[i + 3]});
      int bottom = std::min({low[i - 3], low[i], low[i + 3]});
      bright = bright || top >= 32;
      range += top - bottom;
    }
    if (!bright || range < 5 || range > 15) continue;  // `out` already holds the copy
    int threshold = kHalftoneThresholds[thresholdIndex];
    for (int c = 0; c < 3; ++c) {
      int v = row[x * 3 + c];
      out[x * 3 + c] = static_cast<uint8_t>(std::min(16 * (v / 16 + (threshold < v % 16 ? 1 : 0)), 255));
    }
  }
}

template <typename ToBgr>
void Halftone(int width, uint8_t* dest, const uint8_t* source, int height, ptrdiff_t pitch, ToBgr toBgr) {
  if (width <= 0 || height <= 0) return;
  const size_t rowBytes = static_cast<size_t>(width) * 3;
  for (int y = 0; y < height; ++y) toBgr(dest + y * rowBytes, source + y * pitch);
  if (width < 3 || height < 3) return;
  // Neighbours are always taken from the undithered picture: keep the originals of the row
  // above and of the current row while the current row is overwritten.
  std::vector<uint8_t> above(dest, dest + rowBytes), current(rowBytes), high(rowBytes), low(rowBytes);
  int thresholdIndex = 56;
  for (int y = 1; y < height - 1; ++y) {
    uint8_t* out = dest + y * rowBytes;
    std::memcpy(current.data(), out, rowBytes);
    thresholdIndex = (thresholdIndex & ~7) | ((thresholdIndex - 1) & 7);
    DitherInnerRow(out, above.data(), current.data(), out + rowBytes, width, thresholdIndex, high.data(), low.data());
    above.swap(current);
  }
}

}  // namespace

void ConvertPixels8(int width, uint8_t* dest, const uint8_t* source, int height, ptrdiff_t pitch,
                    const uint8_t* palette) {
  Halftone(width, dest, source, height, pitch, [&](uint8_t* out, const uint8_t* in) {
    for (int x = 0; x < width; ++x, out += 3) {
      const uint8_t* rgb = palette + in[x] * 3;
      out[0] = rgb[2];
      out[1] = rgb[1];
      out[2] = rgb[0];
    }
  });
}

void ConvertPixels16(int width, uint8_t* dest, const uint8_t* source, int height, ptrdiff_t pitch) {
  Halftone(width, dest, source, height, pitch, [&](uint8_t* out, const uint8_t* in) {
    for (int x = 0; x < width; ++x, out += 3) {
      uint32_t p = in[2 * x] | in[2 * x + 1] << 8;
      out[0] = static_cast<uint8_t>((p & 31) * 8);
      out[1] = static_cast<uint8_t>(((p >> 5) & 31) * 8);
      out[2] = static_cast<uint8_t>(((p >> 10) & 31) * 8);
    }
  });
}

void ConvertPixels24(int width, uint8_t* dest, const uint8_t* source, int height, ptrdiff_t pitch) {
  Halftone(width, dest, source, height, pitch,
           [&](uint8_t* out, const uint8_t* in) { std::memcpy(out, in, static_cast<size_t>(width) * 3); });
}

void ConvertPixels32(int width, uint8_t* dest, const uint8_t* source, int height, ptrdiff_t pitch) {
  Halftone(width, dest, source, height, pitch, [&](uint8_t* out, const uint8_t* in) {
    for (int x = 0; x < width; ++x, out += 3, in += 4) std::memcpy(out, in, 3);
  });
}
