#include "toolsupport/colour/colour_tables.h"

namespace {

std::array<uint16_t, 4096> MakeSquares() {
  std::array<uint16_t, 4096> table{};
  for (int a = 0; a < 64; ++a) {
    for (int b = 0; b < 64; ++b) table[a * 64 + b] = static_cast<uint16_t>((a - b) * (a - b));
  }
  return table;
}

const uint8_t kSystemRgb[kSystemColourCount][3] = {
    {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
    {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
    {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
    {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};

}  // namespace

const std::array<uint16_t, 4096>& SquaredDifferences() {
  static const std::array<uint16_t, 4096> table = MakeSquares();
  return table;
}

int SystemColourEntry(int i) { return i < 10 ? i : 236 + i; }

const uint8_t* SystemColourRgb(int i) { return kSystemRgb[i]; }

void PutSystemColours(uint8_t* palette, int skipFirst, int skipEnd) {
  for (int i = 0; i < kSystemColourCount; ++i) {
    int entry = SystemColourEntry(i);
    if (entry >= skipFirst && entry < skipEnd) continue;
    for (int c = 0; c < 3; ++c) palette[entry * 3 + c] = kSystemRgb[i][c];
  }
}

const uint8_t kHalftoneThresholds[64] = {
    0, 11, 3,  14, 1, 12, 3,  15,  //
    8, 4,  11, 7,  8, 5,  11, 7,   //
    2, 13, 1,  12, 2, 14, 2,  13,  //
    9, 6,  8,  5,  10, 6, 9,  5,   //
    0, 12, 3,  15, 0, 12, 3,  14,  //
    8, 4,  11, 7,  8, 4,  11, 7,   //
    2, 14, 1,  13, 2, 14, 1,  13,  //
    10, 6, 9,  5,  10, 6, 9,  5};
