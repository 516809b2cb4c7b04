#include "platform/system/clock.h"

#include <gtest/gtest.h>

#include "platform/system/tests/fake_clock.h"

namespace {

TEST(Clock, RealClockNeverGoesBackAndSleepAdvancesIt) {
  uint64_t before = platform::NowMilliseconds();
  platform::SleepMilliseconds(20);
  uint64_t after = platform::NowMilliseconds();
  EXPECT_GE(after, before + 19);
}

// What tests give the modules: sleeping moves it, past the 32-bit fold, and the system clock
// runs on untouched.
TEST(Clock, AGivenClockServesNowAndSleepWhileTheSystemClockRunsOn) {
  FakeClock fake((uint64_t{1} << 32) + 5);
  platform::Clock& clock = fake;
  EXPECT_EQ(clock.Now(), (uint64_t{1} << 32) + 5);
  const uint64_t before = platform::NowMilliseconds();
  clock.Sleep(60000);
  EXPECT_EQ(clock.Now(), (uint64_t{1} << 32) + 60005);
  EXPECT_LT(platform::NowMilliseconds() - before, 30000u);  // nobody slept a minute
  EXPECT_LT(platform::NowMilliseconds(), uint64_t{1} << 62);
}

}  // namespace
