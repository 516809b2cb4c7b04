// Sound tracks of videos made with the track encoder and the container writer: what the playback
// library decodes, what reaches the sound device, and the videos as sound inputs.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "toolsupport/tests/media_test_files.h"
#include "platform/audio/wave_out.h"
#include "playback/sound_track.h"
#include "playback/vant.h"
#include "playback/video_file_format.h"
#include "playback/video_file_writer.h"
#include "testsupport/wait_until.h"
#include "toolsupport/sound/sound_source.h"
#include "toolsupport/tests/sound_test_files.h"
#include "toolsupport/sound/sound_track_encoder.h"
#include "testsupport/file_contents.h"

namespace {

using namespace toolsupport;
using testing_files::MakeWav;
using testing_files::ScratchDirectory;
using testing_files::WriteBytes;

constexpr uint32_t kRate = 11025;   // 8-bit mono: bytes per second
constexpr uint32_t kPeriod = 6667;  // 15 frames a second
constexpr uint32_t kFrames = 15;

// Sound that never holds the silence value 0x80, so a device's padding can be told apart.
std::vector<uint8_t> Melody(size_t count) {
  std::vector<uint8_t> bytes(count);
  for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(20 + (i * 7 + i / 50) % 90);
  return bytes;
}

struct MadeVideo {
  std::vector<std::vector<uint8_t>> chunks;  // per frame, empty when none
  std::vector<uint8_t> decoded;              // what a decoder gives, in order
  uint32_t audioSize = 0;
  uint32_t rateWord = 0;
};

// Encodes `sound` (8-bit mono, kRate) as track 0 of a video of kFrames frames.
MadeVideo MakeVideo(const ScratchDirectory& dir, const std::string& path, const std::vector<uint8_t>& sound,
                    int loss = 0, bool raw = false) {
  MadeVideo made;
  WriteBytes(dir / "source.wav", MakeWav(kRate, 8, 1, sound));
  auto source = OpenSoundInput({}, SoundSwitches{}, dir / "source.wav").Take();
  EXPECT_TRUE(source);
  BufferedFile out;
  EXPECT_TRUE(out.Create((dir / "chunks").c_str()));
  SoundTrackOptions options;
  options.loss_level = loss;
  options.raw_chunks = raw;
  auto encoder = OpenSoundTrack(std::move(source), options, &out);
  EXPECT_TRUE(encoder);
  std::vector<uint32_t> lengths;
  uint64_t given = 0;
  for (uint32_t i = 0; i < kFrames; ++i) {
    EXPECT_TRUE(CompressAudioChunk(SoundRequestForFrame(i, kPeriod, kRate, given), *encoder));
    given += encoder->last_sound_bytes;
    made.audioSize = std::max(made.audioSize, encoder->last_sound_bytes);
    lengths.push_back(encoder->last_chunk_length);
  }
  made.rateWord = SoundTrackRateWord(*encoder);
  CloseSoundTrack(encoder);
  out.Close();

  std::vector<uint8_t> bytes = testsupport::ReadFileBytes(dir / "chunks");
  vntfile::VideoFileWriter writer;
  EXPECT_TRUE(writer.Begin(path, kFrames, false, std::vector<uint8_t>(16, 0)));
  size_t at = 0;
  for (uint32_t length : lengths) {
    vntfile::FrameBlocks frame;
    frame.audio[0].assign(bytes.begin() + at, bytes.begin() + at + length);
    at += length;
    made.chunks.push_back(frame.audio[0]);
    EXPECT_TRUE(writer.AddFrame(frame));
  }
  VideoFileHeader header{};
  header.width = header.height = 16;
  header.frameRate = -static_cast<int32_t>(kPeriod);
  header.audioSizes[0] = made.audioSize;
  header.soundRates[0] = made.rateWord;
  for (uint32_t& size : header.treeSizes) size = 12;
  EXPECT_TRUE(writer.Finish(header));
  return made;
}

// Every frame's sound as VantGetTrackData gives it, in a buffer of the header's audio size.
std::vector<uint8_t> TrackData(const std::string& path, std::vector<uint32_t>* counts = nullptr) {
  VantVideo* video = VantOpen(path.c_str(), 0, 0);
  EXPECT_NE(video, nullptr);
  if (!video) return {};
  std::vector<uint8_t> all;
  std::vector<uint8_t> buffer(video->header.audioSizes[0]);
  for (uint32_t i = 0; i < video->header.frames; ++i) {
    const uint32_t n = VantGetTrackData(video, buffer.data(), VANT_OPEN_TRACK_0);
    if (counts) counts->push_back(n);
    all.insert(all.end(), buffer.begin(), buffer.begin() + n);
    VantNextFrame(video);
  }
  VantClose(video);
  return all;
}

TEST(VideoSound, TrackDataIsTheEncodedSound) {
  ScratchDirectory dir;
  // Exactly as much sound as the video asks for: its length and the second ahead.
  const std::vector<uint8_t> sound = Melody(kFrames * kPeriod * kRate / 100000 + kRate + 3);
  MadeVideo exact = MakeVideo(dir, dir / "exact.vnt", sound);
  EXPECT_EQ(exact.rateWord, kTrackPresent | kTrackCompressed | kRate);
  std::vector<uint32_t> counts;
  std::vector<uint8_t> data = TrackData(dir / "exact.vnt", &counts);
  EXPECT_EQ(data, std::vector<uint8_t>(sound.begin(), sound.begin() + data.size()));
  EXPECT_GE(data.size(), sound.size() - 8);
  EXPECT_EQ(counts[0], exact.audioSize);  // the first frame carries a second ahead

  // Lossy sound decodes to the encoder's own reconstruction, never further than the limit.
  MadeVideo lossy = MakeVideo(dir, dir / "lossy.vnt", sound, 5);
  std::vector<uint8_t> rough = TrackData(dir / "lossy.vnt");
  ASSERT_EQ(rough.size(), data.size());
  EXPECT_NE(rough, data);
  for (size_t i = 0; i < rough.size(); ++i) ASSERT_LE(std::abs(rough[i] - sound[i]), 8) << i;

  // Raw tracks are marked present and not compressed, and read back as they were stored.
  MadeVideo raw = MakeVideo(dir, dir / "raw.vnt", sound, 0, true);
  EXPECT_EQ(raw.rateWord, kTrackPresent | kRate);
  EXPECT_EQ(TrackData(dir / "raw.vnt"), data);
}

TEST(VideoSound, TrackDataNeverPassesTheHeadersAudioSize) {
  ScratchDirectory dir;
  const std::vector<uint8_t> sound = Melody(20000);
  MakeVideo(dir, dir / "v.vnt", sound);
  std::vector<uint8_t> file = testsupport::ReadFileBytes(dir / "v.vnt");
  // The header claims at most 1000 bytes a frame: a buffer of that size is never overrun.
  vntfile::StoreLE32(file.data() + 24, 1000);
  WriteBytes(dir / "small.vnt", file);
  std::vector<uint32_t> counts;
  std::vector<uint8_t> data = TrackData(dir / "small.vnt", &counts);
  ASSERT_EQ(counts[0], 1000u);
  EXPECT_EQ(std::vector<uint8_t>(data.begin(), data.begin() + 1000), std::vector<uint8_t>(sound.begin(), sound.begin() + 1000));

  // A chunk whose sound count is all ones gives nothing.
  file = testsupport::ReadFileBytes(dir / "v.vnt");
  const VideoFileHeader header = vntfile::ParseHeader(file.data());
  vntfile::StoreLE32(file.data() + vntfile::FirstFrameOffset(header) + 4, UINT32_MAX);
  WriteBytes(dir / "ones.vnt", file);
  counts.clear();
  TrackData(dir / "ones.vnt", &counts);
  EXPECT_EQ(counts[0], 0u);
  EXPECT_GT(counts[1], 0u);
}

TEST(VideoSound, VideoTracksAreSoundInputs) {
  ScratchDirectory dir;
  const std::vector<uint8_t> sound = Melody(kFrames * kPeriod * kRate / 100000 + kRate);
  MakeVideo(dir, dir / "clip.vnt", sound);
  // The sound that plays while the frames are shown.
  auto source = OpenSoundInput({}, SoundSwitches{}, dir / "clip").Take();
  ASSERT_TRUE(source);
  EXPECT_EQ(source->kind, SoundKind::kVideoTrack);
  const uint64_t shown = uint64_t{kFrames} * kPeriod * kRate / 100000 / 4 * 4;
  EXPECT_EQ(source->size, shown);
  std::vector<uint8_t> all(shown + 100);
  EXPECT_EQ(source->ReadConverted(all.data(), all.size()), shown);
  EXPECT_TRUE(source->AtEnd());
  all.resize(shown);
  EXPECT_EQ(all, std::vector<uint8_t>(sound.begin(), sound.begin() + shown));

  // Cut by frames, converted to 16 bits, read twice.
  SoundSwitches s;
  s.start = -3;
  s.end = -9;
  s.bits = 16;
  s.track = 1;
  auto cut = OpenSoundInput({}, s, dir / "clip.vnt").Take();
  ASSERT_TRUE(cut);
  const uint64_t skip = 3ull * kPeriod / 100 * kRate / 1000, length = 6ull * kPeriod / 100 * kRate / 1000;
  EXPECT_EQ(cut->size, length * 2);
  for (int pass = 0; pass < 2; ++pass) {
    std::vector<uint8_t> wide(length * 2);
    ASSERT_EQ(cut->ReadConverted(wide.data(), wide.size()), wide.size());
    for (uint64_t i = 0; i < length; ++i) {
      ASSERT_EQ(static_cast<int16_t>(wide[2 * i] | wide[2 * i + 1] << 8), (sound[skip + i] - 128) * 256) << i;
    }
    ASSERT_TRUE(SeekSoundInput(*cut));
  }

  s = {};
  s.track = 2;
  EXPECT_EQ(OpenSoundInput({}, s, dir / "clip.vnt").status().message(),
            "No sound found in the specified Vantrel track.");
  std::vector<uint8_t> silent = testsupport::ReadFileBytes(dir / "clip.vnt");
  vntfile::StoreLE32(silent.data() + 72, 0);  // no rate word for track 0
  WriteBytes(dir / "silent.vnt", silent);
  EXPECT_EQ(OpenSoundInput({}, SoundSwitches{}, dir / "silent.vnt").status().message(),
            "No sound found in the Vantrel file.");
}

// Plays on SDL's disk driver into a scratch file.
class DiskAudio {
 public:
  explicit DiskAudio(const std::string& path) : path_(path) {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", path_.c_str(), 1);
  }
  ~DiskAudio() { setenv("SDL_AUDIODRIVER", "dummy", 1); }
  std::vector<uint8_t> Bytes() const { return testsupport::ReadFileBytes(path_); }

