// vantrelw itself, started as a program on Qt's offscreen platform: a stop signal ends it at any
// moment, and its report endpoints go with it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "testsupport/environment_guard.h"
#include "testsupport/run_program.h"
#include "testsupport/scratch_directory.h"
#include "testsupport/wait_until.h"

namespace {

// The report sockets of the process in the folder: their numbers start from its process id
// (platform::ReportReceiver::ListenAny).
std::vector<std::string> SocketsOf(pid_t pid, const std::string& folder) {
  std::vector<std::string> sockets;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("report-", 0) != 0) continue;
    const long long number = std::stoll(name.substr(7));
    if ((number & 0x3FFFFF) == (pid & 0x3FFFFF)) sockets.push_back(name);
  }
  return sockets;
}

// Idle, with its endpoints listening under the runtime directory or, without one, under /tmp;
// each signal ends it within a second with exit code 1, saying so, and leaves no socket behind.
// Qt says nothing of the missing runtime directory.
TEST(FrontEndProgram, StopSignalsEndItAndTakeItsReportSocketsAway) {
  const int signals[] = {SIGINT, SIGTERM, SIGHUP};
  for (const bool runtimeDirectory : {true, false}) {
    for (const int signalNumber : signals) {
      SCOPED_TRACE(std::string(runtimeDirectory ? "runtime directory" : "/tmp") + ", signal " +
                   std::to_string(signalNumber));
      testsupport::ScratchDirectory home;
      testsupport::EnvironmentGuard environment;
      environment.Set("HOME", home.path().c_str());
      environment.Set("XDG_CONFIG_HOME", home.File("config").c_str());
      std::string folder = "/tmp/vant-" + std::to_string(geteuid());
      environment.Set("XDG_RUNTIME_DIR", nullptr);
      if (runtimeDirectory) {
        ASSERT_EQ(mkdir(home.File("run").c_str(), 0700), 0);
        environment.Set("XDG_RUNTIME_DIR", home.File("run").c_str());
        folder = home.File("run/vant");
      }
      const testsupport::StartedProgram frontEnd = testsupport::StartProgram("vantrelw", {}, {.offscreen = true});
      ASSERT_GT(frontEnd.pid, 0);
      const bool listening = testsupport::WaitUntil([&] { return !SocketsOf(frontEnd.pid, folder).empty(); });
      const pid_t pid = frontEnd.pid;
      const testsupport::StoppedProgram stopped = testsupport::StopProgram(frontEnd, signalNumber);
      ASSERT_TRUE(listening) << stopped.result.errors;
      EXPECT_EQ(stopped.result.exitCode, 1) << stopped.result.errors;
      EXPECT_LT(stopped.took, testsupport::kStopTime);
      EXPECT_EQ(SocketsOf(pid, folder), std::vector<std::string>{});
      EXPECT_EQ(stopped.result.errors.rfind("Stopped by a signal.\n", 0), 0u) << stopped.result.errors;
      EXPECT_EQ(stopped.result.errors.find("XDG_RUNTIME_DIR"), std::string::npos) << stopped.result.errors;
    }
  }
}

}  // namespace
