#pragma once
// Whether this run has a display, decided from the environment alone (Qt is not started).

namespace platform {

// Windows can be made: DISPLAY or WAYLAND_DISPLAY is set, or QT_QPA_PLATFORM names a platform.
// Without them the tools run their status window as a console face.
bool WindowsAvailable();

// A person can see and answer a dialog: windows are available on a real display, not on the
// offscreen or minimal platform that tests use.
bool PersonCanAnswer();

}  // namespace platform
