#pragma once
// The stream back end: each open sound track plays through a stream, a looping buffer of four
// sixteenths of a second that a periodic timer refills every 31 ms from the stream's queue of
// blocks. Sound goes into the buffer right behind the sound already there, or at the play cursor
// when the buffer has run out, never behind a stretch of silence; so a block queued on a stream
// that plays silence is heard within one device buffer. A block whose last byte has gone into the
// buffer is marked done by a one-shot timer once the play cursor has passed that byte, and the
// track's play position is the sound the play cursor has passed, so that the picture follows
// what is heard. The track side is the block machinery of the wave-out back end with the stream
// as its device.
//
// Places in the buffer are counted as the play cursor is, on from 0 without wrapping.
//
// The timers run on the timer thread, everything else on the caller's thread; the two meet under
// one lock, which guards the stream list, the queues and the pending done marks. The state lives
// in a StreamService; the library's operations and entry points use one default instance.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/audio/stream_device.h"
#include "platform/audio/timer_events.h"
#include "platform/system/clock.h"
#include "playback/audio_context.h"
#include "playback/sound_track.h"

// A track's block as the stream queues it; the done bit is kTrackBlockDone.
struct StreamBlock {
  uint8_t* data = nullptr;
  uint32_t length = 0;
  uint64_t endTime = 0;  // millisecond clock at which the block is expected to have played
  std::atomic<uint32_t> flags{0};
  StreamBlock* next = nullptr;  // the next queued block
  uint32_t copied = 0;          // bytes already copied into the buffer
};

struct DirectSoundStream {
  StreamBlock* queue = nullptr;
  std::unique_ptr<platform::StreamBuffer> buffer;
  DirectSoundStream* next = nullptr;
  uint32_t chunkSize = 0;  // a sixteenth of a second
  uint32_t bufferSize = 0;
  uint32_t bytesPerSecond = 0;
  bool playing = false;
  uint8_t silence = 0;
  // What the buffer holds ahead of the play cursor: sound from soundStart to soundEnd, silence
  // from there to writtenTo (a whole lap past the cursor after each refill).
  uint64_t writtenTo = 0;
  uint64_t soundStart = 0;
  uint64_t soundEnd = 0;
  uint64_t soundBytes = 0;    // sound put into the buffer in total, less what a stop dropped
  uint64_t silenceBytes = 0;  // silence put into the buffer in total
};

class StreamService {
 public:
  using DeviceFactory = std::function<std::unique_ptr<platform::StreamDevice>()>;

  static constexpr uint32_t kRefillPeriodMs = 31;
  // How long a stream may take to play its priming block, and to give its blocks back at close.
  static constexpr uint64_t kPrimeWaitMs = 1000;
  static constexpr uint64_t kCloseWaitMs = 1000;

  // `createDevice` makes the device when the caller gave none; `timers` runs the refill and the
  // done marks, on the time of `clock`.
  StreamService(DeviceFactory createDevice, platform::TimerEvents& timers,
                platform::Clock& clock = platform::SystemClock());
  ~StreamService();
  StreamService(const StreamService&) = delete;
  StreamService& operator=(const StreamService&) = delete;

  // Installs the stream back end into the context with the caller's device (null: one is made
  // when the first stream needs it). False, changing nothing, when the context has a back end.
  bool Install(AudioContext& audio, platform::StreamDevice* device);
  // Hands the window to the device, when there is one.
  void SetWindow(void* window);
  // The periodic refill of every playing stream.
  void Tick();
  // A one-shot timer's end: the block has played.
  void MarkDone(uint32_t timerId, StreamBlock* block);

  // The streams. Create gives null when no device or buffer can be had.
  DirectSoundStream* StreamCreate(const platform::StreamFormat& format, uint32_t openFlags);
  // Queues the block, plays the stream and puts what it can of the block into the buffer.
  void StreamStart(DirectSoundStream* stream, StreamBlock* block);
  // Stops the stream: its blocks are done, and its buffer holds only silence.
  void StreamStop(DirectSoundStream* stream);
  void StreamClose(DirectSoundStream* stream);
  // The track's stream, made and primed; and stopped, drained and closed.
  bool StreamOpenPrimed(SoundTrack* track);
  void StreamDrainClose(SoundTrack* track);

  // The operations of SoundBackEnd.
  bool Open(uint32_t flags, SoundTrack* track);
  void Close(SoundTrack* track);
  bool Start(SoundTrack* track);
  void Stop(SoundTrack* track);
  void Reset(SoundTrack* track);
  void Service();
  uint64_t Position(SoundTrack* track);
  void VolumePan(uint32_t pan, uint32_t volume, SoundTrack* track);

  // What the tests look at.
  uint32_t PlayingStreams();
  bool RefillTimerRunning();
  size_t PendingDoneMarks();
  uint64_t SilenceWritten(const DirectSoundStream* stream);
  // The sound of the stream that the play cursor has passed.
  uint64_t PlayedSound(const DirectSoundStream* stream);

 private:
  struct DoneMark {
    uint32_t timerId;
    DirectSoundStream* stream;
    StreamBlock* block;
    uint64_t end;  // where the block's last byte lies in the buffer
  };

  void RefillLocked(DirectSoundStream* stream);
  void CopyQueued(uint8_t* loop, uint64_t played, DirectSoundStream* stream);
  void ExpectDoneLocked(DirectSoundStream* stream, StreamBlock* block, uint64_t end, uint64_t played);
  uint32_t DelayUntilPlayed(const DirectSoundStream* stream, uint64_t end, uint64_t played) const;
  uint64_t PlayedSoundLocked(const DirectSoundStream* stream, uint64_t played) const;
  void StopLocked(DirectSoundStream* stream);
  void DropDoneMarksLocked(const DirectSoundStream* stream);
  void ApplyVolumePan(const SoundTrack* track);

  DeviceFactory createDevice_;
  platform::TimerEvents& timers_;
  platform::Clock& clock_;

  // The caller's thread alone: the device in use, the one made here, and the open tracks.
  platform::StreamDevice* device_ = nullptr;
  std::unique_ptr<platform::StreamDevice> ownDevice_;
  SoundTrack* openTracks_ = nullptr;

  // Shared with the timers.
  std::mutex mutex_;
  DirectSoundStream* streams_ = nullptr;
  uint32_t playingStreams_ = 0;
  uint32_t refillTimer_ = 0;
  std::vector<DoneMark> doneMarks_;
  std::atomic<int32_t> reentry_{0};
};

// The instance behind the library's operations and entry points.
StreamService& DefaultStreamService();
// Puts a service of the test's in its place (null: back to the library's own).
void SetDefaultStreamServiceForTesting(StreamService* service);
