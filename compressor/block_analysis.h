#pragma once
// Measuring how well each 4x4 block of a frame can be coded by each block kind.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "compressor/colour_distance.h"

namespace compressor {

constexpr size_t kBlockPixels = 16;
// An error no threshold reaches: a key frame keeps no block unchanged.
constexpr uint32_t kNoError = UINT32_MAX;

struct ColorChoice {
  uint8_t color = 0;
  uint32_t error = 0;
};

// The errors of one block (sums over its 16 pixels of the colour distance).
struct BlockScore {
  uint32_t unchanged = kNoError;  // left as the previous decoded frame shows it
  uint32_t solid = kNoError;      // as one colour, solidColor
  uint32_t twoColor = kNoError;   // as the two-colour block of twoColorValue
  uint8_t solidColor = 0;
};

// A two-colour block as one value: the pattern in bits 0-15 (bit k = pixel k, row by row;
// 1 = second colour), the first colour in bits 16-23 and the second in bits 24-31.
inline uint32_t TwoColorValue(uint16_t pattern, uint8_t first, uint8_t second) {
  return pattern | uint32_t{first} << 16 | uint32_t{second} << 24;
}

// Copies a frame into blocks of 16 bytes in block order (block rows top to bottom, blocks left
// to right, each block's rows top to bottom). width and height are multiples of 4. With
// everyOtherRow the frame's rows 0, 2, 4, ... make up the picture (height scaling).
void GatherBlocks(const uint8_t* frame, size_t pitch, uint32_t width, uint32_t height,
                  bool everyOtherRow, uint8_t* blocks);

// The reverse of GatherBlocks for a plain picture of width x height.
void ScatterBlocks(const uint8_t* blocks, uint32_t width, uint32_t height, uint8_t* frame,
                   size_t pitch);

// The usable index (see ColorDistanceTable) nearest to a group of distinct colours with their
// pixel counts: the lowest index with the smallest sum of count x distance. An empty range
// falls back to colors[0].
ColorChoice BestBlockColor(const uint8_t* colors, const uint8_t* counts, int n,
                           ColorDistanceTable& distance);

// Scores one block. previous is the same block of the previous decoded frame, or null when
// the block may not stay unchanged (key frames).
void EvaluateBlock(const uint8_t* block, const uint8_t* previous, ColorDistanceTable& distance,
                   BlockScore& score, uint32_t& twoColorValue);

// The two halves of EvaluateBlock: the scores of a block as one colour and as two colours, which
// depend on the block alone (score.unchanged is left as it is), and the error of leaving it as
// the previous decoded frame shows it.
void EvaluateBlockContent(const uint8_t* block, ColorDistanceTable& distance, BlockScore& score,
                          uint32_t& twoColorValue);
uint32_t UnchangedError(const uint8_t* block, const uint8_t* previous, const ColorDistanceTable& distance);

// Every block of a frame scored, in block order.
struct FrameAnalysis {
  std::vector<BlockScore> scores;
  std::vector<uint32_t> twoColorValues;

  void Resize(size_t blockCount) {
    scores.resize(blockCount);
    twoColorValues.resize(blockCount);
  }
};

void AnalyseFrame(const uint8_t* blocks, const uint8_t* previous, size_t blockCount,
                  ColorDistanceTable& distance, FrameAnalysis& analysis);

// Parts of AnalyseFrame for blocks first <= i < end of a frame (the analysis already sized):
// their one- and two-colour scores, and their unchanged scores (previous: as in EvaluateBlock).
void AnalyseBlockContent(const uint8_t* blocks, size_t first, size_t end, ColorDistanceTable& distance,
                         FrameAnalysis& analysis);
void ScoreUnchanged(const uint8_t* blocks, const uint8_t* previous, size_t first, size_t end,
                    const ColorDistanceTable& distance, FrameAnalysis& analysis);

// The analysis and the size estimate take eight values at a time where the processor can; the
// tests turn that off to compare both ways. Returns whether the processor can.
bool UseWideVectorsForTesting(bool use);
bool WideVectorsInUse();

// Marks every block as not allowed to stay unchanged (a frame that became a key frame).
void ForbidUnchanged(FrameAnalysis& analysis);

}  // namespace compressor
