#include "playback/stream_service.h"

#include <algorithm>
#include <cstring>

#include "platform/system/clock.h"
#include "playback/track_blocks.h"

namespace {

platform::StreamFormat FormatOf(const SoundTrack* track) {
  platform::StreamFormat format;
  format.rate = track->sampleRate;
  format.channels = track->stereo ? 2 : 1;
  format.bits = track->sixteenBit ? 16 : 8;
  return format;
}

// Calls put(offset in the loop, bytes, bytes before) for the one or two pieces that `count`
// bytes from place `at` take in a loop of `size` bytes (count is at most a lap).
template <typename Put>
void ForLoopPieces(uint32_t size, uint64_t at, uint64_t count, Put put) {
  const uint32_t offset = static_cast<uint32_t>(at % size);
  const uint64_t first = std::min<uint64_t>(count, size - offset);
  put(offset, first, uint64_t{0});
  if (count > first) put(uint32_t{0}, count - first, first);
}

}  // namespace

StreamService::StreamService(DeviceFactory createDevice, platform::TimerEvents& timers, platform::Clock& clock)
    : createDevice_(std::move(createDevice)), timers_(timers), clock_(clock) {}

StreamService::~StreamService() {
  std::lock_guard lock(mutex_);
  if (refillTimer_) timers_.KillEvent(refillTimer_);
  for (const DoneMark& mark : doneMarks_) timers_.KillEvent(mark.timerId);
}

bool StreamService::Install(AudioContext& audio, platform::StreamDevice* device) {
  // Asked again, the service keeps the device it has: forgetting one made here would leak it.
  if (audio.backEnd.open) return false;
  if (!streams_) {
    ownDevice_.reset();
    device_ = device;
  }
  audio.backEnd = StreamBackEnd();
  return true;
}

void StreamService::SetWindow(void* window) {
  if (device_) device_->SetCooperativeWindow(window);
}

DirectSoundStream* StreamService::StreamCreate(const platform::StreamFormat& format, uint32_t openFlags) {
  if (!device_) {
    ownDevice_ = createDevice_ ? createDevice_() : nullptr;
    if (!ownDevice_) return nullptr;
    device_ = ownDevice_.get();
  }
  const uint32_t frame = format.bits / 8 * format.channels;
  const uint64_t perSecond = uint64_t{format.rate} * frame;
  // A sixteenth of a second a chunk, four chunks a buffer.
  const uint64_t chunk = perSecond / 16 / 4 * 4;
  std::unique_ptr<platform::StreamBuffer> buffer;
  if (chunk > 0 && chunk <= UINT32_MAX / 4) {
    uint32_t caps = 0;
    if (openFlags & VANT_OPEN_VOLUME_CONTROL) caps |= platform::kStreamVolumeControl;
    if (openFlags & VANT_OPEN_PAN_CONTROL) caps |= platform::kStreamPanControl;
    buffer = device_->CreateBuffer(format, static_cast<uint32_t>(4 * chunk), caps);
  }
  if (!buffer) {
    // A device made here goes with its last stream, and is forgotten so that the next stream
    // makes a new one.
    std::lock_guard lock(mutex_);
    if (!streams_ && ownDevice_) {
      ownDevice_.reset();
      device_ = nullptr;
    }
    return nullptr;
  }
  auto* stream = new DirectSoundStream;
  stream->buffer = std::move(buffer);
  stream->chunkSize = static_cast<uint32_t>(chunk);
  stream->bufferSize = static_cast<uint32_t>(4 * chunk);
  stream->bytesPerSecond = static_cast<uint32_t>(perSecond);
  stream->silence = format.bits == 8 ? 0x80 : 0;
  std::lock_guard lock(mutex_);
  stream->next = streams_;
  streams_ = stream;
  return stream;
}

void StreamService::StreamStart(DirectSoundStream* stream, StreamBlock* block) {
  std::lock_guard lock(mutex_);
  block->copied = 0;
  block->next = nullptr;
  block->endTime = 0;
  block->flags.store(0, std::memory_order_release);
  StreamBlock** tail = &stream->queue;
  while (*tail) tail = &(*tail)->next;
  *tail = block;
  if (!stream->playing) {
    stream->buffer->Play();
    stream->playing = true;
    if (playingStreams_++ == 0) {
      refillTimer_ = timers_.SetEvent(kRefillPeriodMs, [this](uint32_t) { Tick(); }, true);
    }
  }
  // Now rather than at the next tick: a stream that plays silence plays the block at once.
  RefillLocked(stream);
}

