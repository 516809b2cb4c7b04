#pragma once
// Turns a sound input into the audio chunks of one track, one chunk per video
// frame: leading silence, looping and repetition, and delta-coded samples with
// one Huffman tree per channel and sample byte, exact or with bounded loss.
//
// Chunk layout: u32 length (with itself and the padding, a multiple of 4); for
// compressed chunks the u32 count of sound bytes, then the bit stream: flag bits
// (1 data, 2 stereo, 4 16-bit), the trees, the first sample frame plain, then a
// coded delta per channel byte of every further frame; zero bits and bytes up to
// the length. A raw chunk holds the sound bytes right after its length.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "toolsupport/io/bit_output.h"
#include "toolsupport/io/buffered_file.h"
#include "toolsupport/coding/huff_tree.h"
#include "toolsupport/sound/pcm_source.h"

namespace toolsupport {

// Rate word bits of a track in the video header.
inline constexpr uint32_t kTrackStereo = 1u << 28;
inline constexpr uint32_t kTrackSixteenBit = 1u << 29;
inline constexpr uint32_t kTrackPresent = 1u << 30;
inline constexpr uint32_t kTrackCompressed = 1u << 31;

inline constexpr int kMaxLossLevel = 9;

struct SoundTrackOptions {
  uint32_t length_ms = 0;        // of the whole track, lead silence included; 0: all of the source
  uint32_t lead_silence_ms = 0;  // at the start of the track (and of each repetition)
  bool repeat = false;       // start the track again when its length is used up
  bool loop_source = false;  // rewind the source when it ends before the length
  int loss_level = 0;        // 0 exact to 9
  bool raw_chunks = false;   // store the bytes uncoded
};

// The byte trees of a compressed chunk, one per byte of a sample frame, all on one bit stream.
using AudioTrees = std::array<HuffTree, 4>;
inline AudioTrees MakeAudioTrees(BitOutput& out) {
  return {HuffTree(&out, true), HuffTree(&out, true), HuffTree(&out, true), HuffTree(&out, true)};
}

struct SoundTrackEncoder {
  std::unique_ptr<PcmSource> source;
  PcmFormat format;
  bool raw = false;
  uint8_t silence = 0x80;  // 0x80 for 8-bit, 0 for 16-bit sound
  uint64_t lead_left = 0, lead = 0;      // bytes of leading silence still to give / in all
  uint64_t left = 0, length = 0;         // bytes of the track still to give / in all, lead included
  int loss_level = 0;
  bool loop_source = false;
  bool repeat = false;
  BufferedFile* output = nullptr;
  MemoryBitOutput coded;  // a chunk's bit stream, gathered before it is written
  AudioTrees trees = MakeAudioTrees(coded);  // one per byte of a sample frame
  uint32_t last_sound_bytes = 0;   // of the last call; 0 when it wrote no chunk
  uint32_t last_chunk_length = 0;
  uint64_t total_sound_bytes = 0;
  uint64_t total_chunk_bytes = 0;
};

// Null when there is no source or its format is unusable.
std::unique_ptr<SoundTrackEncoder> OpenSoundTrack(std::unique_ptr<PcmSource> source,
                                                  const SoundTrackOptions& options, BufferedFile* output);
void CloseSoundTrack(std::unique_ptr<SoundTrackEncoder>& encoder);

// Writes one chunk of up to requested bytes (whole sample frames) at the output's
// position, or nothing when no sound is left (last_sound_bytes is then 0). False
// only when the sound could not be coded.
bool CompressAudioChunk(uint32_t requested, SoundTrackEncoder& encoder);

// The track's rate word for the video header: present, and compressed unless the
// chunks are raw.
uint32_t SoundTrackRateWord(const SoundTrackEncoder& encoder);

// How much sound frame i (0-based) asks for: enough to stay one second ahead of
// the picture, with period p in 1/100000 s and B output bytes per second:
// (i + 1) * p * B / 100000 + B - given so far, rounded up to a multiple of 4.
uint32_t SoundRequestForFrame(uint32_t frame, uint32_t period, uint64_t bytes_per_second, uint64_t given_so_far);

// Codes whole sample frames as a compressed chunk's bit stream (flag bits, trees,
// first frame, deltas) into out, with trees[0 .. frame bytes - 1] bound to out.
// When reconstructed is given it receives the samples a decoder will produce.
// False when a tree cannot be built.
bool EncodeAudioData(const uint8_t* pcm, size_t bytes, const PcmFormat& format, int loss_level,
                     AudioTrees& trees, uint8_t* reconstructed = nullptr);

}  // namespace toolsupport
