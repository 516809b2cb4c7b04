#pragma once
// The animations the speed comparison runs on: a family of 8-bit clips with one palette each,
// of different kinds and statistics, made here from fixed seeds so that every run measures the
// same pictures. A different family seed gives other pictures of the same kinds.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "bench/clip_colours.h"

namespace speedbench {

struct Clip {
  uint32_t width = 0, height = 0;
  Palette palette{};
  std::vector<std::vector<uint8_t>> frames;  // width x height colour indexes, top row first
};

enum class ClipKind {
  kPannedNoise,    // noise at several scales panning sideways, a textured disc moving over it
  kDitheredPhoto,  // a landscape with balls and a brick box moving over it, dithered
  kTextureZoom,    // a slow zoom into a texture, turning slightly, dithered
  kTextureTurn,    // a texture turning about the middle, dithered
  kFade,           // a landscape fading to black under a ball that moves, dithered
};

enum class PaletteKind { kColourCube, kAdaptive };

struct ClipRecipe {
  std::string name;
  ClipKind kind;
  PaletteKind palette;
  uint32_t seed;
  uint32_t pan = 0;                         // panned noise: pixels a frame
  uint32_t coarseCell = 0, mediumCell = 0;  // panned noise: cell sizes at 640 pixels wide
  int fineAmplitude = 0;                    // panned noise: pixel noise, +- in colour steps
};

// The family: panned noise at three speeds and scales, dithered photographs, a zoom and a turn
// into textures and a fade, on colour-cube and adaptive palettes. `familySeed` varies every
// clip's seed.
std::vector<ClipRecipe> ClipFamily(uint32_t familySeed = 0);

Clip MakeClip(const ClipRecipe& recipe, uint32_t width, uint32_t height, uint32_t frames);

}  // namespace speedbench
