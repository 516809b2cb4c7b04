#include "toolsupport/coding/huff_tree.h"

#include <algorithm>
#include <cassert>

namespace toolsupport {
namespace {

constexpr uint32_t kInnerBase = 65536;  // node references at or above this are inner nodes
constexpr uint32_t kEscapeMinimumHits = 32;

uint32_t SymbolCount(const HuffTree& tree) { return tree.eight_bit ? 256 : 65536; }

void Increment(uint32_t& value) {
  if (value != UINT32_MAX) ++value;
}

// The tree's shape: inner node j has children first[j] (branch 0) and second[j]
// (branch 1); references below kInnerBase are symbols.
struct Shape {
  std::vector<uint32_t> first;
  std::vector<uint32_t> second;
  uint32_t root = 0;
};

struct Leaf {
  uint64_t count;
  uint32_t symbol;
};

// Picks the three escape symbols: each the lowest value above the previous one
// that was never counted. An escape hit fewer than 32 times is not worth a code.
// False when no value is left free: an escape value that is also a symbol would
// make that symbol's leaf decode as the escape.
bool ChooseEscapes(HuffTree& tree, uint64_t escape_counts[3]) {
  uint32_t value = 0;
  for (int slot = 0; slot < 3; ++slot) {
    while (value < 65536 && tree.counts[value] != 0) ++value;
    if (value == 65536) return false;
    tree.escapes[slot] = value;
    escape_counts[slot] = tree.escape_hits[slot] >= kEscapeMinimumHits ? tree.escape_hits[slot] : 0;
    ++value;
  }
  return true;
}

std::vector<Leaf> CollectLeaves(const HuffTree& tree, const uint64_t escape_counts[3]) {
  std::vector<Leaf> leaves;
  for (uint32_t symbol = 0; symbol < SymbolCount(tree); ++symbol) {
    uint64_t count = tree.counts[symbol];
    if (count == 0 && !tree.eight_bit) {
      for (int slot = 0; slot < 3; ++slot) {
        if (symbol == tree.escapes[slot]) count = escape_counts[slot];
      }
    }
    if (count > 0) leaves.push_back({count, symbol});
  }
  return leaves;
}

// Huffman's merge with two queues: leaves by ascending count, and inner nodes,
// which are made in ascending count order. The smaller of each pair becomes the
// second child; on equal counts an inner node goes before a leaf.
void BuildShape(std::vector<Leaf> leaves, Shape& shape) {
  std::sort(leaves.begin(), leaves.end(), [](const Leaf& a, const Leaf& b) {
    return a.count != b.count ? a.count < b.count : a.symbol > b.symbol;
  });
  std::vector<uint64_t> inner_counts;
  size_t next_leaf = 0;
  size_t next_inner = 0;
  auto take = [&](uint64_t& count) {
    bool inner_first = next_inner < inner_counts.size() &&
                       (next_leaf == leaves.size() || inner_counts[next_inner] <= leaves[next_leaf].count);
    if (inner_first) {
      count = inner_counts[next_inner];
      return kInnerBase + static_cast<uint32_t>(next_inner++);
    }
    count = leaves[next_leaf].count;
    return leaves[next_leaf++].symbol;
  };
  size_t inner_total = leaves.size() - 1;
  shape.first.resize(inner_total);
  shape.second.resize(inner_total);
  inner_counts.reserve(inner_total);
  for (size_t j = 0; j < inner_total; ++j) {
    uint64_t second_count, first_count;
    shape.second[j] = take(second_count);
    shape.first[j] = take(first_count);
    inner_counts.push_back(first_count + second_count);
  }
  shape.root = inner_total == 0 ? leaves[0].symbol : kInnerBase + static_cast<uint32_t>(inner_total - 1);
}

// Gives every leaf its depth as length and its path, root branch in bit 0, as
// code. False when a code would be longer than kMaxCodeLength.
bool AssignCodes(HuffTree& tree, const Shape& shape) {
  struct Item {
    uint32_t node;
    uint32_t depth;
    uint32_t path;
  };
  std::vector<Item> stack{{shape.root, 0, 0}};
  while (!stack.empty()) {
    Item item = stack.back();
    stack.pop_back();
    if (item.node < kInnerBase) {
      tree.lengths[item.node] = static_cast<uint8_t>(item.depth);
      tree.codes[item.node] = item.path;
      continue;
    }
    if (item.depth + 1 > static_cast<uint32_t>(kMaxCodeLength)) return false;
    uint32_t j = item.node - kInnerBase;
    stack.push_back({shape.second[j], item.depth + 1, item.path | (1u << item.depth)});
    stack.push_back({shape.first[j], item.depth + 1, item.path});
  }
  return true;
}

// Computes the codes of a counted tree; for the 16-bit form also chooses the
// escapes. Writes nothing.
bool PlanCodes(HuffTree& tree, Shape& shape) {
  uint64_t escape_counts[3] = {};
  if (!tree.eight_bit && !ChooseEscapes(tree, escape_counts)) return false;
  std::vector<Leaf> leaves = CollectLeaves(tree, escape_counts);
  BuildShape(std::move(leaves), shape);
  return AssignCodes(tree, shape);
}

void WriteLeafValue(HuffTree& tree, uint32_t value) {
  if (tree.eight_bit) {
    tree.output->PutBits(value, 8);
  } else {
    TreeWriteSymbol(*tree.low_tree, value & 0xFF);
    TreeWriteSymbol(*tree.high_tree, value >> 8);
  }
}

// The nodes in pre-order (1 = inner node, then its first and second child;
// 0 = leaf, then its value) and the closing 0 bit.
void WriteNodes(HuffTree& tree, const Shape& shape) {
  BitOutput& out = *tree.output;
  std::vector<uint32_t> stack{shape.root};
  while (!stack.empty()) {
    uint32_t node = stack.back();
    stack.pop_back();
    if (node < kInnerBase) {
      out.PutBits(0, 1);
      WriteLeafValue(tree, node);
    } else {
      out.PutBits(1, 1);
      stack.push_back(shape.second[node - kInnerBase]);
      stack.push_back(shape.first[node - kInnerBase]);
    }
  }
  out.PutBits(0, 1);
}

void ClearCodes(HuffTree& tree) {
  std::fill(tree.codes.begin(), tree.codes.end(), 0u);
  std::fill(tree.lengths.begin(), tree.lengths.end(), kNoCode);
  std::fill(std::begin(tree.recent), std::end(tree.recent), 0u);
  tree.symbols_written = tree.bits_written = 0;
  tree.failed = false;
}

int DecoderSize(const Shape& shape) {
  return shape.first.empty() ? kSingleLeafTreeSize : 16 + 8 * static_cast<int>(shape.first.size());
}

}  // namespace

void TreeInit(HuffTree& tree, BitOutput* output, bool eight_bit) {
  tree.output = output;
  tree.eight_bit = eight_bit;
  uint32_t size = eight_bit ? 256 : 65536;
  tree.counts.assign(size, 0);
  tree.codes.assign(size, 0);
  tree.lengths.assign(size, kNoCode);
  if (eight_bit) {
    tree.low_tree.reset();
    tree.high_tree.reset();
  } else {
    tree.low_tree = std::make_unique<HuffTree>();
    tree.high_tree = std::make_unique<HuffTree>();
    TreeInit(*tree.low_tree, output, true);
    TreeInit(*tree.high_tree, output, true);
  }
  TreeResetCounts(tree);
  tree.symbols_written = tree.bits_written = 0;
  tree.failed = false;
}

HuffTree* TreeCreate(BitOutput* output, bool eight_bit) {
  auto* tree = new HuffTree;
  TreeInit(*tree, output, eight_bit);
  return tree;
}

void TreeFree(HuffTree& tree) {
  tree.counts = {};
  tree.codes = {};
  tree.lengths = {};
  tree.low_tree.reset();
  tree.high_tree.reset();
}

void TreeDelete(HuffTree* tree) { delete tree; }

void TreeResetCounts(HuffTree& tree) {
  std::fill(tree.counts.begin(), tree.counts.end(), 0u);
  std::fill(std::begin(tree.recent), std::end(tree.recent), 0u);
  std::fill(std::begin(tree.escape_hits), std::end(tree.escape_hits), 0u);
  std::fill(std::begin(tree.escapes), std::end(tree.escapes), 0u);
  tree.used = false;
}

void TreeResetRecent(HuffTree& tree) { std::fill(std::begin(tree.recent), std::end(tree.recent), 0u); }

void TreeCount(HuffTree& tree, uint32_t symbol) {
  assert(symbol < SymbolCount(tree));
  if (symbol >= SymbolCount(tree)) return;
  tree.used = true;
  if (tree.eight_bit) {
    Increment(tree.counts[symbol]);
    return;
  }
  // A repeat of a recent value counts for that slot's escape; the value itself
  // only needs to exist in the tree.
  for (int slot = 0; slot < 3; ++slot) {
    if (symbol != tree.recent[slot]) continue;
    Increment(tree.escape_hits[slot]);
    if (tree.counts[symbol] == 0) tree.counts[symbol] = 1;
    if (slot > 0) {
      tree.recent[2] = tree.recent[1];
      tree.recent[1] = tree.recent[0];
      tree.recent[0] = symbol;
    }
    return;
  }
  tree.recent[2] = tree.recent[1];
  tree.recent[1] = tree.recent[0];
  tree.recent[0] = symbol;
  Increment(tree.counts[symbol]);
}

int TreeBuild(HuffTree& tree) {
  ClearCodes(tree);
  BitOutput& out = *tree.output;
  if (!tree.used) {
    out.PutBits(0, 1);
    return kAbsentTreeSize;
  }
  Shape shape;
  if (!PlanCodes(tree, shape)) {
    ClearCodes(tree);
    tree.failed = true;
    return -1;
  }
  Shape low_shape, high_shape;
  if (!tree.eight_bit) {
    // The leaf values are described through their bytes: each byte weighs once for every
    // symbol of the tree that holds it, so the bytes most leaves share get the shortest codes.
    HuffTree& low = *tree.low_tree;
    HuffTree& high = *tree.high_tree;
    TreeResetCounts(low);
    TreeResetCounts(high);
    ClearCodes(low);
    ClearCodes(high);
    for (uint32_t value = 0; value < 65536; ++value) {
      if (tree.lengths[value] == kNoCode) continue;
      TreeCount(low, value & 0xFF);
      TreeCount(high, value >> 8);
    }
    if (!PlanCodes(low, low_shape) || !PlanCodes(high, high_shape)) {
      ClearCodes(tree);
      tree.failed = true;
      return -1;
    }
  }
  out.PutBits(1, 1);
  if (!tree.eight_bit) {
    out.PutBits(1, 1);
    WriteNodes(*tree.low_tree, low_shape);
    out.PutBits(1, 1);
    WriteNodes(*tree.high_tree, high_shape);
    for (uint32_t escape : tree.escapes) out.PutBits(escape, 16);
  }
  WriteNodes(tree, shape);
  tree.symbols_written = tree.bits_written = 0;
  return DecoderSize(shape);
}

bool TreeWriteSymbol(HuffTree& tree, uint32_t symbol) {
  if (symbol >= SymbolCount(tree) || tree.lengths[symbol] == kNoCode) return false;
  uint32_t code = tree.codes[symbol];
  uint8_t length = tree.lengths[symbol];
  if (!tree.eight_bit) {
    for (int slot = 0; slot < 3; ++slot) {
      if (symbol == tree.escapes[slot]) return false;  // an escape, never a value to write
    }
    for (int slot = 0; slot < 3; ++slot) {
      uint32_t escape = tree.escapes[slot];
      if (symbol == tree.recent[slot] && tree.lengths[escape] < length) {
        code = tree.codes[escape];
        length = tree.lengths[escape];
        break;
      }
    }
    if (symbol != tree.recent[0]) {
      tree.recent[2] = tree.recent[1];
      tree.recent[1] = tree.recent[0];
      tree.recent[0] = symbol;
    }
  }
  if (length > 0) tree.output->PutBits(code, length);
  tree.symbols_written += tree.eight_bit ? 1 : 2;
  tree.bits_written += length;
  return true;
}

}  // namespace toolsupport
