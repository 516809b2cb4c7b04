#pragma once
// The millisecond clock of the toolkit: monotonic, 64-bit, so it never folds.
#include <cstdint>

namespace platform {

// What measures and waits for time. Modules that do either are given a clock, so that tests can
// give them one they move by hand.
class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since an arbitrary start, never decreasing.
  virtual uint64_t Now() = 0;
  // Sleeps the calling thread; used by waits that poll the clock.
  virtual void Sleep(uint32_t ms) = 0;
};

// The system's steady clock, for the whole process.
Clock& SystemClock();

// The system clock's calls, for code that is given no clock.
uint64_t NowMilliseconds();
void SleepMilliseconds(uint32_t ms);

}  // namespace platform
