#include "platform/system/little_endian.h"
#include "toolsupport/sound/sound_track_encoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "toolsupport/tests/media_test_files.h"
#include "toolsupport/tests/pcm_test_source.h"
#include "toolsupport/tests/tree_reader.h"
#include "testsupport/file_contents.h"

namespace {

using namespace toolsupport;
using testing_files::MemoryPcmSource;
using testing_files::ScratchDirectory;
using tree_reader::ValueBits;

constexpr PcmFormat kMono8{1000, 8, 1};  // 1000 bytes per second: a millisecond is a byte
constexpr PcmFormat kStereo16{22050, 16, 2};

uint32_t U32(const std::vector<uint8_t>& bytes, size_t at) { return platform::LoadLE32(bytes.data() + at); }

// Runs the encoder once per request and splits what it wrote into chunks.
struct EncodedTrack {
  std::vector<std::vector<uint8_t>> chunks;  // one per request, empty when none was written
  uint32_t rate_word = 0;
};

EncodedTrack Encode(PcmFormat format, std::vector<uint8_t> sound, const SoundTrackOptions& options,
                    const std::vector<uint32_t>& requests) {
  ScratchDirectory dir;
  std::string path = dir / "track";
  BufferedFile file;
  EXPECT_TRUE(file.Create(path.c_str()));
  auto source = std::make_unique<MemoryPcmSource>(format, std::move(sound));
  auto encoder = OpenSoundTrack(std::move(source), options, &file);
  EncodedTrack track;
  if (!encoder) {
    ADD_FAILURE() << "no encoder";
    return track;
  }
  std::vector<uint32_t> lengths;
  for (uint32_t request : requests) {
    EXPECT_TRUE(CompressAudioChunk(request, *encoder));
    lengths.push_back(encoder->last_chunk_length);
  }
  track.rate_word = SoundTrackRateWord(*encoder);
  CloseSoundTrack(encoder);
  file.Close();
  std::vector<uint8_t> bytes = testsupport::ReadFileBytes(path);
  size_t at = 0;
  for (uint32_t length : lengths) {
    if (length) {
      EXPECT_EQ(U32(bytes, at), length);
    }
    track.chunks.emplace_back(bytes.begin() + at, bytes.begin() + at + length);
    at += length;
  }
  EXPECT_EQ(at, bytes.size());
  return track;
}

std::vector<uint8_t> Ramp(size_t count, uint8_t first) {
  std::vector<uint8_t> bytes(count);
  for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(first + i);
  return bytes;
}

// The sound bytes of a raw chunk.
std::vector<uint8_t> RawSound(const std::vector<uint8_t>& chunk, size_t count) {
  return std::vector<uint8_t>(chunk.begin() + 4, chunk.begin() + 4 + count);
}

std::vector<uint8_t> Concat(std::initializer_list<std::vector<uint8_t>> parts) {
  std::vector<uint8_t> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

TEST(AudioChunk, ConstantMonoChunkIsASingleLeafWithoutDeltaBits) {
  SoundTrackOptions options;
  EncodedTrack track = Encode(kMono8, {0x10, 0x10, 0x10, 0x10}, options, {4});
  // Flags 1, tree "1 0 <0> 0", first sample 0x10: 22 bits in three bytes.
  EXPECT_EQ(track.chunks[0], (std::vector<uint8_t>{12, 0, 0, 0, 4, 0, 0, 0, 0x09, 0x00, 0x04, 0x00}));
  EXPECT_EQ(track.rate_word, 1000u | kTrackPresent | kTrackCompressed);
}

TEST(AudioChunk, StereoSixteenBitTreesComeLeftLowLeftHighRightLowRightHigh) {
  // Frame 0: left 0x1000, right 0x2000; frame 1 adds 0x0102 on the left, 0x0304 on the right.
  std::vector<uint8_t> sound = {0x00, 0x10, 0x00, 0x20, 0x02, 0x11, 0x04, 0x23};
  EncodedTrack track = Encode(kStereo16, sound, {}, {8});
  const std::vector<uint8_t>& chunk = track.chunks[0];
  ASSERT_GE(chunk.size(), 8u);
  EXPECT_EQ(U32(chunk, 4), 8u);
  std::vector<uint8_t> data(chunk.begin() + 8, chunk.end());
  auto leaf = [](uint32_t v) { return "10" + ValueBits(v, 8) + "0"; };
  std::string expected = "111" + leaf(0x02) + leaf(0x01) + leaf(0x04) + leaf(0x03) + ValueBits(0x20, 8) +
                         ValueBits(0x00, 8) + ValueBits(0x10, 8) + ValueBits(0x00, 8);
  EXPECT_EQ(tree_reader::BitString(data, expected.size()), expected);
  EXPECT_EQ(track.rate_word, 22050u | kTrackPresent | kTrackCompressed | kTrackStereo | kTrackSixteenBit);
}

TEST(AudioChunk, OneFrameChunkHasAbsentTrees) {
  EncodedTrack track = Encode(kStereo16, {1, 2, 3, 4}, {}, {4});
  const std::vector<uint8_t>& chunk = track.chunks[0];
  std::vector<uint8_t> data(chunk.begin() + 8, chunk.end());
  std::string expected = "111" "0000" + ValueBits(4, 8) + ValueBits(3, 8) + ValueBits(2, 8) + ValueBits(1, 8);
  EXPECT_EQ(tree_reader::BitString(data, expected.size()), expected);
}

TEST(AudioChunk, RequestBelowOneFrameGivesNoChunk) {
  EncodedTrack track = Encode(kStereo16, Ramp(40, 0), {}, {3, 0});
  EXPECT_TRUE(track.chunks[0].empty());
  EXPECT_TRUE(track.chunks[1].empty());
}

TEST(AudioChunk, RawChunksHoldTheBytesAndAreMarkedUncompressed) {
  SoundTrackOptions options;
  options.raw_chunks = true;
  EncodedTrack track = Encode(kMono8, Ramp(7, 1), options, {5, 5, 5});
  EXPECT_EQ(track.chunks[0], (std::vector<uint8_t>{12, 0, 0, 0, 1, 2, 3, 4, 5, 0, 0, 0}));
  EXPECT_EQ(track.chunks[1], (std::vector<uint8_t>{8, 0, 0, 0, 6, 7, 0, 0}));
  EXPECT_TRUE(track.chunks[2].empty());
  EXPECT_EQ(track.rate_word, 1000u | kTrackPresent);
}

TEST(SoundTrackEncoder, LeadSilenceComesFirstAndKeepsTheWholeSource) {
  SoundTrackOptions options;
  options.raw_chunks = true;
  options.lead_silence_ms = 10;
  std::vector<uint8_t> sound = Ramp(25, 1);
  EncodedTrack track = Encode(kMono8, sound, options, {16, 16, 16, 16});
  std::vector<uint8_t> silence(10, 0x80);
  EXPECT_EQ(RawSound(track.chunks[0], 16), Concat({silence, Ramp(6, 1)}));
  EXPECT_EQ(RawSound(track.chunks[1], 16), Ramp(16, 7));
  EXPECT_EQ(RawSound(track.chunks[2], 3), Ramp(3, 23));  // the end of the source is not cut
  EXPECT_TRUE(track.chunks[3].empty());
}

// A track of a given length holds its lead silence: the sound after it fills the rest, and a
// repetition starts with the silence again.
TEST(SoundTrackEncoder, TheLengthOfATrackHoldsItsLeadSilence) {
  SoundTrackOptions options;
  options.raw_chunks = true;
  options.lead_silence_ms = 6;
  options.length_ms = 20;
  std::vector<uint8_t> silence(6, 0x80);
  EncodedTrack track = Encode(kMono8, Ramp(30, 1), options, {16, 16});
  EXPECT_EQ(RawSound(track.chunks[0], 16), Concat({silence, Ramp(10, 1)}));
  EXPECT_EQ(RawSound(track.chunks[1], 4), Ramp(4, 11));  // 20 bytes in all
  options.repeat = true;
  track = Encode(kMono8, Ramp(30, 1), options, {16, 16});
  EXPECT_EQ(RawSound(track.chunks[1], 16), Concat({Ramp(4, 11), silence, Ramp(6, 1)}));
}

TEST(SoundTrackEncoder, RepeatStartsOverWithTheLeadSilence) {
  SoundTrackOptions options;
  options.raw_chunks = true;
  options.lead_silence_ms = 4;
  options.repeat = true;
  EncodedTrack track = Encode(kMono8, Ramp(10, 1), options, {12, 12, 12});
  std::vector<uint8_t> silence(4, 0x80);
  std::vector<uint8_t> cycle = Concat({silence, Ramp(10, 1)});
  std::vector<uint8_t> all = Concat({cycle, cycle, cycle});
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(RawSound(track.chunks[i], 12), std::vector<uint8_t>(all.begin() + 12 * i, all.begin() + 12 * (i + 1)));
  }
}

TEST(SoundTrackEncoder, LoopingSourceFillsTheAskedLength) {
  SoundTrackOptions options;
  options.raw_chunks = true;
  options.length_ms = 25;
  options.loop_source = true;
  EncodedTrack track = Encode(kMono8, Ramp(10, 1), options, {20, 20});
  EXPECT_EQ(RawSound(track.chunks[0], 20), Concat({Ramp(10, 1), Ramp(10, 1)}));
  EXPECT_EQ(track.chunks[1].size(), 12u);
  EXPECT_EQ(RawSound(track.chunks[1], 5), Ramp(5, 1));
}

TEST(SoundTrackEncoder, EmptySourcesEndInsteadOfLoopingForever) {
  SoundTrackOptions options;
  options.length_ms = 100;
  options.loop_source = true;
  options.repeat = true;
  EncodedTrack track = Encode(kMono8, {}, options, {50, 50});
  EXPECT_TRUE(track.chunks[0].empty());
  EXPECT_TRUE(track.chunks[1].empty());

  // With lead silence the repetitions still give sound: the silence.
  options.lead_silence_ms = 5;
  options.raw_chunks = true;
  track = Encode(kMono8, {}, options, {12});
  EXPECT_EQ(RawSound(track.chunks[0], 12), std::vector<uint8_t>(12, 0x80));
}

TEST(SoundTrackEncoder, UnusableFormatsAreRefused) {
  BufferedFile file;
  for (PcmFormat format : {PcmFormat{0, 8, 1}, PcmFormat{8000, 12, 1}, PcmFormat{8000, 8, 3}}) {
    auto source = std::make_unique<MemoryPcmSource>(format, std::vector<uint8_t>(10));
    EXPECT_EQ(OpenSoundTrack(std::move(source), {}, &file), nullptr);
  }
  EXPECT_EQ(OpenSoundTrack(nullptr, {}, &file), nullptr);
}

TEST(SoundTrackEncoder, ReconstructionStaysWithinTheLossLimit) {
  const int limit8[10] = {0, 1, 2, 4, 6, 8, 12, 16, 24, 32};
  const int limit16[10] = {0, 4, 8, 16, 64, 128, 256, 512, 1024, 2048};
  std::mt19937 rng(1);
  for (PcmFormat format : {PcmFormat{8000, 8, 1}, PcmFormat{8000, 8, 2}, PcmFormat{8000, 16, 1}, kStereo16}) {
    // A noisy wave that also jumps across the whole range.
    std::vector<uint8_t> pcm(4000);
    for (size_t i = 0; i < pcm.size(); ++i) {
      pcm[i] = static_cast<uint8_t>(i % 97 < 3 ? rng() : 128 + 100 * std::sin(i * 0.01) + rng() % 9);
    }
    for (int level = 0; level <= kMaxLossLevel; ++level) {
      MemoryBitOutput out;
      AudioTrees trees = MakeAudioTrees(out);
      std::vector<uint8_t> rebuilt(pcm.size());
      ASSERT_TRUE(EncodeAudioData(pcm.data(), pcm.size(), format, level, trees, rebuilt.data()));
      for (size_t i = 0; i < pcm.size(); i += format.bits / 8) {
        int error = format.bits == 8
                        ? rebuilt[i] - pcm[i]
                        : static_cast<int16_t>(rebuilt[i] | rebuilt[i + 1] << 8) -
                              static_cast<int16_t>(pcm[i] | pcm[i + 1] << 8);
        ASSERT_LE(std::abs(error), format.bits == 8 ? limit8[level] : limit16[level])
            << "level " << level << " byte " << i;
      }
    }
  }
}

TEST(SoundTrackEncoder, PerFrameRequestsKeepOneSecondAhead) {
  // 15 frames per second (period 6667), 22050 bytes per second.
  EXPECT_EQ(SoundRequestForFrame(0, 6667, 22050, 0), 23520u);
  EXPECT_EQ(SoundRequestForFrame(1, 6667, 22050, 23520), 1472u);
  EXPECT_EQ(SoundRequestForFrame(2, 6667, 22050, 23520 + 1472), 1468u);
  EXPECT_EQ(SoundRequestForFrame(3, 6667, 22050, 1000000), 0u);  // already ahead

  // Driving an encoder: after every frame the track is one second plus the frames shown
  // ahead, short of it by less than one request's rounding.
  std::vector<uint8_t> sound(kStereo16.BytesPerSecond() * 3);
  auto source = std::make_unique<MemoryPcmSource>(kStereo16, sound);
  ScratchDirectory dir;
  BufferedFile file;
  ASSERT_TRUE(file.Create((dir / "t").c_str()));
  auto encoder = OpenSoundTrack(std::move(source), {}, &file);
  const uint64_t per_second = kStereo16.BytesPerSecond();
  for (uint32_t frame = 0; frame < 30; ++frame) {
    uint32_t request = SoundRequestForFrame(frame, 4000, per_second, encoder->total_sound_bytes);
    ASSERT_TRUE(CompressAudioChunk(request, *encoder));
    EXPECT_EQ(encoder->last_sound_bytes, request);
    uint64_t target = (frame + 1) * 4000ull * per_second / 100000 + per_second;
    EXPECT_GE(encoder->total_sound_bytes, target);
    EXPECT_LT(encoder->total_sound_bytes, target + 4);
  }
}

}  // namespace
