// The stream service against a device that plays when the test says so and timers that run on the
// test's own clock: chunk sizes, where the refill puts sound, done marks and the play position
// from the play cursor, priming, bounded closes, volume and pan, and what installing and failing
// do to the device.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>

#include "playback/audio_context.h"
#include "playback/tests/bare_track.h"
#include "playback/tests/fake_stream_device.h"
#include "platform/system/clock.h"
#include "playback/stream_service.h"
#include "playback/track_blocks.h"

namespace {

// Timers on a clock of the test's: sleeping moves the clock a millisecond at a time and runs
// what falls due, so the waits of the service see the timers as they would on a timer thread.
class FakeTime final : public platform::TimerEvents, public platform::Clock {
 public:
  uint64_t Now() override { return now; }
  void Sleep(uint32_t ms) override { Advance(ms); }

  uint32_t SetEvent(uint32_t delayMs, Callback callback, bool periodic) override {
    const uint32_t period = std::max<uint32_t>(delayMs, 1);
    events[++lastId] = Event{now + period, period, periodic, std::move(callback)};
    return lastId;
  }
  void KillEvent(uint32_t id) override { events.erase(id); }

  void Advance(uint64_t ms) {
    for (uint64_t i = 0; i < ms; ++i) {
      now += 1;
      if (everyMs) everyMs();
      RunDue();
    }
  }
  size_t Count(bool periodic) const {
    return std::count_if(events.begin(), events.end(), [&](const auto& e) { return e.second.periodic == periodic; });
  }

  uint64_t now = 10000;
  bool holdOneShots = false;  // a timer thread that has stopped giving the marks
  std::function<void()> everyMs;

 private:
  struct Event {
    uint64_t due;
    uint32_t period;
    bool periodic;
    Callback callback;
  };
  void RunDue() {
    for (;;) {
      auto due = std::find_if(events.begin(), events.end(), [&](const auto& e) {
        return e.second.due <= now && (e.second.periodic || !holdOneShots);
      });
      if (due == events.end()) return;
      const uint32_t id = due->first;
      Callback callback = due->second.callback;
      if (due->second.periodic) {
        due->second.due += due->second.period;
      } else {
        events.erase(due);
      }
      callback(id);
    }
  }
  std::map<uint32_t, Event> events;
  uint32_t lastId = 0;
};

std::vector<uint8_t> Pattern(size_t count, uint8_t first) {
  std::vector<uint8_t> bytes(count);
  for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(first + i % 61);
  return bytes;
}

class StreamServiceTest : public ::testing::Test {
 protected:
  StreamService::DeviceFactory Factory() {
    return [this] { return std::make_unique<FakeDevice>(record); };
  }
  FakeBuffer* BufferOf(const DirectSoundStream* stream) { return static_cast<FakeBuffer*>(stream->buffer.get()); }
  DirectSoundStream* Create(uint32_t rate = 22050, uint32_t openFlags = 0) {
    platform::StreamFormat format;
    format.rate = rate;
    return service.StreamCreate(format, openFlags);
  }

  // Makes the devices play along with the clock, a millisecond of each buffer's sound at a time.
  void PlayAlong(std::vector<DeviceRecord*> devices = {}) {
    devices.push_back(&record);
    time.everyMs = [this, devices] {
      for (DeviceRecord* device : devices) {
        std::lock_guard lock(device->mutex);
        for (FakeBuffer* buffer : device->buffers) buffer->PlayAlong(time.now, !deviceStopped);
      }
    };
  }

