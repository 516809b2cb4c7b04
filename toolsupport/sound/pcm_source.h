#pragma once
// What the sound track encoder needs of a sound input: PCM bytes already in the
// output format (8-bit unsigned or 16-bit signed little-endian samples, stereo
// frames left then right), the output size, an end flag and a rewind. The sound
// inputs (WAV, lists, AVI sound, video tracks, raw PCM) implement it.
#include <cstddef>
#include <cstdint>

#include "toolsupport/base/status.h"

namespace toolsupport {

struct PcmFormat {
  uint32_t rate = 0;
  uint32_t bits = 8;      // 8 or 16
  uint32_t channels = 1;  // 1 or 2
  uint32_t FrameBytes() const { return bits / 8 * channels; }
  uint64_t BytesPerSecond() const { return uint64_t{rate} * FrameBytes(); }
  bool Valid() const { return rate > 0 && (bits == 8 || bits == 16) && (channels == 1 || channels == 2); }
};

class PcmSource {
 public:
  virtual ~PcmSource() = default;
  virtual PcmFormat OutputFormat() const = 0;
  // All the sound the source gives from its start to its end, in output bytes.
  virtual uint64_t OutputSize() const = 0;
  // Delivers up to count bytes (whole sample frames); fewer only at the end.
  virtual size_t ReadConverted(void* buffer, size_t count) = 0;
  virtual bool AtEnd() const = 0;
  // Back to the start; false when the source cannot go back.
  virtual bool Rewind() = 0;
  // Why the reads gave less than the source holds; success when nothing went wrong.
  virtual Status ReadStatus() const { return {}; }
};

}  // namespace toolsupport
