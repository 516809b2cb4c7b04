#pragma once
// Reading an open video's frames: the read-ahead ring, seeking, and locating a frame's chunks.
// The stepping and pacing calls build on these.
#include <cstdint>

#include "playback/vant.h"

// Reads `count` bytes at the video's read position into `destination`, through the ring when
// there is one; large reads go straight to the destination. A short read sets readFailed.
// Returns the bytes delivered.
uint64_t ReadVideoData(VantVideo* video, uint8_t* destination, uint64_t count);

// Reads one 4 KB block ahead into the ring when it has room. Returns the bytes read (0: none).
uint64_t BackgroundRead(VantVideo* video);

// Positions reading at the current frame and reads it into the frame buffer (or points into
// the preloaded data). Frame 0 starts from a cleared palette.
void SeekToFrame(VantVideo* video);

// Locates the current frame's palette, audio and video chunks and takes its palette. A current
// frame at or past the frame count wraps: to the ring frame, then frame 1, or to frame 0.
void LocateFrameChunks(VantVideo* video);

// The reading part of stepping: moves to the next stored frame, reads it and locates it.
void StepToNextFrame(VantVideo* video);

// Bytes of the current frame's video data (0 when its chunks did not fit in the frame).
inline uint32_t VideoChunkSize(const VantVideo* video) {
  return video->currentFrameSize - video->chunksBeforeVideo;
}

inline bool IsPreloaded(const VantVideo* video) {
  return (video->keptFlags & VANT_OPEN_PRELOAD) != 0;
}

// Whether the current frame (at `offset` in the preloaded data) lies whole in what was read
// or fits the frame buffer. When it does not, reading has failed and the current frame data
// stays inside the frame buffer.
bool FrameIsHeld(VantVideo* video, uint64_t offset);

// Fills the freshly emptied ring up to the next 4 KB file boundary after the read position, so
// that later reads are whole aligned blocks. Returns the bytes read (not counted as reading).
uint64_t AlignOpenRing(VantVideo* video);

// Plain read from a file descriptor until `count` bytes, the end of the file or an error.
uint64_t ReadFromFile(int fd, uint8_t* destination, uint64_t count);
