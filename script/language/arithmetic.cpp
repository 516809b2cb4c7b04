#include "script/language/arithmetic.h"

#include <climits>
#include <string_view>

namespace script {

bool IsComputeOperator(char op) {
  return op != '\0' && std::string_view("+-*/%|&^").find(op) != std::string_view::npos;
}

int32_t ComputeTwoOperands(int32_t a, char op, int32_t b) {
  const auto ua = static_cast<uint32_t>(a), ub = static_cast<uint32_t>(b);
  switch (op) {
    case '+': return static_cast<int32_t>(ua + ub);
    case '-': return static_cast<int32_t>(ua - ub);
    case '*': return static_cast<int32_t>(ua * ub);
    case '/':
      if (b == 0) return 0;
      if (a == INT32_MIN && b == -1) return INT32_MIN;
      return a / b;
    case '%':
      if (b == 0 || b == -1) return 0;
      return a % b;
    case '|': return a | b;
    case '&': return a & b;
    case '^': return a ^ b;
    default: return 0;
  }
}

int32_t AbsoluteValue(int32_t n) {
  return n < 0 ? static_cast<int32_t>(0u - static_cast<uint32_t>(n)) : n;
}

uint32_t IntegerSqrt(uint32_t n) {
  if (n < 2) return n;
  uint64_t x = 65535;
  for (;;) {
    const uint64_t sum = n / x + x;
    const uint64_t next = sum / 2;
    if (next < x) {
      x = next;
      continue;
    }
    return static_cast<uint32_t>(next + (sum & 1));
  }
}

}  // namespace script
