#pragma once
// What the data-rate analysis shows of a .vnt video: the stored frame sizes, their one-second
// running average and the CD-ROM speed lines, in bytes per second or bytes per frame. No widgets.
#include <cstdint>
#include <string>
#include <vector>

#include "frontend/chart/look.h"

namespace frontend {

enum class RateUnit { BytesPerSecond, BytesPerFrame };

enum class LoadOutcome {
  Loaded,
  Unreadable,    // no such file, no "VNT2" header, or a frame-size table cut short
  NoFrameRate,   // frame period 0: the video plays as fast as it can, so it has no data rate
};

// One horizontal line of a drive's sustained rate.
struct SpeedLine {
  int speed;            // 1, 2 or 4 (times a single-speed drive)
  int32_t markId;       // the chart mark that draws it
  chart::TColor colour;
};
// In the order the lines are laid: 1x, 2x, 4x.
extern const SpeedLine kSpeedLines[3];

class DataRateAnalysis {
 public:
  // The running average covers at most this many frames.
  static constexpr int kLongestWindow = 1024;

  // Reads the header and the frame-size table. A failed load leaves no frames.
  LoadOutcome Load(const std::string& fileName);
  // The same from what a file would hold: a header frame-rate word and the stored sizes.
  void SetVideo(int32_t headerFrameRate, std::vector<uint32_t> sizes);

  uint32_t FrameCount() const { return static_cast<uint32_t>(sizes_.size()); }
  // Frame period in units of 10 microseconds.
  int64_t Period() const { return period_; }
  // Frames in the running average: those of one second, kept within 1..kLongestWindow.
  int AverageWindow() const { return window_; }
  const std::vector<uint32_t>& Sizes() const { return sizes_; }

  // Values of frame `index` (0-based) as plotted.
  double SizeValue(size_t index, RateUnit unit) const;
  double AverageValue(size_t index, RateUnit unit) const;
  double SpeedLineValue(int speed, RateUnit unit) const;
  // The stored size of a frame per second of playing.
  int64_t BytesPerSecond(uint32_t size) const;

  // "Frame: 12  Size: 3456  Bytes per second: 51840" for a 1-based frame; empty outside the video.
  std::string FrameInfo(int64_t frame) const;
  // The clipboard text of every frame's size and rate.
  std::string ValuesText(const std::string& fileName) const;

 private:
  void ComputeAverages();

  std::vector<uint32_t> sizes_;
  std::vector<uint32_t> averages_;  // whole bytes per frame
  int64_t period_ = 0;
  int window_ = 1;
};

// The top of the y axis for the highest value shown: rounded to a multiple of 5, then up to a
// multiple of 1000 (bytes per second) or 500 (bytes per frame); never 0, so the axis stays usable.
double RoundedAxisTop(double highest, RateUnit unit);

}  // namespace frontend
