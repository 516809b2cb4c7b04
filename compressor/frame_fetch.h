#pragma once
// Taking the encoder's frames from the picture input, for both passes.
#include <cstddef>
#include <cstdint>

#include "compressor/colour_distance.h"
#include "toolsupport/base/status.h"

namespace compressor {

// The picture input as the encoder sees it: 8-bit frames of one size with their palettes.
// The compressor puts its picture source behind it; tests use generated frames.
class EncoderInput {
 public:
  virtual ~EncoderInput() = default;
  // Reads the next frame; a stop when there is none or the user asked to stop, an error when
  // it could not be read.
  virtual toolsupport::Status NextFrame() = 0;
  // Goes back to before the first frame.
  virtual void Rewind() = 0;
  virtual const uint8_t* Pixels() const = 0;  // top-left pixel of the current frame
  virtual size_t Pitch() const = 0;           // bytes from one row to the next
  virtual size_t Rows() const = 0;            // rows each frame holds
  virtual const uint8_t* Palette() const = 0; // 256 x red, green, blue
  virtual uint64_t FrameDataSize() const = 0; // input bytes behind the current frame
};

// What one pass remembers between fetches.
struct FrameFetcher {
  EncoderInput* input = nullptr;
  bool everyOther = false;   // take input frames 2, 4, 6, ...
  bool firstOfPass = true;
  RgbPalette previousPalette{};  // all zero before the first frame of a pass
};

struct FetchResult {
  toolsupport::Status status;  // not ok: no frame
  bool firstOfPass = false;
  bool paletteChanged = false;  // differs from the previous frame's (all zero at first)
};

// Starts a pass: rewinds the input when asked, and forgets the previous palette.
void BeginPass(FrameFetcher& fetcher, bool rewind);

// Fetches the next frame to encode; the ring frame rewinds the input first.
FetchResult FetchEncoderFrame(FrameFetcher& fetcher, bool ringFrame);

}  // namespace compressor
