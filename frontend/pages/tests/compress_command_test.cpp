#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include "compressor/compressor_switches.h"
#include "frontend/core/front_end.h"
#include "frontend/core/launcher.h"
#include "frontend/core/tests/frontend_test_support.h"
#include "frontend/core/text_format.h"
#include "frontend/pages/compress_command.h"
#include "frontend/pages/page_switches.h"
#include "platform/system/command_text.h"
#include "toolsupport/base/switches.h"
#include "toolsupport/base/text_words.h"
#include "toolsupport/picture/graphics_source.h"
#include "toolsupport/sound/sound_switches.h"

using namespace frontend;

namespace {

using Change = std::function<void(CompressSettings&)>;

CompressSettings With(const Change& change) {
  CompressSettings settings;
  if (change) change(settings);
  return settings;
}

const CompressRun kRun{"\"clip.flc\" \"clip.vnt\"", "/v", ""};

TEST(PageSwitches, EachPieceIsLeftOutWhenOffOrEmpty) {
  struct Case {
    std::string got, expected;
  } cases[] = {
      {NumSwitch('Z', true, 2), "/Z2"},
      {NumSwitch('L', true, -1), "/L-1"},
      {NumSwitch('Z', false, 2), ""},
      {TextSwitch('S', true, "  12 "), "/S12"},
      {TextSwitch('S', true, " \t"), ""},
      {TextSwitch('S', false, "12"), ""},
      {OptionalTextSwitch('L', true, ""), "/L"},
      {OptionalTextSwitch('L', true, " 3 "), "/L3"},
      {OptionalTextSwitch('L', false, "3"), ""},
      {FlagSwitch('O', true) + FlagSwitch('G', false), "/O"},
      {LeadingDigits(" 75 %"), "75"},
      {LeadingDigits("% 75"), ""},
      {FormatThousands(1234567), "1,234,567"},
      {FormatThousands(999), "999"},
      {FormatThousands(INT64_MIN, "."), "-9.223.372.036.854.775.808"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.expected);
  struct Number {
    std::string text;
    bool signAllowed;
    std::optional<int32_t> value;
  } numbers[] = {
      {" 15 ", false, 15}, {"-15", true, -15}, {"-15", false, std::nullopt}, {"+15", true, std::nullopt},
      {"1a", false, std::nullopt}, {"", false, std::nullopt}, {"2147483648", false, std::nullopt},
  };
  for (const Number& n : numbers) EXPECT_EQ(WholeNumber(n.text, n.signAllowed), n.value) << n.text;
}

TEST(CompressCommand, TheSwitchesFollowTheSettings) {
  const std::string start = "VantC \"clip.flc\" \"clip.vnt\" ";
  struct Case {
    std::string name;
    Change change;
    CompressRun run;
    std::string switches;
  } cases[] = {
      {"defaults", {}, kRun, "/N240000/K20/A95/L0 "},
      {"share of each frame and lossless",
       [](CompressSettings& s) {
         s.regularCompressType = kFramePercent;
         s.normalFramePerc = "75";
         s.keyCompressType = kLossless;
       },
       kRun, "/N-475/K0/A95/L0 "},
      {"share of the file, percent sign kept off",
       [](CompressSettings& s) {
         s.regularCompressType = kFilePercent;
         s.normalFilePerc = "80 %";
         s.keyCompressType = kToDataRate;
       },
       kRun, "/N-80/K300000/A95/L0 "},
      {"empty values leave their switches out",
       [](CompressSettings& s) {
         s.normalRate = "";
         s.keyErrorPerc = " ";
         s.autoKeyFrame = "";
       },
       kRun, "/L0 "},
      {"no sound: no rate, bits or channels",
       [](CompressSettings& s) {
         s.noSound = true;
         s.rate = 2;
         s.quality = 2;
         s.channels = 2;
       },
       kRun, "/N240000/K20/A95/L-1 "},
      {"sound output", [](CompressSettings& s) { s.lossySound = 4, s.rate = 3, s.quality = 2, s.channels = 1; },
       kRun, "/N240000/K20/A95/L4 /R44100/B16/C1"},
      {"a typed rate", [](CompressSettings& s) { s.rate = -1, s.rateText = " 32000 ", s.quality = 1; }, kRun,
       "/N240000/K20/A95/L0 /R32000/B8"},
      {"the input's palette", [](CompressSettings& s) { s.paletteName = "THE INPUT FILE."; }, kRun,
       "/N240000/K20/A95/L0 "},
      {"a palette beside the input", [](CompressSettings& s) { s.paletteName = "/v/pal.bmp"; }, kRun,
       "/N240000/K20/A95/L0 /&\"pal.bmp\""},
      {"a palette file named like the input's", [](CompressSettings& s) { s.paletteName = "/pals/my input file.bmp"; },
       kRun, "/N240000/K20/A95/L0 /&\"/pals/my input file.bmp\""},
      {"the hint file", {}, CompressRun{kRun.inputAndOutput, "/v", "/tmp/hints 1"},
       "/N240000/K20/A95/@\"*/tmp/hints 1\"/L0 "},
      {"everything",
       [](CompressSettings& s) {
         s.keyFrames = true, s.keyFramesNum = "30", s.yScale = 2, s.mixOriginal = true, s.everyOther = true;
         s.ring = true, s.start = true, s.startNum = "2", s.end = true, s.endNum = "9";
         s.frameRate = true, s.frameRateNum = "-70", s.x = true, s.xNum = "8", s.y = true, s.yNum = "4";
         s.w = true, s.wNum = "64", s.h = true, s.hNum = "48", s.paletteColors = true, s.paletteColorsNum = "200";
         s.paletteStart = true, s.paletteStartNum = "20", s.halftone = 1, s.paletteControl = 2, s.windowsColors = 1;
         s.paletteEvery = true, s.paletteEveryNum = "5", s.overwrite = true, s.paletteName = "/v/p.bmp";
         s.lossySound = 9, s.rate = 1, s.channels = 2;
       },
       CompressRun{kRun.inputAndOutput, "/v", "/v/h.txt"},
       "/N240000/K20/A95/J30/Z2/M/V/G/@\"*h.txt\"/S2/E9/F-70/X8/Y4/W64/H48/L9 /R11025/C2/Q200/I20/T1/P2/D1/U5"
       "/&\"p.bmp\"/O"},
      {"checked but empty, or unchecked", [](CompressSettings& s) { s.start = true, s.endNum = "5"; }, kRun,
       "/N240000/K20/A95/L0 "},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BuildCompressCommand(With(c.change), c.run), start + c.switches) << c.name;
  }
}

TEST(CompressCommand, ValuesTheCompressorWouldRefuseOrMisreadAreCaughtFirst) {
  struct Case {
    Change change;
    std::string problem;  // "" when fine
  } cases[] = {
      {{}, ""},
      {[](CompressSettings& s) { s.normalRate = "999"; }, "Error, the data rate for regular frames must be at least 1000"},
      {[](CompressSettings& s) { s.normalRate = "1000"; }, ""},
      {[](CompressSettings& s) { s.normalRate = "99999999999999"; }, "Error, the data rate for regular"},
      {[](CompressSettings& s) { s.normalRate = ""; }, ""},
      {[](CompressSettings& s) { s.keyCompressType = kFilePercent, s.keyFilePerc = "0"; },
       "Error, the percentage for key frames must be from 1 to 200."},
      {[](CompressSettings& s) { s.keyCompressType = kFilePercent, s.keyFilePerc = "200"; }, ""},
      {[](CompressSettings& s) { s.regularCompressType = kFramePercent, s.normalFramePerc = "201"; },
       "Error, the percentage for regular frames must be from 1 to 200."},
      {[](CompressSettings& s) { s.keyErrorPerc = "101"; }, "Error, the error percentage for key frames must be from 0 to 100."},
      {[](CompressSettings& s) { s.keyErrorPerc = "0"; }, ""},
      {[](CompressSettings& s) { s.keyCompressType = kLossless, s.keyErrorPerc = "999"; }, ""},
      {[](CompressSettings& s) { s.start = true, s.startNum = "1a"; }, "Error, the starting frame must be a whole number of 0 or more."},
      {[](CompressSettings& s) { s.start = true, s.startNum = "-5"; }, "Error, the starting frame must be"},
      {[](CompressSettings& s) { s.start = false, s.startNum = "junk"; }, ""},
      {[](CompressSettings& s) { s.frameRate = true, s.frameRateNum = "-5"; }, ""},
      {[](CompressSettings& s) { s.frameRate = true, s.frameRateNum = "- 5"; }, "Error, the frame rate override must be a whole number."},
      {[](CompressSettings& s) { s.paletteEvery = true, s.paletteEveryNum = "99999999999"; }, "Error, the new palette interval"},
      {[](CompressSettings& s) { s.rate = -1, s.rateText = "0"; }, "Error, the sound rate must be a whole number above 0."},
      {[](CompressSettings& s) { s.rate = -1, s.rateText = "0", s.noSound = true; }, ""},
  };
  for (const Case& c : cases) {
    const std::string problem = CheckCompressSettings(With(c.change));
    if (c.problem.empty()) {
      EXPECT_EQ(problem, "");
    } else {
      EXPECT_EQ(problem.rfind(c.problem, 0), 0u) << problem;
    }
  }
}

// What the compressor reads of the command once the launcher has started it.
TEST(CompressCommand, TheCompressorReadsEveryValueAndNameBack) {
  frontend_testing::FakeStarter starter;
  FrontEnd frontEnd(starter);
  frontEnd.settings.main.directory = "/opt/vant";
  frontEnd.notifyTargets.SetMain(77);
  CompressSettings s;
  s.regularCompressType = kFramePercent, s.normalFramePerc = "50";
  s.keyCompressType = kFilePercent, s.keyFilePerc = "120";
  s.keyFrames = true, s.keyFramesNum = "12", s.ring = true, s.frameRate = true, s.frameRateNum = "-70";
  s.start = true, s.startNum = "3", s.paletteColors = true, s.paletteColorsNum = "128";
  s.lossySound = 2, s.rate = -1, s.rateText = "16000", s.quality = 2, s.channels = 1;
  s.paletteName = "/pals/my pal.bmp", s.overwrite = true;
  ASSERT_EQ(CheckCompressSettings(s), "");
  std::string command = BuildCompressCommand(
      s, {"\"frame???.bmp*5-12\" \"/out dir/New_frame.vnt\"", "/v", "/tmp/vant hints"});
  std::string text = frontend_testing::TextTheToolReads(frontEnd, command);

  EXPECT_EQ(GetNumberSwitch(0, '#', text), 77);
  compressor::CompressorSwitches own;
  ASSERT_TRUE(compressor::ParseCompressorSwitches(text, own));
  EXPECT_EQ(own.regularTarget, -450);
  EXPECT_EQ(own.keyTarget, -120);
  EXPECT_EQ(own.keyInterval, 12u);
  EXPECT_EQ(own.autoKeyPercent, 95u);
  EXPECT_TRUE(own.ringFrame);
  EXPECT_EQ(own.frameRate, -70);
  EXPECT_EQ(own.hintFile, "/tmp/vant hints");
  EXPECT_TRUE(own.deleteHintFile);
  EXPECT_TRUE(own.overwrite);
  const toolsupport::GraphicsSwitches graphics = toolsupport::ParseGraphicsSwitches(text);
  EXPECT_EQ(graphics.start, 3);
  EXPECT_EQ(graphics.colours, 128);
  EXPECT_EQ(graphics.paletteSource, "/pals/my pal.bmp");
  toolsupport::SoundSwitches sound;
  toolsupport::ParseSoundSwitches(text, "LRBC", sound);
  EXPECT_EQ(sound.lossLevel, 2);
  EXPECT_EQ(sound.rate, 16000);
  EXPECT_EQ(sound.bits, 16);
  EXPECT_EQ(sound.channels, 1);
  EXPECT_FALSE(SwitchLeftOver(text)) << text;
  EXPECT_EQ(TakeArgument(text), "frame???.bmp*5-12");
  TrimText(text);
  StripQuotes(text);
  EXPECT_EQ(text, "/out dir/New_frame.vnt");
}

TEST(CompressCommand, DefaultsResetTheOptionsButNotTheFileList) {
  CompressSettings s;
  s.filename = "a.flc", s.directory = "/v", s.filter = 3, s.currentTab = 4, s.outputBasedOn = "/v/a";
  s.outputName = "a.vnt", s.regularCompressType = 2, s.keyRate = "1", s.noSound = true, s.lossySound = 7;
  s.outputType = 3, s.mixOriginal = true, s.paletteName = "/v/p.bmp", s.start = true, s.startNum = "4";
  ResetCompressOptions(s);
  CompressSettings expected;
  expected.normalErrorPerc = "65";
  expected.filename = "a.flc", expected.directory = "/v", expected.filter = 3, expected.currentTab = 4;
  expected.outputBasedOn = "/v/a";
  EXPECT_EQ(s, expected);
  EXPECT_EQ(std::string(CompressOutputExtension(7)), "gif");
  EXPECT_EQ(std::string(CompressOutputExtension(99)), "vnt");
}

}  // namespace
