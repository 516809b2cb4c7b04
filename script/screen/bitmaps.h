#pragma once
// The script's bitmaps: 8-bit pictures in 128 slots, which scripts name by 9000 + slot. A
// bitmap may have no pixels at all (a width or height of 0): it still holds a palette.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "script/screen/pixels.h"

namespace script {

inline constexpr int kBitmapSlotCount = 128;
inline constexpr int kBitmapNumberBase = 9000;
// The largest bitmap, in pixels; larger requests are refused like an allocation that failed.
inline constexpr int64_t kBitmapPixelLimit = int64_t{1} << 30;

struct Bitmap {
  int32_t width = 0;
  int32_t height = 0;
  std::unique_ptr<uint8_t[]> pixels;  // width x height, rows top-down; null for no pixels
  std::optional<Palette> palette;

  PixelCanvas Canvas() const { return {pixels.get(), width, height, width, false}; }
  // The palette, made all black first when the bitmap has none.
  Palette& EnsurePalette();
};

// A bitmap of that size with uninitialised pixels; null for a negative size, one past the
// limit, or when the memory cannot be had.
std::unique_ptr<Bitmap> MakeBitmap(int64_t width, int64_t height);

// Bitmap to bitmap at (x, y). A source narrower or lower than the destination is put at (x, y)
// in it; a source at least as large both ways fills the whole destination from its own area at
// (x, y). Clipped to both; the masked copy needs a mask of the destination's size (read where
// the destination pixel is) and does nothing with another.
void CopyBitmap(const Bitmap& source, Bitmap& destination, int64_t x, int64_t y,
                CopyMode mode = CopyMode::kPlain, uint8_t key = 0, const Bitmap* mask = nullptr);

class BitmapSlots {
 public:
  // The first free slot, holding a new bitmap; -1 when none is free or the bitmap cannot be made.
  int Alloc(int64_t width, int64_t height);
  // Frees the bitmap; a free or invalid slot is left alone. (Commands free through FreeBitmap,
  // which also lets go of what refers to the bitmap.)
  void Free(int slot);
  // The bitmap of the slot, null for a free or invalid slot.
  Bitmap* Get(int slot) const;

 private:
  std::array<std::unique_ptr<Bitmap>, kBitmapSlotCount> slots_;
};

}  // namespace script
