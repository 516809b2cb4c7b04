#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "frontend/core/front_end.h"
#include "frontend/core/launcher.h"
#include "frontend/core/report_endpoint.h"
#include "frontend/core/report_receiving.h"
#include "frontend/core/tests/frontend_test_support.h"
#include "platform/face/dialogs.h"
#include "platform/system/report_wire.h"
#include "testsupport/scratch_directory.h"
#include "testsupport/wait_until.h"
#include "toolsupport/ui/report_protocol.h"

using namespace frontend;

namespace {

platform::ReportRequest Data(uint32_t kind, const std::string& bytes) {
  platform::ReportRequest request;
  request.type = platform::ReportRequestType::Data;
  request.code = kind;
  request.data.assign(bytes.begin(), bytes.end());
  return request;
}

platform::ReportRequest Message(uint32_t number) {
  platform::ReportRequest request;
  request.type = platform::ReportRequestType::Message;
  request.code = number;
  return request;
}

TEST(ReportReceiving, ReportsGoToTheConsoleAndEverythingElseIsLeftUnanswered) {
  struct Case {
    std::string name;
    platform::ReportRequest request;
    uint32_t answer;
    std::vector<std::string> added;  // console lines after the prompt, the new prompt excluded
    bool refresh;
    bool restored;
  } cases[] = {
      {"two lines", Data(0x1234, std::string("VantC - V3.0k\r\n  Created b.vnt in 2 seconds.\0", 46)),
       1, {"  VantC - V3.0k", "  Created b.vnt in 2 seconds."}, true, false},
      {"no terminating zero", Data(0x1234, "AudPr - V3.0k\n  Done"), 1, {"  AudPr - V3.0k", "  Done"},
       true, false},
      {"text after the zero", Data(0x1234, std::string("a\rb\0junk", 8)), 1, {"  a", "b"}, true, false},
      {"empty", Data(0x1234, ""), 1, {"  "}, true, false},
      {"other data", Data(5, "x"), 0, {}, false, false},
      {"restore notice", Message(0x900), 0, {}, false, true},
      {"question before a report", Message(10019), 0, {}, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    frontend_testing::FakeStarter starter;
    FrontEnd frontEnd(starter);
    testsupport::ScratchDirectory scratch;
    frontEnd.settings.command.directory = scratch.path();
    frontEnd.ShowPrompt();
    bool restored = false;
    EXPECT_EQ(ReceiveReport(frontEnd, c.request, [&restored] { restored = true; }), c.answer);
    const std::string prompt = scratch.path() + "> ";
    std::vector<std::string> expected = {prompt};
    expected.insert(expected.end(), c.added.begin(), c.added.end());
    if (!c.added.empty()) expected.push_back(prompt);
    EXPECT_EQ(frontEnd.console.lines(), expected);
    EXPECT_EQ(frontEnd.requests.Take() == kRequestRefreshFiles, c.refresh);
    EXPECT_EQ(restored, c.restored);
  }
}

TEST(ReportReceiving, TheEndpointAnswersTheCaptionAndTheTools) {
  ASSERT_TRUE(frontend_testing::EnsureApplication());
  frontend_testing::FakeStarter starter;
  FrontEnd frontEnd(starter);
  ReportEndpoint endpoint(
      [&frontEnd](const platform::ReportRequest& request) {
        return ReceiveReport(frontEnd, request, [] {});
      },
      "Vantrel for Windows");
  ASSERT_TRUE(endpoint.listening());
  // The player asks first; the front end leaves the question unanswered, so it reports.
  std::atomic<bool> wanted = false;
  std::thread player([&] { wanted = ReceiverWantsReport(endpoint.number()); });
  EXPECT_TRUE(frontend_testing::PumpEventsUntil([&] { return wanted.load(); }, 20000));
  player.join();
  std::atomic<bool> sent = false;
  std::thread tool([&] { sent = SendStatusReport(endpoint.number(), "VantPlW - V3.0k\r\n  Played."); });
  EXPECT_TRUE(frontend_testing::PumpEventsUntil([&] { return frontEnd.console.lines().size() >= 2; }, 20000));
  tool.join();
  EXPECT_TRUE(sent);
  EXPECT_EQ(frontEnd.console.lines().at(0), "  VantPlW - V3.0k");
}

// A sender that connects and stays silent must hold up neither the window nor the senders
// after it: here it speaks only once a later sender has had its answer.
TEST(ReportReceiving, ASilentSenderHoldsUpNobody) {
  ASSERT_TRUE(frontend_testing::EnsureApplication());
  frontend_testing::FakeStarter starter;
  FrontEnd frontEnd(starter);
  testsupport::ScratchDirectory scratch;
  frontEnd.settings.command.directory = scratch.path();
  ReportEndpoint endpoint(
      [&frontEnd](const platform::ReportRequest& request) {
        return ReceiveReport(frontEnd, request, [] {});
      },
      "Vantrel for Windows");
  ASSERT_TRUE(endpoint.listening());
  using namespace platform::report_wire;
  const int silent = ConnectTo(platform::ReportEndpointPath(endpoint.number()), Deadline(5000));
  ASSERT_GE(silent, 0);

  std::atomic<bool> laterAnswered = false, silentAnswered = false, done = false;
  std::thread later([&] { laterAnswered = SendStatusReport(endpoint.number(), "Later\n  first"); });
  std::thread quiet([&] {
    testsupport::WaitUntil([&] { return laterAnswered.load(); });
    const std::string text = "Silent\n  second";
    const std::vector<uint8_t> request =
        EncodeRequest(1, platform::kStatusReportKind, 0, 0, text.data(), text.size() + 1);
    uint8_t reply[kReplyHeaderSize];
    silentAnswered = SendAll(silent, request.data(), request.size(), Deadline(5000)) &&
                     ReceiveAll(silent, reply, sizeof reply, Deadline(5000)) && platform::LoadLE32(reply + 4) == 1;
    done = true;
  });
  EXPECT_TRUE(frontend_testing::PumpEventsUntil([&] { return done.load(); }, 30000));
  later.join();
  quiet.join();
  close(silent);
  EXPECT_TRUE(laterAnswered);
  EXPECT_TRUE(silentAnswered);
  const std::string prompt = scratch.path() + "> ";
  const std::vector<std::string> expected = {"  Later", "  first", prompt, "  Silent", "  second", prompt};
  EXPECT_EQ(frontEnd.console.lines(), expected);
}

// A real tool started through the launcher reports back, and its lines reach the console.
TEST(ReportReceiving, ARealToolReportsThroughTheMainEndpoint) {
  const char* programs = std::getenv("VANT_BIN_DIR");
  if (!programs) GTEST_SKIP() << "VANT_BIN_DIR is not set";
  ASSERT_TRUE(frontend_testing::EnsureApplication());
  testsupport::ScratchDirectory scratch;
  const std::string folder = scratch.File("my sounds");
  std::filesystem::create_directories(folder);
  frontend_testing::WriteSquareWave(folder + "/in put.wav");
  platform::ScriptedDialogs dialogs;
  frontend::SystemProgramStarter starter;
  FrontEnd frontEnd(starter);
  frontEnd.settings.main.directory = programs;
  frontEnd.settings.command.directory = scratch.path();
  ReportEndpoint endpoint(
      [&frontEnd](const platform::ReportRequest& request) {
        return ReceiveReport(frontEnd, request, [] {});
      },
      "Vantrel for Windows");
  ASSERT_TRUE(endpoint.listening());
  frontEnd.notifyTargets.SetMain(endpoint.number());
  frontEnd.ShowPrompt();

  const RunOutcome outcome = RunCommand(frontEnd, folder, "AudPr \"in put.wav\" \"out put.wav\"",
                                        CommandOrigin::Typed);
  ASSERT_TRUE(outcome.toolStarted);
  std::string console;
  ASSERT_TRUE(frontend_testing::WaitForConsoleLine(frontEnd.console, "  Created out put.wav", console)) << console;
  EXPECT_EQ(frontEnd.requests.Take(), kRequestRefreshFiles);
  // The first line of the report, the tool's title and version line, stands behind two blanks.
  const auto& lines = frontEnd.console.lines();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[lines.size() - 3].rfind("  Sound Processor - ", 0), 0u);
  EXPECT_EQ(frontEnd.console.lines().back(), frontEnd.Prompt());
  EXPECT_TRUE(std::filesystem::exists(folder + "/out put.wav"));
  EXPECT_EQ(std::filesystem::file_size(folder + "/out put.wav"), 44u + 11025u);
}

}  // namespace
