#include "playback/audio_chunk_decoder.h"

#include "playback/bit_reader.h"
#include "playback/tree_tables.h"

namespace {

// Stores bytes into the ring, wrapping at its end.
struct RingWriter {
  uint8_t* start;
  uint8_t* end;
  uint8_t* at;
  void Put(uint8_t byte) {
    *at++ = byte;
    if (at == end) at = start;
  }
};

}  // namespace

size_t DecompressAudio(const uint8_t* coded, size_t coded_size, uint32_t byte_count, uint8_t* ring_start,
                       uint8_t* ring_end, uint8_t* write_position) {
  if (coded == nullptr || ring_start == nullptr || ring_end <= ring_start || write_position < ring_start ||
      write_position >= ring_end) {
    return 0;
  }
  BitReader bits(coded, coded_size);
  if (bits.ReadBit() == 0) return 0;
  const bool stereo = bits.ReadBit();
  const bool sixteen = bits.ReadBit();
  const uint32_t channels = stereo ? 2 : 1;
  const uint32_t frame_bytes = channels * (sixteen ? 2 : 1);

  // A tree sent as its presence bit alone has no symbols; it stays a leaf of 0.
  ByteTree trees[4];
  for (uint32_t k = 0; k < frame_bytes; ++k) {
    if (bits.ReadBit() && !ReadTree(bits, trees[k])) return 0;
  }

  const size_t ring_size = static_cast<size_t>(ring_end - ring_start);
  const size_t frames = (byte_count < ring_size ? byte_count : ring_size) / frame_bytes;
  if (frames == 0) return 0;
  RingWriter out{ring_start, ring_end, write_position};

  // The first frame comes plain, its bytes in reverse order.
  uint8_t first[4];
  for (uint32_t k = frame_bytes; k-- > 0;) first[k] = static_cast<uint8_t>(bits.ReadBits(8));
  uint32_t prev[2];
  for (uint32_t c = 0; c < channels; ++c) {
    prev[c] = sixteen ? (first[2 * c] | first[2 * c + 1] << 8) : first[c];
  }
  for (uint32_t k = 0; k < frame_bytes; ++k) out.Put(first[k]);

  for (size_t f = 1; f < frames; ++f) {
    for (uint32_t c = 0; c < channels; ++c) {
      if (sixteen) {
        uint32_t low = DecodeByteSymbol(bits, trees[2 * c]);
        uint32_t high = DecodeByteSymbol(bits, trees[2 * c + 1]);
        prev[c] = (prev[c] + low + (high << 8)) & 0xFFFF;
        out.Put(static_cast<uint8_t>(prev[c]));
        out.Put(static_cast<uint8_t>(prev[c] >> 8));
      } else {
        prev[c] = (prev[c] + DecodeByteSymbol(bits, trees[c])) & 0xFF;
        out.Put(static_cast<uint8_t>(prev[c]));
      }
    }
  }
  return frames * frame_bytes;
}
