#include "script/screen/mouse_pointer.h"

#include <algorithm>

#include "platform/gui/window.h"
#include "script/language/script_context.h"

namespace script {

namespace {

// The built-in arrow: '#' the darkest colour, 'o' the brightest, '.' transparent.
constexpr const char* kArrow[kPointerHeight] = {
    "#.........", "##........", "#o#.......", "#oo#......", "#ooo#.....", "#oooo#....",
    "#ooooo#...", "#oooooo#..", "#ooooooo#.", "#oooooooo#", "#ooooo####", "#oo#oo#...",
    "#o#.#oo#..", "##..#oo#..", "#....#oo#.", ".....#oo#.", "......#oo#", "......#oo#",
    ".......##.",
};

struct PointerImage {
  PixelCanvas canvas;
  uint8_t transparent;
};

void RebuildBuiltIn(ScriptContext& context) {
  MousePointer& pointer = context.pointer;
  const Palette& palette = context.palette.Colors();
  const int darkest = DarkestIndex(palette), brightest = BrightestIndex(palette);
  pointer.builtInTransparent = PointerTransparentIndex(darkest, brightest);
  for (int32_t row = 0; row < kPointerHeight; ++row) {
    for (int32_t column = 0; column < kPointerWidth; ++column) {
      const char c = kArrow[row][column];
      pointer.builtIn[static_cast<size_t>(row * kPointerWidth + column)] =
          c == '#' ? static_cast<uint8_t>(darkest)
                   : c == 'o' ? static_cast<uint8_t>(brightest) : pointer.builtInTransparent;
    }
  }
  pointer.builtForChanges = context.palette.Changes();
}

// The image now: a freed bitmap slot falls back to the built-in arrow.
PointerImage CurrentImage(ScriptContext& context) {
  MousePointer& pointer = context.pointer;
  if (const Bitmap* bitmap = context.bitmaps.Get(pointer.image)) return {bitmap->Canvas(), 0};
  if (pointer.builtForChanges != context.palette.Changes()) RebuildBuiltIn(context);
  return {{pointer.builtIn.data(), kPointerWidth, kPointerHeight, kPointerWidth, false},
          pointer.builtInTransparent};
}

// Keeps the position where the whole image lies in the window (a 0 x 0 image counts as 1 x 1).
void KeepInWindow(ScriptContext& context) {
  MousePointer& pointer = context.pointer;
  if (pointer.x == -1 || pointer.y == -1) return;
  const PointerImage image = CurrentImage(context);
  const int64_t right = int64_t{context.window.Width()} - std::max(image.canvas.width, 1);
  const int64_t bottom = int64_t{context.window.Height()} - std::max(image.canvas.height, 1);
  pointer.x = static_cast<int32_t>(std::clamp<int64_t>(pointer.x, 0, std::max<int64_t>(right, 0)));
  pointer.y = static_cast<int32_t>(std::clamp<int64_t>(pointer.y, 0, std::max<int64_t>(bottom, 0)));
}

}  // namespace

uint8_t PointerTransparentIndex(int darkest, int brightest) {
  if (darkest == 0) return brightest == 1 ? 2 : 1;
  if (darkest == 1) return brightest == 0 ? 2 : 0;
  return brightest == 1 ? 0 : 1;
}

bool PointerOn(ScriptContext& context) {
  if (!context.pointer.present) context.pointer.present = platform::MousePresent();
  return *context.pointer.present;
}

bool UpdateMousePointer(ScriptContext& context) {
  MousePointer& pointer = context.pointer;
  const auto at = context.window.SystemPointer();
  if (at) {
    pointer.x = at->first;
    pointer.y = at->second;
    KeepInWindow(context);
  } else {
    HideMousePointer(context);
    pointer.x = pointer.y = -1;
  }
  return !pointer.drawn || pointer.x != pointer.drawnX || pointer.y != pointer.drawnY;
}

void DrawMousePointer(ScriptContext& context) {
  MousePointer& pointer = context.pointer;
  if (pointer.x == -1 || pointer.y == -1 || !context.window.Exists()) return;
  if (pointer.drawn && pointer.x == pointer.drawnX && pointer.y == pointer.drawnY &&
      pointer.builtForChanges == context.palette.Changes()) {
    return;
  }
  const PointerImage image = CurrentImage(context);
  context.window.ShowPointer(image.canvas, image.transparent, pointer.x, pointer.y);
  pointer.drawn = true;
  pointer.drawnX = pointer.x;
  pointer.drawnY = pointer.y;
}

void HideMousePointer(ScriptContext& context) {
  if (!context.pointer.drawn) return;
  context.window.HidePointer();
  context.pointer.drawn = false;
}

void HidePointerOver(ScriptContext& context, const PixelRect& area) {
  MousePointer& pointer = context.pointer;
  if (!pointer.drawn) return;
  const PointerImage image = CurrentImage(context);
  const PixelRect drawn{pointer.drawnX, pointer.drawnY, std::max(image.canvas.width, 1),
                        std::max(image.canvas.height, 1)};
  if (RectsOverlap(drawn, area)) HideMousePointer(context);
}

void SetPointerImage(ScriptContext& context, int image) {
  MousePointer& pointer = context.pointer;
  if (pointer.x == -1 || pointer.y == -1 || pointer.image == image) return;
  HideMousePointer(context);
  pointer.image = image;
  KeepInWindow(context);
}

void SetMousePosition(ScriptContext& context, int64_t x, int64_t y) {
  MousePointer& pointer = context.pointer;
  pointer.x = static_cast<int32_t>(std::clamp<int64_t>(x, 0, INT32_MAX));
  pointer.y = static_cast<int32_t>(std::clamp<int64_t>(y, 0, INT32_MAX));
  KeepInWindow(context);
  context.window.MoveSystemPointer(pointer.x, pointer.y);
}

void ResetMousePointer(ScriptContext& context) {
  context.window.HidePointer();
  context.pointer.drawn = false;
  context.pointer.drawnX = context.pointer.drawnY = -1;
  context.pointer.builtForChanges = UINT32_MAX;
}

}  // namespace script
