#pragma once
// Timer events in the manner of a multimedia timer: a periodic or one-shot callback, run on a
// timer thread of its own, known by a nonzero id until it is killed (a one-shot event is
// forgotten once it has run). The sound stream service refills its buffers and marks played
// blocks through these.
#include <cstdint>
#include <functional>

namespace platform {

class TimerEvents {
 public:
  using Callback = std::function<void(uint32_t id)>;

  virtual ~TimerEvents() = default;

  // Runs `callback` after `delayMs` (at least 1 ms), then every `delayMs` when `periodic`.
  // Returns the event's id, 0 when it could not be set.
  virtual uint32_t SetEvent(uint32_t delayMs, Callback callback, bool periodic) = 0;

  // The event does not start again once this returns; a run of it that is under way on the
  // timer thread finishes (a callback may kill its own event). Unknown ids are ignored.
  virtual void KillEvent(uint32_t id) = 0;
};

// The process's timer thread, started with the first event. It lives as long as the process.
TimerEvents& SystemTimerEvents();

}  // namespace platform
