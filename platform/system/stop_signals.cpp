#include "platform/system/stop_signals.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

namespace platform {
namespace {

constexpr int kStopSignals[3] = {SIGINT, SIGTERM, SIGHUP};

volatile std::sig_atomic_t pending = 0;
// The pipe behind StopSignalDescriptor; both ends are set before a handler can run.
int wakeRead = -1;
volatile std::sig_atomic_t wakeWrite = -1;
bool installed = false;
void (*previous[3])(int) = {};

extern "C" void OnStopSignal(int signalNumber) {
  pending = 1;
  const int savedErrno = errno;
  if (wakeWrite >= 0) {
    const char byte = 1;
    if (write(wakeWrite, &byte, 1) < 0) {
      // A full pipe is readable already.
    }
  }
  errno = savedErrno;
  std::signal(signalNumber, SIG_DFL);  // a second one ends the process as usual
}

void DrainWakePipe() {
  char bytes[64];
  if (wakeRead < 0) return;
  while (read(wakeRead, bytes, sizeof bytes) > 0) {
  }
}

}  // namespace

int StopSignalDescriptor() {
  if (wakeRead < 0) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return -1;
    wakeRead = ends[0];
    wakeWrite = ends[1];
  }
  return wakeRead;
}

void InstallStopSignals() {
  if (installed) return;
  StopSignalDescriptor();
  for (int i = 0; i < 3; ++i) previous[i] = std::signal(kStopSignals[i], OnStopSignal);
  installed = true;
}

void RemoveStopSignals() {
  if (!installed) return;
  for (int i = 0; i < 3; ++i) std::signal(kStopSignals[i], previous[i]);
  installed = false;
  pending = 0;
  DrainWakePipe();
}

bool StopSignalPending() { return pending != 0; }

bool TakeStopSignal() {
  if (!pending) return false;
  pending = 0;
  return true;
}

int ExitCodeAfterStopSignals(int exitCode) {
  if (!StopSignalPending()) return exitCode;
  std::fputs("Stopped by a signal.\n", stderr);
  return 1;
}

}  // namespace platform
