#pragma once
// Where frame stepping and pacing meet the sound tracks (sound_tracks.cpp). A video without an
// open track has no pacing track (pacingTrack stays -1) and is paced by the millisecond clock.
#include <cstdint>

#include "playback/vant.h"

// The pacing track's figures that the frame pacing compares, all in bytes of the track's sound
// except the two fractions, which count 1/1024 bytes on top of the due base.
struct PacingTrackFigures {
  bool hadData = false;        // the current frame brought sound for the track
  uint64_t position = 0;       // bytes the sound device has played
  uint64_t dueBase = 0;        // whole bytes of the due clock
  uint64_t dueFraction = 0;    // the current frame's due position beyond dueBase, x1024
  uint64_t lateThreshold = 0;  // dueFraction plus half a second, x1024
  uint32_t soundSkips = 0;     // silence insertions after the device ran dry
};

// Reads the pacing track's figures. False when the video has no pacing track.
bool ReadPacingTrack(const VantVideo* video, PacingTrackFigures& figures);

// Hands the current frame's audio chunks to the open tracks and moves the pacing track's due
// clock on by one frame; sets soundWait when the video is paced. Nothing without a pacing track
// or while the sound is off.
void ProcessFrameSound(VantVideo* video);

// The frame is late once the device has played up to half a second past the frame's due
// position: due base + late threshold / 1024 (the threshold already holds the due fraction).
inline bool PacingTrackIsLate(const PacingTrackFigures& f) {
  return f.position >= f.dueBase + f.lateThreshold / 1024;
}

// The next frame is due once the device has played (within 8 bytes) up to the due position.
inline bool PacingTrackIsDue(const PacingTrackFigures& f) {
  return f.position + 8 >= f.dueBase + f.dueFraction / 1024;
}
