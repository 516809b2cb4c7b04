#pragma once
// Generated frames for the encoder's tests: an input that serves frames from memory.
#include <cstdint>
#include <cstring>
#include <vector>

#include "compressor/colour_distance.h"
#include "compressor/frame_fetch.h"

namespace compressor::testing {

// A palette of 256 greys, entry i = (i, i, i).
inline RgbPalette GreyPalette() {
  RgbPalette p{};
  for (int i = 0; i < 256; ++i) p[3 * i] = p[3 * i + 1] = p[3 * i + 2] = static_cast<uint8_t>(i);
  return p;
}

struct Frame {
  std::vector<uint8_t> pixels;  // rows of pitch bytes
  RgbPalette palette{};
  uint64_t dataSize = 0;
};

class MemoryInput : public EncoderInput {
 public:
  MemoryInput(size_t pitch, size_t rows) : pitch_(pitch), rows_(rows) {}

  Frame& Add(uint8_t fill, const RgbPalette& palette) {
    frames_.push_back({std::vector<uint8_t>(pitch_ * rows_, fill), palette, pitch_ * rows_});
    return frames_.back();
  }
  Frame& Add(const std::vector<uint8_t>& pixels, const RgbPalette& palette) {
    frames_.push_back({pixels, palette, pixels.size()});
    return frames_.back();
  }

  toolsupport::Status NextFrame() override {
    if (next_ >= frames_.size()) return toolsupport::Status::Stopped();
    current_ = next_++;
    ++reads_;
    return {};
  }
  void Rewind() override {
    next_ = 0;
    ++rewinds_;
  }
  const uint8_t* Pixels() const override { return frames_[current_].pixels.data(); }
  size_t Pitch() const override { return pitch_; }
  size_t Rows() const override { return rows_; }
  const uint8_t* Palette() const override { return frames_[current_].palette.data(); }
  uint64_t FrameDataSize() const override { return frames_[current_].dataSize; }

  size_t Current() const { return current_; }
  int Reads() const { return reads_; }
  int Rewinds() const { return rewinds_; }

 private:
  size_t pitch_, rows_;
  std::vector<Frame> frames_;
  size_t next_ = 0, current_ = 0;
  int reads_ = 0, rewinds_ = 0;
};

}  // namespace compressor::testing
