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
//
// The lists of one palette are shared by the threads that score its blocks: Find may be called
// from several threads at once (Rebuild may not). A list depends on its cube alone, so it is the
// same whichever thread makes it first; a list once made never moves until the next rebuild.
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
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

  NearMeanLists();
  ~NearMeanLists();
  NearMeanLists(const NearMeanLists&) = delete;
  NearMeanLists& operator=(const NearMeanLists&) = delete;

  // Forgets every list; entries first <= index < end are usable.
  void Rebuild(const uint8_t* palette, int first, int end);
  // The list for the mean of `pixels` colours whose bytes sum to `sums`; made when first asked.
  List Find(const int64_t sums[3], int64_t pixels);

 private:
  struct Made {
    std::vector<uint8_t> indexes;
    std::vector<double> fromCentre;
  };
  // The lists of the eight fine cubes of a coarse cube.
  struct FineGroup {
    std::array<std::atomic<const Made*>, 8> lists{};
  };
  // The list of the cube of the given corner and size from the entries of `from` (count of them).
  std::unique_ptr<Made> Make(int shift, const int corner[3], const uint8_t* from, size_t count) const;
  // Keeps `made` in `slot` unless another thread filled the slot first; the slot's list either way.
  const Made* Publish(std::atomic<const Made*>& slot, std::unique_ptr<Made> made);
  FineGroup& GroupOf(size_t coarseCube);

  std::array<uint8_t, 768> palette_{};
  std::vector<uint8_t> usable_;
  // Fine cubes, whose lists the search walks, are made from the lists of the coarse cubes that
  // hold them, and those from the whole usable range. A coarse cube's fine group is made once a
  // mean falls in one of its fine cubes, so that a rebuild clears the coarse cubes only.
  std::unique_ptr<std::atomic<const Made*>[]> coarse_;
  std::unique_ptr<std::atomic<FineGroup*>[]> groups_;
  std::mutex making_;  // guards what follows
  std::vector<std::unique_ptr<Made>> kept_;
  std::vector<std::unique_ptr<FineGroup>> keptGroups_;
};

}  // namespace compressor
