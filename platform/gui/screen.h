#pragma once
// What the toolkit needs to know about the screen windows are shown on.
#include <array>
#include <cstdint>
#include <optional>

namespace platform {

struct ScreenInfo {
  int width = 0;
  int height = 0;
  int bits_per_pixel = 32;  // colour bits of one pixel, all planes together
  // Palette screens only (8 bits per pixel or fewer); a true-colour screen has none of this.
  int reserved_palette_entries = 0;  // entries the system keeps for its static colours
  bool static_colors_off = false;    // the system leaves only black and white static
  std::array<uint32_t, 256> system_palette{};  // 0x00RRGGBB per entry
};

// The primary screen as the window system reports it (or as a test set it).
ScreenInfo QueryScreen();

// Tests describe a screen of their own (for example a 256-colour one); nullopt restores the real one.
void SetScreenForTesting(std::optional<ScreenInfo> screen);

}  // namespace platform
