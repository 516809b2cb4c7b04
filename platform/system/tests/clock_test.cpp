#include "platform/system/clock.h"

#include <gtest/gtest.h>

namespace {

TEST(Clock, RealClockNeverGoesBackAndSleepAdvancesIt) {
  uint64_t before = platform::NowMilliseconds();
  platform::SleepMilliseconds(20);
  uint64_t after = platform::NowMilliseconds();
  EXPECT_GE(after, before + 19);
}

TEST(Clock, InjectedClockServesNowAndSleepUntilRestored) {
  uint64_t fake = (uint64_t{1} << 32) + 5;  // past the 32-bit fold
  platform::SetClockForTesting([&] { return fake; }, [&](uint32_t ms) { fake += ms; });
  EXPECT_EQ(platform::NowMilliseconds(), (uint64_t{1} << 32) + 5);
  platform::SleepMilliseconds(7);
  EXPECT_EQ(platform::NowMilliseconds(), (uint64_t{1} << 32) + 12);
  platform::SetClockForTesting({}, {});
  EXPECT_LT(platform::NowMilliseconds(), uint64_t{1} << 62);
}

}  // namespace
