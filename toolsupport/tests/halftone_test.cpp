#include "toolsupport/colour/halftone.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

using Bgr = std::array<uint8_t, 3>;

struct Picture {
  int width, height;
  std::vector<uint8_t> bytes;
  Picture(int w, int h, Bgr fill) : width(w), height(h), bytes(w * h * 3) {
    for (int i = 0; i < w * h; ++i) Set(i % w, i / w, fill);
  }
  void Set(int x, int y, Bgr c) {
    for (int k = 0; k < 3; ++k) bytes[(y * width + x) * 3 + k] = c[k];
  }
  Bgr At(int x, int y) const {
    const uint8_t* p = &bytes[(y * width + x) * 3];
    return {p[0], p[1], p[2]};
  }
};

// A 5 x 4 patch worked out by hand. The base colour (B 98, G 101, R 106) lies 2, 5 and 10
// above a step of 16, so the threshold decides each component differently:
// t 13 gives 96 96 96, t 7 gives 96 96 112, t 9 gives 96 96 112, t 2 gives 96 112 112.
TEST(Halftone, HandComputedPatch) {
  const Bgr base = {98, 101, 106};
  Picture in(5, 4, base);
  in.Set(0, 0, {98, 101, 112});  // red +6
  in.Set(2, 0, {98, 95, 106});   // green -6
  in.Set(4, 2, {98, 101, 130});  // red +24: too sharp an edge for its neighbours
  in.Set(0, 3, {107, 101, 106}); // blue +9
  in.Set(3, 3, {91, 101, 106});  // blue -7
  std::vector<uint8_t> out(in.bytes.size());
  ConvertPixels24(5, out.data(), in.bytes.data(), 4, 15);
  Picture result = in;
  result.bytes = out;

  // Thresholds: index 56, then before row 1 the low bits go 0 -> 7 and before each pixel the
  // high bits step 7 -> 6 -> 5 -> 4 (indices 55, 47, 39: 13, 7, 14); before row 2 the low bits
  // go to 6 and the high bits carry on 3 -> 2 -> 1 (indices 30, 22, 14: 9, 2, 11).
  EXPECT_EQ(result.At(1, 1), (Bgr{96, 96, 96}));    // ranges 6 + 6, t 13
  EXPECT_EQ(result.At(2, 1), (Bgr{96, 96, 112}));   // range 6, t 7
  EXPECT_EQ(result.At(3, 1), base);                 // range 30: copied
  EXPECT_EQ(result.At(1, 2), (Bgr{96, 96, 112}));   // range 9, t 9
  EXPECT_EQ(result.At(2, 2), (Bgr{96, 112, 112}));  // range 7, t 2
  EXPECT_EQ(result.At(3, 2), base);                 // range 31: copied
  // The border is copied as it is.
  for (int x = 0; x < 5; ++x) {
    EXPECT_EQ(result.At(x, 0), in.At(x, 0));
    EXPECT_EQ(result.At(x, 3), in.At(x, 3));
  }
  for (int y = 0; y < 4; ++y) {
    EXPECT_EQ(result.At(0, y), in.At(0, y));
    EXPECT_EQ(result.At(4, y), in.At(4, y));
  }
}

TEST(Halftone, DarkOrFlatAreasAndTinyPicturesAreCopied) {
  Picture dark(4, 4, {20, 20, 20});
  dark.Set(0, 0, {28, 28, 28});  // range 24 over three components, but nothing reaches 32
  std::vector<uint8_t> out(dark.bytes.size());
  ConvertPixels24(4, out.data(), dark.bytes.data(), 4, 12);
  EXPECT_EQ(out, dark.bytes);

  Picture flat(4, 4, {100, 150, 200});
  ConvertPixels24(4, out.data(), flat.bytes.data(), 4, 12);
  EXPECT_EQ(out, flat.bytes);

  Picture thin(2, 5, {98, 101, 106});
  thin.Set(0, 0, {98, 101, 112});
  std::vector<uint8_t> thinOut(thin.bytes.size());
  ConvertPixels24(2, thinOut.data(), thin.bytes.data(), 5, 6);
  EXPECT_EQ(thinOut, thin.bytes);
}

// Every input depth reaches the same working form; rows may run bottom-up (negative pitch).
TEST(Halftone, InputDepthsGiveTheSameWorkingForm) {
  const int w = 6, h = 5;
  std::vector<uint8_t> palette(768, 0);
  std::vector<uint8_t> p8(w * h), p16(w * h * 2), p24(w * h * 3), p32(w * h * 4);
  for (int i = 0; i < w * h; ++i) {
    int b = (i * 8) % 256 & ~7, g = (i * 40) % 256 & ~7, r = (255 - i * 8) & ~7;  // 5-bit exact
    palette[i * 3] = r, palette[i * 3 + 1] = g, palette[i * 3 + 2] = b;
    p8[i] = i;
    uint16_t word = (r >> 3) << 10 | (g >> 3) << 5 | b >> 3;
    p16[i * 2] = word & 255, p16[i * 2 + 1] = word >> 8;
    p24[i * 3] = b, p24[i * 3 + 1] = g, p24[i * 3 + 2] = r;
    p32[i * 4] = b, p32[i * 4 + 1] = g, p32[i * 4 + 2] = r, p32[i * 4 + 3] = 0xEE;
  }
  std::vector<uint8_t> want(w * h * 3), got(w * h * 3);
  ConvertPixels24(w, want.data(), p24.data(), h, w * 3);
  ConvertPixels8(w, got.data(), p8.data(), h, w, palette.data());
  EXPECT_EQ(got, want);
  ConvertPixels16(w, got.data(), p16.data(), h, w * 2);
  EXPECT_EQ(got, want);
  ConvertPixels32(w, got.data(), p32.data(), h, w * 4);
  EXPECT_EQ(got, want);

  // The same picture stored bottom-up, read from its last row with a negative pitch.
  std::vector<uint8_t> flipped(p24.size());
  for (int y = 0; y < h; ++y) std::copy_n(&p24[y * w * 3], w * 3, &flipped[(h - 1 - y) * w * 3]);
  ConvertPixels24(w, got.data(), flipped.data() + (h - 1) * w * 3, h, -w * 3);
  EXPECT_EQ(got, want);
}

}  // namespace
