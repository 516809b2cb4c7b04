// The wave-out back end on SDL's dummy driver: blocks, priming, feeding, the play position that
// the device counts, and volume with balance.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "platform/audio/wave_out.h"
#include "platform/system/clock.h"
#include "playback/audio_context.h"
#include "playback/sound_track.h"
#include "testsupport/wait_until.h"

namespace {

// The system clock until the test takes the time over, so that the device is primed in real time.
class TakenOverClock : public platform::Clock {
 public:
  uint64_t Now() override { return taken_ ? now_ : platform::SystemClock().Now(); }
  void Sleep(uint32_t ms) override {
    if (taken_) {
      now_ += ms;
    } else {
      platform::SystemClock().Sleep(ms);
    }
  }
  void TakeOver() {
    now_ = platform::SystemClock().Now();
    taken_ = true;
  }
  void GiveBack() { taken_ = false; }

 private:
  bool taken_ = false;
  uint64_t now_ = 0;
};

// A bare 8-bit mono track of 22050 bytes a second with an 8 KB ring.
class WaveTrack {
 public:
  WaveTrack() {
    std::memset(&track, 0, sizeof track);
    track.bytesPerSecond = track.sampleRate = 22050;
    track.ringSize = sizeof ring;
    track.ringStart = track.readPointer = track.writePointer = ring;
    track.ringEnd = ring + sizeof ring;
    track.audio = &audio;
  }
  void Queue(size_t count, uint8_t value) {
    for (size_t i = 0; i < count; ++i) {
      *track.writePointer++ = value;
      if (track.writePointer == track.ringEnd) track.writePointer = track.ringStart;
    }
    track.pending += count;
  }
  TakenOverClock clock;
  AudioContext audio{clock};
  SoundTrack track;
  uint8_t ring[8192];
};

// The position is what the device has taken, so it moves while the clock stands still, keeps
// what was played across sound off and on, and starts again at 0 on a reset.
TEST(WaveOutBackEnd, FeedsBlocksAndCountsThePositionTheDevicePlayed) {
  const SoundBackEnd& wave = WaveOutBackEnd();
  WaveTrack t;
  ASSERT_TRUE(wave.open(0x2000, &t.track));
  // A quarter second in whole 4 KB pages.
  EXPECT_EQ(t.track.blockSize, 8192u);
  EXPECT_EQ(t.track.openFlags, 0x2000u);
  ASSERT_NE(t.track.device, nullptr);
  EXPECT_EQ(wave.position(&t.track), 0u);  // the priming is no sound of the track

  t.clock.TakeOver();
  // Three bytes or fewer are never written.
  t.Queue(3, 0x90);
  wave.service(t.audio);
  EXPECT_EQ(t.track.pending, 3u);
  EXPECT_EQ(wave.position(&t.track), 0u);

  // 2205 bytes (a tenth of a second) go out in one block.
  t.Queue(2202, 0x91);
  wave.service(t.audio);
  EXPECT_EQ(t.track.pending, 0u);
  EXPECT_EQ(t.track.readPointer, t.track.writePointer);
  EXPECT_TRUE(testsupport::WaitUntil([&] { return wave.position(&t.track) == 2205; }));

  t.clock.GiveBack();  // the device is primed again in real time
  wave.stop(&t.track);
  EXPECT_EQ(wave.position(&t.track), 2205u);
  ASSERT_TRUE(wave.start(&t.track));
  EXPECT_EQ(wave.position(&t.track), 2205u);
  t.Queue(1000, 0x92);
  wave.service(t.audio);
  EXPECT_TRUE(testsupport::WaitUntil([&] { return wave.position(&t.track) == 3205; }));

  wave.reset(&t.track);
  EXPECT_EQ(wave.position(&t.track), 0u);
  t.Queue(500, 0x93);
  wave.service(t.audio);
  EXPECT_TRUE(testsupport::WaitUntil([&] { return wave.position(&t.track) == 500; }));
  wave.close(&t.track);
  EXPECT_EQ(t.track.device, nullptr);
  EXPECT_EQ(t.track.blocks, nullptr);
}

TEST(WaveOutBackEnd, RefillsFreedBlocksAndReportsStarvation) {
  const SoundBackEnd& wave = WaveOutBackEnd();
  WaveTrack t;
  ASSERT_TRUE(wave.open(0, &t.track));
  t.Queue(8000, 0x70);
  // One block per service call; the ring's end wraps into its start.
  t.track.readPointer = t.track.ringStart + 5000;
  t.track.writePointer = t.track.ringStart + 4808;
  wave.service(t.audio);
  EXPECT_EQ(t.track.pending, 0u);
  EXPECT_EQ(t.track.readPointer, t.track.ringStart + 4808);
  // The dummy device plays it out; then both blocks are done and the track is starved.
  EXPECT_TRUE(testsupport::WaitUntil([&] {
    wave.service(t.audio);
    return t.track.starved != 0;
  }));
  EXPECT_EQ(t.track.starved, 1u);

  // Sound off and on: the device closes and opens again, the blocks stay.
  platform::WaveBlock* blocks = t.track.blocks;
  wave.stop(&t.track);
  EXPECT_EQ(t.track.device, nullptr);
  EXPECT_EQ(t.track.blocks, blocks);
  EXPECT_TRUE(wave.start(&t.track));
  EXPECT_NE(t.track.device, nullptr);
  wave.close(&t.track);
}

TEST(WaveOutBackEnd, VolumeAndBalance) {
  const SoundBackEnd& wave = WaveOutBackEnd();
  WaveTrack t;
  ASSERT_TRUE(wave.open(0, &t.track));
  auto volume = [&] { return platform::WaveOutGetVolume(t.track.device); };
  wave.volumePan(0x8000, 0x10000, &t.track);  // full volume plays as 0xFFFF
  EXPECT_EQ(volume(), 0xFFFFFFFFu);
  wave.volumePan(0, 0x8000, &t.track);  // all left
  EXPECT_EQ(volume(), 0x8000u);
  wave.volumePan(0x10000, 0x8000, &t.track);  // all right
  EXPECT_EQ(volume(), 0x8000u << 16);
  wave.volumePan(0x4000, 0x8000, &t.track);  // right at half
  EXPECT_EQ(volume(), 0x8000u | 0x4000u << 16);
  // The setting survives the device being closed and opened again.
  wave.stop(&t.track);
  ASSERT_TRUE(wave.start(&t.track));
  EXPECT_EQ(volume(), 0x8000u | 0x4000u << 16);
  wave.close(&t.track);
}

}  // namespace
