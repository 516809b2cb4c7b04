#pragma once
// The full-screen kinds of display buffer: a borderless window over the whole screen stands in
// for a 320x240 or 320x200 display mode. The picture sits in the middle of the mode's area, and
// that area is scaled to fill the screen as far as its aspect allows; the rest is black.
// A direct view stands in for the mode's display memory as well: it shows the buffer's pixels by
// itself at every refresh of the display, so nothing is ever sent to it.
#include <QImage>
#include <QList>
#include <QRect>
#include <QSize>
#include <QTimer>
#include <memory>

#include "platform/gui/window.h"

struct VantBuffer;

namespace playback {

struct FullScreenLayout {
  QRect mode_area;  // where the display mode's area lands on the screen
  QRect picture;    // where the buffer's picture lands on the screen
};

// Places a picture (at most the mode's size) on a screen showing the given mode.
FullScreenLayout LayOutFullScreen(QSize screen, QSize mode, QSize picture);

class FullScreenView : private platform::WindowEvents {
 public:
  // The refresh of a direct view, as often as a 320x200 mode's display scans its memory.
  static constexpr int kRefreshMilliseconds = 14;

  // Null when no window can be made.
  static std::unique_ptr<FullScreenView> Create(VantBuffer& buffer, QSize mode, bool direct);
  ~FullScreenView() override;

  // Shows the view over the screen.
  void Show();
  // Sends every pixel of the buffer to the display.
  void ShowPixels();
  // What a direct view's refresh does: shows the pixels when they changed since it last looked.
  void Refresh();
  // The display's palette: the picture shown takes these colours at once.
  void SetPalette(const QList<QRgb>& palette);
  platform::Window& window() { return *window_; }

 private:
  FullScreenView(VantBuffer& buffer, QSize mode, bool direct, std::unique_ptr<platform::Window> window);
  void Paint(platform::Window&) override;
  void Activated(platform::Window&, bool active) override;
  // Input goes on to the window the view stands in for, whose owner reads the keys.
  void KeyDown(platform::Window&, const platform::KeyEvent& key) override;
  void Character(platform::Window&, char32_t character, const platform::KeyEvent& key) override;
  void MouseReleased(platform::Window&, platform::MouseButton button) override;
  bool CloseRequested(platform::Window&) override;
  platform::Window* Caller() const;
  // Takes the buffer's pixels into what is shown; false when they were the same already.
  bool TakePixels();
  void Render();

  VantBuffer& buffer_;
  QSize mode_;
  bool direct_;
  std::unique_ptr<platform::Window> window_;
  QImage shown_;  // the pixels last sent or scanned, as palette indexes
  QTimer refresh_;
};

}  // namespace playback
