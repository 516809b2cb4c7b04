#pragma once
// The script window: a playback window of the player with its display buffer, as the script
// player uses it. ScriptWindow is the only part of the script player that touches the window
// and the buffer; everything else draws on its canvas and asks it to show what changed.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/face/dialogs.h"
#include "script/screen/pixels.h"
#include "playback/vant.h"

class PlaybackWindow;

namespace script {

class ScriptContext;

// Where palettes go: the display buffer (or a stand-in in tests).
class PaletteDisplay {
 public:
  virtual ~PaletteDisplay() = default;
  // Takes the whole palette into the display's colours.
  virtual void TakePalette(const Palette& palette) = 0;
  // Makes the window show the colours taken, redrawing the picture when the screen needs it.
  virtual void ShowPalette() = 0;
};

// The settings that SCREENSETTINGS, SCREENWINDOWBORDER, SCREENWINDOWTITLE, SCREENWINDOWPOS,
// SCREENADJUSTXY and SCREENWINDOWAUTOPAUSE keep for the window.
struct WindowSettings {
  uint32_t options = 0x2000;  // the player window's options: blitter request and frame bits
  int32_t x = -1, y = -1;     // -1: centred on the screen
  int32_t offsetX = 0, offsetY = 0;  // added to every window position a command takes
  bool autoPause = false;     // wait while the window is in the background
  int32_t fadeStepMs = 15;    // the time each step of a palette fade takes
};

class ScriptWindow : public PaletteDisplay {
 public:
  // The window is the playback window given, which must outlive this.
  explicit ScriptWindow(PlaybackWindow& playback) : playback_(playback) {}

  bool Exists() const;
  // Makes the window with a display buffer of width x height, or gives the window a new
  // buffer; false (the window as it was) when that cannot be done.
  bool Open(uint32_t options, int32_t x, int32_t y, int32_t width, int32_t height);
  void Close();

  // The display buffer's size (0 without a window) and its pixels.
  int32_t Width() const;
  int32_t Height() const;
  PixelCanvas Canvas() const;
  // Puts the rectangle of the buffer on the screen.
  void Show(const PixelRect& area);
  void ShowAll();
  void ShowChangedRects(VantVideo* video);
  // The changed-rectangle mode that suits the buffer (VantToBufferRect); 0 without a window.
  int32_t RectMode() const;
  // Points the video's decoder at the buffer with the picture's top-left corner at (x, y);
  // false when the picture does not fit there or there is no window.
  bool DecodeInto(VantVideo* video, int32_t x, int32_t y);

  void TakePalette(const Palette& palette) override;
  void ShowPalette() override;

  bool Focused() const;
  // The low 16 bits of the window's handle; 0 without a window.
  uint32_t Handle16() const;
  // The name of the buffer's blitter kind.
  std::string KindName() const;
  void SetTitle(const std::string& title);
  void Move(int32_t x, int32_t y);

  // The pointer the script player draws: an image of palette indexes laid over the window at
  // (x, y), pixels of the transparent index left out. It is never written into the buffer.
  void ShowPointer(const PixelCanvas& image, uint8_t transparent, int32_t x, int32_t y);
  void HidePointer();
  // The system pointer in client coordinates while it is over the window; moving it there.
  std::optional<std::pair<int32_t, int32_t>> SystemPointer() const;
  void MoveSystemPointer(int32_t x, int32_t y);
  // Releases of the left or right mouse button since the playback window was made.
  uint32_t Clicks(bool right) const;
  // The key queue that the window fills.
  bool KeyWaiting() const;
  int TakeKey();
  void DispatchEvents();

  // The title of the window and the caption of its message boxes.
  void SetProgramTitle(const std::string& title);
  // A message box over the window, captioned with the program title.
  platform::DialogAnswer Ask(const std::string& text, platform::DialogButtons buttons,
                             platform::DialogIcon icon);
  // A message box, owned by the window while there is one; an empty caption is the program
  // title, and a single leading blank of the text is dropped.
  void ShowMessage(platform::DialogIcon icon, const std::string& text, const std::string& caption);

 private:
  void RenderPointer();
  struct PointerPicture {
    std::vector<uint8_t> indexes;
    int32_t width = 0, height = 0, x = 0, y = 0;
    uint8_t transparent = 0;
  };
  PlaybackWindow& playback_;
  std::optional<PointerPicture> pointer_;
};

// True while the run waits because auto pause is on and the window does not have the focus.
bool AutoPauseHolds(const ScriptWindow& window, const WindowSettings& settings);

// The script error of a command that needs the window when there is none.
[[noreturn]] void ErrorNoWindow(ScriptContext& context);
// ErrorNoWindow unless the window exists.
void RequireWindow(ScriptContext& context, const ScriptWindow& window);

}  // namespace script
