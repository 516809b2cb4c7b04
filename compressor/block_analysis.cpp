#include "compressor/block_analysis.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstring>

#include "compressor/wide_vectors.h"

namespace compressor {
namespace {

#if defined(VANT_WIDE_VECTORS)
// The processor has the wide vector instructions, and the tests have not turned them off.
std::atomic<bool> wideVectors{__builtin_cpu_supports("avx2") != 0};
bool WideVectors() { return wideVectors.load(std::memory_order_relaxed); }
#endif

// Blocks of this many colours or more search around their mean colour; fewer colours are
// quicker to try nearest first.
constexpr int kMeanSearchColors = 4;

// The distinct colours of a block in order of first appearance, with their pixel counts.
struct ColorList {
  uint8_t colors[kBlockPixels];
  uint8_t counts[kBlockPixels];
  int n = 0;
};

#if defined(__SSE2__)
// Bits set in each byte value (a table: without a popcount instruction in the build, counting
// calls a library routine).
constexpr std::array<uint8_t, 256> kBitsSet = [] {
  std::array<uint8_t, 256> bits{};
  for (int i = 0; i < 256; ++i) bits[i] = static_cast<uint8_t>(std::popcount(static_cast<unsigned>(i)));
  return bits;
}();

// Each pixel against all sixteen at once: the lowest pixel of a colour's mask is where it first
// appears, and the mask's bits count its pixels. No branch depends on the colours, which blocks
// of many colours would mispredict.
void ListColors(const uint8_t* block, ColorList& list) {
  const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block));
  uint32_t same[kBlockPixels];
  uint32_t firsts = 0;
  for (uint32_t k = 0; k < kBlockPixels; ++k) {
    const __m128i color = _mm_set1_epi8(static_cast<char>(block[k]));
    same[k] = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(pixels, color)));
    firsts |= uint32_t{std::countr_zero(same[k]) == static_cast<int>(k)} << k;
  }
  list.n = 0;
  for (; firsts != 0; firsts &= firsts - 1) {
    const int k = std::countr_zero(firsts);
    list.colors[list.n] = block[k];
    list.counts[list.n] = static_cast<uint8_t>(kBitsSet[same[k] & 0xFF] + kBitsSet[same[k] >> 8]);
    ++list.n;
  }
}
#else
void ListColors(const uint8_t* block, ColorList& list) {
  uint8_t place[256];  // each colour's place in the list, by colour index; 0xFF: not listed
  std::memset(place, 0xFF, sizeof(place));
  list.n = 0;
  for (size_t k = 0; k < kBlockPixels; ++k) {
    const uint8_t c = block[k];
    if (place[c] == 0xFF) {
      place[c] = static_cast<uint8_t>(list.n);
      list.colors[list.n] = c;
      list.counts[list.n] = 0;
      ++list.n;
    }
    ++list.counts[place[c]];
  }
}
#endif

bool IsOneColor(const uint8_t* block) {
  uint64_t a, b;
  std::memcpy(&a, block, 8);
  std::memcpy(&b, block + 8, 8);
  return a == b && a == block[0] * 0x0101010101010101ull;
}

// The colours of one side of a split, with their counts.
ColorChoice BestOfGroup(const ColorList& list, const uint8_t* group, uint8_t side,
                        ColorDistanceTable& distance) {
  uint8_t colors[kBlockPixels], counts[kBlockPixels];
  int n = 0;
  for (int i = 0; i < list.n; ++i) {
    if (group[i] != side) continue;
    colors[n] = list.colors[i];
    counts[n] = list.counts[i];
    ++n;
  }
  return BestBlockColor(colors, counts, n, distance);
}

