// The stream service against a device whose play cursor the test sets and timers that run on the
// test's own clock: chunk sizes, the refill and its overlap rule, done marks, priming, bounded
// closes, volume and pan, and what installing and failing do to the device.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "playback/tests/bare_track.h"
#include "playback/tests/fake_stream_device.h"
#include "platform/system/clock.h"
#include "playback/stream_service.h"
#include "playback/track_blocks.h"

namespace {

// Timers on a clock of the test's: sleeping moves the clock a millisecond at a time and runs
// what falls due, so the waits of the service see the timers as they would on a timer thread.
class FakeTime final : public platform::TimerEvents {
 public:
  FakeTime() {
    platform::SetClockForTesting([this] { return now; }, [this](uint32_t ms) { Advance(ms); });
  }
  ~FakeTime() override { platform::SetClockForTesting({}, {}); }

  uint32_t SetEvent(uint32_t delayMs, Callback callback, bool periodic) override {
    const uint32_t period = std::max<uint32_t>(delayMs, 1);
    events[++lastId] = Event{now + period, period, periodic, std::move(callback)};
    return lastId;
  }
  void KillEvent(uint32_t id) override { events.erase(id); }

  void Advance(uint64_t ms) {
    for (uint64_t i = 0; i < ms; ++i) {
      now += 1;
      RunDue();
    }
  }
  size_t Count(bool periodic) const {
    return std::count_if(events.begin(), events.end(), [&](const auto& e) { return e.second.periodic == periodic; });
  }

  uint64_t now = 10000;
  bool holdOneShots = false;  // a timer thread that has stopped giving the marks

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

