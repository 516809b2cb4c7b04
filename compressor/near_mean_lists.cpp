#include "compressor/near_mean_lists.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <type_traits>

namespace compressor {
namespace {

constexpr int kBlockPixels = 16;
constexpr int kFineShift = 2;

// The fine cube of the mean of p <= 16 pixels without a division: floor(s / (4 p)) is
// s x kCubeReciprocals[p] >> 32 for every sum s of p bytes.
constexpr std::array<int64_t, kBlockPixels + 1> kCubeReciprocals = [] {
  std::array<int64_t, kBlockPixels + 1> r{};
  for (int64_t p = 1; p <= kBlockPixels; ++p) r[p] = ((int64_t{1} << 32) + (p << kFineShift) - 1) / (p << kFineShift);
  return r;
}();
constexpr bool CubeReciprocalsExact() {
  for (int64_t p = 1; p <= kBlockPixels; ++p) {
    for (int64_t s = 0; s <= 255 * p; ++s) {
      if ((s * kCubeReciprocals[p] >> 32) != s / (p << kFineShift)) return false;
    }
  }
  return true;
}
static_assert(CubeReciprocalsExact());


constexpr int kCoarseShift = 3;
constexpr size_t kCoarseCubes = size_t{256} >> kCoarseShift;  // along each axis
constexpr int kUp = kCoarseShift - kFineShift;
constexpr size_t kFinePerCoarse = size_t{1} << (3 * kUp);

size_t CoarseCube(const int corner[3]) {
  return (size_t(corner[0]) * kCoarseCubes + size_t(corner[1])) * kCoarseCubes + size_t(corner[2]);
}

}  // namespace

NearMeanLists::NearMeanLists()
    : coarse_(std::make_unique<std::atomic<const Kept*>[]>(kCoarseCubes * kCoarseCubes * kCoarseCubes)),
      fineSlots_(std::make_unique<std::atomic<int32_t>[]>(kCoarseCubes * kCoarseCubes * kCoarseCubes)),
      fine_(std::make_unique<std::atomic<const Kept*>[]>(kCoarseCubes * kCoarseCubes * kCoarseCubes *
                                                       kFinePerCoarse)) {}

NearMeanLists::~NearMeanLists() = default;

void NearMeanLists::Rebuild(const uint8_t* palette, int first, int end) {
  static_assert(kCoarseShift == 3 && kUp == 1);
  std::copy(palette, palette + palette_.size(), palette_.begin());
  usable_.clear();
  for (int index = first; index < end; ++index) usable_.push_back(static_cast<uint8_t>(index));
  constexpr size_t kCubes = kCoarseCubes * kCoarseCubes * kCoarseCubes;
  for (size_t c = 0; c < kCubes; ++c) {
    coarse_[c].store(nullptr, std::memory_order_relaxed);
    fineSlots_[c].store(-1, std::memory_order_relaxed);
  }
  lists_.Reset();
  fineTaken_ = 0;
}

NearMeanLists::List NearMeanLists::Find(const int64_t sums[3], int64_t pixels) {
  static_assert(kFineShift == 2);
  int corner[3];
  if (pixels <= kBlockPixels) {
    for (int c = 0; c < 3; ++c) corner[c] = static_cast<int>(sums[c] * kCubeReciprocals[pixels] >> 32);
  } else {
    for (int c = 0; c < 3; ++c) corner[c] = static_cast<int>(std::clamp<int64_t>(sums[c] / pixels, 0, 255)) >> kFineShift;
  }
  const int outer[3] = {corner[0] >> kUp, corner[1] >> kUp, corner[2] >> kUp};
  const size_t coarseCube = CoarseCube(outer);
  const size_t inner = size_t(corner[0] & 1) << 2 | size_t(corner[1] & 1) << 1 | size_t(corner[2] & 1);
  std::atomic<const Kept*>& slot = FineSlot(coarseCube, inner);
  const Kept* fine = slot.load(std::memory_order_acquire);
  if (fine == nullptr) {
    Made made;
    const Kept* coarse = coarse_[coarseCube].load(std::memory_order_acquire);
    if (coarse == nullptr) {
      Make(kCoarseShift, outer, usable_.data(), usable_.size(), made);
      coarse = Publish(coarse_[coarseCube], made);
    }
    Make(kFineShift, corner, coarse->Indexes(), coarse->count, made);
    fine = Publish(slot, made);
  }
  List list{fine->Indexes(), fine->FromCentre(), fine->count, {}};
  const double side = 1 << kFineShift;
  for (int c = 0; c < 3; ++c) list.centre[c] = corner[c] * side + side / 2;
  return list;
}

void* NearMeanLists::Store::Room(size_t bytes) {
  constexpr size_t kBlockBytes = size_t{1} << 18;  // many lists: the longest takes 2,312 bytes
  if (inUse_ >= blocks_.size() || used_ + bytes > kBlockBytes) {
    if (inUse_ < blocks_.size()) ++inUse_;
    if (inUse_ == blocks_.size()) blocks_.push_back(std::make_unique_for_overwrite<std::byte[]>(kBlockBytes));
    used_ = 0;
  }
  void* room = blocks_[inUse_].get() + used_;
  used_ += bytes;
  return room;
}

std::atomic<const NearMeanLists::Kept*>& NearMeanLists::FineSlot(size_t coarseCube, size_t inner) {
  std::atomic<int32_t>& first = fineSlots_[coarseCube];
  int32_t taken = first.load(std::memory_order_acquire);
  if (taken < 0) {
    std::lock_guard<std::mutex> lock(making_);
    taken = first.load(std::memory_order_relaxed);
    if (taken < 0) {
      taken = static_cast<int32_t>(fineTaken_);
      for (size_t i = 0; i < kFinePerCoarse; ++i) fine_[fineTaken_ + i].store(nullptr, std::memory_order_relaxed);
      fineTaken_ += kFinePerCoarse;
      first.store(taken, std::memory_order_release);
    }
  }
  return fine_[static_cast<size_t>(taken) + inner];
}

// Lists are made without the lock, so that threads asking for different cubes do not wait for
// each other; two threads making the same list make the same one, and the first kept serves both.
const NearMeanLists::Kept* NearMeanLists::Publish(std::atomic<const Kept*>& slot, const Made& made) {
  std::lock_guard<std::mutex> lock(making_);
  const Kept* there = slot.load(std::memory_order_relaxed);
  if (there != nullptr) return there;
  const size_t bytes = sizeof(Kept) + made.count * sizeof(double) + (made.count + 7) / 8 * 8;
  Kept* kept = new (lists_.Room(bytes)) Kept{static_cast<uint32_t>(made.count), 0};
  std::copy(made.fromCentre, made.fromCentre + made.count, const_cast<double*>(kept->FromCentre()));
  std::copy(made.indexes, made.indexes + made.count, const_cast<uint8_t*>(kept->Indexes()));
  slot.store(kept, std::memory_order_release);
  return kept;
}

// D is a squared norm, so distances to the cube's centre bound those to any mean in it: a mean
// lies within rho of the centre (rho^2 = (5 + 6 + 5) x (side / 2)^2). An entry within the slack
// of the smallest D at some mean q has sqrt(D(c, q)) <= sqrt(Dmin(q) + slack), and Dmin(q) is at
// most (sqrt(Dmin at the centre) + rho)^2; so it is no farther from the centre than that plus
// rho. A cube inside a larger one needs only entries of the larger one's list, the nearest to its
// centre among them.
void NearMeanLists::Make(int shift, const int corner[3], const uint8_t* from, size_t count, Made& made) const {
  const int side = 1 << shift;
  // Squared distances from the centre in halves, so that they are whole numbers.
  int32_t twiceCentre[3];
  for (int c = 0; c < 3; ++c) twiceCentre[c] = 2 * corner[c] * side + side;
  int32_t fourTimesD[256];
  int32_t smallest = INT32_MAX;
  for (size_t i = 0; i < count; ++i) {
    int32_t d = 0;
    for (int c = 0; c < 3; ++c) {
      const int32_t difference = 2 * palette_[3 * from[i] + c] - twiceCentre[c];
      d += kWeights[c] * difference * difference;
    }
    fourTimesD[from[i]] = d;
    smallest = std::min(smallest, d);
  }
  const double half = side / 2.0;
  const double rho = std::sqrt((kWeights[0] + kWeights[1] + kWeights[2]) * half * half);
  const double nearest = std::sqrt(smallest / 4.0);
  // Rounding errs on the side of a longer list.
  const double limit = (std::sqrt((nearest + rho) * (nearest + rho) + kSlack) + rho) * (1 + 1e-9) + 1e-6;
  const double fourTimesLimitSquared = 4 * limit * limit;
  uint8_t listed[256];
  size_t kept = 0;
  for (size_t i = 0; i < count; ++i) {
    if (fourTimesD[from[i]] <= fourTimesLimitSquared) listed[kept++] = from[i];
  }
  std::sort(listed, listed + kept, [&](uint8_t a, uint8_t b) {
    return fourTimesD[a] != fourTimesD[b] ? fourTimesD[a] < fourTimesD[b] : a < b;
  });
  made.count = kept;
  std::copy(listed, listed + kept, made.indexes);
  for (size_t i = 0; i < kept; ++i) made.fromCentre[i] = std::sqrt(fourTimesD[listed[i]] / 4.0);
}

}  // namespace compressor