 private:
  std::string path_;
};

TEST(VideoSound, PlayedSoundReachesTheDeviceUnchanged) {
  ScratchDirectory dir;
  const std::vector<uint8_t> sound = Melody(kFrames * kPeriod * kRate / 100000 + kRate);
  MakeVideo(dir, dir / "play.vnt", sound);
  const std::vector<uint8_t> decoded = TrackData(dir / "play.vnt");
  ASSERT_GT(decoded.size(), kRate);

  DiskAudio disk(dir / "device.raw");
  VantVideo* video = VantOpen((dir / "play.vnt").c_str(), VANT_OPEN_TRACK_0, 0);
  ASSERT_NE(video, nullptr);
  ASSERT_EQ(video->pacingTrack, 0);
  SoundTrack* track = video->soundTracks[0];
  for (uint32_t i = 0; i < kFrames; ++i) {
    VantDoFrame(video);
    if (i + 1 == kFrames) break;  // stepping on would start the video over
    VantNextFrame(video);
    while (VantWait(video)) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  // Everything queued is handed to the device and played out.
  auto drained = [&] {
    return track->pending == 0 && (track->blocks[0].flags.load() & platform::kWaveBlockDone) &&
           (track->blocks[1].flags.load() & platform::kWaveBlockDone);
  };
  EXPECT_TRUE(testsupport::WaitUntil([&] {
    VantSoundCheck();
    return drained();
  }));
  EXPECT_EQ(track->overflows, 0u);
  VantClose(video);

  std::vector<uint8_t> played;
  for (uint8_t b : disk.Bytes()) {
    if (b != 0x80) played.push_back(b);
  }
  EXPECT_EQ(played, decoded);
}

}  // namespace
