#pragma once
// Drawing on 8-bit pictures: the window's display buffer and the script's bitmaps are both a
// PixelCanvas. Every operation here clips to the canvas, whatever coordinates and sizes it is
// given, so nothing is ever read or written outside the picture.
#include <array>
#include <cstdint>

namespace script {

using Palette = std::array<uint8_t, 768>;  // red, green, blue per entry, 8 bits each

struct PixelRect {
  int32_t x = 0, y = 0, width = 0, height = 0;
  bool Empty() const { return width <= 0 || height <= 0; }
};

// The part of a rectangle (sizes counted in 64 bits) that lies inside width x height.
PixelRect ClipRect(int64_t x, int64_t y, int64_t width, int64_t height, int32_t areaWidth,
                   int32_t areaHeight);
bool RectsOverlap(const PixelRect& a, const PixelRect& b);

struct PixelCanvas {
  uint8_t* pixels = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int64_t pitch = 0;       // bytes from one stored row to the next
  bool bottomUp = false;   // row y is stored at height - 1 - y

  bool Contains(int64_t x, int64_t y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  uint8_t* Row(int32_t y) const { return pixels + (bottomUp ? height - 1 - y : y) * pitch; }
};

// A pixel inside the canvas; outside it reading gives 0 and writing does nothing.
uint8_t GetPixel(const PixelCanvas& canvas, int64_t x, int64_t y);
void SetPixel(const PixelCanvas& canvas, int64_t x, int64_t y, uint8_t color);

void ClearCanvas(const PixelCanvas& canvas, uint8_t color);
// Fills the part of the rectangle inside the canvas; the part it filled.
PixelRect FillBox(const PixelCanvas& canvas, int64_t x, int64_t y, int64_t width, int64_t height,
                  uint8_t color);

// Bresenham's line, both end points drawn, from the end with the smaller y. End points outside
// the canvas are first pulled to its nearest column and row. The rectangle the line covers.
PixelRect DrawLine(const PixelCanvas& canvas, int64_t x0, int64_t y0, int64_t x1, int64_t y1,
                   uint8_t color);
// The outline through the corners (x0, y0) and (x1, y1), both included. Unlike a line's
// ends, edges outside the canvas are left out, not pulled in.
void DrawOutline(const PixelCanvas& canvas, int64_t x0, int64_t y0, int64_t x1, int64_t y1,
                 uint8_t color);

enum class CopyMode { kPlain, kTransparent, kMasked };

struct CopyRule {
  CopyMode mode = CopyMode::kPlain;
  uint8_t key = 0;                    // kTransparent: the source colour left out;
                                      // kMasked: the mask colour that leaves a pixel out
  const PixelCanvas* mask = nullptr;  // kMasked
  bool maskAtSource = false;          // the mask is read where the source pixel is, else
                                      // where the destination pixel is
};

// Copies width x height pixels from (sx, sy) of the source to (dx, dy) of the destination,
// only where both positions (and the mask's, for kMasked) lie inside their canvases. The
// destination rectangle that was written (before skipped pixels are counted out).
PixelRect CopyPixels(const PixelCanvas& source, int64_t sx, int64_t sy, const PixelCanvas& destination,
                     int64_t dx, int64_t dy, int64_t width, int64_t height, const CopyRule& rule = {});

// The brightest entry: the greatest smallest component, then the greatest sum, then the last.
int BrightestIndex(const Palette& palette);
// The darkest entry: the smallest greatest component, then the smallest sum, then the first.
int DarkestIndex(const Palette& palette);

}  // namespace script
