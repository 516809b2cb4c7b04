#pragma once
// Whether this run has a display, decided from the environment and the display's socket (Qt is
// not started).

namespace platform {

// Windows can be made: QT_QPA_PLATFORM names a platform, or DISPLAY or WAYLAND_DISPLAY names a
// display that answers (a local one is tried; the answer is kept while they stay the same).
// Without them the tools run their status window as a console face.
bool WindowsAvailable();

// A person can see and answer a dialog: windows are available on a real display, not on the
// offscreen or minimal platform that tests use.
bool PersonCanAnswer();

}  // namespace platform
