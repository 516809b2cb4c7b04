#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "frontend/core/ini_file.h"
#include "frontend/core/settings_file.h"
#include "frontend/shell/start_up.h"
#include "testsupport/environment_guard.h"
#include "testsupport/scratch_directory.h"

using namespace frontend;

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class SettingsFiles : public ::testing::Test {
 protected:
  void SetUp() override { environment_.Set("XDG_CONFIG_HOME", scratch_.File("config").c_str()); }
  std::string Config(const std::string& name) { return scratch_.File("config/vant/" + name); }
  void WriteConfig(const std::string& name, const std::string& text) {
    std::filesystem::create_directories(scratch_.File("config/vant"));
    std::ofstream(Config(name)) << text;
  }

  testsupport::ScratchDirectory scratch_;
  testsupport::EnvironmentGuard environment_;
};

TEST_F(SettingsFiles, AFreshStartGivesTheDefaults) {
  const Settings settings = LoadStartUpSettings(ScanStartUpArguments({}), "/opt/vant", scratch_.path());
  EXPECT_EQ(settings.main.currentTab, 0);
  EXPECT_EQ(settings.main.x, kUnsetPosition);  // centred
  EXPECT_TRUE(settings.main.showHints);
  EXPECT_EQ(settings.main.directory, "/opt/vant");
  EXPECT_EQ(settings.command.directory, scratch_.path());
  EXPECT_EQ(settings.compress.normalRate, "240000");
  EXPECT_EQ(settings.compress.keyRate, "300000");
  EXPECT_EQ(settings.compress.keyCompressType, 3);
  EXPECT_EQ(settings.compress.normalErrorPerc, "30");
  EXPECT_EQ(settings.play.tracks, 127);
  EXPECT_EQ(settings.mix.track, 1);
  EXPECT_TRUE(settings.recentFiles.empty());
}

TEST_F(SettingsFiles, WriteThenReadGivesTheSameRecordInTheWritingOrder) {
  Settings written;
  written.main.directory = "/opt/vant";
  written.main.x = -20;
  written.main.y = 300;
  written.main.currentTab = 5;
  written.compress.filename = "My Clip.FLC";
  written.compress.normalRate = "123456789";
  written.compress.ring = true;
  written.compress.hNum = "-12";
  written.frameSpecific = {"50 60 300000 0", "70 80 200000 1"};
  written.mix.track = 7;
  written.play.tracks = 1;
  written.play.extraMemNum = "4096";
  written.script.findText = "TEXTBEGIN = here";
  written.graphics.heightNum = "200";
  written.sound.skipBytes = "44";
  written.command.directory = "/home/ann/Videos";
  written.recentCommands = {"vantc \"a b.flc\" out.vnt /L0"};
  written.recentFiles = {"/home/ann/Clip.vnt", "/home/ann/clip.vnt"};
  written.recentDirs = {"/home/ann"};

  IniFile file;
  WriteSettings(written, file);
  EXPECT_EQ(file.Sections(),
            (std::vector<std::string>{"VantMain", "Vant", "VantFrameSpecific", "VantMix", "VantPlay",
                                      "VantScript", "GraphicsProcessor", "AudProcessor",
                                      "VantCommand", "VantRecentCommands", "VantRecentFiles",
                                      "VantRecentDirs"}));
  std::vector<std::string> mainKeys;
  for (const auto& [key, value] : file.Entries("VantMain")) mainKeys.push_back(key);
  EXPECT_EQ(mainKeys, (std::vector<std::string>{"X", "Y", "CurrentTab"}));  // read-only keys stay out
  EXPECT_EQ(file.Entries("Vant").front().first, "Filename");
  EXPECT_EQ(file.Entries("Vant").back().first, "Channels");

  IniFile reread;
  reread.Parse(file.Text());
  Settings read;
  read.main.directory = "/opt/vant";
  ReadSettings(reread, read);
  EXPECT_EQ(read, written);
}

// A header without a name is kept too: the keys under it must not join the section before it.
TEST_F(SettingsFiles, ASavedFileKeepsEveryKeyInItsSection) {
  for (const std::string text : {"[Other]\nA=1\n[]\nB=2\n", "[Other]\n[  ]\r\nB=2\n[Last]\nC=3"}) {
    IniFile file;
    file.Parse(text);
    IniFile saved;
    saved.Parse(file.Text());
    EXPECT_EQ(saved.Text(), file.Text()) << text;
    for (const std::string section : {"Other", "Last"}) {
      EXPECT_EQ(saved.Entries(section), file.Entries(section)) << text;
    }
  }
}

