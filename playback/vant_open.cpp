// VantOpen and VantClose: from a .vnt file to an open-video handle and back.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

#include "playback/destination.h"
#include "playback/library_state.h"
#include "playback/sound_track.h"
#include "playback/tree_tables.h"
#include "playback/vant.h"
#include "playback/open_video.h"
#include "playback/video_file_format.h"
#include "playback/video_memory.h"
#include "playback/video_reading.h"

namespace {

constexpr uint64_t kUnknownSize = UINT64_MAX;
constexpr uint32_t kKeptFlagsCleared = 0x3FE000;  // track and height-scaling bits, set anew
constexpr uint64_t kSmallestRing = 8192;
constexpr uint64_t kAutoRingFloor = 0x3000;
constexpr uint32_t kLargestFrameCount = 0x7FFFFFFF;

uint64_t TablesBlockSize(const VantVideo* video) { return 5 * uint64_t(video->storedFrames) + 4; }

// Frees everything the handle holds, closes the file unless it is the caller's, and clears the
// record; the record itself is freed unless it is caller memory.
void ReleaseVideo(VantVideo* video, bool callersFile, bool callerMemory) {
  CloseVideoSoundTracks(video);
  if (video->fileHandle >= 0 && !callersFile) close(video->fileHandle);
  ReleaseDestination(video);
  if (video->treeBlock != nullptr) {
    delete video->treeBlock;
    video->memoryInUse -= video->treeBlockSize;
  }
  CountedFree(video, video->frameSizes, TablesBlockSize(video));
  CountedFree(video, video->frameBuffer, video->frameBufferSize + 8);
  CountedFree(video, video->extraBuffer, video->extraBufferSize + 4096);
  std::memset(video, 0, sizeof(VantVideo));
  if (!callerMemory) AlignedFree(video);
}

// Frame period in 10 us units from the header's frame rate.
uint32_t FramePeriod(int32_t rate) {
  if (rate < 0) return static_cast<uint32_t>(-int64_t(rate));
  return static_cast<uint32_t>(std::min<uint64_t>(uint64_t(rate) * 100, UINT32_MAX));
}

bool ReadExactly(VantVideo* video, uint8_t* destination, uint64_t count) {
  return ReadVideoData(video, destination, count) == count;
}

// Reads the frame-size and frame-type tables (file order: sizes, then types). The sizes come
// first in the block so that they are aligned for 32-bit access.
bool ReadFrameTables(VantVideo* video) {
  const uint64_t n = video->storedFrames;
  auto* block = static_cast<uint8_t*>(CountedAlloc(video, TablesBlockSize(video)));
  if (block == nullptr) return false;
  video->frameSizes = reinterpret_cast<uint32_t*>(block);
  video->frameTypes = block + 4 * n;
  if (!ReadExactly(video, block, 4 * n) || !ReadExactly(video, video->frameTypes, n)) return false;
  for (uint64_t i = 0; i < n; ++i) video->frameSizes[i] = vntfile::LoadLE32(block + 4 * i);
  return true;
}

// Reads the file's tree data and builds the decoder's tables from it; the data is freed again
// at once. A description the builder refuses fails the open.
bool ReadTreeData(VantVideo* video) {
  const uint64_t dataSize = video->header.treeDataSize;
  if (dataSize == 0) return false;  // even four absent trees take four bits
  auto* data = static_cast<uint8_t*>(CountedAlloc(video, dataSize));
  if (data == nullptr) return false;
  std::unique_ptr<DecoderTrees> trees;
  if (ReadExactly(video, data, dataSize)) trees = BuildVideoTrees(data, dataSize, video->header.treeSizes);
  if (trees) {
    // Counted like the blocks of CountedAlloc, while the data is still held.
    video->treeBlockSize = DecoderTreesMemory(*trees);
    video->memoryInUse += video->treeBlockSize;
    video->peakMemory = std::max(video->peakMemory, video->memoryInUse);
    video->treeBlock = trees.release();
  }
  CountedFree(video, data, dataSize);
  return video->treeBlock != nullptr;
}

// Largest frame, average size and the highest sum of sizes over `window` consecutive frames.
// The window that starts at frame 0 is left out: frame 0 carries a second of sound ahead.
void FrameSizeStatistics(VantVideo* video, uint32_t window, uint32_t& largest) {
  const uint32_t n = video->storedFrames;
  const uint32_t* sizes = video->frameSizes;
  uint64_t total = 0;
  largest = 0;
  for (uint32_t i = 0; i < n; ++i) {
    total += sizes[i];
    largest = std::max(largest, sizes[i]);
  }
  video->totalFrameBytes = total;
  video->averageFrameSize = static_cast<uint32_t>(total / n);
  video->highestRate = 0;
  video->highestRateFrame = 0;
  if (n - 1 < window) {
    video->highestRate = total;
    return;
  }
  uint64_t sum = 0;
  for (uint32_t i = 1; i <= window; ++i) sum += sizes[i];
  for (uint32_t first = 1; first + window <= n; ++first) {
    if (sum > video->highestRate) {
      video->highestRate = sum;
      video->highestRateFrame = first;
    }
    if (first + window < n) sum += uint64_t(sizes[first + window]) - sizes[first];
  }
}

// Chooses between preloading and a read-ahead ring, and allocates the buffers. Nothing larger
// than the frame data the file holds is allocated: a frame that does not lie whole in the file
// can never be read.
bool SetUpBuffers(VantVideo* video, uint32_t& flags, uint32_t extraBufferSize, uint32_t largest) {
  const uint64_t total = video->totalFrameBytes;
  if (!(flags & VANT_OPEN_PRELOAD)) {
    uint64_t size = extraBufferSize;
    if (extraBufferSize == VANT_EXTRA_BUFFER_AUTO) {
      const uint64_t second = video->framePeriod == 0 ? kAutoRingFloor : video->highestRate;
      size = std::max(std::min(second, total / 4), kAutoRingFloor);
    }
    // More than the file holds is never read ahead (whole files are preloaded then anyway).
    size = std::min(size, video->heldFrameBytes);
    size = std::max((size + 4095) / 4096 * 4096, kSmallestRing);
    if (size >= total * 4 / 5) {
      flags |= VANT_OPEN_PRELOAD;  // the ring would hold most of the video anyway
    } else {
      video->extraBuffer = static_cast<uint8_t*>(CountedAlloc(video, size + 4096));
      if (video->extraBuffer == nullptr) return false;
      video->extraBufferSize = size;
      video->readPointer = video->writePointer = video->extraBuffer;
      video->readEnd = video->extraBuffer + size;
    }
  }
  video->keptFlags = flags & ~kKeptFlagsCleared;
  video->frameBufferSize = std::min<uint64_t>((flags & VANT_OPEN_PRELOAD) ? total : largest, video->heldFrameBytes);
  video->frameBuffer = static_cast<uint8_t*>(CountedAlloc(video, video->frameBufferSize + 8));
  if (video->frameBuffer == nullptr) return false;
  std::memset(video->frameBuffer, 0, video->frameBufferSize + 8);
  video->readPosition = video->firstFrameOffset;
  return true;
}

// Applies forced height scaling to the header and notes the result in the kept flags; a
// height-scaled video reports twice its stored height.
bool ApplyHeightScaling(VantVideo* video, uint32_t flags) {
  VideoFileHeader& header = video->header;
  const uint32_t forced = flags & (VANT_OPEN_INTERLACED | VANT_OPEN_DOUBLED);
  if (forced != 0) {
    header.flags &= ~vntfile::kHeightScalingMask;
    if (forced == VANT_OPEN_DOUBLED) header.flags |= vntfile::kFlagDoubled;
    if (forced == VANT_OPEN_INTERLACED) header.flags |= vntfile::kFlagInterlaced;
  }
  const uint32_t scaling = header.flags & vntfile::kHeightScalingMask;
  if (scaling == vntfile::kFlagInterlaced) video->keptFlags |= VANT_OPEN_INTERLACED;
  if (scaling == vntfile::kFlagDoubled) video->keptFlags |= VANT_OPEN_DOUBLED;
  if (video->keptFlags & (VANT_OPEN_INTERLACED | VANT_OPEN_DOUBLED)) {
    if (header.height > UINT32_MAX / 2) return false;
    header.height *= 2;
  }
  return true;
}

}  // namespace

