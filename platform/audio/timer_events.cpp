#include "platform/audio/timer_events.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

struct Event {
  Clock::time_point due;
  std::chrono::milliseconds period;
  bool periodic = false;
  TimerEvents::Callback callback;
};

// One thread runs every event in the order they fall due. The callbacks run without the lock, so
// that they may set and kill events themselves.
class TimerThread final : public TimerEvents {
 public:
  uint32_t SetEvent(uint32_t delayMs, Callback callback, bool periodic) override {
    if (!callback) return 0;
    auto event = std::make_shared<Event>();
    event->period = std::chrono::milliseconds(delayMs == 0 ? 1 : delayMs);
    event->due = Clock::now() + event->period;
    event->periodic = periodic;
    event->callback = std::move(callback);
    std::lock_guard lock(mutex_);
    if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
    // Ids go round 32 bits and skip 0; one still in use is never handed out twice.
    do {
      nextId_ = nextId_ == UINT32_MAX ? 1 : nextId_ + 1;
    } while (events_.count(nextId_) != 0);
    events_[nextId_] = std::move(event);
    wake_.notify_one();
    return nextId_;
  }

  void KillEvent(uint32_t id) override {
    std::lock_guard lock(mutex_);
    events_.erase(id);
  }

 private:
  void Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
      auto next = events_.end();
      for (auto it = events_.begin(); it != events_.end(); ++it) {
        if (next == events_.end() || it->second->due < next->second->due) next = it;
      }
      if (next == events_.end()) {
        wake_.wait(lock);
        continue;
      }
      const Clock::time_point due = next->second->due;
      if (Clock::now() < due) {
        wake_.wait_until(lock, due);
        continue;  // another event may have come first or this one been killed
      }
      const uint32_t id = next->first;
      std::shared_ptr<Event> event = next->second;
      if (event->periodic) {
        // A thread that fell far behind goes on from now instead of firing a burst.
        event->due += event->period;
        if (event->due < Clock::now()) event->due = Clock::now() + event->period;
      } else {
        events_.erase(next);
      }
      lock.unlock();
      event->callback(id);
      lock.lock();
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  std::map<uint32_t, std::shared_ptr<Event>> events_;
  uint32_t nextId_ = 0;
  std::thread thread_;
};

}  // namespace

TimerEvents& SystemTimerEvents() {
  // Never destroyed: a callback may still be due while the process ends.
  static TimerThread* timers = new TimerThread;
  return *timers;
}

}  // namespace platform
