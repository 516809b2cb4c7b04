#include "playback/full_screen_view.h"

#include <QPainter>
#include <cstring>

#include "playback/display_buffer_system.h"

namespace playback {

FullScreenLayout LayOutFullScreen(QSize screen, QSize mode, QSize picture) {
  int64_t screen_width = screen.width(), screen_height = screen.height();
  int64_t mode_width = mode.width(), mode_height = mode.height();
  // The largest area of the mode's aspect that fits the screen, in the middle of it.
  int64_t area_width = screen_width, area_height = screen_height;
  if (screen_width * mode_height <= screen_height * mode_width) {
    area_height = screen_width * mode_height / mode_width;
  } else {
    area_width = screen_height * mode_width / mode_height;
  }
  int64_t area_left = (screen_width - area_width) / 2;
  int64_t area_top = (screen_height - area_height) / 2;

  // The picture in the middle of the mode, its edges scaled like the mode's pixels.
  int64_t left = (mode_width - picture.width()) / 2;
  int64_t top = (mode_height - picture.height()) / 2;
  auto x_on_screen = [&](int64_t x) { return area_left + x * area_width / mode_width; };
  auto y_on_screen = [&](int64_t y) { return area_top + y * area_height / mode_height; };
  int64_t picture_left = x_on_screen(left), picture_top = y_on_screen(top);
  int64_t picture_right = x_on_screen(left + picture.width());
  int64_t picture_bottom = y_on_screen(top + picture.height());

  FullScreenLayout layout;
  layout.mode_area = QRect(static_cast<int>(area_left), static_cast<int>(area_top),
                           static_cast<int>(area_width), static_cast<int>(area_height));
  layout.picture = QRect(static_cast<int>(picture_left), static_cast<int>(picture_top),
                         static_cast<int>(picture_right - picture_left),
                         static_cast<int>(picture_bottom - picture_top));
  return layout;
}

std::unique_ptr<FullScreenView> FullScreenView::Create(VantBuffer& buffer, QSize mode, bool direct) {
  auto window = platform::Window::Create("", platform::WindowStyle{.caption = false, .full_screen = true});
  if (window == nullptr) return nullptr;
  return std::unique_ptr<FullScreenView>(new FullScreenView(buffer, mode, direct, std::move(window)));
}

FullScreenView::FullScreenView(VantBuffer& buffer, QSize mode, bool direct,
                               std::unique_ptr<platform::Window> window)
    : buffer_(buffer),
      mode_(mode),
      direct_(direct),
      window_(std::move(window)),
      shown_(buffer.width, buffer.height, QImage::Format_Indexed8) {
  shown_.fill(0);
  shown_.setColorTable(PaletteFromColors(buffer));
  window_->SetEvents(this);
  if (direct_) {
    refresh_.setInterval(kRefreshMilliseconds);
    refresh_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&refresh_, &QTimer::timeout, [this] { Refresh(); });
    refresh_.start();
  }
}

FullScreenView::~FullScreenView() { window_->SetEvents(nullptr); }

void FullScreenView::Show() {
  window_->Show();
  window_->Activate();
}

bool FullScreenView::TakePixels() {
  const bool bottom_up = (buffer_.destinationFlags & 1) != 0;
  bool changed = false;
  for (int row = 0; row < buffer_.height; ++row) {
    const int stored_row = bottom_up ? buffer_.height - 1 - row : row;
    const uint8_t* source = buffer_.pixels + static_cast<int64_t>(stored_row) * buffer_.pitch;
    uint8_t* shown = shown_.scanLine(row);
    const size_t bytes = static_cast<size_t>(buffer_.width);
    if (std::memcmp(shown, source, bytes) == 0) continue;
    std::memcpy(shown, source, bytes);
    changed = true;
  }
  return changed;
}

void FullScreenView::ShowPixels() {
  TakePixels();
  Render();
}

void FullScreenView::Refresh() {
  if (TakePixels()) Render();
}

void FullScreenView::SetPalette(const QList<QRgb>& palette) {
  shown_.setColorTable(palette);
  // The display's palette colours whatever its memory holds now.
  if (direct_) TakePixels();
  Render();
}

void FullScreenView::Paint(platform::Window&) { Render(); }

void FullScreenView::Activated(platform::Window&, bool active) {
  buffer_.focused = active ? 1 : 0;
  // Coming back to the display mode means showing the picture again; a direct view's memory
  // stays the buffer's meanwhile, so nothing decoded while away is lost.
  if (active) ShowPixels();
}

platform::Window* FullScreenView::Caller() const {
  platform::Window* caller = platform::Window::FromHandle(buffer_.window);
  return caller != nullptr && caller->Events() != nullptr ? caller : nullptr;
}

void FullScreenView::KeyDown(platform::Window&, const platform::KeyEvent& key) {
  if (platform::Window* caller = Caller()) caller->Events()->KeyDown(*caller, key);
}

void FullScreenView::Character(platform::Window&, char32_t character, const platform::KeyEvent& key) {
  if (platform::Window* caller = Caller()) caller->Events()->Character(*caller, character, key);
}

void FullScreenView::MouseReleased(platform::Window&, platform::MouseButton button) {
  if (platform::Window* caller = Caller()) caller->Events()->MouseReleased(*caller, button);
}

bool FullScreenView::CloseRequested(platform::Window&) {
  platform::Window* caller = Caller();
  // The view goes only with its buffer: the caller decides what closing means.
  if (caller != nullptr) caller->Events()->CloseRequested(*caller);
  return true;
}

void FullScreenView::Render() {
  QImage& surface = window_->Surface();
  FullScreenLayout layout = LayOutFullScreen(surface.size(), mode_, shown_.size());
  surface.fill(Qt::black);
  QPainter painter(&surface);
  painter.drawImage(layout.picture, shown_);
  painter.end();
  window_->ShowSurface(surface.rect());
}

}  // namespace playback
