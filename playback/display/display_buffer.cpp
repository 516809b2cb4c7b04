// Opening and closing display buffers, and the calls that need no drawing.
#include <algorithm>
#include <cstring>
#include <new>

#include "platform/face/frame_guard.h"
#include "platform/gui/screen.h"
#include "platform/gui/window.h"
#include "playback/display/display_buffer_system.h"
#include "playback/display/vant_display.h"

namespace playback {
namespace {

// Blit positions and sizes are 16-bit, so no side may be larger.
constexpr int32_t kLargestSide = 32767;

// Only one buffer can hold the full screen at a time.
VantBuffer* g_full_screen_owner = nullptr;

struct ScreenColors {
  int32_t colors = 0;           // what the screen can show
  int32_t palette_entries = 0;  // at most 256
  int32_t static_count = 0;     // static colours at each end of the system palette
};

ScreenColors ReadScreenColors(const platform::ScreenInfo& screen) {
  ScreenColors result;
  int bits = std::clamp(screen.bits_per_pixel, 1, 24);
  result.colors = int32_t{1} << bits;
  result.palette_entries = std::min(result.colors, 256);
  if (result.colors == 256) result.static_count = screen.reserved_palette_entries / 2;
  if (screen.static_colors_off) result.static_count = 1;
  // Whatever the screen says, the usable range never turns inside out.
  result.static_count = std::clamp(result.static_count, 0, result.palette_entries / 2);
  return result;
}

bool KindAvailable(int32_t kind, int32_t width, int32_t height, bool stretched) {
  switch (kind) {
    case VANT_BLITTER_FULL_SCREEN_320X240:
      return width <= 320 && height <= 240 && !stretched && g_full_screen_owner == nullptr;
    case VANT_BLITTER_FULL_SCREEN_320X200:
    case VANT_BLITTER_FULL_SCREEN_DIRECT:
      return width <= 320 && height <= 200 && !stretched && g_full_screen_owner == nullptr;
    case VANT_BLITTER_STANDARD_DIBS:
    case VANT_BLITTER_DIB_SECTION:
      return true;
    default:
      return false;
  }
}

int32_t ChooseKind(int32_t requested, int32_t width, int32_t height, bool stretched) {
  if (requested == VANT_BLITTER_AUTOMATIC) {
    for (int32_t kind : {VANT_BLITTER_DIB_SECTION, VANT_BLITTER_STANDARD_DIBS}) {
      if (KindAvailable(kind, width, height, stretched)) return kind;
    }
    return -1;
  }
  return KindAvailable(requested, width, height, stretched) ? requested : -1;
}

// Fills in the record's sizes, colour ranges and rectangle mode for the chosen kind.
void DescribeBuffer(VantBuffer& buffer, int32_t kind, int32_t width, int32_t height,
                    int32_t display_width, int32_t display_height, const ScreenColors& screen) {
  buffer.kind = kind;
  buffer.width = width;
  buffer.height = height;
  buffer.displayWidth = display_width;
  buffer.displayHeight = display_height;
  buffer.stretched = (display_width != width || display_height != height) ? 1 : 0;
  buffer.screenColors = screen.colors;
  buffer.colorLayout = 6;
  if (kind == VANT_BLITTER_FULL_SCREEN_320X240 || kind == VANT_BLITTER_FULL_SCREEN_320X200) {
    buffer.fullScreen = 1;
    buffer.paletteEntries = 256;
    buffer.firstUsable = 0;
    buffer.endUsable = 256;
    buffer.rectMode = 1;
    buffer.destinationFlags = 1;
    if (kind == VANT_BLITTER_FULL_SCREEN_320X240 && height <= 200) buffer.height = 204;
  } else if (kind == VANT_BLITTER_FULL_SCREEN_DIRECT) {
    // The pixels are the display's own memory: the whole mode, top row first, never blitted.
    buffer.fullScreen = 1;
    buffer.paletteEntries = 256;
    buffer.firstUsable = 0;
    buffer.endUsable = 256;
    buffer.rectMode = VANT_RECT_NONE;
    buffer.destinationFlags = 0;
    buffer.width = 320;
    buffer.height = 200;
  } else {
    buffer.paletteEntries = screen.palette_entries;
    buffer.firstUsable = screen.static_count;
    buffer.endUsable = screen.palette_entries - screen.static_count;
    if (kind == VANT_BLITTER_STANDARD_DIBS) {
      buffer.rectMode = 1;
      buffer.destinationFlags = 1;
    } else {
      // Merged rectangles only when every block edge lands on a whole display pixel.
      bool uneven = (int64_t{display_width} * 4 % width) != 0 ||
                    (int64_t{display_height} * 4 % height) != 0;
      buffer.rectMode = uneven ? 1 : 0;
      buffer.destinationFlags = 0;  // the image keeps its top row first
    }
  }
  buffer.pitch = (buffer.width + 3) & ~3;
  buffer.usableColors = buffer.endUsable - buffer.firstUsable;
}

void DeleteBuffer(VantBuffer* buffer) {
  delete buffer->system;
  AlignedFree(buffer);
}

struct BufferDeleter {
  void operator()(VantBuffer* buffer) const { DeleteBuffer(buffer); }
};
using OwnedBuffer = std::unique_ptr<VantBuffer, BufferDeleter>;

// The full-screen view stands in for the caller's window, which waits minimized meanwhile.
bool TakeFullScreen(VantBuffer& buffer, platform::Window& caller) {
  QSize mode = buffer.kind == VANT_BLITTER_FULL_SCREEN_320X240 ? QSize(320, 240) : QSize(320, 200);
  std::unique_ptr<FullScreenView> view =
      FullScreenView::Create(buffer, mode, buffer.kind == VANT_BLITTER_FULL_SCREEN_DIRECT);
  if (view == nullptr) return false;
  g_full_screen_owner = &buffer;
  caller.ShowMinimized();
  caller.SetRestoreTarget(&view->window());
  view->Show();
  buffer.system->view = std::move(view);
  return true;
}

void GiveBackFullScreen(VantBuffer& buffer) {
  buffer.system->view.reset();
  if (g_full_screen_owner == &buffer) g_full_screen_owner = nullptr;
  if (platform::Window* caller = platform::Window::FromHandle(buffer.window)) {
    caller->SetRestoreTarget(nullptr);
    // The caller's window was only minimized for the full screen: bring it back.
    if (caller->IsMinimized()) caller->ShowNormal();
  }
}

VantBuffer* OpenBuffer(VantWindowHandle window, int32_t requested_kind, int32_t width,
                       int32_t height, int32_t display_width, int32_t display_height) {
  platform::Window* caller = platform::Window::FromHandle(window);
  if (caller == nullptr) return nullptr;
  requested_kind &= 0xFFFF;
  if (display_width == 0) display_width = width;
  if (display_height == 0) display_height = height;
  for (int32_t side : {width, height, display_width, display_height}) {
    if (side <= 0 || side > kLargestSide) return nullptr;
  }
  bool stretched = display_width != width || display_height != height;
  int32_t kind = ChooseKind(requested_kind, width, height, stretched);
  if (kind < 0) return nullptr;

  platform::ScreenInfo screen = platform::QueryScreen();
  ScreenColors colors = ReadScreenColors(screen);
  OwnedBuffer buffer(static_cast<VantBuffer*>(AlignedAlloc(sizeof(VantBuffer))));
  if (buffer == nullptr) return nullptr;
  std::memset(buffer.get(), 0, sizeof(VantBuffer));
  buffer->system = new (std::nothrow) VantBufferSystem;
  if (buffer->system == nullptr) return nullptr;
  buffer->window = window;
  DescribeBuffer(*buffer, kind, width, height, display_width, display_height, colors);

  size_t bytes = static_cast<size_t>(int64_t{buffer->height} * buffer->pitch);
  buffer->system->pixel_memory.reset(static_cast<uint8_t*>(AlignedAlloc(bytes)));
  if (buffer->system->pixel_memory == nullptr) return nullptr;
  buffer->pixels = buffer->system->pixel_memory.get();
  std::memset(buffer->pixels, 0, bytes);  // row padding included
  // A palette screen starts with its system colours; the static ones stay for good.
  if (colors.colors <= 256) {
    for (int i = 0; i < 256; ++i) {
      uint32_t rgb = screen.system_palette[static_cast<size_t>(i)];
      buffer->colors[i] = {static_cast<uint8_t>(rgb), static_cast<uint8_t>(rgb >> 8),
                           static_cast<uint8_t>(rgb >> 16), 0};
    }
  }
  if (kind == VANT_BLITTER_DIB_SECTION) {
    QImage& bitmap = buffer->system->bitmap;
    bitmap = QImage(buffer->pixels, buffer->width, buffer->height, buffer->pitch,
                    QImage::Format_Indexed8);
    bitmap.setColorTable(PaletteFromColors(*buffer));
  }
  if (buffer->fullScreen && !TakeFullScreen(*buffer, *caller)) return nullptr;
  return buffer.release();
}

}  // namespace
}  // namespace playback

