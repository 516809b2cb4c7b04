// VantToBuffer and VantToScreen: where VantDoFrame draws.
#include "playback/destination.h"

#include <algorithm>
#include <new>

#include "playback/frame_decoder.h"

namespace {

constexpr uint32_t kBottomUp = 0x1;
constexpr uint32_t k16Bit = 0x80000000u;

HeightScaling ScalingOf(const VantVideo* video) {
  if (video->keptFlags & VANT_OPEN_DOUBLED) return HeightScaling::Doubled;
  if (video->keptFlags & VANT_OPEN_INTERLACED) return HeightScaling::Interlaced;
  return HeightScaling::None;
}

// Moves the video's memory figures from the descriptor's old size to its present one.
void CountDestinationMemory(VantVideo* video) {
  const uint64_t size = DestinationMemory(*video->destination);
  video->memoryInUse = video->memoryInUse - video->destinationSize + size;
  video->peakMemory = std::max(video->peakMemory, video->memoryInUse);
  video->destinationSize = static_cast<uint32_t>(size);
}

}  // namespace

void ReleaseDestination(VantVideo* video) {
  if (video->destination != nullptr) {
    delete video->destination;
    video->memoryInUse -= video->destinationSize;
  }
  video->destination = nullptr;
  video->destinationSize = 0;
  video->colorTable = nullptr;
}

int32_t VantToBuffer(VantVideo* video, int32_t left, int32_t top, int32_t pitch, int32_t height,
                     void* buffer, uint32_t flags) {
  if (video == nullptr) return 0;
  if (buffer == nullptr) {
    ReleaseDestination(video);
    return 0;
  }
  MemoryDestination where;
  where.buffer = static_cast<uint8_t*>(buffer);
  where.left = left;
  where.top = top;
  where.pitch = pitch;
  where.rows = height;
  where.bottomUp = (flags & kBottomUp) != 0;
  where.pixelFormat = (flags & k16Bit) ? static_cast<uint8_t>(flags >> 24) : 0;
  where.width = video->header.width;
  where.scaling = ScalingOf(video);
  where.codedHeight = where.scaling == HeightScaling::None ? video->header.height : video->header.height / 2;

  // The descriptor is kept from call to call, so its 16-bit colour table stays.
  try {
    if (video->destination == nullptr) {
      video->destination = new DestinationDescriptor;
      video->destinationSize = 0;
    }
    if (!DescribeMemoryDestination(where, *video->destination)) {
      ReleaseDestination(video);  // never draw into the buffer given before
      return 0;
    }
  } catch (const std::bad_alloc&) {
    ReleaseDestination(video);
    return 0;
  }
  CountDestinationMemory(video);
  video->colorTable = video->destination->Is16Bit() ? video->destination->colorTable16.data() : nullptr;
  video->destinationLeft = left;
  video->destinationTop = top;
  return 1;
}

int32_t VantToScreen(VantVideo* video, int32_t /*left*/, int32_t /*top*/, int32_t /*pitch*/,
                     void* /*screen*/, void* /*bankSelect*/, uint32_t /*flags*/) {
  if (video == nullptr) return 0;
  ReleaseDestination(video);
  return 0;
}