void StreamService::StopLocked(DirectSoundStream* stream) {
  if (!stream->playing) return;
  stream->playing = false;
  stream->buffer->Stop();
  // What was written ahead of the cursor would play first when the stream starts again: the
  // sound there is dropped, and it never counts as played.
  const uint64_t played = stream->buffer->PlayedBytes();
  stream->soundBytes = PlayedSoundLocked(stream, played);
  stream->soundStart = stream->soundEnd = stream->writtenTo = played;
  platform::StreamRegions whole;
  if (stream->buffer->Lock(0, stream->bufferSize, whole)) {
    std::memset(whole.first, stream->silence, whole.firstBytes);
    stream->buffer->Unlock(whole);
    stream->writtenTo = played + stream->bufferSize;
  }
  // Every block has left the buffer: those queued and those waiting to have played.
  for (StreamBlock* block = stream->queue; block;) {
    StreamBlock* next = block->next;
    block->next = nullptr;
    MarkTrackBlockDone(*block);
    block = next;
  }
  stream->queue = nullptr;
  DropDoneMarksLocked(stream);
  if (--playingStreams_ == 0 && refillTimer_) {
    timers_.KillEvent(refillTimer_);
    refillTimer_ = 0;
  }
}

void StreamService::StreamStop(DirectSoundStream* stream) {
  std::lock_guard lock(mutex_);
  StopLocked(stream);
}

void StreamService::DropDoneMarksLocked(const DirectSoundStream* stream) {
  std::erase_if(doneMarks_, [&](const DoneMark& mark) {
    if (mark.stream != stream) return false;
    timers_.KillEvent(mark.timerId);
    MarkTrackBlockDone(*mark.block);
    return true;
  });
}

void StreamService::StreamClose(DirectSoundStream* stream) {
  bool last = false;
  {
    std::lock_guard lock(mutex_);
    for (DirectSoundStream** link = &streams_; *link; link = &(*link)->next) {
      if (*link == stream) {
        *link = stream->next;
        break;
      }
    }
    // Stopping takes back the marks still due, which would touch blocks that their track is
    // about to free.
    StopLocked(stream);
    last = streams_ == nullptr;
  }
  // Out of the timers' reach now; the device may take its time to close.
  delete stream;
  if (last && ownDevice_) {
    ownDevice_.reset();
    device_ = nullptr;
  }
}

void StreamService::Tick() {
  if (reentry_.fetch_add(1) == 0) {
    std::lock_guard lock(mutex_);
    for (DirectSoundStream* stream = streams_; stream; stream = stream->next) {
      if (stream->playing) RefillLocked(stream);
    }
  }
  reentry_.fetch_sub(1);
}

// Queued sound goes in, then silence up to a lap past the cursor, so that the buffer never plays
// stale sound while the refills keep coming. A lock that fails skips the refill.
void StreamService::RefillLocked(DirectSoundStream* stream) {
  platform::StreamRegions whole;
  if (!stream->buffer->Lock(0, stream->bufferSize, whole)) return;
  const uint64_t played = stream->buffer->PlayedBytes();  // still until the unlock
  // Refills that came late: the cursor has gone past what they had written.
  stream->writtenTo = std::max(stream->writtenTo, played);
  CopyQueued(whole.first, played, stream);
  const uint64_t lapEnd = played + stream->bufferSize;
  const uint64_t from = std::max(stream->soundEnd, stream->writtenTo);
  if (from < lapEnd) {
    ForLoopPieces(stream->bufferSize, from, lapEnd - from, [&](uint32_t offset, uint64_t bytes, uint64_t) {
      std::memset(whole.first + offset, stream->silence, bytes);
    });
    stream->silenceBytes += lapEnd - from;
  }
  stream->writtenTo = lapEnd;
  stream->buffer->Unlock(whole);
}

