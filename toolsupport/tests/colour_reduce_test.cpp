#include "toolsupport/colour/colour_reduce.h"
#include "toolsupport/colour/palette_steps.h"

#include <gtest/gtest.h>

#include <array>
#include <set>

namespace {

using Palette = std::array<uint8_t, kPaletteBytes>;

void Add(ColourHistogram& h, uint8_t r, uint8_t g, uint8_t b, uint64_t count) {
  h.counts[KeyFromRgb8(r, g, b)] += count;
}

std::array<uint8_t, 3> Entry(const Palette& p, int i) { return {p[i * 3], p[i * 3 + 1], p[i * 3 + 2]}; }

TEST(SplitColorBox, SeparatesTwoClustersAndReordersKeysLowerSideFirst) {
  ColourHistogram h;
  // Two tight clusters far apart in red; the keys are listed interleaved.
  std::vector<uint32_t> keys = {ColourKey(60, 10, 10), ColourKey(2, 10, 10), ColourKey(61, 10, 10),
                                ColourKey(3, 10, 10)};
  for (uint32_t k : keys) h.counts[k] = 5;
  BoxSplit split = SplitColorBox(keys.data(), 4, h.counts.data());
  ASSERT_EQ(split.splitCount, 2);
  EXPECT_EQ(std::set<uint32_t>(keys.begin(), keys.begin() + 2),
            (std::set<uint32_t>{ColourKey(2, 10, 10), ColourKey(3, 10, 10)}));
  // Each side's mean at 6 bits is 2.5 or 60.5: error 5 x (0.5^2 rounded to a whole step) per key.
  EXPECT_EQ(split.lowerError, 5u);
  EXPECT_EQ(split.upperError, 5u);
  EXPECT_EQ(split.lowerColour >> 16, 10u);   // 2.5 * 65 / 16
  EXPECT_EQ(split.upperColour >> 16, 245u);  // 60.5 * 65 / 16
}

TEST(SplitColorBox, SmallBoxesSplitIntoTheirKeys) {
  ColourHistogram h;
  uint32_t two[2] = {ColourKey(63, 0, 16), ColourKey(1, 2, 3)};
  BoxSplit split = SplitColorBox(two, 2, h.counts.data());
  EXPECT_EQ(split.splitCount, 1);
  EXPECT_EQ(split.lowerColour, PackRgb(255, 0, 65));
  EXPECT_EQ(split.upperColour, PackRgb(4, 8, 12));
  uint32_t one[1] = {ColourKey(16, 16, 16)};
  split = SplitColorBox(one, 1, h.counts.data());
  EXPECT_EQ(split.lowerColour, split.upperColour);
  EXPECT_EQ(split.lowerError + split.upperError, 0u);
}

TEST(ReduceColors, SingleColourMakesOneColourAndStops) {
  ColourHistogram h;
  Add(h, 200, 100, 40, 1000);
  Palette p{};
  int reports = 0;
  const toolsupport::Progress counting([&](toolsupport::ProgressKind, const std::string&) { ++reports; }, nullptr);
  int made = ReduceColors(counting, 0, 0, 256, 0, h, p.data());
  EXPECT_EQ(made, 1);
  EXPECT_EQ(reports, 1);  // one report, then nothing left to split
  // The first box's colour is the mean 6-bit value times 4: 50, 25, 10.
  EXPECT_EQ(Entry(p, 0), (std::array<uint8_t, 3>{200, 100, 40}));
}

TEST(ReduceColors, FindsEveryDistinctColourWhenThereIsRoom) {
  ColourHistogram h;
  const uint8_t colours[5][3] = {{0, 0, 252}, {252, 0, 0}, {0, 252, 0}, {128, 128, 128}, {252, 252, 252}};
  for (auto& c : colours) Add(h, c[0], c[1], c[2], 10);
  Palette p{};
  EXPECT_EQ(ReduceColors({}, 0, 0, 16, 0, h, p.data()), 5);
  std::set<std::array<uint8_t, 3>> found;
  for (int i = 0; i < 16; ++i) found.insert(Entry(p, i));
  for (auto& c : colours) {
    uint8_t r = Expand6To8(c[0] >> 2), g = Expand6To8(c[1] >> 2), b = Expand6To8(c[2] >> 2);
    EXPECT_TRUE(found.count({r, g, b})) << int(c[0]) << "," << int(c[1]) << "," << int(c[2]);
  }
}

TEST(ReduceColors, WeighsByCountsBeyondThirtyTwoBits) {
  ColourHistogram h;
  // Three parts black to one part white, each count beyond what 32 bits hold.
  Add(h, 0, 0, 0, uint64_t{3} << 32);
  Add(h, 255, 255, 255, uint64_t{1} << 32);
  Palette p{};
  ASSERT_EQ(ReduceColors({}, 0, 0, 1, 0, h, p.data()), 1);
  EXPECT_EQ(Entry(p, 0), (std::array<uint8_t, 3>{63, 63, 63}));  // mean 15.75 at 6 bits, times 4
}

TEST(ReduceColors, PlacesNewColoursWhereThePaletteHeldSimilarOnes) {
  ColourHistogram h;
  Add(h, 252, 0, 0, 10);
  Add(h, 0, 0, 252, 10);
  Add(h, 0, 252, 0, 10);
  Palette p{};
  // The range 4-7 holds blue, grey, green, red now.
  const uint8_t before[4][3] = {{0, 0, 250}, {90, 90, 90}, {0, 250, 0}, {250, 0, 0}};
  for (int i = 0; i < 4; ++i)
    for (int c = 0; c < 3; ++c) p[(4 + i) * 3 + c] = before[i][c];
  ASSERT_EQ(ReduceColors({}, 0, 0, 4, 4, h, p.data()), 3);
  EXPECT_EQ(Entry(p, 4), (std::array<uint8_t, 3>{0, 0, 255}));
  EXPECT_EQ(Entry(p, 5), (std::array<uint8_t, 3>{90, 90, 90}));  // no colour for it: kept
  EXPECT_EQ(Entry(p, 6), (std::array<uint8_t, 3>{0, 255, 0}));
  EXPECT_EQ(Entry(p, 7), (std::array<uint8_t, 3>{255, 0, 0}));
}

TEST(ReduceColors, ColoursOfReservedEntriesAreNotMadeAgain) {
  ColourHistogram h;
  Add(h, 0, 0, 0, 100);        // black: system entry 0, reserved
  Add(h, 100, 60, 200, 100);
  Palette p{};
  PutSystemColours(p.data());
  EXPECT_EQ(ReduceColors({}, 0, 10, 16, 0, h, p.data()), 1);
  EXPECT_EQ(Entry(p, 10), (std::array<uint8_t, 3>{100, 60, 200}));
  Palette onlyBlack{};
  ColourHistogram black;
  Add(black, 0, 0, 0, 5);
  EXPECT_EQ(ReduceColors({}, 0, 10, 16, 0, black, onlyBlack.data()), 0);
}

TEST(ReduceColors, StopRequestEndsTheSplitting) {
  ColourHistogram h;
  for (int i = 0; i < 50; ++i) Add(h, i * 5, 255 - i * 5, i * 2, 10);
  Palette p{};
  const toolsupport::Progress stopping(nullptr, [] { return true; });
  EXPECT_EQ(ReduceColors(stopping, 0, 0, 256, 0, h, p.data()), 1);
  ColourHistogram again;
  for (int i = 0; i < 50; ++i) Add(again, i * 5, 255 - i * 5, i * 2, 10);
  EXPECT_EQ(ReduceColors({}, 0, 0, 256, 0, again, p.data()), 50);
}

TEST(SystemReserves, ReserveSystemEntriesInsideTheRangeLeavingOneNewColour) {
  auto reserves = [](int q, int i, int d = 0) {
    PaletteSwitches s;
    s.colours = q;
    s.firstIndex = i;
    s.systemColours = d;
    SystemReserves r = ReservesFor(s);
    return std::pair(r.low, r.high);
  };
  EXPECT_EQ(reserves(256, 0), std::pair(10, 10));
  EXPECT_EQ(reserves(16, 0), std::pair(10, 0));
  EXPECT_EQ(reserves(100, 78), std::pair(0, 0));
  EXPECT_EQ(reserves(20, 236), std::pair(0, 10));
  EXPECT_EQ(reserves(256, 0, 2), std::pair(0, 0));
  // Too few colours for the system ones: at least one new colour remains.
  EXPECT_EQ(reserves(5, 0), std::pair(4, 0));
  EXPECT_EQ(reserves(6, 250), std::pair(0, 5));
  EXPECT_EQ(reserves(1, 0), std::pair(0, 0));
  EXPECT_EQ(reserves(4, 8), std::pair(2, 0));
}

TEST(MakeNewColours, SixteenColoursFromZeroKeepSystemColoursInTheFirstTen) {
  ColourHistogram h;
  for (int i = 0; i < 64; ++i) Add(h, i * 4, 255 - i * 4, 128, 1);
  PaletteSwitches s;
  s.colours = 16;
  s.firstIndex = 0;
  Palette p;
  p.fill(7);
  EXPECT_EQ(MakeNewColours({}, s, h, p.data()), 6);
  Palette system{};
  PutSystemColours(system.data());
  for (int e = 0; e < 10; ++e) EXPECT_EQ(Entry(p, e), Entry(system, e));
  for (int e = 10; e < 16; ++e) EXPECT_NE(Entry(p, e), (std::array<uint8_t, 3>{7, 7, 7})) << e;
  for (int e = 16; e < 246; ++e) EXPECT_EQ(Entry(p, e), (std::array<uint8_t, 3>{7, 7, 7})) << e;
  for (int e = 246; e < 256; ++e) EXPECT_EQ(Entry(p, e), Entry(system, e));
}

TEST(MakeNewColours, TinyRangeDropsSystemColoursThatDoNotFit) {
  ColourHistogram h;
  Add(h, 40, 200, 120, 9);
  PaletteSwitches s;
  s.colours = 3;
  s.firstIndex = 0;
  Palette p{};
  EXPECT_EQ(MakeNewColours({}, s, h, p.data()), 1);
  Palette system{};
  PutSystemColours(system.data());
  EXPECT_EQ(Entry(p, 0), Entry(system, 0));
  EXPECT_EQ(Entry(p, 1), Entry(system, 1));
  EXPECT_EQ(Entry(p, 2), (std::array<uint8_t, 3>{40, 200, 120}));
}

}  // namespace
