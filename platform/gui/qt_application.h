#pragma once
// The Qt application object that the dialogs and the status window need.

namespace platform {

// Makes the process's application object when there is none yet and windows can be made;
// false when they cannot (no display).
bool MakeGuiApplication();

}  // namespace platform
