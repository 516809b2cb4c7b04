#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "frontend/core/front_end.h"
#include "frontend/core/report_endpoint.h"
#include "frontend/core/report_receiving.h"
#include "frontend/core/tests/frontend_test_support.h"
#include "frontend/files/file_controls.h"
#include "frontend/files/popup_menus.h"
#include "frontend/pages/compress_command.h"
#include "frontend/pages/compress_page.h"
#include "frontend/pages/tests/generated_pictures.h"
#include "frontend/pages/tests/page_fixture.h"
#include "platform/face/dialogs.h"
#include "platform/image/image.h"
#include "playback/vant.h"
#include "testsupport/environment_guard.h"
#include "testsupport/scratch_directory.h"

using namespace frontend;
using platform::DialogAnswer;

namespace {

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.is_regular_file()) names.push_back(entry.path().string());
  }
  return names;
}

class CompressPage : public ::testing::Test {
 protected:
  CompressPage() : frontEnd_(starter_) {
    frontEnd_.settings.main.directory = "/opt/vant";
    frontEnd_.settings.command.directory = scratch_.path();
    frontEnd_.notifyTargets.SetMain(1234);
    frames_ = scratch_.File("my frames");
    temp_ = scratch_.File("temp");
    std::filesystem::create_directories(temp_);
    environment_.Set("TMPDIR", temp_.c_str());
  }
  void SetUp() override {
    ASSERT_TRUE(frontend_testing::EnsureApplication());
    menus_ = std::make_unique<PopupMenus>(frontEnd_, nullptr);
    sheet_ = std::make_unique<QWidget>();
    frontend_testing::WritePictures(frames_, 5, 8);
    frontEnd_.settings.compress.directory = frames_;
    frontEnd_.settings.compress.filename = "frame006.bmp";
  }

  std::unique_ptr<Tvantform> MakePage() {
    return std::make_unique<Tvantform>(PageContext{frontEnd_, *menus_}, sheet_.get());
  }

  testsupport::ScratchDirectory scratch_;
  testsupport::EnvironmentGuard environment_;
  frontend_testing::FakeStarter starter_;
  FrontEnd frontEnd_;
  std::unique_ptr<PopupMenus> menus_;
  std::unique_ptr<QWidget> sheet_;
  std::string frames_, temp_;
};

TEST_F(CompressPage, TheSettingsGoIntoTheControlsAndComeBack) {
  CompressSettings s;
  s.outputName = "/elsewhere/out.flc", s.outputBasedOn = "/elsewhere/frame006", s.outputType = 1;
  s.mixOriginal = true, s.overwrite = true, s.regularCompressType = kFilePercent, s.keyCompressType = kToDataRate;
  s.normalFilePerc = "85", s.keyRate = "123456", s.normalErrorPerc = "30", s.autoKeyFrame = "80";
  s.yScale = 1, s.keyFrames = true, s.keyFramesNum = "25", s.start = true, s.startNum = "2", s.frameRate = true;
  s.frameRateNum = "-70", s.ring = true, s.everyOther = true, s.x = true, s.xNum = "3", s.h = true, s.hNum = "10";
  s.paletteColors = true, s.paletteColorsNum = "200", s.paletteEvery = true, s.paletteEveryNum = "12";
  s.halftone = 2, s.paletteControl = 1, s.windowsColors = 2, s.paletteName = "/pals/p.bmp";
  s.noSound = true, s.lossySound = 6, s.rate = -1, s.rateText = "32000", s.quality = 2, s.channels = 1;
  s.currentTab = 3;
  const std::vector<std::string> hints = {"50 60 300000 0", "", "70 80 * 1"};
  auto page = MakePage();
  EXPECT_EQ(frontend_testing::ThroughControls(*page, s, hints), s);
  EXPECT_EQ(page->FrameSpecificLines(), hints);
  EXPECT_TRUE(page->rateBox().isEditable());
  EXPECT_EQ(page->optionPages().currentIndex(), 3);

  page->SaveSettings();
  CompressSettings stored = s;
  stored.filename = "frame006.bmp", stored.directory = frames_;
  EXPECT_EQ(frontEnd_.settings.compress, stored);
  EXPECT_EQ(frontEnd_.settings.frameSpecific, hints);
  // The next page starts where this one ended (its output name made anew from what was typed).
  page.reset();
  auto next = MakePage();
  CompressSettings again = next->CurrentSettings();
  EXPECT_EQ(again.outputName, "frame006.flc");
  again.outputName = s.outputName;
  again.outputBasedOn = s.outputBasedOn;
  EXPECT_EQ(again, stored);
}

