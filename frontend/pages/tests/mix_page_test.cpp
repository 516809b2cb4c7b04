#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

#include "frontend/files/file_controls.h"
#include "frontend/pages/mix_page.h"
#include "frontend/pages/page_widgets.h"
#include "frontend/pages/tests/page_fixture.h"
#include "platform/face/dialogs.h"
#include "playback/vant.h"

using namespace frontend;
using platform::DialogAnswer;

namespace {

class MixPage : public frontend_testing::PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    videos_ = scratch_.File("videos");
    sounds_ = scratch_.File("my sounds");
    Touch(videos_ + "/clip.vnt", "VNT2");
    for (const char* name : {"tone.wav", "a1.wav", "b.wav"}) Touch(sounds_ + "/" + name);
    frontEnd_.settings.mix.vantDirectory = videos_;
    frontEnd_.settings.mix.vantFilename = "clip.vnt";
    frontEnd_.settings.mix.waveDirectory = sounds_;
    frontEnd_.settings.mix.waveFilename = "tone.wav";
  }
  std::unique_ptr<Tmixform> MakePage() { return std::make_unique<Tmixform>(Context(), sheet_.get()); }

  std::string videos_, sounds_;
};

TEST_F(MixPage, TheSettingsGoIntoTheControlsAndComeBack) {
  MixSettings s;
  s.outputName = "/out/mixed.vnt", s.outputBasedOn = "/out/clip";
  s.lossy = 6, s.track = 4, s.format = 2, s.frameRate = true, s.frameRateNum = "-70", s.start = true;
  s.startNum = "12", s.loop = true, s.overwrite = true, s.inputStart = true, s.inputStartNum = "100";
  s.inputEnd = true, s.inputEndNum = "2000", s.inputTrack = true, s.inputTrackNum = "3", s.forceRate = "8000";
  s.skipIntoNum = "44", s.currentTab = 2, s.rate = -1, s.rateText = "32000", s.quality = 2, s.channels = 1;
  auto page = MakePage();
  EXPECT_EQ(frontend_testing::ThroughControls(*page, s), s);
  EXPECT_TRUE(page->findChild<QLineEdit*>("forcerate")->isEnabled());

  page->SaveSettings();
  MixSettings stored = s;
  stored.vantFilename = "clip.vnt", stored.vantDirectory = videos_;
  stored.waveFilename = "tone.wav", stored.waveDirectory = sounds_;
  EXPECT_EQ(frontEnd_.settings.mix, stored);
  page.reset();
  // The next page starts where this one ended (its output name made anew from what was typed).
  MixSettings again = MakePage()->CurrentSettings();
  EXPECT_EQ(again.outputName, "Mix_clip.vnt");
  again.outputName = stored.outputName;
  again.outputBasedOn = stored.outputBasedOn;
  EXPECT_EQ(again, stored);
}

TEST_F(MixPage, TheButtonsAndOutputFollowTheTwoSelections) {
  auto page = MakePage();
  EXPECT_TRUE(page->mixButton().isEnabled());
  EXPECT_TRUE(page->analyzeButton().isEnabled());
  EXPECT_EQ(page->outputEdit().text().toStdString(), "Mix_clip.vnt");
  page->soundFiles().ClearSelection();
  EXPECT_FALSE(page->mixButton().isEnabled());
  EXPECT_TRUE(page->analyzeButton().isEnabled());
  EXPECT_EQ(page->outputEdit().text().toStdString(), "");
  page->soundFiles().SelectFile("b.wav");
  page->videoFiles().ClearSelection();
  EXPECT_FALSE(page->mixButton().isEnabled());
  EXPECT_FALSE(page->analyzeButton().isEnabled());

  // Raw input alone has a forced rate and bytes to skip.
  auto* inputType = page->findChild<QComboBox*>("inputtype");
  inputType->setCurrentIndex(0);
  EXPECT_FALSE(page->findChild<QLineEdit*>("skipbytes")->isEnabled());
  inputType->setCurrentIndex(5);
  EXPECT_TRUE(page->findChild<QLineEdit*>("skipbytes")->isEnabled());
}

