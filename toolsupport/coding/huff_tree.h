#pragma once
// Huffman trees built per use from counted symbols. A tree writes its own
// description into the bit stream, then the codes of the symbols, all least
// significant bit first. The 8-bit form codes bytes; the 16-bit form codes
// 16-bit values, describes its leaf values through a low-byte and a high-byte
// 8-bit tree, and offers three escape symbols that stand for the three most
// recent values.
//
// Use: construct; per coded unit ResetCounts, Count every symbol in the order they will be
// written, Build, then WriteSymbol for the same symbols in the same order.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "toolsupport/io/bit_output.h"

namespace toolsupport {

// Decoder sizes that Build returns (and the video header stores).
inline constexpr int kAbsentTreeSize = 12;
inline constexpr int kSingleLeafTreeSize = 20;
// Code lengths beyond this make Build fail.
inline constexpr int kMaxCodeLength = 30;
// Marks a symbol without a code (also an escape that is never to be written).
inline constexpr uint8_t kNoCode = 255;

class HuffTree {
 public:
  // A tree of bytes (eightBit) or of 16-bit values, writing to `output` (which may be set later).
  HuffTree(BitOutput* output, bool eightBit);
  HuffTree(HuffTree&&) noexcept = default;
  HuffTree& operator=(HuffTree&&) noexcept = default;

  // Where the description and the codes go; for the 16-bit form also its byte trees' output.
  void SetOutput(BitOutput* output);
  BitOutput* Output() const { return output_; }

  void ResetCounts();
  // Forgets the recent values; writer and counter call it at the same points.
  void ResetRecent();
  void Count(uint32_t symbol);

  // Builds the codes and writes the description. Returns the decoder size: 12 for a tree
  // without symbols, 20 for a single symbol, else 16 + 8 per inner node; or -1 (writing
  // nothing) when a code would exceed 30 bits or a 16-bit tree has no free value left for an
  // escape symbol.
  int Build();

  // Writes the symbol's code, or a shorter escape code when the symbol is one of the recent
  // values. False (nothing written) for a symbol that has no code.
  bool WriteSymbol(uint32_t symbol);

  // The recent values of a unit being written: all zero at its start, as after ResetRecent.
  using RecentValues = std::array<uint32_t, 3>;
  // WriteSymbol for a writer of its own: the recent values and the output are the caller's and
  // the tree stays as it is, so that several threads can write units with one built tree. The
  // bits written, or -1 (nothing written) for a symbol that has no code.
  int WriteSymbolTo(uint32_t symbol, RecentValues& recent, BitOutput& out) const;

  // The code length of a symbol after Build; kNoCode where there is none.
  uint8_t CodeLength(uint32_t symbol) const { return lengths_[symbol]; }
  // Each recent-value slot's escape symbol, after Build (16-bit form).
  const std::array<uint32_t, 3>& Escapes() const { return escapes_; }
  uint32_t SymbolsWritten() const { return symbols_written_; }  // 1 (8-bit) or 2 (16-bit) each
  uint32_t BitsWritten() const { return bits_written_; }        // sum of the code lengths written
  bool Failed() const { return failed_; }                        // the last Build failed

  // The form of a built tree, known only to the builder.
  struct Shape;

 private:
  uint32_t SymbolCount() const { return eight_bit_ ? 256 : 65536; }
  bool ChooseEscapes(uint64_t escapeCounts[3]);
  bool AssignCodes(const Shape& shape);
  bool PlanCodes(Shape& shape);
  int Write(uint32_t symbol, RecentValues& recent, BitOutput* out) const;
  void WriteLeafValue(uint32_t value);
  void WriteNodes(const Shape& shape);
  void ClearCodes();

  uint32_t symbols_written_ = 0;
  uint32_t bits_written_ = 0;
  BitOutput* output_ = nullptr;
  std::unique_ptr<HuffTree> low_tree_;   // 16-bit form only
  std::unique_ptr<HuffTree> high_tree_;  // 16-bit form only
  RecentValues recent_{};                // slot 0 newest
  std::array<uint32_t, 3> escape_hits_{};  // per recent-value slot, while counting
  std::array<uint32_t, 3> escapes_{};      // each slot's escape symbol, after Build
  std::vector<uint32_t> counts_;
  std::vector<uint32_t> codes_;   // bit-reversed paths, ready for PutBits
  std::vector<uint8_t> lengths_;  // code lengths; kNoCode where there is none
  bool used_ = false;
  bool failed_ = false;
  bool eight_bit_ = true;
};

}  // namespace toolsupport
