#include <gtest/gtest.h>

#include <functional>

#include "frontend/core/front_end.h"
#include "frontend/core/tests/frontend_test_support.h"
#include "frontend/pages/graphics_command.h"
#include "frontend/pages/page_switches.h"
#include "frontend/pages/sound_command.h"
#include "toolsupport/base/switches.h"
#include "toolsupport/base/text_words.h"
#include "toolsupport/picture/graphics_source.h"
#include "toolsupport/sound/sound_switches.h"

using namespace frontend;

namespace {

const std::string kFiles = "\"in.wav\" \"out.wav\"";

TEST(SoundCommand, TheSwitchesFollowTheSettings) {
  struct Case {
    std::string name;
    std::function<void(SoundSettings&)> change;
    std::string typedRate;
    std::string switches;
  } cases[] = {
      {"defaults", {}, "", ""},
      {"16-bit mono at a listed rate", [](SoundSettings& s) { s.rate = 2, s.quality = 2, s.channels = 1; }, "",
       "/R22050/B16/C1"},
      {"8-bit stereo", [](SoundSettings& s) { s.quality = 1, s.channels = 2; }, "", "/B8/C2"},
      {"a typed rate", [](SoundSettings& s) { s.rate = kTypedSoundRate; }, " 32000 ", "/R32000"},
      {"a typed rate left empty", [](SoundSettings& s) { s.rate = kTypedSoundRate; }, " ", ""},
      {"a typed text without the typed entry", [](SoundSettings& s) { s.rate = 0; }, "32000", ""},
      {"input type 0 keeps the raw fields out",
       [](SoundSettings& s) { s.inputType = 0, s.forceRate = "22050", s.skipBytes = "44"; }, "", ""},
      {"raw input", [](SoundSettings& s) { s.inputType = 2, s.forceRate = " 22050", s.skipBytes = "44 "; }, "",
       "/Y2/D22050/K44"},
      {"raw input, rate and skip empty", [](SoundSettings& s) { s.inputType = 4; }, "", "/Y4"},
      {"checked fields, one of them empty",
       [](SoundSettings& s) {
         s.overwrite = true, s.track = true, s.trackNum = "3", s.start = true, s.startNum = "1500";
         s.end = true, s.endNum = " ";
       },
       "", "/O/T3/S1500"},
      {"unchecked fields stay out", [](SoundSettings& s) { s.trackNum = "3", s.startNum = "5", s.endNum = "9"; }, "",
       ""},
      {"everything in order",
       [](SoundSettings& s) {
         s.overwrite = true, s.rate = 3, s.quality = 1, s.channels = 2, s.track = true, s.trackNum = "2";
         s.start = true, s.startNum = "10", s.end = true, s.endNum = "20", s.inputType = 3;
         s.forceRate = "8000", s.skipBytes = "12";
       },
       "", "/O/R44100/B8/C2/T2/S10/E20/Y3/D8000/K12"},
  };
  for (const Case& c : cases) {
    SoundSettings settings;
    if (c.change) c.change(settings);
    EXPECT_EQ(BuildSoundCommand(settings, {kFiles, c.typedRate}), "AudPrW " + kFiles + " " + c.switches) << c.name;
  }
}

TEST(SoundCommand, OnlyAPositiveWholeRateMayBeTyped) {
  struct Case {
    std::string typed;
    bool accepted;
  } cases[] = {{"32000", true}, {" 8000 ", true}, {"", true}, {"0", false}, {"-8000", false},
               {"abc", false}, {"80 00", false}, {"99999999999", false}};
  SoundSettings settings;
  settings.rate = kTypedSoundRate;
  for (const Case& c : cases) {
    EXPECT_EQ(CheckSoundSettings(settings, {kFiles, c.typed}).empty(), c.accepted) << c.typed;
  }
  settings.rate = 1;
  EXPECT_EQ(CheckSoundSettings(settings, {kFiles, "abc"}), "");
}

TEST(PaletteSwitch, OnlyTheInputsOwnPaletteIsLeftOut) {
  struct Case {
    std::string palette, expected;
  } cases[] = {
      {"The input file.", ""},
      {"  tHE INPUT FILE. ", ""},
      {"", ""},
      {"/pics/pal.bmp", "/&\"pal.bmp\""},
      {"/pals/pal.bmp", "/&\"/pals/pal.bmp\""},
      {"pal.bmp", "/&\"pal.bmp\""},
      {"/pals/my pal.bmp", "/&\"/pals/my pal.bmp\""},
      {"\"/pals/my pal.bmp\"", "/&\"/pals/my pal.bmp\""},
      {"/pals/The input file.bmp", "/&\"/pals/The input file.bmp\""},
      {"/pics/sub/pal.bmp", "/&\"/pics/sub/pal.bmp\""},
  };
  for (const Case& c : cases) EXPECT_EQ(PaletteSwitch(c.palette, "/pics"), c.expected) << c.palette;
}

TEST(GraphicsCommand, TheSwitchesFollowTheSettings) {
  const GraphicsRun run{"\"in.avi\" \"out.flc\"", "/pics"};
  struct Case {
    std::string name;
    std::function<void(GraphicsSettings&)> change;
    std::string switches;
  } cases[] = {
      {"defaults", {}, ""},
      {"lists above their first entry", [](GraphicsSettings& s) { s.halftone = 2, s.paletteControl = 1; }, "/T2/P1"},
      {"system colours", [](GraphicsSettings& s) { s.windowsColors = 2; }, "/D2"},
      {"checked but empty", [](GraphicsSettings& s) { s.start = true, s.paletteColors = true; }, ""},
      {"a relative palette", [](GraphicsSettings& s) { s.paletteName = "/pics/p.bmp"; }, "/&\"p.bmp\""},
      {"the input's palette", [](GraphicsSettings& s) { s.paletteName = "the input file."; }, ""},
      {"everything in order",
       [](GraphicsSettings& s) {
         s.paletteColors = true, s.paletteColorsNum = "200", s.paletteStart = true, s.paletteStartNum = "16";
         s.halftone = 1, s.paletteControl = 2, s.windowsColors = 1, s.paletteEvery = true;
         s.paletteEveryNum = "10", s.paletteName = "/pals/p.bmp", s.overwrite = true;
         s.frameRateOverride = true, s.frameRateOverrideNum = "-70", s.start = true, s.startNum = "2";
         s.end = true, s.endNum = "9", s.xOffset = true, s.xOffsetNum = "4", s.yOffset = true;
         s.yOffsetNum = "8", s.width = true, s.widthNum = "64", s.height = true, s.heightNum = "48";
       },
       "/Q200/I16/T1/P2/D1/U10/&\"/pals/p.bmp\"/O/F-70/S2/E9/X4/Y8/W64/H48"},
  };
  for (const Case& c : cases) {
    GraphicsSettings settings;
    if (c.change) c.change(settings);
    EXPECT_EQ(BuildGraphicsCommand(settings, run), "PicPrW " + run.inputAndOutput + " " + c.switches) << c.name;
  }
}

TEST(GraphicsCommand, TheDefaultExtensionFollowsTheTypeAndTheInput) {
  struct Case {
    int type;
    std::string input, extension;
  } cases[] = {
      {0, "/p/a.pcx", "pcx"}, {0, "/p/a.PCX", "PCX"}, {0, "/p/a.avi", "flc"}, {0, "/p/a.fli", "flc"},
      {0, "/p/a.gif", "gif"},
      // Only whole extensions count: parts of the known ones are not formats.
      {0, "/p/a.mp", "flc"}, {0, "/p/a.c", "flc"}, {0, "/p/a.bmp jpg", "flc"}, {0, "/p/a.", "flc"},
      {0, "/p.bmp/a", "flc"}, {0, "/p/bmp", "flc"},
      {1, "/p/a.pcx", "flc"}, {2, "/p/a.avi", "bmp"}, {3, "/p/a.avi", "jpg"}, {4, "/p/a.avi", "tga"},
      {5, "/p/a.avi", "tif"}, {6, "/p/a.avi", "pcx"}, {7, "/p/a.avi", "gif"}, {99, "/p/a.tga", "tga"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GraphicsOutputExtension(c.type, c.input), c.extension) << c.type << " " << c.input;
  }
}

// What the tools read of the commands once the launcher has started them.
TEST(SoundGraphicsCommand, TheToolsReadEveryValueAndNameBack) {
  frontend_testing::FakeStarter starter;
  FrontEnd frontEnd(starter);
  frontEnd.settings.main.directory = "/opt/vant";
  frontEnd.notifyTargets.SetMain(55);

  SoundSettings sound;
  sound.overwrite = true, sound.rate = kTypedSoundRate, sound.quality = 2, sound.channels = 1;
  sound.start = true, sound.startNum = "250", sound.inputType = 2, sound.forceRate = "22050";
  sound.skipBytes = "44";
  std::string text = frontend_testing::TextTheToolReads(
      frontEnd, BuildSoundCommand(sound, {"\"my in.raw\" \"/out dir/New_in.wav\"", "16000"}));
  EXPECT_EQ(GetNumberSwitch(0, '#', text), 55);
  EXPECT_TRUE(GetFlagSwitch('O', text));
  toolsupport::SoundSwitches read;
  toolsupport::ParseSoundSwitches(text, "RCBSETYDK", read);
  EXPECT_EQ(read.rate, 16000);
  EXPECT_EQ(read.bits, 16);
  EXPECT_EQ(read.channels, 1);
  EXPECT_EQ(read.start, 250);
  EXPECT_EQ(read.rawKind, 2);
  EXPECT_EQ(read.rawRate, 22050);
  EXPECT_EQ(read.skipBytes, 44);
  EXPECT_FALSE(SwitchLeftOver(text)) << text;
  EXPECT_EQ(TakeArgument(text), "my in.raw");
  EXPECT_EQ(TakeArgument(text), "/out dir/New_in.wav");

  GraphicsSettings graphics;
  graphics.paletteName = "/pals/my pal.bmp", graphics.overwrite = true, graphics.frameRateOverride = true;
  graphics.frameRateOverrideNum = "-70", graphics.end = true, graphics.endNum = "9", graphics.halftone = 2;
  text = frontend_testing::TextTheToolReads(
      frontEnd, BuildGraphicsCommand(graphics, {"\"clip.avi\" \"New_clip.flc\"", "/pics"}));
  EXPECT_EQ(GetNumberSwitch(0, '#', text), 55);
  EXPECT_TRUE(GetFlagSwitch('O', text));
  EXPECT_EQ(GetNumberSwitch(0, 'F', text), -70);
  const toolsupport::GraphicsSwitches read2 = toolsupport::ParseGraphicsSwitches(text);
  EXPECT_EQ(read2.paletteSource, "/pals/my pal.bmp");
  EXPECT_EQ(read2.end, 9);
  EXPECT_EQ(read2.halftone, 2);
  EXPECT_FALSE(SwitchLeftOver(text)) << text;
  EXPECT_EQ(TakeArgument(text), "clip.avi");
}

TEST(SoundGraphicsCommand, DefaultsResetTheOptionsButNotTheFileList) {
  SoundSettings sound;
  sound.filename = "a.wav", sound.directory = "/s", sound.filter = 3, sound.currentTab = 1;
  sound.outputBasedOn = "/s/a.wav", sound.outputName = "x.wav", sound.rate = 2, sound.inputType = 3;
  sound.track = true, sound.trackNum = "2", sound.overwrite = true, sound.skipBytes = "9";
  ResetSoundOptions(sound);
  SoundSettings soundExpected;
  soundExpected.filename = "a.wav", soundExpected.directory = "/s", soundExpected.currentTab = 1;
  soundExpected.outputBasedOn = "/s/a.wav";
  EXPECT_EQ(sound, soundExpected);

  GraphicsSettings graphics;
  graphics.filename = "a.avi", graphics.directory = "/g", graphics.filter = 2, graphics.currentTab = 1;
  graphics.outputBasedOn = "/g/a", graphics.outputName = "a.bmp", graphics.outputType = 2;
  graphics.halftone = 1, graphics.start = true, graphics.startNum = "3", graphics.paletteName = "/p.bmp";
  graphics.frameRateOverride = true, graphics.overwrite = true;
  ResetGraphicsOptions(graphics);
  GraphicsSettings graphicsExpected;
  graphicsExpected.filename = "a.avi", graphicsExpected.directory = "/g", graphicsExpected.filter = 2;
  graphicsExpected.currentTab = 1, graphicsExpected.outputBasedOn = "/g/a";
  graphicsExpected.paletteName = kInputPalette;
  EXPECT_EQ(graphics, graphicsExpected);
}

}  // namespace
