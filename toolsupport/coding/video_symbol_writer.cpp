#include "toolsupport/coding/video_symbol_writer.h"

namespace toolsupport {

namespace {

void ForgetRecentValues(const VideoHuffTrees& trees) {
  for (HuffTree* tree : trees) tree->ResetRecent();
}

}  // namespace

void CountFrameSymbols(const VideoHuffTrees& trees, std::span<const BlockCode> blocks) {
  WalkFrameSymbols(blocks, [&](VideoTreeIndex tree, uint16_t symbol) { trees[tree]->Count(symbol); });
  ForgetRecentValues(trees);
}

bool WriteFrameSymbols(const VideoHuffTrees& trees, std::span<const BlockCode> blocks) {
  bool complete = true;
  WalkFrameSymbols(blocks, [&](VideoTreeIndex tree, uint16_t symbol) {
    if (!trees[tree]->WriteSymbol(symbol)) complete = false;
  });
  ForgetRecentValues(trees);
  return complete;
}

VideoTreeSet::VideoTreeSet()
    : trees_{HuffTree(nullptr, false), HuffTree(nullptr, false), HuffTree(nullptr, false), HuffTree(nullptr, false)} {
  for (size_t t = 0; t < trees_.size(); ++t) pointers_[t] = &trees_[t];
}

void VideoTreeSet::ResetCounts() {
  for (HuffTree& tree : trees_) tree.ResetCounts();
}

std::optional<std::array<uint32_t, kVideoTreeCount>> VideoTreeSet::Build(BitOutput& out) {
  std::array<uint32_t, kVideoTreeCount> sizes{};
  for (size_t t = 0; t < trees_.size(); ++t) {
    trees_[t].SetOutput(&out);
    const int size = trees_[t].Build();
    if (size < 0) return std::nullopt;
    sizes[t] = static_cast<uint32_t>(size);
  }
  return sizes;
}

bool VideoTreeSet::WriteFrame(std::span<const BlockCode> blocks, BitOutput& out) {
  for (HuffTree& tree : trees_) tree.SetOutput(&out);
  return WriteFrameSymbols(pointers_, blocks);
}

bool VideoTreeSet::WriteFrameTo(std::span<const BlockCode> blocks, BitOutput& out) const {
  std::array<HuffTree::RecentValues, kVideoTreeCount> recent{};
  bool complete = true;
  WalkFrameSymbols(blocks, [&](VideoTreeIndex tree, uint16_t symbol) {
    if (trees_[tree].WriteSymbolTo(symbol, recent[tree], out) < 0) complete = false;
  });
  return complete;
}

}  // namespace toolsupport
