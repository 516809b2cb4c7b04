// The default sound back end: each open track plays through its own wave-out device with two
// alternating blocks, refilled from the track's ring whenever the sound service runs, and its
// play position is what the device has taken of the blocks. Nothing here runs on another thread;
// the device's done marks are polled.
#include <algorithm>
#include <cstring>

#include "platform/audio/wave_out.h"
#include "playback/audio_context.h"
#include "playback/sound_track.h"
#include "playback/track_blocks.h"

namespace {

using platform::kWaveBlockDone;
using platform::WaveBlock;

// How long the device may take to play the priming block, and to give its blocks back at close.
constexpr uint64_t kPrimeWaitMs = 1000;
constexpr uint64_t kCloseWaitMs = 1000;

static_assert(kWaveBlockDone == kTrackBlockDone);

void DeviceClose(SoundTrack* track) {
  if (!track->device) return;
  platform::WaveOutReset(track->device);
  WaitForTrackBlocks(track->audio->clock, track->blocks, 2, kCloseWaitMs);
  KeepPosition(track, platform::WaveOutBytesTaken(track->device));
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
  PrepareTrackBlocks(track, track->blocks);
  if (track->volumeSet) platform::WaveOutSetVolume(track->device, track->volume);
  // Priming: four bytes of silence must come back from the device.
  std::memset(track->blocks[0].data, SilenceOf(track), 4);
  track->blocks[0].length = 4;
  platform::WaveOutWrite(track->device, &track->blocks[0]);
  const bool primed = WaitForTrackBlocks(track->audio->clock, track->blocks, 1, kPrimeWaitMs);
  // The priming is no sound of the track.
  CountPositionFrom(track, platform::WaveOutBytesTaken(track->device));
  if (!primed) {
    DeviceClose(track);
    return false;
  }
  return true;
}

bool OpenTrack(uint32_t flags, SoundTrack* track) {
  if (!AllocateTrackBlocks(track, track->blocks)) return false;
  track->openFlags = flags;
  if (!DeviceOpen(track)) {
    FreeTrackBlocks(track, track->blocks);
    return false;
  }
  LinkOpenTrack(track->audio->waveOutTracks, track);
  return true;
}

void CloseTrack(SoundTrack* track) {
  if (!track->audio->waveOutTracks) return;
  DeviceClose(track);
  FreeTrackBlocks(track, track->blocks);
  UnlinkOpenTrack(track->audio->waveOutTracks, track);
}

bool StartTrack(SoundTrack* track) { return track->device || DeviceOpen(track); }

void StopTrack(SoundTrack* track) { DeviceClose(track); }

void ResetTrack(SoundTrack* track) {
  if (track->device) {
    platform::WaveOutReset(track->device);
    WaitForTrackBlocks(track->audio->clock, track->blocks, 2, kCloseWaitMs);
  }
  ResetPosition(track, platform::WaveOutBytesTaken(track->device));
}

void FeedTrack(SoundTrack* track) {
  if (!track->device) return;
  FeedTrackBlocks(track, track->blocks,
                  [track](WaveBlock* block) { platform::WaveOutWrite(track->device, block); });
}

void Service(AudioContext& audio) {
  for (SoundTrack* track = audio.waveOutTracks; track; track = track->nextOpenTrack) FeedTrack(track);
}

uint64_t Position(SoundTrack* track) {
  Service(*track->audio);
  if (!track->device) return track->playedBase;
  return TrackPlayPosition(track, platform::WaveOutBytesTaken(track->device));
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
