#pragma once
// Four video trees and frames written by hand (see hand_streams.h), and a guarded picture
// buffer to decode them into.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "playback/frame_decoder.h"
#include "playback/tests/hand_streams.h"
#include "playback/tree_tables.h"

namespace hand {

constexpr std::array<uint16_t, 3> kUnusedEscapes = {0xFFFD, 0xFFFE, 0xFFFF};

// Shapes of the mask, colour pair, pixel pair and type/run trees; "" is an absent tree.
struct VideoTrees {
  std::array<std::string, 4> shapes;
  std::array<std::array<uint16_t, 3>, 4> escapes = {kUnusedEscapes, kUnusedEscapes, kUnusedEscapes,
                                                     kUnusedEscapes};

  std::vector<uint8_t> Description() const {
    BitSink sink;
    for (int t = 0; t < 4; ++t) {
      if (shapes[t].empty()) {
        PutAbsentTree(sink);
      } else {
        PutWordTree(sink, shapes[t], escapes[t]);
      }
    }
    return sink.Bytes();
  }

  std::array<uint32_t, 4> Sizes() const {
    std::array<uint32_t, 4> sizes;
    for (int t = 0; t < 4; ++t) sizes[t] = TreeSize(shapes[t]);
    return sizes;
  }

  std::unique_ptr<DecoderTrees> Build() const {
    std::vector<uint8_t> description = Description();
    return BuildVideoTrees(description.data(), description.size(), Sizes().data());
  }
};

// A frame's bits, symbol by symbol, coded with the given trees' shapes.
class FrameBits {
 public:
  explicit FrameBits(const VideoTrees& trees) : trees_(trees) {}
  FrameBits& Put(VideoTreeIndex tree, uint32_t value) {
    PutCode(sink_, trees_.shapes[tree], value);
    return *this;
  }
  FrameBits& Raw(const std::string& bits) {
    sink_.Text(bits);
    return *this;
  }
  // The chunk as the file holds it: padded with zero bytes to a multiple of 4.
  std::vector<uint8_t> Chunk() const {
    std::vector<uint8_t> bytes = sink_.Bytes();
    bytes.resize((bytes.size() + 3) / 4 * 4, 0);
    return bytes;
  }

 private:
  const VideoTrees& trees_;
  BitSink sink_;
};

// A pixel buffer with a guard band on every side that no decode may touch.
class GuardedPicture {
 public:
  static constexpr uint8_t kGuard = 0xCD;
  static constexpr int64_t kMargin = 16;

  // rows x pitch bytes of picture area, filled with `fill`, inside guard bytes.
  GuardedPicture(int64_t pitch, int64_t rows, uint8_t fill = 0)
      : pitch_(pitch), rows_(rows), storage_(static_cast<size_t>(pitch * rows + 2 * kMargin * pitch), kGuard) {
    std::memset(Buffer(), fill, static_cast<size_t>(pitch * rows));
  }
  uint8_t* Buffer() { return storage_.data() + kMargin * pitch_; }
  int64_t Pitch() const { return pitch_; }
  int64_t Rows() const { return rows_; }
  uint8_t At(int64_t x, int64_t row) const { return storage_[static_cast<size_t>((kMargin + row) * pitch_ + x)]; }
  uint16_t At16(int64_t x, int64_t row) const {
    uint16_t value;
    std::memcpy(&value, &storage_[static_cast<size_t>((kMargin + row) * pitch_ + 2 * x)], 2);
    return value;
  }
  bool GuardsIntact() const {
    size_t margin = static_cast<size_t>(kMargin * pitch_);
    for (size_t i = 0; i < margin; ++i) {
      if (storage_[i] != kGuard || storage_[storage_.size() - 1 - i] != kGuard) return false;
    }
    return true;
  }

  MemoryDestination Whole(uint32_t width, uint32_t height) {
    MemoryDestination where;
    where.buffer = Buffer();
    where.pitch = pitch_;
    where.rows = rows_;
    where.width = width;
    where.codedHeight = height;
    return where;
  }

 private:
  int64_t pitch_;
  int64_t rows_;
  std::vector<uint8_t> storage_;
};

}  // namespace hand
