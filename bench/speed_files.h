#pragma once
// The files both sides of the comparison decode and encode: each clip as a cropped GIF written
// by giflib, as the GIF an optimiser makes of it, as a flic (the compressor's input) and as the
// .vnt videos the compressor program makes from it.
#include <string>
#include <vector>

#include "bench/speed_clips.h"
#include "playback/frame_decoder.h"

namespace speedbench {

struct ClipFiles {
  std::string name;  // the recipe's name
  Clip clip;
  std::string gif, flic;
  std::string video;         // default settings
  std::string exactVideo;    // /N0/K0: every pixel index kept
  std::string optimisedGif;  // the optimiser's output; empty without the optimiser
  CodeLookupCounts videoCodes, exactVideoCodes;  // the codes of every frame of each video
};

// Frames per second of every clip; the GIF delay and the flic's rate say the same.
inline constexpr int kClipFramesPerSecond = 15;

// The settings that keep every pixel index of the pictures.
inline const std::vector<std::string> kExactSwitches = {"/N0/K0"};

// Writes the GIF and the flic of files.clip into `folder` and names the other files there;
// false when a file cannot be written.
bool WriteClipInputs(const std::string& folder, ClipFiles& files);

// Runs a program to its end with no display, standard output and error going into the file
// `output` (discarded when it is empty), and the variables of `settings` ("NAME=value") put in
// its environment. Returns the seconds it took on the wall clock and, through cpuSeconds, the
// processor time it used; a negative figure when it could not run or did not succeed. With
// `exitCode` given, any exit counts and its code is put there.
double RunTimed(const std::vector<std::string>& words, double* cpuSeconds = nullptr,
                const std::string& output = {}, const std::vector<std::string>& settings = {},
                int* exitCode = nullptr);

// The compressor program with the given switches (none: its defaults) from the flic into
// `output`, with the environment's variables changed by `settings` (see RunTimed).
double RunCompressor(const std::string& program, const ClipFiles& files, const std::string& output,
                     const std::vector<std::string>& switches = {}, double* cpuSeconds = nullptr,
                     const std::vector<std::string>& settings = {});

// The GIF optimiser at its highest level from files.gif into files.optimisedGif.
double RunGifOptimiser(const std::string& program, const ClipFiles& files, double* cpuSeconds = nullptr);

// The path of a program found on PATH, empty when there is none.
std::string FindOnPath(const std::string& name);

}  // namespace speedbench
