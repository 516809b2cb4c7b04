#pragma once
// Reads tree descriptions and codes back the way the player does, so that tests
// can check what the tree builder writes: bits least significant first, nodes in
// pre-order with a closing 0 bit, 16-bit leaf values through byte sub-trees and
// three escape leaves standing for the recent values.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace tree_reader {

class BitReader {
 public:
  explicit BitReader(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
  int Bit() {
    if (position_ >= bytes_.size() * 8) throw std::runtime_error("read past the end of the stream");
    int bit = (bytes_[position_ / 8] >> (position_ % 8)) & 1;
    ++position_;
    return bit;
  }
  uint32_t Bits(int count) {
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) value |= static_cast<uint32_t>(Bit()) << i;
    return value;
  }
  size_t position() const { return position_; }

 private:
  std::vector<uint8_t> bytes_;
  size_t position_ = 0;
};

struct Node {
  bool leaf = false;
  uint32_t value = 0;
  int escape = -1;  // leaf standing for recent value 0, 1 or 2
  int first = -1;
  int second = -1;
};

struct Tree {
  bool present = false;
  bool sixteen = false;
  std::vector<Node> nodes;  // nodes[0] is the root
  uint32_t escapes[3] = {};
  uint32_t recent[3] = {};
  size_t inner_nodes() const {
    size_t n = 0;
    for (const Node& node : nodes) n += node.leaf ? 0 : 1;
    return n;
  }
};

inline uint32_t DecodeByte(BitReader& in, const Tree& tree) {
  if (!tree.present) throw std::runtime_error("symbol of an absent tree");
  const Node* node = &tree.nodes[0];
  while (!node->leaf) node = &tree.nodes[in.Bit() ? node->second : node->first];
  return node->value;
}

template <typename LeafValue>
int ReadNode(BitReader& in, Tree& tree, LeafValue leaf_value) {
  int index = static_cast<int>(tree.nodes.size());
  tree.nodes.emplace_back();
  if (in.Bit()) {
    int first = ReadNode(in, tree, leaf_value);
    int second = ReadNode(in, tree, leaf_value);
    tree.nodes[index].first = first;
    tree.nodes[index].second = second;
  } else {
    tree.nodes[index].leaf = true;
    tree.nodes[index].value = leaf_value();
  }
  return index;
}

template <typename LeafValue>
void ReadNodes(BitReader& in, Tree& tree, LeafValue leaf_value) {
  ReadNode(in, tree, leaf_value);
  if (in.Bit() != 0) throw std::runtime_error("missing closing bit");
}

inline Tree ReadByteTree(BitReader& in) {
  Tree tree;
  tree.present = in.Bit();
  if (tree.present) ReadNodes(in, tree, [&] { return in.Bits(8); });
  return tree;
}

inline Tree ReadWordTree(BitReader& in) {
  Tree tree;
  tree.sixteen = true;
  tree.present = in.Bit();
  if (!tree.present) return tree;
  Tree low = ReadByteTree(in);
  Tree high = ReadByteTree(in);
  for (uint32_t& escape : tree.escapes) escape = in.Bits(16);
  ReadNodes(in, tree, [&] {
    uint32_t value = DecodeByte(in, low);
    return value | DecodeByte(in, high) << 8;
  });
  for (Node& node : tree.nodes) {
    for (int slot = 0; node.leaf && slot < 3; ++slot) {
      if (node.value == tree.escapes[slot]) {
        node.escape = slot;
        break;
      }
    }
  }
  return tree;
}

// Decodes one symbol; 16-bit trees keep their recent values as the player does.
inline uint32_t DecodeSymbol(BitReader& in, Tree& tree) {
  if (!tree.sixteen) return DecodeByte(in, tree);
  if (!tree.present) throw std::runtime_error("symbol of an absent tree");
  const Node* node = &tree.nodes[0];
  while (!node->leaf) node = &tree.nodes[in.Bit() ? node->second : node->first];
  uint32_t value = node->escape >= 0 ? tree.recent[node->escape] : node->value;
  if (value != tree.recent[0]) {
    tree.recent[2] = tree.recent[1];
    tree.recent[1] = tree.recent[0];
    tree.recent[0] = value;
  }
  return value;
}

// The stream as '0' and '1' in stream order, for comparing with hand-made bit strings.
inline std::string BitString(const std::vector<uint8_t>& bytes, uint64_t bit_count) {
  std::string text;
  for (uint64_t k = 0; k < bit_count; ++k) text += ((bytes[k / 8] >> (k % 8)) & 1) ? '1' : '0';
  return text;
}

// A value of n bits as it appears in the stream: low bit first.
inline std::string ValueBits(uint32_t value, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += ((value >> i) & 1) ? '1' : '0';
  return text;
}

}  // namespace tree_reader
