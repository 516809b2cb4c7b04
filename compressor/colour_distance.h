#pragma once
// How far apart two palette entries look, as the encoder measures every error.
#include <array>
#include <cstdint>
#include <vector>

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

  // The palette's red, green and blue bytes of an index.
  const uint8_t* Entry(uint8_t index) const { return &palette_[3 * index]; }
  // The usable indices ordered by one of the three bytes, the one along which they spread most
  // (its number in AxisByte()), for searches that walk outwards from a value of that byte.
  int AxisByte() const { return axisByte_; }
  const uint8_t* AxisOrder() const { return axisOrder_.data(); }

 private:
  void SortAlongAxis();

  std::vector<uint32_t> table_;
  RgbPalette palette_{};
  int axisByte_ = 1;
  std::vector<uint8_t> axisOrder_;      // UsableCount() indices
  std::array<uint32_t, 256> brightness_{};
  UsableRange usable_;
  std::vector<uint8_t> nearest_;        // 256 rows of UsableCount() indices
  std::array<bool, 256> nearestMade_{};
};

}  // namespace compressor