// The first pair (i < j) of greatest distance in list order, as i << 8 | j. The distance and
// the pair's place, earlier pairs higher, make one key whose largest value is that pair. Four
// running maxima, so that each comparison does not wait for the one before.
int FarthestPairOneByOne(const ColorList& list, const ColorDistanceTable& distance) {
  uint64_t farthestOf[4] = {0, 0, 0, 0};
  for (int i = 0; i < list.n; ++i) {
    const uint32_t* row = distance.Row(list.colors[i]);
    for (int j = i + 1; j < list.n; ++j) {
      const uint64_t key = uint64_t{row[list.colors[j]]} << 16 | (0xFFFFu - static_cast<uint32_t>(i << 8 | j));
      farthestOf[j & 3] = std::max(farthestOf[j & 3], key);
    }
  }
  const uint64_t farthest = std::max(std::max(farthestOf[0], farthestOf[1]), std::max(farthestOf[2], farthestOf[3]));
  return static_cast<int>(0xFFFFu - (farthest & 0xFFFF));
}

#if defined(VANT_WIDE_VECTORS)
// The same pair from eight colours at a time. Five times a distance, before the distance rounds
// the middle byte's part down, is 5 dr^2 + 6 dg^2 + 5 db^2: the greatest such figure gives the
// greatest distance, and the first pair whose figure reaches five times that distance is the
// first pair that has it. The figures from colour i to eight others come from (red, green) and
// (blue, 0) pairs of 16-bit lanes; lanes past the list repeat its first colour, whose distances
// are those of pairs in the list.
// 5 dr^2 + 6 dg^2 + 5 db^2 from one colour to eight.
__attribute__((target("avx2"))) inline __m256i FiguresBetween(__m256i redGreen, __m256i blue, uint32_t fromRedGreen,
                                                              uint32_t fromBlue) {
  const __m256i rg = _mm256_sub_epi16(redGreen, _mm256_set1_epi32(static_cast<int>(fromRedGreen)));
  const __m256i b = _mm256_sub_epi16(blue, _mm256_set1_epi32(static_cast<int>(fromBlue)));
  return _mm256_add_epi32(_mm256_madd_epi16(rg, _mm256_mullo_epi16(rg, _mm256_set1_epi32(5 | 6 << 16))),
                          _mm256_madd_epi16(b, _mm256_mullo_epi16(b, _mm256_set1_epi32(5))));
}

__attribute__((target("avx2"))) int FarthestPairEightAtATime(const ColorList& list, const ColorDistanceTable& distance) {
  const int n = list.n;
  // The colours of sixteen lanes, those past the list taking its first colour.
  const __m128i listed = _mm_loadu_si128(reinterpret_cast<const __m128i*>(list.colors));
  const __m256i firstLanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  const __m256i count = _mm256_set1_epi32(n), firstColor = _mm256_set1_epi32(list.colors[0]);
  alignas(32) uint32_t redGreenOf[kBlockPixels], blueOf[kBlockPixels];
  __m256i redGreen[2], blue[2];
  for (int q = 0; q < 2; ++q) {
    const __m256i inList = _mm256_cmpgt_epi32(count, _mm256_add_epi32(firstLanes, _mm256_set1_epi32(8 * q)));
    const __m256i colors = _mm256_blendv_epi8(firstColor, _mm256_cvtepu8_epi32(q == 0 ? listed : _mm_srli_si128(listed, 8)), inList);
    redGreen[q] = _mm256_i32gather_epi32(reinterpret_cast<const int*>(distance.RedGreenTable()), colors, 4);
    blue[q] = _mm256_i32gather_epi32(reinterpret_cast<const int*>(distance.BlueTable()), colors, 4);
    _mm256_store_si256(reinterpret_cast<__m256i*>(redGreenOf + 8 * q), redGreen[q]);
    _mm256_store_si256(reinterpret_cast<__m256i*>(blueOf + 8 * q), blue[q]);
  }
  // Row i holds the figures from colour i to the registers of colours above i.
  __m256i figures[kBlockPixels][2];
  __m256i most = _mm256_setzero_si256();
  const int lowRows = std::min(n - 1, 8);
  for (int i = 0; i < lowRows; ++i) {
    figures[i][0] = FiguresBetween(redGreen[0], blue[0], redGreenOf[i], blueOf[i]);
    most = _mm256_max_epi32(most, figures[i][0]);
  }
  if (n > 8) {
    for (int i = 0; i + 1 < n; ++i) {
      figures[i][1] = FiguresBetween(redGreen[1], blue[1], redGreenOf[i], blueOf[i]);
      most = _mm256_max_epi32(most, figures[i][1]);
    }
  }
  alignas(32) int32_t lanes[8];
  _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), most);
  const int32_t reach = *std::max_element(lanes, lanes + 8) / 5 * 5;
  const __m256i below = _mm256_set1_epi32(reach - 1);
  const uint32_t inList = (1u << n) - 1;
  for (int i = 0; i + 1 < n; ++i) {
    uint32_t reaching = 0;
    if (i < 8) reaching = static_cast<uint32_t>(_mm256_movemask_ps(_mm256_castsi256_ps(_mm256_cmpgt_epi32(figures[i][0], below))));
    if (n > 8) {
      reaching |= static_cast<uint32_t>(_mm256_movemask_ps(_mm256_castsi256_ps(_mm256_cmpgt_epi32(figures[i][1], below)))) << 8;
    }
    reaching &= inList & ~((2u << i) - 1);  // j > i
    if (reaching != 0) return i << 8 | std::countr_zero(reaching);
  }
  return 1;  // not reached: some pair has the greatest distance
}
#endif

