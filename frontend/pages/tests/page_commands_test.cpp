// The Mixer, Player and Scriptor pages' commands, built from their settings records alone.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "frontend/core/front_end.h"
#include "frontend/core/launcher.h"
#include "frontend/core/tests/frontend_test_support.h"
#include "frontend/pages/mix_command.h"
#include "frontend/pages/play_command.h"
#include "frontend/pages/script_command.h"
#include "platform/system/command_text.h"
#include "player/player_options.h"
#include "testsupport/scratch_directory.h"
#include "toolsupport/base/switches.h"
#include "toolsupport/base/text_words.h"

using namespace frontend;

namespace {

template <typename Record>
Record With(const std::function<void(Record&)>& change) {
  Record record;
  if (change) change(record);
  return record;
}

using MixChange = std::function<void(MixSettings&)>;
using PlayChange = std::function<void(PlaySettings&)>;

const MixRun kMixRun{"/v/clip.vnt", "/v/tone.wav", "Mix_clip.vnt", "/v"};

TEST(MixCommand, TheSwitchesFollowTheSettingsAndEveryNameIsQuoted) {
  const std::string start = "VantMix \"clip.vnt\" \"tone.wav\" \"Mix_clip.vnt\" ";
  struct Case {
    std::string name;
    MixChange change;
    std::string switches;
  } cases[] = {
      {"track 1 and lossless give neither /M nor /L", {}, ""},
      {"lossy and another track", [](MixSettings& s) { s.lossy = 5, s.track = 3; }, "/L5/M3"},
      {"a track the mixer has not is track 1", [](MixSettings& s) { s.track = 9; }, ""},
      {"a typed rate", [](MixSettings& s) { s.rate = -1, s.rateText = " 32000 "; }, "/R32000"},
      {"a listed rate, bits and channels", [](MixSettings& s) { s.rate = 2, s.quality = 1, s.channels = 2; },
       "/R22050/B8/C2"},
      {"checked but empty, or unchecked",
       [](MixSettings& s) { s.frameRate = true, s.startNum = "4", s.inputStart = true; }, ""},
      {"the raw switches only for raw input",
       [](MixSettings& s) { s.forceRate = "8000", s.skipIntoNum = "44"; }, ""},
      {"raw input", [](MixSettings& s) { s.format = 3, s.forceRate = "8000", s.skipIntoNum = "44"; }, "/Y3/D8000/K44"},
      {"raw input of the input's own rate", [](MixSettings& s) { s.format = 5; }, "/Y5"},
      {"everything, in order",
       [](MixSettings& s) {
         s.lossy = 2, s.track = 7, s.frameRate = true, s.frameRateNum = "-70", s.start = true, s.startNum = "3";
         s.loop = true, s.overwrite = true, s.rate = 3, s.quality = 2, s.channels = 1;
         s.inputTrack = true, s.inputTrackNum = "2", s.inputStart = true, s.inputStartNum = "100";
         s.inputEnd = true, s.inputEndNum = "900", s.format = 1, s.forceRate = "11025", s.skipIntoNum = "10";
       },
       "/L2/M7/F-70/G3/P/O/R44100/B16/C1/T2/S100/E900/Y1/D11025/K10"},
  };
  for (const Case& c : cases) EXPECT_EQ(BuildMixCommand(With<MixSettings>(c.change), kMixRun), start + c.switches) << c.name;

  const MixRun elsewhere{"/v/clip.vnt", "/sounds/frame???.wav*1-5", "/out dir/my mix.vnt", "/v"};
  EXPECT_EQ(BuildMixCommand(MixSettings{}, elsewhere),
            "VantMix \"clip.vnt\" \"/sounds/frame???.wav*1-5\" \"/out dir/my mix.vnt\" ");
}

TEST(MixCommand, ValuesTheMixerWouldRefuseOrMisreadAreCaughtFirst) {
  struct Case {
    MixChange change;
    std::string problem;
  } cases[] = {
      {{}, ""},
      {[](MixSettings& s) { s.outputName = "  "; }, "Error, you must enter an output file name."},
      {[](MixSettings& s) { s.rate = -1, s.rateText = "0"; }, "Error, the sound rate must be a whole number above 0."},
      {[](MixSettings& s) { s.rate = -1, s.rateText = "22k"; }, "Error, the sound rate must be a whole number above 0."},
      {[](MixSettings& s) { s.rate = -1, s.rateText = ""; }, ""},
      {[](MixSettings& s) { s.frameRate = true, s.frameRateNum = "-70"; }, ""},
      {[](MixSettings& s) { s.start = true, s.startNum = "-1"; },
       "Error, the frame to begin mixing at must be a whole number of 0 or more."},
      {[](MixSettings& s) { s.inputEnd = true, s.inputEndNum = "9x"; }, "Error, the ending time must be"},
      {[](MixSettings& s) { s.forceRate = "abc"; }, ""},
      {[](MixSettings& s) { s.format = 2, s.forceRate = "abc"; }, "Error, the forced input data rate must be"},
  };
  for (const Case& c : cases) {
    MixSettings s = With<MixSettings>(c.change);
    if (s.outputName.empty()) s.outputName = "out.vnt";
    const std::string problem = CheckMixSettings(s);
    if (c.problem.empty()) {
      EXPECT_EQ(problem, "");
    } else {
      EXPECT_EQ(problem.rfind(c.problem, 0), 0u) << problem;
    }
  }
}

TEST(MixCommand, DefaultsResetOnlyTheSoundFormatAndTrack) {
  MixSettings s;
  s.lossy = 4, s.track = 5, s.format = 3, s.forceRate = "8000", s.skipIntoNum = "2", s.rate = -1, s.rateText = "9000";
  s.quality = 1, s.channels = 2, s.loop = true, s.frameRate = true, s.frameRateNum = "12", s.vantFilename = "a.vnt";
  ResetMixOptions(s);
  MixSettings expected;
  expected.loop = true, expected.frameRate = true, expected.frameRateNum = "12", expected.vantFilename = "a.vnt";
  EXPECT_EQ(s, expected);
}

TEST(PlayerSwitches, FollowTheSettingsInTheirFixedOrder) {
  struct Case {
    std::string name;
    PlayChange change;
    std::string switches;
  } cases[] = {
      {"defaults", {}, ""},
      {"only track 1", [](PlaySettings& s) { s.tracks = 1; }, "/T1"},
      {"no track", [](PlaySettings& s) { s.tracks = 0; }, "/T0"},
      {"loop forever", [](PlaySettings& s) { s.loop = true; }, "/L"},
      {"loop three times", [](PlaySettings& s) { s.loop = true, s.loopNum = " 3"; }, "/L3"},
      {"as fast as possible", [](PlaySettings& s) { s.frameRate = true; }, "/F"},
      {"numbers without their boxes", [](PlaySettings& s) { s.loopNum = "3", s.xNum = "5", s.simulateNum = "9"; }, ""},
      {"boxes without their numbers", [](PlaySettings& s) { s.x = true, s.w = true, s.simulate = true; }, ""},
      {"everything",
       [](PlaySettings& s) {
         s.loop = true, s.loopNum = "2", s.frameRate = true, s.frameRateNum = "-66", s.preload = true;
         s.showSummary = true, s.noFrameDrop = true, s.x = true, s.xNum = "1", s.y = true, s.yNum = "2";
         s.w = true, s.wNum = "640", s.h = true, s.hNum = "480", s.soundOnly = true, s.doubleBuffer = true;
         s.style = 4, s.noClear = true, s.noRemap = true, s.loadExtra = true, s.deltasOnly = true;
         s.noPause = true, s.directSound = true, s.showFrames = true, s.display = 3, s.use = 2, s.tracks = 5;
         s.disabledControls = 7, s.yScale = 3, s.simulate = true, s.simulateNum = "300000", s.extraMem = true;
         s.extraMemNum = "65536";
       },
       "/L2/F-66/P/S/N/X1/Y2/W640/H480/O/B/I4/C/R/G/K/J/Z/Q/V3/D2/T5/U7/A3/M300000/E65536"},
  };
  for (const Case& c : cases) EXPECT_EQ(PlayerSwitches(With<PlaySettings>(c.change)), c.switches) << c.name;

  EXPECT_EQ(BuildPlayCommand("/v/clip.vnt", "/v", "/L"), "VantPly \"clip.vnt\" /L");
  EXPECT_EQ(BuildPlayCommand("/my videos/a b.vnt", "/v", ""), "VantPly \"/my videos/a b.vnt\" ");
  EXPECT_EQ(CheckPlaySettings(With<PlaySettings>([](PlaySettings& s) { s.loop = true, s.loopNum = "-3"; })),
            "Error, the loop count must be a whole number of 0 or more.");
  EXPECT_EQ(CheckPlaySettings(With<PlaySettings>([](PlaySettings& s) { s.w = true, s.wNum = "-320"; })), "");
}

// What the player reads of the command once the launcher has started it.
TEST(PlayerSwitches, ThePlayerReadsEveryValueAndTheNameBack) {
  frontend_testing::FakeStarter starter;
  FrontEnd frontEnd(starter);
  frontEnd.settings.main.directory = "/opt/vant";
  frontEnd.notifyTargets.SetMain(77);
  PlaySettings s;
  s.loop = true, s.loopNum = "3", s.frameRate = true, s.frameRateNum = "15", s.preload = true, s.x = true;
  s.xNum = "10", s.h = true, s.hNum = "480", s.style = 2, s.noRemap = true, s.showFrames = true, s.display = 3;
  s.tracks = 5, s.disabledControls = 4, s.yScale = 1, s.simulate = true, s.simulateNum = "300000";
  std::string command = BuildPlayCommand("/my videos/intro.vnt", "/v", PlayerSwitches(s));
  std::string text = frontend_testing::TextTheToolReads(frontEnd, command);
  ASSERT_FALSE(text.empty());

  EXPECT_EQ(GetNumberSwitch(0, '#', text), 77);
  PlayerOptions options;
  ASSERT_TRUE(ReadPlayerSwitches(text, options)) << text;
  EXPECT_EQ(options.loops, 3);
  EXPECT_EQ(options.frameRate, 15);
  EXPECT_EQ(options.x, 10);
  EXPECT_EQ(options.stretchHeight, 480);
  EXPECT_TRUE(options.noRemap);
  EXPECT_TRUE(options.frameInCaption);
  EXPECT_EQ(options.disabledControls, 4);
  EXPECT_EQ(options.simulatedReadSpeed, 300000u);
  const uint32_t tracks = options.openFlags & VANT_OPEN_ALL_TRACKS;
  EXPECT_EQ(tracks, (VANT_OPEN_TRACK_0 << 0) | (VANT_OPEN_TRACK_0 << 2));
  EXPECT_TRUE(options.openFlags & VANT_OPEN_PRELOAD);
  EXPECT_TRUE(options.openFlags & VANT_OPEN_INTERLACED);
  TrimText(text);
  StripQuotes(text);
  EXPECT_EQ(text, "/my videos/intro.vnt");
}

TEST(PlayerSwitches, DefaultsKeepOnlyTheFileList) {
  PlaySettings s;
  s.filename = "a.vnt", s.directory = "/v", s.filter = 2, s.currentTab = 3, s.tracks = 3, s.style = 2;
  s.loop = true, s.loopNum = "4", s.extraMem = true;
  ResetPlayOptions(s);
  PlaySettings expected;
  expected.filename = "a.vnt", expected.directory = "/v", expected.filter = 2, expected.currentTab = 3;
  EXPECT_EQ(s, expected);
}

TEST(VideoMagic, OnlyAFileBeginningWithTheMagicIsAVideo) {
  testsupport::ScratchDirectory scratch;
  struct Case {
    std::string name;
    std::string bytes;  // none: the file is not made
    bool video;
  } cases[] = {
      {"clip.vnt", std::string("VNT2\0\0\0\0", 8), true},
      {"bound.exe", "\x7f" "ELF", false},
      {"old.vnt", "VNT1rest", false},
      {"short.vnt", "VNT", false},
      {"renamed.dat", "VNT2", true},
  };
  for (const Case& c : cases) {
    std::ofstream(scratch.File(c.name), std::ios::binary) << c.bytes;
    EXPECT_EQ(HasVideoMagic(scratch.File(c.name)), c.video) << c.name;
  }
  EXPECT_FALSE(HasVideoMagic(scratch.File("missing.vnt")));
  std::filesystem::create_directory(scratch.File("folder.vnt"));
  EXPECT_FALSE(HasVideoMagic(scratch.File("folder.vnt")));
  ASSERT_EQ(mkfifo(scratch.File("pipe.vnt").c_str(), 0600), 0);
  EXPECT_FALSE(HasVideoMagic(scratch.File("pipe.vnt")));  // and it does not wait for a writer
}

TEST(ScriptCommand, TheHelpWordCaptionAndLine) {
  struct Word {
    std::string line, word;
  } words[] = {
      {"  varset a 1", "varset"}, {"PRINT,hello", "PRINT"}, {"\tEND", "END"}, {":start", ""},
      {"   :loop # again", ""},   {"", ""},                 {" \t ", ""},    {"goto :start", "goto"},
  };
  for (const Word& w : words) EXPECT_EQ(ScriptHelpWord(w.line), w.word) << w.line;
  EXPECT_EQ(EditPageCaption(""), "Edit - Untitled");
  EXPECT_EQ(EditPageCaption("/home/ann/Intro Show.ss"), "Edit: Intro Show.ss");
  EXPECT_EQ(LineIndicator(1234567, "."), " Line: 1.234.567");
  EXPECT_EQ(BuildScriptCommand("/s/my show.ss", "/s/"), "VantScr \"my show.ss\"");
  EXPECT_EQ(BuildScriptCommand("/s/show.ss", "/t"), "VantScr \"/s/show.ss\"");
}

}  // namespace
