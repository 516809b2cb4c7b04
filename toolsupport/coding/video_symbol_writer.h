#pragma once
// The compressor's side of the frame coding: the symbols of a frame's blocks (in the order the
// shared walk of frame_coding.h gives them) counted into, and written through, the four video
// trees. Counting (first pass) and writing (second pass) take the same walk, so they see the
// same symbols in the same order, and both forget the recent values after every frame.
//
// Use: TreeResetCounts on the four trees; CountFrameSymbols for every frame; TreeBuild the
// trees in index order (mask, colour pair, pixel pair, type/run) into the file's tree data;
// then WriteFrameSymbols for the same frames, with the trees' output at each frame's video
// data. The writer then completes the last byte and pads the frame to a multiple of 4 bytes.
#include <array>
#include <span>

#include "toolsupport/coding/huff_tree.h"
#include "playback/frame_coding.h"

namespace toolsupport {

// The 16-bit trees of a video, indexed by VideoTreeIndex.
using VideoHuffTrees = std::array<HuffTree*, kVideoTreeCount>;

void CountFrameSymbols(const VideoHuffTrees& trees, std::span<const BlockCode> blocks);

// False when a symbol has no code (it was not counted); the output is then incomplete.
bool WriteFrameSymbols(const VideoHuffTrees& trees, std::span<const BlockCode> blocks);

}  // namespace toolsupport
