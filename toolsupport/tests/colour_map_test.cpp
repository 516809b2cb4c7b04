#include "toolsupport/colour/colour_map.h"
#include "toolsupport/colour/palette_steps.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

using Palette = std::array<uint8_t, kPaletteBytes>;

void SetEntry(Palette& p, int i, uint8_t r, uint8_t g, uint8_t b) {
  p[i * 3] = r, p[i * 3 + 1] = g, p[i * 3 + 2] = b;
}

TEST(ColourCache, MapsToTheNearestEntryOfTheRangeAndForgetsOnNewPalette) {
  Palette p{};
  SetEntry(p, 3, 255, 0, 0);
  SetEntry(p, 4, 0, 0, 255);
  SetEntry(p, 5, 255, 0, 0);  // same as entry 3: the first wins
  ColourCache cache;
  cache.SetPalette(p.data(), 3, 3);
  const uint8_t bgr[4 * 3] = {0, 0, 250, 240, 10, 0, 0, 0, 0, 255, 255, 255};
  uint8_t out[4];
  cache.MapRow24(out, bgr, 4);
  EXPECT_EQ((std::array<uint8_t, 4>{out[0], out[1], out[2], out[3]}), (std::array<uint8_t, 4>{3, 4, 3, 3}));
  // Entry 0 (black) lies outside the range and is never chosen; after a new palette the
  // remembered answers go.
  SetEntry(p, 4, 0, 0, 0);
  cache.SetPalette(p.data(), 0, 256);
  cache.MapRow24(out, bgr, 4);
  EXPECT_EQ((std::array<uint8_t, 4>{out[0], out[1], out[2], out[3]}), (std::array<uint8_t, 4>{3, 0, 0, 3}));

  const uint8_t bgrx[2 * 4] = {0, 0, 255, 9, 255, 0, 0, 9};
  const uint8_t words[2 * 2] = {0x00, 0x7C, 0x1F, 0x00};  // 5-5-5 red, blue
  uint8_t out32[2], out16[2];
  SetEntry(p, 4, 0, 0, 255);
  cache.SetPalette(p.data(), 3, 3);
  cache.MapRow32(out32, bgrx, 2);
  cache.MapRow16(out16, words, 2);
  EXPECT_EQ(out32[0], 3);
  EXPECT_EQ(out32[1], 4);
  EXPECT_EQ(out16[0], 3);
  EXPECT_EQ(out16[1], 4);
}

TEST(RemapTable, NearestInRangeAndExactEntriesKeepTheirIndex) {
  Palette in{}, out{};
  for (int i = 0; i < 256; ++i) SetEntry(in, i, i, i, i);  // a grey ramp
  out = in;
  SetEntry(out, 20, 40, 40, 40);  // entry 40's colour also at 20
  uint8_t remap[256];
  BuildRemapTable(remap, in.data(), out.data(), 16, 64);
  EXPECT_EQ(remap[40], 40);  // exact at 20 first, but 40 holds it too
  EXPECT_EQ(remap[50], 50);
  EXPECT_EQ(remap[21], 21);
  EXPECT_EQ(remap[0], 16);   // below the range: its nearest grey inside
  EXPECT_EQ(remap[200], 76); // above the range: 76 to 79 are one colour at 6 bits, the first wins
  // Entry 20 now holds grey 40; grey 20 goes to 21, its equal at 6 bits.
  EXPECT_EQ(remap[20], 21);
}

TEST(FrameMapper, CopiesPassesThroughRemapsAndUnpacksFourBits) {
  Palette in{};
  for (int i = 0; i < 256; ++i) SetEntry(in, i, i, 255 - i, i / 2);
  const int w = 5, h = 3;
  std::vector<uint8_t> pixels(w * h);
  for (int i = 0; i < w * h; ++i) pixels[i] = static_cast<uint8_t>(i * 17);
  ColourFrame frame{pixels.data(), w, 8, w, h, 0, 0, in.data()};
  PaletteSwitches s;
  Palette outPalette = in;
  std::vector<uint8_t> out(8 * h, 0xAA);
  FrameMapper mapper;
  mapper.MapFrame(s, frame, true, true, outPalette.data(), out.data(), 8);
  for (int y = 0; y < h; ++y) {
    EXPECT_TRUE(std::equal(&pixels[y * w], &pixels[y * w + w], &out[y * 8]));
    EXPECT_EQ(out[y * 8 + 5], 0xAA);  // beyond the copy width: untouched
  }
  EXPECT_EQ(outPalette, in);

  // System colours always (/D1) on the same palette: indices are remapped away from 0-9 and
  // 246-255 unless a system colour is their colour.
  s.systemColours = 1;
  mapper.MapFrame(s, frame, false, true, outPalette.data(), out.data(), 8);
  Palette system{};
  PutSystemColours(system.data());
  EXPECT_TRUE(std::equal(system.begin(), system.begin() + 30, outPalette.begin()));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int k = pixels[y * w + x], o = out[y * 8 + x];
      if (k >= 10 && k < 246) EXPECT_EQ(o, k);
      else EXPECT_TRUE((o >= 10 && o < 246) || PaletteKey(outPalette.data(), o) == PaletteKey(in.data(), k))
          << k << " -> " << o;
    }
  EXPECT_EQ(out[0], 250);  // input 0 is pure green, the system green

  // 4-bit rows: the first pixel of each byte in the high nibble.
  const uint8_t nibbles[3] = {0x12, 0x34, 0x50};
  ColourFrame four{nibbles, 3, 4, 5, 1, 0, 0, in.data()};
  PaletteSwitches plain;
  mapper.MapFrame(plain, four, true, true, outPalette.data(), out.data(), 8);
  EXPECT_EQ((std::vector<uint8_t>(out.begin(), out.begin() + 5)), (std::vector<uint8_t>{1, 2, 3, 4, 5}));
}

TEST(CountFrameColours, MissingColumnsAndRowsCountAsBlack) {
  ColourHistogram h;
  const uint8_t bgr[2 * 3 * 2] = {10, 20, 30, 10, 20, 30, 40, 50, 60, 40, 50, 60};
  ColourFrame frame{bgr, 6, 24, 2, 2, 3, 1, nullptr};
  CountFrameColours(h, frame);
  EXPECT_EQ(h.counts[KeyFromRgb8(30, 20, 10)], 2u);
  EXPECT_EQ(h.counts[KeyFromRgb8(60, 50, 40)], 2u);
  EXPECT_EQ(h.counts[0], 3u * 2 + 1u * 5);
}

}  // namespace
