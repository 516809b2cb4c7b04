#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <thread>

#include "frontend/console/batch_runner.h"
#include "frontend/console/batch_window.h"
#include "frontend/console/console_windows.h"
#include "frontend/console/tests/console_fixture.h"
#include "frontend/core/launcher.h"
#include "frontend/core/report_endpoint.h"
#include "frontend/core/report_receiving.h"
#include "platform/face/dialogs.h"
#include "platform/image/image.h"
#include "toolsupport/ui/report_protocol.h"

using namespace frontend;
using frontend_testing::Write;

namespace {

TEST(BatchRunner, RunsLineAfterLineAndWaitsOnlyForStartedTools) {
  const RunOutcome tool{true, 77};
  const RunOutcome notStarted{false, 0};
  struct Case {
    std::string name;
    std::vector<std::string> lines;
    std::map<std::string, RunOutcome> outcomes;  // by trimmed line; others are built in
    std::string events;  // R a report, E the tool ended, C cancel; each followed by Continue
    std::vector<std::string> ran;
    int endedWithoutReport;
    bool finished;
  } cases[] = {
      {"only blank lines", {"", "  \t", "\r", "\x01"}, {}, "", {}, 0, true},
      {"trimmed built-ins go straight on", {"  rem a \r", "\tcd x"}, {}, "", {"rem a", "cd x"}, 0, true},
      {"a started tool is waited for", {"vantc a", "rem b"}, {{"vantc a", tool}}, "", {"vantc a"}, 0, false},
      {"its report ends the wait", {"vantc a", "rem b"}, {{"vantc a", tool}}, "R", {"vantc a", "rem b"}, 0, true},
      {"a failed start goes on", {"vantc a", "rem b"}, {{"vantc a", notStarted}}, "", {"vantc a", "rem b"}, 0, true},
      {"an end without a report goes on", {"vantc a", "rem b"}, {{"vantc a", tool}}, "E",
       {"vantc a", "rem b"}, 1, true},
      {"an end after the report says nothing", {"vantc a", "rem b"}, {{"vantc a", tool}}, "RE",
       {"vantc a", "rem b"}, 0, true},
      {"cancel stops before the next line", {"vantc a", "rem b"}, {{"vantc a", tool}}, "C", {"vantc a"}, 0, true},
      {"tools in turn", {"vantc a", "audpr b", "rem c"}, {{"vantc a", tool}, {"audpr b", tool}}, "R",
       {"vantc a", "audpr b"}, 0, false},
      {"a report while nothing waits changes nothing", {"vantc a", "audpr b", "rem c"},
       {{"vantc a", tool}, {"audpr b", tool}}, "RRR", {"vantc a", "audpr b", "rem c"}, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> ran, told;
    std::vector<std::string> shown = c.lines;
    std::vector<int> watched;
    bool finished = false;
    BatchRunner::Hooks hooks;
    hooks.run = [&](const std::string& line) {
      ran.push_back(line);
      const auto found = c.outcomes.find(line);
      return found == c.outcomes.end() ? RunOutcome{} : found->second;
    };
    hooks.show = [&](size_t index, const std::string& text) { shown.at(index) = text; };
    hooks.watch = [&](int processId) { watched.push_back(processId); };
    hooks.tell = [&](const std::string& text) { told.push_back(text); };
    hooks.finished = [&] { finished = true; };
    BatchRunner runner(c.lines, hooks);
    runner.Continue();
    for (char event : c.events) {
      if (event == 'R') runner.ReportArrived();
      if (event == 'E') runner.ToolEnded();
      if (event == 'C') runner.Cancel();
      runner.Continue();
    }
    EXPECT_EQ(ran, c.ran);
    EXPECT_EQ(told, std::vector<std::string>(c.endedWithoutReport, kEndedWithoutReport));
    EXPECT_EQ(finished, c.finished);
    EXPECT_EQ(runner.finished(), c.finished);
    EXPECT_EQ(runner.waiting(), !c.finished && !c.ran.empty());
    for (int id : watched) EXPECT_EQ(id, 77);
    // The line waited for is marked; every other line reads as written.
    for (size_t i = 0; i < c.lines.size(); ++i) {
      const bool marked = runner.waiting() && TrimBatchLine(c.lines[i]) == c.ran.back();
      EXPECT_EQ(shown[i], marked ? kCurrentLineMark + c.ran.back() : c.lines[i]);
    }
  }
}

// Batches run through the full console, as typed on the Command page.
class BatchFiles : public frontend_testing::ConsoleTest {
 protected:
  BatchFiles() {
    InstallConsoleWindows(frontEnd_);
    frontEnd_.notifyTargets.SetMain(1234);
    starter_.processId = 0;  // a fake start: only a report or Cancel ends its wait
  }

  // Runs the command; `whileWaiting` is done once the batch waits for a tool. Should the batch
  // never end, it is cancelled after a generous deadline so that the test fails, not hangs.
  void RunWaiting(const std::string& command, const std::function<void(Tbatchform&)>& whileWaiting = {}) {
    bool acted = false;
    QElapsedTimer clock;
    clock.start();
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
      for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* window = dynamic_cast<Tbatchform*>(widget);
        if (!window || !window->isVisible() || !window->runner().waiting()) continue;
        if (whileWaiting && !acted) {
          acted = true;
          whileWaiting(*window);
        } else if (clock.elapsed() > 60000) {
          timedOut_ = true;
          window->runner().Cancel();
        }
      }
    });
    look.start(10);
    RunCommand(frontEnd_, "", command, CommandOrigin::Typed);
    EXPECT_FALSE(timedOut_) << "the batch never went on";
  }

  // Console lines that hold the texts, in this order.
  ::testing::AssertionResult Echoed(const std::vector<std::string>& texts) {
    size_t next = 0;
    for (const std::string& line : frontEnd_.console.lines()) {
      if (next < texts.size() && line.find(texts[next]) != std::string::npos) ++next;
    }
    if (next == texts.size()) return ::testing::AssertionSuccess();
    std::string all;
    for (const std::string& line : frontEnd_.console.lines()) all += line + "\n";
    return ::testing::AssertionFailure() << "missing \"" << texts[next] << "\" in:\n" << all;
  }

  ~BatchFiles() override {
    if (tool_.joinable()) tool_.join();
  }

  platform::ScriptedDialogs dialogs_;
  bool timedOut_ = false;
  std::thread tool_;
};

