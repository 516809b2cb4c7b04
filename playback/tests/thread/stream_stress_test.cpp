// Many short streams opened, fed and closed on the real timer thread, with a second caller of the
// refill beside the timer: every block comes back in time, no close waits out its limit, and the
// timer stops with the last stream. The thread sanitizer's build runs it as well
// (scripts/run-tests.sh --thread).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <random>
#include <thread>

#include "playback/tests/bare_track.h"
#include "platform/system/clock.h"
#include "playback/stream_service.h"

namespace {

// Buffers that a thread of the device plays, all at once (SDL's dummy driver plays only one
// device at a time).
class PlayingBuffer;
struct PlayingBuffers {
  std::mutex mutex;
  std::vector<PlayingBuffer*> list;
};

class PlayingBuffer final : public platform::StreamBuffer {
 public:
  PlayingBuffer(PlayingBuffers& all, uint32_t size, uint32_t perSecond) : all_(all), bytes_(size), perSecond_(perSecond) {
    std::lock_guard lock(all_.mutex);
    all_.list.push_back(this);
  }
  ~PlayingBuffer() override {
    std::lock_guard lock(all_.mutex);
    std::erase(all_.list, this);
  }
  uint32_t Size() const override { return static_cast<uint32_t>(bytes_.size()); }
  bool Play() override { return playing_ = true; }
  void Stop() override { playing_ = false; }
  uint32_t PlayCursor() const override { return cursor_.load(); }
  bool Lock(uint32_t offset, uint32_t count, platform::StreamRegions& regions) override {
    mutex_.lock();
    regions.first = bytes_.data() + offset;
    regions.firstBytes = std::min<uint32_t>(count, Size() - offset);
    regions.second = count > regions.firstBytes ? bytes_.data() : nullptr;
    regions.secondBytes = count - regions.firstBytes;
    return true;
  }
  void Unlock(const platform::StreamRegions&) override { mutex_.unlock(); }
  bool SetVolume(int32_t) override { return false; }
  bool SetPan(int32_t) override { return false; }

  // What a device's callback does: takes the next 5 ms of sound.
  void Take() {
    if (!playing_.load()) return;
    std::lock_guard lock(mutex_);
    uint32_t cursor = cursor_.load();
    for (uint32_t n = std::max<uint32_t>(perSecond_ / 200, 1); n > 0; --n) {
      sum_ += bytes_[cursor];
      cursor = cursor + 1 == Size() ? 0 : cursor + 1;
    }
    cursor_.store(cursor);
  }

 private:
  PlayingBuffers& all_;
  std::mutex mutex_;
  std::vector<uint8_t> bytes_;
  uint32_t perSecond_;
  std::atomic<bool> playing_{false};
  std::atomic<uint32_t> cursor_{0};
  uint64_t sum_ = 0;
};

class PlayingDevice final : public platform::StreamDevice {
 public:
  PlayingDevice() : player_([this] { Play(); }) {}
  void SetCooperativeWindow(void*) override {}
  std::unique_ptr<platform::StreamBuffer> CreateBuffer(const platform::StreamFormat& format, uint32_t size,
                                                       uint32_t) override {
    return std::make_unique<PlayingBuffer>(buffers_, size, format.rate * format.channels * format.bits / 8);
  }

 private:
  void Play() {
    for (;;) {
      {
        std::lock_guard lock(buffers_.mutex);
        for (PlayingBuffer* buffer : buffers_.list) buffer->Take();
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }

  PlayingBuffers buffers_;
  std::thread player_;  // plays as long as the process runs
};

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
    for (int step = 0; step < 12 && !tracks.empty(); ++step) {
      for (auto& t : tracks) {
        if (t->track.pending < 2000) t->Queue(std::vector<uint8_t>(4 * (1 + random() % 100), 0x40));
      }
      service.Service();
      if (step == 6 && round % 3 == 0) service.Reset(&tracks[0]->track);
      if (step == 8 && round % 4 == 0) {
        service.Stop(&tracks.back()->track);
        EXPECT_TRUE(service.Start(&tracks.back()->track));
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
  const SoundBackEnd saved = g_soundBackEnd;

  // SDL's dummy device, one stream at a time.
  g_soundBackEnd = SoundBackEnd{};
  EXPECT_EQ(VantSoundUseDirectSound(nullptr), 1);
  Stress(service, 12, 1, random);
  // Several streams at once: the timer keeps running while some close and others open.
  static PlayingDevice* device = new PlayingDevice;  // the service keeps it
  g_soundBackEnd = SoundBackEnd{};
  EXPECT_EQ(VantSoundUseDirectSound(device), 1);
  Stress(service, 24, 3, random);

  done.store(true);
  secondCaller.join();
  g_soundBackEnd = saved;
  EXPECT_EQ(service.PlayingStreams(), 0u);
  EXPECT_FALSE(service.RefillTimerRunning());
  EXPECT_EQ(service.PendingDoneMarks(), 0u);
}

}  // namespace
