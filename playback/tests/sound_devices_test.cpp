// A tone in a video played through each sound back end on SDL's disk driver, measured in what the
// device wrote: where the tone starts against the first frame, how far it lags the picture in the
// middle and at the end, and whether all of it was played before the video closed. The place in
// the written file at which a frame showed is told from the bytes the outputs had put out by
// then, not from the clock; and each frame is judged between the last time the library said to
// wait and the time it said to go on, so a busy machine that wakes the test late does not count
// against the library.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>

#include "platform/audio/sdl_output.h"
#include "platform/system/clock.h"
#include "playback/audio_context.h"
#include "playback/tests/sound_test_support.h"
#include "playback/tests/test_video.h"
#include "playback/video_file_format.h"
#include "testsupport/environment_guard.h"
#include "testsupport/file_contents.h"

namespace {

constexpr uint32_t kRate = 22050;  // 16-bit mono
constexpr uint32_t kBytesPerSecond = 2 * kRate;
constexpr uint32_t kPeriod = 6667;  // 15 frames a second
constexpr uint32_t kFrames = 45;
// What the wave-out device takes at a time: the first sample and the frames may fall anywhere in it.
constexpr double kDeviceBufferMs = 1024.0 * 1000 / kRate;

// A 440 Hz tone as long as the video, without the sample 0 (the silence of 16-bit sound), so that
// the device's own silence can be told apart from it.
std::vector<int16_t> Tone() {
  std::vector<int16_t> samples(uint64_t{kFrames} * kPeriod * kRate / 100000);
  for (size_t i = 0; i < samples.size(); ++i) {
    const auto value = static_cast<int16_t>(std::lround(12000 * std::sin(2 * M_PI * 440 * double(i) / kRate)));
    samples[i] = value == 0 ? 1 : value;
  }
  return samples;
}

// The bytes of the tone in frames as the compressor cuts them: each frame brings the sound due
// by its end and a second ahead, in whole 4 bytes, until the tone runs out.
TrackSound FramedTone(const std::vector<int16_t>& tone) {
  std::vector<uint8_t> bytes;
  for (int16_t sample : tone) {
    bytes.push_back(static_cast<uint8_t>(sample));
    bytes.push_back(static_cast<uint8_t>(static_cast<uint16_t>(sample) >> 8));
  }
  TrackSound track{vntfile::kRatePresent | vntfile::kRate16Bit | kRate, 0, {}};
  uint64_t given = 0;
  for (uint32_t i = 0; i < kFrames; ++i) {
    const uint64_t due = (uint64_t{i} + 1) * kPeriod * kBytesPerSecond / 100000 + kBytesPerSecond;
    const uint64_t count = std::min<uint64_t>(due > given ? (due - given + 3) / 4 * 4 : 0, bytes.size() - given);
    track.frames.emplace_back(bytes.begin() + given, bytes.begin() + given + count);
    given += count;
  }
  return track;
}

// Puts a back end in place for one test and the old one back.
class BackEndInPlace {
 public:
  explicit BackEndInPlace(const SoundBackEnd& operations) : saved_(DefaultAudioContext().backEnd) {
    DefaultAudioContext().backEnd = operations;
  }
  ~BackEndInPlace() { DefaultAudioContext().backEnd = saved_; }

