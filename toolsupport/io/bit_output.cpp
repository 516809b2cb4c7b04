#include "toolsupport/io/bit_output.h"

namespace toolsupport {

size_t BitOutput::Write(const void* source, size_t count) {
  if (pending_count == 0) return WriteRaw(source, count);
  // Each byte c leaves (c << pending) | partial; its high part becomes the next partial.
  const auto* in = static_cast<const uint8_t*>(source);
  uint8_t shifted[256];
  size_t taken = 0;
  while (taken < count) {
    size_t chunk = count - taken < sizeof shifted ? count - taken : sizeof shifted;
    for (size_t i = 0; i < chunk; ++i) {
      uint32_t w = (uint32_t{in[taken + i]} << pending_count) | partial_byte;
      shifted[i] = static_cast<uint8_t>(w);
      partial_byte = static_cast<uint8_t>(w >> 8);
    }
    size_t written = WriteRaw(shifted, chunk);
    taken += written;
    if (written < chunk) break;
  }
  return taken;
}

void BitOutput::PutBits(uint32_t value, unsigned count) {
  if (count == 0) return;
  count = (count - 1) % 32 + 1;
  unsigned whole = count / 8;
  if (whole > 0) {
    uint8_t bytes[4];
    for (unsigned i = 0; i < whole; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
    Write(bytes, whole);
    value = whole == 4 ? 0 : value >> (8 * whole);
  }
  unsigned rest = count % 8;
  if (rest == 0) return;
  uint32_t w = (pending_count ? partial_byte : 0u) | ((value & ((1u << rest) - 1)) << pending_count);
  pending_count = static_cast<uint8_t>(pending_count + rest);
  if (pending_count >= 8) {
    uint8_t full = static_cast<uint8_t>(w);
    WriteRaw(&full, 1);
    pending_count = static_cast<uint8_t>(pending_count - 8);
    partial_byte = static_cast<uint8_t>(w >> 8);
  } else {
    partial_byte = static_cast<uint8_t>(w);
  }
}

void BitOutput::AlignBits() {
  if (pending_count > 0) {
    uint8_t last = partial_byte;
    pending_count = 0;
    partial_byte = 0;
    WriteRaw(&last, 1);
  }
}

size_t MemoryBitOutput::WriteRaw(const void* source, size_t count) {
  const auto* in = static_cast<const uint8_t*>(source);
  bytes_.insert(bytes_.end(), in, in + count);
  return count;
}

void MemoryBitOutput::Clear() {
  bytes_.clear();
  pending_count = 0;
  partial_byte = 0;
}

}  // namespace toolsupport
