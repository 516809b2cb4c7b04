#pragma once
// How far apart two palette entries look, as the encoder measures every error.
#include <array>
#include <cstdint>
#include <vector>

#include "compressor/near_mean_lists.h"

namespace compressor {

// 256 entries of three bytes each (red, green, blue, full 8-bit values).
using RgbPalette = std::array<uint8_t, 768>;

// The palette indices the encoder may pick as new colours: first <= index < end.
struct UsableRange {
  int first = 0;
  int end = 256;
};

// Squared differences, the middle byte weighted by 6/5 (green is what the eye sees best).
uint32_t ColorDistance(const uint8_t* a, const uint8_t* b);

// The sum of an entry's three bytes.
uint32_t Brightness(const uint8_t* entry);

// Distances between every two palette indices, rebuilt whenever the palette changes.
class ColorDistanceTable {
 public:
  ColorDistanceTable();
  void Rebuild(const uint8_t* palette, UsableRange usable = {});
  uint32_t operator()(uint8_t a, uint8_t b) const { return table_[a * 256u + b]; }
  // Row a: the distances from index a to every index, for scans over candidates.
  const uint32_t* Row(uint8_t a) const { return &table_[a * 256u]; }
  uint32_t BrightnessOf(uint8_t index) const { return brightness_[index]; }

  UsableRange Usable() const { return usable_; }
  int UsableCount() const { return usable_.end - usable_.first; }
  // The usable indices by distance from a, nearest first (lower index first among equals).
  // Each order is made when first asked for after a rebuild.
  const uint8_t* NearestUsable(uint8_t a);

  // The palette's three bytes of an index.
  const uint8_t* Entry(uint8_t index) const { return &palette_[3 * index]; }
  // An index's bytes times their weights in the nearness to a mean (5, 6, 5), and the weighted
  // sum of their squares, for scores against a mean.
  const std::array<int32_t, 3>& WeightedEntry(uint8_t index) const { return weighted_[index]; }
  int32_t WeightedSquares(uint8_t index) const { return weightedSquares_[index]; }
  // An index's bytes in fields of kPackedBits (red lowest), so that sums of up to 8224 entries
  // are one addition per entry.
  static constexpr int kPackedBits = 21;
  uint64_t PackedEntry(uint8_t index) const { return packed_[index]; }
  // Every index's red and green bytes as the two halves of 32 bits, and its blue byte.
  const uint32_t* RedGreenTable() const { return redGreen_.data(); }
  const uint32_t* BlueTable() const { return blue_.data(); }

  // The usable indices that can come nearest to the mean of `pixels` colours whose bytes sum
  // to `sums` (see near_mean_lists.h).
  NearMeanLists::List NearMeanCandidates(const int64_t sums[3], int64_t pixels) {
    return nearMean_.Find(sums, pixels);
  }

 private:
  std::vector<uint32_t> table_;
  RgbPalette palette_{};
  std::array<uint32_t, 256> brightness_{};
  std::array<std::array<int32_t, 3>, 256> weighted_{};
  std::array<int32_t, 256> weightedSquares_{};
  std::array<uint64_t, 256> packed_{};
  std::array<uint32_t, 256> redGreen_{};
  std::array<uint32_t, 256> blue_{};
  NearMeanLists nearMean_;
  UsableRange usable_;
  std::vector<uint8_t> nearest_;        // 256 rows of UsableCount() indices
  std::array<bool, 256> nearestMade_{};
};

}  // namespace compressor
