#pragma once
// Reads FLI and FLC animations frame by frame into an 8-bit frame buffer of the
// padded size (width and height rounded up to multiples of 4) and a 256-entry
// R, G, B palette. Every write is kept inside the picture, so a damaged or hostile
// file can neither overrun the buffer nor touch the padding.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "toolsupport/io/buffered_file.h"

namespace toolsupport {

struct FlicReader {
  int64_t fileSize = 0;  // the header's size field
  int32_t paddedWidth = 0;
  int32_t paddedHeight = 0;
  int32_t frames = 0;
  int32_t frameRate = 0;  // negative: frame period in units of 10 microseconds
  int32_t width = 0;
  int32_t height = 0;
  std::unique_ptr<BufferedFile> file;  // 64000-byte buffer
  int32_t currentFrame = 0;            // frames decoded since the start
  uint32_t lastFrameSize = 0;          // bytes of the last frame after its header
  bool lastFrameCut = false;           // the file ended inside the last frame or before it
  int64_t firstFrameOffset = 128;
  std::array<uint8_t, 768> palette{};
  std::vector<uint8_t> frameData;  // the block of the frame being decoded
};

// Opens the flic; a name without extension is tried with ".flc", then ".fli" (each as
// spelled, in lower case, then in upper case). A picture larger than the image layer
// accepts is refused before anything is allocated for it.
bool OpenFlic(FlicReader& reader, const std::string& name);

// What decoding a frame gave.
enum class FlicFrame {
  Unreadable,      // not even the frame's header could be read (the frame still counts)
  Decoded,         // the palette stayed as it was
  PaletteChanged,
};

// Decodes the next frame into `frame` (paddedWidth × paddedHeight bytes). After the
// last frame the animation starts again with a cleared buffer.
FlicFrame DecodeFlicFrame(FlicReader& reader, uint8_t* frame);

// Moves to frame `frameNumber` (limited to the frame count) by decoding from the
// start when needed: Unreadable when a decode failed, PaletteChanged when a decoded
// frame changed the palette, else Decoded. Frame 0 only rewinds.
FlicFrame RewindFlic(FlicReader& reader, int32_t frameNumber, uint8_t* frame);

// The name of the open file, or empty.
std::string FlicFileName(const FlicReader& reader);

// Closes the file and frees the reader's buffers.
void CloseFlicReader(FlicReader& reader);

}  // namespace toolsupport
