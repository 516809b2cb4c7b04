// First-pass speed on 640x480 content: frames per second of EncodePass at default switches,
// block records and symbol counting included.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "compressor/block_codes.h"
#include "compressor/encode_pass.h"

namespace compressor {
namespace {

constexpr uint32_t kWidth = 640, kHeight = 480, kFrames = 60;

// A clip held in memory, served as the picture input.
class ClipInput : public EncoderInput {
 public:
  explicit ClipInput(std::vector<std::vector<uint8_t>> frames, const RgbPalette& palette)
      : frames_(std::move(frames)), palette_(palette) {}
  toolsupport::Status NextFrame() override {
    if (next_ >= frames_.size()) return toolsupport::Status::Stopped();
    current_ = next_++;
    return {};
  }
  void Rewind() override { next_ = 0; }
  const uint8_t* Pixels() const override { return frames_[current_].data(); }
  size_t Pitch() const override { return kWidth; }
  size_t Rows() const override { return kHeight; }
  const uint8_t* Palette() const override { return palette_.data(); }
  uint64_t FrameDataSize() const override { return kWidth * kHeight; }

 private:
  std::vector<std::vector<uint8_t>> frames_;
  RgbPalette palette_;
  size_t next_ = 0, current_ = 0;
};

class CountingSink : public BlockFileSink {
 public:
  bool Append(const uint8_t*, size_t size) override {
    bytes += size;
    return true;
  }
  uint64_t bytes = 0;
};

// Entries 0-191: a blue-to-orange gradient; 192-255: saturated shape colours.
RgbPalette ClipPalette() {
  RgbPalette p{};
  for (int i = 0; i < 192; ++i) {
    p[3 * i] = static_cast<uint8_t>(i * 255 / 191);
    p[3 * i + 1] = static_cast<uint8_t>(64 + i / 3);
    p[3 * i + 2] = static_cast<uint8_t>(255 - i * 255 / 191);
  }
  for (int i = 192; i < 256; ++i) {
    p[3 * i] = static_cast<uint8_t>((i * 97) & 255);
    p[3 * i + 1] = static_cast<uint8_t>((i * 57) & 255);
    p[3 * i + 2] = static_cast<uint8_t>((i * 31) & 255);
  }
  return p;
}

// Moving shapes (discs and boxes) over a still diagonal gradient.
std::vector<std::vector<uint8_t>> ShapesClip() {
  std::vector<std::vector<uint8_t>> frames;
  for (uint32_t f = 0; f < kFrames; ++f) {
    std::vector<uint8_t> frame(kWidth * kHeight);
    for (uint32_t y = 0; y < kHeight; ++y) {
      for (uint32_t x = 0; x < kWidth; ++x) frame[y * kWidth + x] = static_cast<uint8_t>((x + y) * 191 / (kWidth + kHeight));
    }
    for (int s = 0; s < 8; ++s) {
      int cx = static_cast<int>(80 + s * 70 + 60 * std::sin(0.1 * f + s));
      int cy = static_cast<int>(240 + 160 * std::cos(0.07 * f + 2 * s));
      int r = 20 + 5 * s;
      uint8_t color = static_cast<uint8_t>(192 + s * 8);
      for (int y = cy - r; y <= cy + r; ++y) {
        for (int x = cx - r; x <= cx + r; ++x) {
          if (x < 0 || y < 0 || x >= int{kWidth} || y >= int{kHeight}) continue;
          bool inside = s % 2 ? true : (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
          if (inside) frame[y * kWidth + x] = color;
        }
      }
    }
    frames.push_back(std::move(frame));
  }
  return frames;
}

// A textured background scrolling two pixels a frame: few blocks stay unchanged.
std::vector<std::vector<uint8_t>> ScrollingClip() {
  std::vector<std::vector<uint8_t>> frames;
  for (uint32_t f = 0; f < kFrames; ++f) {
    std::vector<uint8_t> frame(kWidth * kHeight);
    for (uint32_t y = 0; y < kHeight; ++y) {
      for (uint32_t x = 0; x < kWidth; ++x) {
        uint32_t u = x + 2 * f;
        uint32_t texture = ((u / 8 + y / 8) % 2) * 40 + (u * 13 + y * 7) % 23;
        frame[y * kWidth + x] = static_cast<uint8_t>((texture + y / 5) % 192);
      }
    }
    frames.push_back(std::move(frame));
  }
  return frames;
}

void RunPass(benchmark::State& state, std::vector<std::vector<uint8_t>> clip) {
  ClipInput input(std::move(clip), ClipPalette());
  EncoderSettings settings;
  settings.width = kWidth;
  settings.height = kHeight;
  settings.frames = kFrames;
  settings.input = {uint64_t{kWidth} * kHeight * kFrames, kFrames, -6667};  // 15 frames/s
  FrameHints hints;
  uint64_t bytes = 0;
  toolsupport::VideoTreeSet trees;
  TreeSymbolCounter counter(trees.Trees());
  for (auto _ : state) {
    input.Rewind();
    hints.Reset(kFrames);
    trees.ResetCounts();
    CountingSink sink;
    EncoderPorts ports;
    ports.input = &input;
    ports.blockFile = &sink;
    ports.counter = &counter;
    if (!EncodePass(settings, hints, ports).ok()) state.SkipWithError("pass stopped");
    bytes = sink.bytes;
  }
  state.SetItemsProcessed(int64_t{state.iterations()} * kFrames);
  state.counters["frames/s"] =
      benchmark::Counter(double(state.iterations()) * kFrames, benchmark::Counter::kIsRate);
  state.counters["record bytes/frame"] = double(bytes) / kFrames;
}

// The threshold search of one frame of the scrolling clip: every block scored against the frame
// before, as the first pass leaves them, searched for the default rate's budget.
void BM_ThresholdSearch(benchmark::State& state) {
  const std::vector<std::vector<uint8_t>> clip = ScrollingClip();
  const RgbPalette palette = ClipPalette();
  ColorDistanceTable distance;
  distance.Rebuild(palette.data());
  const size_t blockCount = size_t{kWidth / 4} * (kHeight / 4);
  std::vector<uint8_t> blocks(blockCount * kBlockPixels), previous(blockCount * kBlockPixels);
  GatherBlocks(clip[0].data(), kWidth, kWidth, kHeight, false, previous.data());
  GatherBlocks(clip[1].data(), kWidth, kWidth, kHeight, false, blocks.data());
  FrameAnalysis analysis;
  AnalyseFrame(blocks.data(), previous.data(), blockCount, distance, analysis);
  const int64_t budget = FrameBudget(240000, FramePeriod(-6667), 0);
  for (auto _ : state) benchmark::DoNotOptimize(SearchThreshold(analysis.scores, budget));
}

void BM_Pass1Shapes(benchmark::State& state) { RunPass(state, ShapesClip()); }
void BM_Pass1Scrolling(benchmark::State& state) { RunPass(state, ScrollingClip()); }

BENCHMARK(BM_ThresholdSearch)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Pass1Shapes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pass1Scrolling)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace compressor

BENCHMARK_MAIN();
