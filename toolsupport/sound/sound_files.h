#pragma once
// Where the sound of a WAV file or of an AVI file's sound stream lies: its PCM format and the
// pieces of the file that hold its bytes.
#include <cstdint>
#include <vector>

#include "toolsupport/sound/pcm_source.h"
#include "toolsupport/io/riff_reader.h"

namespace toolsupport {

struct FileSegment {
  uint64_t offset = 0;
  uint64_t size = 0;
};

struct FileSound {
  PcmFormat format;
  std::vector<FileSegment> segments;  // in playing order
  uint64_t bytes = 0;                 // their sum, in whole sample frames
  uint32_t framePeriod = 0;           // AVI: the video's frame period in 10 us units, 0 unknown
  bool cut = false;                   // a sound chunk claims more bytes than the file holds of it
  uint64_t announced = 0;             // when cut: the bytes the sound chunks claim
};

// The format of a PCM "fmt " chunk: tag 1, 1 or 2 channels, 8 or 16 bits, a rate above 0.
// False for anything else.
bool ReadPcmFormat(const RiffFile& file, const RiffChunk& chunk, PcmFormat& format);

// A RIFF "WAVE" file with a PCM "fmt " chunk and a "data" chunk. A "data" chunk that claims
// more than the file holds is cut to the file and marked cut, unless it claims the largest size
// (0xFFFFFFFF), which streaming writers leave for "up to the end". False when the file is no such
// WAV file.
bool ReadWavSound(const RiffFile& file, FileSound& sound);

enum class AviSoundResult {
  kFound,
  kNoSound,    // no RIFF "AVI " file, or no such sound stream
  kBadFormat,  // the stream's wave format cannot be read or is not PCM
};

// Sound stream `stream` (0 = the first sound stream of the file, 1 the second, ...) of an AVI
// file: its format and its "##wb" chunks in the order of the file, marked cut when one of them
// claims more than its list or the file holds.
AviSoundResult ReadAviSound(const RiffFile& file, int32_t stream, FileSound& sound);

}  // namespace toolsupport
