#include "playback/tree_tables.h"

#include <algorithm>

#include "playback/decoding_table.h"

namespace {

// The builder gives every distinct symbol of a 16-bit tree one leaf, so no valid word tree has
// more than 65536 leaves.
constexpr uint32_t kWordTreeMaxNodes = 2 * 65536 - 1;

// Reads one tree in pre-order, handing each node to the sink, then its closing bit.
// `pending` holds the inner nodes whose right child has not begun; it needs room for
// maxNodes entries. Returns the node count, 0 for a bad tree.
template <class Sink>
uint32_t ReadPreorder(BitReader& bits, uint32_t maxNodes, uint32_t* pending, Sink&& sink) {
  uint32_t count = 0;
  uint32_t depth = 0;
  for (;;) {
    if (count == maxNodes) return 0;
    if (bits.ReadBit()) {
      sink.Inner();
      pending[depth++] = count++;
      continue;
    }
    if (!sink.Leaf(count)) return 0;
    ++count;
    if (depth == 0) break;  // the root's subtree is complete
    uint32_t parent = pending[--depth];
    sink.SetRight(parent, count - parent);  // its right subtree starts at the next node
  }
  if (bits.ReadBit() != 0) return 0;  // the closing bit
  return bits.Overrun() ? 0 : count;
}

struct ByteTreeSink {
  BitReader& bits;
  ByteTree& tree;
  uint32_t next = 0;
  void Inner() { tree.nodes[next++] = 0; }
  bool Leaf(uint32_t) {
    tree.nodes[next++] = kByteTreeLeaf | bits.ReadBits(8);
    return true;
  }
  void SetRight(uint32_t node, uint32_t distance) { tree.nodes[node] = distance; }
};

struct WordTreeSink {
  BitReader& bits;
  const ByteTree& lowTree;
  const ByteTree& highTree;
  const std::array<uint32_t, 3>& escapeValues;
  VideoTree& tree;
  std::array<bool, 3> escapeFound{};

  void Inner() { tree.nodes.push_back({0, 0}); }
  bool Leaf(uint32_t index) {
    uint32_t value = DecodeByteSymbol(bits, lowTree);
    value |= uint32_t{DecodeByteSymbol(bits, highTree)} << 8;
    uint32_t entry = value | value << 16;
    for (int i = 0; i < 3; ++i) {
      if (value != escapeValues[i]) continue;
      if (escapeFound[i]) return false;  // two leaves for one escape: not a tree of ours
      escapeFound[i] = true;
      tree.escape[i] = index;
      entry = 0;
      break;
    }
    tree.nodes.push_back({entry, 0});
    return true;
  }
  void SetRight(uint32_t node, uint32_t distance) { tree.nodes[node].right = distance; }
};

void BuildLookupTable(VideoTree& tree, int k) {
  tree.lookup.assign(size_t{1} << k, 0);
  for (uint32_t i = 0; i < tree.lookup.size(); ++i) {
    uint32_t node = 0;
    int used = 0;
    while (tree.nodes[node].right != 0 && used < k) {
      node += (i >> used) & 1 ? tree.nodes[node].right : 1;
      ++used;
    }
    tree.lookup[i] = node << 4 | static_cast<uint32_t>(used);
  }
}

// Three spare slots after the nodes stand in for the escape leaves the tree lacks; decoding
// never reaches them, but the recent values still pass through them.
void AddSpareSlots(VideoTree& tree, const std::array<bool, 3>& escapeFound) {
  for (int i = 0; i < 3; ++i) {
    if (!escapeFound[i]) tree.escape[i] = static_cast<uint32_t>(tree.nodes.size()) + i;
  }
  tree.nodes.resize(tree.nodes.size() + 3, TreeNode{0, 0});
}

bool ReadVideoTree(BitReader& bits, uint32_t headerSize, int lookupBits, int tableBits, VideoTree& tree) {
  tree = VideoTree{};
  if (!bits.ReadBit()) {
    // Absent: no symbol is ever coded from it. Its tables still lead to a leaf (a spare slot),
    // so that damaged data asking for a symbol gets one without leaving the tree.
    AddSpareSlots(tree, {});
    BuildLookupTable(tree, lookupBits);
    BuildDecodingTable(tree, tableBits);
    return true;
  }
  auto lowTree = std::make_unique<ByteTree>();
  auto highTree = std::make_unique<ByteTree>();
  if (!bits.ReadBit() || !ReadTree(bits, *lowTree)) return false;
  if (!bits.ReadBit() || !ReadTree(bits, *highTree)) return false;
  std::array<uint32_t, 3> escapeValues;
  for (uint32_t& value : escapeValues) value = bits.ReadBits(16);

  // The header's size leaves room for the nodes and three spare slots, 4 bytes each.
  uint32_t maxNodes = headerSize >= 12 ? (headerSize - 12) / 4 : 0;
  maxNodes = std::min(maxNodes, kWordTreeMaxNodes);
  std::vector<uint32_t> pending(maxNodes);
  WordTreeSink sink{bits, *lowTree, *highTree, escapeValues, tree};
  if (ReadPreorder(bits, maxNodes, pending.data(), sink) == 0) return false;
  tree.present = true;
  AddSpareSlots(tree, sink.escapeFound);
  BuildLookupTable(tree, lookupBits);
  BuildDecodingTable(tree, tableBits);
  return true;
}

uint8_t MapColor(const uint8_t table[256], uint32_t color) { return table[color & 0xFF]; }

bool IsEscapeSlot(const VideoTree& tree, size_t index) {
  return std::find(tree.escape.begin(), tree.escape.end(), index) != tree.escape.end();
}

}  // namespace

