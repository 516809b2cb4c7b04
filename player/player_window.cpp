#include "player/player_window.h"

#include <QMargins>
#include <algorithm>
#include <memory>
#include <vector>

#include "platform/gui/screen.h"
#include "platform/gui/window.h"

// What the window tells its owner: paints, keys for the queue, clicks and the close request.
class PlaybackWindowEvents : public platform::WindowEvents {
 public:
  explicit PlaybackWindowEvents(PlaybackWindow& owner) : owner_(owner) {}
  void Paint(platform::Window&) override {
    ++owner_.deliveredEvents_;
    owner_.Paint();
  }
  void KeyDown(platform::Window&, const platform::KeyEvent& key) override {
    ++owner_.deliveredEvents_;
    if (int code = PlayerKeyDownCode(key)) owner_.QueueKey(code);
  }
  void Character(platform::Window&, char32_t character, const platform::KeyEvent& key) override {
    ++owner_.deliveredEvents_;
    if (int code = PlayerCharacterCode(character, key.shift)) owner_.QueueKey(code);
  }
  void MouseReleased(platform::Window&, platform::MouseButton button) override {
    ++owner_.deliveredEvents_;
    if (button == platform::MouseButton::kLeft) ++owner_.leftClicks_;
    if (button == platform::MouseButton::kRight) ++owner_.rightClicks_;
  }
  bool CloseRequested(platform::Window&) override {
    ++owner_.deliveredEvents_;
    owner_.QueueKey(kCloseCode);
    return true;  // the player decides when the window goes
  }
  void Activated(platform::Window&, bool) override { ++owner_.deliveredEvents_; }

 private:
  PlaybackWindow& owner_;
};

// A buffer's picture and colours, to open it again as it was.
struct SavedBuffer {
  int32_t kind, width, height;
  std::vector<uint8_t> pixels;
  uint8_t palette[256][3];
};

