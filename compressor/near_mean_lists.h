#pragma once
// For the colour search of blocks of many colours: which palette entries can come nearest to a
// block's mean colour, listed once for each small cube of means.
//
// Nearness is D(c, q) = 5 (r - qr)^2 + 6 (g - qg)^2 + 5 (b - qb)^2 between entry c = (r, g, b) and
// a mean q; the search needs every usable entry whose D is within kSlack of the smallest D of
// any usable entry. The list of a cube holds all of them for every mean in the cube, nearest to
// the cube's centre first, with their distances (square roots of D) from the centre: a search
// can stop at the first entry farther from the centre than the mean is plus the root of the
// smallest D it found plus the slack.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace compressor {

class NearMeanLists {
 public:
  static constexpr double kSlack = 4.0;
  static constexpr int32_t kWeights[3] = {5, 6, 5};

  struct List {
    const uint8_t* indexes;
    const double* fromCentre;  // ascending
    size_t count;
    std::array<double, 3> centre;
  };

  // Forgets every list; entries first <= index < end are usable.
  void Rebuild(const uint8_t* palette, int first, int end);
  // The list for the mean of `pixels` colours whose bytes sum to `sums`; made when first asked.
  List Find(const int64_t sums[3], int64_t pixels);

 private:
  // Lists of one size of cube: where each starts in indexes and fromCentre, and its length.
  struct Level {
    int shift;  // cubes are 2^shift wide
    std::vector<int32_t> start;  // -1: not made yet
    std::vector<uint16_t> count;
    std::vector<uint8_t> indexes;
    std::vector<double> fromCentre;
  };
  // Makes the list of cube number `slot` of the level from the entries of `from` (count of them).
  void Make(Level& level, size_t slot, const int corner[3], const uint8_t* from, size_t count);
  // The slot of a fine cube: the eight fine cubes of a coarse cube get their slots together, once
  // a mean falls in one of them, so that a rebuild clears the coarse cubes only.
  size_t FineSlot(const int corner[3]);

  std::array<uint8_t, 768> palette_{};
  // Fine cubes, whose lists the search walks, are made from the lists of the coarse cubes that
  // hold them, and those from the whole usable range.
  Level coarse_{3, {}, {}, {}, {}};
  Level fine_{2, {}, {}, {}, {}};
  std::vector<int32_t> fineSlots_;  // per coarse cube: its first fine slot, -1 when none yet
  std::vector<uint8_t> usable_;
};

}  // namespace compressor
