#include "compressor/video_trees.h"

namespace compressor {
namespace {

toolsupport::VideoHuffTrees PointersTo(std::array<toolsupport::HuffTree, kVideoTreeCount>& trees) {
  toolsupport::VideoHuffTrees pointers{};
  for (int t = 0; t < kVideoTreeCount; ++t) {
    toolsupport::TreeInit(trees[t], nullptr, false);
    pointers[t] = &trees[t];
  }
  return pointers;
}

}  // namespace

VideoTrees::VideoTrees() : pointers_(PointersTo(trees_)), counter_(pointers_) {}

void VideoTrees::CountFrame(const std::vector<uint32_t>& values, const uint8_t* frameBlocks) {
  counter_.CountFrame(values, frameBlocks);
}

std::optional<std::array<uint32_t, kVideoTreeCount>> VideoTrees::Build(toolsupport::BitOutput& out) {
  std::array<uint32_t, kVideoTreeCount> sizes{};
  for (int t = 0; t < kVideoTreeCount; ++t) {
    toolsupport::HuffTree& tree = trees_[t];
    tree.output = tree.low_tree->output = tree.high_tree->output = &out;
    const int size = toolsupport::TreeBuild(tree);
    if (size < 0) return std::nullopt;
    sizes[t] = static_cast<uint32_t>(size);
  }
  return sizes;
}

bool VideoTrees::WriteFrame(const std::vector<uint32_t>& values, const uint8_t* frameBlocks,
                            toolsupport::BitOutput& out) {
  for (toolsupport::HuffTree& tree : trees_) tree.output = &out;
  ToBlockCodes(values, frameBlocks, codes_);
  return toolsupport::WriteFrameSymbols(pointers_, codes_);
}

}  // namespace compressor
