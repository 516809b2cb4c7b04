#pragma once
// Where the components of a caller's palette entries sit, from the layout flags that palette
// calls take: 3-byte red, green, blue entries by default; 4: 4-byte entries (with 8 as well the
// components start at the second byte); 2: red and blue swapped; 1: 16-bit components, of which
// the first byte counts.
#include <cstddef>
#include <cstdint>

namespace playback {

struct PaletteLayout {
  size_t entry_size = 3;
  size_t red = 0;
  size_t green = 1;
  size_t blue = 2;
};

PaletteLayout PaletteLayoutFromFlags(int32_t flags);

}  // namespace playback
