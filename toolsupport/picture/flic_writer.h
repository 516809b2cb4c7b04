#pragma once
// Writes 8-bit frames and their palettes as an FLC animation: a 128-byte header patched when
// the file is closed, one frame per call (palette changes, then the pixels as a byte-run,
// delta or plain copy, whichever is the smallest), and at the end a ring frame that leads
// from the last frame back to the first.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "toolsupport/io/buffered_file.h"

struct FlicWriter {
  toolsupport::BufferedFile file{64000};
  int width = 0, height = 0;
  bool error = false;            // a frame could not be written
  uint32_t framesWritten = 0;    // the ring frame included once written
  std::vector<uint8_t> previous; // the last frame written, as a reader holds it
  std::vector<uint8_t> first;    // the first frame, for the ring frame
  std::vector<uint8_t> work;     // chunk data being built
  int64_t afterFirstFrame = 0;   // file offset of the second frame
  std::array<uint8_t, 768> lastPalette{};
  std::array<uint8_t, 768> firstPalette{};
};

// The most frames one file can count (the ring frame not included).
inline constexpr uint32_t kMaxFlicFrames = 65535;

void FlicWriterInit(FlicWriter& writer);
// Creates the file (".flc" is appended to a name without an extension) and writes its header.
// The frame rate is in milliseconds when positive, in units of 10 microseconds when negative
// (then kept exactly in the header as well). Fails for an odd or zero width, a size beyond
// 65535, or a file that cannot be created.
bool CreateFlic(FlicWriter& writer, const std::string& name, int width, int height, int32_t frameRate);
// Writes one frame of width x height pixels (rows without padding) with its palette
// (256 x R, G, B). False, with the error flag set, when it cannot be written.
bool WriteFlicFrame(FlicWriter& writer, const uint8_t* palette, const uint8_t* pixels);
// Writes the ring frame, completes the header and closes; returns the file size (0 when the
// file was not open). A failed write sets the error flag.
int64_t CloseFlic(FlicWriter& writer);
void FlicWriterFree(FlicWriter& writer);
