#include "compressor/rate_control.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <optional>

#include "playback/frame_coding.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace compressor {

uint32_t RunPieces(uint32_t n) {
  // Pieces of 1024, 512, 256 and 128: the bits of n from 10 down to 7.
  static constexpr uint8_t kBitCount[16] = {0, 1, 1, 2, 1, 2, 2, 3, 1, 2, 2, 3, 2, 3, 3, 4};
  uint32_t rest = n % 128;
  return n / 2048 + kBitCount[(n >> 7) & 15] + (rest + 58) / 59;
}

namespace {

// Every run is charged one piece at its first block, and each block its data; a run found long
// enough to need more pieces is charged the rest when it ends. The kinds and the runs are found
// by selects and masks rather than branches: on changing pictures the kinds follow no pattern.
constexpr uint8_t kHead[4] = {1, 1, 1, 2};   // by BlockType: bytes of a piece's head
constexpr uint8_t kData[4] = {4, 16, 0, 0};  // bytes of each block's data
constexpr uint32_t kOnePieceRuns = 59;
constexpr uint32_t kNoRun = UINT32_MAX;      // the run key before the first block

// A run key: the kind, and the colour of a solid block.
uint32_t RunKey(const BlockScore& s, uint32_t t) {
  uint32_t kind = FullBlock;
  kind = s.twoColor <= t ? uint32_t{TwoColorBlock} : kind;
  kind = s.solid <= t ? uint32_t{SolidBlock} : kind;
  kind = s.unchanged <= t ? uint32_t{UnchangedBlock} : kind;
  return kind | (kind == SolidBlock ? uint32_t{s.solidColor} << 2 : 0u);
}

// What a run of this length costs beyond its first piece.
uint64_t MorePieces(uint32_t runKey, uint32_t runLength) {
  return runLength > kOnePieceRuns ? kHead[runKey & 3] * uint64_t{RunPieces(runLength) - 1} : 0;
}

struct RunState {
  uint64_t size = 0;
  uint32_t runKey = kNoRun;
  uint32_t runLength = 0;
};

void EstimateBlocks(const BlockScore* scores, size_t count, uint32_t t, RunState& state) {
  for (size_t i = 0; i < count; ++i) {
    const uint32_t key = RunKey(scores[i], t);
    const bool starts = key != state.runKey;
    if (starts) state.size += MorePieces(state.runKey, state.runLength);
    state.runLength = starts ? 1 : state.runLength + 1;
    state.runKey = key;
    state.size += kData[key & 3] + (starts ? kHead[key & 3] : 0u);
  }
}

#if defined(__SSE2__)
static_assert(sizeof(BlockScore) == 16 && offsetof(BlockScore, unchanged) == 0 && offsetof(BlockScore, solid) == 4 &&
              offsetof(BlockScore, twoColor) == 8 && offsetof(BlockScore, solidColor) == 12);

// Four blocks at a time: their scores transposed into one register per field, the kinds chosen
// by masks. Lane sums stay below 2^32 for frames of up to 2^28 blocks.
void EstimateBlocksFourAtATime(const BlockScore* scores, size_t groups, uint32_t t, RunState& state) {
  const __m128i sign = _mm_set1_epi32(INT32_MIN);  // unsigned order through signed compares
  const __m128i limit = _mm_xor_si128(_mm_set1_epi32(static_cast<int>(t)), sign);
  const __m128i lowByte = _mm_set1_epi32(0xFF), one = _mm_set1_epi32(1), two = _mm_set1_epi32(2),
                three = _mm_set1_epi32(3), four = _mm_set1_epi32(4), sixteen = _mm_set1_epi32(16);
  __m128i sums = _mm_setzero_si128();
  __m128i keysBefore = _mm_set1_epi32(static_cast<int>(state.runKey));  // its last lane counts
  alignas(16) uint32_t keys[4];
  for (size_t g = 0; g < groups; ++g) {
    const __m128i* at = reinterpret_cast<const __m128i*>(scores + 4 * g);
    const __m128i b0 = _mm_loadu_si128(at), b1 = _mm_loadu_si128(at + 1), b2 = _mm_loadu_si128(at + 2),
                  b3 = _mm_loadu_si128(at + 3);
    const __m128i lo01 = _mm_unpacklo_epi32(b0, b1), hi01 = _mm_unpackhi_epi32(b0, b1);
    const __m128i lo23 = _mm_unpacklo_epi32(b2, b3), hi23 = _mm_unpackhi_epi32(b2, b3);
    const __m128i unchanged = _mm_unpacklo_epi64(lo01, lo23), solid = _mm_unpackhi_epi64(lo01, lo23);
    const __m128i twoColor = _mm_unpacklo_epi64(hi01, hi23);
    const __m128i color = _mm_and_si128(_mm_unpackhi_epi64(hi01, hi23), lowByte);
    const __m128i overU = _mm_cmpgt_epi32(_mm_xor_si128(unchanged, sign), limit);
    const __m128i overS = _mm_cmpgt_epi32(_mm_xor_si128(solid, sign), limit);
    const __m128i overC = _mm_cmpgt_epi32(_mm_xor_si128(twoColor, sign), limit);
    const __m128i isS = _mm_andnot_si128(overS, overU);
    const __m128i notUS = _mm_and_si128(overU, overS);
    const __m128i isT = _mm_andnot_si128(overC, notUS);
    const __m128i isF = _mm_and_si128(overC, notUS);
    // Unchanged 2, solid 3 with its colour, two-colour 0, full 1.
    const __m128i key = _mm_or_si128(_mm_or_si128(_mm_andnot_si128(overU, two), _mm_and_si128(isF, one)),
                                     _mm_and_si128(isS, _mm_or_si128(three, _mm_slli_epi32(color, 2))));
    const __m128i before = _mm_or_si128(_mm_slli_si128(key, 4), _mm_srli_si128(keysBefore, 12));
    const __m128i starts = _mm_andnot_si128(_mm_cmpeq_epi32(key, before), _mm_set1_epi32(-1));
    const __m128i head = _mm_add_epi32(one, _mm_and_si128(isS, one));
    const __m128i data = _mm_or_si128(_mm_and_si128(isT, four), _mm_and_si128(isF, sixteen));
    sums = _mm_add_epi32(sums, _mm_add_epi32(data, _mm_and_si128(starts, head)));
    keysBefore = key;
    // Only the first run that ends in the group can be a long one.
    const auto startMask = static_cast<uint32_t>(_mm_movemask_ps(_mm_castsi128_ps(starts)));
    if (startMask == 0) {
      state.runLength += 4;
      continue;
    }
    const uint32_t ended = state.runLength + static_cast<uint32_t>(std::countr_zero(startMask));
    if (ended > kOnePieceRuns) state.size += MorePieces(state.runKey, ended);
    const int last = 31 - std::countl_zero(startMask);
    _mm_store_si128(reinterpret_cast<__m128i*>(keys), key);
    state.runKey = keys[last];
    state.runLength = static_cast<uint32_t>(4 - last);
  }
  alignas(16) uint32_t lanes[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(lanes), sums);
  state.size += uint64_t{lanes[0]} + lanes[1] + lanes[2] + lanes[3];
}
#endif

}  // namespace

