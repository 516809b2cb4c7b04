#pragma once
// The block machinery that both sound back ends share: each open track has two device blocks of
// a quarter second, refilled in turn from the track's ring once the device has marked them done,
// and the play position is what the device has played of the track, counted by the device itself
// rather than guessed from the clock, so that the picture keeps to the sound that is heard even
// where the device's clock and the system's differ. The back ends differ only in the device under
// the blocks.
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <new>

#include "platform/system/clock.h"
#include "playback/sound_track.h"

// The done bit of a block's flags: the device has finished with it and it may be refilled.
inline constexpr uint32_t kTrackBlockDone = 1;

template <typename Block>
bool TrackBlockDone(const Block& block) {
  return block.flags.load(std::memory_order_acquire) & kTrackBlockDone;
}

template <typename Block>
void MarkTrackBlockDone(Block& block) {
  block.flags.store(kTrackBlockDone, std::memory_order_release);
}

// Makes both blocks of the track, a quarter second of sound each in whole 4 KB pages, with their
// data right after each other. False (nothing kept) when the size is absurd or memory is short.
template <typename Block>
bool AllocateTrackBlocks(SoundTrack* track, Block*& blocks) {
  const uint64_t quarter = (uint64_t{track->bytesPerSecond} + 3) / 4;
  const uint64_t blockSize = (quarter + 4095) / 4096 * 4096;
  if (blockSize == 0 || blockSize > UINT32_MAX / 2) return false;
  track->blockSize = static_cast<uint32_t>(blockSize);
  track->blockData = static_cast<uint8_t*>(AlignedAlloc(2 * blockSize));
  blocks = new (std::nothrow) Block[2];
  if (track->blockData && blocks) return true;
  delete[] blocks;
  blocks = nullptr;
  AlignedFree(track->blockData);
  track->blockData = nullptr;
  return false;
}

template <typename Block>
void FreeTrackBlocks(SoundTrack* track, Block*& blocks) {
  delete[] blocks;
  blocks = nullptr;
  AlignedFree(track->blockData);
  track->blockData = nullptr;
}

// Points both blocks at their data, full length, the second marked done.
template <typename Block>
void PrepareTrackBlocks(SoundTrack* track, Block* blocks) {
  for (int i = 0; i < 2; ++i) {
    blocks[i].data = track->blockData + static_cast<uint64_t>(i) * track->blockSize;
    blocks[i].length = track->blockSize;
  }
  MarkTrackBlockDone(blocks[1]);
}

// Waits until the first `count` blocks are done or the time is up; past it they count as done,
// so that a device that stopped giving blocks back never hangs its caller. True when they came.
template <typename Block>
bool WaitForTrackBlocks(platform::Clock& clock, Block* blocks, int count, uint64_t limitMs) {
  const uint64_t start = clock.Now();
  for (;;) {
    bool all = true;
    for (int i = 0; i < count; ++i) all = all && TrackBlockDone(blocks[i]);
    if (all) return true;
    if (clock.Now() - start >= limitMs) break;
    clock.Sleep(1);
  }
  for (int i = 0; i < count; ++i) MarkTrackBlockDone(blocks[i]);
  return false;
}

// The back end's list of open tracks, newest first, linked through nextOpenTrack.
void LinkOpenTrack(SoundTrack*& head, SoundTrack* track);
void UnlinkOpenTrack(SoundTrack*& head, SoundTrack* track);

// The play position, from what the device in use has played in all (`devicePlayed`): what the
// earlier devices played since the last reset, and what this one played since it was counted from.
inline uint64_t TrackPlayPosition(const SoundTrack* track, uint64_t devicePlayed) {
  return track->playedBase + (devicePlayed - track->countedFrom);
}
// The device in use counts from here on (a new device, once primed).
inline void CountPositionFrom(SoundTrack* track, uint64_t devicePlayed) { track->countedFrom = devicePlayed; }
// The position starts again at 0 (what is queued was dropped).
inline void ResetPosition(SoundTrack* track, uint64_t devicePlayed) {
  track->playedBase = 0;
  track->countedFrom = devicePlayed;
}
// The device is about to close: what it played stays in the position.
inline void KeepPosition(SoundTrack* track, uint64_t devicePlayed) {
  track->playedBase = TrackPlayPosition(track, devicePlayed);
  track->countedFrom = 0;
}

// Flags the track starved when both blocks are done, then moves more than 3 pending ring bytes
// (at most a block) into a done block, the first preferred, and hands it to `write`. At most one
// block per call.
template <typename Block, typename Write>
void FeedTrackBlocks(SoundTrack* track, Block* blocks, Write write) {
  if (TrackBlockDone(blocks[0]) && TrackBlockDone(blocks[1])) track->starved = 1;
  if (track->pending <= 3) return;
  Block* block = TrackBlockDone(blocks[0]) ? &blocks[0] : TrackBlockDone(blocks[1]) ? &blocks[1] : nullptr;
  if (!block) return;
  const uint64_t n = std::min<uint64_t>(track->pending, track->blockSize);
  block->data = track->blockData + (block == &blocks[1] ? track->blockSize : 0);
  track->readPointer = RingCopy(n, track->ringEnd, track->ringStart, track->readPointer, block->data);
  track->pending -= n;
  block->length = static_cast<uint32_t>(n);
  write(block);
}
