// The window palette against a display that records every palette it is given: locks, fades
// and the palette of a new window.
#include <gtest/gtest.h>

#include "script/screen/screen_palette.h"
#include "script/screen/script_window.h"

namespace {

using script::Palette;

class RecordingDisplay : public script::PaletteDisplay {
 public:
  void TakePalette(const Palette& palette) override { taken.push_back(palette); }
  void ShowPalette() override { ++shown; }
  std::vector<Palette> taken;
  int shown = 0;
};

Palette Filled(uint8_t value) {
  Palette palette;
  palette.fill(value);
  return palette;
}

uint8_t Red(const Palette& palette, int index) { return palette[static_cast<size_t>(index) * 3]; }

TEST(ScriptPalette, LockRunsAreCutAtTheEndAndBadRunsDoNothing) {
  struct LockCase {
    int64_t first, count;
    int lockedFrom, lockedTo;  // inclusive; -1 for none
  };
  const LockCase cases[] = {
      {250, 20, 250, 255}, {300, 5, -1, -1}, {0, 1, 0, 0}, {10, 0, -1, -1},
      {-1, 5, -1, -1}, {5, -3, -1, -1}, {255, INT32_MAX, 255, 255},
  };
  for (const LockCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.first) + " " + std::to_string(c.count));
    script::ScreenPalette palette;
    palette.LockRun(c.first, c.count, true);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(palette.Locked(i), i >= c.lockedFrom && i <= c.lockedTo) << i;
  }
}

TEST(ScriptPalette, FadesLeaveLockedEntriesAndEndOnTheExactPalette) {
  RecordingDisplay display;
  int waits = 0;
  const auto wait = [&] { ++waits; };
  script::ScreenPalette palette;
  palette.CopyUnlocked(Filled(200));
  palette.LockRun(250, 6, true);

  Palette target = Filled(0);
  for (size_t i = 0; i < target.size(); ++i) target[i] = static_cast<uint8_t>(i % 256);
  palette.FadeIn(target, display, wait);
  ASSERT_EQ(display.taken.size(), 17u);  // 16 steps and the palette itself
  EXPECT_EQ(waits, 16);
  EXPECT_EQ(palette.Changes(), 1u);
  // Entry 100's red is 300 % 256 = 44: it rises from 0 to 44 in steps of 16, at most 255 short.
  EXPECT_EQ(Red(display.taken[0], 100), 0);
  EXPECT_EQ(Red(display.taken[14], 100), 44 - 31);
  EXPECT_EQ(Red(display.taken[15], 100), 44 - 15);
  Palette expected = target;
  std::fill(expected.begin() + 750, expected.end(), 200);  // entries 250 to 255 stay locked
  EXPECT_EQ(display.taken.back(), expected);
  for (const Palette& step : display.taken) EXPECT_EQ(Red(step, 252), 200);

  display.taken.clear();
  palette.FadeOut(display, wait);
  ASSERT_EQ(display.taken.size(), 16u);
  EXPECT_EQ(Red(display.taken[0], 255), 200);
  EXPECT_EQ(Red(display.taken[0], 200), 600 % 256 - 16);
  std::fill(expected.begin(), expected.begin() + 750, 0);
  EXPECT_EQ(display.taken.back(), expected);  // black, but for the locked entries
  EXPECT_EQ(palette.Colors(), expected);
  EXPECT_EQ(palette.Changes(), 2u);
}

TEST(ScriptPalette, ApplyTakesABitmapsPaletteOnlyWhenItDiffers) {
  RecordingDisplay display;
  script::ScreenPalette palette;
  palette.Apply(std::nullopt, false, display, nullptr);
  palette.Apply(Filled(0), false, display, nullptr);  // the same as the screen's
  EXPECT_TRUE(display.taken.empty());
  palette.Apply(Filled(9), false, display, nullptr);
  ASSERT_EQ(display.taken.size(), 1u);
  EXPECT_EQ(display.taken[0], Filled(9));
  EXPECT_EQ(display.shown, 1);
  EXPECT_EQ(palette.Changes(), 1u);
}

TEST(ScriptPalette, ANewWindowsPaletteHasFourRampsOfSixtyFourSteps) {
  const Palette start = script::StartPalette();
  struct Entry {
    int index;
    std::array<uint8_t, 3> rgb;
  };
  for (const Entry& e : {Entry{0, {0, 0, 0}}, Entry{63, {255, 255, 255}}, Entry{1, {4, 4, 4}},
                         Entry{64, {0, 0, 0}}, Entry{127, {255, 0, 0}}, Entry{160, {0, 130, 0}},
                         Entry{255, {0, 0, 255}}}) {
    SCOPED_TRACE(e.index);
    EXPECT_EQ(start[static_cast<size_t>(e.index) * 3], e.rgb[0]);
    EXPECT_EQ(start[static_cast<size_t>(e.index) * 3 + 1], e.rgb[1]);
    EXPECT_EQ(start[static_cast<size_t>(e.index) * 3 + 2], e.rgb[2]);
  }
}

}  // namespace
