#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "frontend/core/front_end.h"
#include "frontend/core/report_endpoint.h"
#include "frontend/core/report_receiving.h"
#include "frontend/core/tests/frontend_test_support.h"
#include "frontend/files/file_controls.h"
#include "frontend/pages/executable_builder.h"
#include "frontend/pages/tests/generated_pictures.h"
#include "testsupport/run_program.h"
#include "testsupport/scratch_directory.h"
#include "toolsupport/base/switches.h"
#include "toolsupport/base/text_words.h"

using namespace frontend;

namespace {

ExecutableBuild Build(const std::string& input, const std::string& directory, const std::string& output,
                      const std::string& videos, const std::string& switches) {
  return {input, directory, output, videos, switches};
}

TEST(ExecutableBuilder, TheBinderCommandQuotesEveryName) {
  const std::string player = "VntCompi \"/opt/vant/vantplw\" ";
  struct Case {
    std::string name;
    ExecutableBuild build;
    std::string programDirectory;
    std::string rest;  // after the player
  } cases[] = {
      {"beside the input", Build("/vid/INTRO.VNT", "/vid", "INTRO.exe", "INTRO.VNT", "/L"), "/opt/vant/",
       "\"INTRO.exe\" \"/L\" \"INTRO.VNT\""},
      {"another directory", Build("/vid/INTRO.VNT", "/out", "INTRO.exe", "INTRO.VNT", "/L"), "/opt/vant/",
       "\"/out/INTRO.exe\" \"/L\" \"INTRO.VNT\""},
      {"a directory that differs only in case", Build("/vid/a.vnt", "/VID", "a.exe", "a.vnt", ""), "/opt/vant",
       "\"/VID/a.exe\" \"\" \"a.vnt\""},
      {"a blank in the output path", Build("/vid/a.vnt", "/my out", "my a.exe", "a.vnt", " /L/F10 "), "/opt/vant/",
       "\"/my out/my a.exe\" \"/L/F10\" \"a.vnt\""},
      {"a full name typed", Build("/vid/a.vnt", "/out", " \"/else/b.exe\" ", "a.vnt", "/L"), "/opt/vant/",
       "\"/else/b.exe\" \"/L\" \"a.vnt\""},
      {"a full name typed in the input's directory", Build("/vid/a.vnt", "/out", "/vid/b.exe", "a.vnt", ""),
       "/opt/vant/", "\"b.exe\" \"\" \"a.vnt\""},
      {"several videos, quoted or not", Build("/vid/a.vnt", "/vid/", "a.exe", " a.vnt  \"my b.vnt\" /v/c ", "/L /F10"),
       "/opt/vant/", "\"a.exe\" \"/L /F10\" \"a.vnt\" \"my b.vnt\" \"/v/c\""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BuildBinderCommand(c.build, c.programDirectory), player + c.rest) << c.name;
  }
  EXPECT_EQ(BuildBinderCommand(Build("/v/a.vnt", "/v", "a.exe", "\"a.vnt\"", ""), "/my tools/"),
            "VntCompi \"/my tools/vantplw\" \"a.exe\" \"\" \"a.vnt\"");

  struct Start {
    std::string input, switches;
    ExecutableBuild expected;
  } starts[] = {
      {"/vid/my clip.vnt", " /L ", Build("/vid/my clip.vnt", "/vid", "my clip.exe", "\"my clip.vnt\"", "/L")},
      {"/a.b/clip", "", Build("/a.b/clip", "/a.b", "clip.exe", "\"clip\"", "")},
      {"/clip.vnt", "/S", Build("/clip.vnt", "/", "clip.exe", "\"clip.vnt\"", "/S")},
  };
  for (const Start& s : starts) EXPECT_EQ(StartingBuild(s.input, s.switches), s.expected) << s.input;
}

// The binder takes its words as it was given them, however many blanks the names hold.
TEST(ExecutableBuilder, TheBinderReadsTheWordsBack) {
  frontend_testing::FakeStarter starter;
  FrontEnd frontEnd(starter);
  frontEnd.settings.main.directory = "/opt/my vant";
  frontEnd.notifyTargets.SetMain(9);
  const ExecutableBuild build = Build("/v/my clip.vnt", "/out dir", "my clip.exe", "\"my clip.vnt\" other", "/L /F10");
  std::string text = frontend_testing::TextTheToolReads(frontEnd, BuildBinderCommand(build, frontEnd.ProgramDirectory()));
  EXPECT_EQ(GetNumberSwitch(0, '#', text), 9);
  EXPECT_EQ(TakeArgument(text), "/opt/my vant/vantplw");
  EXPECT_EQ(TakeArgument(text), "/out dir/my clip.exe");
  EXPECT_EQ(TakeArgument(text), "/L /F10");
  EXPECT_EQ(TakeArgument(text), "my clip.vnt");
  EXPECT_EQ(TakeArgument(text), "other");
  EXPECT_EQ(text, "");
  // No switches at all still leave an (empty) word for them.
  text = frontend_testing::TextTheToolReads(frontEnd, BuildBinderCommand(Build("/v/a.vnt", "/v", "a.exe", "a.vnt", ""), "/t/"));
  GetNumberSwitch(0, '#', text);
  EXPECT_EQ(TakeArgument(text), "/t/vantplw");
  EXPECT_EQ(TakeArgument(text), "a.exe");
  EXPECT_EQ(TakeArgument(text), "");
  EXPECT_EQ(TakeArgument(text), "a.vnt");
}

class ExecutableBuilderWindow : public ::testing::Test {
 protected:
  ExecutableBuilderWindow() : frontEnd_(starter_) {
    frontEnd_.settings.main.directory = "/opt/vant";
    frontEnd_.settings.command.directory = scratch_.path();
    frontEnd_.notifyTargets.SetMain(1234);
    videos_ = scratch_.File("Vid");
    std::filesystem::create_directories(videos_);
    for (const char* name : {"INTRO.VNT", "INTRO.exe", "other.exe", "notes.txt"}) {
      std::ofstream(videos_ + "/" + name) << "x";
    }
  }
  void SetUp() override { ASSERT_TRUE(frontend_testing::EnsureApplication()); }

