#pragma once
// The palette of the script window: the colours the script set, the lock table that keeps
// entries from changing, the fades, and a count of the changes (the drawn pointer follows it).
// Components are 8 bits; scripts give 0 to 63 where the commands say so (Scale6).
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "script/screen/pixels.h"

namespace script {

class PaletteDisplay;

// A 6-bit component as 8 bits: 63 becomes 255.
constexpr uint8_t Scale6(int value) {
  return static_cast<uint8_t>(((value & 63) << 2) | ((value & 63) >> 4));
}

// The colours of a new window: greys, reds, greens and blues of 64 steps each.
Palette StartPalette();

class ScreenPalette {
 public:
  // Runs after each step of a fade: waits until the step's time has passed.
  using StepWait = std::function<void()>;

  ScreenPalette();

  const Palette& Colors() const { return colors_; }
  uint32_t Changes() const { return changes_; }
  bool Locked(int index) const { return locks_[static_cast<size_t>(index)] != 0; }

  // SCREENPALETTELOCK: entries first to first + count - 1, cut at 255; nothing for a first
  // above 255 or a negative first or count.
  void LockRun(int64_t first, int64_t count, bool lock);
  void ClearLocks() { locks_.fill(0); }

  // Every unlocked entry becomes (level, level, level) / is copied from the palette.
  void FillUnlocked(uint8_t level);
  void CopyUnlocked(const Palette& palette);
  // One entry, lock or not (SCREENFORCEPALETTEZEROBLACK).
  void SetEntry(int index, uint8_t red, uint8_t green, uint8_t blue);

  // Hands the palette to the display and counts the change. The window shows the new colours
  // with its next blit, or at once after the display's ShowPalette.
  void Take(PaletteDisplay& display);
  // CopyUnlocked, then Take.
  void TakeFrom(const Palette& palette, PaletteDisplay& display);
  // From dark to the palette in 16 steps, each component rising to it by 16 a step; the last
  // step is the palette itself.
  void FadeIn(const Palette& target, PaletteDisplay& display, const StepWait& wait);
  // To black in 16 steps of 16.
  void FadeOut(PaletteDisplay& display, const StepWait& wait);
  // A bitmap's palette (nothing for none): faded in, or taken and shown at once when it differs.
  void Apply(const std::optional<Palette>& palette, bool fade, PaletteDisplay& display,
             const StepWait& wait);

 private:
  void Step(const Palette& palette, PaletteDisplay& display, const StepWait& wait);

  Palette colors_{};
  std::array<uint8_t, 256> locks_{};
  uint32_t changes_ = 0;
};

}  // namespace script
