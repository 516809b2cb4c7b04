// vantplw itself, started as a program on Qt's offscreen platform: exit codes and the report to
// the front end. Message boxes go to standard error there.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "test_videos.h"
#include "platform/system/report_channel.h"
#include "toolsupport/tests/report_collector.h"

extern char** environ;

namespace {

struct Finished {
  int exitCode = -1;
  std::string errors;  // standard error
};

std::string PlayerProgramPath() {
  const char* binDir = std::getenv("VANT_BIN_DIR");
  return std::string(binDir != nullptr ? binDir : ".") + "/vantplw";
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

Finished RunPlayer(const std::vector<std::string>& arguments, const ScratchDir& dir,
                   const std::string& program = PlayerProgramPath()) {
  const std::string errorsFile = dir.File("stderr.txt");
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 2, errorsFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  Finished finished;
  pid_t pid = 0;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFEXITED(status)) finished.exitCode = WEXITSTATUS(status);
  }
  posix_spawn_file_actions_destroy(&actions);
  finished.errors = ReadFile(errorsFile);
  return finished;
}

std::string Payload(const platform::ReportRequest& request) {
  return std::string(request.data.begin(), request.data.end());
}

constexpr char kReport[] = "VantPlay - V3.0k  Plays Vantrel videos.";
constexpr char kPackageCaption[] = "VantPlay - V3.0k: ";

class PlayerProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir.path().empty());
    video = WriteTestVideo(dir.File("clip.vnt"), 16, 8, 3, 1);
    ASSERT_FALSE(video.path().empty());
  }
  ScratchDir dir;
  TestVideo video;
};

TEST_F(PlayerProgram, ExitCodes) {
  Finished usage = RunPlayer({}, dir);
  EXPECT_EQ(usage.exitCode, 1);
  EXPECT_NE(usage.errors.find("SYNTAX: VantPly"), std::string::npos);

  EXPECT_EQ(RunPlayer({"/Y", video.path()}, dir).exitCode, 1);

  Finished missing = RunPlayer({dir.File("missing.vnt")}, dir);
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.errors.find("Error opening file: " + dir.File("missing.vnt") + "."),
            std::string::npos);

  Finished played = RunPlayer({video.path(), "/F", "/J", "/S"}, dir);
  EXPECT_EQ(played.exitCode, 0);
  EXPECT_NE(played.errors.find("Vantrel Summary: "), std::string::npos);
  EXPECT_NE(played.errors.find("Total frames played: 3\n"), std::string::npos);
  EXPECT_NE(played.errors.find(kPackageCaption), std::string::npos);
}

TEST_F(PlayerProgram, ReportsToTheFrontEndWhenItWantsTheReport) {
  ReportCollector frontEnd("Vantrel for Windows - Player");
  ASSERT_TRUE(frontEnd.listening());
  Finished finished =
      RunPlayer({video.path(), "/F/J", "/#" + std::to_string(frontEnd.number()), "/#"}, dir);
  EXPECT_EQ(finished.exitCode, 0);
  const std::vector<platform::ReportRequest> requests = frontEnd.requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].type, platform::ReportRequestType::Message);
  EXPECT_EQ(requests[0].code, 10019u);
  EXPECT_EQ(requests[0].wParam, 0u);
  EXPECT_EQ(requests[0].lParam, 0u);
  EXPECT_EQ(requests[1].type, platform::ReportRequestType::Data);
  EXPECT_EQ(requests[1].code, 0x1234u);
  EXPECT_EQ(Payload(requests[1]), std::string(kReport) + '\0');  // the text and one NUL
  // The front end shows its own about box.
  EXPECT_EQ(finished.errors.find(kPackageCaption), std::string::npos);
}

TEST_F(PlayerProgram, FrontEndDeclinesTheReport) {
  ReportCollector frontEnd("Vantrel for Windows", [](const platform::ReportRequest& request) {
    return request.code == 10019 ? 8995u : 1u;
  });
  ASSERT_TRUE(frontEnd.listening());
  Finished finished = RunPlayer({video.path(), "/F/J", "/#" + std::to_string(frontEnd.number())}, dir);
  EXPECT_EQ(finished.exitCode, 0);
  const std::vector<platform::ReportRequest> requests = frontEnd.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].code, 10019u);
  EXPECT_EQ(finished.errors.find(kPackageCaption), std::string::npos);
}

TEST_F(PlayerProgram, OtherReceiversGetTheReportWithoutTheQuestion) {
  ReportCollector batch("Batch");
  ASSERT_TRUE(batch.listening());
  // A failed run reports all the same.
  Finished finished =
      RunPlayer({dir.File("missing"), "/#" + std::to_string(batch.number())}, dir);
  EXPECT_EQ(finished.exitCode, 1);
  const std::vector<platform::ReportRequest> requests = batch.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].type, platform::ReportRequestType::Data);
  EXPECT_EQ(Payload(requests[0]), std::string(kReport) + '\0');
  EXPECT_NE(finished.errors.find(kPackageCaption), std::string::npos);
}

TEST_F(PlayerProgram, BoundCopyPlaysTheVideosStoredInItsOwnFile) {
  std::string program = ReadFile(PlayerProgramPath());
  const size_t area = program.find("SELFPLAY");
  ASSERT_NE(area, std::string::npos);
  EXPECT_EQ(program.find("SELFPLAY", area + 1), std::string::npos);  // the binder needs one
  ASSERT_EQ(program.compare(area + 216, 8, "VANTREL!"), 0);
  EXPECT_EQ(program.substr(area + 8, 208), std::string(208, '\0'));  // unbound

  // What the binder does: the video at a multiple of 512 after the program, its name and
  // switches in the area.
  const size_t offset = (program.size() + 511) / 512 * 512;
  const std::string stored = ":" + std::to_string(offset) + " /F/J/S";
  program.replace(area + 8, stored.size(), stored);
  program.resize(offset, '\0');
  program += ReadFile(video.path());
  const std::string bound = dir.File("bound");
  {
    std::ofstream out(bound, std::ios::binary);
    out << program;
  }
  ASSERT_EQ(chmod(bound.c_str(), 0700), 0);

  // The command line's switches come after the stored ones.
  Finished finished = RunPlayer({"/L2"}, dir, bound);
  EXPECT_EQ(finished.exitCode, 0);
  EXPECT_NE(finished.errors.find("Total frames played: 6\n"), std::string::npos);
}

}  // namespace