 private:
  SoundBackEnd saved_;
};

// Where the outputs stood when the library last said to wait for the frame, and when it let the
// frame show.
struct FrameWindow {
  uint64_t waited = 0;  // 0: it never said to wait
  uint64_t shown = 0;
};

// Waits for the next frame as the player does; the window's end is set by the caller.
FrameWindow WaitForNextFrame(VantVideo* video) {
  FrameWindow window;
  const uint64_t start = platform::NowMilliseconds();
  for (;;) {
    const uint64_t before = platform::AudioOutputBytes();
    if (!VantWait(video) || platform::NowMilliseconds() - start > 10000) return window;
    window.waited = before;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

struct Playing {
  std::vector<FrameWindow> frames;  // places in the written file
  std::vector<uint64_t> tone;       // where in the written file each sample of the tone is
  std::vector<int16_t> heard;       // the samples that are not silence, in order
  uint64_t lead = 0;                // what the device wrote before it first asked for sound
};

// Plays the video as the player does, the last frame's time included, and closes it.
Playing Play(const std::string& video, const std::string& file) {
  const uint64_t opening = platform::AudioOutputBytes();
  VantVideo* opened = VantOpen(video.c_str(), VANT_OPEN_TRACK_0 | VANT_OPEN_NEVER_SKIP, 0);
  if (opened == nullptr || opened->pacingTrack != 0) {
    ADD_FAILURE() << "no sound track open";
    VantClose(opened);
    return {};
  }
  std::vector<FrameWindow> frames;
  FrameWindow window;
  for (uint32_t i = 0; i < kFrames; ++i) {
    VantDoFrame(opened);
    window.shown = platform::AudioOutputBytes();
    frames.push_back(window);
    if (i + 1 < kFrames) VantNextFrame(opened);  // stepping on from the last would start over
    window = WaitForNextFrame(opened);
  }
  EXPECT_EQ(opened->framesPlayed, kFrames);
  EXPECT_EQ(opened->soundTracks[0]->overflows, 0u);
  VantClose(opened);
  const uint64_t put = platform::AudioOutputBytes() - opening;

  Playing playing;
  const std::vector<uint8_t> bytes = testsupport::ReadFileBytes(file);
  playing.lead = bytes.size() >= put ? bytes.size() - put : UINT64_MAX;
  auto place = [&](uint64_t count) { return count == 0 ? 0 : playing.lead + count - opening; };
  for (const FrameWindow& frame : frames) playing.frames.push_back({place(frame.waited), place(frame.shown)});
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto sample = static_cast<int16_t>(bytes[i] | bytes[i + 1] << 8);
    if (sample == 0) continue;
    playing.tone.push_back(i);
    playing.heard.push_back(sample);
  }
  return playing;
}

double Milliseconds(int64_t bytes) { return double(bytes) * 1000 / kBytesPerSecond; }

TEST(SoundDevices, EachBackEndPlaysTheWholeToneInStepWithThePicture) {
  ScratchDirectory dir;
  const std::string path = dir.File("tone.vnt");
  const std::vector<int16_t> tone = Tone();
  WriteSoundVideo(path, kFrames, -static_cast<int32_t>(kPeriod), {FramedTone(tone)});

  struct Case {
    const char* name;
    const SoundBackEnd& (*operations)();
  };
  for (const Case& c : {Case{"wave-out", WaveOutBackEnd}, Case{"stream", StreamBackEnd}}) {
    SCOPED_TRACE(c.name);
    BackEndInPlace backEnd(c.operations());
    const std::string file = dir.File(std::string(c.name) + ".raw");
    testsupport::EnvironmentGuard environment;
    environment.Set("SDL_AUDIODRIVER", "disk");
    environment.Set("SDL_DISKAUDIOFILE", file.c_str());
    const Playing playing = Play(path, file);
    ASSERT_EQ(playing.frames.size(), kFrames);
    ASSERT_LE(Milliseconds(playing.lead), 2 * kDeviceBufferMs);

    // Where each frame's sound was written: it must lie within a device buffer of the window in
    // which the frame showed. Sound behind the picture counts positive.
    auto lag = [&](uint32_t frame) {
      const uint64_t sample = uint64_t{frame} * kPeriod * kRate / 100000;
      if (sample >= playing.tone.size()) return HUGE_VAL;  // never played
      return Milliseconds(static_cast<int64_t>(playing.tone[sample] - playing.frames[frame].shown));
    };
    // The frames the furthest out either way: sound behind the picture, and a picture held back
    // after its sound had played (the time the test itself woke late allowed for).
    uint32_t behindMost = 0, heldMost = 0;
    double held = -HUGE_VAL;
    for (uint32_t frame = 0; frame < kFrames; ++frame) {
      if (lag(frame) > lag(behindMost)) behindMost = frame;
      const FrameWindow& window = playing.frames[frame];
      if (window.waited == 0) continue;
      const double heldBack = -lag(frame) - Milliseconds(static_cast<int64_t>(window.shown - window.waited));
      if (heldBack > held) {
        held = heldBack;
        heldMost = frame;
      }
    }
    EXPECT_LE(lag(behindMost), kDeviceBufferMs) << "frame " << behindMost;
    EXPECT_LE(held, kDeviceBufferMs) << "frame " << heldMost;
    std::printf("%s: start %+.1f ms, lag %+.1f ms in the middle and %+.1f ms at the end, %zu of %zu samples\n",
                c.name, lag(0), lag(kFrames / 2), lag(kFrames - 1), playing.heard.size(), tone.size());
    EXPECT_EQ(playing.heard.size(), tone.size());
    EXPECT_TRUE(playing.heard == tone);
  }
}

}  // namespace
