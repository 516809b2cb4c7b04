#include <gtest/gtest.h>

#include <string>

#include "player/player_options.h"
#include "player/player_window.h"

namespace {

struct Read {
  bool ok = false;
  PlayerOptions options;
  std::string rest;
};

Read ReadSwitches(std::string text, PlayerOptions options = {}) {
  Read read;
  read.options = options;
  read.ok = ReadPlayerSwitches(text, read.options);
  read.rest = text;
  return read;
}

uint32_t Tracks(const PlayerOptions& options) { return options.openFlags & VANT_OPEN_ALL_TRACKS; }

TEST(PlayerSwitches, NamesAloneKeepEveryDefault) {
  Read read = ReadSwitches("\"intro.vnt\" \"second one.vnt\"");
  ASSERT_TRUE(read.ok);
  EXPECT_EQ(read.rest, "\"intro.vnt\" \"second one.vnt\"");
  const PlayerOptions& o = read.options;
  EXPECT_EQ(o.x, -1);
  EXPECT_EQ(o.y, -1);
  EXPECT_EQ(o.loops, 1);
  EXPECT_EQ(o.frameRate, -1);
  EXPECT_EQ(o.extraBuffer, VANT_EXTRA_BUFFER_AUTO);
  EXPECT_EQ(o.openFlags, 0xFE000u);  // all seven sound tracks, nothing else
  EXPECT_EQ(o.windowFlags, 0u);
  EXPECT_FALSE(o.summary || o.soundOnly || o.ignoreFocus || o.differences || o.noRemap);
}

TEST(PlayerSwitches, FrameRateByRange) {
  struct Case {
    const char* text;
    int32_t rate;
    bool useRate;
  };
  const Case cases[] = {
      {"/F15", 15, true},        // frames per second; the library turns it into a period
      {"/F-66", -6600, true},    // milliseconds per frame
      {"/F-2", -200, true},
      {"/F-1500", -150000, true},
      {"/F-1501", -1501, true},  // below -1500 already a period in 10-microsecond units
      {"/F", 0, true},           // alone: as fast as possible
      {"/F0", 0, true},
      {"/F-1", -1, false},       // the file's own rate
  };
  for (const Case& c : cases) {
    Read read = ReadSwitches(std::string("v ") + c.text);
    ASSERT_TRUE(read.ok) << c.text;
    EXPECT_EQ(read.options.frameRate, c.rate) << c.text;
    EXPECT_EQ((read.options.openFlags & VANT_OPEN_USE_FRAME_RATE) != 0, c.useRate) << c.text;
    EXPECT_EQ(read.rest, "v ") << c.text;
  }
  // A later reading of /F-1 goes back to the file's rate.
  Read again = ReadSwitches("/F-1", ReadSwitches("/F20").options);
  EXPECT_EQ(again.options.openFlags & VANT_OPEN_USE_FRAME_RATE, 0u);
}

TEST(PlayerSwitches, LoopsSoundTracksAndHeightScaling) {
  EXPECT_EQ(ReadSwitches("/L").options.loops, -1);
  EXPECT_EQ(ReadSwitches("/L3").options.loops, 3);
  EXPECT_EQ(ReadSwitches("/l2").options.loops, 2);  // either case

  EXPECT_EQ(Tracks(ReadSwitches("/T5").options), 0x2000u | 0x8000u);  // tracks 0 and 2
  EXPECT_EQ(Tracks(ReadSwitches("/T0").options), 0u);
  EXPECT_EQ(Tracks(ReadSwitches("/T255").options), 0xFE000u);  // only seven tracks exist

  const uint32_t both = VANT_OPEN_INTERLACED | VANT_OPEN_DOUBLED;
  EXPECT_EQ(ReadSwitches("/A1").options.openFlags & both, uint32_t{VANT_OPEN_INTERLACED});
  EXPECT_EQ(ReadSwitches("/A2").options.openFlags & both, uint32_t{VANT_OPEN_DOUBLED});
  EXPECT_EQ(ReadSwitches("/A3").options.openFlags & both, both);
  PlayerOptions forced = ReadSwitches("/A3").options;
  EXPECT_EQ(ReadSwitches("/A0", forced).options.openFlags & both, 0u);
  EXPECT_EQ(ReadSwitches("/A7", forced).options.openFlags & both, 0u);
  EXPECT_EQ(ReadSwitches("/A255", forced).options.openFlags & both, both);  // left alone
}

TEST(PlayerSwitches, OpenFlagsAndReading) {
  Read read = ReadSwitches("/P/N/G/M9000/E65536");
  ASSERT_TRUE(read.ok);
  const uint32_t expected = VANT_OPEN_PRELOAD | VANT_OPEN_NEVER_SKIP | VANT_OPEN_FILL_BUFFER |
                            VANT_OPEN_SIMULATE_READ | VANT_OPEN_ALL_TRACKS;
  EXPECT_EQ(read.options.openFlags, expected);
  EXPECT_EQ(read.options.simulatedReadSpeed, 9000u);
  EXPECT_EQ(read.options.extraBuffer, 65536u);
  // /M0 switches the simulated speed off again.
  EXPECT_EQ(ReadSwitches("/M0", read.options).options.openFlags & VANT_OPEN_SIMULATE_READ, 0u);
  EXPECT_EQ(ReadSwitches("/E-1").options.extraBuffer, VANT_EXTRA_BUFFER_AUTO);
}

TEST(PlayerSwitches, WindowStylesAndVideoTypes) {
  const uint32_t styleBits = kWindowNoCaption | kWindowNoDialogFrame | kWindowThinBorder;
  EXPECT_EQ(ReadSwitches("/I1").options.windowFlags & styleBits, 0xC000u);
  EXPECT_EQ(ReadSwitches("/I2").options.windowFlags & styleBits, 0xC200u);
  EXPECT_EQ(ReadSwitches("/I3").options.windowFlags & styleBits, 0x0200u);
  EXPECT_EQ(ReadSwitches("/I4").options.windowFlags & styleBits, 0x4200u);
  EXPECT_EQ(ReadSwitches("/I3", ReadSwitches("/I2").options).options.windowFlags & styleBits,
            0x0200u);  // a later style replaces the earlier one

  auto kind = [](const char* text) {
    return BlitterKindFromWindowFlags(ReadSwitches(text).options.windowFlags);
  };
  EXPECT_EQ(kind("/V0"), VANT_BLITTER_AUTOMATIC);
  EXPECT_EQ(kind("/V1"), VANT_BLITTER_FULL_SCREEN_320X240);
  EXPECT_EQ(kind("/V2"), VANT_BLITTER_FULL_SCREEN_DIRECT);
  EXPECT_EQ(kind("/V2/B"), VANT_BLITTER_FULL_SCREEN_320X200);
  EXPECT_EQ(kind("/V3"), VANT_BLITTER_STANDARD_DIBS);
  EXPECT_EQ(kind("/V4"), VANT_BLITTER_DIB_SECTION);
  EXPECT_EQ(kind("/V5"), VANT_BLITTER_AUTOMATIC);  // ignored
  // Sound only needs a plain window whatever the video type.
  EXPECT_EQ(kind("/V1/O"), VANT_BLITTER_STANDARD_DIBS);
  EXPECT_TRUE(ReadSwitches("/O").options.soundOnly);

  Read read = ReadSwitches("/X10/Y-1/W640/H480/D2/C/U6");
  ASSERT_TRUE(read.ok);
  EXPECT_EQ(read.options.x, 10);
  EXPECT_EQ(read.options.y, -1);
  EXPECT_EQ(read.options.stretchWidth, 640);
  EXPECT_EQ(read.options.stretchHeight, 480);
  EXPECT_EQ(read.options.displayResolution, 2);
  EXPECT_EQ(read.options.disabledControls, kControlSkip | kControlQuit);
  EXPECT_NE(read.options.windowFlags & kWindowKeepBuffer, 0u);
}

TEST(PlayerSwitches, FlagsPackedInOneWord) {
  Read read = ReadSwitches("clip /S/K/Q/Z/R/J/L5/F15/P");
  ASSERT_TRUE(read.ok);
  const PlayerOptions& o = read.options;
  EXPECT_TRUE(o.summary && o.differences && o.frameInCaption && o.directSound && o.noRemap &&
              o.ignoreFocus);
  EXPECT_EQ(o.loops, 5);
  EXPECT_EQ(o.frameRate, 15);
  EXPECT_NE(o.openFlags & VANT_OPEN_PRELOAD, 0u);
  EXPECT_EQ(read.rest, "clip ");
}

TEST(PlayerSwitches, LeftOverSwitchesFail) {
  EXPECT_FALSE(ReadSwitches("clip /Y ").ok);   // no number after the letter
  EXPECT_FALSE(ReadSwitches("clip /Y").ok);
  EXPECT_FALSE(ReadSwitches("clip /X+5").ok);  // no '+' sign
  EXPECT_FALSE(ReadSwitches("clip /Q5").ok);   // a flag followed by a digit
  EXPECT_FALSE(ReadSwitches("clip /9").ok);
  EXPECT_FALSE(ReadSwitches("/S /S").ok);      // only the first of a letter is taken
  EXPECT_FALSE(ReadSwitches("/L2 /L").ok);
  // Quoted names are never scanned, even when they hold a '/'.
  EXPECT_TRUE(ReadSwitches("\"/home/ann/clip.vnt\"").ok);
}

TEST(PlayerSwitches, SecondReadingOverridesTheFirst) {
  PlayerOptions stored = ReadSwitches("/L/S/F10").options;
  Read read = ReadSwitches("/L2", stored);
  ASSERT_TRUE(read.ok);
  EXPECT_EQ(read.options.loops, 2);
  EXPECT_TRUE(read.options.summary);
  EXPECT_EQ(read.options.frameRate, 10);
}

TEST(PlayerUsage, ListsEverySwitchInItsOrder) {
  const std::string text = PlayerUsageText();
  EXPECT_EQ(text.rfind("  SYNTAX: VantPly <Vant1 Vant2...> [/Switches]\r\n  Switches:\r\n", 0), 0u);
  std::string letters;
  for (size_t at = text.find("\r\n    /"); at != std::string::npos;
       at = text.find("\r\n    /", at + 1)) {
    letters += text[at + 7];
  }
  EXPECT_EQ(letters, "PLFTSXYBMEGUNCOKAZQIJRWHDV");
  EXPECT_NE(text.find("\r\n    /P  \t- Preload the entire Vantrel animation.\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\n    /I#\t- Window style: 1=thin border, 2=thin, no caption, "
                      "3=no caption, 4=nothing.\r\n"),
            std::string::npos);
  const std::string last = "\r\n    /V##\t- Video type: 1=320x240, 2=320x200, 3=Standard, 4=DIBSection.";
  EXPECT_EQ(text.substr(text.size() - last.size()), last);
  EXPECT_EQ(PlayerUsageCaption().rfind("VantPlay  V 3.0k - ", 0), 0u);
}

}  // namespace
