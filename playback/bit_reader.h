#pragma once
// Reader of the coded bit streams of a video file (tree descriptions, video chunks, audio
// chunks): bits are taken least significant first from the bytes in file order.
//
// The reader never touches a byte past the end it was given. Bits past the end read as zeros,
// and Overrun() tells afterwards whether any of them was consumed, so that a caller can treat
// a stream that runs out as damaged (tree descriptions) or simply go on (frame data).
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

static_assert(std::endian::native == std::endian::little, "the bit reader loads little-endian words");

class BitReader {
 public:
  BitReader(const uint8_t* data, size_t size) : next_(data), end_(data + size) {}

  // The next n bits (n <= 32) as a value, first bit in bit 0, without consuming them.
  uint32_t PeekBits(int n) {
    if (count_ < n) Refill();
    return static_cast<uint32_t>(bits_ & ((uint64_t{1} << n) - 1));
  }

  // Consumes n bits; n must not exceed what the last PeekBits asked for.
  void SkipBits(int n) {
    bits_ >>= n;
    count_ -= n;
  }

  uint32_t ReadBits(int n) {
    uint32_t value = PeekBits(n);
    SkipBits(n);
    return value;
  }

  uint32_t ReadBit() {
    if (count_ == 0) Refill();
    uint32_t bit = static_cast<uint32_t>(bits_ & 1);
    bits_ >>= 1;
    --count_;
    return bit;
  }

  // True once a bit beyond the end of the data has been consumed.
  bool Overrun() const { return static_cast<uint64_t>(count_) < paddingBits_; }

  // Tops the buffer up to at least kHeldAfterRefill bits; callable with any number held.
  void Refill() {
    if (end_ - next_ >= 8) {
      uint64_t word;
      std::memcpy(&word, next_, 8);
      bits_ |= word << count_;
      next_ += (63 - count_) >> 3;  // whole bytes taken; the rest is read again next time
      count_ |= 56;
      return;
    }
    while (count_ <= 56) {
      if (next_ < end_) {
        bits_ |= uint64_t{*next_++} << count_;
      } else {
        paddingBits_ += 8;  // a zero byte past the end
      }
      count_ += 8;
    }
  }
  static constexpr int kHeldAfterRefill = 56;

  // The next n bits without a refill: the caller has made sure that at least n are held.
  uint32_t PeekHeld(int n) const { return static_cast<uint32_t>(bits_ & ((uint64_t{1} << n) - 1)); }

 private:
  const uint8_t* next_;
  const uint8_t* end_;
  uint64_t bits_ = 0;          // buffered bits, the next one in bit 0
  int count_ = 0;              // number of buffered bits
  uint64_t paddingBits_ = 0;   // zero bits appended past the end (the top of the buffer)
};
