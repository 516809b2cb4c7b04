#pragma once
// Huffman trees built per use from counted symbols. A tree writes its own
// description into the bit stream, then the codes of the symbols, all least
// significant bit first. The 8-bit form codes bytes; the 16-bit form codes
// 16-bit values, describes its leaf values through a low-byte and a high-byte
// 8-bit tree, and offers three escape symbols that stand for the three most
// recent values.
//
// Use: TreeInit; per coded unit TreeResetCounts, TreeCount for every symbol in
// the order they will be written, TreeBuild, then TreeWriteSymbol for the same
// symbols in the same order.
#include <cstdint>
#include <memory>
#include <vector>

#include "toolsupport/io/bit_output.h"

namespace toolsupport {

// Decoder sizes that TreeBuild returns (and the video header stores).
inline constexpr int kAbsentTreeSize = 12;
inline constexpr int kSingleLeafTreeSize = 20;
// Code lengths beyond this make TreeBuild fail.
inline constexpr int kMaxCodeLength = 30;
// Marks a symbol without a code (also an escape that is never to be written).
inline constexpr uint8_t kNoCode = 255;

struct HuffTree {
  uint32_t symbols_written = 0;  // 1 (8-bit) or 2 (16-bit) per symbol written
  uint32_t bits_written = 0;     // sum of the code lengths written
  BitOutput* output = nullptr;
  std::unique_ptr<HuffTree> low_tree;   // 16-bit form only
  std::unique_ptr<HuffTree> high_tree;  // 16-bit form only
  uint32_t recent[3] = {};              // slot 0 newest
  uint32_t escape_hits[3] = {};         // per recent-value slot, while counting
  uint32_t escapes[3] = {};             // each slot's escape symbol, after TreeBuild
  std::vector<uint32_t> counts;
  std::vector<uint32_t> codes;    // bit-reversed paths, ready for PutBits
  std::vector<uint8_t> lengths;   // code lengths; kNoCode where there is none
  bool used = false;
  bool failed = false;
  bool eight_bit = true;
};

void TreeInit(HuffTree& tree, BitOutput* output, bool eight_bit);
// A tree on the heap; TreeDelete frees it.
HuffTree* TreeCreate(BitOutput* output, bool eight_bit);
void TreeFree(HuffTree& tree);
void TreeDelete(HuffTree* tree);  // accepts null

void TreeResetCounts(HuffTree& tree);
// Forgets the recent values; writer and counter call it at the same points.
void TreeResetRecent(HuffTree& tree);
void TreeCount(HuffTree& tree, uint32_t symbol);

// Builds the codes and writes the description. Returns the decoder size: 12 for a
// tree without symbols, 20 for a single symbol, else 16 + 8 per inner node; or
// -1 (writing nothing) when a code would exceed 30 bits or a 16-bit tree has no
// free value left for an escape symbol.
int TreeBuild(HuffTree& tree);

// Writes the symbol's code, or a shorter escape code when the symbol is one of
// the recent values. False (nothing written) for a symbol that has no code.
bool TreeWriteSymbol(HuffTree& tree, uint32_t symbol);

}  // namespace toolsupport
