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

}  // namespace

StreamService::StreamService(DeviceFactory createDevice, platform::TimerEvents& timers)
    : createDevice_(std::move(createDevice)), timers_(timers) {}

StreamService::~StreamService() {
  std::lock_guard lock(mutex_);
  if (refillTimer_) timers_.KillEvent(refillTimer_);
  for (const DoneMark& mark : doneMarks_) timers_.KillEvent(mark.timerId);
}

bool StreamService::Install(platform::StreamDevice* device) {
  // Asked again, the service keeps the device it has: forgetting one made here would leak it.
  if (g_soundBackEnd.open) return false;
  if (!streams_) {
    ownDevice_.reset();
    device_ = device;
  }
  g_soundBackEnd = StreamBackEnd();
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
  block->flags.store(0, std::memory_order_release);
  const uint64_t playing = uint64_t{block->length} * 1000 / stream->bytesPerSecond;
  const uint64_t now = platform::NowMilliseconds();
  if (stream->queue) {
    StreamBlock* tail = stream->queue;
    while (tail->next) tail = tail->next;
    block->endTime = std::max(now, tail->endTime) + playing;
    tail->next = block;
  } else {
    block->endTime = now + playing;
    stream->queue = block;
  }
  if (stream->playing) return;
  stream->buffer->Play();
  stream->playing = true;
  if (playingStreams_++ == 0) {
    refillTimer_ = timers_.SetEvent(kRefillPeriodMs, [this](uint32_t) { Tick(); }, true);
  }
}

void StreamService::StopLocked(DirectSoundStream* stream) {
  if (!stream->playing) return;
  stream->playing = false;
  stream->buffer->Stop();
  // What was written ahead of the cursor would play first when the stream starts again.
  platform::StreamRegions regions;
  if (stream->buffer->Lock(0, stream->bufferSize, regions)) {
    std::memset(regions.first, stream->silence, regions.firstBytes);
    stream->buffer->Unlock(regions);
  }
  for (StreamBlock* block = stream->queue; block;) {
    StreamBlock* next = block->next;
    block->next = nullptr;
    MarkTrackBlockDone(*block);
    block = next;
  }
  stream->queue = nullptr;
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
    StopLocked(stream);
    // Marks still due would touch blocks that their track is about to free.
    DropDoneMarksLocked(stream);
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
      if (!stream->playing) continue;
      // The next chunk would overlap what is playing.
      const uint32_t cursor = stream->buffer->PlayCursor();
      if (stream->writePosition < cursor && cursor < stream->writePosition + stream->chunkSize) continue;
      platform::StreamRegions regions;
      if (!stream->buffer->Lock(stream->writePosition, stream->chunkSize, regions)) continue;
      stream->lockedBytes += stream->chunkSize;
      CopyQueued(regions.first, regions.firstBytes, stream);
      if (regions.second) CopyQueued(regions.second, regions.secondBytes, stream);
      stream->writePosition += stream->chunkSize;
      if (stream->writePosition >= stream->bufferSize) stream->writePosition -= stream->bufferSize;
      stream->buffer->Unlock(regions);
    }
  }
  reentry_.fetch_sub(1);
}

void StreamService::CopyQueued(uint8_t* region, uint32_t size, DirectSoundStream* stream) {
  while (stream->queue && size > 0) {
    StreamBlock* block = stream->queue;
    const uint32_t n = std::min(size, block->length - block->copied);
    std::memcpy(region, block->data + block->copied, n);
    block->copied += n;
    region += n;
    size -= n;
    if (block->copied < block->length) continue;
    stream->queue = block->next;
    block->next = nullptr;
    const int64_t delay = static_cast<int64_t>(block->endTime - platform::NowMilliseconds());
    uint32_t timer = 0;
    if (delay > 0) {
      timer = timers_.SetEvent(static_cast<uint32_t>(std::min<int64_t>(delay, UINT32_MAX)),
                               [this, block](uint32_t id) { MarkDone(id, block); }, false);
    }
    // A block already played, or one no timer can be had for, is done now.
    if (timer == 0) {
      MarkTrackBlockDone(*block);
    } else {
      doneMarks_.push_back({timer, stream, block});
    }
  }
  std::memset(region, stream->silence, size);
  stream->silenceBytes += size;
}

void StreamService::MarkDone(uint32_t timerId, StreamBlock* block) {
  std::lock_guard lock(mutex_);
  // A mark whose stream has closed is gone from the list, and its block may be gone too.
  auto mark = std::find_if(doneMarks_.begin(), doneMarks_.end(),
                           [&](const DoneMark& m) { return m.timerId == timerId && m.block == block; });
  if (mark == doneMarks_.end()) return;
  doneMarks_.erase(mark);
  MarkTrackBlockDone(*block);
  timers_.KillEvent(timerId);
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
  if (!WaitForTrackBlocks(blocks, 1, kPrimeWaitMs)) {
    StreamDrainClose(track);
    return false;
  }
  return true;
}

void StreamService::StreamDrainClose(SoundTrack* track) {
  if (!track->stream) return;
  StreamStop(track->stream);
  WaitForTrackBlocks(track->streamBlocks, 2, kCloseWaitMs);
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
  track->playedBase = 0;
  track->batchStart = track->batchTime = track->batchBytes = 0;
  track->batchStarted = 0;
}

void StreamService::Service() {
  for (SoundTrack* track = openTracks_; track; track = track->nextOpenTrack) {
    if (!track->stream) continue;
    FeedTrackBlocks(track, track->streamBlocks, [this, track](StreamBlock* block) { StreamStart(track->stream, block); });
  }
}

uint64_t StreamService::Position(SoundTrack* track) {
  Service();
  return EstimatedPlayPosition(track);
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
