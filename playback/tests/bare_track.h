#pragma once
// A sound track without a video: a ring of its own that the test fills, as the library opens one.
#include <cstring>
#include <vector>

#include "playback/sound_track.h"

struct BareTrack {
  explicit BareTrack(uint32_t rate = 22050, bool sixteenBit = false, bool stereo = false) {
    std::memset(&track, 0, sizeof track);
    track.sampleRate = rate;
    track.sixteenBit = sixteenBit;
    track.stereo = stereo;
    track.bytesPerSecond = rate * SampleFrameBytes(&track);
    track.ringSize = sizeof ring;
    track.ringStart = track.readPointer = track.writePointer = ring;
    track.ringEnd = ring + sizeof ring;
  }
  BareTrack(const BareTrack&) = delete;
  BareTrack& operator=(const BareTrack&) = delete;

  // Puts the bytes at the write pointer; they are pending for the back end.
  void Queue(const std::vector<uint8_t>& bytes) {
    for (uint8_t b : bytes) {
      *track.writePointer++ = b;
      if (track.writePointer == track.ringEnd) track.writePointer = track.ringStart;
    }
    track.pending += bytes.size();
  }

  SoundTrack track;
  uint8_t ring[16384];
};