int FarthestPair(const ColorList& list, const ColorDistanceTable& distance) {
#if defined(VANT_WIDE_VECTORS)
  if (WideVectors()) return FarthestPairEightAtATime(list, distance);
#endif
  return FarthestPairOneByOne(list, distance);
}

// The two colours of a block of three or more distinct colours.
void ChooseTwoColors(const ColorList& list, ColorDistanceTable& distance, uint8_t& first,
                     uint8_t& second) {
  // The first pair of greatest distance in list order, the darker one first.
  const int place = FarthestPair(list, distance);
  int a = place >> 8, b = place & 0xFF;
  if (distance.BrightnessOf(list.colors[b]) < distance.BrightnessOf(list.colors[a])) {
    int t = a;
    a = b;
    b = t;
  }
  // Split once by nearness to the two (a tie goes to the first) and once by brightness.
  uint8_t near[kBlockPixels], bright[kBlockPixels];
  uint32_t weighted = 0;
  for (int i = 0; i < list.n; ++i) weighted += list.counts[i] * distance.BrightnessOf(list.colors[i]);
  int nearCount[2] = {0, 0}, brightCount[2] = {0, 0};
  bool splitsDiffer = false;
  for (int i = 0; i < list.n; ++i) {
    uint8_t c = list.colors[i];
    near[i] = distance(c, list.colors[b]) < distance(c, list.colors[a]) ? 1 : 0;
    bright[i] = distance.BrightnessOf(c) * 16 > weighted ? 1 : 0;
    ++nearCount[near[i]];
    ++brightCount[bright[i]];
    splitsDiffer |= near[i] != bright[i];
  }
  if (nearCount[1] == 0) {
    // Every colour looks alike: one colour serves both sides.
    ColorChoice only = BestOfGroup(list, near, 0, distance);
    first = second = only.color;
    return;
  }
  ColorChoice n0 = BestOfGroup(list, near, 0, distance);
  ColorChoice n1 = BestOfGroup(list, near, 1, distance);
  first = n0.color;
  second = n1.color;
  // A brightness "split" with an empty side is no split; it cannot offer two colours.
  if (!splitsDiffer || brightCount[0] == 0 || brightCount[1] == 0) return;
  ColorChoice b0 = BestOfGroup(list, bright, 0, distance);
  ColorChoice b1 = BestOfGroup(list, bright, 1, distance);
  if (uint64_t{b0.error} + b1.error < uint64_t{n0.error} + n1.error) {
    first = b0.color;
    second = b1.color;
  }
}

