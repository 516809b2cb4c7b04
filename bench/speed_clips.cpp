#include "bench/speed_clips.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

#include "bench/clip_pictures.h"

namespace speedbench {
namespace {

// 0 at multiples of period, 1 half way between, rising and falling linearly.
double Triangle(double t, double period) {
  const double phase = std::fmod(t, period) / period;
  return phase < 0.5 ? 2 * phase : 2 - 2 * phase;
}

// A colour of a hue wheel, fully saturated.
void HueColor(double hue, uint8_t color[3]) {
  for (int c = 0; c < 3; ++c) {
    color[c] = static_cast<uint8_t>(std::lround(127.5 + 127.5 * std::sin(2 * 3.14159265358979 * hue + 2.094 * c)));
  }
}

// The background of the panned noise: one picture wider than a frame by the whole pan, which
// the frames show a window of. In each colour byte: slow ramps, then noise of three scales.
RgbPicture NoiseWorld(const ClipRecipe& r, uint32_t width, uint32_t height, uint32_t frames) {
  RgbPicture world(width + r.pan * frames, height);
  const float coarse = std::max(4.0f, float(r.coarseCell) * float(width) / 640);
  const float medium = std::max(2.0f, float(r.mediumCell) * float(width) / 640);
  for (uint32_t y = 0; y < world.height; ++y) {
    for (uint32_t u = 0; u < world.width; ++u) {
      for (uint32_t c = 0; c < 3; ++c) {
        const uint32_t seed = r.seed * 16 + 4 * c;
        double v = 255 * (0.6 * Triangle(u + 97.0 * c, width * (8.0 + c) / 5) + 0.4 * Triangle(y + u / (3.0 + c), height * (6.0 + c) / 5));
        v += 60 * ValueNoise(float(u), float(y), coarse, seed + 1) + 30 * ValueNoise(float(u), float(y), medium, seed + 2);
        v += static_cast<int>(Hash(u, y, seed + 3) % uint32_t(2 * r.fineAmplitude + 1)) - r.fineAmplitude;
        world.Pixel(u, y)[c] = static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L));
      }
    }
  }
  return world;
}

// A disc whose texture of coloured squares moves with it.
void DrawTexturedDisc(RgbPicture& picture, int cx, int cy, int radius, uint32_t seed) {
  for (int dy = -radius; dy <= radius; ++dy) {
    for (int dx = -radius; dx <= radius; ++dx) {
      const int x = cx + dx, y = cy + dy;
      if (dx * dx + dy * dy > radius * radius || x < 0 || y < 0 || x >= int(picture.width) || y >= int(picture.height)) {
        continue;
      }
      const auto tx = uint32_t(dx + radius), ty = uint32_t(dy + radius);
      HueColor(((tx / 6 + ty / 6) * 37 + Hash(tx, ty, seed) % 5) % 256 / 256.0, picture.Pixel(uint32_t(x), uint32_t(y)));
    }
  }
}

using FrameRenderer = std::function<void(uint32_t frame, RgbPicture& picture)>;

FrameRenderer PannedNoise(const ClipRecipe& r, uint32_t width, uint32_t height, uint32_t frames) {
  auto world = std::make_shared<RgbPicture>(NoiseWorld(r, width, height, frames));
  return [r, world, width, height](uint32_t f, RgbPicture& picture) {
    for (uint32_t y = 0; y < height; ++y) {
      const uint8_t* from = world->Pixel(r.pan * f, y);
      std::copy(from, from + 3 * size_t{width}, picture.Pixel(0, y));
    }
    const int cx = int(width / 4 + width / 2 * Triangle(f * 11.0 + 17 * r.seed, 256));
    const int cy = int(height / 3 + height / 3 * Triangle(f * 7.0 + 64, 256));
    DrawTexturedDisc(picture, cx, cy, int(height / 6), r.seed);
  };
}

FrameRenderer DitheredPhoto(const ClipRecipe& r, uint32_t width, uint32_t height) {
  auto landscape = std::make_shared<RgbPicture>(MakeLandscape(width, height, r.seed));
  return [r, landscape, width, height](uint32_t f, RgbPicture& picture) {
    picture = *landscape;
    const double w = width, h = height;
    for (uint32_t i = 0; i < 3; ++i) {
      uint8_t color[3];
      HueColor((Hash(i, r.seed, 3) % 1000) / 1000.0, color);
      const double speed = 2.0 + 2.0 * i;  // pixels a frame, about
      const double cx = w * (0.1 + 0.8 * Triangle(f * speed + 150.0 * i, 2 * w));
      const double cy = h * (0.25 + 0.5 * Triangle(f * speed * 0.6 + 90.0 * i, 1.4 * h));
      DrawBall(picture, cx, cy, h * (0.06 + 0.03 * i), color);
    }
    DrawBrickBox(picture, int(w * 0.7) - int(4 * f), int(h * 0.62 + 12 * std::sin(f * 0.2)), int(w / 6), int(h / 8), r.seed);
  };
}

