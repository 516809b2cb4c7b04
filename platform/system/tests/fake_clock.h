#pragma once
// A millisecond clock that tests move by hand; sleeping moves it by the time slept.
#include <cstdint>

#include "platform/system/clock.h"

class FakeClock : public platform::Clock {
 public:
  explicit FakeClock(uint64_t start = 1000) : now_(start) {}
  FakeClock(const FakeClock&) = delete;
  FakeClock& operator=(const FakeClock&) = delete;

  uint64_t Now() override { return now_; }
  void Sleep(uint32_t ms) override { now_ += ms; }
  void Advance(uint64_t ms) { now_ += ms; }
  void Set(uint64_t ms) { now_ = ms; }

 private:
  uint64_t now_;
};
