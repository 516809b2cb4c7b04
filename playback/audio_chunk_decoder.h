#pragma once
// Turns the coded part of one audio chunk back into PCM: flag bits (data,
// stereo, 16-bit), one byte tree of deltas per channel and sample byte, the first
// sample frame plain, then the coded deltas of every further frame. The output
// is little-endian, channels interleaved left first, exactly the samples the
// writer reconstructed.
#include <cstddef>
#include <cstdint>

// Decodes up to byte_count bytes (whole sample frames only, and never more than
// the ring holds) from the bit stream coded[0 .. coded_size), which starts after
// the chunk's length and sound byte count. Output goes from write_position on,
// continuing at ring_start on reaching ring_end. Returns the bytes written: 0
// for a chunk without data or with a damaged tree; bits past the end read as zeros.
size_t DecompressAudio(const uint8_t* coded, size_t coded_size, uint32_t byte_count, uint8_t* ring_start,
                       uint8_t* ring_end, uint8_t* write_position);
