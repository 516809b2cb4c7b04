#include "frontend/pages/sound_command.h"

#include <optional>

#include "frontend/core/text_format.h"
#include "frontend/pages/page_switches.h"

namespace frontend {
namespace {

bool RateTyped(const SoundSettings& settings) { return settings.rate == kTypedSoundRate; }

std::string RateText(const SoundSettings& settings, const SoundRun& run) {
  switch (settings.rate) {
    case 1: return "11025";
    case 2: return "22050";
    case 3: return "44100";
    default: return RateTyped(settings) ? TrimBlanks(run.typedRate) : "";
  }
}

}  // namespace

std::string CheckSoundSettings(const SoundSettings& settings, const SoundRun& run) {
  if (!RateTyped(settings) || TrimBlanks(run.typedRate).empty()) return "";
  const std::optional<int32_t> rate = WholeNumber(run.typedRate, false);
  if (!rate || *rate <= 0) return "Error, the sound rate must be a whole number above 0.";
  return "";
}

std::string BuildSoundCommand(const SoundSettings& s, const SoundRun& run) {
  const bool rawInput = s.inputType > 0;
  std::string switches = FlagSwitch('O', s.overwrite);
  switches += TextSwitch('R', true, RateText(s, run));
  if (s.quality == 1 || s.quality == 2) switches += NumSwitch('B', true, s.quality == 1 ? 8 : 16);
  if (s.channels == 1 || s.channels == 2) switches += NumSwitch('C', true, s.channels);
  switches += TextSwitch('T', s.track, s.trackNum);
  switches += TextSwitch('S', s.start, s.startNum);
  switches += TextSwitch('E', s.end, s.endNum);
  switches += NumSwitch('Y', rawInput, s.inputType);
  switches += TextSwitch('D', rawInput, s.forceRate);
  switches += TextSwitch('K', rawInput, s.skipBytes);
  return "AudPrW " + run.inputAndOutput + " " + switches;
}

void ResetSoundOptions(SoundSettings& s) {
  s = DefaultsKeepingFiles(s);
  s.filter = 0;  // the page's defaults list every kind of sound input again
}

}  // namespace frontend