uint64_t EstimateFrameSize(const std::vector<BlockScore>& scores, uint32_t t) {
  RunState state;
  size_t done = 0;
#if defined(__SSE2__)
  // In slices whose lane sums cannot overflow.
  constexpr size_t kSliceGroups = size_t{1} << 24;
  const size_t groups = scores.size() / 4;
  for (size_t g = 0; g < groups; g += kSliceGroups) {
    EstimateBlocksFourAtATime(scores.data() + 4 * g, std::min(kSliceGroups, groups - g), t, state);
  }
  done = 4 * groups;
#endif
  EstimateBlocks(scores.data() + done, scores.size() - done, t, state);
  return state.size + MorePieces(state.runKey, state.runLength);
}

ThresholdChoice SearchThreshold(const std::vector<BlockScore>& scores, int64_t budget) {
  // Every threshold from the largest error within the search's range up codes the frame alike:
  // the frame's size there is estimated once.
  uint32_t ceiling = 0;
  for (const BlockScore& s : scores) {
    for (uint32_t error : {s.unchanged, s.solid, s.twoColor}) {
      ceiling = std::max(ceiling, error <= kMaxThreshold ? error : 0u);
    }
  }
  std::optional<uint64_t> sizeFromCeiling;
  ThresholdChoice fit, smallest;
  bool anyFit = false, anyOver = false;
  int64_t low = 0, high = kMaxThreshold;
  while (low <= high) {
    uint32_t t = static_cast<uint32_t>(low + (high - low) / 2);
    if (t >= ceiling && !sizeFromCeiling) sizeFromCeiling = EstimateFrameSize(scores, ceiling);
    uint64_t size = t >= ceiling ? *sizeFromCeiling : EstimateFrameSize(scores, t);
    if (budget >= 0 && size <= static_cast<uint64_t>(budget)) {
      // Within the budget: try finer thresholds. Equal sizes favour the finer one.
      if (!anyFit || size >= fit.size) fit = {t, size, true};
      anyFit = true;
      high = int64_t{t} - 1;
    } else {
      if (!anyOver || size < smallest.size) smallest = {t, size, false};
      anyOver = true;
      low = int64_t{t} + 1;
    }
  }
  return anyFit ? fit : smallest;
}

uint32_t CountChangedBlocks(const std::vector<BlockScore>& scores, uint32_t threshold) {
  uint32_t count = 0;
  for (const BlockScore& s : scores) count += s.unchanged > threshold;
  return count;
}

}  // namespace compressor
