#pragma once
// The compressor's side of the frame coding: the symbols of a frame's blocks (in the order the
// shared walk of frame_coding.h gives them) counted into, and written through, the four video
// trees. Counting (first pass) and writing (second pass) take the same walk, so they see the
// same symbols in the same order, and both forget the recent values after every frame.
//
// Use: a VideoTreeSet; CountFrame for every frame; Build the trees in index order (mask, colour
// pair, pixel pair, type/run) into the file's tree data; then WriteFrame for the same frames,
// each into its frame's video data. The writer then completes the last byte and pads the frame
// to a multiple of 4 bytes.
#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "toolsupport/coding/huff_tree.h"
#include "playback/frame_coding.h"

namespace toolsupport {

// The 16-bit trees of a video, indexed by VideoTreeIndex.
using VideoHuffTrees = std::array<HuffTree*, kVideoTreeCount>;

void CountFrameSymbols(const VideoHuffTrees& trees, std::span<const BlockCode> blocks);

// False when a symbol has no code (it was not counted); the output is then incomplete.
bool WriteFrameSymbols(const VideoHuffTrees& trees, std::span<const BlockCode> blocks);

// The four trees of one video, counted from zero.
class VideoTreeSet {
 public:
  VideoTreeSet();
  VideoTreeSet(const VideoTreeSet&) = delete;
  VideoTreeSet& operator=(const VideoTreeSet&) = delete;

  const VideoHuffTrees& Trees() const { return pointers_; }
  const HuffTree& operator[](size_t index) const { return trees_[index]; }

  void ResetCounts();
  void CountFrame(std::span<const BlockCode> blocks) { CountFrameSymbols(pointers_, blocks); }
  // Builds the trees in index order with their descriptions going to `out`. The four decoder
  // sizes for the header, or nothing when a tree cannot be built (codes too long).
  std::optional<std::array<uint32_t, kVideoTreeCount>> Build(BitOutput& out);
  // Writes the frame's symbols to `out`; false when one was never counted.
  bool WriteFrame(std::span<const BlockCode> blocks, BitOutput& out);
  // The same bits, written without changing the trees: several threads may write frames at once.
  bool WriteFrameTo(std::span<const BlockCode> blocks, BitOutput& out) const;

 private:
  std::array<HuffTree, kVideoTreeCount> trees_;
  VideoHuffTrees pointers_;
};

}  // namespace toolsupport
