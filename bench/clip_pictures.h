#pragma once
// True-colour content for the benchmark's clips: noise fields, a landscape that stands in for a
// photograph, a seamless texture, and objects drawn over them. Everything comes from fixed
// pseudo-random numbers, so a seed always gives the same picture.
#include <cstdint>

#include "bench/clip_colours.h"

namespace speedbench {

uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed);

// Value noise from -1 to 1: random values on a grid of `cell`-pixel cells, blended smoothly.
// With `period` (in cells) not 0 the noise repeats every period cells both ways.
float ValueNoise(float u, float v, float cell, uint32_t seed, uint32_t period = 0);

// Octaves of value noise, each half the cell and half the weight of the one before; about -1 to 1.
float FractalNoise(float u, float v, float cell, int octaves, uint32_t seed, uint32_t period = 0);

// Sky with clouds and a sun, hills in layers, a textured meadow: smooth gradients and fine
// detail, as a photograph of a landscape has them.
RgbPicture MakeLandscape(uint32_t width, uint32_t height, uint32_t seed);

// A square texture of size x size pixels (a power of two) that tiles seamlessly: marble veins
// and coloured patches at several scales.
RgbPicture MakeTexture(uint32_t size, uint32_t seed);

// Fills `out` from the tiled texture, bilinearly: the picture's centre shows texture point
// (u, v), each picture pixel spans `scale` texture pixels and the picture is turned by `angle`
// radians.
void SampleTexture(const RgbPicture& texture, double u, double v, double scale, double angle, RgbPicture& out);

// A lit ball: its colour shaded from a highlight at the upper left to dark at the rim.
void DrawBall(RgbPicture& picture, double cx, double cy, double radius, const uint8_t color[3]);

// A box of bricks with mortar and grain in the bricks; the grain moves with the box.
void DrawBrickBox(RgbPicture& picture, int left, int top, int width, int height, uint32_t seed);

}  // namespace speedbench
