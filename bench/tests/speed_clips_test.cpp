// The clips must differ in the way the comparison relies on: the shapes clip leaves most of
// each frame as it was, the scrolling and noise clips almost none of it, and the noise clip's
// blocks hold many colours.
#include "bench/speed_clips.h"

#include <gtest/gtest.h>

namespace speedbench {
namespace {

// Share of 4 x 4 blocks that differ from the frame before, over the whole clip.
double ChangedBlockShare(const Clip& clip) {
  uint64_t changed = 0, blocks = 0;
  for (size_t f = 1; f < clip.frames.size(); ++f) {
    for (uint32_t by = 0; by < clip.height; by += 4) {
      for (uint32_t bx = 0; bx < clip.width; bx += 4) {
        bool differs = false;
        for (uint32_t y = by; y < by + 4; ++y) {
          for (uint32_t x = bx; x < bx + 4; ++x) {
            const size_t at = size_t{y} * clip.width + x;
            differs = differs || clip.frames[f][at] != clip.frames[f - 1][at];
          }
        }
        changed += differs;
        ++blocks;
      }
    }
  }
  return static_cast<double>(changed) / static_cast<double>(blocks);
}

// Mean number of distinct colours in the 4 x 4 blocks of the last frame.
double MeanBlockColors(const Clip& clip) {
  const std::vector<uint8_t>& frame = clip.frames.back();
  uint64_t colors = 0, blocks = 0;
  for (uint32_t by = 0; by < clip.height; by += 4) {
    for (uint32_t bx = 0; bx < clip.width; bx += 4) {
      bool seen[256] = {};
      for (uint32_t y = by; y < by + 4; ++y) {
        for (uint32_t x = bx; x < bx + 4; ++x) {
          colors += !seen[frame[size_t{y} * clip.width + x]];
          seen[frame[size_t{y} * clip.width + x]] = true;
        }
      }
      ++blocks;
    }
  }
  return static_cast<double>(colors) / static_cast<double>(blocks);
}

TEST(SpeedClips, ShapesMostlyStayAndTheScrollingTextureMostlyMoves) {
  const Clip shapes = MakeShapesClip(640, 480, 12);
  const Clip scrolling = MakeScrollingClip(640, 480, 12);
  for (const Clip* clip : {&shapes, &scrolling}) {
    ASSERT_EQ(clip->frames.size(), 12u);
    for (const auto& frame : clip->frames) ASSERT_EQ(frame.size(), 640u * 480u);
  }
  const double stay = ChangedBlockShare(shapes);
  EXPECT_GT(stay, 0.01);  // something moves in every clip
  EXPECT_LT(stay, 0.25);
  EXPECT_GT(ChangedBlockShare(scrolling), 0.9);
}

TEST(SpeedClips, NoiseChangesEveryBlockAtEverySizeWithManyColoursInEach) {
  for (uint32_t width : {160u, 320u, 640u}) {
    SCOPED_TRACE(width);
    const Clip noise = MakeNoiseClip(width, width * 3 / 4, 6);
    ASSERT_EQ(noise.frames.size(), 6u);
    EXPECT_GT(ChangedBlockShare(noise), 0.98);
    EXPECT_GT(MeanBlockColors(noise), 6.0);
    // The same clip on every call: the benchmark's figures compare across runs.
    EXPECT_EQ(MakeNoiseClip(width, width * 3 / 4, 6).frames, noise.frames);
  }
}

}  // namespace
}  // namespace speedbench
