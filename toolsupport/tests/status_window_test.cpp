#include "toolsupport/ui/status_window.h"
#include "toolsupport/ui/tool_run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>

#include "platform/face/dialogs.h"
#include "platform/face/status_panel.h"
#include "platform/system/tests/fake_clock.h"
#include "toolsupport/tests/report_collector.h"

using platform::DialogAnswer;
using platform::ReportRequestType;

namespace {

class StatusWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }
  void TearDown() override { ResetStatusWindowForTesting(); }

  // The start of every tool: report switches off the command text, then the window.
  void StartTool(const std::string& switches) {
    std::string text = "in.flc out.vnt " + switches;
    ReadReportSwitches(text);
    ASSERT_EQ(text, "in.flc out.vnt ");
    ASSERT_TRUE(CreateStatusWindow("V3.0k test", "VantC"));
  }

  // The tests act as the user on the window, which the tools show only where a person sees it.
  static void Reset() {
    ResetStatusWindowForTesting();
    ShowStatusPanelWithoutViewerForTesting();
  }

  static std::string ReportText(const platform::ReportRequest& request) {
    return std::string(request.data.begin(), request.data.end());
  }
};

// The text as sent: with its terminating NUL.
std::string Nul(const std::string& text) { return text + '\0'; }

// Runs `act` as the user once the event loop is running (inside a wait or a modal dialog).
void Later(int ms, std::function<void()> act) { QTimer::singleShot(ms, act); }

TEST_F(StatusWindowTest, ReportSwitchesComeFirst) {
  std::string text = "a.vnt /L5 /#1234/#";
  ReadReportSwitches(text);
  EXPECT_EQ(ReportReceiverNumber(), 1234);
  EXPECT_TRUE(CloseAtOnceRequested());
  EXPECT_EQ(text, "a.vnt /L5 ");

  text = "a.vnt /#";
  ReadReportSwitches(text);
  EXPECT_EQ(ReportReceiverNumber(), 0);
  EXPECT_TRUE(CloseAtOnceRequested());

  text = "a.vnt";
  ReadReportSwitches(text);
  EXPECT_EQ(ReportReceiverNumber(), 0);
  EXPECT_FALSE(CloseAtOnceRequested());
}

TEST_F(StatusWindowTest, SuccessfulBatchRunReportsAndClosesAtOnce) {
  ReportCollector frontEnd;
  ASSERT_TRUE(frontEnd.listening());
  StartTool("/#" + std::to_string(frontEnd.number()) + "/#");
  platform::StatusPanel* panel = StatusPanelForTesting();
  ASSERT_NE(panel, nullptr);
  EXPECT_FALSE(panel->IsVisible());  // hidden until the first status text
  EXPECT_EQ(panel->StatusText(), "Loading...");
  EXPECT_FALSE(panel->Widget()->windowIcon().isNull());  // the toolkit's icon

  SetStatusText("Created out.vnt in 1 second.");
  EXPECT_TRUE(panel->IsVisible());
  EXPECT_EQ(panel->ButtonText(), "&Cancel");
  MarkWorkCompleted();
  FinishStatusWindow(!StatusCancelled());  // returns without anybody pressing "&Done"

  EXPECT_EQ(StatusPanelForTesting(), nullptr);
  EXPECT_EQ(StatusExitCode(), 0);
  const auto requests = frontEnd.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].type, ReportRequestType::Data);
  EXPECT_EQ(requests[0].code, 0x1234u);
  EXPECT_EQ(ReportText(requests[0]),
            Nul("VantC - V3.0k test\r\n  Created out.vnt in 1 second."));
}

TEST_F(StatusWindowTest, DoneModeWaitsForTheButtonOrTheCloseBox) {
  for (const bool useCloseBox : {false, true}) {
    Reset();
    platform::ScriptedDialogs dialogs;
    StartTool("");
    SetStatusText("Created out.vnt.");
    std::string buttonWhileWaiting;
    Later(50, [&] {
      buttonWhileWaiting = StatusPanelForTesting()->ButtonText();
      if (useCloseBox) {
        StatusPanelForTesting()->RequestClose();
      } else {
        StatusPanelForTesting()->ClickButton();
      }
    });
    FinishStatusWindow(true);
    EXPECT_EQ(buttonWhileWaiting, "&Done");
    EXPECT_EQ(StatusPanelForTesting(), nullptr);
    EXPECT_TRUE(dialogs.asked().empty());  // no cancel question in Done mode
  }
}

