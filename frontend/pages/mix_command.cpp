#include "frontend/pages/mix_command.h"

#include "frontend/core/launcher.h"
#include "frontend/core/text_format.h"
#include "frontend/pages/number_options.h"
#include "frontend/pages/page_switches.h"
#include "frontend/pages/page_widgets.h"

namespace frontend {
namespace {

using Option = NumberOption<MixSettings>;

const Option kFrameRate = {'F', &MixSettings::frameRate, &MixSettings::frameRateNum, true, "frame rate"};
const Option kStartFrame = {'G', &MixSettings::start, &MixSettings::startNum, false, "frame to begin mixing at"};
const Option kInputNumbers[] = {
    {'T', &MixSettings::inputTrack, &MixSettings::inputTrackNum, false, "track to convert"},
    {'S', &MixSettings::inputStart, &MixSettings::inputStartNum, false, "starting time"},
    {'E', &MixSettings::inputEnd, &MixSettings::inputEndNum, false, "ending time"},
};
// Only for raw input (an input type above 0).
const Option kRawNumbers[] = {
    {'D', nullptr, &MixSettings::forceRate, false, "forced input data rate"},
    {'K', nullptr, &MixSettings::skipIntoNum, false, "number of bytes to skip"},
};

constexpr int kInputTypeCount = 6;

bool RawInput(const MixSettings& s) { return s.format > 0 && s.format < kInputTypeCount; }

}  // namespace

std::string CheckMixSettings(const MixSettings& s) {
  if (TrimBlanks(s.outputName).empty()) return "Error, you must enter an output file name.";
  std::string problem = CheckSoundRate(s.rate, s.rateText);
  for (const Option* option : {&kFrameRate, &kStartFrame}) {
    if (problem.empty()) problem = CheckNumberOption(s, *option);
  }
  for (const Option& option : kInputNumbers) {
    if (problem.empty()) problem = CheckNumberOption(s, option);
  }
  if (!RawInput(s)) return problem;
  for (const Option& option : kRawNumbers) {
    if (problem.empty()) problem = CheckNumberOption(s, option);
  }
  return problem;
}

std::string BuildMixCommand(const MixSettings& s, const MixRun& run) {
  std::string switches;
  if (s.lossy != 0) switches += NumSwitch('L', true, s.lossy);
  if (s.track >= 2 && s.track <= 7) switches += NumSwitch('M', true, s.track);
  switches += NumberOptionSwitch(s, kFrameRate);
  switches += NumberOptionSwitch(s, kStartFrame);
  switches += FlagSwitch('P', s.loop);
  switches += FlagSwitch('O', s.overwrite);
  switches += TextSwitch('R', true, SoundRateText(s.rate, s.rateText));
  if (s.quality == 1 || s.quality == 2) switches += NumSwitch('B', true, s.quality == 1 ? 8 : 16);
  if (s.channels == 1 || s.channels == 2) switches += NumSwitch('C', true, s.channels);
  for (const Option& option : kInputNumbers) switches += NumberOptionSwitch(s, option);
  if (RawInput(s)) {
    switches += NumSwitch('Y', true, s.format);
    for (const Option& option : kRawNumbers) switches += NumberOptionSwitch(s, option);
  }
  return "VantMix " + QuoteRelativeName(run.video, run.videoDirectory) + " " +
         QuoteRelativeName(run.sound, run.videoDirectory) + " " +
         QuoteRelativeName(run.output, run.videoDirectory) + " " + switches;
}

void ResetMixOptions(MixSettings& s) {
  const MixSettings defaults;
  s.lossy = defaults.lossy;
  s.track = defaults.track;
  s.format = defaults.format;
  s.forceRate = defaults.forceRate;
  s.skipIntoNum = defaults.skipIntoNum;
  s.rate = defaults.rate;
  s.rateText = defaults.rateText;
  s.quality = defaults.quality;
  s.channels = defaults.channels;
}

}  // namespace frontend