TEST_F(CompressPage, TheOutputNameFollowsTheInputAndTheType) {
  auto page = MakePage();
  EXPECT_EQ(page->files().SelectedFiles(), std::vector<std::string>{"frame006.bmp"});
  EXPECT_EQ(page->outputEdit().text().toStdString(), "frame006.vnt");
  EXPECT_TRUE(page->compressButton().isEnabled());
  page->typeMenu().actions().at(2)->trigger();  // "Create BMPs": the output would be the input
  EXPECT_EQ(page->outputEdit().text().toStdString(), "New_frame006.bmp");
  EXPECT_TRUE(page->typeMenu().actions().at(9)->isEnabled());  // "Mix original into output?"
  page->ChooseOutputType(1);
  EXPECT_EQ(page->outputEdit().text().toStdString(), "frame006.flc");
  page->files().ClearSelection();
  EXPECT_FALSE(page->compressButton().isEnabled());
  EXPECT_EQ(page->outputEdit().text().toStdString(), "");

  // A compress type shows its own stored value, and an edited value stays with its type.
  auto* type = page->findChild<QComboBox*>("regcomptype");
  auto* value = page->findChild<QLineEdit*>("regedit");
  type->setCurrentIndex(kFilePercent);
  EXPECT_EQ(value->text().toStdString(), "80");
  value->clear();
  QTest::keyClicks(value, "85");
  type->setCurrentIndex(kToDataRate);
  EXPECT_EQ(value->text().toStdString(), "240000");
  type->setCurrentIndex(kFilePercent);
  EXPECT_EQ(value->text().toStdString(), "85");
  type->setCurrentIndex(kLossless);
  EXPECT_FALSE(value->isVisibleTo(page.get()));

  // "Let me enter a specific rate." turns the list into a field for the rate.
  emit page->rateBox().activated(4);
  ASSERT_TRUE(frontend_testing::PumpEventsUntil([&page] { return page->rateBox().isEditable(); }, 20000));
  QTest::keyClicks(page->rateBox().lineEdit(), "16000");
  EXPECT_EQ(page->CurrentSettings().rate, -1);
  EXPECT_EQ(page->CurrentSettings().rateText, "16000");
}

TEST_F(CompressPage, TheButtonStartsTheCompressorOnlyWithSoundValuesAndCleansUpItsHints) {
  const std::string hintLines = "1 2 300000 1\n3 4 * 0\n";
  const std::vector<std::string> hints = {"1 2 300000 1", "3 4 * 0"};
  struct Row {
    std::string name;
    std::function<void(CompressSettings&)> change;
    std::vector<DialogAnswer> answers;
    std::vector<std::string> memo;
    bool startWorks, tempDirectory;
    bool tried;     // a start was asked for
    bool hintLeft;  // the hint file is still there for the compressor to delete
    std::string message;  // a box shown besides the sequence question, "" for none
  } rows[] = {
      {"series", {}, {DialogAnswer::Yes}, hints, true, true, true, true, ""},
      {"a blank memo gives no hints", {}, {DialogAnswer::Yes}, {"  ", ""}, true, true, true, false, ""},
      {"a value out of range", [](CompressSettings& s) { s.normalRate = "500"; }, {}, hints, true, true, false,
       false, "Error, the data rate for regular frames must be at least 1000 (bytes per second)."},
      {"cancelled", {}, {DialogAnswer::Cancel}, hints, true, true, false, false, ""},
      {"no temporary file", {}, {DialogAnswer::Yes}, hints, true, false, false, false,
       "Error, could not save the frame specific settings to a temporary file."},
      {"the start fails", {}, {DialogAnswer::No}, hints, false, true, true, false, ""},
  };
  for (const Row& c : rows) {
    SCOPED_TRACE(c.name);
    starter_.starts.clear();
    starter_.succeed = c.startWorks;
    std::filesystem::remove_all(temp_);
    if (c.tempDirectory) std::filesystem::create_directories(temp_);
    auto page = MakePage();
    CompressSettings s = page->CurrentSettings();
    if (c.change) c.change(s);
    page->ShowSettings(s, c.memo);
    platform::ScriptedDialogs dialogs;
    for (DialogAnswer answer : c.answers) dialogs.Answer(answer);

    page->compressButton().click();

    ASSERT_EQ(starter_.starts.size(), c.tried ? 1u : 0u);
    if (c.tried && c.startWorks) {
      const std::string& text = starter_.starts.at(0).text;
      const std::string expected = "\"/opt/vant/vantcw\" \"frame???.bmp*5-8\" \"frame.vnt\" /N240000/K20/A95/" +
                                   std::string(c.hintLeft ? "@\"*" + temp_ + "/" : "L0 /#1234");
      EXPECT_EQ(text.rfind(expected, 0), 0u) << text;
      EXPECT_EQ(starter_.starts[0].directory, frames_);
    }
    std::vector<std::string> left = c.tempDirectory ? FilesIn(temp_) : std::vector<std::string>{};
    ASSERT_EQ(left.size(), c.hintLeft ? 1u : 0u);
    if (c.hintLeft) {
      std::ifstream in(left[0]);
      EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), hintLines);
      EXPECT_NE(starter_.starts[0].text.find("/@\"*" + left[0] + "\"/L0 "), std::string::npos);
    }
    std::string shown;
    for (const platform::DialogRequest& asked : dialogs.asked()) {
      if (asked.text.rfind("This file appears to be part of a sequence", 0) != 0) shown = asked.text;
    }
    EXPECT_EQ(shown, c.message);
  }
  // The last start's input and output (the start failed, the names were still chosen).
  EXPECT_EQ(frontEnd_.settings.recentFiles.at(0), frames_ + "/frame006.vnt");
  EXPECT_EQ(frontEnd_.settings.recentFiles.at(1), frames_ + "/frame006.bmp");
}