TEST_F(MixPage, MixStartsTheMixerOnTheChosenNamesOrSaysWhyNot) {
  const std::string start = "\"/opt/vant/vantmiw\" \"clip.vnt\" ";
  struct Row {
    std::string name;
    std::vector<std::string> sounds;  // highlighted in the sound list
    std::string output;
    std::function<void(MixSettings&)> change;
    std::vector<DialogAnswer> answers;
    std::string command;  // "" when nothing starts
    std::string message;  // the last box shown, "" for none
  } rows[] = {
      {"one sound in its own folder", {"tone.wav"}, "Mix_clip.vnt", {}, {},
       start + "\"" + sounds_ + "/tone.wav\" \"Mix_clip.vnt\" /#1234", ""},
      {"typed output with a blank, a typed rate", {"tone.wav"}, "/out dir/my mix.vnt",
       [](MixSettings& s) { s.rate = -1, s.rateText = "32000", s.track = 2; }, {},
       start + "\"" + sounds_ + "/tone.wav\" \"/out dir/my mix.vnt\" /M2/R32000 /#1234", ""},
      {"a sound that stands for a run, taken alone", {"a1.wav"}, "Mix_clip.vnt", {}, {},
       start + "\"" + sounds_ + "/a1.wav\" \"Mix_clip.vnt\" /#1234", ""},
      {"several sounds: no list file made", {"tone.wav", "b.wav"}, "Mix_clip.vnt", {}, {DialogAnswer::No}, "",
       "You must create a list file to process multiple selections.\r\nTo process a single file, then just "
       "highlight that one file by itself."},
      {"several sounds: cancelled", {"tone.wav", "b.wav"}, "Mix_clip.vnt", {}, {DialogAnswer::Cancel}, "",
       "You have highlighted more than one file to process.\r\nDo you want to create a list file?"},
      {"a rate the mixer cannot take", {"tone.wav"}, "Mix_clip.vnt",
       [](MixSettings& s) { s.rate = -1, s.rateText = "0"; }, {}, "",
       "Error, the sound rate must be a whole number above 0."},
      {"no output name", {"tone.wav"}, " ", {}, {}, "", "Error, you must enter an output file name."},
  };
  for (const Row& c : rows) {
    SCOPED_TRACE(c.name);
    starter_.starts.clear();
    auto page = MakePage();
    page->soundFiles().ClearSelection();
    for (const std::string& sound : c.sounds) {
      page->soundFiles().fileList()->findItems(QString::fromStdString(sound), Qt::MatchExactly).at(0)->setSelected(true);
    }
    MixSettings s = page->CurrentSettings();
    s.outputName = c.output;
    if (c.change) c.change(s);
    page->ShowSettings(s);
    platform::ScriptedDialogs dialogs;
    for (DialogAnswer answer : c.answers) dialogs.Answer(answer);

    page->MixPressed();

    ExpectStart(c.command, videos_);
    EXPECT_EQ(dialogs.asked().empty() ? "" : dialogs.asked().back().text, c.message);
  }
  // The last start's output, sound and video.
  EXPECT_EQ(frontEnd_.settings.recentFiles.at(0), videos_ + "/Mix_clip.vnt");
  EXPECT_EQ(frontEnd_.settings.recentFiles.at(1), sounds_ + "/a1.wav");
  EXPECT_EQ(frontEnd_.settings.recentFiles.at(2), videos_ + "/clip.vnt");
}

TEST_F(MixPage, DefaultsAskFirstAndKeepTheOtherOptions) {
  auto page = MakePage();
  MixSettings s = page->CurrentSettings();
  s.lossy = 7, s.track = 5, s.loop = true, s.rate = -1, s.rateText = "9000";
  const auto [kept, reset] = frontend_testing::PressDefaults(*page, s);
  EXPECT_EQ(kept, s);
  EXPECT_EQ(reset.lossy, 0);
  EXPECT_EQ(reset.track, 1);
  EXPECT_EQ(reset.rate, 0);
  EXPECT_FALSE(page->rateBox().isEditable());
  EXPECT_TRUE(reset.loop);
  EXPECT_EQ(reset.outputName, "Mix_clip.vnt");
}

TEST_F(MixPage, ARateChosenFromTheTypedFieldGivesTheListBackAtThatRate) {
  auto page = MakePage();
  QComboBox& rate = page->rateBox();
  emit rate.activated(kTypedRateEntry);
  ASSERT_TRUE(frontend_testing::PumpEventsUntil([&rate] { return rate.isEditable(); }, 20000));
  emit rate.activated(2);
  ASSERT_TRUE(frontend_testing::PumpEventsUntil([&rate] { return !rate.isEditable(); }, 20000));
  const MixSettings s = page->CurrentSettings();
  EXPECT_EQ(s.rate, 2);
  EXPECT_EQ(s.rateText, "");
}

// A user mixes a generated WAV into a generated video; the player's library opens the result
// with its new track, and the mixer's report reaches the console.
TEST(MixPageEndToEnd, TheSoundGoesIntoAVideoThePlayerOpens) {
  const char* programs = frontend_testing::ProgramFolder();
  if (!programs) GTEST_SKIP() << "VANT_BIN_DIR is not set";
  ASSERT_TRUE(frontend_testing::EnsureApplication());
  testsupport::ScratchDirectory scratch;
  const std::string videos = scratch.File("my videos"), sounds = scratch.File("my sounds");
  frontend_testing::WriteSmallVideo(videos + "/clip.vnt", 8);
  frontend_testing::WriteToneWav(sounds + "/saw tone.wav", 11025, 11025);
  frontend_testing::LiveFrontEnd live(programs, scratch.path());
  ASSERT_TRUE(live.endpoint.listening());
  MixSettings& s = live.frontEnd.settings.mix;
  s.vantDirectory = videos, s.vantFilename = "clip.vnt", s.waveDirectory = sounds, s.waveFilename = "saw tone.wav";
  s.track = 2, s.lossy = 1;
  Tmixform page(live.Context(), &live.sheet);
  ASSERT_EQ(page.outputEdit().text().toStdString(), "Mix_clip.vnt");

  page.mixButton().click();

  std::string console;
  ASSERT_TRUE(frontend_testing::WaitForConsoleLine(live.frontEnd.console, "  VantMix", console)) << console;
  EXPECT_NE(console.find("Successfully mixed."), std::string::npos) << console;
  VantVideo* video = VantOpen((videos + "/Mix_clip.vnt").c_str(), 0, 0);
  ASSERT_NE(video, nullptr);
  EXPECT_EQ(video->header.frames, 8u);
  EXPECT_EQ(video->header.soundRates[1] & 0xFFFFFFu, 11025u);
  EXPECT_NE(video->header.soundRates[1] & (1u << 30), 0u);
  EXPECT_EQ(video->header.soundRates[0], 0u);
  VantClose(video);
}

}  // namespace
