#pragma once
// Drawing in the script window at window coordinates (the coordinate offsets already added).
// Each call hides the drawn pointer where it is about to change the picture, draws (clipped to
// the window), and shows what changed. Without a window they do nothing; the commands check
// for the window first.
#include <cstdint>
#include <optional>

#include "script/screen/pixels.h"

namespace script {

class ScriptContext;
struct Bitmap;

// A window position parameter: the number with the coordinate offset added.
int64_t TakeWindowX(ScriptContext& context);
int64_t TakeWindowY(ScriptContext& context);

void ScreenSetPixel(ScriptContext& context, int64_t x, int64_t y, uint8_t color);
// 0 outside the window.
uint8_t ScreenGetPixel(ScriptContext& context, int64_t x, int64_t y);
void ScreenClear(ScriptContext& context, uint8_t color);
void ScreenFilledBox(ScriptContext& context, int64_t x, int64_t y, int64_t width, int64_t height,
                     uint8_t color);
// End points outside the window are pulled to its last column or row.
void ScreenLine(ScriptContext& context, int64_t x0, int64_t y0, int64_t x1, int64_t y1, uint8_t color);
// The outline of width x height pixels from (x, y).
void ScreenBox(ScriptContext& context, int64_t x, int64_t y, int64_t width, int64_t height,
               uint8_t color);

// The bitmap at (x, y): plain, leaving out a transparent colour, or through a mask of the
// bitmap's size (a mask of another size copies nothing).
void BitmapToScreen(ScriptContext& context, const Bitmap& bitmap, int64_t x, int64_t y,
                    CopyMode mode = CopyMode::kPlain, uint8_t key = 0, const Bitmap* mask = nullptr);
// The window palette's fades, each step taking the fade step time, and a bitmap's palette
// taken (faded in, or at once when it differs); locked entries stay as they are.
void FadeInPalette(ScriptContext& context, const Palette& palette);
void FadeOutPalette(ScriptContext& context);
void ApplyPalette(ScriptContext& context, const std::optional<Palette>& palette, bool fade);

// Fills the bitmap from the window's area of the bitmap's size at (x, y); pixels outside the
// window are left as they were.
void ScreenToBitmap(ScriptContext& context, Bitmap& bitmap, int64_t x, int64_t y);

}  // namespace script
