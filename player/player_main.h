#pragma once
// The player program: plays the videos named on its command line, one after another, in the
// playback window, and reports to the front end when it was started by one.
#include <functional>
#include <string>

#include "playback/vant.h"

// The program entry: builds the command text from the arguments, reads the report switch "/#",
// plays, then reports. Returns the exit code.
int PlayerWinMain(int argc, const char* const* argv);

// Plays the list of the command text (switches and names). With `packageBox` an information box
// about the player ends the run. Returns the exit code: 0, or 1 after the usage box or when a
// video or its display buffer could not be opened.
int PlayerMain(std::string commandText, bool packageBox = true);

// The text the player reports to the front end.
std::string PlayerReportText();

// Runs after every frame is shown, before the wait for the next one (tests).
void SetPlayerFrameHook(std::function<void(VantVideo&)> hook);
