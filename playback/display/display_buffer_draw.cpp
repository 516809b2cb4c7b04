// Putting display buffers on the screen: blits and palettes.
#include <QPainter>
#include <algorithm>

#include "playback/display/display_buffer_system.h"
#include "playback/palette_layout.h"
#include "platform/gui/window.h"
#include "playback/display/vant_display.h"

namespace playback {

QList<QRgb> PaletteFromColors(const VantBuffer& buffer) {
  QList<QRgb> palette(256);
  for (int i = 0; i < 256; ++i) {
    const VantBufferColor& color = buffer.colors[i];
    palette[i] = qRgb(color.red, color.green, color.blue);
  }
  return palette;
}

const QList<QRgb>& EnsurePalette(VantBuffer& buffer) {
  VantBufferSystem& system = *buffer.system;
  if (!system.palette) {
    system.palette = PaletteFromColors(buffer);
    if (buffer.kind == VANT_BLITTER_DIB_SECTION) system.bitmap.setColorTable(*system.palette);
  }
  return *system.palette;
}

namespace {

// The part of the source rectangle that lies inside the buffer.
QRect ClipToBuffer(const VantBuffer& buffer, int64_t x, int64_t y, int64_t width, int64_t height) {
  int64_t left = std::max<int64_t>(x, 0);
  int64_t top = std::max<int64_t>(y, 0);
  int64_t right = std::min<int64_t>(x + width, buffer.width);
  int64_t bottom = std::min<int64_t>(y + height, buffer.height);
  if (left >= right || top >= bottom) return QRect();
  return QRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
               static_cast<int>(bottom - top));
}

// Where a source rectangle lands in the window. Both edges are scaled, so rectangles that
// touch in the buffer touch on the screen too.
QRect DisplayRect(const VantBuffer& buffer, int32_t x, int32_t y, const QRect& source) {
  auto scale_x = [&](int64_t at) { return x + int64_t{buffer.displayWidth} * at / buffer.width; };
  auto scale_y = [&](int64_t at) { return y + int64_t{buffer.displayHeight} * at / buffer.height; };
  int64_t left = scale_x(source.left()), right = scale_x(int64_t{source.left()} + source.width());
  int64_t top = scale_y(source.top()), bottom = scale_y(int64_t{source.top()} + source.height());
  return QRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
               static_cast<int>(bottom - top));
}

// The source rectangle of bottom-up pixels as colours, top row first.
QImage ConvertedCopy(const VantBuffer& buffer, const QRect& source, const QList<QRgb>& palette) {
  QImage copy(source.size(), QImage::Format_RGB32);
  for (int row = 0; row < source.height(); ++row) {
    int64_t stored_row = int64_t{buffer.height} - 1 - (source.top() + row);
    const uint8_t* from = buffer.pixels + stored_row * buffer.pitch + source.left();
    auto* to = reinterpret_cast<QRgb*>(copy.scanLine(row));
    for (int column = 0; column < source.width(); ++column) to[column] = palette[from[column]];
  }
  return copy;
}

void Draw(VantBuffer& buffer, platform::Window& window, int32_t x, int32_t y, const QRect& source) {
  const QList<QRgb>& palette = EnsurePalette(buffer);
  QRect target = buffer.stretched ? DisplayRect(buffer, x, y, source)
                                  : QRect(x + source.left(), y + source.top(), source.width(),
                                          source.height());
  if (target.isEmpty()) return;
  QImage picture = buffer.kind == VANT_BLITTER_DIB_SECTION ? buffer.system->bitmap.copy(source)
                                                           : ConvertedCopy(buffer, source, palette);
  QPainter painter(&window.Surface());
  painter.drawImage(target, picture);  // no smoothing: every pixel keeps its exact colour
  painter.end();
  window.ShowSurface(target);
}

// Reads entry i of a caller's palette, laid out as the flags say.
VantBufferColor ReadPaletteEntry(const uint8_t* palette, const PaletteLayout& layout, int i) {
  const uint8_t* entry = palette + layout.entry_size * static_cast<size_t>(i);
  return {entry[layout.blue], entry[layout.green], entry[layout.red], 0};
}

bool SameColor(const VantBufferColor& a, const VantBufferColor& b) {
  return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

}  // namespace
}  // namespace playback

extern "C" {

int32_t VantBufferBlit(VantBuffer* buffer, void* /*context*/, int32_t x, int32_t y,
                       int32_t source_x, int32_t source_y, int32_t width, int32_t height) {
  if (buffer == nullptr) return 0;
  buffer->shown = 1;
  if (buffer->fullScreen) {
    // The direct kind's pixels are the display's memory: the display shows them by itself.
    if (buffer->kind != VANT_BLITTER_FULL_SCREEN_DIRECT && buffer->system->view) {
      buffer->system->view->ShowPixels();
    }
    return 0;
  }
  platform::Window* window = platform::Window::FromHandle(buffer->window);
  if (window == nullptr) return 0;
  if (buffer->fullRepaintDue) {
    playback::Draw(*buffer, *window, x, y, QRect(0, 0, buffer->width, buffer->height));
    buffer->fullRepaintDue = 0;
    return 256;
  }
  QRect source = playback::ClipToBuffer(*buffer, source_x, source_y, width, height);
  if (!source.isEmpty()) playback::Draw(*buffer, *window, x, y, source);
  return 0;
}

void VantBufferNewPalette(VantBuffer* buffer, const void* palette, int32_t layout_flags) {
  if (buffer == nullptr) return;
  buffer->shown = 1;
  if (buffer->paletteEntries < 256 || palette == nullptr) return;
  playback::PaletteLayout layout = playback::PaletteLayoutFromFlags(layout_flags);
  const auto* source = static_cast<const uint8_t*>(palette);
  for (int i = buffer->firstUsable; i < buffer->endUsable; ++i) {
    VantBufferColor color = playback::ReadPaletteEntry(source, layout, i);
    // A colour equal to a static one would be folded onto it: make it differ by one step.
    for (int s = buffer->endUsable; s < 256; ++s) {
      if (playback::SameColor(color, buffer->colors[s])) {
        color.red = (color.red & 3) == 3 ? color.red - 1 : color.red + 1;
        break;
      }
    }
    buffer->colors[i] = color;
  }
  QList<QRgb> colors = playback::PaletteFromColors(*buffer);
  VantBufferSystem& system = *buffer->system;
  system.palette = colors;
  if (buffer->kind == VANT_BLITTER_DIB_SECTION) system.bitmap.setColorTable(colors);
  if (system.view) system.view->SetPalette(colors);
  // True-colour pixels keep the colours they were drawn with: everything must be drawn again.
  if (buffer->screenColors > 256) buffer->fullRepaintDue = 1;
}

int32_t VantBufferSetPalette(VantBuffer* buffer) {
  if (buffer == nullptr || buffer->fullScreen) return 0;
  playback::EnsurePalette(*buffer);
  platform::Window* window = platform::Window::FromHandle(buffer->window);
  if (window != nullptr && buffer->shown) window->Invalidate();
  return buffer->paletteEntries;
}

}  // extern "C"
