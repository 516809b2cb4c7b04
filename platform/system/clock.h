#pragma once
// The millisecond clock of the toolkit: monotonic, 64-bit, so it never folds.
#include <cstdint>
#include <functional>

namespace platform {

// Milliseconds since an arbitrary start, never decreasing.
uint64_t NowMilliseconds();

// Sleeps the calling thread; used by waits that poll the clock.
void SleepMilliseconds(uint32_t ms);

// Tests replace the clock (and the sleep, which then advances nothing by itself).
// Passing empty functions restores the real ones.
void SetClockForTesting(std::function<uint64_t()> now, std::function<void(uint32_t)> sleep);

}  // namespace platform