TEST_F(StatusWindowTest, CancelThroughTheButtonAsksThenClosesAtOnceAfterReporting) {
  ReportCollector frontEnd;
  platform::ScriptedDialogs dialogs;
  dialogs.Answer(DialogAnswer::No);
  dialogs.Answer(DialogAnswer::Yes);
  StartTool("/#" + std::to_string(frontEnd.number()));
  SetStatusText("Compressing frame 3 of 10...");

  StatusPanelForTesting()->ClickButton();
  EXPECT_EQ(CurrentStatusText(), "Do you want to cancel? No.");
  EXPECT_FALSE(StatusProgress().ShowAndCheck(toolsupport::ProgressKind::Status, "Compressing frame 4 of 10..."));
  StatusPanelForTesting()->ClickButton();
  EXPECT_TRUE(StatusCancelled());
  EXPECT_NE(StatusPanelForTesting(), nullptr);  // the button alone never closes the window
  ASSERT_EQ(dialogs.asked().size(), 2u);
  EXPECT_EQ(dialogs.asked()[1].text, "Do you want to cancel?");
  EXPECT_EQ(dialogs.asked()[1].defaultAnswer, DialogAnswer::No);
  EXPECT_EQ(dialogs.asked()[1].caption, "VantC");

  FinishStatusWindow(!StatusCancelled());  // no bare "/#", yet no waiting: the run failed
  EXPECT_EQ(StatusExitCode(), 1);
  const auto requests = frontEnd.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(ReportText(requests[0]),
            Nul("VantC - V3.0k test\r\n  Do you want to cancel? Yes."));
}

TEST_F(StatusWindowTest, ReportStillGoesOutAfterTheWindowWasClosed) {
  ReportCollector frontEnd;
  platform::ScriptedDialogs dialogs;
  dialogs.Answer(DialogAnswer::No);
  dialogs.Answer(DialogAnswer::Yes);
  StartTool("/#" + std::to_string(frontEnd.number()));
  SetStatusText("Working...");

  StatusPanelForTesting()->RequestClose();
  EXPECT_NE(StatusPanelForTesting(), nullptr);  // answered No: stays
  EXPECT_FALSE(StatusCancelled());
  StatusPanelForTesting()->RequestClose();
  EXPECT_EQ(StatusPanelForTesting(), nullptr);
  EXPECT_TRUE(StatusCancelled());
  EXPECT_EQ(PumpMessages(), 1);

  SetStatusText("ignored without a window");
  FinishStatusWindow(false);
  const auto requests = frontEnd.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(ReportText(requests[0]),
            Nul("VantC - V3.0k test\r\n  Do you want to cancel? Yes."));
}

TEST_F(StatusWindowTest, RestoringSendsTheNoticeOncePerRestore) {
  ReportCollector frontEnd;
  StartTool("/#" + std::to_string(frontEnd.number()));
  SetStatusText("Working...");
  platform::StatusPanel* panel = StatusPanelForTesting();
  panel->Minimize();
  PumpMessages();
  EXPECT_TRUE(frontEnd.requests().empty());  // minimising sends nothing
  panel->Restore();
  PumpMessages();
  panel->Minimize();
  PumpMessages();
  panel->Restore();
  PumpMessages();
  const auto requests = frontEnd.requests();
  ASSERT_EQ(requests.size(), 2u);
  for (const auto& request : requests) {
    EXPECT_EQ(request.type, ReportRequestType::Message);
    EXPECT_EQ(request.code, 0x900u);
    EXPECT_EQ(request.wParam, 0u);
    EXPECT_EQ(request.lParam, 0u);
  }
}