TEST_F(CompressPage, DefaultsAskFirst) {
  auto page = MakePage();
  CompressSettings s = page->CurrentSettings();
  s.keyRate = "5000", s.noSound = true, s.outputType = 3;
  page->ShowSettings(s, {"1 2 3 4"});
  {
    platform::ScriptedDialogs dialogs;  // the default answer is No
    page->DefaultsPressed();
    EXPECT_EQ(page->CurrentSettings().keyRate, "5000");
    EXPECT_EQ(dialogs.asked().at(0).text, "Reset all options to their default values?");
  }
  platform::ScriptedDialogs dialogs;
  dialogs.Answer(DialogAnswer::Yes);
  page->DefaultsPressed();
  const CompressSettings reset = page->CurrentSettings();
  EXPECT_EQ(reset.keyRate, "300000");
  EXPECT_EQ(reset.normalErrorPerc, "65");
  EXPECT_FALSE(reset.noSound);
  EXPECT_EQ(reset.outputType, 0);
  EXPECT_EQ(reset.outputName, "frame006.vnt");
  EXPECT_TRUE(page->FrameSpecificLines().empty());
}

// A user picks one of a run of pictures, says yes to the series and gets the video and the report.
TEST(CompressPageEndToEnd, ThePicturesBecomeAVideoThePlayerOpensAndTheReportReachesTheConsole) {
  const char* programs = std::getenv("VANT_BIN_DIR");
  if (!programs) GTEST_SKIP() << "VANT_BIN_DIR is not set";
  ASSERT_TRUE(frontend_testing::EnsureApplication());
  testsupport::ScratchDirectory scratch;
  testsupport::EnvironmentGuard environment;
  const std::string temp = scratch.File("temp"), folder = scratch.File("my frames");
  std::filesystem::create_directories(temp);
  environment.Set("TMPDIR", temp.c_str());
  frontend_testing::WritePictures(folder, 1, 6);

  frontend::SystemProgramStarter starter;
  FrontEnd frontEnd(starter);
  frontEnd.settings.main.directory = programs;
  frontEnd.settings.command.directory = scratch.path();
  frontEnd.settings.compress.directory = folder;
  frontEnd.settings.compress.filename = "frame003.bmp";
  frontEnd.settings.frameSpecific = {"2 3 300000 1"};
  ReportEndpoint endpoint(
      [&frontEnd](const platform::ReportRequest& request) { return ReceiveReport(frontEnd, request, [] {}); },
      "Vantrel for Windows");
  ASSERT_TRUE(endpoint.listening());
  frontEnd.notifyTargets.SetMain(endpoint.number());
  frontEnd.ShowPrompt();
  PopupMenus menus(frontEnd, nullptr);
  QWidget sheet;
  Tvantform page(PageContext{frontEnd, menus}, &sheet);
  platform::ScriptedDialogs dialogs;
  dialogs.Answer(DialogAnswer::Yes);

  page.compressButton().click();

  std::string console;
  ASSERT_TRUE(frontend_testing::WaitForConsoleLine(frontEnd.console, "  Vanted in ", console)) << console;
  VantVideo* video = VantOpen((folder + "/frame.vnt").c_str(), 0, 0);
  ASSERT_NE(video, nullptr);
  EXPECT_EQ(video->header.frames, 6u);
  EXPECT_EQ(video->header.width, 32u);
  VantClose(video);
  // The compressor deleted the hint file it was given.
  EXPECT_TRUE(FilesIn(temp).empty());
}

}  // namespace
