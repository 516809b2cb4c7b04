#pragma once
// Waits for a condition that another thread or process makes true, checking it every
// millisecond. The deadline only guards against a hang: a working program meets the condition
// long before it, however loaded the machine.
#include <unistd.h>

#include <chrono>

namespace testsupport {

inline constexpr std::chrono::milliseconds kSafetyDeadline = std::chrono::minutes(1);

// True once condition() is; false when the deadline passed first.
template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds deadline = kSafetyDeadline) {
  const auto end = std::chrono::steady_clock::now() + deadline;
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    usleep(1000);
  }
}

}  // namespace testsupport