// The queue's bytes go right behind the sound still ahead of the cursor or, when there is none,
// at the cursor itself, and as far as a lap past the cursor.
void StreamService::CopyQueued(uint8_t* loop, uint64_t played, DirectSoundStream* stream) {
  const uint64_t lapEnd = played + stream->bufferSize;
  uint64_t at = std::max(stream->soundEnd, played);
  if (!stream->queue || at >= lapEnd) return;
  if (at > stream->soundEnd) stream->soundStart = at;
  while (stream->queue && at < lapEnd) {
    StreamBlock* block = stream->queue;
    const uint64_t n = std::min<uint64_t>(lapEnd - at, block->length - block->copied);
    ForLoopPieces(stream->bufferSize, at, n, [&](uint32_t offset, uint64_t bytes, uint64_t before) {
      std::memcpy(loop + offset, block->data + block->copied + before, bytes);
    });
    block->copied += static_cast<uint32_t>(n);
    at += n;
    stream->soundBytes += n;
    if (block->copied < block->length) break;
    stream->queue = block->next;
    block->next = nullptr;
    ExpectDoneLocked(stream, block, at, played);
  }
  stream->soundEnd = at;
}

// The block's last byte lies at `end`: it is done once the cursor has passed it.
void StreamService::ExpectDoneLocked(DirectSoundStream* stream, StreamBlock* block, uint64_t end,
                                     uint64_t played) {
  const uint32_t delay = DelayUntilPlayed(stream, end, played);
  block->endTime = clock_.Now() + delay;
  uint32_t timer = 0;
  if (delay > 0) timer = timers_.SetEvent(delay, [this, block](uint32_t id) { MarkDone(id, block); }, false);
  // A block already played, or one no timer can be had for, is done now.
  if (timer == 0) {
    MarkTrackBlockDone(*block);
  } else {
    doneMarks_.push_back({timer, stream, block, end});
  }
}

// Milliseconds until the cursor passes `end`, rounded up; 0 once it has.
uint32_t StreamService::DelayUntilPlayed(const DirectSoundStream* stream, uint64_t end, uint64_t played) const {
  if (end <= played) return 0;
  const uint64_t ms = ((end - played) * 1000 + stream->bytesPerSecond - 1) / stream->bytesPerSecond;
  return static_cast<uint32_t>(std::min<uint64_t>(std::max<uint64_t>(ms, 1), UINT32_MAX));
}

void StreamService::MarkDone(uint32_t timerId, StreamBlock* block) {
  std::lock_guard lock(mutex_);
  // A mark whose stream has stopped is gone from the list, and its block may be gone too.
  auto mark = std::find_if(doneMarks_.begin(), doneMarks_.end(),
                           [&](const DoneMark& m) { return m.timerId == timerId && m.block == block; });
  if (mark == doneMarks_.end()) return;
  timers_.KillEvent(timerId);
  // A device that plays slower than the clock runs has not got there yet: look again when it
  // should have.
  const uint32_t delay = DelayUntilPlayed(mark->stream, mark->end, mark->stream->buffer->PlayedBytes());
  if (delay > 0) {
    const uint32_t timer = timers_.SetEvent(delay, [this, block](uint32_t id) { MarkDone(id, block); }, false);
    if (timer != 0) {
      mark->timerId = timer;
      return;
    }
  }
  doneMarks_.erase(mark);
  MarkTrackBlockDone(*block);
}

bool StreamService::StreamOpenPrimed(SoundTrack* track) {
  DirectSoundStream* stream = StreamCreate(FormatOf(track), track->openFlags);
  if (!stream) return false;
  track->stream = stream;
  StreamBlock* blocks = track->streamBlocks;
  for (int i = 0; i < 2; ++i) {
    blocks[i].endTime = 0;
    blocks[i].next = nullptr;
    blocks[i].copied = 0;
    MarkTrackBlockDone(blocks[i]);
  }
  PrepareTrackBlocks(track, blocks);
  ApplyVolumePan(track);
  // Priming: four bytes of silence must go through the buffer.
  std::memset(blocks[0].data, SilenceOf(track), 4);
  blocks[0].length = 4;
  StreamStart(stream, &blocks[0]);
  const bool primed = WaitForTrackBlocks(clock_, blocks, 1, kPrimeWaitMs);
  // The priming is no sound of the track.
  CountPositionFrom(track, PlayedSound(stream));
  if (!primed) {
    StreamDrainClose(track);
    return false;
  }
  return true;
}

