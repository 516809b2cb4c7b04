#include "script/screen/screen_palette.h"

#include <algorithm>

#include "script/screen/script_window.h"

namespace script {

namespace {

constexpr int kFadeSteps = 16;
constexpr int kFadeStepSize = 16;

}  // namespace

Palette StartPalette() {
  Palette palette{};
  for (int k = 0; k < 256; ++k) {
    uint8_t* entry = &palette[static_cast<size_t>(k) * 3];
    const uint8_t level = Scale6(k % 64);
    if (k < 64) {
      entry[0] = entry[1] = entry[2] = level;
    } else {
      entry[k / 64 - 1] = level;  // 64-127 red, 128-191 green, 192-255 blue
    }
  }
  return palette;
}

ScreenPalette::ScreenPalette() = default;

void ScreenPalette::LockRun(int64_t first, int64_t count, bool lock) {
  if (first < 0 || count < 0 || first > 255) return;
  const int64_t end = std::min<int64_t>(first + count, 256);
  for (int64_t i = first; i < end; ++i) locks_[static_cast<size_t>(i)] = lock ? 1 : 0;
}

void ScreenPalette::FillUnlocked(uint8_t level) {
  for (size_t i = 0; i < 256; ++i) {
    if (locks_[i] == 0) std::fill_n(colors_.begin() + static_cast<ptrdiff_t>(i * 3), 3, level);
  }
}

void ScreenPalette::CopyUnlocked(const Palette& palette) {
  for (size_t i = 0; i < 256; ++i) {
    if (locks_[i] == 0) std::copy_n(palette.begin() + static_cast<ptrdiff_t>(i * 3), 3, colors_.begin() + static_cast<ptrdiff_t>(i * 3));
  }
}

void ScreenPalette::SetEntry(int index, uint8_t red, uint8_t green, uint8_t blue) {
  uint8_t* entry = &colors_[static_cast<size_t>(index) * 3];
  entry[0] = red;
  entry[1] = green;
  entry[2] = blue;
}

void ScreenPalette::Take(PaletteDisplay& display) {
  display.TakePalette(colors_);
  ++changes_;
}

void ScreenPalette::TakeFrom(const Palette& palette, PaletteDisplay& display) {
  CopyUnlocked(palette);
  Take(display);
}

void ScreenPalette::Step(const Palette& palette, PaletteDisplay& display, const StepWait& wait) {
  CopyUnlocked(palette);
  display.TakePalette(colors_);
  display.ShowPalette();
  if (wait) wait();
}

void ScreenPalette::FadeIn(const Palette& target, PaletteDisplay& display, const StepWait& wait) {
  Palette step{};
  for (int offset = kFadeSteps * kFadeStepSize - 1; offset > 0; offset -= kFadeStepSize) {
    for (size_t i = 0; i < step.size(); ++i) step[i] = target[i] > offset ? static_cast<uint8_t>(target[i] - offset) : 0;
    Step(step, display, wait);
  }
  CopyUnlocked(target);
  display.TakePalette(colors_);
  display.ShowPalette();
  ++changes_;
}

void ScreenPalette::FadeOut(PaletteDisplay& display, const StepWait& wait) {
  Palette working = colors_;
  for (int step = 0; step < kFadeSteps; ++step) {
    for (uint8_t& component : working) component = component > kFadeStepSize ? static_cast<uint8_t>(component - kFadeStepSize) : 0;
    Step(working, display, wait);
  }
  ++changes_;
}

void ScreenPalette::Apply(const std::optional<Palette>& palette, bool fade, PaletteDisplay& display,
                          const StepWait& wait) {
  if (!palette) return;
  if (fade) {
    FadeIn(*palette, display, wait);
  } else if (*palette != colors_) {
    TakeFrom(*palette, display);
    display.ShowPalette();
  }
}

}  // namespace script
