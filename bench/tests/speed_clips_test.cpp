// The clips must differ in the ways the comparison relies on: panned noise moves by its step,
// zooms and turns move no block as a whole, dithering keeps colours on average, and every clip
// of the family moves with many colours.
#include "bench/speed_clips.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace speedbench {
namespace {

constexpr uint32_t kWidth = 160, kHeight = 120, kFrames = 6;

const ClipRecipe& Recipe(const std::string& name) {
  static const std::vector<ClipRecipe> family = ClipFamily();
  for (const ClipRecipe& recipe : family) {
    if (recipe.name == name) return recipe;
  }
  throw std::out_of_range(name);
}

uint8_t At(const Clip& clip, size_t frame, int64_t x, int64_t y) {
  return clip.frames[frame][size_t(y) * clip.width + size_t(x)];
}

// Share of 4 x 4 blocks that differ from the frame before, over the whole clip.
double ChangedBlockShare(const Clip& clip) {
  uint64_t changed = 0, blocks = 0;
  for (size_t f = 1; f < clip.frames.size(); ++f) {
    for (uint32_t by = 0; by < clip.height; by += 4) {
      for (uint32_t bx = 0; bx < clip.width; bx += 4) {
        bool differs = false;
        for (uint32_t y = by; y < by + 4; ++y) {
          for (uint32_t x = bx; x < bx + 4; ++x) differs = differs || At(clip, f, x, y) != At(clip, f - 1, x, y);
        }
        changed += differs;
        ++blocks;
      }
    }
  }
  return double(changed) / double(blocks);
}

// Share of the blocks of frame f that show the frame before moved by at most `reach` pixels
// either way (unchanged blocks included).
double ShiftedBlockShare(const Clip& clip, size_t f, int reach) {
  uint64_t shifted = 0, blocks = 0;
  const int w = int(clip.width), h = int(clip.height);
  for (int by = reach; by + 4 + reach <= h; by += 4) {
    for (int bx = reach; bx + 4 + reach <= w; bx += 4) {
      bool found = false;
      for (int dy = -reach; dy <= reach && !found; ++dy) {
        for (int dx = -reach; dx <= reach && !found; ++dx) {
          bool equal = true;
          for (int y = by; y < by + 4 && equal; ++y) {
            for (int x = bx; x < bx + 4 && equal; ++x) equal = At(clip, f, x, y) == At(clip, f - 1, x + dx, y + dy);
          }
          found = equal;
        }
      }
      shifted += found;
      ++blocks;
    }
  }
  return double(shifted) / double(blocks);
}

TEST(ClipColours, NearestKeepsPaletteColoursAndDitheringKeepsTheMeanColour) {
  const Palette cube = ColourCubePalette();
  PaletteMatcher matcher(cube);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(matcher.Nearest(cube[3 * i], cube[3 * i + 1], cube[3 * i + 2]), i);

  // A flat colour between the cube's levels: the nearest colour is one entry, the dither a
  // mix of entries whose mean is the colour.
  const uint8_t flat[3] = {100, 150, 37};
  RgbPicture picture(64, 64);
  for (size_t i = 0; i < picture.rgb.size(); ++i) picture.rgb[i] = flat[i % 3];
  const std::vector<uint8_t> nearest = MapToNearest(picture, matcher);
  EXPECT_EQ(std::set<uint8_t>(nearest.begin(), nearest.end()).size(), 1u);
  const std::vector<uint8_t> dithered = Dither(picture, matcher);
  EXPECT_GE(std::set<uint8_t>(dithered.begin(), dithered.end()).size(), 2u);
  for (int c = 0; c < 3; ++c) {
    double sum = 0;
    for (uint8_t index : dithered) sum += cube[3 * index + c];
    EXPECT_NEAR(sum / double(dithered.size()), flat[c], 1.5) << "channel " << c;
  }
}

TEST(ClipColours, AdaptivePaletteFindsThePicturesColours) {
  // Four flat quarters: each colour has an entry within the histogram's step.
  const uint8_t colors[4][3] = {{12, 200, 90}, {250, 250, 250}, {130, 20, 180}, {0, 0, 0}};
  RgbPicture quarters(32, 32);
  for (uint32_t y = 0; y < 32; ++y) {
    for (uint32_t x = 0; x < 32; ++x) std::copy(colors[y / 16 * 2 + x / 16], colors[y / 16 * 2 + x / 16] + 3, quarters.Pixel(x, y));
  }
  const Palette fitted = AdaptivePalette({&quarters});
  for (const auto& color : colors) {
    int best = 1 << 30;
    for (int i = 0; i < 256; ++i) {
      int distance = 0;
      for (int c = 0; c < 3; ++c) distance = std::max(distance, std::abs(fitted[3 * i + c] - color[c]));
      best = std::min(best, distance);
    }
    EXPECT_LE(best, 4) << int(color[0]) << "," << int(color[1]) << "," << int(color[2]);
  }
  // A smooth gradient of many colours gets all 256 entries, each different.
  RgbPicture gradient(256, 64);
  for (uint32_t y = 0; y < 64; ++y) {
    for (uint32_t x = 0; x < 256; ++x) {
      uint8_t* p = gradient.Pixel(x, y);
      p[0] = uint8_t(x), p[1] = uint8_t(y * 4), p[2] = uint8_t(255 - x);
    }
  }
  const Palette spread = AdaptivePalette({&gradient});
  std::set<std::array<uint8_t, 3>> distinct;
  for (int i = 0; i < 256; ++i) distinct.insert({spread[3 * i], spread[3 * i + 1], spread[3 * i + 2]});
  EXPECT_EQ(distinct.size(), 256u);
}

TEST(ClipFamily, EveryClipMovesWithManyColoursAndEachSeedGivesItsOwnPictures) {
  const std::vector<ClipRecipe> family = ClipFamily(), other = ClipFamily(1);
  ASSERT_EQ(family.size(), other.size());
  std::set<std::string> names;
  for (size_t i = 0; i < family.size(); ++i) {
    const ClipRecipe& recipe = family[i];
    SCOPED_TRACE(recipe.name);
    EXPECT_TRUE(names.insert(recipe.name).second);
    const Clip clip = MakeClip(recipe, kWidth, kHeight, kFrames);
    ASSERT_EQ(clip.frames.size(), kFrames);
    for (const auto& frame : clip.frames) ASSERT_EQ(frame.size(), size_t{kWidth} * kHeight);
    EXPECT_GT(ChangedBlockShare(clip), 0.1);
    std::set<uint8_t> used;
    for (const auto& frame : clip.frames) used.insert(frame.begin(), frame.end());
    EXPECT_GE(used.size(), 32u);
    // The same pictures on every call, other pictures from another family seed.
    const Clip shorter = MakeClip(recipe, kWidth, kHeight, 2);
    EXPECT_EQ(MakeClip(recipe, kWidth, kHeight, 2).frames, shorter.frames);
    EXPECT_NE(MakeClip(other[i], kWidth, kHeight, 2).frames, shorter.frames);
  }
}

TEST(ClipFamily, NoisePansByItsStepWhileZoomsAndTurnsMoveNoBlockAsAWhole) {
  for (const char* name : {"noise1-cube", "noise3-adaptive", "noise7-cube"}) {
    SCOPED_TRACE(name);
    const ClipRecipe& recipe = Recipe(name);
    const Clip clip = MakeClip(recipe, kWidth, kHeight, kFrames);
    // Where the disc is not, a pixel shows what the pixel `pan` to its right showed before.
    uint64_t same = 0, samePlusOne = 0, pixels = 0;
    for (size_t f = 1; f < clip.frames.size(); ++f) {
      for (int64_t y = 0; y < kHeight; ++y) {
        for (int64_t x = 0; x + recipe.pan + 1 < kWidth; ++x) {
          same += At(clip, f, x, y) == At(clip, f - 1, x + recipe.pan, y);
          samePlusOne += At(clip, f, x, y) == At(clip, f - 1, x + recipe.pan + 1, y);
          ++pixels;
        }
      }
    }
    EXPECT_GT(double(same) / double(pixels), 0.8);
    EXPECT_LT(double(samePlusOne) / double(pixels), 0.4);
    EXPECT_GT(ShiftedBlockShare(clip, 1, 8), 0.8);
  }
  for (const char* name : {"zoom-adaptive", "turn-cube"}) {
    SCOPED_TRACE(name);
    const Clip clip = MakeClip(Recipe(name), kWidth, kHeight, 3);
    EXPECT_LT(ShiftedBlockShare(clip, 1, 8), 0.05);
    EXPECT_LT(ShiftedBlockShare(clip, 2, 8), 0.05);
  }
}

}  // namespace
}  // namespace speedbench
