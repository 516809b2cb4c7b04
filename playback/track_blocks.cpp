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
