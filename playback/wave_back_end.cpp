// The default sound back end: each open track plays through its own wave-out device with two
// alternating blocks, refilled from the track's ring whenever the sound service runs. Nothing
// here runs on another thread; the device's done marks are polled.
#include <algorithm>
#include <cstring>
#include <new>

#include "platform/audio/wave_out.h"
#include "platform/system/clock.h"
#include "playback/sound_track.h"

namespace {

using platform::kWaveBlockDone;
using platform::WaveBlock;

// The open tracks of this back end, newest first.
SoundTrack* g_openTracks = nullptr;

// How long the device may take to play the priming block, and to give its blocks back at close.
constexpr uint64_t kPrimeWaitMs = 1000;
constexpr uint64_t kCloseWaitMs = 1000;

bool IsDone(const WaveBlock& block) { return block.flags.load(std::memory_order_acquire) & kWaveBlockDone; }
void MarkDone(WaveBlock& block) { block.flags.store(kWaveBlockDone, std::memory_order_release); }

// Waits until the blocks are done or the time is up; past it they count as done, so that a
// device that stopped taking sound never hangs its caller.
bool WaitForBlocks(SoundTrack* track, int count, uint64_t limitMs) {
  const uint64_t start = platform::NowMilliseconds();
  for (;;) {
    bool all = true;
    for (int i = 0; i < count; ++i) all = all && IsDone(track->blocks[i]);
    if (all) return true;
    if (platform::NowMilliseconds() - start >= limitMs) break;
    platform::SleepMilliseconds(1);
  }
  for (int i = 0; i < count; ++i) MarkDone(track->blocks[i]);
  return false;
}

void DeviceClose(SoundTrack* track) {
  if (!track->device) return;
  platform::WaveOutReset(track->device);
  WaitForBlocks(track, 2, kCloseWaitMs);
  platform::WaveOutClose(track->device);
  track->device = nullptr;
}

bool DeviceOpen(SoundTrack* track) {
  platform::WaveFormat format;
  format.rate = track->sampleRate;
  format.channels = track->stereo ? 2 : 1;
  format.bits = track->sixteenBit ? 16 : 8;
  track->device = platform::WaveOutOpen(format);
  if (!track->device) return false;
  for (int i = 0; i < 2; ++i) {
    track->blocks[i].data = track->blockData + static_cast<uint64_t>(i) * track->blockSize;
    track->blocks[i].length = track->blockSize;
  }
  MarkDone(track->blocks[1]);
  if (track->volumeSet) platform::WaveOutSetVolume(track->device, track->volume);
  // Priming: four bytes of silence must come back from the device.
  std::memset(track->blocks[0].data, SilenceOf(track), 4);
  track->blocks[0].length = 4;
  platform::WaveOutWrite(track->device, &track->blocks[0]);
  if (!WaitForBlocks(track, 1, kPrimeWaitMs)) {
    DeviceClose(track);
    return false;
  }
  return true;
}

void FreeBlocks(SoundTrack* track) {
  delete[] track->blocks;
  AlignedFree(track->blockData);
  track->blocks = nullptr;
  track->blockData = nullptr;
}

bool OpenTrack(uint32_t flags, SoundTrack* track) {
  // A quarter second of sound in whole 4 KB pages.
  const uint64_t quarter = (uint64_t{track->bytesPerSecond} + 3) / 4;
  const uint64_t blockSize = (quarter + 4095) / 4096 * 4096;
  if (blockSize == 0 || blockSize > UINT32_MAX / 2) return false;
  track->blockSize = static_cast<uint32_t>(blockSize);
  track->blockData = static_cast<uint8_t*>(AlignedAlloc(2 * blockSize));
  track->blocks = new (std::nothrow) WaveBlock[2];
  if (!track->blockData || !track->blocks) {
    FreeBlocks(track);
    return false;
  }
  track->openFlags = flags;
  if (!DeviceOpen(track)) {
    FreeBlocks(track);
    return false;
  }
  track->nextOpenTrack = g_openTracks;
  g_openTracks = track;
  return true;
}

void CloseTrack(SoundTrack* track) {
  if (!g_openTracks) return;
  DeviceClose(track);
  FreeBlocks(track);
  for (SoundTrack** link = &g_openTracks; *link; link = &(*link)->nextOpenTrack) {
    if (*link == track) {
      *link = track->nextOpenTrack;
      break;
    }
  }
  track->nextOpenTrack = nullptr;
}

bool StartTrack(SoundTrack* track) { return track->device || DeviceOpen(track); }

void StopTrack(SoundTrack* track) { DeviceClose(track); }

void ResetTrack(SoundTrack* track) {
  if (track->device) {
    platform::WaveOutReset(track->device);
    WaitForBlocks(track, 2, kCloseWaitMs);
  }
  track->playedBase = 0;
  track->batchStart = track->batchTime = track->batchBytes = 0;
  track->batchStarted = 0;
}

// Hands pending ring bytes to a free block of the track and keeps the playing estimate.
void FeedTrack(SoundTrack* track) {
  if (!track->device) return;
  WaveBlock* blocks = track->blocks;
  if (IsDone(blocks[0]) && IsDone(blocks[1])) track->starved = 1;
  if (track->pending <= 3) return;
  WaveBlock* block = IsDone(blocks[0]) ? &blocks[0] : IsDone(blocks[1]) ? &blocks[1] : nullptr;
  if (!block) return;
  const uint64_t n = std::min<uint64_t>(track->pending, track->blockSize);
  block->data = track->blockData + (block == &blocks[1] ? track->blockSize : 0);
  track->readPointer = RingCopy(n, track->ringEnd, track->ringStart, track->readPointer, block->data);
  track->pending -= n;
  block->length = static_cast<uint32_t>(n);
  platform::WaveOutWrite(track->device, block);

  // The blocks written while the device keeps playing form one batch, whose playing is
  // estimated from the clock.
  const uint64_t now = platform::NowMilliseconds();
  if (!track->batchStarted) {
    track->batchStarted = 1;
    track->batchStart = now;
    track->batchBytes = n;
  } else if (track->batchStart + track->batchTime < now) {
    track->playedBase += track->batchBytes;
    track->batchStart = now;
    track->batchBytes = n;
  } else {
    track->batchBytes += n;
  }
  track->batchTime = track->batchBytes * 1000 / track->bytesPerSecond;
}

void Service() {
  for (SoundTrack* track = g_openTracks; track; track = track->nextOpenTrack) FeedTrack(track);
}

uint64_t Position(SoundTrack* track) {
  Service();
  if (!track->batchStarted) return 0;
  const uint64_t elapsed = platform::NowMilliseconds() - track->batchStart;
  if (elapsed >= track->batchTime) return track->playedBase + track->batchBytes;
  return track->playedBase + track->batchBytes * elapsed / track->batchTime;
}

void VolumePan(uint32_t pan, uint32_t volume, SoundTrack* track) {
  volume = std::min<uint32_t>(volume, 0xFFFF);
  pan = std::min<uint32_t>(pan, 0x10000);
  const uint32_t right = pan < 0x8000 ? volume * pan / 0x8000 : volume;
  const uint32_t left = pan > 0x8000 ? volume * (0x10000 - pan) / 0x8000 : volume;
  track->volume = left | right << 16;
  track->volumeSet = 1;
  if (track->device) platform::WaveOutSetVolume(track->device, track->volume);
}

}  // namespace

uint8_t* RingCopy(uint64_t count, uint8_t* ringEnd, uint8_t* ringStart, uint8_t* from, uint8_t* destination) {
  const uint64_t toEnd = static_cast<uint64_t>(ringEnd - from);
  if (count >= toEnd) {
    if (toEnd > 0) std::memcpy(destination, from, toEnd);
    destination += toEnd;
    count -= toEnd;
    from = ringStart;
  }
  if (count > 0) std::memcpy(destination, from, count);
  return from + count;
}

const SoundBackEnd& WaveOutBackEnd() {
  static const SoundBackEnd operations{OpenTrack, CloseTrack, StartTrack, StopTrack,
                                       ResetTrack, Service,   Position,   VolumePan};
  return operations;
}
