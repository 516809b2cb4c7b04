#include "bench/clip_pictures.h"

#include <algorithm>
#include <cmath>

namespace speedbench {
namespace {

constexpr double kPi = 3.14159265358979323846;

uint8_t Byte(double value) { return static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L)); }

void Put(uint8_t* pixel, double red, double green, double blue) {
  pixel[0] = Byte(red);
  pixel[1] = Byte(green);
  pixel[2] = Byte(blue);
}

float Smooth(float t) { return t * t * (3 - 2 * t); }

}  // namespace

uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed) {
  uint32_t h = x * 0x9E3779B1u ^ (y + seed * 0x632BE5ABu) * 0x85EBCA77u;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  return h ^ (h >> 15);
}

float ValueNoise(float u, float v, float cell, uint32_t seed, uint32_t period) {
  const float gu = u / cell, gv = v / cell;
  const float fu = std::floor(gu), fv = std::floor(gv);
  const auto corner = [&](int64_t x, int64_t y) {
    if (period != 0) x = (x % period + period) % period, y = (y % period + period) % period;
    return static_cast<float>(Hash(static_cast<uint32_t>(x), static_cast<uint32_t>(y), seed) % 2049) / 1024.0f - 1.0f;
  };
  const auto x = static_cast<int64_t>(fu), y = static_cast<int64_t>(fv);
  const float tx = Smooth(gu - fu), ty = Smooth(gv - fv);
  const float top = corner(x, y) + (corner(x + 1, y) - corner(x, y)) * tx;
  const float bottom = corner(x, y + 1) + (corner(x + 1, y + 1) - corner(x, y + 1)) * tx;
  return top + (bottom - top) * ty;
}

float FractalNoise(float u, float v, float cell, int octaves, uint32_t seed, uint32_t period) {
  float sum = 0, weight = 0.5f;
  for (int octave = 0; octave < octaves && cell >= 1; ++octave) {
    sum += weight * ValueNoise(u, v, cell, seed + static_cast<uint32_t>(octave) * 101, period);
    cell /= 2;
    period *= 2;
    weight /= 2;
  }
  return sum * 2;
}

RgbPicture MakeLandscape(uint32_t width, uint32_t height, uint32_t seed) {
  RgbPicture picture(width, height);
  const double w = width, h = height;
  const double horizon = h * (0.35 + 0.1 * (seed % 3) / 2);
  const double sunX = w * (0.2 + 0.6 * (Hash(seed, 1, 7) % 1000) / 1000.0), sunY = horizon * 0.45;
  // Hill ridges, far to near: height above the horizon, colour, and the ridge's roughness.
  struct Hill {
    double rise, red, green, blue, roughness;
  };
  const Hill hills[3] = {{0.12, 96, 118, 140, 0.05}, {0.05, 70, 120, 60, 0.08}, {-0.08, 90, 150, 50, 0.06}};
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      const auto u = static_cast<float>(x), v = static_cast<float>(y);
      double red, green, blue;
      // The sky: deep blue above, pale at the horizon, clouds and the sun's glow.
      const double t = std::min(1.0, y / horizon);
      red = 40 + 150 * t, green = 90 + 120 * t, blue = 180 + 60 * t;
      const double cloud = std::max(0.0, double(FractalNoise(u, v * 2.5f, float(w / 5), 5, seed + 1)) - 0.1);
      red += 200 * cloud, green += 190 * cloud, blue += 160 * cloud;
      const double sun = std::hypot(x - sunX, (y - sunY) * 1.1) / (h * 0.06);
      const double glow = sun < 1 ? 1.0 : std::exp(-(sun - 1) * 0.7);
      red += 120 * glow, green += 100 * glow, blue += 40 * glow;
      for (int i = 0; i < 3; ++i) {
        const Hill& hill = hills[i];
        const double ridge = horizon - h * hill.rise +
                             h * hill.roughness * FractalNoise(u, float(i * 97), float(w / (2 + i)), 4, seed + 10 + i);
        if (y < ridge) continue;
        // Darker and more detailed the nearer the hill and the deeper below its ridge.
        const double depth = std::min(1.0, (y - ridge) / (h * 0.3));
        const double grain = FractalNoise(u, v, float(24 - 6 * i), 4, seed + 20 + i);
        const double shade = 1.0 - 0.35 * depth + 0.25 * grain;
        red = hill.red * shade, green = hill.green * shade, blue = hill.blue * shade;
      }
      // The meadow in front: grass blades as fine streaks.
      if (y > h * 0.8) {
        const double streak = ValueNoise(u * 3.0f, v * 0.4f, 4, seed + 30);
        red += 30 * streak, green += 45 * streak, blue += 10 * streak;
      }
      Put(picture.Pixel(x, y), red, green, blue);
    }
  }
  return picture;
}

