#include "player/player_options.h"

#include <optional>

#include "toolsupport/base/switches.h"

namespace {

// A number switch: its value, or nothing when it is absent (the text did not change).
std::optional<int32_t> Number(char letter, std::string& text) {
  const size_t before = text.size();
  const int32_t value = GetNumberSwitch(0, letter, text);
  if (text.size() == before) return std::nullopt;
  return value;
}

// A number switch that may also stand alone, then meaning `alone`.
std::optional<int32_t> NumberOrAlone(char letter, int32_t alone, std::string& text) {
  if (std::optional<int32_t> value = Number(letter, text)) return value;
  if (GetFlagSwitch(letter, text)) return alone;
  return std::nullopt;
}

void SetBits(uint32_t& word, uint32_t bits, bool on) { word = on ? (word | bits) : (word & ~bits); }

// /F: positive values are frames per second (VantFrameRate turns them into a period); -2 to
// -1500 milliseconds per frame; below -1500 the period in 10-microsecond units.
int32_t FrameRateFromSwitch(int32_t value) {
  if (value <= -2 && value >= -1500) return value * 100;
  return value;
}

void ApplyHeightScaling(int32_t value, uint32_t& openFlags) {
  if (value >= 255) return;
  SetBits(openFlags, VANT_OPEN_INTERLACED | VANT_OPEN_DOUBLED, false);
  if (value == 1 || value == 3) openFlags |= VANT_OPEN_INTERLACED;
  if (value == 2 || value == 3) openFlags |= VANT_OPEN_DOUBLED;
}

void ApplyWindowStyle(int32_t style, uint32_t& windowFlags) {
  SetBits(windowFlags, kWindowNoCaption | kWindowNoDialogFrame | kWindowThinBorder, false);
  switch (style) {
    case 1: windowFlags |= kWindowNoDialogFrame | kWindowThinBorder; break;
    case 2: windowFlags |= kWindowNoCaption | kWindowNoDialogFrame | kWindowThinBorder; break;
    case 3: windowFlags |= kWindowNoCaption; break;
    case 4: windowFlags |= kWindowNoCaption | kWindowNoDialogFrame; break;
    default: break;
  }
}

void SetBlitterRequest(uint32_t request, uint32_t& windowFlags) {
  windowFlags = (windowFlags & ~uint32_t{kWindowBlitterMask}) | request;
}

struct UsageLine {
  char letter;
  const char* value;  // "##", "#" or two blanks
  const char* text;
};

// In the order the usage box lists them.
constexpr UsageLine kUsageLines[] = {
    {'P', "  ", "Preload the entire Vantrel animation."},
    {'L', "##", "Loop the animation (/L for infinite)."},
    {'F', "##", "Use this frame rate (/F for fast)."},
    {'T', "##", "Play the specified sound tracks."},
    {'S', "  ", "Show the playback summary when finished."},
    {'X', "##", "Specifies the X coordinate of the playback."},
    {'Y', "##", "Specifies the Y coordinate of the playback."},
    {'B', "  ", "Double-buffer (slower, but reduces tearing)."},
    {'M', "##", "Simulate this read speed (in bytes/second)."},
    {'E', "##", "Use this much extra memory for buffering."},
    {'G', "  ", "Fill the extra memory buffer in VantOpen."},
    {'U', "##", "Disable controls: 1=pause, 2=skip, 4=quit."},
    {'N', "  ", "Never skip frames when falling behind."},
    {'C', "  ", "Don't clear the buffer in between animations."},
    {'O', "  ", "Play sound tracks only - no video."},
    {'K', "  ", "Only show differences between frames."},
    {'A', "##", "Height scaling: 1=Interlace, 2=Double, 3=Force none."},
    {'Z', "  ", "Use DirectSound for sound output."},
    {'Q', "  ", "Show current frame number in caption."},
    {'I', "#", "Window style: 1=thin border, 2=thin, no caption, 3=no caption, 4=nothing."},
    {'J', "  ", "Don't pause the video when the focus is lost."},
    {'R', "  ", "Don't remap the palette on 256 color video cards."},
    {'W', "##", "Stretch to this width in pixels (very slow!!)"},
    {'H', "##", "Stretch to this height in pixels (very slow!!)"},
    {'D', "##", "Display resolution: 1=640x400, 2=640x480, 3=800x600, 4=1024x768."},
    {'V', "##", "Video type: 1=320x240, 2=320x200, 3=Standard, 4=DIBSection."},
};

}  // namespace

