#pragma once
// Raises a nesting counter while it lives (a fill or a change in progress).

namespace frontend {

class ScopedIncrement {
 public:
  explicit ScopedIncrement(int& depth) : depth_(depth) { ++depth_; }
  ~ScopedIncrement() { --depth_; }
  ScopedIncrement(const ScopedIncrement&) = delete;
  ScopedIncrement& operator=(const ScopedIncrement&) = delete;

 private:
  int& depth_;
};

}  // namespace frontend
