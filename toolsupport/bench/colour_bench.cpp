// Colour reduction and mapping of 640 x 480 true-colour frames.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "toolsupport/colour/halftone.h"
#include "toolsupport/colour/palette_steps.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;

// A photograph-like frame: smooth gradients with a little noise, plus a few hard shapes.
std::vector<uint8_t> MakeFrame(int seed) {
  std::vector<uint8_t> bgr(kWidth * kHeight * 3);
  uint32_t noise = 12345 + seed;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      noise = noise * 1103515245 + 12345;
      int n = (noise >> 16) % 7 - 3;
      uint8_t* p = &bgr[(y * kWidth + x) * 3];
      bool shape = ((x - 200 - seed * 4) * (x - 200 - seed * 4) + (y - 240) * (y - 240)) < 90 * 90;
      p[0] = static_cast<uint8_t>(std::clamp(x * 255 / kWidth + n, 0, 255));
      p[1] = static_cast<uint8_t>(std::clamp(y * 255 / kHeight + n, 0, 255));
      p[2] = static_cast<uint8_t>(shape ? 230 : std::clamp((x + y) * 255 / (kWidth + kHeight) + n, 0, 255));
    }
  }
  return bgr;
}

ColourFrame FrameOf(const std::vector<uint8_t>& bgr) {
  return ColourFrame{bgr.data(), kWidth * 3, 24, kWidth, kHeight, 0, 0, nullptr};
}

// Histogram of one frame and a palette of 236 new colours (plus the system colours).
void BM_MakePalette(benchmark::State& state) {
  std::vector<uint8_t> frame = MakeFrame(0);
  std::array<uint8_t, kPaletteBytes> palette{};
  PaletteSwitches switches;
  for (auto _ : state) {
    ColourHistogram histogram;
    CountFrameColours(histogram, FrameOf(frame));
    benchmark::DoNotOptimize(MakeNewColours({}, switches, histogram, palette.data()));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MakePalette)->Unit(benchmark::kMillisecond);

// Mapping successive frames onto one palette: the colour cache fills on the first frames.
void BM_MapFrames(benchmark::State& state) {
  std::vector<std::vector<uint8_t>> frames;
  for (int i = 0; i < 8; ++i) frames.push_back(MakeFrame(i));
  std::array<uint8_t, kPaletteBytes> palette{};
  PaletteSwitches switches;
  ColourHistogram histogram;
  CountFrameColours(histogram, FrameOf(frames[0]));
  MakeNewColours({}, switches, histogram, palette.data());
  std::vector<uint8_t> out(kWidth * kHeight);
  FrameMapper mapper;
  size_t i = 0;
  for (auto _ : state) {
    mapper.MapFrame(switches, FrameOf(frames[i++ % frames.size()]), false, false, palette.data(), out.data(),
                    kWidth);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MapFrames)->Unit(benchmark::kMillisecond);

// A new palette for every frame: the cache starts empty each time.
void BM_MapFrameNewPalette(benchmark::State& state) {
  std::vector<uint8_t> frame = MakeFrame(0);
  std::array<uint8_t, kPaletteBytes> palette{};
  PaletteSwitches switches;
  ColourHistogram histogram;
  CountFrameColours(histogram, FrameOf(frame));
  MakeNewColours({}, switches, histogram, palette.data());
  std::vector<uint8_t> out(kWidth * kHeight);
  FrameMapper mapper;
  for (auto _ : state) {
    mapper.MapFrame(switches, FrameOf(frame), false, true, palette.data(), out.data(), kWidth);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MapFrameNewPalette)->Unit(benchmark::kMillisecond);

void BM_Halftone24(benchmark::State& state) {
  std::vector<uint8_t> frame = MakeFrame(0), out(frame.size());
  for (auto _ : state) {
    ConvertPixels24(kWidth, out.data(), frame.data(), kHeight, kWidth * 3);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Halftone24)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
