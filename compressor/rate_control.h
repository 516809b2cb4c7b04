#pragma once
// Choosing the error threshold that fits a frame into its size budget.
#include <cstdint>
#include <vector>

#include "compressor/block_analysis.h"

namespace compressor {

// Type/run symbols a run of n blocks takes: pieces of 2048 while they fit, then at most one
// each of 1024, 512, 256 and 128, then pieces of at most 59.
uint32_t RunPieces(uint32_t n);

// The estimated size of a frame coded with threshold t: each block takes the first kind whose
// error is within t (unchanged, solid, two-colour, else full); runs of one kind (solid runs of
// one colour) cost 1 unit per piece unchanged, 2 per piece solid, 4 per block + 1 per piece
// two-colour and 16 per block + 1 per piece full.
uint64_t EstimateFrameSize(const std::vector<BlockScore>& scores, uint32_t threshold);

// The highest threshold the search probes; above any block error.
constexpr uint32_t kMaxThreshold = 0x400000;

struct ThresholdChoice {
  uint32_t threshold = 0;
  uint64_t size = 0;   // its estimated size
  bool fits = false;   // size <= budget
};

// Binary search over 0 to kMaxThreshold: the probed threshold of largest size within the
// budget, or, when none fits, the probed one of smallest size.
ThresholdChoice SearchThreshold(const std::vector<BlockScore>& scores, int64_t budget);

// Blocks that could not stay unchanged within the threshold.
uint32_t CountChangedBlocks(const std::vector<BlockScore>& scores, uint32_t threshold);

}  // namespace compressor
