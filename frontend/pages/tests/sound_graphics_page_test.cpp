#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "frontend/core/front_end.h"
#include "frontend/core/report_endpoint.h"
#include "frontend/core/report_receiving.h"
#include "frontend/core/tests/frontend_test_support.h"
#include "frontend/files/file_controls.h"
#include "frontend/files/popup_menus.h"
#include "frontend/pages/graphics_page.h"
#include "frontend/pages/page_switches.h"
#include "frontend/pages/sound_command.h"
#include "frontend/pages/sound_page.h"
#include "frontend/pages/tests/generated_pictures.h"
#include "frontend/pages/tests/page_fixture.h"
#include "platform/face/dialogs.h"
#include "testsupport/scratch_directory.h"
#include "testsupport/file_contents.h"

using namespace frontend;
using platform::DialogAnswer;

namespace {

uint32_t Little(const std::string& bytes, size_t at, int width) {
  uint32_t value = 0;
  for (int i = width - 1; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(bytes.at(at + i));
  return value;
}

class ToolPages : public ::testing::Test {
 protected:
  ToolPages() : frontEnd_(starter_) {
    frontEnd_.settings.main.directory = "/opt/vant";
    frontEnd_.settings.command.directory = scratch_.path();
    frontEnd_.notifyTargets.SetMain(1234);
    folder_ = scratch_.File("In put");
    std::filesystem::create_directories(folder_);
    for (const char* name : {"tone.wav", "clip.avi", "pic.PCX", "other.wav"}) std::ofstream(folder_ + "/" + name) << "x";
    frontEnd_.settings.sound.directory = folder_;
    frontEnd_.settings.sound.filename = "tone.wav";
    frontEnd_.settings.graphics.directory = folder_;
    frontEnd_.settings.graphics.filename = "clip.avi";
  }
  void SetUp() override {
    ASSERT_TRUE(frontend_testing::EnsureApplication());
    menus_ = std::make_unique<PopupMenus>(frontEnd_, nullptr);
    sheet_ = std::make_unique<QWidget>();
  }
  PageContext Context() { return PageContext{frontEnd_, *menus_}; }

  testsupport::ScratchDirectory scratch_;
  frontend_testing::FakeStarter starter_;
  FrontEnd frontEnd_;
  std::unique_ptr<PopupMenus> menus_;
  std::unique_ptr<QWidget> sheet_;
  std::string folder_;
};

TEST_F(ToolPages, TheSoundSettingsGoIntoTheControlsAndComeBack) {
  SoundSettings s;
  s.outputName = "/elsewhere/out.raw", s.outputBasedOn = "/elsewhere/tone.wav", s.rate = 3, s.quality = 2;
  s.channels = 1, s.currentTab = 1, s.inputType = 3, s.overwrite = true, s.track = true, s.trackNum = "2";
  s.start = true, s.startNum = "1500", s.end = true, s.endNum = "9000", s.forceRate = "22050", s.skipBytes = "44";
  auto page = std::make_unique<Ttowavform>(Context(), sheet_.get());
  EXPECT_EQ(frontend_testing::ThroughControls(*page, s), s);
  EXPECT_EQ(page->optionPages().currentIndex(), 1);
  EXPECT_TRUE(page->findChild<QLineEdit*>("forcerate")->isEnabled());
  page->findChild<QComboBox*>("inputtype")->setCurrentIndex(0);
  EXPECT_FALSE(page->findChild<QLineEdit*>("forcerate")->isEnabled());
  EXPECT_FALSE(page->findChild<QLineEdit*>("skipbytes")->isEnabled());

  // A typed rate lives only while the page does.
  s.rate = kTypedSoundRate;
  EXPECT_EQ(frontend_testing::ThroughControls(*page, s).rate, 0);

  page->SaveSettings();
  EXPECT_EQ(frontEnd_.settings.sound.filename, "tone.wav");
  EXPECT_EQ(frontEnd_.settings.sound.directory, folder_);
  EXPECT_EQ(frontEnd_.settings.sound.rate, 0);
}

TEST_F(ToolPages, TheSoundPageTakesATypedRateOnlyAboveZeroAndStartsTheProcessor) {
  auto page = std::make_unique<Ttowavform>(Context(), sheet_.get());
  EXPECT_EQ(page->files().SelectedFiles(), std::vector<std::string>{"tone.wav"});
  EXPECT_EQ(page->outputEdit().text().toStdString(), "New_tone.wav");
  page->files().ClearSelection();
  EXPECT_FALSE(page->convertButton().isEnabled());
  EXPECT_EQ(page->outputEdit().text().toStdString(), "");
  page->files().SelectFile("other.wav");
  EXPECT_TRUE(page->convertButton().isEnabled());

  struct Typed {
    std::string text;
    bool kept;
  } typed[] = {{"0", false}, {"", false}, {"32000", true}};
  for (const Typed& t : typed) {
    emit page->rateBox().activated(kTypedSoundRate);
    ASSERT_TRUE(frontend_testing::PumpEventsUntil([&page] { return page->rateBox().isEditable(); }, 20000));
    page->rateBox().setEditText(QString::fromStdString(t.text));
    QFocusEvent left(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(&page->rateBox(), &left);  // the field's focus is the list's
    QCoreApplication::processEvents();
    EXPECT_EQ(page->rateBox().isEditable(), t.kept) << t.text;
    if (!t.kept) {
      EXPECT_EQ(page->rateBox().currentIndex(), 0);
    }
  }
  EXPECT_EQ(page->TypedRate(), "32000");

  SoundSettings s = page->CurrentSettings();
  s.quality = 2, s.inputType = 1, s.forceRate = "8000";
  page->ShowSettings(s);
  page->convertButton().click();
  ASSERT_EQ(starter_.starts.size(), 1u);
  EXPECT_EQ(starter_.starts[0].text,
            "\"/opt/vant/audprw\" \"other.wav\" \"New_other.wav\" /B16/Y1/D8000 /#1234");
  EXPECT_EQ(starter_.starts[0].directory, folder_);
  EXPECT_EQ(frontEnd_.settings.recentFiles.at(0), folder_ + "/New_other.wav");

  // Defaults ask, then put every option back.
  platform::ScriptedDialogs dialogs;
  dialogs.Answer(DialogAnswer::Yes);
  page->DefaultsPressed();
  EXPECT_EQ(dialogs.asked().at(0).text, "Reset all options to their default values?");
  EXPECT_EQ(page->CurrentSettings().quality, 0);
  EXPECT_EQ(page->CurrentSettings().inputType, 0);
  EXPECT_EQ(page->outputEdit().text().toStdString(), "New_other.wav");
}

TEST_F(ToolPages, TheGraphicsSettingsGoIntoTheControlsAndComeBack) {
  GraphicsSettings s;
  s.outputName = "/elsewhere/out.gif", s.outputBasedOn = "/elsewhere/clip", s.outputType = 7, s.currentTab = 1;
  s.halftone = 2, s.paletteControl = 1, s.windowsColors = 2, s.overwrite = true, s.start = true, s.startNum = "2";
  s.end = true, s.endNum = "9", s.paletteEvery = true, s.paletteEveryNum = "12", s.paletteColors = true;
  s.paletteColorsNum = "200", s.paletteStart = true, s.paletteStartNum = "10", s.xOffset = true, s.xOffsetNum = "1";
  s.yOffset = true, s.yOffsetNum = "2", s.width = true, s.widthNum = "3", s.height = true, s.heightNum = "4";
  s.frameRateOverride = true, s.frameRateOverrideNum = "-70", s.paletteName = "/pals/my pal.bmp";
  auto page = std::make_unique<Ttoflicform>(Context(), sheet_.get());
  EXPECT_EQ(frontend_testing::ThroughControls(*page, s), s);
  s.paletteName = " ";
  page->ShowSettings(s);
  EXPECT_EQ(page->paletteEdit().text().toStdString(), kInputPalette);

  page->SaveSettings();
  page.reset();
  EXPECT_EQ(frontEnd_.settings.graphics.filename, "clip.avi");
  auto next = std::make_unique<Ttoflicform>(Context(), sheet_.get());
  EXPECT_EQ(next->CurrentSettings().outputType, 7);
  EXPECT_EQ(next->CurrentSettings().frameRateOverrideNum, "-70");
}

TEST_F(ToolPages, TheGraphicsOutputFollowsTheTypeAndTheInputAndTheConverterStarts) {
  auto page = std::make_unique<Ttoflicform>(Context(), sheet_.get());
  struct Step {
    std::string select;
    int type;  // -1: keep
    std::string output;
  } steps[] = {
      {"clip.avi", -1, "clip.flc"}, {"pic.PCX", -1, "New_pic.PCX"}, {"clip.avi", -1, "clip.flc"},
      {"clip.avi", 2, "clip.bmp"},  {"pic.PCX", 6, "pic.pcx"},      {"clip.avi", 0, "clip.flc"},
  };
  for (const Step& step : steps) {
    page->files().SelectFile(step.select);
    if (step.type >= 0) page->typeMenu().actions().at(step.type)->trigger();
    EXPECT_EQ(page->outputEdit().text().toStdString(), step.output) << step.select << " " << step.type;
  }

  GraphicsSettings s = page->CurrentSettings();
  s.paletteName = folder_ + "/p 1.bmp", s.overwrite = true, s.halftone = 1;
  page->ShowSettings(s);
  page->convertButton().click();
  ASSERT_EQ(starter_.starts.size(), 1u);
  EXPECT_EQ(starter_.starts[0].text, "\"/opt/vant/picprw\" \"clip.avi\" \"clip.flc\" /T1/&\"p 1.bmp\"/O /#1234");

  platform::ScriptedDialogs dialogs;
  dialogs.Answer(DialogAnswer::Yes);
  page->DefaultsPressed();
  EXPECT_EQ(page->CurrentSettings().halftone, 0);
  EXPECT_EQ(page->paletteEdit().text().toStdString(), kInputPalette);
}

class ToolPagesEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    programs_ = std::getenv("VANT_BIN_DIR");
    if (!programs_) GTEST_SKIP() << "VANT_BIN_DIR is not set";
    ASSERT_TRUE(frontend_testing::EnsureApplication());
    frontEnd_.settings.main.directory = programs_;
    frontEnd_.settings.command.directory = scratch_.path();
    endpoint_ = std::make_unique<ReportEndpoint>(
        [this](const platform::ReportRequest& request) { return ReceiveReport(frontEnd_, request, [] {}); },
        "Vantrel for Windows");
    ASSERT_TRUE(endpoint_->listening());
    frontEnd_.notifyTargets.SetMain(endpoint_->number());
    menus_ = std::make_unique<PopupMenus>(frontEnd_, nullptr);
    sheet_ = std::make_unique<QWidget>();
    folder_ = scratch_.File("my files");
    std::filesystem::create_directories(folder_);
  }

  const char* programs_ = nullptr;
  testsupport::ScratchDirectory scratch_;
  frontend::SystemProgramStarter starter_;
  FrontEnd frontEnd_{starter_};
  std::unique_ptr<ReportEndpoint> endpoint_;
  std::unique_ptr<PopupMenus> menus_;
  std::unique_ptr<QWidget> sheet_;
  std::string folder_;
};

// A user converts a WAV file to 16-bit sound at another rate.
TEST_F(ToolPagesEndToEnd, TheSoundProcessorConvertsAndReports) {
  frontend_testing::WriteSquareWave(folder_ + "/tone.wav");
  frontEnd_.settings.sound.directory = folder_;
  frontEnd_.settings.sound.filename = "tone.wav";
  Ttowavform page(PageContext{frontEnd_, *menus_}, sheet_.get());
  SoundSettings s = page.CurrentSettings();
  s.rate = 2, s.quality = 2;
  page.ShowSettings(s);

  page.convertButton().click();

  std::string console;
  ASSERT_TRUE(frontend_testing::WaitForConsoleLine(frontEnd_.console, "  Sound Processor", console)) << console;
  const std::string wav = testsupport::ReadFileText(folder_ + "/New_tone.wav");
  ASSERT_GE(wav.size(), 44u) << console;
  EXPECT_EQ(Little(wav, 24, 4), 22050u);
  EXPECT_EQ(Little(wav, 34, 2), 16u);
  EXPECT_EQ(wav.size(), 44u + 2 * 22050);
}

// A user picks one of a run of pictures, takes the run as one animation and makes a flic of it.
TEST_F(ToolPagesEndToEnd, TheGraphicsProcessorConvertsAPictureSeriesAndReports) {
  frontend_testing::WritePictures(folder_, 1, 3);
  frontEnd_.settings.graphics.directory = folder_;
  frontEnd_.settings.graphics.filename = "frame002.bmp";
  frontEnd_.settings.graphics.outputType = 1;
  Ttoflicform page(PageContext{frontEnd_, *menus_}, sheet_.get());
  platform::ScriptedDialogs dialogs;
  dialogs.Answer(DialogAnswer::Yes);

  page.convertButton().click();

  std::string console;
  ASSERT_TRUE(frontend_testing::WaitForConsoleLine(frontEnd_.console, "  Graphics Processor", console)) << console;
  const std::string flic = testsupport::ReadFileText(folder_ + "/frame.flc");
  ASSERT_GE(flic.size(), 128u) << console;
  EXPECT_EQ(Little(flic, 4, 2), 0xAF12u);
  EXPECT_EQ(Little(flic, 6, 2), 3u);
  EXPECT_EQ(Little(flic, 8, 2), 32u);
}

}  // namespace
