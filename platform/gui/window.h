#pragma once
// A top-level window of the toolkit: a client area that keeps its picture in a surface image,
// and a set of event handlers that its owner (a player, the script player, a display buffer)
// puts on it. Windows live on the thread of the application object and are driven by
// ProcessWindowEvents.
#include <QImage>
#include <QRect>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "platform/gui/key_codes.h"

namespace platform {

class Window;
class WindowWidget;

enum class MouseButton { kLeft, kRight, kMiddle };

struct KeyEvent {
  int key = kKeyNone;  // a KeyCode
  bool shift = false;
  bool control = false;
  bool alt = false;
  bool repeat = false;  // sent again because the key is held down
};

// What a window tells its owner. The handlers run from ProcessWindowEvents, or from the window
// call that caused them (UpdateNow runs a pending Paint).
class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  // The window's picture is out of date (first show, new size, Invalidate): draw it into the
  // surface again.
  virtual void Paint(Window&) {}
  virtual void KeyDown(Window&, const KeyEvent&) {}
  // The characters a key typed, one call each, after its KeyDown; none while Alt is held.
  virtual void Character(Window&, char32_t, const KeyEvent&) {}
  virtual void MouseReleased(Window&, MouseButton) {}
  // The user asked to close the window: true keeps it open (the owner decides what happens),
  // false lets it hide.
  virtual bool CloseRequested(Window&) { return false; }
  // The window became the active one (it receives the keys), or stopped being it.
  virtual void Activated(Window&, bool) {}
};

struct WindowStyle {
  bool caption = true;       // a title bar
  bool border = false;       // without a title bar: a plain border all the same, else no frame
  bool full_screen = false;  // no frame, over the whole screen and on top of other windows
  bool fixed_size = false;   // the size is the owner's alone: no resizing, no maximize button
};

// Delivers every window event that is waiting (input, paints, posted requests) and returns.
void ProcessWindowEvents();

// True when the window system reports a mouse (or another pointing device that moves a pointer).
bool MousePresent();

class Window {
 public:
  // A new hidden window; null when this run cannot show windows (no display).
  static std::unique_ptr<Window> Create(std::string_view title, WindowStyle style = {});
  ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // The handle that the C interfaces pass around, and the way back from it. Handles are never
  // reused and FromHandle gives null for anything that is not a window alive now, so a stale
  // handle is harmless.
  void* Handle() const { return reinterpret_cast<void*>(handle_); }
  static Window* FromHandle(const void* handle);

  // Handlers stay the owner's; null removes them.
  void SetEvents(WindowEvents* events) { events_ = events; }
  WindowEvents* Events() const { return events_; }

  void SetTitle(std::string_view title);

  // Placement in screen pixels: the frame's top-left corner and outer size, as a window
  // manager moves it; the client area is what is left inside the frame.
  void Place(int x, int y, int outer_width, int outer_height);
  QRect ClientRect() const;  // on the screen
  QRect FrameRect() const;   // on the screen, frame included

  void Show();  // full-screen windows cover the screen
  void Hide();
  void ShowMinimized();
  void ShowNormal();
  bool IsVisible() const;
  bool IsMinimized() const;
  bool IsActive() const;  // receives the keys
  void Activate();
  // While a target is set, restoring this window from its minimized state activates the target
  // instead and leaves this window minimized (a full-screen view stands in for it).
  void SetRestoreTarget(Window* target);

  // The client area's picture. Draw into it, then ShowSurface the part that changed.
  QImage& Surface() { return surface_; }
  void ShowSurface(const QRect& area);
  // Asks the owner to draw the whole picture again (its Paint runs from the event loop).
  void Invalidate();
  // Runs a pending Paint now and brings the screen up to date with the surface.
  void UpdateNow();
  // What the client area shows, read back from the window itself.
  QImage Grab();

  // A picture laid over the surface whenever the window paints (a pointer the owner draws
  // itself), at a client position; the surface stays as it is under it. Transparent pixels of
  // the image show the surface.
  void SetOverlay(const QImage& image, QPoint at);
  void ClearOverlay();

  // The system pointer: hidden while it is over this window, or shown normally.
  void SetPointerHidden(bool hidden);
  // Where the system pointer is in client coordinates, when it lies over this window's client
  // area and no other window covers it there.
  std::optional<QPoint> PointerPosition() const;
  // Moves the system pointer to a client position.
  void MovePointer(QPoint at);

  QWidget* Widget();

 private:
  friend class WindowWidget;
  Window(std::string_view title, WindowStyle style);
  void ResizeSurface(int width, int height);
  void DeliverPaint();
  void RestoredFromMinimized();

  uintptr_t handle_;
  std::unique_ptr<WindowWidget> widget_;
  WindowStyle style_;
  WindowEvents* events_ = nullptr;
  QImage surface_;
  QImage overlay_;
  QPoint overlay_at_;
  bool paint_pending_ = false;
  void* restore_target_ = nullptr;  // a handle, looked up when used
};

}  // namespace platform
