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
  // A list as it is kept: its length, then its distances, then its indexes, side by side in one
  // of the blocks of memory below, so that a search finds all of it with one look-up.
  struct Kept {
    uint32_t count;
    uint32_t unused;
    const double* FromCentre() const { return reinterpret_cast<const double*>(this + 1); }
    const uint8_t* Indexes() const { return reinterpret_cast<const uint8_t*>(FromCentre() + count); }
  };
  struct Made {
    size_t count = 0;
    uint8_t indexes[256];
    double fromCentre[256];
  };
  // The list of the cube of the given corner and size from the entries of `from` (count of them).
  void Make(int shift, const int corner[3], const uint8_t* from, size_t count, Made& made) const;
  // Keeps `made` in `slot` unless another thread filled the slot first; the slot's list either way.
  const Kept* Publish(std::atomic<const Kept*>& slot, const Made& made);
  // The slot of a fine cube: the eight fine cubes of a coarse cube get their slots together, once
  // a mean falls in one of them, so that slots in use lie close together.
  std::atomic<const Kept*>& FineSlot(size_t coarseCube, size_t inner);
  // Blocks of memory that lists are kept in, one after the other; a rebuild reuses them.
  class Store {
   public:
    void* Room(size_t bytes);  // bytes: a multiple of 8
    void Reset() { inUse_ = used_ = 0; }

   private:
    std::vector<std::unique_ptr<std::byte[]>> blocks_;
    size_t inUse_ = 0;
    size_t used_ = 0;
  };

  std::array<uint8_t, 768> palette_{};
  std::vector<uint8_t> usable_;
  // Fine cubes, whose lists the search walks, are made from the lists of the coarse cubes that
  // hold them, and those from the whole usable range. A rebuild clears the coarse cubes only.
  std::unique_ptr<std::atomic<const Kept*>[]> coarse_;
  std::unique_ptr<std::atomic<int32_t>[]> fineSlots_;  // per coarse cube: its first fine slot, -1 when none yet
  std::unique_ptr<std::atomic<const Kept*>[]> fine_;   // room for every fine cube; taken in groups of eight
  std::mutex making_;  // guards what follows
  size_t fineTaken_ = 0;
  Store lists_;
};

}  // namespace compressor
