#pragma once
// The one Qt application object of a process, made on first use by whatever needs windows.

namespace platform {

// Creates the application object when the process has none yet. Every window of the toolkit
// lives on the thread that called this first.
void EnsureGuiApplication();

// Delivers every window event that is waiting (input, paints, posted requests) and returns.
void ProcessWindowEvents();

}  // namespace platform