size_t VantVideoRecordSize(void) { return sizeof(VantVideo); }

VantVideo* VantOpen(const void* source, uint32_t flags, uint32_t extraBufferSize) {
  return OpenVideo(source, flags, extraBufferSize, platform::SystemClock());
}

VantVideo* OpenVideo(const void* source, uint32_t flags, uint32_t extraBufferSize, platform::Clock& clock,
                     AudioContext& audio) {
  return TryOpenVideo(source, flags, extraBufferSize, clock, audio).video;
}

OpenAttempt TryOpenVideo(const void* source, uint32_t flags, uint32_t extraBufferSize, platform::Clock& clock,
                         AudioContext& audio) {
  const bool byHandle = flags & VANT_OPEN_FILE_HANDLE;
  const bool callerMemory = flags & VANT_OPEN_CALLER_MEMORY;
  // A descriptor passed directly may be 0; everything else must point somewhere.
  if (source == nullptr && !(byHandle && !callerMemory)) return {nullptr, OpenFailure::NoSource};
  const uint64_t openStart = clock.Now();

  int fd = -1;
  if (byHandle) {
    if (callerMemory) {
      int32_t word;
      std::memcpy(&word, source, 4);
      fd = word;
    } else {
      fd = static_cast<int>(reinterpret_cast<intptr_t>(source));
    }
    if (fd < 0) return {nullptr, OpenFailure::NoSource};
  } else {
    fd = open(static_cast<const char*>(source), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return {nullptr, OpenFailure::CannotOpen, errno};
    posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  }
  auto giveUp = [&](OpenFailure failure, int error = 0) -> OpenAttempt {
    if (!byHandle) close(fd);
    return {nullptr, failure, error};
  };
  const off_t startPosition = lseek(fd, 0, SEEK_CUR);
  if (startPosition < 0) return giveUp(OpenFailure::CannotOpen, errno);
  // Bytes from the start position to the end of the file, when the file has a known size.
  uint64_t available = kUnknownSize;
  struct stat info;
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
    if (info.st_size < startPosition) return giveUp(OpenFailure::CutShort);
    available = uint64_t(info.st_size - startPosition);
  }

  VantVideo* video = callerMemory ? static_cast<VantVideo*>(const_cast<void*>(source))
                                  : static_cast<VantVideo*>(AlignedAlloc(sizeof(VantVideo)));
  if (video == nullptr) return giveUp(OpenFailure::NoMemory);
  std::memset(video, 0, sizeof(VantVideo));
  video->memoryInUse = video->peakMemory = sizeof(VantVideo);
  video->clock = &clock;
  video->audio = &audio;
  video->fileHandle = fd;
  video->firstFrameOffset = uint64_t(startPosition);
  video->pacingTrack = -1;
  if (flags & VANT_OPEN_SIMULATE_READ) video->simulatedReadRate = ProcessSimulatedReadRate();
  auto fail = [&](OpenFailure failure) -> OpenAttempt {
    ReleaseVideo(video, byHandle, callerMemory);
    return {nullptr, failure};
  };

  // Header.
  uint8_t rawHeader[vntfile::kHeaderSize];
  if (!ReadExactly(video, rawHeader, sizeof(rawHeader))) return fail(OpenFailure::CutShort);
  video->header = vntfile::ParseHeader(rawHeader);
  VideoFileHeader& header = video->header;
  if (!vntfile::HasMagic(header) || header.frames == 0 || header.frames > kLargestFrameCount) {
    return fail(OpenFailure::NotAVideo);
  }
  const uint64_t firstFrame = vntfile::FirstFrameOffset(header);
  if (available != kUnknownSize && firstFrame > available) return fail(OpenFailure::CutShort);

  if (flags & VANT_OPEN_USE_FRAME_RATE) header.frameRate = ProcessFrameRate();
  video->framePeriod = FramePeriod(header.frameRate);
  const uint32_t window =
      std::max<uint32_t>(1, video->framePeriod ? 100000 / video->framePeriod : 100000);

  // Tables and tree data.
  video->storedFrames = static_cast<uint32_t>(vntfile::StoredFrameCount(header));
  if (!ReadFrameTables(video)) return fail(OpenFailure::CutShort);
  for (uint32_t i = 0; i < video->storedFrames; ++i) {
    if (video->frameSizes[i] % vntfile::kFramePadding != 0) return fail(OpenFailure::Damaged);
  }
  if (!ReadTreeData(video)) return fail(OpenFailure::Damaged);
  video->firstFrameOffset = uint64_t(startPosition) + firstFrame;

  uint32_t largest = 0;
  FrameSizeStatistics(video, window, largest);
  // A file cut short inside its frame data still opens: it plays up to the cut, where reading
  // fails (readFailed), as it would when the file shrank during playback.
  video->heldFrameBytes = available == kUnknownSize
                              ? video->totalFrameBytes
                              : std::min<uint64_t>(video->totalFrameBytes, available - firstFrame);

  // Frame data.
  if (!SetUpBuffers(video, flags, extraBufferSize, largest)) return fail(OpenFailure::NoMemory);
  video->currentFrameData = video->frameBuffer;
  if (IsPreloaded(video)) {
    video->heldFrameBytes = ReadVideoData(video, video->frameBuffer, video->frameBufferSize);
    if (!byHandle) close(fd);
    video->fileHandle = -1;
    if (video->frameSizes[0] > video->heldFrameBytes) video->readFailed = 1;
  } else {
    AlignOpenRing(video);
    if (video->frameSizes[0] > video->frameBufferSize ||
        !ReadExactly(video, video->frameBuffer, video->frameSizes[0])) {
      video->readFailed = 1;
    }
  }
  video->lastPaletteFrame = -1;
  LocateFrameChunks(video);

  // Sound tracks asked for by VANT_OPEN_TRACK_0 << t; a track that cannot open stays closed
  // without failing the open. The kept flags tell which ones opened.
  for (uint32_t t = 0; t < vntfile::kTrackCount; ++t) {
    if ((flags & (VANT_OPEN_TRACK_0 << t)) && OpenTrackSound(video, t)) video->keptFlags |= VANT_OPEN_TRACK_0 << t;
  }

  video->nextFrameTime = UINT64_MAX;
  if (flags & VANT_OPEN_FILL_BUFFER) {
    while (BackgroundRead(video) != 0) {
    }
  }
  if (!ApplyHeightScaling(video, flags)) return fail(OpenFailure::Damaged);

  video->openTime = static_cast<uint32_t>(clock.Now() - openStart);
  video->foregroundBytes += video->backgroundBytes;
  video->foregroundMs += video->backgroundMs;
  video->backgroundBytes = 0;
  video->backgroundMs = 0;
  video->openReadTime = video->foregroundMs;
  return {video};
}

void VantClose(VantVideo* video) {
  if (video == nullptr) return;
  const uint32_t kept = video->keptFlags;
  ReleaseVideo(video, kept & VANT_OPEN_FILE_HANDLE, kept & VANT_OPEN_CALLER_MEMORY);
}
