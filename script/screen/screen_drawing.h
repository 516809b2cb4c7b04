#pragma once
// Drawing in the script window at window coordinates (the coordinate offsets already added).
// Each call hides the drawn pointer where it is about to change the picture, draws (clipped to
// the window), and shows what changed. Without a window they do nothing; the commands check
// for the window first.
#include <cstdint>

#include "script/screen/pixels.h"
#include "script/screen/screen_palette.h"

namespace script {

class MousePointer;
class ScriptContext;
class ScriptWindow;
struct Bitmap;
struct WindowSettings;

// A window position parameter: the number with the coordinate offset added.
int64_t TakeWindowX(ScriptContext& context, const WindowSettings& settings);
int64_t TakeWindowY(ScriptContext& context, const WindowSettings& settings);

void ScreenSetPixel(ScriptWindow& window, MousePointer& pointer, int64_t x, int64_t y, uint8_t color);
// 0 outside the window.
uint8_t ScreenGetPixel(const ScriptWindow& window, int64_t x, int64_t y);
void ScreenClear(ScriptWindow& window, MousePointer& pointer, uint8_t color);
void ScreenFilledBox(ScriptWindow& window, MousePointer& pointer, int64_t x, int64_t y, int64_t width,
                     int64_t height, uint8_t color);
// End points outside the window are pulled to its last column or row.
void ScreenLine(ScriptWindow& window, MousePointer& pointer, int64_t x0, int64_t y0, int64_t x1, int64_t y1,
                uint8_t color);
// The outline of width x height pixels from (x, y).
void ScreenBox(ScriptWindow& window, MousePointer& pointer, int64_t x, int64_t y, int64_t width, int64_t height,
               uint8_t color);

// The bitmap at (x, y): plain, leaving out a transparent colour, or through a mask of the
// bitmap's size (a mask of another size copies nothing).
void BitmapToScreen(ScriptWindow& window, MousePointer& pointer, const Bitmap& bitmap, int64_t x, int64_t y,
                    CopyMode mode = CopyMode::kPlain, uint8_t key = 0, const Bitmap* mask = nullptr);

// Fills the bitmap from the window's area of the bitmap's size at (x, y); pixels outside the
// window are left as they were.
void ScreenToBitmap(const ScriptWindow& window, Bitmap& bitmap, int64_t x, int64_t y);

// The wait after each step of a palette fade: until the settings' fade step time has passed
// since the last step ended.
ScreenPalette::StepWait FadeStepWait(ScriptContext& context, const WindowSettings& settings);

}  // namespace script
