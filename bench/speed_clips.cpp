#include "bench/speed_clips.h"

#include <cmath>

namespace speedbench {
namespace {

// Entries 0-191: a blue-to-orange gradient; 192-255: saturated colours for shapes and texture.
std::array<uint8_t, 768> ClipPalette() {
  std::array<uint8_t, 768> p{};
  for (int i = 0; i < 192; ++i) {
    p[3 * i] = static_cast<uint8_t>(i * 255 / 191);
    p[3 * i + 1] = static_cast<uint8_t>(64 + i / 3);
    p[3 * i + 2] = static_cast<uint8_t>(255 - i * 255 / 191);
  }
  for (int i = 192; i < 256; ++i) {
    const double hue = (i - 192) / 64.0 * 6.283185307179586;
    p[3 * i] = static_cast<uint8_t>(128 + 127 * std::sin(hue));
    p[3 * i + 1] = static_cast<uint8_t>(128 + 127 * std::sin(hue + 2.094));
    p[3 * i + 2] = static_cast<uint8_t>(128 + 127 * std::sin(hue + 4.189));
  }
  return p;
}

Clip EmptyClip(uint32_t width, uint32_t height) {
  Clip clip;
  clip.width = width;
  clip.height = height;
  clip.palette = ClipPalette();
  return clip;
}

}  // namespace

Clip MakeShapesClip(uint32_t width, uint32_t height, uint32_t frames) {
  Clip clip = EmptyClip(width, height);
  const int w = static_cast<int>(width), h = static_cast<int>(height);
  std::vector<uint8_t> background(size_t{width} * height);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) background[size_t(y) * width + x] = static_cast<uint8_t>((x + y) * 191 / (w + h));
  }
  for (uint32_t f = 0; f < frames; ++f) {
    std::vector<uint8_t> frame = background;
    for (int s = 0; s < 8; ++s) {
      const int cx = static_cast<int>(w * (0.1 + 0.11 * s) + w * 0.09 * std::sin(0.1 * f + s));
      const int cy = static_cast<int>(h * 0.5 + h * 0.33 * std::cos(0.07 * f + 2 * s));
      const int r = h / 24 + s * h / 96;
      const auto color = static_cast<uint8_t>(192 + s * 8);
      const bool disc = s % 2 == 0;
      for (int y = cy - r; y <= cy + r; ++y) {
        for (int x = cx - r; x <= cx + r; ++x) {
          if (x < 0 || y < 0 || x >= w || y >= h) continue;
          if (!disc || (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r) frame[size_t(y) * width + x] = color;
        }
      }
    }
    clip.frames.push_back(std::move(frame));
  }
  return clip;
}

Clip MakeScrollingClip(uint32_t width, uint32_t height, uint32_t frames) {
  Clip clip = EmptyClip(width, height);
  for (uint32_t f = 0; f < frames; ++f) {
    std::vector<uint8_t> frame(size_t{width} * height);
    for (uint32_t y = 0; y < height; ++y) {
      const uint32_t v = y + f;  // the texture moves up one row and left three pixels a frame
      for (uint32_t x = 0; x < width; ++x) {
        const uint32_t u = x + 3 * f;
        const uint32_t bricks = ((u / 16 + v / 8) % 2) * 48;
        const uint32_t grain = (u * 13 + v * 7 + (u * v) / 64) % 23;
        frame[size_t{y} * width + x] = static_cast<uint8_t>((bricks + grain + y / 6) % 192);
      }
    }
    clip.frames.push_back(std::move(frame));
  }
  return clip;
}

}  // namespace speedbench
