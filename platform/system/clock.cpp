#include "platform/system/clock.h"

#include <chrono>
#include <thread>

namespace platform {
namespace {

std::function<uint64_t()>& TestNow() {
  static std::function<uint64_t()> now;
  return now;
}

std::function<void(uint32_t)>& TestSleep() {
  static std::function<void(uint32_t)> sleep;
  return sleep;
}

}  // namespace

uint64_t NowMilliseconds() {
  if (TestNow()) return TestNow()();
  using namespace std::chrono;
  return static_cast<uint64_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void SleepMilliseconds(uint32_t ms) {
  if (TestSleep()) {
    TestSleep()(ms);
    return;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void SetClockForTesting(std::function<uint64_t()> now, std::function<void(uint32_t)> sleep) {
  TestNow() = std::move(now);
  TestSleep() = std::move(sleep);
}

}  // namespace platform
