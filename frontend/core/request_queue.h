#pragma once
// The requests that pages and handlers post for the main window's 20 ms timer: a small queue,
// one request carried out per tick, so that two requests of one tick (a report's refresh and a
// key's tab change) are both carried out.
#include <cstddef>
#include <deque>
#include <optional>

namespace frontend {

// Besides these, 0 to 7 select that tab.
inline constexpr int kRequestClose = 32;
inline constexpr int kRequestRefreshFiles = 64;
inline constexpr int kRequestHelp = 128;

class RequestQueue {
 public:
  // More would mean nobody takes them; the oldest then give way.
  static constexpr size_t kCapacity = 64;

  void Post(int request) {
    if (queue_.size() == kCapacity) queue_.pop_front();
    queue_.push_back(request);
  }
  std::optional<int> Take() {
    if (queue_.empty()) return std::nullopt;
    const int request = queue_.front();
    queue_.pop_front();
    return request;
  }
  bool empty() const { return queue_.empty(); }
  size_t size() const { return queue_.size(); }

 private:
  std::deque<int> queue_;
};

}  // namespace frontend
