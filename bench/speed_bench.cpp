// Decoding and encoding speed measured side by side with GIF: two generated 640 x 480 clips of
// 60 frames, decoded from a cropped GIF by giflib and from the .vnt video by the playback calls,
// encoded by the compressor program, and the heap of a video streamed from disk.
// Usage: speed_bench [Google Benchmark flags]. Exit code 1 when a step failed or a target was
// missed.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "bench/gif_clip.h"
#include "bench/heap_counter.h"
#include "bench/speed_files.h"
#include "bench/video_playing.h"

namespace speedbench {
namespace {

constexpr uint32_t kWidth = 640, kHeight = 480, kFrames = 60;
constexpr double kDecodeRatioTarget = 2.0;
constexpr double kEncodeTarget = 30.0;  // frames per second
constexpr int64_t kHeapTarget = 4 << 20;

std::vector<ClipFiles> clips;
std::string compressorProgram;

void SetRates(benchmark::State& state, int64_t frames, int64_t pixelsPerFrame) {
  state.counters["frames/s"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
  state.counters["pixels/s"] =
      benchmark::Counter(static_cast<double>(frames * pixelsPerFrame), benchmark::Counter::kIsRate);
}

void DecodeGifClip(benchmark::State& state, const ClipFiles* files) {
  std::vector<uint8_t> canvas;
  int64_t frames = 0;
  for (auto _ : state) {
    const int decoded = DecodeGif(files->gif, canvas);
    if (decoded != static_cast<int>(kFrames)) {
      state.SkipWithError("the GIF did not decode");
      return;
    }
    frames += decoded;
    benchmark::DoNotOptimize(canvas.data());
  }
  SetRates(state, frames, int64_t{kWidth} * kHeight);
}

void DecodeVideoClip(benchmark::State& state, const ClipFiles* files, VideoOutput output) {
  std::vector<uint8_t> buffer;
  int64_t frames = 0, pixels = 0;
  for (auto _ : state) {
    const PlayFigures figures = PlayVideo(files->video, output, buffer);
    if (figures.frames != static_cast<int>(kFrames)) {
      state.SkipWithError("the video did not decode");
      return;
    }
    frames += figures.frames;
    pixels = int64_t{figures.width} * figures.rows;
    benchmark::DoNotOptimize(buffer.data());
  }
  SetRates(state, frames, pixels);
}

// The whole program, input reading included; the processor time is the child's own.
void EncodeClip(benchmark::State& state, const ClipFiles* files) {
  double wall = 0, cpu = 0;
  for (auto _ : state) {
    double cpuSeconds = 0;
    const double seconds = RunCompressor(compressorProgram, *files, &cpuSeconds);
    if (seconds < 0) {
      state.SkipWithError("the compressor failed");
      return;
    }
    state.SetIterationTime(seconds);
    wall += seconds;
    cpu += cpuSeconds;
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["frames/s"] = runs * kFrames / wall;
  state.counters["cpu frames/s"] = runs * kFrames / cpu;
}

// Keeps the figures of every run (the median when runs are repeated) for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  // Colours only on a terminal: a reporter of our own does not get the library's choice.
  SummaryReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& reports) override {
    for (const Run& run : reports) {
      if (run.error_occurred) continue;
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (run.run_type == Run::RT_Aggregate && !median) continue;
      const std::string& name = run.run_name.function_name;
      if (medians_.count(name) && !median) continue;
      if (median) medians_[name] = true;
      for (const auto& [key, counter] : run.counters) figures[name][key] = counter.value;
    }
    ConsoleReporter::ReportRuns(reports);
  }
  // figures["gif_decode/shapes"]["frames/s"]; 0 when the run is missing.
  double Figure(const std::string& name, const std::string& key) {
    auto run = figures.find(name);
    if (run == figures.end()) return 0;
    auto value = run->second.find(key);
    return value == run->second.end() ? 0 : value->second;
  }
  std::map<std::string, std::map<std::string, double>> figures;

 private:
  std::map<std::string, bool> medians_;
};

void RegisterRuns() {
  for (const ClipFiles& files : clips) {
    const ClipFiles* f = &files;
    benchmark::RegisterBenchmark(("gif_decode/" + files.name).c_str(), DecodeGifClip, f)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("vnt_decode/" + files.name + "_8bit").c_str(), DecodeVideoClip, f,
                                 VideoOutput::kIndexes8)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("vnt_decode/" + files.name + "_16bit").c_str(), DecodeVideoClip, f,
                                 VideoOutput::kRgb565)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("vnt_decode/" + files.name + "_doubled").c_str(), DecodeVideoClip, f,
                                 VideoOutput::kRowsDoubled)
        ->Unit(benchmark::kMillisecond);
  }
  for (const ClipFiles& files : clips) {
    benchmark::RegisterBenchmark(("vantcw_encode/" + files.name).c_str(), EncodeClip, &files)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime();
  }
}

