#include "frontend/pages/play_command.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>

#include "frontend/core/launcher.h"
#include "frontend/pages/number_options.h"
#include "frontend/pages/page_switches.h"
#include "playback/video_file_format.h"

namespace frontend {
namespace {

using Option = NumberOption<PlaySettings>;

// "/L" and "/F" may go without their number: loop forever, play as fast as possible.
const Option kLoop = {'L', &PlaySettings::loop, &PlaySettings::loopNum, false, "loop count"};
const Option kFrameRate = {'F', &PlaySettings::frameRate, &PlaySettings::frameRateNum, true, "frame rate"};
const Option kPosition[] = {
    {'X', &PlaySettings::x, &PlaySettings::xNum, true, "X coordinate"},
    {'Y', &PlaySettings::y, &PlaySettings::yNum, true, "Y coordinate"},
    {'W', &PlaySettings::w, &PlaySettings::wNum, true, "width to stretch to"},
    {'H', &PlaySettings::h, &PlaySettings::hNum, true, "height to stretch to"},
};
const Option kMemory[] = {
    {'M', &PlaySettings::simulate, &PlaySettings::simulateNum, false, "simulated read speed"},
    {'E', &PlaySettings::extraMem, &PlaySettings::extraMemNum, false, "extra memory"},
};

struct Flag {
  char letter;
  bool PlaySettings::*on;
};
const Flag kCommonFlags[] = {{'P', &PlaySettings::preload}, {'S', &PlaySettings::showSummary},
                             {'N', &PlaySettings::noFrameDrop}};
const Flag kSoundFlags[] = {{'O', &PlaySettings::soundOnly}, {'B', &PlaySettings::doubleBuffer}};
const Flag kExpertFlags[] = {{'C', &PlaySettings::noClear},  {'R', &PlaySettings::noRemap},
                             {'G', &PlaySettings::loadExtra}, {'K', &PlaySettings::deltasOnly},
                             {'J', &PlaySettings::noPause},  {'Z', &PlaySettings::directSound},
                             {'Q', &PlaySettings::showFrames}};

std::string Flags(const PlaySettings& s, const Flag* begin, const Flag* end) {
  std::string text;
  for (const Flag* flag = begin; flag != end; ++flag) text += FlagSwitch(flag->letter, s.*flag->on);
  return text;
}

std::string IndexSwitch(char letter, int32_t index) { return index > 0 ? NumSwitch(letter, true, index) : ""; }

}  // namespace

std::string PlayerSwitches(const PlaySettings& s) {
  std::string text = OptionalTextSwitch('L', s.loop, s.loopNum) + OptionalTextSwitch('F', s.frameRate, s.frameRateNum);
  text += Flags(s, std::begin(kCommonFlags), std::end(kCommonFlags));
  for (const Option& option : kPosition) text += NumberOptionSwitch(s, option);
  text += Flags(s, std::begin(kSoundFlags), std::end(kSoundFlags));
  text += IndexSwitch('I', s.style);
  text += Flags(s, std::begin(kExpertFlags), std::end(kExpertFlags));
  text += IndexSwitch('V', s.display) + IndexSwitch('D', s.use);
  if (s.tracks != kAllTracks) text += NumSwitch('T', true, s.tracks);
  text += IndexSwitch('U', s.disabledControls) + IndexSwitch('A', s.yScale);
  for (const Option& option : kMemory) text += NumberOptionSwitch(s, option);
  return text;
}

std::string CheckPlaySettings(const PlaySettings& s) {
  std::string problem = CheckNumberOption(s, kLoop);
  if (problem.empty()) problem = CheckNumberOption(s, kFrameRate);
  for (const Option& option : kPosition) {
    if (problem.empty()) problem = CheckNumberOption(s, option);
  }
  for (const Option& option : kMemory) {
    if (problem.empty()) problem = CheckNumberOption(s, option);
  }
  return problem;
}

std::string BuildPlayCommand(const std::string& video, const std::string& directory, const std::string& switches) {
  return "VantPly " + QuoteRelativeName(video, directory) + " " + switches;
}

bool HasVideoMagic(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  char magic[4] = {};
  size_t got = 0;
  while (got < sizeof magic) {
    const ssize_t n = read(fd, magic + got, sizeof magic - got);
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  close(fd);
  return got == sizeof magic && std::memcmp(magic, vntfile::kMagic, sizeof magic) == 0;
}

void ResetPlayOptions(PlaySettings& s) {
  PlaySettings defaults;
  defaults.filename = s.filename;
  defaults.directory = s.directory;
  defaults.filter = s.filter;
  defaults.currentTab = s.currentTab;
  s = defaults;
}

}  // namespace frontend
