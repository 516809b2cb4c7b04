#pragma once
// Ordered-dither halftoning of true-colour or paletted pictures into a 24-bit working copy
// (B, G, R per pixel, width * 3 bytes per row). Gentle gradients (small but nonzero range
// in a 3 x 3 neighbourhood) are dithered onto steps of 16, which later palette making and
// mapping reproduce with fewer bands; edges and flat areas are copied as they are.
#include <cstddef>
#include <cstdint>

// `source` is the first row, `pitch` the signed step between rows.
void ConvertPixels8(int width, uint8_t* dest, const uint8_t* source, int height, ptrdiff_t pitch,
                    const uint8_t* palette);  // palette: 256 x R, G, B
void ConvertPixels16(int width, uint8_t* dest, const uint8_t* source, int height, ptrdiff_t pitch);
void ConvertPixels24(int width, uint8_t* dest, const uint8_t* source, int height, ptrdiff_t pitch);
void ConvertPixels32(int width, uint8_t* dest, const uint8_t* source, int height, ptrdiff_t pitch);