  DeviceRecord record;
  FakeTime time;
  StreamService service{Factory(), time, time};
  bool deviceStopped = false;  // a device that has stopped asking for sound
};

TEST_F(StreamServiceTest, ChunkAndBufferFollowTheRate) {
  struct Case {
    uint32_t rate, bits, channels, flags;
    uint32_t chunk, buffer, caps;
    uint8_t silence;
  };
  const Case cases[] = {
      {22050, 8, 1, 0, 1376, 5504, 0, 0x80},
      {11025, 8, 1, VANT_OPEN_VOLUME_CONTROL, 688, 2752, platform::kStreamVolumeControl, 0x80},
      {44100, 16, 2, VANT_OPEN_PAN_CONTROL | VANT_OPEN_VOLUME_CONTROL, 11024, 44096,
       platform::kStreamPanControl | platform::kStreamVolumeControl, 0},
      {8000, 16, 1, VANT_OPEN_PAN_CONTROL, 1000, 4000, platform::kStreamPanControl, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rate);
    platform::StreamFormat format{c.rate, c.channels, c.bits};
    DirectSoundStream* stream = service.StreamCreate(format, c.flags);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->chunkSize, c.chunk);
    EXPECT_EQ(stream->bufferSize, c.buffer);
    EXPECT_EQ(stream->silence, c.silence);
    EXPECT_EQ(BufferOf(stream)->Size(), c.buffer);
    EXPECT_EQ(BufferOf(stream)->caps, c.caps);
    EXPECT_EQ(record.live, 1);
    service.StreamClose(stream);
    // The device made for the stream goes with it.
    EXPECT_EQ(record.live, 0);
  }
  EXPECT_EQ(record.made, 4);
}

// What the device hears: each block right behind the one before while sound is queued, a block
// queued on a stream that plays silence at once, and silence after the sound, never stale bytes.
TEST_F(StreamServiceTest, QueuedSoundPlaysBackToBackAndAtOnceAfterSilence) {
  DirectSoundStream* stream = Create();
  FakeBuffer* buffer = BufferOf(stream);
  const std::vector<uint8_t> a = Pattern(2000, 1), b = Pattern(500, 100), c = Pattern(100, 150),
                             d = Pattern(8000, 30);
  StreamBlock blockA, blockB, blockC, blockD;
  auto queue = [&](StreamBlock& block, const std::vector<uint8_t>& data) {
    block.data = const_cast<uint8_t*>(data.data());
    block.length = static_cast<uint32_t>(data.size());
    service.StreamStart(stream, &block);
  };
  auto heard = [&](size_t from) { return std::vector<uint8_t>(buffer->heard.begin() + from, buffer->heard.end()); };
  auto join = [](std::vector<uint8_t> first, const std::vector<uint8_t>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
  };

  queue(blockA, a);
  EXPECT_TRUE(buffer->playing);
  EXPECT_EQ(time.Count(true), 1u);
  buffer->Take(1000);
  queue(blockB, b);  // behind the rest of a, not behind the silence after it
  buffer->Take(2000);
  EXPECT_EQ(heard(0), join(join(a, b), std::vector<uint8_t>(500, 0x80)));
  EXPECT_EQ(service.PlayedSound(stream), 2500u);

  queue(blockC, c);  // the stream plays silence: c comes next
  buffer->Take(300);
  EXPECT_EQ(heard(3000), join(c, std::vector<uint8_t>(200, 0x80)));
  EXPECT_EQ(service.PlayedSound(stream), 2600u);

  // More than a lap goes in as the cursor makes room, tick by tick.
  queue(blockD, d);
  for (int i = 0; i < 8; ++i) {
    buffer->Take(1000);
    time.Advance(StreamService::kRefillPeriodMs);
  }
  buffer->Take(1000);
  EXPECT_EQ(heard(3300), join(d, std::vector<uint8_t>(1000, 0x80)));
  EXPECT_EQ(service.PlayedSound(stream), 10600u);

  // With nothing queued every refill leaves a lap of silence ahead: a cursor that goes round
  // and round hears nothing old.
  time.Advance(StreamService::kRefillPeriodMs);
  buffer->Take(3 * 5504);
  EXPECT_EQ(heard(12300), std::vector<uint8_t>(3 * 5504, 0x80));
  EXPECT_EQ(service.PlayedSound(stream), 10600u);

  // A lock that fails skips the refill.
  record.refuseLocks = true;
  StreamBlock refused;
  queue(refused, a);
  EXPECT_EQ(refused.copied, 0u);
  record.refuseLocks = false;
  service.StreamStop(stream);
  service.StreamClose(stream);
}

