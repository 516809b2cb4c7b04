#pragma once
// a * b / c (and its remainder) for 64-bit values whose product may not fit in 64 bits: sizes
// and positions scaled by rates.
#include <cstdint>

namespace platform {

inline uint64_t MulDiv(uint64_t a, uint64_t b, uint64_t c) {
  return static_cast<uint64_t>(static_cast<unsigned __int128>(a) * b / c);
}
inline uint64_t MulMod(uint64_t a, uint64_t b, uint64_t c) {
  return static_cast<uint64_t>(static_cast<unsigned __int128>(a) * b % c);
}

}  // namespace platform
