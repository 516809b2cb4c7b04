#pragma once
// The front end's settings record: one struct per section of the settings file, read once at
// start and written once at close. Pages copy their struct into their controls when they are
// made and back when they are freed. Defaults are the member initialisers.
#include <cstdint>
#include <string>
#include <vector>

namespace frontend {

// A window position that was never stored: the window is centred.
inline constexpr int32_t kUnsetPosition = INT32_MIN;

// [VantMain]
struct MainSettings {
  std::string directory;  // read only: the program directory (tools and help); default set at start
  int32_t x = kUnsetPosition;
  int32_t y = kUnsetPosition;
  int32_t currentTab = 0;
  bool showHints = true;  // read only

  bool operator==(const MainSettings&) const = default;
};

// [Vant]: the compress page.
struct CompressSettings {
  std::string filename, directory, outputName, outputBasedOn;
  int32_t filter = 0;
  int32_t regularCompressType = 0;
  int32_t keyCompressType = 3;
  std::string normalRate = "240000", keyRate = "300000";
  std::string normalFilePerc = "80", keyFilePerc = "90";
  std::string normalFramePerc = "80", keyFramePerc = "90";
  std::string normalErrorPerc = "30", keyErrorPerc = "20";
  std::string autoKeyFrame = "95";
  int32_t yScale = 0, currentTab = 0, outputType = 0;
  bool keyFrames = false;
  bool start = false, end = false, frameRate = false, ring = false, everyOther = false;
  bool overwrite = false, mixOriginal = false;
  bool x = false, y = false, w = false, h = false;
  bool paletteEvery = false, paletteColors = false, paletteStart = false, noSound = false;
  std::string keyFramesNum, startNum, endNum, frameRateNum, xNum, yNum, wNum, hNum;
  std::string paletteEveryNum, paletteColorsNum, paletteStartNum;
  int32_t halftone = 0, paletteControl = 0, windowsColors = 0, lossySound = 0;
  int32_t rate = 0, quality = 0, channels = 0;  // rate -1: a rate typed into the field
  // Kept only while the program runs, never stored.
  std::string rateText;
  std::string paletteName = "The input file.";

  bool operator==(const CompressSettings&) const = default;
};

// [VantMix]: the Mixer page.
struct MixSettings {
  std::string vantFilename, vantDirectory, waveFilename, waveDirectory, outputName, outputBasedOn;
  int32_t vantFilter = 0, waveFilter = 0;
  int32_t lossy = 0;
  int32_t track = 1;  // 1-based
  int32_t format = 0;
  bool frameRate = false, start = false, loop = false, overwrite = false;
  bool inputStart = false, inputEnd = false, inputTrack = false;
  std::string frameRateNum, startNum, skipIntoNum, inputStartNum, inputEndNum, inputTrackNum;
  std::string forceRate;
  int32_t currentTab = 0, rate = 0, quality = 0, channels = 0;  // rate -1: a rate typed into the field
  // Kept only while the program runs, never stored.
  std::string rateText;

  bool operator==(const MixSettings&) const = default;
};

// [VantPlay]: the Player page.
struct PlaySettings {
  std::string filename, directory;
  int32_t filter = 0, display = 0, use = 0;
  int32_t tracks = 127;  // bit n: play track n + 1
  int32_t disabledControls = 0, yScale = 0, currentTab = 0, style = 0;
  bool loop = false, frameRate = false, preload = false, showSummary = false, noFrameDrop = false;
  bool x = false, y = false, w = false, h = false, showFrames = false, directSound = false;
  bool soundOnly = false, doubleBuffer = false, noClear = false, noRemap = false;
  bool loadExtra = false, noPause = false, deltasOnly = false, simulate = false, extraMem = false;
  std::string loopNum, frameRateNum, xNum, yNum, wNum, hNum, simulateNum, extraMemNum;

  bool operator==(const PlaySettings&) const = default;
};

// [VantScript]: the Scriptor page.
struct ScriptSettings {
  std::string filename, directory;
  int32_t filter = 0;
  std::string gotoLine, findText;

  bool operator==(const ScriptSettings&) const = default;
};

// [GraphicsProcessor]
struct GraphicsSettings {
  std::string filename, directory, outputName, outputBasedOn;
  int32_t filter = 0, currentTab = 0, outputType = 0;
  int32_t halftone = 0, paletteControl = 0, windowsColors = 0;
  bool start = false, end = false, overwrite = false;
  bool paletteEvery = false, paletteColors = false, paletteStart = false;
  bool xOffset = false, yOffset = false, width = false, height = false;
  std::string startNum, endNum, paletteEveryNum, paletteColorsNum, paletteStartNum;
  std::string xOffsetNum, yOffsetNum, widthNum, heightNum;
  // Kept only while the program runs, never stored.
  bool frameRateOverride = false;
  std::string frameRateOverrideNum;
  std::string paletteName;

  bool operator==(const GraphicsSettings&) const = default;
};

// [AudProcessor]: the Sound Processor page.
struct SoundSettings {
  std::string filename, directory, outputName, outputBasedOn;
  int32_t filter = 0, rate = 0, quality = 0, channels = 0, currentTab = 0, inputType = 0;
  bool overwrite = false, track = false, start = false, end = false;
  std::string trackNum, startNum, endNum, forceRate, skipBytes;

  bool operator==(const SoundSettings&) const = default;
};

// [VantCommand]
struct CommandSettings {
  std::string directory;  // the console directory; default the current directory at start

  bool operator==(const CommandSettings&) const = default;
};

struct Settings {
  MainSettings main;
  CompressSettings compress;
  std::vector<std::string> frameSpecific;  // [VantFrameSpecific] Frame0, Frame1, ...
  MixSettings mix;
  PlaySettings play;
  ScriptSettings script;
  GraphicsSettings graphics;
  SoundSettings sound;
  CommandSettings command;
  std::vector<std::string> recentCommands;  // newest first, at most kRecentListLimit
  std::vector<std::string> recentFiles;
  std::vector<std::string> recentDirs;

  bool operator==(const Settings&) const = default;
};

inline constexpr size_t kRecentListLimit = 30;

// The record with every option at its default but what names the files the page works on: the
// input's name, directory and filter, what the output's name is based on, and the options tab
// shown. `defaults` holds the page's own defaults where they differ from the member initialisers.
template <typename Record>
Record DefaultsKeepingFiles(const Record& current, Record defaults = Record()) {
  defaults.filename = current.filename;
  defaults.directory = current.directory;
  defaults.filter = current.filter;
  defaults.outputBasedOn = current.outputBasedOn;
  defaults.currentTab = current.currentTab;
  return defaults;
}

}  // namespace frontend