std::string OwnFolder() {
  std::error_code error;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string(".") : self.parent_path().string();
}

// Makes both clips and their files; the .vnt videos come from one run of the compressor each.
bool PrepareClips(const std::string& folder) {
  clips.push_back({"shapes", MakeShapesClip(kWidth, kHeight, kFrames), {}, {}, {}});
  clips.push_back({"scrolling", MakeScrollingClip(kWidth, kHeight, kFrames), {}, {}, {}});
  for (ClipFiles& files : clips) {
    if (!WriteClipInputs(folder, files)) {
      std::fprintf(stderr, "Cannot write the GIF or the flic of %s in %s.\n", files.name.c_str(), folder.c_str());
      return false;
    }
    // The GIF side counts only when it shows exactly the clip's frames.
    std::vector<uint8_t> canvas;
    size_t shown = 0;
    bool equal = true;
    const int decoded = DecodeGif(files.gif, canvas, [&](const std::vector<uint8_t>& picture) {
      equal = equal && shown < files.clip.frames.size() && picture == files.clip.frames[shown];
      ++shown;
    });
    if (decoded != static_cast<int>(kFrames) || !equal) {
      std::fprintf(stderr, "The GIF of %s does not decode to its frames.\n", files.name.c_str());
      return false;
    }
    if (RunCompressor(compressorProgram, files) < 0) {
      std::fprintf(stderr, "%s failed on %s.\n", compressorProgram.c_str(), files.flic.c_str());
      return false;
    }
    // The .vnt side is coded with loss: show how close its last frame comes to the clip's.
    std::vector<uint8_t> picture;
    if (PlayVideo(files.video, VideoOutput::kIndexes8, picture).frames != static_cast<int>(kFrames)) {
      std::fprintf(stderr, "The video of %s does not play.\n", files.name.c_str());
      return false;
    }
    const std::vector<uint8_t>& last = files.clip.frames.back();
    const auto& palette = files.clip.palette;
    uint64_t same = 0, error = 0;
    for (size_t i = 0; i < last.size(); ++i) {
      same += picture[i] == last[i];
      for (int c = 0; c < 3; ++c) error += std::abs(palette[3 * picture[i] + c] - palette[3 * last[i] + c]);
    }
    std::printf("%-10s GIF %7ju bytes, .vnt %7ju bytes; last .vnt frame: %.1f%% of pixels exact, "
                "mean colour error %.1f of 255\n",
                files.name.c_str(), static_cast<uintmax_t>(std::filesystem::file_size(files.gif)),
                static_cast<uintmax_t>(std::filesystem::file_size(files.video)), 100.0 * same / last.size(),
                error / (3.0 * last.size()));
  }
  return true;
}

const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

bool PrintDecodeSummary(SummaryReporter& reporter) {
  bool met = true;
  std::printf("\nDecoding %ux%u, %u frames, one core (frames/s, megapixels/s)\n", kWidth, kHeight, kFrames);
  for (const ClipFiles& files : clips) {
    const std::string gifRun = "gif_decode/" + files.name, videoRun = "vnt_decode/" + files.name + "_8bit";
    const double gif = reporter.Figure(gifRun, "frames/s"), vnt = reporter.Figure(videoRun, "frames/s");
    if (gif > 0 && vnt > 0) {
      const bool ratioMet = vnt / gif >= kDecodeRatioTarget;
      met = met && ratioMet;
      std::printf("  %-10s GIF %8.1f fps %7.1f MP/s | .vnt 8-bit %8.1f fps %7.1f MP/s | ratio %5.2fx "
                  "(target >= %.0fx: %s)\n",
                  files.name.c_str(), gif, reporter.Figure(gifRun, "pixels/s") / 1e6, vnt,
                  reporter.Figure(videoRun, "pixels/s") / 1e6, vnt / gif, kDecodeRatioTarget, Verdict(ratioMet));
    } else {
      std::printf("  %-10s GIF or .vnt 8-bit decoding not run\n", files.name.c_str());
    }
    for (const char* output : {"16bit", "doubled"}) {
      const std::string run = "vnt_decode/" + files.name + "_" + output;
      if (reporter.Figure(run, "frames/s") == 0) continue;
      std::printf("  %-10s .vnt %-7s %8.1f fps %7.1f MP/s written (no target)\n", files.name.c_str(), output,
                  reporter.Figure(run, "frames/s"), reporter.Figure(run, "pixels/s") / 1e6);
    }
  }
  return met;
}

