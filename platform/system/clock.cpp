#include "platform/system/clock.h"

#include <chrono>
#include <thread>

namespace platform {
namespace {

class SteadyClock : public Clock {
 public:
  uint64_t Now() override {
    if (testNow) return testNow();
    using namespace std::chrono;
    return static_cast<uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
  }

  void Sleep(uint32_t ms) override {
    if (testSleep) {
      testSleep(ms);
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }

  std::function<uint64_t()> testNow;
  std::function<void(uint32_t)> testSleep;
};

SteadyClock& TheSteadyClock() {
  static SteadyClock clock;
  return clock;
}

}  // namespace

Clock& SystemClock() { return TheSteadyClock(); }

uint64_t NowMilliseconds() { return SystemClock().Now(); }

void SleepMilliseconds(uint32_t ms) { SystemClock().Sleep(ms); }

void SetClockForTesting(std::function<uint64_t()> now, std::function<void(uint32_t)> sleep) {
  TheSteadyClock().testNow = std::move(now);
  TheSteadyClock().testSleep = std::move(sleep);
}

}  // namespace platform