namespace {

platform::WindowStyle StyleFor(uint32_t flags) {
  platform::WindowStyle style;
  style.caption = (flags & kWindowNoCaption) == 0;
  // Only "no dialog frame" without a thin border leaves no frame at all.
  style.border = (flags & kWindowThinBorder) != 0 || (flags & kWindowNoDialogFrame) == 0;
  style.fixed_size = true;  // the video's size; sizing and maximizing are greyed
  return style;
}

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

// The frame around the client area.
QMargins FrameMargins(const platform::Window& window) {
  const QRect frame = window.FrameRect(), client = window.ClientRect();
  return QMargins(client.left() - frame.left(), client.top() - frame.top(),
                  frame.right() - client.right(), frame.bottom() - client.bottom());
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

int32_t PlacementFor(int32_t requested, int32_t screenSize, int32_t displaySize,
                     int32_t clientOffset) {
  if (requested != -1) return requested;
  const int64_t centred = (int64_t{screenSize} - displaySize) / 2 - clientOffset;
  return static_cast<int32_t>(std::clamp<int64_t>(centred, 0, INT32_MAX));
}

PlaybackWindow::PlaybackWindow() : events_(std::make_unique<PlaybackWindowEvents>(*this)) {}

PlaybackWindow::~PlaybackWindow() { Destroy(); }

VantBuffer* PlaybackWindow::OpenBuffer(uint32_t flags, int32_t height, int32_t width) {
  return VantBufferOpen(window_->Handle(), BlitterKindFromWindowFlags(flags), width, height,
                        stretchWidth_, stretchHeight_);
}

void PlaybackWindow::CloseBuffer() {
  if (buffer_ == nullptr) return;
  lastKind_ = buffer_->kind;
  lastScreenColors_ = buffer_->screenColors;
  VantBufferClose(buffer_);
  buffer_ = nullptr;
}

void PlaybackWindow::RestoreBuffer(const SavedBuffer& saved) {
  buffer_ = VantBufferOpen(window_->Handle(), saved.kind, saved.width, saved.height, 0, 0);
  if (buffer_ == nullptr) return;
  std::copy(saved.pixels.begin(), saved.pixels.end(), buffer_->pixels);
  VantBufferNewPalette(buffer_, saved.palette, 0);
}

// The window's next buffer. The new one is opened before the old one closes, so that a refused
// request leaves the window as it was; only the full screen, which one buffer holds at a time,
// is given up first, and taken back when the new buffer cannot be had.
bool PlaybackWindow::ReplaceBuffer(uint32_t flags, int32_t height, int32_t width) {
  VantBuffer* fresh = OpenBuffer(flags, height, width);
  if (fresh == nullptr && buffer_ != nullptr && buffer_->fullScreen) {
    const SavedBuffer saved = SaveBuffer(*buffer_);
    CloseBuffer();
    fresh = OpenBuffer(flags, height, width);
    if (fresh == nullptr) {
      RestoreBuffer(saved);
      return false;
    }
  }
  if (fresh == nullptr) return false;
  CloseBuffer();
  buffer_ = fresh;
  return true;
}

void PlaybackWindow::SetStretch(int32_t width, int32_t height) {
  stretchWidth_ = width;
  stretchHeight_ = height;
}

bool PlaybackWindow::Create(uint32_t flags, int32_t y, int32_t x, int32_t height, int32_t width) {
  if (window_ != nullptr) {
    VantBuffer* kept = buffer_;
    if (kept != nullptr && kept->fullScreen && kept->width >= width && kept->height >= height) {
      if ((flags & kWindowKeepBuffer) == 0) Clear(0);
    } else if (!ReplaceBuffer(flags, height, width)) {
      return false;
    }
    Place(x, buffer_->displayHeight, y, buffer_->displayWidth);
    window_->UpdateNow();
    return true;
  }

  window_ = platform::Window::Create(title_, StyleFor(flags));
  if (window_ == nullptr) return false;
  window_->SetEvents(events_.get());
  buffer_ = OpenBuffer(flags, height, width);
  if (buffer_ == nullptr) {
    window_.reset();
    return false;
  }
  if (!buffer_->fullScreen) {
    Place(x, buffer_->displayHeight, y, buffer_->displayWidth);
    const QMargins before = FrameMargins(*window_);
    window_->Show();
    platform::ProcessWindowEvents();
    // The frame may only be known once the window shows: then the placement is done again.
    if (FrameMargins(*window_) != before) Place(x, buffer_->displayHeight, y, buffer_->displayWidth);
  }
  return true;
}

void PlaybackWindow::Place(int32_t x, int32_t displayHeight, int32_t y, int32_t displayWidth) {
  if (window_ == nullptr) return;
  const QMargins frame = FrameMargins(*window_);
  const platform::ScreenInfo screen = platform::QueryScreen();
  const int32_t left = PlacementFor(x, screen.width, displayWidth, frame.left());
  const int32_t top = PlacementFor(y, screen.height, displayHeight, frame.top());
  const int64_t outerWidth = int64_t{displayWidth} + frame.left() + frame.right();
  const int64_t outerHeight = int64_t{displayHeight} + frame.top() + frame.bottom();
  window_->Place(left, top, static_cast<int>(std::min<int64_t>(outerWidth, INT32_MAX)),
                 static_cast<int>(std::min<int64_t>(outerHeight, INT32_MAX)));
}

int32_t PlaybackWindow::Clear(int32_t color) {
  if (buffer_ == nullptr) return 0;
  VantBufferClear(buffer_, color);
  return VantBufferBlit(buffer_, nullptr, 0, 0, 0, 0, buffer_->width, buffer_->height);
}

void PlaybackWindow::BlitChangedRects(VantVideo* video) {
  if (buffer_ == nullptr) return;
  while (VantToBufferRect(video, buffer_->rectMode) != 0) {
    const VantRect& r = video->lastRect;
    // A blit that drew the whole buffer (after a new palette) has shown every change.
    if (VantBufferBlit(buffer_, nullptr, 0, 0, r.left, r.top, r.width, r.height) == 256) break;
  }
}

void PlaybackWindow::Paint() {
  if (buffer_ != nullptr) VantBufferBlit(buffer_, nullptr, 0, 0, 0, 0, buffer_->width, buffer_->height);
}

int PlaybackWindow::Pump() {
  deliveredEvents_ = 0;
  platform::ProcessWindowEvents();
  return deliveredEvents_;
}

void PlaybackWindow::Destroy() {
  if (window_ != nullptr && closingHook_) closingHook_(*window_);
  CloseBuffer();
  if (window_ != nullptr) {
    window_->SetEvents(nullptr);
    window_.reset();
    platform::ProcessWindowEvents();
  }
}

void PlaybackWindow::SetTitle(const std::string& title) {
  if (window_ != nullptr) window_->SetTitle(title);
}

void PlaybackWindow::ShowMessage(platform::DialogIcon icon, const std::string& text,
                                 const std::string& caption) {
  const std::string shown = !text.empty() && text[0] == ' ' ? text.substr(1) : text;
  platform::ShowMessageBox(caption.empty() ? title_ : caption, shown, icon,
                           window_ != nullptr ? window_->Widget() : nullptr);
}

PlaybackWindow& DefaultPlaybackWindow() {
  static PlaybackWindow* const window = new PlaybackWindow;
  return *window;
}

int TakePlayerKey() { return DefaultPlaybackWindow().TakeKey(); }
bool PlayerKeyWaiting() { return DefaultPlaybackWindow().KeyWaiting(); }
void QueuePlayerKey(int code) { DefaultPlaybackWindow().QueueKey(code); }
void ClearPlayerKeys() { DefaultPlaybackWindow().ClearKeys(); }
uint32_t PlayerClicks(bool right) { return DefaultPlaybackWindow().Clicks(right); }

void SetPlayerProgramTitle(const std::string& title) { DefaultPlaybackWindow().SetProgramTitle(title); }
const std::string& PlayerProgramTitle() { return DefaultPlaybackWindow().ProgramTitle(); }
void SetPlayerStretch(int32_t width, int32_t height) { DefaultPlaybackWindow().SetStretch(width, height); }
bool CreatePlayerWindow(uint32_t flags, int32_t y, int32_t x, int32_t height, int32_t width) {
  return DefaultPlaybackWindow().Create(flags, y, x, height, width);
}
void PlacePlayerWindow(int32_t x, int32_t displayHeight, int32_t y, int32_t displayWidth) {
  DefaultPlaybackWindow().Place(x, displayHeight, y, displayWidth);
}
int32_t ClearPlayerWindow(int32_t color) { return DefaultPlaybackWindow().Clear(color); }
void BlitChangedRects(VantVideo* video) { DefaultPlaybackWindow().BlitChangedRects(video); }
void PaintPlayerWindow() { DefaultPlaybackWindow().Paint(); }
int PumpPlayerMessages() { return DefaultPlaybackWindow().Pump(); }
void DestroyPlayerWindow() { DefaultPlaybackWindow().Destroy(); }
void SetPlayerWindowTitle(const std::string& title) { DefaultPlaybackWindow().SetTitle(title); }
VantBuffer* PlayerBuffer() { return DefaultPlaybackWindow().Buffer(); }
platform::Window* PlayerWindow() { return DefaultPlaybackWindow().Window(); }
int32_t LastBufferKind() { return DefaultPlaybackWindow().LastBufferKind(); }
int32_t LastBufferScreenColors() { return DefaultPlaybackWindow().LastBufferScreenColors(); }
void ShowPlayerMessage(platform::DialogIcon icon, const std::string& text, const std::string& caption) {
  DefaultPlaybackWindow().ShowMessage(icon, text, caption);
}
void SetPlayerWindowClosingHook(std::function<void(platform::Window&)> hook) {
  DefaultPlaybackWindow().SetClosingHook(std::move(hook));
}
