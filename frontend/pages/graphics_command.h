#pragma once
// The Graphics Processor page's command for the converter, built from the page's settings
// record alone so that every command text can be checked without a window.
#include <string>

#include "frontend/core/settings.h"

namespace frontend {

// The "&Type" menu: 0 the input's own format, 1 a flic, 2 to 7 picture series.
inline constexpr int kGraphicsOutputTypeCount = 8;

// The default output extension, without its '.': for type 0 the input's own, as it is spelt,
// when the converter writes that format (the whole extension, in any case), else "flc"; for
// types 1 to 7 "flc",
// "bmp", "jpg", "tga", "tif", "pcx", "gif".
std::string GraphicsOutputExtension(int outputType, const std::string& input);

// What the "&Convert" button adds to the settings.
struct GraphicsRun {
  std::string inputAndOutput;  // the quoted input, a blank and the quoted output
  std::string listDirectory;   // where the converter runs
};

// "PicPrW " + input and output + " " + the switches, joined without blanks. Every name is
// quoted.
std::string BuildGraphicsCommand(const GraphicsSettings& settings, const GraphicsRun& run);

// The Defaults button: output type 0, every list at its first entry, every box and the
// overwrite mark off, every field and the output name empty, the input's own palette; the file
// list's state and the page shown stay.
void ResetGraphicsOptions(GraphicsSettings& settings);

}  // namespace frontend
