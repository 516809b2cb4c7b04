// Kernel versions and available memory from the texts the system gives.
#include <gtest/gtest.h>

#include "platform/system/system_info.h"

namespace {

TEST(SystemInfo, VersionAndMemoryFromTheSystemsTexts) {
  struct Version {
    const char* release;
    int major, minor;
  };
  for (const Version& v : {Version{"6.1.0-18-amd64", 6, 1}, Version{"5.15", 5, 15}, Version{"4", 4, 0},
                           Version{"", 0, 0}, Version{"x.1", 0, 0}, Version{"99999999999.3", 0, 3}}) {
    const platform::SystemVersion parsed = platform::ParseReleaseVersion(v.release);
    EXPECT_EQ(parsed.major, v.major) << v.release;
    EXPECT_EQ(parsed.minor, v.minor) << v.release;
  }
  EXPECT_EQ(platform::ParseAvailableMemory("MemTotal: 10 kB\nMemFree:  3 kB\nMemAvailable:   8388608 kB\n"),
            uint64_t{1} << 33);
  EXPECT_EQ(platform::ParseAvailableMemory("MemTotal: 10 kB\n"), std::nullopt);
  EXPECT_EQ(platform::ParseAvailableMemory("MemAvailable: lots\n"), std::nullopt);
  EXPECT_EQ(platform::ParseAvailableMemory("MemAvailable: 99999999999999999999 kB\n"), std::nullopt);
  EXPECT_GT(platform::AvailableMemoryBytes(), 0u);
}

}  // namespace
