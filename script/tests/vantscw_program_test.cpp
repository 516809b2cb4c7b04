// vantscw itself, started as a program without a display: its command line, exit codes and the
// report to the front end. Message boxes go to standard error there.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "testsupport/environment_guard.h"
#include "testsupport/scratch_directory.h"
#include "toolsupport/tests/report_collector.h"
#include "testsupport/run_program.h"
#include "testsupport/wait_until.h"

namespace {

using testsupport::RunProgram;

constexpr char kReport[] = "VantScript - V3.0k  Runs Vantrel presentation scripts.";
constexpr char kSyntax[] = " Syntax:  VantScr  <Vantrel Script[.ss]>";
constexpr char kPackageCaption[] = "VantScript - V3.0k: ";

class ScriptProgram : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& text) {
    const std::string path = dir.File(name);
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  testsupport::ScratchDirectory dir;
};

std::string Payload(const platform::ReportRequest& request) {
  return std::string(request.data.begin(), request.data.end());
}

TEST_F(ScriptProgram, RunsTheScriptNamedByAFullPathAndReportsOnce) {
  const std::string script = Write("show.ss", "debugfile \"" + dir.File("ran.txt") + "\"\ndebugtext \"ran\"\n");
  ReportCollector frontEnd("Vantrel for Windows - Scriptor");
  ASSERT_TRUE(frontEnd.listening());
  // As the front end starts it from its Command page: the number, then a bare "/#".
  const auto result = RunProgram("vantscw", {script, "/#" + std::to_string(frontEnd.number()), "/#"});
  EXPECT_EQ(result.exitCode, 0) << result.errors;
  std::ifstream ran(dir.File("ran.txt"));
  EXPECT_TRUE(ran.good());
  const std::vector<platform::ReportRequest> requests = frontEnd.requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].code, 10019u);
  EXPECT_EQ(requests[1].type, platform::ReportRequestType::Data);
  EXPECT_EQ(requests[1].code, 0x1234u);
  EXPECT_EQ(Payload(requests[1]), std::string(kReport) + '\0');  // the text and one NUL
  EXPECT_EQ(result.errors.find(kPackageCaption), std::string::npos);
  EXPECT_EQ(result.errors.find(kSyntax), std::string::npos);
}

TEST_F(ScriptProgram, FailuresEndWithExitCodeOneAndStillReport) {
  const std::string failing = Write("fail.ss", "varset a 1\nvarset b 2 3\n");
  struct Case {
    const char* name;
    std::vector<std::string> arguments;
    std::string shown;
  };
  const std::vector<Case> cases = {
      {"a script error", {failing}, "Error:  Bad script command:\n    VARSET b 2 3\n  In script file: " + failing},
      {"a script that is not there", {dir.File("missing")}, "Error:  Error opening:\n    " + dir.File("missing.ss")},
      {"a switch left over", {failing, "/X"}, kSyntax},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ReportCollector batch("Batch");
    ASSERT_TRUE(batch.listening());
    std::vector<std::string> arguments = c.arguments;
    arguments.push_back("/#" + std::to_string(batch.number()));
    const auto result = RunProgram("vantscw", arguments);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.errors.find(c.shown), std::string::npos) << result.errors;
    EXPECT_NE(result.errors.find(kPackageCaption), std::string::npos);
    const std::vector<platform::ReportRequest> requests = batch.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(Payload(requests[0]), std::string(kReport) + '\0');
  }
}

TEST_F(ScriptProgram, WithoutAnArgumentRunsAutoexecOrShowsTheSyntax) {
  char previous[4096];
  ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(chdir(dir.path().c_str()), 0);
  const auto without = RunProgram("vantscw", {});
  Write("autoexec.ss", "debugfile \"auto.txt\"\n");
  const auto with = RunProgram("vantscw", {});
  ASSERT_EQ(chdir(previous), 0);
  EXPECT_EQ(without.exitCode, 1);
  EXPECT_NE(without.errors.find(kSyntax), std::string::npos);
  EXPECT_EQ(with.exitCode, 0) << with.errors;
  EXPECT_TRUE(std::ifstream(dir.File("auto.txt")).good());
}

// A stop signal ends a run that waits, at once: the file it writes is closed with what it had
// written, the print job it had not finished is dropped unprinted, exit code 1.
TEST_F(ScriptProgram, StopSignalsEndTheRunKeepingWhatItWrote) {
  for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signalNumber);
    testsupport::ScratchDirectory spool;  // where print jobs wait for the printer
    testsupport::EnvironmentGuard environment;
    environment.Set("TMPDIR", spool.path().c_str());
    const std::string kept = dir.File("kept.txt"), ready = dir.File("ready.txt");
    unlink(ready.c_str());
    const std::string script = Write("wait.ss",
                                     "printbegin\nfilewrite 5000 \"a page never printed\"\n"
                                     "filecreate f '" + kept + "'\n"
                                     "filewrite f \"written before the signal\"\n"
                                     "filecreate r '" + ready + "'\nfileclose r\n"
                                     "delay 600000\n");
    const testsupport::StartedProgram run = testsupport::StartProgram("vantscw", {script});
    ASSERT_GT(run.pid, 0);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return access(ready.c_str(), F_OK) == 0; }));
    const testsupport::StoppedProgram stopped = testsupport::StopProgram(run, signalNumber);
    EXPECT_EQ(stopped.result.exitCode, 1) << stopped.result.errors;
    EXPECT_LT(stopped.took, testsupport::kStopTime);
    std::ifstream in(kept, std::ios::binary);
    std::stringstream written;
    written << in.rdbuf();
    EXPECT_EQ(written.str(), "written before the signal\r\n");
    EXPECT_EQ(stopped.result.errors.find("print"), std::string::npos) << stopped.result.errors;
    EXPECT_EQ(stopped.result.errors.find(kPackageCaption), std::string::npos) << stopped.result.errors;
    EXPECT_NE(stopped.result.errors.find("Stopped by a signal.\n"), std::string::npos) << stopped.result.errors;
    EXPECT_TRUE(std::filesystem::is_empty(spool.path()));
  }
}

}  // namespace
