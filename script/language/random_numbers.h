#pragma once
// The random generator of RANDOM and RANDOMIZE: 15-bit results that repeat after the same seed.
#include <cstdint>

namespace script {

class RandomNumbers {
 public:
  void Seed(uint32_t seed) { state_ = seed; }
  // 0 to 32767.
  int32_t Next();
  // From 0 to n inclusive: a result of Next() scaled by (n + 1) / 32767 and capped at n,
  // computed in 64 bits.
  int32_t Below(int32_t n);

 private:
  uint32_t state_ = 1;
};

}  // namespace script