// A block is done once the cursor has passed its last byte, whatever the clock says; a stop
// gives every block back at once and drops the sound not yet played.
TEST_F(StreamServiceTest, DoneMarksFollowTheCursorAndAStopGivesTheBlocksBack) {
  DirectSoundStream* stream = Create();
  FakeBuffer* buffer = BufferOf(stream);
  const std::vector<uint8_t> data = Pattern(2205, 1);  // 100 ms
  StreamBlock block;
  block.data = const_cast<uint8_t*>(data.data());
  block.length = 2205;
  const uint64_t start = time.now;
  service.StreamStart(stream, &block);
  EXPECT_EQ(block.endTime, start + 100);
  EXPECT_EQ(service.PendingDoneMarks(), 1u);
  // The clock says it has played; the device has played only half of it.
  buffer->Take(1102);
  time.Advance(100);
  EXPECT_FALSE(TrackBlockDone(block));
  EXPECT_EQ(service.PendingDoneMarks(), 1u);
  buffer->Take(1103);
  time.Advance(51);  // the mark looks again when the rest should have played
  EXPECT_TRUE(TrackBlockDone(block));
  EXPECT_EQ(service.PendingDoneMarks(), 0u);
  EXPECT_EQ(time.Count(false), 0u);

  // Stopped halfway through a second block and with a third queued: both are done at once, the
  // buffer holds only silence and only what was played counts.
  StreamBlock second, third;
  second.data = third.data = block.data;
  second.length = third.length = 2205;
  service.StreamStart(stream, &second);
  service.StreamStart(stream, &third);
  buffer->Take(1000);
  service.StreamStop(stream);
  EXPECT_TRUE(TrackBlockDone(second));
  EXPECT_TRUE(TrackBlockDone(third));
  EXPECT_EQ(service.PendingDoneMarks(), 0u);
  EXPECT_EQ(time.Count(false), 0u);
  EXPECT_EQ(time.Count(true), 0u);
  EXPECT_FALSE(buffer->playing);
  EXPECT_EQ(buffer->bytes, std::vector<uint8_t>(5504, 0x80));
  EXPECT_EQ(service.PlayedSound(stream), 3205u);
  service.StreamClose(stream);
}

// The track's position is the sound the cursor has passed: it stands still while the device does,
// however far the clock runs, keeps what was played across sound off and on, and starts again
// at 0 on a reset.
TEST_F(StreamServiceTest, ThePositionIsTheSoundThePlayCursorHasPassed) {
  PlayAlong();
  BareTrack t;
  ASSERT_TRUE(service.Open(0, &t.track));
  EXPECT_EQ(service.Position(&t.track), 0u);  // the priming is no sound of the track
  // Queues the bytes and gives the device the milliseconds to play; the position then.
  auto play = [&](size_t bytes, uint64_t ms) {
    t.Queue(Pattern(bytes, 5));
    service.Service();
    time.Advance(ms);
    return service.Position(&t.track);
  };
  EXPECT_EQ(play(4410, 100), 2205u);  // 200 ms of sound
  deviceStopped = true;
  time.Advance(500);
  EXPECT_EQ(service.Position(&t.track), 2205u);
  deviceStopped = false;
  time.Advance(300);
  EXPECT_EQ(service.Position(&t.track), 4410u);  // silence after the sound does not count

  service.Stop(&t.track);
  EXPECT_EQ(service.Position(&t.track), 4410u);
  ASSERT_TRUE(service.Start(&t.track));
  EXPECT_EQ(service.Position(&t.track), 4410u);
  EXPECT_EQ(play(2205, 150), 6615u);

  service.Reset(&t.track);
  EXPECT_EQ(service.Position(&t.track), 0u);
  EXPECT_EQ(play(1000, 100), 1000u);
  service.Close(&t.track);
}

