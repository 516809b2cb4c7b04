#include "playback/demo/play_file.h"

#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "playback/vant.h"

namespace {

bool WritePicture(const std::string& path, const VantVideo* video, const std::vector<uint8_t>& pixels,
                  uint32_t width, uint32_t height) {
  FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return false;
  std::fprintf(out, "P6\n%u %u\n255\n", width, height);
  for (uint8_t index : pixels) std::fwrite(video->palette[index], 1, 3, out);
  return std::fclose(out) == 0;
}

void PrintSummary(const VantSummaryInfo& s) {
  std::printf("\nSummary\n");
  std::printf("  total time      %u ms, frame period %u x 10 us, open %u ms\n", s.totalTime, s.framePeriod,
              s.openTime);
  std::printf("  frames          %u played, %u skipped, %u sound skips\n", s.framesPlayed, s.framesSkipped,
              s.soundSkips);
  std::printf("  time spent      decompressing %u ms, blitting %u ms, reading %u ms + %u ms ahead\n",
              s.decompressTime, s.blitTime, s.readTime, s.backgroundReadTime);
  std::printf("  read speed      %u bytes a second\n", s.readSpeed);
  std::printf("  slowest frames  %u (%u ms), %u (%u ms)\n", s.slowestFrame, s.slowestFrameTime,
              s.secondSlowestFrame, s.secondSlowestFrameTime);
  std::printf("  data            average frame %u bytes, busiest second %u bytes from frame %u\n",
              s.averageFrameSize, s.highestRate, s.highestRateFrame);
  std::printf("  memory          peak %u bytes, read-ahead %u of %u bytes\n", s.peakMemory,
              s.extraBufferHighest, s.extraBufferTotal);
}

}  // namespace

bool PlayFile(const std::string& path, const std::string& picturePath) {
  VantVideo* video = VantOpen(path.c_str(), 0, VANT_EXTRA_BUFFER_AUTO);
  if (video == nullptr) return false;
  const uint32_t width = video->header.width, height = video->header.height;
  std::vector<uint8_t> pixels(size_t{width} * height, 0);
  if (!VantToBuffer(video, 0, 0, static_cast<int32_t>(width), static_cast<int32_t>(height), pixels.data(), 0)) {
    std::fprintf(stderr, "No picture of %u x %u can be made.\n", width, height);
  }

  std::printf("Playing %s through the calls\n", path.c_str());
  std::printf("  frame  late  palette  rectangles  pixels\n");
  for (uint32_t played = 0; played < video->header.frames; ++played) {
    const uint32_t frame = video->currentFrame + 1;
    const bool newPalette = video->paletteChanged != 0;
    const int32_t late = VantDoFrame(video);
    uint32_t rects = 0;
    uint64_t area = 0;
    while (VantToBufferRect(video, VANT_RECT_MERGE)) {
      ++rects;
      area += uint64_t(video->lastRect.width) * uint64_t(video->lastRect.height);
    }
    std::printf("  %5u  %4s  %7s  %10u  %6llu\n", frame, late ? "yes" : "-", newPalette ? "new" : "-", rects,
                (unsigned long long)area);
    if (played + 1 == video->header.frames && !picturePath.empty()) {
      if (!WritePicture(picturePath, video, pixels, width, height)) {
        std::fprintf(stderr, "Could not write %s.\n", picturePath.c_str());
      }
    }
    VantNextFrame(video);
    while (VantWait(video)) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  VantSummaryInfo summary;
  VantSummary(video, &summary);
  PrintSummary(summary);
  VantClose(video);
  return true;
}
