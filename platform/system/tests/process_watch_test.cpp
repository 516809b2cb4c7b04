#include "platform/system/process_watch.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>


#include "platform/system/program_start.h"

namespace {

// The watch sees a detached program end, whether it ends by itself or is stopped, and keeps
// telling a running one apart from an ended one.
TEST(ProcessExitWatch, SeesADetachedProgramEnd) {
  struct Case {
    const char* name;
    std::vector<std::string> words;
    bool stop;  // the program runs until it is stopped
  } cases[] = {
      {"ends by itself", {"true"}, false},
      {"stopped", {"sleep", "60"}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const platform::ProgramStart start = platform::StartProgramDetached(c.words);
    ASSERT_TRUE(start.started);
    platform::ProcessExitWatch watch(start.processId);
    if (c.stop) {
      EXPECT_FALSE(watch.Ended());
      ASSERT_EQ(kill(start.processId, SIGTERM), 0);
    }
    if (watch.fd() >= 0) {
      pollfd ended{watch.fd(), POLLIN, 0};
      EXPECT_EQ(poll(&ended, 1, 30000), 1);
    }
    EXPECT_TRUE(watch.Ended());
  }
  EXPECT_TRUE(platform::ProcessExitWatch(0).Ended());  // no program to watch
}

// Asking the system counts a program that ended but was never reaped as ended.
TEST(ProcessExitWatch, AnEndedProgramNobodyReapedHasEnded) {
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    pause();
    _exit(0);
  }
  EXPECT_FALSE(platform::ProgramHasEnded(child));
  ASSERT_EQ(kill(child, SIGKILL), 0);
  // It becomes a zombie soon after the signal; it stays one until it is reaped below.
  siginfo_t info{};
  ASSERT_EQ(waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOWAIT), 0);
  EXPECT_TRUE(platform::ProgramHasEnded(child));
  ASSERT_EQ(waitpid(child, nullptr, 0), child);
  EXPECT_TRUE(platform::ProgramHasEnded(child));
  EXPECT_TRUE(platform::ProgramHasEnded(0));
}

}  // namespace
