#pragma once
// picprw: copies a picture or video input into a flic or a numbered series of pictures, with the
// sub-frame, colour reduction, palette and frame-range switches of the picture input.
#include <string>

namespace converter {

inline constexpr const char* kConverterTitle = "Graphics Processor";
inline constexpr const char* kConverterVersionLine = "Version: 3.0k";

extern const char* const kConverterUsageSyntax;
extern const std::string kConverterUsageSwitches;
// Both boxes as one text, a blank line between them (for a terminal).
std::string ConverterUsageText();

// Runs the whole program on a command text as BuildCommandText makes it. Returns the exit code:
// 0 when the output was completed, else 1 (and no output is left).
int ConverterMain(std::string commandText);

}  // namespace converter
