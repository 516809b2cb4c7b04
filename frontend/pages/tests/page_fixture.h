#pragma once
// What the Mixer, Player and Scriptor page tests share: a front end with a recording starter or
// one that really starts the tools and receives their reports, and small generated files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "frontend/console/console.h"
#include "frontend/core/front_end.h"
#include "frontend/core/program_starter.h"
#include "frontend/core/report_endpoint.h"
#include "frontend/core/report_receiving.h"
#include "frontend/core/tests/frontend_test_support.h"
#include "frontend/files/popup_menus.h"
#include "platform/face/dialogs.h"
#include "playback/tests/coded_video.h"
#include "testsupport/scratch_directory.h"
#include "testsupport/file_contents.h"

namespace frontend_testing {

// A video of `frames` 16 x 16 frames whose square moves, at 10 frames a second.
inline void WriteSmallVideo(const std::string& path, uint32_t frames) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  CodedVideoSpec spec;
  for (uint32_t i = 0; i < frames; ++i) {
    Picture picture(16, 16, 3);
    picture.Fill(4 * (i % 3), 4, 4, 4, 200);
    spec.pictures.push_back(picture);
    spec.palettes.push_back(TestPalette());
  }
  ASSERT_FALSE(WriteCodedVideo(path, spec).path.empty());
}

// An 8-bit mono PCM WAV file of a saw tone.
inline void WriteToneWav(const std::string& path, uint32_t samples, uint32_t rate) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::vector<uint8_t> bytes(samples);
  for (uint32_t i = 0; i < samples; ++i) bytes[i] = static_cast<uint8_t>(96 + (i * 5) % 64);
  testsupport::WriteWavFile(path, rate, 1, 8, bytes);
}

// A page's surroundings with a starter that only records.
class PageTest : public ::testing::Test {
 protected:
  PageTest() : frontEnd_(starter_) {
    frontEnd_.settings.main.directory = "/opt/vant";
    frontEnd_.settings.command.directory = scratch_.path();
    frontEnd_.notifyTargets.SetMain(1234);
    frontEnd_.SetInterpreter(std::make_unique<frontend::Console>());
  }
  // The analysis window the console opens.
  frontend::AnalysisWindows& Analysis() { return static_cast<frontend::Console&>(frontEnd_.interpreter()).analysis(); }
  void SetUp() override {
    ASSERT_TRUE(EnsureApplication());
    menus_ = std::make_unique<frontend::PopupMenus>(frontEnd_, nullptr);
    sheet_ = std::make_unique<QWidget>();
  }
  frontend::PageContext Context() { return frontend::PageContext{frontEnd_, *menus_}; }
  // The one start asked for since the last call, or none for an empty command.
  void ExpectStart(const std::string& command, const std::string& directory) {
    if (command.empty()) {
      EXPECT_TRUE(starter_.starts.empty());
    } else if (starter_.starts.size() != 1) {
      ADD_FAILURE() << starter_.starts.size() << " starts instead of " << command;
    } else {
      EXPECT_EQ(starter_.starts[0].text, command);
      EXPECT_EQ(starter_.starts[0].directory, directory);
    }
    starter_.starts.clear();
  }
  void Touch(const std::string& path, const std::string& bytes = "") {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
  }

  testsupport::ScratchDirectory scratch_;
  FakeStarter starter_;
  frontend::FrontEnd frontEnd_;
  std::unique_ptr<frontend::PopupMenus> menus_;
  std::unique_ptr<QWidget> sheet_;
};

// The front end as the program has it: tools really start and report to its console.
class LiveFrontEnd {
 public:
  explicit LiveFrontEnd(const std::string& programs, const std::string& console)
      : frontEnd(starter),
        endpoint([this](const platform::ReportRequest& request) { return ReceiveReport(frontEnd, request, [] {}); },
                 "Vantrel for Windows") {
    frontEnd.settings.main.directory = programs;
    frontEnd.settings.command.directory = console;
    frontEnd.SetInterpreter(std::make_unique<frontend::Console>());
    frontEnd.notifyTargets.SetMain(endpoint.number());
    frontEnd.ShowPrompt();
    menus = std::make_unique<frontend::PopupMenus>(frontEnd, nullptr);
  }
  frontend::PageContext Context() { return frontend::PageContext{frontEnd, *menus}; }

  frontend::SystemProgramStarter starter;
  frontend::FrontEnd frontEnd;
  frontend::ReportEndpoint endpoint;
  std::unique_ptr<frontend::PopupMenus> menus;
  QWidget sheet;
};

// The record shown in the page's controls and read back from them (the extra arguments go to
// ShowSettings): a page that keeps every field gives the record back unchanged.
template <typename Page, typename Record, typename... Extra>
Record ThroughControls(Page& page, const Record& record, const Extra&... extra) {
  page.ShowSettings(record, extra...);
  return page.CurrentSettings();
}

// Shows the record, presses "&Defaults" answering No, then again answering Yes; the records the
// page shows after each.
template <typename Page, typename Record>
std::pair<Record, Record> PressDefaults(Page& page, const Record& shown) {
  page.ShowSettings(shown);
  std::pair<Record, Record> after;
  {
    platform::ScriptedDialogs dialogs;  // the default answer is No
    page.DefaultsPressed();
    after.first = page.CurrentSettings();
  }
  platform::ScriptedDialogs dialogs;
  dialogs.Answer(platform::DialogAnswer::Yes);
  page.DefaultsPressed();
  after.second = page.CurrentSettings();
  return after;
}

// The programs' folder for the end-to-end tests, or null (the test is skipped).
inline const char* ProgramFolder() { return std::getenv("VANT_BIN_DIR"); }

}  // namespace frontend_testing
