#pragma once
// Byte layout of .vnt files: header, tables, frame offsets, sound rate words and palette chunks.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/system/little_endian.h"
#include "playback/vant.h"

namespace vntfile {

constexpr uint32_t kHeaderSize = VANT_HEADER_SIZE;
constexpr char kMagic[4] = {'V', 'N', 'T', '2'};
constexpr uint32_t kTrackCount = 7;
constexpr uint32_t kFirstFrameAlignment = 512;  // the first frame starts at such a file offset
constexpr uint32_t kFramePadding = 4;           // every frame size is a multiple of this

// Header flags.
constexpr uint32_t kFlagRingFrame = 1;
constexpr uint32_t kFlagInterlaced = 2;
constexpr uint32_t kFlagDoubled = 4;
constexpr uint32_t kHeightScalingMask = kFlagInterlaced | kFlagDoubled;

// Frame-type bits: bit 0 palette chunk, bit 1 + t audio chunk of track t.
constexpr uint8_t kTypePalette = 1;
constexpr uint8_t TypeAudio(uint32_t track) { return static_cast<uint8_t>(2u << track); }

// Sound rate word of a track.
constexpr uint32_t kRateSampleMask = 0x00FFFFFF;
constexpr uint32_t kRateStereo = 1u << 28;
constexpr uint32_t kRate16Bit = 1u << 29;
constexpr uint32_t kRatePresent = 1u << 30;
constexpr uint32_t kRateCompressed = 1u << 31;

// Bytes per second of the track a rate word describes.
constexpr uint64_t TrackBytesPerSecond(uint32_t rateWord) {
  uint64_t bytes = rateWord & kRateSampleMask;
  if (rateWord & kRate16Bit) bytes *= 2;
  if (rateWord & kRateStereo) bytes *= 2;
  return bytes;
}

// Writes the header field by field, little-endian, into exactly kHeaderSize bytes.
void SerializeHeader(const VideoFileHeader& header, uint8_t out[kHeaderSize]);
// Reads the header field by field; it says nothing about the magic (see HasMagic).
VideoFileHeader ParseHeader(const uint8_t in[kHeaderSize]);
bool HasMagic(const VideoFileHeader& header);

// Frames in the tables: the frame count, plus one for the ring frame.
uint64_t StoredFrameCount(const VideoFileHeader& header);
// Offset of the first frame from the start of the video: header, both tables and tree data.
uint64_t FirstFrameOffset(const VideoFileHeader& header);
// Offset of stored frame `index` given the first-frame offset and the frame-size table.
uint64_t FrameOffset(uint64_t firstFrameOffset, std::span<const uint32_t> sizes, uint64_t index);
// Zero bytes that follow `end` (an offset) up to the next multiple of `alignment`.
uint64_t PaddingTo(uint64_t end, uint64_t alignment);

using platform::LoadLE32;
using platform::StoreLE32;

// ---- Palette chunks ----

using Palette = uint8_t[256][3];

// A 6-bit colour component as 8 bits: 0 stays 0, 63 becomes 255.
constexpr uint8_t Widen6To8(uint8_t v) { return static_cast<uint8_t>((v * 4) | (v / 16)); }

// Appends the palette chunk that turns `previous` into `next` to `out` and makes `previous`
// the palette the chunk produces. `fullPalette` (a key frame other than frame 0) writes all 256
// entries. Returns false, leaving `out` and `previous` unchanged, when the palettes are equal
// and no chunk is needed.
bool WritePaletteChunk(std::vector<uint8_t>& out, const Palette& next, Palette& previous,
                       bool fullPalette);

// Decodes the records of a palette chunk (length byte included) into `palette`, which holds the
// previous palette on entry. Records that would run past the chunk stop decoding; entries never
// go past 255. Returns false when the chunk ended before all 256 entries were produced.
bool DecodePaletteChunk(const uint8_t* chunk, size_t length, Palette& palette);

}  // namespace vntfile
