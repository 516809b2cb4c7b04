#pragma once
// .vnt files of real coded frames: pictures of colour indexes are coded into blocks against the
// picture before them, the four trees are made to fit every frame's symbols, and the container
// writer puts it all in a file. Tests then play the file through the library and compare what
// lands in their buffers with the pictures.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "playback/vant.h"

// Colour indexes, width x height, rows from the top.
struct Picture {
  uint32_t width = 0, height = 0;
  std::vector<uint8_t> pixels;

  Picture() = default;
  Picture(uint32_t w, uint32_t h, uint8_t fill = 0) : width(w), height(h), pixels(size_t{w} * h, fill) {}
  uint8_t& At(uint32_t x, uint32_t y) { return pixels[size_t{y} * width + x]; }
  uint8_t At(uint32_t x, uint32_t y) const { return pixels[size_t{y} * width + x]; }
  void Fill(uint32_t x, uint32_t y, uint32_t w, uint32_t h, uint8_t color) {
    for (uint32_t row = y; row < y + h; ++row) {
      for (uint32_t col = x; col < x + w; ++col) At(col, row) = color;
    }
  }
};

using ColorTable = std::array<std::array<uint8_t, 3>, 256>;

struct CodedVideoSpec {
  std::vector<Picture> pictures;       // one per frame; all of one size (multiples of 4)
  std::vector<ColorTable> palettes;    // per frame; a frame whose palette equals the one before
                                       // brings no palette chunk (6-bit components are kept)
  int32_t frameRate = -10000;
  uint32_t flags = 0;                  // height-scaling bits of the header
  bool ringFrame = false;              // adds a ring frame that turns the last picture into the first
  bool keyFrames = false;              // every frame codes all its blocks, none left unchanged
};

// What a reader holds after each stored frame.
struct CodedVideo {
  std::string path;
  std::vector<Picture> pictures;       // per stored frame (the ring frame shows picture 0)
  std::vector<ColorTable> palettes;    // per stored frame, as the library widens them
  std::vector<uint32_t> frameSizes;
};

CodedVideo WriteCodedVideo(const std::string& path, const CodedVideoSpec& spec);

// A palette where every entry differs: red i, green 255 - i, blue 7 i (mod 256), 6 bits kept.
ColorTable TestPalette(uint32_t seed = 0);
