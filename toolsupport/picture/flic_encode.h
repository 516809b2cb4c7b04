#pragma once
// Encoders of the chunk data of FLC frames (the chunk's 6-byte header not included). Each
// appends to `out` and returns false, leaving `out` as it was, when the chunk cannot carry
// the frame (a count field would overflow).
#include <cstdint>
#include <vector>

// Chunk types of the published animation format.
enum FlicChunkType : uint16_t {
  kFlicColour256 = 4,
  kFlicDeltaFlc = 7,
  kFlicDeltaFli = 12,
  kFlicByteRun = 15,
  kFlicCopy = 16,
};

// Palette changes (256 x R, G, B): every entry when `previous` is null, else the entries that
// differ from it, in packets of skipped and changed entries.
void EncodeFlicColour(std::vector<uint8_t>& out, const uint8_t* previous, const uint8_t* palette);

// Every line as runs and literal bytes.
bool EncodeFlicByteRun(std::vector<uint8_t>& out, const uint8_t* frame, int width, int height);

// The changes from `previous`: lines and byte packets (needs width < 65536).
bool EncodeFlicDeltaFli(std::vector<uint8_t>& out, const uint8_t* previous, const uint8_t* frame, int width,
                        int height);

// The changes from `previous` in 16-bit words, with line skips (needs an even width).
bool EncodeFlicDeltaFlc(std::vector<uint8_t>& out, const uint8_t* previous, const uint8_t* frame, int width,
                        int height);
