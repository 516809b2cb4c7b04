#pragma once

// The vector instruction sets the compressor's hot loops are written for: the SSE2 loops always on
// x86-64, and VANT_WIDE_VECTORS where the compiler can build AVX2 paths, chosen at run time by
// WideVectorsInUse() (block_analysis.h).

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#define VANT_WIDE_VECTORS 1
#include <immintrin.h>
#endif
