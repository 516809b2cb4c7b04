#pragma once
// The frame decoder's way to a symbol: one table look-up for most codes, a small subtable or
// two for the rest, and a walk bit by bit from a node only for codes past what tables cover.
//
// A tree's tables start with a first table of 2^k entries (k = kTableBits), entry i standing
// for the codes that begin with the k bits of i; subtables follow. Each entry is a byte of
// codeBits and a word of codeValues. The byte holds in bits 0-5 the bits the code takes (so
// far) and in bits 6-7 its kind, which says what the word is:
// - kTableLeaf: the symbol as stored in the file;
// - kTableEscape: the escape leaf's number: the symbol is that recent value;
// - kTableSubtable: the code goes on; its next s bits (s in bits 26-31) index the subtable that
//   starts at entry bits 0-25;
// - kTableDeep: the code goes on bit by bit from that node.
// The bytes alone decide where the next code starts, so that they are all the look-up of one
// code waits for; they stay in the first level cache even where the words do not.
//
// Symbols and recent values are the stored values. Decoded colours may differ from them only
// by the trees' colour map, which the frame decoder applies to the pixels it writes; comparing
// stored values keeps the recent values exactly as the writer kept them.
#include <array>
#include <cstdint>

#include "playback/bit_reader.h"
#include "playback/tree_tables.h"

constexpr uint8_t kTableLeaf = 0 << 6, kTableEscape = 1 << 6, kTableSubtable = 2 << 6, kTableDeep = 3 << 6;
constexpr uint8_t kTableKind = 3 << 6;
constexpr uint8_t kTableFurther = 2 << 6;  // a subtable or a walk: the code is not finished
constexpr uint8_t kTableCodeBits = 63;
// Bits of each tree's first table.
constexpr std::array<int, kVideoTreeCount> kTableBits = {11, 10, 14, 8};
// A subtable has at most 16 entries.
constexpr int kSubtableBits = 4;
constexpr uint32_t kSubtableOffsetMask = (uint32_t{1} << 26) - 1;
// Codes are found in the tables up to this length, so that two of them fit in what a refill
// holds; longer ones go on bit by bit.
constexpr int kMaxTableCodeBits = BitReader::kHeldAfterRefill / 2;

// Fills tree.codeBits and tree.codeValues with a first table of k bits.
void BuildDecodingTable(VideoTree& tree, int k);

// A tree's tables and recent values while a frame is decoded, held where the compiler can keep
// them in registers.
struct TableDecoder {
  const uint8_t* codeBits;
  const uint32_t* codeValues;
  const TreeNode* nodes;
  std::array<uint32_t, 3> escapeNodes;
  uint32_t recent0 = 0, recent1 = 0, recent2 = 0;  // stored values; every frame starts at 0
  // Codes decoded with Counted, and how many of them the first table did not finish.
  uint64_t codes = 0, further = 0;

  explicit TableDecoder(const VideoTree& tree)
      : codeBits(tree.codeBits.data()),
        codeValues(tree.codeValues.data()),
        nodes(tree.nodes.data()),
        escapeNodes(tree.escape) {}

  // Decodes one symbol, K being the tree's first table bits, and returns its stored value. At
  // least kMaxTableCodeBits bits must be held; a longer code refills as it goes.
  //
  // Leaves and escape leaves of the first table take one path without branches: noisy pictures
  // code pixel pairs that repeat the recent ones about as often as any other, so a branch on
  // either would be mispredicted much of the time.
  template <int K, bool Counted = false>
  [[gnu::always_inline]] uint32_t Decode(BitReader& bits) {
    const uint32_t index = bits.PeekHeld(K);
    uint8_t found = codeBits[index];
    uint32_t value = codeValues[index];
    if constexpr (Counted) {
      ++codes;
      further += (found & kTableFurther) != 0;
    }
    if (found & kTableFurther) [[unlikely]] {
      Resolve(bits, found, value);
    } else {
      bits.SkipBits(found & kTableCodeBits);
    }
    // An escape leaf's word is the number of the recent value it stands for. Every choice here
    // is a coin toss to the branch predictor: conditional moves instead.
    const uint32_t recent = Either(value == 1, recent1, Either(value == 2, recent2, recent0));
    value = Either((found & kTableEscape) != 0, recent, value);
    const bool changed = value != recent0;
    recent2 = Either(changed, recent1, recent2);
    recent1 = Either(changed, recent0, recent1);
    recent0 = value;
    return value;
  }

 private:
  // `yes` when the condition holds, else `no`, by a conditional move: the compiler turns the
  // plain choice into a branch whatever it is told of the odds.
  static uint32_t Either(bool condition, uint32_t yes, uint32_t no) {
#if defined(__x86_64__)
    asm("test %[condition], %[condition]\n\tcmovnz %[yes], %[no]"
        : [no] "+r"(no)
        : [condition] "r"(condition), [yes] "r"(yes)
        : "cc");
    return no;
#else
    return condition ? yes : no;
#endif
  }

  // A code that goes on past the first table: through subtables, then bit by bit past them.
  // Consumes the code and leaves the leaf's or escape leaf's entry in found and value.
  [[gnu::always_inline]] void Resolve(BitReader& bits, uint8_t& found, uint32_t& value) const {
    uint32_t index = 0;
    while ((found & kTableKind) == kTableSubtable) {
      const int used = found & kTableCodeBits, subBits = static_cast<int>(value >> 26);
      index = (value & kSubtableOffsetMask) + (bits.PeekHeld(used + subBits) >> used);
      found = codeBits[index];
      value = codeValues[index];
    }
    bits.SkipBits(found & kTableCodeBits);
    if ((found & kTableKind) != kTableDeep) return;
    uint32_t node = value;
    while (nodes[node].right != 0) node += bits.ReadBit() ? nodes[node].right : 1;
    bits.Refill();  // the walk may have left fewer bits than the next symbol needs
    found = kTableLeaf;
    value = nodes[node].entry & 0xFFFF;
    for (uint32_t i = 0; i < 3; ++i) {
      if (node == escapeNodes[i]) found = kTableEscape, value = i;
    }
  }
};
