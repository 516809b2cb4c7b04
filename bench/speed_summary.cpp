#include "bench/speed_summary.h"

#include <unistd.h>

#include <cstdio>

#include "bench/heap_counter.h"
#include "bench/video_playing.h"

namespace speedbench {
namespace {

constexpr double kDecodeRatioTarget = 2.0;       // default .vnt against giflib's cropped GIF
constexpr double kExactDecodeRatioTarget = 3.0;  // /N0/K0 .vnt against the optimised GIF
constexpr uint32_t kExactDecodeTargetWidth = 640;  // that target holds from this width up
// The decoder's cost per coded bit at the larger sizes, against the smallest size.
constexpr double kCostPerBitGrowthLimit = 1.25;
constexpr double kEncodeRatioTarget = 1.5;       // vantcw against the GIF optimiser
constexpr double kNoiseEncodeRatioTarget = 2.0;  // on the noise clip
constexpr double kEncodeTarget = 30.0;           // frames per second, without the optimiser
constexpr int64_t kHeapTarget = 4 << 20;

std::string RunWord(const ClipFiles& files) {
  std::string word = files.name;
  for (char& c : word) c = c == ' ' ? '_' : c;
  return word;
}

const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

bool PrintDecodeSummary(const SummaryReporter& reporter, const std::vector<ClipFiles>& clips) {
  bool met = true;
  std::printf("\nDecoding at the default settings, 640x480, 60 frames, one core (frames/s, megapixels/s)\n");
  for (const ClipFiles& files : clips) {
    if (!files.standard) continue;
    const char* name = files.name.c_str();
    const std::string gifRun = GifDecodeRun(files), videoRun = VideoDecodeRun(files, "8bit");
    const double gif = reporter.Figure(gifRun, "frames/s"), vnt = reporter.Figure(videoRun, "frames/s");
    if (gif > 0 && vnt > 0) {
      const bool ratioMet = vnt / gif >= kDecodeRatioTarget;
      met = met && ratioMet;
      std::printf("  %-10s GIF %8.1f fps %7.1f MP/s | .vnt 8-bit %8.1f fps %7.1f MP/s | ratio %5.2fx "
                  "(target >= %.0fx: %s)\n",
                  name, gif, reporter.Figure(gifRun, "pixels/s") / 1e6, vnt, reporter.Figure(videoRun, "pixels/s") / 1e6,
                  vnt / gif, kDecodeRatioTarget, Verdict(ratioMet));
    } else {
      std::printf("  %-10s GIF or .vnt 8-bit decoding not run\n", name);
    }
    for (const char* output : {"16bit", "doubled"}) {
      const std::string run = VideoDecodeRun(files, output);
      if (reporter.Figure(run, "frames/s") == 0) continue;
      std::printf("  %-10s .vnt %-7s %8.1f fps %7.1f MP/s written (no target)\n", name, output,
                  reporter.Figure(run, "frames/s"), reporter.Figure(run, "pixels/s") / 1e6);
    }
  }
  return met;
}

// The noise clip with every pixel index kept, at each size, against the optimised GIF.
bool PrintExactDecodeSummary(const SummaryReporter& reporter, const std::vector<ClipFiles>& clips,
                             bool haveOptimiser) {
  std::printf("\nDecoding the noise clip coded /N0/K0 against giflib on the %s, one core\n",
              haveOptimiser ? "gifsicle -O3 GIF" : "cropped GIF (gifsicle is not installed)");
  bool met = true;
  double smallestCostPerBit = 0;
  for (const ClipFiles& files : clips) {
    if (!files.exact) continue;
    const std::string gifRun = OptimisedGifDecodeRun(files), videoRun = ExactDecodeRun(files);
    const double gif = reporter.Figure(gifRun, "frames/s"), vnt = reporter.Figure(videoRun, "frames/s");
    const double bitsPerSecond = reporter.Figure(videoRun, "bits/s");
    const std::string size = std::to_string(files.clip.width) + "x" + std::to_string(files.clip.height);
    if (gif == 0 || vnt == 0 || bitsPerSecond == 0) {
      std::printf("  %-9s not run\n", size.c_str());
      continue;
    }
    std::printf("  %-9s GIF %7.1f fps %6.1f MP/s | .vnt %7.1f fps %6.1f MP/s %6.1f Mbit/s | ratio %5.2fx", size.c_str(),
                gif, reporter.Figure(gifRun, "pixels/s") / 1e6, vnt, reporter.Figure(videoRun, "pixels/s") / 1e6,
                bitsPerSecond / 1e6, vnt / gif);
    if (files.clip.width >= kExactDecodeTargetWidth) {
      const bool ratioMet = vnt / gif >= kExactDecodeRatioTarget;
      met = met && ratioMet;
      std::printf(" (target >= %.0fx: %s)", kExactDecodeRatioTarget, Verdict(ratioMet));
    } else {
      std::printf(" (no target)");
    }
    // Nanoseconds per coded bit; the first (smallest) size is the measure for the others.
    const double costPerBit = 1e9 / bitsPerSecond;
    if (smallestCostPerBit == 0) {
      smallestCostPerBit = costPerBit;
      std::printf("\n  %-9s %.2f ns per coded bit\n", "", costPerBit);
      continue;
    }
    const double growth = costPerBit / smallestCostPerBit;
    const bool growthMet = growth <= kCostPerBitGrowthLimit;
    met = met && growthMet;
    std::printf("\n  %-9s %.2f ns per coded bit, %.2fx the smallest size's (target <= %.2fx: %s)\n", "", costPerBit,
                growth, kCostPerBitGrowthLimit, Verdict(growthMet));
  }
  return met;
}

bool PrintEncodeSummary(const SummaryReporter& reporter, const std::vector<ClipFiles>& clips, bool haveOptimiser) {
  std::printf("\nEncoding, whole programs, one core: vantcw at its default settings%s\n",
              haveOptimiser ? " against gifsicle -O3 on the cropped GIF" : "");
  bool met = true;
  for (const ClipFiles& files : clips) {
    if (!files.standard) continue;
    const char* name = files.name.c_str();
    const double fps = reporter.Figure(CompressorRun(files), "frames/s");
    const double cpu = reporter.Figure(CompressorRun(files), "cpu frames/s");
    if (fps == 0) {
      std::printf("  %-10s not run\n", name);
      continue;
    }
    std::printf("  %-10s vantcw %6.1f fps (%6.1f of processor time)", name, fps, cpu);
    if (!haveOptimiser) {
      // Without the optimiser to compare with, the first clip keeps a target of its own.
      if (&files == &clips.front()) {
        met = met && fps >= kEncodeTarget;
        std::printf(" (target >= %.0f fps: %s)\n", kEncodeTarget, Verdict(fps >= kEncodeTarget));
      } else {
        std::printf(" (no target)\n");
      }
      continue;
    }
    const double gif = reporter.Figure(OptimiserRun(files), "frames/s");
    const double gifCpu = reporter.Figure(OptimiserRun(files), "cpu frames/s");
    if (gif == 0) {
      std::printf(" | gifsicle not run\n");
      continue;
    }
    const double target = files.name == "noise" ? kNoiseEncodeRatioTarget : kEncodeRatioTarget;
    const bool ratioMet = fps / gif >= target;
    met = met && ratioMet;
    std::printf(" | gifsicle %6.1f fps (%6.1f) | ratio %5.2fx (target >= %.1fx: %s)\n", gif, gifCpu, fps / gif, target,
                Verdict(ratioMet));
  }
  return met;
}

// The heap a video streamed from disk takes while it plays, beyond its frame buffer and its
// read-ahead ring; the output buffer is the caller's and made before counting starts.
bool PrintHeapSummary(const std::vector<ClipFiles>& clips) {
  std::printf("\nHeap while playing a video streamed from disk (8-bit output)\n");
  bool met = true;
  for (const ClipFiles& files : clips) {
    if (!files.standard) continue;
    const char* name = files.name.c_str();
    std::vector<uint8_t> buffer(size_t{files.clip.width} * files.clip.height);
    HeapMeasureStart();
    int64_t blocksAtFirstFrame = 0, blocksInFrames = 0;
    const PlayFigures figures = PlayVideo(files.video, VideoOutput::kIndexes8, buffer, [&](bool starting) {
      if (starting) blocksAtFirstFrame = HeapAllocationsSinceStart();
      if (!starting) blocksInFrames = HeapAllocationsSinceStart() - blocksAtFirstFrame;
    });
    const int64_t peak = HeapPeakSinceStart();
    const int64_t left = HeapInUseSinceStart();
    const int64_t blocks = HeapAllocationsSinceStart();
    if (figures.frames != static_cast<int>(files.clip.frames.size()) || !figures.streamed) {
      std::printf("  %-10s the video did not play streamed from disk\n", name);
      met = false;
      continue;
    }
    const int64_t beyond = peak - static_cast<int64_t>(figures.frameBufferBytes + figures.ringBytes);
    met = met && beyond < kHeapTarget;
    std::printf("  %-10s peak %7.1f KB: frame buffer %6.1f KB, ring %6.1f KB, beyond them %6.1f KB "
                "(target < 4 MB: %s)\n"
                "  %-10s handle's peak figure %6.1f KB; blocks allocated: %jd in all, %jd while playing the "
                "frames; %jd bytes left after closing\n",
                name, peak / 1024.0, figures.frameBufferBytes / 1024.0, figures.ringBytes / 1024.0, beyond / 1024.0,
                Verdict(beyond < kHeapTarget), "", figures.handlePeakMemory / 1024.0, static_cast<intmax_t>(blocks),
                static_cast<intmax_t>(blocksInFrames), static_cast<intmax_t>(left));
  }
  return met;
}

}  // namespace

std::string GifDecodeRun(const ClipFiles& files) { return "gif_decode/" + RunWord(files); }
std::string VideoDecodeRun(const ClipFiles& files, const std::string& output) {
  return "vnt_decode/" + RunWord(files) + "_" + output;
}
std::string OptimisedGifDecodeRun(const ClipFiles& files) { return "gif_decode_optimised/" + RunWord(files); }
std::string ExactDecodeRun(const ClipFiles& files) { return "vnt_decode_exact/" + RunWord(files); }
std::string CompressorRun(const ClipFiles& files) { return "vantcw_encode/" + RunWord(files); }
std::string OptimiserRun(const ClipFiles& files) { return "gifsicle_encode/" + RunWord(files); }

// Colours only on a terminal: a reporter of our own does not get the library's choice.
SummaryReporter::SummaryReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

void SummaryReporter::ReportRuns(const std::vector<Run>& reports) {
  for (const Run& run : reports) {
    if (run.error_occurred) continue;
    const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
    if (run.run_type == Run::RT_Aggregate && !median) continue;
    const std::string& name = run.run_name.function_name;
    if (medians_.count(name) && !median) continue;
    if (median) medians_[name] = true;
    for (const auto& [key, counter] : run.counters) figures_[name][key] = counter.value;
  }
  ConsoleReporter::ReportRuns(reports);
}

double SummaryReporter::Figure(const std::string& name, const std::string& key) const {
  auto run = figures_.find(name);
  if (run == figures_.end()) return 0;
  auto value = run->second.find(key);
  return value == run->second.end() ? 0 : value->second;
}

bool PrintSummary(const SummaryReporter& reporter, const std::vector<ClipFiles>& clips, bool haveOptimiser) {
  const bool decode = PrintDecodeSummary(reporter, clips);
  const bool exact = PrintExactDecodeSummary(reporter, clips, haveOptimiser);
  const bool encode = PrintEncodeSummary(reporter, clips, haveOptimiser);
  const bool heap = PrintHeapSummary(clips);
  return decode && exact && encode && heap;
}

}  // namespace speedbench