RgbPicture MakeTexture(uint32_t size, uint32_t seed) {
  RgbPicture texture(size, size);
  const auto s = static_cast<float>(size);
  for (uint32_t y = 0; y < size; ++y) {
    for (uint32_t x = 0; x < size; ++x) {
      const auto u = static_cast<float>(x), v = static_cast<float>(y);
      // Marble: bands bent by noise; patches of colour at a larger scale.
      const double turbulence = FractalNoise(u, v, s / 8, 6, seed, 8);
      const double band = 0.5 + 0.5 * std::sin(2 * kPi * (4 * u / s + 2.5 * turbulence));
      const double vein = std::pow(band, 6.0);
      const double hue = FractalNoise(u, v, s / 4, 3, seed + 50, 4);
      const double grain = ValueNoise(u, v, 2, seed + 60, size / 2);
      const double red = 150 + 70 * hue - 110 * vein + 12 * grain;
      const double green = 120 + 30 * hue - 90 * vein + 12 * grain;
      const double blue = 100 - 60 * hue - 40 * vein + 12 * grain;
      Put(texture.Pixel(x, y), red, green, blue);
    }
  }
  return texture;
}

void SampleTexture(const RgbPicture& texture, double u, double v, double scale, double angle, RgbPicture& out) {
  const double c = std::cos(angle) * scale, s = std::sin(angle) * scale;
  const uint32_t mask = texture.width - 1;  // the size is a power of two
  for (uint32_t y = 0; y < out.height; ++y) {
    for (uint32_t x = 0; x < out.width; ++x) {
      const double dx = x - out.width / 2.0, dy = y - out.height / 2.0;
      const double tu = u + dx * c - dy * s, tv = v + dx * s + dy * c;
      const double fu = std::floor(tu), fv = std::floor(tv);
      const double ax = tu - fu, ay = tv - fv;
      const auto x0 = static_cast<uint32_t>(static_cast<int64_t>(fu) & mask);
      const auto y0 = static_cast<uint32_t>(static_cast<int64_t>(fv) & mask);
      const uint32_t x1 = (x0 + 1) & mask, y1 = (y0 + 1) & mask;
      uint8_t* pixel = out.Pixel(x, y);
      for (int ch = 0; ch < 3; ++ch) {
        const double top = texture.Pixel(x0, y0)[ch] * (1 - ax) + texture.Pixel(x1, y0)[ch] * ax;
        const double bottom = texture.Pixel(x0, y1)[ch] * (1 - ax) + texture.Pixel(x1, y1)[ch] * ax;
        pixel[ch] = Byte(top * (1 - ay) + bottom * ay);
      }
    }
  }
}

void DrawBall(RgbPicture& picture, double cx, double cy, double radius, const uint8_t color[3]) {
  const int top = std::max(0, int(std::floor(cy - radius))), bottom = std::min(int(picture.height) - 1, int(cy + radius));
  const int left = std::max(0, int(std::floor(cx - radius))), right = std::min(int(picture.width) - 1, int(cx + radius));
  for (int y = top; y <= bottom; ++y) {
    for (int x = left; x <= right; ++x) {
      const double dx = (x - cx) / radius, dy = (y - cy) / radius;
      const double r2 = dx * dx + dy * dy;
      if (r2 > 1) continue;
      // Lambert shading from a light at the upper left, plus a highlight.
      const double dz = std::sqrt(1 - r2);
      const double light = std::max(0.0, (-0.5 * dx - 0.6 * dy + 0.62 * dz));
      const double highlight = std::pow(light, 30.0);
      uint8_t* pixel = picture.Pixel(uint32_t(x), uint32_t(y));
      Put(pixel, color[0] * (0.2 + 0.8 * light) + 255 * highlight, color[1] * (0.2 + 0.8 * light) + 255 * highlight,
          color[2] * (0.2 + 0.8 * light) + 255 * highlight);
    }
  }
}

void DrawBrickBox(RgbPicture& picture, int left, int top, int width, int height, uint32_t seed) {
  for (int by = 0; by < height; ++by) {
    for (int bx = 0; bx < width; ++bx) {
      const int x = left + bx, y = top + by;
      if (x < 0 || y < 0 || x >= int(picture.width) || y >= int(picture.height)) continue;
      const int row = by / 10, shifted = bx + (row % 2) * 12;
      const bool mortar = by % 10 < 2 || shifted % 24 < 2;
      const double grain = (Hash(uint32_t(bx), uint32_t(by), seed) % 41) - 20.0;
      const double brick = (Hash(uint32_t(shifted / 24), uint32_t(row), seed + 1) % 60) - 30.0;
      if (mortar) {
        Put(picture.Pixel(uint32_t(x), uint32_t(y)), 200 + grain / 2, 195 + grain / 2, 185 + grain / 2);
      } else {
        Put(picture.Pixel(uint32_t(x), uint32_t(y)), 160 + brick + grain, 70 + brick / 2 + grain, 50 + grain);
      }
    }
  }
}

}  // namespace speedbench
