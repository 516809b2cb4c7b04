// Bitmaps: allocate and free them, draw into them, copy them to one another and to and from
// the window, and read and set their palettes.
#include <algorithm>

#include "script/commands/command_context.h"
#include "script/commands/command_families.h"
#include "script/language/params.h"
#include "script/screen/screen_drawing.h"
#include "script/commands/slot_numbers.h"

namespace script {

namespace {

constexpr int kPaletteEntries = 256;

Bitmap& TakeBitmap(CommandContext& context) { return *context.screen.bitmaps.Get(TakeBitmapSlot(context)); }

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
void CopyToScreen(CommandContext& context, const Bitmap& bitmap, CopyMode mode, const Bitmap* mask) {
  Screen& screen = context.screen;
  const int64_t x = TakeWindowX(context, screen.settings), y = TakeWindowY(context, screen.settings);
  const uint8_t key = mode == CopyMode::kPlain ? 0 : TakeColor(context);
  BitmapToScreen(screen.window, screen.pointer, bitmap, x, y, mode, key, mask);
}

// The bitmap to bitmap copies: source and destination first, the mask between them and the
// position.
void CopyToBitmap(CommandContext& context, CopyMode mode) {
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

BoxParams TakeBox(CommandContext& context) {
  const Bitmap& bitmap = TakeBitmap(context);
  const int64_t x = TakeNumber(context), y = TakeNumber(context);
  const int64_t width = TakeNumber(context), height = TakeNumber(context);
  return {bitmap, x, y, width, height, TakeColor(context)};
}

// A bitmap's palette into the window: faded in, or taken at once when it differs.
void ApplyBitmapPalette(CommandContext& context, bool fade) {
  Screen& screen = context.screen;
  const Bitmap& bitmap = TakeBitmap(context);
  screen.palette.Apply(bitmap.palette, fade, screen.window, FadeStepWait(context, screen.settings));
}

void SetIndexOfPalette(CommandContext& context, int (*pick)(const Palette&)) {
  const std::string variable = TakeVariable(context);
  const Bitmap& bitmap = TakeBitmap(context);
  SetVariableNumber(context, variable, bitmap.palette ? pick(*bitmap.palette) : 0);
}

void CommandBitmapAlloc(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  const int32_t width = TakeNumber(context), height = TakeNumber(context);
  const int slot = context.screen.bitmaps.Alloc(width, height);
  SetVariableNumber(context, variable, slot >= 0 ? kBitmapNumberBase + slot : 0);
}

void CommandBitmapFree(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  FreeBitmap(context.screen, BitmapSlotOf(context, TextToNumber(GetVariable(context, variable)), false));
  SetVariable(context, variable, "");
}

void CommandBitmapList(CommandContext& context) { ListBitmaps(context); }

void CommandBitmapWidth(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  SetVariableNumber(context, variable, TakeBitmap(context).width);
}

void CommandBitmapHeight(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  SetVariableNumber(context, variable, TakeBitmap(context).height);
}

void CommandBitmapClear(CommandContext& context) {
  const Bitmap& bitmap = TakeBitmap(context);
  ClearCanvas(bitmap.Canvas(), TakeColor(context));
}

void CommandBitmapChangeColor(CommandContext& context) {
  const Bitmap& bitmap = TakeBitmap(context);
  const uint8_t from = TakeColor(context), to = TakeColor(context);
  const size_t count = static_cast<size_t>(int64_t{bitmap.width} * bitmap.height);
  std::replace(bitmap.pixels.get(), bitmap.pixels.get() + count, from, to);
}

void CommandBitmapSetPixel(CommandContext& context) {
  const Bitmap& bitmap = TakeBitmap(context);
  const int32_t x = TakeNumber(context), y = TakeNumber(context);
  SetPixel(bitmap.Canvas(), Clamped(x, bitmap.width), Clamped(y, bitmap.height), TakeColor(context));
}

void CommandBitmapGetPixel(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  const Bitmap& bitmap = TakeBitmap(context);
  const int32_t x = TakeNumber(context), y = TakeNumber(context);
  SetVariableNumber(context, variable, GetPixel(bitmap.Canvas(), Clamped(x, bitmap.width), Clamped(y, bitmap.height)));
}

void CommandBitmapLine(CommandContext& context) {
  const Bitmap& bitmap = TakeBitmap(context);
  const int32_t x0 = TakeNumber(context), y0 = TakeNumber(context);
  const int32_t x1 = TakeNumber(context), y1 = TakeNumber(context);
  DrawLine(bitmap.Canvas(), x0, y0, x1, y1, TakeColor(context));
}

// The outline through (x, y) and (x + w, y + h): w + 1 by h + 1 pixels.
void CommandBitmapBox(CommandContext& context) {
  const BoxParams box = TakeBox(context);
  DrawOutline(box.bitmap.Canvas(), box.x, box.y, box.x + box.width, box.y + box.height, box.color);
}

void CommandBitmapFilledBox(CommandContext& context) {
  const BoxParams box = TakeBox(context);
  FillBox(box.bitmap.Canvas(), box.x, box.y, box.width, box.height, box.color);
}

void CommandBitmapText(CommandContext& context) {
  Screen& screen = context.screen;
  const Bitmap& bitmap = TakeBitmap(context);
  const int32_t x = TakeNumber(context), y = TakeNumber(context);
  DrawText(bitmap.Canvas(), x, y, TakeText(context), screen.text.CurrentFont(), screen.text.colors);
}

void CommandBitmapToBitmap(CommandContext& context) { CopyToBitmap(context, CopyMode::kPlain); }

void CommandBitmapToBitmapTrans(CommandContext& context) { CopyToBitmap(context, CopyMode::kTransparent); }

void CommandBitmapToBitmapMask(CommandContext& context) { CopyToBitmap(context, CopyMode::kMasked); }

void CommandBitmapToScreen(CommandContext& context) {
  RequireWindow(context, context.screen.window);
  CopyToScreen(context, TakeBitmap(context), CopyMode::kPlain, nullptr);
}

void CommandBitmapToScreenTrans(CommandContext& context) {
  RequireWindow(context, context.screen.window);
  CopyToScreen(context, TakeBitmap(context), CopyMode::kTransparent, nullptr);
}

void CommandBitmapToScreenMask(CommandContext& context) {
  RequireWindow(context, context.screen.window);
  const Bitmap& bitmap = TakeBitmap(context);
  CopyToScreen(context, bitmap, CopyMode::kMasked, &TakeBitmap(context));
}

void CommandBitmapFromScreen(CommandContext& context) {
  Screen& screen = context.screen;
  RequireWindow(context, screen.window);
  Bitmap& bitmap = TakeBitmap(context);
  const int64_t x = TakeWindowX(context, screen.settings), y = TakeWindowY(context, screen.settings);
  ScreenToBitmap(screen.window, bitmap, x, y);
}

void CommandBitmapGetPalette(CommandContext& context) {
  TakeBitmap(context).palette = context.screen.palette.Colors();
}

void CommandBitmapSetPalette(CommandContext& context) { ApplyBitmapPalette(context, false); }

void CommandBitmapFadeInPalette(CommandContext& context) { ApplyBitmapPalette(context, true); }

void CommandBitmapPaletteToPalette(CommandContext& context) {
  Bitmap& destination = TakeBitmap(context);
  destination.palette = TakeBitmap(context).palette;
}

void CommandBitmapGetPaletteValue(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  const Bitmap& bitmap = TakeBitmap(context);
  const int32_t index = TakeNumber(context);
  const bool known = bitmap.palette && IsPaletteIndex(index);
  SetVariableNumber(context, variable, known ? PaletteValue(*bitmap.palette, index) : 0);
}

void CommandBitmapSetPaletteValue(CommandContext& context) {
  Bitmap& bitmap = TakeBitmap(context);
  const int32_t index = TakeNumber(context);
  const int32_t value = TakeNumber(context);
  if (IsPaletteIndex(index)) SetPaletteValue(bitmap.EnsurePalette(), index, value);
}

void CommandBitmapGetDarkestPaletteIndex(CommandContext& context) { SetIndexOfPalette(context, DarkestIndex); }

void CommandBitmapGetBrightestPaletteIndex(CommandContext& context) {
  SetIndexOfPalette(context, BrightestIndex);
}

constexpr CommandEntry kEntries[] = {
    {"BITMAPALLOC", CommandBitmapAlloc},
    {"BITMAPBOX", CommandBitmapBox},
    {"BITMAPCHANGECOLOR", CommandBitmapChangeColor},
    {"BITMAPCLEAR", CommandBitmapClear},
    {"BITMAPFADEINPALETTE", CommandBitmapFadeInPalette},
    {"BITMAPFILLEDBOX", CommandBitmapFilledBox},
    {"BITMAPFREE", CommandBitmapFree},
    {"BITMAPFROMSCREEN", CommandBitmapFromScreen},
    {"BITMAPGETBRIGHTESTPALETTEINDEX", CommandBitmapGetBrightestPaletteIndex},
    {"BITMAPGETDARKESTPALETTEINDEX", CommandBitmapGetDarkestPaletteIndex},
    {"BITMAPGETPALETTE", CommandBitmapGetPalette},
    {"BITMAPGETPALETTEVALUE", CommandBitmapGetPaletteValue},
    {"BITMAPGETPIXEL", CommandBitmapGetPixel},
    {"BITMAPHEIGHT", CommandBitmapHeight},
    {"BITMAPLINE", CommandBitmapLine},
    {"BITMAPLIST", CommandBitmapList},
    {"BITMAPPALETTETOPALETTE", CommandBitmapPaletteToPalette},
    {"BITMAPSETPALETTE", CommandBitmapSetPalette},
    {"BITMAPSETPALETTEVALUE", CommandBitmapSetPaletteValue},
    {"BITMAPSETPIXEL", CommandBitmapSetPixel},
    {"BITMAPTEXT", CommandBitmapText},
    {"BITMAPTOBITMAP", CommandBitmapToBitmap},
    {"BITMAPTOBITMAPMASK", CommandBitmapToBitmapMask},
    {"BITMAPTOBITMAPTRANS", CommandBitmapToBitmapTrans},
    {"BITMAPTOSCREEN", CommandBitmapToScreen},
    {"BITMAPTOSCREENMASK", CommandBitmapToScreenMask},
    {"BITMAPTOSCREENTRANS", CommandBitmapToScreenTrans},
    {"BITMAPWIDTH", CommandBitmapWidth},
};

}  // namespace

std::span<const CommandEntry> BitmapCommands() { return kEntries; }

}  // namespace script
