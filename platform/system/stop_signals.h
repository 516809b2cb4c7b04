#pragma once
// SIGINT, SIGTERM and SIGHUP as a request to stop that a program polls between steps of its
// work, so that it can stop cleanly (partial output removed, exit code 1). The program is
// stopping from the first signal on, so a second one ends the process as usual.
namespace platform {

// Catches the three signals until RemoveStopSignals; installing twice changes nothing.
void InstallStopSignals();
// Puts the handlers back that were there before and forgets a pending request.
void RemoveStopSignals();

// True once a signal arrived; the request stays until it is taken.
bool StopSignalPending();
// Returns whether a signal arrived and clears the request.
bool TakeStopSignal();

}  // namespace platform
