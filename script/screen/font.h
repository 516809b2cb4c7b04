#pragma once
// Fonts of the script player: glyphs of one size for a run of character codes, one bit a pixel.
// The built-in font has 8 x 16 glyphs for the codes 32 to 175; TEXTFONTFROMBITMAP cuts a font
// out of a bitmap.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "script/screen/pixels.h"

namespace script {

struct Bitmap;

inline constexpr int kBuiltInFirst = 32;
inline constexpr int kBuiltInLast = 175;
extern const uint8_t kBuiltInGlyphs[kBuiltInLast - kBuiltInFirst + 1][16];

// The largest glyph side that a font from a bitmap may have.
inline constexpr int32_t kGlyphSideLimit = 1024;

class Font {
 public:
  static const Font& BuiltIn();
  // Glyphs cut from the bitmap left to right in cells of width x height, continuing one cell
  // lower at the left edge when the next cell would start at or past the right edge; a pixel is
  // set where the bitmap's pixel is not 0, and parts of cells outside the bitmap stay unset.
  // Nothing for last < first, codes outside 0 to 255, or sides outside 1 to kGlyphSideLimit.
  static std::optional<Font> FromBitmap(const Bitmap& bitmap, int first, int32_t width,
                                        int32_t height, int last);

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  // A glyph pixel; a code outside the font has none set (it draws as a blank cell).
  bool Pixel(unsigned char code, int32_t x, int32_t y) const;

 private:
  Font(int32_t width, int32_t height, int first, int last);
  size_t RowBytes() const { return static_cast<size_t>(width_ + 7) / 8; }

  int32_t width_, height_;
  int first_, last_;
  std::vector<uint8_t> bits_;  // glyph after glyph, height_ rows of RowBytes() each
};

struct TextColors {
  uint8_t text = 7;
  uint8_t back = 0;
  uint8_t transparent = 128;
};

// Draws the text's glyphs side by side from (x, y): when the text colour is the transparent one
// only the background pixels are drawn (in the back colour), else when the back colour is the
// transparent one only the glyph pixels (in the text colour), else both. Clipped to the canvas;
// the rectangle of the cells, clipped.
PixelRect DrawText(const PixelCanvas& canvas, int64_t x, int64_t y, std::string_view text,
                   const Font& font, const TextColors& colors);

}  // namespace script
