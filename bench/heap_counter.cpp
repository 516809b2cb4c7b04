#include "bench/heap_counter.h"

#include <malloc.h>

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdlib>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* block);
}

namespace {

std::atomic<int64_t> inUse{0};
std::atomic<int64_t> peak{0};
std::atomic<int64_t> startedAt{0};
std::atomic<int64_t> allocations{0};

void Count(int64_t change) {
  const int64_t now = inUse.fetch_add(change, std::memory_order_relaxed) + change;
  int64_t high = peak.load(std::memory_order_relaxed);
  while (now > high && !peak.compare_exchange_weak(high, now, std::memory_order_relaxed)) {
  }
}

int64_t UsableSize(void* block) { return block ? static_cast<int64_t>(malloc_usable_size(block)) : 0; }

void* Added(void* block) {
  if (block) {
    Count(UsableSize(block));
    allocations.fetch_add(1, std::memory_order_relaxed);
  }
  return block;
}

bool PowerOfTwo(size_t value) { return value != 0 && (value & (value - 1)) == 0; }

}  // namespace

extern "C" {

void* malloc(size_t size) { return Added(__libc_malloc(size)); }

void* calloc(size_t count, size_t size) { return Added(__libc_calloc(count, size)); }

void free(void* block) {
  if (!block) return;
  Count(-UsableSize(block));
  __libc_free(block);
}

void* realloc(void* block, size_t size) {
  const int64_t before = UsableSize(block);
  void* moved = __libc_realloc(block, size);
  if (moved) {
    Count(UsableSize(moved) - before);
    if (moved != block) allocations.fetch_add(1, std::memory_order_relaxed);
  } else if (block && size == 0) {
    Count(-before);  // realloc to zero bytes freed the block
  }
  return moved;
}

void* memalign(size_t alignment, size_t size) { return Added(__libc_memalign(alignment, size)); }

void* aligned_alloc(size_t alignment, size_t size) { return Added(__libc_memalign(alignment, size)); }

int posix_memalign(void** result, size_t alignment, size_t size) {
  if (!PowerOfTwo(alignment) || alignment % sizeof(void*) != 0) return EINVAL;
  void* block = Added(__libc_memalign(alignment, size));
  if (!block) return ENOMEM;
  *result = block;
  return 0;
}

void* valloc(size_t size) { return Added(__libc_memalign(4096, size)); }

}  // extern "C"

namespace speedbench {

void HeapMeasureStart() {
  const int64_t now = inUse.load();
  startedAt.store(now);
  peak.store(now);
  allocations.store(0);
}

int64_t HeapInUseSinceStart() { return inUse.load() - startedAt.load(); }

int64_t HeapPeakSinceStart() { return peak.load() - startedAt.load(); }

int64_t HeapAllocationsSinceStart() { return allocations.load(); }

}  // namespace speedbench
