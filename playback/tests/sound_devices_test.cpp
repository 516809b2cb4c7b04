// A video with sound played through each sound back end on SDL's disk driver: the device gets
// exactly the track's samples, and the frames keep to the pace of the sound.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "testsupport/environment_guard.h"
#include "platform/system/clock.h"
#include "playback/audio_context.h"
#include "playback/tests/sound_test_support.h"
#include "playback/tests/test_video.h"
#include "playback/video_file_format.h"
#include "testsupport/file_contents.h"

namespace {

constexpr uint32_t kRate = 11025;   // 8-bit mono: bytes per second
constexpr uint32_t kPeriod = 6667;  // 15 frames a second
constexpr uint32_t kFrames = 15;

// Sound that never holds the silence value 0x80, so a device's padding can be told apart.
std::vector<uint8_t> Melody(size_t count, size_t from) {
  std::vector<uint8_t> bytes(count);
  for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(20 + ((from + i) * 7 + (from + i) / 50) % 90);
  return bytes;
}

// Each frame carries its share of the sound, the first one a second ahead as well.
TrackSound FramedSound() {
  TrackSound track{vntfile::kRatePresent | kRate, 0, {}};
  uint64_t given = 0;
  for (uint32_t i = 0; i < kFrames; ++i) {
    const uint64_t due = (uint64_t{i} + 1) * kPeriod * kRate / 100000 + kRate;
    const uint64_t bytes = (due - given + 3) / 4 * 4;
    track.frames.push_back(Melody(bytes, given));
    given += bytes;
  }
  return track;
}

// What the device played into the file of SDL's disk driver, its silence left out.
std::vector<uint8_t> PlayedSound(const std::string& path) {
  std::vector<uint8_t> sound;
  for (uint8_t b : testsupport::ReadFileBytes(path)) {
    if (b != 0x80) sound.push_back(b);
  }
  return sound;
}

// Puts a back end in place for one test and the old one back.
class BackEndInPlace {
 public:
  explicit BackEndInPlace(const SoundBackEnd& operations) : saved_(DefaultAudioContext().backEnd) { DefaultAudioContext().backEnd = operations; }
  ~BackEndInPlace() { DefaultAudioContext().backEnd = saved_; }

 private:
  SoundBackEnd saved_;
};

TEST(SoundDevices, EachBackEndPlaysTheTracksSamplesAtTheirPace) {
  ScratchDirectory dir;
  const std::string path = dir.File("sound.vnt");
  WriteSoundVideo(path, kFrames, -static_cast<int32_t>(kPeriod), {FramedSound()});
  std::vector<uint8_t> decoded;
  {
    VantVideo* video = VantOpen(path.c_str(), 0, 0);
    ASSERT_NE(video, nullptr);
    std::vector<uint8_t> buffer(video->header.audioSizes[0]);
    for (uint32_t i = 0; i < kFrames; ++i) {
      const uint32_t n = VantGetTrackData(video, buffer.data(), VANT_OPEN_TRACK_0);
      decoded.insert(decoded.end(), buffer.begin(), buffer.begin() + n);
      VantNextFrame(video);
    }
    VantClose(video);
  }
  ASSERT_GT(decoded.size(), kRate);

  struct Case {
    const char* name;
    const SoundBackEnd& (*operations)();
  };
  for (const Case& c : {Case{"wave-out", WaveOutBackEnd}, Case{"stream", StreamBackEnd}}) {
    SCOPED_TRACE(c.name);
    BackEndInPlace backEnd(c.operations());
    const std::string played = dir.File(std::string(c.name) + ".raw");
    testsupport::EnvironmentGuard environment;
    environment.Set("SDL_AUDIODRIVER", "disk");
    environment.Set("SDL_DISKAUDIOFILE", played.c_str());
    VantVideo* video = VantOpen(path.c_str(), VANT_OPEN_TRACK_0 | VANT_OPEN_NEVER_SKIP, 0);
    ASSERT_NE(video, nullptr);
    ASSERT_EQ(video->pacingTrack, 0);
    const uint64_t start = platform::NowMilliseconds();
    for (uint32_t i = 0; i < kFrames; ++i) {
      VantDoFrame(video);
      if (i + 1 == kFrames) break;  // stepping on would start the video over
      VantNextFrame(video);
      const uint64_t waiting = platform::NowMilliseconds();
      while (VantWait(video) && platform::NowMilliseconds() - waiting < 10000) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    }
    // The last frame went once the sound before it had played, and not long after.
    const uint64_t elapsed = platform::NowMilliseconds() - start;
    const uint64_t sound = uint64_t{kFrames - 1} * kPeriod / 100;
    EXPECT_GE(elapsed + 10, sound);
    EXPECT_LT(elapsed, sound + 5000);
    EXPECT_EQ(video->framesPlayed, kFrames);

    // Everything queued is played out.
    for (uint64_t draining = platform::NowMilliseconds();
         PlayedSound(played).size() < decoded.size() && platform::NowMilliseconds() - draining < 20000;) {
      VantSoundCheck();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(video->soundTracks[0]->overflows, 0u);
    VantClose(video);
    EXPECT_EQ(PlayedSound(played), decoded);
  }
}

}  // namespace
