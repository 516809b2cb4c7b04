#include "compressor/rate_control.h"

#include "playback/frame_coding.h"

namespace compressor {
namespace {

// Bytes of a run: a head per piece, the colour of a solid piece, the data of every block.
uint64_t RunCost(BlockType kind, uint32_t blocks) {
  uint64_t pieces = RunPieces(blocks);
  switch (kind) {
    case UnchangedBlock: return pieces;
    case SolidBlock: return 2 * pieces;
    case TwoColorBlock: return 4 * uint64_t{blocks} + pieces;
    case FullBlock: return 16 * uint64_t{blocks} + pieces;
  }
  return 0;
}

}  // namespace

uint32_t RunPieces(uint32_t n) {
  // Pieces of 1024, 512, 256 and 128: the bits of n from 10 down to 7.
  static constexpr uint8_t kBitCount[16] = {0, 1, 1, 2, 1, 2, 2, 3, 1, 2, 2, 3, 2, 3, 3, 4};
  uint32_t rest = n % 128;
  return n / 2048 + kBitCount[(n >> 7) & 15] + (rest + 58) / 59;
}

uint64_t EstimateFrameSize(const std::vector<BlockScore>& scores, uint32_t t) {
  uint64_t size = 0;
  // An empty run costs nothing, whatever its kind.
  BlockType runKind = UnchangedBlock;
  uint8_t runColor = 0;
  uint32_t runLength = 0;
  for (const BlockScore& s : scores) {
    BlockType kind = s.unchanged <= t ? UnchangedBlock
                     : s.solid <= t   ? SolidBlock
                     : s.twoColor <= t ? TwoColorBlock
                                       : FullBlock;
    if (kind == runKind && (kind != SolidBlock || s.solidColor == runColor)) {
      ++runLength;
      continue;
    }
    size += RunCost(runKind, runLength);
    runKind = kind;
    runColor = s.solidColor;
    runLength = 1;
  }
  return size + RunCost(runKind, runLength);
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
