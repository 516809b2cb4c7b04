#pragma once
// Test helpers that put together coded streams bit by bit, from tree shapes written out in the
// tests, independently of the toolkit's own tree builder.
//
// A tree shape is text: a leaf is a number (decimal or 0x hex), an inner node is "(left right)".
// "(1 (2 3))" is a root whose left child is leaf 1 and whose right child holds leaves 2 and 3;
// the codes are 0 for 1, 10 for 2 and 11 for 3 (first bit first).
#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace hand {

// Bits packed least significant first into bytes in order.
class BitSink {
 public:
  void Bit(uint32_t bit) {
    if (count_ % 8 == 0) bytes_.push_back(0);
    if (bit) bytes_.back() |= static_cast<uint8_t>(1u << (count_ % 8));
    ++count_;
  }
  void Bits(uint32_t value, int n) {
    for (int i = 0; i < n; ++i) Bit(value >> i & 1);
  }
  // "1 0 11" style text: every 0 or 1 is a bit, in order; other characters are ignored.
  void Text(const std::string& bits) {
    for (char c : bits) {
      if (c == '0' || c == '1') Bit(c == '1');
    }
  }
  size_t BitCount() const { return count_; }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
  size_t count_ = 0;
};

struct Shape {
  bool leaf = false;
  uint32_t value = 0;
  std::unique_ptr<Shape> left, right;
};

inline std::unique_ptr<Shape> ParseShape(const std::string& text, size_t& at) {
  while (at < text.size() && text[at] == ' ') ++at;
  auto node = std::make_unique<Shape>();
  if (at < text.size() && text[at] == '(') {
    ++at;
    node->left = ParseShape(text, at);
    node->right = ParseShape(text, at);
    while (at < text.size() && text[at] == ' ') ++at;
    if (at >= text.size() || text[at] != ')') throw std::invalid_argument("shape: ')' expected");
    ++at;
    return node;
  }
  // Read in place: copying the rest of a long shape for every leaf made parsing quadratic.
  const char* start = text.c_str() + at;
  char* end = nullptr;
  const unsigned long value = std::strtoul(start, &end, 0);
  if (end == start) throw std::invalid_argument("shape: value expected");
  node->leaf = true;
  node->value = static_cast<uint32_t>(value);
  at += static_cast<size_t>(end - start);
  return node;
}

inline std::unique_ptr<Shape> ParseShape(const std::string& text) {
  size_t at = 0;
  return ParseShape(text, at);
}

// The code of a leaf value as "0"/"1" text, root branch first; throws when absent.
inline bool FindCode(const Shape& node, uint32_t value, std::string& path) {
  if (node.leaf) return node.value == value;
  path.push_back('0');
  if (FindCode(*node.left, value, path)) return true;
  path.back() = '1';
  if (FindCode(*node.right, value, path)) return true;
  path.pop_back();
  return false;
}

inline std::string CodeOf(const std::string& shape, uint32_t value) {
  std::string path;
  if (!FindCode(*ParseShape(shape), value, path)) throw std::invalid_argument("no such leaf");
  return path;
}

inline void CollectCodes(const Shape& node, std::string& path, std::vector<std::pair<uint32_t, std::string>>& codes) {
  if (node.leaf) {
    codes.emplace_back(node.value, path);
    return;
  }
  path.push_back('0');
  CollectCodes(*node.left, path, codes);
  path.back() = '1';
  CollectCodes(*node.right, path, codes);
  path.pop_back();
}

// Every leaf value with its code.
inline std::vector<std::pair<uint32_t, std::string>> AllCodes(const std::string& shape) {
  std::vector<std::pair<uint32_t, std::string>> codes;
  std::string path;
  CollectCodes(*ParseShape(shape), path, codes);
  return codes;
}

inline void PutCode(BitSink& sink, const std::string& shape, uint32_t value) {
  sink.Text(CodeOf(shape, value));
}

// Pre-order nodes and the closing bit; leaf values written by putValue.
template <class PutValue>
void PutNodes(BitSink& sink, const Shape& node, PutValue& putValue) {
  if (node.leaf) {
    sink.Bit(0);
    putValue(node.value);
    return;
  }
  sink.Bit(1);
  PutNodes(sink, *node.left, putValue);
  PutNodes(sink, *node.right, putValue);
}

// A byte tree: nodes with 8-bit leaf values, then the closing bit (no presence bit).
inline void PutByteTree(BitSink& sink, const std::string& shape) {
  auto putValue = [&](uint32_t value) { sink.Bits(value, 8); };
  PutNodes(sink, *ParseShape(shape), putValue);
  sink.Bit(0);
}

inline void CollectLeaves(const Shape& node, std::vector<uint32_t>& leaves) {
  if (node.leaf) {
    leaves.push_back(node.value);
    return;
  }
  CollectLeaves(*node.left, leaves);
  CollectLeaves(*node.right, leaves);
}

// A balanced shape over the given leaf values (in order).
inline std::string BalancedShape(const std::vector<uint32_t>& values, size_t begin, size_t end) {
  if (end - begin == 1) return std::to_string(values[begin]);
  size_t middle = begin + (end - begin) / 2;
  return "(" + BalancedShape(values, begin, middle) + " " + BalancedShape(values, middle, end) + ")";
}

inline std::string BalancedShape(const std::vector<uint32_t>& values) {
  return BalancedShape(values, 0, values.size());
}

// The byte tree that codes one byte of a word tree's leaf values: balanced over the distinct
// bytes that occur.
inline std::string ByteShapeFor(const std::vector<uint32_t>& values, int shift) {
  std::vector<bool> seen(256);
  for (uint32_t value : values) seen[value >> shift & 0xFF] = true;
  std::vector<uint32_t> bytes;
  for (uint32_t b = 0; b < 256; ++b) {
    if (seen[b]) bytes.push_back(b);
  }
  return BalancedShape(bytes);
}

// A present word tree: presence bit, low-byte and high-byte trees (each with a presence bit),
// three escape values, the nodes with their values coded through the byte trees, closing bit.
inline void PutWordTree(BitSink& sink, const std::string& shape, std::array<uint16_t, 3> escapes = {0xFFFD, 0xFFFE, 0xFFFF}) {
  auto tree = ParseShape(shape);
  std::vector<uint32_t> leaves;
  CollectLeaves(*tree, leaves);
  std::string lowShape = ByteShapeFor(leaves, 0);
  std::string highShape = ByteShapeFor(leaves, 8);
  sink.Bit(1);
  sink.Bit(1);
  PutByteTree(sink, lowShape);
  sink.Bit(1);
  PutByteTree(sink, highShape);
  for (uint16_t escape : escapes) sink.Bits(escape, 16);
  auto low = ParseShape(lowShape);
  auto high = ParseShape(highShape);
  auto putValue = [&](uint32_t value) {
    std::string path;
    FindCode(*low, value & 0xFF, path);
    sink.Text(path);
    path.clear();
    FindCode(*high, value >> 8, path);
    sink.Text(path);
  };
  PutNodes(sink, *tree, putValue);
  sink.Bit(0);
}

inline void PutAbsentTree(BitSink& sink) { sink.Bit(0); }

// The header size of a tree: 12 when absent, else 16 + 8 per inner node.
inline uint32_t TreeSize(const std::string& shape) {
  if (shape.empty()) return 12;
  std::vector<uint32_t> leaves;
  CollectLeaves(*ParseShape(shape), leaves);
  return 16 + 8 * static_cast<uint32_t>(leaves.size() - 1);
}

}  // namespace hand