void StreamService::StreamDrainClose(SoundTrack* track) {
  if (!track->stream) return;
  StreamStop(track->stream);
  WaitForTrackBlocks(clock_, track->streamBlocks, 2, kCloseWaitMs);
  KeepPosition(track, PlayedSound(track->stream));
  StreamClose(track->stream);
  track->stream = nullptr;
}

bool StreamService::Open(uint32_t flags, SoundTrack* track) {
  if (!AllocateTrackBlocks(track, track->streamBlocks)) return false;
  track->openFlags = flags;
  if (!StreamOpenPrimed(track)) {
    FreeTrackBlocks(track, track->streamBlocks);
    return false;
  }
  LinkOpenTrack(openTracks_, track);
  return true;
}

void StreamService::Close(SoundTrack* track) {
  if (!openTracks_) return;
  StreamDrainClose(track);
  FreeTrackBlocks(track, track->streamBlocks);
  UnlinkOpenTrack(openTracks_, track);
}

bool StreamService::Start(SoundTrack* track) { return track->stream || StreamOpenPrimed(track); }

void StreamService::Stop(SoundTrack* track) { StreamDrainClose(track); }

void StreamService::Reset(SoundTrack* track) {
  if (track->stream) StreamStop(track->stream);
  ResetPosition(track, track->stream ? PlayedSound(track->stream) : 0);
}

void StreamService::Service() {
  for (SoundTrack* track = openTracks_; track; track = track->nextOpenTrack) {
    if (!track->stream) continue;
    FeedTrackBlocks(track, track->streamBlocks,
                    [this, track](StreamBlock* block) { StreamStart(track->stream, block); });
  }
}

// The sound that the play cursor has passed, not what the clock says should have played: the
// picture follows what is heard.
uint64_t StreamService::Position(SoundTrack* track) {
  Service();
  if (!track->stream) return track->playedBase;
  return TrackPlayPosition(track, PlayedSound(track->stream));
}

void StreamService::VolumePan(uint32_t pan, uint32_t volume, SoundTrack* track) {
  track->volume = std::min<uint32_t>(volume, 0x8000);
  track->pan = std::min<uint32_t>(pan, 0x10000);
  track->volumeSet = 1;
  ApplyVolumePan(track);
}

// Hundredths of a decibel: volume 0x8000 is 0 dB and 0 is -100 dB; pan 0 is all left.
void StreamService::ApplyVolumePan(const SoundTrack* track) {
  if (!track->stream || !track->volumeSet) return;
  const int32_t pan = static_cast<int32_t>(uint64_t{track->pan} * 20000 / 0x10000) - 10000;
  const int32_t volume = static_cast<int32_t>((uint64_t{track->volume} * 100000 / 0x8000 + 5) / 10) - 10000;
  track->stream->buffer->SetPan(pan);
  track->stream->buffer->SetVolume(volume);
}

uint32_t StreamService::PlayingStreams() {
  std::lock_guard lock(mutex_);
  return playingStreams_;
}

bool StreamService::RefillTimerRunning() {
  std::lock_guard lock(mutex_);
  return refillTimer_ != 0;
}

size_t StreamService::PendingDoneMarks() {
  std::lock_guard lock(mutex_);
  return doneMarks_.size();
}

uint64_t StreamService::SilenceWritten(const DirectSoundStream* stream) {
  std::lock_guard lock(mutex_);
  return stream->silenceBytes;
}

uint64_t StreamService::PlayedSound(const DirectSoundStream* stream) {
  std::lock_guard lock(mutex_);
  return PlayedSoundLocked(stream, stream->buffer->PlayedBytes());
}

// The sound put into the buffer less what still lies ahead of the cursor.
uint64_t StreamService::PlayedSoundLocked(const DirectSoundStream* stream, uint64_t played) const {
  const uint64_t ahead = stream->soundEnd > played ? stream->soundEnd - std::max(played, stream->soundStart) : 0;
  return stream->soundBytes - ahead;
}
