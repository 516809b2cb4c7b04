#pragma once
// Which frames the analysis chart shows: the x range, the scroll bar that moves it, the zoom
// steps and the frames kept per pixel when the window is resized. No widgets.
#include <cstdint>

namespace frontend {

struct VisibleFrames {
  double xMin = 1, xMax = 2;
  int64_t count = 2;           // frames shown: the width of the x range
  bool scrollMoved = false;    // the scroll bar goes to scrollPosition
  int64_t scrollPosition = 1;
  int64_t scrollMax = 1;       // the scroll bar runs from 1 to here
  int64_t largeChange = 1;
};

// Shows `wanted` frames (at least 2) from xMin on; a video too short for them is shown whole,
// from frame 1. The range never ends before it starts, not even for 0 or 1 frames.
VisibleFrames FitVisibleFrames(int64_t wanted, double xMin, uint32_t frameCount);

inline int64_t ZoomedIn(int64_t count) { return count * 3 / 4; }
inline int64_t ZoomedOut(int64_t count) { return (count * 4 + 1) / 3; }
// Frames shown by default in a window this wide.
inline int64_t DefaultVisibleFrames(int windowWidth) { return windowWidth / 35; }
// Frames to show at a new width so that each pixel still stands for as many frames.
int64_t FramesForWidth(int newWidth, int64_t count, int oldWidth);

}  // namespace frontend
