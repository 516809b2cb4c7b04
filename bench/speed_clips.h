#pragma once
// The animations the speed comparison runs on: 8-bit frames with one palette, made here so
// that every run measures the same pictures.
#include <array>
#include <cstdint>
#include <vector>

namespace speedbench {

struct Clip {
  uint32_t width = 0, height = 0;
  std::array<uint8_t, 768> palette{};          // red, green, blue
  std::vector<std::vector<uint8_t>> frames;    // width x height colour indexes, top row first
};

// Discs and boxes moving over a still diagonal gradient: most of each frame stays unchanged.
Clip MakeShapesClip(uint32_t width, uint32_t height, uint32_t frames);

// A textured background scrolling by a few pixels a frame: almost nothing stays unchanged.
Clip MakeScrollingClip(uint32_t width, uint32_t height, uint32_t frames);

// Noise at several scales over a colour field, panning three pixels a frame, with a textured
// sprite moving over it; its palette is a colour cube, and the noise moves every byte of a
// pixel by about a level of the cube. Every block changes every frame and holds many colours.
// The coarse scales grow with the picture; the finest noise is one pixel at every size.
Clip MakeNoiseClip(uint32_t width, uint32_t height, uint32_t frames);

}  // namespace speedbench
