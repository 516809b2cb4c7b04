#include "player/player_main.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "player/focus_watch.h"
#include "platform/face/display_env.h"
#include "platform/system/clock.h"
#include "platform/system/file_names.h"
#include "platform/system/stop_signals.h"
#include "player/player_options.h"
#include "player/player_window.h"
#include "player/reporting_program.h"
#include "player/self_play_area.h"
#include "player/summary_text.h"
#include "toolsupport/base/paths.h"
#include "toolsupport/base/switches.h"
#include "toolsupport/base/text_words.h"

namespace {

constexpr int kKeyStep = 13;
constexpr int kKeyPause = 32;
constexpr int kKeySkip = 46;
constexpr int kKeyQuit = 27;

// The sound-only window: a line of this many pixels that fills as the video plays.
constexpr int32_t kProgressWidth = 160;
constexpr uint8_t kProgressColor = 9;

constexpr const char* kNoDisplayText =
    "  No display was found (DISPLAY and WAYLAND_DISPLAY name none that answers). "
    "QT_QPA_PLATFORM=offscreen plays without one.";

// kStopped: a stop signal ended playback as Esc does; kReadFailed: the file ended before its
// frames did. Both count as a failed run.
enum class VideoEnd { kPlayed, kSkipped, kQuit, kStopped, kReadFailed };

std::function<void(VantVideo&)>& FrameHook() {
  static std::function<void(VantVideo&)> hook;
  return hook;
}

struct PlayerRun {
  PlayerOptions options;
  int32_t loopsLeft = 1;  // 0 or below: endless
  bool paused = false;
  FocusWatch focus;
  VantSummaryInfo summary{};
};

// True when the loops are over; otherwise counts one down.
bool LastLoop(int32_t& loopsLeft) {
  if (loopsLeft == 1) return true;
  if (loopsLeft > 1) --loopsLeft;
  return false;
}

std::string OpenName(const std::string& name) {
  // A name without an extension gets the video extension, spelled as the file is.
  if (FindExtension(name) == std::string::npos) return platform::NameForOpening(name, ".Vnt");
  return name;
}

// The sound-only picture: colour 9 shows how far the video has played.
void DrawProgressLine(const VantVideo* video) {
  VantBuffer* buffer = PlayerBuffer();
  if (buffer == nullptr) return;
  const uint64_t frames = std::max<uint32_t>(video->header.frames, 1);
  const int64_t filled = std::min<int64_t>(
      static_cast<int64_t>(uint64_t{video->currentFrame} * buffer->width / frames + 1),
      buffer->width);
  for (int32_t row = 0; row < buffer->height; ++row) {
    uint8_t* pixels = buffer->pixels + int64_t{row} * buffer->pitch;
    std::memset(pixels, kProgressColor, static_cast<size_t>(filled));
    std::memset(pixels + filled, 0, static_cast<size_t>(buffer->width - filled));
  }
  VantBufferBlit(buffer, nullptr, 0, 0, 0, 0, buffer->width, buffer->height);
}

// Colour 9 of the progress line, on every screen.
void GiveProgressColors() {
  uint8_t palette[256][3] = {};
  palette[kProgressColor][0] = 166;
  palette[kProgressColor][1] = 202;
  palette[kProgressColor][2] = 240;
  VantBufferNewPalette(PlayerBuffer(), palette, 0);
}

void TakePalette(VantVideo* video, const PlayerRun& run) {
  VantBuffer* buffer = PlayerBuffer();
  VantBufferNewPalette(buffer, video->palette, 0);
  if (buffer->usableColors < 256 && !run.options.noRemap) {
    VantColorRemap(video, buffer->colors, buffer->paletteEntries, buffer->colorLayout);
  }
}

// Waits until the next frame is due, taking keys meanwhile. Returns how the video goes on.
std::optional<VideoEnd> WaitForNextFrame(VantVideo* video, PlayerRun& run) {
  const PlayerOptions& options = run.options;
  bool step = false;
  for (;;) {
    const int delivered = PumpPlayerMessages();
    if (platform::StopSignalPending()) return VideoEnd::kStopped;
    const int key = TakePlayerKey();
    if (key == kKeyStep && run.paused) step = true;
    if (key == kKeyPause && !(options.disabledControls & kControlPause)) run.paused = !run.paused;
    if (key == kKeySkip && !(options.disabledControls & kControlSkip)) return VideoEnd::kSkipped;
    if ((key == kKeyQuit || key == kCloseCode) && !(options.disabledControls & kControlQuit)) {
      return VideoEnd::kQuit;
    }

    const bool focusLost =
        !options.ignoreFocus && run.focus.Waits(VantBufferFocused(PlayerBuffer()) != 0);
    if (VantWait(video) == 0 && !focusLost && !(run.paused && !step)) return std::nullopt;
    if (delivered == 0 && key == 0) platform::SleepMilliseconds(1);
  }
}

VideoEnd PlayFrames(VantVideo* video, PlayerRun& run, bool listMode) {
  const PlayerOptions& options = run.options;
  bool done = false;
  while (!done) {
    if (video->paletteChanged && !options.soundOnly) TakePalette(video, run);
    if (options.differences) ClearPlayerWindow(0);
    VantDoFrame(video);
    if (options.soundOnly) {
      DrawProgressLine(video);
    } else {
      BlitChangedRects(video);
    }
    if (options.frameInCaption) {
      SetPlayerWindowTitle(std::string(kPlayerTitle) + " - Frame: " +
                           std::to_string(uint64_t{video->currentFrame} + 1));
    }
    if (FrameHook()) FrameHook()(*video);
    if (uint64_t{video->currentFrame} + 1 < video->header.frames) {
      VantNextFrame(video);
    } else if (listMode || LastLoop(run.loopsLeft)) {
      done = true;
    } else {
      VantNextFrame(video);  // back to the start
    }
    if (std::optional<VideoEnd> end = WaitForNextFrame(video, run)) return *end;
    // A file cut short has played what it holds; looping it would only spin over nothing.
    if (video->readFailed) return VideoEnd::kReadFailed;
  }
  return VideoEnd::kPlayed;
}

struct OpenedVideo {
  VantVideo* video = nullptr;
  int ownFile = -1;  // the program's own file, for a video stored in it
};

OpenedVideo OpenVideo(const std::string& name, const PlayerOptions& options) {
  OpenedVideo opened;
  if (!name.empty() && name[0] == ':') {
    opened.ownFile = OpenOwnFileVideo(name);
    if (opened.ownFile < 0) return opened;
    opened.video = VantOpen(VantFileHandle(opened.ownFile), options.openFlags | VANT_OPEN_FILE_HANDLE,
                            options.extraBuffer);
  } else {
    opened.video = VantOpen(OpenName(name).c_str(), options.openFlags, options.extraBuffer);
  }
  if (opened.video == nullptr && opened.ownFile >= 0) {
    close(opened.ownFile);
    opened.ownFile = -1;
  }
  return opened;
}

void CloseVideo(OpenedVideo& opened) {
  VantClose(opened.video);
  if (opened.ownFile >= 0) close(opened.ownFile);
  opened = {};
}

// Plays one video; nothing when it or its window cannot be opened (the list then ends).
std::optional<VideoEnd> PlayOne(const std::string& name, PlayerRun& run, bool listMode) {
  const PlayerOptions& options = run.options;
  VantSimulate(options.simulatedReadSpeed);
  VantFrameRate(options.frameRate);
  OpenedVideo opened = OpenVideo(name, options);
  if (opened.video == nullptr) {
    ShowPlayerMessage(platform::DialogIcon::Error,
                      "  Error opening file: " + (name[0] == ':' ? name : OpenName(name)) + ".");
    return std::nullopt;
  }
  VantVideo* video = opened.video;
  if (options.displayResolution != 0) VantSetSystemRes(options.displayResolution);
  const int32_t height = options.soundOnly ? 1 : static_cast<int32_t>(std::min<uint32_t>(video->header.height, INT32_MAX));
  const int32_t width = options.soundOnly ? kProgressWidth : static_cast<int32_t>(std::min<uint32_t>(video->header.width, INT32_MAX));
  if (!CreatePlayerWindow(options.windowFlags, options.y, options.x, height, width)) {
    ShowPlayerMessage(platform::DialogIcon::Error, platform::WindowsAvailable()
                                                       ? "  Error opening graphics buffer."
                                                       : kNoDisplayText);
    CloseVideo(opened);
    return std::nullopt;
  }
  VantBuffer* buffer = PlayerBuffer();
  if (options.soundOnly) {
    GiveProgressColors();
  } else {
    VantToBuffer(video, 0, 0, buffer->pitch, buffer->height, buffer->pixels,
                 static_cast<uint32_t>(buffer->destinationFlags));
  }
  const VideoEnd end = PlayFrames(video, run, listMode);
  VantSummary(video, &run.summary);
  CloseVideo(opened);
  if (end == VideoEnd::kReadFailed) {
    ShowPlayerMessage(platform::DialogIcon::Error,
                      "  Error reading file: " + (name[0] == ':' ? name : OpenName(name)) + ".");
  }
  return end;
}

void ShowSummary(const PlayerRun& run) {
  if (run.summary.framesPlayed == 0) return;
  char blitter[VANT_BUFFER_STRING_SIZE];
  VantBufferString(blitter, LastBufferKind());
  ShowPlayerMessage(platform::DialogIcon::None,
                    BuildSummaryText(run.summary, LastBufferScreenColors(), blitter),
                    "Vantrel Summary");
}

std::vector<std::string> TakeNames(std::string& text) {
  std::vector<std::string> names;
  for (std::string name = TakeArgument(text); !name.empty(); name = TakeArgument(text)) {
    names.push_back(name);
  }
  return names;
}

}  // namespace