TEST_F(StreamServiceTest, OneRefillTimerServesEveryPlayingStream) {
  PlayAlong();
  BareTrack first, second(11025);
  ASSERT_TRUE(service.Open(0, &first.track));
  EXPECT_EQ(first.track.blockSize, 8192u);
  EXPECT_EQ(time.Count(true), 1u);
  ASSERT_TRUE(service.Open(0, &second.track));
  EXPECT_EQ(service.PlayingStreams(), 2u);
  EXPECT_EQ(time.Count(true), 1u);
  EXPECT_EQ(record.made, 1);

  // Sound from both rings reaches both buffers on the same ticks.
  first.Queue(Pattern(3000, 7));
  second.Queue(Pattern(300, 9));
  service.Service();
  EXPECT_EQ(first.track.pending, 0u);
  EXPECT_EQ(second.track.pending, 0u);
  time.Advance(31 * 3);
  EXPECT_GT(service.PendingDoneMarks(), 0u);

  service.Close(&first.track);
  EXPECT_EQ(first.track.stream, nullptr);
  EXPECT_EQ(first.track.streamBlocks, nullptr);
  EXPECT_TRUE(service.RefillTimerRunning());
  EXPECT_EQ(time.Count(true), 1u);
  service.Close(&second.track);
  EXPECT_FALSE(service.RefillTimerRunning());
  EXPECT_EQ(time.Count(true) + time.Count(false), 0u);
  EXPECT_EQ(record.live, 0);
}

TEST_F(StreamServiceTest, WaitsForTheDeviceAreBounded) {
  // A buffer that never takes a chunk: the priming block never plays, and the open fails after
  // a second with nothing left behind.
  BareTrack track;
  record.refuseLocks = true;
  const uint64_t start = time.now;
  EXPECT_FALSE(service.Open(0, &track.track));
  EXPECT_EQ(time.now - start, StreamService::kPrimeWaitMs);
  EXPECT_EQ(track.track.stream, nullptr);
  EXPECT_EQ(track.track.streamBlocks, nullptr);
  EXPECT_EQ(track.track.blockData, nullptr);
  EXPECT_EQ(service.PlayingStreams(), 0u);
  EXPECT_FALSE(service.RefillTimerRunning());
  EXPECT_EQ(record.live, 0);

  // A device that stops asking for sound: the block's mark never comes, and closing gives the
  // blocks back at once and takes the mark back, so that it never fires on the freed blocks.
  record.refuseLocks = false;
  PlayAlong();
  ASSERT_TRUE(service.Open(0, &track.track));
  track.Queue(Pattern(4000, 3));  // less than a lap: all of it goes into the buffer
  service.Service();
  deviceStopped = true;
  time.Advance(31 * 16);
  EXPECT_EQ(service.PendingDoneMarks(), 1u);
  const uint64_t closing = time.now;
  service.Close(&track.track);
  EXPECT_EQ(time.now, closing);
  EXPECT_EQ(service.PendingDoneMarks(), 0u);
  EXPECT_EQ(time.Count(false), 0u);
  EXPECT_EQ(record.live, 0);
}

TEST_F(StreamServiceTest, VolumeAndPanInHundredthsOfADecibelSurviveSoundOffAndOn) {
  struct Case {
    uint32_t volume, pan;
    int32_t decibels, balance;
  };
  const Case cases[] = {
      {0x8000, 0x8000, 0, 0},           {0, 0, -10000, -10000},      {0x4000, 0x10000, -5000, 10000},
      {0x10000, 0x4000, 0, -5000},      {0x7FFF, 0xC000, 0, 5000},   {1, 0x20000, -10000, 10000},
  };
  PlayAlong();
  BareTrack track;
  ASSERT_TRUE(service.Open(VANT_OPEN_VOLUME_CONTROL | VANT_OPEN_PAN_CONTROL, &track.track));
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.volume << " " << c.pan);
    service.VolumePan(c.pan, c.volume, &track.track);
    EXPECT_EQ(BufferOf(track.track.stream)->volume, c.decibels);
    EXPECT_EQ(BufferOf(track.track.stream)->pan, c.balance);
  }
  service.Stop(&track.track);
  EXPECT_EQ(track.track.stream, nullptr);
  ASSERT_TRUE(service.Start(&track.track));
  EXPECT_EQ(BufferOf(track.track.stream)->volume, -10000);
  EXPECT_EQ(BufferOf(track.track.stream)->pan, 10000);
  service.Close(&track.track);

  // Without the controls the buffer keeps its levels.
  ASSERT_TRUE(service.Open(0, &track.track));
  service.VolumePan(0, 0, &track.track);
  EXPECT_EQ(BufferOf(track.track.stream)->volume, 1);
  EXPECT_EQ(BufferOf(track.track.stream)->pan, 1);
  service.Close(&track.track);
}

