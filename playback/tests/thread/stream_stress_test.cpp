// Many short streams opened, fed and closed on the real timer thread, with a second caller of the
// refill beside the timer: every block comes back in time, no close waits out its limit, the
// positions read meanwhile hold together, and the timer stops with the last stream. The thread sanitizer's build runs it as well
// (scripts/run-tests.sh --thread).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <random>
#include <thread>

#include "playback/audio_context.h"
#include "playback/tests/bare_track.h"
#include "playback/tests/fake_stream_device.h"
#include "platform/system/clock.h"
#include "playback/stream_service.h"

namespace {

// Buffers that a thread plays all at once, 5 ms at a time (SDL's dummy driver plays only one
// device at a time).
FakeDevice* DeviceOfManyBuffers() {
  static DeviceRecord* record = new DeviceRecord;
  static const bool playing = [] {
    std::thread([] {
      for (;;) {
        {
          std::lock_guard lock(record->mutex);
          for (FakeBuffer* buffer : record->buffers) {
            buffer->Take(std::max<uint32_t>(buffer->format.rate * buffer->format.channels * buffer->format.bits / 8 / 200, 4));
          }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
    }).detach();
    return true;
  }();
  (void)playing;
  static FakeDevice* device = new FakeDevice(*record);  // the service keeps it
  return device;
}

// Opens, feeds and closes `rounds` sets of up to `most` tracks.
void Stress(StreamService& service, int rounds, int most, std::mt19937& random) {
  const uint32_t rates[] = {8000, 11025, 22050};
  for (int round = 0; round < rounds; ++round) {
    SCOPED_TRACE(round);
    std::vector<std::unique_ptr<BareTrack>> tracks;
    const int count = 1 + static_cast<int>(random() % most);
    for (int i = 0; i < count; ++i) {
      const uint32_t rate = rates[random() % 3];
      const bool sixteenBit = random() % 2 == 0, stereo = random() % 2 == 0;
      tracks.push_back(std::make_unique<BareTrack>(rate, sixteenBit, stereo));
      if (!service.Open(0, &tracks.back()->track)) {
        ADD_FAILURE() << "open " << i;
        tracks.pop_back();
      }
    }
    // Each track's position, read while the timer refills and the devices play, only grows
    // (but for a reset) and never passes what was queued since the last reset.
    std::vector<uint64_t> queued(tracks.size()), positions(tracks.size());
    for (int step = 0; step < 12 && !tracks.empty(); ++step) {
      for (size_t i = 0; i < tracks.size(); ++i) {
        if (tracks[i]->track.pending >= 2000) continue;
        const size_t bytes = 4 * (1 + random() % 100);
        tracks[i]->Queue(std::vector<uint8_t>(bytes, 0x40));
        queued[i] += bytes;
      }
      service.Service();
      if (step == 6 && round % 3 == 0) {
        service.Reset(&tracks[0]->track);
        queued[0] = tracks[0]->track.pending;
        positions[0] = 0;
      }
      if (step == 8 && round % 4 == 0) {
        service.Stop(&tracks.back()->track);
        EXPECT_TRUE(service.Start(&tracks.back()->track));
      }
      for (size_t i = 0; i < tracks.size(); ++i) {
        const uint64_t position = service.Position(&tracks[i]->track);
        EXPECT_GE(position, positions[i]);
        EXPECT_LE(position, queued[i]);
        positions[i] = position;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1 + random() % 4));
    }
    for (auto& t : tracks) {
      const uint64_t start = platform::NowMilliseconds();
      service.Close(&t->track);
      EXPECT_LT(platform::NowMilliseconds() - start, StreamService::kCloseWaitMs);
      EXPECT_EQ(t->track.stream, nullptr);
    }
  }
}

TEST(StreamStress, ManyShortStreamsComeAndGoWhileTheTimerRuns) {
  StreamService& service = DefaultStreamService();
  std::atomic<bool> done{false};
  std::thread secondCaller([&] {
    while (!done.load()) {
      TimerFunc(0, 0, 0, 0, 0);
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  });
  std::mt19937 random(20240611);
  const SoundBackEnd saved = DefaultAudioContext().backEnd;

  // SDL's dummy device, one stream at a time.
  DefaultAudioContext().backEnd = SoundBackEnd{};
  EXPECT_EQ(VantSoundUseDirectSound(nullptr), 1);
  Stress(service, 12, 1, random);
  // Several streams at once: the timer keeps running while some close and others open.
  DefaultAudioContext().backEnd = SoundBackEnd{};
  EXPECT_EQ(VantSoundUseDirectSound(DeviceOfManyBuffers()), 1);
  Stress(service, 24, 3, random);

  done.store(true);
  secondCaller.join();
  DefaultAudioContext().backEnd = saved;
  EXPECT_EQ(service.PlayingStreams(), 0u);
  EXPECT_FALSE(service.RefillTimerRunning());
  EXPECT_EQ(service.PendingDoneMarks(), 0u);
}

}  // namespace
