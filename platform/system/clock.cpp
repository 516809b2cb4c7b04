#include "platform/system/clock.h"

#include <chrono>
#include <thread>

namespace platform {
namespace {

class SteadyClock : public Clock {
 public:
  uint64_t Now() override {
    using namespace std::chrono;
    return static_cast<uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
  }

  void Sleep(uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

}  // namespace

Clock& SystemClock() {
  static SteadyClock clock;
  return clock;
}

uint64_t NowMilliseconds() { return SystemClock().Now(); }

void SleepMilliseconds(uint32_t ms) { SystemClock().Sleep(ms); }

}  // namespace platform