// The library's entry points over a service of the test's.
class StreamEntryPoints : public StreamServiceTest {
 protected:
  void SetUp() override {
    saved_ = DefaultAudioContext().backEnd;
    DefaultAudioContext().backEnd = SoundBackEnd{};
    SetDefaultStreamServiceForTesting(&service);
  }
  void TearDown() override {
    SetDefaultStreamServiceForTesting(nullptr);
    DefaultAudioContext().backEnd = saved_;
  }

 private:
  SoundBackEnd saved_{};
};

TEST_F(StreamEntryPoints, InstallingAgainKeepsTheDeviceInUse) {
  EXPECT_EQ(VantSoundUseDirectSound(nullptr), 1);
  EXPECT_EQ(DefaultAudioContext().backEnd.open, StreamBackEnd().open);
  EXPECT_EQ(VantSoundUseWin(), 0);
  PlayAlong();
  BareTrack track;
  ASSERT_TRUE(DefaultAudioContext().backEnd.open(0, &track.track));
  EXPECT_EQ(record.made, 1);

  // Asked again while the stream plays, nothing changes: the device made here stays the one in
  // use and goes when the last stream closes.
  DeviceRecord callers;
  FakeDevice callersDevice(callers);
  EXPECT_EQ(VantSoundUseDirectSound(nullptr), 0);
  EXPECT_EQ(VantSoundUseDirectSound(&callersDevice), 0);
  int window = 0;
  SetDirectSoundHWND(&window);
  EXPECT_EQ(record.window, &window);
  EXPECT_EQ(callers.window, nullptr);
  track.Queue(Pattern(100, 40));
  DefaultAudioContext().backEnd.service(DefaultAudioContext());
  FakeBuffer* buffer = BufferOf(track.track.stream);
  buffer->Take(50);
  const uint64_t silence = service.SilenceWritten(track.track.stream);
  TimerFunc(0, 0, 0, 0, 0);  // the refill, called as the timer would: a lap ahead again
  EXPECT_EQ(service.SilenceWritten(track.track.stream) - silence, 50u);
  buffer->Take(50);
  EXPECT_EQ(std::vector<uint8_t>(buffer->heard.end() - 100, buffer->heard.end()), Pattern(100, 40));
  DefaultAudioContext().backEnd.close(&track.track);
  EXPECT_EQ(record.live, 0);

  // A caller's device is used from the first stream on and never released.
  DefaultAudioContext().backEnd = SoundBackEnd{};
  EXPECT_EQ(VantSoundUseDirectSound(&callersDevice), 1);
  PlayAlong({&callers});
  ASSERT_TRUE(DefaultAudioContext().backEnd.open(0, &track.track));
  EXPECT_EQ(record.made, 1);
  EXPECT_EQ(callers.buffers.size(), 1u);
  DefaultAudioContext().backEnd.close(&track.track);
  EXPECT_EQ(callers.live, 1);
}

TEST_F(StreamEntryPoints, ABufferThatCannotBeMadeLeavesNoDeviceBehind) {
  record.refuseBuffers = true;
  EXPECT_EQ(Create(), nullptr);
  EXPECT_EQ(record.live, 0);
  // The next stream makes a device of its own instead of using the one released.
  record.refuseBuffers = false;
  DirectSoundStream* stream = Create();
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(record.made, 2);
  EXPECT_EQ(record.live, 1);

  // donemarker marks only a block that its stream still waits for.
  StreamBlock block;
  std::vector<uint8_t> data(2205, 1);  // 100 ms
  block.data = data.data();
  block.length = 2205;
  service.StreamStart(stream, &block);
  time.holdOneShots = true;
  time.Advance(31 * 2);
  ASSERT_EQ(service.PendingDoneMarks(), 1u);
  donemarker(12345, 0, reinterpret_cast<uintptr_t>(&block), 0, 0);
  EXPECT_FALSE(TrackBlockDone(block));
  service.StreamStop(stream);
  service.StreamClose(stream);
  EXPECT_EQ(record.live, 0);
}

}  // namespace
