// The track encoder against the player's chunk decoder: what one writes the other reads
// back, exactly at loss level 0 and as the encoder's own reconstruction otherwise.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "toolsupport/tests/media_test_files.h"
#include "toolsupport/tests/pcm_test_source.h"
#include "playback/audio_chunk_decoder.h"
#include "toolsupport/sound/sound_track_encoder.h"
#include "testsupport/file_contents.h"

namespace {

using namespace toolsupport;

std::vector<uint8_t> Wave(size_t bytes, std::mt19937& rng) {
  std::vector<uint8_t> pcm(bytes);
  for (size_t i = 0; i < bytes; ++i) {
    pcm[i] = static_cast<uint8_t>(i % 211 < 2 ? rng() : 128 + 90 * std::sin(i * 0.013) + rng() % 7);
  }
  return pcm;
}

std::vector<uint8_t> Decode(const std::vector<uint8_t>& coded, uint32_t byte_count) {
  std::vector<uint8_t> out(byte_count + 8, 0xEE);
  size_t written = DecompressAudio(coded.data(), coded.size(), byte_count, out.data(), out.data() + byte_count + 8,
                                   out.data());
  EXPECT_EQ(written, byte_count);
  EXPECT_EQ(out[byte_count], 0xEE);
  out.resize(byte_count);
  return out;
}

TEST(AudioRoundTrip, EveryFormatAndLevelDecodesToTheEncodersReconstruction) {
  std::mt19937 rng(2);
  for (PcmFormat format : {PcmFormat{11025, 8, 1}, PcmFormat{11025, 8, 2}, PcmFormat{11025, 16, 1},
                           PcmFormat{11025, 16, 2}}) {
    for (int level : {0, 1, 4, 9}) {
      for (size_t frames : {1u, 2u, 3u, 1000u}) {
        std::vector<uint8_t> pcm = Wave(frames * format.FrameBytes(), rng);
        MemoryBitOutput out;
        AudioTrees trees = MakeAudioTrees(out);
        std::vector<uint8_t> rebuilt(pcm.size());
        ASSERT_TRUE(EncodeAudioData(pcm.data(), pcm.size(), format, level, trees, rebuilt.data()));
        out.AlignBits();
        std::vector<uint8_t> decoded = Decode(out.Bytes(), static_cast<uint32_t>(pcm.size()));
        ASSERT_EQ(decoded, rebuilt) << format.bits << "/" << format.channels << " level " << level;
        if (level == 0) {
          ASSERT_EQ(decoded, pcm);
        }
      }
    }
  }
}

TEST(AudioRoundTrip, ChunksWrittenByTheTrackEncoderDecodeInSequence) {
  std::mt19937 rng(4);
  PcmFormat format{22050, 16, 2};
  std::vector<uint8_t> pcm = Wave(format.BytesPerSecond() / 2, rng);
  testing_files::ScratchDirectory dir;
  std::string path = dir / "track";
  BufferedFile file;
  ASSERT_TRUE(file.Create(path.c_str()));
  auto encoder = OpenSoundTrack(std::make_unique<testing_files::MemoryPcmSource>(format, pcm), {}, &file);
  ASSERT_NE(encoder, nullptr);
  // Sizes from a single frame up; the last request finds the sound's end.
  for (uint32_t request : {4u, 8u, 4000u, 1u, 20000u, 100000u}) ASSERT_TRUE(CompressAudioChunk(request, *encoder));
  CloseSoundTrack(encoder);
  file.Close();

  std::vector<uint8_t> bytes = testsupport::ReadFileBytes(path);
  std::vector<uint8_t> decoded;
  for (size_t at = 0; at < bytes.size();) {
    auto u32 = [&](size_t p) {
      return bytes[p] | bytes[p + 1] << 8 | bytes[p + 2] << 16 | static_cast<uint32_t>(bytes[p + 3]) << 24;
    };
    uint32_t length = u32(at);
    uint32_t count = u32(at + 4);
    ASSERT_EQ(length % 4, 0u);
    ASSERT_LE(at + length, bytes.size());
    std::vector<uint8_t> coded(bytes.begin() + at + 8, bytes.begin() + at + length);
    std::vector<uint8_t> chunk = Decode(coded, count);
    decoded.insert(decoded.end(), chunk.begin(), chunk.end());
    at += length;
  }
  EXPECT_EQ(decoded, pcm);
}

}  // namespace
