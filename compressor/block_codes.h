#pragma once
// Block values as the shared frame coding sees them, and the first pass's symbol counting
// into the four video trees through the shared walk.
#include <cstdint>
#include <vector>

#include "compressor/encode_pass.h"
#include "playback/frame_coding.h"
#include "toolsupport/coding/video_symbol_writer.h"

namespace compressor {

// One BlockCode per block value; full blocks take their pixels from frameBlocks (block order).
// Pixels of other blocks are left as they were (the coding never reads them).
void ToBlockCodes(const std::vector<uint32_t>& values, const uint8_t* frameBlocks,
                  std::vector<BlockCode>& codes);

// Counts every coded frame's symbols into the trees, forgetting the recent values after each
// frame as the writer does.
class TreeSymbolCounter : public FrameSymbolCounter {
 public:
  explicit TreeSymbolCounter(const toolsupport::VideoHuffTrees& trees) : trees_(trees) {}
  void CountFrame(const std::vector<uint32_t>& values, const uint8_t* frameBlocks) override;

 private:
  toolsupport::VideoHuffTrees trees_;
  std::vector<BlockCode> codes_;
};

}  // namespace compressor
