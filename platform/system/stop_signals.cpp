#include "platform/system/stop_signals.h"

#include <csignal>

namespace platform {
namespace {

constexpr int kStopSignals[3] = {SIGINT, SIGTERM, SIGHUP};

volatile std::sig_atomic_t pending = 0;
bool installed = false;
void (*previous[3])(int) = {};

extern "C" void OnStopSignal(int signalNumber) {
  pending = 1;
  std::signal(signalNumber, SIG_DFL);  // a second one ends the process as usual
}

}  // namespace

void InstallStopSignals() {
  if (installed) return;
  for (int i = 0; i < 3; ++i) previous[i] = std::signal(kStopSignals[i], OnStopSignal);
  installed = true;
}

void RemoveStopSignals() {
  if (!installed) return;
  for (int i = 0; i < 3; ++i) std::signal(kStopSignals[i], previous[i]);
  installed = false;
  pending = 0;
}

bool StopSignalPending() { return pending != 0; }

bool TakeStopSignal() {
  if (!pending) return false;
  pending = 0;
  return true;
}

}  // namespace platform
