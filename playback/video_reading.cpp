#include "playback/video_reading.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "playback/library_state.h"
#include "platform/system/clock.h"
#include "playback/sound_track.h"
#include "playback/video_file_format.h"

namespace {

constexpr uint64_t kBlock = 4096;         // file reads start at multiples of this
constexpr uint64_t kLargestDirect = 16384;  // largest read straight into the destination

// With a simulated read rate, waits until `bytes` could have been read since `start`.
void WaitForSimulatedRate(const VantVideo* video, uint64_t start, uint64_t bytes) {
  const uint32_t rate = video->simulatedReadRate;
  if (rate == 0 || bytes == 0) return;
  const uint64_t until = start + bytes * 1000 / rate;
  for (uint64_t now = platform::NowMilliseconds(); now < until; now = platform::NowMilliseconds()) {
    platform::SleepMilliseconds(static_cast<uint32_t>(std::min<uint64_t>(until - now, 1000)));
  }
}

uint8_t* RingEnd(const VantVideo* video) { return video->extraBuffer + video->extraBufferSize; }

void EmptyRing(VantVideo* video) {
  video->fill = 0;
  video->readPointer = video->writePointer = video->extraBuffer;
  video->readEnd = RingEnd(video);
}

// Reads the start of the file's 4 KB block at `position` up to its end into the empty ring, so
// that all later reads start at block boundaries. Returns the bytes read.
uint64_t AlignRingToBlock(VantVideo* video, uint64_t position) {
  if (position % kBlock == 0) return 0;
  const uint64_t got =
      ReadFromFile(video->fileHandle, video->writePointer, kBlock - position % kBlock);
  video->writePointer += got;
  video->fill += got;
  return got;
}

// Hands out buffered ring bytes; returns how many were copied.
uint64_t CopyFromRing(VantVideo* video, uint8_t* destination, uint64_t count) {
  uint64_t copied = 0;
  while (video->fill > 0 && copied < count) {
    const uint64_t part = std::min<uint64_t>(
        {uint64_t(video->readEnd - video->readPointer), count - copied, video->fill});
    std::memcpy(destination + copied, video->readPointer, part);
    copied += part;
    video->readPointer += part;
    video->fill -= part;
    video->readPosition += part;
    if (video->readPointer >= video->readEnd) {
      video->readPointer = video->extraBuffer;
      video->readEnd = RingEnd(video);
      if (video->fill == 0) video->writePointer = video->readPointer;
    }
  }
  return copied;
}

}  // namespace

uint64_t ReadFromFile(int fd, uint8_t* destination, uint64_t count) {
  uint64_t done = 0;
  while (done < count) {
    const size_t ask = static_cast<size_t>(std::min<uint64_t>(count - done, 1u << 30));
    const ssize_t got = read(fd, destination + done, ask);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<uint64_t>(got);
  }
  return done;
}

uint64_t ReadVideoData(VantVideo* video, uint8_t* destination, uint64_t count) {
  const uint64_t start = platform::NowMilliseconds();
  uint64_t delivered = 0;
  uint64_t fromFile = 0;
  if (video->extraBuffer == nullptr) {
    delivered = fromFile = ReadFromFile(video->fileHandle, destination, count);
  } else {
    for (;;) {
      delivered += CopyFromRing(video, destination + delivered, count - delivered);
      if (delivered == count) break;
      // The ring is empty and the file stands at a block boundary: large parts go straight to
      // the destination, feeding the sound between reads.
      RunSoundService();
      bool failed = false;
      while (count - delivered > kBlock) {
        const uint64_t remaining = count - delivered;
        const uint64_t ask = remaining > kLargestDirect ? kLargestDirect : remaining / kBlock * kBlock;
        const uint64_t got = ReadFromFile(video->fileHandle, destination + delivered, ask);
        delivered += got;
        fromFile += got;
        video->readPosition += got;
        RunSoundService();
        if (got < ask) {
          failed = true;
          break;
        }
      }
      if (failed || delivered == count) {
        video->readFailed |= failed;
        break;
      }
      // The last 1 to 4096 bytes come with a whole block through the ring.
      const uint64_t got = ReadFromFile(video->fileHandle, video->extraBuffer, kBlock);
      fromFile += got;
      video->readPointer = video->extraBuffer;
      video->writePointer = video->extraBuffer + got;
      video->readEnd = RingEnd(video);
      video->fill = got;
      if (got < count - delivered) {
        video->readFailed = 1;
        break;
      }
    }
  }
  video->foregroundBytes += fromFile;
  WaitForSimulatedRate(video, start, fromFile);
  video->foregroundMs += static_cast<uint32_t>(platform::NowMilliseconds() - start);
  return delivered;
}

