#include "toolsupport/sound/sound_track_encoder.h"

#include <algorithm>
#include <cstring>

namespace toolsupport {
namespace {

// Per loss level: the delta mask and the largest error accepted, for 8-bit and 16-bit samples.
constexpr uint32_t kMask8[10] = {0xFF, 0xFE, 0xFC, 0xFC, 0xF8, 0xF8, 0xF0, 0xF0, 0xE0, 0xE0};
constexpr int32_t kLimit8[10] = {0, 1, 2, 4, 6, 8, 12, 16, 24, 32};
constexpr uint32_t kMask16[10] = {0xFFFF, 0xFFFC, 0xFFF8, 0xFFF0, 0xFFC0,
                                  0xFF80, 0xFF00, 0xFE00, 0xFC00, 0xF800};
constexpr int32_t kLimit16[10] = {0, 4, 8, 16, 64, 128, 256, 512, 1024, 2048};

uint64_t RoundUp(uint64_t value, uint64_t unit) { return (value + unit - 1) / unit * unit; }

// The delta symbol of one 8-bit sample; prev becomes the decoder's sample. A
// lossy delta further than the limit from the sample (or wrapping) is replaced
// by the exact one.
uint8_t Delta8(uint32_t& prev, uint32_t x, int level) {
  uint32_t d = (x - prev) & kMask8[level];
  int32_t error = static_cast<int32_t>(prev + d) - static_cast<int32_t>(x);
  if (error > kLimit8[level] || -error > kLimit8[level]) d = (x - prev) & 0xFF;
  prev = (prev + d) & 0xFF;
  return static_cast<uint8_t>(d);
}

uint16_t Delta16(uint32_t& prev, int32_t x, int level) {
  uint32_t exact = (static_cast<uint32_t>(x) - prev) & 0xFFFF;
  uint32_t d = exact & kMask16[level];
  int32_t error = static_cast<int16_t>(static_cast<uint16_t>(prev + d)) - x;
  if (error > kLimit16[level] || -error > kLimit16[level]) d = exact;
  prev = (prev + d) & 0xFFFF;
  return static_cast<uint16_t>(d);
}

// Fills buffer[0 .. want) from the source. A source that ends before the track
// length either starts over (loop) or ends the track's sound.
size_t ReadSound(SoundTrackEncoder& encoder, uint8_t* buffer, size_t want) {
  size_t got = 0;
  bool just_rewound = false;
  while (got < want) {
    size_t n = encoder.source->ReadConverted(buffer + got, want - got);
    n = std::min(n, want - got);
    got += n;
    encoder.left -= n;
    if (n > 0) just_rewound = false;
    if (got == want) break;
    if (n > 0 && !encoder.source->AtEnd()) continue;
    // A source that gives nothing right after a rewind would loop forever.
    if (encoder.loop_source && encoder.left > 0 && !just_rewound && encoder.source->Rewind()) {
      just_rewound = true;
      continue;
    }
    encoder.left = 0;
    break;
  }
  return got;
}

// Gathers up to `request` bytes (whole frames) of lead silence and sound into buffer. The lead
// silence is part of the track's length: the track lasts as long as asked, its sound starting
// after the silence.
size_t GatherSound(SoundTrackEncoder& encoder, uint8_t* buffer, size_t request) {
  size_t produced = 0;
  bool restarted = false;
  for (;;) {
    size_t cycle = 0;
    const uint64_t amount = std::min<uint64_t>(encoder.left, request - produced);
    // Lead silence: the buffer already holds the silence pattern.
    size_t silence = static_cast<size_t>(std::min<uint64_t>(encoder.lead_left, amount));
    encoder.lead_left -= silence;
    encoder.left -= silence;
    cycle += silence;
    size_t want = static_cast<size_t>(amount - silence);
    if (want > 0) cycle += ReadSound(encoder, buffer + produced + silence, want);
    produced += cycle;
    if (encoder.left > 0 || produced >= request || !encoder.repeat) break;
    // A repetition that gave nothing would repeat forever.
    if (restarted && cycle == 0) break;
    if (!encoder.source->Rewind()) break;
    encoder.lead_left = encoder.lead;
    encoder.left = encoder.length;
    restarted = true;
  }
  return produced;
}

void WritePadding(BufferedFile& file, uint64_t written) {
  static const uint8_t zeros[4] = {};
  size_t padding = static_cast<size_t>(RoundUp(written, 4) - written);
  if (padding) file.Write(zeros, padding);
}

}  // namespace

bool EncodeAudioData(const uint8_t* pcm, size_t bytes, const PcmFormat& format, int loss_level,
                     AudioTrees& trees, uint8_t* reconstructed) {
  const size_t frame_bytes = format.FrameBytes();
  const size_t frames = bytes / frame_bytes;
  if (frames == 0) return false;
  const int level = std::clamp(loss_level, 0, kMaxLossLevel);
  const bool sixteen = format.bits == 16;
  const uint32_t channels = format.channels;
  BitOutput& out = *trees[0].Output();

  // One symbol per frame byte after the first frame; frame byte k goes to tree k.
  std::vector<uint8_t> symbols((frames - 1) * frame_bytes);
  uint32_t prev[2] = {};
  for (uint32_t c = 0; c < channels; ++c) {
    prev[c] = sixteen ? (pcm[2 * c] | pcm[2 * c + 1] << 8) : pcm[c];
  }
  if (reconstructed) std::memcpy(reconstructed, pcm, frame_bytes);
  for (size_t f = 1; f < frames; ++f) {
    const uint8_t* frame = pcm + f * frame_bytes;
    uint8_t* symbol = symbols.data() + (f - 1) * frame_bytes;
    for (uint32_t c = 0; c < channels; ++c) {
      if (sixteen) {
        int32_t x = static_cast<int16_t>(frame[2 * c] | frame[2 * c + 1] << 8);
        uint16_t d = Delta16(prev[c], x, level);
        symbol[2 * c] = static_cast<uint8_t>(d);
        symbol[2 * c + 1] = static_cast<uint8_t>(d >> 8);
      } else {
        symbol[c] = Delta8(prev[c], frame[c], level);
      }
    }
    if (reconstructed) {
      uint8_t* r = reconstructed + f * frame_bytes;
      for (uint32_t c = 0; c < channels; ++c) {
        if (sixteen) {
          r[2 * c] = static_cast<uint8_t>(prev[c]);
          r[2 * c + 1] = static_cast<uint8_t>(prev[c] >> 8);
        } else {
          r[c] = static_cast<uint8_t>(prev[c]);
        }
      }
    }
  }

  for (size_t k = 0; k < frame_bytes; ++k) trees[k].ResetCounts();
  for (size_t i = 0; i < symbols.size(); ++i) trees[i % frame_bytes].Count(symbols[i]);
  out.PutBits(1 | (channels == 2 ? 2 : 0) | (sixteen ? 4 : 0), 3);
  for (size_t k = 0; k < frame_bytes; ++k) {
    if (trees[k].Build() < 0) return false;
  }
  // The first frame goes plain, its bytes in reverse order.
  for (size_t k = frame_bytes; k-- > 0;) out.PutBits(pcm[k], 8);
  for (size_t i = 0; i < symbols.size(); ++i) trees[i % frame_bytes].WriteSymbol(symbols[i]);
  return true;
}

std::unique_ptr<SoundTrackEncoder> OpenSoundTrack(std::unique_ptr<PcmSource> source,
                                                  const SoundTrackOptions& options, BufferedFile* output) {
  if (!source || !output) return nullptr;
  PcmFormat format = source->OutputFormat();
  if (!format.Valid() || format.rate > 0xFFFFFF) return nullptr;  // the rate word holds 24 bits
  auto encoder = std::make_unique<SoundTrackEncoder>();
  const uint64_t frame = format.FrameBytes();
  const uint64_t per_second = format.BytesPerSecond();
  encoder->format = format;
  encoder->raw = options.raw_chunks;
  encoder->silence = format.bits == 8 ? 0x80 : 0;
  encoder->lead = RoundUp(uint64_t{options.lead_silence_ms} * per_second / 1000, frame);
  // The length holds the lead silence. "All of the source" keeps all of it after the silence.
  encoder->length = options.length_ms == 0 ? encoder->lead + source->OutputSize() / frame * frame
                                           : RoundUp(uint64_t{options.length_ms} * per_second / 1000, frame);
  encoder->lead_left = encoder->lead;
  encoder->left = encoder->length;
  encoder->loss_level = std::clamp(options.loss_level, 0, kMaxLossLevel);
  encoder->loop_source = options.loop_source;
  encoder->repeat = options.repeat;
  encoder->output = output;
  encoder->source = std::move(source);
  return encoder;
}

void CloseSoundTrack(std::unique_ptr<SoundTrackEncoder>& encoder) { encoder.reset(); }

bool CompressAudioChunk(uint32_t requested, SoundTrackEncoder& encoder) {
  const uint32_t frame_bytes = encoder.format.FrameBytes();
  encoder.last_sound_bytes = 0;
  encoder.last_chunk_length = 0;
  size_t request = requested / frame_bytes * frame_bytes;
  if (request == 0) return true;
  std::vector<uint8_t> sound(request, encoder.silence);
  size_t produced = GatherSound(encoder, sound.data(), request) / frame_bytes * frame_bytes;
  if (produced == 0) return true;

  uint64_t chunk_length;
  BufferedFile& file = *encoder.output;
  if (encoder.raw) {
    chunk_length = RoundUp(4 + produced, 4);
    file.PutLong(static_cast<uint32_t>(chunk_length));
    file.Write(sound.data(), produced);
    WritePadding(file, 4 + produced);
  } else {
    encoder.coded.Clear();
    if (!EncodeAudioData(sound.data(), produced, encoder.format, encoder.loss_level, encoder.trees)) return false;
    encoder.coded.AlignBits();
    const std::vector<uint8_t>& data = encoder.coded.Bytes();
    chunk_length = RoundUp(8 + data.size(), 4);
    file.PutLong(static_cast<uint32_t>(chunk_length));
    file.PutLong(static_cast<uint32_t>(produced));
    file.Write(data.data(), data.size());
    WritePadding(file, 8 + data.size());
  }
  encoder.last_sound_bytes = static_cast<uint32_t>(produced);
  encoder.last_chunk_length = static_cast<uint32_t>(chunk_length);
  encoder.total_sound_bytes += produced;
  encoder.total_chunk_bytes += chunk_length;
  return true;
}

uint32_t SoundTrackRateWord(const SoundTrackEncoder& encoder) {
  uint32_t word = (encoder.format.rate & 0xFFFFFF) | kTrackPresent;
  if (encoder.format.channels == 2) word |= kTrackStereo;
  if (encoder.format.bits == 16) word |= kTrackSixteenBit;
  if (!encoder.raw) word |= kTrackCompressed;
  return word;
}

uint32_t SoundRequestForFrame(uint32_t frame, uint32_t period, uint64_t bytes_per_second, uint64_t given_so_far) {
  uint64_t target = (uint64_t{frame} + 1) * period * bytes_per_second / 100000 + bytes_per_second;
  if (target <= given_so_far) return 0;
  uint64_t request = RoundUp(target - given_so_far, 4);
  return static_cast<uint32_t>(std::min<uint64_t>(request, UINT32_MAX & ~3u));
}

}  // namespace toolsupport
