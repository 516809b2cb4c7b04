#include "script/screen/font.h"

#include <algorithm>

#include "script/screen/bitmaps.h"

namespace script {

Font::Font(int32_t width, int32_t height, int first, int last)
    : width_(width), height_(height), first_(first), last_(last) {
  bits_.assign(RowBytes() * static_cast<size_t>(height) * static_cast<size_t>(last - first + 1), 0);
}

const Font& Font::BuiltIn() {
  static const Font font = [] {
    Font built(8, 16, kBuiltInFirst, kBuiltInLast);
    for (int code = kBuiltInFirst; code <= kBuiltInLast; ++code) {
      std::copy_n(kBuiltInGlyphs[code - kBuiltInFirst], 16, built.bits_.begin() + (code - kBuiltInFirst) * 16);
    }
    return built;
  }();
  return font;
}

std::optional<Font> Font::FromBitmap(const Bitmap& bitmap, int first, int32_t width, int32_t height,
                                     int last) {
  if (first < 0 || last > 255 || last < first) return std::nullopt;
  if (width < 1 || height < 1 || width > kGlyphSideLimit || height > kGlyphSideLimit) return std::nullopt;
  Font font(width, height, first, last);
  const PixelCanvas canvas = bitmap.Canvas();
  int64_t cellX = 0, cellY = 0;
  uint8_t* glyph = font.bits_.data();
  for (int code = first; code <= last; ++code) {
    for (int32_t y = 0; y < height; ++y) {
      uint8_t* row = glyph + static_cast<size_t>(y) * font.RowBytes();
      for (int32_t x = 0; x < width; ++x) {
        if (GetPixel(canvas, cellX + x, cellY + y) != 0) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
      }
    }
    glyph += font.RowBytes() * static_cast<size_t>(height);
    cellX += width;
    if (cellX >= bitmap.width) {
      cellX = 0;
      cellY += height;
    }
  }
  return font;
}

bool Font::Pixel(unsigned char code, int32_t x, int32_t y) const {
  if (code < first_ || code > last_ || x < 0 || y < 0 || x >= width_ || y >= height_) return false;
  const size_t glyph = static_cast<size_t>(code - first_) * RowBytes() * static_cast<size_t>(height_);
  return (bits_[glyph + static_cast<size_t>(y) * RowBytes() + static_cast<size_t>(x / 8)] & (0x80 >> (x % 8))) != 0;
}

PixelRect DrawText(const PixelCanvas& canvas, int64_t x, int64_t y, std::string_view text,
                   const Font& font, const TextColors& colors) {
  const bool backOnly = colors.text == colors.transparent;
  const bool glyphOnly = !backOnly && colors.back == colors.transparent;
  const int64_t width = font.Width(), height = font.Height();
  const PixelRect area = ClipRect(x, y, width * static_cast<int64_t>(text.size()), height,
                                  canvas.width, canvas.height);
  for (int32_t row = area.y; row < area.y + area.height; ++row) {
    uint8_t* pixels = canvas.Row(row);
    const auto glyphY = static_cast<int32_t>(row - y);
    for (int32_t column = area.x; column < area.x + area.width; ++column) {
      const int64_t along = column - x;
      const auto code = static_cast<unsigned char>(text[static_cast<size_t>(along / width)]);
      const bool set = font.Pixel(code, static_cast<int32_t>(along % width), glyphY);
      if (set && !backOnly) pixels[column] = colors.text;
      if (!set && !glyphOnly) pixels[column] = colors.back;
    }
  }
  return area;
}

}  // namespace script
