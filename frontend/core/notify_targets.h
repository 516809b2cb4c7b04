#pragma once
// Who receives the reports of the tools the front end starts: the number after "/#" on their
// command lines. The main window is at the bottom; a window that wants the reports while it is
// open (the batch runner, the executable builder, the output-name and open dialogs) puts its
// own endpoint on top and takes it off when it closes.
#include <cstdint>
#include <vector>

namespace frontend {

class NotifyTargets {
 public:
  void SetMain(int32_t number) { main_ = number; }
  int32_t Main() const { return main_; }
  // The endpoint on top, the main window's when none is pushed.
  int32_t Current() const { return stack_.empty() ? main_ : stack_.back(); }

  void Push(int32_t number) { stack_.push_back(number); }
  // Takes off the topmost entry of that number, so a window that closes out of turn removes
  // only its own.
  void Remove(int32_t number);

 private:
  int32_t main_ = 0;
  std::vector<int32_t> stack_;
};

// Pushes an endpoint for its lifetime.
class ScopedNotifyTarget {
 public:
  ScopedNotifyTarget(NotifyTargets& targets, int32_t number) : targets_(targets), number_(number) {
    targets_.Push(number_);
  }
  ~ScopedNotifyTarget() { targets_.Remove(number_); }
  ScopedNotifyTarget(const ScopedNotifyTarget&) = delete;
  ScopedNotifyTarget& operator=(const ScopedNotifyTarget&) = delete;

 private:
  NotifyTargets& targets_;
  int32_t number_;
};

}  // namespace frontend
