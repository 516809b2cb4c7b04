#pragma once
// The integer arithmetic of COMPUTE, COMPUTEABS and COMPUTESQRT on 32-bit values.
#include <cstdint>

namespace script {

// + - * / % | & ^
bool IsComputeOperator(char op);

// Sums, differences and products wrap at 32 bits; quotients truncate toward zero and
// remainders take the dividend's sign; a divisor of 0 gives 0; -2147483648 / -1 gives
// -2147483648 and its remainder 0. An operator that is none of the above gives 0.
int32_t ComputeTwoOperands(int32_t a, char op, int32_t b);

// The magnitude; -2147483648 stays as it is.
int32_t AbsoluteValue(int32_t n);

// The square root by halving from 65535, rounded up when the last sum was odd (15 gives 4,
// 8 gives 3).
uint32_t IntegerSqrt(uint32_t n);

}  // namespace script
