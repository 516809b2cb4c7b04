// vantcw as a whole on a reference animation: how fast it compresses, and how large and how
// close to the source its output is, at the default settings and at two data rates. The
// figures go to a results file (VANT_BENCH_RESULTS, else vantcw_bench_results.txt) that later
// changes are compared against; compressor/bench/reference_results.txt holds the last ones.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "compressor/demo/demo_clip.h"
#include "compressor/tests/play_video.h"
#include "compressor/compressor_main.h"
#include "toolsupport/ui/status_window.h"

namespace {

constexpr uint32_t kWidth = 640, kHeight = 480, kFrames = 90, kFramesPerSecond = 15;

struct Reference {
  democlip::Clip clip;
  std::string folder, input;
};

const Reference& ReferenceAnimation() {
  static const Reference reference = [] {
    Reference r;
    // The demo's balls and tone over a background that scrolls and carries a fine texture, so
    // that every block changes in every frame and the data rate decides what is kept.
    r.clip = democlip::MakeDemoClip(kWidth, kHeight, kFrames, kFramesPerSecond);
    for (uint32_t f = 0; f < kFrames; ++f) {
      std::vector<uint8_t>& picture = r.clip.pictures[f];
      for (uint32_t y = 0; y < kHeight; ++y) {
        for (uint32_t x = 0; x < kWidth; ++x) {
          uint8_t& pixel = picture[size_t{y} * kWidth + x];
          if (pixel >= 128) continue;  // a ball
          pixel = static_cast<uint8_t>(((x + 2 * y + 5 * f) / 3 + ((x * y + f) >> 5 & 3)) % 128);
        }
      }
    }
    std::string pattern = (std::filesystem::temp_directory_path() / "vantcw-bench-XXXXXX").string();
    r.folder = mkdtemp(pattern.data()) ? pattern : std::string(".");
    r.input = r.folder + "/reference.avi";
    democlip::WriteAvi(r.input, r.clip);
    return r;
  }();
  return reference;
}

// Peak signal-to-noise ratio over every frame's red, green and blue, in decibels.
double Psnr(const democlip::Clip& clip, const std::vector<compressor::testing::PlayedFrame>& played) {
  double squares = 0;
  uint64_t samples = 0;
  for (size_t f = 0; f < played.size() && f < clip.pictures.size(); ++f) {
    for (size_t i = 0; i < played[f].pixels.size(); ++i) {
      const uint8_t* source = &clip.palette[3 * clip.pictures[f][i]];
      const uint8_t* shown = &played[f].palette[3 * played[f].pixels[i]];
      for (int c = 0; c < 3; ++c) squares += (double(source[c]) - shown[c]) * (double(source[c]) - shown[c]);
      samples += 3;
    }
  }
  if (samples == 0) return 0;
  if (squares == 0) return INFINITY;
  return 10 * std::log10(255.0 * 255.0 * double(samples) / squares);
}

struct Result {
  double framesPerSecond = 0;
  uint64_t bytes = 0;
  double psnr = 0;
};
std::map<std::string, Result>& Results() {
  static std::map<std::string, Result> results;
  return results;
}

void BM_VantcwReference(benchmark::State& state, const std::string& switches) {
  const Reference& reference = ReferenceAnimation();
  const std::string output = reference.folder + "/reference.vnt";
  const std::string command = "\"" + reference.input + "\" \"" + output + "\" /O " + switches;
  double seconds = 0;
  for (auto _ : state) {
    ResetStatusWindowForTesting();
    const auto start = std::chrono::steady_clock::now();
    const int exitCode = compressor::CompressorMain(command);
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (exitCode != 0) {
      state.SkipWithError("vantcw failed");
      return;
    }
  }
  ResetStatusWindowForTesting();
  Result result;
  result.framesPerSecond = seconds > 0 ? double(kFrames) * double(state.iterations()) / seconds : 0;
  result.bytes = std::filesystem::file_size(output);
  result.psnr = Psnr(reference.clip, compressor::testing::PlayVideo(output, kFrames));
  state.counters["frames/s"] = result.framesPerSecond;
  state.counters["bytes"] = double(result.bytes);
  state.counters["psnr_db"] = result.psnr;
  Results()[switches.empty() ? "default" : switches] = result;
}

BENCHMARK_CAPTURE(BM_VantcwReference, default, std::string())->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_VantcwReference, low_rate, std::string("/N60000"))->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_VantcwReference, high_rate, std::string("/N1000000"))->Unit(benchmark::kMillisecond)->UseRealTime();

void WriteResults() {
  const char* path = std::getenv("VANT_BENCH_RESULTS");
  std::FILE* out = std::fopen(path ? path : "vantcw_bench_results.txt", "w");
  if (!out) return;
  std::fprintf(out, "# vantcw on the reference animation: %ux%u, %u frames at %u frames a second, "
                    "8-bit, scrolling and textured, with a 22050 Hz tone\n", kWidth, kHeight, kFrames, kFramesPerSecond);
  std::fprintf(out, "# %-12s %10s %10s %8s\n", "switches", "frames/s", "bytes", "psnr_db");
  for (const auto& [switches, result] : Results()) {
    std::fprintf(out, "  %-12s %10.1f %10llu %8.2f\n", switches.c_str(), result.framesPerSecond,
                 static_cast<unsigned long long>(result.bytes), result.psnr);
  }
  std::fclose(out);
}

}  // namespace

int main(int argc, char** argv) {
  // The console face of the status window: no display, nothing to wait for.
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  unsetenv("QT_QPA_PLATFORM");
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  WriteResults();
  std::error_code ignored;
  std::filesystem::remove_all(ReferenceAnimation().folder, ignored);
  return 0;
}
