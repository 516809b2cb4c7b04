#pragma once
// vantcw: a picture or video input and its sound into a .vnt file, or into a flic or a numbered
// series of pictures.
#include <string>

namespace compressor {

inline constexpr const char* kCompressorVersionLine = "Vantrel compressor. V 3.0k";
inline constexpr const char* kCompressorTitle = "Vant";

// Runs the whole program on a command text as BuildCommandText makes it: the report switches,
// the status window, the switches, both passes, the report and the cleanup. Returns the exit
// code: 0 when the output was completed, else 1 (and no output is left).
int CompressorMain(std::string commandText);

}  // namespace compressor
