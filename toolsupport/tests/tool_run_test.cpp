// The program frame: what a tool's work returns becomes the exit code, the final status text or
// message boxes, and what the work held is gone (its uncommitted output removed) once it returns.
#include "toolsupport/ui/tool_run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <vector>

#include "platform/face/dialogs.h"
#include "testsupport/scratch_directory.h"
#include "toolsupport/io/output_file.h"
#include "toolsupport/ui/status_window.h"

namespace {

using toolsupport::OutputFile;
using toolsupport::Status;

class ToolRun : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetStatusWindowForTesting();
    ShowStatusPanelWithoutViewerForTesting();
  }
  void TearDown() override { ResetStatusWindowForTesting(); }
};

TEST_F(ToolRun, TheWorksOutcomeGivesTheExitCodeTheTextAndTheBoxes) {
  struct Case {
    const char* name;
    std::function<Status(std::string&)> work;
    int exitCode;
    std::vector<std::string> boxes;
  } cases[] = {
      {"completed",
       [](std::string& report) {
         report = "Created out.flc in 1 second.";
         return Status();
       },
       0,
       {}},
      {"failed with a reason that follows from another",
       [](std::string&) { return Status::Error("Error opening: pal.bmp").Then("Error opening palette graphics file."); },
       1,
       {"Error opening: pal.bmp", "Error opening palette graphics file."}},
      {"stopped by the user", [](std::string&) { return Status::Stopped(); }, 1, {}},
      {"out of memory", [](std::string&) -> Status { throw std::bad_alloc(); }, 1, {kOutOfMemoryMessage}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    platform::ScriptedDialogs dialogs;
    // The bare "/#" closes the window at once instead of waiting for "&Done".
    const int exitCode = RunTool("in.flc out.flc /#", "V3.0k test", "PicPrW",
                                 [&](const std::string& text, std::string& report) {
                                   EXPECT_EQ(text, "in.flc out.flc ");
                                   return c.work(report);
                                 });
    EXPECT_EQ(exitCode, c.exitCode);
    std::vector<std::string> shown;
    for (const auto& asked : dialogs.asked()) shown.push_back(asked.text);
    EXPECT_EQ(shown, c.boxes);
    if (c.exitCode == 0) {
      EXPECT_EQ(CurrentStatusText(), "Created out.flc in 1 second.");
    }
  }
}

// Whatever the work held is released when it returns: an output it did not commit is gone.
TEST_F(ToolRun, AnOutputTheWorkDidNotCommitIsRemoved) {
  testsupport::ScratchDirectory scratch;
  platform::ScriptedDialogs dialogs;
  const std::string kept = scratch / "kept.vnt", dropped = scratch / "dropped.vnt";
  RunTool("/#", "V3.0k test", "VantC", [&](const std::string&, std::string&) {
    OutputFile first(kept), second(dropped);
    std::ofstream(kept) << "done";
    std::ofstream(dropped) << "partial";
    first.Commit();
    return Status::Error("Error writing to disk - probably out of disk space.");
  });
  EXPECT_TRUE(std::filesystem::exists(kept));
  EXPECT_FALSE(std::filesystem::exists(dropped));
}

TEST(OutputFile, RemovesOnlyARegularFileItWasNotToldToKeep) {
  testsupport::ScratchDirectory scratch;
  enum Kind { kRegular, kPipe, kLinkToPipe };
  struct Case {
    const char* name;
    Kind kind;
    bool commit;
    bool moveAway;  // handed to another OutputFile, which goes out of scope first
    bool remains;
  } cases[] = {
      {"uncommitted", kRegular, false, false, false},
      {"committed", kRegular, true, false, true},
      {"moved, then gone with its new owner", kRegular, false, true, false},
      {"not a regular file", kPipe, false, false, true},
      {"a link: it goes, what it names stays", kLinkToPipe, false, false, false},
  };
  const std::string pipe = scratch / "pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string name = c.kind == kPipe ? pipe : scratch / "out";
    if (c.kind == kRegular) std::ofstream(name) << "bytes";
    if (c.kind == kLinkToPipe) {
      ASSERT_EQ(symlink(pipe.c_str(), name.c_str()), 0);
    }
    {
      OutputFile output(name);
      if (c.commit) output.Commit();
      if (c.moveAway) {
        OutputFile owner = std::move(output);
        EXPECT_TRUE(owner.Pending());
        EXPECT_FALSE(output.Pending());
      }
    }
    EXPECT_EQ(std::filesystem::exists(std::filesystem::symlink_status(name)), c.remains);
    EXPECT_TRUE(std::filesystem::exists(pipe));
    if (c.kind != kPipe) std::filesystem::remove(name);
  }
}

}  // namespace
