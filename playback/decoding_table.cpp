#include "playback/decoding_table.h"

#include <algorithm>
#include <vector>

namespace {

void SetEntry(VideoTree& tree, size_t at, uint8_t bits, uint32_t value) {
  tree.codeBits[at] = bits;
  tree.codeValues[at] = value;
}

void SetLeaf(VideoTree& tree, size_t at, uint32_t node, uint32_t used) {
  for (uint32_t i = 0; i < 3; ++i) {
    if (tree.escape[i] == node) return SetEntry(tree, at, static_cast<uint8_t>(used | kTableEscape), i);
  }
  SetEntry(tree, at, static_cast<uint8_t>(used | kTableLeaf), tree.nodes[node].entry & 0xFFFF);
}

// The node reached from `node` by the low bits of `code`, at most `limit` of them; `used` says
// how many it took.
uint32_t Walk(const VideoTree& tree, uint32_t node, uint32_t code, int limit, int& used) {
  used = 0;
  while (tree.nodes[node].right != 0 && used < limit) {
    node += (code >> used) & 1 ? tree.nodes[node].right : 1;
    ++used;
  }
  return node;
}

// Builds the table from the tree's nodes, with the depth of every subtree at hand.
class TableBuilder {
 public:
  explicit TableBuilder(VideoTree& tree) : tree_(tree), depth_(tree.nodes.size(), 0) {
    // Children follow their parent in pre-order.
    uint32_t leaves = 0;
    for (size_t n = tree.nodes.size(); n-- > 0;) {
      const uint32_t right = tree.nodes[n].right;
      if (right == 0) {
        ++leaves;
        continue;
      }
      depth_[n] = 1 + std::max(depth_[n + 1], depth_[n + right]);
    }
    // Subtables get at most eight entries a leaf in all; past that, codes go on bit by bit.
    budget_ = 8 * size_t{leaves};
  }

  void Build(int k) {
    tree_.codeBits.assign(size_t{1} << k, 0);
    tree_.codeValues.assign(size_t{1} << k, 0);
    Fill(0, 0, k, 0);
  }

 private:
  // Fills the 2^bits entries at `offset` for the codes that go on from `node` after `used` bits.
  void Fill(size_t offset, uint32_t node, int bits, uint32_t used) {
    for (uint32_t i = 0; i < (uint32_t{1} << bits); ++i) {
      int more = 0;
      const uint32_t reached = Walk(tree_, node, i, bits, more);
      const uint32_t total = used + static_cast<uint32_t>(more);
      if (tree_.nodes[reached].right == 0) {
        SetLeaf(tree_, offset + i, reached, total);
      } else {
        Subtable(offset + i, reached, total);
      }
    }
  }

  // Entry `at` for the codes that go on from inner node `node` after `used` bits.
  void Subtable(size_t at, uint32_t node, uint32_t used) {
    const int bits = std::min(static_cast<int>(depth_[node]), kSubtableBits);
    const size_t size = size_t{1} << bits;
    if (used + static_cast<uint32_t>(bits) > kMaxTableCodeBits || size > budget_) {
      return SetEntry(tree_, at, static_cast<uint8_t>(used | kTableDeep), node);
    }
    budget_ -= size;
    const size_t offset = tree_.codeBits.size();
    SetEntry(tree_, at, static_cast<uint8_t>(used | kTableSubtable), static_cast<uint32_t>(offset | size_t(bits) << 26));
    tree_.codeBits.resize(offset + size);
    tree_.codeValues.resize(offset + size);
    Fill(offset, node, bits, used);
  }

  VideoTree& tree_;
  std::vector<uint32_t> depth_;
  size_t budget_ = 0;
};

}  // namespace

// A tree has at most 65536 leaves, so that table offsets (the first table and at most eight
// entries a leaf) fit in their 26 bits.
void BuildDecodingTable(VideoTree& tree, int k) { TableBuilder(tree).Build(k); }
