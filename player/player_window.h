#pragma once
// The playback window of the player (and of the script player): one window that carries one
// display buffer sized to the video, placed on the screen, blitted rectangle by rectangle, its
// events pumped between frames and its keys queued for the program. Everything runs on the
// program's one thread; the state is the module's own, as there is only one such window.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/gui/dialogs.h"
#include "playback/vant.h"

namespace platform {
class Window;
struct KeyEvent;
}  // namespace platform

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

// ---- Keys ------------------------------------------------------------------------------------

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

// The oldest queued code, 0 when none waits.
int TakePlayerKey();
bool PlayerKeyWaiting();
// Appends a code unless 64 are waiting already.
void QueuePlayerKey(int code);
void ClearPlayerKeys();
// Releases of the left and right mouse buttons since the program started.
uint32_t PlayerClicks(bool right);

// ---- The window ------------------------------------------------------------------------------

// Where the window's frame goes so that its client area is centred on the screen (for -1) or
// stays at the given position. Signed throughout: a window larger than the screen starts at the
// screen's edge instead of far outside it.
int32_t PlacementFor(int32_t requested, int32_t screenSize, int32_t displaySize,
                     int32_t clientOffset);

// The window's title and the default caption of its message boxes.
void SetPlayerProgramTitle(const std::string& title);
const std::string& PlayerProgramTitle();

// Display (stretch) size for every buffer the window opens; 0 keeps the video's size.
void SetPlayerStretch(int32_t width, int32_t height);

// Makes the window with its display buffer for a video of width x height, or gives the window
// a new buffer for a later video. False when the window or the buffer cannot be made.
bool CreatePlayerWindow(uint32_t flags, int32_t y, int32_t x, int32_t height, int32_t width);
void PlacePlayerWindow(int32_t x, int32_t displayHeight, int32_t y, int32_t displayWidth);
// Clears the buffer to the colour and shows it; the blit's result, 0 without a buffer.
int32_t ClearPlayerWindow(int32_t color);
// Shows the rectangles the last decoded frame changed.
void BlitChangedRects(VantVideo* video);
// Shows the whole buffer.
void PaintPlayerWindow();
// Delivers every waiting window event; nonzero when the window received any.
int PumpPlayerMessages();
void DestroyPlayerWindow();

void SetPlayerWindowTitle(const std::string& title);
VantBuffer* PlayerBuffer();
platform::Window* PlayerWindow();

// Kind and screen colours of the last buffer, kept when it closes (for the summary).
int32_t LastBufferKind();
int32_t LastBufferScreenColors();

// A message box owned by the playback window when there is one. A single leading blank of the
// text is dropped; the caption defaults to the program title.
void ShowPlayerMessage(platform::DialogIcon icon, const std::string& text,
                       const std::string& caption = "");

// Runs just before the window is destroyed, while it still shows the last picture (tests).
void SetPlayerWindowClosingHook(std::function<void(platform::Window&)> hook);