bool ReadTree(BitReader& bits, ByteTree& tree) {
  uint32_t pending[kByteTreeMaxNodes];
  tree.count = ReadPreorder(bits, kByteTreeMaxNodes, pending, ByteTreeSink{bits, tree});
  if (tree.count == 0) tree.nodes[0] = kByteTreeLeaf;  // leave something safe to walk
  return tree.count != 0;
}

std::unique_ptr<DecoderTrees> BuildVideoTrees(const uint8_t* treeData, size_t treeDataSize,
                                              const uint32_t treeSizes[kVideoTreeCount]) {
  auto trees = std::make_unique<DecoderTrees>();
  BitReader bits(treeData, treeDataSize);
  for (int t = 0; t < kVideoTreeCount; ++t) {
    if (!ReadVideoTree(bits, treeSizes[t], kLookupBits[t], kTableBits[t], trees->trees[t])) return nullptr;
  }
  if (bits.Overrun()) return nullptr;
  ResetRecentValues(*trees);
  return trees;
}

size_t DecoderTreesMemory(const DecoderTrees& trees) {
  size_t bytes = sizeof(DecoderTrees);
  for (const VideoTree& tree : trees.trees) {
    bytes += tree.nodes.capacity() * sizeof(TreeNode) + tree.lookup.capacity() * sizeof(uint32_t) +
             tree.codeBits.capacity() + tree.codeValues.capacity() * sizeof(uint32_t);
  }
  return bytes;
}

int RemapTreeColors(DecoderTrees& trees, const uint8_t table[256]) {
  auto remapTree = [&](VideoTree& tree, auto mapValue) {
    for (size_t i = 0; i < tree.nodes.size(); ++i) {
      TreeNode& node = tree.nodes[i];
      if (node.right != 0 || IsEscapeSlot(tree, i)) continue;
      uint32_t stored = node.entry & 0xFFFF;
      node.entry = stored | mapValue(stored) << 16;
    }
  };
  auto mapPair = [&](uint32_t pair) {
    return uint32_t{MapColor(table, pair)} | uint32_t{MapColor(table, pair >> 8)} << 8;
  };
  auto mapTypeRun = [&](uint32_t symbol) {
    if ((symbol & 3) != 3) return symbol;  // only solid runs carry a colour
    return (symbol & 0xFF) | uint32_t{MapColor(table, symbol >> 8)} << 8;
  };
  for (VideoTreeIndex index : {ColorPairTree, PixelPairTree}) {
    VideoTree& tree = trees.trees[index];
    remapTree(tree, mapPair);
    tree.resetEntry = mapPair(0) << 16;  // the recent values start as the pair of colour 0
  }
  remapTree(trees.trees[TypeRunTree], mapTypeRun);
  std::copy(table, table + 256, trees.colorMap.begin());
  trees.remapped = false;
  for (int i = 0; i < 256; ++i) trees.remapped |= table[i] != i;
  ResetRecentValues(trees);
  return 1;
}
