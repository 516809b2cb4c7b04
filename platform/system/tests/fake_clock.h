#pragma once
// A millisecond clock that tests move by hand; sleeping moves it by the time slept.
#include <cstdint>

#include "platform/system/clock.h"

class FakeClock {
 public:
  explicit FakeClock(uint64_t start = 1000) : now_(start) {
    platform::SetClockForTesting([this] { return now_; }, [this](uint32_t ms) { now_ += ms; });
  }
  ~FakeClock() { platform::SetClockForTesting({}, {}); }
  FakeClock(const FakeClock&) = delete;
  FakeClock& operator=(const FakeClock&) = delete;

  uint64_t Now() const { return now_; }
  void Advance(uint64_t ms) { now_ += ms; }
  void Set(uint64_t ms) { now_ = ms; }

 private:
  uint64_t now_;
};
