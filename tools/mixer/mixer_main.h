#pragma once
// vantmiw: copies a .vnt file into a new one with one sound track put in or replaced.
#include <string>

namespace mixer {

inline constexpr const char* kMixerTitle = "VantMix";
inline constexpr const char* kMixerVersionLine = "Add sound data.  V 3.0k";

// Runs the whole program on a command text as BuildCommandText makes it. Returns the exit code:
// 0 when the output was completed, else 1 (and no output is left).
int MixerMain(std::string commandText);

// The usage box's text.
std::string MixerUsageText();

}  // namespace mixer
