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
  ToBlockCodes(values, frameBlocks, codes_);
  return trees_.WriteFrame(codes_, out);
}

}  // namespace compressor
