#pragma once
// True-colour pictures and their reduction to one 8-bit palette, as a paint or video program
// would do it before writing a GIF: a fixed colour cube or a palette fitted to the pictures,
// and each pixel mapped to its nearest entry or dithered by error diffusion.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace speedbench {

using Palette = std::array<uint8_t, 768>;  // red, green, blue

struct RgbPicture {
  uint32_t width = 0, height = 0;
  std::vector<uint8_t> rgb;  // red, green, blue a pixel, top row first

  RgbPicture() = default;
  RgbPicture(uint32_t w, uint32_t h) : width(w), height(h), rgb(size_t{w} * h * 3) {}
  uint8_t* Pixel(uint32_t x, uint32_t y) { return rgb.data() + (size_t{y} * width + x) * 3; }
  const uint8_t* Pixel(uint32_t x, uint32_t y) const { return rgb.data() + (size_t{y} * width + x) * 3; }
};

// A colour cube of 6 x 7 x 6 levels (green finest) and four greys.
Palette ColourCubePalette();

// 256 colours fitted to the pictures by median cut: the colour space is split where the
// pictures' pixels are, every box at the median of its longest side, and each entry is the
// mean of its box.
Palette AdaptivePalette(const std::vector<const RgbPicture*>& pictures);

// Finds the palette entry nearest to a colour (squared distance, the lowest index on a tie),
// remembering the answer for colours that differ only below the lowest two bits.
class PaletteMatcher {
 public:
  explicit PaletteMatcher(const Palette& palette);
  uint8_t Nearest(int red, int green, int blue);
  const Palette& palette() const { return palette_; }

 private:
  Palette palette_;
  std::vector<int16_t> known_;  // 64 x 64 x 64 colours; -1 until asked for
};

// Every pixel as its nearest entry: the same colour always gives the same index.
std::vector<uint8_t> MapToNearest(const RgbPicture& picture, PaletteMatcher& matcher);

// Floyd-Steinberg error diffusion, rows walked in alternating directions.
std::vector<uint8_t> Dither(const RgbPicture& picture, PaletteMatcher& matcher);

}  // namespace speedbench
