#include "bench/speed_summary.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "bench/heap_counter.h"
#include "bench/video_playing.h"

namespace speedbench {
namespace {

constexpr double kDecodeRatioTarget = 2.0;       // default .vnt against giflib's cropped GIF
constexpr double kExactDecodeRatioTarget = 3.0;  // /N0/K0 .vnt against the optimised GIF
constexpr double kEncodeRatioTarget = 3.0;       // vantcw on every core against the GIF optimiser
constexpr double kOneThreadEncodeRatioTarget = 1.3;  // vantcw on one thread against it
constexpr int64_t kHeapTarget = 4 << 20;

std::string RunWord(const ClipFiles& files) {
  std::string word = files.name;
  for (char& c : word) c = c == ' ' ? '_' : c;
  return word;
}

const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

// The lowest ratio of the family and the clip it was found on.
struct WorstClip {
  double ratio = 0;
  std::string clip;
  bool missing = false;  // a clip had no figure

  void Add(double value, const std::string& name) {
    if (clip.empty() || value < ratio) ratio = value, clip = name;
  }
  // The family line; false when the target is missed or a clip was not measured.
  bool Print(const char* what, double target) const {
    if (clip.empty() || missing) {
      std::printf("  family minimum %s: not every clip was measured (target >= %.1fx: MISSED)\n", what, target);
      return false;
    }
    const bool met = ratio >= target;
    std::printf("  family minimum %s %5.2fx on %s (target >= %.1fx: %s)\n", what, ratio, clip.c_str(), target,
                Verdict(met));
    return met;
  }
};

// Share of the pixel-pair codes that the decoder's first table look-up did not finish.
double FurtherPixelPairShare(const CodeLookupCounts& codes) {
  const uint64_t all = codes.codes[PixelPairTree];
  return all == 0 ? 0 : 100.0 * double(codes.further[PixelPairTree]) / double(all);
}

bool PrintDecodeSummary(const SummaryReporter& reporter, const std::vector<ClipFiles>& clips) {
  std::printf("\nDecoding at the default settings against giflib on the cropped GIF, one core (frames/s; ns per\n"
              "coded bit and the share of pixel-pair codes that take a second look-up, for the 8-bit output)\n");
  WorstClip worst;
  for (const ClipFiles& files : clips) {
    const char* name = files.name.c_str();
    const std::string gifRun = GifDecodeRun(files), videoRun = VideoDecodeRun(files, "8bit");
    const double gif = reporter.Figure(gifRun, "frames/s"), vnt = reporter.Figure(videoRun, "frames/s");
    const double bits = reporter.Figure(videoRun, "bits/s");
    if (gif == 0 || vnt == 0 || bits == 0) {
      std::printf("  %-16s GIF or .vnt 8-bit decoding not run\n", name);
      worst.missing = true;
      continue;
    }
    worst.Add(vnt / gif, files.name);
    std::printf("  %-16s GIF %7.1f | .vnt 8-bit %8.1f, 16-bit %8.1f, doubled %8.1f | %4.2f ns/bit, %4.1f%% | ratio %5.2fx\n",
                name, gif, vnt, reporter.Figure(VideoDecodeRun(files, "16bit"), "frames/s"),
                reporter.Figure(VideoDecodeRun(files, "doubled"), "frames/s"), 1e9 / bits,
                FurtherPixelPairShare(files.videoCodes), vnt / gif);
  }
  return worst.Print("ratio", kDecodeRatioTarget);
}

// Every pixel index kept: the same pictures as the GIF, against the optimised GIF.
bool PrintExactDecodeSummary(const SummaryReporter& reporter, const std::vector<ClipFiles>& clips,
                             bool haveOptimiser) {
  std::printf("\nDecoding the /N0/K0 videos against giflib on the %s, one core\n",
              haveOptimiser ? "gifsicle -O3 GIF" : "cropped GIF (gifsicle is not installed)");
  WorstClip worst;
  for (const ClipFiles& files : clips) {
    const std::string gifRun = OptimisedGifDecodeRun(files), videoRun = ExactDecodeRun(files);
    const double gif = reporter.Figure(gifRun, "frames/s"), vnt = reporter.Figure(videoRun, "frames/s");
    const double bits = reporter.Figure(videoRun, "bits/s");
    if (gif == 0 || vnt == 0 || bits == 0) {
      std::printf("  %-16s not run\n", files.name.c_str());
      worst.missing = true;
      continue;
    }
    worst.Add(vnt / gif, files.name);
    std::printf("  %-16s GIF %7.1f fps | .vnt %7.1f fps %7.1f Mbit/s %4.2f ns/bit, pixel pairs %4.1f%% second look-up | "
                "ratio %5.2fx\n",
                files.name.c_str(), gif, vnt, bits / 1e6, 1e9 / bits, FurtherPixelPairShare(files.exactVideoCodes),
                vnt / gif);
  }
  return worst.Print("ratio", kExactDecodeRatioTarget);
}

// The threads the compressor runs on: one a core unless VANT_THREADS asks for fewer.
std::string CompressorThreads(unsigned& threads) {
  threads = std::max(1u, std::thread::hardware_concurrency());
  const char* setting = std::getenv("VANT_THREADS");
  char* end = nullptr;
  const unsigned long asked = setting ? std::strtoul(setting, &end, 10) : 0;
  if (setting && end != setting && *end == '\0' && asked > 0 && asked < threads) {
    threads = static_cast<unsigned>(asked);
    return "VANT_THREADS=" + std::to_string(asked);
  }
  return "one a core";
}

bool PrintEncodeSummary(const SummaryReporter& reporter, const std::vector<ClipFiles>& clips, bool haveOptimiser) {
  unsigned threads = 0;
  const std::string why = CompressorThreads(threads);
  std::printf("\nEncoding, whole programs: vantcw at its default settings on %u threads (%s) and on one (VANT_THREADS=1)%s\n"
              "(frames/s, ns per pixel; busy: processor time over wall time)\n",
              threads, why.c_str(), haveOptimiser ? ", against gifsicle -O3 on the cropped GIF" : "");
  WorstClip worst, worstOneThread;
  for (const ClipFiles& files : clips) {
    const char* name = files.name.c_str();
    const double fps = reporter.Figure(CompressorRun(files, false), "frames/s");
    const double cpu = reporter.Figure(CompressorRun(files, false), "cpu frames/s");
    const double oneFps = reporter.Figure(CompressorRun(files, true), "frames/s");
    const double gif = reporter.Figure(OptimiserRun(files), "frames/s");
    if (fps == 0 || cpu == 0 || oneFps == 0 || (haveOptimiser && gif == 0)) {
      std::printf("  %-16s not run\n", name);
      worst.missing = worstOneThread.missing = true;
      continue;
    }
    const double pixels = double(files.clip.width) * files.clip.height;
    std::printf("  %-16s vantcw %6.1f fps %5.1f ns/pixel (busy %4.2f) | one thread %6.1f fps %5.1f ns/pixel", name, fps,
                1e9 / (fps * pixels), fps / cpu, oneFps, 1e9 / (oneFps * pixels));
    if (!haveOptimiser) {
      std::printf("\n");
      continue;
    }
    worst.Add(fps / gif, files.name);
    worstOneThread.Add(oneFps / gif, files.name);
    std::printf(" | gifsicle %5.1f fps | ratios %5.2fx, %5.2fx\n", gif, fps / gif, oneFps / gif);
  }
  if (!haveOptimiser) {
    std::printf("  no ratios: gifsicle is not installed\n");
    return true;
  }
  const bool met = worst.Print(("ratio on " + std::to_string(threads) + " threads").c_str(), kEncodeRatioTarget);
  return worstOneThread.Print("ratio on one thread", kOneThreadEncodeRatioTarget) && met;
}

// The heap a video streamed from disk takes while it plays, beyond its frame buffer and its
// read-ahead ring; the output buffer is the caller's and made before counting starts.
bool PrintHeapSummary(const std::vector<ClipFiles>& clips) {
  std::printf("\nHeap while playing a video streamed from disk (8-bit output)\n");
  bool met = true;
  for (const ClipFiles& files : clips) {
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
      std::printf("  %-16s the video did not play streamed from disk\n", name);
      met = false;
      continue;
    }
    const int64_t beyond = peak - static_cast<int64_t>(figures.frameBufferBytes + figures.ringBytes);
    met = met && beyond < kHeapTarget;
    std::printf("  %-16s peak %7.1f KB: frame buffer %6.1f KB, ring %6.1f KB, beyond them %6.1f KB "
                "(target < 4 MB: %s)\n"
                "  %-16s handle's peak figure %6.1f KB; blocks allocated: %jd in all, %jd while playing the "
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
std::string CompressorRun(const ClipFiles& files, bool oneThread) {
  return (oneThread ? "vantcw_encode_one_thread/" : "vantcw_encode/") + RunWord(files);
}
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
