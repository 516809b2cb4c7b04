#include "toolsupport/colour/colour_reduce.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <limits>
#include <vector>

namespace {

// Count-weighted sums of one side of a box, per component (red, green, blue).
struct BoxSums {
  uint64_t count = 0;
  std::array<uint64_t, 3> sum{};
  std::array<uint64_t, 3> sumSquares{};

  void Add(uint32_t key, uint64_t c) {
    const uint32_t parts[3] = {KeyRed(key), KeyGreen(key), KeyBlue(key)};
    count += c;
    for (int i = 0; i < 3; ++i) {
      sum[i] += c * parts[i];
      sumSquares[i] += c * parts[i] * parts[i];
    }
  }
  void Add(const BoxSums& o) {
    count += o.count;
    for (int i = 0; i < 3; ++i) {
      sum[i] += o.sum[i];
      sumSquares[i] += o.sumSquares[i];
    }
  }
  BoxSums Minus(const BoxSums& o) const {
    BoxSums r;
    r.count = count - o.count;
    for (int i = 0; i < 3; ++i) {
      r.sum[i] = sum[i] - o.sum[i];
      r.sumSquares[i] = sumSquares[i] - o.sumSquares[i];
    }
    return r;
  }

  // Sum of count x squared distance to the mean rounded to 6 bits, which is what adding up
  // the table of squares key by key gives.
  uint64_t Error() const {
    uint64_t error = 0;
    for (int i = 0; i < 3; ++i) {
      uint64_t mean = (2 * sum[i] + count) / (2 * count);
      error += sumSquares[i] + mean * mean * count - 2 * mean * sum[i];
    }
    return error;
  }

  // The mean expanded to 8 bits the way a single 6-bit value is (63 gives 255).
  uint32_t Colour() const {
    uint32_t c[3];
    for (int i = 0; i < 3; ++i) c[i] = static_cast<uint32_t>(std::min<uint64_t>(sum[i] * 65 / (16 * count), 255));
    return PackRgb(c[0], c[1], c[2]);
  }
};

uint32_t KeyColour(uint32_t key) {
  return PackRgb(Expand6To8(KeyRed(key)), Expand6To8(KeyGreen(key)), Expand6To8(KeyBlue(key)));
}

// Cut i keeps on its lower side the keys whose constrained components are all <= i % 64;
// bits 6, 7 and 8 of i free red, green and blue. So a key's side depends only on the
// largest of its constrained components, which lets one pass per component mask serve
// all 64 planes.
int ConstrainedMax(uint32_t key, int mask) {
  int q = 0;
  if (!(mask & 1)) q = std::max<int>(q, KeyRed(key));
  if (!(mask & 2)) q = std::max<int>(q, KeyGreen(key));
  if (!(mask & 4)) q = std::max<int>(q, KeyBlue(key));
  return q;
}

}  // namespace

BoxSplit SplitColorBox(uint32_t* keys, int count, const uint64_t* counts) {
  BoxSplit result;
  if (count < 3) {
    result.splitCount = 1;
    result.lowerColour = KeyColour(keys[0]);
    result.upperColour = KeyColour(keys[count > 1 ? 1 : 0]);
    return result;
  }
  BoxSums total;
  for (int k = 0; k < count; ++k) total.Add(keys[k], counts[keys[k]]);

  uint64_t bestError = std::numeric_limits<uint64_t>::max();
  int bestCut = -1;
  BoxSums bestLower;
  for (int mask = 0; mask < 7; ++mask) {  // mask 7 leaves nothing on the upper side
    std::array<BoxSums, 64> byPlane{};
    for (int k = 0; k < count; ++k) byPlane[ConstrainedMax(keys[k], mask)].Add(keys[k], counts[keys[k]]);
    BoxSums lower;
    for (int plane = 0; plane < 64; ++plane) {
      lower.Add(byPlane[plane]);
      if (lower.count == 0 || lower.count == total.count) continue;
      BoxSums upper = total.Minus(lower);
      uint64_t error = lower.Error() + upper.Error();
      if (error < bestError) {
        bestError = error;
        bestCut = mask * 64 + plane;
        bestLower = lower;
      }
    }
  }
  if (bestCut < 0) {
    // Every key of the box has a zero count: nothing to separate.
    result.splitCount = 1;
    result.lowerColour = result.upperColour = KeyColour(keys[0]);
    return result;
  }
  int mask = bestCut / 64, plane = bestCut % 64;
  uint32_t* middle =
      std::stable_partition(keys, keys + count, [&](uint32_t key) { return ConstrainedMax(key, mask) <= plane; });
  BoxSums upper = total.Minus(bestLower);
  result.splitCount = static_cast<int>(middle - keys);
  result.lowerColour = bestLower.Colour();
  result.upperColour = upper.Colour();
  result.lowerError = bestLower.Error();
  result.upperError = upper.Error();
  return result;
}

namespace {

struct ColourBox {
  int first = 0, count = 0;
  uint32_t colour = 0;
  uint64_t error = 0;
  BoxSplit split;

