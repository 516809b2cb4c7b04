#include "block_analysis.h"

#include <cstring>

namespace compressor {
namespace {

// The distinct colours of a block in order of first appearance, with their pixel counts.
struct ColorList {
  uint8_t colors[kBlockPixels];
  uint8_t counts[kBlockPixels];
  int n = 0;
};

void ListColors(const uint8_t* block, ColorList& list) {
  list.n = 0;
  for (size_t k = 0; k < kBlockPixels; ++k) {
    uint8_t c = block[k];
    int i = 0;
    while (i < list.n && list.colors[i] != c) ++i;
    if (i == list.n) {
      list.colors[i] = c;
      list.counts[i] = 0;
      ++list.n;
    }
    ++list.counts[i];
  }
}

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

// The two colours of a block of three or more distinct colours.
void ChooseTwoColors(const ColorList& list, ColorDistanceTable& distance, uint8_t& first,
                     uint8_t& second) {
  // The first pair of greatest distance in list order, the darker one first.
  int a = 0, b = 1;
  uint32_t farthest = 0;
  for (int i = 0; i < list.n; ++i) {
    for (int j = i + 1; j < list.n; ++j) {
      uint32_t d = distance(list.colors[i], list.colors[j]);
      if (d > farthest) {
        farthest = d;
        a = i;
        b = j;
      }
    }
  }
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

void EvaluateBlock(const uint8_t* block, const uint8_t* previous, ColorDistanceTable& distance,
                   BlockScore& score, uint32_t& twoColorValue) {
  score.unchanged = kNoError;
  if (previous) {
    uint32_t error = 0;
    if (std::memcmp(block, previous, kBlockPixels) != 0) {
      for (size_t k = 0; k < kBlockPixels; ++k) error += distance(block[k], previous[k]);
    }
    score.unchanged = error;
  }

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
    uint32_t d0 = toFirst[block[k]], d1 = toSecond[block[k]];
    if (d0 < d1) {
      error += d0;
    } else {
      error += d1;
      pattern |= 1u << k;
    }
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
  analysis.scores.resize(blockCount);
  analysis.twoColorValues.resize(blockCount);
  for (size_t i = 0; i < blockCount; ++i) {
    EvaluateBlock(blocks + i * kBlockPixels, previous ? previous + i * kBlockPixels : nullptr,
                  distance, analysis.scores[i], analysis.twoColorValues[i]);
  }
}

void ForbidUnchanged(FrameAnalysis& analysis) {
  for (BlockScore& score : analysis.scores) score.unchanged = kNoError;
}

}  // namespace compressor
