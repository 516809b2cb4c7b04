#include "script/screen/screen_drawing.h"

#include <algorithm>

#include "script/language/params.h"
#include "script/language/script_context.h"
#include "script/screen/bitmaps.h"
#include "script/screen/mouse_pointer.h"
#include "script/language/script_wait.h"
#include "script/screen/script_window.h"

namespace script {

namespace {

PixelRect InWindow(const ScriptWindow& window, int64_t x, int64_t y, int64_t width, int64_t height) {
  return ClipRect(x, y, width, height, window.Width(), window.Height());
}

// The rectangle between two corners, both included.
PixelRect Spanning(const ScriptWindow& window, int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
  return InWindow(window, std::min(x0, x1), std::min(y0, y1), (x1 > x0 ? x1 - x0 : x0 - x1) + 1,
                  (y1 > y0 ? y1 - y0 : y0 - y1) + 1);
}

}  // namespace

int64_t TakeWindowX(ScriptContext& context, const WindowSettings& settings) {
  return int64_t{TakeNumber(context)} + settings.offsetX;
}

int64_t TakeWindowY(ScriptContext& context, const WindowSettings& settings) {
  return int64_t{TakeNumber(context)} + settings.offsetY;
}

void ScreenSetPixel(ScriptWindow& window, MousePointer& pointer, int64_t x, int64_t y, uint8_t color) {
  const PixelRect area = InWindow(window, x, y, 1, 1);
  if (area.Empty()) return;
  pointer.HideOver(area);
  SetPixel(window.Canvas(), x, y, color);
  window.Show(area);
}

uint8_t ScreenGetPixel(const ScriptWindow& window, int64_t x, int64_t y) { return GetPixel(window.Canvas(), x, y); }

void ScreenClear(ScriptWindow& window, MousePointer& pointer, uint8_t color) {
  if (!window.Exists()) return;
  pointer.Hide();
  ClearCanvas(window.Canvas(), color);
  window.ShowAll();
}

void ScreenFilledBox(ScriptWindow& window, MousePointer& pointer, int64_t x, int64_t y, int64_t width,
                     int64_t height, uint8_t color) {
  const PixelRect area = InWindow(window, x, y, width, height);
  if (area.Empty()) return;
  pointer.HideOver(area);
  FillBox(window.Canvas(), x, y, width, height, color);
  window.Show(area);
}

void ScreenLine(ScriptWindow& window, MousePointer& pointer, int64_t x0, int64_t y0, int64_t x1, int64_t y1,
                uint8_t color) {
  if (!window.Exists()) return;
  pointer.HideOver(Spanning(window, x0, y0, x1, y1));
  window.Show(DrawLine(window.Canvas(), x0, y0, x1, y1, color));
}

void ScreenBox(ScriptWindow& window, MousePointer& pointer, int64_t x, int64_t y, int64_t width, int64_t height,
               uint8_t color) {
  const PixelRect area = InWindow(window, x, y, width, height);
  if (area.Empty()) return;
  pointer.HideOver(area);
  DrawOutline(window.Canvas(), x, y, x + width - 1, y + height - 1, color);
  window.Show(area);
}

void BitmapToScreen(ScriptWindow& window, MousePointer& pointer, const Bitmap& bitmap, int64_t x, int64_t y,
                    CopyMode mode, uint8_t key, const Bitmap* mask) {
  if (mode == CopyMode::kMasked &&
      (mask == nullptr || mask->width != bitmap.width || mask->height != bitmap.height)) {
    return;
  }
  const PixelRect area = InWindow(window, x, y, bitmap.width, bitmap.height);
  if (area.Empty()) return;
  pointer.HideOver(area);
  const PixelCanvas maskCanvas = mask != nullptr ? mask->Canvas() : PixelCanvas{};
  const CopyRule rule{mode, key, mask != nullptr ? &maskCanvas : nullptr, true};
  CopyPixels(bitmap.Canvas(), 0, 0, window.Canvas(), x, y, bitmap.width, bitmap.height, rule);
  window.Show(area);
}

void ScreenToBitmap(const ScriptWindow& window, Bitmap& bitmap, int64_t x, int64_t y) {
  CopyPixels(window.Canvas(), x, y, bitmap.Canvas(), 0, 0, bitmap.width, bitmap.height);
}

ScreenPalette::StepWait FadeStepWait(ScriptContext& context, const WindowSettings& settings) {
  return [&context, stepMs = settings.fadeStepMs, last = context.Clock()]() mutable {
    WaitUntil(context, last + static_cast<uint32_t>(stepMs));
    last = context.Clock();
  };
}

}  // namespace script
