#include "compressor/rate_control.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <optional>

#include "playback/frame_coding.h"

#include "compressor/wide_vectors.h"

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

#if defined(VANT_WIDE_VECTORS)
// The scores of a block and of the block four after it.
__attribute__((target("avx2"))) inline __m256i BlocksApart(const __m128i* at) {
  return _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadu_si128(at)), _mm_loadu_si128(at + 4), 1);
}

// The same eight blocks at a time, with the wide vector instructions. The two halves of each
// register hold blocks 0-3 and 4-7, so that the same unpacking puts every field in block order.
__attribute__((target("avx2"))) void EstimateBlocksEightAtATime(const BlockScore* scores, size_t groups,
                                                                  uint32_t t, RunState& state) {
  const __m256i sign = _mm256_set1_epi32(INT32_MIN);
  const __m256i limit = _mm256_xor_si256(_mm256_set1_epi32(static_cast<int>(t)), sign);
  const __m256i lowByte = _mm256_set1_epi32(0xFF), one = _mm256_set1_epi32(1), two = _mm256_set1_epi32(2),
                three = _mm256_set1_epi32(3), four = _mm256_set1_epi32(4), sixteen = _mm256_set1_epi32(16);
  const __m256i laneBefore = _mm256_setr_epi32(7, 0, 1, 2, 3, 4, 5, 6);
  __m256i sums = _mm256_setzero_si256();
  uint32_t keyBefore = state.runKey;
  alignas(32) uint32_t keys[8];
  for (size_t g = 0; g < groups; ++g) {
    const __m128i* at = reinterpret_cast<const __m128i*>(scores + 8 * g);
    const __m256i b0 = BlocksApart(at), b1 = BlocksApart(at + 1), b2 = BlocksApart(at + 2), b3 = BlocksApart(at + 3);
    const __m256i lo01 = _mm256_unpacklo_epi32(b0, b1), hi01 = _mm256_unpackhi_epi32(b0, b1);
    const __m256i lo23 = _mm256_unpacklo_epi32(b2, b3), hi23 = _mm256_unpackhi_epi32(b2, b3);
    const __m256i unchanged = _mm256_unpacklo_epi64(lo01, lo23), solid = _mm256_unpackhi_epi64(lo01, lo23);
    const __m256i twoColor = _mm256_unpacklo_epi64(hi01, hi23);
    const __m256i color = _mm256_and_si256(_mm256_unpackhi_epi64(hi01, hi23), lowByte);
    const __m256i overU = _mm256_cmpgt_epi32(_mm256_xor_si256(unchanged, sign), limit);
    const __m256i overS = _mm256_cmpgt_epi32(_mm256_xor_si256(solid, sign), limit);
    const __m256i overC = _mm256_cmpgt_epi32(_mm256_xor_si256(twoColor, sign), limit);
    const __m256i isS = _mm256_andnot_si256(overS, overU);
    const __m256i notUS = _mm256_and_si256(overU, overS);
    const __m256i isT = _mm256_andnot_si256(overC, notUS);
    const __m256i isF = _mm256_and_si256(overC, notUS);
    const __m256i key = _mm256_or_si256(
        _mm256_or_si256(_mm256_andnot_si256(overU, two), _mm256_and_si256(isF, one)),
        _mm256_and_si256(isS, _mm256_or_si256(three, _mm256_slli_epi32(color, 2))));
    const __m256i before = _mm256_blend_epi32(_mm256_permutevar8x32_epi32(key, laneBefore),
                                              _mm256_set1_epi32(static_cast<int>(keyBefore)), 1);
    const __m256i starts = _mm256_xor_si256(_mm256_cmpeq_epi32(key, before), _mm256_set1_epi32(-1));
    const __m256i head = _mm256_add_epi32(one, _mm256_and_si256(isS, one));
    const __m256i data = _mm256_or_si256(_mm256_and_si256(isT, four), _mm256_and_si256(isF, sixteen));
    sums = _mm256_add_epi32(sums, _mm256_add_epi32(data, _mm256_and_si256(starts, head)));
    _mm256_store_si256(reinterpret_cast<__m256i*>(keys), key);
    keyBefore = keys[7];
    const auto startMask = static_cast<uint32_t>(_mm256_movemask_ps(_mm256_castsi256_ps(starts)));
    if (startMask == 0) {
      state.runLength += 8;
      continue;
    }
    const uint32_t ended = state.runLength + static_cast<uint32_t>(std::countr_zero(startMask));
    if (ended > kOnePieceRuns) state.size += MorePieces(state.runKey, ended);
    const int last = 31 - std::countl_zero(startMask);
    state.runKey = keys[last];
    state.runLength = static_cast<uint32_t>(8 - last);
  }
  alignas(32) uint32_t lanes[8];
  _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), sums);
  for (uint32_t lane : lanes) state.size += lane;
}
#endif

}  // namespace

uint64_t EstimateFrameSize(const std::vector<BlockScore>& scores, uint32_t t) {
  RunState state;
  size_t done = 0;
  // In slices whose lane sums cannot overflow.
  constexpr size_t kSliceGroups = size_t{1} << 24;
#if defined(VANT_WIDE_VECTORS)
  if (WideVectorsInUse()) {
    const size_t groups = scores.size() / 8;
    for (size_t g = 0; g < groups; g += kSliceGroups) {
      EstimateBlocksEightAtATime(scores.data() + 8 * g, std::min(kSliceGroups, groups - g), t, state);
    }
    done = 8 * groups;
  }
#endif
#if defined(__SSE2__)
  const size_t groups = (scores.size() - done) / 4;
  for (size_t g = 0; g < groups; g += kSliceGroups) {
    EstimateBlocksFourAtATime(scores.data() + done + 4 * g, std::min(kSliceGroups, groups - g), t, state);
  }
  done += 4 * groups;
#endif
  EstimateBlocks(scores.data() + done, scores.size() - done, t, state);
  return state.size + MorePieces(state.runKey, state.runLength);
}

ThresholdChoice SearchThreshold(const std::vector<BlockScore>& scores, int64_t budget) {
  // Every threshold from the largest error within the search's range up codes the frame alike:
  // the frame's size there is estimated once.
  uint32_t ceiling = 0;
  auto inRange = [](uint32_t error) { return error <= kMaxThreshold ? error : 0u; };
  for (const BlockScore& s : scores) {
    ceiling = std::max(ceiling, std::max(inRange(s.unchanged), std::max(inRange(s.solid), inRange(s.twoColor))));
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
