#pragma once
// Drawing a frame's video data into a picture in memory, and the description of that picture.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "playback/tree_tables.h"

enum class HeightScaling : uint8_t { None, Interlaced, Doubled };

// Where the caller wants the picture: a rectangle of a pixel buffer.
struct MemoryDestination {
  uint8_t* buffer = nullptr;
  int64_t left = 0;          // pixels from the buffer's left edge
  int64_t top = 0;           // rows from the buffer's top edge (as shown, not as stored)
  int64_t pitch = 0;         // bytes from one buffer row to the next
  int64_t rows = 0;          // rows the buffer has
  bool bottomUp = false;     // rows are stored last row first
  uint8_t pixelFormat = 0;   // 0: 8-bit colour indexes; bit 7 set: 16-bit pixels via the colour table
  uint32_t width = 0;        // the video's picture as coded
  uint32_t codedHeight = 0;
  HeightScaling scaling = HeightScaling::None;
};

// Where NextChangedRect goes on from, in pixels of the coded picture and groups of the map.
struct ChangedRectState {
  bool done = false;       // no rectangle is left in this frame
  bool continued = false;  // the last rectangle ended at a row's end inside a changed group
  uint64_t x = 0, y = 0;   // where the group at mapPosition starts (its part in row y)
  uint64_t mapPosition = 0;
};

// Everything the frame decoder and NextChangedRect need to know about the picture.
struct DestinationDescriptor {
  bool doubled = false;        // each coded row goes to two consecutive lines
  uint8_t pixelFormat = 0;     // bit 7 set: 16-bit pixels
  uint8_t* firstPixel = nullptr;  // first line of the top-left block
  ptrdiff_t lineStep = 0;      // from one shown line to the next: the pitch, negative for
                               // bottom-up rows, twice the pitch for interlaced display
  uint32_t blocksPerRow = 0;
  uint32_t blockRows = 0;
  uint32_t width = 0;          // picture in pixels, whole blocks only
  uint32_t height = 0;         // coded rows, whole blocks only
  ChangedRectState rects;
  // One byte per 16 consecutive blocks in raster order: 1 when the last frame drew any of them.
  std::vector<uint8_t> changedGroupMap;
  // The 16-bit pixel of each colour index, for 16-bit output.
  std::array<uint16_t, 256> colorTable16{};

  bool Is16Bit() const { return (pixelFormat & 0x80) != 0; }
};

// Fills the descriptor for a memory destination. The picture is used in whole 4x4 blocks.
// Returns false, leaving the descriptor untouched, when the picture does not fit in the buffer.
bool DescribeMemoryDestination(const MemoryDestination& where, DestinationDescriptor& descriptor);

// Bytes of memory the descriptor takes, for the handle's memory statistics.
inline size_t DestinationMemory(const DestinationDescriptor& descriptor) {
  return sizeof(DestinationDescriptor) + descriptor.changedGroupMap.capacity();
}

// Draws one frame's video data (chunkSize bytes; bits past them read as zeros) over the picture
// the destination holds, and records which block groups changed.
void DecodeVideoFrame(const uint8_t* chunk, size_t chunkSize, DecoderTrees& trees,
                      DestinationDescriptor& destination);

// How many codes of each tree frames held, and how many of them took more than the first
// table look-up: what decides how fast they decode.
struct CodeLookupCounts {
  std::array<uint64_t, kVideoTreeCount> codes{}, further{};
};

// Reads one frame's video data of `blocks` blocks as DecodeVideoFrame does, drawing nothing,
// and adds its codes to `counts`.
void CountCodeLookups(const uint8_t* chunk, size_t chunkSize, uint64_t blocks, const DecoderTrees& trees,
                      CodeLookupCounts& counts);