FrameRenderer TextureMove(const ClipRecipe& r) {
  auto texture = std::make_shared<RgbPicture>(MakeTexture(1024, r.seed));
  const bool zoom = r.kind == ClipKind::kTextureZoom;
  return [texture, zoom](uint32_t f, RgbPicture& picture) {
    if (zoom) {
      // About a third closer over 60 frames, drifting and turning a little.
      SampleTexture(*texture, 300 + 0.5 * f, 700 - 0.3 * f, 1.6 * std::pow(0.992, f), 0.003 * f, picture);
    } else {
      SampleTexture(*texture, 512, 512, 1.1, 0.012 * f, picture);
    }
  };
}

FrameRenderer Fade(const ClipRecipe& r, uint32_t width, uint32_t height, uint32_t frames) {
  auto landscape = std::make_shared<RgbPicture>(MakeLandscape(width, height, r.seed));
  return [r, landscape, width, height, frames](uint32_t f, RgbPicture& picture) {
    const double light = 1.0 - 0.9 * f / std::max(1u, frames - 1);
    picture = *landscape;
    for (uint8_t& byte : picture.rgb) byte = static_cast<uint8_t>(std::lround(byte * light));
    uint8_t color[3];
    HueColor((Hash(r.seed, 5, 9) % 1000) / 1000.0, color);
    DrawBall(picture, width * (0.15 + 0.7 * f / std::max(1u, frames - 1)), height * (0.5 - 0.25 * std::sin(f * 0.1)),
             height * 0.1, color);
  };
}

}  // namespace

std::vector<ClipRecipe> ClipFamily(uint32_t familySeed) {
  const uint32_t s = familySeed * 1000;
  using K = ClipKind;
  using P = PaletteKind;
  return {
      {"noise1-cube", K::kPannedNoise, P::kColourCube, s + 1, 1, 64, 16, 36},
      {"noise3-adaptive", K::kPannedNoise, P::kAdaptive, s + 2, 3, 96, 24, 24},
      {"noise7-cube", K::kPannedNoise, P::kColourCube, s + 3, 7, 40, 8, 48},
      {"photo-cube", K::kDitheredPhoto, P::kColourCube, s + 4},
      {"photo-adaptive", K::kDitheredPhoto, P::kAdaptive, s + 5},
      {"zoom-adaptive", K::kTextureZoom, P::kAdaptive, s + 6},
      {"turn-cube", K::kTextureTurn, P::kColourCube, s + 7},
      {"fade-adaptive", K::kFade, P::kAdaptive, s + 8},
  };
}

Clip MakeClip(const ClipRecipe& recipe, uint32_t width, uint32_t height, uint32_t frames) {
  FrameRenderer render;
  switch (recipe.kind) {
    case ClipKind::kPannedNoise: render = PannedNoise(recipe, width, height, frames); break;
    case ClipKind::kDitheredPhoto: render = DitheredPhoto(recipe, width, height); break;
    case ClipKind::kTextureZoom:
    case ClipKind::kTextureTurn: render = TextureMove(recipe); break;
    case ClipKind::kFade: render = Fade(recipe, width, height, frames); break;
  }
  Clip clip;
  clip.width = width;
  clip.height = height;
  RgbPicture picture(width, height);
  if (recipe.palette == PaletteKind::kColourCube) {
    clip.palette = ColourCubePalette();
  } else {
    // Fitted to the first, the middle and the last frame, as a converter would fit one palette.
    std::vector<RgbPicture> samples(3, picture);
    for (uint32_t i = 0; i < 3; ++i) render(frames > 0 ? i * (frames - 1) / 2 : 0, samples[i]);
    clip.palette = AdaptivePalette({&samples[0], &samples[1], &samples[2]});
  }
  PaletteMatcher matcher(clip.palette);
  // Noise is its own dither; mapped to the nearest colours it still pans exactly.
  const bool dithered = recipe.kind != ClipKind::kPannedNoise;
  for (uint32_t f = 0; f < frames; ++f) {
    render(f, picture);
    clip.frames.push_back(dithered ? Dither(picture, matcher) : MapToNearest(picture, matcher));
  }
  return clip;
}

}  // namespace speedbench
