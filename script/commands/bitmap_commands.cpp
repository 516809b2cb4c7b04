// Bitmaps: allocate and free them, draw into them, copy them to one another and to and from
// the window, and read and set their palettes.
#include <algorithm>

#include "script/commands/command_handlers.h"
#include "script/language/params.h"
#include "script/screen/screen_drawing.h"
#include "script/language/script_context.h"
#include "script/commands/slot_numbers.h"

namespace script {

namespace {

constexpr int kPaletteEntries = 256;

Bitmap& TakeBitmap(ScriptContext& context) { return *context.bitmaps.Get(TakeBitmapSlot(context)); }

// A position inside the bitmap: one at or past an edge (a negative one too) is pulled to the
// last column or row.
int64_t Clamped(int32_t position, int32_t size) {
  return static_cast<uint32_t>(position) >= static_cast<uint32_t>(size) ? int64_t{size} - 1 : position;
}

// A palette entry as one number: red + green * 256 + blue * 65536.
int32_t PaletteValue(const Palette& palette, int index) {
  const uint8_t* entry = &palette[static_cast<size_t>(index) * 3];
  return entry[0] | entry[1] << 8 | entry[2] << 16;
}

void SetPaletteValue(Palette& palette, int index, int32_t value) {
  uint8_t* entry = &palette[static_cast<size_t>(index) * 3];
  for (int component = 0; component < 3; ++component) entry[component] = static_cast<uint8_t>(value >> (8 * component));
}

bool IsPaletteIndex(int32_t index) { return index >= 0 && index < kPaletteEntries; }

// The bitmap to window copies: the window's position is taken after the bitmaps.
void CopyToScreen(ScriptContext& context, const Bitmap& bitmap, CopyMode mode, const Bitmap* mask) {
  const int64_t x = TakeWindowX(context), y = TakeWindowY(context);
  const uint8_t key = mode == CopyMode::kPlain ? 0 : TakeColor(context);
  BitmapToScreen(context, bitmap, x, y, mode, key, mask);
}

// The bitmap to bitmap copies: source and destination first, the mask between them and the
// position.
void CopyToBitmap(ScriptContext& context, CopyMode mode) {
  const Bitmap& source = TakeBitmap(context);
  Bitmap& destination = TakeBitmap(context);
  const Bitmap* mask = mode == CopyMode::kMasked ? &TakeBitmap(context) : nullptr;
  const int32_t x = TakeNumber(context), y = TakeNumber(context);
  const uint8_t key = mode == CopyMode::kPlain ? 0 : TakeColor(context);
  CopyBitmap(source, destination, x, y, mode, key, mask);
}

// The parameters of the boxes: bitmap, x, y, width, height, colour.
struct BoxParams {
  const Bitmap& bitmap;
  int64_t x, y, width, height;
  uint8_t color;
};

BoxParams TakeBox(ScriptContext& context) {
  const Bitmap& bitmap = TakeBitmap(context);
  const int64_t x = TakeNumber(context), y = TakeNumber(context);
  const int64_t width = TakeNumber(context), height = TakeNumber(context);
  return {bitmap, x, y, width, height, TakeColor(context)};
}

void SetIndexOfPalette(ScriptContext& context, int (*pick)(const Palette&)) {
  const std::string variable = TakeVariable(context);
  const Bitmap& bitmap = TakeBitmap(context);
  SetVariableNumber(context, variable, bitmap.palette ? pick(*bitmap.palette) : 0);
}

}  // namespace

void CommandBitmapAlloc(ScriptContext& context) {
  const std::string variable = TakeVariable(context);
  const int32_t width = TakeNumber(context), height = TakeNumber(context);
  const int slot = context.bitmaps.Alloc(width, height);
  SetVariableNumber(context, variable, slot >= 0 ? kBitmapNumberBase + slot : 0);
}

void CommandBitmapFree(ScriptContext& context) {
  const std::string variable = TakeVariable(context);
  FreeBitmap(context, BitmapSlotOf(context, TextToNumber(GetVariable(context, variable)), false));
  SetVariable(context, variable, "");
}

void CommandBitmapList(ScriptContext& context) { ListBitmaps(context); }

void CommandBitmapWidth(ScriptContext& context) {
  const std::string variable = TakeVariable(context);
  SetVariableNumber(context, variable, TakeBitmap(context).width);
}

void CommandBitmapHeight(ScriptContext& context) {
  const std::string variable = TakeVariable(context);
  SetVariableNumber(context, variable, TakeBitmap(context).height);
}

void CommandBitmapClear(ScriptContext& context) {
  const Bitmap& bitmap = TakeBitmap(context);
  ClearCanvas(bitmap.Canvas(), TakeColor(context));
}

void CommandBitmapChangeColor(ScriptContext& context) {
  const Bitmap& bitmap = TakeBitmap(context);
  const uint8_t from = TakeColor(context), to = TakeColor(context);
  const size_t count = static_cast<size_t>(int64_t{bitmap.width} * bitmap.height);
  std::replace(bitmap.pixels.get(), bitmap.pixels.get() + count, from, to);
}

void CommandBitmapSetPixel(ScriptContext& context) {
  const Bitmap& bitmap = TakeBitmap(context);
  const int32_t x = TakeNumber(context), y = TakeNumber(context);
  SetPixel(bitmap.Canvas(), Clamped(x, bitmap.width), Clamped(y, bitmap.height), TakeColor(context));
}

void CommandBitmapGetPixel(ScriptContext& context) {
  const std::string variable = TakeVariable(context);
  const Bitmap& bitmap = TakeBitmap(context);
  const int32_t x = TakeNumber(context), y = TakeNumber(context);
  SetVariableNumber(context, variable, GetPixel(bitmap.Canvas(), Clamped(x, bitmap.width), Clamped(y, bitmap.height)));
}

void CommandBitmapLine(ScriptContext& context) {
  const Bitmap& bitmap = TakeBitmap(context);
  const int32_t x0 = TakeNumber(context), y0 = TakeNumber(context);
  const int32_t x1 = TakeNumber(context), y1 = TakeNumber(context);
  DrawLine(bitmap.Canvas(), x0, y0, x1, y1, TakeColor(context));
}

// The outline through (x, y) and (x + w, y + h): w + 1 by h + 1 pixels.
void CommandBitmapBox(ScriptContext& context) {
  const BoxParams box = TakeBox(context);
  DrawOutline(box.bitmap.Canvas(), box.x, box.y, box.x + box.width, box.y + box.height, box.color);
}

void CommandBitmapFilledBox(ScriptContext& context) {
  const BoxParams box = TakeBox(context);
  FillBox(box.bitmap.Canvas(), box.x, box.y, box.width, box.height, box.color);
}

void CommandBitmapText(ScriptContext& context) {
  const Bitmap& bitmap = TakeBitmap(context);
  const int32_t x = TakeNumber(context), y = TakeNumber(context);
  DrawText(bitmap.Canvas(), x, y, TakeText(context), context.text.CurrentFont(), context.text.colors);
}

void CommandBitmapToBitmap(ScriptContext& context) { CopyToBitmap(context, CopyMode::kPlain); }

void CommandBitmapToBitmapTrans(ScriptContext& context) { CopyToBitmap(context, CopyMode::kTransparent); }

void CommandBitmapToBitmapMask(ScriptContext& context) { CopyToBitmap(context, CopyMode::kMasked); }

void CommandBitmapToScreen(ScriptContext& context) {
  RequireWindow(context);
  CopyToScreen(context, TakeBitmap(context), CopyMode::kPlain, nullptr);
}

void CommandBitmapToScreenTrans(ScriptContext& context) {
  RequireWindow(context);
  CopyToScreen(context, TakeBitmap(context), CopyMode::kTransparent, nullptr);
}

void CommandBitmapToScreenMask(ScriptContext& context) {
  RequireWindow(context);
  const Bitmap& bitmap = TakeBitmap(context);
  CopyToScreen(context, bitmap, CopyMode::kMasked, &TakeBitmap(context));
}

void CommandBitmapFromScreen(ScriptContext& context) {
  RequireWindow(context);
  Bitmap& bitmap = TakeBitmap(context);
  const int64_t x = TakeWindowX(context), y = TakeWindowY(context);
  ScreenToBitmap(context, bitmap, x, y);
}

void CommandBitmapGetPalette(ScriptContext& context) {
  TakeBitmap(context).palette = context.palette.Colors();
}

void CommandBitmapSetPalette(ScriptContext& context) {
  ApplyPalette(context, TakeBitmap(context).palette, false);
}

void CommandBitmapFadeInPalette(ScriptContext& context) {
  ApplyPalette(context, TakeBitmap(context).palette, true);
}

void CommandBitmapPaletteToPalette(ScriptContext& context) {
  Bitmap& destination = TakeBitmap(context);
  destination.palette = TakeBitmap(context).palette;
}

void CommandBitmapGetPaletteValue(ScriptContext& context) {
  const std::string variable = TakeVariable(context);
  const Bitmap& bitmap = TakeBitmap(context);
  const int32_t index = TakeNumber(context);
  const bool known = bitmap.palette && IsPaletteIndex(index);
  SetVariableNumber(context, variable, known ? PaletteValue(*bitmap.palette, index) : 0);
}

void CommandBitmapSetPaletteValue(ScriptContext& context) {
  Bitmap& bitmap = TakeBitmap(context);
  const int32_t index = TakeNumber(context);
  const int32_t value = TakeNumber(context);
  if (IsPaletteIndex(index)) SetPaletteValue(bitmap.EnsurePalette(), index, value);
}

void CommandBitmapGetDarkestPaletteIndex(ScriptContext& context) { SetIndexOfPalette(context, DarkestIndex); }

void CommandBitmapGetBrightestPaletteIndex(ScriptContext& context) {
  SetIndexOfPalette(context, BrightestIndex);
}

}  // namespace script
