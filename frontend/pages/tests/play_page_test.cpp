#include <gtest/gtest.h>

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

#include "frontend/analysis/analysis_window.h"
#include "frontend/files/file_controls.h"
#include "frontend/pages/play_page.h"
#include "frontend/pages/tests/page_fixture.h"
#include "platform/face/dialogs.h"

using namespace frontend;
using platform::DialogAnswer;

namespace {

class PlayPage : public frontend_testing::PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    videos_ = scratch_.File("my videos");
    frontend_testing::WriteSmallVideo(videos_ + "/clip.vnt", 4);
    Touch(videos_ + "/frames.lst", "a.bmp\n");
    Touch(videos_ + "/bound.exe", "\x7f" "ELF");
    Touch(videos_ + "/fake.vnt", "not a video");
    frontEnd_.settings.play.directory = videos_;
    frontEnd_.settings.play.filename = "clip.vnt";
    frontEnd_.settings.play.filter = 2;  // all files
  }
  std::unique_ptr<Tplayform> MakePage() { return std::make_unique<Tplayform>(Context(), sheet_.get()); }

  std::string videos_;
};

TEST_F(PlayPage, TheSettingsGoIntoTheControlsAndComeBack) {
  PlaySettings s;
  s.display = 3, s.use = 2, s.tracks = 0x45, s.disabledControls = 6, s.yScale = 3, s.currentTab = 2, s.style = 4;
  s.loop = true, s.loopNum = "3", s.frameRate = true, s.frameRateNum = "-66", s.preload = true;
  s.showSummary = true, s.noFrameDrop = true, s.x = true, s.xNum = "10", s.y = true, s.yNum = "20", s.w = true;
  s.wNum = "640", s.h = true, s.hNum = "480", s.showFrames = true, s.directSound = true, s.soundOnly = true;
  s.doubleBuffer = true, s.noClear = true, s.noRemap = true, s.loadExtra = true, s.noPause = true;
  s.deltasOnly = true, s.simulate = true, s.simulateNum = "300000", s.extraMem = true, s.extraMemNum = "65536";
  auto page = MakePage();
  EXPECT_EQ(frontend_testing::ThroughControls(*page, s), s);
  EXPECT_EQ(page->optionPages().currentIndex(), 2);
  const QList<QCheckBox*> boxes = page->optionPages().widget(2)->findChildren<QCheckBox*>();
  ASSERT_GE(boxes.size(), 7);
  EXPECT_TRUE(boxes[0]->isChecked());   // track 1
  EXPECT_FALSE(boxes[1]->isChecked());  // track 2
  EXPECT_TRUE(boxes[6]->isChecked());   // track 7

  page->SaveSettings();
  PlaySettings stored = s;
  stored.filename = "clip.vnt", stored.directory = videos_, stored.filter = 2;
  EXPECT_EQ(frontEnd_.settings.play, stored);
  page.reset();
  EXPECT_EQ(MakePage()->CurrentSettings(), stored);
}

TEST_F(PlayPage, PlayStartsThePlayerOnVideosAndOpensOtherFilesByType) {
  std::string edited;
  frontEnd_.dialogs.editListFile = [&edited](const std::string& file) {
    edited = file;
    return file;
  };
  struct Row {
    std::string file;
    std::function<void(PlaySettings&)> change;
    std::string command;  // the one start asked for, "" for none
    std::string listEdited;
    std::string message;
  } rows[] = {
      {"clip.vnt", {}, "\"/opt/vant/vantplw\" \"clip.vnt\" /#1234", "", ""},
      {"clip.vnt", [](PlaySettings& s) { s.loop = true, s.loopNum = "3", s.tracks = 1; },
       "\"/opt/vant/vantplw\" \"clip.vnt\" /L3/T1 /#1234", "", ""},
      {"frames.lst", {}, "", "frames.lst", ""},
      {"bound.exe", {}, "\"" + videos_ + "/bound.exe\"", "", ""},
      {"fake.vnt", {}, "\"/opt/vant/vantplw\" \"fake.vnt\" /#1234", "", ""},
      {"clip.vnt", [](PlaySettings& s) { s.x = true, s.xNum = "1x"; }, "", "",
       "Error, the X coordinate must be a whole number."},
  };
  for (const Row& c : rows) {
    SCOPED_TRACE(c.file);
    starter_.starts.clear();
    edited.clear();
    auto page = MakePage();
    ASSERT_TRUE(page->files().SelectFile(c.file));
    PlaySettings s = page->CurrentSettings();
    if (c.change) c.change(s);
    page->ShowSettings(s);
    platform::ScriptedDialogs dialogs;

    page->playButton().click();

    ExpectStart(c.command, videos_);
    EXPECT_EQ(edited, c.listEdited);
    EXPECT_EQ(dialogs.asked().empty() ? "" : dialogs.asked().back().text, c.message);
  }
}

TEST_F(PlayPage, TheButtonsNeedAFileAndAnalyzeOpensTheAnalysisWindow) {
  auto page = MakePage();
  for (QPushButton* button : {&page->playButton(), &page->analyzeButton(), &page->compileButton()}) {
    EXPECT_TRUE(button->isEnabled());
  }
  page->analyzeButton().click();
  ASSERT_NE(Analysis().window(), nullptr);
  EXPECT_EQ(Analysis().window()->FileName(), videos_ + "/clip.vnt");
  Analysis().Close();
  EXPECT_EQ(frontEnd_.settings.recentFiles.at(0), videos_ + "/clip.vnt");

  page->files().ClearSelection();
  for (QPushButton* button : {&page->playButton(), &page->analyzeButton(), &page->compileButton()}) {
    EXPECT_FALSE(button->isEnabled());
  }
}

TEST_F(PlayPage, DefaultsAskFirst) {
  auto page = MakePage();
  PlaySettings s = page->CurrentSettings();
  s.tracks = 2, s.loop = true, s.style = 3;
  const auto [kept, reset] = frontend_testing::PressDefaults(*page, s);
  EXPECT_EQ(kept, s);
  EXPECT_EQ(reset.tracks, 127);
  EXPECT_FALSE(reset.loop);
  EXPECT_EQ(reset.style, 0);
}

// A user plays a generated video from the Player page; the player's report reaches the console.
TEST(PlayPageEndToEnd, PlayStartsThePlayerWhoseReportReachesTheConsole) {
  const char* programs = frontend_testing::ProgramFolder();
  if (!programs) GTEST_SKIP() << "VANT_BIN_DIR is not set";
  ASSERT_TRUE(frontend_testing::EnsureApplication());
  testsupport::ScratchDirectory scratch;
  const std::string videos = scratch.File("my videos");
  frontend_testing::WriteSmallVideo(videos + "/first clip.vnt", 6);
  frontend_testing::LiveFrontEnd live(programs, scratch.path());
  ASSERT_TRUE(live.endpoint.listening());
  PlaySettings& s = live.frontEnd.settings.play;
  s.directory = videos, s.filename = "first clip.vnt", s.loop = true, s.loopNum = "2", s.frameRate = true;
  Tplayform page(live.Context(), &live.sheet);

  page.playButton().click();

  std::string console;
  ASSERT_TRUE(frontend_testing::WaitForConsoleLine(live.frontEnd.console, "  VantPlay - V3.0k", console)) << console;
  EXPECT_NE(console.find("VantPly \"first clip.vnt\" /L2/F"), std::string::npos) << console;
}

}  // namespace
