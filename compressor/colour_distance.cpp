#include "compressor/colour_distance.h"

#include <algorithm>

namespace compressor {

uint32_t ColorDistance(const uint8_t* a, const uint8_t* b) {
  int d0 = a[0] - b[0];
  int d1 = a[1] - b[1];
  int d2 = a[2] - b[2];
  return static_cast<uint32_t>(d1 * d1 * 6 / 5 + d0 * d0 + d2 * d2);
}

uint32_t Brightness(const uint8_t* entry) { return uint32_t{entry[0]} + entry[1] + entry[2]; }

ColorDistanceTable::ColorDistanceTable() : table_(256 * 256, 0) {}

void ColorDistanceTable::Rebuild(const uint8_t* palette, UsableRange usable) {
  usable.first = std::clamp(usable.first, 0, 256);
  usable.end = std::clamp(usable.end, usable.first, 256);
  usable_ = usable;
  for (unsigned a = 0; a < 256; ++a) {
    brightness_[a] = Brightness(palette + 3 * a);
    table_[a * 256 + a] = 0;
    for (unsigned b = 0; b < a; ++b) {
      uint32_t d = ColorDistance(palette + 3 * a, palette + 3 * b);
      table_[a * 256 + b] = d;
      table_[b * 256 + a] = d;
    }
  }
  nearest_.resize(256 * size_t(UsableCount()));
  nearestMade_.fill(false);
  std::copy(palette, palette + palette_.size(), palette_.begin());
  for (int a = 0; a < 256; ++a) {
    const uint8_t* entry = palette + 3 * a;
    packed_[a] = entry[0] | uint64_t{entry[1]} << kPackedBits | uint64_t{entry[2]} << 2 * kPackedBits;
    redGreen_[a] = entry[0] | uint32_t{entry[1]} << 16;
    blue_[a] = entry[2];
    weightedSquares_[a] = 0;
    for (int c = 0; c < 3; ++c) {
      weighted_[a][c] = NearMeanLists::kWeights[c] * palette[3 * a + c];
      weightedSquares_[a] += weighted_[a][c] * palette[3 * a + c];
    }
  }
  nearMean_.Rebuild(palette, usable_.first, usable_.end);
}

const uint8_t* ColorDistanceTable::NearestUsable(uint8_t a) {
  uint8_t* order = &nearest_[a * size_t(UsableCount())];
  if (nearestMade_[a]) return order;
  // Distances stay below 2^18, so distance and index sort together as one key.
  uint32_t keys[256];
  int n = 0;
  for (int c = usable_.first; c < usable_.end; ++c) keys[n++] = table_[a * 256u + c] << 8 | c;
  std::sort(keys, keys + n);
  for (int i = 0; i < n; ++i) order[i] = static_cast<uint8_t>(keys[i]);
  nearestMade_[a] = true;
  return order;
}

}  // namespace compressor
