#pragma once
// Huffman trees of a video read from their descriptions, and the tables that decode them.
//
// A description lists a tree's nodes in pre-order: 1 for an inner node (left subtree first),
// 0 for a leaf followed by its value, and one closing 0 bit. Byte trees carry 8 plain value
// bits per leaf. Word trees (the four trees of the video data) carry three 16-bit escape values
// and code each leaf value through a low-byte and a high-byte tree read just before them.
//
// Nothing in a description is trusted: node counts, sub-tree sizes and reads past the data are
// checked, and a bad description is reported instead of built.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "playback/bit_reader.h"

// ---- Byte trees (also read by the audio chunk decoder) ----

// A byte tree of 256 leaves has 511 nodes; no valid byte tree has more.
constexpr uint32_t kByteTreeMaxNodes = 511;
// Node of a byte tree: a leaf is kByteTreeLeaf plus its value; an inner node holds the index
// distance to its right child, its left child being the next node.
constexpr uint32_t kByteTreeLeaf = 0x80000000u;

struct ByteTree {
  uint32_t count = 0;
  // Starts (and is left after a failed read) as a single leaf of value 0, safe to walk.
  uint32_t nodes[kByteTreeMaxNodes] = {kByteTreeLeaf};
};

// Reads one byte tree (nodes and closing bit; no presence bit). False for a malformed tree,
// one of more than 511 nodes, or one that runs past the end of the data.
bool ReadTree(BitReader& bits, ByteTree& tree);

// Walks a byte tree from its root, one bit per level (1 = right child), and returns the leaf's
// value. A single-leaf tree takes no bits.
inline uint8_t DecodeByteSymbol(BitReader& bits, const ByteTree& tree) {
  const uint32_t* node = tree.nodes;
  while (!(*node & kByteTreeLeaf)) node += bits.ReadBit() ? *node : 1;
  return static_cast<uint8_t>(*node);
}

// ---- The four word trees of a video ----

enum VideoTreeIndex : uint8_t { MaskTree = 0, ColorPairTree = 1, PixelPairTree = 2, TypeRunTree = 3 };
constexpr int kVideoTreeCount = 4;
constexpr std::array<int, kVideoTreeCount> kLookupBits = {11, 10, 12, 8};

// Node of a word tree. `entry` holds the value as stored in the file in its low half and the
// value that decoding returns (after colour mapping) in its high half; the recent-value
// bookkeeping compares whole entries, so it follows the stored values as the writer does.
// `right` is 0 for a leaf, else the index distance to the right child (always 2 or more).
struct TreeNode {
  uint32_t entry;
  uint32_t right;
};

struct VideoTree {
  bool present = false;
  // Nodes in pre-order, then three spare slots that stand in for escape leaves the tree lacks.
  std::vector<TreeNode> nodes;
  // 2^k entries, k = kLookupBits: (node index << 4) | bits used, for the next k stream bits;
  // DecodeSymbol walks on from them.
  std::vector<uint32_t> lookup;
  // The frame decoder's tables (see decoding_table.h): for each entry the bits its code takes
  // and its kind, and what it decodes to.
  std::vector<uint8_t> codeBits;
  std::vector<uint32_t> codeValues;
  // Escape leaf i (or its spare slot) holds the entry of the tree's recent value i.
  std::array<uint32_t, 3> escape{};
  // What the recent values hold at the start of every frame.
  uint32_t resetEntry = 0;
};

struct DecoderTrees {
  std::array<VideoTree, kVideoTreeCount> trees;
  // The colour each stored colour index decodes to (RemapTreeColors), and whether any differs.
  std::array<uint8_t, 256> colorMap = [] {
    std::array<uint8_t, 256> identity{};
    for (int i = 0; i < 256; ++i) identity[i] = static_cast<uint8_t>(i);
    return identity;
  }();
  bool remapped = false;
};

// Builds the four trees from a video's tree data (one bit stream, trees in index order).
// treeSizes are the file header's four tree sizes: a tree may have no more nodes than its
// size allows ((size - 12) / 4). Returns null for a bad description.
std::unique_ptr<DecoderTrees> BuildVideoTrees(const uint8_t* treeData, size_t treeDataSize,
                                              const uint32_t treeSizes[kVideoTreeCount]);

// Bytes of memory the trees take, for the handle's memory statistics.
size_t DecoderTreesMemory(const DecoderTrees& trees);

// Sets the colours that decoding yields: every colour index of the file's colour pairs, pixel
// pairs and solid runs becomes table[index]. The mapping always starts from the stored values,
// so a new table replaces the previous one rather than stacking on it. Returns 1.
int RemapTreeColors(DecoderTrees& trees, const uint8_t table[256]);

// Puts every tree's recent values back to their start; done at the start of each frame.
inline void ResetRecentValues(DecoderTrees& trees) {
  for (VideoTree& tree : trees.trees) {
    for (uint32_t slot : tree.escape) tree.nodes[slot].entry = tree.resetEntry;
  }
}

// Decodes one symbol of a tree whose lookup table has K bits, and updates its recent values:
// the plain walk, one symbol at a time. The frame decoder takes its symbols from the tables of
// decoding_table.h, which give the same ones faster.
template <int K>
inline uint32_t DecodeSymbol(BitReader& bits, VideoTree& tree) {
  uint32_t look = tree.lookup[bits.PeekBits(K)];
  bits.SkipBits(static_cast<int>(look & 15));
  TreeNode* nodes = tree.nodes.data();
  const TreeNode* node = nodes + (look >> 4);
  while (node->right != 0) node += bits.ReadBit() ? node->right : 1;
  uint32_t entry = node->entry;
  TreeNode& recent0 = nodes[tree.escape[0]];
  if (entry != recent0.entry) {
    nodes[tree.escape[2]].entry = nodes[tree.escape[1]].entry;
    nodes[tree.escape[1]].entry = recent0.entry;
    recent0.entry = entry;
  }
  return entry >> 16;
}