// The search for blocks of several colours, around their mean colour. For W pixels whose bytes
// sum to R, G and B, the sum of count x distance that a candidate c scores is the sum with 6/5 of
// the middle byte's square unrounded, less at most 4/5 W (the distance rounds it down). That
// unrounded sum, times 5 W, is P(c) = 5 (W r - R)^2 + 6 (W g - G)^2 + 5 (W b - B)^2 plus a part
// that is the same for every candidate. So a candidate whose P exceeds the smallest P by more
// than 4 W^2 scores strictly worse than the candidate of smallest P, and only the few within
// that reach are scored exactly. P / W^2 is the nearness D to the mean, so the near-mean list
// holds all within reach. P = W Q(c) + S with Q(c) = W (5 r^2 + 6 g^2 + 5 b^2) - 2 (5 r R + 6 g G
// + 5 b B) and S = 5 R^2 + 6 G^2 + 5 B^2: Q decides, with the reach 4 W. The walk through the
// list, nearest to its centre first, ends where its entries lie farther from the centre than
// any within reach can.
ColorChoice NearMeanSearch(const uint8_t* colors, const uint8_t* counts, int n, ColorDistanceTable& distance) {
  static_assert(NearMeanLists::kSlack == 4.0);
  // At most 16 colours of at most 255 pixels: the packed sums cannot overflow their fields.
  static_assert(kBlockPixels * 255 * 255 < (1 << ColorDistanceTable::kPackedBits));
  int64_t pixels = 0;
  uint64_t packed = 0;
  for (int k = 0; k < n; ++k) {
    pixels += counts[k];
    packed += counts[k] * distance.PackedEntry(colors[k]);
  }
  constexpr uint64_t kField = (uint64_t{1} << ColorDistanceTable::kPackedBits) - 1;
  const int64_t sums[3] = {static_cast<int64_t>(packed & kField),
                           static_cast<int64_t>(packed >> ColorDistanceTable::kPackedBits & kField),
                           static_cast<int64_t>(packed >> 2 * ColorDistanceTable::kPackedBits)};
  const NearMeanLists::List list = distance.NearMeanCandidates(sums, pixels);
  const int64_t same = 5 * sums[0] * sums[0] + 6 * sums[1] * sums[1] + 5 * sums[2] * sums[2];
  const double pixelsSquared = static_cast<double>(pixels * pixels);
  const double perPixel = 1.0 / static_cast<double>(pixels);
  double meanFromCentre = 0;  // squared, then its root
  for (int byte = 0; byte < 3; ++byte) {
    const double difference = static_cast<double>(sums[byte]) * perPixel - list.centre[byte];
    meanFromCentre += NearMeanLists::kWeights[byte] * difference * difference;
  }
  meanFromCentre = std::sqrt(meanFromCentre);
  // An entry within reach lies no farther from the centre than the mean plus the root of (the
  // smallest D found, plus the slack); squared and times W^2, that root's square is W Q + S +
  // 4 W^2. Compared without roots or divisions, rounded towards walking on.
  int64_t reach[256];
  int64_t smallest = INT64_MAX;
  double withinReach = INFINITY;
  size_t walked = 0;
  for (; walked < list.count; ++walked) {
    const double beyondMean = list.fromCentre[walked] - meanFromCentre - 1e-6;
    if (beyondMean > 0 && beyondMean * beyondMean * pixelsSquared > withinReach) break;
    const uint8_t c = list.indexes[walked];
    const std::array<int32_t, 3>& weighted = distance.WeightedEntry(c);
    const int64_t q = pixels * distance.WeightedSquares(c) -
                      2 * (weighted[0] * sums[0] + weighted[1] * sums[1] + weighted[2] * sums[2]);
    reach[walked] = q;
    if (q < smallest) {
      smallest = q;
      withinReach = static_cast<double>(pixels * q + same + 4 * pixels * pixels) * (1 + 1e-9) + 1;
    }
  }
  const int64_t slack = 4 * pixels;
  uint32_t best = kNoError;
  int bestIndex = 256;
  for (size_t i = 0; i < walked; ++i) {
    if (reach[i] > smallest + slack) continue;
    const uint8_t c = list.indexes[i];
    uint32_t sum = 0;
    for (int k = 0; k < n; ++k) sum += counts[k] * distance(colors[k], c);
    if (sum < best || (sum == best && c < bestIndex)) {
      best = sum;
      bestIndex = c;
    }
  }
  return {static_cast<uint8_t>(bestIndex), best};
}

}  // namespace