// A window of its own, on a clock the test moves; failures go to the tool's default window.
TEST_F(StatusWindowTest, ProgressKindsTheQuarterSecondThrottleAndFailures) {
  using toolsupport::ProgressKind;
  FakeClock clock(10000);
  platform::ScriptedDialogs dialogs;
  {
    StatusWindow window(clock);
    window.ShowPanelWithoutViewer();
    ASSERT_TRUE(window.Create("V3.0k test", "VantC"));
    const toolsupport::Progress progress = window.Progress();
    EXPECT_FALSE(progress.ShowAndCheck(ProgressKind::Status, "first"));
    EXPECT_EQ(window.Panel()->StatusText(), "first");
    clock.Advance(100);
    progress.Show(ProgressKind::Status, "too soon");
    EXPECT_EQ(window.StatusText(), "first");
    progress.Show(ProgressKind::StatusNow, "at once");
    EXPECT_EQ(window.StatusText(), "at once");
    clock.Advance(249);
    progress.Show(ProgressKind::Status, "still too soon");
    EXPECT_EQ(window.StatusText(), "at once");
    clock.Advance(1);
    progress.Show(ProgressKind::Status, "now again");
    EXPECT_EQ(window.StatusText(), "now again");
    EXPECT_EQ(CurrentStatusText(), "");  // the default window is another

    EXPECT_FALSE(progress.Cancelled());
    window.RequestStop();
    EXPECT_TRUE(progress.ShowAndCheck(ProgressKind::StatusNow, "still shown"));  // the stop stays asked for
    EXPECT_FALSE(StatusCancelled());
  }

  StartTool("");
  ShowFailure(toolsupport::Status::Error("Error opening the input file."));
  ASSERT_EQ(dialogs.asked().size(), 1u);
  EXPECT_EQ(dialogs.asked()[0].text, "Error opening the input file.");
  EXPECT_EQ(dialogs.asked()[0].icon, platform::DialogIcon::Error);
  EXPECT_EQ(dialogs.asked()[0].caption, "VantC");
  EXPECT_EQ(CurrentStatusText(), "Error opening the input file.");  // what the report will say
  EXPECT_TRUE(StatusProgress().Cancelled());

  // A stop asks the run to end without a box.
  Reset();
  StartTool("");
  ShowFailure(toolsupport::Status::Stopped());
  EXPECT_TRUE(StatusCancelled());
  EXPECT_EQ(dialogs.asked().size(), 1u);
}

TEST_F(StatusWindowTest, LongTextsAreCutNotOverrun) {
  platform::ScriptedDialogs dialogs;
  StartTool("");
  SetStatusText(std::string(200, 'x'));
  EXPECT_EQ(CurrentStatusText(), std::string(95, 'x'));
  EXPECT_EQ(StatusPanelForTesting()->StatusText(), std::string(95, 'x'));

  AskYesNo(true, std::string(93, 'q'));  // the answer would run past the end
  EXPECT_EQ(CurrentStatusText(), std::string(93, 'q') + " N");

  SetStatusText(std::string(94, 'a') + "\xC3\xA9");  // no half characters
  EXPECT_EQ(CurrentStatusText(), std::string(94, 'a'));
}

TEST_F(StatusWindowTest, PaintsStatusTextOnGrey) {
  StartTool("");
  SetStatusText("Compressing frame 1 of 2...");
  const QImage image = StatusPanelForTesting()->Snapshot();
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(QColor(image.pixel(1, 1)), QColor(192, 192, 192));
  // Dark text pixels on the status line (above the button) and on the version line.
  auto darkInRows = [&](int top, int bottom) {
    int dark = 0;
    for (int y = top; y < bottom; ++y) {
      for (int x = 0; x < image.width(); ++x) dark += qGray(image.pixel(x, y)) < 96;
    }
    return dark;
  };
  const int h = image.height();
  EXPECT_GT(darkInRows(0, h * 8 / 27 + 2), 20);
  EXPECT_GT(darkInRows(h * 4 / 5, h), 20);
}

