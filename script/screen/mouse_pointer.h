#pragma once
// The pointer that the script player draws over its window while a mouse is present (the
// system pointer is invisible there): its position, its image (built in, or a bitmap slot's),
// and when it is drawn or hidden. It is laid over the window's picture, never into its pixels.
#include <array>
#include <cstdint>
#include <optional>

#include "script/screen/pixels.h"

namespace script {

class BitmapSlots;
class ScreenPalette;
class ScriptWindow;

inline constexpr int32_t kPointerWidth = 10;
inline constexpr int32_t kPointerHeight = 19;

// The transparent index of the built-in pointer for the darkest and brightest palette entries.
uint8_t PointerTransparentIndex(int darkest, int brightest);

class MousePointer {
 public:
  // The pointer over the window, its image a bitmap of the slots or the built-in arrow in the
  // palette's colours; all three must outlive it.
  MousePointer(ScriptWindow& window, const BitmapSlots& bitmaps, const ScreenPalette& palette);

  // True when the script player draws the pointer: a mouse is present (asked of the system
  // when first needed, unless it was said).
  bool On();
  void SetPresent(bool present) { present_ = present; }

  // In the window; -1 while the system pointer is elsewhere.
  int32_t X() const { return x_; }
  int32_t Y() const { return y_; }

  // Takes the system pointer's position, kept so that the image fits in the window; -1 (and the
  // pointer hidden) while it is outside. True when it differs from where the pointer is drawn.
  bool Update();
  void Draw();
  void Hide();
  // Hides the drawn pointer when it overlaps the area that is about to change.
  void HideOver(const PixelRect& area);
  // A bitmap slot's image, or -1 for the built-in one; only while the position is known.
  void SetImage(int image);
  // Moves the pointer (and the system pointer) to a window position.
  void MoveTo(int64_t x, int64_t y);
  // Not drawn; the built-in image is made again at the next drawing.
  void Reset();

 private:
  struct Image {
    PixelCanvas canvas;
    uint8_t transparent;
  };
  void RebuildBuiltIn();
  Image CurrentImage();
  void KeepInWindow();

  ScriptWindow& window_;
  const BitmapSlots& bitmaps_;
  const ScreenPalette& palette_;
  std::optional<bool> present_;
  int32_t x_ = -1, y_ = -1;
  bool drawn_ = false;
  int32_t drawnX_ = -1, drawnY_ = -1;
  int image_ = -1;                         // the bitmap slot of its image, -1 for the built-in one
  uint32_t builtForChanges_ = UINT32_MAX;  // the palette's change count the built-in image has
  std::array<uint8_t, kPointerWidth * kPointerHeight> builtIn_{};
  uint8_t builtInTransparent_ = 1;
};

}  // namespace script