  testsupport::ScratchDirectory scratch_;
  frontend_testing::FakeStarter starter_;
  FrontEnd frontEnd_;
  std::string videos_;
};

TEST_F(ExecutableBuilderWindow, ShowsTheVideoAndTakesTheBindersReportWhileOpen) {
  auto builder = std::make_unique<Tselff>(frontEnd_, videos_ + "/INTRO.VNT", "  /L ", nullptr);
  EXPECT_EQ(builder->windowTitle().toStdString(), "Compile Vantrel Executable");
  EXPECT_EQ(builder->CurrentBuild(), Build(videos_ + "/INTRO.VNT", videos_, "INTRO.exe", "\"INTRO.VNT\"", "/L"));
  EXPECT_EQ(builder->outputFiles().FileNames(), (std::vector<std::string>{"INTRO.exe", "other.exe"}));
  EXPECT_EQ(builder->outputFiles().SelectedFiles(), std::vector<std::string>{"INTRO.exe"});
  EXPECT_TRUE(builder->systemButton(1).isChecked());
  EXPECT_FALSE(builder->systemButton(2).isEnabled());
  EXPECT_FALSE(builder->systemButton(3).isEnabled());

  // The list picks the name; with none picked the default comes back; an empty name can't compile.
  builder->outputFiles().SelectFile("other.exe");
  EXPECT_EQ(builder->outputEdit().text().toStdString(), "other.exe");
  builder->outputFiles().ClearSelection();
  EXPECT_EQ(builder->outputEdit().text().toStdString(), "INTRO.exe");
  builder->outputEdit().setText(" ");
  EXPECT_FALSE(builder->compileButton().isEnabled());
  builder->outputEdit().setText("b.exe");
  EXPECT_TRUE(builder->compileButton().isEnabled());

  const ExecutableBuild shown = Build(videos_ + "/INTRO.VNT", scratch_.path(), "x y.exe", "a.vnt b.vnt", "/F10");
  builder->ShowBuild(shown);
  EXPECT_EQ(builder->CurrentBuild(), shown);

  const int32_t own = builder->reportNumber();
  ASSERT_NE(own, 0);
  EXPECT_EQ(frontEnd_.notifyTargets.Current(), own);
  builder->compileButton().click();
  ASSERT_EQ(starter_.starts.size(), 1u);
  EXPECT_EQ(starter_.starts[0].text, "\"/opt/vant/vntcompi\" \"/opt/vant/vantplw\" \"" + scratch_.path() +
                                         "/x y.exe\" \"/F10\" \"a.vnt\" \"b.vnt\" /#" + std::to_string(own));
  EXPECT_EQ(starter_.starts[0].directory, videos_);

  // The switch list is the player's own, started bare and without the report switch.
  emit builder->findChild<QPushButton*>("List")->clicked();
  ASSERT_EQ(starter_.starts.size(), 2u);
  EXPECT_EQ(starter_.starts[1].text, "\"/opt/vant/vantplw\"");

  builder.reset();
  EXPECT_EQ(frontEnd_.notifyTargets.Current(), 1234);
}

// A user binds a video the compressor made; the binder's report reaches the console while the
// builder is open, and the bound program is an executable that plays the video.
TEST(ExecutableBuilderEndToEnd, TheBoundProgramPlaysAndTheReportReachesTheConsole) {
  const char* programs = std::getenv("VANT_BIN_DIR");
  if (!programs) GTEST_SKIP() << "VANT_BIN_DIR is not set";
  ASSERT_TRUE(frontend_testing::EnsureApplication());
  testsupport::ScratchDirectory scratch;
  const std::string folder = scratch.File("my videos");
  frontend_testing::WritePictures(folder, 1, 4);
  const testsupport::ProgramResult made =
      testsupport::RunProgram("vantcw", {folder + "/frame???.bmp*1-4", folder + "/my clip.vnt"});
  ASSERT_EQ(made.exitCode, 0) << made.errors;

  frontend::SystemProgramStarter starter;
  FrontEnd frontEnd(starter);
  frontEnd.settings.main.directory = programs;
  frontEnd.settings.command.directory = scratch.path();
  ReportEndpoint endpoint(
      [&frontEnd](const platform::ReportRequest& request) { return ReceiveReport(frontEnd, request, [] {}); },
      "Vantrel for Windows");
  ASSERT_TRUE(endpoint.listening());
  frontEnd.notifyTargets.SetMain(endpoint.number());
  Tselff builder(frontEnd, folder + "/my clip.vnt", "/J", nullptr);

  builder.compileButton().click();

  std::string console;
  ASSERT_TRUE(frontend_testing::WaitForConsoleLine(frontEnd.console, "  Compile Vantrel Executable", console))
      << console;
  EXPECT_NE(console.find("Created my clip.exe - "), std::string::npos) << console;
  const std::string bound = folder + "/my clip.exe";
  struct stat info {};
  ASSERT_EQ(stat(bound.c_str(), &info), 0);
  EXPECT_NE(info.st_mode & S_IXUSR, 0u);
  ASSERT_TRUE(frontend_testing::PumpEventsUntil([&builder] {
    return builder.outputFiles().SelectedFiles() == std::vector<std::string>{"my clip.exe"};
  }));

  // Played on the offscreen platform from somewhere else, with the video file gone: it is
  // inside the program.
  std::filesystem::remove(folder + "/my clip.vnt");
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(scratch.path().c_str()) != 0) _exit(126);
    execl(bound.c_str(), bound.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  ASSERT_GT(pid, 0);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
