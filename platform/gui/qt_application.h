#pragma once
// The Qt application object that the dialogs and the status window need.

namespace platform {

// Makes the process's application object when there is none yet and windows can be made;
// false when they cannot (no display). The object's event loops end on the program's stop
// request only in programs that ask for it (platform/gui/stop_requests.h).
bool MakeGuiApplication();

// Keeps Qt's notices that tell a user nothing off standard error (the runtime folder that Qt
// falls back to when XDG_RUNTIME_DIR is unset); every other message goes on as before. Called
// before the application object is made; calling again changes nothing.
void FilterQtMessages();

}  // namespace platform