  int64_t Decrease() const {
    return static_cast<int64_t>(error - split.lowerError - split.upperError);
  }
};

// Takes, again and again, the cheapest pair of an unplaced colour and a free slot, so that
// colours land where the palette already held something like them (fewer changed entries
// from one palette to the next).
void PlaceColours(const std::vector<uint32_t>& colours, int slots, uint8_t* slotRgb) {
  const int made = static_cast<int>(colours.size());
  auto cost = [&](int i, int j) {
    const uint8_t* s = slotRgb + j * 3;
    int dr = static_cast<int>(colours[i] >> 16) - s[0];
    int dg = static_cast<int>((colours[i] >> 8) & 255) - s[1];
    int db = static_cast<int>(colours[i] & 255) - s[2];
    return static_cast<uint32_t>(2 * (dr * dr + dg * dg + db * db) + (i != j ? 1 : 0));
  };
  std::vector<char> slotTaken(slots, 0), placed(made, 0);
  std::vector<int> bestSlot(made);
  std::vector<uint32_t> bestCost(made);
  auto rescan = [&](int i) {
    bestCost[i] = std::numeric_limits<uint32_t>::max();
    for (int j = 0; j < slots; ++j) {
      if (slotTaken[j]) continue;
      uint32_t c = cost(i, j);
      if (c < bestCost[i]) {
        bestCost[i] = c;
        bestSlot[i] = j;
        if (c == 0) break;
      }
    }
  };
  for (int i = 0; i < made; ++i) rescan(i);
  std::vector<uint8_t> result(slotRgb, slotRgb + slots * 3);
  for (int step = 0; step < made; ++step) {
    int pick = -1;
    for (int i = 0; i < made; ++i) {
      if (placed[i]) continue;
      if (slotTaken[bestSlot[i]]) rescan(i);
      if (pick < 0 || bestCost[i] < bestCost[pick]) pick = i;
      if (bestCost[pick] == 0) break;
    }
    int j = bestSlot[pick];
    placed[pick] = 1;
    slotTaken[j] = 1;
    result[j * 3] = static_cast<uint8_t>(colours[pick] >> 16);
    result[j * 3 + 1] = static_cast<uint8_t>(colours[pick] >> 8);
    result[j * 3 + 2] = static_cast<uint8_t>(colours[pick]);
  }
  std::copy(result.begin(), result.end(), slotRgb);
}

}  // namespace

int ReduceColors(const toolsupport::Progress& progress, int highReserve, int lowReserve, int colours,
                 int firstIndex, ColourHistogram& histogram, uint8_t* palette) {
  const int target = colours - lowReserve - highReserve;
  if (target < 1) return 0;
  uint64_t* counts = histogram.counts.data();
  for (int e = 0; e < lowReserve; ++e) counts[PaletteKey(palette, firstIndex + e)] = 0;
  for (int e = colours - highReserve; e < colours; ++e) counts[PaletteKey(palette, firstIndex + e)] = 0;

  std::vector<uint32_t> keys;
  for (uint32_t key = 0; key < kColourKeyCount; ++key) {
    if (counts[key]) keys.push_back(key);
  }
  if (keys.empty()) return 0;

  BoxSums all;
  for (uint32_t key : keys) all.Add(key, counts[key]);
  ColourBox first;
  first.count = static_cast<int>(keys.size());
  first.colour = PackRgb(static_cast<uint32_t>(all.sum[0] * 4 / all.count),
                         static_cast<uint32_t>(all.sum[1] * 4 / all.count),
                         static_cast<uint32_t>(all.sum[2] * 4 / all.count));
  first.error = all.Error();
  first.split = SplitColorBox(keys.data(), first.count, counts);
  std::vector<ColourBox> boxes{first};

  bool firstReport = true;
  while (static_cast<int>(boxes.size()) < target) {
    char text[64];
    std::snprintf(text, sizeof text, "Reducing the number of colors (%i%%)...",
                  static_cast<int>(100 * boxes.size() / target + 1));
    if (progress.ShowAndCheck(firstReport ? toolsupport::ProgressKind::StatusNow : toolsupport::ProgressKind::Status,
                              text)) {
      break;
    }
    firstReport = false;

    int best = -1;
    int64_t bestDecrease = 0;
    for (size_t b = 0; b < boxes.size(); ++b) {
      if (boxes[b].Decrease() > bestDecrease) {
        bestDecrease = boxes[b].Decrease();
        best = static_cast<int>(b);
      }
    }
    if (best < 0) break;  // no split makes anything better: every box is one colour

    ColourBox& box = boxes[best];
    ColourBox upper;
    upper.first = box.first + box.split.splitCount;
    upper.count = box.count - box.split.splitCount;
    upper.colour = box.split.upperColour;
    upper.error = box.split.upperError;
    box.count = box.split.splitCount;
    box.colour = box.split.lowerColour;
    box.error = box.split.lowerError;
    box.split = SplitColorBox(keys.data() + box.first, box.count, counts);
    upper.split = SplitColorBox(keys.data() + upper.first, upper.count, counts);
    boxes.push_back(upper);
  }

  std::vector<uint32_t> made;
  for (const ColourBox& box : boxes) made.push_back(box.colour);
  PlaceColours(made, target, palette + (firstIndex + lowReserve) * 3);
  return static_cast<int>(made.size());
}
