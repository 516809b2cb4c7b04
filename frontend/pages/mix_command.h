#pragma once
// The Mixer page's command for the mixer, built from the page's settings record and the names
// chosen, so that every command text can be checked without a window.
#include <string>

#include "frontend/core/settings.h"

namespace frontend {

// What "Mi&x" adds to the settings: full names (the output as typed) and where the mixer runs.
struct MixRun {
  std::string video;
  std::string sound;  // a file, a list file or a numbered series
  std::string output;
  std::string videoDirectory;
};

// Why the mixer would refuse or misread a value, or "" when every value is fine.
std::string CheckMixSettings(const MixSettings& settings);

// "VantMix " + video, sound and output (quoted, without the video's directory where they lie
// in it) + " " + the switches joined without blanks.
std::string BuildMixCommand(const MixSettings& settings, const MixRun& run);

// The Defaults button: lossless, "Track 1", the input's own type, rate, bits and channels; the
// rest stays.
void ResetMixOptions(MixSettings& settings);

}  // namespace frontend