uint64_t BackgroundRead(VantVideo* video) {
  if (video->extraBuffer == nullptr || video->currentFrame >= video->header.frames) return 0;
  if (video->extraBufferSize - video->fill < kBlock) return 0;
  // Once the ring holds everything up to the end of the frame data, there is nothing left to
  // read ahead: a read at the end of the file would only cost time and count it.
  const uint64_t bufferedEnd = video->readPosition + video->fill;
  if (bufferedEnd >= video->firstFrameOffset + video->totalFrameBytes) return 0;
  const uint64_t start = platform::NowMilliseconds();
  const uint64_t got = ReadFromFile(video->fileHandle, video->writePointer, kBlock);
  video->fill += got;
  video->writePointer += got;
  if (video->writePointer >= video->readEnd) {
    // Valid data now runs to here; new blocks go to the ring's start.
    video->readEnd = video->writePointer;
    video->writePointer = video->extraBuffer;
  }
  video->highestFill = std::max(video->highestFill, video->fill);
  video->backgroundBytes += got;
  WaitForSimulatedRate(video, start, got);
  video->backgroundMs += static_cast<uint32_t>(platform::NowMilliseconds() - start);
  return got;
}

bool FrameIsHeld(VantVideo* video, uint64_t offset) {
  const uint64_t size = video->currentFrameSize;
  const bool held = IsPreloaded(video) ? offset + size <= video->heldFrameBytes : size <= video->frameBufferSize;
  if (!held) {
    // What the file does not hold is never read or pointed at: the frame fails as a short read.
    video->readFailed = 1;
    video->currentFrameData = video->frameBuffer;
  }
  return held;
}

void SeekToFrame(VantVideo* video) {
  if (video->currentFrame >= video->storedFrames) video->currentFrame = 0;
  if (video->currentFrame == 0) {
    std::memset(video->palette, 0, sizeof(video->palette));
    video->paletteReserved = 0;
    ResetSoundTracksAtStart(video);
  }
  const uint64_t offset = vntfile::FrameOffset(
      0, {video->frameSizes, video->storedFrames}, video->currentFrame);
  video->currentFrameSize = video->frameSizes[video->currentFrame];
  if (!FrameIsHeld(video, offset)) return;
  if (IsPreloaded(video)) {
    video->currentFrameData = video->frameBuffer + offset;
    return;
  }

  const uint64_t target = video->firstFrameOffset + offset;
  if (target >= video->readPosition && target - video->readPosition <= video->fill) {
    // The frame starts inside the buffered data: skip to it.
    const uint64_t skip = target - video->readPosition;
    const uint64_t ahead = uint64_t(video->readEnd - video->readPointer);
    video->fill -= skip;
    if (skip < ahead) {
      video->readPointer += skip;
    } else {
      video->readPointer = video->extraBuffer + (skip - ahead);
      video->readEnd = RingEnd(video);
    }
  } else {
    EmptyRing(video);
    if (lseek(video->fileHandle, static_cast<off_t>(target), SEEK_SET) < 0) {
      video->readFailed = 1;
      return;
    }
    AlignRingToBlock(video, target);
  }
  video->readPosition = target;
  ReadVideoData(video, video->frameBuffer, video->currentFrameSize);
  video->currentFrameData = video->frameBuffer;
}

void StepToNextFrame(VantVideo* video) {
  const uint64_t offset = uint64_t(video->currentFrameData - video->frameBuffer) + video->currentFrameSize;
  video->currentFrame += 1;
  if (video->currentFrame < video->header.frames) {
    video->currentFrameSize = video->frameSizes[video->currentFrame];
    if (FrameIsHeld(video, offset)) {
      if (IsPreloaded(video)) {
        video->currentFrameData = video->frameBuffer + offset;
      } else {
        ReadVideoData(video, video->frameBuffer, video->currentFrameSize);
        video->currentFrameData = video->frameBuffer;
      }
    }
  }
  LocateFrameChunks(video);
}

uint64_t AlignOpenRing(VantVideo* video) { return AlignRingToBlock(video, video->readPosition); }
