#include "compressor/rate_control.h"

#include "playback/frame_coding.h"

namespace compressor {

uint32_t RunPieces(uint32_t n) {
  // Pieces of 1024, 512, 256 and 128: the bits of n from 10 down to 7.
  static constexpr uint8_t kBitCount[16] = {0, 1, 1, 2, 1, 2, 2, 3, 1, 2, 2, 3, 2, 3, 3, 4};
  uint32_t rest = n % 128;
  return n / 2048 + kBitCount[(n >> 7) & 15] + (rest + 58) / 59;
}

uint64_t EstimateFrameSize(const std::vector<BlockScore>& scores, uint32_t t) {
  // Every run is charged one piece at its first block, and each block its data; a run found long
  // enough to need more pieces is charged the rest when it ends. The kind and the run are found
  // by selects rather than branches: on changing pictures the kinds follow no pattern.
  static constexpr uint8_t kHead[4] = {1, 1, 1, 2};    // by BlockType: bytes of a piece's head
  static constexpr uint8_t kData[4] = {4, 16, 0, 0};   // bytes of each block's data
  constexpr uint32_t kOnePieceRuns = 59;
  uint64_t size = 0;
  uint32_t runKey = UINT32_MAX;  // kind, and colour for solid runs; none before the first block
  uint32_t runLength = 0;
  for (const BlockScore& s : scores) {
    uint32_t kind = FullBlock;
    kind = s.twoColor <= t ? uint32_t{TwoColorBlock} : kind;
    kind = s.solid <= t ? uint32_t{SolidBlock} : kind;
    kind = s.unchanged <= t ? uint32_t{UnchangedBlock} : kind;
    const uint32_t key = kind | (kind == SolidBlock ? uint32_t{s.solidColor} << 2 : 0u);
    const bool starts = key != runKey;
    if (starts && runLength > kOnePieceRuns) {
      size += kHead[runKey & 3] * uint64_t{RunPieces(runLength) - 1};
    }
    runLength = starts ? 1 : runLength + 1;
    runKey = key;
    size += kData[kind] + (starts ? kHead[kind] : 0u);
  }
  if (runLength > kOnePieceRuns) size += kHead[runKey & 3] * uint64_t{RunPieces(runLength) - 1};
  return size;
}

ThresholdChoice SearchThreshold(const std::vector<BlockScore>& scores, int64_t budget) {
  ThresholdChoice fit, smallest;
  bool anyFit = false, anyOver = false;
  int64_t low = 0, high = kMaxThreshold;
  while (low <= high) {
    uint32_t t = static_cast<uint32_t>(low + (high - low) / 2);
    uint64_t size = EstimateFrameSize(scores, t);
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
