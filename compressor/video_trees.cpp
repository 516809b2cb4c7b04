#include "video_trees.h"

#include <cstring>
#include <span>

#include "block_records.h"

namespace compressor {

void ToBlockCodes(const std::vector<uint32_t>& values, const uint8_t* frameBlocks,
                  std::vector<BlockCode>& codes) {
  codes.resize(values.size());
  for (size_t i = 0; i < values.size(); ++i) {
    const uint32_t value = values[i];
    BlockCode& code = codes[i];
    switch (KindOfValue(value)) {
      case kUnchangedBlock:
        code.type = UnchangedBlock;
        break;
      case kSolidBlock:
        code.type = SolidBlock;
        code.solidColor = static_cast<uint8_t>(value);
        break;
      case kTwoColorBlock:
        code.type = TwoColorBlock;
        code.colorPair = static_cast<uint16_t>(value >> 16);
        code.mask = static_cast<uint16_t>(value);
        break;
      case kFullBlock:
        code.type = FullBlock;
        std::memcpy(code.pixels, frameBlocks + i * kBlockPixels, kBlockPixels);
        break;
    }
  }
}

VideoTrees::VideoTrees() {
  for (toolsupport::HuffTree& tree : trees_) toolsupport::TreeInit(tree, nullptr, false);
}

void VideoTrees::ResetRecent() {
  for (toolsupport::HuffTree& tree : trees_) toolsupport::TreeResetRecent(tree);
}

void VideoTrees::CountFrame(const std::vector<uint32_t>& values, const uint8_t* frameBlocks) {
  ToBlockCodes(values, frameBlocks, codes_);
  WalkFrameSymbols(std::span<const BlockCode>(codes_), [this](VideoTreeIndex tree, uint16_t symbol) {
    toolsupport::TreeCount(trees_[tree], symbol);
  });
  ResetRecent();
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
  ResetRecent();
  return sizes;
}

bool VideoTrees::WriteFrame(const std::vector<uint32_t>& values, const uint8_t* frameBlocks,
                            toolsupport::BitOutput& out) {
  for (toolsupport::HuffTree& tree : trees_) tree.output = &out;
  ToBlockCodes(values, frameBlocks, codes_);
  bool written = true;
  WalkFrameSymbols(std::span<const BlockCode>(codes_), [&](VideoTreeIndex tree, uint16_t symbol) {
    written &= toolsupport::TreeWriteSymbol(trees_[tree], symbol);
  });
  ResetRecent();
  return written;
}

}  // namespace compressor
