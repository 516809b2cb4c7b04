#pragma once
// The four trees of a video's frame data: every frame's symbols are counted in the first pass
// (TreeSymbolCounter), the trees are built once, and the second pass writes every frame with
// them (WriteFrameSymbols). Both sides take the symbols from the one walk of the frame coding,
// so what is written is exactly what was counted, in the same order.
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "toolsupport/io/bit_output.h"
#include "compressor/block_codes.h"
#include "compressor/encode_pass.h"
#include "toolsupport/coding/huff_tree.h"
#include "toolsupport/coding/video_symbol_writer.h"

namespace compressor {

class VideoTrees : public FrameSymbolCounter {
 public:
  VideoTrees();
  VideoTrees(const VideoTrees&) = delete;
  VideoTrees& operator=(const VideoTrees&) = delete;

  // First pass: counts the frame's symbols.
  void CountFrame(const std::vector<uint32_t>& values, const uint8_t* frameBlocks) override;

  // Builds the trees and writes their descriptions to `out` in file order. Returns the four
  // decoder sizes for the header, or nothing when a tree cannot be built (codes too long).
  std::optional<std::array<uint32_t, kVideoTreeCount>> Build(toolsupport::BitOutput& out);

  // Second pass: writes the frame's symbols to `out`. False when a symbol was never counted
  // (the frame is not the one the first pass saw).
  bool WriteFrame(const std::vector<uint32_t>& values, const uint8_t* frameBlocks,
                  toolsupport::BitOutput& out);
  // The same with scratch space of the caller's, leaving the trees as they are: several threads
  // may write frames at once.
  bool WriteFrameTo(const std::vector<uint32_t>& values, const uint8_t* frameBlocks,
                    std::vector<BlockCode>& codes, toolsupport::BitOutput& out) const;

 private:
  toolsupport::VideoTreeSet trees_;
  TreeSymbolCounter counter_;
  std::vector<BlockCode> codes_;
};

}  // namespace compressor
