#include "player/player_window.h"

#include <QMargins>
#include <algorithm>
#include <memory>
#include <vector>

#include "platform/gui/screen.h"
#include "platform/gui/window.h"

namespace {

class PlayerWindowEvents;

struct WindowState {
  std::unique_ptr<platform::Window> window;
  VantBuffer* buffer = nullptr;
  std::string title = "VantPlay";
  int32_t stretchWidth = 0;
  int32_t stretchHeight = 0;
  int32_t lastKind = 0;
  int32_t lastScreenColors = 0;
  int deliveredEvents = 0;  // since the last pump
  uint32_t leftClicks = 0;
  uint32_t rightClicks = 0;
  std::function<void(platform::Window&)> closingHook;
};

WindowState& State() {
  static WindowState state;
  return state;
}

// What the window tells the player: paints, keys for the queue, clicks and the close request.
class PlayerWindowEvents : public platform::WindowEvents {
 public:
  void Paint(platform::Window&) override {
    ++State().deliveredEvents;
    PaintPlayerWindow();
  }
  void KeyDown(platform::Window&, const platform::KeyEvent& key) override {
    ++State().deliveredEvents;
    if (int code = PlayerKeyDownCode(key)) QueuePlayerKey(code);
  }
  void Character(platform::Window&, char32_t character, const platform::KeyEvent& key) override {
    ++State().deliveredEvents;
    if (int code = PlayerCharacterCode(character, key.shift)) QueuePlayerKey(code);
  }
  void MouseReleased(platform::Window&, platform::MouseButton button) override {
    ++State().deliveredEvents;
    if (button == platform::MouseButton::kLeft) ++State().leftClicks;
    if (button == platform::MouseButton::kRight) ++State().rightClicks;
  }
  bool CloseRequested(platform::Window&) override {
    ++State().deliveredEvents;
    QueuePlayerKey(kCloseCode);
    return true;  // the player decides when the window goes
  }
  void Activated(platform::Window&, bool) override { ++State().deliveredEvents; }
};

PlayerWindowEvents g_events;

platform::WindowStyle StyleFor(uint32_t flags) {
  platform::WindowStyle style;
  style.caption = (flags & kWindowNoCaption) == 0;
  // Only "no dialog frame" without a thin border leaves no frame at all.
  style.border = (flags & kWindowThinBorder) != 0 || (flags & kWindowNoDialogFrame) == 0;
  style.fixed_size = true;  // the video's size; sizing and maximizing are greyed
  return style;
}

VantBuffer* OpenBuffer(uint32_t flags, int32_t height, int32_t width) {
  WindowState& state = State();
  return VantBufferOpen(state.window->Handle(), BlitterKindFromWindowFlags(flags), width, height,
                        state.stretchWidth, state.stretchHeight);
}

void CloseBuffer() {
  WindowState& state = State();
  if (state.buffer == nullptr) return;
  state.lastKind = state.buffer->kind;
  state.lastScreenColors = state.buffer->screenColors;
  VantBufferClose(state.buffer);
  state.buffer = nullptr;
}

// A buffer's picture and colours, to open it again as it was.
struct SavedBuffer {
  int32_t kind, width, height;
  std::vector<uint8_t> pixels;
  uint8_t palette[256][3];
};

SavedBuffer SaveBuffer(const VantBuffer& buffer) {
  SavedBuffer saved{buffer.kind, buffer.width, buffer.height, {}, {}};
  saved.pixels.assign(buffer.pixels, buffer.pixels + int64_t{buffer.height} * buffer.pitch);
  for (int i = 0; i < 256; ++i) {
    saved.palette[i][0] = buffer.colors[i].red;
    saved.palette[i][1] = buffer.colors[i].green;
    saved.palette[i][2] = buffer.colors[i].blue;
  }
  return saved;
}

void RestoreBuffer(const SavedBuffer& saved) {
  WindowState& state = State();
  state.buffer = VantBufferOpen(state.window->Handle(), saved.kind, saved.width, saved.height, 0, 0);
  if (state.buffer == nullptr) return;
  std::copy(saved.pixels.begin(), saved.pixels.end(), state.buffer->pixels);
  VantBufferNewPalette(state.buffer, saved.palette, 0);
}

// The window's next buffer. The new one is opened before the old one closes, so that a refused
// request leaves the window as it was; only the full screen, which one buffer holds at a time,
// is given up first, and taken back when the new buffer cannot be had.
bool ReplaceBuffer(uint32_t flags, int32_t height, int32_t width) {
  WindowState& state = State();
  VantBuffer* fresh = OpenBuffer(flags, height, width);
  if (fresh == nullptr && state.buffer != nullptr && state.buffer->fullScreen) {
    const SavedBuffer saved = SaveBuffer(*state.buffer);
    CloseBuffer();
    fresh = OpenBuffer(flags, height, width);
    if (fresh == nullptr) {
      RestoreBuffer(saved);
      return false;
    }
  }
  if (fresh == nullptr) return false;
  CloseBuffer();
  state.buffer = fresh;
  return true;
}

// The frame around the client area.
QMargins FrameMargins(const platform::Window& window) {
  const QRect frame = window.FrameRect(), client = window.ClientRect();
  return QMargins(client.left() - frame.left(), client.top() - frame.top(),
                  frame.right() - client.right(), frame.bottom() - client.bottom());
}

void BlitWholeBuffer() {
  VantBuffer* buffer = State().buffer;
  if (buffer != nullptr) VantBufferBlit(buffer, nullptr, 0, 0, 0, 0, buffer->width, buffer->height);
}

}  // namespace

