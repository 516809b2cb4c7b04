#pragma once
// Pictures for coded test videos, and reading back what the library drew into a buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "playback/tests/coded_video.h"

// `frames` pictures: the first of random blocks and stripes, each following one with a few
// rectangles (not aligned to blocks) painted over the one before, some of them in noise.
inline std::vector<Picture> ChangingPictures(uint32_t width, uint32_t height, uint32_t frames, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<Picture> pictures;
  Picture picture(width, height);
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) picture.At(x, y) = static_cast<uint8_t>((x / 4 * 7 + y / 3) % 256);
  }
  for (uint32_t f = 0; f < frames; ++f) {
    const int changes = f == 0 ? 0 : 1 + static_cast<int>(random() % 3);
    for (int c = 0; c < changes; ++c) {
      const uint32_t w = 1 + random() % (width / 2), h = 1 + random() % (height / 2);
      const uint32_t x = random() % (width - w + 1), y = random() % (height - h + 1);
      const bool noise = random() % 3 == 0;
      const uint8_t color = static_cast<uint8_t>(random());
      for (uint32_t row = y; row < y + h; ++row) {
        for (uint32_t col = x; col < x + w; ++col) {
          picture.At(col, row) = noise ? static_cast<uint8_t>(random() % 5 + color) : color;
        }
      }
    }
    pictures.push_back(picture);
  }
  return pictures;
}

// A buffer with guard bytes around it that nothing may write.
class GuardedBuffer {
 public:
  static constexpr uint8_t kGuard = 0xA5;
  static constexpr size_t kMargin = 256;

  GuardedBuffer(int32_t pitch, int32_t rows, uint8_t fill = 0)
      : pitch_(pitch), rows_(rows), storage_(size_t(pitch) * size_t(rows) + 2 * kMargin, kGuard) {
    std::memset(Data(), fill, size_t(pitch) * size_t(rows));
  }
  uint8_t* Data() { return storage_.data() + kMargin; }
  int32_t Pitch() const { return pitch_; }
  int32_t Rows() const { return rows_; }
  // Pixel x of stored row `row` (row 0 first in memory).
  uint8_t At8(int32_t x, int32_t row) const { return storage_[kMargin + size_t(row) * pitch_ + x]; }
  uint16_t At16(int32_t x, int32_t row) const {
    uint16_t value;
    std::memcpy(&value, &storage_[kMargin + size_t(row) * pitch_ + 2 * size_t(x)], 2);
    return value;
  }
  bool GuardsIntact() const {
    for (size_t i = 0; i < kMargin; ++i) {
      if (storage_[i] != kGuard || storage_[storage_.size() - 1 - i] != kGuard) return false;
    }
    return true;
  }
  std::vector<uint8_t> Contents() const {
    return {storage_.begin() + kMargin, storage_.end() - kMargin};
  }

 private:
  int32_t pitch_, rows_;
  std::vector<uint8_t> storage_;
};