TEST_F(BatchFiles, NestedBatchesHaveTheirOwnParametersAndFailedStartsGoOn) {
  Write(Path("outer.sbt"), "rem outer %1 %2\r\n\r\n  inner x%1 \"y z\"\r\nvantc %2.flc\r\nrem outer again %1\r\n");
  Write(Path("inner.sbt"), "rem inner %1 %2 %3\n");
  starter_.succeed = false;
  RunWaiting("outer A B");
  EXPECT_TRUE(Echoed({"outer.sbt A B", "rem outer A B", "inner.sbt xA \"y z\"", "rem inner xA \"y z\"",
                      "vantc B.flc", "  Command not found.", "rem outer again A"}));
  EXPECT_EQ(frontEnd_.batchParameters, "");
  // The tool was to report to the runner, and to close at once.
  ASSERT_EQ(starter_.starts.size(), 1u);
  EXPECT_EQ(starter_.starts[0].text.find("/#1234"), std::string::npos);
  EXPECT_NE(starter_.starts[0].text.find("B.flc /#"), std::string::npos);
  EXPECT_EQ(starter_.starts[0].text.substr(starter_.starts[0].text.size() - 2), "/#");
  EXPECT_EQ(frontEnd_.notifyTargets.Current(), 1234);
  // Batch lines stay out of the recent commands.
  EXPECT_EQ(frontEnd_.settings.recentCommands, std::vector<std::string>{"outer A B"});
}

