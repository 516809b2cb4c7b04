// Decoding and encoding speed measured side by side with GIF on a family of generated 8-bit
// clips of 60 frames at 640x480: decoded from GIFs by giflib and from the .vnt videos by the
// playback calls, encoded by the compressor program (on every core and on one) and by the GIF
// optimiser, the heap of a video streamed from disk, the resident memory of a small program on
// the embeddable library, and the time the compressor program takes to start and end with
// nothing to do. Targets hold for the family's worst clip.
// Usage: speed_bench [--family=N] [Google Benchmark flags]. --family picks another set of seeds
// for the clips (0, the default, is the set the README's figures come from). Exit code 1 when a
// step failed or a target was missed.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/gif_clip.h"
#include "bench/resident_memory.h"
#include "bench/speed_files.h"
#include "bench/speed_summary.h"
#include "bench/start_up.h"
#include "bench/video_playing.h"
#include "platform/system/program_start.h"

namespace speedbench {
namespace {

constexpr uint32_t kFrames = 60;

std::vector<ClipFiles> clips;
std::string compressorProgram, gifOptimiser;

void SetRates(benchmark::State& state, int64_t frames, int64_t pixelsPerFrame) {
  state.counters["frames/s"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
  state.counters["pixels/s"] =
      benchmark::Counter(static_cast<double>(frames * pixelsPerFrame), benchmark::Counter::kIsRate);
}

void DecodeGifFile(benchmark::State& state, const ClipFiles* files, const std::string* path) {
  std::vector<uint8_t> canvas;
  int64_t frames = 0;
  for (auto _ : state) {
    const int decoded = DecodeGif(*path, canvas);
    if (decoded != static_cast<int>(kFrames)) {
      state.SkipWithError("the GIF did not decode");
      return;
    }
    frames += decoded;
    benchmark::DoNotOptimize(canvas.data());
  }
  SetRates(state, frames, int64_t{files->clip.width} * files->clip.height);
}

void DecodeVideoFile(benchmark::State& state, const std::string* path, VideoOutput output) {
  std::vector<uint8_t> buffer;
  int64_t frames = 0, pixels = 0;
  for (auto _ : state) {
    const PlayFigures figures = PlayVideo(*path, output, buffer);
    if (figures.frames != static_cast<int>(kFrames)) {
      state.SkipWithError("the video did not decode");
      return;
    }
    frames += figures.frames;
    pixels = int64_t{figures.width} * figures.rows;
    benchmark::DoNotOptimize(buffer.data());
  }
  SetRates(state, frames, pixels);
  // Coded bits a second: what the decoder's cost is measured against.
  const double bits = 8.0 * static_cast<double>(std::filesystem::file_size(*path)) * state.iterations();
  state.counters["bits/s"] = benchmark::Counter(bits, benchmark::Counter::kIsRate);
}

// A whole program, input reading included; the processor time is the child's own.
template <class Run>
void EncodeWith(benchmark::State& state, Run run) {
  double wall = 0, cpu = 0;
  for (auto _ : state) {
    double cpuSeconds = 0;
    const double seconds = run(&cpuSeconds);
    if (seconds < 0) {
      state.SkipWithError("the program failed");
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

void RegisterRuns() {
  auto add = [](const std::string& name, auto&&... arguments) {
    return benchmark::RegisterBenchmark(name.c_str(), arguments...)->Unit(benchmark::kMillisecond);
  };
  for (const ClipFiles& files : clips) {
    const ClipFiles* f = &files;
    add(GifDecodeRun(files), DecodeGifFile, f, &files.gif);
    add(VideoDecodeRun(files, "8bit"), DecodeVideoFile, &files.video, VideoOutput::kIndexes8);
    add(VideoDecodeRun(files, "16bit"), DecodeVideoFile, &files.video, VideoOutput::kRgb565);
    add(VideoDecodeRun(files, "doubled"), DecodeVideoFile, &files.video, VideoOutput::kRowsDoubled);
    const std::string* gif = files.optimisedGif.empty() ? &files.gif : &files.optimisedGif;
    add(OptimisedGifDecodeRun(files), DecodeGifFile, f, gif);
    add(ExactDecodeRun(files), DecodeVideoFile, &files.exactVideo, VideoOutput::kIndexes8);
  }
  for (const ClipFiles& files : clips) {
    const ClipFiles* f = &files;
    for (const bool oneThread : {false, true}) {
      add(CompressorRun(files, oneThread), [f, oneThread](benchmark::State& state) {
        const std::vector<std::string> settings = oneThread ? std::vector<std::string>{"VANT_THREADS=1"}
                                                            : std::vector<std::string>{};
        EncodeWith(state, [f, &settings](double* cpu) {
          return RunCompressor(compressorProgram, *f, f->video, {}, cpu, settings);
        });
      })->UseManualTime();
    }
    if (gifOptimiser.empty()) continue;
    add(OptimiserRun(files), [f](benchmark::State& state) {
      EncodeWith(state, [f](double* cpu) { return RunGifOptimiser(gifOptimiser, *f, cpu); });
    })->UseManualTime();
  }
}

// A GIF counts only when it shows exactly the clip's frames, colour for colour. An optimiser
// may drop the colours a clip does not use and so shorten the table.
bool GifShowsClip(const std::string& path, const Clip& clip) {
  const std::vector<uint8_t> colors = GifGlobalColors(path);
  std::vector<uint8_t> canvas;
  size_t shown = 0;
  bool equal = !colors.empty();
  const int decoded = DecodeGif(path, canvas, [&](const std::vector<uint8_t>& picture) {
    equal = equal && shown < clip.frames.size();
    for (size_t i = 0; equal && i < picture.size(); ++i) {
      equal = 3 * size_t{picture[i]} < colors.size();
      if (!equal) break;
      const uint8_t* shownColor = &colors[3 * picture[i]];
      const uint8_t* clipColor = &clip.palette[3 * clip.frames[shown][i]];
      equal = std::equal(shownColor, shownColor + 3, clipColor);
    }
    ++shown;
  });
  return decoded == static_cast<int>(clip.frames.size()) && equal;
}

// Pixels of the last frame the video shows as the clip has them, and the mean colour error.
bool CompareLastFrame(const std::string& video, const Clip& clip, double& exactShare, double& meanError) {
  std::vector<uint8_t> picture;
  if (PlayVideo(video, VideoOutput::kIndexes8, picture).frames != static_cast<int>(kFrames)) return false;
  const std::vector<uint8_t>& last = clip.frames.back();
  uint64_t same = 0, error = 0;
  for (size_t i = 0; i < last.size(); ++i) {
    same += picture[i] == last[i];
    for (int c = 0; c < 3; ++c) error += std::abs(clip.palette[3 * picture[i] + c] - clip.palette[3 * last[i] + c]);
  }
  exactShare = 100.0 * same / last.size();
  meanError = error / (3.0 * last.size());
  return true;
}

uintmax_t FileSize(const std::string& path) { return std::filesystem::file_size(path); }

bool PrepareClip(const std::string& folder, ClipFiles& files) {
  const char* name = files.name.c_str();
  if (!WriteClipInputs(folder, files)) {
    std::fprintf(stderr, "Cannot write the GIF or the flic of %s in %s.\n", name, folder.c_str());
    return false;
  }
  if (!GifShowsClip(files.gif, files.clip)) {
    std::fprintf(stderr, "The GIF of %s does not decode to its frames.\n", name);
    return false;
  }
  if (gifOptimiser.empty()) {
    files.optimisedGif.clear();
  } else if (RunGifOptimiser(gifOptimiser, files) < 0 || !GifShowsClip(files.optimisedGif, files.clip)) {
    std::fprintf(stderr, "%s -O3 failed on %s, or its GIF does not decode to the frames.\n", gifOptimiser.c_str(),
                 files.gif.c_str());
    return false;
  }
  std::printf("%-16s GIF %8ju bytes", name, FileSize(files.gif));
  if (!files.optimisedGif.empty()) std::printf(", optimised GIF %8ju bytes", FileSize(files.optimisedGif));
  std::printf("\n");
  struct Coding {
    const std::string& video;
    std::vector<std::string> switches;
    const char* label;
    CodeLookupCounts& codes;
  };
  for (const Coding& coding : {Coding{files.video, {}, "default", files.videoCodes},
                               Coding{files.exactVideo, kExactSwitches, "/N0/K0", files.exactVideoCodes}}) {
    if (RunCompressor(compressorProgram, files, coding.video, coding.switches) < 0) {
      std::fprintf(stderr, "%s failed on %s.\n", compressorProgram.c_str(), files.flic.c_str());
      return false;
    }
    // The .vnt side may be coded with loss: show how close its last frame comes to the clip's.
    double exactShare = 0, meanError = 0;
    if (!CompareLastFrame(coding.video, files.clip, exactShare, meanError) ||
        !CountVideoCodes(coding.video, coding.codes)) {
      std::fprintf(stderr, "The video of %s does not play.\n", name);
      return false;
    }
    std::printf("%-16s .vnt %-7s %8ju bytes; last frame: %5.1f%% of pixels exact, mean colour error %.1f of 255\n",
                "", coding.label, FileSize(coding.video), exactShare, meanError);
  }
  return true;
}

bool PrepareClips(const std::string& folder, uint32_t familySeed) {
  constexpr uint32_t kWidth = 640, kHeight = 480;
  for (const ClipRecipe& recipe : ClipFamily(familySeed)) {
    ClipFiles files;
    files.name = recipe.name;
    files.clip = MakeClip(recipe, kWidth, kHeight, kFrames);
    clips.push_back(std::move(files));
    if (!PrepareClip(folder, clips.back())) return false;
  }
  return true;
}

// Takes --family=N out of the arguments; false when its value is not a number.
bool TakeFamilySeed(int& argc, char** argv, uint32_t& seed) {
  constexpr const char* kFlag = "--family=";
  int kept = 1;
  bool ok = true;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], kFlag, std::strlen(kFlag)) != 0) {
      argv[kept++] = argv[i];
      continue;
    }
    char* end = nullptr;
    const unsigned long value = std::strtoul(argv[i] + std::strlen(kFlag), &end, 10);
    ok = ok && end != argv[i] + std::strlen(kFlag) && *end == '\0' && value <= 1000000;
    seed = static_cast<uint32_t>(value);
  }
  argc = kept;
  argv[argc] = nullptr;
  return ok;
}

}  // namespace
}  // namespace speedbench

