#pragma once
// The tools' memory: blocks of the library's one allocator, with the tools' message when it
// runs out. Blocks are given back with the library's AlignedFree.
#include <cstddef>

#include "playback/vant.h"

// A 16-byte-aligned block, or null after showing "Error: ran out of memory!". A size of 0
// gives a valid block too.
void* AllocAligned(size_t size);
