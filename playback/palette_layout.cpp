#include "playback/palette_layout.h"

#include <utility>

namespace playback {

PaletteLayout PaletteLayoutFromFlags(int32_t flags) {
  PaletteLayout layout;
  if (flags & 4) {
    layout.entry_size = 4;
    if (flags & 8) layout = {4, 1, 2, 3};
  }
  if (flags & 2) std::swap(layout.red, layout.blue);
  if (flags & 1) {
    layout.entry_size *= 2;
    layout.red *= 2;
    layout.green *= 2;
    layout.blue *= 2;
  }
  return layout;
}

}  // namespace playback
