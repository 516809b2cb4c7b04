#pragma once
// The pointer that the script player draws over its window while a mouse is present (the
// system pointer is invisible there): its position, its image (built in, or a bitmap slot's),
// and when it is drawn or hidden. It is laid over the window's picture, never into its pixels.
#include <array>
#include <cstdint>
#include <optional>

#include "script/screen/pixels.h"

namespace script {

class ScriptContext;

inline constexpr int32_t kPointerWidth = 10;
inline constexpr int32_t kPointerHeight = 19;

struct MousePointer {
  std::optional<bool> present;  // a mouse, asked of the system when first needed
  int32_t x = -1, y = -1;       // in the window; -1 while the system pointer is elsewhere
  bool drawn = false;
  int32_t drawnX = -1, drawnY = -1;
  int image = -1;               // the bitmap slot of its image, -1 for the built-in one
  uint32_t builtForChanges = UINT32_MAX;  // the palette's change count the built-in image has
  std::array<uint8_t, kPointerWidth * kPointerHeight> builtIn{};
  uint8_t builtInTransparent = 1;
};

// The transparent index of the built-in pointer for the darkest and brightest palette entries.
uint8_t PointerTransparentIndex(int darkest, int brightest);

// True when the script player draws the pointer: a mouse is present.
bool PointerOn(ScriptContext& context);

// Takes the system pointer's position, kept so that the image fits in the window; -1 (and the
// pointer hidden) while it is outside. True when it differs from where the pointer is drawn.
bool UpdateMousePointer(ScriptContext& context);
void DrawMousePointer(ScriptContext& context);
void HideMousePointer(ScriptContext& context);
// Hides the drawn pointer when it overlaps the area that is about to change.
void HidePointerOver(ScriptContext& context, const PixelRect& area);
// A bitmap slot's image, or -1 for the built-in one; only while the position is known.
void SetPointerImage(ScriptContext& context, int image);
// Moves the pointer (and the system pointer) to a window position.
void SetMousePosition(ScriptContext& context, int64_t x, int64_t y);
// Not drawn; the built-in image is made again at the next drawing.
void ResetMousePointer(ScriptContext& context);

}  // namespace script
