// Opening and closing sound tracks, and handing each frame's audio chunks to their rings.
#include <algorithm>
#include <cstring>

#include "platform/system/mul_div.h"
#include "playback/audio_context.h"
#include "playback/audio_chunk_decoder.h"
#include "playback/library_state.h"
#include "playback/pacing_sound.h"
#include "playback/sound_track.h"
#include "playback/video_file_format.h"
#include "playback/video_memory.h"


namespace {

// The due clock folds 256000 bytes (x1024) into its base so that its fraction stays small.
constexpr uint64_t kDueFold = 0xFA00000;
constexpr uint64_t kDueFoldBytes = kDueFold / 1024;
constexpr uint64_t kLateFoldMinimum = 0x2000000;
// Rings beyond this (absurd rates or frame periods) leave the track closed.
constexpr uint64_t kLargestRing = 1u << 30;

uint32_t CountOpenTracks(const VantVideo* video) {
  uint32_t count = 0;
  for (const SoundTrack* track : video->soundTracks) count += track != nullptr;
  return count;
}

void FreeTrack(VantVideo* video, uint32_t t) {
  SoundTrack* track = video->soundTracks[t];
  CountedFree(video, track->ringStart, track->ringSize);
  CountedFree(video, track, sizeof(SoundTrack));
  video->soundTracks[t] = nullptr;
}

uint64_t FreeSpace(const SoundTrack* track) { return track->ringSize - track->pending; }

uint64_t WholeSampleFrames(const SoundTrack* track, uint64_t bytes) {
  return bytes / SampleFrameBytes(track) * SampleFrameBytes(track);
}

void AdvanceWritePointer(SoundTrack* track, uint64_t bytes) {
  const uint64_t toEnd = static_cast<uint64_t>(track->ringEnd - track->writePointer);
  track->writePointer = bytes >= toEnd ? track->ringStart + (bytes - toEnd) : track->writePointer + bytes;
  track->delivered += bytes;
  track->pending += bytes;
}

// Bytes of sound the frame's chunk of track t holds: the count after the length word of a
// coded chunk, the bytes after the length word of a raw one; 0 without a chunk.
uint64_t ChunkSoundBytes(const VantVideo* video, const SoundTrack* track, uint32_t t) {
  const uint8_t* chunk = video->audioChunks[t];
  if (!chunk) return 0;
  const uint32_t length = vntfile::LoadLE32(chunk);
  if (!track->compressed) return length - 4;  // the chunk walk guarantees at least 4
  if (length < 8) return 0;
  const uint32_t count = vntfile::LoadLE32(chunk + 4);
  return count == UINT32_MAX ? 0 : count;
}

// Decodes or copies `bytes` of the chunk into the ring at the write pointer.
void QueueChunk(const VantVideo* video, SoundTrack* track, uint32_t t, uint64_t bytes) {
  const uint8_t* chunk = video->audioChunks[t];
  const uint32_t length = vntfile::LoadLE32(chunk);
  uint64_t written;
  if (track->compressed) {
    written = DecompressAudio(chunk + 8, length - 8, static_cast<uint32_t>(bytes), track->ringStart,
                              track->ringEnd, track->writePointer);
  } else {
    const uint64_t toEnd = static_cast<uint64_t>(track->ringEnd - track->writePointer);
    const uint64_t first = std::min(bytes, toEnd);
    std::memcpy(track->writePointer, chunk + 4, first);
    std::memcpy(track->ringStart, chunk + 4 + first, bytes - first);
    written = bytes;
  }
  AdvanceWritePointer(track, written);
}

// Moves the pacing track's due clock on by one frame. Returns the due position gained.
uint64_t AdvanceDueClock(SoundTrack* pacing) {
  const uint64_t before = pacing->dueBase * 1024 + pacing->dueFraction;
  pacing->dueFraction += pacing->frameBytes;
  pacing->lateThreshold += pacing->frameBytes;
  if (pacing->dueFraction > kDueFold && pacing->lateThreshold > kLateFoldMinimum) {
    pacing->dueFraction -= kDueFold;
    pacing->lateThreshold -= kDueFold;
    pacing->dueBase += kDueFoldBytes;
  }
  return (pacing->dueBase * 1024 + pacing->dueFraction) / 1024 - before / 1024;
}

}  // namespace

uint64_t WriteRingSilence(SoundTrack* track, uint64_t bytes) {
  bytes = WholeSampleFrames(track, std::min(bytes, FreeSpace(track)));
  const uint64_t toEnd = static_cast<uint64_t>(track->ringEnd - track->writePointer);
  const uint64_t first = std::min(bytes, toEnd);
  std::memset(track->writePointer, SilenceOf(track), first);
  std::memset(track->ringStart, SilenceOf(track), bytes - first);
  AdvanceWritePointer(track, bytes);
  return bytes;
}

