#pragma once
// The Sound Processor page's command for the sound processor, built from the page's settings
// record alone so that every command text can be checked without a window.
#include <string>

#include "frontend/core/settings.h"

namespace frontend {

// The rate list's entry that turns it into a field for a typed rate.
inline constexpr int kTypedSoundRate = 4;

// What the "&Convert" button adds to the settings.
struct SoundRun {
  std::string inputAndOutput;  // the quoted input, a blank and the quoted output
  std::string typedRate;       // the rate field's text while the rate list is a field
};

// Why the sound processor would misread a value, or "" when every value is fine.
std::string CheckSoundSettings(const SoundSettings& settings, const SoundRun& run);

// "AudPrW " + input and output + " " + the switches, joined without blanks.
std::string BuildSoundCommand(const SoundSettings& settings, const SoundRun& run);

// The Defaults button: every list at its first entry, every box off, every field and the
// output name empty; the file list's state and the page shown stay.
void ResetSoundOptions(SoundSettings& settings);

}  // namespace frontend
