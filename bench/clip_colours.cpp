#include "bench/clip_colours.h"

#include <algorithm>
#include <cmath>

namespace speedbench {
namespace {

// A colour of the 32 x 32 x 32 histogram and how many pixels fell into it.
struct Bin {
  uint16_t color;  // red << 10 | green << 5 | blue, five bits each
  uint32_t count;
  int Channel(int c) const { return color >> (10 - 5 * c) & 31; }
};

struct Box {
  std::vector<Bin> bins;
  uint64_t pixels = 0;
  int longest = 0;  // the channel with the widest range
  int range = 0;    // that range, in histogram steps

  void Measure() {
    pixels = 0;
    int low[3] = {31, 31, 31}, high[3] = {0, 0, 0};
    for (const Bin& bin : bins) {
      pixels += bin.count;
      for (int c = 0; c < 3; ++c) {
        low[c] = std::min(low[c], bin.Channel(c));
        high[c] = std::max(high[c], bin.Channel(c));
      }
    }
    range = -1;
    for (int c = 0; c < 3; ++c) {
      if (high[c] - low[c] > range) range = high[c] - low[c], longest = c;
    }
  }
};

// Splits the box at the median pixel of its longest side; the upper half is returned.
Box Split(Box& box) {
  const int c = box.longest;
  std::sort(box.bins.begin(), box.bins.end(), [c](const Bin& a, const Bin& b) {
    return a.Channel(c) != b.Channel(c) ? a.Channel(c) < b.Channel(c) : a.color < b.color;
  });
  // The first bin of the upper half: past the median pixel, and never between two bins of one
  // level, so that the halves do not overlap (the box spans two levels at least).
  const size_t n = box.bins.size();
  uint64_t below = 0;
  size_t cut = 0;
  while (cut + 1 < n && 2 * (below + box.bins[cut].count) <= box.pixels) below += box.bins[cut++].count;
  cut = std::max<size_t>(cut, 1);
  size_t up = cut;
  while (up < n && box.bins[up].Channel(c) == box.bins[up - 1].Channel(c)) ++up;
  if (up == n) {
    up = cut;
    while (box.bins[up].Channel(c) == box.bins[up - 1].Channel(c)) --up;
  }
  Box upper;
  upper.bins.assign(box.bins.begin() + std::ptrdiff_t(up), box.bins.end());
  box.bins.resize(up);
  box.Measure();
  upper.Measure();
  return upper;
}

}  // namespace

Palette ColourCubePalette() {
  Palette p{};
  for (int i = 0; i < 252; ++i) {
    p[3 * i] = static_cast<uint8_t>(i / 42 * 51);
    p[3 * i + 1] = static_cast<uint8_t>(i / 6 % 7 * 85 / 2);
    p[3 * i + 2] = static_cast<uint8_t>(i % 6 * 51);
  }
  for (int i = 252; i < 256; ++i) {
    for (int c = 0; c < 3; ++c) p[3 * i + c] = static_cast<uint8_t>(32 + (i - 252) * 64);
  }
  return p;
}

Palette AdaptivePalette(const std::vector<const RgbPicture*>& pictures) {
  std::vector<uint32_t> histogram(32768);
  for (const RgbPicture* picture : pictures) {
    for (size_t i = 0; i < picture->rgb.size(); i += 3) {
      const uint8_t* p = &picture->rgb[i];
      ++histogram[(p[0] >> 3) << 10 | (p[1] >> 3) << 5 | p[2] >> 3];
    }
  }
  std::vector<Box> boxes(1);
  for (uint32_t color = 0; color < histogram.size(); ++color) {
    if (histogram[color] != 0) boxes[0].bins.push_back({static_cast<uint16_t>(color), histogram[color]});
  }
  boxes[0].Measure();
  // The box split next is the one whose pixels lie farthest apart in all: pixels times range.
  while (boxes.size() < 256) {
    auto widest = std::max_element(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) {
      return a.pixels * uint64_t(std::max(a.range, 0)) < b.pixels * uint64_t(std::max(b.range, 0));
    });
    if (widest->range <= 0 || widest->bins.size() < 2) break;
    Box upper = Split(*widest);
    boxes.push_back(std::move(upper));
  }
  Palette palette{};
  for (size_t b = 0; b < boxes.size(); ++b) {
    double sum[3] = {}, pixels = 0;
    for (const Bin& bin : boxes[b].bins) {
      for (int c = 0; c < 3; ++c) sum[c] += double(bin.Channel(c) * 8 + 4) * bin.count;
      pixels += bin.count;
    }
    for (int c = 0; c < 3; ++c) palette[3 * b + c] = pixels > 0 ? static_cast<uint8_t>(std::lround(sum[c] / pixels)) : 0;
  }
  return palette;
}

