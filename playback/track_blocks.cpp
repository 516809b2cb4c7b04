#include "playback/track_blocks.h"

void LinkOpenTrack(SoundTrack*& head, SoundTrack* track) {
  track->nextOpenTrack = head;
  head = track;
}

void UnlinkOpenTrack(SoundTrack*& head, SoundTrack* track) {
  for (SoundTrack** link = &head; *link; link = &(*link)->nextOpenTrack) {
    if (*link == track) {
      *link = track->nextOpenTrack;
      break;
    }
  }
  track->nextOpenTrack = nullptr;
}

void NoteBlockWritten(SoundTrack* track, uint64_t n) {
  // The blocks written while the device keeps playing form one batch; one written after the
  // batch has played out starts the next.
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

uint64_t EstimatedPlayPosition(const SoundTrack* track) {
  if (!track->batchStarted) return 0;
  const uint64_t elapsed = platform::NowMilliseconds() - track->batchStart;
  if (elapsed >= track->batchTime) return track->playedBase + track->batchBytes;
  return track->playedBase + track->batchBytes * elapsed / track->batchTime;
}
