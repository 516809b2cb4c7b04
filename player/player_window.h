#pragma once
// The playback window of the player (and of the script player): one window that carries one
// display buffer sized to the video, placed on the screen, blitted rectangle by rectangle, its
// events pumped between frames and its keys queued for the program. Everything runs on the
// program's one thread. A PlaybackWindow holds all of it; the free functions below serve the
// program's one default window.
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "platform/gui/dialogs.h"
#include "playback/display/vant_display.h"

namespace platform {
class Window;
struct KeyEvent;
}  // namespace platform

class PlaybackWindowEvents;
struct SavedBuffer;

// The window options, a 32-bit value.
enum PlayerWindowFlags : uint32_t {
  kWindowBlitterMask = 0x1F,      // blitter request, see BlitterKindFromWindowFlags
  kWindowDoubleBuffer = 0x100,    // request 0x17 gives kind 2 instead of kind 3
  kWindowNoCaption = 0x200,
  kWindowKeepBuffer = 0x1000,     // a large enough full-screen buffer stays without clearing
  kWindowNoDialogFrame = 0x4000,
  kWindowThinBorder = 0x8000,
};

// Blitter requests (bits 0-4): 0x16 kind 1, 0x17 kind 2 or 3, 0x18 kind 4, 0x19 kind 5.
inline constexpr uint32_t kBlitterRequestStandard = 0x18;
// The request for the player's video type v (1 to 4).
constexpr uint32_t BlitterRequestForVideoType(int32_t v) { return 0x15 + static_cast<uint32_t>(v); }

// The VantBlitterKind the options ask for; anything unknown is automatic.
int32_t BlitterKindFromWindowFlags(uint32_t flags);

// What the window queues when it is asked to close.
inline constexpr int kCloseCode = 241;
inline constexpr size_t kKeyQueueSize = 64;

// The code a key press queues, 0 when the press queues nothing (its character may): F1 to F10
// give 208 to 217 (Shift 218 up, Control 228 up, Alt 238 up; F10 alone 217), the page, end,
// home and arrow keys, Insert and Delete their key number + 128; Shift+Tab 137.
int PlayerKeyDownCode(const platform::KeyEvent& key);

// The code a typed character queues, 0 for none: characters 1 to 126. Shift+Tab queues 137
// from its key press instead.
int PlayerCharacterCode(char32_t character, bool shift);

// Where the window's frame goes so that its client area is centred on the screen (for -1) or
// stays at the given position. Signed throughout: a window larger than the screen starts at the
// screen's edge instead of far outside it.
int32_t PlacementFor(int32_t requested, int32_t screenSize, int32_t displaySize,
                     int32_t clientOffset);

class PlaybackWindow {
 public:
  PlaybackWindow();
  // Closes the window and its buffer as Destroy does.
  ~PlaybackWindow();
  PlaybackWindow(const PlaybackWindow&) = delete;
  PlaybackWindow& operator=(const PlaybackWindow&) = delete;

  // -- Keys --
  // The oldest queued code, 0 when none waits.
  int TakeKey();
  bool KeyWaiting() const { return !keys_.empty(); }
  // Appends a code unless 64 are waiting already.
  void QueueKey(int code);
  void ClearKeys() { keys_.clear(); }
  // Releases of the left and right mouse buttons since the window object was made.
  uint32_t Clicks(bool right) const { return right ? rightClicks_ : leftClicks_; }

  // -- The window --
  // The window's title and the default caption of its message boxes.
  void SetProgramTitle(const std::string& title) { title_ = title; }
  const std::string& ProgramTitle() const { return title_; }
  // Display (stretch) size for every buffer the window opens; 0 keeps the video's size.
  void SetStretch(int32_t width, int32_t height);
  // Makes the window with its display buffer for a video of width x height, or gives the
  // window a new buffer for a later video. False when the window or the buffer cannot be made.
  bool Create(uint32_t flags, int32_t y, int32_t x, int32_t height, int32_t width);
  void Place(int32_t x, int32_t displayHeight, int32_t y, int32_t displayWidth);
  // Clears the buffer to the colour and shows it; the blit's result, 0 without a buffer.
  int32_t Clear(int32_t color);
  // Shows the rectangles the last decoded frame changed.
  void BlitChangedRects(VantVideo* video);
  // Shows the whole buffer.
  void Paint();
  // Delivers every waiting window event; nonzero when this window received any.
  int Pump();
  void Destroy();
  void SetTitle(const std::string& title);
  VantBuffer* Buffer() const { return buffer_; }
  platform::Window* Window() const { return window_.get(); }
  // Kind and screen colours of the last buffer, kept when it closes (for the summary).
  int32_t LastBufferKind() const { return lastKind_; }
  int32_t LastBufferScreenColors() const { return lastScreenColors_; }
  // A message box owned by the window when there is one. A single leading blank of the text is
  // dropped; the caption defaults to the program title.
  void ShowMessage(platform::DialogIcon icon, const std::string& text, const std::string& caption = "");
  // Runs just before the window is destroyed, while it still shows the last picture (tests).
  void SetClosingHook(std::function<void(platform::Window&)> hook) { closingHook_ = std::move(hook); }

 private:
  friend class PlaybackWindowEvents;
  VantBuffer* OpenBuffer(uint32_t flags, int32_t height, int32_t width);
  void CloseBuffer();
  void RestoreBuffer(const SavedBuffer& saved);
  bool ReplaceBuffer(uint32_t flags, int32_t height, int32_t width);

  std::unique_ptr<PlaybackWindowEvents> events_;
  std::unique_ptr<platform::Window> window_;
  VantBuffer* buffer_ = nullptr;
  std::string title_ = "VantPlay";
  int32_t stretchWidth_ = 0;
  int32_t stretchHeight_ = 0;
  int32_t lastKind_ = 0;
  int32_t lastScreenColors_ = 0;
  int deliveredEvents_ = 0;  // since the last pump
  uint32_t leftClicks_ = 0;
  uint32_t rightClicks_ = 0;
  std::deque<int> keys_;
  std::function<void(platform::Window&)> closingHook_;
};

// The program's one playback window, behind the free functions below. It is never destroyed:
// a window still open at exit is left to the window system rather than closed after it.
PlaybackWindow& DefaultPlaybackWindow();

// ---- The default window's calls -------------------------------------------------------------

int TakePlayerKey();
bool PlayerKeyWaiting();
void QueuePlayerKey(int code);
void ClearPlayerKeys();
uint32_t PlayerClicks(bool right);

void SetPlayerProgramTitle(const std::string& title);
const std::string& PlayerProgramTitle();
void SetPlayerStretch(int32_t width, int32_t height);
bool CreatePlayerWindow(uint32_t flags, int32_t y, int32_t x, int32_t height, int32_t width);
void PlacePlayerWindow(int32_t x, int32_t displayHeight, int32_t y, int32_t displayWidth);
int32_t ClearPlayerWindow(int32_t color);
void BlitChangedRects(VantVideo* video);
void PaintPlayerWindow();
int PumpPlayerMessages();
void DestroyPlayerWindow();
void SetPlayerWindowTitle(const std::string& title);
VantBuffer* PlayerBuffer();
platform::Window* PlayerWindow();
int32_t LastBufferKind();
int32_t LastBufferScreenColors();
void ShowPlayerMessage(platform::DialogIcon icon, const std::string& text,
                       const std::string& caption = "");
void SetPlayerWindowClosingHook(std::function<void(platform::Window&)> hook);
