#pragma once
// The compress page's command for the compressor, built from the page's settings record alone
// so that every command text can be checked without a window.
#include <string>
#include <vector>

#include "frontend/core/settings.h"

namespace frontend {

// The "&Type" menu: 0 a Vantrel file, 1 a flic, 2 to 7 picture series.
inline constexpr int kCompressOutputTypeCount = 8;
// "vnt", "flc", "bmp", "jpg", "tga", "tif", "pcx", "gif"; type 0's for any other.
const char* CompressOutputExtension(int outputType);

// How regular and key frames are compressed (the items of both type lists).
enum CompressType { kToDataRate = 0, kFilePercent = 1, kFramePercent = 2, kErrorPercent = 3, kLossless = 4 };

// The stored value shown in the value edit for the type (each kept apart for regular and key
// frames); null for the lossless type, which has none.
std::string* StoredCompressValue(CompressSettings& settings, bool keyFrames, int type);
const std::string* StoredCompressValue(const CompressSettings& settings, bool keyFrames, int type);

// What the "&Vant" button adds to the settings.
struct CompressRun {
  std::string inputAndOutput;  // the quoted input, a blank and the quoted output
  std::string listDirectory;   // where the compressor runs
  std::string hintFile;        // the frame-specific hints' temporary file; "" for none
};

// Why the compressor would refuse or misread a value (its ranges: a data rate of at least 1000,
// percentages of 1 to 200, an error percentage of 0 to 100, whole numbers that fit its
// switches), or "" when every value is fine.
std::string CheckCompressSettings(const CompressSettings& settings);

// "VantC " + input and output + " " + the switches, joined without blanks but the one after
// the sound's lossy value. Every name is quoted.
std::string BuildCompressCommand(const CompressSettings& settings, const CompressRun& run);

// Whether the frame-specific lines hold anything but blanks.
bool HasFrameSpecificText(const std::vector<std::string>& lines);

// The Defaults button: every option back to its default, the output name emptied; the file
// list's state, the remembered based-on name and the page shown stay.
void ResetCompressOptions(CompressSettings& settings);

}  // namespace frontend