TEST_F(BatchFiles, AReportEndsTheWaitAndCancelStopsBeforeTheNextLine) {
  Write(Path("two.sbt"), "vantc a\nrem after\n");
  RunWaiting("two", [this](Tbatchform& window) {
    EXPECT_EQ(window.batchfile()->toPlainText().toStdString(), "Current ==> vantc a\nrem after");
    // The player asks for this caption before it reports: it must read as the front end's.
    EXPECT_EQ(window.windowTitle().toStdString(), "Vantrel for Windows Batch Player: two.sbt");
    tool_ = std::thread([number = window.reportNumber()] { SendStatusReport(number, "VantC - V3.0k\r\n  Done"); });
  });
  EXPECT_TRUE(Echoed({"vantc a", "  VantC - V3.0k", "  Done", "rem after"}));

  frontEnd_.console.Clear();
  dialogs_.Answer(platform::DialogAnswer::Yes);
  RunWaiting("two", [](Tbatchform& window) { window.cancelButton()->click(); });
  EXPECT_TRUE(Echoed({"vantc a"}));
  EXPECT_FALSE(Echoed({"rem after"}));
  ASSERT_FALSE(dialogs_.asked().empty());
  EXPECT_EQ(dialogs_.asked().back().text, "Cancel the batch file ?");
}

TEST_F(BatchFiles, AToolThatEndsWithoutReportingEndsTheWait) {
  // A "compressor" that ends at once and never reports.
  const std::string program = Path("program/vantcw");
  Write(program, "#!/bin/sh\nexit 1\n");
  ASSERT_EQ(chmod(program.c_str(), 0755), 0);
  frontend::SystemProgramStarter system;
  frontEnd_.SetStarter(system);
  Write(Path("quiet.sbt"), "vantc a\nrem after\n");
  RunWaiting("quiet");
  EXPECT_TRUE(Echoed({"vantc a", kEndedWithoutReport, "rem after"}));
}

TEST_F(BatchFiles, AFileThatCannotBeLoadedRunsNothing) {
  std::filesystem::create_directories(Path("dir.sbt"));
  RunBatchFile(frontEnd_, Path("dir.sbt"), "");
  ASSERT_EQ(dialogs_.asked().size(), 1u);
  EXPECT_EQ(dialogs_.asked()[0].text, "Error, couldn't load " + Path("dir.sbt"));
}

// Numbered 8-bit pictures whose square moves from frame to frame.
void WriteFrames(const std::string& folder, int count) {
  for (int n = 1; n <= count; ++n) {
    platform::Image image;
    ASSERT_EQ(platform::AllocateImage(image, 16, 16, 8), platform::ImageStatus::Ok);
    for (int i = 0; i < 256; ++i) image.palette[4 * i] = image.palette[4 * i + 1] = static_cast<uint8_t>(i);
    image.coloursUsed = 256;
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) image.RowFromTop(y)[x] = static_cast<uint8_t>(x >= 2 * n && x < 2 * n + 4 ? 250 : y);
    }
    const std::string name = folder + "/frame00" + std::to_string(n) + ".bmp";
    ASSERT_EQ(platform::SaveImage(platform::ImageFormat::Bmp, name, image, 0), platform::ImageStatus::Ok);
  }
}

// The real tools, one after the other: each line waits for the report of the one before.
TEST_F(BatchFiles, ToolsRunInTurnEachWaitingForItsReport) {
  const char* programs = std::getenv("VANT_BIN_DIR");
  if (!programs) GTEST_SKIP() << "VANT_BIN_DIR is not set";
  frontend::SystemProgramStarter system;
  frontEnd_.SetStarter(system);
  frontEnd_.settings.main.directory = programs;
  frontend_testing::WriteSquareWave(Path("in put.wav"));
  WriteFrames(scratch_.path(), 3);
  Write(Path("make.sbt"), "audpr \"in put.wav\" %1\nvantc \"frame???.bmp*1-3\" %2\n");
  RunWaiting("make out.wav clip.vnt");
  EXPECT_TRUE(Echoed({"audpr \"in put.wav\" out.wav", "  Created out.wav", "vantc \"frame???.bmp*1-3\" clip.vnt",
                      "  Vanted in "}));
  EXPECT_FALSE(Echoed({kEndedWithoutReport}));
  EXPECT_TRUE(std::filesystem::exists(Path("out.wav")));
  EXPECT_TRUE(std::filesystem::exists(Path("clip.vnt")));
}

}  // namespace
