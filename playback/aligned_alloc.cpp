#include <cstdint>
#include <cstdlib>

#include "playback/vant.h"
#include "playback/video_memory.h"

// The block starts d bytes (1 to 16) after what the heap gave, and d is kept in the byte just
// before the block, so AlignedFree can find the heap's address again.
void* AlignedAlloc(size_t size) {
  if (size == 0 || size == 0xFFFFFFFFu || size > SIZE_MAX - 16) return nullptr;
  auto* raw = static_cast<uint8_t*>(std::malloc(size + 16));
  if (raw == nullptr) return nullptr;
  const uint8_t d = static_cast<uint8_t>(16 - reinterpret_cast<uintptr_t>(raw) % 16);
  uint8_t* block = raw + d;
  block[-1] = d;
  return block;
}

void AlignedFree(void* block) {
  if (block == nullptr) return;
  auto* p = static_cast<uint8_t*>(block);
  std::free(p - p[-1]);
}

void* CountedAlloc(VantVideo* video, uint64_t size) {
  if (size > SIZE_MAX) return nullptr;
  void* block = AlignedAlloc(static_cast<size_t>(size));
  if (block == nullptr) return nullptr;
  video->memoryInUse += size;
  if (video->memoryInUse > video->peakMemory) video->peakMemory = video->memoryInUse;
  return block;
}

void CountedFree(VantVideo* video, void* block, uint64_t size) {
  if (block == nullptr) return;
  AlignedFree(block);
  video->memoryInUse -= size;
}
