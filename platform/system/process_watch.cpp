#include "platform/system/process_watch.h"

#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <string>

namespace platform {
namespace {

bool IsZombie(int processId) {
  std::ifstream stat("/proc/" + std::to_string(processId) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return false;
  const size_t nameEnd = line.rfind(')');  // the name may hold blanks and parentheses
  return nameEnd != std::string::npos && nameEnd + 2 < line.size() && line[nameEnd + 2] == 'Z';
}

}  // namespace

bool ProgramHasEnded(int processId) {
  if (processId <= 0) return true;
  return (kill(processId, 0) != 0 && errno == ESRCH) || IsZombie(processId);
}

ProcessExitWatch::ProcessExitWatch(int processId) : processId_(processId) {
  if (processId <= 0) {
    endedAtStart_ = true;
    return;
  }
  const long fd = syscall(SYS_pidfd_open, processId, 0);
  if (fd >= 0) {
    fd_ = static_cast<int>(fd);
  } else if (errno == ESRCH) {
    endedAtStart_ = true;  // gone before we looked
  }
}

ProcessExitWatch::~ProcessExitWatch() {
  if (fd_ >= 0) close(fd_);
}

bool ProcessExitWatch::Ended() const {
  if (endedAtStart_) return true;
  if (fd_ >= 0) {
    pollfd watched{fd_, POLLIN, 0};
    return poll(&watched, 1, 0) > 0;
  }
  return ProgramHasEnded(processId_);
}

}  // namespace platform
