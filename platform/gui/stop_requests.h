#pragma once
// The program's stop request (SIGINT, SIGTERM, SIGHUP; platform/system/stop_signals.h) as the Qt
// side sees it: a descriptor that turns readable when the request arrives. A dialog that waits
// for an answer ends then, and no later one waits, so nothing holds up a program that is to end.
#include <optional>

class QDialog;

namespace platform {

// The descriptor to watch instead of the program's own, for faces that hold a copy of the
// signal handling of their own (the faces module).
void WatchStopRequests(int descriptor);

// True once the stop request arrived.
bool StopRequested();

// Runs the dialog modally and gives its result; nothing when a stop request came before it or
// ended it.
std::optional<int> ExecUnlessStopped(QDialog& dialog);

// For a program that runs QApplication::exec: a stop request ends every running event loop, and
// exec returns 1. Needs the application object.
void QuitOnStopRequest();

}  // namespace platform
