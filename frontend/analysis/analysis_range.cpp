#include "frontend/analysis/analysis_range.h"

#include <algorithm>
#include <cmath>

namespace frontend {

VisibleFrames FitVisibleFrames(int64_t wanted, double xMin, uint32_t frameCount) {
  VisibleFrames v;
  v.count = std::max<int64_t>(wanted, 2);
  v.xMin = xMin;
  if (double(frameCount) >= xMin + double(v.count)) {
    v.xMax = xMin + double(v.count);
  } else {
    v.xMax = frameCount;
    v.xMin = double(frameCount) - double(v.count);
    if (v.xMin <= 0) v.xMin = 1;
    // With fewer than 2 frames the range still needs a width.
    if (v.xMax <= v.xMin) v.xMax = v.xMin + 1;
    v.scrollMoved = true;
    v.scrollPosition = static_cast<int64_t>(std::trunc(v.xMin));
    v.count = static_cast<int64_t>(std::trunc(v.xMax - v.xMin));
  }
  v.largeChange = std::max<int64_t>(v.count - 1, 1);
  v.scrollMax = std::max<int64_t>(int64_t(frameCount) - v.count, 1);
  return v;
}

int64_t FramesForWidth(int newWidth, int64_t count, int oldWidth) {
  if (oldWidth <= 0) return count;
  return static_cast<int64_t>(std::trunc(double(newWidth) * double(count) / oldWidth + 0.5));
}

}  // namespace frontend
