// The waits of scripts on a clock the test turns, and EXECUTE starting a real program.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/system/tests/fake_clock.h"
#include "player/player_window.h"
#include "script/tests/script_runner.h"

namespace {


TEST(ScriptWaits, DelaysWaitTheirTimeAcrossAWrapOfTheClock) {
  struct Case {
    const char* name;
    uint32_t clockAtStart;  // the script clock when the command runs
    std::string command;
    uint64_t waited;
  };
  const std::vector<Case> cases = {
      {"DELAY", 5, "delay 100", 100},
      {"DELAY across the wrap", 0xFFFFFFF0u, "delay 100", 100},
      {"a negative DELAY", 5, "delay -5", 0},
      {"DELAYUNTIL ahead", 20, "delayuntil 70", 50},
      {"DELAYUNTIL 0", 20, "delayuntil 0", 0},
      {"DELAYUNTIL past the wrap", 0xFFFFFFF0u, "delayuntil 16", 32},
      {"DELAYUNTIL just passed", 0xFFFFFFF0u, "delayuntil -20", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeClock clock;
    ScriptRunner runner;
    const std::string path = runner.Write("wait.ss", c.command + "\n");
    auto context = ScriptRunner::NewContext(clock);
    clock.Advance(c.clockAtStart);
    const uint64_t before = clock.Now();
    EXPECT_EQ(script::RunCommandScript(*context, "\"" + path + "\""), 0);
    EXPECT_EQ(clock.Now() - before, c.waited);
  }
}

// What waits in the window (for input, for the steps of a fade) takes its time on the run's
// clock too.
TEST(ScriptWaits, WindowWaitsTakeTheirTimeOnTheRunsClock) {
  struct Case {
    const char* name;
    std::string script;  // run in a new window
    uint64_t waited;
  };
  const std::vector<Case> cases = {
      {"INPUTCHARORDELAY", "inputcharordelay k 250", 250},
      {"INPUTCHARORDELAY without time", "inputcharordelay k 0", 0},
      {"a fade out", "screenfadespeed 7\nscreenfadeoutclear 0", 16 * 7},
      {"a bitmap's palette fading in", "bitmapalloc b 1 1\nbitmapgetpalette b\nscreenfadespeed 3\nbitmapfadeinpalette b",
       16 * 3},
  };
  ClearPlayerKeys();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeClock clock;
    ScriptRunner runner;
    ScriptRun run;
    run.context = ScriptRunner::NewContext(clock);
    const uint64_t before = clock.Now();
    runner.RunIn(run, "screengraphics ok 16 16\n" + c.script + "\n");
    ASSERT_EQ(run.exitCode, 0) << run.LastBox();
    EXPECT_EQ(clock.Now() - before, c.waited);
  }
}

std::string BinDirectory() {
  const char* bin = std::getenv("VANT_BIN_DIR");
  return bin != nullptr ? bin : ".";
}

TEST(ScriptExecute, StartsAProgramWithoutWaitingAndGivesItsResult) {
  ScriptRunner runner;
  const std::string marker = runner.File("marker dir/started.txt");
  std::filesystem::create_directories(runner.File("marker dir"));
  const ScriptRun run = runner.Run(
      "execute r '" + BinDirectory() + "/script_test_helper \"" + marker + "\" one /X2'\n"
      "execute s 'script_test_helper.exe \"" + marker + ".2\"'\n"
      "execute t \"no_such_program_anywhere 1\"\n");
  ASSERT_EQ(run.exitCode, 0) << run.LastBox();
  EXPECT_GT(std::stoi(run.Variable("R")), 31);
  EXPECT_GT(std::stoi(run.Variable("S")), 31);  // found beside the running program
  EXPECT_LE(std::stoi(run.Variable("T")), 31);
  ASSERT_TRUE(WaitForFile(marker));
  EXPECT_EQ(runner.Read("marker dir/started.txt"), "one\n/X2\n");
  EXPECT_TRUE(WaitForFile(marker + ".2"));
}

}  // namespace
