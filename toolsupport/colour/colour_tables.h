#pragma once
// Colour keys, the table of squared differences and the fixed colour sets shared by
// palette making, colour mapping and halftoning.
#include <array>
#include <cstdint>

// An 18-bit colour key: the top 6 bits of red, green and blue, red highest.
inline constexpr int kColourKeyCount = 1 << 18;

inline constexpr uint32_t ColourKey(uint32_t red6, uint32_t green6, uint32_t blue6) {
  return red6 * 4096 + green6 * 64 + blue6;
}
inline constexpr uint32_t KeyFromRgb8(uint32_t red, uint32_t green, uint32_t blue) {
  return ColourKey(red >> 2, green >> 2, blue >> 2);
}
inline constexpr uint32_t KeyRed(uint32_t key) { return key >> 12; }
inline constexpr uint32_t KeyGreen(uint32_t key) { return (key >> 6) & 63; }
inline constexpr uint32_t KeyBlue(uint32_t key) { return key & 63; }

// A 16-bit 5-5-5 pixel: each 5-bit component doubled to 6 bits.
inline constexpr uint32_t KeyFromPixel16(uint32_t pixel) {
  return ColourKey(((pixel >> 10) & 31) * 2, ((pixel >> 5) & 31) * 2, (pixel & 31) * 2);
}

// 6-bit component to 8 bits, so that 63 becomes 255.
inline constexpr uint32_t Expand6To8(uint32_t c) { return c * 4 + c / 16; }

// Entry a * 64 + b holds (a - b)^2 for 6-bit a and b: every colour distance is the sum of
// three of these.
const std::array<uint16_t, 4096>& SquaredDifferences();

inline uint32_t KeyDistance(const uint16_t* squares, uint32_t a, uint32_t b) {
  return squares[KeyRed(a) * 64 + KeyRed(b)] + squares[KeyGreen(a) * 64 + KeyGreen(b)] +
         squares[KeyBlue(a) * 64 + KeyBlue(b)];
}

// A palette is 256 entries of R, G, B (8-bit values).
inline constexpr int kPaletteBytes = 768;

inline uint32_t PaletteKey(const uint8_t* palette, int index) {
  const uint8_t* e = palette + index * 3;
  return KeyFromRgb8(e[0], e[1], e[2]);
}

// The twenty colours a desktop keeps for itself: entries 0-9 and 246-255.
inline constexpr int kSystemColourCount = 20;
int SystemColourEntry(int i);                 // palette index of system colour i (0-19)
const uint8_t* SystemColourRgb(int i);        // its R, G, B

// Writes every system colour into its entry, except those inside [skipFirst, skipEnd).
void PutSystemColours(uint8_t* palette, int skipFirst = 0, int skipEnd = 0);

// The 8 x 8 ordered-dither thresholds (0-15), indexed by row * 8 + column.
extern const uint8_t kHalftoneThresholds[64];
