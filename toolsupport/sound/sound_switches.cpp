#include "toolsupport/sound/sound_switches.h"

#include "toolsupport/base/switches.h"

namespace toolsupport {

void ParseSoundSwitches(std::string& commandText, std::string_view letters, SoundSwitches& s) {
  for (char letter : letters) {
    switch (letter) {
      case 'L': s.lossLevel = GetNumberSwitch(s.lossLevel, 'L', commandText); break;
      case 'P': s.loop = GetFlagSwitch('P', commandText) || s.loop; break;
      case 'R': s.rate = GetNumberSwitch(s.rate, 'R', commandText); break;
      case 'C': s.channels = GetNumberSwitch(s.channels, 'C', commandText); break;
      case 'B': s.bits = GetNumberSwitch(s.bits, 'B', commandText); break;
      case 'S': s.start = GetNumberSwitch(s.start, 'S', commandText); break;
      case 'E': s.end = GetNumberSwitch(s.end, 'E', commandText); break;
      case 'T': s.track = GetNumberSwitch(s.track, 'T', commandText); break;
      case 'Y': s.rawKind = GetNumberSwitch(s.rawKind, 'Y', commandText); break;
      case 'D': s.rawRate = GetNumberSwitch(s.rawRate, 'D', commandText); break;
      case 'K': s.skipBytes = GetNumberSwitch(s.skipBytes, 'K', commandText); break;
      default: break;
    }
  }
}

uint32_t RawFormatWord(const SoundSwitches& s) {
  if (!s.IsRaw()) return 0;
  const uint32_t rate = s.rawRate > 0 && s.rawRate <= 0x1FFFFFFF ? static_cast<uint32_t>(s.rawRate) : 0;
  return static_cast<uint32_t>(s.rawKind - 1) + rate * 8;
}

}  // namespace toolsupport
