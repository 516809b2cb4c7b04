#pragma once
// The sound switches of the compressor, the mixer and the sound extractor; each tool reads the
// letters it knows.
#include <cstdint>
#include <string>
#include <string_view>

namespace toolsupport {

struct SoundSwitches {
  int32_t lossLevel = 0;    // /L  loss level of the track encoder (0 exact to 9)
  bool loop = false;        // /P  loop the sound
  int32_t rate = 0;         // /R  output rate; 0 keeps the source's
  int32_t channels = 0;     // /C  output channels (1, 2); 0 keeps
  int32_t bits = 0;         // /B  output bits (8, 16); 0 keeps
  int32_t start = 0;        // /S  milliseconds; for video inputs a negative number of frames
  int32_t end = 0;          // /E  milliseconds from the start of the input; negative: a frame
  int32_t track = 0;        // /T  track of a .vnt input (1-7, 0 the first with sound), or the
                            //     sound stream of an AVI input (0 the first)
  int32_t rawKind = 0;      // /Y  raw PCM input: 1 8-bit mono, 2 8-bit stereo, 3 16-bit mono,
                            //     4 16-bit stereo, 5 as 1; other values: not raw
  int32_t rawRate = 11025;  // /D  sample rate of a raw input
  int32_t skipBytes = 0;    // /K  bytes to skip at the start of a raw input

  bool IsRaw() const { return rawKind >= 1 && rawKind <= 5; }
};

// Takes the switches whose letters appear in `letters` (for example "LRCBSETYDK") off the
// command text into `switches`; the others keep their values.
void ParseSoundSwitches(std::string& commandText, std::string_view letters, SoundSwitches& switches);

// The raw format word of /Y and /D: 0 when not raw, else (Y - 1) + D * 8, so bit 0 is stereo,
// bit 1 16-bit and bits 3 and up the rate (a rate outside 0 to 0x1FFFFFFF counts as 0).
uint32_t RawFormatWord(const SoundSwitches& switches);

}  // namespace toolsupport