TEST_F(SettingsFiles, ListsCloseGapsKeepTheirCaseAndHoldThirtyEntries) {
  IniFile file;
  file.Parse("[VantRecentFiles]\nFile0=/a/One.vnt\nFile1=   \nfile5= /a/two.vnt \n"
             "[VantFrameSpecific]\n");
  EXPECT_EQ(ReadIniList(file, "VantRecentFiles", "File", 30),
            (std::vector<std::string>{"/a/One.vnt", "/a/two.vnt"}));
  WriteIniList(file, "VantRecentFiles", "File", ReadIniList(file, "VantRecentFiles", "File", 30));
  EXPECT_EQ(file.Entries("VantRecentFiles"),
            (std::vector<std::pair<std::string, std::string>>{{"File0", "/a/One.vnt"},
                                                             {"File1", "/a/two.vnt"}}));

  // Every line of a long frame-specific memo comes back, not only the first 257.
  std::vector<std::string> lines;
  for (int i = 0; i < 300; ++i) lines.push_back(std::to_string(i) + " " + std::to_string(i + 1) + " 1000 0");
  WriteIniList(file, "VantFrameSpecific", "Frame", lines);
  EXPECT_EQ(ReadIniList(file, "VantFrameSpecific", "Frame", 256), lines);

  struct Case {
    std::vector<std::string> list;
    std::string added;
    std::vector<std::string> expected;
  } cases[] = {
      {{"/a", "/b"}, " /b ", {"/b", "/a"}},        // a duplicate moves to the top
      {{"/Videos", "/b"}, "/videos", {"/videos", "/Videos", "/b"}},  // other case, other name
      {{"/a"}, "   ", {"/a"}},                      // nothing to add
  };
  for (const Case& c : cases) {
    std::vector<std::string> list = c.list;
    AddToRecentList(list, c.added);
    EXPECT_EQ(list, c.expected) << c.added;
  }
  std::vector<std::string> full;
  for (int i = 0; i < 31; ++i) AddToRecentList(full, "/dir" + std::to_string(i));
  ASSERT_EQ(full.size(), kRecentListLimit);
  EXPECT_EQ(full.front(), "/dir30");
  EXPECT_EQ(full.back(), "/dir1");  // the oldest went

  Settings settings;
  settings.command.directory = "/home/ann";
  AddRecentFile(settings, "Clip.VNT");
  EXPECT_EQ(settings.recentFiles, (std::vector<std::string>{"/home/ann/Clip.VNT"}));
}

TEST_F(SettingsFiles, ValuesAreCutToTheirWidthAndBadNumbersGiveTheDefault) {
  IniFile file;
  file.Parse("[vant]\nnormalrate = 1234567890\nAutoKeyFrame=12345\nKeyFilePerc=123 5\nYScale=2x\nKeyFrames=abc\n"
             "[VantPlay]\nTracks=99999999999\nLoop=-1\n[VantMix]\nTrack=  4  \n");
  Settings settings;
  ReadSettings(file, settings);
  EXPECT_EQ(settings.compress.normalRate, "123456789");
  EXPECT_EQ(settings.compress.autoKeyFrame, "1234");
  EXPECT_EQ(settings.compress.keyFilePerc, "123");  // no blank left at the cut, which a save drops
  EXPECT_EQ(settings.compress.yScale, 0);
  EXPECT_FALSE(settings.compress.keyFrames);
  EXPECT_EQ(settings.play.tracks, 127);
  EXPECT_TRUE(settings.play.loop);
  EXPECT_EQ(settings.mix.track, 4);
}

TEST_F(SettingsFiles, StartUpArgumentsNameTheBatchAndTheSettingsFile) {
  struct Case {
    std::vector<std::string> arguments;
    std::string settings;
    std::string pending;
  } cases[] = {
      {{}, Config("Vantrel.INI"), ""},
      {{"a.sbt", "b.SBT", "my", "c.sbt"}, Config("my.INI"), "\"b.SBT\""},
      {{"my batch.sbt"}, Config("Vantrel.INI"), "\"my batch.sbt\""},
      {{"/tmp/x/conf"}, "/tmp/x/conf.INI", ""},
      {{"other.ini"}, Config("other.ini"), ""},
  };
  for (const Case& c : cases) {
    const StartUpArguments scanned = ScanStartUpArguments(c.arguments);
    EXPECT_EQ(scanned.settingsPath, c.settings);
    EXPECT_EQ(scanned.pendingCommand, c.pending);
  }
}

TEST_F(SettingsFiles, ANamedFileWithoutTheMarkerStartsFromTheDefaultAndKeepsWhatItHolds) {
  WriteConfig("Vantrel.INI", "[VantMain]\nCurrentTab=3\n[Vant]\nKeyRate=111\n");
  WriteConfig("my.INI", "; mine\n[Other]\nKept=yes\n[VantMain]\nDirectory=/opt/mine\n");
  const StartUpArguments arguments = ScanStartUpArguments({"my"});
  Settings settings = LoadStartUpSettings(arguments, "/opt/vant", scratch_.path());
  EXPECT_EQ(settings.main.currentTab, 3);
  EXPECT_EQ(settings.compress.keyRate, "111");
  EXPECT_EQ(settings.main.directory, "/opt/vant");

  settings.main.currentTab = 6;
  ASSERT_TRUE(SaveSettingsFile(arguments.settingsPath, settings));
  const std::string text = ReadFile(arguments.settingsPath);
  EXPECT_NE(text.find("; mine\n[Other]\nKept=yes\n"), std::string::npos);
  EXPECT_NE(text.find("Directory=/opt/mine"), std::string::npos);  // read only, left alone
  for (const auto& entry : std::filesystem::directory_iterator(scratch_.File("config/vant"))) {
    EXPECT_EQ(entry.path().filename().string().find(".INI."), std::string::npos) << "temporary left";
  }
  // Now it holds the marker, so it is read itself.
  EXPECT_EQ(LoadStartUpSettings(arguments, "/opt/vant", scratch_.path()).main.currentTab, 6);
  EXPECT_EQ(LoadStartUpSettings(arguments, "/opt/vant", scratch_.path()).main.directory, "/opt/mine");
}

TEST_F(SettingsFiles, AConsoleDirectoryThatIsGoneGivesWayToTheCurrentOne) {
  WriteConfig("Vantrel.INI", "[VantCommand]\nDirectory=" + scratch_.File("gone") + "\n");
  EXPECT_EQ(LoadStartUpSettings(ScanStartUpArguments({}), "/opt", scratch_.path()).command.directory,
            scratch_.path());
}

}  // namespace