int main(int argc, char** argv) {
  using namespace speedbench;
  uint32_t familySeed = 0;
  if (!TakeFamilySeed(argc, argv, familySeed)) {
    std::fprintf(stderr, "--family takes a number from 0 to 1000000.\n");
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  compressorProgram = platform::OwnProgramDirectory() + "/vantcw";
  gifOptimiser = FindOnPath("gifsicle");
  if (gifOptimiser.empty()) std::printf("gifsicle is not installed: GIF optimising is not compared.\n");

  const char* temp = getenv("TMPDIR");
  std::string pattern = std::string(temp && *temp ? temp : "/tmp") + "/vant-speed-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    std::perror("mkdtemp");
    return 1;
  }
  const std::string folder = pattern;
  std::printf("Clip family %u: %zu clips of 640x480, %u frames each\n", familySeed, ClipFamily(familySeed).size(), kFrames);
  bool ok = PrepareClips(folder, familySeed);
  if (ok) {
    RegisterRuns();
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    ok = PrintSummary(reporter, clips, !gifOptimiser.empty());
    ok = PrintResidentSummary(platform::OwnProgramDirectory(), clips, folder) && ok;
  }
  constexpr int kStartUpRuns = 51;  // an odd count has one middle run
  ok = PrintStartUpSummary(compressorProgram, kStartUpRuns) && ok;
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  benchmark::Shutdown();
  return ok ? 0 : 1;
}
