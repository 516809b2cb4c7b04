#pragma once
// Counts the heap of the whole process: this program's malloc family forwards to the C library's
// and adds up the usable size of every live block, so allocations made inside the playback
// library count as well.
#include <cstdint>

namespace speedbench {

// Starts a measurement: the peak is set back to what is in use now.
void HeapMeasureStart();
// Bytes in use now and the highest figure since HeapMeasureStart, both counted from the bytes
// in use when it was called.
int64_t HeapInUseSinceStart();
int64_t HeapPeakSinceStart();
// Blocks allocated (malloc, calloc, a realloc that moved, the aligned kinds) since then.
int64_t HeapAllocationsSinceStart();

}  // namespace speedbench
