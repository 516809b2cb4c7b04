#pragma once
// The player's settings and the switches that set them.
#include <cstdint>
#include <string>

#include "player/player_window.h"
#include "playback/vant.h"

// Program title: window caption and message box caption.
inline constexpr const char* kPlayerTitle = "VantPlay";
inline constexpr const char* kPlayerVersion = "3.0k";
// The line that follows the version in the usage box's caption and in the report.
inline constexpr const char* kPlayerNotice = "Plays Vantrel videos.";

// Bits of the disabled-controls value (/U).
enum PlayerControl : int32_t { kControlPause = 1, kControlSkip = 2, kControlQuit = 4 };

struct PlayerOptions {
  int32_t x = -1;  // window position; -1 centres
  int32_t y = -1;
  uint32_t simulatedReadSpeed = 0;  // bytes per second
  uint32_t extraBuffer = VANT_EXTRA_BUFFER_AUTO;
  int32_t loops = 1;       // 0 or below: endless
  int32_t frameRate = -1;  // as VantFrameRate takes it; -1 keeps the file's rate
  int32_t disabledControls = 0;
  bool summary = false;
  bool noRemap = false;
  bool soundOnly = false;
  bool differences = false;
  bool frameInCaption = false;
  bool ignoreFocus = false;
  bool directSound = false;
  uint32_t openFlags = VANT_OPEN_ALL_TRACKS;
  uint32_t windowFlags = 0;  // PlayerWindowFlags
  int32_t stretchWidth = 0;
  int32_t stretchHeight = 0;
  int32_t displayResolution = 0;
};

// Reads every switch of the player from the text, removing each one it takes; what is left is
// the list of names. Settings whose switch is absent keep their value, so a second reading
// (stored switches first, then the command line's) overrides the first. False when a switch
// word is left over (an unknown or malformed switch): the caller shows the usage box.
bool ReadPlayerSwitches(std::string& text, PlayerOptions& options);

// The usage box: its text and its caption.
std::string PlayerUsageText();
std::string PlayerUsageCaption();
