#include "toolsupport/coding/huff_tree.h"

#include <algorithm>
#include <cassert>

namespace toolsupport {

// The tree's shape: inner node j has children first[j] (branch 0) and second[j]
// (branch 1); references below kInnerBase are symbols.
struct HuffTree::Shape {
  std::vector<uint32_t> first;
  std::vector<uint32_t> second;
  uint32_t root = 0;
};

namespace {

constexpr uint32_t kInnerBase = 65536;  // node references at or above this are inner nodes
constexpr uint32_t kEscapeMinimumHits = 32;

void Increment(uint32_t& value) {
  if (value != UINT32_MAX) ++value;
}

struct Leaf {
  uint64_t count;
  uint32_t symbol;
};

// The counted symbols, with the escapes of a 16-bit tree weighing what their slots were hit.
std::vector<Leaf> CollectLeaves(const std::vector<uint32_t>& counts, bool eightBit,
                                const std::array<uint32_t, 3>& escapes, const uint64_t escapeCounts[3]) {
  std::vector<Leaf> leaves;
  for (uint32_t symbol = 0; symbol < counts.size(); ++symbol) {
    uint64_t count = counts[symbol];
    if (count == 0 && !eightBit) {
      for (int slot = 0; slot < 3; ++slot) {
        if (symbol == escapes[slot]) count = escapeCounts[slot];
      }
    }
    if (count > 0) leaves.push_back({count, symbol});
  }
  return leaves;
}

// Huffman's merge with two queues: leaves by ascending count, and inner nodes,
// which are made in ascending count order. The smaller of each pair becomes the
// second child; on equal counts an inner node goes before a leaf.
void BuildShape(std::vector<Leaf> leaves, HuffTree::Shape& shape) {
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

int DecoderSize(const HuffTree::Shape& shape) {
  return shape.first.empty() ? kSingleLeafTreeSize : 16 + 8 * static_cast<int>(shape.first.size());
}

}  // namespace

HuffTree::HuffTree(BitOutput* output, bool eightBit) : output_(output), eight_bit_(eightBit) {
  const uint32_t size = SymbolCount();
  counts_.assign(size, 0);
  codes_.assign(size, 0);
  lengths_.assign(size, kNoCode);
  if (!eightBit) {
    low_tree_ = std::make_unique<HuffTree>(output, true);
    high_tree_ = std::make_unique<HuffTree>(output, true);
  }
}

void HuffTree::SetOutput(BitOutput* output) {
  output_ = output;
  if (low_tree_) low_tree_->SetOutput(output);
  if (high_tree_) high_tree_->SetOutput(output);
}

void HuffTree::ResetCounts() {
  std::fill(counts_.begin(), counts_.end(), 0u);
  recent_.fill(0);
  escape_hits_.fill(0);
  escapes_.fill(0);
  used_ = false;
}

void HuffTree::ResetRecent() { recent_.fill(0); }

void HuffTree::Count(uint32_t symbol) {
  assert(symbol < SymbolCount());
  if (symbol >= SymbolCount()) return;
  used_ = true;
  if (eight_bit_) {
    Increment(counts_[symbol]);
    return;
  }
  // A repeat of a recent value counts for that slot's escape; the value itself
  // only needs to exist in the tree.
  for (int slot = 0; slot < 3; ++slot) {
    if (symbol != recent_[slot]) continue;
    Increment(escape_hits_[slot]);
    if (counts_[symbol] == 0) counts_[symbol] = 1;
    if (slot > 0) {
      recent_[2] = recent_[1];
      recent_[1] = recent_[0];
      recent_[0] = symbol;
    }
    return;
  }
  recent_[2] = recent_[1];
  recent_[1] = recent_[0];
  recent_[0] = symbol;
  Increment(counts_[symbol]);
}

// Picks the three escape symbols: each the lowest value above the previous one
// that was never counted. An escape hit fewer than 32 times is not worth a code.
// False when no value is left free: an escape value that is also a symbol would
// make that symbol's leaf decode as the escape.
bool HuffTree::ChooseEscapes(uint64_t escapeCounts[3]) {
  uint32_t value = 0;
  for (int slot = 0; slot < 3; ++slot) {
    while (value < 65536 && counts_[value] != 0) ++value;
    if (value == 65536) return false;
    escapes_[slot] = value;
    escapeCounts[slot] = escape_hits_[slot] >= kEscapeMinimumHits ? escape_hits_[slot] : 0;
    ++value;
  }
  return true;
}

// Gives every leaf its depth as length and its path, root branch in bit 0, as
// code. False when a code would be longer than kMaxCodeLength.
bool HuffTree::AssignCodes(const Shape& shape) {
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
      lengths_[item.node] = static_cast<uint8_t>(item.depth);
      codes_[item.node] = item.path;
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
bool HuffTree::PlanCodes(Shape& shape) {
  uint64_t escapeCounts[3] = {};
  if (!eight_bit_ && !ChooseEscapes(escapeCounts)) return false;
  BuildShape(CollectLeaves(counts_, eight_bit_, escapes_, escapeCounts), shape);
  return AssignCodes(shape);
}

void HuffTree::WriteLeafValue(uint32_t value) {
  if (eight_bit_) {
    output_->PutBits(value, 8);
  } else {
    low_tree_->WriteSymbol(value & 0xFF);
    high_tree_->WriteSymbol(value >> 8);
  }
}

// The nodes in pre-order (1 = inner node, then its first and second child;
// 0 = leaf, then its value) and the closing 0 bit.
void HuffTree::WriteNodes(const Shape& shape) {
  BitOutput& out = *output_;
  std::vector<uint32_t> stack{shape.root};
  while (!stack.empty()) {
    uint32_t node = stack.back();
    stack.pop_back();
    if (node < kInnerBase) {
      out.PutBits(0, 1);
      WriteLeafValue(node);
    } else {
      out.PutBits(1, 1);
      stack.push_back(shape.second[node - kInnerBase]);
      stack.push_back(shape.first[node - kInnerBase]);
    }
  }
  out.PutBits(0, 1);
}

void HuffTree::ClearCodes() {
  std::fill(codes_.begin(), codes_.end(), 0u);
  std::fill(lengths_.begin(), lengths_.end(), kNoCode);
  recent_.fill(0);
  symbols_written_ = bits_written_ = 0;
  failed_ = false;
}

int HuffTree::Build() {
  ClearCodes();
  BitOutput& out = *output_;
  if (!used_) {
    out.PutBits(0, 1);
    return kAbsentTreeSize;
  }
  Shape shape;
  if (!PlanCodes(shape)) {
    ClearCodes();
    failed_ = true;
    return -1;
  }
  Shape lowShape, highShape;
  if (!eight_bit_) {
    // The leaf values are described through their bytes: each byte weighs once for every
    // symbol of the tree that holds it, so the bytes most leaves share get the shortest codes.
    HuffTree& low = *low_tree_;
    HuffTree& high = *high_tree_;
    low.ResetCounts();
    high.ResetCounts();
    low.ClearCodes();
    high.ClearCodes();
    for (uint32_t value = 0; value < 65536; ++value) {
      if (lengths_[value] == kNoCode) continue;
      low.Count(value & 0xFF);
      high.Count(value >> 8);
    }
    if (!low.PlanCodes(lowShape) || !high.PlanCodes(highShape)) {
      ClearCodes();
      failed_ = true;
      return -1;
    }
  }
  out.PutBits(1, 1);
  if (!eight_bit_) {
    out.PutBits(1, 1);
    low_tree_->WriteNodes(lowShape);
    out.PutBits(1, 1);
    high_tree_->WriteNodes(highShape);
    for (uint32_t escape : escapes_) out.PutBits(escape, 16);
  }
  WriteNodes(shape);
  symbols_written_ = bits_written_ = 0;
  return DecoderSize(shape);
}

bool HuffTree::WriteSymbol(uint32_t symbol) {
  const int bits = Write(symbol, recent_, output_);
  if (bits < 0) return false;
  symbols_written_ += eight_bit_ ? 1 : 2;
  bits_written_ += static_cast<uint32_t>(bits);
  return true;
}

int HuffTree::WriteSymbolTo(uint32_t symbol, RecentValues& recent, BitOutput& out) const {
  return Write(symbol, recent, &out);
}

int HuffTree::Write(uint32_t symbol, RecentValues& recent, BitOutput* out) const {
  if (symbol >= SymbolCount() || lengths_[symbol] == kNoCode) return -1;
  uint32_t code = codes_[symbol];
  uint8_t length = lengths_[symbol];
  if (!eight_bit_) {
    for (int slot = 0; slot < 3; ++slot) {
      if (symbol == escapes_[slot]) return -1;  // an escape, never a value to write
    }
    for (int slot = 0; slot < 3; ++slot) {
      uint32_t escape = escapes_[slot];
      if (symbol == recent[slot] && lengths_[escape] < length) {
        code = codes_[escape];
        length = lengths_[escape];
        break;
      }
    }
    if (symbol != recent[0]) {
      recent[2] = recent[1];
      recent[1] = recent[0];
      recent[0] = symbol;
    }
  }
  if (length > 0) out->PutBits(code, length);
  return length;
}

}  // namespace toolsupport