void GatherBlocks(const uint8_t* frame, size_t pitch, uint32_t width, uint32_t height,
                  bool everyOtherRow, uint8_t* blocks) {
  size_t rowStep = everyOtherRow ? 2 * pitch : pitch;
  for (uint32_t by = 0; by < height / 4; ++by) {
    const uint8_t* top = frame + by * 4 * rowStep;
    for (uint32_t bx = 0; bx < width / 4; ++bx) {
      for (int r = 0; r < 4; ++r) std::memcpy(blocks + 4 * r, top + r * rowStep + 4 * bx, 4);
      blocks += kBlockPixels;
    }
  }
}

void ScatterBlocks(const uint8_t* blocks, uint32_t width, uint32_t height, uint8_t* frame,
                   size_t pitch) {
  for (uint32_t by = 0; by < height / 4; ++by) {
    uint8_t* top = frame + by * 4 * pitch;
    for (uint32_t bx = 0; bx < width / 4; ++bx) {
      for (int r = 0; r < 4; ++r) std::memcpy(top + r * pitch + 4 * bx, blocks + 4 * r, 4);
      blocks += kBlockPixels;
    }
  }
}

ColorChoice BestBlockColor(const uint8_t* colors, const uint8_t* counts, int n,
                           ColorDistanceTable& distance) {
  if (n == 0) return {};
  if (n >= kMeanSearchColors && distance.UsableCount() > 0) return NearMeanSearch(colors, counts, n, distance);
  // Candidates are tried nearest first to the colour of most pixels: once that colour alone
  // costs more than the best sum, every later candidate does too. The other colours follow by
  // falling count, so that a candidate's sum passes the best as early as it can.
  const uint32_t* rows[kBlockPixels];
  uint32_t weights[kBlockPixels];
  uint8_t leadColor = colors[0];
  for (int k = 0; k < n; ++k) {
    int j = k;
    while (j > 0 && weights[j - 1] < counts[k]) {
      rows[j] = rows[j - 1];
      weights[j] = weights[j - 1];
      --j;
    }
    rows[j] = distance.Row(colors[k]);
    weights[j] = counts[k];
    if (j == 0) leadColor = colors[k];
  }
  const uint8_t* order = distance.NearestUsable(leadColor);
  int candidates = distance.UsableCount();
  uint32_t best = kNoError;
  int bestIndex = 256;
  for (int i = 0; i < candidates; ++i) {
    int c = order[i];
    uint32_t sum = weights[0] * rows[0][c];
    if (sum > best) break;
    // The result is the lowest index of smallest sum: below the best index an equal sum wins.
    uint64_t limit = c < bestIndex ? uint64_t{best} + 1 : best;
    int k = 1;
    for (; k < n && sum < limit; ++k) sum += weights[k] * rows[k][c];
    if (sum >= limit) continue;
    best = sum;
    bestIndex = c;
  }
  if (bestIndex == 256) {
    uint32_t sum = 0;
    for (int k = 0; k < n; ++k) sum += counts[k] * distance(colors[k], colors[0]);
    return {colors[0], sum};
  }
  return {static_cast<uint8_t>(bestIndex), best};
}

