// The sound calls of the playback interface.
#include <algorithm>
#include <cstring>

#include "playback/audio_chunk_decoder.h"
#include "playback/library_state.h"
#include "playback/sound_track.h"
#include "playback/video_file_format.h"

namespace {

// The lowest track t whose bit VANT_OPEN_TRACK_0 << t is set, or -1.
int32_t LowestTrack(uint32_t trackBits) {
  for (uint32_t t = 0; t < vntfile::kTrackCount; ++t) {
    if (trackBits & (VANT_OPEN_TRACK_0 << t)) return static_cast<int32_t>(t);
  }
  return -1;
}

// After the sound comes back on mid-video the ring is empty: silence keeps one frame chunk
// ahead of the play position, as the first frame's chunk does at the start.
void KeepOneChunkAhead(SoundTrack* track, uint64_t position) {
  const uint64_t ahead = track->delivered > position ? track->delivered - position : 0;
  if (ahead < track->frameChunkSize) WriteRingSilence(track, track->frameChunkSize - ahead);
}

}  // namespace

int32_t VantSoundUseWin(void) {
  if (g_soundBackEnd.open) return 0;
  g_soundBackEnd = WaveOutBackEnd();
  return 1;
}

void VantSoundCheck(void) { RunSoundService(); }

int32_t VantSoundInTrack(const VantVideo* video, uint32_t trackBits) {
  if (!video) return 0;
  for (uint32_t t = 0; t < vntfile::kTrackCount; ++t) {
    if (!(trackBits & (VANT_OPEN_TRACK_0 << t))) continue;
    const uint32_t word = video->header.soundRates[t];
    if ((word & vntfile::kRatePresent) && (word & vntfile::kRateSampleMask)) return 1;
  }
  return 0;
}

int32_t VantSoundOnOff(VantVideo* video, int32_t on) {
  if (!video || video->pacingTrack < 0) return 0;
  if (on && video->soundOff) {
    uint64_t before[vntfile::kTrackCount] = {};
    for (uint32_t t = 0; t < vntfile::kTrackCount; ++t) {
      SoundTrack* track = video->soundTracks[t];
      if (!track) continue;
      before[t] = g_soundBackEnd.position(track);
      if (!g_soundBackEnd.start(track)) {
        // A track that cannot play again must not pace the video: the sound stays off (the
        // tracks that did start stop again) and the clock paces the frames.
        for (SoundTrack* started : video->soundTracks) {
          if (started == track) break;
          if (started) g_soundBackEnd.stop(started);
        }
        RunSoundService();
        return 0;
      }
    }
    video->soundOff = 0;
    for (uint32_t t = 0; t < vntfile::kTrackCount; ++t) {
      SoundTrack* track = video->soundTracks[t];
      if (!track) continue;
      track->dueBase = g_soundBackEnd.position(track);
      track->lateThreshold -= track->dueFraction;
      track->dueFraction = 0;
      if (video->currentFrame != 0) KeepOneChunkAhead(track, before[t]);
    }
  } else if (!on && !video->soundOff) {
    video->soundOff = 1;
    for (SoundTrack* track : video->soundTracks) {
      if (!track) continue;
      g_soundBackEnd.stop(track);
      track->readPointer = track->writePointer = track->ringStart;
      track->delivered -= track->pending;
      track->pending = 0;
    }
  }
  RunSoundService();
  return 1;
}

int32_t VantVolumePan(VantVideo* video, uint32_t trackBits, uint32_t volume, uint32_t pan) {
  if (!video || video->pacingTrack < 0) return 0;
  volume = std::min<uint32_t>(volume, 0x10000);
  pan = std::min<uint32_t>(pan, 0x10000);
  int32_t applied = 0;
  for (uint32_t t = 0; t < vntfile::kTrackCount; ++t) {
    if (!(trackBits & (VANT_OPEN_TRACK_0 << t)) || !video->soundTracks[t]) continue;
    g_soundBackEnd.volumePan(pan, volume, video->soundTracks[t]);
    applied = 1;
  }
  return applied;
}

uint32_t VantGetTrackData(VantVideo* video, void* buffer, uint32_t trackBits) {
  if (!video || !buffer || video->readFailed) return 0;
  const int32_t t = LowestTrack(trackBits);
  if (t < 0) return 0;
  const uint8_t* chunk = video->audioChunks[t];
  if (!chunk) return 0;
  const uint32_t word = video->header.soundRates[t];
  const uint32_t frame = (word & vntfile::kRate16Bit ? 2 : 1) * (word & vntfile::kRateStereo ? 2 : 1);
  // The caller's buffer holds the header's audio size of the track; never more is written.
  const uint32_t limit = video->header.audioSizes[t];
  const uint32_t length = vntfile::LoadLE32(chunk);
  if (word & vntfile::kRateCompressed) {
    if (length < 8) return 0;
    uint32_t count = vntfile::LoadLE32(chunk + 4);
    if (count == 0 || count == UINT32_MAX) return 0;
    count = std::min(count, limit) / frame * frame;
    if (count == 0) return 0;
    auto* out = static_cast<uint8_t*>(buffer);
    return static_cast<uint32_t>(DecompressAudio(chunk + 8, length - 8, count, out, out + count, out));
  }
  if (length <= 4) return 0;
  const uint32_t count = std::min(length - 4, limit);
  std::memcpy(buffer, chunk + 4, count);
  return count;
}
