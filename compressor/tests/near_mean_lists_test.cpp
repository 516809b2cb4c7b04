// The near-mean lists may hold more than the search needs, never less: every usable entry within
// the slack of the nearest one to a mean must be in the list for that mean, and the list must
// run nearest to its centre first.
#include "compressor/near_mean_lists.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace compressor {
namespace {

double Nearness(const uint8_t* entry, const double mean[3]) {
  double d = 0;
  for (int c = 0; c < 3; ++c) d += NearMeanLists::kWeights[c] * (entry[c] - mean[c]) * (entry[c] - mean[c]);
  return d;
}

TEST(NearMeanLists, EveryEntryWithinReachOfAMeanIsListed) {
  std::mt19937 random(11);
  struct Case {
    const char* what;
    int first, end;
    std::array<uint8_t, 768> palette;
  };
  std::vector<Case> cases(4);
  cases[0] = {"a colour cube", 0, 252, {}};
  for (int i = 0; i < 256; ++i) {
    cases[0].palette[3 * i] = static_cast<uint8_t>(i / 42 % 6 * 51);
    cases[0].palette[3 * i + 1] = static_cast<uint8_t>(i / 6 % 7 * 42);
    cases[0].palette[3 * i + 2] = static_cast<uint8_t>(i % 6 * 51);
  }
  cases[1] = {"a fine gradient", 0, 256, {}};
  for (int i = 0; i < 256; ++i) {
    cases[1].palette[3 * i] = static_cast<uint8_t>(i);
    cases[1].palette[3 * i + 1] = static_cast<uint8_t>(64 + i / 3);
    cases[1].palette[3 * i + 2] = static_cast<uint8_t>(255 - i);
  }
  cases[2] = {"random entries, some usable", 16, 240, {}};
  for (uint8_t& b : cases[2].palette) b = static_cast<uint8_t>(random());
  cases[3] = {"few distinct entries", 0, 256, {}};
  for (uint8_t& b : cases[3].palette) b = static_cast<uint8_t>(random() % 4 * 85);

  // One object for every case: a rebuild must forget the lists of the palette before.
  NearMeanLists lists;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    lists.Rebuild(c.palette.data(), c.first, c.end);
    auto check = [&](const int64_t sums[3], int64_t pixels) {
      double mean[3];
      for (int b = 0; b < 3; ++b) mean[b] = static_cast<double>(sums[b]) / static_cast<double>(pixels);
      double nearest = INFINITY;
      for (int i = c.first; i < c.end; ++i) nearest = std::min(nearest, Nearness(&c.palette[3 * i], mean));
      const NearMeanLists::List list = lists.Find(sums, pixels);
      ASSERT_TRUE(std::is_sorted(list.fromCentre, list.fromCentre + list.count));
      for (int i = c.first; i < c.end; ++i) {
        if (Nearness(&c.palette[3 * i], mean) > nearest + NearMeanLists::kSlack) continue;
        ASSERT_NE(std::find(list.indexes, list.indexes + list.count, i), list.indexes + list.count)
            << "entry " << i << " missing for the mean " << mean[0] << ", " << mean[1] << ", " << mean[2];
      }
      for (size_t i = 0; i < list.count; ++i) ASSERT_TRUE(list.indexes[i] >= c.first && list.indexes[i] < c.end);
    };
    // Every mean of a region, so that neighbouring cubes, large and small, are all asked for.
    for (int64_t r = 96; r < 128; r += 3) {
      for (int64_t g = 40; g < 72; g += 3) {
        for (int64_t b = 200; b < 232; b += 3) {
          const int64_t sums[3] = {r, g, b};
          ASSERT_NO_FATAL_FAILURE(check(sums, 1));
        }
      }
    }
    for (int trial = 0; trial < 3000; ++trial) {
      // Blocks of up to 16 pixels, and larger groups that take the other way to the mean.
      const int64_t pixels = trial % 5 == 0 ? 17 + random() % 200 : 1 + random() % 16;
      int64_t sums[3];
      for (int64_t& sum : sums) sum = static_cast<int64_t>(random() % (255 * pixels + 1));
      ASSERT_NO_FATAL_FAILURE(check(sums, pixels));
    }
  }
}

}  // namespace
}  // namespace compressor
