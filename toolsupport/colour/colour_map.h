#pragma once
// Mapping pixels onto a palette: true-colour pixels through a cache of the nearest entry of
// every 18-bit key, paletted pixels through a 256-entry remap table.
#include <cstdint>
#include <vector>

#include "toolsupport/colour/colour_tables.h"

// Nearest entry among palette[first .. first + count - 1] (least distance at 6 bits, the
// first of equal ones).
int NearestPaletteEntry(const uint8_t* palette, int first, int count, uint32_t key);

// Remembers the nearest entry of every key met so far; valid for one palette and range.
class ColourCache {
 public:
  ColourCache();
  // Forgets every key: call whenever the palette or the range changes.
  void SetPalette(const uint8_t* palette, int first, int count);
  uint8_t Nearest(uint32_t key) {
    uint16_t known = entries_[key];
    return known ? static_cast<uint8_t>(known - 256) : Search(key);
  }

  // Rows of `width` pixels: 5-5-5 words, B G R triples, B G R x quads.
  void MapRow16(uint8_t* dest, const uint8_t* source, int width);
  void MapRow24(uint8_t* dest, const uint8_t* source, int width);
  void MapRow32(uint8_t* dest, const uint8_t* source, int width);

 private:
  uint8_t Search(uint32_t key);

  std::vector<uint16_t> entries_;  // 0 unknown, else 256 + palette index
  uint8_t red_[256], green_[256], blue_[256];
  int first_ = 0, count_ = 256;
};

// remap[k] = the output entry among [first, first + count) nearest to input colour k; an
// input entry whose own index holds exactly its colour keeps that index.
void BuildRemapTable(uint8_t* remap, const uint8_t* inputPalette, const uint8_t* outputPalette,
                     int first, int count);

void RemapRow8(uint8_t* dest, const uint8_t* source, int width, const uint8_t* remap);
// 4-bit rows hold two pixels per byte, the first in the high nibble.
void UnpackRow4(uint8_t* dest, const uint8_t* source, int width);
void RemapRow4(uint8_t* dest, const uint8_t* source, int width, const uint8_t* remap);
