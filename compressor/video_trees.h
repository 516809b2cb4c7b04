#pragma once
// The four trees of a video's frame data: every frame's symbols are counted in the first pass,
// the trees are built once, and the second pass writes every frame with them. Both sides take a
// frame's symbols from the playback library's one walk of the frame coding (WalkFrameSymbols),
// so what is written is exactly what was counted, in the same order.
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "bit_output.h"
#include "encode_pass.h"
#include "frame_coding.h"
#include "huff_tree.h"

namespace compressor {

// A coded frame (one value per block, see block_records.h) as the block codes of the frame
// coding; frameBlocks holds the frame's pixels in block order, for full blocks.
void ToBlockCodes(const std::vector<uint32_t>& values, const uint8_t* frameBlocks,
                  std::vector<BlockCode>& codes);

class VideoTrees : public FrameSymbolCounter {
 public:
  VideoTrees();

  // First pass: counts the frame's symbols.
  void CountFrame(const std::vector<uint32_t>& values, const uint8_t* frameBlocks) override;

  // Builds the trees and writes their descriptions to `out` in file order. Returns the four
  // decoder sizes for the header, or nothing when a tree cannot be built (codes too long).
  std::optional<std::array<uint32_t, kVideoTreeCount>> Build(toolsupport::BitOutput& out);

  // Second pass: writes the frame's symbols to `out`. False when a symbol was never counted
  // (the frame is not the one the first pass saw).
  bool WriteFrame(const std::vector<uint32_t>& values, const uint8_t* frameBlocks,
                  toolsupport::BitOutput& out);

 private:
  void ResetRecent();

  std::array<toolsupport::HuffTree, kVideoTreeCount> trees_;
  std::vector<BlockCode> codes_;
};

}  // namespace compressor