  DeviceRecord record;
  FakeTime time;
  StreamService service{Factory(), time};
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

TEST_F(StreamServiceTest, ATickWritesTheNextChunkUnlessThePlayCursorIsInIt) {
  DirectSoundStream* stream = Create();
  StreamBlock block;
  std::vector<uint8_t> data(4, 0x80);
  block.data = data.data();
  block.length = 4;
  service.StreamStart(stream, &block);
  struct Case {
    uint32_t writePosition, cursor;
    bool writes;
  };
  const Case cases[] = {
      {0, 0, true},       {0, 1, false},      {0, 1375, false},   {0, 1376, true},
      {1376, 1376, true}, {1376, 2000, false}, {4128, 4129, false}, {4128, 5503, false},
      {4128, 0, true},    {4128, 4127, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.writePosition << " " << c.cursor);
    stream->writePosition = c.writePosition;
    BufferOf(stream)->cursor = c.cursor;
    const uint64_t locked = stream->lockedBytes;
    service.Tick();
    EXPECT_EQ(stream->lockedBytes - locked, c.writes ? 1376u : 0u);
    EXPECT_EQ(stream->writePosition, c.writes ? (c.writePosition + 1376) % 5504 : c.writePosition);
  }
  // A lock that fails skips the tick.
  record.refuseLocks = true;
  stream->writePosition = 0;
  BufferOf(stream)->cursor = 0;
  service.Tick();
  EXPECT_EQ(stream->writePosition, 0u);
  record.refuseLocks = false;
  service.StreamStop(stream);
  service.StreamClose(stream);
}

TEST_F(StreamServiceTest, QueuedBlocksFillTheChunksInOrderAndDoneMarksComeWhenTheyHavePlayed) {
  DirectSoundStream* stream = Create();
  FakeBuffer* buffer = BufferOf(stream);
  std::vector<uint8_t> a = Pattern(2000, 1), b = Pattern(500, 100);
  StreamBlock blockA, blockB;
  blockA.data = a.data();
  blockA.length = 2000;  // 90 ms
  blockB.data = b.data();
  blockB.length = 500;   // 22 ms, after a
  const uint64_t start = time.now;
  service.StreamStart(stream, &blockA);
  service.StreamStart(stream, &blockB);
  EXPECT_EQ(blockB.endTime, start + 90 + 22);
  EXPECT_TRUE(buffer->playing);
  EXPECT_EQ(time.Count(true), 1u);

  time.Advance(31);  // chunk 0: the start of a
  EXPECT_EQ(std::vector<uint8_t>(buffer->bytes.begin(), buffer->bytes.begin() + 1376),
            std::vector<uint8_t>(a.begin(), a.begin() + 1376));
  buffer->cursor = 700;
  time.Advance(31);  // chunk 1: the rest of a, all of b, silence
  std::vector<uint8_t> expected(a.begin() + 1376, a.end());
  expected.insert(expected.end(), b.begin(), b.end());
  expected.resize(1376, 0x80);
  EXPECT_EQ(std::vector<uint8_t>(buffer->bytes.begin() + 1376, buffer->bytes.begin() + 2752), expected);
  EXPECT_EQ(service.SilenceWritten(stream), 1376u - 624 - 500);
  // Both have left the queue but have not played yet: each waits for its one-shot mark.
  EXPECT_EQ(service.PendingDoneMarks(), 2u);
  EXPECT_FALSE(TrackBlockDone(blockA));
  time.Advance(90 - 62 - 1);
  EXPECT_FALSE(TrackBlockDone(blockA));
  time.Advance(1);
  EXPECT_TRUE(TrackBlockDone(blockA));
  EXPECT_FALSE(TrackBlockDone(blockB));
  time.Advance(22);
  EXPECT_TRUE(TrackBlockDone(blockB));
  EXPECT_EQ(service.PendingDoneMarks(), 0u);
  EXPECT_EQ(time.Count(false), 0u);

  // With nothing queued every tick writes a whole chunk of silence.
  buffer->cursor = 2800;
  const uint64_t silence = service.SilenceWritten(stream);
  time.Advance(31);
  EXPECT_EQ(service.SilenceWritten(stream) - silence, 1376u);
  EXPECT_EQ(std::vector<uint8_t>(buffer->bytes.begin() + 4128, buffer->bytes.end()), std::vector<uint8_t>(1376, 0x80));

  // A block whose end has passed by the time its last byte is copied is done at once.
  StreamBlock late;
  late.data = a.data();
  late.length = 100;
  buffer->cursor = 700;  // in the next chunk: the ticks wait
  service.StreamStart(stream, &late);
  time.Advance(200);
  EXPECT_FALSE(TrackBlockDone(late));
  buffer->cursor = 0;
  time.Advance(31);
  EXPECT_TRUE(TrackBlockDone(late));
  EXPECT_EQ(time.Count(false), 0u);

  // Stopping leaves silence in the whole buffer, and queued blocks are done.
  StreamBlock queued;
  queued.data = a.data();
  queued.length = 100;
  service.StreamStart(stream, &queued);
  service.StreamStop(stream);
  EXPECT_TRUE(TrackBlockDone(queued));
  EXPECT_FALSE(buffer->playing);
  EXPECT_EQ(buffer->bytes, std::vector<uint8_t>(5504, 0x80));
  EXPECT_EQ(time.Count(true), 0u);
  service.StreamClose(stream);
}

TEST_F(StreamServiceTest, OneRefillTimerServesEveryPlayingStream) {
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

  // Done marks that never come: closing gives up after a second and takes the marks back, so
  // that none fires on the freed blocks later.
  record.refuseLocks = false;
  ASSERT_TRUE(service.Open(0, &track.track));
  track.Queue(Pattern(8000, 3));
  service.Service();
  time.holdOneShots = true;
  time.Advance(31 * 8);
  EXPECT_EQ(service.PendingDoneMarks(), 1u);
  const uint64_t closing = time.now;
  service.Close(&track.track);
  EXPECT_EQ(time.now - closing, StreamService::kCloseWaitMs);
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
    saved_ = g_soundBackEnd;
    g_soundBackEnd = SoundBackEnd{};
    SetDefaultStreamServiceForTesting(&service);
  }
  void TearDown() override {
    SetDefaultStreamServiceForTesting(nullptr);
    g_soundBackEnd = saved_;
  }

 private:
  SoundBackEnd saved_{};
};

TEST_F(StreamEntryPoints, InstallingAgainKeepsTheDeviceInUse) {
  EXPECT_EQ(VantSoundUseDirectSound(nullptr), 1);
  EXPECT_EQ(g_soundBackEnd.open, StreamBackEnd().open);
  EXPECT_EQ(VantSoundUseWin(), 0);
  BareTrack track;
  ASSERT_TRUE(g_soundBackEnd.open(0, &track.track));
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
  g_soundBackEnd.service();
  BufferOf(track.track.stream)->cursor = 0;
  TimerFunc(0, 0, 0, 0, 0);  // the refill, called as the timer would
  EXPECT_EQ(BufferOf(track.track.stream)->bytes[track.track.stream->writePosition - 1376 + 99], Pattern(100, 40)[99]);
  g_soundBackEnd.close(&track.track);
  EXPECT_EQ(record.live, 0);

  // A caller's device is used from the first stream on and never released.
  g_soundBackEnd = SoundBackEnd{};
  EXPECT_EQ(VantSoundUseDirectSound(&callersDevice), 1);
  ASSERT_TRUE(g_soundBackEnd.open(0, &track.track));
  EXPECT_EQ(record.made, 1);
  EXPECT_EQ(callers.buffers.size(), 1u);
  g_soundBackEnd.close(&track.track);
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
