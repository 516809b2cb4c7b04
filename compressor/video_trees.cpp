#include "compressor/video_trees.h"

namespace compressor {

VideoTrees::VideoTrees() : counter_(trees_.Trees()) {}

void VideoTrees::CountFrame(const std::vector<uint32_t>& values, const uint8_t* frameBlocks) {
  counter_.CountFrame(values, frameBlocks);
}

std::optional<std::array<uint32_t, kVideoTreeCount>> VideoTrees::Build(toolsupport::BitOutput& out) {
  return trees_.Build(out);
}

bool VideoTrees::WriteFrame(const std::vector<uint32_t>& values, const uint8_t* frameBlocks,
                            toolsupport::BitOutput& out) {
  return WriteFrameTo(values, frameBlocks, codes_, out);
}

bool VideoTrees::WriteFrameTo(const std::vector<uint32_t>& values, const uint8_t* frameBlocks,
                              std::vector<BlockCode>& codes, toolsupport::BitOutput& out) const {
  ToBlockCodes(values, frameBlocks, codes);
  return trees_.WriteFrameTo(codes, out);
}

}  // namespace compressor
