#pragma once
// The files both sides of the comparison decode: each clip as a cropped GIF, as a flic (the
// compressor's input) and as the .vnt video the compressor program makes from it.
#include <string>

#include "bench/speed_clips.h"

namespace speedbench {

struct ClipFiles {
  std::string name;  // "shapes" or "scrolling"
  Clip clip;
  std::string gif, flic, video;
};

// Frames per second of every clip; the GIF delay and the flic's rate say the same.
inline constexpr int kClipFramesPerSecond = 15;

// Writes the GIF and the flic of files.clip into `folder`; false when a file cannot be written.
bool WriteClipInputs(const std::string& folder, ClipFiles& files);

// Runs the compressor program with its default settings on the flic into files.video. Returns
// the seconds it took on the wall clock and, through cpuSeconds, the processor time it used;
// a negative figure when it could not run or did not succeed.
double RunCompressor(const std::string& program, const ClipFiles& files, double* cpuSeconds = nullptr);

}  // namespace speedbench
