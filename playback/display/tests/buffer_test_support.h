#pragma once
// Shared pieces of the display buffer tests: a shown window to draw in, and pixel helpers that
// know the buffer's row order.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QImage>
#include <cstdint>
#include <memory>
#include <vector>

#include "playback/display/full_screen_view.h"
#include "platform/gui/window.h"
#include "playback/display/vant_display.h"

namespace buffer_test {

// A window whose client area is at least the given size, shown and settled.
inline std::unique_ptr<platform::Window> ShownWindow(int client_width = 640, int client_height = 480) {
  auto window = platform::Window::Create("display buffer test");
  if (window == nullptr) return window;
  window->Show();
  platform::ProcessWindowEvents();
  QRect frame = window->FrameRect(), client = window->ClientRect();
  window->Place(0, 0, client_width + frame.width() - client.width(),
                client_height + frame.height() - client.height());
  platform::ProcessWindowEvents();
  return window;
}

inline uint8_t* PixelAt(VantBuffer& buffer, int x, int y) {
  int row = (buffer.destinationFlags & 1) ? buffer.height - 1 - y : y;
  return buffer.pixels + static_cast<int64_t>(row) * buffer.pitch + x;
}

// The colour the buffer gives the picture's pixel (x, y).
inline QRgb ColorAt(VantBuffer& buffer, int x, int y) {
  const VantBufferColor& color = buffer.colors[*PixelAt(buffer, x, y)];
  return qRgb(color.red, color.green, color.blue);
}

// A palette of 256 distinct colours, 3-byte red, green, blue entries.
inline std::vector<uint8_t> DistinctPalette(int seed = 0) {
  std::vector<uint8_t> palette(768);
  for (int i = 0; i < 256; ++i) {
    palette[3 * i] = static_cast<uint8_t>(i);
    palette[3 * i + 1] = static_cast<uint8_t>(255 - i);
    palette[3 * i + 2] = static_cast<uint8_t>((i * 7 + seed) & 0xFF);
  }
  return palette;
}

// Fills the picture with a pattern of all 256 indexes.
inline void FillPattern(VantBuffer& buffer, int seed = 0) {
  for (int y = 0; y < buffer.height; ++y) {
    for (int x = 0; x < buffer.width; ++x) *PixelAt(buffer, x, y) = static_cast<uint8_t>(x * 3 + y * 5 + seed);
  }
}

// Counts the pixels of the window's client area, in the given rectangle of the window, that do
// not show the colour expected of them.
template <typename Expected>
int CountWrongPixels(const QImage& shown, const QRect& area, Expected expected) {
  int wrong = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if ((shown.pixel(x, y) | 0xFF000000u) != (expected(x, y) | 0xFF000000u)) ++wrong;
    }
  }
  return wrong;
}

// The picture that a full-screen view of the mode shows on `screen`, read back at the centre of
// each of the picture's pixels.
inline QImage PictureOnScreen(const QImage& screen, QSize mode, QSize picture) {
  const QRect placed = playback::LayOutFullScreen(screen.size(), mode, picture).picture;
  QImage read(picture, QImage::Format_RGB32);
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      int at_x = placed.left() + static_cast<int>((x + 0.5) * placed.width() / picture.width());
      int at_y = placed.top() + static_cast<int>((y + 0.5) * placed.height() / picture.height());
      read.setPixel(x, y, screen.pixel(at_x, at_y) | 0xFF000000u);
    }
  }
  return read;
}

// Delivers window events until `done` holds or five seconds (far beyond any display refresh)
// have passed; gives what `done` says last.
template <typename Done>
bool EventsUntil(Done done) {
  QDeadlineTimer deadline(5000);
  bool holds = done();
  while (!holds && !deadline.hasExpired()) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    holds = done();
  }
  return holds;
}

}  // namespace buffer_test