int32_t BlitterKindFromWindowFlags(uint32_t flags) {
  switch (flags & kWindowBlitterMask) {
    case 0x16: return VANT_BLITTER_FULL_SCREEN_320X240;
    case 0x17:
      return (flags & kWindowDoubleBuffer) ? VANT_BLITTER_FULL_SCREEN_320X200
                                           : VANT_BLITTER_FULL_SCREEN_DIRECT;
    case 0x18: return VANT_BLITTER_STANDARD_DIBS;
    case 0x19: return VANT_BLITTER_DIB_SECTION;
    default: return VANT_BLITTER_AUTOMATIC;
  }
}

uint32_t PlayerClicks(bool right) { return right ? State().rightClicks : State().leftClicks; }

int32_t PlacementFor(int32_t requested, int32_t screenSize, int32_t displaySize,
                     int32_t clientOffset) {
  if (requested != -1) return requested;
  const int64_t centred = (int64_t{screenSize} - displaySize) / 2 - clientOffset;
  return static_cast<int32_t>(std::clamp<int64_t>(centred, 0, INT32_MAX));
}

void SetPlayerProgramTitle(const std::string& title) { State().title = title; }

const std::string& PlayerProgramTitle() { return State().title; }

void SetPlayerStretch(int32_t width, int32_t height) {
  State().stretchWidth = width;
  State().stretchHeight = height;
}

bool CreatePlayerWindow(uint32_t flags, int32_t y, int32_t x, int32_t height, int32_t width) {
  WindowState& state = State();
  if (state.window != nullptr) {
    VantBuffer* kept = state.buffer;
    if (kept != nullptr && kept->fullScreen && kept->width >= width && kept->height >= height) {
      if ((flags & kWindowKeepBuffer) == 0) ClearPlayerWindow(0);
    } else if (!ReplaceBuffer(flags, height, width)) {
      return false;
    }
    PlacePlayerWindow(x, state.buffer->displayHeight, y, state.buffer->displayWidth);
    state.window->UpdateNow();
    return true;
  }

  state.window = platform::Window::Create(state.title, StyleFor(flags));
  if (state.window == nullptr) return false;
  state.window->SetEvents(&g_events);
  state.buffer = OpenBuffer(flags, height, width);
  if (state.buffer == nullptr) {
    state.window.reset();
    return false;
  }
  if (!state.buffer->fullScreen) {
    PlacePlayerWindow(x, state.buffer->displayHeight, y, state.buffer->displayWidth);
    const QMargins before = FrameMargins(*state.window);
    state.window->Show();
    platform::ProcessWindowEvents();
    // The frame may only be known once the window shows: then the placement is done again.
    if (FrameMargins(*state.window) != before) {
      PlacePlayerWindow(x, state.buffer->displayHeight, y, state.buffer->displayWidth);
    }
  }
  return true;
}

void PlacePlayerWindow(int32_t x, int32_t displayHeight, int32_t y, int32_t displayWidth) {
  platform::Window* window = State().window.get();
  if (window == nullptr) return;
  const QMargins frame = FrameMargins(*window);
  const platform::ScreenInfo screen = platform::QueryScreen();
  const int32_t left = PlacementFor(x, screen.width, displayWidth, frame.left());
  const int32_t top = PlacementFor(y, screen.height, displayHeight, frame.top());
  const int64_t outerWidth = int64_t{displayWidth} + frame.left() + frame.right();
  const int64_t outerHeight = int64_t{displayHeight} + frame.top() + frame.bottom();
  window->Place(left, top, static_cast<int>(std::min<int64_t>(outerWidth, INT32_MAX)),
                static_cast<int>(std::min<int64_t>(outerHeight, INT32_MAX)));
}

int32_t ClearPlayerWindow(int32_t color) {
  VantBuffer* buffer = State().buffer;
  if (buffer == nullptr) return 0;
  VantBufferClear(buffer, color);
  return VantBufferBlit(buffer, nullptr, 0, 0, 0, 0, buffer->width, buffer->height);
}

void BlitChangedRects(VantVideo* video) {
  VantBuffer* buffer = State().buffer;
  if (buffer == nullptr) return;
  while (VantToBufferRect(video, buffer->rectMode) != 0) {
    const VantRect& r = video->lastRect;
    // A blit that drew the whole buffer (after a new palette) has shown every change.
    if (VantBufferBlit(buffer, nullptr, 0, 0, r.left, r.top, r.width, r.height) == 256) break;
  }
}

void PaintPlayerWindow() { BlitWholeBuffer(); }

int PumpPlayerMessages() {
  WindowState& state = State();
  state.deliveredEvents = 0;
  platform::ProcessWindowEvents();
  return state.deliveredEvents;
}

void DestroyPlayerWindow() {
  WindowState& state = State();
  if (state.window != nullptr && state.closingHook) state.closingHook(*state.window);
  CloseBuffer();
  if (state.window != nullptr) {
    state.window->SetEvents(nullptr);
    state.window.reset();
    platform::ProcessWindowEvents();
  }
}

void SetPlayerWindowTitle(const std::string& title) {
  if (State().window != nullptr) State().window->SetTitle(title);
}

VantBuffer* PlayerBuffer() { return State().buffer; }

platform::Window* PlayerWindow() { return State().window.get(); }

int32_t LastBufferKind() { return State().lastKind; }

int32_t LastBufferScreenColors() { return State().lastScreenColors; }

void ShowPlayerMessage(platform::DialogIcon icon, const std::string& text,
                       const std::string& caption) {
  const std::string shown = !text.empty() && text[0] == ' ' ? text.substr(1) : text;
  platform::Window* window = State().window.get();
  platform::ShowMessageBox(caption.empty() ? State().title : caption, shown, icon,
                           window != nullptr ? window->Widget() : nullptr);
}

void SetPlayerWindowClosingHook(std::function<void(platform::Window&)> hook) {
  State().closingHook = std::move(hook);
}
