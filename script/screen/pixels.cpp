#include "script/screen/pixels.h"

#include <algorithm>
#include <cstring>

namespace script {

namespace {

int64_t Clamp(int64_t value, int32_t size) { return std::clamp<int64_t>(value, 0, size - 1); }

// The range of i in [0, count) for which start + i lies in [0, size).
void NarrowRange(int64_t start, int32_t size, int64_t& low, int64_t& high) {
  low = std::max(low, -start);
  high = std::min(high, int64_t{size} - start);
}

}  // namespace

PixelRect ClipRect(int64_t x, int64_t y, int64_t width, int64_t height, int32_t areaWidth,
                   int32_t areaHeight) {
  if (width <= 0 || height <= 0) return {};
  const int64_t left = std::max<int64_t>(x, 0), top = std::max<int64_t>(y, 0);
  const int64_t right = std::min<int64_t>(x + width, areaWidth);
  const int64_t bottom = std::min<int64_t>(y + height, areaHeight);
  if (left >= right || top >= bottom) return {};
  return {static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right - left),
          static_cast<int32_t>(bottom - top)};
}

bool RectsOverlap(const PixelRect& a, const PixelRect& b) {
  if (a.Empty() || b.Empty()) return false;
  return int64_t{a.x} < int64_t{b.x} + b.width && int64_t{b.x} < int64_t{a.x} + a.width &&
         int64_t{a.y} < int64_t{b.y} + b.height && int64_t{b.y} < int64_t{a.y} + a.height;
}

uint8_t GetPixel(const PixelCanvas& canvas, int64_t x, int64_t y) {
  if (!canvas.Contains(x, y)) return 0;
  return canvas.Row(static_cast<int32_t>(y))[x];
}

void SetPixel(const PixelCanvas& canvas, int64_t x, int64_t y, uint8_t color) {
  if (canvas.Contains(x, y)) canvas.Row(static_cast<int32_t>(y))[x] = color;
}

void ClearCanvas(const PixelCanvas& canvas, uint8_t color) {
  FillBox(canvas, 0, 0, canvas.width, canvas.height, color);
}

PixelRect FillBox(const PixelCanvas& canvas, int64_t x, int64_t y, int64_t width, int64_t height,
                  uint8_t color) {
  const PixelRect area = ClipRect(x, y, width, height, canvas.width, canvas.height);
  for (int32_t row = 0; row < area.height; ++row) {
    std::memset(canvas.Row(area.y + row) + area.x, color, static_cast<size_t>(area.width));
  }
  return area;
}

PixelRect DrawLine(const PixelCanvas& canvas, int64_t x0, int64_t y0, int64_t x1, int64_t y1,
                   uint8_t color) {
  if (canvas.width <= 0 || canvas.height <= 0) return {};
  x0 = Clamp(x0, canvas.width);
  x1 = Clamp(x1, canvas.width);
  y0 = Clamp(y0, canvas.height);
  y1 = Clamp(y1, canvas.height);
  if (y1 < y0) {
    std::swap(x0, x1);
    std::swap(y0, y1);
  }
  const int64_t dx = x1 > x0 ? x1 - x0 : x0 - x1, dy = y1 - y0;
  const int64_t stepX = x1 >= x0 ? 1 : -1;
  int64_t x = x0, y = y0;
  if (dx >= dy) {
    int64_t error = 2 * dy - dx;
    for (int64_t i = 0; i <= dx; ++i, x += stepX) {
      SetPixel(canvas, x, y, color);
      if (error >= 0) {
        ++y;
        error -= 2 * dx;
      }
      error += 2 * dy;
    }
  } else {
    int64_t error = 2 * dx - dy;
    for (int64_t i = 0; i <= dy; ++i, ++y) {
      SetPixel(canvas, x, y, color);
      if (error >= 0) {
        x += stepX;
        error -= 2 * dy;
      }
      error += 2 * dx;
    }
  }
  return {static_cast<int32_t>(std::min(x0, x1)), static_cast<int32_t>(y0),
          static_cast<int32_t>(dx + 1), static_cast<int32_t>(dy + 1)};
}

