#include "script/screen/bitmaps.h"

#include <new>

namespace script {

Palette& Bitmap::EnsurePalette() {
  if (!palette) palette.emplace().fill(0);
  return *palette;
}

std::unique_ptr<Bitmap> MakeBitmap(int64_t width, int64_t height) {
  if (width < 0 || height < 0 || width > INT32_MAX || height > INT32_MAX) return nullptr;
  const int64_t count = width * height;  // both below 2^31: no overflow in 64 bits
  if (count > kBitmapPixelLimit) return nullptr;
  auto bitmap = std::make_unique<Bitmap>();
  bitmap->width = static_cast<int32_t>(width);
  bitmap->height = static_cast<int32_t>(height);
  if (count > 0) {
    bitmap->pixels.reset(new (std::nothrow) uint8_t[static_cast<size_t>(count)]);
    if (bitmap->pixels == nullptr) return nullptr;
  }
  return bitmap;
}

void CopyBitmap(const Bitmap& source, Bitmap& destination, int64_t x, int64_t y, CopyMode mode,
                uint8_t key, const Bitmap* mask) {
  if (mode == CopyMode::kMasked &&
      (mask == nullptr || mask->width != destination.width || mask->height != destination.height)) {
    return;
  }
  const PixelCanvas maskCanvas = mask != nullptr ? mask->Canvas() : PixelCanvas{};
  const CopyRule rule{mode, key, mask != nullptr ? &maskCanvas : nullptr, false};
  if (source.width < destination.width || source.height < destination.height) {
    CopyPixels(source.Canvas(), 0, 0, destination.Canvas(), x, y, source.width, source.height, rule);
  } else {
    CopyPixels(source.Canvas(), x, y, destination.Canvas(), 0, 0, destination.width, destination.height, rule);
  }
}

int BitmapSlots::Alloc(int64_t width, int64_t height) {
  for (int slot = 0; slot < kBitmapSlotCount; ++slot) {
    if (slots_[slot] != nullptr) continue;
    slots_[slot] = MakeBitmap(width, height);
    return slots_[slot] != nullptr ? slot : -1;
  }
  return -1;
}

void BitmapSlots::Free(int slot) {
  if (slot >= 0 && slot < kBitmapSlotCount) slots_[slot].reset();
}

Bitmap* BitmapSlots::Get(int slot) const {
  if (slot < 0 || slot >= kBitmapSlotCount) return nullptr;
  return slots_[slot].get();
}

}  // namespace script
