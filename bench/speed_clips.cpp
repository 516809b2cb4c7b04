#include "bench/speed_clips.h"

#include <algorithm>
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

// Fixed pseudo-random numbers: the same picture in every run.
uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed) {
  uint32_t h = x * 0x9E3779B1u ^ (y + seed * 0x632BE5ABu) * 0x85EBCA77u;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  return h ^ (h >> 15);
}

// 0 at multiples of period, 1024 half way between, rising and falling linearly.
int32_t Triangle(uint32_t t, uint32_t period) {
  const uint32_t phase = t % period;
  const uint32_t half = period / 2;
  return static_cast<int32_t>((phase < half ? phase : period - phase) * 1024 / half);
}

// Noise of one scale: random values from -amplitude to amplitude on a grid of cells, blended
// bilinearly between the grid points.
int32_t ValueNoise(uint32_t u, uint32_t v, uint32_t cell, int32_t amplitude, uint32_t seed) {
  const uint32_t gx = u / cell, gy = v / cell;
  const auto corner = [&](uint32_t x, uint32_t y) {
    return static_cast<int32_t>(Hash(x, y, seed) % (2 * uint32_t(amplitude) + 1)) - amplitude;
  };
  const auto fx = static_cast<int32_t>(u % cell), fy = static_cast<int32_t>(v % cell);
  const auto c = static_cast<int32_t>(cell);
  const int32_t top = corner(gx, gy) * (c - fx) + corner(gx + 1, gy) * fx;
  const int32_t bottom = corner(gx, gy + 1) * (c - fx) + corner(gx + 1, gy + 1) * fx;
  return (top * (c - fy) + bottom * fy) / (c * c);
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

Clip MakeNoiseClip(uint32_t width, uint32_t height, uint32_t frames) {
  Clip clip = EmptyClip(width, height);
  // A colour cube of 6 x 7 x 6 levels (green finest) and four greys.
  for (int i = 0; i < 252; ++i) {
    clip.palette[3 * i] = static_cast<uint8_t>(i / 42 * 51);
    clip.palette[3 * i + 1] = static_cast<uint8_t>(i / 6 % 7 * 85 / 2);
    clip.palette[3 * i + 2] = static_cast<uint8_t>(i % 6 * 51);
  }
  for (int i = 252; i < 256; ++i) {
    for (int c = 0; c < 3; ++c) clip.palette[3 * i + c] = static_cast<uint8_t>(32 + (i - 252) * 64);
  }
  constexpr uint32_t kPan = 3;  // pixels a frame
  constexpr int32_t kLevels[3] = {6, 7, 6};
  // The background is one wide picture that the frames show a window of.
  const uint32_t worldWidth = width + kPan * frames;
  const uint32_t coarse = std::max(4u, width / 10), medium = std::max(2u, width / 40);
  std::vector<uint8_t> world(size_t{worldWidth} * height);
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t u = 0; u < worldWidth; ++u) {
      int32_t level[3];
      for (int c = 0; c < 3; ++c) {
        // In 1/256 of a level: a slow field per byte, then noise of three scales.
        const auto seed = static_cast<uint32_t>(4 * c);
        int32_t v = (Triangle(u + 97 * c, width * (8 + c) / 5) * 3 + Triangle(y + u / (3 + c), height * (6 + c) / 5) * 2) *
                    (kLevels[c] - 1) * 256 / 5 / 1024;
        v += ValueNoise(u, y, coarse, 180, seed + 1) + ValueNoise(u, y, medium, 90, seed + 2);
        v += static_cast<int32_t>(Hash(u, y, seed + 3) % 449) - 224;
        level[c] = std::clamp((v + 128) / 256, 0, kLevels[c] - 1);
      }
      world[size_t{y} * worldWidth + u] = static_cast<uint8_t>(level[0] * 42 + level[1] * 6 + level[2]);
    }
  }
  const int32_t radius = static_cast<int32_t>(height / 6);
  for (uint32_t f = 0; f < frames; ++f) {
    std::vector<uint8_t> frame(size_t{width} * height);
    for (uint32_t y = 0; y < height; ++y) {
      const uint8_t* from = world.data() + size_t{y} * worldWidth + kPan * f;
      std::copy(from, from + width, frame.begin() + std::ptrdiff_t(size_t{y} * width));
    }
    // The sprite: a disc whose texture moves with it.
    const int32_t cx = static_cast<int32_t>(width / 4 + width / 2 * uint32_t(Triangle(f * 11, 256)) / 1024);
    const int32_t cy = static_cast<int32_t>(height / 3 + height / 3 * uint32_t(Triangle(f * 7 + 64, 256)) / 1024);
    for (int32_t dy = -radius; dy <= radius; ++dy) {
      for (int32_t dx = -radius; dx <= radius; ++dx) {
        const int32_t x = cx + dx, y = cy + dy;
        if (dx * dx + dy * dy > radius * radius || x < 0 || y < 0 || x >= int32_t(width) || y >= int32_t(height)) {
          continue;
        }
        const auto tx = static_cast<uint32_t>(dx + radius), ty = static_cast<uint32_t>(dy + radius);
        const uint32_t texture = (tx / 6 + ty / 6) * 37 + Hash(tx, ty, 20) % 5;
        frame[size_t(y) * width + size_t(x)] = static_cast<uint8_t>(texture % 256);
      }
    }
    clip.frames.push_back(std::move(frame));
  }
  return clip;
}

}  // namespace speedbench