uint32_t UnchangedError(const uint8_t* block, const uint8_t* previous, const ColorDistanceTable& distance) {
  uint32_t error = 0;
  if (std::memcmp(block, previous, kBlockPixels) != 0) {
    for (size_t k = 0; k < kBlockPixels; ++k) error += distance(block[k], previous[k]);
  }
  return error;
}

void EvaluateBlock(const uint8_t* block, const uint8_t* previous, ColorDistanceTable& distance,
                   BlockScore& score, uint32_t& twoColorValue) {
  score.unchanged = previous ? UnchangedError(block, previous, distance) : kNoError;
  EvaluateBlockContent(block, distance, score, twoColorValue);
}

void EvaluateBlockContent(const uint8_t* block, ColorDistanceTable& distance, BlockScore& score,
                          uint32_t& twoColorValue) {
  if (IsOneColor(block)) {
    score.solid = 0;
    score.solidColor = block[0];
    score.twoColor = kNoError;  // a solid block with no error always wins over it
    twoColorValue = 0;
    return;
  }
  ColorList list;
  ListColors(block, list);
  ColorChoice solid = BestBlockColor(list.colors, list.counts, list.n, distance);
  score.solid = solid.error;
  score.solidColor = solid.color;

  uint8_t first = list.colors[0], second = list.colors[1];
  if (list.n > 2) ChooseTwoColors(list, distance, first, second);

  const uint32_t* toFirst = distance.Row(first);
  const uint32_t* toSecond = distance.Row(second);
  uint32_t pattern = 0, error = 0;
  for (size_t k = 0; k < kBlockPixels; ++k) {
    const uint32_t d0 = toFirst[block[k]], d1 = toSecond[block[k]];
    const bool takesSecond = !(d0 < d1);
    error += takesSecond ? d1 : d0;
    pattern |= uint32_t{takesSecond} << k;
  }
  // The last pixel always takes the first colour.
  if (pattern & 0x8000) {
    uint8_t t = first;
    first = second;
    second = t;
    pattern ^= 0xFFFF;
  }
  score.twoColor = error;
  twoColorValue = TwoColorValue(static_cast<uint16_t>(pattern), first, second);
}

void AnalyseFrame(const uint8_t* blocks, const uint8_t* previous, size_t blockCount,
                  ColorDistanceTable& distance, FrameAnalysis& analysis) {
  analysis.Resize(blockCount);
  ScoreUnchanged(blocks, previous, 0, blockCount, distance, analysis);
  AnalyseBlockContent(blocks, 0, blockCount, distance, analysis);
}

void AnalyseBlockContent(const uint8_t* blocks, size_t first, size_t end, ColorDistanceTable& distance,
                         FrameAnalysis& analysis) {
  for (size_t i = first; i < end; ++i) {
    EvaluateBlockContent(blocks + i * kBlockPixels, distance, analysis.scores[i], analysis.twoColorValues[i]);
  }
}

void ScoreUnchanged(const uint8_t* blocks, const uint8_t* previous, size_t first, size_t end,
                    const ColorDistanceTable& distance, FrameAnalysis& analysis) {
  for (size_t i = first; i < end; ++i) {
    analysis.scores[i].unchanged =
        previous ? UnchangedError(blocks + i * kBlockPixels, previous + i * kBlockPixels, distance) : kNoError;
  }
}

bool UseWideVectorsForTesting(bool use) {
#if defined(VANT_WIDE_VECTORS)
  const bool available = __builtin_cpu_supports("avx2") != 0;
  wideVectors = use && available;
  return available;
#else
  (void)use;
  return false;
#endif
}

bool WideVectorsInUse() {
#if defined(VANT_WIDE_VECTORS)
  return WideVectors();
#else
  return false;
#endif
}

void ForbidUnchanged(FrameAnalysis& analysis) {
  for (BlockScore& score : analysis.scores) score.unchanged = kNoError;
}

}  // namespace compressor