bool OpenTrackSound(VantVideo* video, uint32_t t) {
  AudioContext& audio = AudioOf(video);
  if (!audio.backEnd.open) audio.backEnd = WaveOutBackEnd();
  const uint32_t rateWord = video->header.soundRates[t];
  const uint32_t rate = rateWord & vntfile::kRateSampleMask;
  if (!(rateWord & vntfile::kRatePresent) || rate == 0) return false;

  auto* track = static_cast<SoundTrack*>(CountedAlloc(video, sizeof(SoundTrack)));
  if (!track) return false;
  std::memset(track, 0, sizeof(SoundTrack));
  video->soundTracks[t] = track;
  const uint64_t perSecond = vntfile::TrackBytesPerSecond(rateWord);
  track->frameBytes = platform::MulDiv(uint64_t{perSecond} * 1024, video->framePeriod, 100000);
  track->lateThreshold = perSecond * 512;
  // One second of sound and two frames, in whole 4 KB blocks.
  const uint64_t ringSize = std::max<uint64_t>((perSecond + track->frameBytes / 512 + 4095) / 4096 * 4096, 8192);
  if (ringSize <= kLargestRing) track->ringStart = static_cast<uint8_t*>(CountedAlloc(video, ringSize));
  if (!track->ringStart) {
    CountedFree(video, track, sizeof(SoundTrack));
    video->soundTracks[t] = nullptr;
    return false;
  }
  track->ringSize = static_cast<uint32_t>(ringSize);
  track->ringEnd = track->ringStart + ringSize;
  track->readPointer = track->writePointer = track->ringStart;
  track->bytesPerSecond = static_cast<uint32_t>(perSecond);
  track->sampleRate = rate;
  track->sixteenBit = (rateWord & vntfile::kRate16Bit) != 0;
  track->stereo = (rateWord & vntfile::kRateStereo) != 0;
  track->compressed = (rateWord & vntfile::kRateCompressed) != 0;
  track->trackIndex = t;
  track->audio = &audio;

  if (!audio.backEnd.open(video->keptFlags, track)) {
    FreeTrack(video, t);
    return false;
  }
  track->frameChunkSize = video->header.audioSizes[t] & ~3u;
  if (video->pacingTrack < 0) video->pacingTrack = static_cast<int32_t>(t);
  audio.openTrackCount += 1;
  return true;
}

void CloseVideoSoundTracks(VantVideo* video) {
  for (uint32_t t = 0; t < vntfile::kTrackCount; ++t) {
    if (!video->soundTracks[t]) continue;
    AudioOf(video).backEnd.close(video->soundTracks[t]);
    FreeTrack(video, t);
    AudioOf(video).openTrackCount -= 1;
  }
  video->pacingTrack = -1;
}

void ResetSoundTracksAtStart(VantVideo* video) {
  if (video->pacingTrack < 0) return;
  if (video->soundTracks[video->pacingTrack]->delivered == 0) return;
  // Another video's tracks share the device clock; leave them alone.
  if (CountOpenTracks(video) != AudioOf(video).openTrackCount) return;
  for (SoundTrack* track : video->soundTracks) {
    if (!track) continue;
    AudioOf(video).backEnd.reset(track);
    track->pending = 0;
    track->delivered = 0;
    track->dueBase = 0;
    track->lateThreshold -= track->dueFraction;
    track->dueFraction = 0;
    track->readPointer = track->writePointer = track->ringStart;
    track->starved = track->starveSeen = 0;
  }
}

void ProcessFrameSound(VantVideo* video) {
  if (video->pacingTrack < 0 || video->soundOff) return;
  if (video->framePeriod != 0) video->soundWait = 1;
  SoundTrack* pacing = video->soundTracks[video->pacingTrack];
  const uint64_t frameShare = AdvanceDueClock(pacing);

  RunSoundService(video);
  for (uint32_t t = 0; t < vntfile::kTrackCount; ++t) {
    SoundTrack* track = video->soundTracks[t];
    if (!track) continue;
    uint64_t bytes = WholeSampleFrames(track, ChunkSoundBytes(video, track, t));
    track->noData = bytes == 0;
    if (bytes == 0) {
      // A pacing track whose sound has ended plays silence, so that the rest of the video keeps
      // its pace instead of running as fast as it can.
      if (track == pacing && track->delivered > 0) WriteRingSilence(track, frameShare);
      continue;
    }
    // The device ran dry: pad this frame's sound to a full frame chunk. The silence goes in
    // before the chunk is cut to the free space, so the two together never pass the ring.
    if (track->starveSeen) track->starved = track->starveSeen = 0;
    if (track->starved) {
      track->starveSeen = 1;
      if (bytes < track->frameChunkSize && track->delivered > 0) {
        WriteRingSilence(track, track->frameChunkSize - bytes);
        track->soundSkips += 1;
      }
    }
    if (bytes > FreeSpace(track)) {
      bytes = WholeSampleFrames(track, FreeSpace(track));
      track->overflows += 1;
    }
    if (bytes > 0) QueueChunk(video, track, t, bytes);
  }

  // Sound that came short moves the due clock back to what was delivered.
  if (pacing->delivered < pacing->dueBase + pacing->dueFraction / 1024) {
    pacing->lateThreshold -= pacing->dueFraction;
    pacing->dueFraction = 0;
    pacing->dueBase = pacing->delivered;
  }
}

bool ReadPacingTrack(const VantVideo* video, PacingTrackFigures& figures) {
  figures = PacingTrackFigures{};
  if (video->pacingTrack < 0) return false;
  SoundTrack* pacing = video->soundTracks[video->pacingTrack];
  figures.hadData = !pacing->noData;
  figures.position = AudioOf(video).backEnd.position(pacing);
  figures.dueBase = pacing->dueBase;
  figures.dueFraction = pacing->dueFraction;
  figures.lateThreshold = pacing->lateThreshold;
  figures.soundSkips = pacing->soundSkips;
  return true;
}
