#include "script/screen/mouse_pointer.h"

#include <algorithm>

#include "platform/gui/window.h"
#include "script/screen/bitmaps.h"
#include "script/screen/screen_palette.h"
#include "script/screen/script_window.h"

namespace script {

namespace {

// The built-in arrow: '#' the darkest colour, 'o' the brightest, '.' transparent.
constexpr const char* kArrow[kPointerHeight] = {
    "#.........", "##........", "#o#.......", "#oo#......", "#ooo#.....", "#oooo#....",
    "#ooooo#...", "#oooooo#..", "#ooooooo#.", "#oooooooo#", "#ooooo####", "#oo#oo#...",
    "#o#.#oo#..", "##..#oo#..", "#....#oo#.", ".....#oo#.", "......#oo#", "......#oo#",
    ".......##.",
};

}  // namespace

uint8_t PointerTransparentIndex(int darkest, int brightest) {
  if (darkest == 0) return brightest == 1 ? 2 : 1;
  if (darkest == 1) return brightest == 0 ? 2 : 0;
  return brightest == 1 ? 0 : 1;
}

MousePointer::MousePointer(ScriptWindow& window, const BitmapSlots& bitmaps, const ScreenPalette& palette)
    : window_(window), bitmaps_(bitmaps), palette_(palette) {}

void MousePointer::RebuildBuiltIn() {
  const Palette& palette = palette_.Colors();
  const int darkest = DarkestIndex(palette), brightest = BrightestIndex(palette);
  builtInTransparent_ = PointerTransparentIndex(darkest, brightest);
  for (int32_t row = 0; row < kPointerHeight; ++row) {
    for (int32_t column = 0; column < kPointerWidth; ++column) {
      const char c = kArrow[row][column];
      builtIn_[static_cast<size_t>(row * kPointerWidth + column)] =
          c == '#' ? static_cast<uint8_t>(darkest)
                   : c == 'o' ? static_cast<uint8_t>(brightest) : builtInTransparent_;
    }
  }
  builtForChanges_ = palette_.Changes();
}

// The image now: a freed bitmap slot falls back to the built-in arrow.
MousePointer::Image MousePointer::CurrentImage() {
  if (const Bitmap* bitmap = bitmaps_.Get(image_)) return {bitmap->Canvas(), 0};
  if (builtForChanges_ != palette_.Changes()) RebuildBuiltIn();
  return {{builtIn_.data(), kPointerWidth, kPointerHeight, kPointerWidth, false}, builtInTransparent_};
}

// Keeps the position where the whole image lies in the window (a 0 x 0 image counts as 1 x 1).
void MousePointer::KeepInWindow() {
  if (x_ == -1 || y_ == -1) return;
  const Image image = CurrentImage();
  const int64_t right = int64_t{window_.Width()} - std::max(image.canvas.width, 1);
  const int64_t bottom = int64_t{window_.Height()} - std::max(image.canvas.height, 1);
  x_ = static_cast<int32_t>(std::clamp<int64_t>(x_, 0, std::max<int64_t>(right, 0)));
  y_ = static_cast<int32_t>(std::clamp<int64_t>(y_, 0, std::max<int64_t>(bottom, 0)));
}

bool MousePointer::On() {
  if (!present_) present_ = platform::MousePresent();
  return *present_;
}

bool MousePointer::Update() {
  const auto at = window_.SystemPointer();
  if (at) {
    x_ = at->first;
    y_ = at->second;
    KeepInWindow();
  } else {
    Hide();
    x_ = y_ = -1;
  }
  return !drawn_ || x_ != drawnX_ || y_ != drawnY_;
}

void MousePointer::Draw() {
  if (x_ == -1 || y_ == -1 || !window_.Exists()) return;
  if (drawn_ && x_ == drawnX_ && y_ == drawnY_ && builtForChanges_ == palette_.Changes()) return;
  const Image image = CurrentImage();
  window_.ShowPointer(image.canvas, image.transparent, x_, y_);
  drawn_ = true;
  drawnX_ = x_;
  drawnY_ = y_;
}

void MousePointer::Hide() {
  if (!drawn_) return;
  window_.HidePointer();
  drawn_ = false;
}

void MousePointer::HideOver(const PixelRect& area) {
  if (!drawn_) return;
  const Image image = CurrentImage();
  const PixelRect drawn{drawnX_, drawnY_, std::max(image.canvas.width, 1), std::max(image.canvas.height, 1)};
  if (RectsOverlap(drawn, area)) Hide();
}

void MousePointer::SetImage(int image) {
  if (x_ == -1 || y_ == -1 || image_ == image) return;
  Hide();
  image_ = image;
  KeepInWindow();
}

void MousePointer::MoveTo(int64_t x, int64_t y) {
  x_ = static_cast<int32_t>(std::clamp<int64_t>(x, 0, INT32_MAX));
  y_ = static_cast<int32_t>(std::clamp<int64_t>(y, 0, INT32_MAX));
  KeepInWindow();
  window_.MoveSystemPointer(x_, y_);
}

void MousePointer::Reset() {
  window_.HidePointer();
  drawn_ = false;
  drawnX_ = drawnY_ = -1;
  builtForChanges_ = UINT32_MAX;
}

}  // namespace script
