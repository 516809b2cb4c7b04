#include "platform/system/program_start.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

#include "testsupport/scratch_directory.h"
#include "testsupport/wait_until.h"

namespace {

bool Appears(const std::string& name) {
  return testsupport::WaitUntil([&] { return std::filesystem::exists(name); });
}

TEST(SplitCommandWords, QuotedNamesLoseTheirQuotesAndSwitchWordsStayAsWritten) {
  struct Case {
    const char* text;
    std::vector<std::string> words;
  } cases[] = {
      {"", {}},
      {"  \t ", {}},
      {"vantcw a.flc b.vnt", {"vantcw", "a.flc", "b.vnt"}},
      {"vantcw \"my clip.flc\"\t\"out put.vnt\"", {"vantcw", "my clip.flc", "out put.vnt"}},
      {"picprw x /&\"my pal.bmp\" /@\"*/tmp/hints.txt\"",
       {"picprw", "x", "/&\"my pal.bmp\"", "/@\"*/tmp/hints.txt\""}},
      {"a \"\" b", {"a", "", "b"}},
      {"a\"b c\"d", {"a\"b c\"d"}},
      {"\"x\"\"y\"", {"\"x\"\"y\""}},
      {"/L5/F15 /#1234/#", {"/L5/F15", "/#1234/#"}},
  };
  for (const Case& c : cases) EXPECT_EQ(platform::SplitCommandWords(c.text), c.words) << c.text;
}

TEST(FindProgram, LooksBesideUsThenOnThePathAndDropsExe) {
  EXPECT_FALSE(platform::FindProgram("touch").empty());
  EXPECT_EQ(platform::FindProgram("touch.EXE"), platform::FindProgram("touch"));
  EXPECT_EQ(platform::FindProgram("no-such-program-here"), "");
  EXPECT_EQ(platform::FindProgram(""), "");
  // This test program itself lives in the own directory and is found there first.
  const std::string self = platform::OwnProgramDirectory() + "/platform_system_tests";
  EXPECT_EQ(platform::FindProgram("platform_system_tests"), self);
}

TEST(StartProgramDetached, StartsWithoutWaitingAndLeavesNoChild) {
  testsupport::ScratchDirectory scratch;
  const std::string marker = scratch.File("marker one");
  const platform::ProgramStart start =
      platform::StartCommandText("touch \"" + marker + "\" relative", scratch.path());
  ASSERT_TRUE(start.started);
  EXPECT_TRUE(Appears(marker));
  EXPECT_TRUE(Appears(scratch.File("relative")));
  // The program was handed to init: we have no child to reap.
  errno = 0;
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
}

TEST(StartProgramDetached, AnExecutableNamedLikeAWindowsProgramStartsByItsPath) {
  testsupport::ScratchDirectory scratch;
  const std::string program = scratch.File("intro.exe");
  {
    std::ofstream out(program);
    out << "#!/bin/sh\ntouch \"$1\"\n";
  }
  ASSERT_EQ(chmod(program.c_str(), 0755), 0);
  EXPECT_EQ(platform::FindProgram(program), program);
  EXPECT_EQ(platform::FindProgram(scratch.File("intro")), "");
  const std::string marker = scratch.File("played");
  const platform::ProgramStart start = platform::StartProgramDetached({program, marker});
  ASSERT_TRUE(start.started);
  EXPECT_GT(start.processId, 0);
  EXPECT_TRUE(Appears(marker));
}

TEST(StartProgramDetached, FailedStartsAreNeverStartedPrograms) {
  testsupport::ScratchDirectory scratch;
  EXPECT_FALSE(platform::StartCommandText("no-such-program-here x").started);
  EXPECT_FALSE(platform::StartCommandText("").started);
  const platform::ProgramStart missingDirectory =
      platform::StartCommandText("touch x", scratch.File("no/such/dir"));
  EXPECT_FALSE(missingDirectory.started);
  EXPECT_EQ(missingDirectory.error, ENOENT);
  EXPECT_EQ(missingDirectory.processId, 0);
}

}  // namespace