PaletteMatcher::PaletteMatcher(const Palette& palette) : palette_(palette), known_(64 * 64 * 64, -1) {}

uint8_t PaletteMatcher::Nearest(int red, int green, int blue) {
  const int r = std::clamp(red, 0, 255) >> 2, g = std::clamp(green, 0, 255) >> 2, b = std::clamp(blue, 0, 255) >> 2;
  int16_t& known = known_[size_t(r) << 12 | size_t(g) << 6 | size_t(b)];
  if (known >= 0) return static_cast<uint8_t>(known);
  // The answer holds for the whole cell, so it is the one for the cell's centre.
  const int centre[3] = {r * 4 + 2, g * 4 + 2, b * 4 + 2};
  int best = 0, bestDistance = 1 << 30;
  for (int i = 0; i < 256; ++i) {
    int distance = 0;
    for (int c = 0; c < 3; ++c) distance += (centre[c] - palette_[3 * i + c]) * (centre[c] - palette_[3 * i + c]);
    if (distance < bestDistance) best = i, bestDistance = distance;
  }
  known = static_cast<int16_t>(best);
  return static_cast<uint8_t>(best);
}

std::vector<uint8_t> MapToNearest(const RgbPicture& picture, PaletteMatcher& matcher) {
  std::vector<uint8_t> indexes(size_t{picture.width} * picture.height);
  for (size_t i = 0; i < indexes.size(); ++i) {
    const uint8_t* p = &picture.rgb[3 * i];
    indexes[i] = matcher.Nearest(p[0], p[1], p[2]);
  }
  return indexes;
}

std::vector<uint8_t> Dither(const RgbPicture& picture, PaletteMatcher& matcher) {
  const int64_t w = picture.width;
  std::vector<uint8_t> indexes(size_t{picture.width} * picture.height);
  // Errors carried to this row and the next, in sixteenths, with a pixel of margin each side.
  std::vector<int32_t> here(size_t(w + 2) * 3), below(size_t(w + 2) * 3);
  const Palette& palette = matcher.palette();
  for (int64_t y = 0; y < picture.height; ++y) {
    const bool forward = y % 2 == 0;
    const int64_t step = forward ? 1 : -1;
    std::fill(below.begin(), below.end(), 0);
    for (int64_t i = 0; i < w; ++i) {
      const int64_t x = forward ? i : w - 1 - i;
      const uint8_t* source = picture.Pixel(uint32_t(x), uint32_t(y));
      int32_t wanted[3];
      for (int c = 0; c < 3; ++c) wanted[c] = std::clamp(source[c] + here[size_t(x + 1) * 3 + c] / 16, 0, 255);
      const uint8_t index = matcher.Nearest(wanted[0], wanted[1], wanted[2]);
      indexes[size_t(y * w + x)] = index;
      for (int c = 0; c < 3; ++c) {
        const int32_t error = wanted[c] - palette[3 * index + c];
        here[size_t(x + 1 + step) * 3 + c] += error * 7;
        below[size_t(x + 1 - step) * 3 + c] += error * 3;
        below[size_t(x + 1) * 3 + c] += error * 5;
        below[size_t(x + 1 + step) * 3 + c] += error;
      }
    }
    std::swap(here, below);
  }
  return indexes;
}

}  // namespace speedbench