bool PrintEncodeSummary(SummaryReporter& reporter) {
  std::printf("\nEncoding with %s's default settings, whole program, one core\n", "vantcw");
  bool met = true;
  for (const ClipFiles& files : clips) {
    const double fps = reporter.Figure("vantcw_encode/" + files.name, "frames/s");
    const double cpu = reporter.Figure("vantcw_encode/" + files.name, "cpu frames/s");
    const bool target = &files == &clips.front();  // the target is set for the first clip
    if (fps == 0) {
      std::printf("  %-10s not run\n", files.name.c_str());
      continue;
    }
    if (target) met = fps >= kEncodeTarget;
    std::printf("  %-10s %7.1f fps (%7.1f fps of processor time)", files.name.c_str(), fps, cpu);
    if (target) {
      std::printf(" (target >= %.0f fps: %s)\n", kEncodeTarget, Verdict(fps >= kEncodeTarget));
    } else {
      std::printf(" (no target)\n");
    }
  }
  return met;
}

// The heap a video streamed from disk takes while it plays, beyond its frame buffer and its
// read-ahead ring; the output buffer is the caller's and made before counting starts.
bool PrintHeapSummary() {
  std::printf("\nHeap while playing a video streamed from disk (8-bit output)\n");
  bool met = true;
  for (const ClipFiles& files : clips) {
    std::vector<uint8_t> buffer(size_t{kWidth} * kHeight);
    HeapMeasureStart();
    int64_t blocksAtFirstFrame = 0, blocksInFrames = 0;
    const PlayFigures figures = PlayVideo(files.video, VideoOutput::kIndexes8, buffer, [&](bool starting) {
      if (starting) blocksAtFirstFrame = HeapAllocationsSinceStart();
      if (!starting) blocksInFrames = HeapAllocationsSinceStart() - blocksAtFirstFrame;
    });
    const int64_t peak = HeapPeakSinceStart();
    const int64_t left = HeapInUseSinceStart();
    const int64_t blocks = HeapAllocationsSinceStart();
    if (figures.frames != static_cast<int>(kFrames) || !figures.streamed) {
      std::printf("  %-10s the video did not play streamed from disk\n", files.name.c_str());
      met = false;
      continue;
    }
    const int64_t beyond = peak - static_cast<int64_t>(figures.frameBufferBytes + figures.ringBytes);
    met = met && beyond < kHeapTarget;
    std::printf("  %-10s peak %7.1f KB: frame buffer %6.1f KB, ring %6.1f KB, beyond them %6.1f KB "
                "(target < 4 MB: %s)\n"
                "  %-10s handle's peak figure %6.1f KB; blocks allocated: %jd in all, %jd while playing the "
                "frames; %jd bytes left after closing\n",
                files.name.c_str(), peak / 1024.0, figures.frameBufferBytes / 1024.0, figures.ringBytes / 1024.0,
                beyond / 1024.0, Verdict(beyond < kHeapTarget), "", figures.handlePeakMemory / 1024.0,
                static_cast<intmax_t>(blocks), static_cast<intmax_t>(blocksInFrames), static_cast<intmax_t>(left));
  }
  return met;
}

}  // namespace
}  // namespace speedbench

int main(int argc, char** argv) {
  using namespace speedbench;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  compressorProgram = OwnFolder() + "/vantcw";

  const char* temp = getenv("TMPDIR");
  std::string pattern = std::string(temp && *temp ? temp : "/tmp") + "/vant-speed-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    std::perror("mkdtemp");
    return 1;
  }
  const std::string folder = pattern;
  bool ok = PrepareClips(folder);
  if (ok) {
    RegisterRuns();
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const bool decode = PrintDecodeSummary(reporter);
    const bool encode = PrintEncodeSummary(reporter);
    const bool heap = PrintHeapSummary();
    ok = decode && encode && heap;
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  benchmark::Shutdown();
  return ok ? 0 : 1;
}
