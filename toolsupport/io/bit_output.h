#pragma once
// A bit stream packed least significant bit first: bit k of the stream is bit
// (k mod 8) of byte k / 8, and a value of n bits goes out low bit first. The
// packing lives here once; a BufferedFile and a memory buffer are both outputs.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace toolsupport {

class BitOutput {
 public:
  virtual ~BitOutput() = default;

  // Appends whole bytes to the destination, ignoring pending bits; returns how
  // many were taken.
  virtual size_t WriteRaw(const void* source, size_t count) = 0;

  // Appends bytes to the bit stream: with bits pending, each byte is shifted in
  // after them. Returns the bytes taken.
  size_t Write(const void* source, size_t count);

  // Appends the low `count` bits of value. A count is taken modulo 32 with 32
  // meaning 32 (33 is 1); 0 writes nothing.
  void PutBits(uint32_t value, unsigned count);

  // Completes a partial byte with zero bits.
  virtual void AlignBits();

  // 0 to 7 bits already placed in partial_byte.
  uint8_t pending_count = 0;
  uint8_t partial_byte = 0;
};

// A bit stream collected in memory, e.g. a frame's coded data or a tree
// description written before its final place is known.
class MemoryBitOutput : public BitOutput {
 public:
  size_t WriteRaw(const void* source, size_t count) override;

  // The completed bytes; a partial byte joins them only after AlignBits.
  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  // Every bit put so far, the pending ones included.
  uint64_t BitCount() const { return uint64_t{bytes_.size()} * 8 + pending_count; }
  // Empties the stream, pending bits included.
  void Clear();

 private:
  std::vector<uint8_t> bytes_;
};

}  // namespace toolsupport
