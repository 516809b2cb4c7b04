// How long the analysis window takes from the file name to the chart shown, for a long video.
#include <benchmark/benchmark.h>

#include <QImage>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "frontend/analysis/analysis_window.h"
#include "platform/gui/qt_application.h"
#include "playback/video_file_format.h"

namespace {

// A header and the frame-size table of a video at 15 frames per second, sizes like a real one's:
// large key frames every 150 frames, changing frames between.
std::string WriteLongVideo(uint32_t frames) {
  const std::string path = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") +
                           "/vant-analysis-bench-" + std::to_string(getpid()) + ".vnt";
  VideoFileHeader header{};
  for (int i = 0; i < 4; ++i) header.magic[i] = vntfile::kMagic[i];
  header.frames = frames;
  header.frameRate = -6667;
  std::vector<uint8_t> bytes(vntfile::kHeaderSize + 4 * size_t(frames));
  vntfile::SerializeHeader(header, bytes.data());
  uint32_t seed = 12345;
  for (uint32_t i = 0; i < frames; ++i) {
    seed = seed * 1103515245 + 12345;
    const uint32_t size = i % 150 == 0 ? 40000 + seed % 8000 : 4000 + (seed >> 8) % 12000;
    vntfile::StoreLE32(bytes.data() + vntfile::kHeaderSize + 4 * size_t(i), size);
  }
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return path;
}

void BM_OpenAnalysisWindow(benchmark::State& state) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  if (!platform::MakeGuiApplication()) {
    state.SkipWithError("no windows can be made");
    return;
  }
  const uint32_t frames = static_cast<uint32_t>(state.range(0));
  const std::string path = WriteLongVideo(frames);
  frontend::AnalysisWindows analysis;
  for (auto _ : state) {
    if (!analysis.Open(path)) {
      state.SkipWithError("the video did not load");
      break;
    }
    const QImage shown = analysis.window()->grab().toImage();  // the chart painted
    benchmark::DoNotOptimize(shown.constBits());
    analysis.Close();
  }
  std::remove(path.c_str());
  state.counters["frames"] = frames;
}

}  // namespace

BENCHMARK(BM_OpenAnalysisWindow)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