extern "C" {

VantBuffer* VantBufferOpen(VantWindowHandle window, int32_t kind, int32_t width, int32_t height,
                           int32_t display_width, int32_t display_height) {
  // Where the window system runs out of memory there is no buffer.
  VantBuffer* buffer = nullptr;
  platform::RunGuarded("VantBufferOpen", [&] {
    buffer = playback::OpenBuffer(window, kind, width, height, display_width, display_height);
  }, platform::CaughtReport::StandardError);
  return buffer;
}

void VantBufferClose(VantBuffer* buffer) {
  if (buffer == nullptr) return;
  if (buffer->system->view) playback::GiveBackFullScreen(*buffer);
  playback::DeleteBuffer(buffer);
}

void VantBufferClear(VantBuffer* buffer, int32_t color) {
  if (buffer == nullptr || buffer->pixels == nullptr) return;
  for (int32_t row = 0; row < buffer->height; ++row) {
    std::memset(buffer->pixels + int64_t{row} * buffer->pitch, color & 0xFF,
                static_cast<size_t>(buffer->width));
  }
}

int32_t VantBufferFocused(VantBuffer* buffer) {
  if (buffer == nullptr) return 0;
  if (buffer->fullScreen) return buffer->focused;
  platform::Window* window = platform::Window::FromHandle(buffer->window);
  return window != nullptr && window->IsActive() ? 1 : 0;
}

char* VantBufferString(char* text, int32_t kind) {
  static const char* const kNames[] = {
      "Automatic",
      "Full screen 320x240",
      "Full screen 320x200",
      "Full screen 320x200 direct",
      "Standard Windows DIBs",
      "CreateDIBSection",  // the window layer can always set an image's colour table
  };
  if (text == nullptr) return nullptr;
  uint32_t index = std::min(static_cast<uint32_t>(kind), 5u);
  std::strcpy(text, kNames[index]);
  return text;
}

int32_t VantSetSystemRes(int32_t mode) {
  // The screen always keeps the desktop's mode, so only going back to it succeeds.
  return mode == 0 ? 1 : 0;
}

}  // extern "C"
