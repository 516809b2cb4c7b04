#pragma once
// audprw: reads any sound input, converts it to the requested rate, sample size and channels,
// and writes it as a WAV file (an output named ".wav") or as raw PCM samples.
#include <string>

namespace soundtool {

inline constexpr const char* kExtractorTitle = "Sound Processor";
inline constexpr const char* kExtractorVersionLine = "Version: 3.0k";

extern const char* const kExtractorUsage;
inline constexpr const char* kTooLongForWavMessage =
    "Error: the sound is too long for a WAV file (4 GB at most); name the output .raw to write it "
    "without a header.";

// Runs the whole program on a command text as BuildCommandText makes it. Returns the exit code:
// 0 when the output was completed, else 1 (and no output is left).
int ExtractorMain(std::string commandText);

}  // namespace soundtool