void DrawOutline(const PixelCanvas& canvas, int64_t x0, int64_t y0, int64_t x1, int64_t y1,
                 uint8_t color) {
  const int64_t left = std::min(x0, x1), top = std::min(y0, y1);
  const int64_t width = std::max(x0, x1) - left + 1, height = std::max(y0, y1) - top + 1;
  FillBox(canvas, left, y0, width, 1, color);
  FillBox(canvas, x1, top, 1, height, color);
  FillBox(canvas, left, y1, width, 1, color);
  FillBox(canvas, x0, top, 1, height, color);
}

PixelRect CopyPixels(const PixelCanvas& source, int64_t sx, int64_t sy, const PixelCanvas& destination,
                     int64_t dx, int64_t dy, int64_t width, int64_t height, const CopyRule& rule) {
  const bool masked = rule.mode == CopyMode::kMasked;
  if (masked && rule.mask == nullptr) return {};
  int64_t left = 0, right = width, top = 0, bottom = height;
  NarrowRange(sx, source.width, left, right);
  NarrowRange(dx, destination.width, left, right);
  NarrowRange(sy, source.height, top, bottom);
  NarrowRange(dy, destination.height, top, bottom);
  const int64_t mx = rule.maskAtSource ? sx : dx, my = rule.maskAtSource ? sy : dy;
  if (masked) {
    NarrowRange(mx, rule.mask->width, left, right);
    NarrowRange(my, rule.mask->height, top, bottom);
  }
  if (left >= right || top >= bottom) return {};
  const size_t count = static_cast<size_t>(right - left);
  for (int64_t row = top; row < bottom; ++row) {
    const uint8_t* from = source.Row(static_cast<int32_t>(sy + row)) + sx + left;
    uint8_t* to = destination.Row(static_cast<int32_t>(dy + row)) + dx + left;
    switch (rule.mode) {
      case CopyMode::kPlain:
        std::memmove(to, from, count);
        break;
      case CopyMode::kTransparent:
        for (size_t i = 0; i < count; ++i) {
          if (from[i] != rule.key) to[i] = from[i];
        }
        break;
      case CopyMode::kMasked: {
        const uint8_t* mask = rule.mask->Row(static_cast<int32_t>(my + row)) + mx + left;
        for (size_t i = 0; i < count; ++i) {
          if (mask[i] != rule.key) to[i] = from[i];
        }
        break;
      }
    }
  }
  return {static_cast<int32_t>(dx + left), static_cast<int32_t>(dy + top),
          static_cast<int32_t>(right - left), static_cast<int32_t>(bottom - top)};
}

int BrightestIndex(const Palette& palette) {
  int best = 0, bestLow = -1, bestSum = -1;
  for (int i = 0; i < 256; ++i) {
    const uint8_t* c = &palette[static_cast<size_t>(i) * 3];
    const int low = std::min({c[0], c[1], c[2]}), sum = c[0] + c[1] + c[2];
    if (low > bestLow || (low == bestLow && sum >= bestSum)) {
      best = i;
      bestLow = low;
      bestSum = sum;
    }
  }
  return best;
}

int DarkestIndex(const Palette& palette) {
  int best = 0, bestHigh = 256, bestSum = 1024;
  for (int i = 0; i < 256; ++i) {
    const uint8_t* c = &palette[static_cast<size_t>(i) * 3];
    const int high = std::max({c[0], c[1], c[2]}), sum = c[0] + c[1] + c[2];
    if (high < bestHigh || (high == bestHigh && sum < bestSum)) {
      best = i;
      bestHigh = high;
      bestSum = sum;
      if (high == 0) break;
    }
  }
  return best;
}

}  // namespace script