bool ReadPlayerSwitches(std::string& text, PlayerOptions& options) {
  if (auto v = Number('X', text)) options.x = *v;
  if (auto v = Number('Y', text)) options.y = *v;
  if (GetFlagSwitch('B', text)) options.windowFlags |= kWindowDoubleBuffer;
  if (GetFlagSwitch('C', text)) options.windowFlags |= kWindowKeepBuffer;
  if (GetFlagSwitch('O', text)) options.soundOnly = true;
  if (auto v = Number('M', text)) {
    options.simulatedReadSpeed = static_cast<uint32_t>(*v);
    SetBits(options.openFlags, VANT_OPEN_SIMULATE_READ, *v != 0);
  }
  if (auto v = Number('E', text)) options.extraBuffer = static_cast<uint32_t>(*v);
  if (auto v = NumberOrAlone('L', -1, text)) options.loops = *v;
  if (GetFlagSwitch('P', text)) options.openFlags |= VANT_OPEN_PRELOAD;
  if (GetFlagSwitch('N', text)) options.openFlags |= VANT_OPEN_NEVER_SKIP;
  if (GetFlagSwitch('G', text)) options.openFlags |= VANT_OPEN_FILL_BUFFER;
  if (auto v = Number('T', text)) {
    options.openFlags = (options.openFlags & ~uint32_t{VANT_OPEN_ALL_TRACKS}) |
                        ((static_cast<uint32_t>(*v) & 0x7F) * VANT_OPEN_TRACK_0);
  }
  if (auto v = Number('A', text)) ApplyHeightScaling(*v, options.openFlags);
  if (auto v = NumberOrAlone('F', 0, text)) {
    options.frameRate = FrameRateFromSwitch(*v);
    SetBits(options.openFlags, VANT_OPEN_USE_FRAME_RATE, options.frameRate != -1);
  }
  if (auto v = Number('U', text)) options.disabledControls = *v;
  if (GetFlagSwitch('S', text)) options.summary = true;
  if (GetFlagSwitch('K', text)) options.differences = true;
  if (GetFlagSwitch('Q', text)) options.frameInCaption = true;
  if (GetFlagSwitch('Z', text)) options.directSound = true;
  if (auto v = Number('I', text)) ApplyWindowStyle(*v, options.windowFlags);
  if (GetFlagSwitch('R', text)) options.noRemap = true;
  if (auto v = Number('V', text)) {
    if (*v == 0) SetBlitterRequest(0, options.windowFlags);
    if (*v >= 1 && *v <= 4) SetBlitterRequest(BlitterRequestForVideoType(*v), options.windowFlags);
  }
  if (GetFlagSwitch('J', text)) options.ignoreFocus = true;
  if (auto v = Number('W', text)) options.stretchWidth = *v;
  if (auto v = Number('H', text)) options.stretchHeight = *v;
  if (auto v = Number('D', text)) options.displayResolution = *v;
  // Sound alone needs only a plain windowed buffer for its progress line, whatever /V asked.
  if (options.soundOnly) SetBlitterRequest(kBlitterRequestStandard, options.windowFlags);
  return !SwitchLeftOver(text);
}

std::string PlayerUsageText() {
  std::string text = "  SYNTAX: VantPly <Vant1 Vant2...> [/Switches]\r\n  Switches:";
  for (const UsageLine& line : kUsageLines) {
    text += "\r\n    /";
    text += line.letter;
    text += line.value;
    text += "\t- ";
    text += line.text;
  }
  return text;
}

std::string PlayerUsageCaption() {
  return std::string(kPlayerTitle) + "  V " + kPlayerVersion + " - " + kPlayerNotice;
}
