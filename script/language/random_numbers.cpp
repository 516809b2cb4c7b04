#include "script/language/random_numbers.h"

#include <algorithm>

namespace script {

int32_t RandomNumbers::Next() {
  state_ = state_ * 1103515245u + 12345u;
  return static_cast<int32_t>((state_ >> 16) & 0x7FFF);
}

int32_t RandomNumbers::Below(int32_t n) {
  const int64_t scaled = int64_t{Next()} * (int64_t{n} + 1) / 32767;
  return static_cast<int32_t>(std::min<int64_t>(scaled, n));
}

}  // namespace script
