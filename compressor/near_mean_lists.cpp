#include "compressor/near_mean_lists.h"

#include <algorithm>
#include <cmath>

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

void NearMeanLists::Rebuild(const uint8_t* palette, int first, int end) {
  static_assert(kCoarseShift == 3 && kUp == 1);
  std::copy(palette, palette + palette_.size(), palette_.begin());
  usable_.clear();
  for (int index = first; index < end; ++index) usable_.push_back(static_cast<uint8_t>(index));
  constexpr size_t kCubes = kCoarseCubes * kCoarseCubes * kCoarseCubes;
  coarse_.start.assign(kCubes, -1);
  coarse_.count.resize(kCubes);
  fineSlots_.assign(kCubes, -1);
  fine_.start.clear();
  fine_.count.clear();
  for (Level* level : {&coarse_, &fine_}) {
    level->indexes.clear();
    level->fromCentre.clear();
  }
}

NearMeanLists::List NearMeanLists::Find(const int64_t sums[3], int64_t pixels) {
  static_assert(kFineShift == 2);
  int corner[3];
  if (pixels <= kBlockPixels) {
    for (int c = 0; c < 3; ++c) corner[c] = static_cast<int>(sums[c] * kCubeReciprocals[pixels] >> 32);
  } else {
    for (int c = 0; c < 3; ++c) corner[c] = static_cast<int>(std::clamp<int64_t>(sums[c] / pixels, 0, 255)) >> kFineShift;
  }
  const size_t slot = FineSlot(corner);
  if (fine_.start[slot] < 0) {
    const int outer[3] = {corner[0] >> kUp, corner[1] >> kUp, corner[2] >> kUp};
    const size_t coarseCube = CoarseCube(outer);
    if (coarse_.start[coarseCube] < 0) Make(coarse_, coarseCube, outer, usable_.data(), usable_.size());
    const size_t start = static_cast<size_t>(coarse_.start[coarseCube]);
    Make(fine_, slot, corner, coarse_.indexes.data() + start, coarse_.count[coarseCube]);
  }
  const size_t start = static_cast<size_t>(fine_.start[slot]);
  List list{fine_.indexes.data() + start, fine_.fromCentre.data() + start, fine_.count[slot], {}};
  const double side = 1 << kFineShift;
  for (int c = 0; c < 3; ++c) list.centre[c] = corner[c] * side + side / 2;
  return list;
}

size_t NearMeanLists::FineSlot(const int corner[3]) {
  const int outer[3] = {corner[0] >> kUp, corner[1] >> kUp, corner[2] >> kUp};
  int32_t& first = fineSlots_[CoarseCube(outer)];
  if (first < 0) {
    first = static_cast<int32_t>(fine_.start.size());
    fine_.start.resize(fine_.start.size() + kFinePerCoarse, -1);
    fine_.count.resize(fine_.start.size());
  }
  const size_t inner = size_t(corner[0] & 1) << 2 | size_t(corner[1] & 1) << 1 | size_t(corner[2] & 1);
  return static_cast<size_t>(first) + inner;
}

// D is a squared norm, so distances to the cube's centre bound those to any mean in it: a mean
// lies within rho of the centre (rho^2 = (5 + 6 + 5) x (side / 2)^2). An entry within the slack
// of the smallest D at some mean q has sqrt(D(c, q)) <= sqrt(Dmin(q) + slack), and Dmin(q) is at
// most (sqrt(Dmin at the centre) + rho)^2; so it is no farther from the centre than that plus
// rho. A cube inside a larger one needs only entries of the larger one's list, the nearest to its
// centre among them.
void NearMeanLists::Make(Level& level, size_t slot, const int corner[3], const uint8_t* from, size_t count) {
  const int side = 1 << level.shift;
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
  level.start[slot] = static_cast<int32_t>(level.indexes.size());
  level.count[slot] = static_cast<uint16_t>(kept);
  for (size_t i = 0; i < kept; ++i) {
    level.indexes.push_back(listed[i]);
    level.fromCentre.push_back(std::sqrt(fourTimesD[listed[i]] / 4.0));
  }
}

}  // namespace compressor
