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

// The exit code of a program whose work ended with `exitCode`: after a stop signal 1, and
// "Stopped by a signal." on standard error, so that whoever started it learns why.
int ExitCodeAfterStopSignals(int exitCode);

// A descriptor that becomes readable when the first signal arrives and stays so until
// RemoveStopSignals (taking the request leaves it readable: the program is stopping), so that an
// event loop can wake up for it. Made on the first call; -1 when no descriptor can be had.
int StopSignalDescriptor();

}  // namespace platform
