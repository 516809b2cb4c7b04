#pragma once
// The compressor's own switches, the output frame rate they ask for, and the usage texts.
#include <cstdint>
#include <string>

#include "toolsupport/base/switches.h"  // OutputFrameRate

namespace compressor {

struct CompressorSwitches {
  uint32_t keyInterval = 0x10000000;  // /J: a key frame at least every that many frames
  bool mixOriginals = false;          // /M
  uint32_t heightScaling = 0;         // /Z: 1 interlaced, 2 doubled
  uint32_t autoKeyPercent = 95;       // /A
  int32_t regularTarget = 240000;     // /N
  int32_t keyTarget = 20;             // /K
  bool everyOther = false;            // /V
  int32_t frameRate = 0;              // /F as given
  bool ringFrame = false;             // /G
  std::string hintFile;               // /@, without the '*'
  bool deleteHintFile = false;        // /@ began with '*'
  bool overwrite = false;             // /O
};

// Data-rate values a /N or /K may have: -600 to -401 (share of each frame), -200 to -1 (share
// of the file), 0 to 100 (error), 1000 and up (bytes per second).
bool IsAcceptedTarget(int32_t value);

// Takes the switches off the command text. False when /N or /K is out of range (the caller shows
// the usage); the other switches are brought into range.
bool ParseCompressorSwitches(std::string& commandText, CompressorSwitches& switches);

// The three usage boxes: the syntax, then the two pages of switches.
extern const char* const kUsageSyntax;
extern const char* const kUsageSwitches1;
extern const std::string kUsageSwitches2;

// The three boxes as one text, a blank line between them (for a terminal).
std::string CompressorUsageText();

}  // namespace compressor
