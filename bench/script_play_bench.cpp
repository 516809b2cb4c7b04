// A script playing a video through ANIMATIONPLAY against the player on the same file: a
// 640 x 480 clip at 15 frames a second with a tone, made by the demo clip maker and the
// compressor, is played by vantplw and by a script (a window, then ANIMATIONPLAY) run through
// the script player's own entry in a child of this program. Each side runs in a process of its
// own on Qt's offscreen platform, with SDL's dummy sound driver unless SDL_AUDIODRIVER names
// another; the runs alternate and the medians are compared. A side's share of one core is its
// processor time (user and system) over its wall time; the frames skipped come from the
// video's own statistics.
// Usage: script_play_bench [seconds [repetitions]]   (default 10 seconds, 3 repetitions)
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "script/screen/animation_player.h"
#include "script/script_program.h"
#include "bench/speed_files.h"
#include "platform/system/program_start.h"

namespace {

constexpr int kWidth = 640, kHeight = 480, kFramesPerSecond = 15;
constexpr const char* kScriptSwitch = "--script";

struct Side {
  std::vector<double> shares;  // of one core, one a run
  uint32_t frames = 0, skipped = 0, mostSkipped = 0;
  bool failed = false;
};

// The script side in this process: its video's figures on standard output when it ends.
int PlayScript(const std::string& script) {
  return script::ScriptMain("\"" + script + "\"", false, [](VantVideo& video, bool ended) {
    if (!ended) return;
    VantSummaryInfo info{};
    VantSummary(&video, &info);
    std::printf("Total frames played: %u\nSkipped frames: %u\n", info.framesPlayed, info.framesSkipped);
  });
}

// The figure after `label` in the output, or -1.
long FigureAfter(const std::string& output, const std::string& label) {
  const size_t at = output.find(label);
  return at == std::string::npos ? -1 : std::strtol(output.c_str() + at + label.size(), nullptr, 10);
}

void RunSide(const std::vector<std::string>& words, const std::string& output, Side& side) {
  const std::vector<std::string> settings = {
      "QT_QPA_PLATFORM=offscreen", std::string("SDL_AUDIODRIVER=") + (getenv("SDL_AUDIODRIVER") ? getenv("SDL_AUDIODRIVER") : "dummy")};
  double cpu = 0;
  const double wall = speedbench::RunTimed(words, &cpu, output, settings);
  std::ifstream in(output, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const long frames = FigureAfter(text, "Total frames played: ");
  const long skipped = FigureAfter(text, "Skipped frames: ");
  if (wall <= 0 || frames < 0 || skipped < 0) {
    side.failed = true;
    return;
  }
  side.shares.push_back(cpu / wall);
  side.frames = static_cast<uint32_t>(frames);
  side.skipped += static_cast<uint32_t>(skipped);
  side.mostSkipped = std::max(side.mostSkipped, static_cast<uint32_t>(skipped));
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

void PrintSide(const char* name, const Side& side, size_t runs) {
  std::printf("  %-8s %u frames a run, %u skipped in %zu runs (at most %u in one), %5.2f %% of one core (median)\n",
              name, side.frames, side.skipped, runs, side.mostSkipped, 100 * Median(side.shares));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && argv[1] == std::string(kScriptSwitch)) return PlayScript(argv[2]);
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
  const int repetitions = argc > 2 ? std::atoi(argv[2]) : 3;
  if (argc > 3 || seconds <= 0 || seconds > 600 || repetitions <= 0 || repetitions > 50) {
    std::fprintf(stderr, "Usage: %s [seconds [repetitions]]   (default 10 seconds, 3 repetitions)\n", argv[0]);
    return 1;
  }
  const std::string self = platform::OwnProgramPath();
  if (self.empty()) return 1;
  const std::string bin = platform::OwnProgramDirectory();
  std::string work = std::filesystem::temp_directory_path() / "vant-script-bench-XXXXXX";
  if (mkdtemp(work.data()) == nullptr) return 1;
  const std::string clip = work + "/clip.avi", video = work + "/clip.vnt", script = work + "/play.ss";
  std::ofstream(script) << "screengraphics ok " << kWidth << " " << kHeight << "\nanimationplay r 0 0 1 0 \"" << video << "\"\n";

  int result = 1;
  const std::string frames = std::to_string(seconds * kFramesPerSecond);
  if (speedbench::RunTimed({bin + "/vantcw_demo_clip", clip, std::to_string(kWidth), std::to_string(kHeight),
                            frames, std::to_string(kFramesPerSecond)}) < 0 ||
      speedbench::RunTimed({bin + "/vantcw", clip, video, "/O", "/#"}) < 0) {
    std::fprintf(stderr, "The clip could not be made.\n");
  } else {
    Side player, scripted;
    for (int run = 0; run < repetitions; ++run) {
      RunSide({bin + "/vantplw", video, "/S"}, work + "/player.txt", player);
      RunSide({self, kScriptSwitch, script}, work + "/script.txt", scripted);
    }
    std::printf("ANIMATIONPLAY against vantplw: %dx%d, %s frames at %d fps with sound, %d runs each\n", kWidth,
                kHeight, frames.c_str(), kFramesPerSecond, repetitions);
    if (player.failed || scripted.failed) {
      std::fprintf(stderr, "A run failed; its output is in %s.\n", work.c_str());
      return 1;
    }
    PrintSide("vantplw", player, static_cast<size_t>(repetitions));
    PrintSide("script", scripted, static_cast<size_t>(repetitions));
    const bool noSkips = scripted.skipped == 0;
    const double ratio = Median(scripted.shares) / Median(player.shares);
    std::printf("  targets: the script skips no frame (%s); its share of a core at most vantplw's (%.2fx: %s)\n",
                noSkips ? "met" : "missed", ratio, ratio <= 1.0 ? "met" : "missed");
    result = noSkips && ratio <= 1.0 ? 0 : 1;
  }
  std::filesystem::remove_all(work);
  return result;
}
