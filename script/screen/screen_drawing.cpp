#include "script/screen/screen_drawing.h"

#include <algorithm>

#include "script/language/params.h"
#include "script/language/script_context.h"
#include "script/screen/script_wait.h"

namespace script {

namespace {

PixelRect InWindow(const ScriptContext& context, int64_t x, int64_t y, int64_t width, int64_t height) {
  return ClipRect(x, y, width, height, context.window.Width(), context.window.Height());
}

// The rectangle between two corners, both included.
PixelRect Spanning(const ScriptContext& context, int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
  return InWindow(context, std::min(x0, x1), std::min(y0, y1), (x1 > x0 ? x1 - x0 : x0 - x1) + 1,
                  (y1 > y0 ? y1 - y0 : y0 - y1) + 1);
}

void Show(ScriptContext& context, const PixelRect& area) { context.window.Show(area); }

}  // namespace

int64_t TakeWindowX(ScriptContext& context) { return int64_t{TakeNumber(context)} + context.settings.offsetX; }

int64_t TakeWindowY(ScriptContext& context) { return int64_t{TakeNumber(context)} + context.settings.offsetY; }

void ScreenSetPixel(ScriptContext& context, int64_t x, int64_t y, uint8_t color) {
  const PixelRect area = InWindow(context, x, y, 1, 1);
  if (area.Empty()) return;
  HidePointerOver(context, area);
  SetPixel(context.window.Canvas(), x, y, color);
  Show(context, area);
}

uint8_t ScreenGetPixel(ScriptContext& context, int64_t x, int64_t y) {
  return GetPixel(context.window.Canvas(), x, y);
}

void ScreenClear(ScriptContext& context, uint8_t color) {
  if (!context.window.Exists()) return;
  HideMousePointer(context);
  ClearCanvas(context.window.Canvas(), color);
  context.window.ShowAll();
}

void ScreenFilledBox(ScriptContext& context, int64_t x, int64_t y, int64_t width, int64_t height,
                     uint8_t color) {
  const PixelRect area = InWindow(context, x, y, width, height);
  if (area.Empty()) return;
  HidePointerOver(context, area);
  FillBox(context.window.Canvas(), x, y, width, height, color);
  Show(context, area);
}

void ScreenLine(ScriptContext& context, int64_t x0, int64_t y0, int64_t x1, int64_t y1, uint8_t color) {
  if (!context.window.Exists()) return;
  HidePointerOver(context, Spanning(context, x0, y0, x1, y1));
  Show(context, DrawLine(context.window.Canvas(), x0, y0, x1, y1, color));
}

void ScreenBox(ScriptContext& context, int64_t x, int64_t y, int64_t width, int64_t height,
               uint8_t color) {
  const PixelRect area = InWindow(context, x, y, width, height);
  if (area.Empty()) return;
  HidePointerOver(context, area);
  DrawOutline(context.window.Canvas(), x, y, x + width - 1, y + height - 1, color);
  Show(context, area);
}

void BitmapToScreen(ScriptContext& context, const Bitmap& bitmap, int64_t x, int64_t y, CopyMode mode,
                    uint8_t key, const Bitmap* mask) {
  if (mode == CopyMode::kMasked &&
      (mask == nullptr || mask->width != bitmap.width || mask->height != bitmap.height)) {
    return;
  }
  const PixelRect area = InWindow(context, x, y, bitmap.width, bitmap.height);
  if (area.Empty()) return;
  HidePointerOver(context, area);
  const PixelCanvas maskCanvas = mask != nullptr ? mask->Canvas() : PixelCanvas{};
  const CopyRule rule{mode, key, mask != nullptr ? &maskCanvas : nullptr, true};
  CopyPixels(bitmap.Canvas(), 0, 0, context.window.Canvas(), x, y, bitmap.width, bitmap.height, rule);
  Show(context, area);
}

namespace {

ScreenPalette::StepWait FadeWait(ScriptContext& context) {
  return [&context, last = context.Clock()]() mutable {
    WaitUntil(context, last + static_cast<uint32_t>(context.settings.fadeStepMs));
    last = context.Clock();
  };
}

}  // namespace

void FadeInPalette(ScriptContext& context, const Palette& palette) {
  context.palette.FadeIn(palette, context.window, FadeWait(context));
}

void FadeOutPalette(ScriptContext& context) { context.palette.FadeOut(context.window, FadeWait(context)); }

void ApplyPalette(ScriptContext& context, const std::optional<Palette>& palette, bool fade) {
  context.palette.Apply(palette, fade, context.window, FadeWait(context));
}

void ScreenToBitmap(ScriptContext& context, Bitmap& bitmap, int64_t x, int64_t y) {
  CopyPixels(context.window.Canvas(), x, y, bitmap.Canvas(), 0, 0, bitmap.width, bitmap.height);
}

}  // namespace script
