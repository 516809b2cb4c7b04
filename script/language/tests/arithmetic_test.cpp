// COMPUTE and its arithmetic, the square root and the random numbers.
#include <gtest/gtest.h>

#include <climits>

#include "script/language/arithmetic.h"
#include "script/language/random_numbers.h"
#include "script/tests/script_runner.h"

namespace {

TEST(ScriptArithmetic, TwoOperands) {
  struct Case {
    int32_t a;
    char op;
    int32_t b;
    int32_t result;
  };
  const std::vector<Case> cases = {
      {7, '+', 2, 9},          {7, '-', 2, 5},           {7, '*', 2, 14},
      {7, '/', 2, 3},          {-7, '/', 2, -3},         {-7, '%', 2, -1},
      {7, '%', -2, 1},         {7, '/', 0, 0},           {7, '%', 0, 0},
      {INT32_MAX, '+', 1, INT32_MIN}, {INT32_MIN, '-', 1, INT32_MAX}, {65536, '*', 65536, 0},
      {INT32_MIN, '/', -1, INT32_MIN}, {INT32_MIN, '%', -1, 0}, {6, '|', 1, 7},
      {6, '&', 3, 2},          {6, '^', 3, 5},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(script::ComputeTwoOperands(c.a, c.op, c.b), c.result) << c.a << c.op << c.b;
  }
  EXPECT_EQ(script::AbsoluteValue(-5), 5);
  EXPECT_EQ(script::AbsoluteValue(INT32_MIN), INT32_MIN);
}

TEST(ScriptArithmetic, IntegerSquareRoot) {
  const std::vector<std::pair<uint32_t, uint32_t>> cases = {
      {0, 0}, {1, 1}, {2, 2}, {4, 2}, {8, 3}, {10, 3}, {15, 4}, {16, 4}, {100, 10},
      {4294967295u, 65536},
  };
  for (const auto& [n, root] : cases) EXPECT_EQ(script::IntegerSqrt(n), root) << n;
}

TEST(ScriptArithmetic, RandomNumbersStayInRangeAndRepeatAfterTheSameSeed) {
  script::RandomNumbers random;
  random.Seed(99);
  std::vector<int32_t> first;
  bool sawZero = false, sawTop = false;
  for (int i = 0; i < 2000; ++i) {
    const int32_t value = random.Below(3);
    ASSERT_GE(value, 0);
    ASSERT_LE(value, 3);
    sawZero = sawZero || value == 0;
    sawTop = sawTop || value == 3;
    first.push_back(value);
  }
  EXPECT_TRUE(sawZero && sawTop);
  random.Seed(99);
  for (int32_t value : first) ASSERT_EQ(random.Below(3), value);
  for (int i = 0; i < 100; ++i) {
    ASSERT_EQ(random.Below(0), 0);
    const int32_t large = random.Below(INT32_MAX);
    ASSERT_GE(large, 0);
  }
}

TEST(ScriptArithmetic, ComputeCommandsInScripts) {
  ScriptRunner runner;
  const ScriptRun run = runner.Run(
      "compute a 7 / 0\ncompute b 7 % 0\ncompute c = 7 -2\ncompute d 7 - 2\ncompute e 7 + -2\n"
      "varset op \"*\"\ncompute f = 6 op 7\ncompute g 2147483647 + 1\ncomputeabs h -9\n"
      "computesqrt i 10\ncomputesqrt j -1\nrandomize 5\nrandom k 0\nrandom l 1\n"
      "compute m = -2147483648 / -1\n");
  ASSERT_EQ(run.exitCode, 0) << run.LastBox();
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"A", "0"}, {"B", "0"}, {"C", "5"}, {"D", "5"}, {"E", "5"}, {"F", "42"},
      {"G", "-2147483648"}, {"H", "9"}, {"I", "3"}, {"J", "65536"}, {"K", "0"},
      {"M", "-2147483648"},
  };
  for (const auto& [name, value] : expected) EXPECT_EQ(run.Variable(name), value) << name;
  EXPECT_TRUE(run.Variable("L") == "0" || run.Variable("L") == "1");
}

}  // namespace