// Without a display, and on the platforms where nobody sees a window, the status lines and
// messages go to standard error and nothing waits for "&Done".
TEST_F(StatusWindowTest, ConsoleFaceWhereNobodySeesTheWindow) {
  for (const char* platformName : {static_cast<const char*>(nullptr), "offscreen", "minimal"}) {
    ResetStatusWindowForTesting();
    EnvironmentGuard env;
    env.NoDisplay();
    env.Set("QT_QPA_PLATFORM", platformName);
    ReportCollector frontEnd;
    testing::internal::CaptureStderr();
    StartTool("/#" + std::to_string(frontEnd.number()));
    EXPECT_EQ(StatusPanelForTesting(), nullptr);
    SetStatusText("Analyzing in.flc...");
    ShowMessage(false, "Created out.vnt.");
    const bool overwrite = AskYesNo(true, "File out.vnt exists, overwrite?");
    MarkWorkCompleted();
    FinishStatusWindow(true);  // nothing to wait for
    const std::string printed = testing::internal::GetCapturedStderr();

    const std::string shown = platformName ? platformName : "no display";
    EXPECT_FALSE(overwrite) << shown;
    EXPECT_EQ(printed,
              "VantC - V3.0k test\n"
              "Analyzing in.flc...\n"
              "VantC: Created out.vnt.\n"
              "VantC: File out.vnt exists, overwrite? -> No\n")
        << shown;
    const auto requests = frontEnd.requests();
    ASSERT_EQ(requests.size(), 1u) << shown;
    EXPECT_EQ(ReportText(requests[0]),
              Nul("VantC - V3.0k test\r\n  File out.vnt exists, overwrite? No."))
        << shown;
  }
}

// The report says what ended the run, not the last progress line: an error's text (on one line),
// or the stop signal's, whatever the work shows while it stops.
TEST_F(StatusWindowTest, TheReportCarriesWhatEndedTheRun) {
  platform::ScriptedDialogs dialogs;
  ReportCollector frontEnd;
  ASSERT_TRUE(frontEnd.listening());
  const std::string report = "/#" + std::to_string(frontEnd.number()) + "/#";
  StartTool(report);
  SetStatusText("Searching for markers...");
  ShowFailure(toolsupport::Status::Error("Error opening file: a.vnt.\r\n\r\n  It is cut short."));
  FinishStatusWindow(false);
  Reset();
  StartTool(report);
  SetStatusText("Loading...");
  std::raise(SIGTERM);
  EXPECT_TRUE(StatusCancelled());
  ShowStatusProgress(toolsupport::ProgressKind::StatusNow, "Vanting frame 3...");
  FinishStatusWindow(false);
  const auto requests = frontEnd.requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(ReportText(requests[0]), Nul("VantC - V3.0k test\r\n  Error opening file: a.vnt. It is cut short."));
  EXPECT_EQ(ReportText(requests[1]), Nul("VantC - V3.0k test\r\n  Stopped by a signal."));
}

TEST_F(StatusWindowTest, StopSignalCancelsAndEndsTheWait) {
  StartTool("");
  SetStatusText("Working...");
  std::raise(SIGTERM);
  EXPECT_TRUE(StatusCancelled());
  // Done mode ends by a signal as well.
  Reset();
  StartTool("");
  SetStatusText("Done.");
  MarkWorkCompleted();
  Later(50, [] { std::raise(SIGINT); });
  FinishStatusWindow(true);
  EXPECT_EQ(StatusPanelForTesting(), nullptr);
  // Whoever sent it learns that the program was stopped, though its output was complete.
  EXPECT_EQ(StatusExitCode(), 1);
}

TEST_F(StatusWindowTest, ConfirmOverwriteAsksWheneverTheFileExists) {
  platform::ScriptedDialogs dialogs;
  StartTool("");
  const std::string name =
      (std::filesystem::temp_directory_path() / ("overwrite-" + std::to_string(getpid()))).string();
  std::filesystem::remove(name);
  EXPECT_TRUE(ConfirmOverwrite(name));
  EXPECT_TRUE(dialogs.asked().empty());

  std::fclose(std::fopen(name.c_str(), "w"));
  chmod(name.c_str(), 0);  // unreadable, but there
  dialogs.Answer(DialogAnswer::No);
  dialogs.Answer(DialogAnswer::Yes);
  EXPECT_FALSE(ConfirmOverwrite(name));
  EXPECT_TRUE(ConfirmOverwrite(name));
  ASSERT_EQ(dialogs.asked().size(), 2u);
  EXPECT_EQ(dialogs.asked()[0].text, "File " + name + " exists, overwrite?");
  EXPECT_EQ(dialogs.asked()[0].defaultAnswer, DialogAnswer::No);
  std::filesystem::remove(name);
}

}  // namespace
