#include "toolsupport/colour/colour_map.h"

#include <algorithm>
#include <cstring>

int NearestPaletteEntry(const uint8_t* palette, int first, int count, uint32_t key) {
  const uint16_t* squares = SquaredDifferences().data();
  int best = first;
  uint32_t bestDistance = UINT32_MAX;
  for (int e = first; e < first + count; ++e) {
    uint32_t d = KeyDistance(squares, key, PaletteKey(palette, e));
    if (d < bestDistance) {
      bestDistance = d;
      best = e;
      if (d == 0) break;
    }
  }
  return best;
}

ColourCache::ColourCache() : entries_(kColourKeyCount, 0) {}

void ColourCache::SetPalette(const uint8_t* palette, int first, int count) {
  std::fill(entries_.begin(), entries_.end(), 0);
  first_ = first;
  count_ = count;
  for (int e = 0; e < 256; ++e) {
    red_[e] = palette[e * 3] >> 2;
    green_[e] = palette[e * 3 + 1] >> 2;
    blue_[e] = palette[e * 3 + 2] >> 2;
  }
}

uint8_t ColourCache::Search(uint32_t key) {
  const uint16_t* squares = SquaredDifferences().data();
  const uint16_t* r = squares + KeyRed(key) * 64;
  const uint16_t* g = squares + KeyGreen(key) * 64;
  const uint16_t* b = squares + KeyBlue(key) * 64;
  int best = first_;
  uint32_t bestDistance = UINT32_MAX;
  for (int e = first_; e < first_ + count_; ++e) {
    uint32_t d = r[red_[e]] + g[green_[e]] + b[blue_[e]];
    if (d < bestDistance) {
      bestDistance = d;
      best = e;
      if (d == 0) break;
    }
  }
  entries_[key] = static_cast<uint16_t>(256 + best);
  return static_cast<uint8_t>(best);
}

void ColourCache::MapRow16(uint8_t* dest, const uint8_t* source, int width) {
  for (int x = 0; x < width; ++x) dest[x] = Nearest(KeyFromPixel16(source[2 * x] | source[2 * x + 1] << 8));
}

void ColourCache::MapRow24(uint8_t* dest, const uint8_t* source, int width) {
  for (int x = 0; x < width; ++x, source += 3) dest[x] = Nearest(KeyFromRgb8(source[2], source[1], source[0]));
}

void ColourCache::MapRow32(uint8_t* dest, const uint8_t* source, int width) {
  for (int x = 0; x < width; ++x, source += 4) dest[x] = Nearest(KeyFromRgb8(source[2], source[1], source[0]));
}

void BuildRemapTable(uint8_t* remap, const uint8_t* inputPalette, const uint8_t* outputPalette,
                     int first, int count) {
  for (int k = 0; k < 256; ++k) {
    uint32_t key = PaletteKey(inputPalette, k);
    int nearest = NearestPaletteEntry(outputPalette, first, count, key);
    bool exact = PaletteKey(outputPalette, nearest) == key;
    if (exact && k > nearest && k < first + count && PaletteKey(outputPalette, k) == key) nearest = k;
    remap[k] = static_cast<uint8_t>(nearest);
  }
}

void RemapRow8(uint8_t* dest, const uint8_t* source, int width, const uint8_t* remap) {
  for (int x = 0; x < width; ++x) dest[x] = remap[source[x]];
}

void UnpackRow4(uint8_t* dest, const uint8_t* source, int width) {
  for (int x = 0; x < width; ++x) dest[x] = (x & 1) ? (source[x / 2] & 15) : (source[x / 2] >> 4);
}

void RemapRow4(uint8_t* dest, const uint8_t* source, int width, const uint8_t* remap) {
  for (int x = 0; x < width; ++x) dest[x] = remap[(x & 1) ? (source[x / 2] & 15) : (source[x / 2] >> 4)];
}