int PlayerMain(std::string commandText, bool packageBox) {
  SetPlayerProgramTitle(kPlayerTitle);
  PlayerRun run;
  std::string stored = StoredCommandText();
  if (!stored.empty()) {
    if (!ReadPlayerSwitches(stored, run.options)) {
      ShowPlayerMessage(platform::DialogIcon::None, PlayerUsageText(), PlayerUsageCaption());
      return 1;
    }
    commandText = stored + " " + commandText;
  }
  if (!ReadPlayerSwitches(commandText, run.options)) {
    ShowPlayerMessage(platform::DialogIcon::None, PlayerUsageText(), PlayerUsageCaption());
    return 1;
  }
  if (run.options.directSound) VantSoundUseDirectSound(nullptr);
  TrimText(commandText);
  const std::vector<std::string> names = TakeNames(commandText);
  if (names.empty()) {
    ShowPlayerMessage(platform::DialogIcon::None, PlayerUsageText(), PlayerUsageCaption());
    return 1;
  }
  SetPlayerStretch(run.options.stretchWidth, run.options.stretchHeight);
  run.loopsLeft = run.options.loops;
  const bool listMode = names.size() > 1;

  int exitCode = 0;
  bool playing = true;
  while (playing) {
    for (const std::string& name : names) {
      const std::optional<VideoEnd> end = PlayOne(name, run, listMode);
      const bool failed = !end || *end == VideoEnd::kStopped || *end == VideoEnd::kReadFailed;
      if (failed) exitCode = 1;
      if (failed || *end == VideoEnd::kQuit) {
        playing = false;
        break;
      }
    }
    if (playing && (!listMode || LastLoop(run.loopsLeft))) playing = false;
  }

  DestroyPlayerWindow();
  if (run.options.displayResolution != 0) VantSetSystemRes(0);
  // Stopped by a signal, nobody is there to answer a box; one that waits is closed by it.
  if (!platform::StopSignalPending() && run.options.summary) ShowSummary(run);
  if (!platform::StopSignalPending() && packageBox) {
    ShowPlayerMessage(platform::DialogIcon::Information,
                      "VantPlay plays Vantrel videos in a window of its own.\r\n"
                      "Space pauses, Enter steps while paused, '.' skips to the next video and "
                      "Esc ends playback.",
                      std::string(kPlayerTitle) + " - V" + kPlayerVersion);
  }
  return platform::StopSignalPending() ? 1 : exitCode;
}

std::string PlayerReportText() {
  return std::string(kPlayerTitle) + " - V" + kPlayerVersion + "  " + kPlayerNotice;
}

int PlayerWinMain(int argc, const char* const* argv) {
  // SIGINT, SIGTERM and SIGHUP stop playback as Esc does (exit code 1).
  platform::InstallStopSignals();
  return RunReportingProgram(argc, argv, PlayerReportText(), [](std::string text, bool packageBox) {
    return PlayerMain(std::move(text), packageBox);
  });
}

void SetPlayerFrameHook(std::function<void(VantVideo&)> hook) { FrameHook() = std::move(hook); }
