#include "toolsupport/coding/video_symbol_writer.h"

namespace toolsupport {

namespace {

void ForgetRecentValues(const VideoHuffTrees& trees) {
  for (HuffTree* tree : trees) TreeResetRecent(*tree);
}

}  // namespace

void CountFrameSymbols(const VideoHuffTrees& trees, std::span<const BlockCode> blocks) {
  WalkFrameSymbols(blocks, [&](VideoTreeIndex tree, uint16_t symbol) { TreeCount(*trees[tree], symbol); });
  ForgetRecentValues(trees);
}

bool WriteFrameSymbols(const VideoHuffTrees& trees, std::span<const BlockCode> blocks) {
  bool complete = true;
  WalkFrameSymbols(blocks, [&](VideoTreeIndex tree, uint16_t symbol) {
    if (!TreeWriteSymbol(*trees[tree], symbol)) complete = false;
  });
  ForgetRecentValues(trees);
  return complete;
}

}  // namespace toolsupport
