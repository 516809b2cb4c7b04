#pragma once
// Knowing when a started program ends, though it is not our child (programs are started
// detached): the descriptor becomes readable once the program has ended, so an event loop can
// watch it without waiting.
namespace platform {

// Asks the system each time. An ended program stays a zombie until whoever adopted it reaps it
// (in a container that may be never), and a zombie still answers kill(pid, 0): it counts as
// ended.
bool ProgramHasEnded(int processId);

class ProcessExitWatch {
 public:
  explicit ProcessExitWatch(int processId);
  ~ProcessExitWatch();
  ProcessExitWatch(const ProcessExitWatch&) = delete;
  ProcessExitWatch& operator=(const ProcessExitWatch&) = delete;

  // -1 when the program cannot be watched this way (then Ended() asks each time).
  int fd() const { return fd_; }
  bool Ended() const;

 private:
  int processId_;
  int fd_ = -1;
  bool endedAtStart_ = false;
};

}  // namespace platform
